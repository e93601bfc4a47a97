#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// `nodewright-cli export --format eds|csv [options] PROJECT`: writes the device
// description files of the CANopen lines exactly as the generation run does (same
// writers, same file names), without the model check and without the other files.
// Prints the path of every file written. Exit codes: 0 success, 2 usage or file errors.
class ExportCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
