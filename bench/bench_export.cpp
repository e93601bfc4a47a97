// EDS and CSV export of a large project: 5000 objects with about 34,000 sub-indices on
// one CANopen line. Timed as a user runs it, as the whole process
// `nodewright-cli export PROJECT --format eds|csv` (open the project, read it, write the
// file), and, for the split, the writers alone inside this process with the sub-indices
// cached.
//
// Usage: bench_export [path of nodewright-cli]; by default the one of this build.

#include "database/objectdatabase.h"
#include "description/csvgenerator.h"
#include "description/edsgenerator.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>

namespace {

const int runs = 5;
const int varCount = 800; // VAR objects, one sub-index each
const int arrayCount = 2100; // ARRAYs with sub-index 0 and 8 entries
const int recordCount = 2100; // RECORDs with sub-index 0 and 6 entries

ObjectDataBase::SUBINDEX_DATA_T entry(const QString &name, quint16 datatype, const QString &value)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    data.name = name;
    data.datatype = datatype;
    data.accesstype = QStringLiteral("rw");
    data.defaultvalue = value;
    data.pdomapping = 1;
    return data;
}

void addObject(ObjectDataBase &db, quint16 index, quint8 objectType, int entries)
{
    ObjectDataBase::INDEX_DATA_T object;
    object.name = QStringLiteral("Object %1").arg(index, 4, 16, QLatin1Char('0'));
    object.objecttype = objectType;
    if (index % 10 == 0)
        object.description = QStringLiteral("Described object\nsecond line of its text");
    db.addIndex(0, index, object);
    if (objectType == 7) {
        db.addSubIndex(0, index, 0, entry(object.name, 7, QString::number(index)));
        return;
    }
    db.addSubIndex(
        0, index, 0,
        entry(QStringLiteral("Highest sub-index supported"), 5, QString::number(entries)));
    for (int sub = 1; sub <= entries; ++sub) {
        ObjectDataBase::SUBINDEX_DATA_T data =
            entry(QStringLiteral("Entry %1 of %2").arg(sub).arg(index, 4, 16), sub % 3 ? 7 : 6,
                  QStringLiteral("0x%1").arg(index * 16 + sub, 0, 16));
        data.limitineds = sub % 4 == 0;
        data.lowlimit = -sub;
        data.uplimit = 1000 * sub;
        db.addSubIndex(0, index, quint8(sub), data);
    }
}

// Manufacturer objects from 0x2000, profile objects from 0x6000.
void buildProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    db.setGeneralSettingsValue(QStringLiteral("line0type"), QStringLiteral("1"));
    int made = 0;
    const auto nextIndex = [&made]() {
        const int i = made++;
        return quint16(i < 3500 ? 0x2000 + i : 0x6000 + (i - 3500));
    };
    for (int i = 0; i < varCount; ++i)
        addObject(db, nextIndex(), 7, 0);
    for (int i = 0; i < arrayCount; ++i)
        addObject(db, nextIndex(), 8, 8);
    for (int i = 0; i < recordCount; ++i)
        addObject(db, nextIndex(), 9, 6);
}

double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double selfCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct Figures
{
    QList<double> wall;
    QList<double> cpu;
    qint64 bytes = 0;
};

QString summary(const QString &label, Figures figures)
{
    std::sort(figures.wall.begin(), figures.wall.end());
    std::sort(figures.cpu.begin(), figures.cpu.end());
    return QStringLiteral("%1: wall %2 ms (median %3), CPU %4 ms (median %5), file %6 KiB")
        .arg(label, -34)
        .arg(figures.wall.first(), 0, 'f', 0)
        .arg(figures.wall.at(figures.wall.size() / 2), 0, 'f', 0)
        .arg(figures.cpu.first(), 0, 'f', 0)
        .arg(figures.cpu.at(figures.cpu.size() / 2), 0, 'f', 0)
        .arg(figures.bytes / 1024);
}

Figures timeProcess(const QString &cli, const QString &project, const QString &format,
                    const QString &file)
{
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        const double cpuBefore = childCpuMs();
        QElapsedTimer timer;
        timer.start();
        process.start(cli, {QStringLiteral("export"), project, QStringLiteral("--format"), format});
        process.waitForFinished(-1);
        figures.wall << timer.nsecsElapsed() / 1e6;
        figures.cpu << childCpuMs() - cpuBefore;
        if (process.exitCode() != 0)
            qFatal("export failed: %s", process.readAllStandardError().constData());
    }
    figures.bytes = QFileInfo(file).size();
    return figures;
}

template <typename Generator>
Figures timeWriter(ObjectDataBase &db, const QString &folder, const QString &file)
{
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        Generator generator;
        generator.setDataBase(&db);
        generator.setOutputDirectory(folder);
        generator.setProjectName(QStringLiteral("bench"));
        generator.setActiveLine(0);
        const double cpuBefore = selfCpuMs();
        QElapsedTimer timer;
        timer.start();
        generator.startGeneration();
        generator.wait();
        figures.wall << timer.nsecsElapsed() / 1e6;
        figures.cpu << selfCpuMs() - cpuBefore;
    }
    figures.bytes = QFileInfo(file).size();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    AppIdentity::apply(QStringLiteral("nodewright"));
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    const QString cli = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QCoreApplication::applicationDirPath()
                                       + QStringLiteral("/../src/nodewright-cli");
    if (!QFileInfo(cli).isExecutable())
        qFatal("no nodewright-cli at %s", qPrintable(cli));

    QTemporaryDir folder;
    const QString project = folder.path() + QStringLiteral("/bench.nwrp");
    {
        ObjectDataBase db;
        buildProject(db);
        if (!db.saveDataBase(project))
            qFatal("cannot save the project");
    }
    ObjectDataBase db;
    db.openDataBase(project, false);
    const int subs = db.getSubsByProperty(0, QString(), QString()).size();
    out << "project: " << db.getIndices(0).size() << " objects, " << subs << " sub-indices, "
        << QFileInfo(project).size() / 1024 << " KiB\n";

    const QString eds = folder.path() + QStringLiteral("/bench.eds");
    const QString csv = folder.path() + QStringLiteral("/bench.csv");
    out << summary(QStringLiteral("nodewright-cli export --format eds"),
                   timeProcess(cli, project, QStringLiteral("eds"), eds))
        << '\n';
    out << summary(QStringLiteral("nodewright-cli export --format csv"),
                   timeProcess(cli, project, QStringLiteral("csv"), csv))
        << '\n';
    out.flush();

    db.cacheStrings();
    db.cacheAllSubs(0);
    out << summary(QStringLiteral("EDSGenerator alone (cached)"),
                   timeWriter<EDSGenerator>(db, folder.path(), eds))
        << '\n';
    out << summary(QStringLiteral("CSVGenerator alone (cached)"),
                   timeWriter<CSVGenerator>(db, folder.path(), csv))
        << '\n';
    return 0;
}
