#pragma once

#include <QtGlobal>

namespace CAN {

// The 16-bit data type index of a CANopen object. The values up to 0x23 are the standard
// indices of the object dictionary's data type area; 100 and above are this tool's own
// codes for J1939 bit fields and string variants.
enum CANopenDataType : quint16 {
    DT_BOOLEAN = 0x0001,
    DT_INTEGER8 = 0x0002,
    DT_INTEGER16 = 0x0003,
    DT_INTEGER32 = 0x0004,
    DT_UNSIGNED8 = 0x0005,
    DT_UNSIGNED16 = 0x0006,
    DT_UNSIGNED32 = 0x0007,
    DT_REAL32 = 0x0008,
    DT_VISIBLE_STRING = 0x0009,
    DT_OCTET_STRING = 0x000A,
    DT_UNICODE_STRING = 0x000B,
    DT_TIME_OF_DAY = 0x000C,
    DT_TIME_DIFFERENCE = 0x000D,
    DT_DOMAIN = 0x000F,
    DT_INTEGER24 = 0x0010,
    DT_REAL64 = 0x0011,
    DT_INTEGER40 = 0x0012,
    DT_INTEGER48 = 0x0013,
    DT_INTEGER56 = 0x0014,
    DT_INTEGER64 = 0x0015,
    DT_UNSIGNED24 = 0x0016,
    DT_UNSIGNED40 = 0x0018,
    DT_UNSIGNED48 = 0x0019,
    DT_UNSIGNED56 = 0x001A,
    DT_UNSIGNED64 = 0x001B,
    DT_PDO_COMMUNICATION_PARAMETER = 0x0020,
    DT_PDO_MAPPING = 0x0021,
    DT_SDO_PARAMETER = 0x0022,
    DT_IDENTITY = 0x0023,

    DT_UNSIGNED2 = 100,
    DT_UNSIGNED3 = 101,
    DT_UNSIGNED4 = 102,
    DT_UNSIGNED5 = 103,
    DT_UNSIGNED6 = 104,
    DT_UNSIGNED7 = 105,
    DT_UNSIGNED9 = 106,
    DT_UNSIGNED10 = 107,
    DT_UNSIGNED11 = 108,
    DT_UNSIGNED12 = 109,
    DT_UNSIGNED13 = 110,
    DT_UNSIGNED14 = 111,
    DT_UNSIGNED15 = 112,
    DT_UNSIGNED19 = 117,
    DT_UNSIGNED21 = 119,
    DT_VIS_STRING_NULL = 0x0078,
    DT_VIS_STRING_ASTERIKS = 0x0079,
    DT_UTF8_STRING = 0x007C,
};

// The object code of an object (its kind: a variable, an array, a record, ...). Helper's
// objectCode2String and string2objectCode give and read their names.
enum ObjectCode : quint8 {
    OC_NULL = 0,
    OC_DOMAIN = 2,
    OC_DEFTYPE = 5,
    OC_DEFSTRUCT = 6,
    OC_VAR = 7,
    OC_ARRAY = 8,
    OC_RECORD = 9,
};

} // namespace CAN
