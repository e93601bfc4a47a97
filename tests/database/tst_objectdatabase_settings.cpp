#include "dbtestutil.h"
#include "nwtest.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace dbtest;
using DB = ObjectDataBase;
using CS = ObjectDataBase::ChangeSet;

// Settings stores, change notification and the write lock.
class TestObjectDataBaseSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void changeKinds_data();
    void changeKinds();
    void writeLockRefusesEveryWrite();
    void storesAreSeparate();
    void copyGeneralSettingsFromDatabase();
    void perLineSettingsCopies();

private:
    QTemporaryDir m_dir;
    DB *m_db = nullptr;
};

void TestObjectDataBaseSettings::initTestCase()
{
    initApplication();
    QVERIFY(m_dir.isValid());
}

void TestObjectDataBaseSettings::init()
{
    m_db = new DB;
    // Registered under the name queued connections look up.
    QVERIFY(QMetaType::type("ObjectDataBase::ChangeSet") != QMetaType::UnknownType);
    QVERIFY(m_db->createNewDataBase());
    QVERIFY(m_db->addNode(2, DB::NODE_DATA_T()));
    QVERIFY(m_db->addIndex(2, 0x2100, DB::INDEX_DATA_T()));
    QVERIFY(m_db->addSubIndex(2, 0x2100, 0, DB::SUBINDEX_DATA_T()));
    QVERIFY(m_db->addSubIndex(2, 0x2100, 1, DB::SUBINDEX_DATA_T()));
    QVERIFY(m_db->setGeneralSettingsValue("co_node_id", "5"));
    QVERIFY(m_db->executeSql("insert into Groups values('front', '1 3')"));
}

void TestObjectDataBaseSettings::cleanup()
{
    delete m_db;
    m_db = nullptr;
}

void TestObjectDataBaseSettings::changeKinds_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QList<quint32>>("kinds");
    QTest::addColumn<QList<int>>("lastMembers"); // line, index, subindex of the last change
    using K = QList<quint32>;
    using M = QList<int>;
    const DB::SUBINDEX_DATA_T sub;
    QTest::addRow("addIndex") << Change([](DB &db) {
        return db.addIndex(2, 0x2200, DB::INDEX_DATA_T());
    }) << K{CS::IndexChanged} << M{2, 0x2200, 0};
    QTest::addRow("addSubIndex") << Change([sub](DB &db) {
        return db.addSubIndex(2, 0x2100, 3, sub);
    }) << K{CS::SubIndexChanged} << M{2, 0x2100, 3};
    QTest::addRow("setSubIndexCurrentValue")
        << Change([](DB &db) { return db.setSubIndexCurrentValue(2, 0x2100, 1, "9"); })
        << K{CS::SubIndexChanged} << M{2, 0x2100, 1};
    QTest::addRow("setSubIndexValue sends nothing")
        << Change([](DB &db) { return db.setSubIndexValue(2, 0x2100, 1, "9"); }) << K{} << M{};
    QTest::addRow("delIndex") << Change([](DB &db) { return db.delIndex(2, 0x2100); })
                              << K{CS::IndexDeleted} << M{2, 0x2100, 0};
    QTest::addRow("delSubIndex") << Change([](DB &db) { return db.delSubIndex(2, 0x2100, 1); })
                                 << K{CS::SubIndexDeleted} << M{2, 0x2100, 1};
    QTest::addRow("addNode") << Change([](DB &db) { return db.addNode(7, DB::NODE_DATA_T()); })
                             << K{CS::NodeChanged} << M{7, 0, 0};
    QTest::addRow("delNode") << Change([](DB &db) { return db.delNode(2); }) << K{CS::NodeDeleted}
                             << M{2, 0, 0};
    QTest::addRow("copyIndex") << Change([](DB &db) {
        return db.copyIndex(2, 0x2100, 2, 0x2300);
    }) << K{CS::IndexDeleted, CS::IndexChanged, CS::SubIndexChanged, CS::SubIndexChanged}
                               << M{2, 0x2300, 1};
    QTest::addRow("general") << Change(
        [](DB &db) { return db.setGeneralSettingsValue("co_node_id", "6"); })
                             << K{CS::GeneralSettingsChanged} << M{0, 0, 0};
    QTest::addRow("general, same value")
        << Change([](DB &db) { return db.setGeneralSettingsValue("co_node_id", "5"); }) << K{}
        << M{};
    QTest::addRow("description") << Change(
        [](DB &db) { return db.setDescriptionSettingsValue("VendorName", "v"); })
                                 << K{CS::DescriptionSettingsChanged} << M{0, 0, 0};
    QTest::addRow("energybus") << Change(
        [](DB &db) { return db.setEnergyBusSettingsValue("device_cnt", "1"); })
                               << K{CS::EnergyBusSettingsChanged} << M{0, 0, 0};
    QTest::addRow("misc") << Change(
        [](DB &db) { return db.setMiscSettingsValue("postgencmd", "make"); })
                          << K{CS::MiscSettingsChanged} << M{0, 0, 0};
    QTest::addRow("j1939") << Change(
        [](DB &db) { return db.setJ1939SettingsValue("startaddress", "128"); })
                           << K{CS::J1939SettingsChanged} << M{0, 0, 0};
    QTest::addRow("group") << Change([](DB &db) { return db.addNodeToGroup("front", 5); })
                           << K{CS::GroupsChanged} << M{0, 0, 0};
    QTest::addRow("moveConnections") << Change([](DB &db) {
        db.moveConnections(1, 4);
        return true;
    }) << K{CS::ProjectReloaded} << M{0, 0, 0};
    QTest::addRow("createNewDataBase")
        << Change([](DB &db) { return db.createNewDataBase(); })
        << K{CS::NodeChanged, CS::ProjectReloaded, CS::MiscSettingsChanged, CS::MiscSettingsChanged,
             CS::MiscSettingsChanged}
        << M{0, 0, 0};
    const QString path = m_dir.filePath("kinds.nwrp");
    QTest::addRow("openDataBase") << Change([path](DB &db) {
        DB other;
        return other.createNewDataBase() && other.addNode(2, DB::NODE_DATA_T())
               && other.saveDataBase(path) && db.openDataBase(path, false);
    }) << K{CS::GeneralSettingsChanged, CS::GeneralSettingsChanged, CS::ProjectReloaded}
                                  << M{0, 0, 0};
}

void TestObjectDataBaseSettings::changeKinds()
{
    QFETCH(Change, change);
    QFETCH(QList<quint32>, kinds);
    QFETCH(QList<int>, lastMembers);
    QSignalSpy spy(m_db, &DB::updateNotify);
    QVERIFY(change(*m_db));
    QList<quint32> actual;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        actual << arguments.at(0).value<CS>().kind;
    QCOMPARE(actual, kinds);
    if (spy.isEmpty())
        return;
    const CS last = spy.last().at(0).value<CS>();
    QCOMPARE(QList<int>({last.line, last.index, last.subindex}), lastMembers);
    QCOMPARE(last.pgn + last.spn + last.canid + last.element + last.direction, 0u);
}

void TestObjectDataBaseSettings::writeLockRefusesEveryWrite()
{
    const QList<quint16> indicesBefore = m_db->getIndices(2);
    m_db->setLockWriteAccess(true);
    QVERIFY(m_db->lockWriteAccess());
    QSignalSpy spy(m_db, &DB::updateNotify);
    DB::SUBINDEX_DATA_T sub;
    QVERIFY(!m_db->addNode(5, DB::NODE_DATA_T()));
    QVERIFY(!m_db->delNode(2));
    QVERIFY(!m_db->moveNode(2, 5));
    QVERIFY(!m_db->addIndex(2, 0x2200, DB::INDEX_DATA_T()));
    QVERIFY(!m_db->setIndexName(2, 0x2100, "x"));
    QVERIFY(!m_db->delIndex(2, 0x2100));
    QVERIFY(!m_db->copyIndex(2, 0x2100, 2, 0x2200));
    QVERIFY(!m_db->saveIndex(2, 0x2100));
    QVERIFY(!m_db->pasteSavedIndex(2, 0x2200));
    QVERIFY(!m_db->addSubIndex(2, 0x2100, 5, sub));
    QVERIFY(!m_db->delSubIndex(2, 0x2100, 0));
    QVERIFY(!m_db->setSubIndexValue(2, 0x2100, 0, "1"));
    QVERIFY(!m_db->setSubIndexCurrentValue(2, 0x2100, 0, "1"));
    QVERIFY(!m_db->setSubIndexName(2, 0x2100, 0, "x"));
    QVERIFY(!m_db->setSubIndexParameterName(2, 0x2100, 0, "x"));
    QVERIFY(!m_db->copySubIndex(2, 0x2100, 0, 9));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m_db->getIndices(2), indicesBefore);
    QCOMPARE(m_db->getSubIndices(2, 0x2100), QList<quint8>({0, 1}));
    QVERIFY(m_db->getSubIndexValue(2, 0x2100, 0).isEmpty());

    m_db->setLockWriteAccess(false);
    QVERIFY(m_db->addIndex(2, 0x2200, DB::INDEX_DATA_T()));
    m_db->setBlockUpdates(true);
    QVERIFY(m_db->blockUpdates());
    QVERIFY(m_db->addIndex(2, 0x2201, DB::INDEX_DATA_T()));
    QCOMPARE(spy.count(), 2);
}

void TestObjectDataBaseSettings::storesAreSeparate()
{
    QVERIFY(m_db->setGeneralSettingsValue("key", "general"));
    QVERIFY(m_db->setJ1939SettingsValue("key", "j1939"));
    QVERIFY(m_db->setMiscSettingsValue("key", "misc"));
    QVERIFY(m_db->setEnergyBusSettingsValue("key", "energybus"));
    QVERIFY(m_db->setDescriptionSettingsValue("key", "description"));
    QCOMPARE(m_db->getGeneralSettingsValue("key"), QString("general"));
    QCOMPARE(m_db->getJ1939SettingsValue("key"), QString("j1939"));
    QCOMPARE(m_db->getMiscSettingsValue("key"), QString("misc"));
    QCOMPARE(m_db->getEnergyBusSettingsValue("key"), QString("energybus"));
    QCOMPARE(m_db->getDescriptionSettingsValue("key"), QString("description"));
    QVERIFY(m_db->existJ1939SettingsValue("key") && m_db->existMiscSettingsValue("key")
            && m_db->existEnergyBusSettingsValue("key"));
    QVERIFY(!m_db->existJ1939SettingsValue("co_node_id"));
    QCOMPARE(m_db->getGeneralSettingsKeys(), QStringList({"co_node_id", "key"}));
    QVERIFY(m_db->setGeneralSettingsValue("key", "changed"));
    QCOMPARE(m_db->getGeneralSettingsValue("key"), QString("changed"));
}

void TestObjectDataBaseSettings::copyGeneralSettingsFromDatabase()
{
    DB master;
    QVERIFY(master.createNewDataBase());
    QVERIFY(master.setGeneralSettingsValue("canfd_supported", "1"));
    QVERIFY(master.setDescriptionSettingsValue("VendorName", "Master's"));
    QVERIFY(m_db->setDescriptionSettingsValue("ProductName", "gone"));
    QVERIFY(m_db->copyGeneralSettingsFromDatabase(&master));
    QCOMPARE(m_db->getGeneralSettingsKeys(), QStringList{"canfd_supported"});
    QCOMPARE(m_db->getDescriptionSettingsKeys(), QStringList{"VendorName"});
    QCOMPARE(m_db->getDescriptionSettingsValue("VendorName"), QString("Master's"));
    // The stores keep their layout: a key is still unique.
    QVERIFY(!m_db->executeSql("insert into GeneralSettings values('canfd_supported', '0')"));
    QVERIFY(!m_db->copyGeneralSettingsFromDatabase(nullptr));
}

void TestObjectDataBaseSettings::perLineSettingsCopies()
{
    DB variant;
    QVERIFY(variant.createNewDataBase());
    QVERIFY(variant.setGeneralSettingsValue("co_node_id", "9"));
    QVERIFY(variant.setDescriptionSettingsValue("ProductName", "Variant"));
    QVERIFY(m_db->copyGeneralSettingsToNode(&variant, 2));
    QCOMPARE(m_db->getGeneralSettingsValue("co_node_id"), QString("5"));
    QVERIFY(m_db->executeSql("select value from GeneralSettings2 where item = 'co_node_id'"));
    QCOMPARE(m_db->sqlResult(), QStringList{"9"});

    DB target;
    QVERIFY(target.createNewDataBase());
    QVERIFY(target.setGeneralSettingsValue("co_node_id", "1"));
    QVERIFY(!target.copyGeneralSettingsFromNode(m_db, 3));
    QCOMPARE(target.getGeneralSettingsValue("co_node_id"), QString("1"));
    QVERIFY(target.copyGeneralSettingsFromNode(m_db, 2));
    QCOMPARE(target.getGeneralSettingsValue("co_node_id"), QString("9"));
    QCOMPARE(target.getDescriptionSettingsValue("ProductName"), QString("Variant"));
}

NW_TEST_MAIN(TestObjectDataBaseSettings)
#include "tst_objectdatabase_settings.moc"
