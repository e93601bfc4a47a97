#include "description/edsgenerator.h"
#include "descriptiontestutil.h"
#include "generators/generationrun.h"

#include "nwtest.h"
#include <QTemporaryDir>

namespace {

// Runs doJob on the test's thread with the abort request already set.
class AbortedEdsGenerator : public EDSGenerator
{
public:
    void runAborted()
    {
        abortRequested = true;
        doJob();
    }
};

} // namespace

// The EDS writer: the whole file of the fixture, file names and variants, and the rules of
// single keys that users notice in their device tools.
class TestEdsGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void init() { dir.reset(new QTemporaryDir); }
    void goldenFile()
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        desctest::compareWithGolden(generate(db), "demo.eds");
    }
    void fileNames_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("multi");
        QTest::addColumn<QString>("file");
        QTest::addRow("base") << "" << false << "demo.eds";
        QTest::addRow("base per line") << "" << true << "demo_0.eds";
        QTest::addRow("variant") << "FULL" << false << "demo_FULL.eds";
        QTest::addRow("variant per line") << "FULL" << true << "demo_0_FULL.eds";
    }
    void fileNames()
    {
        QFETCH(QString, variant);
        QFETCH(bool, multi);
        QFETCH(QString, file);
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        generate(db, variant, multi);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{file});
        // Every file names the project's base file.
        const QString text = gentest::readText(dir->path() + QLatin1Char('/') + file);
        QCOMPARE(section(text, QStringLiteral("FileInfo")).value(1),
                 QStringLiteral("FileName=demo.eds"));
    }
    void variants()
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        gentest::addVar(db, 0, 0x2600, "Service", 7, {{"eds_define", "SERVICE"}});
        const QString base = generate(db);
        const QString full = generate(db, QStringLiteral("FULL"));
        // The object lists and the sections of the variant objects of both files.
        QStringList sections;
        for (const QString &text : {base, full})
            for (const char *name : {"ManufacturerObjects", "2500", "2600"})
                sections << section(text, QLatin1String(name));
        compareSection(sections);
        // The device information is the same in every variant.
        QCOMPARE(section(full, QStringLiteral("DeviceInfo")),
                 section(base, QStringLiteral("DeviceInfo")));
        EDSGenerator generator;
        generator.setDataBase(&db);
        QList<quint16> indices{0x2600, 0x2000, 0x2500, 0x9999};
        QCOMPARE(generator.reduceObjectList(0, indices, QStringLiteral("SERVICE")),
                 QList<quint16>({0x2600, 0x2000}));
        QCOMPARE(generator.reduceObjectList(0, indices, QStringLiteral("service")),
                 QList<quint16>({0x2000}));
    }
    // The sections the rows of the next tests write are pinned in eds_sections.txt.
    void comments_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addRow("empty") << "";
        QTest::addRow("blanks only") << " \n  ";
        QTest::addRow("empty piece skipped") << "a\n\nb";
        QTest::addRow("trimmed at both ends") << "\n  first \nsecond\n";
    }
    void comments()
    {
        QFETCH(QString, comment);
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        db.setDescriptionSettingsValue(QStringLiteral("Comment"), comment);
        compareSection(section(generate(db), QStringLiteral("Comments")));
    }
    void groupMessaging_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<QString>("entries");
        QTest::addRow("hexadecimal 0xFE") << quint16(0x1A00) << "0xFE";
        QTest::addRow("decimal 255") << quint16(0x1600) << "255";
        QTest::addRow("octal 0376") << quint16(0x1BFF) << "0376";
        QTest::addRow("253 is no group") << quint16(0x1A00) << "253";
        QTest::addRow("0x40") << quint16(0x1A00) << "0x40";
        QTest::addRow("text counts as 0") << quint16(0x1A00) << "many";
        QTest::addRow("outside the mapping objects") << quint16(0x1C00) << "0xFE";
    }
    void groupMessaging()
    {
        QFETCH(quint16, index);
        QFETCH(QString, entries);
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        gentest::addRecord(db, 0, index, "mapping", {"entry"});
        db.setSubIndexValue(0, index, 0, entries);
        compareSection(section(generate(db), QStringLiteral("DeviceInfo")));
    }
    void subObjectKeys_data()
    {
        QTest::addColumn<int>("datatype");
        QTest::addColumn<int>("mode"); // writedefaulttoeds
        QTest::addColumn<bool>("inEds"); // defaultineds
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("flags"); // 1 limits, 2 refuse read, 4 refuse write, 8 mappable
        QTest::addRow("always, not flagged") << 7 << 2 << false << "0x10" << 0;
        QTest::addRow("always, empty value") << 7 << 2 << true << "" << 0;
        QTest::addRow("flagged") << 7 << 1 << true << "$NODEID+0x180" << 0;
        QTest::addRow("not flagged") << 7 << 1 << false << "5" << 0;
        QTest::addRow("never") << 7 << 0 << true << "5" << 0;
        QTest::addRow("bit field u4 as UNSIGNED8") << 102 << 0 << true << "" << 0;
        QTest::addRow("UTF-8 string as UNSIGNED8") << 124 << 0 << true << "" << 0;
        QTest::addRow("UNSIGNED64 99") << 0x1B << 0 << true << "" << 0;
        QTest::addRow("limits printed signed") << 0x1B << 0 << true << "" << 1;
        QTest::addRow("refuse read") << 7 << 0 << true << "" << 2;
        QTest::addRow("refuse write") << 7 << 0 << true << "" << 4;
        QTest::addRow("refuse both") << 7 << 0 << true << "" << 6;
        QTest::addRow("receive only is mappable") << 7 << 0 << true << "" << 8;
    }
    void subObjectKeys()
    {
        QFETCH(int, datatype);
        QFETCH(int, mode);
        QFETCH(bool, inEds);
        QFETCH(QString, value);
        QFETCH(int, flags);
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        desctest::addObject(db, 0x3000, "Probe", 7);
        ObjectDataBase::SUBINDEX_DATA_T data =
            desctest::entry("Probe", quint16(datatype), "rw", value);
        data.writedefaulttoeds = quint8(mode);
        data.defaultineds = inEds;
        data.limitineds = flags & 1;
        data.lowlimit = -5;
        // Stored from an UNSIGNED64 limit above the signed range.
        data.uplimit = qint64(std::numeric_limits<quint64>::max());
        data.refuseread = flags & 2;
        data.refusewrite = flags & 4;
        data.pdomapping = (flags & 8) ? 3 : 0;
        QVERIFY(db.addSubIndex(0, 0x3000, 0, data));
        compareSection(section(generate(db), QStringLiteral("3000")));
    }
    void longComments()
    {
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        const QString longLine = QString(250, 'a') + QString(250, 'b') + QString(100, 'c');
        desctest::addObject(db, 0x3000, "Notes", 7, longLine + "\n\nend");
        ObjectDataBase::SUBINDEX_DATA_T data = gentest::sub("Notes");
        data.description = longLine + QStringLiteral("\n");
        db.addSubIndex(0, 0x3000, 0, data);
        compareSection(section(generate(db), QStringLiteral("3000")));
    }
    void abortKeepsWhatWasWritten()
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        AbortedEdsGenerator generator;
        generator.setDataBase(&db);
        generator.setOutputDirectory(dir->path());
        generator.setProjectName(QStringLiteral("demo"));
        generator.runAborted();
        const QStringList lines = desctest::fileLines(gentest::readText(dir->path() + "/demo.eds"));
        // The object lists end the file.
        QCOMPARE(lines.mid(lines.size() - 3), QStringList({"4=0x1600", "5=0x6040", ""}));
        QVERIFY(!db.lockWriteAccess());
    }
    // The per-line files of a run are compared with the export's by the command-line tests.
    void runWritesEveryVariant()
    {
        ObjectDataBase db;
        desctest::buildDescriptionProject(db);
        gentest::addVar(db, 0, 0x2600, "Service", 7, {{"eds_define", "SERVICE"}});
        GenerationRun run(&db);
        run.setProject(dir->path(), QStringLiteral("demo"));
        run.setModelCheckEnabled(false);
        QCOMPARE(run.run(), GenerationRun::Completed);
        for (const char *file : {"demo.eds", "demo_FULL.eds", "demo_SERVICE.eds", "demo.csv"})
            QVERIFY2(QFile::exists(dir->path() + '/' + file), file);
        QCOMPARE(gentest::readText(dir->path() + "/demo.eds"), generate(db));
    }

private:
    QString generate(ObjectDataBase &db, const QString &variant = QString(), bool multi = false)
    {
        EDSGenerator generator(variant);
        generator.setMultiLine(multi);
        if (!gentest::runGenerator(generator, db, dir->path(), QStringLiteral("demo")))
            return QStringLiteral("<not started>");
        return gentest::readText(dir->path() + QLatin1Char('/') + generator.fileName());
    }
    // The lines of one section, from its name to the blank line that ends it.
    static QStringList section(const QString &text, const QString &name)
    {
        const QStringList lines = desctest::fileLines(text);
        const int start = lines.indexOf(QLatin1Char('[') + name + QLatin1Char(']'));
        if (start < 0)
            return {QStringLiteral("<no section %1>").arg(name)};
        QStringList result;
        for (int i = start; i < lines.size() && !lines.at(i).isEmpty(); ++i)
            result << lines.at(i);
        return result;
    }
    // The lines are those of the running row's section in eds_sections.txt.
    static void compareSection(const QStringList &lines)
    {
        const QString diff = gentest::goldenSectionDiff(
            QStringLiteral(NW_TEST_DATA_DIR "/description/eds_sections.txt"), lines);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    QScopedPointer<QTemporaryDir> dir;
};

NW_TEST_MAIN(TestEdsGenerator)
#include "tst_edsgenerator.moc"
