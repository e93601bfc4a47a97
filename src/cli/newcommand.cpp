#include "cli/newcommand.h"

#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "importers/projecttemplate.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char synopsis[] = "new [options] PROJECT";

QString tr(const char *text)
{
    return QCoreApplication::translate("NewCommand", text);
}

// Application name of an edition given on the command line; empty when unknown.
QString editionName(const QString &edition)
{
    const QString key = edition.toLower();
    if (key == QLatin1String("canopen"))
        return QLatin1String(AppIdentity::canopenEdition);
    if (key == QLatin1String("j1939"))
        return QLatin1String(AppIdentity::j1939Edition);
    if (key == QLatin1String("can"))
        return QLatin1String(AppIdentity::canEdition);
    if (key == QLatin1String("energybus"))
        return QLatin1String(AppIdentity::energyBusEdition);
    return QString();
}

// Line type code of a name given on the command line; 0 when unknown.
int lineType(const QString &name)
{
    const QString key = name.toLower();
    if (key == QLatin1String("canopen"))
        return 1;
    if (key == QLatin1String("j1939"))
        return 2;
    if (key == QLatin1String("rawcan"))
        return 4;
    if (key == QLatin1String("both"))
        return 5;
    return 0;
}

} // namespace

QString NewCommand::usage()
{
    return CommandLine::overviewEntry(QLatin1String(synopsis),
                                      tr("make a new project from the new-project template"));
}

int NewCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(QLatin1String(synopsis),
                            tr("Makes a new project from the new-project template, as New "
                               "Project in the window does, and saves it as PROJECT."));
    const QCommandLineOption edition(
        QStringLiteral("edition"),
        tr("the edition the project is made with: canopen (default), j1939, can, energybus"),
        QStringLiteral("NAME"), QStringLiteral("canopen"));
    const QCommandLineOption type(
        QStringLiteral("line-type"),
        tr("CAN edition: the protocol of line 0: canopen (default), j1939, rawcan, both"),
        QStringLiteral("TYPE"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   tr("replace PROJECT when it exists (it is kept as .bak)"));
    commandLine.addOption(edition);
    commandLine.addOption(type);
    commandLine.addOption(force);
    commandLine.addArgument(QStringLiteral("PROJECT"), tr("the project file to write (.nwrp)"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return *done;

    const QString application = editionName(commandLine.value(edition));
    if (application.isEmpty())
        return commandLine.usageError(err,
                                      tr("unknown edition '%1'").arg(commandLine.value(edition)));
    int line0Type = 1;
    if (commandLine.isSet(type)) {
        line0Type = lineType(commandLine.value(type));
        if (line0Type == 0)
            return commandLine.usageError(
                err, tr("unknown line type '%1'").arg(commandLine.value(type)));
        if (!AppIdentity::isCanEdition(application))
            return commandLine.usageError(err, tr("--line-type needs --edition can"));
    }
    const QString path = commandLine.arguments().first();
    if (QFileInfo::exists(path) && !commandLine.isSet(force))
        return commandLine.failure(err, tr("%1 exists; use --force to replace it").arg(path));

    // The project remembers the edition that made and saved it.
    QCoreApplication::setApplicationName(application);
    ObjectDataBase db;
    const QString templatePath = ProjectTemplate::defaultPath();
    if (!db.openDataBase(templatePath, false))
        return commandLine.failure(err,
                                   tr("cannot read the new-project template %1").arg(templatePath));
    if (AppIdentity::isCanEdition(application) && !ProjectTemplate::setLine0Type(db, line0Type))
        return commandLine.failure(err, tr("cannot set the type of line 0"));
    if (!ProjectTemplate::stampNewProject(db) || !db.saveDataBase(path))
        return commandLine.failure(
            err, tr("cannot write %1: %2").arg(path, db.errorString().simplified()));
    out << tr("New project %1 (%2)").arg(path, application) << '\n';
    return 0;
}
