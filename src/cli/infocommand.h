#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// `nodewright-cli info PROJECT`: the project's lines with their types and the numbers of
// objects, PGNs and CAN identifiers. Exit codes: 0, or 2 for usage and file errors.
class InfoCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
