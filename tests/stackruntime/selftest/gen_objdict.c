/*
 * A hand-written object dictionary of a few objects for the stack runtime's own test.
 * The TPDO's second mapping entry names 0x2001:0 but points at 0x2000:2, so that a
 * misdirected entry is seen; the last description is counted but reached by no object.
 */
#include <stdlib.h>

#include <gen_define.h>
#include <co_canopen.h>

#define CO_OD_ASSIGN_CNT 8u
#define CO_OBJ_DESC_CNT 13u

static UNSIGNED8 od_u8[3] = {7u, 8u, 9u};
static REAL32 od_r32[1] = {2.5f};

static CO_CONST UNSIGNED8 od_const_u8[4] = {3u, 254u, 2u, 0u};
static CO_CONST UNSIGNED16 od_const_u16[2] = {1000u, 0u};
static CO_CONST UNSIGNED32 od_const_u32[4] = {401UL, 384UL, 536871432UL, 536936464UL};
static CO_CONST REAL32 od_const_r32[3] = {2.5f, -1.0f, 100.0f};
static CO_CONST VIS_STRING od_const_vis_string[1] = {"abc"};
static CO_CONST UNSIGNED32 od_const_vis_string_len[1] = {3ul};

INTEGER16 appValue = -3;
static INTEGER16 *CO_CONST od_ptr_i16[1] = {&(appValue)};

CO_CONST CO_OBJECT_DESC_T od_description[CO_OBJ_DESC_CNT] = {
    {0u, CO_DTYPE_U32_CONST, 0u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_DEFVAL, 0u, 0u, 0u},
    {0u, CO_DTYPE_U16_ERRCTRL, 0u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_WRITE, 0u, 0u, 0u},
    {0u, CO_DTYPE_U8_CONST, 2u, CO_ATTR_NUM | CO_ATTR_READ, 2u, 0u, 0u},
    {1u, CO_DTYPE_U32_TPDO, 1u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_WRITE, 1u, 0u, 0u},
    {2u, CO_DTYPE_U8_TPDO, 1u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_WRITE, 1u, 0u, 0u},
    {0u, CO_DTYPE_U8_TMAP, 1u, CO_ATTR_NUM | CO_ATTR_READ, 2u, 0u, 0u},
    {1u, CO_DTYPE_U32_TMAP, 1u, CO_ATTR_NUM | CO_ATTR_READ, 2u, 0u, 0u},
    {0u, CO_DTYPE_U8_CONST, 0u, CO_ATTR_NUM | CO_ATTR_READ, 0u, 0u, 0u},
    {1u, CO_DTYPE_U8_VAR, 0u,
     CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_WRITE | CO_ATTR_MAP_TR | CO_ATTR_COMPACT, 3u, 0u, 0u},
    {0u, CO_DTYPE_I16_PTR, 0u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_MAP_TR, 0u, 0u, 0u},
    {0u, CO_DTYPE_VS_CONST, 0u, CO_ATTR_READ, 0u, 0u, 0u},
    {0u, CO_DTYPE_R32_VAR, 0u, CO_ATTR_NUM | CO_ATTR_READ | CO_ATTR_WRITE | CO_ATTR_LIMIT, 0u, 1u,
     2u},
    /* counted but assigned to no object */
    {0u, CO_DTYPE_U8_CONST, 0u, CO_ATTR_READ, 0u, 0u, 0u},
};

/* 0x1A00 sub-index 2 is left out of the descriptions: it must not be found */
CO_CONST CO_OD_ASSIGN_T od_assign[CO_OD_ASSIGN_CNT] = {
    {0x1000u, 1u, 0u, CO_ODTYPE_VAR, 0u},   {0x1017u, 1u, 0u, CO_ODTYPE_VAR, 1u},
    {0x1800u, 3u, 2u, CO_ODTYPE_STRUCT, 2u}, {0x1a00u, 2u, 2u, CO_ODTYPE_ARRAY, 5u},
    {0x2000u, 2u, 3u, CO_ODTYPE_ARRAY, 7u}, {0x2001u, 1u, 0u, CO_ODTYPE_VAR, 9u},
    {0x2002u, 1u, 0u, CO_ODTYPE_VAR, 10u},  {0x2003u, 1u, 0u, CO_ODTYPE_VAR, 11u},
};

static CO_CONST PDO_TR_MAP_TABLE_T mapTableTPDO1 = {
    2u, {{&od_u8[0], 1u, CO_TRUE, 0x20000108UL}, {&od_u8[1], 2u, CO_TRUE, 0x20010010UL}}};

CO_CONST CO_OD_DATA_VARIABLES_T od_data_variables = {
    &od_const_u8[0], &od_const_u16[0], &od_const_u32[0], &od_const_r32[0],
    &od_u8[0], NULL, NULL, &od_r32[0],
    NULL, NULL, NULL, NULL,
    NULL, NULL, NULL, NULL,
    NULL, NULL, NULL,
    NULL, &od_ptr_i16[0], NULL, NULL, NULL,
    &od_const_vis_string[0], &od_const_vis_string_len[0], NULL, NULL, NULL,
    NULL, NULL, NULL, NULL, NULL, NULL};

RET_T coCanOpenStackInit(CO_EVENT_STORE_T pLoadFunction)
{
    CO_SERVICE_INIT_VAL_T serviceInitVars = {
        4,
        {CO_REC_BUFFER_COUNTS},   {CO_TR_BUFFER_COUNTS},  {CO_OBJECT_COUNTS},
        {CO_COB_COUNTS},          {CO_TXPDO_COUNTS},      {CO_RXPDO_COUNTS},
        {CO_SSDO_COUNTS},         {CO_CSDO_COUNTS},       {CO_ERR_CTRL_COUNTS},
        {CO_ERR_HIST_COUNTS},     {CO_ACT_ERR_HIST_COUNTS}, {CO_EMCY_CONS_COUNTS},
        {CO_ASSIGN_COUNTS},       {CO_GUARDING_COUNTS},   {CO_NODE_IDS},
        {CO_NODE_ID_FUNCTIONS}};
    RET_T retVal = coCanOpenStackVarInit(&serviceInitVars);
    if (retVal != RET_OK || pLoadFunction != NULL)
        return RET_INVALID_PARAMETER;
    coOdInitOdPtr(&od_assign[0], CO_OD_ASSIGN_CNT, &od_description[0], CO_OBJ_DESC_CNT, NULL,
                  &od_data_variables);
    coSdoServerInit(1u);
    coErrorCtrlInit(od_const_u16[0], 0u);
    coPdoTransmitInit(1u, od_const_u8[1], od_const_u16[1], od_const_u16[1], od_const_u8[3],
                      &mapTableTPDO1);
    return coNmtInit(0u);
}
