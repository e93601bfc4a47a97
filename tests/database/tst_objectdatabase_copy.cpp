#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;
using DB = ObjectDataBase;
// A change to an object and one of its entries before they are stored again.
using Edit = std::function<void(DB &, DB::INDEX_DATA_T &, DB::SUBINDEX_DATA_T &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

DB::SUBINDEX_DATA_T sub(const QString &name, const QString &value)
{
    DB::SUBINDEX_DATA_T data;
    data.name = name;
    data.defaultvalue = value;
    data.description = name + QLatin1String(" description");
    return data;
}

void addObject(DB &db, quint8 line, quint16 index, const QString &name, const QList<quint8> &subs)
{
    DB::INDEX_DATA_T object;
    object.name = name;
    object.description = name + QLatin1String(" text");
    object.objecttype = 9;
    QVERIFY(db.addIndex(line, index, object));
    for (quint8 s : subs)
        QVERIFY(db.addSubIndex(line, index, s,
                               sub(QStringLiteral("%1.%2").arg(name).arg(s), QString::number(s))));
}

} // namespace

// Copies inside a project and between projects, renumbering of
// lines, comparison of objects and of the working file with the saved project.
class TestObjectDataBaseCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new DB;
        m_other = new DB;
        QVERIFY(m_db->createNewDataBase() && m_other->createNewDataBase());
    }
    void cleanup()
    {
        delete m_db;
        delete m_other;
    }

    // Copying onto itself changes nothing; onto another object replaces it entirely.
    void copyIndex()
    {
        QVERIFY(m_db->addNode(1, {}));
        addObject(*m_db, 0, 0x2000, "A", {0, 1, 2});
        addObject(*m_db, 1, 0x2100, "B", {0, 7});
        QSignalSpy spy(m_db, &DB::updateNotify);
        QVERIFY(m_db->copyIndex(0, 0x2000, 0, 0x2000));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!m_db->copyIndex(0, 0x2FFF, 0, 0x2000));
        QCOMPARE(m_db->getSubIndices(0, 0x2000), QList<quint8>({0, 1, 2}));

        QVERIFY(m_db->copyIndex(0, 0x2000, 1, 0x2100));
        QVERIFY(m_db->objectEqual(m_db, 0, 1, 0x2000, 0x2100));
        QCOMPARE(m_db->getSubIndices(1, 0x2100), QList<quint8>({0, 1, 2}));
        QVERIFY(m_db->existIndex(0, 0x2000));
    }

    void copyIndexFromDatabase_data()
    {
        QTest::addColumn<bool>("withSubs");
        QTest::addColumn<QList<quint8>>("subsAfter");
        QTest::addRow("with sub-indices") << true << QList<quint8>{0, 1};
        QTest::addRow("object only") << false << QList<quint8>{};
    }
    void copyIndexFromDatabase()
    {
        QFETCH(bool, withSubs);
        QFETCH(QList<quint8>, subsAfter);
        addObject(*m_other, 0, 0x2000, "Source", {0, 1});
        addObject(*m_db, 0, 0x2000, "Untouched", {0, 4});
        addObject(*m_db, 0, 0x2100, "Replaced", {0, 5});
        QVERIFY(m_db->executeSql("insert into Connections values(0, 8448, 5, 1, 8704, 1, 0)"));
        QVERIFY(m_db->copyIndexFromDatabase(m_other, 0, 0x2000, 0, 0x2100, withSubs));
        QCOMPARE(m_db->getIndexName(0, 0x2100), QString("Source"));
        QCOMPARE(m_db->getSubIndices(0, 0x2100), subsAfter);
        if (withSubs)
            QVERIFY(m_db->objectEqual(m_other, 0, 0, 0x2100, 0x2000));
        QCOMPARE(m_db->getIndexName(0, 0x2000), QString("Untouched"));
        QCOMPARE(m_db->getSubIndices(0, 0x2000), QList<quint8>({0, 4}));
        QCOMPARE(sqlRows(*m_db, "select count(*) from Connections"), QString("0"));
        QVERIFY(!m_db->copyIndexFromDatabase(m_other, 0, 0x2FFF, 0, 0x2100, withSubs));
        QVERIFY(!m_db->copyIndexFromDatabase(nullptr, 0, 0x2000, 0, 0x2100, withSubs));
    }

    void copyKeepsUserChangedValues()
    {
        addObject(*m_other, 0, 0x6000, "Template", {0, 1, 2});
        DB::INDEX_DATA_T object;
        object.name = "Old name";
        object.description = "Users's own text";
        QVERIFY(m_db->addIndex(0, 0x6000, object));
        DB::SUBINDEX_DATA_T changed = sub("Mine", "42");
        changed.changedbyuser = true;
        QVERIFY(m_db->addSubIndex(0, 0x6000, 1, changed));
        QVERIFY(m_db->addSubIndex(0, 0x6000, 2, sub("Not mine", "43")));
        QVERIFY(m_db->addSubIndex(0, 0x6000, 3, sub("Gone", "44")));

        QVERIFY(
            m_db->copyIndexFromDatabaseWithoutDefaultandDescription(m_other, 0, 0x6000, 0, 0x6000));
        QCOMPARE(m_db->getSubIndices(0, 0x6000), QList<quint8>({0, 1, 2}));
        QCOMPARE(
            QStringList({objectLine(*m_db, 0, 0x6000), entryLine(*m_db, 0, 0x6000, 1),
                         entryLine(*m_db, 0, 0x6000, 2)}),
            QStringList({"Template|9|Users's own text", "Template.1|5|ro|42|0|Mine description",
                         "Template.2|5|ro|2|0|Template.2 description"}));
    }

    void copySubIndexFromDatabase()
    {
        addObject(*m_other, 0, 0x2000, "Source", {3});
        QVERIFY(m_db->copySubIndexFromDatabase(m_other, 0, 0x2000, 3, 0, 0x2100, 4));
        QCOMPARE(entryLine(*m_db, 0, 0x2100, 4), QString("Source.3|5|ro|3|0|Source.3 description"));
        QVERIFY(!m_db->copySubIndexFromDatabase(m_other, 0, 0x2000, 9, 0, 0x2100, 5));
        QVERIFY(!m_db->copySubIndexFromDatabase(m_other, 0, 0x2001, 3, 0, 0x2100, 5));
        QVERIFY(!m_db->copySubIndexFromDatabase(nullptr, 0, 0x2000, 3, 0, 0x2100, 5));
    }

    void copyLineFromDatabase()
    {
        QVERIFY(m_other->addNode(3, {}));
        addObject(*m_other, 3, 0x0800, "Below", {0});
        addObject(*m_other, 3, 0x1000, "First", {0});
        addObject(*m_other, 3, 0x2000, "Second", {0, 1, 2});
        addObject(*m_other, 3, 0x6000, "Beyond", {0});
        QVERIFY(m_db->addNode(1, {}));
        addObject(*m_db, 1, 0x2000, "Replaced", {0, 9});
        QVERIFY(m_db->copyLineFromDatabase(m_other, 3, 1, 0x1000, 0x5FFF));
        QCOMPARE(m_db->getIndices(1), QList<quint16>({0x1000, 0x2000}));
        QVERIFY(m_db->objectEqual(m_other, 1, 3, 0x2000, 0x2000)
                && m_db->objectEqual(m_other, 1, 3, 0x1000, 0x1000));
        // The source's cache is left empty.
        QVERIFY(m_other->setSubIndexValue(3, 0x2000, 1, "changed"));
        DB::SUBINDEX_DATA_T entry;
        QVERIFY(m_other->getSubIndexData(3, 0x2000, 1, entry));
        QCOMPARE(entry.defaultvalue, QString("changed"));
    }

    void moveNode_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addRow("every step succeeds") << "";
        // The new line's object table cannot take rows: the copy fails.
        QTest::addRow("objects cannot be copied") << "create view Objects5 as select 1";
        const QString refuse = "create trigger refuse before update on %1 begin "
                               "select raise(abort, 'refused'); end";
        QTest::addRow("connections cannot be moved") << refuse.arg("Connections");
        // The last step comes after the old line was dropped.
        QTest::addRow("signals cannot be moved") << refuse.arg("Signals");
    }
    // A line moves with everything that names it; a step that fails leaves the project as it
    // was, the old line included.
    void moveNode()
    {
        QFETCH(QString, obstacle);
        DB::NODE_DATA_T node;
        node.name = "Moving";
        QVERIFY(m_db->addNode(2, node));
        addObject(*m_db, 2, 0x0100, "Low", {0});
        addObject(*m_db, 2, 0x1018, "Identity", {0, 1});
        addObject(*m_db, 2, 0x2000, "App", {0, 1, 2});
        QVERIFY(m_db->executeSql("insert into Groups values('g', '1 2 3')"));
        QVERIFY(m_db->executeSql("insert into Connections values(2, 6656, 1, 1, 5632, 1, 0), "
                                 "(1, 5632, 1, 2, 6656, 1, 0)"));
        QVERIFY(m_db->executeSql("insert into Signals values(1, 2, 0, 7, 'ro', '', 0, 0, 1, 0, 0, "
                                 "0, 0, 0)"));
        QVERIFY(m_other->setGeneralSettingsValue("co_node_id", "12"));
        QVERIFY(m_db->copyGeneralSettingsToNode(m_other, 2));
        QVERIFY(!m_db->moveNode(9, 10));
        if (!obstacle.isEmpty()) {
            QVERIFY(m_db->executeSql(obstacle));
            const QString before = dumpProject(*m_db, m_dir.filePath("move_before.nwrp"));
            QVERIFY(before.contains("INSERT INTO SubObjects2"));
            QSignalSpy spy(m_db, &DB::updateNotify);
            QVERIFY(!m_db->moveNode(2, 5));
            QCOMPARE(spy.count(), 0);
            QCOMPARE(dumpProject(*m_db, m_dir.filePath("move_after.nwrp")), before);
            return;
        }
        QString name;
        QVERIFY(m_db->moveNode(2, 5) && !m_db->existNode(2) && m_db->getNodeName(5, name));
        QCOMPARE(name, QString("Moving"));
        QCOMPARE(m_db->getIndices(5), QList<quint16>({0x1018, 0x2000}));
        QCOMPARE(m_db->getSubIndices(5, 0x2000), QList<quint8>({0, 1, 2}));
        QCOMPARE(m_db->findGroup(5), QString("g"));
        QCOMPARE(sqlRows(*m_db,
                         "select nodeidlist from Groups union all select prodnode || ' ' || "
                         "connode from Connections union all select nodeid from Signals union "
                         "all select value from GeneralSettings5 where item = 'co_node_id'"),
                 QString("1 3 5\n5 1\n1 5\n5\n12"));
    }

    void largeUpgradedLineKeepsEverySubIndex_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addRow("moveNode") << "moveNode";
        QTest::addRow("copyIndex after many statements") << "copyIndex";
        QTest::addRow("copyIndexFromDatabase") << "copyIndexFromDatabase";
        QTest::addRow("copyLineFromDatabase") << "copyLineFromDatabase";
        QTest::addRow("comparisons") << "comparisons";
    }
    // Entries whose texts are NULL or name missing Strings rows, so many that copying them
    // takes thousands of statements: copies, moves and comparisons see every one of them.
    void largeUpgradedLineKeepsEverySubIndex()
    {
        QFETCH(QString, operation);
        const int objects = 20;
        const QString path = m_dir.filePath(QStringLiteral("large_%1.nwrp").arg(operation));
        QCOMPARE(writeProject(path, "old_large_project.sql"), QString());
        DB db;
        QVERIFY(db.openDataBase(path, false));
        const QString all = QString::number(objects * 255);
        QCOMPARE(sqlRows(db, "select count(*) from SubObjects1"), all);

        if (operation == "moveNode") {
            QVERIFY(db.moveNode(1, 2) && !db.existNode(1));
            QCOMPARE(sqlRows(db, "select count(*) from SubObjects2"), all);
            QCOMPARE(db.getSubIndices(2, 0x2000 + objects - 1).size(), 255);
        } else if (operation == "copyIndex") {
            // Thousands of statements run before and during the copies.
            for (int i = 0; i < 4000; ++i)
                QVERIFY(db.setGeneralSettingsValue(QStringLiteral("key%1").arg(i), "1"));
            for (quint16 i = 0; i < objects; ++i) {
                QVERIFY(db.copyIndex(1, 0x2000 + i, 0, 0x3000 + i));
                QCOMPARE(db.getSubIndices(0, 0x3000 + i).size(), 255);
                QVERIFY(db.objectEqual(&db, 1, 0, 0x2000 + i, 0x3000 + i));
            }
        } else if (operation == "copyIndexFromDatabase") {
            for (quint16 i = 0; i < objects; ++i) {
                QVERIFY(m_other->copyIndexFromDatabase(&db, 1, 0x2000 + i, 0, 0x2000 + i, true));
                QCOMPARE(m_other->getSubIndices(0, 0x2000 + i).size(), 255);
                QVERIFY(m_other->objectEqual(&db, 0, 1, 0x2000 + i, 0x2000 + i));
            }
        } else if (operation == "copyLineFromDatabase") {
            QVERIFY(m_other->copyLineFromDatabase(&db, 1, 0, 0x1000, 0xFFFF));
            QCOMPARE(sqlRows(*m_other, "select count(*) from SubObjects0"), all);
        } else {
            const QString saved = m_dir.filePath(QStringLiteral("large_saved.nwrp"));
            QVERIFY(db.saveDataBase(saved));
            DB reopened;
            QVERIFY(reopened.openDataBase(saved, false));
            QVERIFY(reopened.objectEqual(&db, 1, 1, 0x2013, 0x2013));
            QVERIFY(!db.isDifferent());
            // A change in the last entry of the last object is seen.
            QVERIFY(db.setSubIndexCurrentValue(1, 0x2000 + objects - 1, 254, "changed"));
            QVERIFY(!reopened.objectEqual(&db, 1, 1, 0x2000 + objects - 1, 0x2000 + objects - 1));
            QVERIFY(db.isDifferent());
        }
    }

    void objectEquality_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("equalIgnoringDescription");
        using O = DB::INDEX_DATA_T;
        using E = DB::SUBINDEX_DATA_T;
        QTest::addRow("same") << Edit([](DB &, O &, E &) {}) << true << true;
        QTest::addRow("object description")
            << Edit([](DB &, O &o, E &) { o.description = "other"; }) << false << true;
        QTest::addRow("sub-index description")
            << Edit([](DB &, O &, E &e) { e.description = "other"; }) << false << true;
        QTest::addRow("current value")
            << Edit([](DB &, O &, E &e) { e.currentvalue = "5"; }) << false << true;
        QTest::addRow("denotation")
            << Edit([](DB &, O &, E &e) { e.denotation = "Alias"; }) << true << true;
        QTest::addRow("default value")
            << Edit([](DB &, O &, E &e) { e.defaultvalue = "5"; }) << false << false;
        QTest::addRow("object name")
            << Edit([](DB &, O &o, E &) { o.name = "B"; }) << false << false;
        QTest::addRow("extra sub-index")
            << Edit([](DB &db, O &, E &e) { QVERIFY(db.addSubIndex(0, 0x2400, 2, e)); }) << false
            << false;
    }
    void objectEquality()
    {
        QFETCH(Edit, edit);
        QFETCH(bool, equal);
        QFETCH(bool, equalIgnoringDescription);
        addObject(*m_db, 0, 0x2000, "A", {0, 1});
        addObject(*m_other, 0, 0x2400, "A", {0, 1});
        DB::INDEX_DATA_T object;
        DB::SUBINDEX_DATA_T entry;
        QVERIFY(m_other->getIndexData(0, 0x2400, object)
                && m_other->getSubIndexData(0, 0x2400, 1, entry));
        edit(*m_other, object, entry);
        QVERIFY(m_other->addIndex(0, 0x2400, object) && m_other->addSubIndex(0, 0x2400, 1, entry));
        QCOMPARE(m_db->objectEqual(m_other, 0, 0, 0x2000, 0x2400), equal);
        QCOMPARE(m_db->objectEqualIgnoreDescription(m_other, 0, 0, 0x2000, 0x2400),
                 equalIgnoringDescription);
        QCOMPARE(m_db->objectEqualIgnoreDefaultDescription(m_other, 0, 0, 0x2000, 0x2400),
                 equalIgnoringDescription);
    }

    void isDifferent()
    {
        QVERIFY(m_db->isDifferent());
        addObject(*m_db, 0, 0x2000, "A", {0, 1});
        const QString path = m_dir.filePath("different.nwrp");
        QVERIFY(m_db->saveDataBase(path));
        QVERIFY(!m_db->isDifferent());
        QVERIFY(m_db->setSubIndexValue(0, 0x2000, 1, "changed"));
        QVERIFY(m_db->isDifferent());
        QVERIFY(m_db->setSubIndexValue(0, 0x2000, 1, "1"));
        QVERIFY(!m_db->isDifferent());
        QVERIFY(m_db->saveDataBase(path) && m_db->addIndex(0, 0x2001, {}));
        QVERIFY(m_db->isDifferent());
    }

    void specialEBCopy()
    {
        DB &templ = *m_other;
        addObject(templ, 0, 0x1400, "RPDO kept", {0});
        addObject(templ, 0, 0x6000, "Profile", {0, 1});
        QVERIFY(templ.setEnergyBusSettingsValue("device_cnt", "2"));

        DB::INDEX_DATA_T pdo;
        pdo.device_class = "rpdo";
        QVERIFY(m_db->addIndex(0, 0x1400, pdo) && m_db->addIndex(0, 0x1401, pdo));
        pdo.device_class = "manual";
        QVERIFY(m_db->addIndex(0, 0x1402, pdo) && m_db->addIndex(0, 0x1800, pdo));
        DB::SUBINDEX_DATA_T wizard;
        wizard.wizardsource = 454;
        DB::SUBINDEX_DATA_T userValue = sub("Mine", "99");
        userValue.changedbyuser = true;
        QVERIFY(m_db->addIndex(0, 0x6010, {}) && m_db->addSubIndex(0, 0x6010, 0, wizard));
        QVERIFY(m_db->addIndex(0, 0x6020, {}) && m_db->addSubIndex(0, 0x6020, 0, {}));
        QVERIFY(m_db->addIndex(0, 0x6000, {}) && m_db->addSubIndex(0, 0x6000, 1, userValue));

        QVERIFY(m_db->specialEBCopy(&templ, 0));
        QCOMPARE(m_db->getIndices(0), QList<quint16>({0x1400, 0x1402, 0x6000, 0x6020}));
        QCOMPARE(m_db->getIndexName(0, 0x1400), QString("RPDO kept"));
        QCOMPARE(m_db->getSubIndexValue(0, 0x6000, 1), QString("99"));
        QCOMPARE(m_db->getSubIndices(0, 0x6000), QList<quint8>({0, 1}));
        QCOMPARE(m_db->getEnergyBusSettingsValue("device_cnt"), QString("2"));
    }

private:
    QTemporaryDir m_dir;
    DB *m_db = nullptr;
    DB *m_other = nullptr;
};

NW_TEST_MAIN(TestObjectDataBaseCopy)
#include "tst_objectdatabase_copy.moc"
