// The values of object and sub-object sections: numbers, data types, limits, defaults.

#include "panelkit/edsparser_reader.h"
#include "panelkit/helper.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

QString subName(quint16 index, quint8 sub)
{
    return QStringLiteral("%1sub%2")
        .arg(index, 4, 16, QLatin1Char('0'))
        .arg(sub, 0, 16)
        .toUpper()
        .replace(QLatin1String("SUB"), QLatin1String("sub"));
}

bool isSignedType(quint16 dataType)
{
    switch (dataType) {
    case CAN::DT_INTEGER8:
    case CAN::DT_INTEGER16:
    case CAN::DT_INTEGER24:
    case CAN::DT_INTEGER32:
    case CAN::DT_INTEGER40:
    case CAN::DT_INTEGER48:
    case CAN::DT_INTEGER56:
    case CAN::DT_INTEGER64:
        return true;
    default:
        return false;
    }
}

// Types whose values are numbers; strings, DOMAIN, times and the structures are not.
bool isNumericType(quint16 dataType)
{
    return Helper::getDataLengthBits(dataType) > 0 && dataType != CAN::DT_TIME_OF_DAY
           && dataType != CAN::DT_TIME_DIFFERENCE;
}

} // namespace

QString EdsParser::storedAccessType(const QString &written, bool *known)
{
    static const char *const stored[] = {"ro", "rw", "wo", "const", "rww", "rwr"};
    for (const char *type : stored) {
        if (written == QLatin1String(type)) {
            if (known)
                *known = true;
            return written;
        }
    }
    return Helper::normalizeAccessType(written, known);
}

bool EdsParser::Reader::cNumber(const QStringRef &text, int base, quint64 &value)
{
    const QChar *p = text.constData();
    const QChar *const end = p + text.size();
    if (base == 0) {
        if (p < end && *p == QLatin1Char('+'))
            ++p;
        if (end - p > 2 && *p == QLatin1Char('0')
            && (p[1] == QLatin1Char('x') || p[1] == QLatin1Char('X'))) {
            base = 16;
            p += 2;
        } else if (end - p > 1 && *p == QLatin1Char('0')) {
            base = 8;
            ++p;
        } else {
            base = 10;
        }
    }
    if (p == end)
        return false;
    quint64 result = 0;
    for (; p < end; ++p) {
        const ushort c = p->unicode();
        int digit = 16;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit >= base
            || result > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return false;
        result = result * quint64(base) + quint64(digit);
    }
    value = result;
    return true;
}

// A value written as a number in any notation a file uses, or as a floating-point number.
bool EdsParser::Reader::looksNumeric(const QString &value)
{
    quint64 number = 0;
    const QStringRef digits =
        value.startsWith(QLatin1Char('-')) ? value.midRef(1) : QStringRef(&value);
    if (cNumber(digits, 0, number))
        return true;
    bool ok = false;
    value.toDouble(&ok);
    return ok;
}

QString EdsParser::nodeIdExpression(const QString &value)
{
    if (!value.contains(QLatin1Char('$')))
        return value;
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:\\$NODEID\\s*(?:\\+\\s*([^\\s+$]+))?|([^\\s+$]+)\\s*\\+\\s*"
                       "\\$NODEID)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(value);
    if (!match.hasMatch())
        return value;
    const QString term = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    return term.isEmpty() ? QStringLiteral("$NODEID") : QStringLiteral("$NODEID+") + term;
}

void EdsParser::Reader::typeLimits(quint16 dataType, qint64 &low, qint64 &high)
{
    if (dataType >= m_typeLimits.size()) {
        Helper::getDefaultLimitsInt64(dataType, low, high);
        return;
    }
    TypeLimits &limits = m_typeLimits[dataType];
    if (!limits.known) {
        Helper::getDefaultLimitsInt64(dataType, limits.low, limits.high);
        limits.known = true;
    }
    low = limits.low;
    high = limits.high;
}

bool EdsParser::Reader::readValue(const Entry &entry, quint16 index, quint8 sub,
                                  CAN::CANopenSubIndex &record, quint16 impliedType)
{
    const auto &fields = entry.fields;
    record.index = index;
    record.subIndex = sub;
    record.line = entry.line;
    if (fields[DataType].present() && !text(fields[DataType]).isEmpty()) {
        record.dataType = readDataType(fields[DataType], index);
    } else if (impliedType != 0) {
        record.dataType = impliedType;
    } else {
        error(entry.line,
              tr("the sub-index %1 has no DataType and was not read").arg(subName(index, sub)),
              index);
        m_lastObjectShort = m_lastObjectShort || index == m_lastSectionIndex;
        return false;
    }
    if (!fields[AccessType].present() || text(fields[AccessType]).isEmpty()) {
        error(entry.line,
              tr("the sub-index %1 has no AccessType and was not read").arg(subName(index, sub)),
              index);
        m_lastObjectShort = m_lastObjectShort || index == m_lastSectionIndex;
        return false;
    }
    record.accessType = withoutInlineComment(fields[AccessType]).toString();
    bool known = false;
    EdsParser::storedAccessType(record.accessType, &known);
    if (!known)
        warning(fields[AccessType].line,
                tr("AccessType=%1 of %2 is not known; it was read as ro")
                    .arg(record.accessType, subName(index, sub)),
                index);
    record.parameterName = string(fields[ParameterName]);
    if (fields[DefaultValue].present()) {
        record.defaultMode = 1;
        record.defaultValue = nodeIdExpression(string(fields[DefaultValue]));
        checkDefault(record.defaultValue, fields[DefaultValue], index, record.dataType);
    }
    record.parameterValue = nodeIdExpression(string(fields[ParameterValue]));
    record.denotation = string(fields[Denotation]);
    record.uploadFile = string(fields[UploadFile]);
    record.downloadFile = string(fields[DownloadFile]);

    quint64 flag = 0;
    if (fields[PDOMapping].present() && !text(fields[PDOMapping]).isEmpty()
        && !number(fields[PDOMapping], flag))
        warning(fields[PDOMapping].line,
                tr("PDOMapping=%1 is no number; it was read as 0")
                    .arg(text(fields[PDOMapping]).toString()),
                index);
    record.pdoMapping = flag != 0;
    quint64 objFlags = 0;
    if (fields[ObjFlags].present() && !text(fields[ObjFlags]).isEmpty()
        && !number(fields[ObjFlags], objFlags))
        warning(
            fields[ObjFlags].line,
            tr("ObjFlags=%1 is no number and was ignored").arg(text(fields[ObjFlags]).toString()),
            index);
    record.refuseWrite = (objFlags & 1) != 0;
    record.refuseRead = (objFlags & 2) != 0;
    readLimits(entry, index, record);
    return true;
}

void EdsParser::Reader::readLimits(const Entry &entry, quint16 index, CAN::CANopenSubIndex &record)
{
    typeLimits(record.dataType, record.lowLimit, record.highLimit);
    const Field &low = entry.fields[LowLimit];
    const Field &high = entry.fields[HighLimit];
    if (low.present() && !text(low).isEmpty()
        && readLimit(low, index, record.dataType, false, record.lowLimit))
        record.hasLimits = true;
    if (high.present() && !text(high).isEmpty()
        && readLimit(high, index, record.dataType, true, record.highLimit))
        record.hasLimits = true;
}

// Limits are stored as whole numbers; a fractional one (of a REAL type) is widened to the
// next whole number outside it, so every value the file allows stays allowed.
bool EdsParser::Reader::readLimit(const Field &field, quint16 index, quint16 dataType, bool upper,
                                  qint64 &value)
{
    const QString written = withoutInlineComment(field).toString();
    bool hexadecimal = false;
    qint64 number = 0;
    if (signedNumber(field, number, hexadecimal)) {
        const unsigned bits = Helper::getDataLengthBits(dataType);
        if (hexadecimal && isSignedType(dataType) && bits > 0 && bits < 64
            && (quint64(number) & (quint64(1) << (bits - 1))) != 0)
            number = qint64(quint64(number) | ~((quint64(1) << bits) - 1));
        value = number;
        return true;
    }
    bool ok = false;
    const double real = written.toDouble(&ok);
    if (ok && std::isfinite(real) && std::fabs(real) < 9.2e18) {
        value = qint64(upper ? std::ceil(real) : std::floor(real));
        if (double(value) != real)
            warning(
                field.line,
                tr("the limit %1 is no whole number; it was widened to %2").arg(written).arg(value),
                index);
        return true;
    }
    warning(field.line,
            tr("the limit %1 is no number; the data type's own limit is used").arg(written), index);
    return false;
}

void EdsParser::Reader::checkDefault(const QString &value, const Field &field, quint16 index,
                                     quint16 dataType)
{
    if (value.isEmpty() || value.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive)
        || !isNumericType(dataType) || looksNumeric(value))
        return;
    repeated(Repeat::TextDefault, field.line,
             tr("the DefaultValue '%1' of a numeric data type is no number; it was kept as text")
                 .arg(value),
             index);
}

QStringRef EdsParser::Reader::withoutInlineComment(const Field &field)
{
    const QStringRef value = text(field);
    const int hash = value.indexOf(QLatin1Char('#'));
    if (hash <= 0)
        return value;
    repeated(
        Repeat::InlineComment, field.line,
        tr("the text '%1' after a value was read as a comment").arg(value.mid(hash).toString()));
    return value.left(hash).trimmed();
}

bool EdsParser::Reader::number(const Field &field, quint64 &value)
{
    return cNumber(withoutInlineComment(field), 0, value);
}

bool EdsParser::Reader::signedNumber(const Field &field, qint64 &value, bool &hexadecimal)
{
    const QStringRef written = withoutInlineComment(field);
    hexadecimal = written.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const bool negative = written.startsWith(QLatin1Char('-'));
    quint64 magnitude = 0;
    if (!cNumber(negative ? written.mid(1) : written, 0, magnitude))
        return false;
    if (!negative) {
        value = qint64(magnitude);
        return true;
    }
    if (magnitude > quint64(std::numeric_limits<qint64>::max()) + 1)
        return false;
    value = qint64(0 - magnitude);
    return true;
}

quint16 EdsParser::Reader::readDataType(const Field &field, quint16 index)
{
    quint64 value = 0;
    if (!number(field, value) || value > 0xFFFF) {
        const quint16 named = Helper::mapDataTypeString(text(field).toString());
        if (named != 0)
            return named;
        error(field.line,
              tr("DataType=%1 is no data type; it was read as 0").arg(text(field).toString()),
              index);
        return 0;
    }
    if (Helper::index2DataTypeString(quint16(value)).isEmpty())
        warning(field.line,
                tr("DataType=%1 is no data type the tool knows; it was kept")
                    .arg(text(field).toString()),
                index);
    return quint16(value);
}
