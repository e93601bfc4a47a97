#include "compilecheck.h"
#include "database/objectdatabase.h"
#include "generators/codefinegenerator.h"
#include "generatortestutil.h"
#include "nwtest.h"
#include "panelkit/appidentity.h"
#include "projectbuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

namespace {

const char userStart[] = "/* user-specific section: start */\n";
const char userEnd[] = "/* user-specific section: end */\n";

// A project built in code (objects and messages in the builder's compact form) and the
// gen_define.h generated for it.
class Project
{
public:
    // A new project with the objects in the builder's compact form.
    explicit Project(const QStringList &objects = {})
    {
        build.newProject();
        build.objects(objects);
    }

    QString path() const { return dir.path() + QStringLiteral("/gen_define.h"); }

    QString text() const
    {
        QFile file(path());
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(file.readAll());
    }

    // Runs a generator configured like the generation run does, and returns the file.
    QString generate(const std::function<void(CoDefineGenerator &)> &setup = nullptr,
                     const std::function<void(CoDefineGenerator &)> &after = nullptr)
    {
        CoDefineGenerator generator;
        generator.setDataBase(&db);
        generator.setOutputDirectory(dir.path());
        generator.setProjectName(QStringLiteral("demo"));
        generator.setActiveLine(0);
        if (setup)
            setup(generator);
        if (generator.startGeneration() != AbstractGenerator::Done)
            return QStringLiteral("<not started>");
        generator.wait();
        if (after)
            after(generator);
        return text();
    }

    ObjectDataBase db;
    nwtest::ProjectBuilder build{db};
    QTemporaryDir dir;
};

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'));
}

// The bytes between the user-section markers of a file's text.
QString userSectionOf(const QString &text)
{
    const int start = text.indexOf(QLatin1String(userStart));
    const int end = text.indexOf(QLatin1String(userEnd));
    if (start < 0 || end < start)
        return QStringLiteral("<no user section>");
    const int from = start + int(qstrlen(userStart));
    return text.mid(from, end - from);
}

// Projects of the protocol forms and editions, shared by the variants and the compile tests.
// Returns the flags (J1939 present, multi-protocol) the generation run would set.
QPair<bool, bool> buildProtocolFixture(Project &project, const QString &name)
{
    project.build.settings({{"co_timer_interval", "1000"}});
    if (name == QLatin1String("J1939 only")) {
        project.build.line(0, 2);
        project.build.pgns({"0:EE00:t", "0:F004:t", "0:FEF1:r"});
        project.build.j1939Settings(gentest::settingsOf(
            "bamsupport=1; diagsupport=1; diagsupport_dm13=1; diagsupport_dm2=1; "
            "dm_receivesize=20; dm_transmitsize=30; requestsupport=1; requestindication_cnt=2; "
            "rxindication_cnt=3; cmdtsupport=1; cmdtpackets=16; isotp_connection_cnt=2"));
        // The J1939 section takes the ISO-TP connections from the J1939 settings.
        project.build.settings({{"isotp_connection_cnt", "5"}});
        return {true, false};
    }
    if (name == QLatin1String("two J1939 lines")) {
        project.build.line(0, 2);
        project.build.line(1, 2);
        project.build.pgns({"0:F004:t", "1:FEF1:r", "1:FEF2:r", "1:EE00:t"});
        project.build.settings({{"additional_cob_count", "1, 2"}});
        return {true, false};
    }
    if (name == QLatin1String("NMEA 2000")) {
        project.build.line(0, 2);
        project.build.pgns({"0:1F801:t", "0:1F802:r"});
        project.build.j1939Settings(
            {{"nmea2000support", "1"}, {"nmea2000groupindication_cnt", "1"}});
        return {true, false};
    }
    if (name == QLatin1String("CANopen and J1939")) {
        project.build.line(1, 2);
        project.build.objects({"0:1000:1", "0:1400:3"});
        project.build.pgns({"1:F004:t", "1:FEF1:r", "1:FEF2:r"});
        return {true, true};
    }
    if (name == QLatin1String("EnergyBus edition")) {
        QCoreApplication::setApplicationName(QStringLiteral("EnergyBus Packwright"));
        project.build.objects({"0:1000:1"});
        const QVariantMap energyBus = gentest::settingsOf(
            "device_cnt=4; device_1=1 EnergyBus Controller; device_2=2 Battery; device_3=3 "
            "Battery; device_4=4 Security Device/Extension; sec_4_kind=Extension; "
            "int_offset_bat=4; ebc_max_bat_number=2; ext_start_pos_bat=10; ebc_max_dev_number=6; "
            "ebc_tool_supported=1");
        for (auto it = energyBus.cbegin(); it != energyBus.cend(); ++it)
            project.db.setEnergyBusSettingsValue(it.key(), it.value().toString());
        return {false, false};
    }
    // The CAN edition writes the CANopen services only for CANopen lines.
    if (name == QLatin1String("CAN edition, raw CAN line")) {
        QCoreApplication::setApplicationName(QStringLiteral("CAN Nodewright"));
        project.build.line(0, 4);
        project.build.objects({"0:1000:1"});
        return {false, true};
    }
    // CANopen and raw CAN
    project.build.line(1, 4);
    project.build.objects({"0:1000:1"});
    project.build.canIds({"1:100:r", "1:101:r", "1:200:t"});
    project.build.settings({{"changedindication_cnt", "2"}, {"rxindication_cnt", "0"}});
    return {false, true};
}

// CANopen projects for the compile test.
void buildCanopenFixture(Project &project, const QString &name)
{
    project.build.objects({"0:1000:1", "0:1014:1", "0:1016:3", "0:1400:3", "0:1600:3", "0:1800:3",
                           "0:1A00:3", "0:1010:4", "0:2000:3 nv=1"});
    project.build.settings({{"co_timer_interval", "1000"}});
    if (name == QLatin1String("multi")) {
        project.build.line(1, 1);
        project.build.objects({"1:1000:1", "1:1003:3", "1:1301:7", "1:1381:9", "1:1F2C:3"});
        project.build.settings({{"receivebuffersize", "10, 4"}, {"co_node_id", "1, 2"}});
    } else if (name == QLatin1String("rich")) {
        project.build.objects({"0:1F80:1 values=0x20", "0:1F81:4", "0:2100:3 impl=3 type=6"});
        project.build.settings(gentest::settingsOf(
            "nmtmaster=1; bootup_manager=1; config_manager=1; canfd_supported=1; "
            "usdo_server_cnt=2; generate_generation_counter=1; co_timer_interval=TICK; "
            "hw_defines=#define TICK 1000u; event_nmt=3"));
    } else if (name == QLatin1String("targets")) {
        project.build.settings(
            gentest::settingsOf("all_targets=1; targetsettings_cnt=2; targetsettings_active=1; "
                                "targetsettings_0_timer=1000; targetsettings_1_timer=2000"));
    }
}

} // namespace

// Rows of variants: objects in the builder's compact form and general settings.
static void addRow(const char *name, const QStringList &objects, const QVariantMap &settings = {})
{
    QTest::addRow("%s", name) << objects << settings << QString();
}

static void addListAndServiceRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    addRow("single line lists",
           {"0:1000:1", "0:1018:5", "0:1400:3", "0:1401:3", "0:1800:3", "0:1280:4"});
    addRow("CAN FD", {"0:1000:1", "0:1032:3"},
           {{"canfd_supported", "1"}, {"usdo_client_cnt", "2"}, {"usdo_server_ind_read_cnt", "2"}});
    addRow("node-ID settings", device,
           {{"co_node_id", "0x20"}, {"co_node_id_fct", "getNodeId"}, {"co_network_id", "3"}});
    addRow("profile 401", {"0:1000:1 values=0x00020191"});
    addRow("profile 454 stores", {"0:1000:1 values=454"});
    addRow("profile 447 function groups",
           {"0:1000:1 values=447", "0:6000:3 values=2,0x5,0x80000001"});
    addRow("emergency", {"0:1000:1", "0:1014:1", "0:1003:5", "0:1028:3", "0:1032:3"});
    addRow("multiplexed PDO producer", {"0:1000:1", "0:1800:3", "0:1A00:3 values=0xFE"});
    addRow("dynamic mapping and bit mapping",
           {"0:1000:1", "0:1600:9 values=8 access0=rw", "0:1A00:3 values=2"},
           {{"bitwise_mapping", "1"}});
    addRow("LSS slave", device,
           {{"lss_supported", "1"}, {"nmtmaster", "0"}, {"lss_inquiry_supported", "1"}});
    addRow("LSS master", device, {{"lss_supported", "1"}, {"nmtmaster", "1"}});
    addRow("flying master", {"0:1000:1", "0:1F80:1 values=0x21"}, {{"nmtmaster", "1"}});
    addRow("block transfer and queue", device,
           gentest::settingsOf("sdo_blocktransfer_supported=1; sdo_blocktransfer_block_size=127; "
                               "sdo_blocktransfer_min_data=8; sdo_blocktransfer_crc_supported=1; "
                               "sdo_client_queue_supported=1; sdo_client_queue_size=4"));
    addRow("extended and UTF-8 data types",
           {"0:1000:1", "0:2000:3 type=0x1B", "0:2001:1 type=0x7C"});
    addRow("UTF-8 below 0x2000 does not count", {"0:1000:1", "0:1008:1 type=0x7C"});
    addRow("store and non-volatile entries", {"0:1000:1", "0:1010:5", "0:2000:3 nv=1"});
}

static void addOptionRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    addRow("virtual objects", {"0:1000:1", "0:2000:3 impl=3 type=7", "0:2001:1 impl=3 type=0x16"});
    addRow("compact virtual array", {"0:1000:1", "0:2100:6 impl=3 type=6"},
           {{"compact_array_description", "1"}});
    addRow("only UNSIGNED24 virtual entries", {"0:1000:1", "0:2001:1 impl=3 type=0x16"});
    addRow("timer as a macro", device,
           gentest::settingsOf("co_timer_interval=APP_TICK; endian=1; drv_filter=1; "
                               "hw_defines=#define BOARD_REV 3; co_srdo_interval=SRDO_TICK"));
    addRow("all targets", device,
           gentest::settingsOf("all_targets=1; targetsettings_cnt=2; targetsettings_active=1; "
                               "targetsettings_0_name=Board A; targetsettings_0_timer=1000; "
                               "targetsettings_1_name=Board B; targetsettings_1_targetid=BOARD_B; "
                               "targetsettings_1_timer=TICK; targetsettings_1_endianess=1; "
                               "targetsettings_1_groupfilter=1; co_srdo_interval=10"));
    addRow("call-backs off", device, {{"enable_dynamic", "0"}, {"event_nmt", "2"}});
    addRow("call-backs on when not set", device,
           {{"event_nmt", "2"}, {"object_changed_event", "1"}, {"event_sync", "0"}});
    addRow("static indications", device,
           {{"fct_pdo_sync", "appPdo"}, {"fct_led_red", "appLed"}, {"fct_nmt", "  "}});
    addRow("sleep mode 447", device, {{"sleep_mode_selection", "1"}, {"sleep_wait_time", "500"}});
    addRow("user messages and sorted list", device,
           {{"user_tx_cob", "2"}, {"sorted_coblist", "1"}, {"only_one_hb_buffer", "1"}});
    addRow("buffer sizes with suffixes and hexadecimal", device,
           {{"receivebuffersize", "0x10u, 2u"}, {"transmitbuffersize", "3u, 3u, 3u"}});
    addRow("buffer size with suffix", device, {{"transmitbuffersize", "8u"}});
}

static void addCountRows()
{
    addRow("SRDO", {"0:1000:1", "0:1301:7", "0:1381:9"});
    addRow("network routing", {"0:1000:1", "0:1F2C:3"}, {{"sdo_routing", "1"}});
    addRow("boot-up and configuration manager", {"0:1000:1", "0:1F81:4", "0:1F22:2"},
           {{"bootup_manager", "1"}});
    addRow("COBs of a typical slave", {"0:1000:1", "0:1014:1", "0:1200:3", "0:1400:3", "0:1600:2",
                                       "0:1800:3", "0:1A00:2", "0:1005:1", "0:1016:3", "0:1012:1"});
    addRow("two CANopen lines", {"0:1000:1", "0:1400:3", "0:1401:3", "1:1000:1", "1:1400:3",
                                 "1:1401:3", "1:1402:3", "1:1014:1"});
    addRow(
        "COBs with one heartbeat buffer and additional COBs", {"0:1000:1", "0:1016:4"},
        gentest::settingsOf(
            "only_one_hb_buffer=1; additional_cob_count=3; lss_supported=1; idnego_supported=1"));
}

class TestCoDefineGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void cleanup() { AppIdentity::apply(QStringLiteral("nodewright")); }

    void variants_data()
    {
        QTest::addColumn<QStringList>("objects");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QString>("protocols"); // a fixture of buildProtocolFixture instead
        QTest::addRow("plain project") << QStringList() << QVariantMap() << QString();
        addListAndServiceRows();
        addOptionRows();
        addCountRows();
        for (const char *fixture :
             {"J1939 only", "two J1939 lines", "NMEA 2000", "CANopen and J1939",
              "CANopen and raw CAN", "EnergyBus edition", "CAN edition, raw CAN line"})
            QTest::addRow("%s", fixture) << QStringList() << QVariantMap() << fixture;
    }

    // The plain project's file whole, every other as its changes against it.
    void variants()
    {
        QFETCH(QStringList, objects);
        QFETCH(QVariantMap, settings);
        QFETCH(QString, protocols);
        Project plain({"0:1000:1"});
        const QString base = plain.generate();
        Project project;
        QPair<bool, bool> flags(false, false);
        if (!protocols.isEmpty())
            flags = buildProtocolFixture(project, protocols);
        else
            project.build.objects(objects.isEmpty() ? QStringList{"0:1000:1"} : objects);
        project.build.settings(settings);
        const QString text = project.generate([&flags](CoDefineGenerator &g) {
            g.setJ1939Present(flags.first);
            g.setMultiProtocol(flags.second);
        });
        const QStringList changes = gentest::lineChanges(
            QTest::currentDataTag() == QByteArray("plain project") ? QStringList()
                                                                   : gentest::maskedLines(base),
            gentest::maskedLines(text));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenSectionDiff(gentest::testData("gen_define_variants.txt"), changes));
    }

    void toolVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("define");
        QTest::addRow("two-digit parts") << "12.0.30.7"
                                         << "#define GEN_TOOL_VERSION\t0x120030ul";
        QTest::addRow("missing part") << "4.2"
                                      << "#define GEN_TOOL_VERSION\t0x040200ul";
    }

    void toolVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, define);
        QCoreApplication::setApplicationVersion(version);
        Project project({"0:1000:1"});
        const QStringList output = lines(project.generate());
        QVERIFY2(output.contains(define), qPrintable(output.filter("GEN_TOOL_VERSION").join('\n')));
        QVERIFY(output.contains(QStringLiteral(" * Stack definitions for demo - generated by "
                                               "CANopen Nodewright ")
                                + version));
    }

    void forcedMultiLine()
    {
        Project project({"0:1000:1"});
        const QStringList output = lines(project.generate([](CoDefineGenerator &generator) {
            Preferences preferences;
            preferences.alwaysMultiLine = true;
            generator.setPreferences(preferences);
        }));
        QVERIFY(output.contains(QStringLiteral("#define CO_MULTI_LINE\t1u")));
        QVERIFY(output.contains(QStringLiteral("#define CO_MULTI_LINE_CNT\t1u")));
        QVERIFY(output.contains(QStringLiteral("#define CO_OBJECT_COUNTS\t1u")));
    }

    void userSectionOfExistingFile_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("section");
        // A file without a section reports none and gets one empty line.
        QTest::addRow("no file") << QByteArray() << ""
                                 << "\n";
        QTest::addRow("one empty line") << QByteArray(userStart) + "\n" + userEnd << "\n"
                                        << "\n";
        QTest::addRow("no markers") << QByteArray("#define SOMETHING 1\n") << ""
                                    << "\n";
        // Tabs, trailing blanks, text outside Latin-1, placeholders and a line that only
        // looks like a marker.
        const QByteArray kept =
            "#define MY_OWN_OPTION 1\n\t/* a tab, trailing blanks and a comment */   \n\n"
            "#define GREETING \"Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC %1 %2 \\\\n\" \n"
            "/* user-specific section: start (not a marker: more text on the line) */\n   \n";
        QTest::addRow("kept byte for byte") << QByteArray(userStart) + kept + userEnd
                                            << QString::fromUtf8(kept) << QString::fromUtf8(kept);
        QTest::addRow("no end marker") << QByteArray(userStart) + "#define KEEP_ME 1\n"
                                       << "#define KEEP_ME 1\n"
                                       << "#define KEEP_ME 1\n";
        // The line-ending pass may have converted the previous file.
        for (const char *ending : {"\r\n", "\r"}) {
            const QByteArray end(ending);
            QTest::addRow("%s line endings", end == "\r" ? "CR" : "CR LF")
                << QByteArray(userStart).replace('\n', end) + "#define KEEP_ME 1" + end + end
                       + QByteArray(userEnd).replace('\n', end)
                << "#define KEEP_ME 1\n\n"
                << "#define KEEP_ME 1\n\n";
        }
    }

    void userSectionOfExistingFile()
    {
        QFETCH(QByteArray, existing);
        Project project({"0:1000:1"});
        if (!existing.isNull()) {
            QFile file(project.path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(existing);
        }
        QString read = QStringLiteral("<not run>");
        const QString text =
            project.generate(nullptr, [&read](CoDefineGenerator &g) { read = g.getUserSection(); });
        QTEST(read, "reported");
        QTEST(userSectionOf(text), "section");
        QVERIFY(text.endsWith(QLatin1String(userEnd)
                              + QStringLiteral("\n#endif /* GEN_DEFINE_H */\n")));
    }

    void generationCounter()
    {
        Project project({"0:1000:1"});
        project.build.settings({{"generate_generation_counter", "1"}});
        for (int run = 1; run <= 3; ++run) {
            quint32 previous = 99;
            const QStringList output = lines(project.generate(
                nullptr, [&previous](CoDefineGenerator &g) { previous = g.getGenerationCount(); }));
            QCOMPARE(previous, quint32(run - 1));
            QVERIFY2(output.contains(QStringLiteral("#define GEN_GENERATION_COUNT\t%1ul").arg(run)),
                     qPrintable(output.filter("GEN_GENERATION_COUNT").join('\n')));
        }
        // A hand-edited counter in hexadecimal continues from its value, one in a file converted
        // to CR line endings too, and a counter line without a number starts again.
        const QList<QPair<QByteArray, int>> previous{
            {"#define GEN_GENERATION_COUNT\t\t0x10ul\n", 17},
            {"/* Stack definitions */\r#define GEN_GENERATION_COUNT\t7ul\r\r#endif\r", 8},
            {"#define GEN_GENERATION_COUNT\n", 1}};
        for (const auto &file : previous) {
            QFile old(project.path());
            QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
            old.write(file.first);
            old.close();
            QVERIFY2(lines(project.generate())
                         .contains(
                             QStringLiteral("#define GEN_GENERATION_COUNT\t%1ul").arg(file.second)),
                     file.first.constData());
        }
    }

    void generationCounterFromProject()
    {
        Project project({"0:1000:1"});
        project.build.settings(
            {{"cbw_generation_count", "41"}, {"generate_generation_counter", "1"}});
        const auto fromProject = [](CoDefineGenerator &g) {
            QCOMPARE(g.setCounterFromProject(true), 0u);
        };
        for (int run = 0; run < 2; ++run) {
            QVERIFY(lines(project.generate(fromProject))
                        .contains(QStringLiteral("#define GEN_GENERATION_COUNT\t41ul")));
        }
        project.build.settings(
            {{"cbw_generation_count", "0"}, {"generate_generation_counter", "0"}});
        QVERIFY(!project.generate(fromProject).contains(QLatin1String("GEN_GENERATION_COUNT")));
    }

    void progressSteps()
    {
        Project project({"0:1000:1"});
        CoDefineGenerator generator;
        generator.setDataBase(&project.db);
        generator.setOutputDirectory(project.dir.path());
        QSignalSpy spy(&generator, &AbstractGenerator::progress);
        QCOMPARE(generator.startGeneration(), 0u);
        QCOMPARE(generator.objectName(), QStringLiteral("gen_define.h"));
        generator.wait();
        QList<int> values;
        for (const QList<QVariant> &arguments : spy)
            values << arguments.first().toInt();
        QCOMPARE(values, (QList<int>{25, 50, 75, 100}));
        QVERIFY(!project.db.lockWriteAccess());
    }

    void golden()
    {
        Project project;
        project.build.objects({"0:1000:1 values=0x00000191", "0:1001:1", "0:1005:1 values=0x80",
                               "0:1014:1 values=0x80", "0:1016:3", "0:1017:1", "0:1018:5",
                               "0:1200:3", "0:1400:3", "0:1401:3", "0:1600:3 access0=rw",
                               "0:1601:2", "0:1800:6", "0:1A00:5 values=4 access0=rw",
                               "0:2000:4 type=0x1B", "0:2100:3 impl=3 type=6"});
        project.build.settings(gentest::settingsOf(
            "co_node_id=32; receivebuffersize=10, 4; event_nmt=1; fct_sdo_server_write=appWrite; "
            "co_timer_interval=1000; user_defines=#define APP_BOARD 2; "
            "generate_generation_counter=1"));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenDiff(gentest::testData("gen_define_golden.h"), project.generate()));
    }

    void compiles_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addRow("single line") << "single";
        QTest::addRow("two lines") << "multi";
        QTest::addRow("rich options") << "rich";
        QTest::addRow("all targets") << "targets";
        for (const char *fixture : {"J1939 only", "two J1939 lines", "NMEA 2000",
                                    "CANopen and J1939", "CANopen and raw CAN"})
            QTest::addRow("%s", fixture) << fixture;
    }

    void compiles()
    {
        QFETCH(QString, fixture);
        if (!nwHaveCCompiler())
            QSKIP("no C compiler");
        Project project;
        QPair<bool, bool> flags(false, false);
        if (fixture.contains(QLatin1Char(' ')))
            flags = buildProtocolFixture(project, fixture);
        else
            buildCanopenFixture(project, fixture);
        project.generate([&flags](CoDefineGenerator &g) {
            g.setJ1939Present(flags.first);
            g.setMultiProtocol(flags.second);
        });
        QString diagnostics;
        const bool compiled = nwCompileHeaders(
            project.dir.path(), {QStringLiteral("stddef.h"), QStringLiteral("co_canopen.h")},
            {QStringLiteral("gen_define.h"), QStringLiteral("gen_define.h")}, &diagnostics,
            gentest::readText(gentest::testData("gen_define_uses.c")));
        QVERIFY2(compiled, qPrintable(diagnostics + QStringLiteral("\n") + project.text()));
    }
};

NW_TEST_MAIN(TestCoDefineGenerator)
#include "tst_codefinegenerator.moc"
