#include "../description/descriptiontestutil.h"
#include "database/objectdatabase.h"
#include "description/csvgenerator.h"
#include "dictionaryfixture.h"
#include "importers/csvimporter.h"
#include "importers/nwrpimporter.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "roundtriputil.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <functional>

namespace {

using Builder = std::function<void(ObjectDataBase &)>;

const quint8 staging = 255;

// One entry as the rows of a CSV file describe it.
QString entryText(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub)
{
    ObjectDataBase::SUBINDEX_DATA_T s;
    if (!db.getSubIndexData(line, index, sub, s))
        return QStringLiteral("<missing>");
    ObjectDataBase::INDEX_DATA_T object;
    db.getIndexData(line, index, object);
    const QString limits = s.limitineds ? QStringLiteral("%1..%2").arg(s.lowlimit).arg(s.uplimit)
                                        : QStringLiteral("-");
    return object.name + '/' + s.name
           + QString::asprintf(" type=%d %s pdo=%d limits=%s impl=%d var=%s value=%s", s.datatype,
                               qUtf8Printable(s.accesstype), s.pdomapping, qUtf8Printable(limits),
                               s.implementation, qUtf8Printable(s.varname.trimmed()),
                               qUtf8Printable(s.defaultvalue));
}

// What a CSV row carries of each object and entry of a line, by "<index> <field>" and
// "<index>.<sub> <field>" (hexadecimal); the fields a rule of the export may convert stand
// apart. With exported, as every export writes them: descriptions have no column, and
// numeric defaults are written in decimal.
using Fields = QMap<QString, QString>;

Fields carried(ObjectDataBase &db, quint8 line, bool exported)
{
    Fields fields;
    for (quint16 index : db.getIndices(line)) {
        ObjectDataBase::INDEX_DATA_T object;
        db.getIndexData(line, index, object);
        const QString o = roundtrip::hex(index) + QLatin1Char(' ');
        fields[o + "name"] = object.name;
        fields[o + "objecttype"] = QString::number(object.objecttype);
        fields[o + "description"] = exported ? QString() : object.description;
        for (quint8 sub : db.getSubIndices(line, index)) {
            ObjectDataBase::SUBINDEX_DATA_T s;
            db.getSubIndexData(line, index, sub, s);
            const QString e =
                o.trimmed() + QStringLiteral(".%1 ").arg(sub, 2, 16, QLatin1Char('0'));
            fields[e + "name"] = s.name;
            bool number = false;
            const qlonglong value = s.defaultvalue.toLongLong(&number, 0);
            const bool string = s.datatype == 9 || s.datatype == 10 || s.datatype == 124;
            fields[e + "value"] =
                exported && number && !string ? QString::number(value) : s.defaultvalue;
            fields[e + "varname"] = s.implementation == 2 ? s.varname : QString();
            fields[e + "description"] = exported ? QString() : s.description;
            QStringList entry{s.accesstype};
            for (qint64 n : {qint64(s.datatype), qint64(s.limitineds), s.lowlimit, s.uplimit,
                             qint64(s.pdomapping), qint64(s.implementation), qint64(s.size),
                             qint64(s.defaultineds), qint64(s.writedefaulttoeds),
                             qint64(s.refuseread), qint64(s.refusewrite)})
                entry << QString::number(n);
            fields[e + "entry"] = entry.join(' ');
        }
    }
    return fields;
}

nwtest::Sub named(nwtest::Sub sub, const char *name)
{
    sub.name = QString::fromUtf8(name);
    return sub;
}

QString difference(const Fields &expected, const Fields &actual)
{
    QStringList report;
    Fields all = expected;
    all.insert(actual);
    for (const QString &key : all.keys()) {
        const QString e = expected.value(key, "<none>"), a = actual.value(key, "<none>");
        if (e != a)
            report << QStringLiteral("%1: expected \"%2\", read \"%3\"").arg(key, e, a);
    }
    return report.join(QLatin1Char('\n'));
}

} // namespace

Q_DECLARE_METATYPE(Builder)
Q_DECLARE_METATYPE(Fields)

class TestCsvImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        db.reset(new ObjectDataBase);
        QVERIFY(db->createNewDataBase() && db->addNode(staging, ObjectDataBase::NODE_DATA_T()));
    }

    void rowsBecomeEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &file, int index, int sub,
                            const QString &expected) {
            QTest::newRow(name) << file << index << sub << expected;
        };
        // A section of csv_rows.txt per row: "<index> <sub> <the entry as read>", then the file.
        const auto fixtures = roundtrip::sections(NW_TEST_DATA_DIR "/importers/csv_rows.txt");
        QVERIFY(fixtures.size() > 5);
        for (auto section : fixtures) {
            const QStringList head = section.second.takeFirst().split(QLatin1Char(' '));
            row(qPrintable(section.first), section.second.join('\n') + '\n',
                head.value(0).toInt(nullptr, 0), head.value(1).toInt(),
                head.mid(2).join(QLatin1Char(' ')));
        }
        row("quoted fields with separators, quotes and a line break",
            "index,sub,edsname,datatype,value\n"
            "\"0x2000\",0,\"Motor \"\"A\"\", left\r\nside\",vs,\"a;b,c\"\r\n",
            0x2000, 0,
            "Motor \"A\", left\r\nside/Motor \"A\", left\r\nside type=9 ro pdo=0 limits=- impl=0 "
            "var= value=a;b,c");
    }
    void rowsBecomeEntries()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(int, sub);
        CsvImporter importer;
        import(file, importer);
        QVERIFY(importer.diagnostics().isEmpty());
        QTEST(entryText(*db, staging, quint16(index), quint8(sub)), "expected");
    }

    // A row that cannot be read names its file and line and is skipped; the rest comes in.
    void malformedRowsAreReportedAndSkipped()
    {
        CsvImporter importer;
        import(QStringLiteral("index,sub,edsname,datatype,access\n"
                              "0x2000,0,Good,u8\n"
                              "0x2005,0,\"Two\nlines\",u8\n"
                              "0x2g00,0,Bad index,u8\n"
                              "0x2001,0x100,Bad sub,u8\n"
                              "0x2002,0,Bad type,UNSIGNED99\n"
                              "0x2004,0,Odd access,u8,readsometimes\n"
                              "c,0x2000\n"
                              "0x2003,0,Also good,u16\n"),
               importer);
        const QStringList problems = importer.diagnostics();
        QStringList places;
        for (const QString &problem : problems)
            places << problem.section(QLatin1String(" warning: "), 0, 0);
        QCOMPARE(places, (QStringList{"list.csv:5:", "list.csv:6:", "list.csv:7:", "list.csv:8:",
                                      "list.csv:9:"}));
        // An unknown access type is noted, and the entry kept as read-only.
        QCOMPARE(db->getIndices(staging, 0x1000, 0xFFFF),
                 (QList<quint16>{0x2000, 0x2003, 0x2004, 0x2005}));
        QVERIFY(importer.applyCommands(db.get(), staging).isEmpty());
    }

    void copyAndDeleteRowsApplyAfterTheImport()
    {
        CsvImporter importer;
        import(QStringLiteral("index;sub;edsname;datatype;objectcode\n"
                              "0x2000;0;Table;u16;ARRAY\n0x2000;1;A;u16\n0x2000;2;B;u16\n"
                              "0x2001;0;Old;u8\n0x2002;0;Other;u8;RECORD\n"
                              "c;0x2000;0x2010;0\n"
                              "c;0x2000;0x2002;2\n"
                              "d;0x2001;0\n"
                              "d;0x2000;1\n"
                              "d;0x2003;1\n"),
               importer);
        // The reading leaves everything in place; the commands run on the project line.
        QVERIFY(db->existIndex(staging, 0x2001));
        const QStringList failed = importer.applyCommands(db.get(), staging);
        QCOMPARE(failed, QStringList{QStringLiteral("delete 0x2003 sub-index 1")});
        QCOMPARE(db->getIndices(staging, 0x2000, 0x2FFF), (QList<quint16>{0x2000, 0x2002, 0x2010}));
        QCOMPARE(db->getSubIndices(staging, 0x2000) + db->getSubIndices(staging, 0x2010),
                 (QList<quint8>{0, 2, 0, 1, 2}));
        QCOMPARE(db->getSubIndexName(staging, 0x2002, 2, false), QStringLiteral("B"));
    }

    // A CSV export read into a new project gives back every object and entry with what the
    // table carries of it; "converted" holds what the export's rules write differently on
    // purpose, as the import gives it back.
    void exportReadsBack_data()
    {
        QTest::addColumn<Builder>("build");
        QTest::addColumn<Fields>("converted");
        QTest::addRow("generator fixture") << Builder(gentest::buildCanopenProject) << Fields();
        // The Value column holds a number for every type but the strings, 0 when the default
        // is none (a node-ID expression, an empty DOMAIN); names and variable names are written
        // with their $-variables substituted; the rows of a VAR carry the object's name only;
        // the ObjectCode column knows ARRAY and RECORD only, so a DOMAIN object comes back as a
        // VAR named as its row.
        QTest::addRow("description fixture")
            << Builder(desctest::buildDescriptionProject)
            << Fields{{"1400.01 value", "0"},
                      {"1600.01 name", "Mapping entry 1"},
                      {"2100.01 name", "Gain 0"},
                      {"2100.1a name", "Gain 25"},
                      {"2200.01 name", "Device name"},
                      {"2300 objecttype", "7"},
                      {"2300 name", "Firmware image Firmware image"},
                      {"2300.00 name", "Firmware image Firmware image"},
                      {"2300.00 value", "0"},
                      {"6040.00 varname", "control_6040"}};
        // A node-ID expression and a REAL32 default are no integers: the Value column says 0.
        QTest::addRow("dictionary editor fixture")
            << Builder([](ObjectDataBase &db) { dictionaryfixture::buildLine(db, 0); })
            << Fields{{"1800.01 value", "0"}, {"2200.02 value", "0"}};
        QTest::addRow("arrays, records, limits, mapping") << Builder([](ObjectDataBase &db) {
            // The export names each entry of an ARRAY or RECORD "<object> <entry>", and a VAR
            // by its object alone.
            using nwtest::entry;
            nwtest::Sub limited = named(entry(2, "rw", "-5"), "Left");
            limited.limitineds = true;
            limited.lowlimit = -100;
            limited.uplimit = 100;
            nwtest::Sub received = named(entry(7, "rww", "7"), "Set point");
            received.pdomapping = 3;
            const nwtest::Sub sent = named(nwtest::appVariable(4, "ro", "level", 4), "Level");
            const nwtest::Sub count = named(entry(5, "const", "2"), "Highest sub-index");
            nwtest::ProjectBuilder(db)
                .newProject()
                .var(0, 0x1000, named(entry(7, "ro", "0x191"), "Device type"), "Device type")
                .object(0, 0x1018, 9,
                        {count, named(entry(7, "ro", "0x12"), "Vendor-ID"),
                         named(entry(7, "ro", "0x34"), "Product code")},
                        "Identity")
                .object(0, 0x2000, 8, {count, limited, named(entry(2, "rw", "0"), "Right")},
                        "Offsets")
                .object(0, 0x2003, 9, {count, received, sent}, "Process data")
                // The first two rows share more words than the object's name.
                .object(0, 0x2004, 9,
                        {named(count, "Number of entries"),
                         named(entry(7, "rw", "3"), "Number of steps"),
                         named(entry(6, "rw", "400"), "Run current")},
                        "Stepper")
                .var(0, 0x2001, named(entry(8, "rww", "2"), "Gain"), "Gain")
                .var(0, 0x6000, named(nwtest::appVariable(6, "rwr", "speed", 1), "Speed"), "Speed");
        }) << Fields();
        // Texts with the separator, quotes and line breaks keep their columns in quotes.
        QTest::addRow("names and strings with commas, quotes and line breaks")
            << Builder([](ObjectDataBase &db) {
                   using nwtest::entry;
                   const nwtest::Sub count = named(entry(5, "const", "2"), "Highest sub-index");
                   nwtest::ProjectBuilder(db)
                       .newProject()
                       .var(0, 0x2001, named(entry(7, "rw", "1"), "Gain, \"fine\"; coarse"),
                            "Gain, \"fine\"; coarse")
                       .object(0, 0x2003, 9,
                               {count, named(entry(7, "rw", "0"), "Speed,\r\nset point"),
                                named(entry(7, "rw", "0"), "Torque\nlimit \"max\"")},
                               "Motor \"A\", left")
                       .var(0, 0x2004, named(entry(9, "const", "a,b \"c\"\nd"), "Label"), "Label");
               })
            << Fields();
    }
    void exportReadsBack()
    {
        QFETCH(Builder, build);
        QFETCH(Fields, converted);
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase());
        build(source);
        CSVGenerator generator;
        QVERIFY(gentest::runGenerator(generator, source, dir->path(), QStringLiteral("export")));
        CsvImporter importer;
        import(QString(), importer, dir->filePath(generator.fileName()));
        GENTEST_VERIFY_EMPTY(importer.diagnostics().join(QLatin1Char('\n')));
        Fields expected = carried(source, 0, true);
        for (auto it = converted.cbegin(); it != converted.cend(); ++it) {
            QVERIFY2(expected.contains(it.key()), qPrintable(it.key()));
            expected[it.key()] = it.value();
        }
        GENTEST_VERIFY_EMPTY(difference(expected, carried(*db, staging, false)));
    }

    // Another project's line comes in with its objects in the range and its PGNs.
    void projectLineWithPgnsIsCopied()
    {
        ObjectDataBase other;
        QVERIFY(other.createNewDataBase());
        gentest::buildCanopenProject(other);
        ObjectDataBase::PGN pgn;
        pgn.number = 0xF004;
        pgn.name = QStringLiteral("Engine speed");
        pgn.direction = 0x55;
        QVERIFY(other.addPGN(0, 0xF004, pgn));
        const QString path = dir->filePath(QStringLiteral("other.nwrp"));
        QVERIFY(other.saveDataBase(path));
        NWRPImporter importer;
        importer.setDatabase(db.get());
        importer.setActiveLine(staging);
        importer.setIndexRange(0x2000, 0xFFFF);
        QVERIFY(importer.setImportFileName(path));
        importer.doImport();
        QCOMPARE(importer.getLastError(), QString());
        QCOMPARE(db->getIndices(staging, 0x1000, 0xFFFF), other.getIndices(0, 0x2000, 0xFFFF));
        QVERIFY(db->existsPGN(staging, 0xF004, 0x55));
        importer.setSourceLine(7);
        importer.doImport();
        QVERIFY(importer.getLastError().contains(QLatin1String("no line 7")));
    }

private:
    // Reads text as a CSV file (or the file at path) into the staging line of db.
    void import(const QString &text, CsvImporter &importer, QString path = QString())
    {
        if (path.isEmpty()) {
            path = dir->filePath(QStringLiteral("list.csv"));
            QVERIFY(nwWriteFile(path, text.toUtf8()));
        }
        importer.setDatabase(db.get());
        importer.setActiveLine(staging);
        importer.setIndexRange(0x1000, 0xFFFF);
        QVERIFY(importer.setImportFileName(path));
        importer.doImport();
        QCOMPARE(importer.getLastError(), QString());
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ObjectDataBase> db;
};

NW_TEST_MAIN(TestCsvImporter)
#include "tst_csvimporter.moc"
