#include "checkcommand.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QTextStream>

static const char usageText[] =
    "usage: nodewright-cli [--version] [--help]\n"
    "\n"
    "Headless front end of Nodewright for scripts and CI.\n"
    "  --version   print the tool's name and version\n"
    "  --help      print this text\n";

int main(int argc, char *argv[])
{
    AppIdentity::apply(QStringLiteral("nodewright"));
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);

    if (args.value(0) == QLatin1String("--version")) {
        out << QCoreApplication::applicationName() << ' '
            << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    if (args.value(0) == QLatin1String("check"))
        return CheckCommand::run(args.mid(1), out, err);
    if (args.isEmpty() || args.value(0) == QLatin1String("--help")) {
        out << usageText;
        return 0;
    }
    err << "nodewright-cli: unknown command '" << args.value(0) << "'\n" << usageText;
    return 2;
}
