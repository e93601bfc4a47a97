#include "cli/checkcommand.h"
#include "cli/exportcommand.h"
#include "cli/generatecommand.h"
#include "cli/importcommand.h"
#include "cli/infocommand.h"
#include "cli/newcommand.h"
#include "panelkit/appidentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

// The commands of the tool, in the order of the command list. A command is one class
// with a static run() (its arguments after the command's name; returns the exit code)
// and a static usage() (its entry in the command list).
struct Command
{
    const char *name;
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
    QString (*usage)();
};

const Command commands[] = {
    {"check", &CheckCommand::run, &CheckCommand::usage},
    {"export", &ExportCommand::run, &ExportCommand::usage},
    {"generate", &GenerateCommand::run, &GenerateCommand::usage},
    {"import", &ImportCommand::run, &ImportCommand::usage},
    {"info", &InfoCommand::run, &InfoCommand::usage},
    {"new", &NewCommand::run, &NewCommand::usage},
};

QString usageText()
{
    QString text = QStringLiteral("Usage: nodewright-cli [--version] [--help] COMMAND ...\n"
                                  "\n"
                                  "Headless front end of Nodewright for scripts and CI.\n"
                                  "  --version   print the tool's name and version\n"
                                  "  --help      print this text\n"
                                  "\n"
                                  "Commands (COMMAND --help prints the options of one):\n");
    for (const Command &command : commands)
        text += command.usage();
    text += QStringLiteral("\nExit codes: 0 success, 1 the model check found errors, 2 a usage "
                           "or file problem.\n");
    return text;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    AppIdentity::apply(QStringLiteral("nodewright"));
    QCoreApplication app(argc, argv);
    // Diagnostics of the libraries would bury the one-line messages of the commands.
    if (!qEnvironmentVariableIsSet("NODEWRIGHT_DEBUG"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    // The tool's own options come before the command; everything after the command's
    // name belongs to the command.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(version);
    parser.addOption(help);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "nodewright-cli: " << parser.errorText() << '\n' << usageText();
        return 2;
    }
    const QStringList arguments = parser.positionalArguments();
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        return 0;
    }
    if (arguments.isEmpty() || parser.isSet(help)) {
        out << usageText();
        return 0;
    }
    const Command *command = findCommand(arguments.first());
    if (!command) {
        err << "nodewright-cli: unknown command '" << arguments.first() << "'\n" << usageText();
        return 2;
    }
    return command->run(arguments.mid(1), out, err);
}
