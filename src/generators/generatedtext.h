#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QLatin1String>
#include <QPointer>
#include <QString>
#include <QStringRef>

#include <cstring>
#include <memory>

class QTextEncoder;

// The text of one generated file, encoded as UTF-8 (without a byte order mark) into a
// byte buffer as it is written and handed to the file in large blocks. It writes exactly
// the bytes a QTextStream with the UTF-8 codec and its default formatting writes for the
// same values: texts as they are (a surrogate pair split over two writes still joins),
// const char * and char as Latin-1, QByteArray as UTF-8, integers in decimal. A write
// error of the file is left to the file itself (a QSaveFile then refuses to commit).
class GeneratedText
{
public:
    explicit GeneratedText(QIODevice *device);
    // Hands the rest to the file while it is still open.
    ~GeneratedText();
    GeneratedText(const GeneratedText &) = delete;
    GeneratedText &operator=(const GeneratedText &) = delete;

    GeneratedText &operator<<(const QString &text)
    {
        appendUtf16(text.constData(), text.size());
        return *this;
    }
    GeneratedText &operator<<(const QStringRef &text)
    {
        appendUtf16(text.constData(), text.size());
        return *this;
    }
    GeneratedText &operator<<(QLatin1String text)
    {
        appendLatin1(text.data(), text.size());
        return *this;
    }
    // Inline so that the length of a literal is known where it is written.
    GeneratedText &operator<<(const char *text)
    {
        appendLatin1(text, text ? int(std::strlen(text)) : 0);
        return *this;
    }
    GeneratedText &operator<<(const QByteArray &utf8);
    GeneratedText &operator<<(char c)
    {
        if (!pendingSurrogate && static_cast<signed char>(c) >= 0 && used < capacity)
            buffer[used++] = c;
        else
            appendLatin1(&c, 1);
        return *this;
    }
    GeneratedText &operator<<(QChar c)
    {
        appendUtf16(&c, 1);
        return *this;
    }
    GeneratedText &operator<<(short value) { return appendSigned(value); }
    GeneratedText &operator<<(unsigned short value) { return appendUnsigned(value); }
    GeneratedText &operator<<(int value) { return appendSigned(value); }
    GeneratedText &operator<<(unsigned int value) { return appendUnsigned(value); }
    GeneratedText &operator<<(long value) { return appendSigned(value); }
    GeneratedText &operator<<(unsigned long value) { return appendUnsigned(value); }
    GeneratedText &operator<<(long long value) { return appendSigned(value); }
    GeneratedText &operator<<(unsigned long long value) { return appendUnsigned(value); }

    // Hands everything written so far to the file.
    void flush();

private:
    void appendLatin1(const char *text, int size);
    void appendUtf16(const QChar *text, int size);
    // The slow path: anything that is not plain ASCII, or follows a surrogate that ended
    // the previous piece, goes through the codec's encoder, which keeps such a surrogate
    // (of either half) for the next piece.
    void encode(const QChar *text, int size);
    GeneratedText &appendSigned(long long value);
    GeneratedText &appendUnsigned(unsigned long long value);
    // Room for size more bytes at the end of the buffer, which is handed to the file
    // first when it would not fit. Pieces larger than the buffer are never asked for.
    char *reserve(int size)
    {
        if (used + size > capacity)
            flush();
        return buffer.get() + used;
    }
    void appendBytes(const char *bytes, int size);

    static constexpr int capacity = 64 * 1024;
    QPointer<QIODevice> device;
    std::unique_ptr<char[]> buffer;
    int used = 0;
    std::unique_ptr<QTextEncoder> encoder;
    // The encoder holds a surrogate that ended the previous piece.
    bool pendingSurrogate = false;
};
