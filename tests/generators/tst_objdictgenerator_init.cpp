// The stack start functions, userOverwriteCobIdSettings, gen_user.h and the file header
// of gen_objdict.c: for each variant of a small project, what its gen_objdict.c changes
// against that of the plain project is pinned in objdict_init.txt. Which services start
// with which arguments is compared with the project by tst_objdictruntime.

#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QDir>
#include <QTemporaryDir>

using odtest::sub;

namespace {

using Build = void (*)(ObjectDataBase &);

void set(ObjectDataBase &db, const QVariantMap &settings)
{
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        db.setGeneralSettingsValue(it.key(), it.value().toString());
}

// Lines 0 to 2 with different numbers of objects and sub-indices, virtual ones included.
void buildThreeLines(ObjectDataBase &db)
{
    db.addNode(1, ObjectDataBase::NODE_DATA_T());
    db.addNode(2, ObjectDataBase::NODE_DATA_T());
    odtest::addArray(db, 0, 0x2000, 2, sub(5, "rw", "0"));
    for (quint16 index : {0x1000, 0x1001, 0x2000, 0x2001})
        odtest::addVar(db, 1, index, sub(5, "rw", "0"));
    odtest::addArray(db, 1, 0x2002, 3, sub(5, "rw", "0", 3));
    odtest::addVar(db, 2, 0x1000, sub(7, "const", "0", 1));
    odtest::addVar(db, 2, 0x1001, sub(5, "ro", "0"));
}

// Line 1 gets a receive PDO; line 2 routes SDOs when routing is set.
void threeLinesFinishing(ObjectDataBase &db, bool routing, bool dynamicMapping)
{
    if (routing)
        odtest::addObject(db, 2, 0x1F2C, 9, {sub(5, "const", "1", 1), sub(7, "rw", "0")});
    odtest::addPdo(db, 1, false, 1, "0x201", {0x20000008}, dynamicMapping);
}

// The optional services, each started in its place with its check.
void addServices(ObjectDataBase &db)
{
    odtest::addVar(db, 0, 0x1005, sub(7, "rw", "0x80"));
    odtest::addVar(db, 0, 0x1012, sub(7, "rw", "0x40000100"));
    odtest::addVar(db, 0, 0x1014, sub(7, "ro", "$NODEID+0x80"));
    odtest::addVar(db, 0, 0x1019, sub(5, "rw", "3"));
    odtest::addArray(db, 0, 0x1028, 3, sub(7, "rw", "0"));
    for (quint16 index : {0x1200, 0x1201, 0x1280, 0x1281, 0x1300, 0x1301, 0x1302, 0x1F10})
        odtest::addVar(db, 0, index, sub(5, "rw", "1"));
    set(db, {{"isotp_connection_cnt", "2"},
             {"event_led", "1"},
             {"fct_store", " appStore "},
             {"canfd_supported", "1"},
             {"usdo_client_cnt", "1"}});
}

const struct
{
    const char *name;
    const char *settings; // "key=value; ..."
    Build build = nullptr;
    Build base = nullptr; // added to the plain project before the variant
    const char *program = "nodewright";
    bool noStdlib = false;
} variants[] = {
    {"role at run time", "nmtmaster=2"},
    {"CAN FD master", "nmtmaster=1; canfd_supported=1"},
    {"LSS slave", "lss_supported=1"},
    {"LSS master", "nmtmaster=1; lss_supported=1"},
    {"role at run time with LSS", "nmtmaster=2; lss_supported=1"},
    // The heartbeat forms are compared with the project by tst_objdictruntime over the
    // imported descriptions; none of those guards nodes without a heartbeat.
    {"node guarding without heartbeat", "",
     [](ObjectDataBase &db) {
         odtest::addVar(db, 0, 0x100C, sub(6, "rw", "0"));
         odtest::addArray(db, 0, 0x1016, 1, sub(7, "rw", "0"));
     }},
    {"heartbeat consumer only", "",
     [](ObjectDataBase &db) { odtest::addArray(db, 0, 0x1016, 1, sub(7, "rw", "0")); }},
    {"optional services", "", addServices},
    // The per-line start finds its objects in od_assign; the description positions count
    // from the start of the table, so every line gets all of it.
    {"three lines", "", buildThreeLines},
    // The following variants of three lines are pinned as their changes against it.
    {"three lines, CAN FD", "canfd_supported=1",
     [](ObjectDataBase &db) { odtest::addVar(db, 1, 0x1201, sub(5, "rw", "0")); }, buildThreeLines},
    {"three lines, line 1 master", "nmtmaster=2; co_ml_ms=0,1; lss_supported=1", nullptr,
     buildThreeLines},
    {"three lines, missing role is a slave", "nmtmaster=2; co_ml_ms=1; lss_supported=1", nullptr,
     buildThreeLines},
    {"three lines, empty role is a slave", "nmtmaster=2; co_ml_ms=,1; lss_supported=1", nullptr,
     buildThreeLines},
    {"three lines, all masters", "nmtmaster=1; co_ml_ms=; lss_supported=1", nullptr,
     buildThreeLines},
    {"three lines, all slaves", "nmtmaster=0; co_ml_ms=1,1; lss_supported=1", nullptr,
     buildThreeLines},
    {"routing with a dynamic mapping", "",
     [](ObjectDataBase &db) { threeLinesFinishing(db, true, true); }, buildThreeLines},
    {"routing with static mappings only", "",
     [](ObjectDataBase &db) { threeLinesFinishing(db, true, false); }, buildThreeLines},
    {"dynamic mapping without routing", "",
     [](ObjectDataBase &db) { threeLinesFinishing(db, false, true); }, buildThreeLines},
    {"overwrite COB-IDs", "overwrite_predef=1",
     [](ObjectDataBase &db) {
         odtest::addObject(db, 0, 0x1201, 9,
                           {sub(5, "const", "2", 1), sub(7, "rw", "0x641"), sub(7, "rw", "0x5C1")});
     }},
    {"overwrite COB-IDs, four lines", "overwrite_predef=1",
     [](ObjectDataBase &db) {
         db.addNode(3, ObjectDataBase::NODE_DATA_T());
         odtest::addPdo(db, 1, true, 1, "$NODEID+0x180", {}, true);
         odtest::addPdo(db, 3, false, 2, "0x301", {}, true);
         odtest::addVar(db, 3, 0x1281, sub(7, "rw", "0"));
     },
     buildThreeLines},
    // Blanks around the header names and the function name are trimmed.
    {"application headers and a static indication", "",
     [](ObjectDataBase &db) {
         set(db, {{"applicationheader", "  app.h  io/board.h "}, {"fct_sync", " onSync "}});
     }},
    {"without stdlib", "applicationheader=app.h", nullptr, nullptr, "nodewright", true},
    {"EnergyBus edition", "applicationheader=app.h", nullptr, nullptr, "energybus-packwright"},
};

} // namespace

class TestObjDictGeneratorInit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void cleanup() { AppIdentity::apply(QStringLiteral("nodewright")); }

    void startCode_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addRow("plain project") << -1;
        for (int i = 0; i < int(sizeof variants / sizeof *variants); ++i)
            QTest::addRow("%s", variants[i].name) << i;
    }

    // The plain project's file whole, every other as its changes against the plain project
    // or its base. gen_user.h is written exactly when gen_objdict.c includes it; an old one
    // goes otherwise.
    void startCode()
    {
        QFETCH(int, variant);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        QTemporaryDir dir;
        const QString userHeader = dir.filePath(QStringLiteral("gen_user.h"));
        QVERIFY(gentest::writeText(userHeader, QStringLiteral("old")));
        QString plain;
        if (variant >= 0) {
            const auto &row = variants[variant];
            if (row.base)
                row.base(db);
            QVERIFY(odtest::generate(db, dir.path(), false, &plain));
            if (row.build)
                row.build(db);
            set(db, gentest::settingsOf(QLatin1String(row.settings)));
            AppIdentity::apply(QLatin1String(row.program));
            if (row.noStdlib)
                QVERIFY(gentest::writeText(dir.filePath("no_stdlib_include.txt"), QString()));
        }
        QString text;
        QVERIFY(odtest::generate(db, dir.path(), false, &text));
        const QStringList changes =
            gentest::lineChanges(plain.isNull() ? QStringList() : gentest::maskedLines(plain),
                                 gentest::maskedLines(text));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenSectionDiff(gentest::testData("objdict_init.txt"), changes));
        QCOMPARE(QFile::exists(userHeader), text.contains(QLatin1String("#include <gen_user.h>")));
    }
};

NW_TEST_MAIN(TestObjDictGeneratorInit)
#include "tst_objdictgenerator_init.moc"
