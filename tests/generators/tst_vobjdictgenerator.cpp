// gen_vobjdict.c: whole files against golden files,
// the split between gen_objdict.c and gen_vobjdict.c, and the file compiled with the
// gen_define.h of the same project, whose counts must match its tables.

#include "compilecheck.h"
#include "generators/codefinegenerator.h"
#include "generators/vobjdictgenerator.h"
#include "tst_objdictgenerator_fixture.h"

#include "nwtest.h"
#include <QRegularExpression>
#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

namespace {

const quint8 virtualObject = 3;

Sub outside(quint16 datatype, const char *access, quint8 mapping = 0)
{
    return sub(datatype, QLatin1String(access), "0", virtualObject, mapping);
}

// Line 0: an array wholly in external memory, an array with one external entry, a record
// of external entries of many types and an array of ten equal external entries.
void addVirtualObjects(ObjectDataBase &db, quint8 line)
{
    odtest::addObject(db, line, 0x2300, 8,
                      {sub(5, "const", "2", virtualObject), outside(6, "rw"), outside(6, "rw")});
    odtest::addObject(db, line, 0x2301, 8,
                      {sub(5, "const", "2", 1), outside(6, "rw", 1), sub(6, "rw", "4")});
    odtest::addObject(db, line, 0x2302, 9,
                      {sub(5, "const", "7", 1), outside(1, "rw", 1), outside(5, "ro", 1),
                       outside(4, "rww", 1), outside(8, "rwr", 1), outside(0x0C, "wo"),
                       outside(0x1B, "rw"), outside(0x0F, "rw")});
    QList<Sub> equal{sub(5, "const", "10", 1)};
    for (int i = 0; i < 10; ++i)
        equal << outside(7, "rw", 1);
    odtest::addObject(db, line, 0x2400, 8, equal);
}

void buildSingleLineProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    odtest::addBasics(db, 0);
    addVirtualObjects(db, 0);
    odtest::setting(db, "compact_array_description", "1");
    odtest::setting(db, "applicationheader", "ext_memory.h");
}

// Lines 0 and 1, each with its own external objects and with one shared external
// object 0x2500, described under line 0 only.
void buildMultiLineProject(ObjectDataBase &db)
{
    db.createNewDataBase();
    db.addNode(1, ObjectDataBase::NODE_DATA_T());
    for (quint8 line : {quint8(0), quint8(1)}) {
        odtest::addBasics(db, line);
        Sub shared = outside(6, "rw", 1);
        shared.sharedlines = true;
        Sub count = sub(5, "const", "1", 1);
        count.sharedlines = true;
        odtest::addObject(db, line, 0x2500, 8, {count, shared});
    }
    addVirtualObjects(db, 0);
    odtest::addVar(db, 1, 0x2600, outside(5, "ro"));
    odtest::setting(db, "limit_check", "1");
}

bool generate(ObjectDataBase &db, const QString &folder, QString *text = nullptr)
{
    VobjDictGenerator generator;
    const bool started = gentest::runGenerator(generator, db, folder, QStringLiteral("fixture"));
    if (text)
        *text = gentest::readText(folder + QStringLiteral("/gen_vobjdict.c"));
    return started;
}

// The number a "#define NAME n" line of the text gives; -1 when there is none.
int definedNumber(const QString &text, const QString &name)
{
    const QRegularExpression line(QStringLiteral("#define %1 (\\d+)u\\n").arg(name));
    const QRegularExpressionMatch match = line.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class TestVobjDictGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void wholeFile_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<int>("sharedEntries");
        QTest::addRow("single line, compact arrays") << false << "vobjdict_single.c" << 0;
        QTest::addRow("multi-line, limit check") << true << "vobjdict_multi.c" << 1;
    }

    // The whole file against its golden file. gen_define.h sizes its tables; both compile
    // together. Like CO_OBJ_DESC_CNT, the description count takes a shared entry once per
    // line, while the table describes it once, under line 0.
    void wholeFile()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, golden);
        QFETCH(int, sharedEntries);
        ObjectDataBase db;
        (multiLine ? buildMultiLineProject : buildSingleLineProject)(db);
        QTemporaryDir dir;
        QString text;
        QVERIFY(generate(db, dir.path(), &text));
        GENTEST_VERIFY_EMPTY(gentest::goldenDiff(gentest::testData(golden), text));
        odtest::setting(db, "applicationheader", QString());
        CoDefineGenerator define;
        QVERIFY(gentest::runGenerator(define, db, dir.path(), QStringLiteral("fixture")));
        QVERIFY(generate(db, dir.path(), &text));
        const QString defines = gentest::readText(dir.filePath(QStringLiteral("gen_define.h")));
        QCOMPARE(definedNumber(defines, QStringLiteral("CO_VOBJ_DESC_CNT")),
                 odtest::block(text, QStringLiteral("CO_CONST CO_OBJECT_DESC_T")).size()
                     + sharedEntries);
        QCOMPARE(definedNumber(defines, QStringLiteral("CO_VOD_ASSIGN_CNT")),
                 odtest::block(text, QStringLiteral("CO_CONST CO_OD_ASSIGN_T")).size());
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
        QString diagnostics;
        QVERIFY2(nwCompileCFile(dir.filePath(QStringLiteral("gen_vobjdict.c")), &diagnostics),
                 qPrintable(diagnostics));
    }

    // Every virtual entry is described in gen_vobjdict.c and not in gen_objdict.c; an object
    // whose sub-index 0 is virtual is assigned in gen_vobjdict.c only.
    void splitBetweenDictionaries()
    {
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        addVirtualObjects(db, 0);
        QTemporaryDir dir;
        QString virtualText;
        QVERIFY(generate(db, dir.path(), &virtualText));
        QString text;
        QVERIFY(odtest::generate(db, dir.path(), false, &text));
        for (const ObjectDataBase::SubAddress &entry :
             db.getSubsByProperty(0, QStringLiteral("implementation"), QStringLiteral("3"))) {
            const QString label =
                QStringLiteral("/* 0x%1:%2*/ ").arg(entry.index, 4, 16).arg(entry.subindex);
            QVERIFY2(virtualText.contains(label), qPrintable(label));
            QVERIFY2(!text.contains(label), qPrintable(label));
        }
        QVERIFY(
            virtualText.contains(QStringLiteral("\t{ 0x2300u, 3u, 2u, CO_ODTYPE_ARRAY, 0u },\n")));
        QVERIFY(!text.contains(QStringLiteral("{ 0x2300u,")));
        QVERIFY(text.contains(QStringLiteral("{ 0x2301u, 2u, 2u, CO_ODTYPE_ARRAY,")));
        QVERIFY(
            virtualText.contains(QStringLiteral("\t{ 0x2301u, 1u, 2u, CO_ODTYPE_ARRAY, 3u },\n")));
    }

    void virtualObjectsPresent_data()
    {
        QTest::addColumn<quint8>("line");
        QTest::addColumn<quint8>("implementation");
        QTest::addColumn<bool>("present");
        QTest::addRow("application variable") << quint8(0) << quint8(2) << false;
        QTest::addRow("virtual entry") << quint8(0) << quint8(3) << true;
        QTest::addRow("virtual entry of a line with one object") << quint8(2) << quint8(3) << false;
        QTest::addRow("virtual entry of line 8") << quint8(8) << quint8(3) << false;
    }

    // Only the lines gen_objdict.c writes count: 0 to 7 with more than one object.
    void virtualObjectsPresent()
    {
        QFETCH(quint8, line);
        QFETCH(quint8, implementation);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        if (line != 0) {
            db.addNode(line, ObjectDataBase::NODE_DATA_T());
            if (line == 8)
                odtest::addVar(db, line, 0x1000, sub(7, "const", "0", 1));
        }
        odtest::addVar(db, line, 0x2000, sub(6, "rw", "0", implementation));
        VobjDictGenerator generator;
        generator.setDataBase(&db);
        QTEST(generator.areVirtualObjectsPresent(), "present");
    }
};

NW_TEST_MAIN(TestVobjDictGenerator)
#include "tst_vobjdictgenerator.moc"
