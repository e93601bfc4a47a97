// Project store throughput: builds 3 lines x 2000 objects x 16 sub-indices through the
// public interface, saves, reopens, caches and reads every sub-index back. Every phase is
// reported as wall-clock time and as the CPU time of the process, so that a figure taken
// on a busy machine can still be judged.

#include "database/objectdatabase.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVector>

#include <ctime>

namespace {

const int lineCount = 3;
const int objectsPerLine = 2000;
const int subsPerObject = 16;
const int total = lineCount * objectsPerLine * subsPerObject;

struct Entry
{
    quint8 line;
    quint16 index;
    quint8 sub;
    ObjectDataBase::SUBINDEX_DATA_T data;
};

class Stopwatch
{
public:
    Stopwatch() : m_cpuStart(cpuNow()) { m_wall.start(); }
    double wallMs() const { return m_wall.nsecsElapsed() / 1e6; }
    double cpuMs() const { return (cpuNow() - m_cpuStart) / 1e6; }

private:
    static qint64 cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpuStart;
};

QVector<Entry> entries()
{
    QVector<Entry> list;
    list.reserve(total);
    for (quint8 line = 0; line < lineCount; ++line) {
        for (int i = 0; i < objectsPerLine; ++i) {
            const quint16 index = quint16(0x2000 + i);
            for (quint8 sub = 0; sub < subsPerObject; ++sub) {
                Entry entry{line, index, sub, {}};
                ObjectDataBase::SUBINDEX_DATA_T &data = entry.data;
                data.name = QStringLiteral("Value %1 of 0x%2 on line %3")
                                .arg(sub)
                                .arg(index, 4, 16)
                                .arg(line);
                data.description = QStringLiteral("Measured value");
                data.datatype = 7;
                data.accesstype = QStringLiteral("rw");
                data.defaultvalue = QString::number(index * 16 + sub);
                data.varname = QStringLiteral("var_%1_%2").arg(index, 0, 16).arg(sub);
                data.pdomapping = 1;
                data.uplimit = 0xFFFFFFFFLL;
                list.append(entry);
            }
        }
    }
    return list;
}

void addObjects(ObjectDataBase &db)
{
    for (quint8 line = 0; line < lineCount; ++line) {
        if (line > 0)
            db.addNode(line, ObjectDataBase::NODE_DATA_T());
        for (int i = 0; i < objectsPerLine; ++i) {
            ObjectDataBase::INDEX_DATA_T object;
            object.name = QStringLiteral("Object 0x%1").arg(0x2000 + i, 4, 16);
            object.objecttype = 9;
            db.addIndex(line, quint16(0x2000 + i), object);
        }
    }
}

int readEverything(ObjectDataBase &db, const QVector<Entry> &expected)
{
    int correct = 0;
    for (quint8 line = 0; line < lineCount; ++line) {
        db.cacheAllSubs(line);
        for (const Entry &entry : expected) {
            if (entry.line != line)
                continue;
            ObjectDataBase::SUBINDEX_DATA_T data;
            if (db.getSubIndexData(line, entry.index, entry.sub, data) && data == entry.data)
                ++correct;
        }
        db.clearCachedSubs(line);
    }
    return correct;
}

QString times(const Stopwatch &watch)
{
    return QStringLiteral("%1 ms (CPU %2 ms)")
        .arg(watch.wallMs(), 0, 'f', 0)
        .arg(watch.cpuMs(), 0, 'f', 0);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppIdentity::apply(QString::fromLocal8Bit(argv[0]));
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.nwrp"));
    const QVector<Entry> all = entries();

    ObjectDataBase db;
    db.createNewDataBase();
    Stopwatch objects;
    addObjects(db);
    const QString objectTimes = times(objects);
    // Line 0 as an editor writes: every addSubIndex on its own, committed before it
    // returns. Lines 1 and 2 as a reader or a copy writes: all in one unit.
    const int single = objectsPerLine * subsPerObject;
    Stopwatch subs;
    for (int i = 0; i < single; ++i)
        db.addSubIndex(all.at(i).line, all.at(i).index, all.at(i).sub, all.at(i).data);
    const QString subTimes = times(subs);
    const double subRate = single * 1000.0 / subs.wallMs();
    const double subCpuRate = single * 1000.0 / subs.cpuMs();
    Stopwatch unitSubs;
    bool committed = db.beginTransaction();
    for (int i = single; i < total; ++i)
        db.addSubIndex(all.at(i).line, all.at(i).index, all.at(i).sub, all.at(i).data);
    committed = db.commitTransaction() && committed;
    const QString unitTimes = times(unitSubs);
    const double unitRate = (total - single) * 1000.0 / unitSubs.wallMs();
    const double unitCpuRate = (total - single) * 1000.0 / unitSubs.cpuMs();

    Stopwatch save;
    const bool saved = db.saveDataBase(path);
    const QString saveTimes = times(save);

    Stopwatch openAndRead;
    ObjectDataBase reopened;
    const bool opened = reopened.openDataBase(path, false);
    const QString openTimes = times(openAndRead);
    Stopwatch read;
    const int correct = readEverything(reopened, all);
    const QString readTimes = times(read);

    out << "project: " << lineCount << " lines x " << objectsPerLine << " objects x "
        << subsPerObject << " sub-indices = " << total << " sub-indices\n"
        << "addIndex x " << lineCount * objectsPerLine << ": " << objectTimes << "\n"
        << "addSubIndex x " << single << ", each committed: " << subTimes << " = "
        << qRound(subRate) << " per second (" << qRound(subCpuRate) << " per CPU second)\n"
        << "addSubIndex x " << total - single << " in one unit: " << unitTimes
        << (committed ? "" : " COMMIT FAILED") << " = " << qRound(unitRate) << " per second ("
        << qRound(unitCpuRate) << " per CPU second)\n"
        << "save: " << saveTimes << (saved ? "" : " FAILED") << ", "
        << QFileInfo(path).size() / 1024 << " KiB\n"
        << "open: " << openTimes << (opened ? "" : " FAILED") << "\n"
        << "cacheAllSubs + read every sub-index: " << readTimes << ", " << correct << " of "
        << total << " equal to what was written\n"
        << "open + cached read: " << times(openAndRead) << "\n";
    return committed && saved && opened && correct == total ? 0 : 1;
}
