// Model check of a large project: 3 CANopen lines x 2000 objects x 16 sub-indices, each
// line with its communication objects and 16 mapped TPDOs, built through the public
// interface, saved and reopened. Times the whole check as the generation run does it
// (caches filled, project-wide rules, then every line with the stack feature comparison).

#include "checker/projectcheck.h"
#include "database/objectdatabase.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace {

const int lineCount = 3;
const int objectsPerLine = 2000;
const int subsPerObject = 16;
const int tpdoCount = 16;

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

Sub entry(quint16 type, const QString &access, const QString &value, quint8 implementation)
{
    Sub sub;
    sub.name = QStringLiteral("Entry");
    sub.datatype = type;
    sub.accesstype = access;
    sub.defaultvalue = value;
    sub.implementation = implementation;
    return sub;
}

void addObject(ObjectDataBase &db, quint8 line, quint16 index, quint8 objectType,
               const QList<Sub> &subs)
{
    ObjectDataBase::INDEX_DATA_T object;
    object.name = QStringLiteral("Object 0x%1").arg(index, 4, 16, QLatin1Char('0'));
    object.objecttype = objectType;
    db.addIndex(line, index, object);
    for (int sub = 0; sub < subs.size(); ++sub)
        db.addSubIndex(line, index, quint8(sub), subs.at(sub));
}

QList<Sub> record(const QList<Sub> &entries)
{
    QList<Sub> subs{entry(5, QStringLiteral("const"), QString::number(entries.size()), 1)};
    return subs + entries;
}

void addApplicationObjects(ObjectDataBase &db, quint8 line)
{
    for (int i = 0; i < objectsPerLine; ++i) {
        const quint16 index = quint16(0x2000 + i);
        QList<Sub> entries;
        for (int sub = 1; sub < subsPerObject; ++sub) {
            Sub value = entry(7, QStringLiteral("ro"), QString::number(sub), 2);
            value.varname = QStringLiteral("v%1_%2").arg(index, 0, 16).arg(sub);
            value.pdomapping = 1;
            value.limitineds = true;
            value.uplimit = 1000;
            entries.append(value);
        }
        addObject(db, line, index, 9, record(entries));
    }
}

void addCommunicationObjects(ObjectDataBase &db, quint8 line)
{
    addObject(db, line, 0x1000, 7, {entry(7, QStringLiteral("ro"), QStringLiteral("0x191"), 1)});
    addObject(db, line, 0x1001, 7, {entry(5, QStringLiteral("ro"), QStringLiteral("0"), 0)});
    addObject(db, line, 0x1017, 7, {entry(6, QStringLiteral("rw"), QStringLiteral("1000"), 0)});
    addObject(db, line, 0x1018, 9,
              record({entry(7, QStringLiteral("ro"), QStringLiteral("0x319"), 1),
                      entry(7, QStringLiteral("ro"), QStringLiteral("1"), 1),
                      entry(7, QStringLiteral("ro"), QStringLiteral("1"), 1),
                      entry(7, QStringLiteral("ro"), QStringLiteral("0"), 0)}));
    for (int pdo = 0; pdo < tpdoCount; ++pdo) {
        const QString cobId = QStringLiteral("$NODEID+0x%1").arg(0x180 + pdo, 0, 16);
        addObject(db, line, quint16(0x1800 + pdo), 9,
                  record({entry(7, QStringLiteral("rw"), cobId, 0),
                          entry(5, QStringLiteral("rw"), QStringLiteral("254"), 0)}));
        const quint32 target = quint32(0x2000 + pdo) << 16;
        addObject(db, line, quint16(0x1A00 + pdo), 9,
                  record({entry(7, QStringLiteral("const"),
                                QStringLiteral("0x%1").arg(target | 0x0120, 8, 16), 1),
                          entry(7, QStringLiteral("const"),
                                QStringLiteral("0x%1").arg(target | 0x0220, 8, 16), 1)}));
    }
}

qint64 cpuMilliseconds(std::clock_t since)
{
    return qint64(std::clock() - since) * 1000 / CLOCKS_PER_SEC;
}

bool writeFeatureFile(const QString &folder)
{
    QFile file(folder + QStringLiteral("/co_featureinfo_bench.xml"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("<featureinfo><required_tool_version>3.4</required_tool_version>"
               "<sdo_server>1</sdo_server><pdo_producer>512</pdo_producer>"
               "<pdo_consumer>512</pdo_consumer><nmt_slave>1</nmt_slave></featureinfo>\n");
    return true;
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

    ObjectDataBase built;
    built.createNewDataBase();
    built.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("1,2,3"));
    built.setGeneralSettingsValue(QStringLiteral("receivebuffersize"), QStringLiteral("10,10,10"));
    built.setGeneralSettingsValue(QStringLiteral("transmitbuffersize"), QStringLiteral("10,10,10"));
    built.setGeneralSettingsValue(QStringLiteral("limit_check"), QStringLiteral("1"));
    for (quint8 line = 0; line < lineCount; ++line) {
        if (line > 0)
            built.addNode(line, ObjectDataBase::NODE_DATA_T());
        built.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QStringLiteral("1"));
        addCommunicationObjects(built, line);
        addApplicationObjects(built, line);
    }
    if (!built.saveDataBase(path) || !writeFeatureFile(dir.path())) {
        out << "could not write the benchmark project\n";
        return 1;
    }

    ObjectDataBase db;
    if (!db.openDataBase(path, false)) {
        out << "could not open the benchmark project\n";
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    for (quint8 line = 0; line < lineCount; ++line)
        db.cacheAllSubs(line);
    const qint64 cacheMs = timer.elapsed();
    const qint64 cacheCpuMs = cpuMilliseconds(cpuStart);
    ProjectCheck check;
    check.checker().setStackPath(dir.path());
    check.checker().setAutoCorrectionDisabled(true);
    int messages = 0;
    QObject::connect(&check, &ProjectCheck::message, [&messages](const QString &) { ++messages; });
    bool modified = false;
    const int errors = check.run(&db, modified);
    const qint64 totalMs = timer.elapsed();
    const qint64 totalCpuMs = cpuMilliseconds(cpuStart);
    db.clearAllCachedSubs();

    out << "project: " << lineCount << " lines x " << objectsPerLine << " objects x "
        << subsPerObject << " sub-indices\n";
    out << "sub-index cache: " << cacheMs << " ms (" << cacheCpuMs << " ms CPU)\n";
    out << "check: " << totalMs - cacheMs << " ms (" << totalCpuMs - cacheCpuMs << " ms CPU), "
        << errors << " errors, " << messages << " messages\n";
    out << "full check with cache: " << totalMs << " ms (" << totalCpuMs
        << " ms CPU; target < 2000 ms)\n";
    return errors == 0 ? 0 : 1;
}
