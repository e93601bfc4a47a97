#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

// The CANopen rules on objects: mandatory and conditional objects, gaps, identity,
// sub-index 0, names, variables, access and implementation types, values and limits.
class TestModelCheckerObjects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void lineRules_data();
    void lineRules();
    void objectRules_data();
    void objectRules();
    void checkValues_data();
    void checkValues();
    void subIndexZeroCorrection_data();
    void subIndexZeroCorrection();
};

namespace {

void setSub(ObjectDataBase &db, quint16 index, quint8 sub, void (*change)(Sub &))
{
    QVERIFY(changeSub(db, index, sub, change));
}

void addVariable2100(ObjectDataBase &db, const Sub &sub)
{
    addVar(db, 0, 0x2100, sub);
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

void TestModelCheckerObjects::lineRules_data()
{
    addRuleColumns();
    QTest::addRow("device type missing")
        << Mutation([](ObjectDataBase &db) { db.delIndex(0, 0x1000); });
    QTest::addRow("guard time instead of heartbeat") << Mutation([](ObjectDataBase &db) {
        db.delIndex(0, 0x1017);
        addVar(db, 0, 0x100C, entry(6, "rw", "0"));
    });
    QTest::addRow("neither heartbeat nor guard time")
        << Mutation([](ObjectDataBase &db) { db.delIndex(0, 0x1017); });
    QTest::addRow("heartbeat consumers with a gap") << Mutation([](ObjectDataBase &db) {
        addRecord(db, 0, 0x1016,
                  {entry(7, "rw", "0x00050064"), entry(7, "rw", "0"), entry(7, "rw", "0")});
        db.delSubIndex(0, 0x1016, 2);
    });
    QTest::addRow("slave assignment with a gap, lower-case index")
        << Mutation([](ObjectDataBase &db) {
               addRecord(db, 0, 0x1F81, {entry(7, "rw", "0"), entry(7, "rw", "0")});
               db.delSubIndex(0, 0x1F81, 1);
           });
    QTest::addRow("emergency consumer of 0 and of a text") << Mutation([](ObjectDataBase &db) {
        addRecord(
            db, 0, 0x1028,
            {entry(7, "rw", "0x81"), entry(7, "rw", "0x00000000"), entry(7, "rw", "$NODEID+0x80")});
    });
    QTest::addRow("store parameters other than 1") << Mutation([](ObjectDataBase &db) {
        addRecord(
            db, 0, 0x1010,
            {entry(7, "rw", "1"), entry(7, "rw", "0x2"), entry(7, "rw", ""), entry(7, "rw", "5")});
        addRecord(db, 0, 0x1011, {entry(7, "rw", "0"), entry(7, "rw", "010")});
    });
    QTest::addRow("master without NMT inhibit time")
        << Mutation([](ObjectDataBase &db) { db.setGeneralSettingsValue("nmtmaster", "1"); });
    QTest::addRow("master with NMT inhibit time") << Mutation([](ObjectDataBase &db) {
        db.setGeneralSettingsValue("nmtmaster", "0x1");
        addVar(db, 0, 0x102A, entry(6, "rw", "0"));
    });
    QTest::addRow("identity missing")
        << Mutation([](ObjectDataBase &db) { db.delIndex(0, 0x1018); });
    QTest::addRow("identity values empty") << Mutation([](ObjectDataBase &db) {
        for (quint8 sub = 1; sub <= 3; ++sub)
            setSub(db, 0x1018, sub, [](Sub &s) { s.defaultvalue.clear(); });
    });
    QTest::addRow("maker's own vendor-ID") << Mutation([](ObjectDataBase &db) {
        setSub(db, 0x1018, 1, [](Sub &s) { s.defaultvalue = "0x000002b7"; });
    });
    QTest::addRow("serial number as constant") << Mutation(
        [](ObjectDataBase &db) { setSub(db, 0x1018, 4, [](Sub &s) { s.implementation = 1; }); });
    QTest::addRow("error field without emergency COB-ID")
        << Mutation([](ObjectDataBase &db) { addRecord(db, 0, 0x1003, {entry(7, "ro", "0")}, 8); });
}

void TestModelCheckerObjects::lineRules()
{
    runRuleRow("object_rules.txt");
}

void TestModelCheckerObjects::objectRules_data()
{
    addRuleColumns();
    QTest::addRow("VAR without name")
        << Mutation([](ObjectDataBase &db) { db.setIndexName(0, 0x1001, ""); });
    QTest::addRow("VAR with two sub-indices")
        << Mutation([](ObjectDataBase &db) { db.addSubIndex(0, 0x1001, 1, entry(5, "ro", "0")); });
    QTest::addRow("RECORD without sub-indices and name")
        << Mutation([](ObjectDataBase &db) { addObject(db, 0, 0x2100, 8, ""); });
    QTest::addRow("'default value' flag of sub-index 0 off") << Mutation(
        [](ObjectDataBase &db) { setSub(db, 0x1018, 0, [](Sub &s) { s.defaultineds = false; }); });
    // Sub-index 0 of 254 marks an MPDO mapping; neither its value nor its 'default value'
    // flag is checked then.
    QTest::addRow("MPDO mapping") << Mutation([](ObjectDataBase &db) {
        setSub(db, 0x1A00, 0, [](Sub &s) {
            s.defaultvalue = "0xFE";
            s.defaultineds = false;
            s.writedefaulttoeds = true;
        });
    });
    // Without sub-index 0 there is nothing to correct.
    QTest::addRow("record without sub-index 0") << Mutation([](ObjectDataBase &db) {
        addRecord(db, 0, 0x2100, {entry(5, "ro", "1"), entry(5, "ro", "2")});
        db.delSubIndex(0, 0x2100, 0);
    });
    QTest::addRow("sub-index 0 not written to the EDS") << Mutation([](ObjectDataBase &db) {
        setSub(db, 0x1018, 0, [](Sub &s) { s.writedefaulttoeds = false; });
    });
    QTest::addRow("sub-index without name") << Mutation(
        [](ObjectDataBase &db) { setSub(db, 0x2000, 1, [](Sub &s) { s.name.clear(); }); });
    QTest::addRow("variable name missing") << Mutation(
        [](ObjectDataBase &db) { setSub(db, 0x2000, 1, [](Sub &s) { s.varname.clear(); }); });
    QTest::addRow("variable name left at its default blank") << Mutation([](ObjectDataBase &db) {
        Sub sub = entry(5, "rw", "0", 2);
        addVar(db, 0, 0x2100, sub);
    });
    QTest::addRow("variable names with comma and semicolon") << Mutation([](ObjectDataBase &db) {
        setSub(db, 0x2000, 1, [](Sub &s) { s.varname = "a,b"; });
        setSub(db, 0x2000, 2, [](Sub &s) { s.varname = "a;b"; });
    });
    QTest::addRow("access type in upper case") << Mutation(
        [](ObjectDataBase &db) { setSub(db, 0x2000, 2, [](Sub &s) { s.accesstype = "RW"; }); });
    QTest::addRow("writable managed constant")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(5, "rww", "0", 1)); });
    QTest::addRow("octet string as managed constant")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0x0A, "ro", "", 1)); });
    QTest::addRow("visible string as managed variable")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0x09, "ro", "abc")); });
    QTest::addRow("visible string as managed constant")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0x09, "ro", "-5", 1)); });
    QTest::addRow("types kept as octet strings, not as application variables")
        << Mutation([](ObjectDataBase &db) {
               addVariable2100(db, entry(0x0B, "ro", ""));
               addVar(db, 0, 0x2101, entry(0x40, "ro", "0x0", 1));
               Sub variable = entry(0x6A, "rw", "0", 2);
               variable.varname = "bits";
               addVar(db, 0, 0x2102, variable);
           });
    QTest::addRow("56-bit integer, also beyond its type")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0x14, "rw", "-1")); });
    QTest::addRow("UTF-8 string as managed variable, outside its limits")
        << Mutation([](ObjectDataBase &db) {
               Sub sub = limited(0x7C, "12", 0, 10);
               sub.accesstype = "ro";
               addVariable2100(db, sub);
               db.setGeneralSettingsValue("limit_check", "1");
           });
    QTest::addRow("domain is not checked")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0x0F, "RW", "-1")); });
    QTest::addRow("default beyond the data type")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(5, "rw", "256")); });
    QTest::addRow("upper limit beyond the data type") << Mutation([](ObjectDataBase &db) {
        addVariable2100(db, limited(2, "5", -10, 200));
        db.setGeneralSettingsValue("limit_check", "1");
    });
    QTest::addRow("unknown data type")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, entry(0, "rw", "1")); });
    QTest::addRow("limits while limit check is off")
        << Mutation([](ObjectDataBase &db) { addVariable2100(db, limited(5, "5", 0, 100)); });
    QTest::addRow("hexadecimal default is range-checked by its value")
        << Mutation([](ObjectDataBase &db) {
               addVariable2100(db, limited(2, "0x10", 0, 10));
               db.setGeneralSettingsValue("limit_check", "1");
           });
    QTest::addRow("below the lower limit") << Mutation([](ObjectDataBase &db) {
        addVariable2100(db, limited(3, "-20", -10, 10));
        db.setGeneralSettingsValue("limit_check", "1");
    });
    QTest::addRow("upper limit 8388607 is exempt") << Mutation([](ObjectDataBase &db) {
        addVariable2100(db, limited(4, "9000000", 0, 8388607));
        db.setGeneralSettingsValue("limit_check", "1");
    });
    QTest::addRow("default that is no number is not range-checked")
        << Mutation([](ObjectDataBase &db) {
               addVariable2100(db, limited(4, "$NODEID+5", 10, 20));
               db.setGeneralSettingsValue("limit_check", "1");
           });
}

void TestModelCheckerObjects::objectRules()
{
    runRuleRow("object_rules.txt");
}

void TestModelCheckerObjects::checkValues_data()
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
    QTest::addRow("number after a text in range") << 5 << QVariantList{"abc", qint64(300)} << false;
    QTest::addRow("unsigned64 negative") << 0x1B << QVariantList{"-1"} << false;
    QTest::addRow("unknown type") << 0 << QVariantList{"12"} << true;
}

void TestModelCheckerObjects::checkValues()
{
    QFETCH(int, type);
    QFETCH(QVariantList, values);
    QFETCH(bool, inRange);
    QCOMPARE(ModelChecker::checkValues(CAN::CANopenDataType(type), values), inRange);
}

void TestModelCheckerObjects::subIndexZeroCorrection_data()
{
    QTest::addColumn<bool>("autoCorrection");
    QTest::addColumn<Writable>("writable");
    QTest::addColumn<bool>("corrected");
    QTest::addRow("auto-correction on") << true << Writable::Project << true;
    QTest::addRow("auto-correction off") << false << Writable::Project << false;
    QTest::addRow("read-only store") << true << Writable::None << false;
    QTest::addRow("writable store of another project") << true << Writable::OtherProject << false;
}

// An ARRAY whose sub-index 0 says 3 while 1..5 exist, and a sub-index 0 that is a
// constant but not implemented as one. Only the project's own writable store, given with
// auto-correction on, gets corrected.
void TestModelCheckerObjects::subIndexZeroCorrection()
{
    QFETCH(bool, autoCorrection);
    QFETCH(Writable, writable);
    QFETCH(bool, corrected);
    ObjectDataBase db;
    buildCleanProject(db);
    addRecord(db, 0, 0x2100,
              {entry(5, "ro", "1"), entry(5, "ro", "2"), entry(5, "ro", "3"), entry(5, "ro", "4"),
               entry(5, "ro", "5")},
              8);
    db.setSubIndexValue(0, 0x2100, 0, "3");
    setSub(db, 0x2000, 0, [](Sub &s) { s.implementation = 0; });

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

NW_TEST_MAIN(TestModelCheckerObjects)
#include "tst_modelchecker_objects.moc"
