/* Application side of the SRDO test program: the process variables gen_srdo.c defines
 * and the safe-state reaction. */
#ifndef SRDO_APP_H
#define SRDO_APP_H 1

#include <co_datatype.h>

extern UNSIGNED8 txFlags, txFlagsInv;
extern UNSIGNED16 txSpeed, txSpeedInv;
extern REAL32 txLevel, txLevelInv;
extern INTEGER16 rxTorque, rxTorqueInv;
extern INTEGER24 rxPos, rxPosInv;
extern UNSIGNED8 rxMode, rxModeInv;

void harnessShutDown(void);
#define SHUT_DOWN_APPLICATION harnessShutDown()

#endif
