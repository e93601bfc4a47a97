#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// `nodewright-cli import FILE --into PROJECT [options]`: reads an EDS or DCF file and
// copies its objects into a line of the project as the import dialog does, then saves the
// project. The problems found in the file go to err as "file:line: severity: text".
// Exit codes: 0 imported; 1 objects could not be imported (errors in the file, nothing in
// the range, a failed write), the project is then unchanged; 2 usage or file errors.
class ImportCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
