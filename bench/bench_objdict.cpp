// gen_objdict.c for a large project: 3 lines x 2000 objects x 16 sub-indices, written
// with and without compact array descriptions. Every run reads the project with its
// sub-indices cached, as the generation run does, and once more without the cache.

#include "database/objectdatabase.h"
#include "generators/objdictgenerator.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace {

const int lineCount = 3;
const int objectsPerLine = 2000;
const int subsPerObject = 16;

ObjectDataBase::SUBINDEX_DATA_T entry(quint16 datatype, const QString &access, const QString &value,
                                      quint8 implementation)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    data.datatype = datatype;
    data.accesstype = access;
    data.defaultvalue = value;
    data.implementation = implementation;
    data.pdomapping = 1;
    return data;
}

// Even objects are arrays of equal entries (what compact descriptions shorten), odd ones
// records of mixed entries: managed variables, constants and application variables.
ObjectDataBase::SUBINDEX_DATA_T subEntry(int object, int sub)
{
    if (sub == 0)
        return entry(5, QStringLiteral("const"), QString::number(subsPerObject - 1), 1);
    if (object % 2 == 0)
        return entry(7, QStringLiteral("rw"), QString::number(object), 0);
    switch (sub % 4) {
    case 0:
        return entry(6, QStringLiteral("rw"), QString::number(sub * 7), 0);
    case 1:
        return entry(7, QStringLiteral("ro"), QString::number(object * 16 + sub), 1);
    case 2: {
        ObjectDataBase::SUBINDEX_DATA_T variable =
            entry(3, QStringLiteral("rw"), QStringLiteral("0"), 2);
        variable.varname = QStringLiteral("values_$I[$z]");
        return variable;
    }
    default:
        return entry(8, QStringLiteral("rw"), QStringLiteral("1.5"), 0);
    }
}

void buildProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    for (quint8 line = 0; line < lineCount; ++line) {
        if (line > 0)
            db.addNode(line, ObjectDataBase::NODE_DATA_T());
        for (int i = 0; i < objectsPerLine; ++i) {
            const quint16 index = quint16(0x2000 + i);
            ObjectDataBase::INDEX_DATA_T object;
            object.name = QStringLiteral("Object 0x%1").arg(index, 4, 16);
            object.objecttype = i % 2 == 0 ? 8 : 9;
            db.addIndex(line, index, object);
            for (int sub = 0; sub < subsPerObject; ++sub)
                db.addSubIndex(line, index, quint8(sub), subEntry(i, sub));
        }
    }
}

// Milliseconds (wall clock) for one gen_objdict.c, the processor time of the whole
// process meanwhile and the file's size. The processor time tells the cost on a machine
// that other work keeps busy.
qint64 generate(ObjectDataBase &db, const QString &folder, bool compact, qint64 &bytes,
                qint64 &cpuMs)
{
    ObjDictGenerator generator(compact);
    generator.setDataBase(&db);
    generator.setOutputDirectory(folder);
    generator.setProjectName(QStringLiteral("bench"));
    generator.setActiveLine(0);
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    generator.startGeneration();
    generator.wait();
    const qint64 ms = timer.elapsed();
    cpuMs = qint64(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC;
    bytes = QFileInfo(folder + QStringLiteral("/gen_objdict.c")).size();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppIdentity::apply(QString::fromLocal8Bit(argv[0]));
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    QTemporaryDir dir;

    ObjectDataBase db;
    QElapsedTimer timer;
    timer.start();
    buildProject(db);
    out << "project: " << lineCount << " lines x " << objectsPerLine << " objects x "
        << subsPerObject << " sub-indices, built in " << timer.elapsed() << " ms\n";

    timer.start();
    for (quint8 line = 0; line < lineCount; ++line)
        db.cacheAllSubs(line);
    out << "sub-index cache filled in " << timer.elapsed() << " ms\n";

    qint64 bytes = 0;
    qint64 cpu = 0;
    const qint64 plain = generate(db, dir.path(), false, bytes, cpu);
    out << "gen_objdict.c without compact arrays: " << plain << " ms (processor " << cpu << " ms, "
        << bytes / 1024 << " KiB); target < 2000 ms\n";
    const qint64 compact = generate(db, dir.path(), true, bytes, cpu);
    out << "gen_objdict.c with compact arrays:    " << compact << " ms (processor " << cpu
        << " ms, " << bytes / 1024 << " KiB); target <= " << plain * 3 / 2 << " ms (1.5 x)\n";

    db.clearAllCachedSubs();
    const qint64 uncached = generate(db, dir.path(), false, bytes, cpu);
    out << "gen_objdict.c without the sub-index cache: " << uncached << " ms (processor " << cpu
        << " ms)\n";
    out.flush();
    return plain < 2000 && compact * 2 <= plain * 3 ? 0 : 1;
}
