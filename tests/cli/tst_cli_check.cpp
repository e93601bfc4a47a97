#include "../checker/checkerfixture.h"
#include "golden.h"
#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

using namespace checkertest;

namespace {

const QString fullStack = stackFolder("stack_full");

} // namespace

// "nodewright-cli check PROJECT", started as a build script would start it.
class TestCliCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initApplication();
        QVERIFY(m_dir.isValid());
    }

    // The output of each row is its section of check_findings.txt.
    void findings_data()
    {
        QTest::addColumn<Mutation>("mutate");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        const QStringList stack{"--stack", fullStack};
        QTest::addRow("clean project") << Mutation([](ObjectDataBase &) {}) << stack << 0;
        QTest::addRow("error and warning") << Mutation([](ObjectDataBase &db) {
            db.delIndex(0, 0x1000);
            db.setSubIndexValue(0, 0x1018, 1, "0x2B7");
        }) << stack << 1;
        QTest::addRow("no stack path") << Mutation([](ObjectDataBase &) {}) << QStringList{} << 1;
        QTest::addRow("raw CAN only")
            << Mutation([](ObjectDataBase &db) { db.setGeneralSettingsValue("line0type", "4"); })
            << stack << 1;
    }

    void findings()
    {
        QFETCH(Mutation, mutate);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        const QString project = saveProject(QTest::currentDataTag(), mutate);
        QVERIFY(!project.isEmpty());
        const nwtest::ProcessResult output = run(options + QStringList{project});
        const QString diff = golden::goldenSectionDiff(
            QStringLiteral(NW_TEST_DATA_DIR "/cli/check_findings.txt"), output.out.split('\n'));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(output.err, QString());
        QCOMPARE(output.exitCode, exitCode);
    }

    // Problems with the project file: one line, and the file is left as it was.
    void badProject_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("problem");
        const QString missing = QDir::tempPath() + "/no-such-project.nwrp";
        const QString garbage = QStringLiteral(NW_TEST_DATA_DIR "/checker/stack_empty/CHANGELOG");
        QTest::addRow("missing project") << missing << missing + ": no such file";
        QTest::addRow("not a project file") << garbage << garbage + ": not a project file";
        QTest::addRow("folder") << m_dir.path() << m_dir.path() + ": cannot read the file";
    }

    void badProject()
    {
        QFETCH(QString, project);
        QFETCH(QString, problem);
        const QByteArray before = nwReadFile(project);
        const nwtest::ProcessResult output = run({project});
        QCOMPARE(output.exitCode, 2);
        QCOMPARE(nwReadFile(project), before);
        QCOMPARE(output.err, "nodewright-cli check: " + problem + '\n');
        QCOMPARE(output.out, QString());
    }

    void corrections_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QString>("storedValue");
        QTest::addRow("reported, not saved")
            << QStringList{}
            << "Corrections were not saved; run with --save to write them to the "
               "project."
            << "2";
        QTest::addRow("saved") << QStringList{"--save"} << "Corrections saved to %1"
                               << QString("4");
        QTest::addRow("auto-correction off")
            << QStringList{"--no-autocorrection", "--save"} << "Check of model consistency finished"
            << "2";
    }

    // Sub-index 0 of the identity object says 2 while 1..4 exist.
    void corrections()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, lastLine);
        QFETCH(QString, storedValue);
        const QString project = saveProject(QTest::currentDataTag(), [](ObjectDataBase &db) {
            db.setSubIndexValue(0, 0x1018, 0, "2");
        });
        QVERIFY(!project.isEmpty());
        const nwtest::ProcessResult output =
            run(QStringList{"--stack", fullStack} + options << project);
        QCOMPARE(output.exitCode, 0);
        const QStringList lines = output.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.last(), lastLine.contains("%1") ? lastLine.arg(project) : lastLine);
        const bool corrected = !options.contains("--no-autocorrection");
        QCOMPARE(lines.contains("Corrected: Object 0x1018: The value of subindex 0 does not fit to "
                                "the highest subindex."),
                 corrected);
        ObjectDataBase db;
        QVERIFY(db.openDataBase(project, false));
        QCOMPARE(db.getSubIndexValue(0, 0x1018, 0), storedValue);
    }

private:
    static nwtest::ProcessResult run(const QStringList &args)
    {
        return nwtest::runCli(QStringList{"check"} + args);
    }

    QString saveProject(const QString &name, Mutation mutate)
    {
        ObjectDataBase db;
        buildCleanProject(db);
        mutate(db);
        const QString path = m_dir.filePath(name + ".nwrp");
        return db.saveDataBase(path) ? path : QString();
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
