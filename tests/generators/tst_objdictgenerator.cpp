// Value tables, positions, descriptions, assignments, compact arrays and mapping tables
// of gen_objdict.c.

#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

Q_DECLARE_METATYPE(ObjectDataBase::SUBINDEX_DATA_T)

namespace {

QString descriptionOf(const QString &text, quint16 index, quint8 subIndex)
{
    const QString tail =
        QStringLiteral("/* 0x%1:%2*/ ").arg(index, 4, 16, QLatin1Char('0')).arg(subIndex);
    for (const QString &line : odtest::block(text, QStringLiteral("CO_CONST CO_OBJECT_DESC_T"))) {
        if (line.endsWith(tail))
            return line;
    }
    return QString();
}

QString assignOf(const QString &text, quint16 index)
{
    const QString head = QStringLiteral("\t{ 0x%1u,").arg(index, 4, 16, QLatin1Char('0'));
    for (const QString &line : odtest::block(text, QStringLiteral("CO_CONST CO_OD_ASSIGN_T"))) {
        if (line.startsWith(head))
            return line;
    }
    return QString();
}

// Description entries of one object.
int describedSubs(const QString &text, quint16 index)
{
    const QString marker = QStringLiteral("/* 0x%1:").arg(index, 4, 16, QLatin1Char('0'));
    int count = 0;
    for (const QString &line : odtest::block(text, QStringLiteral("CO_CONST CO_OBJECT_DESC_T")))
        count += line.contains(marker) ? 1 : 0;
    return count;
}

QString run(ObjectDataBase &db, bool compact = false, ObjDictGenerator *generator = nullptr)
{
    QTemporaryDir dir;
    QString text;
    odtest::generate(db, dir.path(), compact, &text, generator);
    return text;
}

} // namespace

class TestObjDictGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void equalConstantsShareOneElement_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QList<int>>("positions");
        QTest::addRow("hexadecimal and decimal")
            << QStringList{"0x10", "16", "17"}
            << QStringList{"\t(UNSIGNED16)16u", "\t(UNSIGNED16)17u"} << QList<int>{0, 0, 1};
        QTest::addRow("node-ID relative value without its prefix")
            << QStringList{"$NODEID+0x180", "384", "$nodeid+384"}
            << QStringList{"\t(UNSIGNED16)384u"} << QList<int>{0, 0, 0};
        QTest::addRow("text that is no number counts as 0")
            << QStringList{"5", "abc", "0"} << QStringList{"\t(UNSIGNED16)5u", "\t(UNSIGNED16)0u"}
            << QList<int>{0, 1, 1};
    }

    // A value is stored once per table; every sub-index holding it points at that element.
    void equalConstantsShareOneElement()
    {
        QFETCH(QStringList, values);
        QFETCH(QStringList, elements);
        QFETCH(QList<int>, positions);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        for (int i = 0; i < values.size(); ++i)
            odtest::addVar(db, 0, quint16(0x2000 + i),
                           sub(6, QStringLiteral("rw"), values.at(i), i % 2));
        ObjDictGenerator generator(false);
        const QString text = run(db, false, &generator);
        QCOMPARE(odtest::elements(text, QStringLiteral("static CO_CONST UNSIGNED16")), elements);
        for (int i = 0; i < values.size(); ++i) {
            const quint32 key = ObjDictGenerator::subKey(0, quint16(0x2000 + i), 0);
            QCOMPARE(int(generator.constantPositions().value(key, 999)), positions.at(i));
        }
    }

    void limitsOnlyForWritableEntries_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("limitCheck");
        QTest::addColumn<bool>("limits");
        QTest::addRow("rw") << "rw"
                            << "1" << true;
        QTest::addRow("wo") << "wo"
                            << "1" << true;
        QTest::addRow("rww") << "rww"
                             << "1" << true;
        QTest::addRow("rwr") << "rwr"
                             << "1" << true;
        QTest::addRow("ro") << "ro"
                            << "1" << false;
        QTest::addRow("const") << "const"
                               << "1" << false;
        QTest::addRow("limit check off") << "rw"
                                         << "0" << false;
    }

    void limitsOnlyForWritableEntries()
    {
        QFETCH(QString, access);
        QFETCH(QString, limitCheck);
        QFETCH(bool, limits);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        Sub limited = sub(5, access, QStringLiteral("7"));
        limited.limitineds = true;
        limited.lowlimit = 3;
        limited.uplimit = 250;
        odtest::addVar(db, 0, 0x2000, limited);
        odtest::setting(db, "limit_check", limitCheck);
        ObjDictGenerator generator(false);
        const QString text = run(db, false, &generator);
        const quint32 key = ObjDictGenerator::subKey(0, 0x2000, 0);
        QCOMPARE(generator.lowLimitPositionMap().contains(key), limits);
        QCOMPARE(generator.highLimitPositionMap().contains(key), limits);
        const QStringList u8 = odtest::elements(text, QStringLiteral("static CO_CONST UNSIGNED8"));
        QCOMPARE(u8.contains(QStringLiteral("\t(UNSIGNED8)250u")), limits);
        const QString entry = descriptionOf(text, 0x2000, 0);
        QVERIFY2(entry.contains(QStringLiteral(" | CO_ATTR_LIMIT")), qPrintable(entry));
        const int value = u8.indexOf(QStringLiteral("\t(UNSIGNED8)7u"));
        QString tail;
        if (limitCheck == QLatin1String("0"))
            tail = QStringLiteral(",  (UNSIGNED16)%1u},").arg(value);
        else if (limits)
            tail = QStringLiteral(",  (UNSIGNED16)%1u, (UNSIGNED16)%2u, (UNSIGNED16)%3u},")
                       .arg(value)
                       .arg(u8.indexOf(QStringLiteral("\t(UNSIGNED8)3u")))
                       .arg(u8.indexOf(QStringLiteral("\t(UNSIGNED8)250u")));
        else
            tail =
                QStringLiteral(",  (UNSIGNED16)%1u, (UNSIGNED16)0u, (UNSIGNED16)0u},").arg(value);
        QVERIFY2(entry.contains(tail + QStringLiteral("/* 0x2000:0*/ ")),
                 qPrintable(entry + QStringLiteral("\nwant ") + tail));
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
        QTest::addColumn<int>("start");
        QTest::addRow("all equal") << quint16(0x2200) << 10 << QList<int>{} << 0 << true << 1;
        QTest::addRow("equal from 4")
            << quint16(0x2200) << 10 << QList<int>{1, 2, 3} << 0 << true << 4;
        QTest::addRow("last two equal") << quint16(0x2200) << 10 << QList<int>{8} << 0 << true << 9;
        QTest::addRow("last differs") << quint16(0x2200) << 10 << QList<int>{10} << 0 << true << -1;
        QTest::addRow("gap ends the run")
            << quint16(0x2200) << 10 << QList<int>{} << 6 << true << 7;
        QTest::addRow("communication object")
            << quint16(0x1100) << 10 << QList<int>{} << 0 << true << -1;
        QTest::addRow("two sub-indices") << quint16(0x2200) << 1 << QList<int>{} << 0 << true << -1;
        QTest::addRow("compact arrays off")
            << quint16(0x2200) << 10 << QList<int>{} << 0 << false << -1;
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
        QFETCH(int, start);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addArray(db, 0, index, entries, sub(7, "rw", "9"));
        for (int s : different)
            db.setSubIndexValue(0, index, quint8(s), QString::number(100 + s));
        if (missing)
            db.delSubIndex(0, index, quint8(missing));
        const QString text = run(db, compact);
        const int present = entries + 1 - (missing ? 1 : 0);
        const int described =
            start < 0 ? present : start + 1 - (missing && missing < start ? 1 : 0);
        QCOMPARE(describedSubs(text, index), described);
        QCOMPARE(assignOf(text, index),
                 QStringLiteral("\t{ 0x%1u, %2u, %3u, CO_ODTYPE_ARRAY, 2u },")
                     .arg(index, 4, 16, QLatin1Char('0'))
                     .arg(described)
                     .arg(entries));
        QCOMPARE(text.count(QStringLiteral("CO_ATTR_COMPACT")), start < 0 ? 0 : 1);
        if (start >= 0)
            QVERIFY(descriptionOf(text, index, quint8(start))
                        .contains(QStringLiteral("| CO_ATTR_COMPACT,")));
    }

    void mappingTablesAreFilledToTheLargestCount_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<int>("largest");
        QTest::addRow("one and three") << QList<int>{1, 3} << QList<int>{1, 3} << 3;
        QTest::addRow("equal counts") << QList<int>{2, 2} << QList<int>{2, 2} << 2;
        QTest::addRow("count above 64 lists its first entry")
            << QList<int>{70, 2} << QList<int>{1, 2} << 2;
    }

    void mappingTablesAreFilledToTheLargestCount()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, entries);
        QFETCH(int, largest);
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
        const QString text = run(db);
        const QString filler = QStringLiteral("\t\t{NULL, (UNSIGNED8)0u, CO_FALSE, 0ul}");
        for (int pdo = 0; pdo < counts.size(); ++pdo) {
            const QString header =
                QStringLiteral(
                    "static CO_CONST PDO_TR_MAP_TABLE_T CO_CONST_STORAGE_CLASS\tmapTableTPDO%1 = {")
                    .arg(pdo + 1);
            QStringList expected{QStringLiteral("\t(UNSIGNED8)%1u,").arg(counts.at(pdo)),
                                 QStringLiteral("\t{")};
            // od_u8 holds 0x1001 and sub-index 0 of every mapping object before 0x2000.
            for (int i = 0; i < entries.at(pdo); ++i)
                expected << QStringLiteral("\t\t{&od_u8[%1], 1u, CO_TRUE, 0x20000008UL },")
                                .arg(1 + counts.size());
            QStringList fillers;
            for (int i = entries.at(pdo); i < largest; ++i)
                fillers << filler;
            if (!fillers.isEmpty())
                expected << fillers.join(QStringLiteral(",\n")).split(QLatin1Char('\n'));
            expected << QStringLiteral("\t}");
            QCOMPARE(odtest::block(text, header), expected);
        }
    }

    void mappingEntryFields_data()
    {
        QTest::addColumn<Sub>("mapped");
        QTest::addColumn<QString>("bitwise");
        QTest::addColumn<quint32>("word");
        QTest::addColumn<QString>("entry");
        // Which PDOs get a table and where a byte-mapped entry points are compared with the
        // project by tst_objdictruntime; here the fields that run does not see.
        QTest::addRow("managed, bits") << sub(6, "rw", "0", 0, 1) << "1" << quint32(0x2000000c)
                                       << "{&od_u16[0], 12u, CO_TRUE, 0x2000000cUL },";
        QTest::addRow("integer24 is numeric")
            << sub(0x10, "ro", "5", 0, 1) << "0" << quint32(0x20000018)
            << "{&od_i24[0], 3u, CO_TRUE, 0x20000018UL },";
        QTest::addRow("unsigned24 is not")
            << sub(0x16, "ro", "5", 0, 1) << "0" << quint32(0x20000018)
            << "{&od_u24[0], 3u, CO_FALSE, 0x20000018UL },";
        QTest::addRow("bit field in the UNSIGNED8 array")
            << sub(0x66, "ro", "1", 0, 1) << "1" << quint32(0x20000004)
            << "{&od_u8[2], 4u, CO_FALSE, 0x20000004UL },";
        Sub variable = sub(5, "ro", "0", 2, 1);
        variable.varname = QStringLiteral("in_$I");
        QTest::addRow("application variable") << variable << "0" << quint32(0x20000008)
                                              << "{&(in_2000), 1u, CO_TRUE, 0x20000008UL },";
        QTest::addRow("missing entry") << sub(5, "ro", "0", 0, 1) << "0" << quint32(0x20050008)
                                       << "{NULL, 1u, CO_TRUE, 0x20050008UL },";
    }

    void mappingEntryFields()
    {
        QFETCH(Sub, mapped);
        QFETCH(QString, bitwise);
        QFETCH(quint32, word);
        QFETCH(QString, entry);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addVar(db, 0, 0x2000, mapped);
        odtest::setting(db, "bitwise_mapping", bitwise);
        odtest::addPdo(db, 0, true, 1, "0x180", {word}, false);
        const QStringList table =
            odtest::block(run(db), QStringLiteral("static CO_CONST PDO_TR_MAP_TABLE_T"));
        QCOMPARE(table.value(2), QStringLiteral("\t\t") + entry);
    }

    void valueFormats_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("array");
        QTest::addColumn<QString>("element");
        const struct
        {
            const char *name;
            quint16 datatype;
            const char *value, *array, *element;
        } rows[] = {
            {"UNSIGNED8 cut to 8 bits", 5, "0x1FF", "od_u8", "(UNSIGNED8)255u"},
            {"BOOLEAN", 1, "1", "od_u8", "(UNSIGNED8)1u"},
            {"UNSIGNED4", 0x67, "9", "od_u8", "(UNSIGNED8)9u"},
            {"UNSIGNED32", 7, "0xFFFFFFFF", "od_u32", "(UNSIGNED32)4294967295UL"},
            {"INTEGER8", 2, "-128", "od_i8", "(INTEGER8)-128"},
            {"INTEGER32", 4, "-2147483648", "od_i32", "(INTEGER32)-2147483648L"},
            {"REAL32 zero", 8, "0", "od_r32", "(REAL32)0.0f"},
            {"REAL32 exponent", 8, "-1.25e3", "od_r32", "(REAL32)-1250.0f"},
            {"REAL32 small", 8, "2.5e-7", "od_r32", "(REAL32)2.5e-07f"},
            {"UNSIGNED24", 0x16, "0x12AB05", "od_u24", "U24_SET(0x12,0xab,0x05)"},
            {"INTEGER24", 0x10, "-2", "od_i24", "I24_SET(0xff,0xff,0xfe)"},
            {"TIME_OF_DAY", 0x0C, "0x010203040506", "od_u48",
             "U48_SET(0x01,0x02,0x03,0x04,0x05,0x06)"},
            {"UNSIGNED64", 0x1B, "0x0102030405060708", "od_u64",
             "U64_SET(0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08)"},
            {"no number", 6, "fast", "od_u16", "(UNSIGNED16)0u"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row.name) << row.datatype << row.value << row.array << row.element;
    }

    void valueFormats()
    {
        QFETCH(quint16, datatype);
        QFETCH(QString, value);
        QFETCH(QString, array);
        QFETCH(QString, element);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "init_static_variables", "1");
        odtest::addVar(db, 0, 0x2000, sub(datatype, QStringLiteral("rw"), value));
        const QString text = run(db);
        const QRegularExpression header(
            QStringLiteral("^static \\w+ +CO_STORAGE_CLASS\\t%1\\[\\d+\\]= \\{$").arg(array));
        const QStringList lines = text.split(QLatin1Char('\n'));
        int at = -1;
        for (int i = 0; i < lines.size() && at < 0; ++i)
            at = header.match(lines.at(i)).hasMatch() ? i : -1;
        QVERIFY2(at >= 0, qPrintable(array));
        QStringList found;
        for (int i = at + 1; i < lines.size() && lines.at(i) != QLatin1String("};"); ++i)
            found << lines.at(i);
        QVERIFY2(found.contains(QStringLiteral("\t%1 /* 0x2000:0 */").arg(element)),
                 qPrintable(found.join(QLatin1Char('\n'))));
    }
    void managedDeclarations_data()
    {
        QTest::addColumn<QString>("initialise");
        QTest::addColumn<QString>("specifier");
        QTest::addColumn<QString>("header");
        const QString u8 = QStringLiteral("static UNSIGNED8 CO_STORAGE_CLASS\tod_u8[2]");
        QTest::addRow("initialised") << "1"
                                     << "" << u8 + "= {";
        QTest::addRow("declared") << "0"
                                  << "" << u8 + ";";
        QTest::addRow("initialised in a memory section") << "1"
                                                         << "__near" << u8 + " __near = {";
        QTest::addRow("declared in a memory section") << "0"
                                                      << "__near" << u8 + " __near ;";
    }

    // Values the stack keeps itself get no managed variable.
    void managedDeclarations()
    {
        QFETCH(QString, initialise);
        QFETCH(QString, specifier);
        QFETCH(QString, header);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "init_static_variables", initialise);
        odtest::setting(db, "static_memory_specifier", specifier);
        odtest::addVar(db, 0, 0x1017, sub(6, "rw", "100"));
        odtest::addObject(db, 0, 0x1400, 9, {sub(5, "ro", "2"), sub(7, "rw", "0x201")});
        ObjDictGenerator generator(false);
        const QString text = run(db, false, &generator);
        QVERIFY2(text.contains(QStringLiteral("\n") + header + QStringLiteral("\n")),
                 qPrintable(text.left(1500)));
        QVERIFY(!text.contains(QStringLiteral("\tod_u16[")));
        QVERIFY(!text.contains(QStringLiteral("\tod_u32[")));
        QCOMPARE(generator.managedPositions().value(ObjDictGenerator::subKey(0, 0x1400, 0), 99),
                 quint16(1));
        QCOMPARE(text.contains(QStringLiteral("\t(UNSIGNED8)2u /* 0x1400:0 */\n};\n")),
                 initialise == QLatin1String("1"));
    }

    void applicationVariableNames_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<QString>("varname");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("elements");
        QTest::addRow("sub-index")
            << quint16(6) << "speed_$s"
            << "static UNSIGNED16 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u16["
            << QStringList{"\t&(speed_1)", "\t&(speed_2)"};
        QTest::addRow("array position")
            << quint16(2) << "table[$z]"
            << "static INTEGER8  CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_i8["
            << QStringList{"\t&(table[0])", "\t&(table[1])"};
        QTest::addRow("hexadecimal")
            << quint16(7) << "o$I_$S"
            << "static UNSIGNED32 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u32["
            << QStringList{"\t&(o20AB_1)", "\t&(o20AB_2)"};
        QTest::addRow("expression")
            << quint16(8) << "(&block.v$i)"
            << "static REAL32 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_r32["
            << QStringList{"\t(&block.v8363)", "\t(&block.v8363)"};
        QTest::addRow("visible string")
            << quint16(9) << "name$s"
            << "static VIS_STRING\tod_vis_string[" << QStringList{"\t&(name1[0])", "\t&(name2[0])"};
        QTest::addRow("octet string") << quint16(10) << "raw$s"
                                      << "static OCTET_STRING\t*od_octet_string["
                                      << QStringList{"\t&(raw1[0])", "\t&(raw2[0])"};
        QTest::addRow("domain") << quint16(15) << "blob$s"
                                << "static CO_DOMAIN_PTR\tod_domain["
                                << QStringList{"\tNULL", "\tNULL"};
    }

    void applicationVariableNames()
    {
        QFETCH(quint16, datatype);
        QFETCH(QString, varname);
        QFETCH(QString, header);
        QFETCH(QStringList, elements);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        Sub variable = odtest::appVar(datatype, QStringLiteral("rw"), varname);
        variable.size = 12;
        odtest::addArray(db, 0, 0x20AB, 2, variable);
        ObjDictGenerator generator(false);
        const QString text = run(db, false, &generator);
        QCOMPARE(odtest::elements(text, header), elements);
        QCOMPARE(generator.pointerPositions().value(ObjDictGenerator::subKey(0, 0x20AB, 2), 99),
                 quint16(1));
        QCOMPARE(descriptionOf(text, 0x20AB, 2).contains(QStringLiteral("(UNSIGNED16)1u, ")), true);
        if (datatype == 9)
            QCOMPARE(
                odtest::elements(text, QStringLiteral("static UNSIGNED32\tod_vis_string_actLen[")),
                (QStringList{"\t12ul", "\t12ul"}));
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
        QFETCH(QString, type);
        Sub data = sub(datatype, QStringLiteral("rw"), QStringLiteral("0"), quint8(implementation));
        QCOMPARE(ObjDictGenerator::getImplementationDataType(index, quint8(subIndex), data), type);
        QCOMPARE(data.datatype, datatype == 0x0C ? quint16(0x19) : datatype);
    }
};

NW_TEST_MAIN(TestObjDictGenerator)
#include "tst_objdictgenerator.moc"
