#pragma once

#include <QString>
#include <QtGlobal>

// Number formats of the checker's messages and the number readings of its rules.
namespace checkformat {

// An object index in messages: four lower-case hexadecimal digits, zero-filled.
inline QString hex4(quint32 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// A sub-index in the "0x%2" and ":%3" positions: two hexadecimal digits, zero-filled.
inline QString hex2(quint32 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// A number with automatic base ("0x" hexadecimal, a leading "0" octal, else decimal);
// anything else reads 0.
inline quint64 unsignedAuto(const QString &text)
{
    return text.toULongLong(nullptr, 0);
}

inline qint64 signedAuto(const QString &text, bool *ok = nullptr)
{
    return text.toLongLong(ok, 0);
}

// A signed 32-bit number with automatic base; a text out of that range reads 0.
inline qint32 signed32Auto(const QString &text, bool *ok = nullptr)
{
    return text.toInt(ok, 0);
}

inline int decimal(const QString &text)
{
    return text.toInt(nullptr, 10);
}

} // namespace checkformat
