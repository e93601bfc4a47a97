#pragma once

#include <QString>
#include <QtGlobal>

// Checks and converts the numbers a user types for an object dictionary entry: default
// values, limits, sizes and object indices. Every check returns an empty text when the
// input is accepted, otherwise a sentence that says why it is refused, ready to be shown.
// A default value may carry the node-ID term of device descriptions ("$NODEID+0x180" or
// "0x180+$NODEID"); the number beside it is what is checked.
class ValueChecker
{
public:
    // A default value of an entry of dataType. An empty value (no default) is accepted,
    // and so is any text of the string, domain and time types.
    static QString checkDefaultValue(quint16 dataType, const QString &value);
    // A limit cell: a 64-bit integer with automatic base ("0x" hexadecimal, a leading "0"
    // octal), else a floating-point number rounded to the nearest integer. The number must
    // lie inside the range of dataType as far as a limit can hold it.
    static QString checkLimit(quint16 dataType, const QString &text, qint64 &value);
    // Reads a limit as checkLimit does, without the range check.
    static bool parseLimit(const QString &text, qint64 &value);
    // A size in bytes of a string or domain entry; it must hold the default value.
    static QString checkSize(quint16 dataType, const QString &defaultValue, const QString &text,
                             quint32 &size);
    // An object index typed as "0x2000", "2000h" or "2000" (always hexadecimal), from
    // 0x1000 to 0xFFFF.
    static QString checkIndex(const QString &text, quint16 &index);

    // The bytes a default text takes: UTF-8 bytes for UTF8_STRING, else one per character.
    static quint32 textSize(quint16 dataType, const QString &value);
    // Strings and domains: their size is a number of bytes, not a bit length of the type.
    static bool hasByteSize(quint16 dataType);
    // Types whose values can be checked against limits (data types up to 0x14 that are
    // neither strings nor domains).
    static bool supportsLimitCheck(quint16 dataType);

    // Rewrites a number between decimal and "0x" hexadecimal (lower-case digits). A
    // negative number of a signed type becomes its two's complement in the type's width
    // and back. A node-ID term is kept. Texts that are no integer are returned unchanged
    // with *converted false.
    static QString toggleHexDec(quint16 dataType, const QString &value, bool *converted = nullptr);
};
