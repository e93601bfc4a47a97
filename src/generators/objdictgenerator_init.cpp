#include "generators/objdictgenerator.h"

#include "generators/generatedtext.h"

QString ObjDictGenerator::returnCheck(int indent)
{
    const QString blanks(indent, QLatin1Char(' '));
    return blanks + QStringLiteral("if (retVal != RET_OK) {\n") + blanks
           + QStringLiteral("    return(retVal);\n") + blanks + QStringLiteral("}\n");
}

// Single-line form: coCanOpenStackInit (coCanOpenStackInitPara when the NMT role is chosen
// at run time) for the active line.
void ObjDictGenerator::initObjectDictionary(GeneratedText &out)
{
    out << "\n";
    if (settingNumber("nmtmaster") == 2) {
        out << "RET_T coCanOpenStackInitPara(\n"
            << "         CO_EVENT_STORE_T pLoadFunction,\n";
        if (canFd)
            out << "         CO_INIT_OPTION_T *pCoOptions,\n"
                << "         BOOL_T *pModes\n";
        else
            out << "         CO_INIT_OPTION_T *pCoOptions\n";
    } else {
        out << "RET_T coCanOpenStackInit(\n";
        if (canFd)
            out << "         CO_EVENT_STORE_T pLoadFunction,\n"
                << "         BOOL_T *pModes\n";
        else
            out << "         CO_EVENT_STORE_T pLoadFunction\n";
    }
    out << "    )\n"
        << "{\n"
        << "    RET_T retVal;\n"
        << "\n";
    writeServiceStructure(out, canFd);
    if (canFd) {
        out << "    if (pModes != NULL) {\n"
            << "        serviceInitVars.fdMode[0] = pModes[0];\n"
            << "    }\n";
    }
    out << "    /* variable initialization */\n"
        << "    retVal = coCanOpenStackVarInit(&serviceInitVars);\n"
        << "    if (retVal != RET_OK) {\n"
        << "        return (retVal);\n"
        << "    }\n"
        << "\n"
        << "    /* initialize object dictionary variables and pointers */\n"
        << "    coOdInitOdPtr(&od_assign[0], CO_OD_ASSIGN_CNT, &od_description[0], "
           "CO_OBJ_DESC_CNT, NULL, &od_data_variables);\n"
        << "\n"
        << "    /* library timer initialization */\n"
        << "    coTimerInit(CO_TIMER_INTERVAL);\n"
        << "\n";
    if (settingNumber("event_led") > 0) {
        out << "    /* initialization of LED module */\n"
            << "    coLedInit();\n\n";
    }
    writeSingleLineServices(out, activeLine);
    writeLoadFunction(out);
    writeSingleLineNmt(out);
    out << "    return(RET_OK);\n"
        << "}\n";
}

// The per-line lists of gen_define.h that configure the stack's variables.
void ObjDictGenerator::writeServiceStructure(GeneratedText &out, bool fdEntry)
{
    out << "    CO_SERVICE_INIT_VAL_T\tserviceInitVars = {\n"
        << "       " << 4 << ",\n"
        << "       { CO_REC_BUFFER_COUNTS },\n"
        << "       { CO_TR_BUFFER_COUNTS },\n"
        << "       { CO_OBJECT_COUNTS },\n"
        << "       { CO_COB_COUNTS },\n"
        << "       { CO_TXPDO_COUNTS },\n"
        << "       { CO_RXPDO_COUNTS },\n"
        << "#ifdef CO_SRDO_SUPPORTED\n"
        << "       { CO_SRDO_COUNTS },\n"
        << "#endif /* CO_SRDO_SUPPORTED */\n"
        << "       { CO_SSDO_COUNTS },\n"
        << "       { CO_CSDO_COUNTS },\n"
        << "       { CO_ERR_CTRL_COUNTS },\n"
        << "       { CO_ERR_HIST_COUNTS },\n"
        << "       { CO_ACT_ERR_HIST_COUNTS },\n"
        << "       { CO_EMCY_CONS_COUNTS },\n"
        << "#ifdef CO_NETWORK_ROUTING_CNT\n"
        << "       { CO_NETWORK_ROUTING_COUNTS }, \n"
        << "#endif /* CO_NETWORK_ROUTING_CNT */\n"
        << "       { CO_ASSIGN_COUNTS },\n"
        << "       { CO_GUARDING_COUNTS },\n"
        << "       { CO_NODE_IDS }, \n";
    if (fdEntry)
        out << "       { CO_NODE_ID_FUNCTIONS }, \n"
            << "       { CO_TRUE }\n";
    else
        out << "       { CO_NODE_ID_FUNCTIONS } \n";
    out << "    };\n"
        << "\n";
}

void ObjDictGenerator::writeSingleLineServices(GeneratedText &out, quint8 line)
{
    writeSingleLineSdo(out, line);
    writeErrorControlToTime(out, line, false);
    const QList<quint16> tpdos = indicesOf(line, 0x1800, 0x19FF);
    const QList<quint16> rpdos = indicesOf(line, 0x1400, 0x15FF);
    for (quint16 index : tpdos) {
        initTpdo(out, line, index);
        out << returnCheck();
    }
    for (quint16 index : rpdos) {
        initRpdo(out, line, index);
        out << returnCheck();
    }
    if (findIndex(line, 0x1F10)) {
        out << "\n"
            << "    /* initialize SDO Requesting Device (SRD) */\n"
            << "    retVal = coSrdInit();\n"
            << returnCheck();
    }
    if (findIndex(line, 0x1300)) {
        out << "\n"
            << "    /* initialize  GFC Producer - Consumer */\n"
            << "    retVal = coGfcInit(CO_TRUE, CO_TRUE);\n"
            << returnCheck();
    }
    for (quint16 index : indicesOf(0, 0x1301, 0x1340)) {
        out << "\n"
            << "    /* initialize SRDO  */\n"
            << "    retVal = coSrdoInit(" << (index - 0x1300) << "u);\n"
            << returnCheck();
    }
    if (settingNumber("isotp_connection_cnt") != 0) {
        out << "\n"
            << "    /* initialize ISO-TP */\n"
            << "    retVal = isoTpInit();\n"
            << returnCheck();
    }
}

void ObjDictGenerator::writeSingleLineSdo(GeneratedText &out, quint8 line)
{
    if (canFd) {
        out << "    /* initialize (u)sdo server(s) */\n"
            << "    if (serviceInitVars.fdMode[0] == CO_TRUE) {\n"
            << "       retVal = coUsdoServerInit();\n"
            << returnCheck(7) << "#ifdef CO_SDO_SERVER_CNT\n"
            << "    } else {\n"
            << "        retVal = coSdoServerInit(1);\n"
            << returnCheck(7) << "#endif /* CO_SDO_SERVER_CNT */\n"
            << "    }\n";
    } else {
        out << "    /* initialize sdo server(s) */\n"
            << "    retVal = coSdoServerInit(1u);\n";
    }
    out << returnCheck();
    for (quint16 index : indicesOf(line, 0x1201, 0x127F))
        out << "    retVal = coSdoServerInit(" << (index - 0x11FF) << "u);\n" << returnCheck();
    if (!findIndex(line, 0x1280))
        return;
    out << "    /* initialize sdo clients(s) */\n";
    if (canFd && settingNumber("usdo_client_cnt") != 0)
        out << "    retVal = coUsdoClientInit();\n" << returnCheck();
    for (quint16 index : indicesOf(line, 0x1280, 0x12FF))
        out << "    retVal = coSdoClientInit(" << (index - 0x127F) << "u);\n" << returnCheck();
}

// Error control, emergency producer, SYNC, emergency consumer and TIME; the same in both
// forms except for the line argument.
void ObjDictGenerator::writeErrorControlToTime(GeneratedText &out, quint8 line, bool withLine)
{
    const QString lineArgument = withLine ? QStringLiteral("canLine, ") : QString();
    const IndexEntry *consumers = findIndex(line, 0x1016);
    const int heartbeats = consumers ? consumers->subs.size() - 1 : 0;
    if (findIndex(line, 0x1017)) {
        out << "    /* initialize error control */\n"
            << "    retVal = coErrorCtrlInit(" << lineArgument
            << constRef("od_const_u16", line, 0x1017, 0) << ", " << heartbeats << "u);\n"
            << returnCheck();
    } else if (findIndex(line, 0x100C)) {
        out << "    /* initialize error control (Node Guarding) */\n"
            << "    retVal = coErrorCtrlInit(" << lineArgument << "0, " << heartbeats << "u);\n"
            << returnCheck();
    }
    if (findIndex(line, 0x1014)) {
        out << "    /* initialize emergency */\n"
            << "    retVal = coEmcyProducerInit(" << (withLine ? "canLine" : "") << ");\n"
            << returnCheck();
    }
    if (findIndex(line, 0x1005)) {
        out << "    /* initialize sync */\n"
            << "    retVal = coSyncInit(" << lineArgument
            << constRef("od_const_u32", line, 0x1005, 0) << ", "
            << (findIndex(line, 0x1006) ? constRef("od_const_u32", line, 0x1006, 0)
                                        : QStringLiteral("0"))
            << ", "
            << (findIndex(line, 0x1019) ? constRef("od_const_u8", line, 0x1019, 0)
                                        : QStringLiteral("0"))
            << ");\n"
            << returnCheck();
    }
    if (const IndexEntry *emcyConsumer = findIndex(line, 0x1028)) {
        out << "\n"
            << "    /* initialize EMCY consumer */\n"
            << "    retVal = coEmcyConsumerInit(" << lineArgument << (emcyConsumer->subs.size() - 1)
            << "u);\n"
            << returnCheck();
    }
    if (findIndex(line, 0x1012)) {
        const SubEntry *cobId = findSub(line, 0x1012, 0);
        quint64 value = 0;
        qint64 signedValue = 0;
        if (cobId)
            parseInteger(cobId->data.defaultvalue, value, signedValue);
        out << "\n"
            << "    /* initialize Time service */\n"
            << "    retVal = coTimeInit(" << lineArgument
            << ((value & 0x80000000u) ? "CO_TRUE" : "CO_FALSE") << ", "
            << ((value & 0x40000000u) ? "CO_TRUE" : "CO_FALSE") << ");\n"
            << returnCheck();
    }
}

void ObjDictGenerator::writeLoadFunction(GeneratedText &out)
{
    out << "\n    /* initialize load parameter function */\n"
        << "#if defined(CO_EVENT_DYNAMIC_STORE) || defined(CO_EVENT_PROFILE_STORE)\n"
        << "    retVal = coEventRegister_LOAD_PARA(pLoadFunction);\n"
        << "    if (retVal != RET_OK) {\n"
        << "        return (retVal);\n"
        << "    }\n"
        << "#else\n";
    if (setting("fct_store").trimmed().isEmpty()) {
        out << "    if (pLoadFunction != NULL) {\n"
            << "        return RET_INVALID_PARAMETER;\n"
            << "    }\n";
    }
    out << "#endif /* CO_EVENT_DYNAMIC_STORE || CO_EVENT_PROFILE_STORE */\n";
}

void ObjDictGenerator::writeSingleLineNmt(GeneratedText &out)
{
    const int nmtMaster = settingNumber("nmtmaster");
    const bool lss = settingNumber("lss_supported") > 0;
    if (nmtMaster == 2) {
        out << "\n"
            << "    /* Check dynamic options for master flag */\n"
            << "    if (pCoOptions->master == 1) {\n";
        if (lss) {
            out << "        /* initialize LSS Master */\n"
                << "        retVal = coLssMasterInit();\n"
                << returnCheck(8);
        }
        out << "        /* initialize NMT master */ \n"
            << "        retVal = coNmtInit(1u);\n"
            << returnCheck(8) << "    } else {\n";
        if (lss) {
            out << "        /* initialize LSS Slave */\n"
                << "        retVal = coLssInit();\n"
                << returnCheck(8);
        }
        out << "        /* initialize NMT slave */ \n"
            << "        retVal = coNmtInit(0u);\n"
            << returnCheck(8) << "    }\n";
        return;
    }
    if (lss) {
        out << "\n";
        if (nmtMaster == 1)
            out << "    /* initialize LSS Master */\n"
                << "    retVal = coLssMasterInit();\n";
        else
            out << "    /* initialize LSS Slave */\n"
                << "    retVal =  coLssInit();\n";
        out << returnCheck();
    }
    if (nmtMaster <= 0)
        out << "    /* initialize NMT slave */ \n"
            << "    retVal = coNmtInit(0u);\n";
    else
        out << "    /* initialize NMT master */ \n"
            << "    retVal = coNmtInit(1u);\n";
    out << returnCheck();
}

void ObjDictGenerator::initTpdo(GeneratedText &out, quint8 line, quint16 index)
{
    const int number = index - 0x17FF;
    out << "    /* initialize TPDO " << number << " */\n"
        << "    retVal = coPdoTransmitInit(" << pdoArguments(line, index, number, true) << ");\n";
}

void ObjDictGenerator::initRpdo(GeneratedText &out, quint8 line, quint16 index)
{
    const int number = index - 0x13FF;
    out << "    /* initialize RPDO " << number << " */\n"
        << "    retVal = coPdoReceiveInit(" << pdoArguments(line, index, number, false) << ");\n";
}

// Line (multi-line form), PDO number, transmission type, inhibit time, event timer, SYNC
// start value (transmit PDOs only) and the static mapping table.
QString ObjDictGenerator::pdoArguments(quint8 line, quint16 index, int number, bool transmit) const
{
    QString text = isMultiLineForm() ? QString::number(line) + QStringLiteral(", ") : QString();
    text +=
        QString::number(number) + QStringLiteral("u, ") + constRef("od_const_u8", line, index, 2);
    const QList<QPair<quint8, const char *>> optional = {
        {3, "od_const_u16"}, {5, "od_const_u16"}, {6, "od_const_u8"}};
    for (const auto &parameter : optional) {
        if (parameter.first == 6 && !transmit)
            break;
        text +=
            findSub(line, index, parameter.first)
                ? QStringLiteral(", ") + constRef(parameter.second, line, index, parameter.first)
                : QStringLiteral(", 0u");
    }
    const QString table = mappingTableName(line, index, transmit);
    return text + (table.isEmpty() ? QStringLiteral(", NULL") : QStringLiteral(", &") + table);
}

// "od_const_u16[%1]" with the position of the entry's default value.
QString ObjDictGenerator::constRef(const char *array, quint8 line, quint16 index, quint8 sub) const
{
    const SubEntry *entry = findSub(line, index, sub);
    const bool shared = entry && entry->data.sharedlines;
    return QStringLiteral("%1[%2]")
        .arg(QLatin1String(array))
        .arg(constPositions.value(subKey(line, index, sub, shared), 0));
}
