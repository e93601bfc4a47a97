#include "cli/checkcommand.h"
#include "cli/generatecommand.h"
#include "cli/importcommand.h"
#include "cli/infocommand.h"
#include "cli/newcommand.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &, QTextStream &, QTextStream &);
    const char *(*usage)();
};

const char *checkUsage()
{
    return "  check PROJECT [options]\n"
           "              the model check alone (see check --help)\n";
}

// Entries of the commands that give their usage as text.
template <QString (*usage)()>
const char *usageEntry()
{
    static const QByteArray text = usage().toUtf8();
    return text.constData();
}

const Command commands[] = {
    {"check", &CheckCommand::run, &checkUsage},
    {"generate", &GenerateCommand::run, &GenerateCommand::usage},
    {"import", &ImportCommand::run, &usageEntry<&ImportCommand::usage>},
    {"info", &InfoCommand::run, &InfoCommand::usage},
    {"new", &NewCommand::run, &usageEntry<&NewCommand::usage>},
};

QString usageText()
{
    QString text = QStringLiteral("usage: nodewright-cli [--version] [--help] COMMAND ...\n"
                                  "\n"
                                  "Headless front end of Nodewright for scripts and CI.\n"
                                  "  --version   print the tool's name and version\n"
                                  "  --help      print this text\n"
                                  "\n"
                                  "Commands:\n");
    for (const Command &command : commands)
        text += QLatin1String(command.usage());
    return text;
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
    const QStringList args = QCoreApplication::arguments().mid(1);

    if (args.value(0) == QLatin1String("--version")) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        return 0;
    }
    if (args.isEmpty() || args.value(0) == QLatin1String("--help")) {
        out << usageText();
        return 0;
    }
    for (const Command &command : commands) {
        if (args.value(0) == QLatin1String(command.name))
            return command.run(args.mid(1), out, err);
    }
    err << "nodewright-cli: unknown command '" << args.value(0) << "'\n" << usageText();
    return 2;
}
