// The steps after the generators: the user's post-generation command, the line-ending
// pass and the external EDS check.

#include "generators/generationrun.h"

#include "generators/edscheckerwrapper.h"
#include "panelkit/helper.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

const int commandWaitMs = 1500;

} // namespace

QStringList GenerationRun::postGenerationArguments(const QString &argumentText,
                                                   const QString &projectFolder,
                                                   const QString &outputFolder,
                                                   const QString &projectName)
{
    const QString fileName = projectName + QStringLiteral(".nwrp");
    QString expanded;
    for (int i = 0; i < argumentText.size(); ++i) {
        const QChar c = argumentText.at(i);
        const QChar next = i + 1 < argumentText.size() ? argumentText.at(i + 1) : QChar();
        if (c == QLatin1Char('%') && next == QLatin1Char('P')) {
            expanded += projectFolder + QLatin1Char('/') + fileName;
            ++i;
        } else if (c == QLatin1Char('%') && next == QLatin1Char('D')) {
            expanded += outputFolder;
            ++i;
        } else if (c == QLatin1Char('%') && next == QLatin1Char('N')) {
            expanded += fileName;
            ++i;
        } else {
            expanded += c;
        }
    }
    return expanded.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void GenerationRun::startPostGenerationCommand()
{
    const QString command = userPreferences.postGenerationCommand;
    if (command.isEmpty())
        return;
    const QString folder = outputDirectory();
    const QStringList arguments = postGenerationArguments(
        userPreferences.postGenerationArguments, projectFolder.isEmpty() ? folder : projectFolder,
        folder, projectName);
    // The command runs on by itself; the run only gives it a moment to start.
    if (!QProcess::startDetached(command, arguments, folder))
        report(tr("Start of post generation command %1 failed").arg(command));
    QEventLoop loop;
    QTimer::singleShot(commandWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void GenerationRun::adjustLineEndings()
{
    const QString ending = userPreferences.lineEnding();
    if (ending.isEmpty())
        return;
    static const char *const files[] = {"gen_define.h",      "gen_indication.h",   "gen_indices.h",
                                        "gen_extern_decl.h", "gen_srdo.c",         "gen_objdict.c",
                                        "gen_pgn.c",         "gen_var_decl.c",     "gen_vobjdict.c",
                                        "gen_mp.c",          "gen_j1939_adapter.c"};
    for (const char *file : files)
        Helper::modifyLineEnding(outputDirectory() + QLatin1Char('/') + QLatin1String(file),
                                 ending);
}

int GenerationRun::startEdsCheck()
{
    if (!userPreferences.checkEds)
        return 0;
    const QString checkerPath = userPreferences.edsCheckerPath;
    const QString base = outputDirectory() + QLatin1Char('/') + projectName;

    QList<QPair<QString, int>> files{{base + QStringLiteral(".eds"), -1}};
    for (int line = 0; line <= 7; ++line) {
        const QString path = base + QStringLiteral("_%1.eds").arg(line);
        if (QFileInfo::exists(path))
            files.append({path, line});
    }
    int started = 0;
    for (const auto &file : files) {
        auto *checker = new EdsCheckerWrapper(this);
        connect(checker, &EdsCheckerWrapper::finished, this, &GenerationRun::edsCheckFinished);
        checker->setCheckerPath(checkerPath);
        // Listed before the start: a checker that cannot run may report at once.
        edsCheckers.append(checker);
        if (!checker->startEDSCheck(file.first)) {
            edsCheckers.removeAll(checker);
            report(tr("Start of EDS Checker failed"));
            delete checker;
            continue;
        }
        ++started;
        report(file.second < 0 ? tr("EDS Checker started")
                               : tr("EDS Checker started for line %1").arg(file.second));
    }
    return started;
}

void GenerationRun::edsCheckFinished()
{
    auto *checker = qobject_cast<EdsCheckerWrapper *>(sender());
    if (!checker || !edsCheckers.contains(checker))
        return;
    report(checker->getResults());
    report(tr("EDS Checker finished"));
    edsCheckers.removeAll(checker);
    checker->deleteLater();
    if (edsCheckers.isEmpty())
        emit edsChecksFinished();
}
