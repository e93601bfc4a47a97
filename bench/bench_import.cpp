// Whole processes from a large EDS to generated files, as a build script runs them:
// `nodewright-cli new`, `import` of the EDS, `generate --no-check` and `export --format
// eds` of the imported project. The EDS is generated: 5000 objects with 34,000
// sub-indices (1000 VAR objects, 4000 RECORDs of 8 or 9 sub-indices), about 5.4 MB with
// CR LF line ends. Each run is timed as wall-clock time and as the processor time and
// peak resident memory of each process (from wait4); the figures are medians of 5 runs.
//
// The command-line tool is looked up beside this program's build folder
// (../src/nodewright-cli) unless NW_CLI names it.

#include "benchedsfile.h"
#include "database/objectdatabase.h"
#include "importers/edsimporter.h"
#include "importers/importrun.h"
#include "panelkit/edsparser.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

extern char **environ;

namespace {

const int runs = 5;

struct Sample
{
    double wallMs = 0;
    double cpuMs = 0;
    long peakKb = 0;
    int exitCode = -1;
};

Sample runProcess(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Sample sample;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return sample;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    sample.wallMs = timer.nsecsElapsed() / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    sample.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                   + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    sample.peakKb = usage.ru_maxrss;
    sample.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return sample;
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The phases of one import inside this process, each as wall-clock and processor time:
// the parser alone, the reader (parser and records), the copy into the project, saving.
void phases(const QString &edsPath, const QString &projectPath)
{
    QElapsedTimer timer;
    const auto report = [&timer](const char *phase, double cpuStart) {
        std::printf("  %-34s %6.0f ms  (%4.0f ms CPU)\n", phase, timer.nsecsElapsed() / 1e6,
                    cpuMs() - cpuStart);
    };
    double cpu = cpuMs();
    timer.start();
    {
        EdsParser parser;
        parser.LoadEds(edsPath);
    }
    report("parse (EdsParser)", cpu);
    cpu = cpuMs();
    timer.restart();
    ObjectDataBase db;
    db.openDataBase(projectPath, false);
    report("open the project", cpu);
    cpu = cpuMs();
    timer.restart();
    EDSImporter importer;
    importer.setIndexRange(0x1000, 0xFFFF);
    importer.setImportFileName(edsPath);
    importer.doImport();
    report("read (EDSImporter, in memory)", cpu);
    cpu = cpuMs();
    timer.restart();
    ImportRun run(&db);
    run.run(importer.objects().values());
    report("copy into the project (ImportRun)", cpu);
    cpu = cpuMs();
    timer.restart();
    db.saveDataBase();
    report("save the project", cpu);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString cli = qEnvironmentVariableIsSet("NW_CLI")
                            ? qEnvironmentVariable("NW_CLI")
                            : QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../src/nodewright-cli"));
    QTemporaryDir dir;
    int subIndices = 0;
    const QByteArray eds = benchedsfile::generate(5000, subIndices);
    const QString edsPath = dir.filePath(QStringLiteral("big.eds"));
    QFile file(edsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(eds) != eds.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(edsPath));
        return 1;
    }
    file.close();
    std::printf("EDS: 5000 objects, %d sub-indices, %.2f MB\n", subIndices, eds.size() / 1048576.0);

    std::vector<double> wall, cpu, generateWall, generateCpu, exportWall, exportCpu, chainWall,
        chainCpu;
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
        const QString project = dir.filePath(QStringLiteral("bench%1.nwrp").arg(run));
        const QString output = dir.filePath(QStringLiteral("out%1").arg(run));
        const Sample made = runProcess(cli, {QStringLiteral("new"), project});
        const Sample imported =
            runProcess(cli, {QStringLiteral("import"), edsPath, QStringLiteral("--into"), project});
        const Sample generated =
            runProcess(cli, {QStringLiteral("generate"), QStringLiteral("--no-check"),
                             QStringLiteral("--output"), output, project});
        const Sample exported =
            runProcess(cli, {QStringLiteral("export"), project, QStringLiteral("--format"),
                             QStringLiteral("eds"), QStringLiteral("--output"),
                             dir.filePath(QStringLiteral("export%1").arg(run))});
        if (made.exitCode != 0 || imported.exitCode != 0 || generated.exitCode != 0
            || exported.exitCode != 0) {
            std::fprintf(stderr, "nodewright-cli failed (%d, %d, %d, %d); is %s built?\n",
                         made.exitCode, imported.exitCode, generated.exitCode, exported.exitCode,
                         qPrintable(cli));
            return 1;
        }
        std::printf("run %d: new %.0f ms (%.0f ms CPU, %ld KB), import %.0f ms (%.0f ms CPU, "
                    "%ld KB), generate %.0f ms (%.0f ms CPU, %ld KB), export %.0f ms (%.0f ms "
                    "CPU, %ld KB)\n",
                    run + 1, made.wallMs, made.cpuMs, made.peakKb, imported.wallMs, imported.cpuMs,
                    imported.peakKb, generated.wallMs, generated.cpuMs, generated.peakKb,
                    exported.wallMs, exported.cpuMs, exported.peakKb);
        wall.push_back(made.wallMs + imported.wallMs);
        cpu.push_back(made.cpuMs + imported.cpuMs);
        generateWall.push_back(generated.wallMs);
        generateCpu.push_back(generated.cpuMs);
        exportWall.push_back(exported.wallMs);
        exportCpu.push_back(exported.cpuMs);
        chainWall.push_back(wall.back() + generated.wallMs);
        chainCpu.push_back(cpu.back() + generated.cpuMs);
        peak = std::max({peak, made.peakKb, imported.peakKb, generated.peakKb, exported.peakKb});
    }
    std::printf("phases of one import in this process:\n");
    const QString project = dir.filePath(QStringLiteral("phases.nwrp"));
    runProcess(cli, {QStringLiteral("new"), project});
    phases(edsPath, project);
    std::printf("new + import: median %.0f ms wall, %.0f ms CPU; fastest %.0f ms wall; peak "
                "memory %.1f MB (targets: under 300 ms, under 100 MB)\n",
                median(wall), median(cpu), *std::min_element(wall.begin(), wall.end()),
                peak / 1024.0);
    std::printf("generate --no-check: median %.0f ms wall, %.0f ms CPU (target: under 500 ms)\n",
                median(generateWall), median(generateCpu));
    std::printf("export --format eds: median %.0f ms wall, %.0f ms CPU (target: under 300 ms)\n",
                median(exportWall), median(exportCpu));
    std::printf("new + import + generate: median %.0f ms wall, %.0f ms CPU (target: under "
                "1100 ms)\n",
                median(chainWall), median(chainCpu));
    return 0;
}
