#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;
using DB = ObjectDataBase;

// Settings stores, change notification and the write lock.
class TestObjectDataBaseSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }

    void init()
    {
        m_db = new DB;
        // Registered under the name queued connections look up.
        QVERIFY(QMetaType::type("ObjectDataBase::ChangeSet") != QMetaType::UnknownType);
        QVERIFY(m_db->createNewDataBase() && m_db->addNode(2, {}) && m_db->addIndex(2, 0x2100, {})
                && m_db->addSubIndex(2, 0x2100, 0, {}) && m_db->addSubIndex(2, 0x2100, 1, {}));
        QVERIFY(m_db->setGeneralSettingsValue("co_node_id", "5"));
        QVERIFY(m_db->executeSql("insert into Groups values('front', '1 3')"));
    }
    void cleanup() { delete m_db; }

    // Each change as "kind line index.sub", the kinds as numbered in ObjectDataBase::ChangeSet.
    void changeKinds_data()
    {
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<Change>("change");
        using L = QStringList;
        QTest::addRow("addIndex") << L{"0 2 2200.0"}
                                  << Change([](DB &db) { return db.addIndex(2, 0x2200, {}); });
        QTest::addRow("addSubIndex")
            << L{"1 2 2100.3"}
            << Change([](DB &db) { return db.addSubIndex(2, 0x2100, 3, DB::SUBINDEX_DATA_T()); });
        QTest::addRow("setSubIndexCurrentValue")
            << L{"1 2 2100.1"}
            << Change([](DB &db) { return db.setSubIndexCurrentValue(2, 0x2100, 1, "9"); });
        QTest::addRow("setSubIndexValue sends nothing")
            << L{} << Change([](DB &db) { return db.setSubIndexValue(2, 0x2100, 1, "9"); });
        QTest::addRow("delIndex") << L{"2 2 2100.0"}
                                  << Change([](DB &db) { return db.delIndex(2, 0x2100); });
        QTest::addRow("delSubIndex of a missing entry sends nothing")
            << L{} << Change([](DB &db) { return db.delSubIndex(2, 0x2100, 5); });
        QTest::addRow("delSubIndex")
            << L{"3 2 2100.1"} << Change([](DB &db) { return db.delSubIndex(2, 0x2100, 1); });
        QTest::addRow("addNode") << L{"5 7 0.0"}
                                 << Change([](DB &db) { return db.addNode(7, {}); });
        QTest::addRow("delNode") << L{"6 2 0.0"} << Change([](DB &db) { return db.delNode(2); });
        QTest::addRow("copyIndex")
            << L{"2 2 2300.0", "0 2 2300.0", "1 2 2300.0", "1 2 2300.1"}
            << Change([](DB &db) { return db.copyIndex(2, 0x2100, 2, 0x2300); });
        QTest::addRow("general setting")
            << L{"8 0 0.0"}
            << Change([](DB &db) { return db.setGeneralSettingsValue("co_node_id", "6"); });
        QTest::addRow("general setting, same value")
            << L{} << Change([](DB &db) { return db.setGeneralSettingsValue("co_node_id", "5"); });
        QTest::addRow("description")
            << L{"9 0 0.0"}
            << Change([](DB &db) { return db.setDescriptionSettingsValue("VendorName", "v"); });
        QTest::addRow("energybus")
            << L{"10 0 0.0"}
            << Change([](DB &db) { return db.setEnergyBusSettingsValue("device_cnt", "1"); });
        QTest::addRow("miscellaneous setting")
            << L{"11 0 0.0"}
            << Change([](DB &db) { return db.setMiscSettingsValue("postgencmd", "make"); });
        QTest::addRow("j1939") << L{"12 0 0.0"} << Change([](DB &db) {
            return db.setJ1939SettingsValue("startaddress", "128");
        });
        QTest::addRow("group") << L{"7 0 0.0"}
                               << Change([](DB &db) { return db.addNodeToGroup("front", 5); });
        QTest::addRow("moveConnections") << L{"13 0 0.0"} << Change([](DB &db) {
            db.moveConnections(1, 4);
            return true;
        });
        QTest::addRow("createNewDataBase")
            << L{"5 0 0.0", "13 0 0.0", "11 0 0.0", "11 0 0.0", "11 0 0.0"}
            << Change([](DB &db) { return db.createNewDataBase(); });
        const QString path = m_dir.filePath("kinds.nwrp");
        QTest::addRow("openDataBase")
            << L{"8 0 0.0", "8 0 0.0", "13 0 0.0"} << Change([path](DB &db) {
                   DB other;
                   return other.createNewDataBase() && other.addNode(2, {})
                          && other.saveDataBase(path) && db.openDataBase(path, false);
               });
    }
    void changeKinds()
    {
        QFETCH(QStringList, expected);
        QFETCH(Change, change);
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(change(*m_db));
        QCOMPARE(changes(spy), expected);
    }

    // While the store is locked every write returns false, sends nothing and leaves every
    // table as it was; unlocked it writes again, and notifies even with updates blocked.
    void writeLockRefusesEveryWrite()
    {
        const quint8 tx = DB::DirectionTransmit;
        DB::PGN pgn;
        pgn.direction = tx;
        DB::SPN spn;
        spn.direction = tx;
        QVERIFY(m_db->addPGN(2, 0xFEF1, pgn) && m_db->addSPN(2, 0xFEF1, tx, 84, spn)
                && m_db->addCANID(2, 0x181, {}) && m_db->addDataElement(2, 0x181, 0, 1, {}));
        DB::SIGNAL_T signal;
        const quint32 sigid = m_db->addSignal(2, signal);
        QVERIFY(sigid != 0);
        const QList<Change> writes = {
            [](DB &db) { return db.addNode(5, {}); },
            [](DB &db) { return db.delNode(2); },
            [](DB &db) { return db.moveNode(2, 5); },
            [](DB &db) { return db.addIndex(2, 0x2200, {}); },
            [](DB &db) { return db.setIndexName(2, 0x2100, "x"); },
            [](DB &db) { return db.delIndex(2, 0x2100); },
            [](DB &db) { return db.copyIndex(2, 0x2100, 2, 0x2200); },
            [](DB &db) { return db.saveIndex(2, 0x2100); },
            [](DB &db) { return db.pasteSavedIndex(2, 0x2200); },
            [](DB &db) { return db.addSubIndex(2, 0x2100, 5, DB::SUBINDEX_DATA_T()); },
            [](DB &db) { return db.delSubIndex(2, 0x2100, 0); },
            [](DB &db) { return db.setSubIndexValue(2, 0x2100, 0, "1"); },
            [](DB &db) { return db.setSubIndexCurrentValue(2, 0x2100, 0, "1"); },
            [](DB &db) { return db.setSubIndexName(2, 0x2100, 0, "x"); },
            [](DB &db) { return db.setSubIndexParameterName(2, 0x2100, 0, "x"); },
            [](DB &db) { return db.copySubIndex(2, 0x2100, 0, 9); },
            [pgn](DB &db) { return db.addPGN(2, 0xFEF1, pgn); },
            [](DB &db) { return db.delPGN(2, 0xFEF1, DB::DirectionTransmit); },
            [](DB &db) { return db.addSPN(2, 0xFEF1, DB::DirectionTransmit, 70, DB::SPN()); },
            [](DB &db) { return db.delSPN(2, 0xFEF1, DB::DirectionTransmit, 84); },
            [](DB &db) { return db.addCANID(2, 0x182, DB::CANID()); },
            [](DB &db) { return db.delCANID(2, 0x181, 0); },
            [](DB &db) { return db.addDataElement(2, 0x181, 0, 2, DB::DataElement()); },
            [](DB &db) { return db.delDataElement(2, 0x181, 0, 1); },
            [signal](DB &db) mutable { return db.addSignal(2, signal) != 0; },
            [sigid](DB &db) { return db.delSignal(2, sigid); },
            [](DB &db) { return db.delAllSignals(2); },
            [](DB &db) {
                return db.copyPGNFromDatabase(&db, 2, 0, 0xFEF1, DB::DirectionTransmit,
                                              DB::DirectionReceive, 2);
            }};
        const QString before = dumpProject(*m_db, m_dir.filePath("unlocked.nwrp"));
        QVERIFY(before.contains("INSERT INTO SPNs2") && before.contains("INSERT INTO Signals"));
        m_db->setLockWriteAccess(true);
        QVERIFY(m_db->lockWriteAccess());
        QSignalSpy spy(m_db, &DB::updateNotify);
        for (int i = 0; i < writes.size(); ++i)
            QVERIFY2(!writes.at(i)(*m_db), qPrintable(QStringLiteral("write %1").arg(i)));
        QCOMPARE(spy.count(), 0);
        m_db->setLockWriteAccess(false);
        QCOMPARE(dumpProject(*m_db, m_dir.filePath("locked.nwrp")), before);

        QVERIFY(m_db->addIndex(2, 0x2200, {}));
        m_db->setBlockUpdates(true);
        QVERIFY(m_db->blockUpdates() && m_db->addIndex(2, 0x2201, {}));
        QCOMPARE(spy.count(), 2);
    }

    void storesAreSeparate()
    {
        QVERIFY(m_db->setGeneralSettingsValue("key", "general"));
        QVERIFY(m_db->setJ1939SettingsValue("key", "j1939"));
        QVERIFY(m_db->setMiscSettingsValue("key", "misc"));
        QVERIFY(m_db->setEnergyBusSettingsValue("key", "energybus"));
        QVERIFY(m_db->setDescriptionSettingsValue("key", "description"));
        QCOMPARE(
            QStringList({m_db->getGeneralSettingsValue("key"), m_db->getJ1939SettingsValue("key"),
                         m_db->getMiscSettingsValue("key"), m_db->getEnergyBusSettingsValue("key"),
                         m_db->getDescriptionSettingsValue("key")}),
            QStringList({"general", "j1939", "misc", "energybus", "description"}));
        QVERIFY(m_db->existJ1939SettingsValue("key") && m_db->existMiscSettingsValue("key")
                && m_db->existEnergyBusSettingsValue("key"));
        QVERIFY(!m_db->existJ1939SettingsValue("co_node_id"));
        QCOMPARE(m_db->getGeneralSettingsKeys(), QStringList({"co_node_id", "key"}));
        QVERIFY(m_db->setGeneralSettingsValue("key", "changed"));
        QCOMPARE(m_db->getGeneralSettingsValue("key"), QString("changed"));
    }

    void copyGeneralSettingsFromDatabase()
    {
        DB master;
        QVERIFY(master.createNewDataBase() && master.setGeneralSettingsValue("canfd_supported", "1")
                && master.setDescriptionSettingsValue("VendorName", "Master's"));
        QVERIFY(m_db->setDescriptionSettingsValue("ProductName", "gone"));
        QVERIFY(m_db->copyGeneralSettingsFromDatabase(&master));
        QCOMPARE(m_db->getGeneralSettingsKeys(), QStringList{"canfd_supported"});
        QCOMPARE(m_db->getDescriptionSettingsKeys(), QStringList{"VendorName"});
        QCOMPARE(m_db->getDescriptionSettingsValue("VendorName"), QString("Master's"));
        // The stores keep their layout: a key is still unique.
        QVERIFY(!m_db->executeSql("insert into GeneralSettings values('canfd_supported', '0')"));
        QVERIFY(!m_db->copyGeneralSettingsFromDatabase(nullptr));
    }

    void perLineSettingsCopies()
    {
        DB variant;
        QVERIFY(variant.createNewDataBase() && variant.setGeneralSettingsValue("co_node_id", "9")
                && variant.setDescriptionSettingsValue("ProductName", "Variant"));
        QVERIFY(m_db->copyGeneralSettingsToNode(&variant, 2));
        QCOMPARE(m_db->getGeneralSettingsValue("co_node_id"), QString("5"));
        QCOMPARE(sqlRows(*m_db, "select value from GeneralSettings2 where item = 'co_node_id'"),
                 QString("9"));

        DB target;
        QVERIFY(target.createNewDataBase() && target.setGeneralSettingsValue("co_node_id", "1"));
        QVERIFY(!target.copyGeneralSettingsFromNode(m_db, 3));
        QCOMPARE(target.getGeneralSettingsValue("co_node_id"), QString("1"));
        QVERIFY(target.copyGeneralSettingsFromNode(m_db, 2));
        QCOMPARE(target.getGeneralSettingsValue("co_node_id"), QString("9"));
        QCOMPARE(target.getDescriptionSettingsValue("ProductName"), QString("Variant"));
    }

private:
    QTemporaryDir m_dir;
    DB *m_db = nullptr;
};

NW_TEST_MAIN(TestObjectDataBaseSettings)
#include "tst_objectdatabase_settings.moc"
