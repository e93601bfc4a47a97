/*
 * Drives the SRDO code of a generated gen_srdo.c through the stack's interface and prints
 * what reaches the bus and the application. SRDO 1 transmits, SRDO 2 receives; in the
 * multi-line form SRDO 1 lives on line 0 and SRDO 2 on line 1.
 */
#include <stdio.h>

#include <gen_define.h>
#include <co_canopen.h>
#include <srdo_app.h>

#ifdef CO_MULTI_LINE
#define TX_LINE 0u,
#define RX_LINE 1u,
#define TX_LINE_ONLY 0u
#define RX_LINE_ONLY 1u
#else
#define TX_LINE
#define RX_LINE
#define TX_LINE_ONLY
#define RX_LINE_ONLY
#endif

typedef union {
    REAL32 real;
    UNSIGNED32 bits;
} FLOAT_BITS_T;

static unsigned long ticks;

void harnessShutDown(void)
{
    printf("shut down after %lu ticks\n", ticks);
}

#ifdef CO_MULTI_LINE
UNSIGNED8 coNmtGetNodeId(UNSIGNED8 line)
{
    return (UNSIGNED8)(5u + line);
}
#else
UNSIGNED8 coNmtGetNodeId(void)
{
    return 5u;
}
#endif

RET_T coSrdoCanWrite(CO_SRDO_LINE_PARAM UNSIGNED32 cobId, const UNSIGNED8 *pData,
                     UNSIGNED8 dataLen)
{
    UNSIGNED8 i;

    printf("send %03x:", (unsigned)cobId);
    for (i = 0u; i < dataLen; i++) {
        printf(" %02x", pData[i]);
    }
    printf("\n");
    return RET_OK;
}

/* the second channel of the application provides the inverted values */
void srdoProducerIndication(CO_SRDO_LINE_PARAM UNSIGNED16 srdoNr)
{
    FLOAT_BITS_T level;

    printf("producer indication %u\n", (unsigned)srdoNr);
    txFlagsInv = (UNSIGNED8)~txFlags;
    txSpeedInv = (UNSIGNED16)~txSpeed;
    level.real = txLevel;
    level.bits = ~level.bits;
    txLevelInv = level.real;
}

static void nmt(CO_NMT_STATE_T state)
{
    coSrdoNmtStateChange(TX_LINE state);
#ifdef CO_MULTI_LINE
    coSrdoNmtStateChange(RX_LINE state);
#endif
}

static void tick(int count, int withMainLoop)
{
    int i;

    for (i = 0; i < count; i++) {
        ticks++;
        coSrdoTimerIsr();
        if (withMainLoop) {
            coSrdoProcess();
        }
    }
}

static void receive(UNSIGNED32 cobId, const UNSIGNED8 *pData, UNSIGNED8 dataLen)
{
    if (coSrdoCanReceive(RX_LINE cobId, pData, dataLen) != CO_TRUE) {
        printf("message %03x not taken\n", (unsigned)cobId);
    }
}

/* the value of a 24-bit integer, least significant byte first */
static long integer24(const INTEGER24 *pValue)
{
    long value = (long)pValue->v[0] | ((long)pValue->v[1] << 8) | ((long)pValue->v[2] << 16);
    return (value & 0x800000L) != 0 ? value - 0x1000000L : value;
}

static void printReceived(void)
{
    printf("received torque %d/%d position %ld/%ld mode %u/%u\n", rxTorque, rxTorqueInv,
           integer24(&rxPos), integer24(&rxPosInv), rxMode, rxModeInv);
}

static void validate(void)
{
    RET_T tx = coSrdoObjWrite(TX_LINE 0x13feu, 0u, 0xa5u);
#ifdef CO_MULTI_LINE
    RET_T rx = coSrdoObjWrite(RX_LINE 0x13feu, 0u, 0xa5u);
#else
    RET_T rx = tx;
#endif
    printf("validate %d %d\n", (int)tx, (int)rx);
}

int main(void)
{
    static const UNSIGNED8 normal[6] = {0x18u, 0xfcu, 0x00u, 0x00u, 0x80u, 0x07u};
    UNSIGNED8 inverted[6];
    UNSIGNED32 value = 0u;
    UNSIGNED8 i;

    for (i = 0u; i < 6u; i++) {
        inverted[i] = (UNSIGNED8)~normal[i];
    }
    txFlags = 0x5au;
    txSpeed = 0x1234u;
    txLevel = 1.5f;

    printf("init %d %d\n", (int)coSrdoInit(TX_LINE 1u), (int)coSrdoInit(RX_LINE 2u));
    printf("init of a missing SRDO %d\n", (int)coSrdoInit(TX_LINE 3u));
    (void)coSrdoObjRead(TX_LINE 0x1301u, 5u, &value);
    printf("COB-ID 1 of SRDO 1: %03x\n", (unsigned)value);
    (void)coSrdoObjRead(RX_LINE 0x1302u, 6u, &value);
    printf("COB-ID 2 of SRDO 2: %03x\n", (unsigned)value);

    printf("-- operational before the configuration is valid\n");
    nmt(CO_NMT_STATE_OPERATIONAL);
    tick(3, 1);

    printf("-- valid configuration\n");
    nmt(CO_NMT_STATE_PREOP);
    validate();
    nmt(CO_NMT_STATE_OPERATIONAL);
    coSrdoProcess();
    printf("writing in OPERATIONAL: %d\n", (int)coSrdoObjWrite(TX_LINE 0x1301u, 2u, 30u));

    printf("-- refresh time 20 ms\n");
    tick(19, 1);
    printf("19 ms passed\n");
    tick(1, 1);

    printf("-- consistent pair\n");
    receive(0x101u, normal, 6u);
    receive(0x102u, inverted, 6u);
    printReceived();

    printf("-- inverted message without normal message is ignored\n");
    receive(0x102u, inverted, 6u);
    printReceived();

    printf("-- inverted message that does not match\n");
    receive(0x101u, normal, 6u);
    inverted[3] = 0x00u;
    receive(0x102u, inverted, 6u);
    printReceived();

    printf("-- no pair within the SCT of 50 ms\n");
    nmt(CO_NMT_STATE_PREOP);
    nmt(CO_NMT_STATE_OPERATIONAL);
    ticks = 0u;
    tick(60, 1);

    printf("-- main loop stops\n");
    nmt(CO_NMT_STATE_PREOP);
    nmt(CO_NMT_STATE_OPERATIONAL);
    ticks = 0u;
    tick(11, 0);

    printf("-- a changed parameter invalidates the configuration\n");
    nmt(CO_NMT_STATE_PREOP);
    printf("write refresh time %d\n", (int)coSrdoObjWrite(TX_LINE 0x1301u, 2u, 30u));
    (void)coSrdoObjRead(TX_LINE 0x13feu, 0u, &value);
    printf("configuration valid %02x\n", (unsigned)value);
    printf("write mapping entry %d\n", (int)coSrdoObjWrite(TX_LINE 0x1381u, 1u, 0u));
    validate();
    nmt(CO_NMT_STATE_OPERATIONAL);
    coSrdoProcess();
    printf("end\n");
    return 0;
}
