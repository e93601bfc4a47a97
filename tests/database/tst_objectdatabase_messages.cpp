#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;

using PGN = ObjectDataBase::PGN;
using SPN = ObjectDataBase::SPN;

namespace {

const quint8 tx = ObjectDataBase::DirectionTransmit;
const quint8 rx = ObjectDataBase::DirectionReceive;

PGN makePgn(quint32 number, quint8 direction, const QString &name, quint16 count = 0)
{
    PGN pgn;
    pgn.name = name;
    pgn.desc = name + QLatin1String(" description");
    pgn.number = number;
    pgn.priority = 6;
    pgn.cycletime_ms = 100;
    pgn.inhibittime_ms = 10;
    pgn.mappingcount = count;
    pgn.direction = direction;
    return pgn;
}

SPN makeSpn(quint32 pgn, quint8 direction, quint32 number, quint8 pos, const QString &name)
{
    SPN spn;
    spn.pos = pos;
    spn.name = name;
    spn.desc = name + QLatin1String(" description");
    spn.defaultvalue = QStringLiteral("12");
    spn.datatype = 6;
    spn.pgnnumber = pgn;
    spn.direction = direction;
    spn.spnnumber = number;
    spn.implementation = 0;
    spn.varname = name + QLatin1String("_var");
    spn.bitsize = 16;
    spn.slot_df = 9;
    return spn;
}

// Adds the PGN with its SPNs at positions 0, 16, 32, ...
void addPgnWithSpns(ObjectDataBase &db, quint8 line, const PGN &pgn, const QList<quint32> &spns)
{
    QVERIFY(db.addPGN(line, pgn.number, pgn));
    quint8 pos = 0;
    for (quint32 spn : spns) {
        QVERIFY(db.addSPN(
            line, pgn.number, pgn.direction, spn,
            makeSpn(pgn.number, pgn.direction, spn, pos, pgn.name + "/" + QString::number(spn))));
        pos += 16;
    }
}

// The PGNs of a line, transmitted ones first, as "t|r <number> <name> (<mapping count>):
// <SPNs>" separated by "; ".
QString pgnsOf(ObjectDataBase &db, quint8 line)
{
    QStringList texts;
    for (quint8 direction : {tx, rx}) {
        for (quint32 pgn : db.getPGNs(line, direction)) {
            QStringList spns;
            for (quint32 spn : db.getSPNs(line, pgn, direction))
                spns << QString::number(spn);
            texts << QStringLiteral("%1 %2 %3 (%4): %5")
                         .arg(direction == tx ? "t" : "r")
                         .arg(pgn, 0, 16)
                         .arg(db.getPGNName(line, pgn, direction))
                         .arg(db.getPGNMappingCount(line, pgn, direction))
                         .arg(spns.join(' '));
        }
    }
    return texts.join("; ");
}

ObjectDataBase::NODE_DATA_T namedLine(const QString &name)
{
    ObjectDataBase::NODE_DATA_T node;
    node.name = name;
    return node;
}

} // namespace

// The old J1939 project of tests/data/database with the DatabaseVersion and line 1 type
// rows when they are given, then the statements.
static QString writeOldJ1939Project(const QString &path, const QString &version,
                                    const QString &lineType, QStringList statements)
{
    if (!version.isEmpty())
        statements.prepend("insert into MiscSettings values('DatabaseVersion', '" + version + "')");
    if (!lineType.isEmpty())
        statements.prepend("insert into GeneralSettings values('line1type', '" + lineType + "')");
    return writeProject(path, "old_j1939.sql", statements);
}

// The J1939 and CAN message store: records, both directions, caches, copies and the
// repairs run when a project is opened.
class TestObjectDataBaseMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new ObjectDataBase;
        QVERIFY(m_db->createNewDataBase() && m_db->addNode(1, namedLine("J1939 line"))
                && m_db->addNode(2, namedLine("second line")));
    }
    void cleanup() { delete m_db; }

    void pgnRecordsSurviveSaving()
    {
        PGN pgn = makePgn(0x1FECA, tx, "DM1", 1);
        pgn.edp_dp_key = 0;
        QVERIFY(m_db->addPGN(1, pgn.number, pgn));
        const SPN spn = makeSpn(0x1FECA, tx, 1213, 8, "Lamp");
        QVERIFY(m_db->addSPN(1, 0x1FECA, tx, 1213, spn));
        const QString path = m_dir.filePath("records.nwrp");
        QVERIFY(m_db->saveDataBase(path));

        ObjectDataBase reopened;
        QVERIFY(reopened.openDataBase(path, false));
        PGN readPgn;
        QVERIFY(reopened.getPGNData(1, 0x1FECA, tx, readPgn));
        QCOMPARE(readPgn, pgn);
        SPN readSpn;
        QVERIFY(reopened.getSPNData(1, 0x1FECA, tx, 1213, readSpn));
        QCOMPARE(readSpn, spn);
        QString name;
        QVERIFY(reopened.getSPNName(1, 0x1FECA, tx, 1213, name) && name == "Lamp");
        QCOMPARE(reopened.getPGNMappingCount(1, 0x1FECA, tx), 1u);
        QCOMPARE(reopened.getSPNDataType(1, 0x1FECA, 1213), quint16(6));

        // Updating keeps one row and changes every field but the key.
        readPgn.priority = 3;
        readPgn.name = "DM1 renamed";
        QVERIFY(reopened.addPGN(1, 0x1FECA, readPgn));
        QCOMPARE(reopened.getPGNs(1, tx), QList<quint32>{0x1FECA});
        QCOMPARE(reopened.getPGNName(1, 0x1FECA, tx), QString("DM1 renamed"));
        readSpn.pos = 24;
        readSpn.bitsize = 2;
        readSpn.defaultvalue = "3";
        QVERIFY(reopened.addSPN(1, 0x1FECA, tx, 1213, readSpn));
        SPN updated;
        QVERIFY(reopened.getSPNData(1, 0x1FECA, tx, 1213, updated) && updated == readSpn);
        QCOMPARE(reopened.getSPNs(1, 0x1FECA, tx), QList<quint32>{1213});
    }

    void pgnInBothDirectionsStaysIndependent()
    {
        addPgnWithSpns(*m_db, 1, makePgn(0xFEF1, tx, "CCVS sent", 2), {84, 70});
        addPgnWithSpns(*m_db, 1, makePgn(0xFEF1, rx, "CCVS received", 3), {84, 595, 596});
        addPgnWithSpns(*m_db, 1, makePgn(0xF004, rx, "EEC1", 1), {190});

        QCOMPARE(m_db->getPGNs(1, 0), QList<quint32>({0xF004, 0xFEF1, 0xFEF1}));
        QCOMPARE(pgnsOf(*m_db, 1), QString("t fef1 CCVS sent (2): 84 70; r f004 EEC1 (1): 190; "
                                           "r fef1 CCVS received (3): 84 595 596"));

        // The same SPN number in the other direction is a record of its own.
        SPN spn;
        QVERIFY(m_db->getSPNData(1, 0xFEF1, rx, 84, spn));
        spn.name = "Wheel speed (received)";
        QVERIFY(m_db->addSPN(1, 0xFEF1, rx, 84, spn));
        QVERIFY(m_db->getSPNData(1, 0xFEF1, tx, 84, spn));
        QCOMPARE(spn.name, QString("CCVS sent/84"));
        QVERIFY(m_db->delSPN(1, 0xFEF1, tx, 84));
        QVERIFY(m_db->getSPNData(1, 0xFEF1, rx, 84, spn));
        QCOMPARE(spn.name, QString("Wheel speed (received)"));

        QVERIFY(m_db->delPGN(1, 0xFEF1, tx));
        QVERIFY(!m_db->existsPGN(1, 0xFEF1, tx) && m_db->existsPGN(1, 0xFEF1, rx));
        QCOMPARE(m_db->getSPNs(1, 0xFEF1, tx), QList<quint32>());
        QCOMPARE(pgnsOf(*m_db, 1),
                 QString("r f004 EEC1 (1): 190; r fef1 CCVS received (3): 84 595 596"));
    }

    void namesOfMissingMessages()
    {
        // Line 7 has no tables: the question cannot be asked ("--").
        QCOMPARE(QStringList({m_db->getPGNName(1, 0xFEF1, tx), m_db->getCANIDName(1, 0x123, tx),
                              m_db->getPGNName(7, 0xFEF1, tx), m_db->getCANIDName(7, 0x123, tx)}),
                 QStringList({"-", "-", "--", "--"}));
        PGN pgn;
        QVERIFY(!m_db->getPGNData(1, 0xFEF1, tx, pgn));
        QVERIFY(!m_db->addPGN(7, 0xFEF1, makePgn(0xFEF1, tx, "nowhere")));
    }

    void spnsAreListedByPosition()
    {
        QVERIFY(m_db->addPGN(1, 0xFF00, makePgn(0xFF00, tx, "proprietary")));
        const QList<QPair<quint32, quint8>> spns = {{900, 40}, {100, 8}, {500, 0}, {300, 24}};
        for (const auto &spn : spns)
            QVERIFY(m_db->addSPN(1, 0xFF00, tx, spn.first,
                                 makeSpn(0xFF00, tx, spn.first, spn.second, "s")));
        const QList<quint32> expected = {500, 100, 300, 900};
        QCOMPARE(m_db->getSPNs(1, 0xFF00, tx), expected);
        m_db->cacheAllSpnDataForLine(1);
        QCOMPARE(m_db->getSPNs(1, 0xFF00, tx), expected);
        m_db->clearAllCachedSpnData();
    }

    void spnCacheAnswersOnlyForItsLine()
    {
        addPgnWithSpns(*m_db, 1, makePgn(0xFEF1, tx, "line 1"), {84});
        addPgnWithSpns(*m_db, 2, makePgn(0xFEF1, tx, "line 2"), {84});
        m_db->cacheAllSpnDataForLine(1);

        // Writes after filling do not reach the cache; line 2 is read from the file.
        QVERIFY(m_db->addSPN(1, 0xFEF1, tx, 70, makeSpn(0xFEF1, tx, 70, 16, "late")));
        QVERIFY(m_db->addSPN(2, 0xFEF1, tx, 70, makeSpn(0xFEF1, tx, 70, 16, "late")));
        QCOMPARE(m_db->getSPNs(1, 0xFEF1, tx), QList<quint32>{84});
        QCOMPARE(m_db->getSPNs(2, 0xFEF1, tx), QList<quint32>({84, 70}));
        SPN spn;
        QVERIFY(!m_db->getSPNData(1, 0xFEF1, tx, 70, spn)
                && m_db->getSPNData(2, 0xFEF1, tx, 70, spn));
        QVERIFY(!m_db->getSPNData(1, 0xFEF1, rx, 84, spn)
                && m_db->getSPNData(1, 0xFEF1, tx, 84, spn));
        QCOMPARE(spn.name, QString("line 1/84"));

        m_db->clearAllCachedSpnData();
        QCOMPARE(m_db->getSPNs(1, 0xFEF1, tx), QList<quint32>({84, 70}));
        // Filling again replaces what was cached.
        m_db->cacheAllSpnDataForLine(1);
        QVERIFY(m_db->delSPN(1, 0xFEF1, tx, 84));
        QCOMPARE(m_db->getSPNs(1, 0xFEF1, tx), QList<quint32>({84, 70}));
        m_db->cacheAllSpnDataForLine(1);
        QCOMPARE(m_db->getSPNs(1, 0xFEF1, tx), QList<quint32>{70});
        m_db->clearAllCachedSpnData();
    }

    void spnDataTypes()
    {
        QVERIFY(m_db->addPGN(1, 0xFEF1, makePgn(0xFEF1, tx, "types")));
        const QList<QPair<quint32, quint16>> spns = {{84, 6}, {70, 100}, {595, 7}};
        for (const auto &entry : spns) {
            SPN spn = makeSpn(0xFEF1, tx, entry.first, 0, "t");
            spn.datatype = entry.second;
            QVERIFY(m_db->addSPN(1, 0xFEF1, tx, entry.first, spn));
        }
        QList<quint16> types;
        QVERIFY(m_db->getSPNDataTypes(1, 0xFEF1, {595, 84, 70}, types));
        QCOMPARE(types, QList<quint16>({7, 6, 100}));
        QVERIFY(!m_db->getSPNDataTypes(1, 0xFEF1, {84, 1}, types));
        QCOMPARE(types, QList<quint16>({6, 0}));

        QVERIFY(!m_db->getSPNDataTypesFromCache(1, 0xFEF1, {84}, types));
        m_db->cacheAllSpnDataTypes(1);
        SPN changed = makeSpn(0xFEF1, tx, 84, 0, "t");
        changed.datatype = 5;
        QVERIFY(m_db->addSPN(1, 0xFEF1, tx, 84, changed));
        QVERIFY(m_db->getSPNDataTypes(1, 0xFEF1, {70, 84}, types));
        QCOMPARE(types, QList<quint16>({100, 6}));
        m_db->clearAllCachedSpnData();
        QVERIFY(m_db->getSPNDataTypes(1, 0xFEF1, {70, 84}, types));
        QCOMPARE(types, QList<quint16>({100, 5}));
    }

    void canIdsAndDataElements()
    {
        ObjectDataBase::CANID message;
        message.id = 0x20000000 + 0x18FF0001;
        message.name = "status";
        message.desc = "extended";
        message.cycletime_ms = 50;
        message.mappingcount = 2;
        message.direction = tx;
        QVERIFY(!m_db->existsCANID(1, message.id, tx) && m_db->addCANID(1, message.id, message));
        QVERIFY(m_db->existsCANID(1, message.id, tx) && !m_db->existsCANID(1, message.id, rx));
        message.direction = rx;
        message.name = "status in";
        QVERIFY(m_db->addCANID(1, message.id, message) && m_db->addCANID(1, 0x100, message));
        QCOMPARE(m_db->getCANIDs(1, 0), QList<quint32>({0x100, message.id, message.id}));
        QCOMPARE(m_db->getCANIDs(1, tx), QList<quint32>{message.id});
        ObjectDataBase::CANID read;
        QVERIFY(m_db->getCANIDData(1, message.id, rx, read));
        QCOMPARE(read, message);
        QCOMPARE(m_db->getCANIDName(1, message.id, tx), QString("status"));

        ObjectDataBase::DataElement element;
        element.name = "temperature";
        element.datatype = 3;
        element.canid = message.id;
        element.varname = "temp";
        element.bitsize = 16;
        for (quint8 direction : {tx, rx}) {
            element.direction = direction;
            for (quint32 number : {quint32(5), quint32(2)}) {
                element.number = number;
                QVERIFY(m_db->addDataElement(1, message.id, direction, number, element));
            }
        }
        QCOMPARE(m_db->getDataElements(1, message.id, tx), QList<quint32>({2, 5}));
        // A new position and bit size of an existing element are stored in its row.
        element.direction = tx;
        element.pos = 24;
        element.bitsize = 12;
        QVERIFY(m_db->addDataElement(1, message.id, tx, 2, element));
        ObjectDataBase::DataElement stored;
        QVERIFY(m_db->getDataElementData(1, message.id, tx, 2, stored));
        QCOMPARE(stored, element);
        QCOMPARE(m_db->getDataElements(1, message.id, tx), QList<quint32>({2, 5}));

        QVERIFY(m_db->delDataElement(1, message.id, tx, 5));
        QCOMPARE(m_db->getDataElements(1, message.id, tx), QList<quint32>{2});
        QVERIFY(m_db->delCANID(1, message.id, tx) && !m_db->existsCANID(1, message.id, tx));
        QCOMPARE(m_db->getDataElements(1, message.id, tx), QList<quint32>());
        QCOMPARE(m_db->getDataElements(1, message.id, rx), QList<quint32>({2, 5}));
    }

    void notifications()
    {
        QSignalSpy spy(m_db, &ObjectDataBase::updateNotify);
        QVERIFY(m_db->addPGN(1, 0xFEF1, makePgn(0xFEF1, rx, "n")));
        QVERIFY(m_db->addSPN(1, 0xFEF1, rx, 84, makeSpn(0xFEF1, rx, 84, 0, "n")));
        QVERIFY(m_db->delSPN(1, 0xFEF1, rx, 84));
        QVERIFY(m_db->delPGN(1, 0xFEF1, rx));
        ObjectDataBase::CANID message;
        message.direction = tx;
        QVERIFY(m_db->addCANID(2, 0x181, message));
        QVERIFY(m_db->addDataElement(2, 0x181, tx, 3, ObjectDataBase::DataElement()));
        QVERIFY(m_db->delDataElement(2, 0x181, tx, 3));
        QVERIFY(m_db->delCANID(2, 0x181, tx));

        // kind line index.sub pgn spn canid element direction; kinds 14 PgnChanged, 15 PgnDeleted,
        // 16 CanIdChanged, 17 CanIdDeleted, 18 SpnChanged, 19 SpnDeleted, 20 DataElementChanged
        QCOMPARE(changes(spy), QStringList({"14 1 0.0 65265 0 0 0 119", "18 1 0.0 65265 84 0 0 119",
                                            "19 1 0.0 65265 84 0 0 119", "15 1 0.0 65265 0 0 0 119",
                                            "16 2 0.0 0 0 385 0 85", "20 2 0.0 0 0 385 3 85",
                                            "19 2 0.0 0 0 385 3 85", "17 2 0.0 0 0 385 0 85"}));
    }

    void signalsAndSignalGroups()
    {
        ObjectDataBase::SIGNAL_T signal;
        signal.name = "speed";
        signal.datatype = 7;
        signal.accesstype = "rw";
        signal.defaultvalue = "0x10";
        signal.ref = 0x2000 + 3 * 65536;
        signal.transmittype = 254;
        signal.eventtimer = 500;
        signal.routing = 1;
        const quint32 first = m_db->addSignal(1, signal);
        QVERIFY(first != 0);
        QCOMPARE(signal.sigid, first);
        QCOMPARE(signal.nodeid, quint8(1));
        ObjectDataBase::SIGNAL_T second = signal;
        second.sigid = 0;
        second.ref = 0;
        const quint32 secondId = m_db->addSignal(1, second);
        QVERIFY(secondId != 0 && secondId != first);
        QCOMPARE(m_db->getSignals(1), QList<quint32>({first, secondId}));

        // Storing a known id replaces that signal.
        signal.name = "speed (km/h)";
        QCOMPARE(m_db->addSignal(1, signal), first);
        ObjectDataBase::SIGNAL_T read;
        QVERIFY(m_db->getSignalData(1, first, read));
        QCOMPARE(read, signal);
        QCOMPARE(m_db->getSignals(1).size(), 2);

        ObjectDataBase::SIGNAL_T sort;
        QVERIFY(m_db->getSignalSortDataByIndex(1, 0x2000, 3, sort));
        QVERIFY(sort.transmittype == 254 && sort.eventtimer == 500 && sort.routing == 1);
        QVERIFY(!m_db->getSignalSortDataByIndex(1, 0x2000, 4, sort));
        QVERIFY(m_db->updateSignalRef(1, secondId, 0x2000 + 4 * 65536));
        QVERIFY(m_db->getSignalSortDataByIndex(1, 0x2000, 4, sort));

        QSignalSpy spy(m_db, &ObjectDataBase::updateNotify);
        QVERIFY(m_db->delSignal(1, secondId));
        QCOMPARE(m_db->getSignals(1), QList<quint32>{first});
        QVERIFY(m_db->delAllSignals(1));
        QCOMPARE(m_db->getSignals(1), QList<quint32>());
        QCOMPARE(changes(spy), QStringList{"4 1 0.0"}); // SignalsChanged on line 1

        const quint32 group = m_db->addSignalGroup("drive");
        QVERIFY(group != 0 && m_db->addSignalGroup("drive") == group);
        const quint32 other = m_db->addSignalGroup("brakes");
        QCOMPARE(m_db->getSignalGroups(),
                 QList<ObjectDataBase::SignalGroupData>({{group, "drive"}, {other, "brakes"}}));
        QVERIFY(m_db->delSignalGroup(group));
        QCOMPARE(m_db->getSignalGroups(),
                 QList<ObjectDataBase::SignalGroupData>({{other, "brakes"}}));
        QVERIFY(m_db->updateSignalGroups({{7, "seven"}, {9, "nine"}}));
        QCOMPARE(m_db->getSignalGroups(),
                 QList<ObjectDataBase::SignalGroupData>({{7, "seven"}, {9, "nine"}}));
    }

    void copyPGNsFromDatabaseCopiesRangeAndDirection()
    {
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase() && source.addNode(3, namedLine("source")));
        addPgnWithSpns(source, 3, makePgn(0xF004, tx, "EEC1", 2), {190, 513});
        addPgnWithSpns(source, 3, makePgn(0xFEF1, tx, "CCVS", 1), {84});
        addPgnWithSpns(source, 3, makePgn(0xFEF1, rx, "CCVS in", 1), {70});
        addPgnWithSpns(*m_db, 1, makePgn(0xF004, tx, "old EEC1", 3), {1, 2, 3});

        QVERIFY(m_db->copyPGNsFromDatabase(&source, 3, 1, 0xF000, 0xF0FF, tx));
        QCOMPARE(pgnsOf(*m_db, 1), QString("t f004 EEC1 (2): 190 513"));
        SPN spn;
        QVERIFY(m_db->getSPNData(1, 0xF004, tx, 513, spn));
        SPN original;
        QVERIFY(source.getSPNData(3, 0xF004, tx, 513, original));
        QCOMPARE(spn, original);

        QVERIFY(m_db->copyPGNsFromDatabase(&source, 3, 1, 0, 0x1FFFF, rx));
        QCOMPARE(pgnsOf(*m_db, 1), QString("t f004 EEC1 (2): 190 513; r fef1 CCVS in (1): 70"));
        // A source without PGNs in that direction reports false.
        QVERIFY(!m_db->copyPGNsFromDatabase(&source, 0, 1, 0, 0x1FFFF, tx));
        QVERIFY(!m_db->copyPGNsFromDatabase(nullptr, 3, 1, 0, 0x1FFFF, tx));
    }

    void copyPGNFromDatabaseChangesDirection_data()
    {
        QTest::addColumn<quint8>("implementation");
        QTest::addColumn<quint8>("expected");
        QTest::addRow("managed") << quint8(0) << quint8(0);
        QTest::addRow("application variable") << quint8(2) << quint8(2);
        QTest::addRow("as in the source") << quint8(255) << quint8(1);
    }
    void copyPGNFromDatabaseChangesDirection()
    {
        QFETCH(quint8, implementation);
        QFETCH(quint8, expected);
        ObjectDataBase catalogue;
        QVERIFY(catalogue.createNewDataBase() && catalogue.addNode(255, namedLine("staging")));
        QVERIFY(catalogue.addPGN(255, 0xFEEE, makePgn(0xFEEE, tx, "ET1", 2)));
        for (quint32 number : {110u, 174u}) {
            SPN spn = makeSpn(0xFEEE, tx, number, quint8(number == 110 ? 0 : 8), "temp");
            spn.implementation = 1;
            QVERIFY(catalogue.addSPN(255, 0xFEEE, tx, number, spn));
        }
        addPgnWithSpns(*m_db, 1, makePgn(0xFEEE, tx, "own transmit"), {999});

        QVERIFY(m_db->copyPGNFromDatabase(&catalogue, 255, 1, 0xFEEE, tx, rx, implementation));
        PGN pgn;
        QVERIFY(m_db->getPGNData(1, 0xFEEE, rx, pgn) && pgn.direction == rx);
        // The transmit PGN of the same number is untouched.
        QCOMPARE(pgnsOf(*m_db, 1),
                 QString("t feee own transmit (0): 999; r feee ET1 (2): 110 174"));
        SPN spn;
        QVERIFY(m_db->getSPNData(1, 0xFEEE, rx, 174, spn));
        QCOMPARE(QStringList({QString::number(spn.direction), QString::number(spn.implementation),
                              spn.varname}),
                 QStringList({QString::number(rx), QString::number(expected), "temp_var"}));
        QVERIFY(!m_db->copyPGNFromDatabase(&catalogue, 255, 1, 0xFEEE, rx, rx, 2));
        QVERIFY(!m_db->copyPGNFromDatabase(nullptr, 255, 1, 0xFEEE, tx, rx, 2));
    }

    void lineCopiesAndMovesKeepMessages()
    {
        addPgnWithSpns(*m_db, 1, makePgn(0xFEF1, tx, "CCVS", 2), {84, 70});
        addPgnWithSpns(*m_db, 1, makePgn(0xFEF1, rx, "CCVS in", 1), {84});
        ObjectDataBase::CANID message;
        message.name = "raw";
        message.direction = rx;
        QVERIFY(m_db->addCANID(1, 0x181, message));
        ObjectDataBase::DataElement element;
        element.name = "byte 0";
        element.direction = rx;
        element.canid = 0x181;
        element.number = 1;
        QVERIFY(m_db->addDataElement(1, 0x181, rx, 1, element));

        ObjectDataBase other;
        QVERIFY(other.createNewDataBase()
                && other.copyLineFromDatabase(m_db, 1, 0, 0x1000, 0xFFFF));
        const QString messages = "t fef1 CCVS (2): 84 70; r fef1 CCVS in (1): 84";
        QCOMPARE(pgnsOf(other, 0), messages);
        QVERIFY(m_db->moveNode(1, 9) && !m_db->existNode(1));
        QCOMPARE(pgnsOf(*m_db, 9), messages);
        ObjectDataBase::DataElement moved;
        QVERIFY(m_db->getDataElementData(9, 0x181, rx, 1, moved));
        QCOMPARE(moved, element);
        QCOMPARE(m_db->getCANIDName(9, 0x181, rx), QString("raw"));
    }

    void openRepairsFaultyMappingCount()
    {
        const QString path = m_dir.filePath("faulty_count.nwrp");
        // 0xFEF1 claims 3 SPNs and has 2; 0xF004 claims 257 (1 as 8 bits) and has 1; 0xFEF2
        // claims 1 and has none.
        QCOMPARE(
            writeOldJ1939Project(
                path, "101", "2",
                {"alter table SPNs1 add direction integer", "alter table SPNs1 add slot_df integer",
                 "insert into PGNs1 values(65265, 0, 6, 100, 0, 3, 85, 1, 0), "
                 "(65265, 0, 6, 100, 0, 2, 119, 1, 0), (61444, 0, 3, 20, 0, 257, 85, 3, 0), "
                 "(65266, 0, 6, 100, 0, 1, 85, 1, 0)",
                 "insert into SPNs1 values(65265, 84, 6, 2, 'v', '0', 2, 0, 8, 16, 85, 0), "
                 "(65265, 70, 100, 2, 'v', '0', 2, 0, 0, 2, 85, 0), "
                 "(65265, 84, 6, 2, 'v', '0', 2, 0, 8, 16, 119, 0), "
                 "(65265, 85, 6, 2, 'v', '0', 2, 0, 8, 16, 119, 0), "
                 "(61444, 190, 6, 2, 'v', '0', 2, 0, 24, 16, 85, 0)"}),
            QString());
        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        QCOMPARE(pgnsOf(db, 1), QString("t f004 EEC1 (257): 190; t fef1 CCVS (2): 70 84; "
                                        "t fef2 CCVS (0): ; r fef1 CCVS (2): 84 85"));
        // The repair leaves no SPN cache behind.
        QVERIFY(db.addSPN(1, 65265, tx, 1, makeSpn(65265, tx, 1, 40, "new")));
        QCOMPARE(db.getSPNs(1, 65265, tx), QList<quint32>({70, 84, 1}));
    }

    void openGivesSpnsTheirPgnDirection_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("lineType");
        QTest::addColumn<bool>("repaired");
        QTest::addRow("version 99, J1939 line") << QString("99") << "2" << true;
        QTest::addRow("version missing, line typed by the creating tool")
            << QString() << "" << true;
        QTest::addRow("version 99, CANopen line") << QString("99") << "1" << false;
        QTest::addRow("version 101") << QString("101") << "2" << false;
    }
    void openGivesSpnsTheirPgnDirection()
    {
        QFETCH(QString, version);
        QFETCH(QString, lineType);
        QFETCH(bool, repaired);
        const QString path = m_dir.filePath(
            QStringLiteral("direction_%1.nwrp").arg(QTest::currentDataTag()).replace(' ', '_'));
        // 0xFEF1 is transmitted only; 0xF004 exists in both directions, so its SPNs cannot be
        // assigned and stay as they are.
        QStringList rows = {"insert into PGNs1 values(65265, 0, 6, 100, 0, 2, 85, 1, 0), "
                            "(61444, 0, 3, 20, 0, 1, 85, 3, 0), (61444, 0, 3, 20, 0, 1, 119, 3, 0)",
                            "insert into SPNs1 values(65265, 84, 6, 2, 'v', '0', 2, 0, 8, 16), "
                            "(65265, 70, 100, 2, 'v', '0', 2, 0, 0, 2), "
                            "(61444, 190, 6, 2, 'v', '0', 2, 0, 24, 16)"};
        if (version == "101")
            rows << "alter table SPNs1 add direction integer"
                 << "update SPNs1 set direction = 119";
        QCOMPARE(writeOldJ1939Project(path, version, lineType, rows), QString());
        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        QCOMPARE(db.getSPNs(1, 65265, tx), repaired ? QList<quint32>({70, 84}) : QList<quint32>());
        QCOMPARE(db.getPGNMappingCount(1, 65265, tx), repaired ? 2u : 0u);
        QCOMPARE(db.getSPNs(1, 61444, tx), QList<quint32>());
        QCOMPARE(sqlRows(db, "select count(*) from SPNs1 where pgnnumber = 61444 and "
                             "direction is not null and direction != 119"),
                 QString("0"));
    }

    void edpDpKeysAreFolded()
    {
        addPgnWithSpns(*m_db, 1, makePgn(0xFE00, tx, "page 1"), {10, 11});
        addPgnWithSpns(*m_db, 1, makePgn(0xFE00, rx, "page 0"), {12});
        addPgnWithSpns(*m_db, 2, makePgn(0xEF00, rx, "taken"), {13});
        addPgnWithSpns(*m_db, 2, makePgn(0x2EF00, rx, "already there"), {14});
        QVERIFY(m_db->executeSql("update PGNs1 set edp_dp_key = 1 where direction = 85"));
        QVERIFY(m_db->executeSql("update PGNs2 set edp_dp_key = 2 where number = 61184"));

        m_db->fixEDP_DP_PGNs();
        QCOMPARE(pgnsOf(*m_db, 1), QString("t 1fe00 page 1 (0): 10 11; r fe00 page 0 (0): 12"));
        PGN pgn;
        QVERIFY(m_db->getPGNData(1, 0x1FE00, tx, pgn));
        QCOMPARE(pgn.edp_dp_key, quint8(0));
        // A target number that is already used is not doubled.
        QCOMPARE(pgnsOf(*m_db, 2), QString("r ef00 taken (0): 13; r 2ef00 already there (0): 14"));
    }

private:
    QTemporaryDir m_dir;
    ObjectDataBase *m_db = nullptr;
};

NW_TEST_MAIN(TestObjectDataBaseMessages)
#include "tst_objectdatabase_messages.moc"
