#include "compilecheck.h"
#include "generators/generationrun.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QDir>
#include <QTemporaryDir>

// Every C file and header a generation run writes for the fixture projects compiles
// against the stack stand-ins, whichever generators this build has.
class TestGeneratedCode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        if (!nwHaveCCompiler())
            QSKIP("no C compiler");
    }

    void compiles_data()
    {
        QTest::addColumn<int>("fixture");
        QTest::addRow("CANopen") << 0;
        QTest::addRow("J1939") << 1;
        QTest::addRow("CANopen and J1939") << 2;
    }

    void compiles()
    {
        QFETCH(int, fixture);
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/nwcode-XXXXXX"));
        ObjectDataBase db;
        if (fixture == 0)
            gentest::buildCanopenProject(db);
        else if (fixture == 1)
            gentest::buildJ1939Project(db);
        else
            gentest::buildMixedProject(db);
        GenerationRun run(&db);
        run.setProject(dir.path(), QStringLiteral("demo"));
        run.setPreferences(gentest::testPreferences());
        QCOMPARE(run.run(), GenerationRun::Completed);
        const QString folder = dir.path();
        QVERIFY(QFile::exists(folder + QStringLiteral("/gen_define.h")));
        QStringList headers =
            QDir(folder).entryList({QStringLiteral("gen_*.h")}, QDir::Files, QDir::Name);
        headers.removeAll(QStringLiteral("gen_define.h"));
        headers.prepend(QStringLiteral("gen_define.h"));
        QString diagnostics;
        QVERIFY2(nwCompileHeaders(folder,
                                  {QStringLiteral("co_canopen.h"), QStringLiteral("j1939_j1939.h")},
                                  headers, &diagnostics),
                 qPrintable(headers.join(' ') + '\n' + diagnostics));
        const QStringList sources =
            QDir(folder).entryList({QStringLiteral("*.c")}, QDir::Files, QDir::Name);
        for (const QString &source : sources) {
            QVERIFY2(nwCompileCFile(folder + '/' + source, &diagnostics, {},
                                    {QStringLiteral("-DJWR_USE_GENERATED_VARIABLES=1")}),
                     qPrintable(source + '\n' + diagnostics));
        }
        if (fixture != 0)
            QVERIFY(sources.contains(QStringLiteral("gen_var_decl.c")));
    }
};

NW_TEST_MAIN(TestGeneratedCode)
#include "tst_generatedcode.moc"
