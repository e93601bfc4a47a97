/*
 * Test stand-in for the protocol stack's main header: the types of the stack's
 * application interface that generated files and indication prototypes use. Only for
 * syntax checks of generated code.
 */
#ifndef CO_CANOPEN_H
#define CO_CANOPEN_H 1

#include "co_datatype.h"

/* harnesses print these two as numbers; of the other enums only the type is named */
typedef enum {
    RET_OK,
    RET_INVALID_PARAMETER,
    RET_SDO_DATA_TYPE_NOT_MATCH,
    RET_NO_READ_PERM,
    RET_NO_WRITE_PERM,
    RET_OUT_OF_MEMORY,
    RET_INVALID_NMT_STATE,
    RET_IDX_NOT_FOUND,
    RET_SUBIDX_NOT_FOUND
} RET_T;
typedef enum {
    CO_NMT_STATE_UNKNOWN,
    CO_NMT_STATE_OPERATIONAL,
    CO_NMT_STATE_STOPPED,
    CO_NMT_STATE_PREOP,
    CO_NMT_STATE_RESET_NODE,
    CO_NMT_STATE_RESET_COMM
} CO_NMT_STATE_T;
typedef enum { CO_ERRCTRL_BOOTUP } CO_ERRCTRL_T;
typedef enum { CO_CAN_STATE_BUS_OFF } CO_CAN_STATE_T;
typedef enum { CO_CFG_TRANSFER_ERROR } CO_CFG_TRANSFER_T;
typedef enum { CO_FLYMA_STATE_ERROR } CO_FLYMA_STATE_T;
typedef enum { CO_LSS_SERVICE_STORE } CO_LSS_SERVICE_T;
typedef enum { CO_LSS_MASTER_SERVICE_FASTSCAN } CO_LSS_MASTER_SERVICE_T;
typedef enum { CO_COMM_STATE_EVENT_NONE } CO_COMM_STATE_EVENT_T;
typedef enum { CO_MANAGER_EVENT_BOOTUP } CO_MANAGER_EVENT_T;
/* the time indication only passes it on */
typedef struct CO_TIME CO_TIME_T;

/* object dictionary tables and the stack start functions */
#include "co_objdict.h"
/* safety-relevant data objects */
#include "co_srdo.h"

#endif /* CO_CANOPEN_H */
