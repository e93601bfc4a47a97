// The table of the stack settings: every general setting the configuration header, the
// object dictionary source and the other stack files are generated from, and that the
// model check reads, in the order of the rows of the settings page.
#include "panelkit/stacksettings.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

using Section = StackSetting::Section;
using Format = StackSetting::Format;

const qint64 u8Max = 0xFF;
const qint64 u16Max = 0xFFFF;
const qint64 u32Max = 0xFFFFFFFFLL;

// Builds one entry of the table; the setters return the row for chaining.
class Row
{
public:
    Row(const char *key, Format format, const char *label)
        : s{key, Section::Common, format,  label,   "", "", 0,
            0,   nullptr,         nullptr, nullptr, -1, 0,  nullptr}
    {
        if (format == Format::Flag || format == Format::RolePerLine)
            s.maximum = 1;
    }
    Row &range(qint64 minimum, qint64 maximum)
    {
        s.minimum = minimum;
        s.maximum = maximum;
        return *this;
    }
    // Shown on the empty page; the generators take absent when the key is missing.
    Row &shows(const char *shown, const char *absent = "")
    {
        s.defaultText = shown;
        s.absentText = absent;
        return *this;
    }
    Row &tip(const char *toolTip)
    {
        s.toolTip = toolTip;
        return *this;
    }
    Row &choices(const char *choices)
    {
        s.choices = choices;
        s.maximum = QByteArray(choices).count('|');
        return *this;
    }
    Row &column(int column)
    {
        s.choices = column == 0 ? "0" : "1";
        return *this;
    }
    Row &enabledBy(const char *key, int value = -1)
    {
        s.enabledBy = key;
        s.enabledValue = value;
        return *this;
    }
    Row &flags(unsigned flags)
    {
        s.flags |= flags;
        return *this;
    }
    // Every target keeps its own copy under targetKey ("targetsettings_%1_timer").
    Row &perTarget(const char *targetKey)
    {
        s.flags |= StackSetting::PerTarget;
        s.targetKey = targetKey;
        return *this;
    }
    StackSetting in(Section section) const
    {
        StackSetting entry = s;
        entry.section = section;
        return entry;
    }

private:
    StackSetting s;
};

#define LABEL(text) QT_TRANSLATE_NOOP("StackSettings", text)

QList<StackSetting> commonRows()
{
    const Section in = Section::Common;
    return {
        Row("nmtmaster", Format::Choice, LABEL("CANopen NMT functionality"))
            .choices(LABEL("NMT Slave|NMT Master|NMT Master or Slave"))
            .tip(LABEL("The NMT role of the device. 'NMT Master or Slave' decides it per line "
                       "with the M/S settings."))
            .in(in),
        Row("applicationheader", Format::HeaderFiles, LABEL("application header file(s) "))
            .tip(LABEL("Header files of the application that the generated sources include, "
                       "separated by blanks (for example app.h io.h)."))
            .in(in),
        Row("co_node_id", Format::NodeIdPerLine, LABEL("CANopen Default Node-ID"))
            .shows("16")
            .flags(StackSetting::NetworkTool)
            .tip(LABEL("1 to 127, or 255 when the node-ID is assigned by LSS. A device with "
                       "several lines needs one node-ID per line, separated by commas "
                       "(for example 32,33)."))
            .in(in),
        Row("co_node_id_fct", Format::IdentifierPerLine, LABEL("CANopen Node-ID function"))
            .tip(LABEL("Name of the application function that returns the node-ID at start-up, "
                       "without parentheses; one per line, separated by commas, in a device "
                       "with several lines."))
            .in(in),
        Row("co_ml_ms", Format::RolePerLine, LABEL("CANopen M/S settings (multi-line only)"))
            .enabledBy("nmtmaster", 2)
            .tip(LABEL("With 'NMT Master or Slave': the role of each line, 1 master or 0 slave, "
                       "separated by commas (for example 1,0)."))
            .in(in),
        Row("overwrite_predef", Format::Flag, LABEL("Overwrite pre-defined connection set"))
            .tip(LABEL("Generates userOverwriteCobIdSettings(), which sets the COB-IDs of the "
                       "communication objects from their default values instead of the "
                       "pre-defined connection set."))
            .in(in),
        Row("canfd_supported", Format::Flag, LABEL("CAN FD supported"))
            .tip(LABEL("The device communicates with CAN FD frames and USDO; enables the USDO "
                       "settings."))
            .in(in),
        Row("line%1type", Format::Count, LABEL("Lines (set with the line selector)"))
            .range(1, 5)
            .tip(LABEL("The lines of the project and their protocols. Add, remove and retype "
                       "lines with the line selector of the window."))
            .in(Section::Lines),
        Row("co_network_id", Format::Number, LABEL("CANopen Network-ID"))
            .range(1, 127)
            .flags(StackSetting::NetworkTool)
            .tip(LABEL("Number of the network the device belongs to (1 to 127) when a network "
                       "of several CANopen networks is configured with CANopen Buswright; "
                       "empty otherwise."))
            .in(in),
        Row("cbw_generation_count", Format::Number,
            LABEL("Generation counter of CANopen Buswright"))
            .range(0, u32Max)
            .flags(StackSetting::NetworkTool)
            .tip(LABEL("Generation counter that gen_define.h carries when the files are "
                       "generated under the control of CANopen Buswright."))
            .in(in),
    };
}

QList<StackSetting> queueRows()
{
    const Section in = Section::Queue;
    return {
        Row("receivebuffersize", Format::NumberPerLine, LABEL("CAN receive buffer size"))
            .range(1, u16Max)
            .shows("5", "10")
            .flags(StackSetting::Required)
            .tip(LABEL("Entries of the CAN receive buffer; one number per line, separated by "
                       "commas, in a device with several lines (for example 10,5)."))
            .in(in),
        Row("transmitbuffersize", Format::NumberPerLine, LABEL("CAN transmit buffer size"))
            .range(1, u16Max)
            .shows("5", "5")
            .flags(StackSetting::Required)
            .tip(LABEL("Entries of the CAN transmit buffer; one number per line, separated by "
                       "commas, in a device with several lines (for example 10,5)."))
            .in(in),
        Row("additional_cob_count", Format::NumberPerLine, LABEL("Additional COB objects"))
            .range(0, u16Max)
            .shows("0")
            .tip(LABEL("CAN objects the application registers itself, beyond those of the "
                       "object dictionary; one number, or one per line separated by commas."))
            .in(in),
        Row("user_tx_cob", Format::Count, LABEL("Additional user transmit messages"))
            .range(0, u16Max)
            .shows("0")
            .tip(LABEL("CAN messages the application sends through the stack's user extension."))
            .in(in),
        Row("user_rx_cob", Format::Count, LABEL("Additional user receive messages"))
            .range(0, u16Max)
            .shows("0")
            .tip(LABEL("CAN messages the application receives through the stack's user "
                       "extension."))
            .in(in),
        Row("sorted_coblist", Format::Flag, LABEL("Sorted COB List"))
            .shows("0")
            .tip(LABEL("Keeps the CAN objects sorted by identifier, so received messages are "
                       "found faster."))
            .in(in),
        Row("only_one_hb_buffer", Format::Flag, LABEL("Only one COB for HB Consumer"))
            .tip(LABEL("All heartbeat consumers share one CAN object instead of one each."))
            .in(in),
    };
}

// The optional services: LSS, sleep mode and the SDO services (rows 0 to 13).
QList<StackSetting> sdoServiceRows()
{
    const Section in = Section::Optional;
    return {
        Row("lss_supported", Format::Flag, LABEL("LSS (Layer Setting Services) supported"))
            .tip(LABEL("LSS slave services; with the NMT master role the LSS master services."))
            .in(in),
        Row("lss_inquiry_supported", Format::Flag,
            LABEL("LSS (Layer Setting Services) Inquiry services supported"))
            .enabledBy("lss_supported")
            .tip(LABEL("The LSS inquire services (identity, node-ID)."))
            .in(in),
        Row("sleep_mode_selection", Format::Choice, LABEL("Sleep Mode Support"))
            .shows("0")
            .choices(LABEL("No sleep mode|Sleep mode (CiA 447)|Sleep mode (CiA 454)"))
            .tip(LABEL("Sleep and wake-up handling of the device profile."))
            .in(in),
        Row("sleep_wait_time", Format::Count, LABEL("Sleep Mode Waiting Time (ms)"))
            .range(0, u16Max)
            .shows("500")
            .enabledBy("sleep_mode_selection")
            .tip(LABEL("Milliseconds the device waits before it goes to sleep."))
            .in(in),
        Row("sdo_blocktransfer_supported", Format::Flag, LABEL("SDO Block Transfer supported"))
            .tip(LABEL("SDO block upload and download."))
            .in(in),
        Row("sdo_blocktransfer_block_size", Format::Count, LABEL("SDO Block Transfer Block Size"))
            .range(1, 127)
            .shows("20")
            .flags(StackSetting::Required)
            .enabledBy("sdo_blocktransfer_supported")
            .tip(LABEL("Segments per block, 1 to 127."))
            .in(in),
        Row("sdo_blocktransfer_min_data", Format::Count,
            LABEL("SDO Block Transfer use for data  of [n] bytes or larger"))
            .range(0, u32Max)
            .shows("60")
            .flags(StackSetting::Required)
            .enabledBy("sdo_blocktransfer_supported")
            .tip(LABEL("Smaller data is transferred with segmented SDO."))
            .in(in),
        Row("sdo_blocktransfer_crc_supported", Format::Flag,
            LABEL("SDO Block Transfer CRC Support"))
            .enabledBy("sdo_blocktransfer_supported")
            .tip(LABEL("Block transfers are protected by a CRC."))
            .in(in),
        Row("sdo_client_queue_supported", Format::Flag, LABEL("SDO Client Queue Support"))
            .tip(LABEL("SDO client requests are queued and sent one after the other."))
            .in(in),
        Row("sdo_client_queue_size", Format::Count, LABEL("SDO Client Queue Length"))
            .range(1, u16Max)
            .flags(StackSetting::Required)
            .enabledBy("sdo_client_queue_supported")
            .tip(LABEL("Requests the SDO client queue holds."))
            .in(in),
        Row("sdo_client_queue_internal_access_supported", Format::Flag,
            LABEL("SDO Client Queue internal access supported"))
            .enabledBy("sdo_client_queue_supported")
            .tip(LABEL("The queue also reaches the device's own object dictionary."))
            .in(in),
        Row("limit_check", Format::Flag, LABEL("SDO Limit Check (at SDO Server write access)"))
            .shows("0")
            .tip(LABEL("Values written by SDO are checked against the limits of the object; the "
                       "limits are then generated into the object descriptions."))
            .in(in),
        Row("event_ssdo_domain_counter", Format::Count,
            LABEL("SDO Domain Indication Size (at SDO server read/write access)"))
            .range(0, u32Max)
            .tip(LABEL("Bytes after which a domain transfer of the SDO server calls the domain "
                       "indication; empty or 0 only at the end of the transfer."))
            .in(in),
        Row("csdo_write_special", Format::Flag,
            LABEL("SDO Client Domain Write with special callback for partial data provision"))
            .tip(LABEL("The application provides the data of an SDO client domain write in "
                       "parts through a callback."))
            .in(in),
    };
}

// The optional services after the SDO services: routing, managers, SRDO and others.
QList<StackSetting> networkServiceRows()
{
    const Section in = Section::Optional;
    return {
        Row("emcy_routing", Format::Flag, LABEL("Routing for Emergency supported (CiA 302-7)"))
            .tip(LABEL("Emergency messages are routed between networks."))
            .in(in),
        Row("sdo_routing", Format::Flag, LABEL("Routing for SDO supported (CiA 302-7)"))
            .tip(LABEL("SDO requests are routed between networks."))
            .in(in),
        Row("bootup_manager", Format::Flag, LABEL("NMT Bootup Manager supported (CiA 302-2)"))
            .enabledBy("nmtmaster")
            .tip(LABEL("The master boots the slaves of its slave assignment (0x1F81)."))
            .in(in),
        Row("config_manager", Format::Flag, LABEL("Configuration Manager supported (CiA 302-2)"))
            .enabledBy("nmtmaster")
            .tip(LABEL("The master configures its slaves from concise DCF data."))
            .in(in),
        Row("sdo_split", Format::Flag, LABEL("SDO Split Indication supported"))
            .tip(LABEL("Large SDO server transfers are passed to the application in parts."))
            .in(in),
        Row("srdo_loop_counter", Format::NumberOrMacro, LABEL("SRDO Loop Counter"))
            .range(1, u16Max)
            .shows("10", "10")
            .tip(LABEL("Timer interrupts until the main loop has to call coSrdoProcess(); a "
                       "number or a macro of the application."))
            .in(in),
        Row("co_srdo_interval", Format::NumberOrMacro, LABEL("SRDO Timer Interval in µs"))
            .range(1, u32Max)
            .tip(LABEL("Interval of the SRDO timer; a number, a macro of the application, or "
                       "empty for the stack's default."))
            .in(in),
        Row("dynod", Format::Flag, LABEL("Dynamic Object Dictionary supported"))
            .tip(LABEL("Objects can be added to the object dictionary at run time."))
            .in(in),
        Row("bitwise_mapping", Format::Flag, LABEL("Bitwise PDO Mapping"))
            .tip(LABEL("PDO mapping entries may be shorter than a byte."))
            .in(in),
        Row("isotp_connection_cnt", Format::Count, LABEL("ISO-TP Connection Count"))
            .range(0, u8Max)
            .tip(LABEL("Connections of the ISO-TP transport protocol; 0 or empty without it."))
            .in(in),
        Row("idnego_supported", Format::Flag, LABEL("ID Negotiation supported"))
            .tip(LABEL("The device negotiates its node-ID on the network."))
            .in(in),
    };
}

// One row of the indications table: the number of functions that may be registered at run
// time (column 0) and the name of a function linked statically (column 1).
Row count(const char *key, const char *event)
{
    return Row(key, Format::Count, event)
        .range(0, u8Max)
        .column(0)
        .enabledBy("enable_dynamic")
        .tip(LABEL("Number of functions the application may register at run time for this "
                   "event."));
}

Row function(const char *key, const char *event)
{
    return Row(key, Format::Identifier, event)
        .column(1)
        .tip(LABEL("Name of an application function the stack calls for this event; its "
                   "prototype is written into gen_indication.h."));
}

QList<StackSetting> indicationRows()
{
    const Section in = Section::Indications;
    return {
        count("event_can", LABEL("CAN Event")).in(in),
        function("fct_can", LABEL("CAN Event")).in(in),
        function("fct_comm", LABEL("Communication Event")).in(in),
        count("event_sdo_server_read", LABEL("SDO Server Read")).in(in),
        function("fct_sdo_server_read", LABEL("SDO Server Read")).in(in),
        count("event_sdo_server_write", LABEL("SDO Server Write ")).in(in),
        function("fct_sdo_server_write", LABEL("SDO Server Write ")).in(in),
        count("event_sdo_server_check_write", LABEL("SDO Server Check Write")).in(in),
        function("fct_sdo_server_check_write", LABEL("SDO Server Check Write")).in(in),
        count("event_ssdo_domain_write", LABEL("SDO Server Domain Write")).in(in),
        count("event_ssdo_domain_read", LABEL("SDO Server Domain Read")).in(in),
        count("event_sdo_client_read", LABEL("SDO Client Read ")).in(in),
        function("fct_sdo_client_read", LABEL("SDO Client Read ")).in(in),
        count("event_sdo_client_write", LABEL("SDO Client Write")).in(in),
        function("fct_sdo_client_write", LABEL("SDO Client Write")).in(in),
        count("event_sdorouter", LABEL("SDO Network Client Event")).in(in),
        count("event_srd", LABEL("SDO Requesting Device (SRD) event")).in(in),
        function("fct_srd", LABEL("SDO Requesting Device (SRD) event")).in(in),
        count("event_pdo", LABEL("PDO Event")).in(in),
        function("fct_pdo", LABEL("PDO Event (asynchronous)")).in(in),
        function("fct_pdo_sync", LABEL("PDO Event (synchronous)")).in(in),
        function("fct_pdo_receive", LABEL("PDO RPDO Timeout Event")).in(in),
        count("event_pdo_update", LABEL("PDO Update Event")).in(in),
        count("event_mpdo", LABEL("MPDO Event")).in(in),
        function("fct_mpdo", LABEL("MPDO Event")).in(in),
        count("event_nmt", LABEL("NMT Event")).in(in),
        function("fct_nmt", LABEL("NMT Event")).in(in),
        count("event_errctrl", LABEL("NMT Error Control Event")).in(in),
        function("fct_errctrl", LABEL("NMT Error Control Event")).in(in),
        count("event_store", LABEL("Store/Restore/LOAD Event")).in(in),
        function("fct_store", LABEL("Store/Restore/LOAD Event")).in(in),
        count("event_gfc", LABEL("GFC Event")).in(in),
        count("event_sync", LABEL("SYNC Event")).in(in),
        function("fct_sync", LABEL("SYNC Event")).in(in),
        count("event_sync_finished", LABEL("SYNC Event finished")).in(in),
        function("fct_sync_finished", LABEL("SYNC Event finished")).in(in),
        count("event_led", LABEL("LED Red Event")).in(in),
        function("fct_led_red", LABEL("LED Red Event")).in(in),
        count("event_led", LABEL("LED Green Event")).flags(StackSetting::Mirror).in(in),
        function("fct_led_green", LABEL("LED Green Event")).in(in),
        count("event_emcy", LABEL("Emergency Producer Event")).in(in),
        function("fct_emcy", LABEL("Emergency Producer Event")).in(in),
        count("event_emcy_consumer", LABEL("Emergency Consumer Event")).in(in),
        function("fct_emcy_consumer", LABEL("Emergency Consumer Event")).in(in),
        count("event_time", LABEL("Time Stamp Consumer Event")).in(in),
        function("fct_time", LABEL("Time Stamp Consumer Event")).in(in),
        count("event_lss", LABEL("LSS Event")).in(in),
        function("fct_lss", LABEL("LSS Event")).in(in),
        count("event_manager", LABEL("NMT Bootup Manager Event")).enabledBy("nmtmaster").in(in),
        function("fct_manager", LABEL("NMT Bootup Manager Event")).enabledBy("nmtmaster").in(in),
        count("event_cfg", LABEL("Configuration Manager Event")).enabledBy("nmtmaster").in(in),
        function("fct_cfgman", LABEL("Configuration Manager Event")).enabledBy("nmtmaster").in(in),
        count("event_flyma", LABEL("Flying Master Event")).enabledBy("nmtmaster").in(in),
        function("fct_flyma", LABEL("Flying Master Event")).enabledBy("nmtmaster").in(in),
        count("object_changed_event", LABEL("Object Changed Event")).in(in),
        count("isotp_server_event", LABEL("ISO-TP Server Event")).in(in),
        count("isotp_client_event", LABEL("ISO-TP Client Event")).in(in),
        count("event_idnego", LABEL("ID Negotiation Event")).in(in),
        count("event_finished", LABEL("Finished Event")).in(in),
        function("fct_finished", LABEL("Finished Event")).in(in),
        function("fct_lss_master", LABEL("LSS Master Event")).enabledBy("nmtmaster").in(in),
        count("rxindication_cnt", LABEL("CAN RAW Receive Event")).in(in),
        count("txindication_cnt", LABEL("CAN RAW Transmit Event")).in(in),
        count("changedindication_cnt", LABEL("CAN RAW Changed Event")).in(in),
    };
}

QList<StackSetting> generationRows()
{
    const Section in = Section::Generation;
    return {
        Row("init_static_variables", Format::Flag, LABEL("Initialization of managed variables"))
            .tip(LABEL("The managed variables of gen_objdict.c are initialised with their "
                       "default values."))
            .in(in),
        Row("compact_array_description", Format::Flag,
            LABEL("Use compact array definitions if applicable"))
            .tip(LABEL("Compact array definition for sub-indices with the same structure: "
                       "saves flash memory, makes generation much slower."))
            .in(in),
        Row("generate_generation_counter", Format::Flag,
            LABEL("Generate generation counter in gen_define.h"))
            .tip(LABEL("gen_define.h counts the generations in GEN_GENERATION_COUNT."))
            .in(in),
        Row("static_memory_specifier", Format::Text,
            LABEL("Memory specifier after static variables in gen_objdict.c"))
            .tip(LABEL("Written after the declaration of each array of managed variables, for "
                       "example a section attribute of the compiler."))
            .in(in),
        Row("limit_check", Format::Flag, LABEL("Value limits in the object descriptions"))
            .flags(StackSetting::Mirror)
            .tip(LABEL("Follows 'SDO Limit Check': with it the limits of every object are "
                       "generated into its description."))
            .in(in),
    };
}

QList<StackSetting> hardwareRows()
{
    const Section in = Section::Hardware;
    return {
        Row("co_timer_interval", Format::NumberOrMacro, LABEL("Interval of CPU timer in µs"))
            .range(1, u32Max)
            .shows("10000")
            .flags(StackSetting::Required)
            .perTarget("targetsettings_%1_timer")
            .tip(LABEL("Interval of the timer that drives the stack; a number or a macro of "
                       "the application."))
            .in(in),
        Row("endian", Format::Choice, LABEL("Endianess (Byte-Order)"))
            .choices(LABEL("Little Endian|Big Endian"))
            .perTarget("targetsettings_%1_endianess")
            .tip(LABEL("Byte order of the target's CPU."))
            .in(in),
        Row("drv_filter", Format::Flag, LABEL("Enable CAN Filter (FullCAN)"))
            .perTarget("targetsettings_%1_fullcan")
            .tip(LABEL("The CAN driver sets up acceptance filters for the received "
                       "identifiers."))
            .in(in),
        Row("drv_group_filter", Format::Flag, LABEL("Enable CAN Group Filter"))
            .perTarget("targetsettings_%1_groupfilter")
            .tip(LABEL("The CAN driver filters received identifiers in groups."))
            .in(in),
        Row("target_id", Format::Identifier,
            LABEL("Target define  (only if multiple targets are used)"))
            .perTarget("targetsettings_%1_targetid")
            .tip(LABEL("Macro that selects this target's block in gen_define.h, unique among "
                       "the targets and without blanks (TARGET_<n> when empty)."))
            .in(in),
        Row("hw_defines", Format::Code, LABEL("Hardware defines"))
            .perTarget("targetsettings_%1_defines")
            .tip(LABEL("Lines written into the hardware settings of gen_define.h."))
            .in(in),
    };
}

QList<StackSetting> switchRows()
{
    const Section in = Section::Switches;
    return {
        Row("enable_dynamic", Format::Flag, LABEL("Dynamic indication functions"))
            .shows("1", "1")
            .tip(LABEL("The numbers of dynamic functions are generated; without it no "
                       "function can be registered at run time."))
            .in(in),
        Row("all_targets", Format::Flag, LABEL("Generate the settings of all targets"))
            .tip(LABEL("gen_define.h holds one block per target, each enclosed in #ifdef of "
                       "its target define. Without it, the first target's settings."))
            .in(in),
        Row("user_defines", Format::Code, LABEL("User defines"))
            .tip(LABEL("Lines written into the application-specific part of gen_define.h."))
            .in(in),
    };
}

QList<StackSetting> usdoRows()
{
    const Section in = Section::Usdo;
    const auto usdo = [in](const char *key, const char *label, qint64 maximum, const char *shown,
                           const char *tip) {
        return Row(key, Format::Count, label)
            .range(0, maximum)
            .shows(shown)
            .enabledBy("canfd_supported")
            .tip(tip)
            .in(in);
    };
    return {
        usdo("usdo_server_cnt", LABEL("Server - max. Connections (CO_USDO_SERVER_MAX_CON)"), 127,
             "1", LABEL("USDO connections the server serves at the same time.")),
        usdo("usdo_server_bulk_timeout",
             LABEL("Server - Bulk Timeout (CO_USDO_SERVER_BULK_TIMEOUT)"), u16Max, "100",
             LABEL("Timeout of a bulk transfer of the USDO server in ms.")),
        usdo("usdo_server_domain_write_ind_size", LABEL("Server - Domain Write Indication Size"),
             u32Max, "0", LABEL("Bytes after which a domain write calls the domain indication.")),
        usdo("usdo_server_ind_read_cnt", LABEL("Server - No. of dynamic Read Indications"), u8Max,
             "0", LABEL("Read indications the application may register at run time.")),
        usdo("usdo_server_ind_write_cnt", LABEL("Server - No. of dynamic Write  Indications"),
             u8Max, "0", LABEL("Write indications the application may register at run time.")),
        usdo("usdo_server_ind_check_write_cnt",
             LABEL("Server - No. of dynamic Write  Check Indications"), u8Max, "0",
             LABEL("Write check indications the application may register at run time.")),
        usdo("usdo_server_ind_domain_write_cnt",
             LABEL("Server - No. of dynamic Domain Write Indications"), u8Max, "0",
             LABEL("Domain write indications the application may register at run time.")),
        usdo("usdo_client_cnt", LABEL("Client - max. Connections (CO_USDO_CLIENT_MAX_CON)"), 127,
             "0", LABEL("USDO connections the client opens at the same time.")),
        usdo("usdo_client_ind_read_cnt", LABEL("Client - No. of dynamic Read Indications"), u8Max,
             "0", LABEL("Read indications the application may register at run time.")),
        usdo("usdo_client_ind_write_cnt", LABEL("Client - No. of dynamic Write  Indications"),
             u8Max, "0", LABEL("Write indications the application may register at run time.")),
    };
}

QList<StackSetting> targetRows()
{
    const Section in = Section::Targets;
    return {
        Row("targetsettings_cnt", Format::Count, LABEL("Number of targets")).range(0, 99).in(in),
        Row("targetsettings_active", Format::Number, LABEL("Active target")).range(-1, 98).in(in),
        Row("targetsettings_%1_name", Format::Name, LABEL("Target name"))
            .flags(StackSetting::Required)
            .in(in),
    };
}

QList<StackSetting> buildTable()
{
    QList<StackSetting> table;
    for (const QList<StackSetting> &part :
         {commonRows(), queueRows(), sdoServiceRows(), networkServiceRows(), indicationRows(),
          generationRows(), hardwareRows(), switchRows(), usdoRows(), targetRows()})
        table += part;
    // The per-target copies of the hardware settings follow the same rules.
    for (const StackSetting &setting : hardwareRows()) {
        StackSetting copy = setting;
        copy.key = setting.targetKey;
        copy.section = Section::Targets;
        copy.flags &= ~unsigned(StackSetting::PerTarget);
        table.append(copy);
    }
    return table;
}

// "targetsettings_%1_timer" matches "targetsettings_12_timer".
bool matchesPattern(const char *pattern, const QString &key)
{
    const QString text = QLatin1String(pattern);
    const int at = text.indexOf(QLatin1String("%1"));
    if (at < 0)
        return false;
    const QString head = text.left(at);
    const QString tail = text.mid(at + 2);
    if (!key.startsWith(head) || !key.endsWith(tail) || key.size() <= head.size() + tail.size())
        return false;
    const QStringRef number = key.midRef(head.size(), key.size() - head.size() - tail.size());
    return std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QStringList StackSetting::choiceList() const
{
    if (format != Format::Choice || !choices)
        return {};
    return QCoreApplication::translate("StackSettings", choices).split(QLatin1Char('|'));
}

QString StackSetting::displayLabel() const
{
    return QCoreApplication::translate("StackSettings", label);
}

QString StackSetting::displayToolTip() const
{
    return toolTip ? QCoreApplication::translate("StackSettings", toolTip) : QString();
}

const QList<StackSetting> &StackSettings::all()
{
    static const QList<StackSetting> table = buildTable();
    return table;
}

const StackSetting *StackSettings::find(const QString &key)
{
    for (const StackSetting &setting : all()) {
        if (setting.hasFlag(StackSetting::Mirror))
            continue;
        if (key == QLatin1String(setting.key) || matchesPattern(setting.key, key))
            return &setting;
    }
    return nullptr;
}

QList<const StackSetting *> StackSettings::section(StackSetting::Section wanted)
{
    QList<const StackSetting *> rows;
    for (const StackSetting &setting : all()) {
        if (setting.section == wanted)
            rows.append(&setting);
    }
    return rows;
}

const QStringList &StackSettings::importedKeys()
{
    static const QStringList keys = {
        "applicationheader",
        "co_node_id",
        "nmtmaster",
        "receivebuffersize",
        "transmitbuffersize",
        "event_sdo_server_read",
        "event_sdo_server_write",
        "event_sdo_server_check_write",
        "event_pdo",
        "event_nmt",
        "event_errctrl",
        "event_sync",
        "event_sync_finished",
        "event_finished",
        "event_led",
        "event_can",
        "event_sdo_client_read",
        "event_sdo_client_write",
        "event_emcy",
        "event_emcy_consumer",
        "event_time",
        "event_store",
        "event_lss",
        "event_manager",
        "event_mpdo",
        "event_pdo_update",
        "lss_supported",
        "canfd_supported",
        "init_static_variables",
        "compact_array_description",
        "generate_generation_counter",
        "user_defines",
        "hw_defines",
        "sleep_wait_time",
        "sleep_mode_selection",
        "sdo_blocktransfer_supported",
        "sdo_blocktransfer_crc_supported",
        "sdo_blocktransfer_min_data",
        "sdo_blocktransfer_block_size",
    };
    return keys;
}
