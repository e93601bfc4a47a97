#include "../generators/generatortestutil.h"
#include "nwtest.h"
#include "processrunner.h"

#include <QDir>
#include <QTemporaryDir>

// `nodewright-cli generate` and `nodewright-cli info`, started as a script would.
class TestCliGenerate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void usageAndFileErrors_data();
    void usageAndFileErrors();
    void generatesIntoProjectFolder();
    void generatesIntoOtherFolder();
    void skipsCheck();
    void failedCheck();
    void userTextUnchanged();
    void fileNotWritten();
    void info();

private:
    using Result = nwtest::ProcessResult;
    Result run(const QStringList &args) const;
    QString saveProject(void (*build)(ObjectDataBase &), const QString &name) const;
    QScopedPointer<QTemporaryDir> dir;
};

void TestCliGenerate::initTestCase()
{
    gentest::initApplication();
}

void TestCliGenerate::init()
{
    dir.reset(new QTemporaryDir);
}

// Generation runs check the project against the test stack, given on the command line as
// a user without the window's settings would give it.
TestCliGenerate::Result TestCliGenerate::run(const QStringList &args) const
{
    QStringList withStack = args;
    if (args.value(0) == QLatin1String("generate"))
        withStack << QStringLiteral("--stack") << gentest::testStackFolder();
    nwtest::ProcessOptions options;
    options.timeoutMs = 120000;
    return nwtest::runCli(withStack, options);
}

QString TestCliGenerate::saveProject(void (*build)(ObjectDataBase &), const QString &name) const
{
    ObjectDataBase db;
    build(db);
    const QString path = dir->path() + QLatin1Char('/') + name + QStringLiteral(".nwrp");
    return db.saveDataBase(path) ? path : QString();
}

void TestCliGenerate::usageAndFileErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::addRow("missing project")
        << QStringList{"generate", "@/none.nwrp"} << "@/none.nwrp: no such file";
    QTest::addRow("corrupt project")
        << QStringList{"generate", "@/corrupt.nwrp"} << "@/corrupt.nwrp: not a project file";
    QTest::addRow("empty project file")
        << QStringList{"info", "@/empty.nwrp"} << "@/empty.nwrp: not a project file";
    QTest::addRow("info of a folder") << QStringList{"info", "@"} << "@: cannot read the file";
}

void TestCliGenerate::usageAndFileErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    gentest::writeText(dir->path() + QStringLiteral("/corrupt.nwrp"),
                       QStringLiteral("SQLite format 3\nthis is no database at all"));
    gentest::writeText(dir->path() + QStringLiteral("/empty.nwrp"), QString());
    for (QString &arg : args)
        arg.replace('@', dir->path());
    error.replace('@', dir->path());
    const Result result = run(args);
    QCOMPARE(result.exitCode, 2);
    const QString firstLine = result.err.section('\n', 0, 0);
    QVERIFY2(firstLine.endsWith(error), qPrintable(result.err));
    QVERIFY2(firstLine.startsWith(QLatin1String("nodewright-cli ")), qPrintable(result.err));
    QCOMPARE(result.out, QString());
}

void TestCliGenerate::generatesIntoProjectFolder()
{
    const QString project = saveProject(&gentest::buildMixedProject, QStringLiteral("mixed"));
    QVERIFY(!project.isEmpty());
    const QByteArray before = gentest::readText(project).toLatin1();
    const Result result = run({QStringLiteral("generate"), project});
    QVERIFY2(result.exitCode == 0, qPrintable(result.out + result.err));
    const QStringList lines = result.out.split('\n');
    QCOMPARE(lines.first(), QString());
    QCOMPARE(lines.at(1), QStringLiteral("Check of model consistency started"));
    QVERIFY(lines.contains(
        QStringLiteral("Generation of gen_indices.h in %1 started").arg(dir->path())));
    QVERIFY(lines.contains(QStringLiteral("Generation of gen_extern_decl.h completed.")));
    QVERIFY(!result.out.contains('<'));
    for (const char *file : {"gen_indices.h", "gen_indication.h", "gen_extern_decl.h"})
        QVERIFY2(QFile::exists(dir->path() + '/' + file), file);
    // The project file itself is left alone, although the run removed PGN 0xEE00.
    QCOMPARE(gentest::readText(project).toLatin1(), before);
}

void TestCliGenerate::generatesIntoOtherFolder()
{
    const QString project = saveProject([](ObjectDataBase &db) { gentest::buildJ1939Project(db); },
                                        QStringLiteral("truck"));
    const QString output = dir->path() + QStringLiteral("/out/sub");
    const Result result =
        run({QStringLiteral("generate"), project, QStringLiteral("--output"), output});
    QVERIFY2(result.exitCode == 0, qPrintable(result.out + result.err));
    QVERIFY(QFile::exists(output + QStringLiteral("/gen_extern_decl.h")));
    QVERIFY(!QFile::exists(dir->path() + QStringLiteral("/gen_extern_decl.h")));
    QVERIFY(gentest::readText(output + QStringLiteral("/gen_extern_decl.h"))
                .contains(QLatin1String(" *  variable declarations for truck - generated by")));
}

void TestCliGenerate::skipsCheck()
{
    const QString project = saveProject(&gentest::buildCanopenProject, QStringLiteral("node"));
    const Result result = run({QStringLiteral("generate"), QStringLiteral("--no-check"), project});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.section('\n', 0, 0), QStringLiteral("Check of model consistency skipped"));
    QVERIFY(QFile::exists(dir->path() + QStringLiteral("/gen_indication.h")));
}

void TestCliGenerate::failedCheck()
{
    // Without the mandatory objects 0x1000 and 0x1001 the model check fails.
    const QString project = saveProject(
        [](ObjectDataBase &db) {
            gentest::buildCanopenProject(db);
            db.delIndex(0, 0x1000);
            db.delIndex(0, 0x1001);
        },
        QStringLiteral("broken"));
    Result result = run({QStringLiteral("generate"), project});
    if (result.out.contains(QLatin1String("No model checker in this build")))
        QSKIP("the model checker is not part of this build");
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.out.contains(QLatin1String("Error: Object 0x1000 (Device Type) does not "
                                               "exist")),
             qPrintable(result.out));
    QVERIFY(!result.out.contains(QLatin1String("<strong>")));
    QVERIFY(result.out.contains(QLatin1String("Check of model consistency finished: failed (")));
    QCOMPARE(result.err, QStringLiteral("nodewright-cli generate: The project contains critical "
                                        "errors; no file was generated.\n"));
    QVERIFY(QFile::exists(dir->path() + QStringLiteral("/__nwrerrorlog.txt")));
    QVERIFY(!QFile::exists(dir->path() + QStringLiteral("/gen_indication.h")));

    // With check errors ignored the files are written, the exit code still tells the
    // caller about the errors.
    result = run({QStringLiteral("generate"), project, QStringLiteral("--ignore-check-errors")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(QFile::exists(dir->path() + QStringLiteral("/gen_indication.h")));
}

// The run marks words with tags of its own; a user's text in a message is printed as the
// user wrote it.
void TestCliGenerate::userTextUnchanged()
{
    const QString project = saveProject(&gentest::buildCanopenProject, QStringLiteral("node"));
    const QString section = QStringLiteral("#include <board_config.h>\n"
                                           "#define BOTH (A && B) /* <i>not markup</i> */\n");
    gentest::writeText(dir->path() + QStringLiteral("/gen_define.h"),
                       QStringLiteral("/* user-specific section: start */\n") + section
                           + QStringLiteral("/* user-specific section: end */\n"));
    const Result result = run({QStringLiteral("generate"), project});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(QStringLiteral("gen_define.h contains user section:\n") + section),
             qPrintable(result.out));
}

// A file the run could not write makes the command fail; the others are written.
void TestCliGenerate::fileNotWritten()
{
    const QString project = saveProject(&gentest::buildCanopenProject, QStringLiteral("node"));
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("gen_indication.h")));
    const Result result = run({QStringLiteral("generate"), project});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.out.contains(QStringLiteral("Generation of gen_indication.h failed: ")),
             qPrintable(result.out));
    QCOMPARE(result.err, QStringLiteral("nodewright-cli generate: Not all files could be written. "
                                        "The messages of the generation name them.\n"));
    QVERIFY(QFile::exists(dir->path() + QStringLiteral("/gen_indices.h")));
}

void TestCliGenerate::info()
{
    const QString project = saveProject(&gentest::buildMixedProject, QStringLiteral("mixed"));
    const Result result = run({QStringLiteral("info"), project});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out,
             QStringLiteral("project: mixed\n"
                            "lines: 2\n"
                            "line 0: CANopen, 6 objects\n"
                            "line 1: J1939, 0 objects, 3 PGNs (1 receive, 2 transmit)\n"));
}

NW_TEST_MAIN(TestCliGenerate)
#include "tst_cli_generate.moc"
