#include "dictionaryfixture.h"
#include "nwtest.h"
#include "panelkit/canopendatatype.h"
#include "projectbuilder.h"
#include "transform/dictionaryeditor.h"

#include <QSignalSpy>

using namespace dictionaryfixture;

class TestDictionaryEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }
    void init()
    {
        db = std::make_unique<ObjectDataBase>();
        QVERIFY(db->createNewDataBase());
        buildLine(*db, 0);
    }

    void renumberedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::addRow("digits at the end") << "Channel 3" << 4 << "Channel 4";
        QTest::addRow("more than one digit") << "Channel 9" << 10 << "Channel 10";
        QTest::addRow("text after the digits goes") << "Out3_level" << 4 << "Out4";
        QTest::addRow("no digits") << "Output" << 5 << "Subindex 5";
    }
    void renumberedName()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QTEST(DictionaryEditor::renumberedName(name, quint8(number)), "expected");
    }

    void shiftSubs_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<quint8>>("before");
        QTest::addColumn<QList<quint8>>("after");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("mappingWord");
        QTest::addRow("increment 2 of 0..4")
            << true << 2 << QList<quint8>{0, 1, 2, 3, 4} << QList<quint8>{0, 1, 3, 4, 5} << "5"
            << "0x20000308";
        QTest::addRow("decrement into a gap")
            << false << 3 << QList<quint8>{0, 1, 3, 4} << QList<quint8>{0, 1, 2, 3} << "3"
            << "0x20000208";
    }

    // Entries keep their content when they move, and the TPDO mapping entry that mapped
    // channel 2 follows it.
    void shiftSubs()
    {
        QFETCH(bool, up);
        QFETCH(int, selected);
        QFETCH(QList<quint8>, before);
        DictionaryEditor editor(db.get());
        if (!before.contains(2)) {
            // A gap at 2; the TPDO maps channel 3 instead.
            QVERIFY(db->delSubIndex(0, 0x2000, 2));
            db->addSubIndex(0, 0x1A00, 1, entry("Mapping entry 1", 7, "0x20000308"));
        }
        QCOMPARE(db->getSubIndices(0, 0x2000), before);
        const QString movedName = stored(*db, 0x2000, quint8(selected)).name;
        QVERIFY2(editor.shiftSubs(0, 0x2000, quint8(selected), up),
                 qPrintable(editor.errorString()));
        QTEST(db->getSubIndices(0, 0x2000), "after");
        QCOMPARE(stored(*db, 0x2000, quint8(up ? selected + 1 : selected - 1)).name, movedName);
        QTEST(defaultValue(*db, 0, 0x2000, 0), "count");
        QTEST(defaultValue(*db, 0, 0x1A00, 1), "mappingWord");
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 2), QStringLiteral("0x21000010"));
    }

    void shiftRefusals_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("message");
        QTest::addRow("sub-index 0")
            << true << 0 << "Sub-index 0 holds the number of entries and cannot be moved.";
        QTest::addRow("decrement onto an entry")
            << false << 3
            << "Sub-index 0x2000:2 is in use; moving the entries down would overwrite it.";
        QTest::addRow("missing entry") << true << 9 << "Sub-index 0x2000:9 does not exist.";
    }
    void shiftRefusals()
    {
        QFETCH(bool, up);
        QFETCH(int, selected);
        DictionaryEditor editor(db.get());
        const QMap<quint32, Sub> before = snapshot(*db, 0);
        QVERIFY(!editor.shiftSubs(0, 0x2000, quint8(selected), up));
        QTEST(editor.errorString(), "message");
        QCOMPARE(snapshot(*db, 0), before);
    }

    void duplicateAndAppendSub()
    {
        DictionaryEditor editor(db.get());
        Sub channel = stored(*db, 0x2000, 4);
        channel.varname = QStringLiteral("chan4");
        db->addSubIndex(0, 0x2000, 4, channel);
        QCOMPARE(editor.appendSubIndex(0, 0x2000), quint8(5));
        QCOMPARE(stored(*db, 0x2000, 5).name + '/' + stored(*db, 0x2000, 5).varname,
                 QStringLiteral("Channel 5/chan5"));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("5"));
        // Duplicating 1 fills the slot after the first run of used numbers: 6.
        QCOMPARE(editor.duplicateSub(0, 0x2000, 1), quint8(6));
        QCOMPARE(stored(*db, 0x2000, 6).name, QStringLiteral("Channel 1"));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("6"));
        QVERIFY(editor.copySubTo(0, 0x2000, 2, 9));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("9"));
        QVERIFY(!editor.copySubTo(0, 0x2000, 2, 9));
        QCOMPARE(editor.errorString(), QStringLiteral("Sub-index 0x2000:9 is not free."));
        QCOMPARE(editor.freeSubIndices(0, 0x2000).mid(0, 3), (QList<quint8>{7, 8, 10}));
        // A mapping object keeps its count of active entries.
        QCOMPARE(editor.appendSubIndex(0, 0x1A00), quint8(3));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 0), QStringLiteral("2"));
        // Entries of a VAR cannot be duplicated.
        QCOMPARE(editor.duplicateSub(0, 0x2100, 0), DictionaryEditor::NoSubIndex);
    }

    void moveSubToAnotherObject()
    {
        DictionaryEditor editor(db.get());
        buildLine(*db, 1);
        const Sub moved = stored(*db, 0x2000, 4);
        QVERIFY(editor.moveSub(0, 0x2000, 4, 1, 0x2200, 7));
        QCOMPARE(stored(*db, 0x2200, 7, 1), moved);
        QVERIFY(!db->existSubIndex(0, 0x2000, 4));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("3"));
        QCOMPARE(defaultValue(*db, 1, 0x2200, 0), QStringLiteral("7"));
    }

    void deleteSubKeepsCountInStep()
    {
        DictionaryEditor editor(db.get());
        QVERIFY(editor.deleteSub(0, 0x2000, 4));
        QCOMPARE(db->getSubIndices(0, 0x2000), (QList<quint8>{0, 1, 2, 3}));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("3"));
        QVERIFY(!editor.deleteSub(0, 0x2000, 4));
        QCOMPARE(editor.errorString(), QStringLiteral("Sub-index 0x2000:4 does not exist."));
    }

    void sharedObjectsFollowInEveryLine()
    {
        DictionaryEditor editor(db.get());
        buildLine(*db, 1);
        db->addNode(2, ObjectDataBase::NODE_DATA_T());
        addVar(*db, 2, 0x2101, QStringLiteral("Occupied"), 5, QStringLiteral("1"));
        addArray(*db, 0, 0x2F00, 2, QStringLiteral("Shared"));
        Sub zero = stored(*db, 0x2F00, 0);
        zero.sharedlines = true;
        QVERIFY(editor.storeSubIndex(0, 0x2F00, 0, zero, true));
        QVERIFY(db->existIndex(1, 0x2F00) && db->existIndex(2, 0x2F00));
        Sub channel = stored(*db, 0x2F00, 1);
        channel.sharedlines = true;
        channel.defaultvalue = QStringLiteral("42");
        QVERIFY(editor.storeSubIndex(0, 0x2F00, 1, channel, true));
        QCOMPARE(defaultValue(*db, 2, 0x2F00, 1), QStringLiteral("42"));
        // A shared VAR duplicated: copies where the index is free, a note where it is taken.
        Sub speed = stored(*db, 0x2100, 0);
        speed.sharedlines = true;
        db->addSubIndex(0, 0x2100, 0, speed);
        QCOMPARE(editor.duplicateIndex(0, 0x2100, true), quint16(0x2101));
        QVERIFY(db->existIndex(1, 0x2101));
        QCOMPARE(db->getIndexName(2, 0x2101), QStringLiteral("Occupied"));
        QCOMPARE(editor.errorString(), QStringLiteral("Index 0x2101 is already used in line 2; the "
                                                      "shared copy was not made there."));
        QVERIFY(editor.deleteIndex(0, 0x2F00));
        for (quint8 line : {0, 1, 2})
            QVERIFY(!db->existIndex(line, 0x2F00));
        // A shared object below 0x1F80 is not possible: the flag is cleared on store.
        Sub identity = stored(*db, 0x1018, 1);
        identity.sharedlines = true;
        QVERIFY(editor.storeSubIndex(0, 0x1018, 1, identity, true));
        QVERIFY(!stored(*db, 0x1018, 1).sharedlines);
    }

    void cutAndPasteAcrossLinesKeepsEveryField()
    {
        DictionaryEditor editor(db.get());
        db->addNode(3, ObjectDataBase::NODE_DATA_T());
        Index settings = object(0x2200);
        settings.description = QStringLiteral("O'Neil's \"gain\" 100%");
        settings.device_class = QStringLiteral("man");
        settings.fwsupported = true;
        settings.metadata.insert(QStringLiteral("eds_define"), QStringLiteral("variantA"));
        db->addIndex(0, 0x2200, settings);
        Sub gain = stored(*db, 0x2200, 2);
        gain.denotation = QStringLiteral("Gain of the loop");
        gain.metadata.insert(QStringLiteral("unit"), QStringLiteral("dB"));
        gain.nvstorage = true;
        gain.signalid = 17;
        gain.lowlimit = -5;
        gain.uplimit = 5;
        gain.limitineds = true;
        gain.description = QStringLiteral("line one\nline two");
        db->addSubIndex(0, 0x2200, 2, gain);
        const QMap<quint8, Sub> before{
            {0, stored(*db, 0x2200, 0)}, {1, stored(*db, 0x2200, 1)}, {2, stored(*db, 0x2200, 2)}};
        QVERIFY(editor.cutToClipboard(0, 0x2200));
        QVERIFY(!db->existIndex(0, 0x2200) && editor.hasClipboardObject());
        QVERIFY(editor.pasteFromClipboard(3, 0x2200, false));
        QCOMPARE(object(0x2200, 3), settings);
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            const Sub copy = stored(*db, 0x2200, it.key(), 3);
            QCOMPARE(copy, it.value());
            QCOMPARE(copy.denotation, it.value().denotation);
            QCOMPARE(copy.signalid, it.value().signalid);
        }
    }

    void pasteRefusesOccupiedIndex()
    {
        DictionaryEditor editor(db.get());
        QVERIFY(!editor.pasteFromClipboard(0, 0x2300, false));
        QCOMPARE(editor.errorString(),
                 QStringLiteral("The clipboard holds no object. Copy or cut an object first."));
        QVERIFY(editor.copyToClipboard(0, 0x2100));
        const QString name = db->getIndexName(0, 0x2000);
        QVERIFY(!editor.pasteFromClipboard(0, 0x2000, false));
        QCOMPARE(editor.errorString(), QStringLiteral("Object 0x2000 already exists."));
        QCOMPARE(db->getIndexName(0, 0x2000), name);
        QVERIFY(editor.pasteFromClipboard(0, 0x2000, true));
        QCOMPARE(db->getIndexName(0, 0x2000), QStringLiteral("Speed"));
        // The clipboard keeps the object for the next paste.
        QVERIFY(editor.pasteFromClipboard(0, 0x2300, false));
        QCOMPARE(db->getIndexName(0, 0x2300), QStringLiteral("Speed"));
    }

    void objectTypeChangeCarriesLimitsAndMapping()
    {
        DictionaryEditor editor(db.get());
        const QMap<quint32, Sub> others = snapshot(*db, 0, {0x2000, 0x1A00});
        Index channels = object(0x2000);
        channels.datatype = 3; // INTEGER16
        QVERIFY2(editor.storeIndex(0, 0x2000, channels), qPrintable(editor.errorString()));
        for (quint8 number : {1, 2, 3, 4}) {
            const Sub channel = stored(*db, 0x2000, number);
            QCOMPARE(QStringLiteral("%1 %2..%3")
                         .arg(channel.datatype)
                         .arg(channel.lowlimit)
                         .arg(channel.uplimit),
                     QStringLiteral("3 -32768..32767"));
        }
        QCOMPARE(stored(*db, 0x2000, 0).datatype, quint16(5));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000210"));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 2), QStringLiteral("0x21000010"));
        QCOMPARE(snapshot(*db, 0, {0x2000, 0x1A00}), others);
    }

    void objectTypeChangeRefusedWhenDefaultDoesNotFit()
    {
        DictionaryEditor editor(db.get());
        Sub channel = stored(*db, 0x2000, 3);
        channel.defaultvalue = QStringLiteral("200");
        db->addSubIndex(0, 0x2000, 3, channel);
        const QMap<quint32, Sub> before = snapshot(*db, 0);
        Index channels = object(0x2000);
        channels.datatype = 2; // INTEGER8
        QVERIFY(!editor.storeIndex(0, 0x2000, channels));
        QCOMPARE(
            editor.errorString(),
            QStringLiteral("The data type cannot change: the default value of sub-index 3 does "
                           "not fit. 200 lies outside the range of INTEGER8 (-128 to 127)."));
        QCOMPARE(snapshot(*db, 0), before);
        QCOMPARE(object(0x2000).datatype, quint16(5));
    }

    void subIndexTypeChangeTouchesOnlyItsMappings()
    {
        DictionaryEditor editor(db.get());
        const QMap<quint32, Sub> others = snapshot(*db, 0, {0x2100, 0x1A00});
        Sub speed = stored(*db, 0x2100, 0);
        speed.datatype = 7; // UNSIGNED32
        QVERIFY(editor.storeSubIndex(0, 0x2100, 0, speed, true));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 2), QStringLiteral("0x21000020"));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000208"));
        QVERIFY(stored(*db, 0x2100, 0).changedbyuser);
        QCOMPARE(snapshot(*db, 0, {0x2100, 0x1A00}), others);
        speed.datatype = CAN::DT_VISIBLE_STRING;
        speed.size = 6;
        QVERIFY(editor.storeSubIndex(0, 0x2100, 0, speed, true));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 2), QStringLiteral("0x21000030"));
    }

    void storeSubIndexKeepsVarObjectInStep()
    {
        DictionaryEditor editor(db.get());
        Sub speed = stored(*db, 0x2100, 0);
        speed.name = QStringLiteral("Motor speed");
        speed.datatype = 4;
        QVERIFY(editor.storeSubIndex(0, 0x2100, 0, speed, true));
        QCOMPARE(object(0x2100).name + '/' + QString::number(object(0x2100).datatype),
                 QStringLiteral("Motor speed/4"));
        // A RECORD's name is its own.
        Sub zero = stored(*db, 0x2200, 0);
        zero.name = QStringLiteral("Count");
        QVERIFY(editor.storeSubIndex(0, 0x2200, 0, zero, true));
        QCOMPARE(db->getIndexName(0, 0x2200), QStringLiteral("Settings"));
    }

    void unchangedSubIndexWritesNothing()
    {
        DictionaryEditor editor(db.get());
        QSignalSpy spy(db.get(), &ObjectDataBase::updateNotify);
        QVERIFY(editor.storeSubIndex(0, 0x2000, 2, stored(*db, 0x2000, 2), true));
        QVERIFY(editor.storeIndex(0, 0x2000, object(0x2000)));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!stored(*db, 0x2000, 2).changedbyuser);
    }

    void bulkCommands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("expert");
        QTest::addColumn<int>("changed");
        using C = DictionaryEditor::BulkCommand;
        // Manufacturer entries: 0x2000:0..4, 0x2100:0, 0x2200:0..2 (nine); with expert mode
        // also 0x1018:0..1, 0x1800:0..2, 0x1A00:0..2 (eight more).
        QTest::addRow("clear default, manufacturer only") << int(C::ClearDefault) << false << 9;
        QTest::addRow("clear default, expert") << int(C::ClearDefault) << true << 17;
        QTest::addRow("set default changes nothing") << int(C::SetDefault) << true << 0;
        QTest::addRow("set limit check") << int(C::SetLimitCheck) << false << 9;
        // Sub-index 0 of the array and the record and the string entry keep theirs; the
        // application variable 0x2200:2 becomes managed.
        QTest::addRow("managed variables") << int(C::ManagedVariables) << false << 1;
    }
    void bulkCommands()
    {
        QFETCH(int, command);
        QFETCH(bool, expert);
        DictionaryEditor editor(db.get());
        QTEST(editor.applyBulkCommand(0, DictionaryEditor::BulkCommand(command), expert),
              "changed");
        QCOMPARE(editor.applyBulkCommand(0, DictionaryEditor::BulkCommand(command), expert), 0);
    }

private:
    Index object(quint16 index, quint8 line = 0)
    {
        Index data;
        db->getIndexData(line, index, data);
        return data;
    }

    std::unique_ptr<ObjectDataBase> db;
};

NW_TEST_MAIN(TestDictionaryEditor)
#include "tst_dictionaryeditor.moc"
