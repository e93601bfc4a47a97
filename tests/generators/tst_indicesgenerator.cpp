#include "compilecheck.h"
#include "generators/indicesgenerator.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QTemporaryDir>

// gen_indices.h: define names, duplicates, multi-line prefixes and the whole file.
class TestIndicesGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void replaceInvalidCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");
        const auto row = [](const char *name, const char *text, const char *cleaned) {
            QTest::newRow(name) << QString(text) << QString(cleaned);
        };
        // One pass per run length: twenty characters end as two underscores.
        row("each invalid character", " |&-:;,.()<>/\\$%[]?=", "__");
        row("hyphen and blank", "I_READ INPUT-8-BIT", "I_READ_INPUT_8_BIT");
        row("runs shrink", "A__B___C____D", "A_B_C_D");
        row("five underscores", "A_____B", "A_B");
        row("valid text unchanged", "I_MOTOR_DATA2", "I_MOTOR_DATA2");
    }

    void replaceInvalidCharacters()
    {
        QFETCH(QString, text);
        QTEST(IndicesGenerator::replaceInvalidCharacters(text), "cleaned");
    }

    void multiLinePrefixes()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        gentest::addLine(db, 1, 1);
        gentest::addCanopenBasics(db, 1);
        const QString text = generate(db, {0, 1});
        QVERIFY2(text.contains(QStringLiteral("#define L0_I_DEVICE_TYPE            \t0x1000u\n")),
                 qPrintable(text));
        // Names are numbered over the whole file: line 1 repeats the names of line 0, and a
        // repeated sub-index name below 0x2000 gets no define.
        QVERIFY(text.contains(QStringLiteral("#define L1_I_DEVICE_TYPE1           \t0x1000u\n")));
        QCOMPARE(text.count(QStringLiteral("S_VENDOR_ID")), 1);
        for (const QString &line : text.split('\n')) {
            if (line.startsWith(QLatin1String("#define")) && line.contains(QLatin1String("\t0x"))
                && !line.contains(QLatin1String("S_NUMBER_OF_ENTRIES")))
                QVERIFY2(line.contains(QRegularExpression(QStringLiteral("^#define  ?L[01]_"))),
                         qPrintable(line));
        }
    }

    void forcedMultiLine()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        const QString text = generate(db, {0}, gentest::alwaysMultiLine());
        QVERIFY2(text.contains(QStringLiteral("#define L0_I_DEVICE_TYPE")), qPrintable(text));
    }

    // Names from blanks and hyphens, repeated names numbered, names from the metadata
    // "objectdefine" and "subdefine", placeholders substituted, sub-indices of records and
    // arrays in hexadecimal; a sub-index name below 0x2000 is defined once.
    void goldenFile()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        gentest::addRecord(db, 0, 0x1019, "Second Identity", {"Vendor-ID"});
        gentest::addRecord(db, 0, 0x2001, "Motor Data Copy", {"Speed"});
        ObjectDataBase::SUBINDEX_DATA_T torque;
        db.getSubIndexData(0, 0x2001, 1, torque);
        torque.metadata.insert(QStringLiteral("subdefine"), QStringLiteral("my torque"));
        db.addSubIndex(0, 0x2001, 2, torque);
        gentest::addVar(db, 0, 0x2100, "Whatever", 7, {{"objectdefine", "my value"}});
        gentest::addVar(db, 0, 0x2200, "Channel $i");
        gentest::addRecord(db, 0, 0x2300, "Table", {"Entry"}, 8);
        db.addSubIndex(0, 0x2300, 0x11, gentest::sub("Slot $s"));
        gentest::addVar(db, 0, 0x6000, "Read Input 8-Bit");
        gentest::addVar(db, 0, 0x6001, "Read Input 8-Bit");
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("gen_indices.h"), generate(db, {0})));
    }

    void compilesAgainstStack()
    {
        if (!nwHaveCCompiler())
            QSKIP("no C compiler");
        ObjectDataBase db;
        gentest::buildMixedProject(db);
        gentest::addLine(db, 2, 1);
        gentest::addCanopenBasics(db, 2);
        generate(db, {0, 2});
        QString diagnostics;
        QVERIFY2(nwCompileHeaders(dir.path(), {}, {QStringLiteral("gen_indices.h")}, &diagnostics,
                                  QStringLiteral("unsigned idx = L2_I_DEVICE_TYPE1 + L0_S_SPEED;")),
                 qPrintable(diagnostics));
    }

private:
    QString generate(ObjectDataBase &db, const QList<unsigned char> &lines,
                     const Preferences &preferences = Preferences())
    {
        IndicesGenerator generator;
        generator.setLines(lines);
        if (!gentest::runGenerator(generator, db, dir.path(), QStringLiteral("indices"),
                                   lines.value(0), preferences))
            return QStringLiteral("<not started>");
        return gentest::readText(dir.path() + QStringLiteral("/gen_indices.h"));
    }

    QTemporaryDir dir;
};

NW_TEST_MAIN(TestIndicesGenerator)
#include "tst_indicesgenerator.moc"
