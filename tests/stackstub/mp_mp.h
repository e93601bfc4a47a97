/*
 * Test stand-in for the protocol stack's multi-protocol header. Only for syntax checks of
 * generated code.
 */
#ifndef MP_MP_H
#define MP_MP_H 1

#include "co_canopen.h"
#include "j1939_j1939.h"

#endif /* MP_MP_H */
