#include "dbtestutil.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace dbtest;

namespace {

const quint8 tx = ObjectDataBase::DirectionTransmit;
const quint8 rx = ObjectDataBase::DirectionReceive;
const quint32 pgnNumber = 0xFEF1;
const quint32 canId = 0x20000000 + 0x18FF0001;

} // namespace

// Every text of the message records, groups, signals and network variables goes in as the
// user typed it and comes back unchanged, also after saving, copying and reopening.
class TestObjectDataBaseMessagesText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();

private:
    void writeEverything(ObjectDataBase &db, const QString &text);
    void verifyMessages(ObjectDataBase &db, quint8 line, quint8 direction, const QString &text);
    void verifyEverything(ObjectDataBase &db, const QString &text);

    QTemporaryDir m_dir;
};

void TestObjectDataBaseMessagesText::initTestCase()
{
    initApplication();
    QVERIFY(m_dir.isValid());
}

void TestObjectDataBaseMessagesText::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("apostrophes") << "driver's seat ''x'' '";
    QTest::addRow("arg placeholders") << "%1%2 100% %L1 %%3";
    QTest::addRow("backslash escapes") << "\\\\server\\share \\' \\0";
    QTest::addRow("control characters") << "tab\tline\nreturn\r\n";
    QTest::addRow("non-latin scripts") << QString::fromUtf8("温度 Δθ Öltemperatur ñ");
    QTest::addRow("astral plane") << QString::fromUtf8("🚜 tractor 𝄞");
    QTest::addRow("statement injection") << "'); delete from PGNs1; --";
    QTest::addRow("named placeholders") << ":name ? :direction ?";
    QTest::addRow("blanks only") << "   ";
    QTest::addRow("empty") << "";
}

void TestObjectDataBaseMessagesText::writeEverything(ObjectDataBase &db, const QString &text)
{
    QVERIFY(db.addNode(1, ObjectDataBase::NODE_DATA_T()));
    QVERIFY(db.addNode(2, ObjectDataBase::NODE_DATA_T()));
    ObjectDataBase::PGN pgn;
    pgn.name = pgn.desc = text;
    pgn.direction = tx;
    QVERIFY(db.addPGN(1, pgnNumber, pgn));
    ObjectDataBase::SPN spn;
    spn.name = spn.desc = spn.defaultvalue = spn.varname = text;
    spn.pgnnumber = pgnNumber;
    spn.direction = tx;
    spn.spnnumber = 84;
    QVERIFY(db.addSPN(1, pgnNumber, tx, 84, spn));
    QVERIFY(db.copyPGNFromDatabase(&db, 1, 2, pgnNumber, tx, rx, 255));

    ObjectDataBase::CANID message;
    message.name = message.desc = text;
    message.direction = tx;
    QVERIFY(db.addCANID(1, canId, message));
    ObjectDataBase::DataElement element;
    element.name = element.desc = element.defaultvalue = element.varname = text;
    element.canid = canId;
    element.direction = tx;
    element.number = 3;
    QVERIFY(db.addDataElement(1, canId, tx, 3, element));

    ObjectDataBase::SIGNAL_T signal;
    signal.name = signal.accesstype = signal.defaultvalue = text;
    QVERIFY(db.addSignal(1, signal) != 0);
    QVERIFY(db.addSignalGroup(text) != 0);

    QVERIFY(db.addGroup(QStringLiteral("old")));
    QVERIFY(db.renameGroup(text, QStringLiteral("old")));
    QVERIFY(db.addNodeToGroup(text, 2));
    QVERIFY(db.addGroup(text + QLatin1String(" second")));
    QVERIFY(db.addNVObj(1, 0xA200, false, text) != 0);
}

void TestObjectDataBaseMessagesText::verifyMessages(ObjectDataBase &db, quint8 line,
                                                    quint8 direction, const QString &text)
{
    ObjectDataBase::PGN pgn;
    QVERIFY(db.getPGNData(line, pgnNumber, direction, pgn));
    QCOMPARE(pgn.name, text);
    QCOMPARE(pgn.desc, text);
    QCOMPARE(db.getPGNName(line, pgnNumber, direction), text);
    for (bool cached : {false, true}) {
        if (cached)
            db.cacheAllSpnDataForLine(line);
        ObjectDataBase::SPN spn;
        QVERIFY(db.getSPNData(line, pgnNumber, direction, 84, spn));
        for (const QString &field : {spn.name, spn.desc, spn.defaultvalue, spn.varname})
            QCOMPARE(field, text);
    }
    db.clearAllCachedSpnData();
}

void TestObjectDataBaseMessagesText::verifyEverything(ObjectDataBase &db, const QString &text)
{
    verifyMessages(db, 1, tx, text);
    verifyMessages(db, 2, rx, text);

    ObjectDataBase::CANID message;
    QVERIFY(db.getCANIDData(1, canId, tx, message));
    QCOMPARE(message.name, text);
    QCOMPARE(message.desc, text);
    QCOMPARE(db.getCANIDName(1, canId, tx), text);
    ObjectDataBase::DataElement element;
    QVERIFY(db.getDataElementData(1, canId, tx, 3, element));
    for (const QString &field : {element.name, element.desc, element.defaultvalue,
                                 element.varname})
        QCOMPARE(field, text);

    const QList<quint32> sigids = db.getSignals(1);
    QCOMPARE(sigids.size(), 1);
    ObjectDataBase::SIGNAL_T signal;
    QVERIFY(db.getSignalData(1, sigids.first(), signal));
    QCOMPARE(signal.name, text);
    QCOMPARE(signal.accesstype, text);
    QCOMPARE(signal.defaultvalue, text);
    const QList<ObjectDataBase::SignalGroupData> signalGroups = db.getSignalGroups();
    QCOMPARE(signalGroups.size(), 1);
    QCOMPARE(signalGroups.first().name, text);
    QCOMPARE(db.addSignalGroup(text), signalGroups.first().sigid);

    QCOMPARE(db.getGroups(), QStringList({text, text + QLatin1String(" second")}));
    QCOMPARE(db.getNodesInGroup(text), QList<quint8>{2});
    QCOMPARE(db.findGroup(2), text);
    QCOMPARE(db.getSubIndexName(1, 0xA200, 1, false), text);
}

void TestObjectDataBaseMessagesText::roundTrip()
{
    QFETCH(QString, text);
    const QString path =
        m_dir.filePath(QStringLiteral("messages_%1.nwrp").arg(QTest::currentDataTag()));
    {
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        writeEverything(db, text);
        if (QTest::currentTestFailed())
            return;
        verifyEverything(db, text);
        QVERIFY(db.saveDataBase(path));
    }
    ObjectDataBase reopened;
    QVERIFY(reopened.openDataBase(path, false));
    verifyEverything(reopened, text);
    ObjectDataBase copy;
    QVERIFY(copy.createNewDataBase());
    QVERIFY(copy.addNode(2, ObjectDataBase::NODE_DATA_T()));
    QVERIFY(copy.copyLineFromDatabase(&reopened, 2, 2, 0x1000, 0xFFFF));
    verifyMessages(copy, 2, rx, text);

    // The file holds the plain text.
    RawFile raw(path);
    QCOMPARE(raw.value("select count(*) from Strings where string = ?", {text}).toInt(), 1);
    QCOMPARE(raw.value("select varname from SPNs2").toString(), text);
    QCOMPARE(raw.value("select defaultvalue from DataElements1").toString(), text);
    QCOMPARE(raw.value("select accesstype from Signals").toString(), text);
    QCOMPARE(raw.value("select name from SignalGroups").toString(), text);
    QCOMPARE(raw.value("select nodeidlist from Groups where name = ?", {text}).toString(),
             QString("2"));
}

QTEST_GUILESS_MAIN(TestObjectDataBaseMessagesText)
#include "tst_objectdatabase_messages_text.moc"
