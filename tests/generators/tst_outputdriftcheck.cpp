#include "generators/outputdriftcheck.h"
#include "generatortestutil.h"

#include "nwtest.h"
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

// The drift check: which line changes count, and a check of the files a run wrote before.
class TestOutputDriftCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init();
    void cleanup() { AbstractGenerator::setFixedDateTime(gentest::fixedTime()); }
    void sameOutput_data();
    void sameOutput();
    void unchangedProjectLaterDay();
    void afterChange_data();
    void afterChange();

private:
    // Generates the project into the test folder as the window would.
    void generate(ObjectDataBase &db);
    // Name, size and content of every file of the folder.
    QStringList snapshot() const;

    QScopedPointer<QTemporaryDir> dir;
};

void TestOutputDriftCheck::init()
{
    dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nwdrift-XXXXXX")));
}

void TestOutputDriftCheck::sameOutput_data()
{
    QTest::addColumn<QByteArray>("generated");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("same");
    const QByteArray header = "/*\n * gen_define.h for demo\n * Tue Mar 5 14:07:09 2024\n */\n";
    QTest::addRow("identical") << header << header << true;
    QTest::addRow("date line of a C file")
        << header
        << QByteArray(header).replace("Tue Mar 5 14:07:09 2024", "Sun Nov 30 09:01:02 2025")
        << true;
    QTest::addRow("EDS time stamps")
        << QByteArray("[FileInfo]\r\nCreationTime=02:07PM\r\nCreationDate=03-05-24\r\n"
                      "ModificationTime=02:07PM\r\nModificationDate=03-05-24\r\n")
        << QByteArray("[FileInfo]\r\nCreationTime=09:15AM\r\nCreationDate=11-30-25\r\n"
                      "ModificationTime=09:15AM\r\nModificationDate=11-30-25\r\n")
        << true;
    QTest::addRow("generation counter")
        << QByteArray("#define GEN_GENERATION_COUNT\t8ul\n")
        << QByteArray("#define GEN_GENERATION_COUNT\t7ul\n") << true;
    QTest::addRow("time in an HTML title")
        << QByteArray("  <title>Object Dictionary demo - Tue Mar 5 14:07:09 2024</title>\n")
        << QByteArray("  <title>Object Dictionary demo - Sun Nov 30 09:01:02 2025</title>\n")
        << true;
    QTest::addRow("HTML title changed")
        << QByteArray("  <title>Object Dictionary demo - Tue Mar 5 14:07:09 2024</title>\n")
        << QByteArray("  <title>Object Dictionary mine - Tue Mar 5 14:07:09 2024</title>\n")
        << false;
    QTest::addRow("changed value") << QByteArray("[2000sub1]\r\nDefaultValue=1\r\n")
                                   << QByteArray("[2000sub1]\r\nDefaultValue=2\r\n") << false;
    QTest::addRow("date under another key") << QByteArray("CreationDate=03-05-24\r\n")
                                            << QByteArray("ModificationDate=03-05-24\r\n") << false;
    QTest::addRow("date line edited by hand")
        << header << QByteArray(header).replace("Tue Mar 5 14:07:09 2024", "edited by hand")
        << false;
    QTest::addRow("counter define renamed") << QByteArray("#define GEN_GENERATION_COUNT\t8ul\n")
                                            << QByteArray("#define GEN_COUNT\t7ul\n") << false;
    QTest::addRow("line added") << header << header + "int x;\n" << false;
    QTest::addRow("line ends changed") << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n") << false;
}

void TestOutputDriftCheck::sameOutput()
{
    QFETCH(QByteArray, generated);
    QFETCH(QByteArray, existing);
    QFETCH(bool, same);
    QCOMPARE(OutputDriftCheck::sameOutput(generated, existing), same);
}

void TestOutputDriftCheck::generate(ObjectDataBase &db)
{
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    run.setPreferences(gentest::testPreferences());
    QCOMPARE(run.run(), GenerationRun::Completed);
    run.adjustLineEndings();
}

QStringList TestOutputDriftCheck::snapshot() const
{
    QStringList entries;
    const QDir folder(dir->path());
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        entries << name + QLatin1Char(' ') + gentest::readText(folder.filePath(name));
    return entries;
}

void TestOutputDriftCheck::unchangedProjectLaterDay()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    db.setGeneralSettingsValue(QStringLiteral("generate_generation_counter"), QStringLiteral("1"));
    generate(db);
    // A user section written into gen_define.h by hand is kept by every generation.
    const QString define = dir->path() + QStringLiteral("/gen_define.h");
    QString text = gentest::readText(define);
    text.replace(QStringLiteral("/* user-specific section: start */\n"),
                 QStringLiteral("/* user-specific section: start */\n#define MY_OPTION 1\n"));
    gentest::writeText(define, text);
    // Neither the user's command nor the record for the sibling tools belong to a check.
    Preferences preferences = gentest::testPreferences();
    preferences.postGenerationCommand = QStringLiteral("/usr/bin/touch");
    preferences.postGenerationArguments = dir->path() + QStringLiteral("/command-ran");
    const QStringList before = snapshot();
    AbstractGenerator::setFixedDateTime(QDateTime(QDate(2025, 11, 30), QTime(9, 1, 2)));
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    run.setPreferences(preferences);
    QSignalSpy edsRecorded(&run, &GenerationRun::standardEdsGenerated);
    OutputDriftCheck drift(&run);
    QVERIFY2(drift.check() == OutputDriftCheck::UpToDate,
             qPrintable(drift.differingFiles().join(' ') + drift.missingFiles().join(' ')));
    QVERIFY(drift.comparedFiles().contains(QStringLiteral("gen_define.h")));
    QVERIFY(drift.comparedFiles().contains(QStringLiteral("demo.eds")));
    QCOMPARE(snapshot(), before);
    QCOMPARE(run.outputDirectory(), dir->path());
    QCOMPARE(edsRecorded.count(), 0);
}

void TestOutputDriftCheck::afterChange_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("differing");
    QTest::addColumn<QStringList>("missing");
    QTest::addRow("changed value")
        << 0 << int(OutputDriftCheck::OutOfDate)
        << QStringList{"demo.csv", "demo.eds", "demo.html", "demo_doc.txt", "gen_objdict.c"}
        << QStringList();
    QTest::addRow("missing file") << 1 << int(OutputDriftCheck::OutOfDate) << QStringList()
                                  << QStringList{"demo.csv"};
    QTest::addRow("failed check") << 2 << int(OutputDriftCheck::NotGenerated) << QStringList()
                                  << QStringList();
}

// A check after the project or the folder changed: what differs, and the folder untouched.
void TestOutputDriftCheck::afterChange()
{
    QFETCH(int, change);
    QFETCH(int, result);
    QFETCH(QStringList, differing);
    QFETCH(QStringList, missing);
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    generate(db);
    if (change == 0)
        db.setSubIndexValue(0, 0x2000, 1, QStringLiteral("1234"));
    else if (change == 1)
        QVERIFY(QFile::remove(dir->path() + QStringLiteral("/demo.csv")));
    else
        db.delIndex(0, 0x1000);
    const QStringList before = snapshot();
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    run.setPreferences(gentest::testPreferences());
    OutputDriftCheck drift(&run);
    QCOMPARE(int(drift.check()), result);
    QCOMPARE(drift.differingFiles(), differing);
    QCOMPARE(drift.missingFiles(), missing);
    QCOMPARE(snapshot(), before);
    if (result == OutputDriftCheck::NotGenerated) {
        QCOMPARE(drift.runOutcome(), GenerationRun::CheckFailed);
        QCOMPARE(drift.failureText(), QStringLiteral("The project contains critical errors. "
                                                     "Check Generator Output window."));
    }
}

NW_TEST_MAIN(TestOutputDriftCheck)
#include "tst_outputdriftcheck.moc"
