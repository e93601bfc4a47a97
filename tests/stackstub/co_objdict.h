/*
 * Test stand-in for the stack's object dictionary interface: the table types,
 * attribute and type codes that gen_objdict.c fills in, the service initialisation
 * structure, the indication types and the functions its start-up code calls.
 * gen_define.h must come first: the per-line lists and the optional members depend on
 * its defines. Included by co_canopen.h. Only for syntax checks of generated code.
 */
#ifndef CO_OBJDICT_H
#define CO_OBJDICT_H 1

#include "co_datatype.h"

/* one entry per possible line of the per-line lists */
#define CO_STUB_LINES 8
#ifdef CO_MULTI_LINE_CNT
#define CO_LINE_ARRAY_DECL CO_MULTI_LINE_CNT
#else
#define CO_LINE_ARRAY_DECL 1
#endif
typedef UNSIGNED8 CO_LINE_TYPE;

typedef char *VIS_STRING;
typedef char *UTF8_STRING;
typedef UNSIGNED8 OCTET_STRING;
typedef void *CO_DOMAIN_PTR;

typedef struct
{
    UNSIGNED8 master;
} CO_INIT_OPTION_T;

/* call-back types of the static indications; in multi-line form the line comes first */
#ifdef CO_MULTI_LINE
#define CO_STUB_LINE_PARAM UNSIGNED8,
#define CO_STUB_LINE_ONLY UNSIGNED8
#else
#define CO_STUB_LINE_PARAM
#define CO_STUB_LINE_ONLY void
#endif
typedef RET_T (*CO_EVENT_SDO_SERVER_T)(CO_STUB_LINE_PARAM BOOL_T, UNSIGNED8, UNSIGNED16, UNSIGNED8);
typedef RET_T (*CO_EVENT_SDO_SERVER_CHECK_WRITE_T)(CO_STUB_LINE_PARAM BOOL_T, UNSIGNED8, UNSIGNED16,
                                                   UNSIGNED8, const UNSIGNED8 *);
typedef void (*CO_EVENT_PDO_T)(CO_STUB_LINE_PARAM UNSIGNED16);
typedef RET_T (*CO_EVENT_NMT_T)(CO_STUB_LINE_PARAM BOOL_T, CO_NMT_STATE_T);
typedef void (*CO_EVENT_ERRCTRL_T)(CO_STUB_LINE_PARAM UNSIGNED8, CO_ERRCTRL_T, CO_NMT_STATE_T);
typedef void (*CO_EVENT_SYNC_T)(CO_STUB_LINE_PARAM UNSIGNED8);
typedef void (*CO_EVENT_SYNC_FINISHED_T)(CO_STUB_LINE_PARAM UNSIGNED8);
typedef void (*CO_EVENT_LED_T)(CO_STUB_LINE_PARAM BOOL_T);
typedef void (*CO_EVENT_CAN_STATE_T)(CO_STUB_LINE_PARAM CO_CAN_STATE_T);
typedef void (*CO_EVENT_CFG_MANAGER_T)(CO_STUB_LINE_PARAM CO_CFG_TRANSFER_T, UNSIGNED8, UNSIGNED16,
                                       UNSIGNED8, UNSIGNED32);
typedef void (*CO_EVENT_FLYMA_T)(CO_STUB_LINE_PARAM CO_FLYMA_STATE_T, UNSIGNED8, UNSIGNED8);
typedef void (*CO_EVENT_SDO_CLIENT_READ_T)(CO_STUB_LINE_PARAM UNSIGNED8, UNSIGNED16, UNSIGNED8,
                                           UNSIGNED32, UNSIGNED32);
typedef void (*CO_EVENT_SDO_CLIENT_WRITE_T)(CO_STUB_LINE_PARAM UNSIGNED8, UNSIGNED16, UNSIGNED8,
                                            UNSIGNED32);
typedef RET_T (*CO_EVENT_EMCY_T)(CO_STUB_LINE_PARAM UNSIGNED16, const UNSIGNED8 *);
typedef void (*CO_EVENT_EMCY_CONS_T)(CO_STUB_LINE_PARAM UNSIGNED8, UNSIGNED16, UNSIGNED8,
                                     UNSIGNED8 const *);
typedef void (*CO_EVENT_TIME_T)(CO_STUB_LINE_PARAM CO_TIME_T *);
typedef RET_T (*CO_EVENT_STORE_T)(CO_STUB_LINE_PARAM UNSIGNED8);
typedef void (*CO_EVENT_LSS_T)(CO_STUB_LINE_PARAM CO_LSS_SERVICE_T, UNSIGNED16, UNSIGNED8 *,
                               UNSIGNED8 *);
typedef void (*CO_EVENT_LSS_MASTER_T)(CO_STUB_LINE_PARAM CO_LSS_MASTER_SERVICE_T, UNSIGNED16,
                                      UNSIGNED8, UNSIGNED32 *);
typedef void (*CO_EVENT_COMM_T)(CO_STUB_LINE_PARAM CO_COMM_STATE_EVENT_T);
typedef void (*CO_EVENT_MANAGER_BOOTUP_T)(CO_STUB_LINE_PARAM UNSIGNED8, CO_MANAGER_EVENT_T);
typedef void (*CO_EVENT_MPDO_T)(CO_STUB_LINE_PARAM UNSIGNED16, UNSIGNED16, UNSIGNED8);
typedef UNSIGNED8 (*CO_NODE_ID_FCT_T)(void);

/* attributes of a description entry */
#define CO_ATTR_READ 0x0001u
#define CO_ATTR_WRITE 0x0002u
#define CO_ATTR_NUM 0x0004u
#define CO_ATTR_MAP_TR 0x0008u
#define CO_ATTR_MAP_REC 0x0010u
#define CO_ATTR_DEFVAL 0x0020u
#define CO_ATTR_LIMIT 0x0040u
#define CO_ATTR_STORE 0x0080u
#define CO_ATTR_COMPACT 0x0100u
/* the value lives outside the addressable memory (virtual object dictionary) */
#define CO_ATTR_DYNOD 0x0200u

typedef enum { CO_ODTYPE_VAR, CO_ODTYPE_DOM, CO_ODTYPE_ARRAY, CO_ODTYPE_STRUCT } CO_ODTYPE_T;

/* implementation data types: the stored type and the service that keeps the value */
#define CO_STUB_DTYPES(T)                                                                          \
    CO_DTYPE_##T##_CONST, CO_DTYPE_##T##_VAR, CO_DTYPE_##T##_PTR, CO_DTYPE_##T##_SYNC,             \
        CO_DTYPE_##T##_EMCY, CO_DTYPE_##T##_ERRCTRL, CO_DTYPE_##T##_STORE, CO_DTYPE_##T##_TIME,    \
        CO_DTYPE_##T##_NMT, CO_DTYPE_##T##_SDO_SERVER, CO_DTYPE_##T##_SDO_CLIENT,                  \
        CO_DTYPE_##T##_GFC, CO_DTYPE_##T##_SRDO, CO_DTYPE_##T##_RPDO, CO_DTYPE_##T##_RMAP,         \
        CO_DTYPE_##T##_TPDO, CO_DTYPE_##T##_TMAP, CO_DTYPE_##T##_SRD, CO_DTYPE_##T##_NETWORK,      \
        CO_DTYPE_##T##_FLYMA

typedef enum {
    CO_STUB_DTYPES(BOOL),
    CO_STUB_DTYPES(U8),
    CO_STUB_DTYPES(U16),
    CO_STUB_DTYPES(U24),
    CO_STUB_DTYPES(U32),
    CO_STUB_DTYPES(U40),
    CO_STUB_DTYPES(U48),
    CO_STUB_DTYPES(U64),
    CO_STUB_DTYPES(I8),
    CO_STUB_DTYPES(I16),
    CO_STUB_DTYPES(I24),
    CO_STUB_DTYPES(I32),
    CO_STUB_DTYPES(R32),
    CO_STUB_DTYPES(VS),
    CO_STUB_DTYPES(OS),
    CO_STUB_DTYPES(UTF8),
    CO_DTYPE_DOMAIN,
    CO_DTYPE_DOMAIN_PTR
} CO_DTYPE_T;

typedef struct
{
    UNSIGNED8 subIndex;
    CO_DTYPE_T dType;
    UNSIGNED16 tableIdx;
    UNSIGNED16 attr;
    UNSIGNED16 defValIdx;
#ifdef CO_CONFIG_LIMIT_CHECK
    UNSIGNED16 limitMinIdx;
    UNSIGNED16 limitMaxIdx;
#endif
} CO_OBJECT_DESC_T;

typedef struct
{
    UNSIGNED16 index;
    UNSIGNED8 numberOfSubs;
    UNSIGNED8 highestSub;
    CO_ODTYPE_T odType;
    UNSIGNED16 odDescIdx;
} CO_OD_ASSIGN_T;

#ifdef CO_MAX_MAP_ENTRIES
#define CO_STUB_MAP_ENTRIES CO_MAX_MAP_ENTRIES
#else
#define CO_STUB_MAP_ENTRIES 1
#endif

typedef struct
{
    const void *pVar;
    UNSIGNED8 len;
    BOOL_T numeric;
    UNSIGNED32 val;
} PDO_TR_MAP_ENTRY_T;

typedef struct
{
    UNSIGNED8 mapCnt;
    PDO_TR_MAP_ENTRY_T mapEntry[CO_STUB_MAP_ENTRIES];
} PDO_TR_MAP_TABLE_T;

/* tpdo: per line the transmit PDO that sends the entry (shared receive mappings) */
typedef struct
{
    const void *pVar;
    UNSIGNED8 len;
    BOOL_T numeric;
    UNSIGNED32 val;
    UNSIGNED16 tpdo[CO_STUB_LINES];
} PDO_REC_MAP_ENTRY_T;

typedef struct
{
    UNSIGNED8 mapCnt;
    PDO_REC_MAP_ENTRY_T mapEntry[CO_STUB_MAP_ENTRIES];
} PDO_REC_MAP_TABLE_T;

/* one member per value array, in the order gen_objdict.c initialises them */
typedef struct
{
    const UNSIGNED8 *constU8;
    const UNSIGNED16 *constU16;
    const UNSIGNED32 *constU32;
    const REAL32 *constR32;
#ifdef CO_EXTENDED_DATA_TYPES
    const UNSIGNED24 *constU24;
    const UNSIGNED40 *constU40;
    const UNSIGNED48 *constU48;
    const UNSIGNED64 *constU64;
#endif
    UNSIGNED8 *u8;
    UNSIGNED16 *u16;
    UNSIGNED32 *u32;
    REAL32 *r32;
#ifdef CO_EXTENDED_DATA_TYPES
    UNSIGNED24 *u24;
    UNSIGNED40 *u40;
    UNSIGNED48 *u48;
    UNSIGNED64 *u64;
#endif
    const INTEGER8 *constI8;
    const INTEGER16 *constI16;
    const INTEGER32 *constI32;
    const INTEGER24 *constI24;
    INTEGER8 *i8;
    INTEGER16 *i16;
    INTEGER32 *i32;
    INTEGER24 *i24;
    UNSIGNED8 *const *ptrU8;
    UNSIGNED16 *const *ptrU16;
    UNSIGNED32 *const *ptrU32;
#ifdef CO_EXTENDED_DATA_TYPES
    UNSIGNED24 *const *ptrU24;
    UNSIGNED40 *const *ptrU40;
    UNSIGNED48 *const *ptrU48;
    UNSIGNED64 *const *ptrU64;
#endif
    INTEGER8 *const *ptrI8;
    INTEGER16 *const *ptrI16;
    INTEGER32 *const *ptrI32;
    INTEGER24 *const *ptrI24;
    REAL32 *const *ptrR32;
    const VIS_STRING *constVisString;
    const UNSIGNED32 *constVisStringLen;
    VIS_STRING *visString;
    UNSIGNED32 *visStringLen;
    UNSIGNED32 *visStringActLen;
#ifdef CO_UTF8_DATA_TYPE
    const UTF8_STRING *constUtf8String;
    const UNSIGNED32 *constUtf8StringLen;
    VIS_STRING *utf8String;
    UNSIGNED32 *utf8StringLen;
    UNSIGNED32 *utf8StringActLen;
#endif
    OCTET_STRING **octetString;
    UNSIGNED32 *octetStringLen;
    UNSIGNED32 *octetStringActLen;
    CO_DOMAIN_PTR *domain;
    UNSIGNED32 *domainLen;
    UNSIGNED32 *domainActLen;
} CO_OD_DATA_VARIABLES_T;

/* the per-line lists of gen_define.h */
typedef struct
{
    UNSIGNED8 version;
    UNSIGNED8 recBufferCnt[CO_STUB_LINES];
    UNSIGNED8 trBufferCnt[CO_STUB_LINES];
    UNSIGNED16 objectCnt[CO_STUB_LINES];
    UNSIGNED16 cobCnt[CO_STUB_LINES];
    UNSIGNED16 txPdoCnt[CO_STUB_LINES];
    UNSIGNED16 rxPdoCnt[CO_STUB_LINES];
#ifdef CO_SRDO_SUPPORTED
    UNSIGNED16 srdoCnt[CO_STUB_LINES];
#endif
    UNSIGNED16 ssdoCnt[CO_STUB_LINES];
    UNSIGNED16 csdoCnt[CO_STUB_LINES];
    UNSIGNED16 errCtrlCnt[CO_STUB_LINES];
    UNSIGNED16 errHistCnt[CO_STUB_LINES];
    UNSIGNED16 actErrHistCnt[CO_STUB_LINES];
    UNSIGNED16 emcyConsCnt[CO_STUB_LINES];
#ifdef CO_NETWORK_ROUTING_CNT
    UNSIGNED16 routingCnt[CO_STUB_LINES];
#endif
    UNSIGNED16 assignCnt[CO_STUB_LINES];
    UNSIGNED16 guardingCnt[CO_STUB_LINES];
    UNSIGNED8 nodeIds[CO_STUB_LINES];
    CO_NODE_ID_FCT_T nodeIdFct[CO_STUB_LINES];
#ifdef CO_CANFD_SUPPORTED
    BOOL_T fdMode[CO_STUB_LINES];
#endif
} CO_SERVICE_INIT_VAL_T;

RET_T coCanOpenStackVarInit(CO_SERVICE_INIT_VAL_T *pServiceInitVals);
RET_T coEventRegister_LOAD_PARA(CO_EVENT_STORE_T pFunction);
RET_T coPdoNetworkRouting(void);
void coTimerInit(UNSIGNED32 timerInterval);

/* in multi-line form every start function takes the line first, too */
void coOdInitOdPtr(CO_STUB_LINE_PARAM const CO_OD_ASSIGN_T *pAssign, UNSIGNED16 assignCnt,
                   const CO_OBJECT_DESC_T *pDesc, UNSIGNED16 descCnt, const void *pVendor,
                   const CO_OD_DATA_VARIABLES_T *pData);
void coLedInit(CO_STUB_LINE_ONLY);
RET_T coSdoServerInit(CO_STUB_LINE_PARAM UNSIGNED8 server);
RET_T coSdoClientInit(CO_STUB_LINE_PARAM UNSIGNED8 client);
RET_T coUsdoServerInit(CO_STUB_LINE_ONLY);
RET_T coUsdoClientInit(CO_STUB_LINE_ONLY);
RET_T coErrorCtrlInit(CO_STUB_LINE_PARAM UNSIGNED16 heartbeat, UNSIGNED8 consumers);
RET_T coEmcyProducerInit(CO_STUB_LINE_ONLY);
RET_T coEmcyConsumerInit(CO_STUB_LINE_PARAM UNSIGNED8 consumers);
RET_T coSyncInit(CO_STUB_LINE_PARAM UNSIGNED32 cobId, UNSIGNED32 period, UNSIGNED8 overflow);
RET_T coTimeInit(CO_STUB_LINE_PARAM BOOL_T consumer, BOOL_T producer);
RET_T coPdoTransmitInit(CO_STUB_LINE_PARAM UNSIGNED16 pdo, UNSIGNED8 transType, UNSIGNED16 inhibit,
                        UNSIGNED16 eventTime, UNSIGNED8 syncStart,
                        const PDO_TR_MAP_TABLE_T *pMapTable);
RET_T coPdoReceiveInit(CO_STUB_LINE_PARAM UNSIGNED16 pdo, UNSIGNED8 transType, UNSIGNED16 inhibit,
                       UNSIGNED16 eventTime, const PDO_REC_MAP_TABLE_T *pMapTable);
RET_T coSrdInit(CO_STUB_LINE_ONLY);
RET_T coGfcInit(CO_STUB_LINE_PARAM BOOL_T producer, BOOL_T consumer);
RET_T isoTpInit(CO_STUB_LINE_ONLY);
RET_T coLssInit(CO_STUB_LINE_ONLY);
RET_T coLssMasterInit(CO_STUB_LINE_ONLY);
RET_T coNmtInit(CO_STUB_LINE_PARAM UNSIGNED8 master);
UNSIGNED8 coNmtGetNodeId(CO_STUB_LINE_ONLY);
RET_T coOdGetDefaultVal_u32(CO_STUB_LINE_PARAM UNSIGNED16 index, UNSIGNED8 sub, UNSIGNED32 *pVal);
RET_T coOdSetCobid(CO_STUB_LINE_PARAM UNSIGNED16 index, UNSIGNED8 sub, UNSIGNED32 cobId);

#endif /* CO_OBJDICT_H */
