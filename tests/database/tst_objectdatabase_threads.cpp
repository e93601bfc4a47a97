#include "dbtestutil.h"
#include "nwtest.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QThread>

#include <mutex>

using namespace dbtest;
using DB = ObjectDataBase;

namespace {

std::mutex warningsMutex;
QStringList warnings;

void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    const std::lock_guard<std::mutex> locker(warningsMutex);
    warnings.append(text);
}

QString expectedName(quint16 index, quint8 sub)
{
    return QStringLiteral("Entry %1 of %2, it's %3%").arg(sub).arg(index, 0, 16).arg(index ^ sub);
}

} // namespace

// A generator thread reads the project while the GUI thread keeps reading and processing
// events: every read is consistent, notifications arrive on the GUI thread, and Qt warns
// about nothing (no connection used from a thread it does not belong to).
class TestObjectDataBaseThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initApplication();
        qInstallMessageHandler(recordWarnings);
    }

    void workerAndGuiReadTogether()
    {
        DB db;
        QVERIFY(db.createNewDataBase());
        fill(db);
        QCOMPARE(readAll(db, false), 0);

        QAtomicInt workerFaults;
        QAtomicInt notificationsSent;
        int received = 0;
        bool allOnGuiThread = true;
        connect(&db, &DB::updateNotify, this, [&](const DB::ChangeSet &change) {
            allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
            if (change.kind == DB::ChangeSet::SubIndexChanged)
                ++received;
        });

        db.setLockWriteAccess(true);
        QScopedPointer<QThread> worker(QThread::create([&]() {
            for (int round = 0; round < 6; ++round) {
                workerFaults.fetchAndAddRelaxed(readAll(db, round % 2 == 0));
                db.setLockWriteAccess(false);
                if (db.setSubIndexCurrentValue(0, 0x2000, 1, QString::number(round)))
                    notificationsSent.fetchAndAddRelaxed(1);
                db.setLockWriteAccess(true);
            }
        }));
        worker->start();
        int guiFaults = 0;
        int guiRounds = 0;
        while (!worker->isFinished()) {
            guiFaults += readAll(db, false);
            ++guiRounds;
            QCoreApplication::processEvents();
        }
        worker->wait();
        db.setLockWriteAccess(false);
        QTRY_COMPARE(received, notificationsSent.loadRelaxed());

        QCOMPARE(workerFaults.loadRelaxed(), 0);
        QCOMPARE(guiFaults, 0);
        QVERIFY(guiRounds > 0);
        QCOMPARE(notificationsSent.loadRelaxed(), 6);
        QVERIFY(allOnGuiThread);
        QCOMPARE(db.getSubIndexCurrentValue(0, 0x2000, 1), QString("5"));
        const std::lock_guard<std::mutex> locker(warningsMutex);
        QCOMPARE(warnings, QStringList());
    }

private:
    static void fill(DB &db)
    {
        for (quint16 index = 0x2000; index < 0x2000 + 150; ++index) {
            DB::INDEX_DATA_T object;
            object.name = QStringLiteral("Object %1").arg(index, 0, 16);
            db.addIndex(0, index, object);
            for (quint8 sub = 0; sub < 8; ++sub) {
                DB::SUBINDEX_DATA_T data;
                data.name = expectedName(index, sub);
                data.defaultvalue = QString::number(index * 8 + sub);
                db.addSubIndex(0, index, sub, data);
            }
        }
    }

    // Number of inconsistent reads.
    static int readAll(DB &db, bool useCache)
    {
        int faults = 0;
        if (useCache)
            db.cacheAllSubs(0);
        for (quint16 index : db.getIndices(0, 0x2000, 0x2FFF)) {
            DB::INDEX_DATA_T object;
            if (!db.getIndexData(0, index, object)
                || object.name != QStringLiteral("Object %1").arg(index, 0, 16))
                ++faults;
            for (quint8 sub : db.getSubIndices(0, index)) {
                DB::SUBINDEX_DATA_T data;
                if (!db.getSubIndexData(0, index, sub, data)
                    || data.name != expectedName(index, sub)
                    || data.defaultvalue != QString::number(index * 8 + sub))
                    ++faults;
                if (db.getSubIndexName(0, index, sub, true) != expectedName(index, sub))
                    ++faults;
            }
        }
        if (useCache)
            db.clearCachedSubs(0);
        return faults;
    }
};

NW_TEST_MAIN(TestObjectDataBaseThreads)
#include "tst_objectdatabase_threads.moc"
