/* Uses every list and number of a gen_define.h (included twice, after the stack header),
 * so that the compiler sees a broken list, a missing suffix, a conflicting second
 * definition or a clash with the stack's names. */
const unsigned long toolVersion = GEN_TOOL_VERSION;
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
