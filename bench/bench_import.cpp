// Whole-process import of a large EDS: `nodewright-cli new` followed by
// `nodewright-cli import`, as a build script runs them. The EDS is generated: 5000 objects
// with 34,000 sub-indices (1000 VAR objects, 4000 RECORDs of 8 or 9 sub-indices), about
// 5.4 MB with CR LF line ends. Each run is timed as wall-clock time and as the processor
// time and peak resident memory of each process (from wait4).
//
// The command-line tool is looked up beside this program's build folder
// (../src/nodewright-cli) unless NW_CLI names it.

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

void appendVariable(QByteArray &eds, int index, int n)
{
    eds += QByteArray("[") + QByteArray::number(index, 16).toUpper()
           + "]\r\nParameterName=Variable " + QByteArray::number(n)
           + "\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=rw\r\nDefaultValue=0x"
           + QByteArray::number(n, 16).rightJustified(8, '0')
           + "\r\nPDOMapping=1\r\nLowLimit=0\r\nHighLimit=0xFFFF\r\n\r\n";
}

void appendRecord(QByteArray &eds, int index, int n, int subs)
{
    const QByteArray at = QByteArray::number(index, 16).toUpper();
    eds += "[" + at + "]\r\nParameterName=Record " + QByteArray::number(n)
           + "\r\nObjectType=0x9\r\nSubNumber=" + QByteArray::number(subs) + "\r\n\r\n";
    eds += "[" + at
           + "sub0]\r\nParameterName=Highest sub-index supported\r\nObjectType=0x7\r\n"
             "DataType=0x0005\r\nAccessType=ro\r\nDefaultValue="
           + QByteArray::number(subs - 1) + "\r\nPDOMapping=0\r\n\r\n";
    for (int s = 1; s < subs; ++s)
        eds += "[" + at + "sub" + QByteArray::number(s, 16).toUpper() + "]\r\nParameterName=Entry "
               + QByteArray::number(s) + " of record " + QByteArray::number(n)
               + "\r\nObjectType=0x7\r\nDataType=0x0006\r\nAccessType=rw\r\nDefaultValue="
               + QByteArray::number(s * 10) + "\r\nPDOMapping=1\r\nLowLimit=0\r\nHighLimit="
               + QByteArray::number(1000 + s) + "\r\n\r\n";
}

QByteArray generateEds(int &subIndices)
{
    const int objects = 5000;
    QByteArray eds;
    eds.reserve(6 << 20);
    eds += "[FileInfo]\r\nFileName=big.eds\r\nFileVersion=1\r\nFileRevision=1\r\nEDSVersion=4.0\r\n"
           "Description=Generated for the import benchmark\r\n\r\n[DeviceInfo]\r\nVendorName="
           "Bench\r\nProductName=Big device\r\nNrOfRXPDO=0\r\nNrOfTXPDO=0\r\n\r\n";
    eds += "[ManufacturerObjects]\r\nSupportedObjects=" + QByteArray::number(objects) + "\r\n";
    for (int n = 0; n < objects; ++n)
        eds += QByteArray::number(n + 1) + "=0x" + QByteArray::number(0x2000 + n, 16).toUpper()
               + "\r\n";
    eds += "\r\n";
    subIndices = 0;
    for (int n = 0; n < objects; ++n) {
        if (n < 1000) {
            appendVariable(eds, 0x2000 + n, n);
            subIndices += 1;
        } else {
            const int subs = n < 4000 ? 8 : 9;
            appendRecord(eds, 0x2000 + n, n, subs);
            subIndices += subs;
        }
    }
    return eds;
}

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
    const QByteArray eds = generateEds(subIndices);
    const QString edsPath = dir.filePath(QStringLiteral("big.eds"));
    QFile file(edsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(eds) != eds.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(edsPath));
        return 1;
    }
    file.close();
    std::printf("EDS: 5000 objects, %d sub-indices, %.2f MB\n", subIndices, eds.size() / 1048576.0);

    std::vector<double> wall, cpu;
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
        const QString project = dir.filePath(QStringLiteral("bench%1.nwrp").arg(run));
        const Sample made = runProcess(cli, {QStringLiteral("new"), project});
        const Sample imported =
            runProcess(cli, {QStringLiteral("import"), edsPath, QStringLiteral("--into"), project});
        if (made.exitCode != 0 || imported.exitCode != 0) {
            std::fprintf(stderr, "nodewright-cli failed (%d, %d); is %s built?\n", made.exitCode,
                         imported.exitCode, qPrintable(cli));
            return 1;
        }
        std::printf("run %d: new %.0f ms (%.0f ms CPU, %ld KB), import %.0f ms (%.0f ms CPU, "
                    "%ld KB)\n",
                    run + 1, made.wallMs, made.cpuMs, made.peakKb, imported.wallMs, imported.cpuMs,
                    imported.peakKb);
        wall.push_back(made.wallMs + imported.wallMs);
        cpu.push_back(made.cpuMs + imported.cpuMs);
        peak = std::max({peak, made.peakKb, imported.peakKb});
    }
    std::printf("phases of one import in this process:\n");
    const QString project = dir.filePath(QStringLiteral("phases.nwrp"));
    runProcess(cli, {QStringLiteral("new"), project});
    phases(edsPath, project);
    std::printf("new + import: median %.0f ms wall, %.0f ms CPU; fastest %.0f ms wall; peak "
                "memory %.1f MB (targets: under 300 ms, under 100 MB)\n",
                median(wall), median(cpu), *std::min_element(wall.begin(), wall.end()),
                peak / 1024.0);
    return 0;
}
