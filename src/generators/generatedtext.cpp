#include "generators/generatedtext.h"

#include <QTextCodec>

#include <cstring>

namespace {

// Copies the leading ASCII characters of text as bytes to out; returns their count.
int copyAscii(const QChar *text, int size, char *out)
{
    const ushort *units = reinterpret_cast<const ushort *>(text);
    int k = 0;
    for (; k + 4 <= size; k += 4) {
        quint64 word;
        std::memcpy(&word, units + k, 8);
        if (word & 0xFF80FF80FF80FF80ULL)
            break;
        out[k] = char(units[k]);
        out[k + 1] = char(units[k + 1]);
        out[k + 2] = char(units[k + 2]);
        out[k + 3] = char(units[k + 3]);
    }
    for (; k < size && units[k] < 0x80; ++k)
        out[k] = char(units[k]);
    return k;
}

} // namespace

GeneratedText::GeneratedText(QIODevice *device) : device(device), buffer(new char[capacity]) {}

GeneratedText::~GeneratedText()
{
    if (device && device->isWritable())
        flush();
}

GeneratedText &GeneratedText::operator<<(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8.constData(), utf8.size());
    appendUtf16(text.constData(), text.size());
    return *this;
}

void GeneratedText::flush()
{
    if (used == 0)
        return;
    if (device)
        device->write(buffer.get(), used);
    used = 0;
}

void GeneratedText::appendBytes(const char *bytes, int size)
{
    if (size > capacity) {
        flush();
        if (device)
            device->write(bytes, size);
        return;
    }
    std::memcpy(reserve(size), bytes, size_t(size));
    used += size;
}

void GeneratedText::appendLatin1(const char *text, int size)
{
    // Checked and copied eight bytes at a time; nothing counts as written unless all of
    // it is ASCII.
    if (!pendingSurrogate && size <= capacity) {
        char *out = reserve(size);
        int k = 0;
        for (; k + 8 <= size; k += 8) {
            quint64 word;
            std::memcpy(&word, text + k, 8);
            if (word & 0x8080808080808080ULL)
                break;
            std::memcpy(out + k, &word, 8);
        }
        for (; k < size && static_cast<uchar>(text[k]) < 0x80; ++k)
            out[k] = text[k];
        if (k == size) {
            used += size;
            return;
        }
    }
    const QString wide = QString::fromLatin1(text, size);
    encode(wide.constData(), wide.size());
}

void GeneratedText::appendUtf16(const QChar *text, int size)
{
    while (size > 0 && !pendingSurrogate) {
        const int piece = qMin(size, capacity);
        const int taken = copyAscii(text, piece, reserve(piece));
        used += taken;
        text += taken;
        size -= taken;
        if (taken < piece)
            break;
    }
    encode(text, size);
}

void GeneratedText::encode(const QChar *text, int size)
{
    if (size == 0)
        return;
    if (!encoder)
        encoder.reset(QTextCodec::codecForName("UTF-8")->makeEncoder(QTextCodec::IgnoreHeader));
    const QByteArray bytes = encoder->fromUnicode(text, size);
    appendBytes(bytes.constData(), bytes.size());
    pendingSurrogate = text[size - 1].isSurrogate();
}

GeneratedText &GeneratedText::appendSigned(long long value)
{
    if (value >= 0)
        return appendUnsigned(static_cast<unsigned long long>(value));
    appendLatin1("-", 1);
    // The magnitude of the smallest value does not fit the signed type.
    return appendUnsigned(0ULL - static_cast<unsigned long long>(value));
}

GeneratedText &GeneratedText::appendUnsigned(unsigned long long value)
{
    char digits[24];
    char *const end = digits + sizeof digits;
    char *first = end;
    do {
        *--first = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    appendLatin1(first, int(end - first));
    return *this;
}
