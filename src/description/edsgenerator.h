#pragma once

#include "database/objectdatabase.h"
#include "generators/abstractgenerator.h"

#include <QList>
#include <QSharedPointer>
#include <QString>

class LineObjects;
class QSaveFile;
class GeneratedText;

// Writes the electronic data sheet (EDS, "EDSVersion=4.0") of one CANopen line.
//
// One line may yield several files, one per EDS variant: an object whose metadata holds
// "eds_define" belongs only to the variant of that name, every other object to all of
// them. The generator for the empty variant writes the base file. File names:
//
//   variant  multiLine  file
//   ""       false      <folder>/<project>.eds
//   ""       true       <folder>/<project>_<line>.eds
//   "X"      false      <folder>/<project>_X.eds
//   "X"      true       <folder>/<project>_<line>_X.eds
//
// The file is UTF-8 without byte-order mark and every line ends with CR LF. Stored texts
// (settings, default values) are written exactly as the project holds them. An abort
// request is honoured between objects; the file then holds the objects written so far.
class EDSGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit EDSGenerator(const QString &variant = QString(), QObject *parent = nullptr);

    QString variant() const { return edsVariant; }
    // The file this generator writes, as named in the table above (without the folder).
    QString fileName() const;

    // Tests "<folder>/<project>.eds", also for per-line and variant files.
    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;
    // After a run: the file was written completely and replaced the previous one.
    bool isFileWritten() const { return fileWritten; }

    // The indices of the list that belong to the variant, in the order given: those
    // without "eds_define" in their metadata and those whose value equals the variant
    // (case-sensitive).
    QList<quint16> reduceObjectList(quint8 line, QList<quint16> &indices, QString variant);
    static bool belongsToVariant(const ObjectDataBase::MetaData &metadata, const QString &variant);

public slots:
    void doJob() override;

private:
    bool prepareOutputFile();
    void writeHeading();
    void writeFileInfo();
    void writeComments();
    void writeDeviceInfo();
    void writeDummyUsage();
    void generateObjectLists();
    void writeObjectList(const char *section, const QList<quint16> &indices);
    void generateIndexSection(quint16 index);
    void generateSubInfo(GeneratedText &out, const ObjectDataBase::SUBINDEX_DATA_T &data);
    void writeObjectComment(const QString &description);

    QString setting(const QString &key) const;
    QString identityValue(quint8 sub) const;
    bool groupMessaging() const;

    QSharedPointer<QSaveFile> file;
    bool fileWritten = false;
    QString edsVariant;
    const LineObjects *lineObjects = nullptr; // the line's objects during the job
    QList<quint16> objects; // the variant's objects 0x1000..0xFFFF, ascending
    GeneratedText *out = nullptr;
};
