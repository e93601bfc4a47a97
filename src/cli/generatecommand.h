#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// `nodewright-cli generate [options] PROJECT`: the generation run of the window without a
// window. Prints the run's messages as plain text. Exit codes: 0 success, 1 the model
// check found errors, 2 usage or file errors (also a file the run could not write).
class GenerateCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
