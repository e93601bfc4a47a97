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

    void prototypes_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("setting"); // key=value
        // The single-line forms of every function are pinned by the golden file.
        QTest::addRow("no functions") << 1 << "fct_nmt=   ";
        QTest::addRow("nmt, two lines, trimmed") << 2 << "fct_nmt=  myNmt  ";
        QTest::addRow("nmt, one line") << 1 << "fct_nmt=myNmt";
        QTest::addRow("emergency consumer") << 2 << "fct_emcy_consumer=emcy";
    }

    // The whole file of each row is pinned in indication_prototypes.txt.
    void prototypes()
    {
        QFETCH(int, lines);
        QFETCH(QString, setting);
        ObjectDataBase db;
        build(db, lines);
        // A line with a single object does not count as a line of its own.
        gentest::addLine(db, 2, 1);
        gentest::addVar(db, 2, 0x1000, "Device Type");
        db.setGeneralSettingsValue(setting.section(QLatin1Char('='), 0, 0),
                                   setting.section(QLatin1Char('='), 1));
        GENTEST_VERIFY_EMPTY(gentest::goldenSectionDiff(
            gentest::testData("indication_prototypes.txt"), gentest::maskedLines(generate(db))));
    }

    void goldenFile()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        setAllFunctions(db);
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("gen_indication.h"), generate(db)));
    }

    void compilesAgainstStack()
    {
        if (!nwHaveCCompiler())
            QSKIP("no C compiler");
        for (int lines : {1, 2}) {
            ObjectDataBase db;
            build(db, lines);
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

private:
    QString generate(ObjectDataBase &db)
    {
        indicationgenerator generator;
        if (!gentest::runGenerator(generator, db, dir.path(), QStringLiteral("indications")))
            return QStringLiteral("<not started>");
        return gentest::readText(dir.path() + QStringLiteral("/gen_indication.h"));
    }

    // Every indication function setting, each set to " app_<name> ".
    void setAllFunctions(ObjectDataBase &db)
    {
        const QString names = QStringLiteral(
            "sdo_server_read sdo_server_write sdo_server_check_write pdo pdo_receive pdo_sync nmt "
            "errctrl sync sync_finished led_green led_red can cfgman flyma sdo_client_read "
            "sdo_client_write emcy emcy_consumer time store lss lss_master comm manager mpdo");
        for (const QString &name : names.split(QLatin1Char(' ')))
            db.setGeneralSettingsValue(QStringLiteral("fct_") + name,
                                       QStringLiteral(" app_%1 ").arg(name));
    }

    // Line 0 CANopen, with a second CANopen line for lines == 2.
    void build(ObjectDataBase &db, int lines)
    {
        gentest::buildCanopenProject(db);
        if (lines == 2) {
            gentest::addLine(db, 1, 1);
            gentest::addCanopenBasics(db, 1);
        }
    }

    QTemporaryDir dir;
};

NW_TEST_MAIN(TestIndicationGenerator)
#include "tst_indicationgenerator.moc"
