// The object dictionary page on a large line: 5000 objects (half VARs, half ARRAYs of
// eight entries; 25,000 sub-indices), saved and reopened. Times building the whole tree
// (as after opening a project or switching lines) and selecting 100 objects and then 100
// sub-indices one after the other, each selection saving and closing the open editor and
// opening the next one, painted on the offscreen platform.

#include "database/objectdatabase.h"
#include "forms/objectdictionaryform.h"
#include "panelkit/appidentity.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <algorithm>
#include <ctime>

namespace {

const int objectCount = 5000;
const int arrayEntries = 8;
const int runs = 5;

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

Sub entry(const QString &name, quint16 type, const QString &value)
{
    Sub sub;
    sub.name = name;
    sub.datatype = type;
    sub.accesstype = QStringLiteral("rw");
    sub.defaultvalue = value;
    sub.pdomapping = 1;
    return sub;
}

void buildLine(ObjectDataBase &db)
{
    db.beginTransaction();
    for (int i = 0; i < objectCount; ++i) {
        const quint16 index = quint16(0x2000 + i);
        const bool array = i % 2 == 1;
        ObjectDataBase::INDEX_DATA_T object;
        object.name =
            array ? QStringLiteral("Channels of block $I") : QStringLiteral("Value %1").arg(i);
        object.objecttype = array ? 8 : 7;
        object.datatype = array ? 6 : 7;
        db.addIndex(0, index, object);
        if (!array) {
            db.addSubIndex(0, index, 0, entry(object.name, 7, QString::number(i)));
            continue;
        }
        db.addSubIndex(
            0, index, 0,
            entry(QStringLiteral("Highest sub-index supported"), 5, QString::number(arrayEntries)));
        for (int sub = 1; sub <= arrayEntries; ++sub)
            db.addSubIndex(0, index, quint8(sub),
                           entry(QStringLiteral("Channel $s"), 6, QString::number(sub)));
    }
    db.commitTransaction();
}

qint64 cpuMilliseconds(std::clock_t since)
{
    return qint64(std::clock() - since) * 1000 / CLOCKS_PER_SEC;
}

struct Figure
{
    qint64 wall;
    qint64 cpu;
};

Figure median(QList<Figure> figures)
{
    std::sort(figures.begin(), figures.end(),
              [](const Figure &a, const Figure &b) { return a.wall < b.wall; });
    return figures.at(figures.size() / 2);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Selects the items one after the other; returns the time per selection in microseconds.
Figure selectEach(ObjectDictionaryForm &form, const QList<QTreeWidgetItem *> &items)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    for (QTreeWidgetItem *item : items) {
        form.tree()->setCurrentItem(item);
        settle();
    }
    return {timer.nsecsElapsed() / 1000 / items.size(),
            cpuMilliseconds(cpuStart) * 1000 / items.size()};
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppIdentity::apply(QString::fromLocal8Bit(argv[0]));
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.nwrp"));
    {
        ObjectDataBase built;
        built.createNewDataBase();
        buildLine(built);
        if (!built.saveDataBase(path)) {
            out << "could not write the benchmark project\n";
            return 1;
        }
    }
    ObjectDataBase db;
    if (!db.openDataBase(path, false)) {
        out << "could not open the benchmark project\n";
        return 1;
    }

    ObjectDictionaryForm form;
    form.resize(1400, 900);
    form.show();
    form.setProjectDatabase(&db);
    settle();
    QList<Figure> builds;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        form.updateAllTree();
        builds.append({timer.elapsed(), cpuMilliseconds(cpuStart)});
        settle();
    }
    QList<QTreeWidgetItem *> objects;
    QList<QTreeWidgetItem *> subs;
    for (int i = 0; i < 100; ++i) {
        QTreeWidgetItem *object = form.getIndexItem(quint16(0x2100 + i));
        objects.append(object);
        subs.append(form.getIndexItem(quint16(0x2201 + 2 * (i / 8)))->child(1 + i % 8));
    }
    const Figure objectSelection = selectEach(form, objects);
    const Figure subSelection = selectEach(form, subs);

    const Figure build = median(builds);
    out << "line: " << objectCount << " objects, "
        << objectCount / 2 * (arrayEntries + 1) + objectCount / 2 << " sub-indices\n";
    out << "tree build (median of " << runs << "): " << build.wall << " ms (" << build.cpu
        << " ms CPU; target < 500 ms)\n";
    out << "select 100 objects: " << objectSelection.wall / 1000.0 << " ms per selection ("
        << objectSelection.cpu / 1000.0 << " ms CPU; target < 20 ms)\n";
    out << "select 100 sub-indices: " << subSelection.wall / 1000.0 << " ms per selection ("
        << subSelection.cpu / 1000.0 << " ms CPU; target < 20 ms)\n";
    return 0;
}
