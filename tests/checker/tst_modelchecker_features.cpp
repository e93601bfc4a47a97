#include "checker/featuresetextractor.h"
#include "checkerfixture.h"
#include "nwtest.h"

using namespace checkertest;

namespace {

const QString red = QStringLiteral("<strong><font color='red'>Error: </font></strong>");

Result runFeatureCheck(ObjectDataBase &db, const QString &stackPath)
{
    ModelChecker checker;
    checker.setStackPath(stackPath);
    Recorder recorder(checker);
    Result run;
    run.count = checker.startCANopenFeatureCheck(0, &db);
    run.texts = recorder.texts();
    return run;
}

// Everything the small stack edition lacks, used by one master line.
void useEveryService(ObjectDataBase &db)
{
    addRecord(db, 0, 0x1200, {entry(7, "ro", "$NODEID+0x600")});
    addRecord(db, 0, 0x1201, {entry(7, "ro", "0x80000000")});
    addRecord(db, 0, 0x1280, {entry(7, "rw", "0x80000000")});
    addPdoCommunication(db, 0, 0x1801, "$NODEID+0x280");
    addMapping(db, 0, 0x1A01, {"0x20000108"}, "const", "0xFE");
    addRecord(db, 0, 0x1028, {entry(7, "rw", "0x81"), entry(7, "rw", "0x82")});
    addRecord(db, 0, 0x1016, {entry(7, "rw", "0x00020064"), entry(7, "rw", "0x00030064")});
    addVar(db, 0, 0x1005, entry(7, "rw", "0x40000080"));
    addRecord(db, 0, 0x1301, {entry(5, "rw", "1")});
    changeSub(db, 0x1A00, 0, [](Sub &s) { s.accesstype = "rw"; });
    db.setGeneralSettingsValue("nmtmaster", "1");
    db.setGeneralSettingsValue("lss_supported", "1");
    db.setGeneralSettingsValue("bootup_manager", "1");
    db.setGeneralSettingsValue("config_manager", "1");
}

} // namespace

// The comparison of a line with the installed protocol stack: the stack's feature files,
// its required tool version, and every service the line uses.
class TestModelCheckerFeatures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void extractor_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        const QString full = stackFolder("stack_full/canopen_featureinfo_manager.xml");
        const QString limited = stackFolder("stack_limited/canopen_featureinfo_slave.xml");
        QTest::addRow("every service") << full << "128 128 512 512 127 127 11111111111";
        QTest::addRow("smallest edition") << limited << "1 0 1 1 1 1 00000010000";
        QTest::addRow("padded number, missing elements")
            << stackFolder("stack_split/canopen_featureinfo_base.xml") << "2 0 4 4 0 0 00001010000";
        QTest::addRow("not XML") << stackFolder("stack_broken/canopen_featureinfo_broken.xml")
                                 << "0 0 0 0 0 0 00000000000";
        QTest::addRow("missing file") << stackFolder("none.xml") << "0 0 0 0 0 0 00000000000";
    }
    // Counts, then the switches in the order SRDO, MPDO, dynamic mapping, SYNC producer,
    // SYNC consumer, NMT master, NMT slave, bootup manager, configuration manager, LSS slave,
    // LSS master.
    void extractor()
    {
        QFETCH(QString, file);
        FeatureSetExtractor extractor;
        extractor.setFeatureFile(file);
        const FeatureSet f = extractor.getFeatures();
        QString text;
        for (int count : {int(f.sdoServers), int(f.sdoClients), int(f.transmitPdos),
                          int(f.receivePdos), int(f.emergencyConsumers), int(f.heartbeatConsumers)})
            text += QString::number(count) + ' ';
        for (bool flag : {f.srdoSupported, f.mpdoSupported, f.dynamicMappingSupported,
                          f.syncProducer, f.syncConsumer, f.nmtMaster, f.nmtSlave, f.bootupManager,
                          f.configurationManager, f.lssSlave, f.lssMaster})
            text += flag ? QLatin1Char('1') : QLatin1Char('0');
        QTEST(text, "expected");
        if (file.endsWith(QLatin1String("manager.xml")))
            QCOMPARE(extractor.getValue("pdo_mapping"), QString("dynamic"));
    }
    void featureCheck_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<Mutation>("mutate");
        const auto clean = Mutation([](ObjectDataBase &) {});
        QTest::addRow("no stack path") << "" << clean;
        QTest::addRow("every service, clean line") << "stack_full" << clean;
        QTest::addRow("every service, every service used")
            << "stack_full" << Mutation(useEveryService);
        QTest::addRow("small edition, master using every service")
            << "stack_limited" << Mutation(useEveryService);
        QTest::addRow("small edition, slave with LSS and SYNC consumer")
            << "stack_limited" << Mutation([](ObjectDataBase &db) {
                   addVar(db, 0, 0x1005, entry(7, "rw", "0x80"));
                   db.setGeneralSettingsValue("lss_supported", "1");
               });
        QTest::addRow("modules of several files add up")
            << "stack_split" << Mutation([](ObjectDataBase &db) {
                   addPdoCommunication(db, 0, 0x1801, "$NODEID+0x280");
                   addMapping(db, 0, 0x1A01, {"0x20000108"}, "rw", "0xFE");
                   addVar(db, 0, 0x1005, entry(7, "rw", "0x80"));
               });
        QTest::addRow("no feature file: everything used is unsupported") << "stack_empty" << clean;
        QTest::addRow("stack needs a newer tool: only the managers are compared")
            << "stack_newer" << Mutation(useEveryService);
        QTest::addRow("stack needs an older tool") << "stack_older" << clean;
        QTest::addRow("unreadable feature file") << "stack_broken" << clean;
    }
    // The findings and their count are pinned in tests/data/checker/feature_checks.txt; a
    // missing feature file is reported but not counted, and any counted finding is explained
    // by two information lines.
    void featureCheck()
    {
        QFETCH(QString, folder);
        QFETCH(Mutation, mutate);
        ObjectDataBase db;
        buildCleanProject(db);
        mutate(db);
        const Result run = runFeatureCheck(db, folder.isEmpty() ? QString() : stackFolder(folder));
        compareWithGolden("feature_checks.txt", run.texts, run.count);
    }
    void toolVersion_data()
    {
        QTest::addColumn<QString>("toolVersion");
        QTest::addColumn<QString>("required");
        QTest::addColumn<bool>("fits");
        const auto row = [](const char *name, const char *tool, const char *required, bool fits) {
            QTest::newRow(name) << QString(tool) << QString(required) << fits;
        };
        row("two dots", "3.4.1", "3.4", true);
        row("two dots, full version required", "3.4.1", "3.4.1", false);
        row("three dots", "2.4.1.7", "2.4", true);
        row("three dots, two-digit parts", "10.12.3.4", "10.12", true);
        row("one dot is used whole", "3.4", "3.4", true);
        row("surrounding blanks are ignored", "3.4.1", "  3.4\n", true);
    }
    void toolVersion()
    {
        QFETCH(QString, toolVersion);
        QFETCH(QString, required);
        QFETCH(bool, fits);
        QTemporaryDir dir;
        QFile file(dir.filePath("co_featureinfo_test.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<featureinfo><required_tool_version>" + required.toUtf8()
                   + "</required_tool_version><nmt_slave>1</nmt_slave><pdo_producer>1"
                     "</pdo_producer><pdo_consumer>1</pdo_consumer></featureinfo>");
        file.close();
        const QString ownVersion = QCoreApplication::applicationVersion();
        QCoreApplication::setApplicationVersion(toolVersion);
        ObjectDataBase db;
        buildCleanProject(db);
        const Result run = runFeatureCheck(db, dir.path());
        QCoreApplication::setApplicationVersion(ownVersion);
        QCOMPARE(run.count, fits ? 0 : 1);
        if (!fits)
            QCOMPARE(run.texts.value(0),
                     red + "Version of installed stack does not fit. It requires tool version "
                         + required.trimmed() + ". Cannot generate files.");
    }
    // What one line's stack offers is never taken back by another.
    void featuresOnlyGrow()
    {
        ObjectDataBase db;
        buildCleanProject(db);
        useEveryService(db);
        ModelChecker checker;
        checker.setStackPath(stackFolder("stack_full"));
        QCOMPARE(checker.startCANopenFeatureCheck(0, &db), 0);
        checker.setStackPath(stackFolder("stack_limited"));
        QCOMPARE(checker.startCANopenFeatureCheck(0, &db), 0);
        QCOMPARE(int(checker.features().sdoServers), 128);
        QVERIFY(checker.features().lssMaster);
    }
};

NW_TEST_MAIN(TestModelCheckerFeatures)
#include "tst_modelchecker_features.moc"
