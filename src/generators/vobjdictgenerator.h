#pragma once

#include "database/objectdatabase.h"
#include "generators/abstractgenerator.h"
#include "generators/objdictgenerator.h"

#include <QList>
#include <QMap>
#include <QString>

class GeneratedText;

// Writes gen_vobjdict.c, the virtual object dictionary: the entries whose values live in
// memory the processor cannot address directly (sub-indices with implementation 3, which
// gen_objdict.c leaves out). The stack reaches those values through access functions, so
// the file holds only a description table (vod_description) and an assignment table
// (vod_assign) in the row formats of gen_objdict.c. gen_define.h gives their sizes,
// CO_VOBJ_DESC_CNT and CO_VOD_ASSIGN_CNT.
//
// Lines written: lines 0 to 7 holding more than one object in 0x1000..0xFFFF. Comments
// name the line when line 1 holds more than one object, or always with the user
// preference "alwaysml".
class VobjDictGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit VobjDictGenerator(QObject *parent = nullptr);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // Some sub-index of the lines written has implementation 3. The generation run writes
    // gen_vobjdict.c only then and deletes an old one otherwise.
    bool areVirtualObjectsPresent() const;
    static bool areVirtualObjectsPresent(const ObjectDataBase *db);

    // "CO_DTYPE_" + type + "_PTR", padded to 18 characters.
    static QString getImplementationDataType(quint16 datatype);
    // Attributes of a virtual entry: the numeric flag, the access part, always
    // CO_ATTR_DYNOD, and CO_ATTR_COMPACT for the start of a compact run.
    static QString getODAttributes(quint16 datatype, const QString &accesstype, quint8 pdomapping,
                                   bool compact);

    // Filled by a run: the position of a virtual value among the virtual values of its
    // type group (key line << 24 | index << 8 | sub), and the first vod_description entry
    // of an object (key line << 24 | index).
    const QMap<quint32, quint16> &virtualPositions() const { return varPositions; }
    const QMap<quint32, quint16> &descriptionPositions() const { return descPositions; }

public slots:
    void doJob() override;

private:
    using SubEntry = ObjDictGenerator::SubEntry;

    // An object that holds virtual sub-indices, with all its sub-indices.
    struct VirtualObject
    {
        quint8 line = 0;
        ObjDictGenerator::IndexEntry entry;
    };

    static QList<quint8> dictionaryLines(const ObjectDataBase *db);
    void loadVirtualObjects();
    VirtualObject readObject(quint8 line, quint16 index) const;
    // Virtual sub-indices of an object up to the start of its compact run.
    static QList<const SubEntry *> describedSubs(const ObjDictGenerator::IndexEntry &entry);
    bool isMultiLineForm() const { return multiLine || forceMultiLine; }
    QString setting(const char *key) const;

    void prepareOutputFile(GeneratedText &out);
    void defineApplicationVariables();
    void describeObjects(GeneratedText &out);
    QString describeSubObject(const VirtualObject &object, const SubEntry &sub,
                              bool compactStart) const;
    void assignObjects(GeneratedText &out);
    QString assignIndex(const VirtualObject &object) const;

    QList<VirtualObject> objects;
    QMap<quint32, quint16> varPositions;
    QMap<quint32, quint16> descPositions;
    bool compact = false;
    bool limitCheck = false;
};
