#include "../description/descriptiontestutil.h"
#include "generators/generationrun.h"
#include "generators/outputdriftcheck.h"

#include "nwtest.h"
#include "processrunner.h"

#include <QDir>
#include <QTemporaryDir>

// `nodewright-cli export` and `nodewright-cli generate --check`, started as a script would:
// the description files of the generation run selected by format, line and variant, and
// the check that the files on disk are what the project generates.
class TestCliExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init() { dir.reset(new QTemporaryDir); }

    // The arguments follow the project @/demo.nwrp unless they name another first.
    void usageAndInputErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, QStringList args, const char *error) {
            if (!args.value(0).startsWith('@'))
                args.prepend("@/demo.nwrp");
            QTest::newRow(name) << args << QString(error);
        };
        row("no format", {}, "missing option --format eds|xdd|csv|html|txt");
        row("unknown format", {"--format", "dbc"},
            "unknown format 'dbc' (eds, xdd, csv, html or txt)");
        row("line no number", {"--format", "eds", "--line", "x"},
            "--line needs a line number from 0 to 239");
        row("variant of a CSV", {"--format", "csv", "--variant", "FULL"},
            "--variant applies to EDS files only");
        row("line without CANopen", {"--format", "eds", "--line", "7"},
            "line 7 is not a CANopen line of the project");
        row("documentation of an unknown line", {"--format", "html", "--line", "7"},
            "line 7 is not a CANopen or J1939 line of the project");
        row("unknown variant", {"--format", "eds", "--line", "0", "--variant", "full"},
            "line 0 has no EDS variant 'full'; its variants: \"\", FULL");
        row("missing project", {"@/none.nwrp", "--format", "csv"}, "@/none.nwrp: no such file");
        row("output is a file", {"--format", "csv", "--output", "@/demo.nwrp"},
            "The output folder @/demo.nwrp is not writable.");
    }

    void usageAndInputErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QVERIFY(!saveProject().isEmpty());
        const Result result = run(args);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.err.section('\n', 0, 0),
                 QStringLiteral("nodewright-cli export: ") + error.replace('@', dir->path()));
        QCOMPARE(result.out, QStringList());
        QCOMPARE(files(dir->path()), QStringList());
    }

    void sameFilesAsTheRun_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("written");
        QTest::addRow("eds") << "eds" << QStringList{"!", "demo_0.eds", "demo_0_FULL.eds",
                                                     "!", "demo_1.eds", "demo_1_ONE.eds"};
        QTest::addRow("csv") << "csv" << QStringList{"demo_0.csv", "demo_1.csv"};
        QTest::addRow("html") << "html" << QStringList{"demo_0.html", "demo_1.html"};
        QTest::addRow("txt") << "txt" << QStringList{"demo_0.txt", "demo_1.txt"};
    }

    void sameFilesAsTheRun()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, written);
        const QString project = saveProject();
        QVERIFY(!project.isEmpty());
        const Result result = run({project, "--format", format});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(result.out, expectedOutput(written));
        ObjectDataBase db;
        QVERIFY(db.openDataBase(project, false));
        QTemporaryDir runFolder;
        GenerationRun generation(&db);
        generation.setProject(runFolder.path(), QStringLiteral("demo"));
        generation.setModelCheckEnabled(false);
        QCOMPARE(generation.run(), GenerationRun::Completed);
        for (const QString &name : written) {
            if (name == QLatin1String("!"))
                continue;
            const QByteArray exported = gentest::readText(dir->path() + '/' + name).toUtf8();
            const QByteArray generated = gentest::readText(runFolder.path() + '/' + name).toUtf8();
            QVERIFY2(OutputDriftCheck::sameOutput(generated, exported), qPrintable(name));
        }
    }

    void selection_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("written");
        const auto row = [](const char *name, const QStringList &args, const QStringList &written) {
            QTest::newRow(name) << args << written;
        };
        row("one line", {"--format", "eds", "--line", "1"}, {"!", "demo_1.eds", "demo_1_ONE.eds"});
        row("one variant", {"--format", "eds", "--line", "0", "--variant", "FULL"},
            {"demo_0_FULL.eds"});
        row("the base file", {"--format", "eds", "--variant", ""}, {"demo_0.eds", "demo_1.eds"});
        row("into a new folder", {"--format", "csv", "--line", "0", "--output", "@/out/csv"},
            {"out/csv/demo_0.csv"});
    }

    void selection()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, written);
        const QString project = saveProject();
        const Result result = run(QStringList{project} + args);
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(result.out, expectedOutput(written));
        const QStringList paths = result.out.filter(dir->path());
        for (const QString &path : paths)
            QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(files(dir->path()).size() + files(dir->path() + "/out/csv").size(), paths.size());
    }

    void generateCheck()
    {
        const QString project = saveProject();
        const QStringList generate{QStringLiteral("generate"), project,
                                   QStringLiteral("--no-check")};
        QCOMPARE(cli(generate).exitCode, 0);
        const auto snapshot = [this]() {
            QStringList entries;
            for (const QString &name : QDir(dir->path()).entryList(QDir::Files, QDir::Name))
                entries << name + ' ' + gentest::readText(dir->path() + '/' + name);
            return entries;
        };
        const QStringList generated = snapshot();
        const QStringList check = generate + QStringList{"--check"};
        Result result = cli(check);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.size(), 1);
        QVERIFY2(result.out.first().startsWith(QLatin1String("All ")),
                 qPrintable(result.out.first()));
        QVERIFY(result.out.first().endsWith(QLatin1String(" generated files are up to date.")));
        QCOMPARE(snapshot(), generated);
        // A file edited by hand and one deleted since the last generation.
        QString eds = gentest::readText(dir->path() + "/demo_0.eds");
        gentest::writeText(dir->path() + "/demo_0.eds",
                           eds.replace("DefaultValue=0x1a", "DefaultValue=9"));
        QVERIFY(QFile::remove(dir->path() + "/demo_1.csv"));
        const QStringList changed = snapshot();
        result = cli(check);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out.mid(0, 2),
                 QStringList({dir->path() + "/demo_0.eds: differs from the generated file",
                              dir->path() + "/demo_1.csv: missing"}));
        QVERIFY(result.out.value(2).startsWith(QLatin1String("2 of ")));
        QCOMPARE(snapshot(), changed);
    }

private:
    struct Result
    {
        int exitCode;
        QStringList out;
        QString err;
    };

    // nodewright-cli with the arguments; "@" stands for the test's folder.
    Result cli(QStringList args) const
    {
        for (QString &arg : args)
            arg.replace('@', dir->path());
        nwtest::ProcessOptions options;
        options.timeoutMs = 120000;
        const nwtest::ProcessResult result = nwtest::runCli(args, options);
        QString out = result.out;
        out.chop(out.endsWith('\n') ? 1 : 0);
        return {result.exitCode, out.isEmpty() ? QStringList() : out.split('\n'), result.err};
    }

    Result run(const QStringList &args) const { return cli(QStringList{"export"} + args); }

    // The description fixture with a second CANopen line, saved as demo.nwrp.
    QString saveProject() const
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        gentest::addLine(db, 1, 1);
        gentest::addCanopenBasics(db, 1);
        gentest::addVar(db, 1, 0x2000, QStringLiteral("Line one only"), 7, {{"eds_define", "ONE"}});
        // The export leaves the model check out: a missing mandatory object does not stop it.
        db.delIndex(1, 0x1001);
        const QString path = dir->path() + "/demo.nwrp";
        return db.saveDataBase(path) ? path : QString();
    }

    QStringList files(const QString &folder) const
    {
        return QDir(folder).entryList({QStringLiteral("*.eds"), QStringLiteral("*.csv")},
                                      QDir::Files, QDir::Name);
    }

    // The paths of the files in the folder of the test, and "!" for the warning about
    // several variants.
    QStringList expectedOutput(const QStringList &written) const
    {
        QStringList lines;
        for (const QString &name : written) {
            lines << (name == QLatin1String("!")
                          ? QStringLiteral("Warning: multiple different EDS files to be generated.")
                          : dir->path() + QLatin1Char('/') + name);
        }
        return lines;
    }

    QScopedPointer<QTemporaryDir> dir;
};

NW_TEST_MAIN(TestCliExport)
#include "tst_cli_export.moc"
