#include "cli/generatecommand.h"

#include "cli/cliproject.h"
#include "cli/clitext.h"
#include "cli/commandline.h"
#include "cli/generatecheck.h"
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

const char synopsis[] = "generate [options] PROJECT";

// How long the command waits for external EDS checks before it leaves them running.
const int edsCheckTimeoutMs = 120000;

QString tr(const char *text)
{
    return QCoreApplication::translate("GenerateCommand", text);
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

QString GenerateCommand::usage()
{
    return CommandLine::overviewEntry(QLatin1String(synopsis),
                                      tr("check, then write every output file of the project"));
}

int GenerateCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(QLatin1String(synopsis),
                            tr("Checks the project, then writes every output file of it, as "
                               "\"Generate Files\" of the window does."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    tr("write the files into DIR (created when missing) instead "
                                       "of the project's folder"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption noCheck(QStringLiteral("no-check"), tr("skip the model check"));
    const QCommandLineOption check(QStringLiteral("check"),
                                   tr("write nothing; list the files of the output folder that "
                                      "differ from what would be generated and exit 1 if any"));
    commandLine.addOption(output);
    commandLine.addOption(noCheck);
    commandLine.addOption(check);
    commandLine.addArgument(QStringLiteral("PROJECT"), tr("the project file (.nwrp)"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return *done;

    // The run works on the store's working copy: what it changes (the transmit PGN 0xEE00,
    // corrections of the model check) never reaches the project file.
    const QString projectPath = commandLine.arguments().first();
    ObjectDataBase db;
    QString error;
    if (!CliProject::open(projectPath, db, error))
        return commandLine.failure(err, error);
    const QString folder = commandLine.value(output);
    if (!folder.isEmpty() && !commandLine.isSet(check) && !QDir().mkpath(folder))
        return commandLine.failure(err, tr("cannot create the folder %1").arg(folder));
    const QFileInfo project(projectPath);
    GenerationRun run(&db);
    run.setProject(project.absolutePath(), project.completeBaseName());
    if (!folder.isEmpty())
        run.setOutputDirectory(QFileInfo(folder).absoluteFilePath());
    run.setModelCheckEnabled(!commandLine.isSet(noCheck));
    if (commandLine.isSet(check))
        return GenerateCheck::run(run, commandLine, out, err);
    QObject::connect(&run, &GenerationRun::message, [&out](const QString &text) {
        out << CliText::plainText(text) << "\n";
        out.flush();
    });
    if (run.energyBusConfigurationPending())
        out << tr("The EnergyBus configuration has not yet been applied into the object "
                  "dictionary.")
            << "\n";

    const GenerationRun::Outcome outcome = run.run();
    if (outcome != GenerationRun::Completed) {
        out.flush();
        commandLine.failure(err, run.failureText());
        return outcome == GenerationRun::CheckFailed ? 1 : 2;
    }
    run.adjustLineEndings();
    if (!AppIdentity::isJ1939Edition(QCoreApplication::applicationName()))
        waitForEdsChecks(run);
    return run.checkErrorCount() > 0 ? 1 : 0;
}
