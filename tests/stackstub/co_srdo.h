/*
 * Test stand-in for the stack's SRDO interface: the record gen_srdo.c keeps per SRDO,
 * the SRDO functions gen_srdo.c implements, and what they call in the stack and in the
 * application. Included by co_canopen.h, after gen_define.h. Only for checks of
 * generated code.
 */
#ifndef CO_SRDO_H
#define CO_SRDO_H 1

#include "co_datatype.h"

/* the data frame of an SRDO message */
#define CO_SRDO_MAX_DATA 8u

typedef struct
{
    /* parameters: communication object 0x1301.., mapping 0x1381.., signature 0x13FF */
    UNSIGNED8 direction;
    UNSIGNED16 refreshTime;
    UNSIGNED8 srvt;
    UNSIGNED8 transType;
    UNSIGNED32 cobId1;
    UNSIGNED32 cobId2;
    UNSIGNED8 mapCnt;
    UNSIGNED8 maxMapCnt;
    const UNSIGNED32 *mapTable;
    UNSIGNED16 signature;
    /* run-time state of the SRDO protocol */
    UNSIGNED8 state;
    UNSIGNED8 dataLen;
    UNSIGNED32 cycleTime;
    UNSIGNED32 validationTime;
    UNSIGNED8 normalData[CO_SRDO_MAX_DATA];
} CO_SRDO_DATA_T;

#ifdef CO_MULTI_LINE
#define CO_SRDO_LINE_PARAM UNSIGNED8 line,
#else
#define CO_SRDO_LINE_PARAM
#endif

/* in gen_srdo.c */
RET_T coSrdoInit(CO_SRDO_LINE_PARAM UNSIGNED16 srdoNr);
void coSrdoNmtStateChange(CO_SRDO_LINE_PARAM CO_NMT_STATE_T nmtState);
BOOL_T coSrdoCanReceive(CO_SRDO_LINE_PARAM UNSIGNED32 cobId, const UNSIGNED8 pData[],
                        UNSIGNED8 dataLen);
void coSrdoTimerIsr(void);
void coSrdoProcess(void);
RET_T coSrdoObjRead(CO_SRDO_LINE_PARAM UNSIGNED16 index, UNSIGNED8 subIndex, UNSIGNED32 *pValue);
RET_T coSrdoObjWrite(CO_SRDO_LINE_PARAM UNSIGNED16 index, UNSIGNED8 subIndex, UNSIGNED32 value);

/* in the stack: send one message */
RET_T coSrdoCanWrite(CO_SRDO_LINE_PARAM UNSIGNED32 cobId, const UNSIGNED8 *pData,
                     UNSIGNED8 dataLen);

/* in the application: update the process variables of a transmit SRDO */
void srdoProducerIndication(CO_SRDO_LINE_PARAM UNSIGNED16 srdoNr);

#endif /* CO_SRDO_H */
