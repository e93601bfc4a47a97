#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace CAN {

// One object of an EDS or DCF file as EdsParser delivers it.
struct CANopenIndex
{
    quint16 index = 0;
    // Object code: 2 DOMAIN, 5 DEFTYPE, 6 DEFSTRUCT, 7 VAR, 8 ARRAY, 9 RECORD.
    quint8 objectType = 7;
    // DataType of the object section; for an ARRAY or RECORD without one, the type of its
    // first element (sub-index 1), else UNSIGNED8.
    quint16 dataType = 5;
    // ParameterName, trimmed.
    QString name;
    // CompactSubObj: number of elements of a compact array, 0 for every other object.
    quint8 compactCount = 0;
    // AccessType and PDOMapping of the elements of a compact array, as written.
    QString compactAccessType;
    quint8 compactPdoMapping = 0;
    // Line of the object's section header (1-based).
    int line = 0;
};

// One sub-object of an EDS or DCF file. A VAR, DOMAIN or DEFTYPE object gives one
// sub-object, sub-index 0, from its own section; an ARRAY, RECORD or DEFSTRUCT one per
// "[xxxxsubyy]" section; a compact array one per element (sub-indices 1 to CompactSubObj)
// with the object's type, access, mapping, default value and limits and the element's
// name, value and denotation from the "[xxxxName]", "[xxxxValue]" and "[xxxxDenotation]"
// sections.
struct CANopenSubIndex
{
    quint16 index = 0;
    quint8 subIndex = 0;
    quint16 dataType = 0;
    // AccessType as written in the file (trimmed); Helper::normalizeAccessType maps it.
    QString accessType;
    QString parameterName;
    // DefaultValue and ParameterValue as text. Numbers keep their notation; a node-ID
    // expression is written "$NODEID+<term>" whatever its case, spacing and order in the
    // file ("0x180 + $nodeid" gives "$NODEID+0x180"); other expressions stay as written.
    QString defaultValue;
    QString parameterValue;
    QString denotation;
    // DCF names of a file holding the DOMAIN's content.
    QString uploadFile;
    QString downloadFile;
    // LowLimit and HighLimit. A limit the file leaves out is the data type's own
    // (Helper::getDefaultLimitsInt64); a hexadecimal limit of a signed type is sign-extended
    // from the type's width (0xFFFFFFFF of an INTEGER32 is -1).
    qint64 lowLimit = 0;
    qint64 highLimit = 0;
    // 1 when the section has a DefaultValue key (even an empty one), else 0.
    quint8 defaultMode = 0;
    // The file gives at least one of LowLimit and HighLimit.
    bool hasLimits = false;
    // ObjFlags bit 1 and bit 0.
    bool refuseRead = false;
    bool refuseWrite = false;
    bool pdoMapping = false;
    int line = 0;
};

} // namespace CAN

// A lenient reader of CiA 306 device descriptions (EDS) and configuration files (DCF).
//
// LoadEds() reads a whole file in one pass and then delivers its objects in ascending
// index order: newIndex() once per object, directly followed by newSubIndex() for each of
// its sub-objects in ascending sub-index order, all before LoadEds() returns.
//
// The reader accepts what real files contain: section names and keys in any case
// ("[1a00]", "[1A00SUB3]", "[3010Sub0]"), CR LF, LF or CR line ends, UTF-8 with or
// without a byte-order mark and Latin-1, ";" comment lines anywhere, blank lines and lines
// of blanks, empty values, numbers in decimal, "0x" hexadecimal and octal, node-ID
// expressions in any case, spacing and order, compact arrays with their Name, Value and
// Denotation sections, object links, sparse sub-indices, any EDSVersion, missing or
// reordered [FileInfo] and [DeviceInfo] keys, "[DeviceComissioning]" as well as
// "[DeviceCommissioning]", and the DCF keys ParameterValue, Denotation, UploadFile and
// DownloadFile.
//
// It never stops at the first problem: everything it can read is delivered, and every
// problem is collected as a Diagnostic with file, line and text. An Error marks something
// the reader could not take over (an object, a key or a line is lost or incomplete); a
// Warning marks something it read leniently; an Info notes a fact about the file that
// loses nothing (an object missing from the object lists, or listed without a section). A problem repeated on many lines is reported
// once, at its first line, with the number of further lines.
//
// The ";;" comment lines of the file are collected per section (comments()), and the
// other sections ([FileInfo], [DeviceInfo], [DummyUsage], [Comments], ...) are kept for
// value().
class EdsParser : public QObject
{
    Q_OBJECT

public:
    struct Diagnostic
    {
        // In rising order.
        enum Severity { Info, Warning, Error };

        QString file;
        int line = 0;
        QString text;
        Severity severity = Warning;
        // The object the problem belongs to, or -1 for the file as a whole.
        int index = -1;

        // "file:line: warning: text" (or "error", "info"); without a line
        // "file: error: text".
        QString toString() const;
    };

    // The ";;" lines of one section, each without its ";;" and ending with "\n".
    struct SectionComment
    {
        QString section; // section name as written, without brackets
        int line = 0; // line of the section header
        QString text;
    };

    explicit EdsParser(QObject *parent = nullptr);
    ~EdsParser() override;

    // Reads the file and delivers its objects. False when nothing could be read: the
    // file is missing or unreadable, empty, binary, or holds no object section. The
    // reason is then the last diagnostic (an Error without index).
    bool LoadEds(const QString &path);
    // The same for a file's content; fileName only names it in the diagnostics.
    bool loadEdsData(const QByteArray &content, const QString &fileName);

    QList<Diagnostic> diagnostics() const { return m_diagnostics; }
    int errorCount() const;
    // The objects with an Error, ascending.
    QList<quint16> objectsWithErrors() const;

    QList<SectionComment> comments() const { return m_comments; }

    // Value of key in a section that is no object section, trimmed; section and key in any
    // case; "DeviceComissioning" and "DeviceCommissioning" name the same section. Empty
    // with *present false when the file has no such key.
    QString value(const QString &section, const QString &key, bool *present = nullptr) const;
    bool hasSection(const QString &section) const;
    // Keys of such a section as written, in file order.
    QStringList keys(const QString &section) const;

    // The access type the store keeps ("const", "ro", "wo", "rw", "rwr", "rww") for an
    // AccessType as written in a file; Helper::normalizeAccessType, fast for the usual forms.
    static QString storedAccessType(const QString &written, bool *known = nullptr);
    // A node-ID expression in the one form the store keeps: "$NODEID" or "$NODEID+<term>"
    // ("0x180 + $nodeid" gives "$NODEID+0x180"); any other value unchanged.
    static QString nodeIdExpression(const QString &value);

signals:
    void newIndex(const CAN::CANopenIndex &object);
    void newSubIndex(const CAN::CANopenSubIndex &subObject);

private:
    class Reader;
    friend class Reader;

    QList<Diagnostic> m_diagnostics;
    QList<SectionComment> m_comments;
    struct Section
    {
        QString name;
        QStringList keyOrder;
        QHash<QString, QString> values; // lower-case key -> value
        QHash<QString, int> lines; // lower-case key -> line
    };
    QHash<QString, Section> m_sections; // lower-case name -> section
};
