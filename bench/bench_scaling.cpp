// Growth of every step from a file to generated files: the same shape of dictionary at
// 1000 and at 10,000 objects (benchedsfile.h), each step timed at both sizes, so that a
// step that grows faster than n log n shows as a ratio well above 10. Steps, all inside
// this process: the EDS import (reader and copy into a new project), the model check
// (sub-index cache filled first), every output file of the line (the generation run
// without its check) and the EDS writer alone. Target: at most 12 × the time for 10 ×
// the objects.
//
// The projects are made by `nodewright-cli new` (beside this program's build folder
// unless NW_CLI names it), as a user starts one.

#include "benchedsfile.h"
#include "checker/projectcheck.h"
#include "database/objectdatabase.h"
#include "description/edsgenerator.h"
#include "generators/generationrun.h"
#include "importers/edsimporter.h"
#include "importers/importrun.h"
#include "panelkit/appidentity.h"
#include "panelkit/preferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const int runs = 3;
const int sizes[] = {1000, 10000};
const char *const stepNames[] = {"EDS import", "model check", "all files of the line",
                                 "EDS writer"};
const int stepCount = 4;

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Processor time of one call of step (a worker thread's time included).
double timed(const std::function<bool()> &step, bool &ok)
{
    const double before = cpuMs();
    ok = step() && ok;
    return cpuMs() - before;
}

bool importEds(ObjectDataBase &db, const QString &eds)
{
    EDSImporter importer;
    importer.setIndexRange(0x1000, 0xFFFF);
    importer.setImportFileName(eds);
    importer.doImport();
    ImportRun run(&db);
    return importer.getLastError().isEmpty() && run.run(importer.objects().values());
}

bool check(ObjectDataBase &db, const QString &folder)
{
    db.cacheAllSubs(0);
    ProjectCheck projectCheck;
    projectCheck.checker().setStackPath(folder);
    projectCheck.checker().setAutoCorrectionDisabled(true);
    bool modified = false;
    projectCheck.run(&db, modified);
    db.clearAllCachedSubs();
    return true;
}

bool generateAll(ObjectDataBase &db, const QString &project, const QString &folder)
{
    GenerationRun run(&db);
    run.setProject(QFileInfo(project).absolutePath(), QFileInfo(project).completeBaseName());
    run.setOutputDirectory(folder);
    run.setModelCheckEnabled(false);
    run.setExternalEffectsEnabled(false);
    run.setPreferences(Preferences());
    const GenerationRun::Outcome outcome = run.run();
    return outcome == GenerationRun::Completed;
}

bool writeEds(ObjectDataBase &db, const QString &folder)
{
    db.cacheAllSubs(0);
    EDSGenerator generator;
    generator.setDataBase(&db);
    generator.setOutputDirectory(folder);
    generator.setProjectName(QStringLiteral("bench"));
    generator.setActiveLine(0);
    generator.startGeneration();
    generator.wait();
    db.clearAllCachedSubs();
    return !generator.hasFailed();
}

// The fastest of the runs of each step for one size.
std::vector<double> measure(int objects, const QString &cli, const QTemporaryDir &dir, bool &ok)
{
    int subIndices = 0;
    const QByteArray content = benchedsfile::generate(objects, subIndices);
    const QString eds = dir.filePath(QStringLiteral("scale%1.eds").arg(objects));
    QFile file(eds);
    ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    file.close();
    std::printf("%d objects, %d sub-indices, %.1f MB\n", objects, subIndices,
                content.size() / 1048576.0);
    std::vector<double> best(stepCount, 1e12);
    for (int run = 0; run < runs && ok; ++run) {
        const QString project =
            dir.filePath(QStringLiteral("scale%1_%2.nwrp").arg(objects).arg(run));
        const QString folder = dir.filePath(QStringLiteral("out%1_%2").arg(objects).arg(run));
        QProcess made;
        made.setStandardOutputFile(QProcess::nullDevice());
        made.start(cli, {QStringLiteral("new"), project});
        ok = made.waitForFinished(60000) && made.exitCode() == 0 && QDir().mkpath(folder);
        ObjectDataBase db;
        ok = ok && db.openDataBase(project, false);
        const double times[] = {
            timed([&] { return importEds(db, eds); }, ok),
            timed([&] { return check(db, folder); }, ok),
            timed([&] { return generateAll(db, project, folder); }, ok),
            timed([&] { return writeEds(db, folder); }, ok),
        };
        for (int step = 0; step < stepCount; ++step)
            best[size_t(step)] = std::min(best[size_t(step)], times[step]);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    AppIdentity::apply(QStringLiteral("nodewright"));
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString cli = qEnvironmentVariableIsSet("NW_CLI")
                            ? qEnvironmentVariable("NW_CLI")
                            : QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../src/nodewright-cli"));
    QTemporaryDir dir;
    bool ok = true;
    std::vector<std::vector<double>> figures;
    for (int objects : sizes)
        figures.push_back(measure(objects, cli, dir, ok));
    if (!ok) {
        std::fprintf(stderr, "a step failed; is %s built?\n", qPrintable(cli));
        return 1;
    }
    std::printf("%-24s %12s %12s %7s\n", "step (CPU, fastest of 3)", "1000", "10,000", "ratio");
    bool within = true;
    for (int step = 0; step < stepCount; ++step) {
        const double small = figures[0][size_t(step)];
        const double large = figures[1][size_t(step)];
        within = within && large <= 12 * small;
        std::printf("%-24s %9.0f ms %9.0f ms %6.1fx\n", stepNames[step], small, large,
                    large / small);
    }
    std::printf("target: at most 12x for every step: %s\n", within ? "met" : "NOT met");
    return within ? 0 : 2;
}
