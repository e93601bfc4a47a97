#pragma once

#include <QStringList>

class QTextStream;

// `nodewright-cli generate PROJECT [--output DIR] [--no-check]`: the generation run of
// the window without a window. Prints the run's messages as plain text. Exit codes: 0
// success, 1 the model check found errors, 2 usage or file errors.
class GenerateCommand
{
public:
    static const char *usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
