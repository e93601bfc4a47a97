#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

// Fields of comma- or semicolon-separated lists as the CSV export writes them and the CSV
// reader reads them. A field holding the separator, a double quote or a line break stands in
// double quotes, with each double quote inside doubled; every other field is written as it
// is, so that a list without such texts stays as plain as it always was.
namespace CsvFields {

// The field as it stands in a row: quoted only when it must be.
QString quoted(const QString &text, QChar separator);

enum class Split {
    Complete, // the fields of a whole row
    OpenQuote, // the text ends inside a quoted field
    Malformed, // a closing quote is followed by something other than a separator or the end
};

// Splits the row at the start of text. A field that begins with a double quote runs to its
// closing quote; inside it a doubled quote stands for one, and separators and line breaks
// belong to the field. In a field that does not begin with a quote, quotes are plain
// characters. The row ends at the first line feed outside quotes (a carriage return just
// before it belongs to the line end) or at the end of text; length receives the number of
// characters of the row without its line end. Unless the result is Complete, fields and
// length are incomplete.
Split split(QStringView text, QChar separator, QStringList &fields, int &length);

// The fields of one row; a row that is not Complete is split at every separator, as lists
// without quoting always were.
QStringList fieldsOf(const QString &row, QChar separator);

} // namespace CsvFields
