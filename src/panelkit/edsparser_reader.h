#pragma once

// Private to EdsParser: the one-pass reader behind LoadEds().

#include "panelkit/edsparser.h"

#include <QStringRef>

#include <array>
#include <bitset>
#include <deque>
#include <vector>

class EdsParser::Reader
{
public:
    Reader(EdsParser &parser, const QString &fileName);
    bool run(const QByteArray &content);

    // An unsigned number: with base 0 in C notation ("0x" hexadecimal, a leading 0 octal,
    // else decimal, an optional "+"), otherwise digits of that base. False for any other
    // character, an empty text and a value beyond 64 bits.
    static bool cNumber(const QStringRef &text, int base, quint64 &value);

private:
    // The keys of object and sub-object sections the reader knows.
    enum Key {
        ParameterName,
        ObjectType,
        DataType,
        AccessType,
        DefaultValue,
        PDOMapping,
        LowLimit,
        HighLimit,
        ObjFlags,
        SubNumber,
        CompactSubObj,
        ParameterValue,
        Denotation,
        UploadFile,
        DownloadFile,
        KeyCount,
        UnknownKey = KeyCount
    };

    // A trimmed value: a slice of the decoded text.
    struct Field
    {
        int start = -1;
        int length = 0;
        int line = 0;
        bool present() const { return start >= 0; }
    };

    struct Entry
    {
        std::array<Field, KeyCount> fields;
        int line = 0;
        bool seen = false;
    };

    struct SubEntry
    {
        quint8 sub = 0;
        Entry entry;
    };

    // One entry of a Name, Value or Denotation section: element number and value.
    struct ListItem
    {
        int element = 0;
        Field value;
    };

    struct ObjectEntry
    {
        quint16 index = 0;
        Entry object;
        std::vector<SubEntry> subs;
        std::bitset<256> subSeen;
        int firstSubLine = 0;
        std::vector<ListItem> names;
        std::vector<ListItem> values;
        std::vector<ListItem> denotations;
        bool listed = false;
    };

    enum class SectionKind { None, Object, Sub, Names, Values, Denotations, Links, General };

    // Kinds of repeated diagnostics reported once with a count. The object lists'
    // kinds are notes (Info), the others warnings.
    enum class Repeat {
        HashComment,
        TrailingText,
        InlineComment,
        UnknownKey,
        NotListed,
        ListedMissing,
        TextDefault,
        Count
    };

    // decoding and scanning (edsparser_reader.cpp)
    bool decode(const QByteArray &content);
    void scan();
    void handleLine(int begin, int end, int rawEnd, int line);
    void openSection(int begin, int end, int line);
    void classifySection(const QStringRef &name, int line);
    void openObjectSection(quint16 index, int line);
    void openSubSection(quint16 index, quint64 sub, int line);
    void handleKeyValue(int begin, int end, int line);
    void storeField(Entry &entry, const QStringRef &key, const Field &value, int line);
    void storeListItem(const QStringRef &key, const Field &value, int line);
    void storeGeneral(const QStringRef &key, const Field &value, int line);
    void closeSection();
    ObjectEntry &object(quint16 index);

    // objects (edsparser_objects.cpp)
    void checkObjectLists();
    void readObjectList(const QString &section);
    void deliverObjects();
    void deliverObject(ObjectEntry &object);
    bool readObjectHeader(ObjectEntry &object, CAN::CANopenIndex &record);
    void deliverVariable(ObjectEntry &object, const CAN::CANopenIndex &record);
    void deliverSubObjects(ObjectEntry &object, const CAN::CANopenIndex &record);
    void deliverCompactElements(ObjectEntry &object, const CAN::CANopenIndex &record);
    void checkSubNumber(const ObjectEntry &object);
    void ignoreLists(const ObjectEntry &object);
    // False, with an error, when the entry lacks its DataType (and impliedType is 0) or its
    // AccessType.
    bool readValue(const Entry &entry, quint16 index, quint8 sub, CAN::CANopenSubIndex &record,
                   quint16 impliedType = 0);
    void readLimits(const Entry &entry, quint16 index, CAN::CANopenSubIndex &record);
    // Helper::getDefaultLimitsInt64, asked once per data type.
    void typeLimits(quint16 dataType, qint64 &low, qint64 &high);
    bool readLimit(const Field &field, quint16 index, quint16 dataType, bool upper, qint64 &value);
    void checkDefault(const QString &value, const Field &field, quint16 index, quint16 dataType);

    // values
    QStringRef text(const Field &field) const;
    QString string(const Field &field) const;
    QString sectionName() const { return string(m_sectionName); }
    // A number with C prefixes; an inline "# comment" after it is dropped with a warning.
    bool number(const Field &field, quint64 &value);
    bool signedNumber(const Field &field, qint64 &value, bool &hexadecimal);
    QStringRef withoutInlineComment(const Field &field);
    quint16 readDataType(const Field &field, quint16 index);
    // A number in any notation a file uses, or a floating-point number.
    static bool looksNumeric(const QString &value);

    // diagnostics
    void warning(int line, const QString &text, int index = -1);
    void error(int line, const QString &text, int index = -1);
    void repeated(Repeat kind, int line, const QString &text, int index = -1);
    void finishRepeats();
    void sortDiagnostics();

    EdsParser &m_parser;
    QString m_fileName;
    QString m_text;

    std::deque<ObjectEntry> m_objects;
    std::vector<int> m_slots; // index -> position in m_objects, -1 when none
    bool m_hasObjectLists = false;
    int m_missingObjects = 0;
    bool m_lastObjectShort = false;
    int m_lastSectionIndex = -1;
    bool m_unterminated = false;
    int m_lineCount = 0;

    SectionKind m_kind = SectionKind::None;
    Entry *m_entry = nullptr;
    ObjectEntry *m_object = nullptr;
    Section *m_section = nullptr;
    Field m_sectionName; // of the open section, for messages and comments
    int m_sectionLine = 0;
    QString m_pendingComment;
    int m_sectionCount = 0;

    struct RepeatState
    {
        int first = -1; // position in m_parser.m_diagnostics
        int more = 0;
    };
    std::array<RepeatState, int(Repeat::Count)> m_repeats;
    struct TypeLimits
    {
        bool known = false;
        qint64 low = 0;
        qint64 high = 0;
    };
    std::array<TypeLimits, 128> m_typeLimits;
    QHash<QString, RepeatState> m_unknownKeys;
};
