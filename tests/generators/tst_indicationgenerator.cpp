#include "compilecheck.h"
#include "generators/indicationgenerator.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QTemporaryDir>

// gen_indication.h: the prototypes of the static indication functions.
class TestIndicationGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void prototypes_data();
    void prototypes();
    void goldenFile();
    void compilesAgainstStack();

private:
    QString generate(ObjectDataBase &db);
    static void setAllFunctions(ObjectDataBase &db);
    QTemporaryDir dir;
};

QString TestIndicationGenerator::generate(ObjectDataBase &db)
{
    indicationgenerator generator;
    if (!gentest::runGenerator(generator, db, dir.path(), QStringLiteral("indications")))
        return QStringLiteral("<not started>");
    return gentest::readText(dir.path() + QStringLiteral("/gen_indication.h"));
}

const char *const settingNames[] = {"fct_sdo_server_read",
                                    "fct_sdo_server_write",
                                    "fct_sdo_server_check_write",
                                    "fct_pdo",
                                    "fct_pdo_receive",
                                    "fct_pdo_sync",
                                    "fct_nmt",
                                    "fct_errctrl",
                                    "fct_sync",
                                    "fct_sync_finished",
                                    "fct_led_green",
                                    "fct_led_red",
                                    "fct_can",
                                    "fct_cfgman",
                                    "fct_flyma",
                                    "fct_sdo_client_read",
                                    "fct_sdo_client_write",
                                    "fct_emcy",
                                    "fct_emcy_consumer",
                                    "fct_time",
                                    "fct_store",
                                    "fct_lss",
                                    "fct_lss_master",
                                    "fct_comm",
                                    "fct_manager",
                                    "fct_mpdo"};

void TestIndicationGenerator::setAllFunctions(ObjectDataBase &db)
{
    for (const char *name : settingNames)
        db.setGeneralSettingsValue(QLatin1String(name),
                                   QStringLiteral(" app_%1 ").arg(QLatin1String(name + 4)));
}

void TestIndicationGenerator::prototypes_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("value");
    // The single-line forms of every function are pinned by the golden file.
    QTest::addRow("no functions") << 1 << "fct_nmt"
                                  << "   ";
    QTest::addRow("nmt, two lines, trimmed") << 2 << "fct_nmt"
                                             << "  myNmt  ";
    QTest::addRow("nmt, one line") << 1 << "fct_nmt"
                                   << "myNmt";
    QTest::addRow("emergency consumer") << 2 << "fct_emcy_consumer"
                                        << "emcy";
}

// The whole file of each row is pinned in indication_prototypes.txt.
void TestIndicationGenerator::prototypes()
{
    QFETCH(int, lines);
    QFETCH(QString, setting);
    QFETCH(QString, value);
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    if (lines == 2) {
        gentest::addLine(db, 1, 1);
        gentest::addCanopenBasics(db, 1);
    }
    // A line with a single object does not count as a line of its own.
    gentest::addLine(db, 2, 1);
    gentest::addVar(db, 2, 0x1000, QStringLiteral("Device Type"));
    db.setGeneralSettingsValue(setting, value);
    const QString diff = gentest::goldenSectionDiff(
        QStringLiteral(NW_TEST_DATA_DIR "/generators/indication_prototypes.txt"),
        gentest::maskedLines(generate(db)));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestIndicationGenerator::goldenFile()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    setAllFunctions(db);
    const QString diff = gentest::goldenDiff(
        QStringLiteral(NW_TEST_DATA_DIR "/generators/gen_indication.h"), generate(db));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestIndicationGenerator::compilesAgainstStack()
{
    if (!nwHaveCCompiler())
        QSKIP("no C compiler");
    for (int lines : {1, 2}) {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        if (lines == 2) {
            gentest::addLine(db, 1, 1);
            gentest::addCanopenBasics(db, 1);
        }
        setAllFunctions(db);
        generate(db);
        QString diagnostics;
        QVERIFY2(nwCompileHeaders(
                     dir.path(), {QStringLiteral("co_canopen.h")},
                     {QStringLiteral("gen_indication.h"), QStringLiteral("gen_indication.h")},
                     &diagnostics),
                 qPrintable(diagnostics));
    }
}

NW_TEST_MAIN(TestIndicationGenerator)
#include "tst_indicationgenerator.moc"
