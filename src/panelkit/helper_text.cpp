#include "panelkit/helper.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

QString Helper::hexDigits(quint32 number, int digits)
{
    // Generators write this for every entry; QString::arg costs several times more.
    static const char digitChars[] = "0123456789abcdef";
    char reversed[8];
    int length = 0;
    do {
        reversed[length++] = digitChars[number & 0xF];
        number >>= 4;
    } while (number != 0);
    QString text(qMax(digits, length), QLatin1Char('0'));
    QChar *end = text.data() + text.size();
    for (int i = 0; i < length; ++i)
        *(end - 1 - i) = QLatin1Char(reversed[i]);
    return text;
}

QString Helper::substituteVariables(const QString &name, quint16 index, quint8 subIndex)
{
    if (!name.contains(QLatin1Char('$')))
        return name;
    QString result;
    result.reserve(name.size() + 8);
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const QChar next = i + 1 < name.size() ? name.at(i + 1) : QChar();
        if (c != QLatin1Char('$') || next.isNull()) {
            result += c;
            continue;
        }
        switch (next.unicode()) {
        case 'i':
            result += QString::number(index);
            break;
        case 'I':
            result += QString::number(index, 16).toUpper();
            break;
        case 's':
            result += QString::number(subIndex);
            break;
        case 'S':
            result += QString::number(subIndex, 16).toUpper();
            break;
        case 'z':
            result += QString::number(int(subIndex) - 1);
            break;
        default:
            result += c;
            continue;
        }
        ++i;
    }
    return result;
}

QByteArray Helper::UTF8String2ByteArray(const QString &value)
{
    return value.toUtf8();
}

QString Helper::UTF8String2ArrayString(const QString &value)
{
    const QByteArray bytes = UTF8String2ByteArray(value);
    if (bytes.isEmpty())
        return QStringLiteral("{ 0x00 }");
    QStringList parts;
    parts.reserve(bytes.size());
    for (const char byte : bytes) {
        const QString hex = QString::number(quint8(byte), 16).toUpper();
        parts << QLatin1String("0x") + hex.rightJustified(2, QLatin1Char('0'));
    }
    return QLatin1String("{ ") + parts.join(QLatin1String(", ")) + QLatin1String(" }");
}

bool Helper::modifyLineEnding(const QString &file, const QString &ending)
{
    if (ending != QLatin1String("\r\n") && ending != QLatin1String("\n")
        && ending != QLatin1String("\r"))
        return false;
    QFile in(file);
    if (!in.exists() || !in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = in.readAll();
    in.close();

    const QByteArray newLine = ending.toLatin1();
    QByteArray out;
    out.reserve(content.size() + content.size() / 16);
    for (int i = 0; i < content.size(); ++i) {
        const char c = content.at(i);
        if (c == '\r') {
            if (i + 1 < content.size() && content.at(i + 1) == '\n')
                ++i;
            out += newLine;
        } else if (c == '\n') {
            out += newLine;
        } else {
            out += c;
        }
    }
    if (out == content)
        return true;
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly))
        return false;
    save.write(out);
    return save.commit();
}
