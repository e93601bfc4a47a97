/* Definitions of the application variables and the indication that the fixtures of the
 * object dictionary run name. */
#include <gen_define.h>
#include <co_canopen.h>
#include <gen_indication.h>
UNSIGNED8 appU8;
INTEGER16 appI16;
INTEGER32 appI32;
REAL32 appReal;
char appName[16];
UNSIGNED8 appUnicode[8];
INTEGER32 levels[5];
#ifdef CO_MULTI_LINE
RET_T appNmtInd(UNSIGNED8 l, BOOL_T e, CO_NMT_STATE_T s)
{ (void)l; (void)e; (void)s; return RET_OK; }
#else
RET_T appNmtInd(BOOL_T e, CO_NMT_STATE_T s)
{ (void)e; (void)s; return RET_OK; }
#endif
UNSIGNED16 speed_1, speed_2, speed_3;
UNSIGNED32 o20AB_1, o20AB_2;
struct { REAL32 v8364; } block;
char name1[12], name2[12];
UNSIGNED8 raw1[8];
INTEGER24 appI24;
char appLabel[16];
