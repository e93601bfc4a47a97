#include "cli/generatecommand.h"

#include "cli/cliproject.h"
#include "cli/clitext.h"
#include "database/objectdatabase.h"
#include "generators/generationrun.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

namespace {

// How long the command waits for external EDS checks before it leaves them running.
const int edsCheckTimeoutMs = 120000;

struct Options
{
    QString project;
    QString output;
    bool check = true;
};

bool parse(const QStringList &arguments, Options &options, QString &error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--no-check")) {
            options.check = false;
        } else if (argument == QLatin1String("--output")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--output needs a folder");
                return false;
            }
            options.output = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option '%1'").arg(argument);
            return false;
        } else if (options.project.isEmpty()) {
            options.project = argument;
        } else {
            error = QStringLiteral("more than one project given");
            return false;
        }
    }
    if (options.project.isEmpty()) {
        error = QStringLiteral("no project given");
        return false;
    }
    return true;
}

void waitForEdsChecks(GenerationRun &run)
{
    if (run.startEdsCheck() == 0 || run.pendingEdsChecks() == 0)
        return;
    QEventLoop loop;
    QObject::connect(&run, &GenerationRun::edsChecksFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(edsCheckTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

const char *GenerateCommand::usage()
{
    return "  generate PROJECT [--output DIR] [--no-check]\n"
           "              generate every output file of the project into its folder\n"
           "              (or DIR); exit 1 when the model check finds errors\n";
}

int GenerateCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    QString error;
    if (!parse(arguments, options, error)) {
        err << "nodewright-cli generate: " << error << "\n" << usage();
        return 2;
    }
    // The run works on the store's working copy: what it changes (the transmit PGN 0xEE00,
    // corrections of the model check) never reaches the project file.
    ObjectDataBase db;
    if (!CliProject::open(options.project, db, error)) {
        err << "nodewright-cli generate: " << error << "\n";
        return 2;
    }
    const QFileInfo project(options.project);
    if (!options.output.isEmpty() && !QDir().mkpath(options.output)) {
        err << "nodewright-cli generate: cannot create the folder " << options.output << "\n";
        return 2;
    }
    GenerationRun run(&db);
    run.setProject(project.absolutePath(), project.completeBaseName());
    if (!options.output.isEmpty())
        run.setOutputDirectory(QFileInfo(options.output).absoluteFilePath());
    run.setModelCheckEnabled(options.check);
    QObject::connect(&run, &GenerationRun::message, [&out](const QString &text) {
        out << CliText::plainText(text) << "\n";
        out.flush();
    });
    if (run.energyBusConfigurationPending())
        out << QCoreApplication::translate("GenerateCommand",
                                           "The EnergyBus configuration has not yet been "
                                           "applied into the object dictionary.")
            << "\n";

    const GenerationRun::Outcome outcome = run.run();
    if (outcome != GenerationRun::Completed) {
        err << "nodewright-cli generate: " << run.failureText() << "\n";
        return outcome == GenerationRun::CheckFailed ? 1 : 2;
    }
    run.adjustLineEndings();
    if (!AppIdentity::isJ1939Edition(QCoreApplication::applicationName()))
        waitForEdsChecks(run);
    return run.checkErrorCount() > 0 ? 1 : 0;
}
