// gen_srdo.c: the copies between the process variables and the SRDO messages, the
// defaults, whole files against golden files, and the generated file with the shipped
// SRDO code compiled and run against the stack stand-ins.

#include "compilecheck.h"
#include "generators/codefinegenerator.h"
#include "generators/generationrun.h"
#include "generators/srdogenerator.h"
#include "tst_objdictgenerator_fixture.h"

#include "nwtest.h"
#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

namespace {

const QString projectName = QStringLiteral("fixture");

// The templates the build puts beside the executable.
QString shippedTemplates()
{
    return QStringLiteral(NW_BINARY_DIR "/src/data");
}

// An SRDO: communication object 0x1300 + number and its mapping object.
void addSrdo(ObjectDataBase &db, quint8 line, quint8 number, quint8 direction, quint16 time,
             const QString &cobId1, const QString &cobId2, const QList<quint32> &mapping)
{
    const quint16 index = quint16(0x1300 + number);
    odtest::addObject(db, line, index, 9,
                      {sub(5, "const", "6", 1), sub(5, "rw", QString::number(direction)),
                       sub(6, "rw", QString::number(time)), sub(5, "rw", "10"), sub(5, "ro", "254"),
                       sub(7, "rw", cobId1), sub(7, "rw", cobId2)});
    QList<Sub> entries{sub(5, "rw", QString::number(mapping.size()))};
    for (quint32 value : mapping)
        entries << sub(7, "const", QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0')));
    odtest::addObject(db, line, quint16(index + 0x80), 8, entries);
}

// A record of application variables, one per name, of the given data types.
void addVariables(ObjectDataBase &db, quint8 line, quint16 index,
                  const QList<QPair<quint16, QString>> &variables)
{
    QList<Sub> subs{sub(5, "const", QString::number(variables.size()), 1)};
    for (const auto &variable : variables)
        subs << odtest::appVar(variable.first, "rw", variable.second, 1);
    odtest::addObject(db, line, index, 9, subs);
}

const QList<quint32> txMapping{0x60000108, 0x60010108, 0x60000210,
                               0x60010210, 0x60000320, 0x60010320};
const QList<quint32> rxMapping{0x61000110, 0x61010110, 0x61000218,
                               0x61010218, 0x61000308, 0x61010308};

// SRDO 1 transmits a byte, a word and a float; SRDO 2 receives an INTEGER16, an INTEGER24
// and a byte. The signatures in 0x13FF are the CRC-CCITT (polynomial 0x1021, start 0) of
// each SRDO's parameters, least significant byte first, with the COB-IDs of node-ID 5.
void addSafetyObjects(ObjectDataBase &db, quint8 txLine, quint8 rxLine)
{
    addVariables(db, txLine, 0x6000, {{5, "txFlags"}, {6, "txSpeed"}, {8, "txLevel"}});
    addVariables(db, txLine, 0x6001, {{5, "txFlagsInv"}, {6, "txSpeedInv"}, {8, "txLevelInv"}});
    addVariables(db, rxLine, 0x6100, {{3, "rxTorque"}, {0x10, "rxPos"}, {5, "rxMode"}});
    addVariables(db, rxLine, 0x6101, {{3, "rxTorqueInv"}, {0x10, "rxPosInv"}, {5, "rxModeInv"}});
    addSrdo(db, txLine, 1, 1, 20, "0xff + 2 * $NODEID", "0x100 + 2 * $NODEID", txMapping);
    addSrdo(db, rxLine, 2, 2, 50, "0x101", "0x102", rxMapping);
    for (quint8 line : {txLine, rxLine}) {
        odtest::addVar(db, line, 0x13FE, sub(5, "rw", "0"));
        odtest::addObject(db, line, 0x13FF, 8,
                          {sub(5, "const", "2", 1), sub(6, "rw", "18763"), sub(6, "rw", "56844")});
    }
    odtest::setting(db, "applicationheader", "srdo_app.h");
}

// On one line, or with line 0 transmitting and line 1 receiving.
void buildProject(ObjectDataBase &db, bool twoLines = false)
{
    db.createNewDataBase();
    if (twoLines)
        db.addNode(1, ObjectDataBase::NODE_DATA_T());
    for (quint8 line = 0; line <= quint8(twoLines); ++line)
        odtest::addBasics(db, line);
    addSafetyObjects(db, 0, quint8(twoLines));
}

// Runs the generators of gen_define.h and gen_srdo.c into folder.
bool generate(ObjectDataBase &db, const QString &folder, const QString &templates,
              const Preferences &preferences = Preferences())
{
    CoDefineGenerator define;
    SrdoGenerator srdo;
    srdo.setTemplateDirectory(templates);
    return gentest::runGenerator(define, db, folder, projectName, 0, preferences)
           && gentest::runGenerator(srdo, db, folder, projectName, 0, preferences);
}

// The lines of the case of an SRDO in the function whose definition starts with head.
QStringList caseLines(const QString &text, const QString &head, const QString &label)
{
    const QStringList lines = text.mid(text.indexOf(head)).split(QLatin1Char('\n'));
    QStringList found;
    int i = lines.indexOf(label);
    for (++i; i > 0 && i < lines.size() && lines.at(i) != QLatin1String("\t\tbreak;"); ++i)
        found << lines.at(i);
    return found;
}

} // namespace

class TestSrdoGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void copies_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<QList<quint32>>("mapping");
        QTest::addRow("UNSIGNED24 byte by byte")
            << quint16(0x16) << QList<quint32>{0x20000118, 0x20010118};
        QTest::addRow("INTEGER32 in 24 bits is sign-extended")
            << quint16(4) << QList<quint32>{0x20000118, 0x20010118};
        QTest::addRow("32-bit value ends with a blank")
            << quint16(4) << QList<quint32>{0x20000120, 0x20010120};
        QTest::addRow("REAL32 travels as its bit pattern")
            << quint16(8) << QList<quint32>{0x20000120, 0x20010120};
        QTest::addRow("64-bit value") << quint16(0x1B) << QList<quint32>{0x20000140, 0x20010140};
        QTest::addRow("a single bit is not copied")
            << quint16(1) << QList<quint32>{0x20000101, 0x20010101};
        QTest::addRow("nothing beyond the 8 bytes of a message")
            << quint16(7) << QList<quint32>{0x20010140, 0x20020140, 0x20000120, 0x20020220};
    }

    // A transmit SRDO 1 and a receive SRDO 2 with the same mapping; the variable under test
    // is v (0x2000:1), the others are 64-bit fillers. Its copies, into the message and back,
    // are pinned in srdo_copies.txt.
    void copies()
    {
        QFETCH(quint16, datatype);
        QFETCH(QList<quint32>, mapping);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        addVariables(db, 0, 0x2000, {{datatype, "v"}});
        addVariables(db, 0, 0x2001, {{0x1B, "fill"}});
        addVariables(db, 0, 0x2002, {{0x1B, "invFill"}, {datatype, "vInv"}});
        addSrdo(db, 0, 1, 1, 20, "0x101", "0x102", mapping);
        addSrdo(db, 0, 2, 2, 20, "0x103", "0x104", mapping);
        QTemporaryDir dir;
        QVERIFY(generate(db, dir.path(), gentest::testData("srdo/templates")));
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_srdo.c")));
        QStringList tx = caseLines(text, QStringLiteral("static RET_T genSrdoTransmitMapping("),
                                   QStringLiteral("\tcase 1u:"));
        QCOMPARE(tx.takeLast(), QStringLiteral("\t\tretVal = RET_OK;"));
        const QStringList rx = caseLines(text, QStringLiteral("static void saveRecDataNormal("),
                                         QStringLiteral("\tcase 2u:"));
        GENTEST_VERIFY_EMPTY(gentest::goldenSectionDiff(
            gentest::testData("srdo_copies.txt"),
            tx.filter(QRegularExpression(QStringLiteral("(^|[ (])(v|real32)\\b")))
                + QStringList{QStringLiteral("---")}
                + rx.filter(QRegularExpression(QStringLiteral("^\t\t(v|real32)")))));
    }

    void fixtureProjects_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("golden");
        QTest::addRow("single line") << false << "single";
        QTest::addRow("multi-line") << true << "multi";
    }

    // With marker templates the golden file srdo_<golden>.c holds the generated part. With the
    // shipped SRDO code the file is compiled and linked with a test program that plays stack
    // and application; its output is compared with the expected protocol srdo/run_<golden>.txt.
    void fixtureProjects()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, golden);
        ObjectDataBase db;
        buildProject(db, multiLine);
        QTemporaryDir dir;
        odtest::setting(db, "srdo_loop_counter", "25");
        QVERIFY(generate(db, dir.path(), gentest::testData("srdo/templates")));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData(QStringLiteral("srdo_%1.c").arg(golden)),
                                gentest::readText(dir.filePath("gen_srdo.c"))));
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
        odtest::setting(db, "srdo_loop_counter", QString());
        QVERIFY(generate(db, dir.path(), shippedTemplates()));
        QString output;
        QVERIFY2(odtest::buildAndRun({dir.filePath(QStringLiteral("gen_srdo.c")),
                                      gentest::testData("srdo/srdo_harness.c")},
                                     {dir.path(), gentest::testData("srdo")}, {},
                                     dir.filePath(QStringLiteral("srdo_test")), &output),
                 qPrintable(output));
        GENTEST_VERIFY_EMPTY(gentest::goldenDiff(
            gentest::testData(QStringLiteral("srdo/run_%1.txt").arg(golden)), output));
    }

    void missingTemplates()
    {
        ObjectDataBase db;
        buildProject(db);
        QTemporaryDir dir;
        QTemporaryDir empty;
        QVERIFY(generate(db, dir.path(), empty.path()));
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_srdo.c")));
        QVERIFY(text.contains(QStringLiteral(
            "/* local function prototypes */\nstatic UNSIGNED8\tconfigurationValid")));
        QVERIFY(!text.contains(QStringLiteral("coSrdoInit(")));
        QVERIFY(text.endsWith(QStringLiteral("\t}\n}\n\n")));
    }

    // The user preference "alwaysml" gives a single-line project the multi-line form of the
    // stack, with the line parameter and per-line state; it compiles with the shipped code.
    void forcedMultiLineCompiles()
    {
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
        ObjectDataBase db;
        buildProject(db);
        QTemporaryDir dir;
        QVERIFY(generate(db, dir.path(), shippedTemplates(), gentest::alwaysMultiLine()));
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_srdo.c")));
        QVERIFY(text.contains(QStringLiteral("configurationValid[CO_LINE_ARRAY_DECL] = {0u};\n")));
        QVERIFY(text.contains(QStringLiteral("\tsrdoProducerIndication(CO_LINE, srdoNr);\n")));
        QVERIFY(text.contains(QStringLiteral("static CO_SRDO_DATA_T\tsrdo2_line0;\n")));
        QString diagnostics;
        QVERIFY2(nwCompileCFile(dir.filePath(QStringLiteral("gen_srdo.c")), &diagnostics,
                                {gentest::testData("srdo")}),
                 qPrintable(diagnostics));
    }

    // A whole run over a project with SRDOs and entries in external memory: every C file it
    // writes compiles with the others and the application header.
    void generatedProjectCompiles()
    {
        if (!nwHaveCCompiler())
            QSKIP("no C compiler installed");
        ObjectDataBase db;
        buildProject(db);
        gentest::setLineType(db, 0, 1);
        odtest::setting(db, "co_node_id", "5");
        odtest::setting(db, "co_timer_interval", "10000");
        odtest::setting(db, "srdo_supported", "1");
        odtest::addObject(db, 0, 0x2300, 8,
                          {sub(5, "const", "2", 3), sub(6, "rw", "4", 3), sub(7, "ro", "4", 3)});
        QTemporaryDir dir;
        GenerationRun run(&db);
        run.setProject(dir.path(), projectName);
        run.setPreferences(gentest::testPreferences());
        run.setFactory(GenerationRun::GeneratorKind::Srdo,
                       [](const GenerationRun::RowContext &) -> AbstractGenerator * {
                           auto *generator = new SrdoGenerator;
                           generator->setTemplateDirectory(shippedTemplates());
                           return generator;
                       });
        QStringList messages;
        connect(&run, &GenerationRun::message, this,
                [&messages](const QString &text) { messages << text; });
        QVERIFY2(run.run() == GenerationRun::Completed, qPrintable(messages.join('\n')));
        const QStringList sources =
            QDir(dir.path()).entryList({QStringLiteral("*.c")}, QDir::Files);
        QCOMPARE(sources, (QStringList{"gen_objdict.c", "gen_srdo.c", "gen_vobjdict.c"}));
        for (const QString &source : sources) {
            QString diagnostics;
            QVERIFY2(
                nwCompileCFile(dir.filePath(source), &diagnostics, {gentest::testData("srdo")}),
                qPrintable(source + '\n' + diagnostics));
        }
    }
};

NW_TEST_MAIN(TestSrdoGenerator)
#include "tst_srdogenerator.moc"
