#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

namespace {

void setEntry(ObjectDataBase &db, quint16 mapping, quint8 sub, const QString &value)
{
    QVERIFY(db.setSubIndexValue(0, mapping, sub, value));
}

// A 16-bit variable at 0x2001 that PDOs may map.
void addWord(ObjectDataBase &db, const QString &access)
{
    addVar(db, 0, 0x2001, variable(6, access, QStringLiteral("word")));
}

// Sub-index 0 and every entry of 0x1A00 become writable: dynamic mapping.
void makeTpdoDynamic(ObjectDataBase &db)
{
    for (quint8 sub : db.getSubIndices(0, 0x1A00)) {
        changeSub(db, 0x1A00, sub, [](Sub &s) {
            s.accesstype = QStringLiteral("rw");
            s.implementation = 0;
        });
    }
}

} // namespace

// PDO and SRDO rules: communication and mapping objects in pairs, mapped objects, sizes,
// access rights, bit-wise and dynamic mapping, and the COB-ID of empty dynamic TPDOs.
class TestModelCheckerMapping : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void pdoRules_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("communication object missing", [](ObjectDataBase &db) { db.delIndex(0, 0x1800); });
        ruleRow("mapping object missing", [](ObjectDataBase &db) { db.delIndex(0, 0x1600); });
        ruleRow("COB-ID and transmission type without EDS default", [](ObjectDataBase &db) {
            changeSub(db, 0x1800, 1, [](Sub &s) { s.writedefaulttoeds = false; });
            changeSub(db, 0x1800, 2, [](Sub &s) { s.defaultineds = false; });
        });
        ruleRow("mapping table without entries", [](ObjectDataBase &db) {
            addPdoCommunication(db, 0, 0x1801, "$NODEID+0x280");
            addMapping(db, 0, 0x1A01, {});
        });
        ruleRow("entry with another access type", [](ObjectDataBase &db) {
            changeSub(db, 0x1A00, 1, [](Sub &s) { s.accesstype = "ro"; });
        });
        ruleRow("mapped object missing",
                [](ObjectDataBase &db) { setEntry(db, 0x1A00, 1, "0x21000108"); });
        ruleRow("dummy entries are not looked up",
                [](ObjectDataBase &db) { setEntry(db, 0x1600, 1, "0x00050008"); });
        // Entries are signed 32-bit numbers: objects from 0x8000 on (a process image) read 0
        // and are not looked up.
        ruleRow("process image entry is not looked up",
                [](ObjectDataBase &db) { setEntry(db, 0x1A00, 1, "0xA0000108"); });
        ruleRow("entry beyond 32 bits is not looked up",
                [](ObjectDataBase &db) { setEntry(db, 0x1A00, 1, "0x120000108"); });
        ruleRow("mapping not allowed", [](ObjectDataBase &db) {
            changeSub(db, 0x2000, 1, [](Sub &s) { s.pdomapping = 0; });
        });
        ruleRow("mapped length too small", [](ObjectDataBase &db) {
            addWord(db, "ro");
            setEntry(db, 0x1A00, 1, "0x20010008");
        });
        ruleRow("mapped length too large",
                [](ObjectDataBase &db) { setEntry(db, 0x1A00, 1, "0x20000110"); });
        ruleRow("string mapped with its stored size", [](ObjectDataBase &db) {
            Sub text = variable(9, "ro", "text");
            text.size = 4;
            addVar(db, 0, 0x2001, text);
            setEntry(db, 0x1A00, 1, "0x20010020");
        });
        ruleRow("RPDO maps read-only, constant and rwr objects", [](ObjectDataBase &db) {
            addWord(db, "rwr");
            addMapping(db, 0, 0x1600, {"0x20000108", "0x10000020", "0x20010010"});
            changeSub(db, 0x1000, 0, [](Sub &s) { s.pdomapping = 1; });
        });
        ruleRow("TPDO maps write-only and rww objects", [](ObjectDataBase &db) {
            addWord(db, "rww");
            changeSub(db, 0x2000, 1, [](Sub &s) { s.accesstype = "wo"; });
            addMapping(db, 0, 0x1A00, {"0x20000108", "0x20010010"});
        });
        ruleRow("PDO of 72 bits on classic CAN", [](ObjectDataBase &db) {
            addMapping(db, 0, 0x1A00, {"0x20000108", "0x00070020", "0x00070020"});
        });
        ruleRow("PDO of 72 bits on CAN FD", [](ObjectDataBase &db) {
            addMapping(db, 0, 0x1A00, {"0x20000108", "0x00070020", "0x00070020"});
            db.setGeneralSettingsValue("canfd_supported", "1");
        });
        ruleRow(
            "entries above the count of a dynamic mapping are not summed", [](ObjectDataBase &db) {
                addMapping(db, 0, 0x1A00, {"0x20000108", "0x00070040", "0x00070040"}, "rw", "1");
            });
        ruleRow("count above the entries of a dynamic mapping",
                [](ObjectDataBase &db) { addMapping(db, 0, 0x1A00, {"0x20000108"}, "rw", "3"); });
    }
    void pdoRules() { runRuleRow("mapping_rules.txt"); }
    void mappingModes_data()
    {
        QTest::addColumn<Mutation>("mutate");
        const QString bitwiseWarning =
            "<strong>Warning: </strong>Bitwise mapping cannot be used with a granularity of 8. "
            "Correct device description settings or PDO mapping.";
        const QString tooSmall =
            "Warning: Object 0x1a00: The size of the mapped object 0x2000:01 is too small.";
        ruleRow("bit-wise mapping, granularity 8, not enabled",
                [](ObjectDataBase &db) { setEntry(db, 0x1A00, 1, "0x20000104"); });
        ruleRow("bit-wise mapping enabled, granularity 1", [](ObjectDataBase &db) {
            setEntry(db, 0x1A00, 1, "0x20000104");
            db.setGeneralSettingsValue("bitwise_mapping", "1");
            db.setDescriptionSettingsValue("Granularity", "0x1");
        });
        ruleRow("bit-wise dummy entry counts as bit-wise mapping", [](ObjectDataBase &db) {
            addMapping(db, 0, 0x1A00, {"0x20000108", "0x00010001"});
            db.setGeneralSettingsValue("bitwise_mapping", "1");
        });
        ruleRow("dynamic mapping, granularity 8", [](ObjectDataBase &db) { makeTpdoDynamic(db); });
        ruleRow("dynamic mapping, granularity 0", [](ObjectDataBase &db) {
            makeTpdoDynamic(db);
            db.setDescriptionSettingsValue("Granularity", "0");
        });
        // A mapping whose entries are not walked (an MPDO, sub-index 0 above 64) does not mark
        // the line as dynamically mapped.
        ruleRow("dynamic MPDO mapping, granularity 0", [](ObjectDataBase &db) {
            makeTpdoDynamic(db);
            setEntry(db, 0x1A00, 0, "0xFE");
            db.setDescriptionSettingsValue("Granularity", "0");
        });
        ruleRow("granularity of another line does not count", [](ObjectDataBase &db) {
            makeTpdoDynamic(db);
            db.setDescriptionSettingsLine(1);
            db.setDescriptionSettingsValue("Granularity", "0");
            db.setDescriptionSettingsLine(0);
        });
    }
    void mappingModes() { runRuleRow("mapping_rules.txt"); }
    void srdoRules_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("SRDO without mapping object",
                [](ObjectDataBase &db) { addRecord(db, 0, 0x1301, {entry(5, "rw", "1")}); });
        ruleRow("SRDO mapping missing and managed objects", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x1301, {entry(5, "rw", "1")});
            addMapping(db, 0, 0x1381, {"0x20000108", "0x21000108", "0x10010008", "0xA0000108"});
        });
    }
    void srdoRules() { runRuleRow("mapping_rules.txt"); }
    void emptyDynamicPdoIsDisabled_data()
    {
        QTest::addColumn<quint16>("mapping");
        QTest::addColumn<QString>("cobId");
        QTest::addColumn<bool>("autoCorrection");
        QTest::addColumn<QString>("expectedCobId");
        QTest::addRow("first TPDO")
            << quint16(0x1A02) << "$NODEID+0x380" << true << "$NODEID+0x80000380";
        QTest::addRow("auto-correction off")
            << quint16(0x1A02) << "$NODEID+0x380" << false << "$NODEID+0x380";
        QTest::addRow("already disabled")
            << quint16(0x1A03) << "0x80000480" << true << "0x80000480";
        QTest::addRow("fifth TPDO is left alone") << quint16(0x1A04) << "0x400" << true << "0x400";
    }
    void emptyDynamicPdoIsDisabled()
    {
        QFETCH(quint16, mapping);
        QFETCH(QString, cobId);
        QFETCH(bool, autoCorrection);
        QFETCH(QString, expectedCobId);
        ObjectDataBase db;
        buildCleanProject(db);
        addPdoCommunication(db, 0, mapping - 0x200, cobId);
        addMapping(db, 0, mapping, {"0"}, "rw", "0");
        const Result result = canopenCheck(db, 0, autoCorrection);
        const bool corrected = expectedCobId != cobId;
        const QStringList expected =
            corrected
                ? QStringList{QStringLiteral("<i>Corrected: Object 0x%1</i>: The COB-ID of this "
                                             "PDO has been disabled (%2), because it does not "
                                             "contain active mapping entries.")
                                  .arg(QString::number(mapping - 0x200, 16), expectedCobId)}
                : QStringList();
        QCOMPARE(findings(result), expected);
        QCOMPARE(result.count, 0);
        QCOMPARE(result.modified, corrected);
        QCOMPARE(db.getSubIndexValue(0, mapping - 0x200, 1), expectedCobId);
    }
    void disableCob_data()
    {
        QTest::addColumn<QString>("cobId");
        QTest::addColumn<QString>("disabled");
        const auto row = [](const char *name, const char *cobId, const char *disabled) {
            QTest::newRow(name) << QString(cobId) << QString(disabled);
        };
        row("node-ID relative", "$NODEID+0x180", "$NODEID+0x80000180");
        row("prefix in lower case kept", "$nodeid+0x200", "$nodeid+0x80000200");
        row("plain number", "0x181", "0x80000181");
        row("upper-case digits", "0xABC", "0x80000abc");
        row("bit 31 already set", "0x80000181", "0x80000181");
        row("decimal is no match", "385", "385");
        row("empty", "", "");
        row("text around the number is dropped", "$NODEID + 0x180 ", "0x80000180");
    }
    void disableCob()
    {
        QFETCH(QString, cobId);
        QTEST(ModelChecker::disableCob(cobId), "disabled");
    }
};

NW_TEST_MAIN(TestModelCheckerMapping)
#include "tst_modelchecker_mapping.moc"
