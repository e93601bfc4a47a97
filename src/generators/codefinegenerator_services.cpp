// The CANopen service defines of gen_define.h: line settings, per-line counts, node-IDs,
// the numbers of services, and the COB count they need.
#include "generators/codefinegenerator.h"

#include "database/objectdatabase.h"
#include "generators/objdictgenerator.h"
#include "panelkit/canopendatatype.h"

#include "generators/generatedtext.h"

void CoDefineGenerator::generateServiceDefines(GeneratedText &out)
{
    if (isCanEdition() && !anyCanopenLine())
        return;
    if (lineList().isEmpty())
        return;
    writeLineSettings(out, bufferSetting(QStringLiteral("receivebuffersize"), "10"),
                      bufferSetting(QStringLiteral("transmitbuffersize"), "5"));
    writePerLineCounts(out);
    writeNodeIds(out);
    // Every type kept in the UNSIGNED24..64 tables needs them.
    QList<quint16> extended;
    for (quint16 type = CAN::DT_BOOLEAN; type <= CAN::DT_UNSIGNED64; ++type) {
        const quint16 stored = ObjDictGenerator::storedType(type);
        if (stored == CAN::DT_UNSIGNED24 || stored >= CAN::DT_UNSIGNED40)
            extended << type;
    }
    const bool extendedTypes = dataTypeUsed(extended, 0x1000);
    const bool utf8Type = dataTypeUsed({0x007C}, 0x2000);

    out << "/* Definition of numbers of CANopen services */\n";
    writeProfileDefines(out);
    writeNetworkServiceDefines(out);
    writeSdoDefines(out);
    writePdoDefines(out);
    writeManagerAndEmcyDefines(out);
    writeTransferDefines(out, extendedTypes, utf8Type);
    out << "\n\n";
}

void CoDefineGenerator::writeLineSettings(GeneratedText &out, const QString &receive,
                                          const QString &transmit)
{
    const QList<quint8> lines = lineList();
    out << "/* Line Settings */\n";
    if ((lines.size() > 1 || forceMultiLine) && !multiLineWritten) {
        out << "#define CO_MULTI_LINE\t1u\n"
            << "#define CO_MULTI_LINE_CNT\t" << lines.size() << "u\n";
        multiLineWritten = true;
        multiLine = true;
    }
    out << "#define CANOPEN_SUPPORTED\t1u\n"
        << "/* Number of receive/transmit buffer entries per line */\n"
        << "#define CO_REC_BUFFER_COUNTS\t" << receive << "\n"
        << "#define CO_TR_BUFFER_COUNTS\t" << transmit << "\n";
    bufferCountsWritten = true;
    out << "/* Number of objects per line */\n";
    for (quint8 line : lines) {
        out << "#define CO_OBJECTS_LINE_" << line << "_CNT\t" << indexCount(line, 0x1000, 0xFFFF)
            << "u\n";
    }
}

void CoDefineGenerator::writePerLineCounts(GeneratedText &out)
{
    const auto indices = [this](quint16 from, quint16 to) {
        return [this, from, to](quint8 line) { return qint64(indexCount(line, from, to)); };
    };
    const auto subsFrom1 = [this](quint16 index) {
        return [this, index](quint8 line) { return qint64(subCount(line, index, 1)); };
    };
    const auto serverSdos = [this](quint8 line) -> qint64 {
        const int count = indexCount(line, 0x1200, 0x127F);
        if (count == 0 && lineType(line) == LineType::CANopen)
            return canFd ? 0 : 1;
        return count;
    };

    out << "#define CO_OBJECT_COUNTS\t" << perLineList(indices(0x1000, 0xFFFF)) << "\n";
    if (!multiProtocol) {
        out << "#define CO_COB_COUNTS\t"
            << perLineList([this](quint8 line) { return qint64(getCobCount(line)); }) << "\n";
    }
    out << "#define CO_TXPDO_COUNTS\t" << perLineList(indices(0x1800, 0x19FF)) << "\n"
        << "#define CO_RXPDO_COUNTS\t" << perLineList(indices(0x1400, 0x15FF)) << "\n"
        << "#define CO_SSDO_COUNTS\t" << perLineList(serverSdos) << "\n"
        << "#define CO_CSDO_COUNTS\t" << perLineList(indices(0x1280, 0x12FF)) << "\n"
        << "#define CO_ASSIGN_COUNTS\t" << perLineList(subsFrom1(0x1F81)) << "\n"
        << "#define CO_GUARDING_COUNTS\tCO_ASSIGN_COUNTS\n"
        << "#define CO_ERR_CTRL_COUNTS\t" << perLineList(subsFrom1(0x1016)) << "\n"
        << "#define CO_ERR_HIST_COUNTS\t" << perLineList(subsFrom1(0x1003)) << "\n"
        << "#define CO_ACT_ERR_HIST_COUNTS\t" << perLineList(subsFrom1(0x1032)) << "\n"
        << "#define CO_EMCY_CONS_COUNTS\t" << perLineList(subsFrom1(0x1028)) << "\n";
}

void CoDefineGenerator::writeNodeIds(GeneratedText &out)
{
    const QString nodeIds = setting(QStringLiteral("co_node_id"));
    out << "#define CO_NODE_IDS\t" << (nodeIds.isEmpty() ? QStringLiteral("0u") : nodeIds) << "\n";
    const QString functions = setting(QStringLiteral("co_node_id_fct"));
    if (!functions.trimmed().isEmpty()) {
        out << "#define CO_NODE_ID_FUNCTIONS\t" << functions << "\n\n";
    } else {
        QStringList nulls;
        for (int i = 0; i < lineList().size(); ++i)
            nulls << QStringLiteral("NULL");
        out << "#define CO_NODE_ID_FUNCTIONS " << nulls.join(QStringLiteral(", ")) << "\n";
    }
    const QString networkId = setting(QStringLiteral("co_network_id"));
    if (!networkId.isEmpty())
        out << "#define CO_NETWORK_ID\t" << networkId << "\n";
    out << "\n";
}

bool CoDefineGenerator::dataTypeUsed(const QList<quint16> &types, quint16 fromIndex)
{
    const ObjectDataBase *db = dataBase();
    if (!db)
        return false;
    for (quint8 line : lineList()) {
        if (db->usesDataType(line, types, fromIndex))
            return true;
    }
    return false;
}

void CoDefineGenerator::writeProfileDefines(GeneratedText &out)
{
    const quint16 profile = quint16(subValue(activeLine, 0x1000, 0) & 0xFFFF);
    if (profile == 0)
        return;
    out << "#define " << QStringLiteral("CO_PROFILE_%1").arg(profile) << "\t1u\n";
    if (profile == 454)
        out << "#define CO_EVENT_PROFILE_STORE\t1u\n";
    if (profile != 447)
        return;
    // Each bit of 0x6000:1 and 0x6000:2 enables one virtual device function group.
    for (quint8 sub = 1; sub <= 2; ++sub) {
        const quint64 groups = quint64(subValue(activeLine, 0x6000, sub));
        for (int bit = 0; bit < 32; ++bit) {
            if (groups & (quint64(1) << bit))
                out << "#define CO_P447_VDFG_" << bit + 1 + (sub - 1) * 32 << " \t1u\n";
        }
    }
}

void CoDefineGenerator::writeNetworkServiceDefines(GeneratedText &out)
{
    const qint64 nmtMaster = number(QStringLiteral("nmtmaster"));
    const bool lss = number(QStringLiteral("lss_supported")) > 0;
    if (nmtMaster != 0)
        out << "#define CO_NMT_MASTER\t1u\n";
    // Bit 0x20 of the NMT start-up object makes a master a flying master.
    const bool flyingMaster =
        sumOverLines([this](quint8 line) { return (subValue(line, 0x1F80, 0) & 0x20) ? 1 : 0; })
        != 0;
    if (nmtMaster != 0 && flyingMaster)
        out << "#define CO_FLYING_MASTER_SUPPORTED\t1u\n";
    if (lss && (nmtMaster == 1 || nmtMaster == 2))
        out << "#define CO_LSS_MASTER_SUPPORTED\t1u\n";
    if (lss && (nmtMaster == 0 || nmtMaster == 2))
        out << "#define CO_LSS_SUPPORTED\t1u\n";
    if (lss && number(QStringLiteral("lss_inquiry_supported")) > 0)
        out << "#define CO_LSS_INQUIRY_SERVICES\t1u\n";
    if (number(QStringLiteral("idnego_supported")) > 0)
        out << "#define CO_IDNEGO_SUPPORTED\t1u\n";
    if (canFd)
        out << "#define CO_CANFD_SUPPORTED\t1u\n"
            << "#define CO_USDO_SUPPORTED\t1u\n";
    if (hasIndex(activeLine, 0x1300))
        out << "#define CO_GFC_SUPPORTED\t1u\n";
    if (number(QStringLiteral("dynod")) > 0)
        out << "#define CO_DYNAMIC_OBJDIC\t1u\n";
    if (number(QStringLiteral("csdo_write_special")) > 0)
        out << "#define CO_EVENT_CSDO_DOMAIN_WRITE\t1u\n";
    if (number(QStringLiteral("emcy_routing")) > 0)
        out << "#define CO_EMCY_NETWORKING\t1u\n";
    if (number(QStringLiteral("sdo_routing")) > 0)
        out << "#define CO_SDO_NETWORKING\t1u\n";

    const auto routes = [this](quint8 line) { return qint64(subCount(line, 0x1F2C, 1)); };
    const qint64 routeCount = sumOverLines(routes);
    if (routeCount != 0) {
        out << "#define CO_NETWORK_ROUTING_COUNTS\t" << perLineList(routes) << "\n"
            << "#define CO_NETWORK_ROUTING_CNT\t" << routeCount << "u\n";
    }
}

void CoDefineGenerator::writeSdoDefines(GeneratedText &out)
{
    const qint64 servers =
        sumOverLines([this](quint8 line) { return qint64(indexCount(line, 0x1200, 0x127F)); });
    out << "#define CO_SDO_SERVER_CNT\t" << qMax<qint64>(servers, 1) << "u\n";
    const qint64 clients =
        sumOverLines([this](quint8 line) { return qint64(indexCount(line, 0x1280, 0x12FF)); });
    if (clients != 0)
        out << "#define CO_SDO_CLIENT_CNT\t" << clients << "u\n";
    if (!canFd)
        return;
    const qint64 usdoClients = number(QStringLiteral("usdo_client_cnt"));
    if (usdoClients != 0) {
        out << "#define CO_USDO_CLIENT_SUPPORTED\t1u\n"
            << "#define CO_USDO_CLIENT_MAX_CON\t" << usdoClients << "u\n";
    }
    const qint64 usdoServers = number(QStringLiteral("usdo_server_cnt"));
    if (usdoServers == 0)
        return;
    out << "#define CO_USDO_SERVER_MAX_CON\t" << usdoServers << "u\n";
    const qint64 bulkTimeout = number(QStringLiteral("usdo_server_bulk_timeout"));
    if (bulkTimeout != 0)
        out << "#define CO_USDO_SERVER_BULK_TIMEOUT\t" << bulkTimeout << "u\n";
    const qint64 domainSize = number(QStringLiteral("usdo_server_domain_write_ind_size"));
    if (domainSize != 0)
        out << "#define CO_SUSDO_DOMAIN_CNT\t" << domainSize << "u\n";
}

CoDefineGenerator::MappingSummary CoDefineGenerator::summariseMappings()
{
    MappingSummary summary;
    const ObjectDataBase *db = dataBase();
    if (!db)
        return summary;
    for (quint8 line : lineList()) {
        for (quint16 index : db->getIndices(line, 0x1600, 0x1BFF)) {
            const bool transmit = index >= 0x1A00;
            if (index >= 0x1800 && !transmit)
                continue;
            const qint64 mode = subValue(line, index, 0);
            if (mode == 0xFE || mode == 0xFF)
                (transmit ? summary.producer : summary.consumer) = true;
            summary.sourceAddressMode |= mode == 0xFE;
            summary.destinationAddressMode |= mode == 0xFF;
            summary.maxEntries = qMax(summary.maxEntries, subCount(line, index) - 1);
            ObjectDataBase::SUBINDEX_DATA_T sub0;
            if (db->getSubIndexData(line, index, 0, sub0) && sub0.accesstype == "rw")
                ++(transmit ? summary.transmitDynamic : summary.receiveDynamic);
        }
    }
    return summary;
}

void CoDefineGenerator::writePdoDefines(GeneratedText &out)
{
    const auto indices = [this](quint16 from, quint16 to) {
        return [this, from, to](quint8 line) { return qint64(indexCount(line, from, to)); };
    };
    const qint64 transmitPdos = sumOverLines(indices(0x1A00, 0x1BFF));
    if (transmitPdos != 0)
        out << "#define CO_PDO_TRANSMIT_CNT\t" << transmitPdos << "u\n";
    const qint64 receivePdos = sumOverLines(indices(0x1600, 0x17FF));
    if (receivePdos != 0)
        out << "#define CO_PDO_RECEIVE_CNT\t" << receivePdos << "u\n";
    const qint64 srdos = sumOverLines(indices(0x1301, 0x137F));
    if (srdos != 0) {
        out << "#define CO_SRDO_SUPPORTED\t1u\n"
            << "#define CO_SRDO_COUNTS\t" << perLineList(indices(0x1301, 0x137F)) << "\n"
            << "#define CO_SRDO_CNT\t" << srdos << "u\n";
    }

    const MappingSummary mappings = summariseMappings();
    if (mappings.producer)
        out << "#define CO_MPDO_PRODUCER\t1u\n";
    if (mappings.consumer)
        out << "#define CO_MPDO_CONSUMER\t1u\n";
    if (mappings.sourceAddressMode)
        out << "#define CO_MPDO_SAM\t1u\n";
    if (mappings.destinationAddressMode)
        out << "#define CO_MPDO_DAM\t1u\n";
    if (mappings.maxEntries > 0)
        out << "#define CO_MAX_MAP_ENTRIES\t" << mappings.maxEntries << "u\n";
    if (mappings.transmitDynamic != 0)
        out << "#define CO_TR_PDO_DYN_MAP_ENTRIES\t" << mappings.transmitDynamic << "u\n";
    if (mappings.receiveDynamic != 0)
        out << "#define CO_REC_PDO_DYN_MAP_ENTRIES\t" << mappings.receiveDynamic << "u\n";
    if (number(QStringLiteral("bitwise_mapping")) == 1 && mappings.maxEntries > 0)
        out << "#define CO_PDO_BIT_MAPPING\t1u\n";
}

qint64 CoDefineGenerator::entriesBeyondFirst(quint16 index) const
{
    return sumOverLines([this, index](quint8 line) {
        const int subs = subCount(line, index);
        return qint64(subs > 1 ? subs - 1 : 0);
    });
}

void CoDefineGenerator::writeManagerAndEmcyDefines(GeneratedText &out)
{
    const qint64 heartbeatConsumers = entriesBeyondFirst(0x1016);
    if (heartbeatConsumers != 0)
        out << "#define CO_HB_CONSUMER_CNT " << heartbeatConsumers << "u\n";
    if (indexInSomeLine(0x1005))
        out << "#define CO_SYNC_SUPPORTED\t1u\n";
    if (number(QStringLiteral("bootup_manager")) > 0) {
        const qint64 slaves =
            sumOverLines([this](quint8 line) { return qint64(subCount(line, 0x1F81, 1)); });
        out << "#define CO_BOOTUP_MANAGER\t1u\n"
            << "#define CO_SLAVE_ASSIGNMENT_CNT\t" << slaves << "u\n"
            << "#define CO_GUARDING_CNT CO_SLAVE_ASSIGNMENT_CNT\n";
    }
    if (number(QStringLiteral("config_manager")) > 0)
        out << "#define CO_CFG_MANAGER\t1u\n";
    // The configuration objects need the manager even when the setting is off; an
    // identical second definition is harmless to the compiler.
    if (indexInSomeLine(0x1F20) || indexInSomeLine(0x1F22))
        out << "#define CO_CFG_MANAGER\t1u\n";
    if (indexInSomeLine(0x1014))
        out << "#define CO_EMCY_PRODUCER\t1u\n";
    if (indexInSomeLine(0x1F10))
        out << "#define CO_SRD_SUPPORTED\t1u\n";
    if (indexInSomeLine(0x100C))
        out << "#define CO_GUARDING_SLAVE\t1u\n";
    if (indexInSomeLine(0x1010) || indexInSomeLine(0x1011))
        out << "#define CO_STORE_SUPPORTED\t1u\n" << getNVSDefine();
    const qint64 emcyConsumers = entriesBeyondFirst(0x1028);
    if (emcyConsumers != 0)
        out << "#define CO_EMCY_CONSUMER_CNT " << emcyConsumers << "u\n";
    const qint64 errorHistory = entriesBeyondFirst(0x1003);
    if (errorHistory != 0)
        out << "#define CO_EMCY_ERROR_HISTORY " << errorHistory << "u\n";
    const qint64 activeErrors =
        sumOverLines([this](quint8 line) { return qint64(subCount(line, 0x1032, 1)); });
    if (canFd && activeErrors != 0)
        out << "#define CO_EMCY_ACTIVE_ERROR_LIST\t" << activeErrors << "u\n";
    if (indexInSomeLine(0x1012))
        out << "#define CO_TIME_SUPPORTED\t1u\n";
}

QString CoDefineGenerator::getNVSDefine()
{
    // Per line the number of entries kept in non-volatile storage.
    const ObjectDataBase *db = dataBase();
    QString text = QStringLiteral("#define CO_STORE_NVS_CNT\t");
    for (quint8 line : lineList()) {
        int count = 0;
        if (db) {
            for (const ObjectDataBase::SubAddress &sub :
                 db->getSubsByProperty(line, QStringLiteral("nvstorage"), QStringLiteral("1"))) {
                if (sub.index >= 0x1000)
                    ++count;
            }
        }
        text += QStringLiteral("%1u, ").arg(count);
    }
    return text + QLatin1Char('\n');
}

void CoDefineGenerator::writeTransferDefines(GeneratedText &out, bool extendedTypes, bool utf8Type)
{
    if (number(QStringLiteral("sdo_blocktransfer_supported")) == 1) {
        out << "#define CO_SDO_BLOCK\t\t1u\n"
            << "#define CO_SDO_BLOCK_SIZE\t"
            << setting(QStringLiteral("sdo_blocktransfer_block_size")).trimmed() << "u\n"
            << "#define CO_SDO_BLOCK_MIN_SIZE\t"
            << setting(QStringLiteral("sdo_blocktransfer_min_data")).trimmed() << "u\n";
        if (number(QStringLiteral("sdo_blocktransfer_crc_supported")) == 1)
            out << "#define CO_SDO_BLOCK_CRC\t1u\n";
    }
    if (number(QStringLiteral("sdo_client_queue_supported")) == 1) {
        out << "#define CO_SDO_QUEUE\t\t1u\n"
            << "#define CO_SDO_QUEUE_LEN\t"
            << setting(QStringLiteral("sdo_client_queue_size")).trimmed() << "u\n";
        if (number(QStringLiteral("sdo_client_queue_internal_access_supported")) == 1)
            out << "#define CO_SDOQUEUE_INTERNAL_ACCESS\t\t1u\n";
    }
    if (number(QStringLiteral("limit_check")) > 0)
        out << "#define CO_CONFIG_LIMIT_CHECK\t\t1u\n";
    const qint64 domainCounter = number(QStringLiteral("event_ssdo_domain_counter"));
    if (domainCounter != 0)
        out << "#define CO_SSDO_DOMAIN_CNT\t" << domainCounter << "u\n";
    if (number(QStringLiteral("sdo_split")) > 0)
        out << "#define CO_SDO_SPLIT_INDICATION\t\t1u\n";
    if (selfStarting())
        out << "#define CO_SELF_STARTING_DEVICE\t1u\n";
    if (extendedTypes)
        out << "#define CO_EXTENDED_DATA_TYPES\t\t1u\n";
    const qint64 isotpConnections = number(QStringLiteral("isotp_connection_cnt"));
    if (isotpConnections != 0) {
        out << "#define ISOTP_SUPPORTED\t1u\n"
            << "#define ISOTP_CONNECTION_CNT\t" << isotpConnections << "u\n";
    }
    if (utf8Type)
        out << "#define CO_UTF8_DATA_TYPE\t\t1u\n";
    if (!multiProtocol) {
        out << "/* number of used COB objects */\n"
            << "#define CO_COB_CNT\t" << getCobCount(0xFF) << "u\n";
    }
}

bool CoDefineGenerator::selfStarting()
{
    // The description settings of the line the header is generated for; the selection of
    // the store is given back afterwards.
    const ObjectDataBase *db = dataBase();
    if (!db)
        return false;
    const quint8 selected = db->descriptionSettingsLine();
    db->setDescriptionSettingsLine(activeLine);
    const bool on = db->getDescriptionSettingsValue(QStringLiteral("SelfStarting")) == "1";
    db->setDescriptionSettingsLine(selected);
    return on;
}
