// gen_objdict.c: value tables, positions, descriptions, assignments, compact arrays and
// mapping tables (what each variant of a small project changes in the file against the
// plain project is pinned in objdict_tables.txt), whole files of the fixture projects
// against golden files, and the generator's rows in the generation run.

#include "generators/generationrun.h"
#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QDir>

#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

Q_DECLARE_METATYPE(ObjectDataBase::SUBINDEX_DATA_T)

namespace {

QString run(ObjectDataBase &db, bool compact = false)
{
    QTemporaryDir dir;
    QString text;
    odtest::generate(db, dir.path(), compact, &text);
    return text;
}

} // namespace

class TestObjDictGenerator : public QObject
{
    Q_OBJECT

private:
    QStringList plain;

    // The changes of gen_objdict.c of db against that of the plain project are those of
    // the running row's section.
    void compareChanges(ObjectDataBase &db, bool compact = false)
    {
        GENTEST_VERIFY_EMPTY(gentest::goldenSectionDiff(
            gentest::testData("objdict_tables.txt"),
            gentest::lineChanges(plain, gentest::maskedLines(run(db, compact)))));
    }

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        plain = gentest::maskedLines(run(db));
        QVERIFY(plain.size() > 100);
    }

    void equalConstantsShareOneElement_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addRow("hexadecimal and decimal") << QStringList{"0x10", "16", "17"};
        QTest::addRow("node-ID relative value without its prefix")
            << QStringList{"$NODEID+0x180", "384", "$nodeid+384"};
        QTest::addRow("text that is no number counts as 0") << QStringList{"5", "abc", "0"};
    }

    // A value is stored once per table; every sub-index holding it points at that element.
    void equalConstantsShareOneElement()
    {
        QFETCH(QStringList, values);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        for (int i = 0; i < values.size(); ++i)
            odtest::addVar(db, 0, quint16(0x2000 + i), sub(6, "rw", values.at(i), i % 2));
        compareChanges(db);
    }

    void limitsOnlyForWritableEntries_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("limitCheck");
        for (const char *access : {"rw", "wo", "rww", "rwr", "ro", "const"})
            QTest::addRow("%s", access) << access << "1";
        QTest::addRow("limit check off") << "rw"
                                         << "0";
    }

    void limitsOnlyForWritableEntries()
    {
        QFETCH(QString, access);
        QFETCH(QString, limitCheck);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        Sub limited = sub(5, access, "7");
        limited.limitineds = true;
        limited.lowlimit = 3;
        limited.uplimit = 250;
        odtest::addVar(db, 0, 0x2000, limited);
        odtest::setting(db, "limit_check", limitCheck);
        compareChanges(db);
    }

    void projectWithoutObjectsWritesNoTables()
    {
        ObjectDataBase db;
        db.createNewDataBase();
        odtest::addVar(db, 0, 0x1000, sub(7, "const", "0", 1));
        const QString text = run(db);
        QCOMPARE(odtest::definedCount(text, "CO_OD_ASSIGN_CNT"), 0);
        QCOMPARE(odtest::definedCount(text, "CO_OBJ_DESC_CNT"), 0);
        QVERIFY(!text.contains(QStringLiteral("od_const_u32[")));
        QVERIFY(text.contains(QStringLiteral("od_data_variables = {\n   NULL\n    , NULL\n")));
    }

    void compactRuns_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QList<int>>("different");
        QTest::addColumn<int>("missing");
        QTest::addColumn<bool>("compact");
        QTest::addRow("all equal") << quint16(0x2200) << 10 << QList<int>{} << 0 << true;
        QTest::addRow("equal from 4") << quint16(0x2200) << 10 << QList<int>{1, 2, 3} << 0 << true;
        QTest::addRow("last two equal") << quint16(0x2200) << 10 << QList<int>{8} << 0 << true;
        QTest::addRow("last differs") << quint16(0x2200) << 10 << QList<int>{10} << 0 << true;
        QTest::addRow("gap ends the run") << quint16(0x2200) << 10 << QList<int>{} << 6 << true;
        QTest::addRow("communication object") << quint16(0x1100) << 10 << QList<int>{} << 0 << true;
        QTest::addRow("two sub-indices") << quint16(0x2200) << 1 << QList<int>{} << 0 << true;
        QTest::addRow("compact arrays off") << quint16(0x2200) << 10 << QList<int>{} << 0 << false;
    }

    // The run of equal entries at the end of an array is described up to its first entry,
    // which carries CO_ATTR_COMPACT; the assignment keeps the highest sub-index.
    void compactRuns()
    {
        QFETCH(quint16, index);
        QFETCH(int, entries);
        QFETCH(QList<int>, different);
        QFETCH(int, missing);
        QFETCH(bool, compact);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addArray(db, 0, index, entries, sub(7, "rw", "9"));
        for (int s : different)
            db.setSubIndexValue(0, index, quint8(s), QString::number(100 + s));
        if (missing)
            db.delSubIndex(0, index, quint8(missing));
        compareChanges(db, compact);
    }

    void mappingTablesAreFilledToTheLargestCount_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addRow("one and three") << QList<int>{1, 3};
        QTest::addRow("equal counts") << QList<int>{2, 2};
        QTest::addRow("count above 64 lists its first entry") << QList<int>{70, 2};
    }

    void mappingTablesAreFilledToTheLargestCount()
    {
        QFETCH(QList<int>, counts);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addVar(db, 0, 0x2000, sub(5, "ro", "1", 0, 1));
        for (int pdo = 0; pdo < counts.size(); ++pdo) {
            QList<quint32> words;
            for (int i = 0; i < qMin(counts.at(pdo), 3); ++i)
                words << 0x20000008;
            odtest::addPdo(db, 0, true, pdo + 1, QStringLiteral("0x180"), words, false);
            db.setSubIndexValue(0, quint16(0x1A00 + pdo), 0, QString::number(counts.at(pdo)));
        }
        compareChanges(db);
    }

    void mappingEntryFields_data()
    {
        QTest::addColumn<Sub>("mapped");
        QTest::addColumn<QString>("bitwise");
        QTest::addColumn<quint32>("word");
        // Which PDOs get a table and where a byte-mapped entry points are compared with the
        // project by tst_objdictruntime; here the fields that run does not see.
        QTest::addRow("managed, bits") << sub(6, "rw", "0", 0, 1) << "1" << quint32(0x2000000c);
        QTest::addRow("integer24 is numeric")
            << sub(0x10, "ro", "5", 0, 1) << "0" << quint32(0x20000018);
        QTest::addRow("unsigned24 is not")
            << sub(0x16, "ro", "5", 0, 1) << "0" << quint32(0x20000018);
        QTest::addRow("bit field in the UNSIGNED8 array")
            << sub(0x66, "ro", "1", 0, 1) << "1" << quint32(0x20000004);
        Sub variable = sub(5, "ro", "0", 2, 1);
        variable.varname = QStringLiteral("in_$I");
        QTest::addRow("application variable") << variable << "0" << quint32(0x20000008);
        QTest::addRow("missing entry") << sub(5, "ro", "0", 0, 1) << "0" << quint32(0x20050008);
    }

    void mappingEntryFields()
    {
        QFETCH(Sub, mapped);
        QFETCH(QString, bitwise);
        QFETCH(quint32, word);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addVar(db, 0, 0x2000, mapped);
        odtest::setting(db, "bitwise_mapping", bitwise);
        odtest::addPdo(db, 0, true, 1, "0x180", {word}, false);
        compareChanges(db);
    }

    void valueFormats_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<QString>("value");
        const struct
        {
            const char *name;
            quint16 datatype;
            const char *value;
        } rows[] = {
            {"UNSIGNED8 cut to 8 bits", 5, "0x1FF"},
            {"BOOLEAN", 1, "1"},
            {"UNSIGNED4", 0x67, "9"},
            {"UNSIGNED32", 7, "0xFFFFFFFF"},
            {"INTEGER8", 2, "-128"},
            {"INTEGER32", 4, "-2147483648"},
            {"REAL32 zero", 8, "0"},
            {"REAL32 exponent", 8, "-1.25e3"},
            {"REAL32 small", 8, "2.5e-7"},
            {"UNSIGNED24", 0x16, "0x12AB05"},
            {"INTEGER24", 0x10, "-2"},
            {"TIME_OF_DAY", 0x0C, "0x010203040506"},
            {"UNSIGNED64", 0x1B, "0x0102030405060708"},
            {"no number", 6, "fast"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row.name) << row.datatype << row.value;
    }

    void valueFormats()
    {
        QFETCH(quint16, datatype);
        QFETCH(QString, value);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "init_static_variables", "1");
        odtest::addVar(db, 0, 0x2000, sub(datatype, "rw", value));
        compareChanges(db);
    }

    void managedDeclarations_data()
    {
        QTest::addColumn<bool>("initialise");
        QTest::addColumn<QString>("specifier");
        QTest::addRow("initialised") << true << "";
        QTest::addRow("declared") << false << "";
        QTest::addRow("initialised in a memory section") << true << "__near";
        QTest::addRow("declared in a memory section") << false << "__near";
    }

    // Values the stack keeps itself get no managed variable.
    void managedDeclarations()
    {
        QFETCH(bool, initialise);
        QFETCH(QString, specifier);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "init_static_variables", initialise ? "1" : "0");
        odtest::setting(db, "static_memory_specifier", specifier);
        odtest::addVar(db, 0, 0x1017, sub(6, "rw", "100"));
        odtest::addObject(db, 0, 0x1400, 9, {sub(5, "ro", "2"), sub(7, "rw", "0x201")});
        compareChanges(db);
    }

    void applicationVariableNames_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<QString>("varname");
        QTest::addRow("sub-index") << quint16(6) << "speed_$s";
        QTest::addRow("array position") << quint16(2) << "table[$z]";
        QTest::addRow("hexadecimal") << quint16(7) << "o$I_$S";
        QTest::addRow("expression") << quint16(8) << "(&block.v$i)";
        QTest::addRow("visible string") << quint16(9) << "name$s";
        QTest::addRow("octet string") << quint16(10) << "raw$s";
        QTest::addRow("domain") << quint16(15) << "blob$s";
    }

    void applicationVariableNames()
    {
        QFETCH(quint16, datatype);
        QFETCH(QString, varname);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        Sub variable = odtest::appVar(datatype, "rw", varname);
        variable.size = 12;
        odtest::addArray(db, 0, 0x20AB, 2, variable);
        compareChanges(db);
    }

    void fixtureProjects_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("golden");
        QTest::addRow("single line") << false << "objdict_single.c";
        QTest::addRow("multi-line") << true << "objdict_multi.c";
    }

    // Whole gen_objdict.c and gen_user.h files of the fixture projects.
    void fixtureProjects()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, golden);
        ObjectDataBase db;
        (multiLine ? odtest::buildMultiLineProject : odtest::buildSingleLineProject)(db);
        QTemporaryDir dir;
        QString text;
        QVERIFY(odtest::generate(db, dir.path(), false, &text));
        GENTEST_VERIFY_EMPTY(gentest::goldenDiff(gentest::testData(golden), text));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("objdict_gen_user.h"),
                                gentest::readText(dir.filePath(QStringLiteral("gen_user.h")))));
    }

    void objectDictionaryRows_data()
    {
        QTest::addColumn<int>("lineType");
        QTest::addColumn<bool>("compact");
        QTest::addRow("CANopen line") << 1 << false;
        QTest::addRow("CANopen line, compact arrays") << 1 << true;
        QTest::addRow("one CANopen and J1939 line, compact arrays") << 5 << true;
    }

    // gen_objdict.c written by the generation run takes the project's setting for compact
    // arrays (which lines get the row is pinned with probes by tst_generationrun).
    void objectDictionaryRows()
    {
        QFETCH(int, lineType);
        QFETCH(bool, compact);
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        gentest::setLineType(db, 0, lineType);
        odtest::addArray(db, 0, 0x2100, 6, odtest::sub(7, "rw", "1"));
        odtest::setting(db, "compact_array_description", compact ? "1" : "0");
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/nwodrun-XXXXXX"));
        GenerationRun run(&db);
        run.setProject(dir.path(), QStringLiteral("demo"));
        run.setModelCheckEnabled(false);
        QCOMPARE(run.run(), GenerationRun::Completed);
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_objdict.c")));
        QVERIFY(text.contains(QStringLiteral("#define CO_OD_ASSIGN_CNT ")));
        QCOMPARE(text.contains(QStringLiteral("| CO_ATTR_COMPACT,")), compact);
    }

    void implementationTypes_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<int>("subIndex");
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<int>("implementation");
        QTest::addColumn<QString>("type");
        const struct
        {
            const char *name;
            quint16 index;
            int subIndex;
            quint16 datatype;
            int implementation;
            const char *type;
        } rows[] = {
            {"constant wins over the service", 0x1005, 0, 7, 1, "CO_DTYPE_U32_CONST"},
            {"sync", 0x1019, 0, 5, 0, "CO_DTYPE_U8_SYNC  "},
            {"emergency consumer count", 0x1028, 0, 5, 0, "CO_DTYPE_U8_VAR   "},
            {"emergency consumer", 0x1028, 1, 7, 0, "CO_DTYPE_U32_EMCY "},
            {"store command", 0x1010, 3, 7, 0, "CO_DTYPE_U32_STORE"},
            {"store count", 0x1010, 4, 7, 0, "CO_DTYPE_U32_VAR  "},
            {"SRDO range end", 0x13F1, 1, 5, 0, "CO_DTYPE_U8_VAR   "},
            {"SRDO checksum", 0x13FE, 0, 5, 0, "CO_DTYPE_U8_SRDO  "},
            {"mapping count", 0x1A03, 0, 5, 0, "CO_DTYPE_U8_TMAP  "},
            {"boolean", 0x2000, 0, 1, 2, "CO_DTYPE_BOOL_PTR "},
            {"bit field", 0x2000, 0, 0x65, 0, "CO_DTYPE_U8_VAR   "},
            {"time of day", 0x2000, 0, 0x0C, 0, "CO_DTYPE_U48_VAR  "},
            {"domain variable", 0x2000, 0, 0x0F, 2, "CO_DTYPE_DOMAIN   "},
            {"string constant", 0x2000, 0, 9, 1, "CO_DTYPE_VS_CONST "},
            {"virtual", 0x2000, 0, 6, 3, "CO_DTYPE_U16      "},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row.name) << row.index << row.subIndex << row.datatype
                                          << row.implementation << QString::fromLatin1(row.type);
    }

    void implementationTypes()
    {
        QFETCH(quint16, index);
        QFETCH(int, subIndex);
        QFETCH(quint16, datatype);
        QFETCH(int, implementation);
        Sub data = sub(datatype, "rw", "0", quint8(implementation));
        QTEST(ObjDictGenerator::getImplementationDataType(index, quint8(subIndex), data), "type");
        QCOMPARE(data.datatype, datatype == 0x0C ? quint16(0x19) : datatype);
    }
    void integerForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint64>("value");
        const quint64 all = ~quint64(0);
        QTest::newRow("decimal") << "1234" << true << quint64(1234);
        QTest::newRow("leading zeros") << "007" << true << quint64(7);
        QTest::newRow("hex, small x") << "0x1f" << true << quint64(31);
        QTest::newRow("hex, capital X") << "0X1F" << true << quint64(31);
        QTest::newRow("16 hex digits") << "0xFFFFFFFFFFFFFFFF" << true << all;
        QTest::newRow("17 hex digits") << "0x1FFFFFFFFFFFFFFFF" << false << quint64(0);
        QTest::newRow("20 decimal digits") << "18446744073709551615" << true << all;
        QTest::newRow("decimal beyond 64 bits") << "18446744073709551616" << false << quint64(0);
        QTest::newRow("node id") << "$NODEID+0x180" << true << quint64(0x180);
        QTest::newRow("spaces") << " 12 " << true << quint64(12);
        QTest::newRow("negative") << "-5" << true << quint64(0) - 5;
        QTest::newRow("prefix alone") << "0x" << false << quint64(0);
        QTest::newRow("empty") << "" << false << quint64(0);
        QTest::newRow("hex digits without prefix") << "1F" << false << quint64(0);
        QTest::newRow("fraction") << "1.5" << false << quint64(0);
    }
    void integerForms()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(quint64, value);
        quint64 u = 99;
        qint64 s = 99;
        QCOMPARE(ObjDictGenerator::parseInteger(text, u, s), ok);
        QCOMPARE(u, value);
        QCOMPARE(s, qint64(value));
    }
};

NW_TEST_MAIN(TestObjDictGenerator)
#include "tst_objdictgenerator.moc"
