// The option sections of gen_define.h: EnergyBus devices, call-back indications, buffer
// sizes and hardware targets.
#include "generators/codefinegenerator.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include "generators/generatedtext.h"

namespace {

const CoDefineGenerator::SettingDefine staticIndications[] = {
    {"fct_sdo_server_read", "CO_EVENT_STATIC_SDO_SERVER_READ"},
    {"fct_sdo_server_write", "CO_EVENT_STATIC_SDO_SERVER_WRITE"},
    {"fct_sdo_server_check_write", "CO_EVENT_STATIC_SDO_SERVER_CHECK_WRITE"},
    {"fct_pdo|fct_pdo_receive|fct_pdo_sync", "CO_EVENT_STATIC_PDO"},
    {"fct_nmt", "CO_EVENT_STATIC_NMT"},
    {"fct_errctrl", "CO_EVENT_STATIC_ERRCTRL"},
    {"fct_sync", "CO_EVENT_STATIC_SYNC"},
    {"fct_finished", "CO_EVENT_STATIC_FINISHED"},
    {"fct_led_green|fct_led_red", "CO_EVENT_STATIC_LED"},
    {"fct_can", "CO_EVENT_STATIC_CAN"},
    {"fct_cfgman", "CO_EVENT_STATIC_CFG_MAN"},
    {"fct_sdo_client_read", "CO_EVENT_STATIC_SDO_CLIENT_READ"},
    {"fct_sdo_client_write", "CO_EVENT_STATIC_SDO_CLIENT_WRITE"},
    {"fct_emcy", "CO_EVENT_STATIC_EMCY"},
    {"fct_emcy_consumer", "CO_EVENT_STATIC_EMCY_CONSUMER"},
    {"fct_time", "CO_EVENT_STATIC_TIME"},
    {"fct_store", "CO_EVENT_STATIC_STORE"},
    {"fct_srd", "CO_EVENT_STATIC_SRD"},
    {"fct_sync_finished", "CO_EVENT_STATIC_SYNC_FINISHED"},
    {"fct_lss|fct_lss_master", "CO_EVENT_STATIC_LSS"},
    {"fct_flyma", "CO_EVENT_STATIC_FLYMA"},
    {"fct_manager", "CO_EVENT_STATIC_MANAGER"},
    {"fct_mpdo", "CO_EVENT_STATIC_MPDO"},
};

const CoDefineGenerator::SettingDefine usdoIndications[] = {
    {"usdo_server_ind_read_cnt", "CO_EVENT_DYNAMIC_USDO_SERVER_READ"},
    {"usdo_server_ind_write_cnt", "CO_EVENT_DYNAMIC_USDO_SERVER_WRITE"},
    {"usdo_server_ind_check_write_cnt", "CO_EVENT_DYNAMIC_USDO_SERVER_CHECK_WRITE"},
    {"usdo_server_ind_domain_write_cnt", "CO_EVENT_DYNAMIC_SUSDO_DOMAIN_WRITE"},
    {"usdo_client_ind_read_cnt", "CO_EVENT_DYNAMIC_USDO_CLIENT_READ"},
    {"usdo_client_ind_write_cnt", "CO_EVENT_DYNAMIC_USDO_CLIENT_WRITE"},
};

const CoDefineGenerator::SettingDefine dynamicIndications[] = {
    {"event_sdo_server_read", "CO_EVENT_DYNAMIC_SDO_SERVER_READ"},
    {"event_sdo_server_write", "CO_EVENT_DYNAMIC_SDO_SERVER_WRITE"},
    {"event_sdo_server_check_write", "CO_EVENT_DYNAMIC_SDO_SERVER_CHECK_WRITE"},
    {"event_pdo", "CO_EVENT_DYNAMIC_PDO"},
    {"event_pdo_update", "CO_EVENT_DYNAMIC_PDO_UPDATE"},
    {"event_nmt", "CO_EVENT_DYNAMIC_NMT"},
    {"event_errctrl", "CO_EVENT_DYNAMIC_ERRCTRL"},
    {"event_sync", "CO_EVENT_DYNAMIC_SYNC"},
    {"event_sync_finished", "CO_EVENT_DYNAMIC_SYNC_FINISHED"},
    {"event_finished", "CO_EVENT_DYNAMIC_FINISHED"},
    {"event_led", "CO_EVENT_DYNAMIC_LED"},
    {"event_cfg", "CO_EVENT_DYNAMIC_CFG_MAN"},
    {"event_flyma", "CO_EVENT_DYNAMIC_FLYMA"},
    {"event_sdorouter", "CO_EVENT_DYNAMIC_NETWORK_SDOCLIENT_USER"},
    {"event_can", "CO_EVENT_DYNAMIC_CAN"},
    {"event_sdo_client_read", "CO_EVENT_DYNAMIC_SDO_CLIENT_READ"},
    {"event_sdo_client_write", "CO_EVENT_DYNAMIC_SDO_CLIENT_WRITE"},
    {"event_emcy", "CO_EVENT_DYNAMIC_EMCY"},
    {"event_emcy_consumer", "CO_EVENT_DYNAMIC_EMCY_CONSUMER"},
    {"event_time", "CO_EVENT_DYNAMIC_TIME"},
    {"event_store", "CO_EVENT_DYNAMIC_STORE"},
    {"event_srd", "CO_EVENT_DYNAMIC_SRD"},
    {"event_lss", "CO_EVENT_DYNAMIC_LSS"},
    {"event_idnego", "CO_EVENT_DYNAMIC_IDNEGO"},
    {"event_manager", "CO_EVENT_DYNAMIC_MANAGER"},
    {"event_mpdo", "CO_EVENT_DYNAMIC_MPDO"},
    {"event_gfc", "CO_EVENT_DYNAMIC_GFC"},
    {"object_changed_event", "CO_EVENT_DYNAMIC_OBJECT_CHANGED"},
    {"event_ssdo_domain_write", "CO_EVENT_DYNAMIC_SSDO_DOMAIN_WRITE"},
    {"event_ssdo_domain_read", "CO_EVENT_DYNAMIC_SSDO_DOMAIN_READ"},
    {"isotp_server_event", "ISOTP_EVENT_DYNAMIC_SERVER"},
    {"isotp_client_event", "ISOTP_EVENT_DYNAMIC_CLIENT"},
};

// EnergyBus device kinds by their short code, with the names of their defines and the
// settings of their counts and sub-index offsets. The controller has no local offset.
struct EnergyBusKind
{
    const char *code;
    const char *name; // in EB_<name>_CNT and EB_LOCAL_<name>_SUBIDX_OFFS
    const char *networkName; // in EB_NETWORK_<networkName>_CNT and _SUBIDX_OFFS
};

const EnergyBusKind energyBusKinds[] = {
    {"ebc", "EBC", nullptr},
    {"lmd", "LMD", "LOAD_MONITORING"},
    {"sec", "SECURITY", "SECURITY"},
    {"bat", "BATTERY", "BATTERY"},
    {"hmi", "HMI", "HMI"},
    {"manup", "MANU_P", "MANU_P"},
    {"manua", "MANU_A", "MANU_A"},
    {"mcu", "MCU", "MCU"},
    {"vc", "VOLT_CONV", "VOLT_CONV"},
};

// The orders in which the controller's network counts and offsets are written.
const char *const networkCountOrder[] = {"bat", "mcu", "hmi", "manup", "manua", "sec", "vc", "lmd"};
const char *const networkOffsetOrder[] = {"bat",   "sec",   "vc",  "hmi",
                                          "manup", "manua", "mcu", "lmd"};

qint64 decimal(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok ? value : 0;
}

} // namespace

void CoDefineGenerator::generateEnergyBusDefines(GeneratedText &out)
{
    const ObjectDataBase *db = dataBase();
    if (!db)
        return;
    // "device_<n>" holds the device's position, a blank and its kind.
    QMap<QString, int> devicesOfKind;
    int virtualDevices = 0;
    const qint64 deviceCount = decimal(db->getEnergyBusSettingsValue(QStringLiteral("device_cnt")));
    for (qint64 device = 1; device <= deviceCount; ++device) {
        const QString text = db->getEnergyBusSettingsValue(QStringLiteral("device_%1").arg(device));
        const QString code = Helper::convertEBType(text.section(QLatin1Char(' '), 1).trimmed());
        if (code.isEmpty())
            continue;
        ++devicesOfKind[code];
        // A security extension belongs to the controller and is no device of its own.
        const QString securityKind =
            db->getEnergyBusSettingsValue(QStringLiteral("sec_%1_kind").arg(device));
        if (code != QLatin1String("sec") || securityKind != QLatin1String("Extension"))
            ++virtualDevices;
    }
    out << "#define EB_VIRTUAL_DEV_CNT\t" << virtualDevices << "u\n";
    for (const EnergyBusKind &kind : energyBusKinds) {
        const int count = devicesOfKind.value(QLatin1String(kind.code));
        if (count == 0)
            continue;
        out << "#define EB_" << kind.name << "_CNT\t" << count << "u\n";
        if (kind.networkName) {
            const QString offset = QStringLiteral("int_offset_%1").arg(QLatin1String(kind.code));
            out << "#define EB_LOCAL_" << kind.name << "_SUBIDX_OFFS\t"
                << decimal(db->getEnergyBusSettingsValue(offset)) << "u\n";
        }
    }
    if (devicesOfKind.value(QStringLiteral("ebc")) > 0)
        writeEnergyBusNetworkDefines(out);
}

void CoDefineGenerator::writeEnergyBusNetworkDefines(GeneratedText &out)
{
    const ObjectDataBase *db = dataBase();
    const auto energyBusNumber = [db](const QString &key) {
        return decimal(db->getEnergyBusSettingsValue(key));
    };
    const bool toolSupported = energyBusNumber(QStringLiteral("ebc_tool_supported")) > 0;
    // The service tool reaches the network through a security device.
    const auto networkCount = [&](const QString &code) {
        const qint64 count = energyBusNumber(QStringLiteral("ebc_max_%1_number").arg(code));
        return code == QLatin1String("sec") && toolSupported ? qMax<qint64>(count, 1) : count;
    };
    const auto networkName = [](const QString &code) {
        for (const EnergyBusKind &kind : energyBusKinds) {
            if (code == QLatin1String(kind.code))
                return QLatin1String(kind.networkName);
        }
        return QLatin1String();
    };
    out << "#define EB_NETWORK_VIRTUAL_DEV_CNT\t"
        << energyBusNumber(QStringLiteral("ebc_max_dev_number")) << "u\n";
    for (const char *code : networkCountOrder) {
        out << "#define EB_NETWORK_" << networkName(QLatin1String(code)) << "_CNT\t"
            << networkCount(QLatin1String(code)) << "u\n";
    }
    if (toolSupported)
        out << "#define EB_NETWORK_PC_TOOL_CNT\t1u\n";
    for (const char *code : networkOffsetOrder) {
        if (networkCount(QLatin1String(code)) == 0)
            continue;
        out << "#define EB_NETWORK_" << networkName(QLatin1String(code)) << "_SUBIDX_OFFS\t"
            << energyBusNumber(QStringLiteral("ext_start_pos_%1").arg(QLatin1String(code)))
            << "u\n";
    }
}

void CoDefineGenerator::generateEventDefines(GeneratedText &out)
{
    writeStaticIndications(out);
    const qint64 sleepMode = number(QStringLiteral("sleep_mode_selection"));
    if (sleepMode > 0) {
        out << "#define CO_EVENT_DYNAMIC_SLEEP\t1u\n";
        if (sleepMode == 1)
            out << "#define CO_SLEEP_447\t1u\n";
        else if (sleepMode == 2)
            out << "#define CO_SLEEP_454\t1u\n";
        out << "#define CO_SLEEP_WAITTIME\t" << setting(QStringLiteral("sleep_wait_time")).trimmed()
            << "u\n";
    }
    writeDynamicIndications(out);
}

void CoDefineGenerator::writeStaticIndications(GeneratedText &out)
{
    for (const CoDefineGenerator::SettingDefine &indication : staticIndications) {
        const QStringList keys = QString::fromLatin1(indication.keys).split(QLatin1Char('|'));
        for (const QString &key : keys) {
            if (!setting(key).trimmed().isEmpty()) {
                out << "#define " << indication.define << "\t1u\n";
                break;
            }
        }
    }
}

void CoDefineGenerator::writeDynamicIndications(GeneratedText &out)
{
    // Only an explicit 0 turns the call-back slots off; an empty setting keeps them.
    bool ok = false;
    const qint64 enabled = setting(QStringLiteral("enable_dynamic")).trimmed().toLongLong(&ok, 10);
    if (ok && enabled == 0)
        return;
    out << "/* Definition of number of call-back functions for each service*/\n";
    if (canFd) {
        for (const CoDefineGenerator::SettingDefine &indication : usdoIndications) {
            const QString value = setting(QLatin1String(indication.keys)).trimmed();
            if (!value.isEmpty())
                out << "#define " << indication.define << "\t" << value << "u\n";
        }
    }
    for (const CoDefineGenerator::SettingDefine &indication : dynamicIndications) {
        const qint64 count = number(QLatin1String(indication.keys));
        if (count > 0)
            out << "#define " << indication.define << "\t" << count << "u\n";
    }
    out << "\n";
}

void CoDefineGenerator::generateBufferDefines(GeneratedText &out)
{
    const qint64 transmitMessages = number(QStringLiteral("user_tx_cob"));
    const qint64 receiveMessages = number(QStringLiteral("user_rx_cob"));
    if (transmitMessages > 0)
        out << "#define USER_TRANSMIT_MSG_CNT\t" << transmitMessages << "u\n";
    if (receiveMessages > 0)
        out << "#define USER_RECEIVE_MSG_CNT\t" << receiveMessages << "u\n";
    if (transmitMessages > 0 || receiveMessages > 0)
        out << "#define CO_USER_EXTENSION_SUPPORTED\t1u\n";
    if (number(QStringLiteral("sorted_coblist")) > 0)
        out << "/* Use of sorted COB list*/\n"
            << "#define CO_COB_SORTED_LIST\t1u\n"
            << "\n";
    if (number(QStringLiteral("only_one_hb_buffer")) > 0)
        out << "#define CO_ONE_HB_CONSUMER_COB\t1u\n";
    out << "/* Definition of CAN queue sizes */\n"
        << "#define CO_CONFIG_REC_BUFFER_CNT\t"
        << combineCobBufferCounts(bufferSetting(QStringLiteral("receivebuffersize"), "10")) << "u\n"
        << "#define CO_CONFIG_TRANS_BUFFER_CNT\t"
        << combineCobBufferCounts(bufferSetting(QStringLiteral("transmitbuffersize"), "5")) << "u\n"
        << "\n";
}

QString CoDefineGenerator::bufferSetting(const QString &key, const char *fallback) const
{
    return hasSetting(key) ? setting(key) : QString::fromLatin1(fallback);
}

void CoDefineGenerator::generateHardwareDefines(GeneratedText &out)
{
    out << "/* Hardware settings */\n";
    if (number(QStringLiteral("all_targets")) == 0) {
        writeTargetBlock(out, 0, false);
    } else {
        const qint64 targets = number(QStringLiteral("targetsettings_cnt"));
        for (int target = 0; target < targets; ++target)
            writeTargetBlock(out, target, true);
    }
    const QString srdoInterval = setting(QStringLiteral("co_srdo_interval")).trimmed();
    if (!srdoInterval.isEmpty()) {
        bool numeric = false;
        srdoInterval.toLongLong(&numeric, 0);
        out << "#define CO_SRDO_TIMER_INTERVAL\t" << srdoInterval << (numeric ? "u\n" : "\n");
    }
    out << "\n";
}

void CoDefineGenerator::writeTargetBlock(GeneratedText &out, int target, bool allTargets)
{
    // Without "all_targets" the block holds the base settings of the project; with it,
    // each target's own settings, every block enclosed in "#ifdef <target id>".
    const QString prefix = QStringLiteral("targetsettings_%1_").arg(target);
    const auto pick = [&](const char *baseKey, const char *targetKey) {
        return setting(allTargets ? prefix + QLatin1String(targetKey) : QLatin1String(baseKey));
    };
    QString id = pick("target_id", "targetid").trimmed();
    if (id.isEmpty())
        id = QStringLiteral("TARGET_%1").arg(target);
    const qint64 active = number(QStringLiteral("targetsettings_active"));
    const bool enclosed = allTargets || number(QStringLiteral("targetsettings_cnt")) > 1;
    const QString timer = pick("co_timer_interval", "timer").trimmed();

    if (active == target)
        out << "#define " << id << " 1u\n";
    if (enclosed)
        out << "#ifdef " << id << "\n";
    out << "/* " << setting(prefix + QStringLiteral("name")) << " */\n";
    // A macro name (a text without numeric value) gets no unsigned suffix.
    out << "#define CO_TIMER_INTERVAL\t" << timer
        << (timer.toLongLong(nullptr, 0) == 0 ? "\n" : "u\n");
    if (decimal(pick("endian", "endianess")) == 1)
        out << "#define CO_BIG_ENDIAN\t1u\n";
    if (decimal(pick("drv_filter", "fullcan")) == 1)
        out << "#define CO_DRV_FILTER\t1u\n";
    if (decimal(pick("drv_group_filter", "groupfilter")) == 1)
        out << "#define CO_DRV_GROUP_FILTER\t1u\n";
    const QString defines = pick("hw_defines", "defines");
    if (!defines.isEmpty())
        out << defines << "\n";
    if (enclosed)
        out << "#endif /* " << id << "*/ \n\n";
}
