#include "../panelkit/sectiontext.h"
#include "database/objectdatabase.h"
#include "importers/edsimporter.h"
#include "nwtest.h"
#include "roundtriputil.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const quint8 staging = 255;

// "2000.name", "1018sub1.default": the field of an object or sub-index (sub-index in
// decimal) in the staging line, as "spec=value".
QString fact(ObjectDataBase &db, const QString &spec)
{
    const QString field = spec.section(QLatin1Char('.'), 1);
    const QString at = spec.section(QLatin1Char('.'), 0, 0);
    const quint16 index = quint16(at.left(4).toUInt(nullptr, 16));
    QMap<QString, QString> fields;
    ObjectDataBase::INDEX_DATA_T o;
    ObjectDataBase::SUBINDEX_DATA_T s;
    if (at.size() == 4 && db.getIndexData(staging, index, o))
        fields = {{"name", o.name},
                  {"objecttype", QString::number(o.objecttype)},
                  {"datatype", QString::number(o.datatype)},
                  {"description", o.description},
                  {"subs", QString::number(db.getSubIndices(staging, index).size())}};
    else if (at.size() > 4 && db.getSubIndexData(staging, index, quint8(at.mid(7).toUInt()), s))
        fields = {{"name", s.name},
                  {"default", s.defaultvalue},
                  {"current", s.currentvalue},
                  {"access", s.accesstype},
                  {"datatype", QString::number(s.datatype)},
                  {"pdomapping", QString::number(s.pdomapping)},
                  {"implementation", QString::number(s.implementation)},
                  {"varname", s.varname},
                  {"dcf", QString::number(s.dcfcomponent)},
                  {"description", s.description},
                  {"limits", QStringLiteral("%1..%2").arg(s.lowlimit).arg(s.uplimit)},
                  {"limitineds", QString::number(s.limitineds)},
                  {"writedefault", QString::number(s.writedefaulttoeds)},
                  {"refusewrite", QString::number(s.refusewrite)}};
    return at + '.' + field + '='
           + (fields.isEmpty() ? QStringLiteral("<missing>")
                               : fields.value(field, "<no such field>"));
}

// A section of tests/data/importers/eds_rules.txt.
QByteArray rules(const char *name)
{
    return sectionText(NW_TEST_DATA_DIR "/importers/eds_rules.txt", name);
}

int subCount(ObjectDataBase &db)
{
    int count = 0;
    for (quint16 index : db.getIndices(staging))
        count += db.getSubIndices(staging, index).size();
    return count;
}

} // namespace

class TestEDSImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_db.reset(new ObjectDataBase);
        QVERIFY(m_db->createNewDataBase() && m_db->addNode(staging, ObjectDataBase::NODE_DATA_T()));
    }

    void corpusFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("objects");
        QTest::addColumn<int>("subs");
        QTest::addColumn<QStringList>("facts");
        const auto row = [](const char *file, int objects, int subs, const QStringList &facts) {
            QTest::addRow("%s", file) << QString::fromLatin1(file) << objects << subs << facts;
        };
        row("eds/301.eds", 39, 102,
            {"1000sub0.default=Profile- or manufacturer-specific", "1003.objecttype=8"});
        row("eds/401.eds", 96, 453, {"1018sub0.default=0x4", "6450.name=Analog Output SI"});
        row("eds/402.eds", 136, 258, {"6510.name=Drive Data", "1000sub0.access=const"});
        row("eds/605.3150.68-B-EK-2-60.eds", 110, 267,
            {"1000sub0.default=0x420192", "1018sub1.default=327"});
        row("eds/DS301_profile.eds", 33, 170, {"1018sub0.default=0x04", "1A03.subs=9"});
        row("eds/DS401_Slave_Gui.eds", 38, 114, {"1000sub0.default=983441", "1018.objecttype=8"});
        row("eds/IoX1_16DI_8DO.eds", 46, 157, {"1000sub0.default=0x30191", "1018sub1.default=63"});
        row("eds/IoX4_8AI.eds", 40, 231, {"7133.name=AI Interrupt Delta Input PV", "7133.subs=9"});
        row("eds/base.eds", 57, 206, {"2101.name=HIGH LIMIT", "1400.subs=7"});
        row("eds/datatypes.eds", 24, 28, {"200B.datatype=11", "200Bsub0.default=abc\u2713"});
        row("eds/demoDevice.eds", 47, 282,
            {"1000sub0.default=0x000F0191", "2121sub2.datatype=9", "6411.subs=9"});
        row("eds/e35.eds", 211, 995, {"1018sub0.access=const", "1018sub1.default=0xFF"});
        row("eds/epos2_347717.eds", 157, 431,
            {"1000sub0.refusewrite=1", "1000sub0.writedefault=0"});
        row("eds/example.eds", 4, 10, {"1018sub0.access=rw", "1018sub1.default=0"});
        row("eds/phyPS409Y.eds", 52, 212,
            {"1018.name=Indentity Object", "1000sub0.default=0xF0191"});
        row("eds/ros2_canopen-fake_slaves-cia402_slave.eds", 70, 154,
            {"1000sub0.default=0xFFFF0192", "67FF.name=Single Device Type 1"});
        row("eds/ros2_canopen-robot_control-cia402_slave.eds", 189, 344,
            {"1018sub1.default=0x000001A3"});
        row("eds/sample.eds", 40, 124,
            {"1018sub0.current=4", "3004sub2.name=Sensor Status 2", "3004sub0.default=3",
             "3010sub0.name=Temperature", "3002sub0.limits=4..9223372036854775807"});
        row("eds/simple.eds", 19, 299, {"1018sub1.default=0x00000360", "4004.subs=8"});
        row("eds/test.eds", 79, 186, {"67FF.name=Single device type"});
        row("dcf/co-gw_txt-slave.dcf", 34, 60, {"201B.name=UNSIGNED64"});
        row("dcf/co-nmt-slave.dcf", 9, 17, {"1F80.name=NMT startup"});
        row("dcf/co-pdo-transmit.dcf", 7, 15,
            {"2001.name=Test", "1A00sub0.default=2", "1A00sub0.datatype=5", "1A00sub0.access=ro"});
        row("dcf/co-sdev.dcf", 28, 32,
            {"1000sub0.default=0x01020304", "2002sub0.default=-0x7f", "2002sub0.current=-0x7f",
             "2002sub0.dcf=1"});
        row("dcf/coapp-fiber-master.dcf", 34, 236,
            {"1F81sub127.current=0x00000005", "1F81sub127.default=0x00000005",
             "1F81sub0.default=127"});
        row("dcf/coapp-fiber-slave.dcf", 29, 97,
            {"2003.name=SAM-MPDO producer test", "1600sub0.default=1"});
        row("dcf/coctl.dcf", 61, 661, {"201B.name=UNSIGNED64"});
        row("dcf/epos4_50_15_can_ec90flat_gp52c_mile800_node1.dcf", 164, 554,
            {"1000sub0.current=0x00020192", "1018.objecttype=8"});
        row("dcf/prbt_0_1.dcf", 94, 210,
            {"1014sub0.default=$NODEID+0x80", "1400sub1.default=$NODEID+0x200"});
        row("dcf/ros2_canopen-concurrency_test-master.dcf", 87, 2225,
            {"5E05.name=Remote RPDO mapping parameter"});
        row("dcf/ros2_canopen-core_test-master.dcf", 47, 2117,
            {"1F81.objecttype=8", "1A01sub0.default=1"});
    }
    void corpusFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, facts);
        import(QStringLiteral(NW_TEST_DATA_DIR "/importers/") + file, file.endsWith(".dcf"));
        QTEST(m_db->getIndices(staging).size(), "objects");
        QTEST(subCount(*m_db), "subs");
        checkFacts(facts);
    }

    void readerRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("dcf");
        QTest::addColumn<QStringList>("facts");
        // The file is the section of tests/data/importers/eds_rules.txt named by the row or text.
        const auto row = [](const char *name, bool dcf, const char *facts,
                            const char *text = nullptr) {
            QTest::newRow(name) << rules(text ? text : name) << dcf << QString(facts).split('|');
        };
        row("compact array", false,
            "2000.subs=4|2000sub0.name=Highest subindex supported|2000sub0.default=3|"
            "2000sub0.access=ro|2000sub0.datatype=5|2000sub3.name=Sensor 3|2000sub1.datatype=6|"
            "2000sub1.pdomapping=4");
        row("PDO mapping by access type", false,
            "2000sub0.pdomapping=4|2001sub0.pdomapping=4|2002sub0.pdomapping=3|"
            "2003sub0.pdomapping=3|2004sub0.pdomapping=1|2005sub0.pdomapping=1|"
            "2006sub0.pdomapping=0");
        row("DOMAIN entries are application variables", false,
            "2000sub1.implementation=2|2000sub1.varname=v_81921|2001sub0.varname=v_81930|"
            "2001sub0.datatype=15");
        row("DCF takes ParameterValue as default", true,
            "2000sub0.default=5|2000sub0.current=5|2000sub0.dcf=1|2001sub0.default=7|"
            "2001sub0.dcf=0",
            "configured values");
        row("EDS keeps DefaultValue", false, "2000sub0.default=1|2000sub0.current=5|2000sub0.dcf=1",
            "configured values");
        row("missing PDO objects", false,
            "1400.name=R1|1401.name=Receive PDO parameter 2|1401sub0.default=2|"
            "1401sub0.current=2|1401sub1.default=0x80000000|1401sub2.name=Transmission Type|"
            "1600.name=Mapping Parameter|1601sub0.default=8|1601sub0.limits=0..8|"
            "1601sub0.limitineds=1|1601sub8.name=Mappping Entry 8|1800.name=Transmit PDO "
            "parameter 1|1800.subs=5|1800sub5.name=Event Timer|1800sub0.limitineds=0|"
            "1800sub0.writedefault=0|1A00.subs=9");
        row("comments become descriptions", false,
            "2000.description=object again|2000sub0.description=object again|"
            "2000sub1.description=a\\nb|2001.description=v|2001sub0.description=v");
        row("limits, array type, written default", false,
            "2000.datatype=3|2000sub1.limits=-5..5|2000sub1.limitineds=1|2001sub0.limits=0..255|"
            "2001sub0.limitineds=0|2001sub0.writedefault=0|2000sub0.writedefault=1");
    }
    void readerRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, dcf);
        QFETCH(QStringList, facts);
        import(writeFile(content, dcf ? "test.dcf" : "test.eds"), dcf);
        checkFacts(facts);
    }

    void fileAndDeviceInfo()
    {
        const QString path = writeFile(rules("file and device information"));
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setImportFileName(path);
        m_db->setDescriptionSettingsLine(3);
        QVERIFY(importer.importFileDeviceInfo());
        const QMap<QString, QString> expected = {{"FileVersion", "2"}, {"CreatedBy", "me, myself"},
                                                 {"ModifiedBy", ""},   {"VendorName", "V"},
                                                 {"NrOfRXPDO", "0"},   {"Dummy0003", "1"},
                                                 {"Dummy0001", ""},    {"Comment", "first\n\n"}};
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            QCOMPARE(it.key() + '=' + m_db->getDescriptionSettingsValue(it.key()),
                     it.key() + '=' + it.value());
        m_db->setDescriptionSettingsLine(0);
        QCOMPARE(m_db->getDescriptionSettingsValue("VendorName"), QString());
    }

    void unreadableFileIsReported()
    {
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setActiveLine(staging);
        QVERIFY(importer.setImportFileName(writeFile("no EDS at all\n")));
        QSignalSpy errors(&importer, qOverload<const QString &>(&BaseDataImporter::importError));
        importer.doImport();
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().first().toString().endsWith("no EDS or DCF file"));
        QVERIFY(importer.hasFileError() && m_db->getIndices(staging).isEmpty());
    }

    void runsOnWorkerThread()
    {
        auto *importer = new EDSImporter;
        importer->setDatabase(m_db.get());
        importer->setActiveLine(staging);
        importer->setImportFileName(QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/sample.eds"));
        QSignalSpy done(importer, &BaseDataImporter::progress);
        QVERIFY(importer->startImport() && done.wait(20000));
        QCOMPARE(done.last().first().value<quint8>(), quint8(100));
        QCOMPARE(importer->thread(), QThread::currentThread());
        QCOMPARE(m_db->getIndices(staging).size(), 40);
        delete importer;
    }

private:
    void import(const QString &path, bool dcf, quint32 low = 0x1000, quint32 high = 0xFFFF)
    {
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setActiveLine(staging);
        importer.setIndexRange(low, high);
        importer.setDcfMode(dcf);
        QVERIFY(importer.setImportFileName(path));
        importer.doImport();
        QVERIFY2(importer.getLastError().isEmpty(), qPrintable(importer.getLastError()));
        QVERIFY(importer.objectsWithErrors().isEmpty());
    }

    QString writeFile(const QByteArray &content, const QString &name = "test.eds")
    {
        const QString path = m_dir.filePath(name);
        return nwWriteFile(path, content) ? path : QString();
    }

    void checkFacts(const QStringList &facts)
    {
        for (const QString &expected : facts) {
            const QString spec = expected.section(QLatin1Char('='), 0, 0);
            QCOMPARE(roundtrip::escaped(fact(*m_db, spec)), expected);
        }
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ObjectDataBase> m_db;
};

NW_TEST_MAIN(TestEDSImporter)
#include "tst_edsimporter.moc"
