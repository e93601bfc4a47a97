// Undo of a large import: the same import without history, then 1000 RECORD objects of 9 sub-indices each are copied from a
// staging line into a project whose history is on (as the import dialog does), then the
// import is undone and redone. Every phase is timed as wall-clock and process CPU time;
// the median of the runs is reported.

#include "database/objectdatabase.h"
#include "database/undolog.h"
#include "database/undostep.h"
#include "importers/importrun.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const int runs = 5;
const int objects = 1000;
const quint8 stagingLine = 255;

qint64 cpuNow()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Phase
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

template <typename F>
bool timed(Phase &phase, F action)
{
    QElapsedTimer wall;
    const qint64 cpu = cpuNow();
    wall.start();
    const bool ok = action();
    phase.wall.push_back(wall.nsecsElapsed() / 1e6);
    phase.cpu.push_back((cpuNow() - cpu) / 1e6);
    return ok;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool fillStaging(ObjectDataBase &source, QList<quint16> &indices)
{
    if (!source.createNewDataBase() || !source.addNode(stagingLine, {}))
        return false;
    source.beginTransaction();
    for (int i = 0; i < objects; ++i) {
        const quint16 index = quint16(0x2000 + i);
        ObjectDataBase::INDEX_DATA_T object;
        object.name = QStringLiteral("Record %1").arg(i);
        object.objecttype = 9;
        source.addIndex(stagingLine, index, object);
        for (quint8 sub = 0; sub < 9; ++sub) {
            ObjectDataBase::SUBINDEX_DATA_T entry;
            entry.name = QStringLiteral("Field %1").arg(sub);
            entry.datatype = 7;
            entry.accesstype = QStringLiteral("rw");
            entry.defaultvalue = QString::number(i * 9 + sub);
            entry.pdomapping = 1;
            source.addSubIndex(stagingLine, index, sub, entry);
        }
        indices.append(index);
    }
    return source.commitTransaction();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    AppIdentity::apply(QStringLiteral("nodewright"));
    ObjectDataBase source;
    QList<quint16> indices;
    if (!fillStaging(source, indices)) {
        std::fprintf(stderr, "cannot build the staging line\n");
        return 1;
    }
    Phase plain, import, undo, redo;
    for (int run = 0; run < runs; ++run) {
        ObjectDataBase without;
        if (!without.createNewDataBase() || !timed(plain, [&] {
                ImportRun importRun(&without);
                return importRun.run(&source, stagingLine, indices);
            })) {
            std::fprintf(stderr, "run %d failed\n", run + 1);
            return 1;
        }
        ObjectDataBase project;
        project.setUndoEnabled(true);
        bool ok = project.createNewDataBase();
        ok = ok && timed(import, [&] {
                 UndoStep step(&project, QStringLiteral("Import"));
                 ImportRun importRun(&project);
                 return importRun.run(&source, stagingLine, indices);
             });
        ok = ok && project.getIndices(0, 0x2000, 0xFFFF).size() == objects;
        ok = ok && timed(undo, [&] { return project.undo(); });
        ok = ok && project.getIndices(0, 0x2000, 0xFFFF).isEmpty();
        ok = ok && timed(redo, [&] { return project.redo(); });
        ok = ok && project.getIndices(0, 0x2000, 0xFFFF).size() == objects;
        if (!ok) {
            std::fprintf(stderr, "run %d failed\n", run + 1);
            return 1;
        }
    }
    std::printf("%d objects x 9 sub-indices, median of %d runs (wall / CPU ms)\n", objects, runs);
    std::printf("import, no history   %8.1f / %8.1f\n", median(plain.wall), median(plain.cpu));
    std::printf("import with history  %8.1f / %8.1f\n", median(import.wall), median(import.cpu));
    std::printf("undo                 %8.1f / %8.1f\n", median(undo.wall), median(undo.cpu));
    std::printf("redo                 %8.1f / %8.1f\n", median(redo.wall), median(redo.cpu));
    return 0;
}
