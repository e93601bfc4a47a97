/* The application variables the object dictionary fixtures name. */
#include <co_datatype.h>
extern UNSIGNED8 appU8;
extern INTEGER16 appI16;
extern INTEGER32 appI32;
extern REAL32 appReal;
extern char appName[16];
extern UNSIGNED8 appUnicode[8];
extern INTEGER32 levels[5];
extern UNSIGNED16 speed_1, speed_2, speed_3;
extern UNSIGNED32 o20AB_1, o20AB_2;
extern struct { REAL32 v8364; } block;
extern char name1[12], name2[12];
extern UNSIGNED8 raw1[8];
extern INTEGER24 appI24;
extern char appLabel[16];
