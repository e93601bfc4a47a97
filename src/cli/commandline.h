#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// The command line of one nodewright-cli command: its synopsis, options and arguments,
// "--help", and the messages for a wrong call. A command builds one at the start of
// run():
//
//     CommandLine line(synopsis, QStringLiteral("What the command does."));
//     const QCommandLineOption save(QStringLiteral("save"), QStringLiteral("write ..."));
//     line.addOption(save);
//     line.addArgument(QStringLiteral("PROJECT"), QStringLiteral("the project file"));
//     if (const std::optional<int> done = line.parse(arguments, out, err))
//         return *done; // help printed (0) or a usage error reported (2)
//     ... line.isSet(save), line.arguments().first() ...
//
// The synopsis starts with the command's name ("check [options] PROJECT"); the tool's
// command list and the command's own help both show it.
class CommandLine
{
public:
    CommandLine(const QString &synopsis, const QString &description);

    void addOption(const QCommandLineOption &option);
    // A required argument, in order. The last one may be optional (shown as "[NAME]").
    void addArgument(const QString &name, const QString &description);
    void addOptionalArgument(const QString &name, const QString &description);

    // Parses the arguments after the command's name. Returns an exit code when the
    // command is done: 0 after printing the help to out (also when other arguments were
    // wrong), 2 after reporting a usage problem to err. Empty when the command goes on.
    std::optional<int> parse(const QStringList &arguments, QTextStream &out, QTextStream &err);

    bool isSet(const QCommandLineOption &option) const { return parser.isSet(option); }
    QString value(const QCommandLineOption &option) const { return parser.value(option); }
    // The arguments in the order given; optional ones that were left out are missing.
    QStringList arguments() const { return parser.positionalArguments(); }

    QString commandName() const;
    QString helpText() const;
    // Reports a problem with the call as a usage problem does: "nodewright-cli NAME:
    // problem", the synopsis and where to find the options. Returns 2.
    int usageError(QTextStream &err, const QString &problem) const;
    // Reports a problem of the command's input (a file, a folder) in one line. Returns 2.
    int failure(QTextStream &err, const QString &problem) const;

    // The entry of a command in the tool's command list.
    static QString overviewEntry(const QString &synopsis, const QString &summary);

private:
    QString checkArgumentCount() const;

    QString synopsis;
    QCommandLineParser parser;
    QCommandLineOption helpOption;
    QStringList argumentNames;
    int requiredArguments = 0;
};
