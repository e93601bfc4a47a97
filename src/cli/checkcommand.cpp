#include "checkcommand.h"

#include "cli/cliproject.h"
#include "cli/clitext.h"

#include "checker/projectcheck.h"
#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char usageText[] =
    "usage: nodewright-cli check [options] PROJECT\n"
    "\n"
    "Checks the project for consistency, as before every generation.\n"
    "  --stack-path DIR     protocol stack folder with the *_featureinfo_*.xml files\n"
    "                       (default: the tool's setting \"costackpath\")\n"
    "  --no-autocorrection  report problems without correcting any object\n"
    "  --save               write the corrections made by the check to the project\n"
    "  --help               print this text\n";

struct Options
{
    QString project;
    QString stackPath;
    bool stackPathGiven = false;
    bool noAutoCorrection = false;
    bool save = false;
    bool help = false;
};

// Empty text when the arguments are fine, else what is wrong with them.
QString parse(const QStringList &arguments, Options &options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help")) {
            options.help = true;
        } else if (argument == QLatin1String("--save")) {
            options.save = true;
        } else if (argument == QLatin1String("--no-autocorrection")) {
            options.noAutoCorrection = true;
        } else if (argument == QLatin1String("--stack-path")) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("--stack-path needs a folder");
            options.stackPath = arguments.at(++i);
            options.stackPathGiven = true;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option '%1'").arg(argument);
        } else if (options.project.isEmpty()) {
            options.project = argument;
        } else {
            return QStringLiteral("more than one project given");
        }
    }
    if (options.project.isEmpty() && !options.help)
        return QStringLiteral("no project given");
    return QString();
}

// The checker reads every sub-index of a line; one bulk read per line is much faster.
void cacheSubIndices(ObjectDataBase &db)
{
    const QList<quint8> lines = ProjectCheck::projectLines(&db);
    for (quint8 line : lines)
        db.cacheAllSubs(line);
}

} // namespace

int CheckCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parse(arguments, options);
    if (!problem.isEmpty()) {
        err << "nodewright-cli check: " << problem << '\n' << usageText;
        return 2;
    }
    if (options.help) {
        out << usageText;
        return 0;
    }
    ObjectDataBase db;
    QString fileProblem;
    if (!CliProject::open(options.project, db, fileProblem)) {
        err << "nodewright-cli check: " << fileProblem << '\n';
        return 2;
    }
    cacheSubIndices(db);

    ProjectCheck check;
    if (options.stackPathGiven)
        check.checker().setStackPath(options.stackPath);
    if (options.noAutoCorrection)
        check.checker().setAutoCorrectionDisabled(true);
    QObject::connect(&check, &ProjectCheck::message,
                     [&out](const QString &text) { out << CliText::plainText(text) << '\n'; });
    bool modified = false;
    const int errors = check.run(&db, modified);
    db.clearAllCachedSubs();

    if (errors > 0)
        out << QCoreApplication::translate("CheckCommand",
                                           "Check of model consistency finished: failed (%1 "
                                           "errors)")
                   .arg(errors)
            << '\n';
    else
        out << QCoreApplication::translate("CheckCommand", "Check of model consistency finished")
            << '\n';
    if (modified && options.save) {
        if (!db.saveDataBase()) {
            out.flush();
            err << "nodewright-cli check: cannot save the corrections to '" << options.project
                << "': " << db.errorString().simplified() << '\n';
            return 2;
        }
        out << "Corrections saved to " << options.project << '\n';
    } else if (modified) {
        out << "Corrections were not saved; run with --save to write them to the project.\n";
    }
    return errors > 0 ? 1 : 0;
}
