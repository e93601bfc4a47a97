#include "compilecheck.h"
#include "generators/extdeclgenerator.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QTemporaryDir>

// gen_extern_decl.h and gen_var_decl.c: the application variables of J1939 and raw CAN
// messages.
class TestExtDeclGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void declaredType_data()
    {
        QTest::addColumn<int>("datatype");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("byteArray");
        QTest::addRow("UNSIGNED8") << 5 << "UNSIGNED8" << false;
        QTest::addRow("INTEGER32") << 4 << "INTEGER32" << false;
        QTest::addRow("REAL32") << 8 << "REAL32" << false;
        QTest::addRow("VISIBLE_STRING") << 9 << "UNSIGNED8" << true;
        QTest::addRow("OCTET_STRING") << 10 << "UNSIGNED8" << true;
        QTest::addRow("VIS_STRING_NULL") << 120 << "UNSIGNED8" << true;
        QTest::addRow("VIS_STRING_ASTERIKS") << 121 << "UNSIGNED8" << true;
        QTest::addRow("UNSIGNED4 fits a byte") << 102 << "UNSIGNED8" << false;
        QTest::addRow("UNSIGNED9") << 106 << "UNSIGNED16" << false;
        QTest::addRow("UNSIGNED10 bytes") << 107 << "UNSIGNED8" << true;
        QTest::addRow("UNSIGNED19 bytes") << 117 << "UNSIGNED8" << true;
        QTest::addRow("UNSIGNED21 in 32 bits") << 119 << "UNSIGNED32" << false;
        QTest::addRow("UNSIGNED24 in 32 bits") << 0x16 << "UNSIGNED32" << false;
        QTest::addRow("UNSIGNED48 in 64 bits") << 0x19 << "UNSIGNED64" << false;
        QTest::addRow("INTEGER24 in 32 bits") << 0x10 << "INTEGER32" << false;
        QTest::addRow("unused code") << 113 << "" << false;
        QTest::addRow("UNSIGNED16") << 6 << "UNSIGNED16" << false;
        QTest::addRow("UNSIGNED64") << 0x1B << "UNSIGNED64" << false;
    }

    void declaredType()
    {
        QFETCH(int, datatype);
        QFETCH(bool, byteArray);
        bool array = !byteArray;
        QTEST(ExtDeclGenerator::declaredType(quint16(datatype), array), "type");
        QCOMPARE(array, byteArray);
    }

    void variants_data()
    {
        QTest::addColumn<bool>("secondLine");
        QTest::addRow("comment end in a name, indexed and member variables") << false;
        QTest::addRow("variables of two lines declared once") << true;
    }

    // The fixture's own messages are pinned by the golden files; the changes of these
    // variants against them are pinned in extdecl_variants.txt.
    void variants()
    {
        QFETCH(bool, secondLine);
        ObjectDataBase db;
        gentest::buildJ1939Project(db);
        generate(db);
        const QStringList plain = bothFiles();
        if (secondLine) {
            gentest::buildJ1939Project(db, 1);
        } else {
            gentest::addPgn(db, 0, 65089, gentest::transmit, "Lighting */ %1");
            gentest::addSpn(db, 0, 65089, gentest::transmit, 2404, 0, 5, 8, "lamps[3]");
            gentest::addSpn(db, 0, 65089, gentest::transmit, 2403, 8, 5, 8, "lamps[1]");
            gentest::addSpn(db, 0, 65089, gentest::transmit, 2405, 16, 5, 8, "state.lamp");
        }
        generate(db);
        GENTEST_VERIFY_EMPTY(gentest::goldenSectionDiff(gentest::testData("extdecl_variants.txt"),
                                                        gentest::lineChanges(plain, bothFiles())));
    }

    void rawCanElements()
    {
        ObjectDataBase db;
        db.createNewDataBase();
        gentest::addLine(db, 0, 4);
        ObjectDataBase::CANID id;
        id.name = QStringLiteral("Status");
        id.id = 0x181;
        id.direction = gentest::transmit;
        db.addCANID(0, 0x181, id);
        ObjectDataBase::DataElement element;
        element.name = QStringLiteral("status byte");
        element.canid = 0x181;
        element.direction = gentest::transmit;
        element.number = 1;
        element.datatype = 5;
        element.bitsize = 8;
        element.implementation = 2;
        element.varname = QStringLiteral("statusByte");
        db.addDataElement(0, 0x181, gentest::transmit, 1, element);
        generate(db);
        QVERIFY2(externText().contains(
                     QStringLiteral("/* CAN-ID 0x181 Status */\nextern UNSIGNED8\tstatusByte;\n")),
                 qPrintable(externText()));
    }

    void goldenFiles()
    {
        ObjectDataBase db;
        gentest::buildJ1939Project(db);
        generate(db);
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("gen_extern_decl.h"), externText()));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("gen_var_decl.c"), definitionText()));
    }

    void compilesAgainstStack()
    {
        if (!nwHaveCCompiler())
            QSKIP("no C compiler");
        ObjectDataBase db;
        gentest::buildJ1939Project(db);
        gentest::addSpn(db, 0, 61444, gentest::receive, 3000, 40, 119, 21, "wide");
        generate(db);
        // The configuration header comes from its own generator; an empty one stands in here.
        const QString define = dir.path() + QStringLiteral("/gen_define.h");
        if (!QFile::exists(define))
            gentest::writeText(define, QStringLiteral("/* configuration */\n"));
        QString diagnostics;
        QVERIFY2(nwCompileHeaders(dir.path(), {}, {QStringLiteral("gen_extern_decl.h")},
                                  &diagnostics, QStringLiteral("UNSIGNED32 *use = &wide;")),
                 qPrintable(diagnostics));
        const QString definitions = dir.path() + QStringLiteral("/defined.c");
        gentest::writeText(definitions, QStringLiteral("#define JWR_USE_GENERATED_VARIABLES 1\n"
                                                       "#include \"gen_extern_decl.h\"\n"
                                                       "#include \"gen_var_decl.c\"\n"));
        QVERIFY2(nwCompileCFile(definitions, &diagnostics), qPrintable(diagnostics));
    }

private:
    void generate(ObjectDataBase &db)
    {
        ExtDeclGenerator generator;
        QVERIFY(gentest::runGenerator(generator, db, dir.path(), QStringLiteral("decl")));
    }

    QString externText() const
    {
        return gentest::readText(dir.path() + QStringLiteral("/gen_extern_decl.h"));
    }

    QString definitionText() const
    {
        return gentest::readText(dir.path() + QStringLiteral("/gen_var_decl.c"));
    }

    // Both files, the date lines masked, parted by "---".
    QStringList bothFiles() const
    {
        return gentest::maskedLines(externText()) + QStringList{QStringLiteral("---")}
               + gentest::maskedLines(definitionText());
    }

    QTemporaryDir dir;
};

NW_TEST_MAIN(TestExtDeclGenerator)
#include "tst_extdeclgenerator.moc"
