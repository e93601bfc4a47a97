#include "cli/checkcommand.h"

#include "checker/projectcheck.h"
#include "cli/clipreferences.h"
#include "cli/cliproject.h"
#include "cli/clitext.h"
#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "panelkit/linetype.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char synopsis[] = "check [options] PROJECT";

QString tr(const char *text)
{
    return QCoreApplication::translate("CheckCommand", text);
}

// The checker reads every sub-index of a line; one bulk read per line is much faster.
void cacheSubIndices(ObjectDataBase &db)
{
    const QList<quint8> lines = LineTypes::projectLines(&db);
    for (quint8 line : lines)
        db.cacheAllSubs(line);
}

void printSummary(int errors, QTextStream &out)
{
    if (errors > 0)
        out << tr("Check of model consistency finished: failed (%1 errors)").arg(errors) << '\n';
    else
        out << tr("Check of model consistency finished") << '\n';
}

} // namespace

QString CheckCommand::usage()
{
    return CommandLine::overviewEntry(QLatin1String(synopsis),
                                      tr("the model check alone; exit 1 when it finds errors"));
}

int CheckCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(QLatin1String(synopsis),
                            tr("Checks the project for consistency, as before every generation."));
    const CliPreferences preferences(CliPreferences::CheckOptions);
    const QCommandLineOption save(QStringLiteral("save"),
                                  tr("write the corrections made by the check to the project"));
    preferences.addOptions(commandLine);
    commandLine.addOption(save);
    commandLine.addArgument(QStringLiteral("PROJECT"), tr("the project file (.nwrp)"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return *done;

    const QString project = commandLine.arguments().first();
    ObjectDataBase db;
    QString fileProblem;
    if (!CliProject::open(project, db, fileProblem))
        return commandLine.failure(err, fileProblem);
    cacheSubIndices(db);

    ProjectCheck check;
    check.checker().setPreferences(preferences.read(commandLine));
    QObject::connect(&check, &ProjectCheck::message,
                     [&out](const QString &text) { out << CliText::plainText(text) << '\n'; });
    bool modified = false;
    const int errors = check.run(&db, modified);
    db.clearAllCachedSubs();
    printSummary(errors, out);

    if (modified && commandLine.isSet(save)) {
        if (!db.saveDataBase()) {
            out.flush();
            return commandLine.failure(err, tr("cannot save the corrections to '%1': %2")
                                                .arg(project, db.errorString().simplified()));
        }
        out << tr("Corrections saved to %1").arg(project) << '\n';
    } else if (modified) {
        out << tr("Corrections were not saved; run with --save to write them to the project.")
            << '\n';
    }
    return errors > 0 ? 1 : 0;
}
