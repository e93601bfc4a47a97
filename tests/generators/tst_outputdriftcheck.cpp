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

    void init()
    {
        dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nwdrift-XXXXXX")));
    }

    void cleanup() { AbstractGenerator::setFixedDateTime(gentest::fixedTime()); }

    void sameOutput_data()
    {
        QTest::addColumn<QByteArray>("generated");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<bool>("same");
        const auto row = [](const char *name, const QByteArray &generated,
                            const QByteArray &existing,
                            bool same) { QTest::newRow(name) << generated << existing << same; };
        const QByteArray header = "/*\n * gen_define.h for demo\n * Tue Mar 5 14:07:09 2024\n */\n";
        const QByteArray title =
            "  <title>Object Dictionary demo - Tue Mar 5 14:07:09 2024</title>\n";
        const auto dated = [](QByteArray text, const char *date) {
            return text.replace("Tue Mar 5 14:07:09 2024", date);
        };
        row("identical", header, header, true);
        row("date line of a C file", header, dated(header, "Sun Nov 30 09:01:02 2025"), true);
        row("EDS time stamps",
            "[FileInfo]\r\nCreationTime=02:07PM\r\nCreationDate=03-05-24\r\n"
            "ModificationTime=02:07PM\r\nModificationDate=03-05-24\r\n",
            "[FileInfo]\r\nCreationTime=09:15AM\r\nCreationDate=11-30-25\r\n"
            "ModificationTime=09:15AM\r\nModificationDate=11-30-25\r\n",
            true);
        row("generation counter", "#define GEN_GENERATION_COUNT\t8ul\n",
            "#define GEN_GENERATION_COUNT\t7ul\n", true);
        row("time in an HTML title", title, dated(title, "Sun Nov 30 09:01:02 2025"), true);
        row("HTML title changed", title, QByteArray(title).replace("demo", "mine"), false);
        row("changed value", "[2000sub1]\r\nDefaultValue=1\r\n", "[2000sub1]\r\nDefaultValue=2\r\n",
            false);
        row("date under another key", "CreationDate=03-05-24\r\n", "ModificationDate=03-05-24\r\n",
            false);
        row("date line edited by hand", header, dated(header, "edited by hand"), false);
        row("counter define renamed", "#define GEN_GENERATION_COUNT\t8ul\n",
            "#define GEN_COUNT\t7ul\n", false);
        row("line added", header, header + "int x;\n", false);
        row("line ends changed", "a\r\nb\r\n", "a\nb\n", false);
    }

    void sameOutput()
    {
        QFETCH(QByteArray, generated);
        QFETCH(QByteArray, existing);
        QTEST(OutputDriftCheck::sameOutput(generated, existing), "same");
    }

    void unchangedProjectLaterDay()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        db.setGeneralSettingsValue(QStringLiteral("generate_generation_counter"),
                                   QStringLiteral("1"));
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

    void afterChange_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("differing");
        QTest::addColumn<QStringList>("missing");
        QTest::addRow("changed value")
            << 0 << int(OutputDriftCheck::OutOfDate)
            << QStringList{"demo.csv", "demo.eds", "demo.html", "demo_doc.txt", "gen_objdict.c"}
            << QStringList();
        QTest::addRow("missing file")
            << 1 << int(OutputDriftCheck::OutOfDate) << QStringList() << QStringList{"demo.csv"};
        QTest::addRow("failed check")
            << 2 << int(OutputDriftCheck::NotGenerated) << QStringList() << QStringList();
    }

    // A check after the project or the folder changed: what differs, and the folder untouched.
    void afterChange()
    {
        QFETCH(int, change);
        QFETCH(int, result);
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
        QTEST(drift.differingFiles(), "differing");
        QTEST(drift.missingFiles(), "missing");
        QCOMPARE(snapshot(), before);
        if (result == OutputDriftCheck::NotGenerated) {
            QCOMPARE(drift.runOutcome(), GenerationRun::CheckFailed);
            QCOMPARE(drift.failureText(), QStringLiteral("The project contains critical errors. "
                                                         "Check Generator Output window."));
        }
    }

private:
    // Generates the project into the test folder as the window would.
    void generate(ObjectDataBase &db)
    {
        GenerationRun run(&db);
        run.setProject(dir->path(), QStringLiteral("demo"));
        run.setPreferences(gentest::testPreferences());
        QCOMPARE(run.run(), GenerationRun::Completed);
        run.adjustLineEndings();
    }

    // Name, size and content of every file of the folder.
    QStringList snapshot() const
    {
        QStringList entries;
        const QDir folder(dir->path());
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
            entries << name + QLatin1Char(' ') + gentest::readText(folder.filePath(name));
        return entries;
    }

    QScopedPointer<QTemporaryDir> dir;
};

NW_TEST_MAIN(TestOutputDriftCheck)
#include "tst_outputdriftcheck.moc"
