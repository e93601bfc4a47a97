#include "generators/generationrun.h"
#include "generatortestutil.h"
#include "nwtest.h"
#include "probegenerator.h"

#include <QDir>
#include <QMutex>
#include <QTemporaryDir>

using Kind = GenerationRun::GeneratorKind;

// The whole generator table of the run, each row served by a probe generator: which rows
// run for which project, in which order, with which messages and flags.
class TestGenerationRunTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init();
    void rowsInOrder_data();
    void rowsInOrder();
    void flagsOfRows();
    void edsVariantsAndLastGeneratedEds();
    void userSectionReported();

private:
    QStringList run(ObjectDataBase &db);
    QStringList expected(const QStringList &rows) const;
    void installProbes(GenerationRun &run);

    QScopedPointer<QTemporaryDir> dir;
    QStringList journal;
    QMutex journalMutex;
    QString defineBody = QStringLiteral("#define GEN 1\n");
    QString lastGeneratedEds;
};

namespace {

const struct
{
    Kind kind;
    const char *label;
    const char *started; // %1 folder, %2 the EDS variant
} rows[] = {
    {Kind::TextDoc, "TextDoc",
     "Generation of textual object dictionary documentation in %1 started"},
    {Kind::Indices, "Indices", "Generation of gen_indices.h in %1 started"},
    {Kind::Html, "Html", "Generation of HTML object dictionary documentation in %1 started"},
    {Kind::ObjDict, "ObjDict", "Generation of gen_objdict.c in %1 started"},
    {Kind::VobjDict, "VobjDict", "Generation of gen_vobjdict.c in %1 started"},
    {Kind::Pgn, "Pgn", "Generation of gen_pgn.c in %1 started"},
    {Kind::MultiPro, "MultiPro", "Generation of gen_mp.c in %1 started"},
    {Kind::J1939TextDoc, "J1939TextDoc", "Generation of textual PGN documentation in %1 started"},
    {Kind::J1939Html, "J1939Html", "Generation of HTML pgn documentation in %1 started"},
    {Kind::Dbc, "Dbc", "Generation of DBC_file in %1 started"},
    {Kind::Srdo, "Srdo", ""},
    {Kind::CoDefine, "gen_define.h", "Generation of gen_define.h in %1 started"},
    {Kind::ExtDecl, "ExtDecl", "Generation of gen_extern_decl.h in %1 started"},
    {Kind::Indication, "Indication", "Generation of gen_indication in %1 started"},
    {Kind::Csv, "Csv", "Generation of CSV file in %1 started"},
    {Kind::Eds, "Eds", "Generation of %2 EDS file in %1 started"},
    {Kind::Xdd, "Xdd", "Generation of XDD file in %1 started"},
};

bool perLine(Kind kind)
{
    return kind == Kind::TextDoc || kind == Kind::Html || kind == Kind::J1939TextDoc
           || kind == Kind::J1939Html || kind == Kind::Dbc || kind == Kind::Csv || kind == Kind::Eds
           || kind == Kind::Xdd;
}

} // namespace

void TestGenerationRunTable::init()
{
    dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nwtable-XXXXXX")));
    journal.clear();
}

void TestGenerationRunTable::installProbes(GenerationRun &run)
{
    for (const auto &row : rows) {
        const Kind kind = row.kind;
        const QString label = QLatin1String(row.label);
        run.setFactory(kind, [this, kind, label](const GenerationRun::RowContext &context) {
            QString name = label;
            if (perLine(kind))
                name += QStringLiteral("-%1").arg(context.line);
            if (kind == Kind::Eds)
                name += QLatin1Char('-') + context.edsVariant;
            auto *probe = new ProbeGenerator(name, kind == Kind::CoDefine ? defineBody : QString());
            probe->journal = &journal;
            probe->journalMutex = &journalMutex;
            return probe;
        });
    }
}

QStringList TestGenerationRunTable::run(ObjectDataBase &db)
{
    GenerationRun generation(&db);
    generation.setProject(dir->path(), QStringLiteral("demo"));
    generation.setPreferences(gentest::testPreferences());
    installProbes(generation);
    QStringList messages;
    connect(&generation, &GenerationRun::message, this,
            [&messages](const QString &text) { messages << text; });
    connect(&generation, &GenerationRun::standardEdsGenerated, this,
            [this](const QString &path) { lastGeneratedEds = path; });
    if (generation.run() != GenerationRun::Completed)
        return QStringList{QStringLiteral("<run failed>")} + messages;
    const int checked = messages.indexOf(QStringLiteral("Check of model consistency finished"));
    return messages.mid(checked + 1);
}

// "Label" or "Label-line" or "Eds-line-variant" give the row's started and completed lines.
QStringList TestGenerationRunTable::expected(const QStringList &names) const
{
    QStringList messages;
    for (const QString &name : names) {
        const QString label = name.section('-', 0, 0);
        for (const auto &row : rows) {
            if (label != QLatin1String(row.label))
                continue;
            QString started = QString::fromLatin1(row.started);
            started.replace(QStringLiteral("%1"), dir->path());
            started.replace(QStringLiteral("%2"), name.section('-', 2));
            if (!started.isEmpty())
                messages << started;
            messages << QStringLiteral("Generation of %1 completed.").arg(name);
        }
    }
    return messages;
}

void TestGenerationRunTable::rowsInOrder_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("names");
    QTest::addRow("CANopen") << "canopen"
                             << QStringList{"TextDoc-0",    "Indices",    "Html-0", "ObjDict",
                                            "gen_define.h", "Indication", "Csv-0",  "Eds-0-"};
    QTest::addRow("CANopen with SRDO, virtual objects and CAN FD")
        << "canopen+"
        << QStringList{"TextDoc-0",    "Indices",    "Html-0", "ObjDict", "VobjDict", "Srdo",
                       "gen_define.h", "Indication", "Csv-0",  "Eds-0-",  "Xdd-0"};
    QTest::addRow("J1939") << "j1939" << QStringList{"gen_define.h", "Pgn",   "J1939TextDoc-0",
                                                     "J1939Html-0",  "Dbc-0", "ExtDecl"};
    QTest::addRow("CANopen and J1939 on one line")
        << "both"
        << QStringList{"TextDoc-0",      "Indices",     "Html-0", "ObjDict",      "Pgn",
                       "J1939TextDoc-0", "J1939Html-0", "Dbc-0",  "gen_define.h", "ExtDecl",
                       "Indication",     "Csv-0",       "Eds-0-"};
    QTest::addRow("CANopen line and J1939 line")
        << "mixed" << QStringList{"TextDoc-0",      "Indices",     "Html-0", "MultiPro",
                                  "J1939TextDoc-1", "J1939Html-1", "Dbc-1",  "gen_define.h",
                                  "ExtDecl",        "Indication",  "Csv-0",  "Eds-0-"};
    QTest::addRow("two CANopen lines")
        << "two"
        << QStringList{"TextDoc-0",    "TextDoc-1",  "Indices", "Html-0", "Html-1", "ObjDict",
                       "gen_define.h", "Indication", "Csv-0",   "Csv-1",  "Eds-0-", "Eds-1-"};
}

void TestGenerationRunTable::rowsInOrder()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, names);
    ObjectDataBase db;
    if (fixture == QLatin1String("j1939")) {
        gentest::buildJ1939Project(db);
    } else if (fixture == QLatin1String("mixed")) {
        gentest::buildMixedProject(db);
    } else {
        gentest::buildCanopenProject(db);
    }
    if (fixture == QLatin1String("canopen+")) {
        gentest::addVar(db, 0, 0x1301, QStringLiteral("SRDO 1 communication"));
        gentest::addRecord(db, 0, 0x1381, QStringLiteral("SRDO 1 mapping"), {});
        db.addSubIndex(0, 0x2000, 3, gentest::sub(QStringLiteral("Remote"), 7, "0", 3));
        db.setSubIndexValue(0, 0x2000, 0, QStringLiteral("3"));
        db.setGeneralSettingsValue(QStringLiteral("canfd_supported"), QStringLiteral("1"));
    }
    if (fixture == QLatin1String("both")) {
        gentest::setLineType(db, 0, 5);
        gentest::setJ1939Identity(db, 1);
    }
    if (fixture == QLatin1String("two")) {
        gentest::addLine(db, 1, 1);
        gentest::addCanopenBasics(db, 1);
        db.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("32,33"));
        db.setGeneralSettingsValue(QStringLiteral("receivebuffersize"), QStringLiteral("10,4"));
        db.setGeneralSettingsValue(QStringLiteral("transmitbuffersize"), QStringLiteral("5,5"));
    }
    const QString vobj = dir->path() + QStringLiteral("/gen_vobjdict.c");
    gentest::writeText(vobj, QStringLiteral("old"));
    const QStringList messages = run(db);
    QVERIFY2(!messages.startsWith(QStringLiteral("<run failed>")), qPrintable(messages.join('\n')));
    QCOMPARE(messages, expected(names));
    // Without virtual objects an old gen_vobjdict.c goes; with them the generator runs.
    QCOMPARE(QFile::exists(vobj),
             fixture == QLatin1String("canopen+") || fixture == QLatin1String("j1939")
                 || fixture == QLatin1String("both") || fixture == QLatin1String("mixed"));
}

void TestGenerationRunTable::flagsOfRows()
{
    ObjectDataBase db;
    gentest::buildMixedProject(db);
    run(db);
    const auto entry = [this](const QString &name) {
        for (const QString &line : qAsConst(journal)) {
            if (line.startsWith(name + QLatin1Char(' ')))
                return line.mid(name.size() + 1);
        }
        return QStringLiteral("<not run>");
    };
    // Documentation takes the project's multi-line form; every row learns the protocols.
    QCOMPARE(entry("TextDoc-0"), QStringLiteral("line=0 multiLine=1 j1939=1 multiProtocol=1"));
    QCOMPARE(entry("J1939Html-1"), QStringLiteral("line=1 multiLine=1 j1939=1 multiProtocol=1"));
    QCOMPARE(entry("gen_define.h"), QStringLiteral("line=0 multiLine=0 j1939=1 multiProtocol=1"));
    QCOMPARE(entry("Dbc-1"), QStringLiteral("line=1 multiLine=0 j1939=1 multiProtocol=1"));

    journal.clear();
    ObjectDataBase canopen;
    gentest::buildCanopenProject(canopen);
    run(canopen);
    QCOMPARE(entry("ObjDict"), QStringLiteral("line=0 multiLine=0 j1939=0 multiProtocol=0"));
    QCOMPARE(entry("Html-0"), QStringLiteral("line=0 multiLine=0 j1939=0 multiProtocol=0"));
}

void TestGenerationRunTable::edsVariantsAndLastGeneratedEds()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    gentest::addVar(db, 0, 0x2100, QStringLiteral("A"), 7, {{"eds_define", "FULL"}});
    const QStringList messages = run(db);
    const QStringList tail = QStringList{"Warning: multiple different EDS files to be generated.\n"}
                             + expected({"Eds-0-", "Eds-0-FULL"});
    QCOMPARE(messages.mid(messages.size() - tail.size()), tail);
    QCOMPARE(tail.at(1), QStringLiteral("Generation of  EDS file in %1 started").arg(dir->path()));
    QCOMPARE(lastGeneratedEds, dir->path() + QStringLiteral("/demo.eds"));
}

void TestGenerationRunTable::userSectionReported()
{
    ObjectDataBase db;
    gentest::buildCanopenProject(db);
    defineBody = QStringLiteral("/* user-specific section: start */\n"
                                "#define MY_OPTION 1\n"
                                "\n"
                                "/* user-specific section: end */\n");
    QStringList messages = run(db);
    int define = messages.indexOf(QStringLiteral("Generation of gen_define.h completed."));
    QCOMPARE(messages.value(define + 1),
             QStringLiteral("gen_define.h contains user section:\n#define MY_OPTION 1\n\n"));

    // A section of blank lines is not worth a message.
    defineBody = QStringLiteral("/* user-specific section: start */\n\n"
                                "/* user-specific section: end */\n");
    messages = run(db);
    define = messages.indexOf(QStringLiteral("Generation of gen_define.h completed."));
    QVERIFY(!messages.value(define + 1).startsWith(QLatin1String("gen_define.h contains")));
}

NW_TEST_MAIN(TestGenerationRunTable)
#include "tst_generationrun_table.moc"
