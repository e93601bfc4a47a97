#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// `nodewright-cli new [--edition NAME] [--line-type TYPE] [--force] PROJECT`: a new project
// from the new-project template, as the window's "New Project" makes it, saved to PROJECT.
// Exit codes: 0 success, 2 usage or file errors (an existing file is only replaced with
// --force).
class NewCommand
{
public:
    static QString usage();
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
