/*
 * Test stand-in for the protocol stack's J1939 header. Only for syntax checks of
 * generated code.
 */
#ifndef J1939_J1939_H
#define J1939_J1939_H 1

#include "co_canopen.h"

#endif /* J1939_J1939_H */
