// Project store throughput: builds 3 lines x 2000 objects x 16 sub-indices through the
// public interface, saves, reopens, caches and reads every sub-index back.

#include "database/objectdatabase.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVector>

namespace {

const int lineCount = 3;
const int objectsPerLine = 2000;
const int subsPerObject = 16;

ObjectDataBase::SUBINDEX_DATA_T entry(quint8 line, quint16 index, quint8 sub)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    data.name = QStringLiteral("Value %1 of 0x%2 on line %3").arg(sub).arg(index, 4, 16).arg(line);
    data.description = QStringLiteral("Measured value");
    data.datatype = 7;
    data.accesstype = QStringLiteral("rw");
    data.defaultvalue = QString::number(index * 16 + sub);
    data.varname = QStringLiteral("var_%1_%2").arg(index, 0, 16).arg(sub);
    data.pdomapping = 1;
    data.uplimit = 0xFFFFFFFFLL;
    return data;
}

double perSecond(int count, qint64 nanoseconds)
{
    return nanoseconds > 0 ? count * 1e9 / double(nanoseconds) : 0.0;
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
    const int total = lineCount * objectsPerLine * subsPerObject;

    ObjectDataBase db;
    db.createNewDataBase();
    QElapsedTimer timer;
    timer.start();
    qint64 subNanoseconds = 0;
    QElapsedTimer subTimer;
    for (quint8 line = 0; line < lineCount; ++line) {
        if (line > 0)
            db.addNode(line, ObjectDataBase::NODE_DATA_T());
        for (int i = 0; i < objectsPerLine; ++i) {
            const quint16 index = quint16(0x2000 + i);
            ObjectDataBase::INDEX_DATA_T object;
            object.name = QStringLiteral("Object 0x%1").arg(index, 4, 16);
            object.objecttype = 9;
            db.addIndex(line, index, object);
            for (quint8 sub = 0; sub < subsPerObject; ++sub) {
                const ObjectDataBase::SUBINDEX_DATA_T data = entry(line, index, sub);
                subTimer.start();
                db.addSubIndex(line, index, sub, data);
                subNanoseconds += subTimer.nsecsElapsed();
            }
        }
    }
    const qint64 buildMs = timer.elapsed();

    timer.start();
    const bool saved = db.saveDataBase(path);
    const qint64 saveMs = timer.elapsed();

    QVector<QString> expectedNames;
    expectedNames.reserve(total);
    for (quint8 line = 0; line < lineCount; ++line) {
        for (int i = 0; i < objectsPerLine; ++i) {
            for (quint8 sub = 0; sub < subsPerObject; ++sub)
                expectedNames.append(entry(line, quint16(0x2000 + i), sub).name);
        }
    }

    timer.start();
    ObjectDataBase reopened;
    const bool opened = reopened.openDataBase(path, false);
    const qint64 openMs = timer.elapsed();

    timer.start();
    int correct = 0;
    int position = 0;
    for (quint8 line = 0; line < lineCount; ++line) {
        reopened.cacheAllSubs(line);
        for (int i = 0; i < objectsPerLine; ++i) {
            const quint16 index = quint16(0x2000 + i);
            for (quint8 sub = 0; sub < subsPerObject; ++sub) {
                ObjectDataBase::SUBINDEX_DATA_T data;
                if (reopened.getSubIndexData(line, index, sub, data)
                    && data.name == expectedNames.at(position))
                    ++correct;
                ++position;
            }
        }
        reopened.clearCachedSubs(line);
    }
    const qint64 readMs = timer.elapsed();

    out << "project: " << lineCount << " lines x " << objectsPerLine << " objects x "
        << subsPerObject << " sub-indices = " << total << " sub-indices\n";
    out << "build (addIndex + addSubIndex): " << buildMs << " ms\n";
    out << "addSubIndex: " << qRound(perSecond(total, subNanoseconds)) << " per second\n";
    out << "save: " << saveMs << " ms" << (saved ? "" : " (FAILED)") << "\n";
    out << "open: " << openMs << " ms" << (opened ? "" : " (FAILED)") << "\n";
    out << "cacheAllSubs + read all: " << readMs << " ms (" << correct << " of " << total
        << " correct)\n";
    out << "open + cached read: " << openMs + readMs << " ms\n";
    return saved && opened && correct == total ? 0 : 1;
}
