#include "panelkit/csvfields.h"

namespace {

const QChar quote = QLatin1Char('"');
const QChar lineFeed = QLatin1Char('\n');
const QChar carriageReturn = QLatin1Char('\r');

bool needsQuotes(const QString &text, QChar separator)
{
    for (const QChar c : text) {
        if (c == separator || c == quote || c == lineFeed || c == carriageReturn)
            return true;
    }
    return false;
}

// Reads a quoted field whose opening quote is at i - 1; i ends after the closing quote.
bool readQuoted(QStringView text, int &i, QString &field)
{
    const int n = int(text.size());
    while (i < n) {
        const QChar c = text[i++];
        if (c != quote) {
            field += c;
        } else if (i < n && text[i] == quote) {
            field += quote;
            ++i;
        } else {
            return true;
        }
    }
    return false;
}

} // namespace

QString CsvFields::quoted(const QString &text, QChar separator)
{
    if (!needsQuotes(text, separator))
        return text;
    QString doubled = text;
    doubled.replace(quote, QLatin1String("\"\""));
    return quote + doubled + quote;
}

CsvFields::Split CsvFields::split(QStringView text, QChar separator, QStringList &fields,
                                  int &length)
{
    fields.clear();
    const int n = int(text.size());
    int i = 0;
    for (;;) {
        if (i < n && text[i] == quote) {
            QString field;
            ++i;
            if (!readQuoted(text, i, field))
                return Split::OpenQuote;
            const bool lineEnd =
                i < n
                && (text[i] == lineFeed
                    || (text[i] == carriageReturn && i + 1 < n && text[i + 1] == lineFeed));
            if (i < n && text[i] != separator && !lineEnd)
                return Split::Malformed;
            fields << field;
            if (i < n && text[i] == carriageReturn)
                ++i;
        } else {
            const int start = i;
            while (i < n && text[i] != separator && text[i] != lineFeed)
                ++i;
            int end = i;
            if (i < n && text[i] == lineFeed && end > start && text[end - 1] == carriageReturn)
                --end;
            fields << text.mid(start, end - start).toString();
        }
        if (i >= n || text[i] == lineFeed) {
            length = i;
            if (i < n && i > 0 && text[i - 1] == carriageReturn)
                --length;
            return Split::Complete;
        }
        ++i; // the separator
    }
}

QStringList CsvFields::fieldsOf(const QString &row, QChar separator)
{
    QStringList fields;
    int length = 0;
    if (split(row, separator, fields, length) != Split::Complete)
        fields = row.split(separator);
    return fields;
}
