// The J1939, raw CAN and multi-protocol sections of gen_define.h.
#include "generators/codefinegenerator.h"

#include "database/objectdatabase.h"

#include "generators/generatedtext.h"

namespace {

const quint8 transmit = 0x55;
const quint8 receive = 0x77;
const quint32 addressClaimPgn = 0xEE00;

// Diagnostic messages whose support a J1939 setting "diagsupport_dm<n>" may switch on.
const int lastDiagnosticMessage = 99;

const CoDefineGenerator::SettingDefine indicationCounts[] = {
    {"rxindication_cnt", "J1939_REC_PGN_INDICATION_CNT"},
    {"rxcheckindication_cnt", "J1939_REC_PGN_CHECK_INDICATION_CNT"},
    {"txindication_cnt", "J1939_TR_PGN_INDICATION_CNT"},
    {"requestindication_cnt", "J1939_REQ_PGN_INDICATION_CNT"},
    {"canindication_cnt", "CO_EVENT_DYNAMIC_CAN"},
    {"nmea2000groupindication_cnt", "J1939_NMEA_GROUP_INDICATION_CNT"},
};

const CoDefineGenerator::SettingDefine rawCanIndications[] = {
    {"rxindication_cnt", "CANRAW_REC_INDICATION_CNT"},
    {"txindication_cnt", "CANRAW_TR_INDICATION_CNT"},
    {"changedindication_cnt", "CANRAW_CHANGED_INDICATION_CNT"},
};

} // namespace

void CoDefineGenerator::generateJ1939Defines(GeneratedText &out)
{
    QList<quint8> j1939Lines;
    for (quint8 line : lineList()) {
        if (!isCanEdition() || LineTypes::carriesJ1939(lineType(line)))
            j1939Lines.append(line);
    }
    if (j1939Lines.size() > 1 && !multiLineWritten) {
        out << "#define CO_MULTI_LINE\t1u\n"
            << "#define CO_MULTI_LINE_CNT\t" << j1939Lines.size() << "u\n";
        multiLineWritten = true;
        multiLine = true;
    }
    out << "#define J1939_SUPPORTED\t"
        << "1u"
        << "\n";
    const ObjectDataBase *db = dataBase();
    if (db && !j1939Lines.isEmpty()) {
        const auto pgns = [db](quint8 line, quint8 direction) {
            return qint64(db->getPGNs(line, direction).size());
        };
        writeMessageCounts(out, j1939Lines, pgns, "J1939_%1_PGN_%2");
    }
    writeJ1939Options(out);
    if (j1939Present && !multiProtocol)
        writeJ1939CobDefines(out, j1939Lines);
    if (!bufferCountsWritten) {
        const QString receiveSize = bufferSetting(QStringLiteral("receivebuffersize"), "10");
        const QString transmitSize = bufferSetting(QStringLiteral("transmitbuffersize"), "5");
        out << "#define CO_REC_BUFFER_CNT\t" << receiveSize << "\n"
            << "#define CO_TR_BUFFER_CNT\t" << transmitSize << "\n"
            << "#define CO_REC_BUFFER_COUNTS\t" << receiveSize << "\n"
            << "#define CO_TR_BUFFER_COUNTS\t" << transmitSize << "\n";
        bufferCountsWritten = true;
    }
}

void CoDefineGenerator::writeMessageCounts(GeneratedText &out, const QList<quint8> &lines,
                                           const MessageCount &count, const char *nameFormat)
{
    // nameFormat gives the define names: %1 the direction, %2 "CNT" or "COUNTS".
    const auto name = [nameFormat](const char *direction, const char *kind) {
        return QString::fromLatin1(nameFormat).arg(QLatin1String(direction), QLatin1String(kind));
    };
    const auto inDirection = [&count](quint8 direction) {
        return [&count, direction](quint8 line) { return count(line, direction); };
    };
    qint64 receiveTotal = 0;
    qint64 transmitTotal = 0;
    for (quint8 line : lines) {
        receiveTotal += count(line, receive);
        transmitTotal += count(line, transmit);
    }
    out << "#define " << name("RECEIVE", "CNT") << "\t" << receiveTotal << "u\n"
        << "#define " << name("TRANSMIT", "CNT") << "\t" << transmitTotal << "u\n";
    if (lines.size() > 1) {
        out << "#define " << name("RECEIVE", "COUNTS") << "\t"
            << perLineList(inDirection(receive), lines) << "\n"
            << "#define " << name("TRANSMIT", "COUNTS") << "\t"
            << perLineList(inDirection(transmit), lines) << "\n";
    }
}

void CoDefineGenerator::writeJ1939Options(GeneratedText &out)
{
    const bool requests = j1939Number(QStringLiteral("requestsupport")) > 0;
    for (const CoDefineGenerator::SettingDefine &count : indicationCounts) {
        const qint64 value = j1939Number(QLatin1String(count.keys));
        if (value > 0 && (requests || qstrcmp(count.keys, "requestindication_cnt") != 0))
            out << "#define " << count.define << "\t" << value << "u\n";
    }
    const auto flag = [this](const char *key) { return j1939Number(QLatin1String(key)) > 0; };
    const auto sizeText = [this](const char *key) {
        return j1939Setting(QLatin1String(key)).trimmed();
    };
    if (flag("recalladdrclaims"))
        out << "#define J1939_REC_ALL_CLAIM_SUPPORT\t1u\n";
    if (flag("bamsupport"))
        out << "#define J1939_BAM_SUPPORTED\t1u\n";
    if (flag("nmea2000support"))
        out << "#define J1939_NMEA2000_SUPPORTED\t1u\n";
    if (flag("cmdtsupport")) {
        out << "#define J1939_CMDT_SUPPORTED\t1u\n"
            << "#define J1939_CMDT_MAX_PACKETS\t" << sizeText("cmdtpackets") << "u\n";
    }
    if (flag("diagsupport")) {
        out << "#define J1939_DIAGNOSTIC_SUPPORTED\t1u\n"
            << "#define J1939_DIAG_REC_BUF_SIZE\t" << sizeText("dm_receivesize") << "u\n"
            << "#define J1939_DIAG_TR_BUF_SIZE\t" << sizeText("dm_transmitsize") << "u\n";
        for (int dm = 1; dm <= lastDiagnosticMessage; ++dm) {
            if (j1939Number(QStringLiteral("diagsupport_dm%1").arg(dm)) > 0)
                out << "#define J1939_DIAGNOSTIC_DM" << dm << "_SUPPORTED\t1u\n";
        }
    }
    if (flag("diagtoolsupport")) {
        out << "#define J1939_DIAGNOSTIC_TOOL_SUPPORTED\t1u\n"
            << "#define J1939_DIAGTOOL_REC_BUF_SIZE\t" << sizeText("dmtool_receivesize") << "u\n"
            << "#define J1939_DIAGTOOL_TR_BUF_SIZE\t" << sizeText("dmtool_transmitsize") << "u\n";
        for (int dm = 1; dm <= lastDiagnosticMessage; ++dm) {
            if (j1939Number(QStringLiteral("diagsupport_dmtool%1").arg(dm)) > 0)
                out << "#define J1939_DIAGNOSTIC_TOOL_DM" << dm << "_SUPPORTED\t1u\n";
        }
    }
    if (requests)
        out << "#define J1939_REQUEST_SUPPORTED\t1u\n";
    if (flag("propsupport"))
        out << "#define J1939_PROPRIETARY_SUPPORTED\t1u\n";
    if (flag("dynsupport"))
        out << "#define J1939_DYNAMIC_PGN\t1u\n";
    const qint64 isotpConnections = j1939Number(QStringLiteral("isotp_connection_cnt"));
    if (isotpConnections > 0) {
        out << "#define ISOTP_SUPPORTED\t1u\n"
            << "#define ISOTP_CONNECTION_CNT\t" << isotpConnections << "u\n";
    }
}

void CoDefineGenerator::writeJ1939CobDefines(GeneratedText &out, const QList<quint8> &j1939Lines)
{
    const auto cobs = [this](quint8 line) {
        return qint64(getJ1939Cobs(line) + additionalCobs(line));
    };
    qint64 total = 0;
    for (quint8 line : j1939Lines)
        total += cobs(line);
    out << "#define CO_COB_CNT \t" << total << "u"
        << "\n";
    if (j1939Lines.size() > 1)
        out << "#define CO_COB_COUNTS\t" << perLineList(cobs, j1939Lines) << "\n";
    else
        out << "#define CO_COB_COUNTS\tCO_COB_CNT\n";
}

quint32 CoDefineGenerator::getJ1939Cobs(quint8 line)
{
    const ObjectDataBase *db = dataBase();
    if (!db)
        return 0;
    if (j1939Number(QStringLiteral("nmea2000support")) > 0)
        return 2;
    quint32 cobs = 3;
    if (j1939Number(QStringLiteral("diagsupport")) >= 1) {
        cobs = 4;
        for (int dm : {7, 13, 14, 16, 17, 18}) {
            if (j1939Number(QStringLiteral("diagsupport_dm%1").arg(dm)) >= 1)
                ++cobs;
        }
    }
    // One COB per PGN and one for the transport protocol of each direction; the address
    // claim has a COB of its own already.
    const QList<quint32> transmitPgns = db->getPGNs(line, transmit);
    if (!transmitPgns.isEmpty()) {
        cobs += quint32(transmitPgns.size()) + 1;
        if (transmitPgns.contains(addressClaimPgn))
            cobs -= 1;
    }
    const QList<quint32> receivePgns = db->getPGNs(line, receive);
    if (!receivePgns.isEmpty())
        cobs += quint32(receivePgns.size()) + 1;
    if (j1939Number(QStringLiteral("diagtoolsupport")) >= 1)
        cobs += 2;
    if (j1939Number(QStringLiteral("requestsupport")) > 0)
        cobs += 1;
    if (j1939Number(QStringLiteral("bamsupport")) > 0
        || j1939Number(QStringLiteral("cmdtsupport")) > 0)
        cobs += 6;
    return cobs;
}

void CoDefineGenerator::generateCANRAWDefines(GeneratedText &out)
{
    const ObjectDataBase *db = dataBase();
    QList<quint8> rawLines;
    for (quint8 line : lineList()) {
        if (lineType(line) == LineType::RawCan)
            rawLines.append(line);
    }
    if (!db || rawLines.isEmpty())
        return;
    const auto canIds = [db](quint8 line, quint8 direction) {
        return qint64(db->getCANIDs(line, direction).size());
    };
    out << "\n/* CAN RAW Defines */\n"
        << "#define CANRAW_SUPPORTED\t"
        << "1u"
        << "\n";
    writeMessageCounts(out, rawLines, canIds, "CANRAW_%1_%2");
    for (const CoDefineGenerator::SettingDefine &indication : rawCanIndications) {
        const QString value = setting(QLatin1String(indication.keys)).trimmed();
        if (number(QLatin1String(indication.keys)) > 0)
            out << "#define " << indication.define << "\t" << value << "u\n";
    }
}

void CoDefineGenerator::generateMultiCOBs(GeneratedText &out)
{
    // getCobCount holds the additional COBs of a CANopen line already; the other
    // protocols add them here.
    const ObjectDataBase *db = dataBase();
    const auto cobs = [this, db](quint8 line) -> qint64 {
        switch (lineType(line)) {
        case LineType::CANopen:
            return getCobCount(line);
        case LineType::CANopenAndJ1939:
            return getCobCount(line) + getJ1939Cobs(line);
        case LineType::J1939:
            return getJ1939Cobs(line) + additionalCobs(line);
        case LineType::RawCan:
            return (db ? db->getCANIDs(line, 0).size() : 0) + additionalCobs(line);
        default:
            return additionalCobs(line);
        }
    };
    out << "/* COB Definitions */\n"
        << "#define CO_COB_COUNTS " << perLineList(cobs) << "\n"
        << "#define CO_COB_CNT \t" << sumOverLines(cobs) << "\n";
}
