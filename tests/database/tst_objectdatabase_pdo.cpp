#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;

using SubAddress = ObjectDataBase::SubAddress;
using Connection = ObjectDataBase::Connection;

Q_DECLARE_METATYPE(QList<SubAddress>)

namespace {

bool addEntry(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub, const QString &value,
              quint8 pdomapping = 0, const QString &access = QStringLiteral("rw"),
              quint16 datatype = 7)
{
    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.defaultvalue = value;
    entry.pdomapping = pdomapping;
    entry.accesstype = access;
    entry.datatype = datatype;
    return db.addSubIndex(line, index, sub, entry);
}

// An ARRAY with entries 0, 1, ... of the given values.
bool addObject(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
               const QStringList &values = {})
{
    ObjectDataBase::INDEX_DATA_T object;
    object.name = name;
    object.objecttype = 8;
    bool done = db.addIndex(line, index, object);
    for (int sub = 0; sub < values.size(); ++sub)
        done = done && addEntry(db, line, index, quint8(sub), values.at(sub));
    return done;
}

// A line with application objects 0x2000 (sub 1..3, mappable) and 0x2100 (sub 1, not
// mappable), a transmit PDO 0x1800/0x1A00 mapping 0x2000 sub 1 and sub 3, and a receive PDO
// 0x1400/0x1600 mapping 0x2000 sub 2.
void buildPdoLine(ObjectDataBase &db, quint8 line)
{
    QVERIFY(db.addNode(line, ObjectDataBase::NODE_DATA_T()));
    QVERIFY(addObject(db, line, 0x2000, "application"));
    for (quint8 sub : {1, 2, 3})
        QVERIFY(addEntry(db, line, 0x2000, sub, "0", 1));
    QVERIFY(addObject(db, line, 0x2100, "not mappable"));
    QVERIFY(addEntry(db, line, 0x2100, 1, "0", 0));
    for (quint16 comm : {0x1400, 0x1800}) {
        QVERIFY(addObject(db, line, comm, "communication"));
        QVERIFY(addEntry(db, line, comm, 1, "0x180"));
    }
    QVERIFY(addObject(db, line, 0x1A00, "transmit mapping", {"2", "0x20000108", "0x20000320"}));
    // 0x20000210 in decimal
    QVERIFY(addObject(db, line, 0x1600, "receive mapping", {"1", "536871440"}));
}

Connection connection(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                      quint16 conIndex, quint8 conSub, quint8 priority = 0)
{
    return Connection{prodLine, prodIndex, prodSub, conLine, conIndex, conSub, priority};
}

bool add(ObjectDataBase &db, const Connection &c)
{
    return db.addConnection(c.prodnode, c.prodindex, c.prodsub, c.connode, c.conindex, c.consub,
                            c.priority);
}

} // namespace

// PDO links between lines, locks, mapping queries, groups and network variables.
class TestObjectDataBasePdo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new ObjectDataBase;
        QVERIFY(m_db->createNewDataBase());
        buildPdoLine(*m_db, 1);
        buildPdoLine(*m_db, 2);
    }
    void cleanup() { delete m_db; }

    void mappingQueries_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<quint8>("sub");
        QTest::addColumn<bool>("mapped");
        QTest::addColumn<QList<SubAddress>>("mappings");
        QTest::addRow("0x2000 sub 1 in the transmit mapping")
            << quint16(0x2000) << quint8(1) << true << QList<SubAddress>{{0x1A00, 1}};
        QTest::addRow("decimal mapping word")
            << quint16(0x2000) << quint8(2) << true << QList<SubAddress>{{0x1600, 1}};
        QTest::addRow("0x2000 sub 3 in two PDOs")
            << quint16(0x2000) << quint8(3) << true
            << QList<SubAddress>{{0x1600, 2}, {0x1A00, 2}, {0x1A01, 1}};
        QTest::addRow("unmapped sub-index")
            << quint16(0x2100) << quint8(1) << false << QList<SubAddress>{};
        // Below 0x2000 the editors never see a mapped object, but the entries are found.
        QTest::addRow("communication object")
            << quint16(0x1800) << quint8(1) << false << QList<SubAddress>{{0x1A01, 2}};
    }
    void mappingQueries()
    {
        QFETCH(quint16, index);
        QFETCH(quint8, sub);
        QFETCH(bool, mapped);
        QFETCH(QList<SubAddress>, mappings);
        QVERIFY(addEntry(*m_db, 1, 0x1600, 2, "0x20000320"));
        QVERIFY(addObject(*m_db, 1, 0x1A01, "second transmit mapping",
                          {"3", "0X20000320", "0x18000108", "not a number"}));
        // Entries of a mapping object that no longer exists do not count.
        QVERIFY(addEntry(*m_db, 1, 0x1A02, 1, "0x21000108"));

        QCOMPARE(m_db->isObjectMapped(1, index, sub), mapped);
        QCOMPARE(m_db->getMappingObjectsForObject(1, index, sub), mappings);
        QVERIFY(!m_db->isObjectMapped(0, 0x2000, 1));
    }

    void mappableSubs()
    {
        QVERIFY(addEntry(*m_db, 1, 0x2200, 1, "0", 3)); // no object 0x2200
        QVERIFY(addObject(*m_db, 1, 0x6000, "profile") && addEntry(*m_db, 1, 0x6000, 1, "0", 4));
        QCOMPARE(m_db->getMappableSubs(1, 0x2000),
                 QList<SubAddress>({{0x2000, 1}, {0x2000, 2}, {0x2000, 3}, {0x6000, 1}}));
        QCOMPARE(m_db->getMappableSubs(1, 0x2001), QList<SubAddress>({{0x6000, 1}}));
    }

    void mappingStatic_data()
    {
        QTest::addColumn<QString>("sub0");
        QTest::addColumn<QString>("sub1");
        QTest::addColumn<bool>("isStatic");
        QTest::addRow("both rw") << QString("rw") << "rw" << false;
        QTest::addRow("count read-only") << QString("ro") << "rw" << true;
        QTest::addRow("entry const") << QString("rw") << "const" << true;
        QTest::addRow("no entry") << QString("rw") << "" << true;
    }
    void mappingStatic()
    {
        QFETCH(QString, sub0);
        QFETCH(QString, sub1);
        QFETCH(bool, isStatic);
        QVERIFY(addEntry(*m_db, 1, 0x1A00, 0, "2", 0, sub0));
        if (sub1.isEmpty())
            QVERIFY(m_db->delSubIndex(1, 0x1A00, 1));
        else
            QVERIFY(addEntry(*m_db, 1, 0x1A00, 1, "0x20000108", 0, sub1));
        QCOMPARE(m_db->isMappingStatic(1, 0x1800), isStatic);
    }

    void deletesCleanConnections_data()
    {
        using DB = ObjectDataBase;
        QTest::addColumn<QList<int>>("remaining");
        QTest::addColumn<Change>("change");
        // Connections: 0 line 1 -> line 2, 1 line 2 -> line 1, 2 line 2 -> line 2 (sub 3),
        // 3 line 2 -> line 0.
        QTest::addRow("delete line 1")
            << QList<int>{2, 3} << Change([](DB &db) { return db.delNode(1); });
        QTest::addRow("delete object 0x2000 of line 1")
            << QList<int>{2, 3} << Change([](DB &db) { return db.delIndex(1, 0x2000); });
        QTest::addRow("delete object keeping connections")
            << QList<int>{0, 1, 2, 3}
            << Change([](DB &db) { return db.delIndex(1, 0x2000, true); });
        QTest::addRow("delete sub-index 0x2000/1 of line 1")
            << QList<int>{1, 2, 3} << Change([](DB &db) { return db.delSubIndex(1, 0x2000, 1); });
        QTest::addRow("delete sub-index 0x2000/2 of line 1")
            << QList<int>{0, 2, 3} << Change([](DB &db) { return db.delSubIndex(1, 0x2000, 2); });
        QTest::addRow("delete sub-index keeping connections")
            << QList<int>{0, 1, 2, 3}
            << Change([](DB &db) { return db.delSubIndex(1, 0x2000, 1, true); });
        QTest::addRow("delete line 0")
            << QList<int>{0, 1, 2} << Change([](DB &db) { return db.delNode(0); });
    }
    void deletesCleanConnections()
    {
        QFETCH(QList<int>, remaining);
        QFETCH(Change, change);
        const QList<Connection> all = {
            connection(1, 0x2000, 1, 2, 0x2000, 2, 1), connection(2, 0x2000, 1, 1, 0x2000, 2, 2),
            connection(2, 0x2000, 3, 2, 0x2000, 3, 3), connection(2, 0x2000, 1, 0, 0x2000, 5, 4)};
        for (const Connection &c : all)
            QVERIFY(add(*m_db, c));
        QCOMPARE(m_db->getConnectionCount(), 4);
        QVERIFY(change(*m_db));
        QList<Connection> expected;
        for (int i : remaining)
            expected.append(all.at(i));
        QList<Connection> left = m_db->getPDOConnections(false);
        std::sort(left.begin(), left.end(),
                  [](const Connection &a, const Connection &b) { return a.priority < b.priority; });
        QCOMPARE(left, expected);
    }

    void connectionQueries()
    {
        QVERIFY(add(*m_db, connection(1, 0x2000, 1, 2, 0x2000, 2, 5)));
        QVERIFY(add(*m_db, connection(1, 0x2000, 1, 0, 0x2000, 2, 6)));
        QVERIFY(add(*m_db, connection(2, 0x2000, 3, 1, 0x2000, 2, 7)));
        // The same link twice is stored once.
        QVERIFY(add(*m_db, connection(1, 0x2000, 1, 2, 0x2000, 2, 5)));
        QCOMPARE(m_db->getConnectionCount(), 3);

        QVERIFY(m_db->isConnected(1, 0x2000, 1, 2, 0x2000, 2));
        QVERIFY(!m_db->isConnected(1, 0x2000, 1, 2, 0x2000, 3));
        QVERIFY(m_db->isProducerConnected(1, 0x2000, 1) && !m_db->isProducerConnected(1, 0x2000, 2)
                && m_db->isConsumerConnected(1, 0x2000, 2));
        QCOMPARE(m_db->getProducerNode(1, 0x2000, 2), 2);
        QCOMPARE(m_db->getProducerNode(1, 0x2000, 3), -1);
        Connection producer;
        QVERIFY(m_db->getProducer(2, 0x2000, 2, producer));
        QCOMPARE(producer, connection(1, 0x2000, 1, 2, 0x2000, 2, 5));
        QCOMPARE(m_db->getConsumer(1, 0x2000, 1),
                 QList<Connection>({connection(1, 0x2000, 1, 0, 0x2000, 2, 6),
                                    connection(1, 0x2000, 1, 2, 0x2000, 2, 5)}));
        QCOMPARE(m_db->getPDOConnections(1, 2, false),
                 QList<Connection>{connection(1, 0x2000, 1, 2, 0x2000, 2, 5)});

        Connection raised = connection(1, 0x2000, 1, 2, 0x2000, 2, 1);
        QVERIFY(m_db->updateConnectionPriority(raised));
        QCOMPARE(m_db->getPDOConnections(1, 2, false), QList<Connection>{raised});
        QVERIFY(!m_db->updateConnectionPriority(connection(1, 0x2000, 2, 2, 0x2000, 2, 1)));

        // Lines excluded from PDO linking drop out of the planning view.
        QVERIFY(m_db->executeSql("update Nodes set excludepdolinking = 1 where nodeId = 0"));
        QCOMPARE(m_db->getPDOConnections(true).size(), 2);
        QCOMPARE(m_db->getPDOConnections(false).size(), 3);
        QCOMPARE(m_db->dumpConnections().size(), 3);

        QVERIFY(m_db->updateConnections(0x2100, 0x2000));
        QCOMPARE(m_db->getProducerNode(1, 0x2100, 2), 2);
        QVERIFY(m_db->removeConnnection(2, 0x2100, 3, 1, 0x2100, 2));
        QCOMPARE(m_db->getConnectionCount(), 2);

        m_db->setLockWriteAccess(true);
        QVERIFY(!add(*m_db, connection(2, 0x2000, 1, 1, 0x2000, 1)));
        QVERIFY(!m_db->clearConnections(0, 0));
        m_db->setLockWriteAccess(false);
        QVERIFY(m_db->clearConnections(1, 0));
        QCOMPARE(m_db->getConnectionCount(), 1);
        QVERIFY(m_db->clearConnections(0, 0));
        QCOMPARE(m_db->getConnectionCount(), 0);
    }

    void connectionPossible()
    {
        QVERIFY(addEntry(*m_db, 2, 0x2000, 3, "0", 1, "rw", 6)); // UNSIGNED16 now
        for (bool prepared : {false, true}) {
            if (prepared)
                m_db->initPossibleConnectionQuery(1, 2);
            quint16 type = 99;
            QVERIFY(m_db->isConnectionPossible(1, 0x2000, 1, 2, 0x2000, 2, type));
            QCOMPARE(type, quint16(7));
            QVERIFY(!m_db->isConnectionPossible(1, 0x2000, 1, 2, 0x2000, 3, type));
            QVERIFY(!m_db->isConnectionPossible(1, 0x2100, 1, 2, 0x2000, 1, type));
            QCOMPARE(type, quint16(0));
            QVERIFY(!m_db->isConnectionPossible(1, 0x2000, 9, 2, 0x2000, 1));
        }
    }

    void locks()
    {
        for (quint16 pdo : {0x1800, 0x1400, 0x1400})
            QVERIFY(m_db->setLockedPdo(1, pdo, true));
        QVERIFY(m_db->setLockedPdo(2, 0x1801, true) && m_db->setLockedMapping(1, 0x1A00, true));
        QCOMPARE(m_db->getLockedPDOs(1), QList<quint16>({0x1400, 0x1800}));
        QVERIFY(m_db->isPdoLocked(2, 0x1801) && !m_db->isPdoLocked(1, 0x1A00)
                && m_db->isMappingLocked(1, 0x1A00));
        QCOMPARE(m_db->getLockedMappings(1), QList<quint16>{0x1A00});

        m_db->setLockWriteAccess(true);
        QVERIFY(!m_db->setLockedPdo(1, 0x1800, false) && !m_db->clearLockedMappings());
        m_db->setLockWriteAccess(false);
        QVERIFY(m_db->isPdoLocked(1, 0x1800));

        QVERIFY(m_db->setLockedPdo(1, 0x1800, false));
        QCOMPARE(m_db->getLockedPDOs(1), QList<quint16>{0x1400});
        QVERIFY(m_db->clearLockedPDOs(1));
        QCOMPARE(m_db->getLockedPDOs(1), QList<quint16>());
        QCOMPARE(m_db->getLockedPDOs(2), QList<quint16>{0x1801});
        QVERIFY(m_db->clearLockedPDOs());
        QCOMPARE(m_db->getLockedPDOs(2), QList<quint16>());
        QVERIFY(m_db->clearLockedMappings(1) && !m_db->isMappingLocked(1, 0x1A00));
    }

    void groups()
    {
        QSignalSpy spy(m_db, &ObjectDataBase::updateNotify);
        QVERIFY(m_db->addGroup("front"));
        QVERIFY(!m_db->addGroup("front"));
        QVERIFY(m_db->addGroup("rear"));
        QCOMPARE(m_db->getGroups(), QStringList({"front", "rear"}));
        for (quint8 line : {1, 3, 5, 3})
            QVERIFY(m_db->addNodeToGroup("front", line));
        QVERIFY(!m_db->addNodeToGroup("missing", 3));
        QCOMPARE(sqlRows(*m_db, "select nodeidlist from Groups where name = 'front'"),
                 QString("1 3 5"));
        QCOMPARE(m_db->getNodesInGroup("front"), QList<quint8>({1, 3, 5}));
        QCOMPARE(m_db->findGroup(5), QString("front"));
        QCOMPARE(m_db->findGroup(4), QString());

        QVERIFY(m_db->delNodeFromGroup("front", 3));
        QCOMPARE(m_db->getNodesInGroup("front"), QList<quint8>({1, 5}));
        QVERIFY(!m_db->renameGroup("rear", "front"));
        QVERIFY(!m_db->renameGroup("side", "missing"));
        QVERIFY(m_db->renameGroup("side", "front"));
        QCOMPARE(m_db->getNodesInGroup("side"), QList<quint8>({1, 5}));
        QVERIFY(m_db->delGroup("rear"));
        QVERIFY(!m_db->delGroup("rear"));
        QCOMPARE(m_db->getGroups(), QStringList{"side"});
        // Every change was announced: 2 groups, 3 lines, 1 removal, 1 rename, 1 delete.
        QCOMPARE(changes(spy).join(' '),
                 QString("7 0 0.0 ").repeated(8).trimmed()); // GroupsChanged
    }

    void processImage_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<quint8>("sub");
        QTest::addColumn<quint16>("dataType");
        QTest::addColumn<int>("position");
        QTest::addRow("first INTEGER8 input") << quint16(0xA000) << quint8(1) << quint16(2) << 0;
        QTest::addRow("second INTEGER8 object")
            << quint16(0xA001) << quint8(2) << quint16(0) << 255;
        QTest::addRow("UNSIGNED8 input") << quint16(0xA040) << quint8(3) << quint16(5) << 2;
        QTest::addRow("INTEGER32 input") << quint16(0xA1C0) << quint8(2) << quint16(4) << 4;
        QTest::addRow("UNSIGNED32 input, third object")
            << quint16(0xA202) << quint8(1) << quint16(0) << 4 * 508;
        QTest::addRow("UNSIGNED16 output") << quint16(0xA580) << quint8(4) << quint16(6) << 6;
        QTest::addRow("UNSIGNED32 output") << quint16(0xA680) << quint8(2) << quint16(7) << 4;
        QTest::addRow("sub-index 0") << quint16(0xA000) << quint8(0) << quint16(2) << -1;
        QTest::addRow("below the image") << quint16(0x9FFF) << quint8(1) << quint16(0) << -1;
        QTest::addRow("last object")
            << quint16(0xAFFF) << quint8(1) << quint16(0) << 4 * (0xAFFF - 0xA680) * 254;
    }
    void processImage()
    {
        QFETCH(quint16, index);
        QFETCH(quint8, sub);
        QFETCH(quint16, dataType);
        QFETCH(int, position);
        QCOMPARE(ObjectDataBase::index2DataType(index), dataType);
        QCOMPARE(ObjectDataBase::startPosInProcessImage(index, sub), position);
    }

    void networkVariables()
    {
        QCOMPARE(m_db->addNVObj(1, 0xA540, true, "speed"), quint32(0xA540 + 1 * 65536));
        QCOMPARE(m_db->addNVObj(1, 0xA540, true, "torque"), quint32(0xA540 + 2 * 65536));
        QCOMPARE(m_db->addNVObj(1, 0xA0C0, false, "setpoint"), quint32(0xA0C0 + 1 * 65536));
        QCOMPARE(m_db->addNVObj(1, 0xA540, false, "wrong kind"), 0u);
        QCOMPARE(m_db->addNVObj(1, 0xA541, true, "not an area start"), 0u);

        QCOMPARE(QStringList({objectLine(*m_db, 1, 0xA540), objectLine(*m_db, 1, 0xA0C0),
                              entryLine(*m_db, 1, 0xA540, 0), entryLine(*m_db, 1, 0xA540, 2),
                              entryLine(*m_db, 1, 0xA0C0, 1)}),
                 QStringList({"PLC_ARRAY_INTEGER16_OUTPUT|8|", "PLC_ARRAY_INTEGER16_INPUT|8|",
                              "Heighest Subindex supported|5|ro|2|0|", "torque|3|ro|0|4|",
                              "setpoint|3|rww|0|3|"}));

        // A freed slot is used again; a full object passes on to the next one of its area.
        QVERIFY(m_db->delSubIndex(1, 0xA540, 1));
        QCOMPARE(m_db->findFreeNVVariable(1, 0xA540, true), quint32(0xA540 + 1 * 65536));
        for (int sub = 1; sub <= 254; ++sub)
            QVERIFY(addEntry(*m_db, 1, 0xA580, quint8(sub), "0", 4));
        QCOMPARE(m_db->findFreeNVVariable(1, 0xA580, true), quint32(0xA581 + 1 * 65536));

        QStringList image = {"Pos: 0: Index: 0xa0c0 sub: 1 size = 2",
                             "Pos: 2: Index: 0xa540 sub: 2 size = 2"};
        for (int sub = 1; sub <= 254; ++sub)
            image << QStringLiteral("Pos: %1: Index: 0xa580 sub: %2 size = 2")
                         .arg((sub - 1) * 2)
                         .arg(sub);
        QCOMPARE(m_db->getProcessImage(1), image);

        // Only connected variables stay; an object left empty goes.
        QVERIFY(add(*m_db, connection(1, 0xA540, 2, 2, 0x2000, 2)));
        QVERIFY(m_db->removeUnusedNV());
        QCOMPARE(m_db->getIndices(1, 0xA000, 0xAFFF), QList<quint16>{0xA540});
        QCOMPARE(m_db->getSubIndices(1, 0xA540, 0), QList<quint8>({0, 2}));
        QVERIFY(m_db->deleteAllNV(1, true));
        QCOMPARE(m_db->getIndices(1, 0xA000, 0xAFFF), QList<quint16>());
        QCOMPARE(m_db->getConnectionCount(), 1);
    }

    void unusedPdosAndNetworkMaster()
    {
        // Line 1: the transmit PDO carries a connected entry, the receive PDO does not.
        QVERIFY(add(*m_db, connection(1, 0x2000, 3, 2, 0x2000, 2)));
        QVERIFY(addObject(*m_db, 1, 0x1401, "locked receive PDO")
                && addObject(*m_db, 1, 0x1601, "its mapping"));
        QVERIFY(m_db->setLockedPdo(1, 0x1401, true));
        QVERIFY(!m_db->isMappingStatic(1, 0x1800));
        QVERIFY(m_db->removeUnusedPDOsAndMakeOtherPDOsstatic(1));
        QCOMPARE(m_db->getIndices(1, 0x1400, 0x1BFF),
                 QList<quint16>({0x1401, 0x1601, 0x1800, 0x1A00}));
        QVERIFY(m_db->isMappingStatic(1, 0x1800));

        QCOMPARE(m_db->getNetworkMaster(), -1);
        ObjectDataBase::NODE_DATA_T master;
        master.ismaster = true;
        QVERIFY(m_db->addNode(2, master));
        QCOMPARE(m_db->getNetworkMaster(), 2);
    }

private:
    ObjectDataBase *m_db = nullptr;
};

NW_TEST_MAIN(TestObjectDataBasePdo)
#include "tst_objectdatabase_pdo.moc"
