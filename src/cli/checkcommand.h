#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// "nodewright-cli check": the model check of a project without the window. Findings are
// printed as plain text to out, problems with the command line or the project file to err.
// Exit codes: 0 no errors, 1 errors counted, 2 usage or file problem.
class CheckCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
