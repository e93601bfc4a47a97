#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;

namespace {

const quint8 tx = ObjectDataBase::DirectionTransmit;
const quint8 rx = ObjectDataBase::DirectionReceive;
const quint32 pgnNumber = 0xFEF1;
const quint32 canId = 0x20000000 + 0x18FF0001;

// Every field holds text.
void expectAll(const QStringList &fields, const QString &text)
{
    for (int i = 0; i < fields.size(); ++i)
        QVERIFY2(fields.at(i) == text,
                 qPrintable(QStringLiteral("field %1: ").arg(i) + fields.at(i)));
}

} // namespace

// Any text a user or an imported file can hold goes through every setter of the dictionary,
// the settings, the message records, signals and groups and comes back unchanged, also after
// saving, copying and reopening, and the file holds exactly that text.
class TestObjectDataBaseText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("single quote") << "O'Brien's";
        QTest::addRow("doubled quotes") << "it''s ''quoted'' '";
        QTest::addRow("placeholder order") << "%2%1%3 %L1 %% 100%";
        QTest::addRow("named placeholders") << ":name ? :direction ?";
        QTest::addRow("backslashes") << "C:\\temp\\new \\' \\n \\\\server\\share \\0";
        QTest::addRow("line feeds and tabs") << "first\nsecond\r\nthird\tcolumn";
        QTest::addRow("umlauts") << QString::fromUtf8("Grüße aus Köln, Ärger, Öl, Übermaß");
        QTest::addRow("non-latin scripts") << QString::fromUtf8("温度 Δθ Öltemperatur ñ");
        QTest::addRow("astral plane") << QString::fromUtf8("engine 🚗 🔥 𝄞 ok");
        QTest::addRow("sql text") << "x'); drop table Strings; --";
        QTest::addRow("double quotes") << "\"quoted\" and \"\"";
        QTest::addRow("leading and trailing blanks") << "  padded  ";
        QTest::addRow("blanks only") << "   ";
        QTest::addRow("empty") << "";
        QTest::addRow("long ASCII") << QString(3000, QLatin1Char('a'));
        QTest::addRow("long ASCII ending in a letter beyond it")
            << QString(256, QLatin1Char('b')) + QChar(0xE9);
        QTest::addRow("control characters") << QString::fromLatin1("\x01 \x1f \x7f", 7);
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        const QString path =
            m_dir.filePath(QStringLiteral("text_%1.nwrp").arg(QTest::currentDataTag()));
        {
            ObjectDataBase db;
            QVERIFY(db.createNewDataBase());
            writeEverything(db, text);
            if (QTest::currentTestFailed())
                return;
            verifyEverything(db, text);
            QVERIFY(db.saveDataBase(path));
        }
        {
            ObjectDataBase reopened;
            QVERIFY(reopened.openDataBase(path, false));
            verifyEverything(reopened, text);
            ObjectDataBase copy;
            QVERIFY(copy.createNewDataBase() && copy.addNode(2, {})
                    && copy.copyLineFromDatabase(&reopened, 2, 2, 0x1000, 0xFFFF));
            verifyMessages(copy, 2, rx, text);
        }
        // The file holds the text itself: no doubled quotes, no escapes.
        RawFile raw(path);
        QCOMPARE(raw.value("select count(*) from Strings where string = ?", {text}).toInt(), 1);
        QCOMPARE(raw.value("select value from GeneralSettings where item = ?", {text}).toString(),
                 text);
        for (const char *sql :
             {"select varname from SubObjects1 where subindex = 1",
              "select name from Nodes where nodeId = 1", "select varname from SPNs2",
              "select defaultvalue from DataElements1", "select accesstype from Signals",
              "select name from SignalGroups"})
            QVERIFY2(raw.value(sql).toString() == text, sql);
        QCOMPARE(raw.value("select nodeidlist from Groups where name = ?", {text}).toString(),
                 QString("2"));
    }

private:
    void writeEverything(ObjectDataBase &db, const QString &text)
    {
        ObjectDataBase::NODE_DATA_T node;
        node.name = node.iconpath = node.edspath = node.dcfpath = node.xddpath = text;
        node.prefix = node.outputpath = text;
        QVERIFY(db.addNode(1, node) && db.addNode(2, ObjectDataBase::NODE_DATA_T()));

        ObjectDataBase::INDEX_DATA_T object;
        object.name = object.description = object.device_class = text;
        object.metadata.insert(text, text);
        object.metadata.insert(QStringLiteral("plain"), text);
        QVERIFY(db.addIndex(1, 0x2000, object));
        QVERIFY(db.addIndex(1, 0x2001, ObjectDataBase::INDEX_DATA_T()));
        QVERIFY(db.setIndexName(1, 0x2001, text));

        ObjectDataBase::SUBINDEX_DATA_T sub;
        sub.name = sub.description = sub.denotation = sub.varname = text;
        sub.defaultvalue = sub.currentvalue = sub.allowedaccesstypes = sub.accesstype = text;
        sub.metadata.insert(text, text);
        QVERIFY(db.addSubIndex(1, 0x2000, 1, sub));
        QVERIFY(db.addSubIndex(1, 0x2001, 0, ObjectDataBase::SUBINDEX_DATA_T()));
        QVERIFY(db.setSubIndexName(1, 0x2001, 0, text));
        QVERIFY(db.setSubIndexParameterName(1, 0x2001, 0, text + QLatin1String(" parameter")));
        QVERIFY(db.setSubIndexValue(1, 0x2001, 0, text + QLatin1String(" default")));
        QVERIFY(db.setSubIndexCurrentValue(1, 0x2001, 0, text + QLatin1String(" current")));
        QVERIFY(db.saveSubIndexMetaData(1, 0x2001, 0, {{QStringLiteral("k"), text}})
                && db.saveIndexMetaData(1, 0x2001, {{text, QStringLiteral("v")}}));

        QVERIFY(db.setGeneralSettingsValue(text, text) && db.setEnergyBusSettingsValue(text, text)
                && db.setJ1939SettingsValue(text, text) && db.setMiscSettingsValue(text, text));
        db.setDescriptionSettingsLine(1);
        QVERIFY(db.setDescriptionSettingsValue(text, text));
        db.setDescriptionSettingsLine(0);
        writeMessages(db, text);
    }

    void writeMessages(ObjectDataBase &db, const QString &text)
    {
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
        QVERIFY(db.addSignal(1, signal) != 0 && db.addSignalGroup(text) != 0);

        QVERIFY(db.addGroup(QStringLiteral("old")) && db.renameGroup(text, QStringLiteral("old")));
        QVERIFY(db.addNodeToGroup(text, 2) && db.addGroup(text + QLatin1String(" second")));
        QVERIFY(db.addNVObj(2, 0xA200, false, text) != 0);
    }

    void verifyEverything(ObjectDataBase &db, const QString &text)
    {
        ObjectDataBase::NODE_DATA_T node;
        ObjectDataBase::INDEX_DATA_T object;
        ObjectDataBase::SUBINDEX_DATA_T sub;
        QVERIFY(db.getNodeData(1, node) && db.getIndexData(1, 0x2000, object)
                && db.getSubIndexData(1, 0x2000, 1, sub));
        expectAll({node.name, node.iconpath, node.edspath, node.dcfpath, node.xddpath, node.prefix,
                   node.outputpath, object.name, object.description, object.device_class,
                   object.metadata.value(text), db.getIndexName(1, 0x2001)},
                  text);
        expectAll({object.metadata.value(QStringLiteral("plain")), sub.name, sub.description,
                   sub.denotation, sub.varname, sub.defaultvalue, sub.currentvalue,
                   sub.allowedaccesstypes, sub.accesstype, sub.metadata.value(text)},
                  text);
        expectAll({db.getGeneralSettingsValue(text), db.getEnergyBusSettingsValue(text),
                   db.getJ1939SettingsValue(text), db.getMiscSettingsValue(text)},
                  text);
        // Object 0x2001 has the default (empty) class.
        QCOMPARE(db.getIndicesByProperty(1, "device_class", text),
                 text.isEmpty() ? QList<quint16>({0x2000, 0x2001}) : QList<quint16>{0x2000});
        QCOMPARE(db.getIndicesByProperty(1, "name", text), QList<quint16>({0x2000, 0x2001}));

        // An empty denotation gives way to the parameter name.
        QCOMPARE(db.getSubIndexName(1, 0x2001, 0, true),
                 text.isEmpty() ? QStringLiteral(" parameter") : text);
        QCOMPARE(db.getSubIndexName(1, 0x2001, 0, false), text + QLatin1String(" parameter"));
        QCOMPARE(db.getSubIndexValue(1, 0x2001, 0), text + QLatin1String(" default"));
        QCOMPARE(db.getSubIndexCurrentValue(1, 0x2001, 0), text + QLatin1String(" current"));
        QVERIFY(db.getSubIndexData(1, 0x2001, 0, sub));
        QCOMPARE(sub.metadata, ObjectDataBase::MetaData({{QStringLiteral("k"), text}}));
        QList<ObjectDataBase::MetaData> maps;
        QVERIFY(db.getAllIndexMetaData(1, maps));
        QVERIFY(maps.contains(ObjectDataBase::MetaData({{text, QStringLiteral("v")}})));
        QCOMPARE(db.getSubsByProperty(1, "varname", text),
                 QList<ObjectDataBase::SubAddress>({{0x2000, 1}}));
        QVERIFY(db.existSubIndexName(1, text));

        QVERIFY(db.existGeneralSettingsValue(text));
        db.setDescriptionSettingsLine(1);
        QCOMPARE(db.getDescriptionSettingsValue(text), text);
        db.setDescriptionSettingsLine(0);
        QVERIFY(db.getDescriptionSettingsKeys().contains(text + QLatin1String("_1")));
        verifyOtherRecords(db, text);
    }

    void verifyMessages(ObjectDataBase &db, quint8 line, quint8 direction, const QString &text)
    {
        ObjectDataBase::PGN pgn;
        QVERIFY(db.getPGNData(line, pgnNumber, direction, pgn));
        expectAll({pgn.name, pgn.desc, db.getPGNName(line, pgnNumber, direction)}, text);
        for (bool cached : {false, true}) {
            if (cached)
                db.cacheAllSpnDataForLine(line);
            ObjectDataBase::SPN spn;
            QVERIFY(db.getSPNData(line, pgnNumber, direction, 84, spn));
            expectAll({spn.name, spn.desc, spn.defaultvalue, spn.varname}, text);
        }
        db.clearAllCachedSpnData();
    }

    void verifyOtherRecords(ObjectDataBase &db, const QString &text)
    {
        verifyMessages(db, 1, tx, text);
        verifyMessages(db, 2, rx, text);

        ObjectDataBase::CANID message;
        ObjectDataBase::DataElement element;
        const QList<quint32> sigids = db.getSignals(1);
        ObjectDataBase::SIGNAL_T signal;
        const QList<ObjectDataBase::SignalGroupData> signalGroups = db.getSignalGroups();
        QVERIFY(db.getCANIDData(1, canId, tx, message)
                && db.getDataElementData(1, canId, tx, 3, element) && sigids.size() == 1
                && db.getSignalData(1, sigids.first(), signal) && signalGroups.size() == 1);
        expectAll({message.name, message.desc, db.getCANIDName(1, canId, tx), element.name,
                   element.desc, element.defaultvalue, element.varname, signal.name,
                   signal.accesstype, signal.defaultvalue, signalGroups.first().name,
                   db.findGroup(2), db.getSubIndexName(2, 0xA200, 1, false)},
                  text);
        QCOMPARE(db.addSignalGroup(text), signalGroups.first().sigid);
        QCOMPARE(db.getGroups(), QStringList({text, text + QLatin1String(" second")}));
        QCOMPARE(db.getNodesInGroup(text), QList<quint8>{2});
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestObjectDataBaseText)
#include "tst_objectdatabase_text.moc"
