#include "nwtest.h"
#include "projectbuilder.h"
#include "testenv.h"

#include "database/objectdatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QThread>

namespace {

// Every table of a project file, each as its sorted rows; empty when the file is missing,
// only "<damaged>" when it does not open or fails its integrity check.
using Dump = QMap<QString, QStringList>;

QStringList rowsOf(QSqlDatabase &db, const QString &table)
{
    QStringList rows;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select * from \"%1\"").arg(table)))
        return {QStringLiteral("unreadable: ") + query.lastError().text()};
    while (query.next()) {
        QStringList values;
        for (int column = 0; column < query.record().count(); ++column) {
            const QVariant value = query.value(column);
            values << (value.isNull() ? QStringLiteral("<null>")
                       : value.type() == QVariant::ByteArray
                           ? QString::fromLatin1(value.toByteArray().toHex())
                           : value.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

Dump dump(const QString &path)
{
    static int counter = 0;
    const QString name = QStringLiteral("killdump%1").arg(++counter);
    Dump tables;
    if (!QFileInfo(path).isFile())
        return tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(path);
        QSqlQuery check(db);
        if (db.open() && check.exec(QStringLiteral("PRAGMA quick_check")) && check.next()
            && check.value(0).toString() == QLatin1String("ok")) {
            QStringList names;
            QSqlQuery list(db);
            list.exec(QStringLiteral("select name from sqlite_master where type = 'table'"));
            while (list.next())
                names << list.value(0).toString();
            for (const QString &table : qAsConst(names))
                tables.insert(table, rowsOf(db, table));
        } else {
            tables.insert(QStringLiteral("<damaged>"), {});
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return tables;
}

// Which of the named contents a file holds: "old", "new", or the tables that differ from
// the first of them.
QString whichContent(const Dump &file, const QMap<QString, Dump> &known)
{
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (file == it.value())
            return it.key();
    }
    if (file.isEmpty())
        return QStringLiteral("missing");
    QStringList differing;
    const Dump &first = known.first();
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        if (first.value(it.key()) != it.value())
            differing << it.key();
    }
    return QStringLiteral("other content (tables %1)").arg(differing.join(QLatin1String(", ")));
}

// A project of count VAR objects from 0x2000 whose values all are value.
bool writeProject(const QString &path, int count, int value)
{
    ObjectDataBase db;
    if (!db.createNewDataBase() || !db.beginTransaction())
        return false;
    nwtest::ProjectBuilder builder(db);
    QStringList specs;
    for (int i = 0; i < count; ++i)
        specs << QStringLiteral("0:%1:3 values=3,%2,%3")
                     .arg(0x2000 + i, 0, 16)
                     .arg(value)
                     .arg(value + i);
    builder.objects(specs);
    return db.commitTransaction() && db.saveDataBase(path);
}

QByteArray bigEds(int count)
{
    QByteArray text = "[FileInfo]\nFileName=big.eds\nEDSVersion=4.0\n\n"
                      "[DeviceInfo]\nVendorName=Test\nNrOfRXPDO=0\nNrOfTXPDO=0\n\n"
                      "[MandatoryObjects]\nSupportedObjects=1\n1=0x1000\n\n"
                      "[1000]\nParameterName=Device type\nObjectType=0x7\nDataType=0x0007\n"
                      "AccessType=ro\nDefaultValue=0x191\nPDOMapping=0\n\n";
    text += "[ManufacturerObjects]\nSupportedObjects=" + QByteArray::number(count) + "\n";
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(i + 1) + "=0x" + QByteArray::number(0x2000 + i, 16) + "\n";
    for (int i = 0; i < count; ++i) {
        text += "\n[" + QByteArray::number(0x2000 + i, 16) + "]\nParameterName=Value "
                + QByteArray::number(i) + "\nObjectType=0x7\nDataType=0x0007\nAccessType=rw\n"
                + "DefaultValue=" + QByteArray::number(i) + "\nPDOMapping=1\n";
    }
    return text;
}

struct Run
{
    bool killed = false;
    bool finishedWell = false;
    qint64 elapsedUs = 0;
};

} // namespace

// A saving process killed at any moment leaves the project and its ".bak" each either as
// they were or as the save makes them, never a damaged or missing file.
class TestKillDuringSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
        m_work = m_dir.filePath("work");
    }

    void saveKilledAtAnyMoment()
    {
        const QString source = m_dir.filePath("new.nwrp");
        const QString old = m_dir.filePath("old.nwrp");
        const QString oldBak = m_dir.filePath("older.nwrp");
        QVERIFY(writeProject(source, 2000, 7));
        QVERIFY(writeProject(old, 2000, 5));
        QVERIFY(writeProject(oldBak, 10, 1));
        const QMap<QString, QString> before{{QStringLiteral("p.nwrp"), old},
                                            {QStringLiteral("p.nwrp.bak"), oldBak}};
        const QString target = QDir(m_work).filePath("p.nwrp");
        const QString program = QStringLiteral(NW_SAVEPROBE_PATH);
        restore(before);
        const Run complete = run(program, {source, target}, "saving");
        QVERIFY(complete.finishedWell);
        const QMap<QString, Dump> backups{{QStringLiteral("older"), dump(oldBak)},
                                          {QStringLiteral("old"), dump(old)}};
        QCOMPARE(whichContent(dump(target + QLatin1String(".bak")), backups),
                 QStringLiteral("old"));
        // The backup is rotated only once the new project is in place.
        killAtMoments(program, {source, target}, "saving", complete.elapsedUs, 50, before,
                      {{QStringLiteral("old"), dump(old)}, {QStringLiteral("new"), dump(target)}},
                      backups, {"old older", "new older", "new old"});
    }

    // The whole run is one read, one unit of writes and one save; the moments cover it.
    void importKilledAtAnyMoment()
    {
        const QString eds = m_dir.filePath("big.eds");
        QVERIFY(nwWriteFile(eds, bigEds(1500)));
        const QString untouched = m_dir.filePath("untouched.nwrp");
        QVERIFY(writeProject(untouched, 5, 2));
        const QMap<QString, QString> before{{QStringLiteral("p.nwrp"), untouched}};
        const QString project = QDir(m_work).filePath("p.nwrp");
        const QStringList arguments{QStringLiteral("import"), QStringLiteral("--into"), project,
                                    eds};
        const QString cli = QStringLiteral(NW_CLI_PATH);
        restore(before);
        const Run complete = run(cli, arguments, QByteArray());
        QVERIFY(complete.finishedWell);
        const Dump imported = dump(project);
        QVERIFY(imported != dump(untouched));
        killAtMoments(
            cli, arguments, QByteArray(), complete.elapsedUs, 25, before,
            {{QStringLiteral("untouched"), dump(untouched)},
             {QStringLiteral("imported"), imported}},
            {{QStringLiteral("none"), Dump()}, {QStringLiteral("untouched"), dump(untouched)}}, {});
    }

private:
    // Starts program; the clock starts when it printed marker (at its start without
    // one). With a delay it is killed that many microseconds later, else it runs to its end.
    Run run(const QString &program, const QStringList &arguments, const QByteArray &marker,
            qint64 delayUs = -1)
    {
        Run result;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The working copies of the killed programs stay in a folder of the test.
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath("data"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForStarted())
            return result;
        QByteArray out;
        while (!marker.isEmpty() && !out.contains(marker) && process.waitForReadyRead(30000))
            out += process.readAllStandardOutput();
        QElapsedTimer clock;
        clock.start();
        if (delayUs >= 0) {
            while (clock.nsecsElapsed() / 1000 < delayUs && process.state() == QProcess::Running)
                QThread::usleep(100);
            if (process.state() == QProcess::Running) {
                process.kill();
                result.killed = true;
            }
        }
        process.waitForFinished(60000);
        result.elapsedUs = clock.nsecsElapsed() / 1000;
        result.finishedWell = !result.killed && process.exitStatus() == QProcess::NormalExit
                              && process.exitCode() == 0;
        if (!result.finishedWell && !result.killed)
            qWarning() << process.readAllStandardError();
        return result;
    }

    // Empties the work folder, then copies each source to its name there.
    void restore(const QMap<QString, QString> &files)
    {
        QDir(m_work).removeRecursively();
        QDir(m_dir.filePath("data")).removeRecursively();
        QDir().mkpath(m_work);
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QFile::copy(it.value(), QDir(m_work).filePath(it.key()));
    }

    // Kills program at moments spread from its start to a little past the end of a complete
    // run, each time from the files of before; the last run is not killed, since on a busy
    // machine a run may take longer than the timed one. After each run the project must hold
    // one of contents and its backup one of backups ("none" is no backup), as one of the
    // allowed pairs "<project> <backup>" (any when none are given); every content must have
    // been seen.
    void killAtMoments(const QString &program, const QStringList &arguments,
                       const QByteArray &marker, qint64 completeUs, int moments,
                       const QMap<QString, QString> &before, const QMap<QString, Dump> &contents,
                       const QMap<QString, Dump> &backups, const QStringList &allowed)
    {
        const QString project = QDir(m_work).filePath("p.nwrp");
        QMap<QString, int> seen;
        for (int moment = 0; moment < moments; ++moment) {
            restore(before);
            const bool last = moment == moments - 1;
            const qint64 delay = last ? -1 : completeUs * 11 / 10 * moment / (moments - 2);
            const Run killed = run(program, arguments, marker, delay);
            QVERIFY(killed.killed || killed.finishedWell);
            QVERIFY(!last || killed.finishedWell);
            const QString found = whichContent(dump(project), contents);
            const QString backup = whichContent(dump(project + QLatin1String(".bak")), backups);
            const QString where = QStringLiteral("killed %1 us into the run").arg(delay);
            QVERIFY2(contents.contains(found), qPrintable(where + ": project " + found));
            QVERIFY2(backups.contains(backup), qPrintable(where + ": backup " + backup));
            QVERIFY2(allowed.isEmpty() || allowed.contains(found + QLatin1Char(' ') + backup),
                     qPrintable(where + ": " + found + " with backup " + backup));
            ++seen[found];
        }
        QStringList counts;
        for (auto it = contents.cbegin(); it != contents.cend(); ++it)
            counts << QStringLiteral("%1 %2").arg(it.key()).arg(seen.value(it.key()));
        QVERIFY2(seen.size() == contents.size(), qPrintable(counts.join(QLatin1String(", "))));
    }

    QTemporaryDir m_dir;
    QString m_work;
};

NW_TEST_MAIN(TestKillDuringSave)
#include "tst_killduringsave.moc"
