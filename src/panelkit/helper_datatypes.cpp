#include "panelkit/helper.h"

#include <QHash>
#include <QRegularExpression>

#include <limits>

namespace {

enum class Kind { Boolean, Signed, Unsigned, Real, Other };

struct DataTypeInfo
{
    quint16 code;
    const char *longName;
    const char *shortName;
    unsigned int bits; // 0: no fixed length
    Kind kind;
    bool structure;
};

// One row per data type the tool knows, in index order.
const DataTypeInfo dataTypes[] = {
    {0x0001, "BOOLEAN", "b", 1, Kind::Boolean, false},
    {0x0002, "INTEGER8", "i8", 8, Kind::Signed, false},
    {0x0003, "INTEGER16", "i16", 16, Kind::Signed, false},
    {0x0004, "INTEGER32", "i32", 32, Kind::Signed, false},
    {0x0005, "UNSIGNED8", "u8", 8, Kind::Unsigned, false},
    {0x0006, "UNSIGNED16", "u16", 16, Kind::Unsigned, false},
    {0x0007, "UNSIGNED32", "u32", 32, Kind::Unsigned, false},
    {0x0008, "REAL32", "r32", 32, Kind::Real, false},
    {0x0009, "VISIBLE_STRING", "vs", 0, Kind::Other, false},
    {0x000A, "OCTET_STRING", "os", 0, Kind::Other, false},
    {0x000B, "UNICODE_STRING", "us", 0, Kind::Other, false},
    // TIME_OF_DAY and TIME_DIFFERENCE: 28 bits of milliseconds, 4 reserved, 16 bits of days.
    {0x000C, "TIME_OF_DAY", "tod", 48, Kind::Other, false},
    {0x000D, "TIME_DIFFERENCE", "td", 48, Kind::Other, false},
    {0x000F, "DOMAIN", "d", 0, Kind::Other, false},
    {0x0010, "INTEGER24", "i24", 24, Kind::Signed, false},
    {0x0011, "REAL64", "r64", 64, Kind::Real, false},
    {0x0012, "INTEGER40", "i40", 40, Kind::Signed, false},
    {0x0013, "INTEGER48", "i48", 48, Kind::Signed, false},
    {0x0014, "INTEGER56", "i56", 56, Kind::Signed, false},
    {0x0015, "INTEGER64", "i64", 64, Kind::Signed, false},
    {0x0016, "UNSIGNED24", "u24", 24, Kind::Unsigned, false},
    {0x0018, "UNSIGNED40", "u40", 40, Kind::Unsigned, false},
    {0x0019, "UNSIGNED48", "u48", 48, Kind::Unsigned, false},
    {0x001A, "UNSIGNED56", "u56", 56, Kind::Unsigned, false},
    {0x001B, "UNSIGNED64", "u64", 64, Kind::Unsigned, false},
    {0x0020, "PDO_COMMUNICATION_PARAMETER", "", 0, Kind::Other, true},
    {0x0021, "PDO_MAPPING", "", 0, Kind::Other, true},
    {0x0022, "SDO_PARAMETER", "", 0, Kind::Other, true},
    {0x0023, "IDENTITY", "", 0, Kind::Other, true},
    {100, "UNSIGNED2", "u2", 2, Kind::Unsigned, false},
    {101, "UNSIGNED3", "u3", 3, Kind::Unsigned, false},
    {102, "UNSIGNED4", "u4", 4, Kind::Unsigned, false},
    {103, "UNSIGNED5", "u5", 5, Kind::Unsigned, false},
    {104, "UNSIGNED6", "u6", 6, Kind::Unsigned, false},
    {105, "UNSIGNED7", "u7", 7, Kind::Unsigned, false},
    {106, "UNSIGNED9", "u9", 9, Kind::Unsigned, false},
    {107, "UNSIGNED10", "u10", 10, Kind::Unsigned, false},
    {108, "UNSIGNED11", "u11", 11, Kind::Unsigned, false},
    {109, "UNSIGNED12", "u12", 12, Kind::Unsigned, false},
    {110, "UNSIGNED13", "u13", 13, Kind::Unsigned, false},
    {111, "UNSIGNED14", "u14", 14, Kind::Unsigned, false},
    {112, "UNSIGNED15", "u15", 15, Kind::Unsigned, false},
    {117, "UNSIGNED19", "u19", 19, Kind::Unsigned, false},
    {119, "UNSIGNED21", "u21", 21, Kind::Unsigned, false},
    // The size of the string variants is that of the record holding them.
    {0x0078, "VIS_STRING_NULL", "vsn", 0, Kind::Other, false},
    {0x0079, "VIS_STRING_ASTERIKS", "vsa", 0, Kind::Other, false},
    {0x007C, "UTF8_STRING", "utf8", 0, Kind::Other, false},
};

const DataTypeInfo *findType(quint16 code)
{
    for (const DataTypeInfo &info : dataTypes) {
        if (info.code == code)
            return &info;
    }
    return nullptr;
}

// Upper case without blanks, hyphens and underscores, and without a C "_t" suffix, so
// that "Visible String", "visible_string" and "VISIBLESTRING" meet.
QString normalisedTypeName(const QString &name)
{
    QString text = name.trimmed().toUpper();
    if (text.endsWith(QLatin1String("_T")))
        text.chop(2);
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('-'));
    text.remove(QLatin1Char('_'));
    return text;
}

void addIntegerAliases(QHash<QString, quint16> &names, quint16 code, unsigned int bits,
                       bool isSigned)
{
    const QString n = QString::number(bits);
    if (isSigned) {
        names.insert(QLatin1String("INT") + n, code);
        names.insert(QLatin1String("SINT") + n, code);
    } else {
        names.insert(QLatin1String("UINT") + n, code);
    }
}

QHash<QString, quint16> buildTypeNames()
{
    QHash<QString, quint16> names;
    for (const DataTypeInfo &info : dataTypes) {
        names.insert(normalisedTypeName(QLatin1String(info.longName)), info.code);
        if (*info.shortName)
            names.insert(normalisedTypeName(QLatin1String(info.shortName)), info.code);
        if (info.kind == Kind::Signed || info.kind == Kind::Unsigned)
            addIntegerAliases(names, info.code, info.bits, info.kind == Kind::Signed);
    }
    const struct
    {
        const char *alias;
        quint16 code;
    } aliases[] = {
        {"BOOL", 0x0001},
        {"BIT", 0x0001},
        {"BYTE", 0x0005},
        {"FLOAT", 0x0008},
        {"FLOAT32", 0x0008},
        {"REAL", 0x0008},
        {"SINGLE", 0x0008},
        {"DOUBLE", 0x0011},
        {"FLOAT64", 0x0011},
        {"LREAL", 0x0011},
        {"VISSTRING", 0x0009},
        {"STRING", 0x0009},
        {"OCTETS", 0x000A},
        {"WSTRING", 0x000B},
        {"SINT", 0x0002},
        {"INT", 0x0003},
        {"DINT", 0x0004},
        {"LINT", 0x0015},
        {"USINT", 0x0005},
        {"UINT", 0x0006},
        {"UDINT", 0x0007},
        {"ULINT", 0x001B},
        {"VISSTRINGASTERISK", 0x0079},
        {"UTF8", 0x007C},
        {"UTF8STRING", 0x007C},
        {"TIMEOFDAY", 0x000C},
    };
    for (const auto &a : aliases)
        names.insert(QLatin1String(a.alias), a.code);
    return names;
}

// Numbers as the file formats write them: "0x0007", "0007h", the four-digit zero-padded
// hexadecimal of XDD files ("0010" is INTEGER24) and plain decimal ("124").
bool parseTypeNumber(const QString &text, quint16 &code)
{
    static const QRegularExpression cHex(QStringLiteral("^0X([0-9A-F]{1,4})$"));
    static const QRegularExpression suffixHex(QStringLiteral("^([0-9A-F]{1,4})H$"));
    static const QRegularExpression paddedHex(QStringLiteral("^0[0-9A-F]{3}$"));
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,5}$"));
    bool ok = false;
    uint value = 0;
    QRegularExpressionMatch m;
    if ((m = cHex.match(text)).hasMatch() || (m = suffixHex.match(text)).hasMatch())
        value = m.captured(1).toUInt(&ok, 16);
    else if (paddedHex.match(text).hasMatch())
        value = text.toUInt(&ok, 16);
    else if (decimal.match(text).hasMatch())
        value = text.toUInt(&ok, 10);
    if (!ok || value > 0xFFFF)
        return false;
    code = quint16(value);
    return true;
}

QMap<quint16, QString> buildIndexMap()
{
    QMap<quint16, QString> map;
    for (const DataTypeInfo &info : dataTypes) {
        if (!info.structure)
            map.insert(info.code, QLatin1String(info.longName));
    }
    return map;
}

} // namespace

const QMap<quint16, QString> Helper::stringDataTypeIndexMap = buildIndexMap();

QString Helper::index2DataTypeString(quint16 dataType)
{
    const DataTypeInfo *info = findType(dataType);
    return info ? QLatin1String(info->longName) : QString();
}

QString Helper::index2DataTypeShortString(quint16 dataType)
{
    const DataTypeInfo *info = findType(dataType);
    return info ? QLatin1String(info->shortName) : QString();
}

quint16 Helper::mapDataTypeString(const QString &name)
{
    static const QHash<QString, quint16> names = buildTypeNames();
    const QString key = normalisedTypeName(name);
    quint16 code = 0;
    if (parseTypeNumber(key, code))
        return findType(code) ? code : 0;
    return names.value(key, 0);
}

unsigned int Helper::getDataLengthBits(CAN::CANopenDataType dataType)
{
    return getDataLengthBits(quint16(dataType));
}

unsigned int Helper::getDataLengthBits(quint16 dataType)
{
    const DataTypeInfo *info = findType(dataType);
    return info ? info->bits : 0;
}

bool Helper::getDefaultLimits(quint16 dataType, QString &low, QString &high)
{
    low.clear();
    high.clear();
    const DataTypeInfo *info = findType(dataType);
    if (!info)
        return false;
    switch (info->kind) {
    case Kind::Boolean:
        low = QStringLiteral("0");
        high = QStringLiteral("1");
        return true;
    case Kind::Unsigned:
        low = QStringLiteral("0");
        high = QString::number(info->bits == 64 ? std::numeric_limits<quint64>::max()
                                                : (quint64(1) << info->bits) - 1);
        return true;
    case Kind::Signed:
        if (info->bits == 64) {
            low = QString::number(std::numeric_limits<qint64>::min());
            high = QString::number(std::numeric_limits<qint64>::max());
        } else {
            low = QString::number(-(qint64(1) << (info->bits - 1)));
            high = QString::number((qint64(1) << (info->bits - 1)) - 1);
        }
        return true;
    case Kind::Real:
        high = info->bits == 32 ? QString::number(std::numeric_limits<float>::max(), 'g', 9)
                                : QString::number(std::numeric_limits<double>::max(), 'g', 17);
        low = QLatin1Char('-') + high;
        return true;
    case Kind::Other:
        break;
    }
    return false;
}

bool Helper::getDefaultLimitsInt64(quint16 dataType, qint64 &low, qint64 &high)
{
    low = 0;
    high = 0;
    QString lowText;
    QString highText;
    if (!getDefaultLimits(dataType, lowText, highText))
        return false;
    bool ok = false;
    low = lowText.toLongLong(&ok);
    if (!ok)
        low = std::numeric_limits<qint64>::min();
    high = highText.toLongLong(&ok);
    if (!ok)
        high = std::numeric_limits<qint64>::max();
    return true;
}
