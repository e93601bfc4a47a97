#pragma once

#include "generators/abstractgenerator.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

class GeneratedText;

// Writes gen_srdo.c, the project part of the safety-relevant data objects (SRDO): one
// CO_SRDO_DATA_T record and one constant mapping table per SRDO, the process variables
// the SRDO mappings name, and the functions that set the SRDO defaults, copy the mapped
// variables into the normal and the bit-inverted buffer of a transmit SRDO and store the
// received normal and inverted data into the variables. The fixed SRDO code is copied
// verbatim from template files: "srdoproto.data" (or "srdoproto_ml.data") after the
// defines and "srdo.data" (or "srdo_ml.data") at the end. A missing template leaves its
// part out.
//
// SRDO n is the communication object 0x1300 + n (0x1301..0x1340) with its mapping object
// 0x1380 + n. Mapping entries alternate: odd sub-indices carry the normal data, even ones
// the inverted data, each packed from byte 0 of its own CAN message.
//
// The multi-line form (line parameter, per-line state, names ending in "_line<n>") is
// used when line 1 holds more than one object, then for every line below 16 that does,
// or always with the user preference "alwaysml", as for gen_objdict.c.
class SrdoGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit SrdoGenerator(QObject *parent = nullptr);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // Folder of the template files; by default "data" beside the executable.
    void setTemplateDirectory(const QString &directory);
    QString templateDirectory() const { return templateDir; }

    // Lines written by the last run.
    const QList<quint8> &srdoLines() const { return lines; }

public slots:
    void doJob() override;

private:
    // One entry of an SRDO mapping and the variable it names.
    struct MappedObject
    {
        quint16 index = 0;
        quint8 sub = 0;
        quint8 bits = 0;
        // Bit position within the normal or the inverted message.
        int position = 0;
        bool inverted = false;
        // Variable name and declared C type; empty when the entry names no application
        // variable the generated code can use.
        QString name;
        QString type;
    };

    struct Srdo
    {
        quint8 line = 0;
        quint8 number = 0;
        quint16 index = 0;
        // Default values of sub-indices 1 to 6 of the communication object.
        QMap<quint8, QString> parameters;
        QString mapCount;
        QList<quint32> mapTable;
        QString signature;
        QList<MappedObject> mapped;

        quint8 direction() const;
    };

    void determineLines();
    void loadSrdos();
    Srdo readSrdo(quint8 line, quint16 index) const;
    MappedObject mappedObject(quint8 line, quint32 value) const;
    QString recordName(const Srdo &srdo) const;
    QString tableName(const Srdo &srdo) const;
    bool isMultiLineForm() const { return multiLine || forceMultiLine; }
    QString setting(const char *key) const;
    QString templateText(const QString &fileName) const;

    void prepareOutputFile(GeneratedText &out);
    void writeApplicationHeaders(GeneratedText &out);
    void writeLoopCounter(GeneratedText &out);
    void addStaticModuleData(GeneratedText &out);
    void addSRDOProcessVariables(GeneratedText &out);
    void addSRDOData(GeneratedText &out);
    void addVariableSRDOFunctions(GeneratedText &out);
    void addFixedFileParts(GeneratedText &out);

    void writeGetSrdoDataPtr(GeneratedText &out);
    void writeSetDefaultValue(GeneratedText &out);
    void writeDefaultValues(GeneratedText &out, const Srdo &srdo, const QString &indent);
    void writeTransmitMapping(GeneratedText &out);
    void writeSaveRecData(GeneratedText &out, bool inverted);
    // The "switch" over the SRDOs of one direction that the copy functions share; one
    // case per SRDO, filled by writeCase.
    void writeSrdoSwitch(GeneratedText &out, quint8 direction,
                         void (SrdoGenerator::*writeCase)(GeneratedText &, quint8, quint16));
    void writeTxSRDOData(GeneratedText &out, quint8 line, quint16 index);
    void writeRxSRDOData(GeneratedText &out, quint8 line, quint16 index, bool inverted);
    void writeRxNormal(GeneratedText &out, quint8 line, quint16 index);
    void writeRxInverted(GeneratedText &out, quint8 line, quint16 index);
    const Srdo *findSrdo(quint8 line, quint16 index) const;
    bool writeFloatCarriers(GeneratedText &out, quint8 direction) const;

    QString templateDir;
    QList<quint8> lines;
    QList<Srdo> srdos;
};
