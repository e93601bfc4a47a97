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
    Project() { build.newProject(); }

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

// C that uses every list and number of a gen_define.h (included twice, after the stack
// header), so that the compiler sees a broken list, a missing suffix, a conflicting
// second definition or a clash with the stack's names.
const char usesOfDefines[] = R"(const unsigned long toolVersion = GEN_TOOL_VERSION;
const unsigned recBuffer = CO_CONFIG_REC_BUFFER_CNT;
const unsigned trBuffer = CO_CONFIG_TRANS_BUFFER_CNT;
const unsigned cobs = CO_COB_CNT;
const unsigned cobLists[] = { CO_COB_COUNTS };
#ifdef CANOPEN_SUPPORTED
const unsigned recBuffers[] = { CO_REC_BUFFER_COUNTS };
const unsigned trBuffers[] = { CO_TR_BUFFER_COUNTS };
const unsigned objects[] = { CO_OBJECT_COUNTS };
const unsigned txPdos[] = { CO_TXPDO_COUNTS };
const unsigned rxPdos[] = { CO_RXPDO_COUNTS };
const unsigned sSdos[] = { CO_SSDO_COUNTS };
const unsigned cSdos[] = { CO_CSDO_COUNTS };
const unsigned assigns[] = { CO_ASSIGN_COUNTS };
const unsigned guardings[] = { CO_GUARDING_COUNTS };
const unsigned errCtrl[] = { CO_ERR_CTRL_COUNTS };
const unsigned errHist[] = { CO_ERR_HIST_COUNTS };
const unsigned actErrHist[] = { CO_ACT_ERR_HIST_COUNTS };
const unsigned emcyCons[] = { CO_EMCY_CONS_COUNTS };
const unsigned nodeIds[] = { CO_NODE_IDS };
void *const nodeIdFunctions[] = { CO_NODE_ID_FUNCTIONS };
const unsigned serverSdos = CO_SDO_SERVER_CNT;
#endif
#ifdef CO_SRDO_SUPPORTED
const unsigned srdos[] = { CO_SRDO_COUNTS };
#endif
#ifdef CO_NETWORK_ROUTING_CNT
const unsigned routes[] = { CO_NETWORK_ROUTING_COUNTS };
#endif
#ifdef CO_STORE_NVS_CNT
const unsigned nvs[] = { CO_STORE_NVS_CNT };
#endif
#ifdef CO_VOBJ_DESC_CNT
const unsigned vodDescriptions = CO_VOBJ_DESC_CNT + CO_VOD_ASSIGN_CNT;
#endif
#ifdef J1939_SUPPORTED
const unsigned j1939Rec = J1939_RECEIVE_PGN_CNT + J1939_TRANSMIT_PGN_CNT;
const unsigned long j1939Timer = J1939_TIMER_INTERVAL;
#endif
#ifdef J1939_RECEIVE_PGN_COUNTS
const unsigned j1939RecList[] = { J1939_RECEIVE_PGN_COUNTS };
const unsigned j1939TrList[] = { J1939_TRANSMIT_PGN_COUNTS };
#endif
#ifdef CO_REC_BUFFER_CNT
const unsigned j1939RecBuffers[] = { CO_REC_BUFFER_CNT };
#endif
#ifdef CANRAW_SUPPORTED
const unsigned rawIds = CANRAW_RECEIVE_CNT + CANRAW_TRANSMIT_CNT;
#endif
#ifdef CANRAW_RECEIVE_COUNTS
const unsigned rawRecList[] = { CANRAW_RECEIVE_COUNTS };
#endif
#ifdef CO_TIMER_INTERVAL
const unsigned long timer = CO_TIMER_INTERVAL;
#endif
#ifdef GEN_GENERATION_COUNT
const unsigned long generation = GEN_GENERATION_COUNT;
#endif
)";

// Projects of the protocol forms, shared by the exact-line and the compile tests.
// Returns the flags (J1939 present, multi-protocol) the generation run would set.
QPair<bool, bool> buildProtocolFixture(Project &project, const QString &name)
{
    project.build.settings({{"co_timer_interval", "1000"}});
    if (name == QLatin1String("J1939 only")) {
        project.build.line(0, 2);
        project.build.pgns({"0:EE00:t", "0:F004:t", "0:FEF1:r"});
        project.build.j1939Settings({{"bamsupport", "1"},
                                     {"diagsupport", "1"},
                                     {"diagsupport_dm13", "1"},
                                     {"diagsupport_dm2", "1"},
                                     {"dm_receivesize", "20"},
                                     {"dm_transmitsize", "30"},
                                     {"requestsupport", "1"},
                                     {"requestindication_cnt", "2"},
                                     {"rxindication_cnt", "3"},
                                     {"cmdtsupport", "1"},
                                     {"cmdtpackets", "16"},
                                     {"isotp_connection_cnt", "2"}});
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
        project.build.settings({{"nmtmaster", "1"},
                                {"bootup_manager", "1"},
                                {"config_manager", "1"},
                                {"canfd_supported", "1"},
                                {"usdo_server_cnt", "2"},
                                {"generate_generation_counter", "1"},
                                {"co_timer_interval", "TICK"},
                                {"hw_defines", "#define TICK 1000u"},
                                {"event_nmt", "3"}});
    } else if (name == QLatin1String("targets")) {
        project.build.settings({{"all_targets", "1"},
                                {"targetsettings_cnt", "2"},
                                {"targetsettings_active", "1"},
                                {"targetsettings_0_timer", "1000"},
                                {"targetsettings_1_timer", "2000"}});
    }
}

} // namespace

class TestCoDefineGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }
    void cleanup();

    void fixedLines_data();
    void fixedLines();
    void bufferCounts_data();
    void bufferCounts();
    void toolVersion_data();
    void toolVersion();
    void forcedMultiLine();
    void userSectionOfExistingFile_data();
    void userSectionOfExistingFile();
    void generationCounter();
    void generationCounterFromProject();
    void progressAndMissingFolder();
    void editions();
    void protocolForms_data();
    void protocolForms();
    void golden();
    void compiles_data();
    void compiles();
};

void TestCoDefineGenerator::cleanup()
{
    AppIdentity::apply(QStringLiteral("nodewright"));
}

// Rows of fixedLines: single-line lists, node-IDs and profiles.
static void addIdentityAndListRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    QTest::addRow("single line lists")
        << QStringList{"0:1000:1", "0:1018:5", "0:1400:3", "0:1401:3", "0:1800:3", "0:1280:4"}
        << QVariantMap() << QStringList{"#define CANOPEN_SUPPORTED\t1u",
                                        "#define CO_OBJECTS_LINE_0_CNT\t6u",
                                        "#define CO_OBJECT_COUNTS\t6u",
                                        "#define CO_RXPDO_COUNTS\t2u",
                                        "#define CO_TXPDO_COUNTS\t1u",
                                        "#define CO_CSDO_COUNTS\t1u",
                                        "#define CO_SDO_CLIENT_CNT\t1u",
                                        "#define CO_GUARDING_COUNTS\tCO_ASSIGN_COUNTS"}
        << QStringList{"#define CO_MULTI_LINE\t1u"};
    QTest::addRow("server SDO assumed on a CANopen line")
        << device << QVariantMap()
        << QStringList{"#define CO_SSDO_COUNTS\t1u", "#define CO_SDO_SERVER_CNT\t1u"}
        << QStringList{"#define CO_CANFD_SUPPORTED\t1u"};
    QTest::addRow("CAN FD") << QStringList{"0:1000:1", "0:1032:3"}
                            << QVariantMap{{"canfd_supported", "1"},
                                           {"usdo_client_cnt", "2"},
                                           {"usdo_server_ind_read_cnt", "2"}}
                            << QStringList{"#define CO_SSDO_COUNTS\t0u",
                                           "#define CO_CANFD_SUPPORTED\t1u",
                                           "#define CO_USDO_SUPPORTED\t1u",
                                           "#define CO_USDO_CLIENT_SUPPORTED\t1u",
                                           "#define CO_USDO_CLIENT_MAX_CON\t2u",
                                           "#define CO_EMCY_ACTIVE_ERROR_LIST\t2u",
                                           "#define CO_EVENT_DYNAMIC_USDO_SERVER_READ\t2u"}
                            << QStringList();
    QTest::addRow("node-ID defaults")
        << device << QVariantMap()
        << QStringList{"#define CO_NODE_IDS\t0u", "#define CO_NODE_ID_FUNCTIONS NULL"}
        << QStringList{"#define CO_NETWORK_ID\t"};
    QTest::addRow("node-ID settings")
        << device
        << QVariantMap{{"co_node_id", "0x20"},
                       {"co_node_id_fct", "getNodeId"},
                       {"co_network_id", "3"}}
        << QStringList{"#define CO_NODE_IDS\t0x20", "#define CO_NODE_ID_FUNCTIONS\tgetNodeId",
                       "#define CO_NETWORK_ID\t3"}
        << QStringList{"#define CO_NODE_ID_FUNCTIONS NULL"};
    QTest::addRow("profile 401") << QStringList{"0:1000:1 values=0x00020191"} << QVariantMap()
                                 << QStringList{"#define CO_PROFILE_401\t1u"}
                                 << QStringList{"#define CO_EVENT_PROFILE_STORE\t1u"};
    QTest::addRow("profile 454 stores")
        << QStringList{"0:1000:1 values=454"} << QVariantMap()
        << QStringList{"#define CO_PROFILE_454\t1u", "#define CO_EVENT_PROFILE_STORE\t1u"}
        << QStringList();
    QTest::addRow("profile 447 function groups")
        << QStringList{"0:1000:1 values=447", "0:6000:3 values=2,0x5,0x80000001"} << QVariantMap()
        << QStringList{"#define CO_PROFILE_447\t1u", "#define CO_P447_VDFG_1 \t1u",
                       "#define CO_P447_VDFG_3 \t1u", "#define CO_P447_VDFG_33 \t1u",
                       "#define CO_P447_VDFG_64 \t1u"}
        << QStringList{"#define CO_P447_VDFG_2 \t1u", "#define CO_P447_VDFG_34 \t1u"};
}

// Rows of fixedLines: communication services.
static void addServiceRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    QTest::addRow("emergency")
        << QStringList{"0:1000:1", "0:1014:1", "0:1003:5", "0:1028:3", "0:1032:3"} << QVariantMap()
        << QStringList{"#define CO_EMCY_PRODUCER\t1u",    "#define CO_EMCY_ERROR_HISTORY 4u",
                       "#define CO_EMCY_CONSUMER_CNT 2u", "#define CO_ERR_HIST_COUNTS\t4u",
                       "#define CO_EMCY_CONS_COUNTS\t2u", "#define CO_ACT_ERR_HIST_COUNTS\t2u"}
        << QStringList{"#define CO_EMCY_ACTIVE_ERROR_LIST\t2u"};
    QTest::addRow("multiplexed PDO producer")
        << QStringList{"0:1000:1", "0:1800:3", "0:1A00:3 values=0xFE"} << QVariantMap()
        << QStringList{"#define CO_MPDO_PRODUCER\t1u", "#define CO_MPDO_SAM\t1u",
                       "#define CO_MAX_MAP_ENTRIES\t2u", "#define CO_PDO_TRANSMIT_CNT\t1u"}
        << QStringList{"#define CO_MPDO_CONSUMER\t1u", "#define CO_MPDO_DAM\t1u",
                       "#define CO_PDO_RECEIVE_CNT"};
    QTest::addRow("dynamic mapping and bit mapping")
        << QStringList{"0:1000:1", "0:1600:9 values=8 access0=rw", "0:1A00:3 values=2"}
        << QVariantMap{{"bitwise_mapping", "1"}}
        << QStringList{"#define CO_REC_PDO_DYN_MAP_ENTRIES\t1u", "#define CO_MAX_MAP_ENTRIES\t8u",
                       "#define CO_PDO_BIT_MAPPING\t1u", "#define CO_PDO_RECEIVE_CNT\t1u"}
        << QStringList{"#define CO_TR_PDO_DYN_MAP_ENTRIES", "#define CO_MPDO_PRODUCER\t1u"};
    QTest::addRow("LSS slave")
        << device
        << QVariantMap{{"lss_supported", "1"}, {"nmtmaster", "0"}, {"lss_inquiry_supported", "1"}}
        << QStringList{"#define CO_LSS_SUPPORTED\t1u", "#define CO_LSS_INQUIRY_SERVICES\t1u"}
        << QStringList{"#define CO_LSS_MASTER_SUPPORTED\t1u", "#define CO_NMT_MASTER\t1u"};
    QTest::addRow("LSS master") << device << QVariantMap{{"lss_supported", "1"}, {"nmtmaster", "1"}}
                                << QStringList{"#define CO_NMT_MASTER\t1u",
                                               "#define CO_LSS_MASTER_SUPPORTED\t1u"}
                                << QStringList{"#define CO_LSS_SUPPORTED\t1u"};
    QTest::addRow("flying master")
        << QStringList{"0:1000:1", "0:1F80:1 values=0x21"} << QVariantMap{{"nmtmaster", "1"}}
        << QStringList{"#define CO_FLYING_MASTER_SUPPORTED\t1u", "#define CO_COB_CNT\t14u"}
        << QStringList();
    QTest::addRow("block transfer and queue")
        << device << QVariantMap{{"sdo_blocktransfer_supported", "1"},
                                 {"sdo_blocktransfer_block_size", "127"},
                                 {"sdo_blocktransfer_min_data", "8"},
                                 {"sdo_blocktransfer_crc_supported", "1"},
                                 {"sdo_client_queue_supported", "1"},
                                 {"sdo_client_queue_size", "4"}}
        << QStringList{"#define CO_SDO_BLOCK\t\t1u",        "#define CO_SDO_BLOCK_SIZE\t127u",
                       "#define CO_SDO_BLOCK_MIN_SIZE\t8u", "#define CO_SDO_BLOCK_CRC\t1u",
                       "#define CO_SDO_QUEUE\t\t1u",        "#define CO_SDO_QUEUE_LEN\t4u"}
        << QStringList{"#define CO_SDOQUEUE_INTERNAL_ACCESS\t\t1u"};
    QTest::addRow("extended and UTF-8 data types")
        << QStringList{"0:1000:1", "0:2000:3 type=0x1B", "0:2001:1 type=0x7C"} << QVariantMap()
        << QStringList{"#define CO_EXTENDED_DATA_TYPES\t\t1u", "#define CO_UTF8_DATA_TYPE\t\t1u"}
        << QStringList();
    QTest::addRow("UTF-8 below 0x2000 does not count")
        << QStringList{"0:1000:1", "0:1008:1 type=0x7C"} << QVariantMap() << QStringList()
        << QStringList{"#define CO_UTF8_DATA_TYPE\t\t1u", "#define CO_EXTENDED_DATA_TYPES\t\t1u"};
    QTest::addRow("store and non-volatile entries")
        << QStringList{"0:1000:1", "0:1010:5", "0:2000:3 nv=1"} << QVariantMap()
        << QStringList{"#define CO_STORE_SUPPORTED\t1u", "#define CO_STORE_NVS_CNT\t2u, "}
        << QStringList();
}

// Rows of fixedLines: virtual objects, targets, call-backs and buffers.
static void addOptionRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    QTest::addRow("virtual objects")
        << QStringList{"0:1000:1", "0:2000:3 impl=3 type=7", "0:2001:1 impl=3 type=0x16"}
        << QVariantMap()
        << QStringList{"#define CO_VIRTUAL_INDEX_CNT 2u", "#define CO_VIRTUAL_U32_CNT\t2u",
                       "#define CO_VIRTUAL_U24_CNT\t1u",  "#define CO_VIRTUAL_U8_CNT\t0u",
                       "#define CO_VOD_ASSIGN_CNT 2u",    "#define CO_VOBJ_DESC_CNT 3u"}
        << QStringList();
    QTest::addRow("compact virtual array")
        << QStringList{"0:1000:1", "0:2100:6 impl=3 type=6"}
        << QVariantMap{{"compact_array_description", "1"}}
        << QStringList{"#define CO_VIRTUAL_U16_CNT\t5u", "#define CO_VOD_ASSIGN_CNT 1u",
                       "#define CO_VOBJ_DESC_CNT 1u"}
        << QStringList();
    QTest::addRow("only UNSIGNED24 virtual entries")
        << QStringList{"0:1000:1", "0:2001:1 impl=3 type=0x16"} << QVariantMap()
        << QStringList{"#define CO_VOBJ_DESC_CNT 1u"}
        << QStringList{"#define CO_VIRTUAL_INDEX_CNT 1u"};
    QTest::addRow("timer as a macro")
        << device
        << QVariantMap{{"co_timer_interval", "APP_TICK"},
                       {"endian", "1"},
                       {"drv_filter", "1"},
                       {"hw_defines", "#define BOARD_REV 3"},
                       {"co_srdo_interval", "SRDO_TICK"}}
        << QStringList{"#define CO_TIMER_INTERVAL\tAPP_TICK",
                       "#define CO_BIG_ENDIAN\t1u",
                       "#define CO_DRV_FILTER\t1u",
                       "#define BOARD_REV 3",
                       "#define CO_SRDO_TIMER_INTERVAL\tSRDO_TICK",
                       "#define TARGET_0 1u"}
        << QStringList{"#ifdef TARGET_0", "#define CO_DRV_GROUP_FILTER\t1u"};
    QTest::addRow("all targets") << device
                                 << QVariantMap{{"all_targets", "1"},
                                                {"targetsettings_cnt", "2"},
                                                {"targetsettings_active", "1"},
                                                {"targetsettings_0_name", "Board A"},
                                                {"targetsettings_0_timer", "1000"},
                                                {"targetsettings_1_name", "Board B"},
                                                {"targetsettings_1_targetid", "BOARD_B"},
                                                {"targetsettings_1_timer", "TICK"},
                                                {"targetsettings_1_endianess", "1"},
                                                {"targetsettings_1_groupfilter", "1"},
                                                {"co_srdo_interval", "10"}}
                                 << QStringList{"#ifdef TARGET_0",
                                                "/* Board A */",
                                                "#define CO_TIMER_INTERVAL\t1000u",
                                                "#endif /* TARGET_0*/ ",
                                                "#define BOARD_B 1u",
                                                "#ifdef BOARD_B",
                                                "/* Board B */",
                                                "#define CO_TIMER_INTERVAL\tTICK",
                                                "#define CO_BIG_ENDIAN\t1u",
                                                "#define CO_DRV_GROUP_FILTER\t1u",
                                                "#endif /* BOARD_B*/ ",
                                                "#define CO_SRDO_TIMER_INTERVAL\t10u"}
                                 << QStringList{"#define TARGET_0 1u"};
    QTest::addRow("call-backs off")
        << device << QVariantMap{{"enable_dynamic", "0"}, {"event_nmt", "2"}} << QStringList()
        << QStringList{"#define CO_EVENT_DYNAMIC_NMT\t2u",
                       "/* Definition of number of call-back functions for each service*/"};
    QTest::addRow("call-backs on when not set")
        << device
        << QVariantMap{{"event_nmt", "2"}, {"object_changed_event", "1"}, {"event_sync", "0"}}
        << QStringList{"/* Definition of number of call-back functions for each service*/",
                       "#define CO_EVENT_DYNAMIC_NMT\t2u",
                       "#define CO_EVENT_DYNAMIC_OBJECT_CHANGED\t1u"}
        << QStringList{"#define CO_EVENT_DYNAMIC_SYNC\t"};
    QTest::addRow("static indications")
        << device
        << QVariantMap{{"fct_pdo_sync", "appPdo"}, {"fct_led_red", "appLed"}, {"fct_nmt", "  "}}
        << QStringList{"#define CO_EVENT_STATIC_PDO\t1u", "#define CO_EVENT_STATIC_LED\t1u"}
        << QStringList{"#define CO_EVENT_STATIC_NMT\t1u"};
    QTest::addRow("sleep mode 447")
        << device << QVariantMap{{"sleep_mode_selection", "1"}, {"sleep_wait_time", "500"}}
        << QStringList{"#define CO_EVENT_DYNAMIC_SLEEP\t1u", "#define CO_SLEEP_447\t1u",
                       "#define CO_SLEEP_WAITTIME\t500u", "#define CO_COB_CNT\t6u"}
        << QStringList{"#define CO_SLEEP_454\t1u"};
    QTest::addRow("user messages and sorted list")
        << device
        << QVariantMap{{"user_tx_cob", "2"}, {"sorted_coblist", "1"}, {"only_one_hb_buffer", "1"}}
        << QStringList{"#define USER_TRANSMIT_MSG_CNT\t2u",
                       "#define CO_USER_EXTENSION_SUPPORTED\t1u", "/* Use of sorted COB list*/",
                       "#define CO_COB_SORTED_LIST\t1u", "#define CO_ONE_HB_CONSUMER_COB\t1u"}
        << QStringList{"#define USER_RECEIVE_MSG_CNT"};
}

// Rows of fixedLines: SRDO, routing, managers and COB counts.
static void addCountRows()
{
    const QStringList device{QStringLiteral("0:1000:1")};
    QTest::addRow("SRDO") << QStringList{"0:1000:1", "0:1301:7", "0:1381:9"} << QVariantMap()
                          << QStringList{"#define CO_SRDO_SUPPORTED\t1u",
                                         "#define CO_SRDO_COUNTS\t1u", "#define CO_SRDO_CNT\t1u",
                                         "#define CO_COB_CNT\t6u"}
                          << QStringList();
    QTest::addRow("network routing")
        << QStringList{"0:1000:1", "0:1F2C:3"} << QVariantMap{{"sdo_routing", "1"}}
        << QStringList{"#define CO_SDO_NETWORKING\t1u", "#define CO_NETWORK_ROUTING_COUNTS\t2u",
                       "#define CO_NETWORK_ROUTING_CNT\t2u"}
        << QStringList();
    QTest::addRow("boot-up and configuration manager")
        << QStringList{"0:1000:1", "0:1F81:4", "0:1F22:2"} << QVariantMap{{"bootup_manager", "1"}}
        << QStringList{"#define CO_BOOTUP_MANAGER\t1u", "#define CO_SLAVE_ASSIGNMENT_CNT\t3u",
                       "#define CO_GUARDING_CNT CO_SLAVE_ASSIGNMENT_CNT",
                       "#define CO_ASSIGN_COUNTS\t3u", "#define CO_CFG_MANAGER\t1u"}
        << QStringList();
    QTest::addRow("COBs of a typical slave")
        << QStringList{"0:1000:1", "0:1014:1", "0:1200:3", "0:1400:3", "0:1600:2",
                       "0:1800:3", "0:1A00:2", "0:1005:1", "0:1016:3", "0:1012:1"}
        << QVariantMap()
        << QStringList{"#define CO_COB_CNT\t12u", "#define CO_COB_COUNTS\t12u",
                       "#define CO_SYNC_SUPPORTED\t1u", "#define CO_TIME_SUPPORTED\t1u"}
        << QStringList();
    QTest::addRow("two CANopen lines")
        << QStringList{"0:1000:1", "0:1400:3", "0:1401:3", "1:1000:1",
                       "1:1400:3", "1:1401:3", "1:1402:3", "1:1014:1"}
        << QVariantMap()
        << QStringList{"#define CO_MULTI_LINE\t1u",
                       "#define CO_MULTI_LINE_CNT\t2u",
                       "#define CO_OBJECTS_LINE_0_CNT\t3u",
                       "#define CO_OBJECTS_LINE_1_CNT\t5u",
                       "#define CO_OBJECT_COUNTS\t3u, 5u",
                       "#define CO_RXPDO_COUNTS\t2u, 3u",
                       "#define CO_SSDO_COUNTS\t1u, 1u",
                       "#define CO_COB_COUNTS\t4u, 5u",
                       "#define CO_COB_CNT\t9u",
                       "#define CO_SDO_SERVER_CNT\t1u",
                       "#define CO_NODE_ID_FUNCTIONS NULL, NULL"}
        << QStringList();
    QTest::addRow("COBs with one heartbeat buffer and additional COBs")
        << QStringList{"0:1000:1", "0:1016:4"}
        << QVariantMap{{"only_one_hb_buffer", "1"},
                       {"additional_cob_count", "3"},
                       {"lss_supported", "1"},
                       {"idnego_supported", "1"}}
        << QStringList{"#define CO_COB_CNT\t14u", "#define CO_IDNEGO_SUPPORTED\t1u"}
        << QStringList();
}

void TestCoDefineGenerator::fixedLines_data()
{
    QTest::addColumn<QStringList>("objects");
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    addIdentityAndListRows();
    addServiceRows();
    addOptionRows();
    addCountRows();
}

void TestCoDefineGenerator::fixedLines()
{
    QFETCH(QStringList, objects);
    QFETCH(QVariantMap, settings);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    Project project;
    project.build.objects(objects);
    project.build.settings(settings);
    const QStringList output = lines(project.generate());
    for (const QString &line : present)
        QVERIFY2(output.contains(line), qPrintable(QStringLiteral("missing: ") + line));
    for (const QString &line : absent) {
        const bool found = std::any_of(output.cbegin(), output.cend(),
                                       [&line](const QString &l) { return l.startsWith(line); });
        QVERIFY2(!found, qPrintable(QStringLiteral("unexpected: ") + line));
    }
    QVERIFY(output.filter(QStringLiteral("#define CO_MULTI_LINE\t")).size() <= 1);
}

void TestCoDefineGenerator::bufferCounts_data()
{
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<QString>("receiveCounts");
    QTest::addColumn<QString>("receiveTotal");
    QTest::addColumn<QString>("transmitTotal");

    QTest::addRow("suffixes and hexadecimal")
        << QVariantMap{{"receivebuffersize", "0x10u, 2u"}, {"transmitbuffersize", "3u, 3u, 3u"}}
        << "0x10u, 2u"
        << "18"
        << "9";
    QTest::addRow("single value with suffix") << QVariantMap{{"transmitbuffersize", "8u"}} << "10"
                                              << "10"
                                              << "8";
}

void TestCoDefineGenerator::bufferCounts()
{
    QFETCH(QVariantMap, settings);
    QFETCH(QString, receiveCounts);
    QFETCH(QString, receiveTotal);
    QFETCH(QString, transmitTotal);

    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    project.build.settings(settings);
    const QStringList output = lines(project.generate());
    QVERIFY(output.contains(QStringLiteral("#define CO_REC_BUFFER_COUNTS\t") + receiveCounts));
    QVERIFY(
        output.contains(QStringLiteral("#define CO_CONFIG_REC_BUFFER_CNT\t%1u").arg(receiveTotal)));
    QVERIFY(output.contains(
        QStringLiteral("#define CO_CONFIG_TRANS_BUFFER_CNT\t%1u").arg(transmitTotal)));
}

void TestCoDefineGenerator::toolVersion_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("define");

    QTest::addRow("two-digit parts") << "12.0.30.7"
                                     << "#define GEN_TOOL_VERSION\t0x120030ul";
    QTest::addRow("missing part") << "4.2"
                                  << "#define GEN_TOOL_VERSION\t0x040200ul";
}

void TestCoDefineGenerator::toolVersion()
{
    QFETCH(QString, version);
    QFETCH(QString, define);

    QCoreApplication::setApplicationVersion(version);
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    const QStringList output = lines(project.generate());
    QVERIFY2(output.contains(define), qPrintable(output.filter("GEN_TOOL_VERSION").join('\n')));
    QVERIFY(output.contains(QStringLiteral(" * Stack definitions for demo - generated by "
                                           "CANopen Nodewright ")
                            + version));
}

void TestCoDefineGenerator::forcedMultiLine()
{
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    const QStringList output = lines(project.generate([](CoDefineGenerator &generator) {
        Preferences preferences;
        preferences.alwaysMultiLine = true;
        generator.setPreferences(preferences);
    }));
    QVERIFY(output.contains(QStringLiteral("#define CO_MULTI_LINE\t1u")));
    QVERIFY(output.contains(QStringLiteral("#define CO_MULTI_LINE_CNT\t1u")));
    QVERIFY(output.contains(QStringLiteral("#define CO_OBJECT_COUNTS\t1u")));
}

void TestCoDefineGenerator::userSectionOfExistingFile_data()
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

void TestCoDefineGenerator::userSectionOfExistingFile()
{
    QFETCH(QByteArray, existing);
    QFETCH(QString, reported);
    QFETCH(QString, section);

    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    if (!existing.isNull()) {
        QFile file(project.path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(existing);
    }
    QString read = QStringLiteral("<not run>");
    const QString text =
        project.generate(nullptr, [&read](CoDefineGenerator &g) { read = g.getUserSection(); });
    QCOMPARE(read, reported);
    QCOMPARE(userSectionOf(text), section);
    QVERIFY(
        text.endsWith(QLatin1String(userEnd) + QStringLiteral("\n#endif /* GEN_DEFINE_H */\n")));
}

void TestCoDefineGenerator::generationCounter()
{
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
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
        QVERIFY2(
            lines(project.generate())
                .contains(QStringLiteral("#define GEN_GENERATION_COUNT\t%1ul").arg(file.second)),
            file.first.constData());
    }
}

void TestCoDefineGenerator::generationCounterFromProject()
{
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    project.build.settings({{"cbw_generation_count", "41"}, {"generate_generation_counter", "1"}});
    const auto fromProject = [](CoDefineGenerator &g) {
        QCOMPARE(g.setCounterFromProject(true), 0u);
    };
    for (int run = 0; run < 2; ++run) {
        QVERIFY(lines(project.generate(fromProject))
                    .contains(QStringLiteral("#define GEN_GENERATION_COUNT\t41ul")));
    }
    project.build.settings({{"cbw_generation_count", "0"}, {"generate_generation_counter", "0"}});
    QVERIFY(!project.generate(fromProject).contains(QLatin1String("GEN_GENERATION_COUNT")));
}

void TestCoDefineGenerator::progressAndMissingFolder()
{
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
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

    CoDefineGenerator lost;
    lost.setDataBase(&project.db);
    QCOMPARE(lost.setOutputDirectory(project.dir.path() + QStringLiteral("/missing")), 1u);
    QSignalSpy lostSpy(&lost, &AbstractGenerator::progress);
    lost.startGeneration();
    lost.wait();
    QCOMPARE(lostSpy.size(), 1);
    QCOMPARE(lostSpy.first().first().toInt(), 100);
    QVERIFY(!QFile::exists(project.dir.path() + QStringLiteral("/missing/gen_define.h")));
}

void TestCoDefineGenerator::editions()
{
    QCoreApplication::setApplicationName(QStringLiteral("EnergyBus Packwright"));
    Project project;
    project.build.objects({QStringLiteral("0:1000:1")});
    const QMap<QString, QString> energyBus{{"device_cnt", "4"},
                                           {"device_1", "1 EnergyBus Controller"},
                                           {"device_2", "2 Battery"},
                                           {"device_3", "3 Battery"},
                                           {"device_4", "4 Security Device/Extension"},
                                           {"sec_4_kind", "Extension"},
                                           {"int_offset_bat", "4"},
                                           {"ebc_max_bat_number", "2"},
                                           {"ext_start_pos_bat", "10"},
                                           {"ebc_max_dev_number", "6"},
                                           {"ebc_tool_supported", "1"}};
    for (auto it = energyBus.cbegin(); it != energyBus.cend(); ++it)
        project.db.setEnergyBusSettingsValue(it.key(), it.value());
    const QStringList output = lines(project.generate());
    for (const char *line :
         {"#define GEN_TOOL_NAME\tENERGYBUS_PACKWRIGHT", "#define EB_VIRTUAL_DEV_CNT\t3u",
          "#define EB_EBC_CNT\t1u", "#define EB_BATTERY_CNT\t2u",
          "#define EB_LOCAL_BATTERY_SUBIDX_OFFS\t4u", "#define EB_SECURITY_CNT\t1u",
          "#define EB_NETWORK_VIRTUAL_DEV_CNT\t6u", "#define EB_NETWORK_BATTERY_CNT\t2u",
          "#define EB_NETWORK_MCU_CNT\t0u", "#define EB_NETWORK_PC_TOOL_CNT\t1u",
          "#define EB_NETWORK_SECURITY_CNT\t1u", "#define EB_NETWORK_BATTERY_SUBIDX_OFFS\t10u"})
        QVERIFY2(output.contains(QLatin1String(line)), line);
    QVERIFY(output.filter(QStringLiteral("EB_NETWORK_MCU_SUBIDX_OFFS")).isEmpty());

    // The CAN edition writes the CANopen services only for CANopen lines.
    QCoreApplication::setApplicationName(QStringLiteral("CAN Nodewright"));
    project.build.line(0, 4);
    const QString canOnly =
        project.generate([](CoDefineGenerator &g) { g.setMultiProtocol(true); });
    QVERIFY(!canOnly.contains(QLatin1String("/* Line Settings */")));
    QVERIFY(
        canOnly.contains(QLatin1String("\n/* CAN RAW Defines */\n#define CANRAW_SUPPORTED\t1u\n")));
    QVERIFY(!canOnly.contains(QLatin1String("EB_VIRTUAL_DEV_CNT")));
}

void TestCoDefineGenerator::protocolForms_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::addRow("J1939 only")
        << "J1939 only"
        << QStringList{"#define J1939_SUPPORTED\t1u", "#define J1939_RECEIVE_PGN_CNT\t1u",
                       "#define J1939_TRANSMIT_PGN_CNT\t2u",
                       "#define J1939_REC_PGN_INDICATION_CNT\t3u",
                       "#define J1939_REQ_PGN_INDICATION_CNT\t2u",
                       "#define J1939_BAM_SUPPORTED\t1u", "#define J1939_CMDT_SUPPORTED\t1u",
                       "#define J1939_CMDT_MAX_PACKETS\t16u",
                       "#define J1939_DIAGNOSTIC_SUPPORTED\t1u",
                       "#define J1939_DIAG_REC_BUF_SIZE\t20u",
                       "#define J1939_DIAG_TR_BUF_SIZE\t30u",
                       "#define J1939_DIAGNOSTIC_DM2_SUPPORTED\t1u",
                       "#define J1939_DIAGNOSTIC_DM13_SUPPORTED\t1u",
                       "#define J1939_REQUEST_SUPPORTED\t1u", "#define ISOTP_SUPPORTED\t1u",
                       "#define ISOTP_CONNECTION_CNT\t2u",
                       // 4 + DM13, 2 transmit + 1 - address claim, 1 receive + 1, request, BAM
                       "#define CO_COB_CNT \t16u", "#define CO_COB_COUNTS\tCO_COB_CNT",
                       "#define CO_REC_BUFFER_CNT\t10", "#define CO_TR_BUFFER_CNT\t5",
                       "#define CO_REC_BUFFER_COUNTS\t10", "#define CO_TR_BUFFER_COUNTS\t5",
                       "#define CO_CONFIG_REC_BUFFER_CNT\t10u",
                       "#define J1939_TIMER_INTERVAL\tCO_TIMER_INTERVAL"}
        << QStringList{"/* Line Settings */",
                       "#define ISOTP_CONNECTION_CNT\t5u",
                       "/* Definition of numbers of CANopen services */",
                       "/* COB Definitions */",
                       "#define CO_MULTI_LINE",
                       "#define J1939_RECEIVE_PGN_COUNTS",
                       "#define CO_VIRTUAL",
                       "/* Definition of number of call-back functions"};
    QTest::addRow("two J1939 lines")
        << "two J1939 lines"
        << QStringList{"#define CO_MULTI_LINE\t1u", "#define CO_MULTI_LINE_CNT\t2u",
                       "#define J1939_RECEIVE_PGN_CNT\t2u", "#define J1939_TRANSMIT_PGN_CNT\t2u",
                       "#define J1939_RECEIVE_PGN_COUNTS\t0u, 2u",
                       "#define J1939_TRANSMIT_PGN_COUNTS\t1u, 1u",
                       // line 0: 3 + 2 + 1 additional; line 1: 3 + 2 - 1 + 3 + 2 additional
                       "#define CO_COB_COUNTS\t6u, 9u", "#define CO_COB_CNT \t15u"}
        << QStringList{"#define CANOPEN_SUPPORTED"};
    QTest::addRow("NMEA 2000") << "NMEA 2000"
                               << QStringList{"#define J1939_NMEA2000_SUPPORTED\t1u",
                                              "#define J1939_NMEA_GROUP_INDICATION_CNT\t1u",
                                              "#define CO_COB_CNT \t2u"}
                               << QStringList();
    QTest::addRow("CANopen and J1939")
        << "CANopen and J1939"
        << QStringList{"#define CO_MULTI_LINE\t1u",
                       "#define CANOPEN_SUPPORTED\t1u",
                       "#define CO_RXPDO_COUNTS\t1u, 0u",
                       "#define J1939_SUPPORTED\t1u",
                       "#define J1939_RECEIVE_PGN_COUNTS\t0u, 2u",
                       "#define J1939_TRANSMIT_PGN_COUNTS\t0u, 1u",
                       "#define J1939_TIMER_INTERVAL\tCO_TIMER_INTERVAL",
                       "/* COB Definitions */",
                       "#define CO_COB_COUNTS 4u, 8u",
                       "#define CO_COB_CNT \t12"}
        << QStringList{"#define CO_COB_COUNTS\t", "/* number of used COB objects */",
                       "#define CO_REC_BUFFER_CNT\t", "#define CO_VIRTUAL_INDEX_CNT"};
    QTest::addRow("CANopen and raw CAN")
        << "CANopen and raw CAN"
        << QStringList{"/* CAN RAW Defines */",
                       "#define CANRAW_SUPPORTED\t1u",
                       "#define CANRAW_RECEIVE_CNT\t2u",
                       "#define CANRAW_TRANSMIT_CNT\t1u",
                       "#define CANRAW_CHANGED_INDICATION_CNT\t2u",
                       "#define CO_COB_COUNTS 4u, 3u",
                       "#define CO_COB_CNT \t7"}
        << QStringList{"#define CANRAW_RECEIVE_COUNTS", "#define CANRAW_REC_INDICATION_CNT",
                       "#define CO_COB_CNT\t"};
}

void TestCoDefineGenerator::protocolForms()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    Project project;
    const QPair<bool, bool> flags = buildProtocolFixture(project, fixture);
    const QString text = project.generate([&flags](CoDefineGenerator &g) {
        g.setJ1939Present(flags.first);
        g.setMultiProtocol(flags.second);
    });
    const QStringList output = lines(text);
    for (const QString &line : present)
        QVERIFY2(output.contains(line),
                 qPrintable(QStringLiteral("missing: ") + line + "\n" + text));
    for (const QString &line : absent) {
        const bool found = std::any_of(output.cbegin(), output.cend(),
                                       [&line](const QString &l) { return l.startsWith(line); });
        QVERIFY2(!found, qPrintable(QStringLiteral("unexpected: ") + line));
    }
    QCOMPARE(output.filter(QStringLiteral("#define CO_MULTI_LINE\t")).size(),
             output.contains(QStringLiteral("#define CO_MULTI_LINE\t1u")) ? 1 : 0);
}

void TestCoDefineGenerator::golden()
{
    Project project;
    project.build.objects({"0:1000:1 values=0x00000191", "0:1001:1", "0:1005:1 values=0x80",
                           "0:1014:1 values=0x80", "0:1016:3", "0:1017:1", "0:1018:5", "0:1200:3",
                           "0:1400:3", "0:1401:3", "0:1600:3 access0=rw", "0:1601:2", "0:1800:6",
                           "0:1A00:5 values=4 access0=rw", "0:2000:4 type=0x1B",
                           "0:2100:3 impl=3 type=6"});
    project.build.settings({{"co_node_id", "32"},
                            {"receivebuffersize", "10, 4"},
                            {"event_nmt", "1"},
                            {"fct_sdo_server_write", "appWrite"},
                            {"co_timer_interval", "1000"},
                            {"user_defines", "#define APP_BOARD 2"},
                            {"generate_generation_counter", "1"}});
    const QString difference = gentest::goldenDiff(
        QStringLiteral(NW_TEST_DATA_DIR "/generators/gen_define_golden.h"), project.generate());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestCoDefineGenerator::compiles_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addRow("single line") << "single";
    QTest::addRow("two lines") << "multi";
    QTest::addRow("rich options") << "rich";
    QTest::addRow("all targets") << "targets";
    for (const char *fixture :
         {"J1939 only", "two J1939 lines", "NMEA 2000", "CANopen and J1939", "CANopen and raw CAN"})
        QTest::addRow("%s", fixture) << fixture;
}

void TestCoDefineGenerator::compiles()
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
        QString::fromLatin1(usesOfDefines));
    QVERIFY2(compiled, qPrintable(diagnostics + QStringLiteral("\n") + project.text()));
}

NW_TEST_MAIN(TestCoDefineGenerator)
#include "tst_codefinegenerator.moc"
