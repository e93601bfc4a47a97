/*
 * Test stand-in for the protocol stack's data type header: the types and initialiser
 * macros that generated files use, with the stack's names. Only for syntax checks of
 * generated code; it carries no behaviour.
 */
#ifndef CO_DATATYPE_H
#define CO_DATATYPE_H 1

#include <stddef.h>

typedef unsigned char UNSIGNED8;
typedef unsigned short UNSIGNED16;
typedef unsigned int UNSIGNED32;
typedef unsigned long long UNSIGNED64;
typedef signed char INTEGER8;
typedef short INTEGER16;
typedef int INTEGER32;
typedef long long INTEGER64;
typedef float REAL32;
typedef double REAL64;
typedef unsigned char BOOL_T;

/* 24, 40 and 48 bit values are byte arrays, least significant byte first; their
 * initialisers take the bytes most significant first, as the generator writes them */
/* clang-format off */
typedef struct { UNSIGNED8 v[3]; } UNSIGNED24;
typedef struct { UNSIGNED8 v[3]; } INTEGER24;
typedef struct { UNSIGNED8 v[5]; } UNSIGNED40;
typedef struct { UNSIGNED8 v[6]; } UNSIGNED48;
typedef UNSIGNED48 TIME_OF_DAY;
#define U24_SET(b2, b1, b0) {{(b0), (b1), (b2)}}
#define I24_SET(b2, b1, b0) {{(b0), (b1), (b2)}}
#define U40_SET(b4, b3, b2, b1, b0) {{(b0), (b1), (b2), (b3), (b4)}}
#define U48_SET(b5, b4, b3, b2, b1, b0) {{(b0), (b1), (b2), (b3), (b4), (b5)}}
/* clang-format on */
#define U64_SET(b7, b6, b5, b4, b3, b2, b1, b0)                                                    \
    (((UNSIGNED64)(b7) << 56) | ((UNSIGNED64)(b6) << 48) | ((UNSIGNED64)(b5) << 40)                \
     | ((UNSIGNED64)(b4) << 32) | ((UNSIGNED64)(b3) << 24) | ((UNSIGNED64)(b2) << 16)              \
     | ((UNSIGNED64)(b1) << 8) | (UNSIGNED64)(b0))

#define CO_TRUE 1u
#define CO_FALSE 0u

#ifndef CO_CONST
#define CO_CONST const
#endif

#endif /* CO_DATATYPE_H */
