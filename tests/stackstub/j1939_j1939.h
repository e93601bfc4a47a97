/*
 * Test stand-in for the protocol stack's J1939 header. Only for syntax checks of
 * generated code.
 */
#ifndef J1939_J1939_H
#define J1939_J1939_H 1

#include "co_canopen.h"

typedef UNSIGNED32 J1939_PGN_T;
typedef UNSIGNED32 J1939_SPN_T;

#endif /* J1939_J1939_H */
