#include "generators/objdictgenerator.h"

#include "generators/generatedtext.h"

#include <algorithm>

// Multi-line form: the line table, coCanOpenStackInit calling the common part, one
// function per line and the finish function, and the dispatcher by line number.
void ObjDictGenerator::initObjectDictionary_ml(GeneratedText &out)
{
    QStringList lineNumbers;
    for (quint8 line : qAsConst(odLineNumbers))
        lineNumbers << QString::number(line);
    out << "\nUNSIGNED8 canLineTable[CO_LINE_ARRAY_DECL] = {"
        << lineNumbers.join(QStringLiteral(", ")) << " };"
        << "\n";
    writeMultiLineMain(out);
    writeMultiLineCommon(out);
    writeMultiLineDispatch(out);
    int assignOffset = 0;
    for (quint8 line : qAsConst(odLineNumbers)) {
        const LineEntry &entry = odLines[line];
        const int assigned = int(std::count_if(entry.indices.cbegin(), entry.indices.cend(),
                                               &ObjDictGenerator::isAssigned));
        writeLineFunction(out, entry, assignOffset, assigned);
        assignOffset += assigned;
    }
    writeFinishFunction(out);
}

// The head of a function taking the load function (and the CAN FD modes).
void ObjDictGenerator::writeLoadFunctionHead(GeneratedText &out, const char *name)
{
    out << "RET_T " << name << "(\n"
        << "         CO_EVENT_STORE_T pLoadFunction\n";
    if (canFd)
        out << "         , BOOL_T *pModes\n";
    out << "    )\n"
        << "{\n";
}

void ObjDictGenerator::writeMultiLineMain(GeneratedText &out)
{
    writeLoadFunctionHead(out, "coCanOpenStackInit");
    out << "    RET_T retVal;\n"
        << (canFd ? "    retVal = coCanOpenStackInit_common(pLoadFunction, pModes);\n"
                  : "    retVal = coCanOpenStackInit_common(pLoadFunction);\n");
    for (quint8 line : qAsConst(lines)) {
        out << "    if (retVal == RET_OK) {\n"
            << "            retVal = coCanOpenStackInit_line" << line << "(" << line
            << (canFd ? ", NULL, pModes);\n" : ", NULL);\n") << "    }\n";
    }
    out << "    if (retVal == RET_OK) {\n"
        << "            retVal = coCanOpenStackInit_finish();\n"
        << "    }\n"
        << "    return(retVal);\n"
        << "}\n";
}

void ObjDictGenerator::writeMultiLineCommon(GeneratedText &out)
{
    writeLoadFunctionHead(out, "coCanOpenStackInit_common");
    if (canFd)
        out << "    CO_LINE_TYPE    CO_LINE;\n";
    out << "    RET_T retVal = RET_OK;\n";
    writeServiceStructure(out, false);
    if (canFd) {
        out << "    for (CO_LINE = 0; CO_LINE < CO_MULTI_LINE_CNT; CO_LINE ++)\n"
            << "    {\n"
            << "        serviceInitVars.fdMode[CO_LINE] = CO_TRUE;\n"
            << "        if (pModes != NULL) {\n"
            << "            serviceInitVars.fdMode[CO_LINE] = pModes[CO_LINE];\n"
            << "        }\n"
            << "    }\n";
    }
    out << "    /* multi-line initialization */\n"
        << "    retVal = coCanOpenStackVarInit(&serviceInitVars);\n"
        << "    if (retVal != RET_OK) {\n"
        << "        return (retVal);\n"
        << "    }\n"
        << "    /* library timer initialization */\n"
        << "    coTimerInit(CO_TIMER_INTERVAL);\n"
        << "\n";
    writeLoadFunction(out);
    out << "\n"
        << "    return(retVal);\n"
        << "}\n"
        << "\n";
}

void ObjDictGenerator::writeMultiLineDispatch(GeneratedText &out)
{
    writeLineFunctionHead(out, QStringLiteral("coCanOpenStackInit_line"),
                          QStringLiteral("         , BOOL_T *pModes\n"));
    out << "    switch(canLine) {\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        out << "   \tcase " << line << ":\n"
            << "   \t\tretVal = coCanOpenStackInit_line" << line
            << (canFd ? "(canLine, pCoOptions, pModes);\n" : "(canLine, pCoOptions);\n")
            << "   \t\tbreak;\n";
    }
    out << "   \tdefault:\n"
        << "   \t\tretVal = RET_INVALID_PARAMETER;\n"
        << "   \tbreak;\n"
        << "    }\n"
        << "    return(retVal);\n"
        << "}\n";
}

// The head of a function taking the line and the options (and the CAN FD modes, whose
// parameter line is indented differently in the dispatcher and the line functions).
void ObjDictGenerator::writeLineFunctionHead(GeneratedText &out, const QString &name,
                                             const QString &fdParameter)
{
    out << "RET_T " << name << "(\n"
        << "                  UNSIGNED8 canLine,\n"
        << "                  CO_INIT_OPTION_T *pCoOptions\n";
    if (canFd)
        out << fdParameter;
    out << "       )\n"
        << "{\n"
        << "    RET_T retVal;\n";
}

// The start of one line. The line's assignCount objects start at assignOffset in
// od_assign. Their description positions count from the start of od_description (the
// shared objects of a line point at line 0's entries), so the line is given the whole
// description table.
void ObjDictGenerator::writeLineFunction(GeneratedText &out, const LineEntry &entry,
                                         int assignOffset, int assignCount)
{
    const quint8 line = entry.line;
    out << "\n"
        << "\n/* " << QString(90, QLatin1Char('*')) << " */\n"
        << "/* Initialize line << " << line << " */\n";
    writeLineFunctionHead(out, QStringLiteral("coCanOpenStackInit_line%1").arg(line),
                          QStringLiteral("                  , BOOL_T *pModes\n"));
    out << "    /* initialize object dictionary variables and pointers */\n"
        << "    coOdInitOdPtr(canLine, &od_assign[" << assignOffset << "], " << assignCount
        << ", od_description, CO_OBJ_DESC_CNT, NULL, &od_data_variables);\n"
        << "\n";
    writeLineSdo(out, line);
    writeErrorControlToTime(out, line, true);
    for (quint16 index : entry.indicesIn(0x1800, 0x19FF)) {
        initTpdo(out, line, index);
        out << returnCheck();
    }
    for (quint16 index : entry.indicesIn(0x1400, 0x15FF)) {
        initRpdo(out, line, index);
        out << returnCheck();
    }
    writeLineOptionalServices(out, line);
    writeLineLssNmt(out, line);
    out << "    return(RET_OK);\n"
        << "}\n";
}

void ObjDictGenerator::writeLineSdo(GeneratedText &out, quint8 line)
{
    const QList<quint16> servers = indicesOf(line, 0x1201, 0x127F);
    out << "    /* initialize (u)sdo server(s) */\n";
    if (!canFd) {
        out << "    retVal = coSdoServerInit(canLine, 1u);\n" << returnCheck();
        for (quint16 index : servers) {
            out << "    retVal = coSdoServerInit(canLine, " << (index - 0x11FF) << "u);\n"
                << returnCheck();
        }
        for (quint16 index : indicesOf(line, 0x1280, 0x12FF)) {
            out << "    /* initialize sdo client */\n"
                << "    retVal = coSdoClientInit(canLine, " << (index - 0x127F) << "u);\n"
                << returnCheck();
        }
        return;
    }
    out << "    if (pModes != NULL) {\n"
        << "        if (pModes[canLine] == CO_TRUE) {\n"
        << "            retVal = coUsdoServerInit(canLine);\n"
        << returnCheck(12) << "#ifdef CO_SDO_SERVER_CNT\n"
        << "        }\n"
        << "        else {\n"
        << "            retVal = coSdoServerInit(canLine, 1u);\n"
        << returnCheck(12);
    for (quint16 index : servers) {
        out << "    retVal = coSdoServerInit(canLine, " << (index - 0x11FF) << "u);\n"
            << returnCheck();
    }
    out << "#endif /* CO_SDO_SERVER_CNT */\n"
        << "        }\n"
        << "    } else {\n"
        << "        retVal = coUsdoServerInit(canLine);\n"
        << returnCheck() << "    }\n";
}

void ObjDictGenerator::writeLineOptionalServices(GeneratedText &out, quint8 line)
{
    if (findIndex(line, 0x1F10)) {
        out << "\n"
            << "    /* initialize SDO Requesting Device (SRD) */\n"
            << "    retVal = coSrdInit(canLine);\n"
            << returnCheck();
    }
    if (settingNumber("isotp_connection_cnt") != 0) {
        out << "\n"
            << "    /* initialize ISO-TP */\n"
            << "    retVal = isoTpInit(canLine);\n"
            << returnCheck();
    }
    if (findIndex(line, 0x1300)) {
        out << "\n"
            << "    /* initialize  GFC (Producer, Consumer) */\n"
            << "    retVal = coGfcInit(canLine, CO_TRUE, CO_TRUE);\n"
            << returnCheck();
    }
    for (quint16 index : indicesOf(line, 0x1301, 0x1340)) {
        out << "\n"
            << "    /* initialize SRDO  */\n"
            << "    retVal = coSrdoInit(canLine, " << (index - 0x1300) << "u);\n"
            << returnCheck();
    }
    if (settingNumber("event_led") > 0) {
        out << "    /* initialization of LED module */\n"
            << "    coLedInit(canLine);\n\n";
    }
}

// LSS and NMT of one line. With the role chosen at run time ("nmtmaster" 2) the line's
// entry of "co_ml_ms" decides: 1 is master.
void ObjDictGenerator::writeLineLssNmt(GeneratedText &out, quint8 line)
{
    const int nmtMaster = settingNumber("nmtmaster");
    const bool master = nmtMaster == 1 || (nmtMaster == 2 && lineRole(line) == 1);
    if (settingNumber("lss_supported") > 0) {
        out << "\n";
        if (nmtMaster == 1)
            out << "    /* initialize LSS Master */\n";
        if (master) {
            out << "#ifdef CO_LSS_MASTER_SUPPORTED\n"
                << "    retVal = coLssMasterInit(canLine);\n"
                << "#endif /* CO_LSS_MASTER_SUPPORTED */\n";
        } else if (nmtMaster == 2) {
            out << "    retVal = coLssInit(canLine);\n";
        } else {
            out << "    /* initialize LSS Slave */\n"
                << "    retVal =  coLssInit(canLine);\n";
        }
        out << returnCheck();
    }
    if (master)
        out << "    /* initialize NMT master */ \n"
            << "    retVal = coNmtInit(canLine, 1u);\n";
    else
        out << "    /* initialize NMT slave */ \n"
            << "    retVal = coNmtInit(canLine, 0u);\n";
    out << returnCheck();
}

// The line's part of "co_ml_ms" (comma-separated, by line number) as a number; -1 when
// the list has no such part.
int ObjDictGenerator::lineRole(quint8 line) const
{
    const QStringList roles = setting("co_ml_ms").split(QLatin1Char(','));
    if (line >= roles.size())
        return -1;
    bool ok = false;
    const int role = roles.at(line).trimmed().toInt(&ok);
    return ok ? role : -1;
}

// PDO routing needs routing entries and dynamically mapped receive PDOs.
void ObjDictGenerator::writeFinishFunction(GeneratedText &out)
{
    int routes = 0;
    int receiveMappings = 0;
    int writableMappings = 0;
    for (quint8 line : qAsConst(odLineNumbers)) {
        if (const IndexEntry *routing = findIndex(line, 0x1F2C)) {
            for (const SubEntry &sub : routing->subs)
                routes += sub.sub >= 1 ? 1 : 0;
        }
        for (quint16 index : indicesOf(line, 0x1600, 0x17FF)) {
            ++receiveMappings;
            const SubEntry *count = findSub(line, index, 0);
            if (count && count->data.accesstype == QLatin1String("rw"))
                ++writableMappings;
        }
    }
    out << "\n"
        << "RET_T coCanOpenStackInit_finish(void)\n"
        << "{\n";
    if (routes > 0 && receiveMappings > 0 && writableMappings > 0) {
        out << "    RET_T retVal;\n"
            << "    /* initialize PDO routing */ \n"
            << "    retVal = coPdoNetworkRouting();\n"
            << returnCheck();
    } else {
        out << "    /*\n"
            << "     * Currently this function is only required to initialize PDO Routing.\n"
            << "     * Without it the function is empty, but may be used later for additional\n"
            << "     * purposes.\n"
            << "     */\n";
    }
    out << "    return(RET_OK);\n"
        << "}\n";
}
