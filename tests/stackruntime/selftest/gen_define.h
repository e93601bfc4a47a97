/* A small configuration for the stack runtime's own test: one line with limit checks. */
#ifndef GEN_DEFINE_H
#define GEN_DEFINE_H 1

#define CO_CONFIG_LIMIT_CHECK 1u
#define CO_MAX_MAP_ENTRIES 2u

#define CO_REC_BUFFER_COUNTS 10u
#define CO_TR_BUFFER_COUNTS 10u
#define CO_OBJECT_COUNTS 6u
#define CO_COB_COUNTS 4u
#define CO_TXPDO_COUNTS 1u
#define CO_RXPDO_COUNTS 0u
#define CO_SSDO_COUNTS 1u
#define CO_CSDO_COUNTS 0u
#define CO_ASSIGN_COUNTS 0u
#define CO_GUARDING_COUNTS 0u
#define CO_ERR_CTRL_COUNTS 0u
#define CO_ERR_HIST_COUNTS 0u
#define CO_ACT_ERR_HIST_COUNTS 0u
#define CO_EMCY_CONS_COUNTS 0u
#define CO_NODE_IDS 32u
#define CO_NODE_ID_FUNCTIONS NULL

#endif /* GEN_DEFINE_H */
