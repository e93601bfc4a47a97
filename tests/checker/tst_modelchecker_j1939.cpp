#include "checker/projectcheck.h"
#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

namespace {

const QString error = QStringLiteral("<strong>Error: </strong>");
const quint8 transmit = 0x55;
const quint8 receive = 0x77;

const QStringList settingKeys = {"identitynumber",   "manufacturercode", "ecuinstance",
                                 "functioninstance", "function",         "vehiclesystem",
                                 "vehicleinstance",  "industrygroup",    "startaddress"};

void addPgn(ObjectDataBase &db, quint8 line, quint32 number, quint8 direction,
            const QList<quint16> &spnTypes, quint16 bitSize = 0)
{
    ObjectDataBase::PGN pgn;
    pgn.number = number;
    pgn.direction = direction;
    pgn.mappingcount = quint16(spnTypes.size());
    db.addPGN(line, number, pgn);
    for (int i = 0; i < spnTypes.size(); ++i) {
        ObjectDataBase::SPN spn;
        spn.pos = quint8(i);
        spn.datatype = spnTypes.at(i);
        spn.bitsize = bitSize;
        spn.pgnnumber = number;
        spn.direction = direction;
        spn.spnnumber = 1000 + number % 1000 + quint32(i);
        spn.varname = QStringLiteral("spn%1").arg(spn.spnnumber);
        db.addSPN(line, number, direction, spn.spnnumber, spn);
    }
}

// A J1939 line with complete name settings and one group of each direction.
void buildJ1939Line(ObjectDataBase &db, quint8 line)
{
    if (line != 0)
        db.addNode(line, ObjectDataBase::NODE_DATA_T());
    db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QStringLiteral("2"));
    for (const QString &key : settingKeys)
        db.setJ1939SettingsValue(key, QStringLiteral("0"));
    db.setJ1939SettingsValue("startaddress", "0x80");
    addPgn(db, line, 0xF004, transmit, {5, 5, 6, 5, 5, 6});
    addPgn(db, line, 0xFEF1, receive, {6, 7});
}

// Line 0 built complete, changed, then checked as one of lineCount lines against the
// running row's section of the golden file.
template <typename Change>
void checkLine(Change change, int lineCount = 1)
{
    ObjectDataBase db;
    db.createNewDataBase();
    buildJ1939Line(db, 0);
    change(db);
    ModelChecker checker;
    Recorder recorder(checker);
    const int count = checker.startJ1939Check(quint8(lineCount), 0, &db);
    compareWithGolden("j1939_rules.txt", recorder.texts(), count);
}

} // namespace

// The J1939 rules of a line: the name settings, the parameter groups the stack handles
// itself, the transport protocol for long groups and the variable names of parameters.
class TestModelCheckerJ1939 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void rules_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("complete line", [](ObjectDataBase &) {});
        ruleRow("settings with blanks only",
                [](ObjectDataBase &db) { db.setJ1939SettingsValue("function", "  "); });
        ruleRow("groups handled by the stack", [](ObjectDataBase &db) {
            addPgn(db, 0, 0xEC00, transmit, {5});
            addPgn(db, 0, 0xEE00, transmit, {5});
            addPgn(db, 0, 0xEA00, receive, {5});
            addPgn(db, 0, 0x0E00, receive, {5});
        });
        ruleRow("two groups of 40 bits without transport protocol", [](ObjectDataBase &db) {
            addPgn(db, 0, 0xFF10, transmit, {5, 5, 5, 5, 5});
            addPgn(db, 0, 0xFF11, transmit, {7, 5});
        });
        ruleRow("group of 72 bits without transport protocol", [](ObjectDataBase &db) {
            addPgn(db, 0, 0xFF10, receive, {0x1B, 5});
        });
        ruleRow("string counted by its bit size",
                [](ObjectDataBase &db) { addPgn(db, 0, 0xFF10, transmit, {9}, 72); });
        ruleRow("group of 72 bits with BAM", [](ObjectDataBase &db) {
            addPgn(db, 0, 0xFF10, transmit, {0x1B, 5});
            db.setJ1939SettingsValue("bamsupport", "1");
        });
        ruleRow("CMDT without packet count", [](ObjectDataBase &db) {
            addPgn(db, 0, 0xFF10, transmit, {0x1B, 5});
            db.setJ1939SettingsValue("cmdtsupport", "1");
        });
        ruleRow("CMDT packet count of 256 is 0 in 8 bits", [](ObjectDataBase &db) {
            db.setJ1939SettingsValue("cmdtsupport", "1");
            db.setJ1939SettingsValue("cmdtpackets", "256");
        });
        ruleRow("CMDT with packet count", [](ObjectDataBase &db) {
            db.setJ1939SettingsValue("cmdtsupport", "1");
            db.setJ1939SettingsValue("cmdtpackets", "16");
        });
        ruleRow("application variables without names", [](ObjectDataBase &db) {
            ObjectDataBase::SPN spn;
            QVERIFY(db.getSPNData(0, 0xF004, transmit, 1000 + 0xF004 % 1000, spn));
            spn.varname = "  ";
            db.addSPN(0, 0xF004, transmit, spn.spnnumber, spn);
            QVERIFY(db.getSPNData(0, 0xFEF1, receive, 1000 + 0xFEF1 % 1000, spn));
            spn.varname.clear();
            db.addSPN(0, 0xFEF1, receive, spn.spnnumber, spn);
            QVERIFY(db.getSPNData(0, 0xFEF1, receive, 1001 + 0xFEF1 % 1000, spn));
            spn.varname.clear();
            spn.implementation = 0;
            db.addSPN(0, 0xFEF1, receive, spn.spnnumber, spn);
        });
    }
    void rules()
    {
        QFETCH(Mutation, mutate);
        checkLine(mutate);
    }
    void missingSettings_data()
    {
        QTest::addColumn<QString>("key");
        for (const QString &key : settingKeys)
            QTest::addRow("%s", qPrintable(key)) << key;
    }
    void missingSettings()
    {
        QFETCH(QString, key);
        checkLine([&key](ObjectDataBase &db) { db.setJ1939SettingsValue(key, QString()); });
    }
    void perLineSettings_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("manufacturer");
        const auto row = [](const char *name, int lines, const char *identity, const char *maker) {
            QTest::newRow(name) << lines << QString(identity) << QString(maker);
        };
        row("one line, one value", 1, "5", "100");
        row("two lines, one value each", 2, "5", "100");
        row("two lines, two values", 2, "5,6", "100, 100");
        row("three lines, two values", 3, "5,6", "100,100,100");
        row("two lines, nothing", 2, "", "100,101");
    }
    void perLineSettings()
    {
        QFETCH(int, lineCount);
        QFETCH(QString, identity);
        QFETCH(QString, manufacturer);
        checkLine(
            [&](ObjectDataBase &db) {
                db.setJ1939SettingsValue("identitynumber", identity);
                db.setJ1939SettingsValue("manufacturercode", manufacturer);
            },
            lineCount);
    }
    // A CANopen line and a J1939 line: the J1939 check knows the project has two lines.
    void mixedProject()
    {
        ObjectDataBase db;
        buildCleanProject(db);
        buildJ1939Line(db, 1);
        db.setJ1939SettingsValue("identitynumber", "5");
        db.setJ1939SettingsValue("manufacturercode", "100,100");
        ProjectCheck check;
        check.checker().setStackPath(stackFolder("stack_full"));
        QStringList texts;
        connect(&check, &ProjectCheck::message, this, [&texts](const QString &t) { texts << t; });
        bool modified = false;
        QCOMPARE(check.run(&db, modified), 1);
        QCOMPARE(texts, QStringList({"-> Checking line 0", "-> Checking line 1",
                                     error
                                         + "Identity number not specified correctly for each line "
                                           "in J1939 configuration tab."}));
    }
};

NW_TEST_MAIN(TestModelCheckerJ1939)
#include "tst_modelchecker_j1939.moc"
