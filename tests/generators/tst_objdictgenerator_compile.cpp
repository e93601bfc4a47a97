// gen_objdict.c of each fixture project compiled with the system C compiler against the
// stack stand-ins, together with the gen_define.h, gen_indication.h and gen_user.h
// generated for the same project.

#include "compilecheck.h"
#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

namespace {

enum Fixture { SingleLine, MultiLine, Placeholders, Integer24AndUtf8 };

// Application variables named per sub-index, of every kind of pointer array.
void buildPlaceholderProject(ObjectDataBase &db)
{
    odtest::buildMinimalProject(db);
    odtest::addArray(db, 0, 0x2000, 3,
                     odtest::appVar(6, QStringLiteral("rw"), QStringLiteral("speed_$s"), 1));
    odtest::addArray(db, 0, 0x20AB, 2,
                     odtest::appVar(7, QStringLiteral("ro"), QStringLiteral("o$I_$S")));
    odtest::addVar(db, 0, 0x20AC,
                   odtest::appVar(8, QStringLiteral("rw"), QStringLiteral("(&block.v$i)")));
    Sub text = odtest::appVar(9, QStringLiteral("rw"), QStringLiteral("name$s"));
    text.size = 12;
    odtest::addArray(db, 0, 0x2100, 2, text);
    Sub raw = odtest::appVar(10, QStringLiteral("rw"), QStringLiteral("raw$s"));
    raw.size = 8;
    odtest::addArray(db, 0, 0x2101, 1, raw);
    odtest::addVar(db, 0, 0x2102, odtest::appVar(15, QStringLiteral("rw"), QStringLiteral("blob")));
    odtest::addPdo(db, 0, true, 1, "$NODEID+0x180", {0x20000110, 0x20ab0120}, false);
}

// INTEGER24 in each place a value can live (managed, constant, application variable, PDO
// mapping) and UTF-8 strings as constant and as application variable.
void buildInteger24Project(ObjectDataBase &db)
{
    odtest::buildMinimalProject(db);
    odtest::addVar(db, 0, 0x2000, sub(0x10, QStringLiteral("rw"), QStringLiteral("-5"), 0, 1));
    odtest::addVar(db, 0, 0x2001, sub(0x10, QStringLiteral("const"), QStringLiteral("8388607"), 1));
    odtest::addVar(db, 0, 0x2002,
                   odtest::appVar(0x10, QStringLiteral("rw"), QStringLiteral("appI24"), 1));
    Sub greeting = sub(0x7C, QStringLiteral("const"), QStringLiteral("Gr\u00fc\u00dfe"), 1);
    greeting.size = 7;
    odtest::addVar(db, 0, 0x2003, greeting);
    Sub label = odtest::appVar(0x7C, QStringLiteral("rw"), QStringLiteral("appLabel"));
    label.size = 16;
    odtest::addVar(db, 0, 0x2004, label);
    odtest::addPdo(db, 0, true, 1, "$NODEID+0x180", {0x20000018, 0x20020018}, false);
}

// The declarations of the application variables the fixtures name.
const char applicationHeader[] = "#include <co_datatype.h>\n"
                                 "extern UNSIGNED8 appU8;\n"
                                 "extern INTEGER16 appI16;\n"
                                 "extern INTEGER32 appI32;\n"
                                 "extern REAL32 appReal;\n"
                                 "extern char appName[16];\n"
                                 "extern INTEGER32 levels[5];\n"
                                 "extern UNSIGNED16 speed_1, speed_2, speed_3;\n"
                                 "extern UNSIGNED32 o20AB_1, o20AB_2;\n"
                                 "extern struct { REAL32 v8364; } block;\n"
                                 "extern char name1[12], name2[12];\n"
                                 "extern UNSIGNED8 raw1[8];\n"
                                 "extern INTEGER24 appI24;\n"
                                 "extern char appLabel[16];\n";

void buildFixture(ObjectDataBase &db, int fixture)
{
    switch (fixture) {
    case SingleLine:
        odtest::buildSingleLineProject(db);
        break;
    case MultiLine:
        odtest::buildMultiLineProject(db);
        break;
    case Integer24AndUtf8:
        buildInteger24Project(db);
        break;
    default:
        buildPlaceholderProject(db);
    }
}

} // namespace

class TestObjDictCompile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
    }

    void generatedFileCompiles_data()
    {
        QTest::addColumn<int>("fixture");
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("canFd");
        QTest::addColumn<bool>("alwaysMultiLine");
        QTest::addRow("single line, CAN FD") << int(SingleLine) << false << true << false;
        QTest::addRow("multi-line, CAN FD") << int(MultiLine) << false << true << false;
        QTest::addRow("variables named by placeholders")
            << int(Placeholders) << true << false << false;
        QTest::addRow("INTEGER24 and UTF-8 strings")
            << int(Integer24AndUtf8) << false << false << false;
        QTest::addRow("INTEGER24 and UTF-8 strings in multi-line form")
            << int(Integer24AndUtf8) << false << false << true;
    }

    void generatedFileCompiles()
    {
        QFETCH(int, fixture);
        QFETCH(bool, compact);
        QFETCH(bool, canFd);
        QFETCH(bool, alwaysMultiLine);
        ObjectDataBase db;
        buildFixture(db, fixture);
        odtest::setting(db, "applicationheader", "app.h");
        odtest::setting(db, "co_timer_interval", "10000");
        odtest::setting(db, "co_node_id", "32");
        odtest::setting(db, "canfd_supported", canFd ? QStringLiteral("1") : QStringLiteral("0"));
        odtest::setting(db, "usdo_client_cnt", canFd ? QStringLiteral("1") : QStringLiteral("0"));
        QTemporaryDir dir;
        QVERIFY(gentest::writeText(dir.filePath(QStringLiteral("app.h")),
                                   QString::fromLatin1(applicationHeader)));
        QVERIFY(odtest::generateStackSources(db, dir.path(), compact, alwaysMultiLine));
        QString diagnostics;
        const bool compiled =
            nwCompileCFile(dir.filePath(QStringLiteral("gen_objdict.c")), &diagnostics);
        QVERIFY2(compiled, qPrintable(diagnostics));
    }
};

NW_TEST_MAIN(TestObjDictCompile)
#include "tst_objdictgenerator_compile.moc"
