/*
 * The part of a protocol stack that reads the tables of a generated gen_objdict.c, for
 * tests: it starts the stack through the generated start function(s), with every
 * service start recording its arguments, then walks every object it can reach through
 * od_assign and od_description and prints one line per fact:
 *
 *   varinit <line> tpdo=<n> rpdo=<n> ssdo=<n> csdo=<n> errctrl=<n> emcycons=<n>
 *   od <line> assign=<n> desc=<n>               tables handed over by coOdInitOdPtr
 *   call <line> <service> <arguments...>        a service start
 *   pdo <line> T|R<n> trans=<> inhibit=<> event=<> sync=<> map=<count|none>
 *   mapentry <line> T|R<n> <k> val=0x<> len=<> numeric=<> target=<ok|none|0xIIII:S|unknown>
 *   cobid <line> 0x<index> <sub> <value>        userOverwriteCobIdSettings
 *   object <line> 0x<index> subs=<n> highest=<n> type=<n>
 *   sub <line> 0x<index> <sub> <TYPE> <KIND> attr=0x<> value=<> default=<> low=<> high=<>
 *   reached desc=<n>                            distinct description entries reached
 *   fault <text>                                a table that cannot be read as described
 *
 * Numbers are decimal; strings are printed as x: and their bytes in hexadecimal; an
 * absent value is "-". Compiled together with gen_objdict.c and the application's
 * variables; the folder of the generated files is on the include path.
 */
#include <gen_define.h>
#include <co_canopen.h>

#include <stdio.h>
#include <string.h>

#ifdef CO_MULTI_LINE
#define RT_LINE_PARAM UNSIGNED8 line,
#define RT_LINE_ONLY UNSIGNED8 line
#define RT_LINE line
#else
#define RT_LINE_PARAM
#define RT_LINE_ONLY void
#define RT_LINE 0u
#endif

/* the node-ID the start-up reads from the NMT service */
#define RT_NODE_ID 32u

typedef struct
{
    const CO_OD_ASSIGN_T *assign;
    UNSIGNED16 assignCnt;
    const CO_OBJECT_DESC_T *desc;
    UNSIGNED16 descCnt;
    const CO_OD_DATA_VARIABLES_T *data;
} RT_LINE_T;

static RT_LINE_T rtLines[CO_STUB_LINES];
static unsigned char rtReached[65536];

/* type and storage of an implementation data type */
enum { RT_KINDS = CO_DTYPE_U8_CONST - CO_DTYPE_BOOL_CONST };
enum { RT_BOOL, RT_U8, RT_U16, RT_U24, RT_U32, RT_U40, RT_U48, RT_U64, RT_I8, RT_I16, RT_I24,
       RT_I32, RT_R32, RT_VS, RT_OS, RT_UTF8, RT_DOMAIN };
enum { RT_CONST, RT_VAR, RT_PTR };
static const char *const rtTypeNames[] = {"BOOL", "U8",  "U16", "U24", "U32", "U40",
                                          "U48",  "U64", "I8",  "I16", "I24", "I32",
                                          "R32",  "VS",  "OS",  "UTF8", "DOMAIN"};
static const char *const rtKindNames[] = {
    "CONST", "VAR",        "PTR",        "SYNC", "EMCY", "ERRCTRL", "STORE",
    "TIME",  "NMT",        "SDO_SERVER", "SDO_CLIENT", "GFC", "SRDO", "RPDO",
    "RMAP",  "TPDO",       "TMAP",       "SRD",  "NETWORK", "FLYMA"};

static int rtType(CO_DTYPE_T dType)
{
    return dType >= CO_DTYPE_DOMAIN ? RT_DOMAIN : (int)dType / RT_KINDS;
}

/* CONST, VAR or PTR: the table the description's position points into. For the entries
 * the stack keeps itself, the position is a service instance and the start value is the
 * default; they are read from the constant table at the default position. */
static int rtKind(CO_DTYPE_T dType)
{
    if (dType >= CO_DTYPE_DOMAIN)
        return RT_PTR;
    return (int)dType % RT_KINDS;
}

#define RT_AT(table, idx) ((table) != NULL ? (const void *)&(table)[idx] : NULL)
#define RT_DEREF(table, idx) ((table) != NULL ? (const void *)(table)[idx] : NULL)

/* Address of element idx of the table of a kind (CONST, VAR) and type, or the application
 * variable behind element idx of its pointer table (PTR); NULL when the table is absent. */
static const void *rtTable(const CO_OD_DATA_VARIABLES_T *d, int kind, int type, UNSIGNED16 idx)
{
#define RT_TABLES(c, v, p)                                                                         \
    return kind == RT_CONST ? RT_AT(d->c, idx)                                                     \
           : kind == RT_VAR ? RT_AT(d->v, idx)                                                     \
                            : RT_DEREF(d->p, idx)
#define RT_STRINGS(c, p) return kind == RT_CONST ? RT_DEREF(d->c, idx) : RT_PTR_ONLY(p)
#define RT_PTR_ONLY(p) (kind == RT_PTR ? RT_DEREF(d->p, idx) : NULL)
    switch (type) {
    case RT_BOOL:
    case RT_U8: RT_TABLES(constU8, u8, ptrU8);
    case RT_U16: RT_TABLES(constU16, u16, ptrU16);
    case RT_U32: RT_TABLES(constU32, u32, ptrU32);
    case RT_R32: RT_TABLES(constR32, r32, ptrR32);
#ifdef CO_EXTENDED_DATA_TYPES
    case RT_U24: RT_TABLES(constU24, u24, ptrU24);
    case RT_U40: RT_TABLES(constU40, u40, ptrU40);
    case RT_U48: RT_TABLES(constU48, u48, ptrU48);
    case RT_U64: RT_TABLES(constU64, u64, ptrU64);
#endif
    case RT_I8: RT_TABLES(constI8, i8, ptrI8);
    case RT_I16: RT_TABLES(constI16, i16, ptrI16);
    case RT_I24: RT_TABLES(constI24, i24, ptrI24);
    case RT_I32: RT_TABLES(constI32, i32, ptrI32);
    case RT_VS: RT_STRINGS(constVisString, visString);
#ifdef CO_UTF8_DATA_TYPE
    case RT_UTF8: RT_STRINGS(constUtf8String, utf8String);
#endif
    case RT_OS: return RT_PTR_ONLY(octetString);
    case RT_DOMAIN: return RT_PTR_ONLY(domain);
    default: return NULL;
    }
}

/* Length in bytes of a string-like value; 0 for the other types. */
static UNSIGNED32 rtLength(const CO_OD_DATA_VARIABLES_T *d, int type, int kind, UNSIGNED16 idx)
{
    const UNSIGNED32 *table = NULL;
    if (type == RT_VS)
        table = kind == RT_CONST ? d->constVisStringLen : d->visStringLen;
#ifdef CO_UTF8_DATA_TYPE
    if (type == RT_UTF8)
        table = kind == RT_CONST ? d->constUtf8StringLen : d->utf8StringLen;
#endif
    if (type == RT_OS)
        table = d->octetStringLen;
    if (type == RT_DOMAIN)
        table = d->domainLen;
    return table != NULL ? table[idx] : 0u;
}

static unsigned long long rtBytes(const UNSIGNED8 *v, int n)
{
    unsigned long long value = 0;
    while (n-- > 0)
        value = (value << 8) | v[n];
    return value;
}

/* Prints the value at p of the given type ("-" when there is none). */
static void rtPrintValue(const char *label, int type, const void *p, UNSIGNED32 len)
{
    printf(" %s=", label);
    if (p == NULL) {
        printf("-");
        return;
    }
    switch (type) {
    case RT_BOOL:
    case RT_U8: printf("%u", *(const UNSIGNED8 *)p); break;
    case RT_U16: printf("%u", *(const UNSIGNED16 *)p); break;
    case RT_U24: printf("%llu", rtBytes(((const UNSIGNED24 *)p)->v, 3)); break;
    case RT_U32: printf("%u", *(const UNSIGNED32 *)p); break;
    case RT_U40: printf("%llu", rtBytes(((const UNSIGNED40 *)p)->v, 5)); break;
    case RT_U48: printf("%llu", rtBytes(((const UNSIGNED48 *)p)->v, 6)); break;
    case RT_U64: printf("%llu", *(const UNSIGNED64 *)p); break;
    case RT_I8: printf("%d", *(const INTEGER8 *)p); break;
    case RT_I16: printf("%d", *(const INTEGER16 *)p); break;
    case RT_I24: {
        const long long raw = (long long)rtBytes(((const INTEGER24 *)p)->v, 3);
        printf("%lld", raw >= 0x800000 ? raw - 0x1000000 : raw);
        break;
    }
    case RT_I32: printf("%d", *(const INTEGER32 *)p); break;
    case RT_R32: printf("%.9g", *(const REAL32 *)p); break;
    default: {
        const UNSIGNED8 *bytes = (const UNSIGNED8 *)p;
        UNSIGNED32 i;
        printf("x:");
        for (i = 0; i < len; ++i)
            printf("%02x", bytes[i]);
    }
    }
}

/* The description of (index, sub) on a line; *offset is the distance from the entry's own
 * sub-index when a compact entry stands for it. */
static const CO_OBJECT_DESC_T *rtFind(int line, UNSIGNED16 index, UNSIGNED8 sub,
                                      UNSIGNED16 *offset)
{
    const RT_LINE_T *l = &rtLines[line];
    UNSIGNED16 a;
    UNSIGNED8 k;
    for (a = 0; a < l->assignCnt && l->assign[a].index != index; ++a)
        ;
    if (a == l->assignCnt || sub > l->assign[a].highestSub
        || l->assign[a].odDescIdx + l->assign[a].numberOfSubs > l->descCnt)
        return NULL;
    for (k = 0; k < l->assign[a].numberOfSubs; ++k) {
        const CO_OBJECT_DESC_T *d = &l->desc[l->assign[a].odDescIdx + k];
        if (d->subIndex == sub || ((d->attr & CO_ATTR_COMPACT) != 0 && sub > d->subIndex)) {
            *offset = (UNSIGNED16)(sub - d->subIndex);
            return d;
        }
    }
    return NULL;
}

/* Where the value of a description lives: the constant, the managed variable or the
 * application variable. For the entries the stack keeps itself, the default. */
static const void *rtValue(const CO_OBJECT_DESC_T *d, const CO_OD_DATA_VARIABLES_T *data,
                           UNSIGNED16 offset)
{
    const int type = rtType(d->dType);
    switch (rtKind(d->dType)) {
    case RT_CONST: return rtTable(data, RT_CONST, type, d->tableIdx);
    case RT_VAR:
    case RT_PTR:
        return rtTable(data, rtKind(d->dType), type, (UNSIGNED16)(d->tableIdx + offset));
    default: return rtTable(data, RT_CONST, type, d->defValIdx);
    }
}

static void rtPrintSub(int line, UNSIGNED16 index, UNSIGNED8 sub)
{
    UNSIGNED16 offset = 0;
    const CO_OBJECT_DESC_T *d = rtFind(line, index, sub, &offset);
    const CO_OD_DATA_VARIABLES_T *data = rtLines[line].data;
    int type, kind;
    UNSIGNED16 valueIdx;
    if (d == NULL)
        return;
    type = rtType(d->dType);
    kind = rtKind(d->dType);
    valueIdx = kind == RT_VAR || kind == RT_PTR ? (UNSIGNED16)(d->tableIdx + offset) : d->tableIdx;
    printf("sub %d 0x%04x %u %s %s attr=0x%x", line, index, sub, rtTypeNames[type],
           type == RT_DOMAIN && d->dType == CO_DTYPE_DOMAIN ? "DOMAIN" : rtKindNames[kind],
           d->attr);
    rtPrintValue("value", type, rtValue(d, data, offset),
                 type >= RT_VS ? rtLength(data, type, kind, valueIdx) : 0u);
    rtPrintValue("default", type,
                 type < RT_VS ? rtTable(data, RT_CONST, type, d->defValIdx) : NULL, 0u);
#ifdef CO_CONFIG_LIMIT_CHECK
    if ((d->attr & CO_ATTR_LIMIT) != 0) {
        rtPrintValue("low", type, rtTable(data, RT_CONST, type, d->limitMinIdx), 0u);
        rtPrintValue("high", type, rtTable(data, RT_CONST, type, d->limitMaxIdx), 0u);
    }
#endif
    if (type >= RT_VS)
        printf(" len=%u", rtLength(data, type, kind, valueIdx));
    printf("\n");
}

static void rtWalk(void)
{
    unsigned reached = 0;
    int line;
    for (line = 0; line < CO_STUB_LINES; ++line) {
        const RT_LINE_T *l = &rtLines[line];
        UNSIGNED16 a;
        for (a = 0; a < l->assignCnt; ++a) {
            const CO_OD_ASSIGN_T *o = &l->assign[a];
            unsigned sub, k;
            printf("object %d 0x%04x subs=%u highest=%u type=%d\n", line, o->index,
                   o->numberOfSubs, o->highestSub, (int)o->odType);
            if (o->odDescIdx + o->numberOfSubs > l->descCnt) {
                printf("fault %d 0x%04x descriptions %u..%u beyond the %u handed over\n", line,
                       o->index, o->odDescIdx, o->odDescIdx + o->numberOfSubs - 1, l->descCnt);
                continue;
            }
            for (k = 0; k < o->numberOfSubs; ++k)
                rtReached[o->odDescIdx + k] = 1;
            for (sub = 0; sub <= o->highestSub; ++sub)
                rtPrintSub(line, o->index, (UNSIGNED8)sub);
        }
    }
    for (line = 0; line < 65536; ++line)
        reached += rtReached[line];
    printf("reached desc=%u\n", reached);
}

/* The object whose value lives at p on a line, as "0xIIII:S"; "unknown" when none. */
static void rtPrintOwner(int line, const void *p)
{
    const RT_LINE_T *l = &rtLines[line];
    UNSIGNED16 a;
    for (a = 0; a < l->assignCnt; ++a) {
        unsigned sub;
        for (sub = 0; sub <= l->assign[a].highestSub; ++sub) {
            UNSIGNED16 offset = 0;
            const CO_OBJECT_DESC_T *d = rtFind(line, l->assign[a].index, (UNSIGNED8)sub, &offset);
            if (d != NULL && rtKind(d->dType) <= RT_PTR && rtValue(d, l->data, offset) == p) {
                printf("0x%04x:%u", l->assign[a].index, sub);
                return;
            }
        }
    }
    printf("unknown");
}

/* One mapping entry: does its variable pointer lead to the object its mapping value names? */
static void rtPrintMapEntry(int line, char dir, UNSIGNED16 pdo, unsigned k, const void *pVar,
                            UNSIGNED8 len, BOOL_T numeric, UNSIGNED32 val)
{
    UNSIGNED16 offset = 0;
    const CO_OBJECT_DESC_T *d =
        rtFind(line, (UNSIGNED16)(val >> 16), (UNSIGNED8)((val >> 8) & 0xFFu), &offset);
    printf("mapentry %d %c%u %u val=0x%08x len=%u numeric=%u target=", line, dir, pdo, k, val,
           len, numeric);
    if (pVar == NULL)
        printf("none");
    else if (d != NULL && rtKind(d->dType) <= RT_PTR && rtValue(d, rtLines[line].data, offset) == pVar)
        printf("ok");
    else
        rtPrintOwner(line, pVar);
    printf("\n");
}

/* ---- the stack's start functions, recording what they are given ---- */

RET_T coCanOpenStackVarInit(CO_SERVICE_INIT_VAL_T *v)
{
    unsigned i;
    for (i = 0; i < CO_LINE_ARRAY_DECL; ++i)
        printf("varinit %u tpdo=%u rpdo=%u ssdo=%u csdo=%u errctrl=%u emcycons=%u\n", i,
               v->txPdoCnt[i], v->rxPdoCnt[i], v->ssdoCnt[i], v->csdoCnt[i], v->errCtrlCnt[i],
               v->emcyConsCnt[i]);
    return RET_OK;
}

RET_T coEventRegister_LOAD_PARA(CO_EVENT_STORE_T pFunction) { (void)pFunction; return RET_OK; }

RET_T coPdoNetworkRouting(void)
{
    printf("call 0 routing\n");
    return RET_OK;
}

void coTimerInit(UNSIGNED32 timerInterval) { (void)timerInterval; }

void coOdInitOdPtr(RT_LINE_PARAM const CO_OD_ASSIGN_T *pAssign, UNSIGNED16 assignCnt,
                   const CO_OBJECT_DESC_T *pDesc, UNSIGNED16 descCnt, const void *pVendor,
                   const CO_OD_DATA_VARIABLES_T *pData)
{
    RT_LINE_T *l = &rtLines[RT_LINE];
    (void)pVendor;
    l->assign = pAssign;
    l->assignCnt = assignCnt;
    l->desc = pDesc;
    l->descCnt = descCnt;
    l->data = pData;
    printf("od %u assign=%u desc=%u\n", RT_LINE, assignCnt, descCnt);
}

#define RT_CALL(name, format, ...)                                                                 \
    do {                                                                                           \
        printf("call %u " name format "\n", RT_LINE, __VA_ARGS__);                                \
        return RET_OK;                                                                             \
    } while (0)
#define RT_CALL0(name) RT_CALL(name, "%s", "")

void coLedInit(RT_LINE_ONLY) {}
RET_T coSdoServerInit(RT_LINE_PARAM UNSIGNED8 server) { RT_CALL("sdoserver", " %u", server); }
RET_T coSdoClientInit(RT_LINE_PARAM UNSIGNED8 client) { RT_CALL("sdoclient", " %u", client); }
RET_T coErrorCtrlInit(RT_LINE_PARAM UNSIGNED16 heartbeat, UNSIGNED8 consumers)
{
    RT_CALL("errctrl", " %u %u", heartbeat, consumers);
}
RET_T coEmcyConsumerInit(RT_LINE_PARAM UNSIGNED8 consumers)
{
    RT_CALL("emcycons", " %u", consumers);
}
RET_T coSyncInit(RT_LINE_PARAM UNSIGNED32 cobId, UNSIGNED32 period, UNSIGNED8 overflow)
{
    RT_CALL("sync", " %u %u %u", cobId, period, overflow);
}
RET_T coTimeInit(RT_LINE_PARAM BOOL_T consumer, BOOL_T producer)
{
    RT_CALL("time", " %u %u", consumer, producer);
}
RET_T coGfcInit(RT_LINE_PARAM BOOL_T producer, BOOL_T consumer)
{
    RT_CALL("gfc", " %u %u", producer, consumer);
}
RET_T coSrdoInit(RT_LINE_PARAM UNSIGNED16 srdo) { RT_CALL("srdo", " %u", srdo); }
RET_T coNmtInit(RT_LINE_PARAM UNSIGNED8 master) { RT_CALL("nmt", " %u", master); }
RET_T coUsdoServerInit(RT_LINE_ONLY) { RT_CALL0("usdoserver"); }
RET_T coUsdoClientInit(RT_LINE_ONLY) { RT_CALL0("usdoclient"); }
RET_T coEmcyProducerInit(RT_LINE_ONLY) { RT_CALL0("emcy"); }
RET_T coSrdInit(RT_LINE_ONLY) { RT_CALL0("srd"); }
RET_T isoTpInit(RT_LINE_ONLY) { RT_CALL0("isotp"); }
RET_T coLssInit(RT_LINE_ONLY) { RT_CALL0("lss"); }
RET_T coLssMasterInit(RT_LINE_ONLY) { RT_CALL0("lssmaster"); }
UNSIGNED8 coNmtGetNodeId(RT_LINE_ONLY) { return RT_NODE_ID; }

static RET_T rtPdo(int line, char dir, UNSIGNED16 pdo, UNSIGNED8 trans, UNSIGNED16 inhibit,
                   UNSIGNED16 event, UNSIGNED8 sync, int mapCnt)
{
    printf("pdo %d %c%u trans=%u inhibit=%u event=%u sync=%u map=", line, dir, pdo, trans,
           inhibit, event, sync);
    if (mapCnt < 0)
        printf("none\n");
    else
        printf("%d\n", mapCnt);
    return RET_OK;
}

RET_T coPdoTransmitInit(RT_LINE_PARAM UNSIGNED16 pdo, UNSIGNED8 transType, UNSIGNED16 inhibit,
                        UNSIGNED16 eventTime, UNSIGNED8 syncStart,
                        const PDO_TR_MAP_TABLE_T *pMapTable)
{
    unsigned k;
    rtPdo(RT_LINE, 'T', pdo, transType, inhibit, eventTime, syncStart,
          pMapTable != NULL ? pMapTable->mapCnt : -1);
    for (k = 0; pMapTable != NULL && k < pMapTable->mapCnt && k < CO_STUB_MAP_ENTRIES; ++k) {
        const PDO_TR_MAP_ENTRY_T *e = &pMapTable->mapEntry[k];
        rtPrintMapEntry(RT_LINE, 'T', pdo, k + 1, e->pVar, e->len, e->numeric, e->val);
    }
    return RET_OK;
}

RET_T coPdoReceiveInit(RT_LINE_PARAM UNSIGNED16 pdo, UNSIGNED8 transType, UNSIGNED16 inhibit,
                       UNSIGNED16 eventTime, const PDO_REC_MAP_TABLE_T *pMapTable)
{
    unsigned k;
    rtPdo(RT_LINE, 'R', pdo, transType, inhibit, eventTime, 0,
          pMapTable != NULL ? pMapTable->mapCnt : -1);
    for (k = 0; pMapTable != NULL && k < pMapTable->mapCnt && k < CO_STUB_MAP_ENTRIES; ++k) {
        const PDO_REC_MAP_ENTRY_T *e = &pMapTable->mapEntry[k];
        rtPrintMapEntry(RT_LINE, 'R', pdo, k + 1, e->pVar, e->len, e->numeric, e->val);
    }
    return RET_OK;
}

RET_T coOdGetDefaultVal_u32(RT_LINE_PARAM UNSIGNED16 index, UNSIGNED8 sub, UNSIGNED32 *pVal)
{
    UNSIGNED16 offset = 0;
    const CO_OBJECT_DESC_T *d = rtFind(RT_LINE, index, sub, &offset);
    const void *p = d != NULL && rtType(d->dType) == RT_U32
                        ? rtTable(rtLines[RT_LINE].data, RT_CONST, RT_U32, d->defValIdx)
                        : NULL;
    if (p == NULL)
        return RET_SUBIDX_NOT_FOUND;
    *pVal = *(const UNSIGNED32 *)p;
    return RET_OK;
}

RET_T coOdSetCobid(RT_LINE_PARAM UNSIGNED16 index, UNSIGNED8 sub, UNSIGNED32 cobId)
{
    printf("cobid %u 0x%04x %u %u\n", RT_LINE, index, sub, cobId);
    return RET_OK;
}

/* ---- the generated start functions ---- */

#if defined(CO_CANFD_SUPPORTED)
static BOOL_T rtModes[CO_STUB_LINES];
#define RT_MODES , rtModes
#define RT_MODES_PARAM , BOOL_T *
#else
#define RT_MODES
#define RT_MODES_PARAM
#endif

#ifdef NW_RT_INIT_PARA
RET_T coCanOpenStackInitPara(CO_EVENT_STORE_T, CO_INIT_OPTION_T *pCoOptions RT_MODES_PARAM);
#else
RET_T coCanOpenStackInit(CO_EVENT_STORE_T RT_MODES_PARAM);
#endif
#if __has_include(<gen_user.h>)
#include <gen_user.h>
#endif

int main(void)
{
#ifdef NW_RT_INIT_PARA
    CO_INIT_OPTION_T options = {0u};
    printf("init %d\n", (int)coCanOpenStackInitPara(NULL, &options RT_MODES));
#else
    printf("init %d\n", (int)coCanOpenStackInit(NULL RT_MODES));
#endif
#ifdef GEN_USER_H
    printf("overwrite %d\n", (int)userOverwriteCobIdSettings());
#endif
    rtWalk();
    return 0;
}
