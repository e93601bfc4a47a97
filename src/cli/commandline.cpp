#include "cli/commandline.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char toolName[] = "nodewright-cli";

// "--help" or "-h" before the end of the options: the user asks for help, whatever else
// is wrong with the call.
bool asksForHelp(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return true;
    }
    return false;
}

} // namespace

CommandLine::CommandLine(const QString &synopsis, const QString &description)
    : synopsis(synopsis), helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                     QCoreApplication::translate("CommandLine", "print this text"))
{
    parser.setApplicationDescription(description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
}

void CommandLine::addOption(const QCommandLineOption &option)
{
    parser.addOption(option);
}

void CommandLine::addArgument(const QString &name, const QString &description)
{
    parser.addPositionalArgument(name, description);
    argumentNames.append(name);
    ++requiredArguments;
}

void CommandLine::addOptionalArgument(const QString &name, const QString &description)
{
    parser.addPositionalArgument(name, description, QLatin1Char('[') + name + QLatin1Char(']'));
    argumentNames.append(name);
}

std::optional<int> CommandLine::parse(const QStringList &arguments, QTextStream &out,
                                      QTextStream &err)
{
    const bool parsed = parser.parse(QStringList{QLatin1String(toolName)} + arguments);
    if (asksForHelp(arguments)) {
        out << helpText();
        return 0;
    }
    if (!parsed)
        return usageError(err, parser.errorText());
    const QString problem = checkArgumentCount();
    if (!problem.isEmpty())
        return usageError(err, problem);
    return std::nullopt;
}

QString CommandLine::checkArgumentCount() const
{
    const QStringList given = parser.positionalArguments();
    if (given.size() > argumentNames.size())
        return QCoreApplication::translate("CommandLine", "unexpected argument '%1'")
            .arg(given.at(argumentNames.size()));
    if (given.size() < requiredArguments)
        return QCoreApplication::translate("CommandLine", "missing argument %1")
            .arg(argumentNames.at(given.size()));
    return QString();
}

QString CommandLine::commandName() const
{
    return synopsis.section(QLatin1Char(' '), 0, 0);
}

QString CommandLine::helpText() const
{
    // The parser names the program by the path it was started with; the first line is
    // replaced by the tool's name and the command's synopsis.
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 %2\n").arg(QLatin1String(toolName), synopsis)
           + text.section(QLatin1Char('\n'), 1);
}

int CommandLine::usageError(QTextStream &err, const QString &problem) const
{
    err << toolName << ' ' << commandName() << ": " << problem << '\n'
        << "Usage: " << toolName << ' ' << synopsis << '\n'
        << QCoreApplication::translate("CommandLine", "Run '%1 %2 --help' for the options.")
               .arg(QLatin1String(toolName), commandName())
        << '\n';
    return 2;
}

int CommandLine::failure(QTextStream &err, const QString &problem) const
{
    err << toolName << ' ' << commandName() << ": " << problem << '\n';
    return 2;
}

QString CommandLine::overviewEntry(const QString &synopsis, const QString &summary)
{
    return QStringLiteral("  %1\n      %2\n").arg(synopsis, summary);
}
