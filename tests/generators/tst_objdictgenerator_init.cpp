// The stack start functions, userOverwriteCobIdSettings, gen_user.h and the file header
// of gen_objdict.c. Which services start with which arguments is compared with the project
// by tst_objdictruntime; the plain forms are pinned by the golden files.

#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

using odtest::Sub;
using odtest::sub;

namespace {

const QString check = QStringLiteral("    if (retVal != RET_OK) {\n"
                                     "        return(retVal);\n"
                                     "    }\n");

QString run(ObjectDataBase &db, QTemporaryDir *keep = nullptr)
{
    QTemporaryDir own;
    QTemporaryDir &dir = keep ? *keep : own;
    QString text;
    odtest::generate(db, dir.path(), false, &text);
    return text;
}

// True when every fragment occurs in text, in the given order.
bool inOrder(const QString &text, const QStringList &fragments, QString *missing)
{
    int from = 0;
    for (const QString &fragment : fragments) {
        const int at = text.indexOf(fragment, from);
        if (at < 0) {
            *missing = fragment;
            return false;
        }
        from = at + fragment.size();
    }
    return true;
}

// Lines 0 to 2 with different numbers of objects and sub-indices, virtual ones included.
void buildThreeLines(ObjectDataBase &db)
{
    odtest::buildMinimalProject(db);
    db.addNode(1, ObjectDataBase::NODE_DATA_T());
    db.addNode(2, ObjectDataBase::NODE_DATA_T());
    odtest::addArray(db, 0, 0x2000, 2, sub(5, "rw", "0"));
    for (quint16 index : {0x1000, 0x1001, 0x2000, 0x2001})
        odtest::addVar(db, 1, index, sub(5, "rw", "0"));
    odtest::addArray(db, 1, 0x2002, 3, sub(5, "rw", "0", 3));
    odtest::addVar(db, 2, 0x1000, sub(7, "const", "0", 1));
    odtest::addVar(db, 2, 0x1001, sub(5, "ro", "0"));
}

} // namespace

class TestObjDictGeneratorInit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void singleLineSignature_data()
    {
        QTest::addColumn<QString>("nmtMaster");
        QTest::addColumn<QString>("canFd");
        QTest::addColumn<QString>("head");
        // The slave form is pinned by the golden file of the single-line project.
        QTest::addRow("role at run time")
            << "2"
            << "0"
            << "\nRET_T coCanOpenStackInitPara(\n         CO_EVENT_STORE_T pLoadFunction,\n"
               "         CO_INIT_OPTION_T *pCoOptions\n    )\n{\n";
        QTest::addRow("CAN FD") << "1"
                                << "1"
                                << "\nRET_T coCanOpenStackInit(\n"
                                   "         CO_EVENT_STORE_T pLoadFunction,\n"
                                   "         BOOL_T *pModes\n    )\n{\n";
    }

    void singleLineSignature()
    {
        QFETCH(QString, nmtMaster);
        QFETCH(QString, canFd);
        QFETCH(QString, head);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "nmtmaster", nmtMaster);
        odtest::setting(db, "canfd_supported", canFd);
        const QString text = run(db);
        QVERIFY2(text.contains(head + QStringLiteral("    RET_T retVal;\n\n")), qPrintable(text));
        const bool fd = canFd == QLatin1String("1");
        QCOMPARE(text.contains(QStringLiteral("       { CO_NODE_ID_FUNCTIONS }, \n"
                                              "       { CO_TRUE }\n    };\n")),
                 fd);
        QCOMPARE(text.contains(QStringLiteral("    if (pModes != NULL) {\n"
                                              "        serviceInitVars.fdMode[0] = pModes[0];\n")),
                 fd);
        QCOMPARE(text.contains(QStringLiteral("       retVal = coUsdoServerInit();\n")), fd);
        QCOMPARE(text.contains(QStringLiteral("    retVal = coSdoServerInit(1u);\n") + check), !fd);
    }

    void singleLineNmt_data()
    {
        QTest::addColumn<QString>("nmtMaster");
        QTest::addColumn<QString>("lss");
        QTest::addColumn<QString>("tail");
        // The plain slave is pinned by the golden file of the single-line project.
        QTest::addRow("LSS slave")
            << "0"
            << "1"
            << "\n    /* initialize LSS Slave */\n    retVal =  coLssInit();\n" + check
                   + "    /* initialize NMT slave */ \n";
        QTest::addRow("LSS master") << "1"
                                    << "1"
                                    << "\n    /* initialize LSS Master */\n"
                                       "    retVal = coLssMasterInit();\n"
                                           + check
                                           + "    /* initialize NMT master */ \n"
                                             "    retVal = coNmtInit(1u);\n";
        const QString inner = QStringLiteral("        if (retVal != RET_OK) {\n"
                                             "            return(retVal);\n        }\n");
        QTest::addRow("role at run time with LSS")
            << "2"
            << "1"
            << "\n    /* Check dynamic options for master flag */\n"
               "    if (pCoOptions->master == 1) {\n"
               "        /* initialize LSS Master */\n        retVal = coLssMasterInit();\n"
                   + inner
                   + "        /* initialize NMT master */ \n        retVal = coNmtInit(1u);\n"
                   + inner
                   + "    } else {\n        /* initialize LSS Slave */\n"
                     "        retVal = coLssInit();\n"
                   + inner
                   + "        /* initialize NMT slave */ \n        retVal = coNmtInit(0u);\n"
                   + inner + "    }\n    return(RET_OK);\n}\n";
        QTest::addRow("role at run time") << "2"
                                          << "0"
                                          << "    if (pCoOptions->master == 1) {\n"
                                             "        /* initialize NMT master */ \n";
    }

    void singleLineNmt()
    {
        QFETCH(QString, nmtMaster);
        QFETCH(QString, lss);
        QFETCH(QString, tail);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "nmtmaster", nmtMaster);
        odtest::setting(db, "lss_supported", lss);
        const QString text = run(db);
        QVERIFY2(text.contains(tail), qPrintable(text.right(1200)));
    }

    // The heartbeat forms are compared with the project by tst_objdictruntime over the
    // imported descriptions; none of those guards nodes without a heartbeat.
    void errorControlWithoutHeartbeat()
    {
        for (bool guarding : {true, false}) {
            ObjectDataBase db;
            odtest::buildMinimalProject(db);
            if (guarding)
                odtest::addVar(db, 0, 0x100C, sub(6, "rw", "0"));
            odtest::addArray(db, 0, 0x1016, 1, sub(7, "rw", "0"));
            const QString text = run(db);
            if (guarding)
                QVERIFY2(text.contains(QStringLiteral("    /* initialize error control (Node "
                                                      "Guarding) */\n"
                                                      "    retVal = coErrorCtrlInit(0, 1u);\n")
                                       + check),
                         qPrintable(text.right(1500)));
            else
                QVERIFY(!text.contains(QStringLiteral("coErrorCtrlInit")));
        }
    }

    // The optional services start in a fixed order, each with its check.
    void singleLineServices()
    {
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::addVar(db, 0, 0x1005, sub(7, "rw", "0x80"));
        odtest::addVar(db, 0, 0x1012, sub(7, "rw", "0x40000100"));
        odtest::addVar(db, 0, 0x1014, sub(7, "ro", "$NODEID+0x80"));
        odtest::addVar(db, 0, 0x1019, sub(5, "rw", "3"));
        odtest::addArray(db, 0, 0x1028, 3, sub(7, "rw", "0"));
        for (quint16 index : {0x1200, 0x1201, 0x1280, 0x1281, 0x1300, 0x1301, 0x1302, 0x1F10})
            odtest::addVar(db, 0, index, sub(5, "rw", "1"));
        odtest::setting(db, "isotp_connection_cnt", "2");
        odtest::setting(db, "event_led", "1");
        odtest::setting(db, "fct_store", " appStore ");
        odtest::setting(db, "canfd_supported", "1");
        odtest::setting(db, "usdo_client_cnt", "1");
        const QString text = run(db);
        const QStringList constU8 =
            odtest::elements(text, QStringLiteral("static CO_CONST UNSIGNED8"));
        QString missing;
        QVERIFY2(
            inOrder(
                text,
                {"    /* initialization of LED module */\n    coLedInit();\n\n",
                 "    /* initialize (u)sdo server(s) */\n",
                 "        retVal = coSdoServerInit(1);\n",
                 "#endif /* CO_SDO_SERVER_CNT */\n    }\n" + check,
                 "    retVal = coSdoServerInit(2u);\n" + check,
                 "    /* initialize sdo clients(s) */\n    retVal = coUsdoClientInit();\n" + check,
                 "    retVal = coSdoClientInit(1u);\n" + check,
                 "    retVal = coSdoClientInit(2u);\n" + check,
                 "    /* initialize emergency */\n    retVal = coEmcyProducerInit();\n" + check,
                 QStringLiteral("    retVal = coSyncInit(od_const_u32[%1], 0, od_const_u8[%2]);\n")
                         .arg(1)
                         .arg(constU8.indexOf(QStringLiteral("\t(UNSIGNED8)3u")))
                     + check,
                 "\n    /* initialize EMCY consumer */\n    retVal = coEmcyConsumerInit(3u);\n"
                     + check,
                 "\n    /* initialize Time service */\n    retVal = coTimeInit(CO_FALSE, "
                 "CO_TRUE);\n"
                     + check,
                 "\n    /* initialize SDO Requesting Device (SRD) */\n    retVal = "
                 "coSrdInit();\n"
                     + check,
                 "\n    /* initialize  GFC Producer - Consumer */\n    retVal = "
                 "coGfcInit(CO_TRUE, CO_TRUE);\n"
                     + check,
                 "\n    /* initialize SRDO  */\n    retVal = coSrdoInit(1u);\n" + check,
                 "\n    /* initialize SRDO  */\n    retVal = coSrdoInit(2u);\n" + check,
                 "\n    /* initialize ISO-TP */\n    retVal = isoTpInit();\n" + check,
                 "#else\n#endif /* CO_EVENT_DYNAMIC_STORE || CO_EVENT_PROFILE_STORE */\n"},
                &missing),
            qPrintable(missing));
    }

    // The per-line start finds its N objects at A in od_assign; the description positions
    // count from the start of the table, so every line gets all of it.
    void multiLineObjectDictionaryOffsets()
    {
        ObjectDataBase db;
        buildThreeLines(db);
        const QString text = run(db);
        QVERIFY(text.contains(
            QStringLiteral("coOdInitOdPtr(canLine, &od_assign[0], 3, "
                           "od_description, CO_OBJ_DESC_CNT, NULL, &od_data_variables);\n")));
        QVERIFY(text.contains(
            QStringLiteral("coOdInitOdPtr(canLine, &od_assign[3], 5, "
                           "od_description, CO_OBJ_DESC_CNT, NULL, &od_data_variables);\n")));
        QVERIFY(text.contains(
            QStringLiteral("coOdInitOdPtr(canLine, &od_assign[8], 2, "
                           "od_description, CO_OBJ_DESC_CNT, NULL, &od_data_variables);\n")));
        QVERIFY(text.contains(
            QStringLiteral("UNSIGNED8 canLineTable[CO_LINE_ARRAY_DECL] = {0, 1, 2 };\n")));
        QVERIFY(text.contains(QStringLiteral(
            "RET_T coCanOpenStackInit_line2(UNSIGNED8 canLine, CO_INIT_OPTION_T *pCoOptions);\n")));
        QVERIFY(text.contains(QStringLiteral("    if (retVal == RET_OK) {\n            retVal = "
                                             "coCanOpenStackInit_line2(2, NULL);\n    }\n")));
        QVERIFY(text.contains(
            QStringLiteral("   \tcase 2:\n   \t\tretVal = coCanOpenStackInit_line2(canLine, "
                           "pCoOptions);\n   \t\tbreak;\n")));
    }

    void multiLineCanFd()
    {
        ObjectDataBase db;
        buildThreeLines(db);
        odtest::setting(db, "canfd_supported", "1");
        odtest::addVar(db, 1, 0x1201, sub(5, "rw", "0"));
        const QString text = run(db);
        QString missing;
        QVERIFY2(
            inOrder(text,
                    {"RET_T coCanOpenStackInit_common(CO_EVENT_STORE_T pLoadFunction, BOOL_T "
                     "*pModes);\n",
                     "RET_T coCanOpenStackInit_line0(UNSIGNED8 canLine, CO_INIT_OPTION_T "
                     "*pCoOptions, BOOL_T *pModes);\n",
                     "RET_T coCanOpenStackInit_line(UNSIGNED8 canLine, CO_INIT_OPTION_T "
                     "*pCoOptions, BOOL_T *pModes);\n",
                     "RET_T coCanOpenStackInit(\n         CO_EVENT_STORE_T pLoadFunction\n     "
                     "    , BOOL_T *pModes\n    )\n",
                     "    retVal = coCanOpenStackInit_common(pLoadFunction, pModes);\n",
                     "            retVal = coCanOpenStackInit_line0(0, NULL, pModes);\n",
                     "RET_T coCanOpenStackInit_common(\n         CO_EVENT_STORE_T "
                     "pLoadFunction\n         , BOOL_T *pModes\n    )\n{\n    CO_LINE_TYPE    "
                     "CO_LINE;\n    RET_T retVal = RET_OK;\n",
                     "       { CO_NODE_ID_FUNCTIONS } \n    };\n\n    for (CO_LINE = 0; "
                     "CO_LINE < CO_MULTI_LINE_CNT; CO_LINE ++)\n",
                     "   \t\tretVal = coCanOpenStackInit_line0(canLine, pCoOptions, pModes);\n",
                     "                  CO_INIT_OPTION_T *pCoOptions\n                  , "
                     "BOOL_T *pModes\n       )\n",
                     "    if (pModes != NULL) {\n        if (pModes[canLine] == CO_TRUE) {\n   "
                     "         retVal = coUsdoServerInit(canLine);\n",
                     "/* Initialize line << 1 */\n",
                     "            retVal = coSdoServerInit(canLine, 1u);\n            if "
                     "(retVal != RET_OK) {\n                return(retVal);\n            }\n"
                     "    retVal = coSdoServerInit(canLine, 2u);\n"
                         + check
                         + "#endif /* CO_SDO_SERVER_CNT */\n        }\n"
                           "    } else {\n        retVal = coUsdoServerInit(canLine);\n"
                         + check + "    }\n"},
                    &missing),
            qPrintable(missing));
    }

    void multiLineRoles_data()
    {
        QTest::addColumn<QString>("nmtMaster");
        QTest::addColumn<QString>("roles");
        QTest::addColumn<QStringList>("fragments");
        const QString masterLss = QStringLiteral("\n#ifdef CO_LSS_MASTER_SUPPORTED\n"
                                                 "    retVal = coLssMasterInit(canLine);\n"
                                                 "#endif /* CO_LSS_MASTER_SUPPORTED */\n");
        const QString master = QStringLiteral("    /* initialize NMT master */ \n"
                                              "    retVal = coNmtInit(canLine, 1u);\n");
        const QString slave = QStringLiteral("    /* initialize NMT slave */ \n"
                                             "    retVal = coNmtInit(canLine, 0u);\n");
        QTest::addRow("line 1 master")
            << "2"
            << "0,1"
            << QStringList{"\n    retVal = coLssInit(canLine);\n" + check + slave,
                           masterLss + check + master};
        QTest::addRow("missing part is a slave")
            << "2"
            << "1"
            << QStringList{masterLss + check + master,
                           "\n    retVal = coLssInit(canLine);\n" + check + slave};
        QTest::addRow("empty part is a slave")
            << "2"
            << ",1"
            << QStringList{"\n    retVal = coLssInit(canLine);\n" + check + slave,
                           masterLss + check + master};
        QTest::addRow("all masters")
            << "1"
            << ""
            << QStringList{"\n    /* initialize LSS Master */" + masterLss + check + master,
                           "\n    /* initialize LSS Master */" + masterLss + check + master};
        QTest::addRow("all slaves")
            << "0"
            << "1,1"
            << QStringList{"\n    /* initialize LSS Slave */\n    retVal =  coLssInit(canLine);\n"
                               + check + slave,
                           "\n    /* initialize LSS Slave */\n    retVal =  coLssInit(canLine);\n"
                               + check + slave};
    }

    void multiLineRoles()
    {
        QFETCH(QString, nmtMaster);
        QFETCH(QString, roles);
        QFETCH(QStringList, fragments);
        ObjectDataBase db;
        buildThreeLines(db);
        odtest::setting(db, "nmtmaster", nmtMaster);
        odtest::setting(db, "co_ml_ms", roles);
        odtest::setting(db, "lss_supported", "1");
        const QString text = run(db);
        QString missing;
        QVERIFY2(inOrder(text,
                         QStringList{"/* Initialize line << 0 */\n"} + fragments.mid(0, 1)
                             + QStringList{"/* Initialize line << 1 */\n"} + fragments.mid(1),
                         &missing),
                 qPrintable(missing));
    }

    void finishFunction_data()
    {
        QTest::addColumn<bool>("routing");
        QTest::addColumn<QString>("mappingAccess");
        QTest::addColumn<bool>("routed");
        QTest::addRow("routing with a dynamic mapping") << true << "rw" << true;
        QTest::addRow("routing with static mappings only") << true << "const" << false;
        QTest::addRow("no routing entries") << false << "rw" << false;
    }

    void finishFunction()
    {
        QFETCH(bool, routing);
        QFETCH(QString, mappingAccess);
        QFETCH(bool, routed);
        ObjectDataBase db;
        buildThreeLines(db);
        if (routing)
            odtest::addObject(db, 2, 0x1F2C, 9, {sub(5, "const", "1", 1), sub(7, "rw", "0")});
        odtest::addPdo(db, 1, false, 1, "0x201", {0x20000008},
                       mappingAccess == QLatin1String("rw"));
        const QString text = run(db);
        const QString body =
            text.mid(text.indexOf(QStringLiteral("RET_T coCanOpenStackInit_finish(void)\n{\n")));
        if (routed)
            QVERIFY2(body.contains(
                         QStringLiteral("{\n    RET_T retVal;\n    /* initialize PDO routing */ \n"
                                        "    retVal = coPdoNetworkRouting();\n")
                         + check + QStringLiteral("    return(RET_OK);\n}\n")),
                     qPrintable(body));
        else
            QVERIFY2(body.contains(QStringLiteral("{\n    /*\n     * Currently this function is "
                                                  "only required to initialize PDO Routing.\n")),
                     qPrintable(body));
    }

    void overwriteCobIdsSingleLine()
    {
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "overwrite_predef", "1");
        odtest::addObject(db, 0, 0x1201, 9,
                          {sub(5, "const", "2", 1), sub(7, "rw", "0x641"), sub(7, "rw", "0x5C1")});
        QTemporaryDir dir;
        const QString text = run(db, &dir);
        // The PDO sections are pinned by the golden file of the single-line project.
        QVERIFY2(text.contains(QStringLiteral(
                     "\n\t/* SDO server COB IDs */\n"
                     "\tret = coOdGetDefaultVal_u32(0x1201, 1, &cobId);\n\tif (ret == RET_OK) {\n"
                     "\t\tret = coOdSetCobid(0x1201, 1, cobId);\n\t}\n"
                     "\tret = coOdGetDefaultVal_u32(0x1201, 2, &cobId);\n\tif (ret == RET_OK) {\n"
                     "\t\tret = coOdSetCobid(0x1201, 2, cobId);\n\t}\n")),
                 qPrintable(text.right(1500)));
        QVERIFY(
            text.contains(QStringLiteral("#include <gen_indication.h>\n#include <gen_user.h>\n")));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("gen_user.h"))));
    }

    void overwriteCobIdsMultiLine()
    {
        ObjectDataBase db;
        buildThreeLines(db);
        db.addNode(3, ObjectDataBase::NODE_DATA_T());
        odtest::setting(db, "overwrite_predef", "1");
        odtest::addPdo(db, 1, true, 1, "$NODEID+0x180", {}, true);
        odtest::addPdo(db, 3, false, 2, "0x301", {}, true);
        odtest::addVar(db, 3, 0x1281, sub(7, "rw", "0"));
        const QString text = run(db);
        QString missing;
        QVERIFY2(
            inOrder(
                text,
                {"\tUNSIGNED32 cobId = 0ul;\n\tUNSIGNED8 nodeId = coNmtGetNodeId(0);\n"
                 "\tnodeId = coNmtGetNodeId(1);\n\n\t/* TxPDO COB IDs */\n"
                 "\tcobId = (UNSIGNED32)nodeId + (UNSIGNED32)0x180;\n"
                 "\tret = coOdSetCobid(1, 0x1800, 1, cobId);\n\n"
                 "\tnodeId = coNmtGetNodeId(2);\n\tnodeId = coNmtGetNodeId(3);\n"
                 "\n\t/* RxPDO COB IDs */\n"
                 "\tret = coOdGetDefaultVal_u32(3, 0x1401, 1, &cobId);\n\tif (ret == RET_OK) {\n"
                 "\t\tret = coOdSetCobid(3, 0x1401, 1, cobId);\n\t}\n"
                 "\n\t/* SDO client COB IDs */\n"
                 "\tret = coOdGetDefaultVal_u32(3, 0x1281, 1, &cobId);\n",
                 "\tret = coOdGetDefaultVal_u32(3, 0x1281, 2, &cobId);\n", "\treturn ret;\n}\n"},
                &missing),
            qPrintable(missing));
    }

    void userHeaderRemovedWhenNotWanted()
    {
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        QTemporaryDir dir;
        QFile old(dir.filePath(QStringLiteral("gen_user.h")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        const QString text = run(db, &dir);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gen_user.h"))));
        QVERIFY(!text.contains(QStringLiteral("gen_user.h")));
        QVERIFY(!text.contains(QStringLiteral("userOverwriteCobIdSettings")));
    }

    void fileStart_data()
    {
        QTest::addColumn<bool>("noStdlib");
        QTest::addColumn<QString>("headers");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("start");
        QTest::addRow("plain") << false << ""
                               << "nodewright"
                               << " */\n#include <stdlib.h>\n\n#include <gen_define.h>\n"
                                  "#include <co_canopen.h>\n#include <gen_indication.h>\n\n"
                                  "/* definition of memory specifier */\n";
        QTest::addRow("without stdlib, with headers")
            << true << "  app.h  io/board.h "
            << "nodewright"
            << " */\n#include <gen_define.h>\n#include <co_canopen.h>\n#include "
               "<gen_indication.h>\n\n"
               "/* application header file(s) */\n#include \"app.h\"\n#include \"io/board.h\"\n\n"
               "/* definition of memory specifier */\n";
        QTest::addRow("EnergyBus edition")
            << false << "app.h"
            << "energybus-packwright"
            << "#include <gen_indication.h>\n\n/* EnergyBus header files */\n"
               "#include <eb_energybus.h>\n\n/* application header file(s) */\n"
               "#include \"app.h\"\n\n";
    }

    void fileStart()
    {
        QFETCH(bool, noStdlib);
        QFETCH(QString, headers);
        QFETCH(QString, program);
        QFETCH(QString, start);
        AppIdentity::apply(program);
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        odtest::setting(db, "applicationheader", headers);
        odtest::setting(db, "fct_sync", " onSync ");
        QTemporaryDir dir;
        if (noStdlib) {
            QFile marker(dir.filePath(QStringLiteral("no_stdlib_include.txt")));
            QVERIFY(marker.open(QIODevice::WriteOnly));
        }
        const QString text = run(db, &dir);
        AppIdentity::apply(QStringLiteral("nodewright"));
        QVERIFY2(text.contains(start), qPrintable(text.left(800)));
        QVERIFY(
            text.contains(QStringLiteral("/* definition of static indication function pointers */\n"
                                         "CO_CONST CO_EVENT_SYNC_T coEventSyncInd = onSync;\n"
                                         "\n/* number of objects */\n")));
    }

    void unwritableFolderWritesNothing()
    {
        ObjectDataBase db;
        odtest::buildMinimalProject(db);
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone"));
        ObjDictGenerator generator(false);
        QSignalSpy progress(&generator, &AbstractGenerator::progress);
        generator.setDataBase(&db);
        generator.setOutputDirectory(missing);
        QCOMPARE(generator.startGeneration(), 0u);
        generator.wait();
        QCOMPARE(progress.count(), 1);
        QCOMPARE(progress.first().first().value<quint8>(), quint8(100));
        QVERIFY(!QDir(missing).exists());
        QVERIFY(!db.lockWriteAccess());
    }
};

NW_TEST_MAIN(TestObjDictGeneratorInit)
#include "tst_objdictgenerator_init.moc"
