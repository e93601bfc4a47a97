#include "checker/projectcheck.h"
#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

namespace {

void addLine(ObjectDataBase &db, quint8 line, int type)
{
    if (line != 0)
        db.addNode(line, ObjectDataBase::NODE_DATA_T());
    db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QString::number(type));
}

} // namespace

// Project-wide rules, node-ID and per-line settings, the stack information of the CANopen
// check, the user preferences it reads, and the check of a whole project line by line.
class TestModelCheckerSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void globalCheck_data()
    {
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<unsigned int>("expected");
        QTest::addRow("one raw CAN line") << QList<int>{4} << 1u;
        QTest::addRow("two raw CAN lines") << QList<int>{4, 4} << 1u;
        QTest::addRow("raw CAN and CANopen") << QList<int>{4, 1} << 0u;
        QTest::addRow("raw CAN and J1939") << QList<int>{2, 4} << 0u;
        QTest::addRow("CANopen only") << QList<int>{1} << 0u;
        QTest::addRow("line without type counts as another line") << QList<int>{4, 0} << 0u;
    }
    void globalCheck()
    {
        QFETCH(QList<int>, types);
        QFETCH(unsigned int, expected);
        ObjectDataBase db;
        db.createNewDataBase();
        for (int line = 0; line < types.size(); ++line)
            addLine(db, quint8(line), types.at(line));
        ModelChecker checker;
        Recorder recorder(checker);
        QCOMPARE(checker.startGlobalCheck(&db), expected);
        const QStringList texts =
            expected ? QStringList{"<strong><font color='red'>Error: </font></strong>Projects with "
                                   "only 'raw CAN' lines are not supported."}
                     : QStringList();
        QCOMPARE(recorder.texts(), texts);
    }
    void nodeIdSettings_data()
    {
        QTest::addColumn<Mutation>("mutate");
        ruleRow("node-ID given", [](ObjectDataBase &) {});
        ruleRow("neither node-ID nor function",
                [](ObjectDataBase &db) { db.setGeneralSettingsValue("co_node_id", ""); });
        ruleRow("function only", [](ObjectDataBase &db) {
            db.setGeneralSettingsValue("co_node_id", "");
            db.setGeneralSettingsValue("co_node_id_fct", "readDipSwitch");
        });
        ruleRow("function written as a call", [](ObjectDataBase &db) {
            db.setGeneralSettingsValue("co_node_id_fct", "readDipSwitch()");
        });
        ruleRow("per-line settings are not checked on line 0",
                [](ObjectDataBase &db) { db.setGeneralSettingsValue("nmtmaster", "2"); });
    }
    void nodeIdSettings() { runRuleRow("setting_rules.txt"); }
    void perLineSettings_data()
    {
        QTest::addColumn<QString>("nodeIds");
        QTest::addColumn<QString>("functions");
        QTest::addColumn<QString>("bufferSizes");
        QTest::addColumn<QString>("mlSettings");
        const auto row = [](const char *name, const char *ids, const char *functions,
                            const char *buffers, const char *ml) {
            QTest::newRow(name) << QString(ids) << QString(functions) << QString(buffers)
                                << QString(ml);
        };
        row("one value per line", "1,2", "", "10,5", "");
        row("single node-ID", "1", "", "10,5", "");
        row("single function", "", "getId", "10,5", "");
        row("functions per line", "", "getId,getId", "10,5", "");
        row("buffer sizes missing", "1,2", "", "", "");
        row("single buffer size", "1,2", "", "10", "");
        row("ML master without per-line roles", "1,2", "", "10,5", "0");
        row("ML master with per-line roles", "1,2", "", "10,5", "0,1");
    }
    // Line 1 of a two-line project, whose line settings hold one value per line.
    void perLineSettings()
    {
        QFETCH(QString, nodeIds);
        QFETCH(QString, functions);
        QFETCH(QString, bufferSizes);
        QFETCH(QString, mlSettings);
        ObjectDataBase db;
        buildCleanProject(db);
        buildCleanLine(db, 1);
        db.setGeneralSettingsValue("co_node_id", nodeIds);
        db.setGeneralSettingsValue("co_node_id_fct", functions);
        db.setGeneralSettingsValue("receivebuffersize", bufferSizes);
        db.setGeneralSettingsValue("transmitbuffersize", bufferSizes);
        if (!mlSettings.isEmpty()) {
            db.setGeneralSettingsValue("nmtmaster", "2");
            db.setGeneralSettingsValue("co_ml_ms", mlSettings);
        }
        const Result result = canopenCheck(db, 1);
        compareWithGolden("setting_rules.txt", findings(result), result.count);
    }
    // The clean project: no finding but what the stack folder gives.
    void stackInformation_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addRow("no stack path") << "";
        QTest::addRow("no feature file") << "stack_empty";
        QTest::addRow("stack fits") << "stack_full";
    }
    void stackInformation()
    {
        QFETCH(QString, folder);
        ObjectDataBase db;
        buildCleanProject(db);
        ModelChecker checker;
        checker.setStackPath(folder.isEmpty() ? QString() : stackFolder(folder));
        Recorder recorder(checker);
        bool modified = false;
        const int count = checker.startCANopenCheck(0, &db, modified);
        compareWithGolden("setting_rules.txt", recorder.texts(), count);
        QVERIFY(!modified);
    }
    // The checker takes the stack path and the auto-correction switch from the preferences
    // it is given.
    void userPreferences()
    {
        Preferences preferences;
        preferences.stackPath = stackFolder("stack_newer");
        preferences.disableAutoCorrection = true;
        ObjectDataBase db;
        buildCleanProject(db);
        db.setSubIndexValue(0, 0x1018, 0, "7");
        ModelChecker checker;
        checker.setPreferences(preferences);
        Recorder recorder(checker);
        bool modified = false;
        QCOMPARE(checker.startCANopenCheck(0, &db, modified, &db), 1);
        QCOMPARE(
            recorder.texts(),
            QStringList{"<strong><font color='red'>Error: </font></strong>Version of installed "
                        "stack does not fit. It requires tool version 3.5. Cannot generate "
                        "files."});
        QVERIFY(!modified);
        QCOMPARE(db.getSubIndexValue(0, 0x1018, 0), QString("7"));
    }
    void projectCheckByLineType_data()
    {
        QTest::addColumn<bool>("moreLines");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("one clean line") << false << QStringList();
        QTest::addRow("three lines")
            << true
            << QStringList({"-> Checking line 0", "-> Checking line 1",
                            "Warning line type not set for line 1.", "-> Checking line 2"});
    }
    // Lines in ascending order, announced in a multi-line project; raw CAN lines are skipped,
    // a line without a known type is reported.
    void projectCheckByLineType()
    {
        QFETCH(bool, moreLines);
        ObjectDataBase db;
        buildCleanProject(db);
        if (moreLines) {
            addLine(db, 2, 4);
            addLine(db, 1, 7);
        }
        ProjectCheck check;
        check.checker().setStackPath(stackFolder("stack_full"));
        QStringList texts;
        connect(&check, &ProjectCheck::message, this, [&texts](const QString &t) { texts << t; });
        bool modified = false;
        QCOMPARE(check.run(&db, modified), 0);
        QTEST(texts, "expected");
        QVERIFY(!modified);
    }
    // Without a database every read is empty: no settings, no objects.
    void withoutDatabase()
    {
        ModelChecker checker;
        checker.setStackPath(QString());
        bool modified = false;
        QCOMPARE(checker.startGlobalCheck(nullptr), 0u);
        // Node-ID, device type, error register, heartbeat and vendor-ID.
        QCOMPARE(checker.startCANopenCheck(0, nullptr, modified), 5);
        // The nine name settings.
        QCOMPARE(checker.startJ1939Check(1, 0, nullptr), 9);
        QCOMPARE(checker.startCANopenFeatureCheck(0, nullptr), 1);
        QVERIFY(!modified);
    }
};

NW_TEST_MAIN(TestModelCheckerSettings)
#include "tst_modelchecker_settings.moc"
