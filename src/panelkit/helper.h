#pragma once

#include "panelkit/canopendatatype.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// The CANopen vocabulary of the tool: names, sizes and limits of data types, texts of
// object codes, access types, PDO mapping classes and implementation kinds, and the small
// text conversions that readers, generators and editors share. All members are static and
// free of side effects except modifyLineEnding, which rewrites a file.
class Helper
{
public:
    Helper() = default;

    // ----- data types -----------------------------------------------------------------

    // Long name ("UNSIGNED8", "VIS_STRING_NULL", ...); empty for an unknown index.
    static QString index2DataTypeString(quint16 dataType);
    // Lower-case short name ("u8", "i32", "r32", "b", "vs", "d" for DOMAIN, "u2" .. "u21",
    // "vsn", "vsa", "utf8"); empty for an unknown index and for the structure types 0x20
    // to 0x23.
    static QString index2DataTypeShortString(quint16 dataType);
    // Data type index of a name as found in EDS, XDD, CSV and catalogue files, in any case:
    // long names ("UNSIGNED32", "visible_string", "Visible String"), short names ("u32"),
    // common aliases ("uint32", "uint32_t", "int16", "float", "double", "bool", "string"),
    // IEC 61131 names ("UDINT", "LREAL") and numbers ("0x0007", "0007h", the four-digit
    // zero-padded hexadecimal "0010" of XDD files, plain decimal "7" or "124"). Returns 0
    // for anything else, including numbers that are no known data type.
    static quint16 mapDataTypeString(const QString &name);
    // Bit length of a fixed-size type; 0 for the types without a fixed length (strings,
    // DOMAIN, the structures, the tool's string variants) and for unknown indices.
    static unsigned int getDataLengthBits(CAN::CANopenDataType dataType);
    static unsigned int getDataLengthBits(quint16 dataType);
    // Lowest and highest value of a numeric type as decimal text ("-128" and "127" for
    // INTEGER8, "0" and "18446744073709551615" for UNSIGNED64, "-3.40282347e+38" and
    // "3.40282347e+38" for REAL32). Non-numeric types give false and two empty texts.
    static bool getDefaultLimits(quint16 dataType, QString &low, QString &high);
    // The same limits clamped to what a signed 64-bit limit column can hold (the upper
    // limit of UNSIGNED64 and the real limits are clamped). False for non-numeric types.
    static bool getDefaultLimitsInt64(quint16 dataType, qint64 &low, qint64 &high);
    // Every data type a sub-index may have (the structure types excluded), index to long
    // name, in index order; fills the data type lists of the editors.
    static const QMap<quint16, QString> stringDataTypeIndexMap;

    // ----- object attributes ------------------------------------------------------------

    // "NULL" 0, "DOMAIN" 2, "DEFTYPE" 5, "DEFSTRUCT" 6, "VAR" 7, "ARRAY" 8, "RECORD" 9;
    // an unknown code gives its decimal number.
    static QString objectCode2String(quint8 objectCode);
    // Accepts the names above and "VARIABLE" in any case, and the numbers ("7", "0x7",
    // "0x07"). Anything else gives 7 (VAR) and sets *ok to false.
    static quint8 string2objectCode(const QString &text, bool *ok = nullptr);
    // "Forbidden" 0, "Allowed" 1, "Default" 2, "RPDO" 3, "TPDO" 4; others their number.
    static QString pdoMapping2String(quint8 pdoMapping);
    // "Managed Variable" 0, "Managed Const" 1, "Variable" 2 (an application variable),
    // "Virtual Object" 3; others their number.
    static QString implementation2String(quint8 implementation);
    // The stored access type ("const", "ro", "wo", "rw", "rwr", "rww") of an access text as
    // written by EDS, XDD and CSV files or shown by the editors, in any case and with blanks,
    // hyphens or underscores: "readonly", "read-only", "Read Only", "constant", "readWrite",
    // "readWriteInput" (rwr), "readWriteOutput" (rww), "write", ... An inline comment after
    // '#' is ignored. An unknown text gives "ro" and sets *ok to false.
    static QString normalizeAccessType(const QString &text, bool *ok = nullptr);

    // ----- names and texts -------------------------------------------------------------

    // Fills the $-variables of an object or variable name: "$i" index in decimal, "$I"
    // index in upper-case hexadecimal, "$s" sub-index in decimal, "$S" sub-index in
    // upper-case hexadecimal (both hexadecimal forms without "0x" and without padding),
    // "$z" sub-index - 1 in decimal. Other "$" sequences stay as they are; the result of a
    // substitution is never substituted again.
    static QString substituteVariables(const QString &name, quint16 index, quint8 subIndex);
    // Lower-case hexadecimal digits of number, zero-padded to at least digits ("01a0" for
    // 0x1A0 and 4), without "0x".
    static QString hexDigits(quint32 number, int digits);
    // The UTF-8 bytes of a string value.
    static QByteArray UTF8String2ByteArray(const QString &value);
    // The UTF-8 bytes as a C array initialiser: "{ 0x41, 0xE2, 0x82, 0xAC }". An empty
    // value gives "{ 0x00 }", as C needs at least one initialiser.
    static QString UTF8String2ArrayString(const QString &value);
    // Category of a catalogue word: "mandatory" / "m" 0, "optional" / "o" 1, "conditional"
    // / "c" 2, any case; anything else gives 1, the record default.
    static quint8 convertCategory(const QString &word);
    // Display text of a category: "Mandatory", "Optional", "Conditional"; others "Optional".
    static QString convertCategory(quint8 category);
    // Column name of an object or sub-index record to the property name the project
    // comparison shows ("defaultvalue" -> "DefaultValue", "sharedlines" -> "In all lines")
    // and a property name back to its column. Other texts are returned unchanged.
    static QString convertDbNames(const QString &name);
    // EnergyBus device kind to its short code ("Battery" -> "bat", "Motor Controller Unit"
    // -> "mcu", ...) and a code back to its kind; any case. Unknown texts give an empty text.
    static QString convertEBType(const QString &kindOrCode);
    // Rewrites a file so that every line ends with ending ("\r\n", "\n" or "\r"), whatever
    // mix it held before. The last line keeps or lacks its terminator as before. A missing
    // file, an unknown ending or a failed write leave the file untouched and give false.
    static bool modifyLineEnding(const QString &file, const QString &ending);
};
