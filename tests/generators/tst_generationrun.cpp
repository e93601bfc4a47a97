#include "generators/generationrun.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <unistd.h>

using Kind = GenerationRun::GeneratorKind;

// The generation run over the fixture projects: what it reports, which files it writes
// and deletes, and the steps around the generators.
class TestGenerationRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init();
    void canopenProject();
    void j1939Project_data();
    void j1939Project();
    void mixedProject();
    void withoutFolder_data();
    void withoutFolder();
    void checkSkipped();
    void failedCheck_data();
    void failedCheck();
    void lineWithoutType();
    void correctionAsksForSave();
    void clearLogging();
    void unwritableFile();
    void edsVariants();
    void postGenerationArguments_data();
    void postGenerationArguments();
    void postGenerationCommand();
    void lineEndings_data();
    void lineEndings();

private:
    struct Result
    {
        GenerationRun::Outcome outcome;
        QStringList messages; // after the model check
        QStringList checkMessages;
    };
    Result generate(ObjectDataBase &db, const QString &folder = QString());
    QStringList files() const;
    static bool available(Kind kind);
    // The started and completed messages of the rows, for those rows this build has.
    QStringList expectedMessages(const QList<Kind> &kinds) const;
    static void setPreference(const QString &key, const QVariant &value);

    QScopedPointer<QTemporaryDir> dir;
};

void TestGenerationRun::init()
{
    // Without blanks: the post-generation arguments are split at blanks.
    dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nwrun-XXXXXX")));
    QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName()).clear();
    gentest::useTestStack();
}

void TestGenerationRun::setPreference(const QString &key, const QVariant &value)
{
    QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    settings.setValue(key, value);
}

TestGenerationRun::Result TestGenerationRun::generate(ObjectDataBase &db, const QString &folder)
{
    GenerationRun run(&db);
    run.setProject(folder.isNull() ? dir->path() : folder, QStringLiteral("demo"));
    QStringList messages;
    connect(&run, &GenerationRun::message, this,
            [&messages](const QString &text) { messages << text; });
    const GenerationRun::Outcome outcome = run.run();
    const int finished = messages.indexOf(
        QRegularExpression(QStringLiteral("^Check of model consistency (finished|skipped)")));
    return {outcome, messages.mid(finished + 1), messages.mid(0, finished + 1)};
}

QStringList TestGenerationRun::files() const
{
    QStringList names = QDir(dir->path()).entryList(QDir::Files, QDir::Name);
    names.removeAll(QStringLiteral("run.log"));
    return names;
}

bool TestGenerationRun::available(Kind kind)
{
    const GenerationRun::GeneratorRow *row = GenerationRun::generatorRow(kind);
    return row && row->create;
}

namespace {

// The started message (%1 the folder) and the object name of the rows the fixtures reach.
const struct
{
    Kind kind;
    const char *started;
    const char *objectName;
} rowTexts[] = {
    {Kind::TextDoc, "Generation of textual object dictionary documentation in %1 started",
     "textual documenation"},
    {Kind::Indices, "Generation of gen_indices.h in %1 started", "gen_indices.h generator"},
    {Kind::Html, "Generation of HTML object dictionary documentation in %1 started",
     "HTML documentation"},
    {Kind::ObjDict, "Generation of gen_objdict.c in %1 started", "gen_objdict.c"},
    {Kind::Pgn, "Generation of gen_pgn.c in %1 started", "gen_pgn.c"},
    {Kind::MultiPro, "Generation of gen_mp.c in %1 started", "gen_mp.c"},
    {Kind::J1939TextDoc, "Generation of textual PGN documentation in %1 started",
     "j1939 textual documenation"},
    {Kind::J1939Html, "Generation of HTML pgn documentation in %1 started", "HTML documentation"},
    {Kind::Dbc, "Generation of DBC_file in %1 started", "demo.dbc"},
    {Kind::CoDefine, "Generation of gen_define.h in %1 started", "gen_define.h"},
    {Kind::ExtDecl, "Generation of gen_extern_decl.h in %1 started", "gen_extern_decl.h"},
    {Kind::Indication, "Generation of gen_indication in %1 started", "gen_indication.h"},
};

} // namespace

QStringList TestGenerationRun::expectedMessages(const QList<Kind> &kinds) const
{
    QStringList messages;
    for (Kind kind : kinds) {
        if (!available(kind))
            continue;
        for (const auto &row : rowTexts) {
            if (row.kind != kind)
                continue;
            messages << QString::fromLatin1(row.started).arg(dir->path());
            messages << QStringLiteral("Generation of %1 completed.").arg(row.objectName);
        }
    }
    return messages;
}

void TestGenerationRun::canopenProject()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    gentest::writeText(dir->path() + QStringLiteral("/__nwrerrorlog.txt"), QStringLiteral("old"));
    gentest::writeText(dir->path() + QStringLiteral("/gen_vobjdict.c"), QStringLiteral("old"));
    const Result result = generate(db);
    QVERIFY2(result.outcome == GenerationRun::Completed,
             qPrintable((result.checkMessages + result.messages).join('\n')));
    QCOMPARE(result.checkMessages.first(), QStringLiteral("\nCheck of model consistency started"));
    QCOMPARE(result.checkMessages.last(), QStringLiteral("Check of model consistency finished"));

    const QStringList expected =
        expectedMessages({Kind::TextDoc, Kind::Indices, Kind::Html, Kind::ObjDict, Kind::CoDefine,
                          Kind::Indication});
    QCOMPARE(result.messages.mid(0, expected.size()), expected);

    const QStringList written = files();
    QVERIFY2(written.contains(QStringLiteral("gen_indices.h")), qPrintable(written.join(' ')));
    QVERIFY(written.contains(QStringLiteral("gen_indication.h")));
    QVERIFY(!written.contains(QStringLiteral("gen_extern_decl.h")));
    QVERIFY(!written.contains(QStringLiteral("__nwrerrorlog.txt")));
    QVERIFY(!written.contains(QStringLiteral("gen_vobjdict.c")));
}

void TestGenerationRun::j1939Project_data()
{
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<bool>("adapterKept");
    QTest::addRow("adapter off") << "0" << false;
    QTest::addRow("adapter on") << "1" << true;
}

void TestGenerationRun::j1939Project()
{
    QFETCH(QString, adapter);
    QFETCH(bool, adapterKept);
    ObjectDataBase db;
    gentest::buildJ1939Project(db);
    db.setJ1939SettingsValue(QStringLiteral("j1939adapter"), adapter);
    // Reception of an address claim stays; only the transmitted one is the stack's own.
    gentest::addPgn(db, 0, 0xEE00, gentest::receive, QStringLiteral("Address Claimed"));
    for (const char *old : {"gen_indication.h", "gen_j1939_adapter.c", "j1939_adapter.cs"})
        gentest::writeText(dir->path() + '/' + old, QStringLiteral("old"));

    const Result result = generate(db);
    QVERIFY2(result.outcome == GenerationRun::Completed,
             qPrintable((result.checkMessages + result.messages).join('\n')));
    QVERIFY(!db.existsPGN(0, 0xEE00, gentest::transmit));
    QVERIFY(db.existsPGN(0, 0xEE00, gentest::receive));
    QCOMPARE(result.messages, expectedMessages({Kind::CoDefine, Kind::Pgn, Kind::J1939TextDoc,
                                                Kind::J1939Html, Kind::Dbc, Kind::ExtDecl}));

    const QStringList written = files();
    QVERIFY2(written.contains(QStringLiteral("gen_extern_decl.h")), qPrintable(written.join(' ')));
    QVERIFY(written.contains(QStringLiteral("gen_var_decl.c")));
    QVERIFY(!written.contains(QStringLiteral("gen_indication.h")));
    QVERIFY(!written.contains(QStringLiteral("gen_indices.h")));
    QVERIFY(!written.contains(QStringLiteral("gen_objdict.c")));
    QCOMPARE(written.contains(QStringLiteral("gen_j1939_adapter.c")), adapterKept);
    QCOMPARE(written.contains(QStringLiteral("j1939_adapter.cs")), adapterKept);
}

void TestGenerationRun::mixedProject()
{
    ObjectDataBase db;
    gentest::buildMixedProject(db);
    const Result result = generate(db);
    QVERIFY2(result.outcome == GenerationRun::Completed,
             qPrintable((result.checkMessages + result.messages).join('\n')));
    QVERIFY(result.checkMessages.contains(QStringLiteral("-> Checking line 1"))
            || !result.checkMessages.join('\n').contains(QLatin1String("-> Checking")));
    const QStringList expected = expectedMessages(
        {Kind::TextDoc, Kind::Indices, Kind::Html, Kind::MultiPro, Kind::J1939TextDoc,
         Kind::J1939Html, Kind::Dbc, Kind::CoDefine, Kind::ExtDecl, Kind::Indication});
    QCOMPARE(result.messages.mid(0, expected.size()), expected);
    const QString folder = dir->path();
    // The indices are written for the CANopen line only.
    const QString indices = gentest::readText(folder + QStringLiteral("/gen_indices.h"));
    QVERIFY(indices.contains(QLatin1String("I_DEVICE_TYPE")));
    QVERIFY(!indices.contains(QLatin1String("L1_")));
    QVERIFY(files().contains(QStringLiteral("gen_extern_decl.h")));
}

void TestGenerationRun::withoutFolder_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("outcome");
    QTest::addRow("never saved") << false << int(GenerationRun::NoProjectFolder);
    QTest::addRow("folder is a file") << true << int(GenerationRun::FolderNotWritable);
}

void TestGenerationRun::withoutFolder()
{
    QFETCH(bool, saved);
    QFETCH(int, outcome);
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    const QString file = dir->path() + QStringLiteral("/plain");
    gentest::writeText(file, QStringLiteral("x"));
    GenerationRun run(&db);
    run.setProject(saved ? file : QString(), QStringLiteral("demo"));
    QSignalSpy spy(&run, &GenerationRun::message);
    QCOMPARE(int(run.run()), outcome);
    QCOMPARE(run.failureText(),
             saved ? QStringLiteral("The output folder %1 is not writable.").arg(file)
                   : QStringLiteral("The project must be saved before any files can be "
                                    "generated."));
    for (const QList<QVariant> &message : spy)
        QVERIFY2(!message.at(0).toString().startsWith(QLatin1String("Generation of")),
                 qPrintable(message.at(0).toString()));
}

void TestGenerationRun::checkSkipped()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    run.setModelCheckEnabled(false);
    QSignalSpy spy(&run, &GenerationRun::message);
    QCOMPARE(run.run(), GenerationRun::Completed);
    QCOMPARE(spy.first().at(0).toString(), QStringLiteral("Check of model consistency skipped"));
    QVERIFY(files().contains(QStringLiteral("gen_indication.h")));
}

void TestGenerationRun::failedCheck_data()
{
    QTest::addColumn<bool>("disableCheck");
    QTest::addRow("check stops the run") << false;
    QTest::addRow("check disabled by preference") << true;
}

void TestGenerationRun::failedCheck()
{
    QFETCH(bool, disableCheck);
    setPreference(QStringLiteral("General/disablecheck"), disableCheck);
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    db.delIndex(0, 0x1000);
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    run.setLogTextSource([] { return QStringLiteral("the output window"); });
    QStringList messages;
    connect(&run, &GenerationRun::message, this, [&messages](const QString &m) { messages << m; });

    const GenerationRun::Outcome outcome = run.run();
    QCOMPARE(run.checkErrorCount(), 1);
    QVERIFY2(messages.contains(QStringLiteral(
                 "<strong>Error: </strong>Object 0x1000 (Device Type) does not exist, but it is "
                 "mandatory according to CANopen specification.")),
             qPrintable(messages.join('\n')));
    QVERIFY(messages.contains(
        QStringLiteral("Check of model consistency finished: failed (1 errors)")));
    QCOMPARE(gentest::readText(dir->path() + QStringLiteral("/__nwrerrorlog.txt")),
             QStringLiteral("the output window"));
    if (disableCheck) {
        QCOMPARE(outcome, GenerationRun::Completed);
        QVERIFY(files().contains(QStringLiteral("gen_indication.h")));
    } else {
        QCOMPARE(outcome, GenerationRun::CheckFailed);
        QCOMPARE(run.failureText(), QStringLiteral("The project contains critical errors. Check "
                                                   "Generator Output window."));
        QCOMPARE(files(), QStringList{"__nwrerrorlog.txt"});
    }
}

void TestGenerationRun::lineWithoutType()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    gentest::addLine(db, 1, 4);
    db.addNode(2, ObjectDataBase::NODE_DATA_T());
    gentest::setLineType(db, 2, 3);
    const Result result = generate(db);
    QCOMPARE(result.checkMessages.mid(0, 2),
             (QStringList{"\nCheck of model consistency started", "-> Checking line 0"}));
    const int line1 = result.checkMessages.indexOf(QStringLiteral("-> Checking line 1"));
    QVERIFY(line1 > 0);
    QCOMPARE(result.checkMessages.mid(line1, 3),
             (QStringList{"-> Checking line 1", "-> Checking line 2",
                          "Warning line type not set for line 2."}));
}

void TestGenerationRun::correctionAsksForSave()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    QSignalSpy save(&run, &GenerationRun::saveRequested);
    run.run();
    QCOMPARE(save.count(), 0);
    // Sub-index 0 of the record claims more entries than it has; the check corrects it.
    db.setSubIndexValue(0, 0x2000, 0, QStringLiteral("5"));
    run.run();
    QCOMPARE(save.count(), 1);
    QCOMPARE(db.getSubIndexValue(0, 0x2000, 0), QStringLiteral("2"));
}

void TestGenerationRun::clearLogging()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    for (bool clear : {false, true}) {
        setPreference(QStringLiteral("General/clearlogging"), clear);
        GenerationRun run(&db);
        run.setProject(dir->path(), QStringLiteral("demo"));
        QSignalSpy spy(&run, &GenerationRun::clearLogRequested);
        run.run();
        QCOMPARE(spy.count(), clear ? 1 : 0);
    }
}

void TestGenerationRun::unwritableFile()
{
    if (geteuid() == 0)
        QSKIP("the superuser may write every file");
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    const QString target = dir->path() + QStringLiteral("/gen_indication.h");
    gentest::writeText(target, QStringLiteral("locked"));
    QFile::setPermissions(target, QFile::ReadOwner);
    const Result result = generate(db);
    QVERIFY(result.messages.contains(
        QStringLiteral("The file gen_indication.h in %1 is not writable").arg(dir->path())));
    QVERIFY(!result.messages.contains(QStringLiteral("Generation of gen_indication.h completed.")));
    QVERIFY(result.messages.contains(
        QStringLiteral("Generation of gen_indices.h generator completed.")));
    QCOMPARE(gentest::readText(target), QStringLiteral("locked"));
}

void TestGenerationRun::edsVariants()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    gentest::addVar(db, 0, 0x2100, QStringLiteral("A"), 7, {{"eds_define", "FULL"}});
    gentest::addVar(db, 0, 0x2101, QStringLiteral("B"), 7, {{"eds_define", "LIGHT"}});
    gentest::addVar(db, 0, 0x2102, QStringLiteral("C"), 7, {{"eds_define", "FULL"}});
    gentest::addVar(db, 0, 0x0FFF, QStringLiteral("D"), 7, {{"eds_define", "LOW"}});
    GenerationRun run(&db);
    QCOMPARE(run.getEdsDefines(0), (QStringList{QString(), "FULL", "LIGHT"}));
}

void TestGenerationRun::postGenerationArguments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::addRow("project file and folder")
        << "%P %D" << QStringList{"/work/p/demo.nwrp", "/work/out"};
    QTest::addRow("file name inside a word") << "--name=%N" << QStringList{"--name=demo.nwrp"};
    QTest::addRow("blanks collapse") << "  a   b " << QStringList{"a", "b"};
    QTest::addRow("other percent signs stay") << "%x 100%" << QStringList{"%x", "100%"};
    QTest::addRow("no text") << "" << QStringList{};
}

void TestGenerationRun::postGenerationArguments()
{
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(GenerationRun::postGenerationArguments(text, QStringLiteral("/work/p"),
                                                    QStringLiteral("/work/out"),
                                                    QStringLiteral("demo")),
             arguments);
    // A folder holding blanks or placeholders is split, never substituted again.
    QCOMPARE(GenerationRun::postGenerationArguments(QStringLiteral("%D"), QStringLiteral("/a b"),
                                                    QStringLiteral("/my dir/%N"),
                                                    QStringLiteral("demo")),
             (QStringList{"/my", "dir/%N"}));
}

void TestGenerationRun::postGenerationCommand()
{
    const QString script = dir->path() + QStringLiteral("/record.sh");
    gentest::writeText(script,
                       QStringLiteral("#!/bin/sh\npwd > run.log\n"
                                      "for a in \"$@\"; do echo \"$a\" >> run.log; done\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setPreference(QStringLiteral("General/postgenerationcommand"), script);
    setPreference(QStringLiteral("General/postgenerationcommandarguments"),
                  QStringLiteral("%P %D %N"));
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    generate(db);
    const QString log = dir->path() + QStringLiteral("/run.log");
    QTRY_VERIFY_WITH_TIMEOUT(gentest::readText(log).count('\n') == 4, 5000);
    const QString folder = QDir(dir->path()).canonicalPath();
    QCOMPARE(gentest::readText(log).split('\n'),
             (QStringList{folder, dir->path() + "/demo.nwrp", dir->path(), "demo.nwrp", ""}));
}

void TestGenerationRun::lineEndings_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("ending");
    QTest::addRow("as written") << 0 << "\n";
    QTest::addRow("windows") << 1 << "\r\n";
    QTest::addRow("linux") << 2 << "\n";
    QTest::addRow("old mac") << 3 << "\r";
}

void TestGenerationRun::lineEndings()
{
    QFETCH(int, index);
    QFETCH(QString, ending);
    setPreference(QStringLiteral("General/line_ending_index"), index);
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    GenerationRun run(&db);
    run.setProject(dir->path(), QStringLiteral("demo"));
    QCOMPARE(run.run(), GenerationRun::Completed);
    run.adjustLineEndings();
    const QString text = gentest::readText(dir->path() + QStringLiteral("/gen_indication.h"));
    QVERIFY(text.startsWith(QStringLiteral("/*") + ending + QStringLiteral(" * static")));
    QCOMPARE(text.count(QStringLiteral("\r")), ending.contains('\r') ? text.count(ending) : 0);
}

NW_TEST_MAIN(TestGenerationRun)
#include "tst_generationrun.moc"
