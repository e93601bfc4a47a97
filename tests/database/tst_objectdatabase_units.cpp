#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;
using DB = ObjectDataBase;

// Units of writes: writes that take effect together or not at all.
class TestObjectDataBaseUnits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new DB;
        QVERIFY(m_db->createNewDataBase());
        fillTwoLines(*m_db, 2);
    }
    void cleanup() { delete m_db; }

    void rollbackRestoresEveryTable_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addRow("adds") << Change([](DB &db) {
            DB::INDEX_DATA_T object;
            object.name = QStringLiteral("A name no other row has");
            DB::SUBINDEX_DATA_T sub;
            sub.denotation = QStringLiteral("Another new text");
            DB::PGN pgn;
            pgn.direction = DB::DirectionReceive;
            return db.addNode(2, {}) && db.addIndex(2, 0x3000, object)
                   && db.addSubIndex(2, 0x3000, 0, sub) && db.addSubIndex(0, 0x2000, 7, sub)
                   && db.addPGN(1, 0xFEF2, pgn)
                   && db.setGeneralSettingsValue(QStringLiteral("new_key"), QStringLiteral("1"));
        });
        QTest::addRow("deletes") << Change([](DB &db) {
            return db.delSubIndex(0, 0x2001, 2) && db.delIndex(0, 0x2000) && db.delNode(1)
                   && db.delGroup(QStringLiteral("front"));
        });
        QTest::addRow("updates and copies") << Change([](DB &db) {
            return db.setSubIndexValue(0, 0x2000, 1, QStringLiteral("0x77"))
                   && db.setIndexName(0, 0x2001, QStringLiteral("Renamed"))
                   && db.copyIndex(0, 0x2000, 0, 0x2100) && db.moveNode(1, 3)
                   && db.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("6"));
        });
    }
    // Whatever a unit wrote, its rollback leaves every table as it was before the unit.
    void rollbackRestoresEveryTable()
    {
        QFETCH(Change, change);
        const QString before = dump(QStringLiteral("before"));
        QVERIFY2(before.contains(QLatin1String("INSERT INTO SubObjects1")), qPrintable(before));
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(m_db->beginTransaction());
        QVERIFY(m_db->inTransaction());
        QVERIFY(change(*m_db));
        QVERIFY(m_db->rollbackTransaction());
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(dump(QStringLiteral("after")), before);
    }

    void commitKeepsWritesAndNotifiesAfterwards()
    {
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(m_db->beginTransaction() && m_db->addIndex(0, 0x2200, {})
                && m_db->addSubIndex(0, 0x2200, 0, {}) && m_db->existSubIndex(0, 0x2200, 0));
        QCOMPARE(spy.count(), 0);
        QVERIFY(m_db->commitTransaction());
        QCOMPARE(changes(spy), QStringList({"0 0 2200.0", "1 0 2200.0"}));
        QVERIFY(m_db->existSubIndex(0, 0x2200, 0));
        QVERIFY(dump("committed").contains("INSERT INTO SubObjects0 VALUES(8704,0,"));
    }

    void nestedUnits_data()
    {
        QTest::addColumn<bool>("innerCommits");
        QTest::addColumn<bool>("outerCommits");
        QTest::addColumn<bool>("kept");
        QTest::addRow("both commit") << true << true << true;
        QTest::addRow("inner rolls back") << false << true << false;
        QTest::addRow("outer rolls back") << true << false << false;
    }
    // An inner unit joins the outer one: only the outermost end decides, and an inner
    // rollback makes the outer commit fail.
    void nestedUnits()
    {
        QFETCH(bool, innerCommits);
        QFETCH(bool, outerCommits);
        QFETCH(bool, kept);
        QVERIFY(m_db->beginTransaction() && m_db->addIndex(0, 0x2300, {})
                && m_db->beginTransaction() && m_db->addIndex(0, 0x2301, {}));
        QCOMPARE(innerCommits ? m_db->commitTransaction() : m_db->rollbackTransaction(), true);
        QVERIFY(m_db->inTransaction());
        QCOMPARE(outerCommits ? m_db->commitTransaction() : m_db->rollbackTransaction(),
                 outerCommits ? kept : true);
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(m_db->existIndex(0, 0x2300), kept);
        QCOMPARE(m_db->existIndex(0, 0x2301), kept);
    }

    // A write that fails inside the unit (here: to a line that has no tables) makes the
    // commit fail and undoes the writes before it.
    void failedWriteDoomsTheUnit()
    {
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(m_db->beginTransaction() && m_db->addIndex(0, 0x2400, {}));
        QVERIFY(!m_db->addSubIndex(9, 0x2400, 0, {}));
        QVERIFY(!m_db->commitTransaction());
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(spy.count(), 0);
        QVERIFY(!m_db->existIndex(0, 0x2400));
        // The store goes on working after the failed unit.
        QVERIFY(m_db->addIndex(0, 0x2400, {}) && m_db->existIndex(0, 0x2400));
    }

    // Texts interned and entries cached inside a rolled-back unit are not claimed afterwards.
    void cachesForgetRolledBackRows()
    {
        m_db->cacheAllSubs(0);
        QVERIFY(m_db->beginTransaction());
        const int id = m_db->getStringId(QStringLiteral("Only inside the unit"));
        QVERIFY(id > 0);
        DB::SUBINDEX_DATA_T data;
        data.name = QStringLiteral("Only inside the unit");
        QVERIFY(m_db->addSubIndex(0, 0x2000, 9, data));
        QVERIFY(m_db->rollbackTransaction());

        DB::SUBINDEX_DATA_T read;
        QVERIFY(!m_db->getSubIndexData(0, 0x2000, 9, read));
        QCOMPARE(m_db->getString(id), QString());
        DB::INDEX_DATA_T object;
        object.name = QStringLiteral("Only inside the unit");
        QVERIFY(m_db->addIndex(0, 0x2500, object));
        QCOMPARE(m_db->getIndexName(0, 0x2500), QString("Only inside the unit"));
        m_db->clearAllCachedSubs();
    }

    void unitNeedsAnOpenFileAndABegin()
    {
        QVERIFY(!m_db->commitTransaction() && !m_db->rollbackTransaction());
        DB unopened;
        QVERIFY(!unopened.beginTransaction() && !unopened.inTransaction());
        // Saving or replacing the project would cut an open unit in two.
        QVERIFY(m_db->beginTransaction());
        QVERIFY(!m_db->saveDataBase(m_dir.filePath(QStringLiteral("inside.nwrp"))));
        QVERIFY(!m_db->createNewDataBase());
        QVERIFY(m_db->commitTransaction());
        QVERIFY(m_db->saveDataBase(m_dir.filePath(QStringLiteral("inside.nwrp"))));
    }

    void failedStatementFailsTheOperation_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<Change>("change");
        // A trigger that refuses the statements it names.
        const auto refuse = [](const QString &statements) {
            return "create trigger refuse before " + statements
                   + " begin select raise(abort, 'refused'); end";
        };
        QTest::addRow("addIndex, metadata refused")
            << refuse("update of metadata on Objects0")
            << Change([](DB &db) { return db.addIndex(0, 0x2100, {}); });
        QTest::addRow("addSubIndex, new text refused")
            << refuse("insert on Strings") << Change([](DB &db) {
                   DB::SUBINDEX_DATA_T data;
                   data.name = QStringLiteral("A text not yet interned");
                   return db.addSubIndex(0, 0x2000, 5, data);
               });
        QTest::addRow("addSubIndices, third entry refused")
            << refuse("insert on SubObjects0 when new.subindex = 7") << Change([](DB &db) {
                   QMap<quint8, DB::SUBINDEX_DATA_T> subs;
                   for (quint8 sub : {5, 6, 7, 8})
                       subs[sub].name = QStringLiteral("Entry %1").arg(sub);
                   return db.addSubIndices(0, 0x2000, subs);
               });
        QTest::addRow("delIndex, connections refused")
            << refuse("delete on Connections")
            << Change([](DB &db) { return db.delIndex(0, 0x2000, false); });
        QTest::addRow("copyIndex, third entry refused")
            << refuse("insert on SubObjects1 when new.subindex = 2")
            << Change([](DB &db) { return db.copyIndex(0, 0x2000, 1, 0x2001); });
        QTest::addRow("setGeneralSettingsValue, file full")
            << "PRAGMA max_page_count = 1" << Change([](DB &db) {
                   return db.setGeneralSettingsValue("big", QString(200000, QLatin1Char('x')));
               });
        QTest::addRow("addPGN refused") << refuse("insert on PGNs1") << Change([](DB &db) {
            DB::PGN pgn;
            pgn.direction = DB::DirectionReceive;
            return db.addPGN(1, 0x100, pgn);
        });
        QTest::addRow("delSubIndex refused")
            << refuse("delete on SubObjects1")
            << Change([](DB &db) { return db.delSubIndex(1, 0x2001, 1, false); });
    }
    // An operation whose statement fails returns false, sends nothing and leaves no part of
    // its writes behind.
    void failedStatementFailsTheOperation()
    {
        QFETCH(QString, obstacle);
        QFETCH(Change, change);
        QVERIFY(m_db->executeSql(obstacle));
        const QString before = dump(QStringLiteral("failing_before"));
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(!change(*m_db));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(dump(QStringLiteral("failing_after")), before);
    }

    void failedCommitReachesTheCaller_data()
    {
        QTest::addColumn<bool>("explicitUnit");
        QTest::addRow("single operation") << false;
        QTest::addRow("unit of the caller") << true;
    }
    // The working file cannot grow (as on a full disk): the commit fails, the caller hears of
    // it, nothing of the writes remains and the store goes on working.
    void failedCommitReachesTheCaller()
    {
        QFETCH(bool, explicitUnit);
        DB::INDEX_DATA_T object;
        object.name = QString(300000, QLatin1Char('n'));
        QSignalSpy spy(m_db, &DB::updateNotify);
        bool result = false;
        {
            const FileSizeLimit limit(QFileInfo(m_db->workingFileName()).size());
            if (explicitUnit) {
                const bool begun = m_db->beginTransaction();
                const bool added = m_db->addIndex(0, 0x2600, object);
                result = m_db->commitTransaction();
                result = result || !begun || !added;
            } else {
                result = m_db->addIndex(0, 0x2600, object);
            }
        }
        QVERIFY(!result);
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(spy.count(), 0);
        QVERIFY(!m_db->existIndex(0, 0x2600));
        QVERIFY(m_db->addIndex(0, 0x2600, object));
        // The working file is sound: saving checks it.
        QVERIFY2(m_db->saveDataBase(m_dir.filePath(QStringLiteral("after_full.nwrp"))),
                 qPrintable(m_db->errorString()));
    }

private:
    // Every table of the project as the sqlite3 tool dumps it, from a saved copy.
    QString dump(const QString &name)
    {
        return dumpProject(*m_db, m_dir.filePath(name + QLatin1String(".nwrp")));
    }

    QTemporaryDir m_dir;
    DB *m_db = nullptr;
};

NW_TEST_MAIN(TestObjectDataBaseUnits)
#include "tst_objectdatabase_units.moc"
