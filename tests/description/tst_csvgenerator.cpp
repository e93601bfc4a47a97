#include "description/csvgenerator.h"
#include "descriptiontestutil.h"

#include "nwtest.h"
#include <QTemporaryDir>

// The CSV export: the whole table of the fixture, the Value conversion and the separator
// lines between the ranges.
class TestCsvGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void goldenFile()
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        desctest::compareWithGolden(generate(db), "demo.csv");
        generate(db, true);
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/demo_0.csv")));
    }
    void valueColumn_data()
    {
        QTest::addColumn<int>("datatype");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("column");
        const struct
        {
            const char *name;
            int datatype;
            const char *value, *column;
        } rows[] = {
            {"hexadecimal", 7, "0x10", "16"},
            {"node-ID expression", 7, "$NODEID+0x180", "0"},
            {"octal", 5, "017", "15"},
            {"negative", 3, "-5", "-5"},
            {"above the signed range", 0x1B, "0xFFFFFFFFFFFFFFFF", "18446744073709551615"},
            {"real", 8, "1.5", "0"},
            {"empty", 7, "", "0"},
            {"visible string as stored", 9, "0x10, text", "0x10, text"},
            {"octet string as stored", 10, "01 02", "01 02"},
            {"UTF-8 string as stored", 124, "Grüße", "Grüße"},
            {"string variant converted", 120, "abc", "0"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row.name)
                << row.datatype << QString::fromUtf8(row.value) << QString::fromUtf8(row.column);
    }
    void valueColumn()
    {
        QFETCH(int, datatype);
        QFETCH(QString, value);
        QTEST(CSVGenerator::valueColumn(quint16(datatype), value), "column");
    }
    void separators_data()
    {
        QTest::addColumn<QList<int>>("indices");
        QTest::addColumn<QStringList>("indexColumn");
        QTest::addRow("all three ranges")
            << QList<int>{0x1000, 0x1FFF, 0x2000, 0x5FFF, 0x6000}
            << QStringList{"Index", "0x1000", "0x1fff", " ", "0x2000", "0x5fff", " ", "0x6000"};
        QTest::addRow("profile objects first")
            << QList<int>{0x6000, 0x6001} << QStringList{"Index", " ", " ", "0x6000", "0x6001"};
        QTest::addRow("communication objects only")
            << QList<int>{0x1000, 0x1018} << QStringList{"Index", "0x1000", "0x1018"};
        QTest::addRow("objects above the profiles")
            << QList<int>{0x2000, 0xA000} << QStringList{"Index", " ", "0x2000", " ", "0xa000"};
    }
    void separators()
    {
        QFETCH(QList<int>, indices);
        QFETCH(QStringList, indexColumn);
        ObjectDataBase db;
        db.createNewDataBase();
        gentest::addLine(db, 0, 1);
        for (int index : indices)
            gentest::addVar(db, 0, quint16(index), "Object");
        QStringList column;
        for (const QString &line : desctest::fileLines(generate(db)))
            column << line.section(QLatin1Char(','), 0, 0);
        QCOMPARE(column, indexColumn);
    }

private:
    QString generate(ObjectDataBase &db, bool multi = false)
    {
        CSVGenerator generator;
        generator.setMultiLine(multi);
        if (!gentest::runGenerator(generator, db, dir.path(), QStringLiteral("demo")))
            return QStringLiteral("<not started>");
        return gentest::readText(dir.path() + QLatin1Char('/') + generator.fileName());
    }
    QTemporaryDir dir;
};

NW_TEST_MAIN(TestCsvGenerator)
#include "tst_csvgenerator.moc"
