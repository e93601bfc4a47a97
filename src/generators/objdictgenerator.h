#pragma once

#include "database/objectdatabase.h"
#include "generators/abstractgenerator.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class QSaveFile;
class GeneratedText;

// Writes gen_objdict.c, the object dictionary of the protocol stack: the value tables
// (managed variables, constants, pointers to application variables), one description
// per sub-index, one assignment per object, the static PDO mapping tables, the
// data-variables structure and the functions that start the stack. With the general
// setting "overwrite_predef" it also writes gen_user.h and userOverwriteCobIdSettings.
//
// Lines written: lines 0 to 7 holding more than one object in 0x1000..0xFFFF. The
// multi-line form is used when line 1 holds more than one object, or always with the
// user preference "alwaysml".
//
// The position maps below are filled by a run and stay readable afterwards. Their keys
// are subKey()/indexKey(); a shared sub-index is keyed under line 0.
//
// Every sub-index is read through the store once per run. For large projects the caller
// fills the store's sub-index cache first, as the generation run does; without it each
// sub-index costs one statement.
class ObjDictGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    // One object as read for a run: its sub-indices in ascending order.
    struct SubEntry
    {
        quint8 sub = 0;
        ObjectDataBase::SUBINDEX_DATA_T data;
    };

    struct IndexEntry
    {
        quint16 index = 0;
        quint8 objectType = 7;
        // getSameStartSub of the object.
        quint8 sameStartSub = 0xFF;
        QVector<SubEntry> subs;

        const SubEntry *find(quint8 sub) const;
        quint8 highestSub() const { return subs.isEmpty() ? 0 : subs.last().sub; }
    };

    // compact: describe runs of equal sub-indices at the end of an array by one entry
    // (general setting "compact_array_description").
    explicit ObjDictGenerator(bool compact, QObject *parent = nullptr);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // line << 24 | index << 8 | sub; line 0 for a shared sub-index.
    static quint32 subKey(quint8 line, quint16 index, quint8 sub, bool shared = false);
    // line << 24 | index.
    static quint32 indexKey(quint8 line, quint16 index);

    // A whole number, "0x" hexadecimal or decimal, with an optional sign and without the
    // text "$nodeid+" (any case). False, and 0, when the text is no number.
    static bool parseInteger(const QString &text, quint64 &uValue, qint64 &sValue);
    // Two entries of an array may be described by one compact description: equal data
    // type, access, mapping, limits, size, flags, implementation, variable name and
    // default value.
    static bool sameArrayContent(const ObjectDataBase::SUBINDEX_DATA_T &a,
                                 const ObjectDataBase::SUBINDEX_DATA_T &b);
    // "CO_ATTR_..." flags of a description entry, joined by " | ".
    static QString getODAttributes(quint16 datatype, const QString &accesstype, quint8 pdomapping,
                                   bool defval, bool limit, bool store, bool compact);
    // "CO_DTYPE_" + type + service suffix, padded to 18 characters. TIME_OF_DAY is
    // stored as UNSIGNED48; the record's data type is changed accordingly.
    static QString getImplementationDataType(quint16 index, quint8 sub,
                                             ObjectDataBase::SUBINDEX_DATA_T &data);
    // The same written into out.
    static void writeImplementationDataType(GeneratedText &out, quint16 index, quint8 sub,
                                            ObjectDataBase::SUBINDEX_DATA_T &data);
    // The data type whose tables and CO_DTYPE name hold values of a data type in the
    // stack: the type itself, or a stack type of the same size for the types the stack
    // has no tables for. TIME_OF_DAY and TIME_DIFFERENCE are kept as UNSIGNED48,
    // INTEGER40, INTEGER48 and INTEGER64 as the unsigned type of their size (two's
    // complement, the same bytes on the bus), REAL64 as UNSIGNED64 holding its IEEE bit
    // pattern, the small bit fields as UNSIGNED8, the visible-string variants as visible
    // strings. The stack has no 7-byte type: INTEGER56 and UNSIGNED56 are kept as
    // UNSIGNED64, which the model check reports. Every other type (UNICODE_STRING, the
    // larger bit fields, complex and unknown types) is kept as an octet string: the bytes
    // of an application variable.
    static quint16 storedType(quint16 datatype);
    // Type part of an implementation data type: the upper-cased short name of the stored
    // type, "DOMAIN" and "BOOL" for those types.
    static QString dataTypePart(quint16 datatype);
    // Access part of the attributes: "CO_ATTR_READ", "CO_ATTR_WRITE" or both, followed by
    // the mapping directions of a mappable entry.
    static QString accessAttributes(const QString &accesstype, quint8 pdomapping);
    // Name part of the value arrays of a data type's stored type: "u8" (od_u8,
    // od_const_u8, od_ptr_u8), ..., "vis_string", "utf8_string", "octet_string", "domain".
    static QString valueArrayType(quint16 datatype);
    // The memory-specifier and storage-class defaults every dictionary file starts with.
    static void writeStorageClasses(GeneratedText &out);
    // "CO_ODTYPE_VAR", "CO_ODTYPE_DOM", "CO_ODTYPE_ARRAY" or "CO_ODTYPE_STRUCT" for the
    // object types 7, 2, 8 and 9; empty for others.
    static QString objectTypeText(quint8 objectType);
    // With compact arrays, the lowest sub-index of the run of equal, consecutive
    // sub-indices that ends at the highest one; 0xFF when there is no such run of at
    // least two, for objects below 0x1200 and for objects with fewer than 3 sub-indices.
    static quint8 sameStartSub(const IndexEntry &entry, bool compact);

    const QMap<quint32, quint16> &managedPositions() const { return varPositions; }
    const QMap<quint32, quint16> &constantPositions() const { return constPositions; }
    const QMap<quint32, quint16> &lowLimitPositionMap() const { return lowLimitPositions; }
    const QMap<quint32, quint16> &highLimitPositionMap() const { return highLimitPositions; }
    const QMap<quint32, quint16> &pointerPositions() const { return ptrPositions; }
    const QMap<quint32, quint16> &descriptionPositions() const { return descPositions; }
    // Lines of the multi-line prototypes and calls of the last run.
    const QList<quint8> &multiLineLines() const { return lines; }

public slots:
    void doJob() override;

private:
    struct LineEntry
    {
        quint8 line = 0;
        QVector<IndexEntry> indices;
        QHash<quint16, int> byIndex;

        const IndexEntry *find(quint16 index) const;
        // Indices of the object range first..last, ascending.
        QList<quint16> indicesIn(quint16 first, quint16 last) const;
    };

    // The elements of one value array and, for the constant tables, the position of
    // each distinct element.
    struct ValueArray
    {
        QStringList elements;
        QHash<QString, quint16> positions;
    };

    // Reading the project (objdictgenerator.cpp).
    void decideLineForm();
    int objectCount(quint8 line) const;
    void loadDictionary();
    const LineEntry *lineEntry(quint8 line);
    LineEntry readLine(quint8 line);
    quint8 computeSameStartSub(const IndexEntry &entry) const;
    const IndexEntry *findIndex(quint8 line, quint16 index) const;
    const SubEntry *findSub(quint8 line, quint16 index, quint8 sub) const;
    // Indices first..last of a line read, ascending.
    QList<quint16> indicesOf(quint8 line, quint16 first, quint16 last) const;
    bool isMultiLineForm() const { return multiLine || forceMultiLine; }
    QString setting(const char *key) const;
    int settingNumber(const char *key) const;
    QString tableSuffix(quint8 line) const;
    QString indexStrFromKey(quint8 line, quint16 index, quint8 sub) const;
    // Writes the label of a sub-index ("0x2000:1") into text (labelCapacity bytes) and
    // returns its length.
    static constexpr int labelCapacity = 16;
    int writeLabel(char *text, quint8 line, quint16 index, quint8 sub) const;

    // Items 1 to 11 of the file, and gen_user.h (objdictgenerator_header.cpp).
    void prepareOutputFile(GeneratedText &out);
    void writeIncludes(GeneratedText &out);
    void writeMultiLinePrototypes(GeneratedText &out);
    void writeApplicationHeaders(GeneratedText &out);
    void writeStaticIndications(GeneratedText &out);
    void writeObjectCounts(GeneratedText &out);
    void writeUserHeader();

    // Value tables (objdictgenerator_values.cpp).
    // The stack keeps the value of this entry itself; it gets no managed variable.
    static bool stackKeepsValue(quint16 index, quint8 sub);
    void defineManagedVariables(GeneratedText &out);
    void defineAllConsts(GeneratedText &out);
    void defineApplicationVariables(GeneratedText &out);
    quint16 addConstant(const QString &array, const QString &element);
    void addConstantsOf(quint8 line, quint16 index, const SubEntry &sub);
    void addApplicationVariable(quint8 line, quint16 index, const SubEntry &sub);
    void writeArray(GeneratedText &out, const QString &name, const QString &header);

    // Descriptions and assignments (objdictgenerator_describe.cpp).
    void describeObjects(GeneratedText &out);
    void describeSubObject(GeneratedText &out, quint8 line, quint16 index, const SubEntry &sub,
                           bool compactStart);
    quint16 getReferencePosition(quint8 line, quint16 index, const SubEntry &sub) const;
    void assignObjects(GeneratedText &out);
    QString assignIndex(quint8 line, const IndexEntry &entry) const;
    static bool isAssigned(const IndexEntry &entry);
    // Entries of the object up to the start of its compact run, without the virtual ones;
    // with a line other than 0, also without the shared ones, which line 0 describes.
    int describedEntries(const IndexEntry &entry, int line = 0) const;

    // PDO mapping tables and the data-variables structure (objdictgenerator_mapping.cpp).
    void createMappingTables(GeneratedText &out);
    void writeMappingTable(GeneratedText &out, quint8 line, quint16 commIndex, bool transmit);
    QString mappingEntry(quint8 line, quint32 value, const QString &tpdoField) const;
    QString getObjectAddress(quint8 line, quint16 index, quint8 sub) const;
    int getTPDO(quint8 line, quint32 value) const;
    bool isStaticMapping(quint8 line, quint16 commIndex) const;
    bool isSharedMapping(quint8 line, quint16 mapIndex) const;
    quint32 mappingValue(quint8 line, quint16 mapIndex, quint8 sub) const;
    int mappingCount(quint8 line, quint16 mapIndex) const;
    QString mappingTableName(quint8 line, quint16 commIndex, bool transmit) const;
    QString lineTableName(quint8 line, quint16 commIndex, bool transmit) const;
    void initDataTypeStructure(GeneratedText &out);

    // Stack start, single-line form (objdictgenerator_init.cpp).
    // The three lines that end the function when a service call failed.
    static QString returnCheck(int indent = 4);
    void initObjectDictionary(GeneratedText &out);
    void writeServiceStructure(GeneratedText &out, bool fdEntry);
    void writeSingleLineServices(GeneratedText &out, quint8 line);
    void writeSingleLineSdo(GeneratedText &out, quint8 line);
    void writeErrorControlToTime(GeneratedText &out, quint8 line, bool withLine);
    void writeLoadFunction(GeneratedText &out);
    void writeSingleLineNmt(GeneratedText &out);
    void initTpdo(GeneratedText &out, quint8 line, quint16 index);
    void initRpdo(GeneratedText &out, quint8 line, quint16 index);
    QString pdoArguments(quint8 line, quint16 index, int number, bool transmit) const;
    QString constRef(const char *array, quint8 line, quint16 index, quint8 sub) const;

    // Stack start, multi-line form (objdictgenerator_initml.cpp).
    void initObjectDictionary_ml(GeneratedText &out);
    void writeLoadFunctionHead(GeneratedText &out, const char *name);
    void writeMultiLineMain(GeneratedText &out);
    void writeMultiLineCommon(GeneratedText &out);
    void writeMultiLineDispatch(GeneratedText &out);
    void writeLineFunctionHead(GeneratedText &out, const QString &name, const QString &fdParameter);
    void writeLineFunction(GeneratedText &out, const LineEntry &entry, int assignOffset,
                           int assignCount);
    void writeLineSdo(GeneratedText &out, quint8 line);
    void writeLineOptionalServices(GeneratedText &out, quint8 line);
    void writeLineLssNmt(GeneratedText &out, quint8 line);
    void writeFinishFunction(GeneratedText &out);
    int lineRole(quint8 line) const;

    // userOverwriteCobIdSettings (objdictgenerator_user.cpp).
    void overwrite301(GeneratedText &out);
    bool hasNodeIdRelativePdo(quint8 line);
    // Some line the function covers has an SDO or PDO communication object.
    bool hasCobIdObject();
    void writeCobIdGroup(GeneratedText &out, quint8 line, quint16 first, quint16 last,
                         const QString &heading, bool withLine);
    void writeCobIdReadBack(GeneratedText &out, quint8 line, quint16 index, quint8 sub,
                            bool withLine);

    QSharedPointer<QSaveFile> outFile;
    QSharedPointer<QSaveFile> userFile;
    QMap<quint32, quint16> varPositions;
    QMap<quint32, quint16> constPositions;
    QMap<quint32, quint16> lowLimitPositions;
    QMap<quint32, quint16> highLimitPositions;
    QMap<quint32, quint16> descPositions;
    QMap<quint32, quint16> ptrPositions;
    QHash<QString, ValueArray> arrays;
    // The value arrays written, by name (for od_data_variables).
    QSet<QString> writtenArrays;
    // The mapping tables written, by name; a shared receive mapping by its index.
    QSet<QString> writtenMapTables;
    QHash<quint16, QString> sharedRpdoTables;
    QList<quint8> lines;
    bool compact = false;
    bool canFd = false;
    // General setting "limit_check" > 0: writable entries with limits carry them.
    bool limitCheck = false;
    // General setting "bitwise_mapping" is 1: mapping lengths are in bits.
    bool bitwiseMapping = false;

    // The project as read at the start of the run: the lines written, in order, and
    // further lines read on demand.
    QList<quint8> odLineNumbers;
    QMap<quint8, LineEntry> odLines;
    int maxMappingEntries = 0;
};
