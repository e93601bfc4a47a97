#include "panelkit/valuechecker.h"

#include "panelkit/helper.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ValueChecker", text);
}

enum class Kind { Boolean, Signed, Unsigned, Real, Other };

Kind kindOf(quint16 dataType)
{
    QString low;
    QString high;
    if (!Helper::getDefaultLimits(dataType, low, high))
        return Kind::Other;
    if (dataType == CAN::DT_BOOLEAN)
        return Kind::Boolean;
    if (low.contains(QLatin1Char('e')) || low.contains(QLatin1Char('.')))
        return Kind::Real;
    return low == QLatin1String("0") ? Kind::Unsigned : Kind::Signed;
}

// A default value without its node-ID term; before and after receive the term.
QString withoutNodeId(const QString &value, QString &before, QString &after)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*\\$NODEID\\s*\\+"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression trailing(QStringLiteral("\\+\\s*\\$NODEID\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
    before.clear();
    after.clear();
    QRegularExpressionMatch match = leading.match(value);
    if (match.hasMatch()) {
        before = match.captured(0);
        return value.mid(match.capturedLength()).trimmed();
    }
    match = trailing.match(value);
    if (match.hasMatch()) {
        after = match.captured(0);
        return value.left(match.capturedStart()).trimmed();
    }
    return value.trimmed();
}

// An integer with an optional sign, decimal or "0x" hexadecimal.
struct Integer
{
    bool negative = false;
    bool hex = false;
    quint64 magnitude = 0;
};

bool readInteger(const QString &text, Integer &number)
{
    QString t = text.trimmed();
    number = Integer();
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        number.negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1).trimmed();
    }
    bool ok = false;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        number.hex = true;
        t = t.mid(2);
        static const QRegularExpression hexDigits(QStringLiteral("^[0-9a-fA-F]+$"));
        if (hexDigits.match(t).hasMatch())
            number.magnitude = t.toULongLong(&ok, 16);
    } else {
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        if (digits.match(t).hasMatch())
            number.magnitude = t.toULongLong(&ok, 10);
    }
    return ok;
}

quint64 widthMask(unsigned int bits)
{
    return bits >= 64 ? std::numeric_limits<quint64>::max() : (quint64(1) << bits) - 1;
}

QString notANumber(const QString &text)
{
    return tr("\"%1\" is not a number. Type a decimal number or a hexadecimal one "
              "starting with 0x.")
        .arg(text);
}

QString outsideRange(const QString &text, quint16 dataType)
{
    QString low;
    QString high;
    Helper::getDefaultLimits(dataType, low, high);
    return tr("%1 lies outside the range of %2 (%3 to %4).")
        .arg(text, Helper::index2DataTypeString(dataType), low, high);
}

bool integerFits(Kind kind, unsigned int bits, const Integer &number)
{
    if (kind == Kind::Boolean || kind == Kind::Unsigned) {
        if (number.negative)
            return number.magnitude == 0;
        return number.magnitude <= widthMask(bits);
    }
    // A hexadecimal number of a signed type is its bit pattern.
    if (number.hex && !number.negative)
        return number.magnitude <= widthMask(bits);
    const quint64 limit = quint64(1) << (bits - 1);
    return number.negative ? number.magnitude <= limit : number.magnitude < limit;
}

QString checkReal(quint16 dataType, const QString &text)
{
    Integer pattern;
    const unsigned int bits = Helper::getDataLengthBits(dataType);
    if (readInteger(text, pattern) && pattern.hex)
        return !pattern.negative && pattern.magnitude <= widthMask(bits)
                   ? QString()
                   : outsideRange(text, dataType);
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        return notANumber(text);
    const double max =
        bits == 32 ? double(std::numeric_limits<float>::max()) : std::numeric_limits<double>::max();
    if (!std::isfinite(value) || std::fabs(value) > max)
        return outsideRange(text, dataType);
    return QString();
}

} // namespace

QString ValueChecker::checkDefaultValue(quint16 dataType, const QString &value)
{
    const Kind kind = kindOf(dataType);
    if (kind == Kind::Other || value.trimmed().isEmpty())
        return QString();
    QString before;
    QString after;
    const QString number = withoutNodeId(value, before, after);
    if (kind == Kind::Real)
        return checkReal(dataType, number);
    Integer integer;
    if (!readInteger(number, integer))
        return notANumber(number);
    if (!integerFits(kind, Helper::getDataLengthBits(dataType), integer))
        return outsideRange(number, dataType);
    return QString();
}

bool ValueChecker::parseLimit(const QString &text, qint64 &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qint64 integer = t.toLongLong(&ok, 0);
    if (ok) {
        value = integer;
        return true;
    }
    const double real = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(real) || std::fabs(real) >= 9.2e18)
        return false;
    value = std::llround(real);
    return true;
}

QString ValueChecker::checkLimit(quint16 dataType, const QString &text, qint64 &value)
{
    if (text.trimmed().isEmpty())
        return tr("A limit needs a number.");
    qint64 parsed = 0;
    if (!parseLimit(text, parsed)) {
        bool unsignedOk = false;
        text.trimmed().toULongLong(&unsignedOk, 0);
        if (unsignedOk)
            return tr("%1 is too large for a limit; limits are held as signed 64-bit numbers "
                      "(at most 9223372036854775807).")
                .arg(text.trimmed());
        return notANumber(text.trimmed());
    }
    qint64 low = 0;
    qint64 high = 0;
    if (Helper::getDefaultLimitsInt64(dataType, low, high) && (parsed < low || parsed > high))
        return outsideRange(text.trimmed(), dataType);
    value = parsed;
    return QString();
}

QString ValueChecker::checkSize(quint16 dataType, const QString &defaultValue, const QString &text,
                                quint32 &size)
{
    bool ok = false;
    const qulonglong number = text.trimmed().toULongLong(&ok, 0);
    if (!ok || number > std::numeric_limits<quint32>::max())
        return tr("\"%1\" is not a size in bytes.").arg(text.trimmed());
    const quint32 needed = textSize(dataType, defaultValue);
    if (hasByteSize(dataType) && number < needed)
        return tr("A size of %1 bytes cannot hold the default value, which takes %2 bytes.")
            .arg(number)
            .arg(needed);
    size = quint32(number);
    return QString();
}

QString ValueChecker::checkIndex(const QString &text, quint16 &index)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    else if (t.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        t.chop(1);
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9a-fA-F]{1,8}$"));
    bool ok = hexDigits.match(t).hasMatch();
    const quint64 number = ok ? t.toULongLong(&ok, 16) : 0;
    if (!ok)
        return tr("\"%1\" is not an object index. Type a hexadecimal number such as 0x2000.")
            .arg(text.trimmed());
    if (number < 0x1000 || number > 0xFFFF)
        return tr("0x%1 lies outside the object dictionary (0x1000 to 0xFFFF).").arg(number, 0, 16);
    index = quint16(number);
    return QString();
}

quint32 ValueChecker::textSize(quint16 dataType, const QString &value)
{
    if (dataType == CAN::DT_UTF8_STRING)
        return quint32(value.toUtf8().size());
    return quint32(value.size());
}

bool ValueChecker::hasByteSize(quint16 dataType)
{
    switch (dataType) {
    case CAN::DT_VISIBLE_STRING:
    case CAN::DT_OCTET_STRING:
    case CAN::DT_UNICODE_STRING:
    case CAN::DT_DOMAIN:
    case CAN::DT_VIS_STRING_NULL:
    case CAN::DT_VIS_STRING_ASTERIKS:
    case CAN::DT_UTF8_STRING:
        return true;
    default:
        return false;
    }
}

bool ValueChecker::supportsLimitCheck(quint16 dataType)
{
    return dataType <= 0x14 && !hasByteSize(dataType);
}

QString ValueChecker::toggleHexDec(quint16 dataType, const QString &value, bool *converted)
{
    if (converted)
        *converted = false;
    const Kind kind = kindOf(dataType);
    QString before;
    QString after;
    const QString number = withoutNodeId(value, before, after);
    Integer integer;
    if (kind == Kind::Real || !readInteger(number, integer))
        return value;
    const unsigned int bits = kind == Kind::Other ? 64 : Helper::getDataLengthBits(dataType);
    const quint64 mask = widthMask(bits);
    QString result;
    if (integer.hex) {
        if (integer.negative || integer.magnitude > mask)
            return value;
        const bool signBit = kind == Kind::Signed && (integer.magnitude >> (bits - 1)) & 1;
        if (signBit)
            result = QString::number(bits >= 64 ? qint64(integer.magnitude)
                                                : qint64(integer.magnitude) - qint64(mask) - 1);
        else
            result = QString::number(integer.magnitude);
    } else {
        quint64 pattern = integer.magnitude;
        if (integer.negative) {
            if (kind != Kind::Signed)
                return value;
            pattern = (quint64(0) - integer.magnitude) & mask;
        }
        result = QStringLiteral("0x%1").arg(pattern, 0, 16);
    }
    if (converted)
        *converted = true;
    return before + result + after;
}
