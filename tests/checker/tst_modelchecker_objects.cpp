#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

namespace {

void addVariable2100(ObjectDataBase &db, const Sub &sub)
{
    addVar(db, 0, 0x2100, sub);
}

// A variable at 0x2100 with limit checks on.
void addLimitChecked(ObjectDataBase &db, const Sub &sub)
{
    addVariable2100(db, sub);
    db.setGeneralSettingsValue("limit_check", "1");
}

Sub limited(quint16 type, const QString &value, qint64 low, qint64 high)
{
    Sub sub = entry(type, QStringLiteral("rw"), value);
    sub.limitineds = true;
    sub.lowlimit = low;
    sub.uplimit = high;
    return sub;
}

} // namespace

// The CANopen rules on objects: mandatory and conditional objects, gaps, identity,
// sub-index 0, names, variables, access and implementation types, values and limits.
class TestModelCheckerObjects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void lineRules_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("device type missing", [](ObjectDataBase &db) { db.delIndex(0, 0x1000); });
        ruleRow("guard time instead of heartbeat", [](ObjectDataBase &db) {
            db.delIndex(0, 0x1017);
            addVar(db, 0, 0x100C, entry(6, "rw", "0"));
        });
        ruleRow("neither heartbeat nor guard time",
                [](ObjectDataBase &db) { db.delIndex(0, 0x1017); });
        ruleRow("heartbeat consumers with a gap", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x1016,
                      {entry(7, "rw", "0x00050064"), entry(7, "rw", "0"), entry(7, "rw", "0")});
            db.delSubIndex(0, 0x1016, 2);
        });
        ruleRow("slave assignment with a gap, lower-case index", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x1F81, {entry(7, "rw", "0"), entry(7, "rw", "0")});
            db.delSubIndex(0, 0x1F81, 1);
        });
        ruleRow("emergency consumer of 0 and of a text", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x1028,
                      {entry(7, "rw", "0x81"), entry(7, "rw", "0x00000000"),
                       entry(7, "rw", "$NODEID+0x80")});
        });
        ruleRow("store parameters other than 1", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x1010,
                      {entry(7, "rw", "1"), entry(7, "rw", "0x2"), entry(7, "rw", ""),
                       entry(7, "rw", "5")});
            addRecord(db, 0, 0x1011, {entry(7, "rw", "0"), entry(7, "rw", "010")});
        });
        ruleRow("master without NMT inhibit time",
                [](ObjectDataBase &db) { db.setGeneralSettingsValue("nmtmaster", "1"); });
        ruleRow("master with NMT inhibit time", [](ObjectDataBase &db) {
            db.setGeneralSettingsValue("nmtmaster", "0x1");
            addVar(db, 0, 0x102A, entry(6, "rw", "0"));
        });
        ruleRow("identity missing", [](ObjectDataBase &db) { db.delIndex(0, 0x1018); });
        ruleRow("identity values empty", [](ObjectDataBase &db) {
            for (quint8 sub = 1; sub <= 3; ++sub)
                changeSub(db, 0x1018, sub, [](Sub &s) { s.defaultvalue.clear(); });
        });
        ruleRow("maker's own vendor-ID", [](ObjectDataBase &db) {
            changeSub(db, 0x1018, 1, [](Sub &s) { s.defaultvalue = "0x000002b7"; });
        });
        ruleRow("serial number as constant", [](ObjectDataBase &db) {
            changeSub(db, 0x1018, 4, [](Sub &s) { s.implementation = 1; });
        });
        ruleRow("error field without emergency COB-ID",
                [](ObjectDataBase &db) { addRecord(db, 0, 0x1003, {entry(7, "ro", "0")}, 8); });
    }
    void lineRules() { runRuleRow("object_rules.txt"); }
    void objectRules_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("VAR without name", [](ObjectDataBase &db) { db.setIndexName(0, 0x1001, ""); });
        ruleRow("VAR with two sub-indices",
                [](ObjectDataBase &db) { db.addSubIndex(0, 0x1001, 1, entry(5, "ro", "0")); });
        ruleRow("RECORD without sub-indices and name",
                [](ObjectDataBase &db) { addObject(db, 0, 0x2100, 8, ""); });
        ruleRow("'default value' flag of sub-index 0 off", [](ObjectDataBase &db) {
            changeSub(db, 0x1018, 0, [](Sub &s) { s.defaultineds = false; });
        });
        // Sub-index 0 of 254 marks an MPDO mapping; neither its value nor its 'default value'
        // flag is checked then.
        ruleRow("MPDO mapping", [](ObjectDataBase &db) {
            changeSub(db, 0x1A00, 0, [](Sub &s) {
                s.defaultvalue = "0xFE";
                s.defaultineds = false;
                s.writedefaulttoeds = true;
            });
        });
        // Without sub-index 0 there is nothing to correct.
        ruleRow("record without sub-index 0", [](ObjectDataBase &db) {
            addRecord(db, 0, 0x2100, {entry(5, "ro", "1"), entry(5, "ro", "2")});
            db.delSubIndex(0, 0x2100, 0);
        });
        ruleRow("sub-index 0 not written to the EDS", [](ObjectDataBase &db) {
            changeSub(db, 0x1018, 0, [](Sub &s) { s.writedefaulttoeds = false; });
        });
        ruleRow("sub-index without name", [](ObjectDataBase &db) {
            changeSub(db, 0x2000, 1, [](Sub &s) { s.name.clear(); });
        });
        ruleRow("variable name missing", [](ObjectDataBase &db) {
            changeSub(db, 0x2000, 1, [](Sub &s) { s.varname.clear(); });
        });
        ruleRow("variable name left at its default blank",
                [](ObjectDataBase &db) { addVariable2100(db, entry(5, "rw", "0", 2)); });
        ruleRow("variable names with comma and semicolon", [](ObjectDataBase &db) {
            changeSub(db, 0x2000, 1, [](Sub &s) { s.varname = "a,b"; });
            changeSub(db, 0x2000, 2, [](Sub &s) { s.varname = "a;b"; });
        });
        ruleRow("access type in upper case", [](ObjectDataBase &db) {
            changeSub(db, 0x2000, 2, [](Sub &s) { s.accesstype = "RW"; });
        });
        ruleRow("writable managed constant",
                [](ObjectDataBase &db) { addVariable2100(db, entry(5, "rww", "0", 1)); });
        ruleRow("octet string as managed constant",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0x0A, "ro", "", 1)); });
        ruleRow("visible string as managed variable",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0x09, "ro", "abc")); });
        ruleRow("visible string as managed constant",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0x09, "ro", "-5", 1)); });
        ruleRow("types kept as octet strings, not as application variables",
                [](ObjectDataBase &db) {
                    addVariable2100(db, entry(0x0B, "ro", ""));
                    addVar(db, 0, 0x2101, entry(0x40, "ro", "0x0", 1));
                    Sub variable = entry(0x6A, "rw", "0", 2);
                    variable.varname = "bits";
                    addVar(db, 0, 0x2102, variable);
                });
        ruleRow("56-bit integer, also beyond its type",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0x14, "rw", "-1")); });
        ruleRow("UTF-8 string as managed variable, outside its limits", [](ObjectDataBase &db) {
            Sub sub = limited(0x7C, "12", 0, 10);
            sub.accesstype = "ro";
            addLimitChecked(db, sub);
        });
        ruleRow("domain is not checked",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0x0F, "RW", "-1")); });
        ruleRow("default beyond the data type",
                [](ObjectDataBase &db) { addVariable2100(db, entry(5, "rw", "256")); });
        ruleRow("upper limit beyond the data type",
                [](ObjectDataBase &db) { addLimitChecked(db, limited(2, "5", -10, 200)); });
        ruleRow("unknown data type",
                [](ObjectDataBase &db) { addVariable2100(db, entry(0, "rw", "1")); });
        ruleRow("limits while limit check is off",
                [](ObjectDataBase &db) { addVariable2100(db, limited(5, "5", 0, 100)); });
        ruleRow("hexadecimal default is range-checked by its value",
                [](ObjectDataBase &db) { addLimitChecked(db, limited(2, "0x10", 0, 10)); });
        ruleRow("below the lower limit",
                [](ObjectDataBase &db) { addLimitChecked(db, limited(3, "-20", -10, 10)); });
        ruleRow("upper limit 8388607 is exempt",
                [](ObjectDataBase &db) { addLimitChecked(db, limited(4, "9000000", 0, 8388607)); });
        ruleRow("default that is no number is not range-checked",
                [](ObjectDataBase &db) { addLimitChecked(db, limited(4, "$NODEID+5", 10, 20)); });
    }
    void objectRules() { runRuleRow("object_rules.txt"); }
    void checkValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<bool>("inRange");
        QTest::addRow("boolean 1") << 1 << QVariantList{"1"} << true;
        QTest::addRow("boolean 2") << 1 << QVariantList{"2"} << false;
        QTest::addRow("integer8 -128..127") << 2 << QVariantList{"-128", qint64(127)} << true;
        QTest::addRow("integer8 128") << 2 << QVariantList{"128"} << false;
        QTest::addRow("integer16 -32769") << 3 << QVariantList{"-32769"} << false;
        QTest::addRow("integer32 limits") << 4 << QVariantList{"-2147483648", "2147483647"} << true;
        QTest::addRow("integer32 2^31") << 4 << QVariantList{"2147483648"} << false;
        QTest::addRow("unsigned8 -1") << 5 << QVariantList{"-1"} << false;
        QTest::addRow("unsigned16 65536") << 6 << QVariantList{"65536"} << false;
        QTest::addRow("unsigned32 max") << 7 << QVariantList{"4294967295"} << true;
        QTest::addRow("unsigned32 2^32") << 7 << QVariantList{"4294967296"} << false;
        QTest::addRow("real32 negative") << 8 << QVariantList{"-5"} << true;
        QTest::addRow("integer24 limits") << 0x10 << QVariantList{"-8388608", "8388607"} << true;
        QTest::addRow("integer24 2^23") << 0x10 << QVariantList{"8388608"} << false;
        QTest::addRow("hexadecimal text reads 0") << 5 << QVariantList{"0x1FF"} << true;
        QTest::addRow("number after a text in range")
            << 5 << QVariantList{"abc", qint64(300)} << false;
        QTest::addRow("unsigned64 negative") << 0x1B << QVariantList{"-1"} << false;
        QTest::addRow("unknown type") << 0 << QVariantList{"12"} << true;
    }
    void checkValues()
    {
        QFETCH(int, type);
        QFETCH(QVariantList, values);
        QTEST(ModelChecker::checkValues(CAN::CANopenDataType(type), values), "inRange");
    }
    void subIndexZeroCorrection_data()
    {
        QTest::addColumn<bool>("autoCorrection");
        QTest::addColumn<Writable>("writable");
        QTest::addColumn<bool>("corrected");
        QTest::addRow("auto-correction on") << true << Writable::Project << true;
        QTest::addRow("auto-correction off") << false << Writable::Project << false;
        QTest::addRow("read-only store") << true << Writable::None << false;
        QTest::addRow("writable store of another project")
            << true << Writable::OtherProject << false;
    }
    // An ARRAY whose sub-index 0 says 3 while 1..5 exist, and a sub-index 0 that is a
    // constant but not implemented as one. Only the project's own writable store, given with
    // auto-correction on, gets corrected.
    void subIndexZeroCorrection()
    {
        QFETCH(bool, autoCorrection);
        QFETCH(Writable, writable);
        QFETCH(bool, corrected);
        ObjectDataBase db;
        buildCleanProject(db);
        addRecord(db, 0, 0x2100,
                  {entry(5, "ro", "1"), entry(5, "ro", "2"), entry(5, "ro", "3"),
                   entry(5, "ro", "4"), entry(5, "ro", "5")},
                  8);
        db.setSubIndexValue(0, 0x2100, 0, "3");
        changeSub(db, 0x2000, 0, [](Sub &s) { s.implementation = 0; });
        const Result result = canopenCheck(db, 0, autoCorrection, writable);
        const QStringList corrections = {
            "<i>Corrected: Object 0x2000-0</i>:'Managed Const' is used as implementation type for "
            "this subindex.",
            "<i>Corrected: Object 0x2100</i>: The value of subindex 0 does not fit to the highest "
            "subindex."};
        QCOMPARE(findings(result), corrected ? corrections : QStringList());
        QCOMPARE(result.count, 0);
        QCOMPARE(result.modified, corrected);
        Sub zero;
        QVERIFY(db.getSubIndexData(0, 0x2100, 0, zero));
        QCOMPARE(zero.defaultvalue, QString(corrected ? "5" : "3"));
        QVERIFY(db.getSubIndexData(0, 0x2000, 0, zero));
        QCOMPARE(int(zero.implementation), corrected ? 1 : 0);
        // What was corrected stays corrected.
        if (corrected) {
            const Result again = canopenCheck(db);
            QCOMPARE(findings(again), QStringList());
            QVERIFY(!again.modified);
        }
    }
};

NW_TEST_MAIN(TestModelCheckerObjects)
#include "tst_modelchecker_objects.moc"
