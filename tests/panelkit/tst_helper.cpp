#include "panelkit/helper.h"

#include "nwtest.h"
#include "testenv.h"

#include <QTemporaryDir>

#include <limits>

class TestHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void dataTypeTable_data();
    void dataTypeTable();
    void unknownDataTypes_data();
    void unknownDataTypes();
    void dataTypeIndexMap();
    void mapDataTypeString_data();
    void mapDataTypeString();
    void limitsForSignedColumns_data();
    void limitsForSignedColumns();

    void objectCodes_data();
    void objectCodes();
    void string2objectCode_data();
    void string2objectCode();
    void pdoMappingAndImplementation();
    void normalizeAccessType_data();
    void normalizeAccessType();

    void substituteVariables_data();
    void substituteVariables();
    void utf8Strings_data();
    void utf8Strings();
    void convertCategory_data();
    void convertCategory();
    void convertDbNames_data();
    void convertDbNames();
    void convertEBType_data();
    void convertEBType();
    void modifyLineEnding_data();
    void modifyLineEnding();
    void modifyLineEndingRefusals();
};

void TestHelper::dataTypeTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("longName");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<uint>("bits");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");

    // Sizes and ranges of the CiA 301 basic data types.
    QTest::addRow("BOOLEAN") << 0x01 << "BOOLEAN"
                             << "b" << 1u << "0"
                             << "1";
    QTest::addRow("INTEGER8") << 0x02 << "INTEGER8"
                              << "i8" << 8u << "-128"
                              << "127";
    QTest::addRow("INTEGER16") << 0x03 << "INTEGER16"
                               << "i16" << 16u << "-32768"
                               << "32767";
    QTest::addRow("INTEGER32") << 0x04 << "INTEGER32"
                               << "i32" << 32u << "-2147483648"
                               << "2147483647";
    QTest::addRow("UNSIGNED8") << 0x05 << "UNSIGNED8"
                               << "u8" << 8u << "0"
                               << "255";
    QTest::addRow("UNSIGNED16") << 0x06 << "UNSIGNED16"
                                << "u16" << 16u << "0"
                                << "65535";
    QTest::addRow("UNSIGNED32") << 0x07 << "UNSIGNED32"
                                << "u32" << 32u << "0"
                                << "4294967295";
    QTest::addRow("REAL32") << 0x08 << "REAL32"
                            << "r32" << 32u << "-3.40282347e+38"
                            << "3.40282347e+38";
    QTest::addRow("VISIBLE_STRING") << 0x09 << "VISIBLE_STRING"
                                    << "vs" << 0u << ""
                                    << "";
    QTest::addRow("OCTET_STRING") << 0x0A << "OCTET_STRING"
                                  << "os" << 0u << ""
                                  << "";
    QTest::addRow("UNICODE_STRING") << 0x0B << "UNICODE_STRING"
                                    << "us" << 0u << ""
                                    << "";
    QTest::addRow("TIME_OF_DAY") << 0x0C << "TIME_OF_DAY"
                                 << "tod" << 48u << ""
                                 << "";
    QTest::addRow("TIME_DIFFERENCE") << 0x0D << "TIME_DIFFERENCE"
                                     << "td" << 48u << ""
                                     << "";
    QTest::addRow("DOMAIN") << 0x0F << "DOMAIN"
                            << "d" << 0u << ""
                            << "";
    QTest::addRow("INTEGER24") << 0x10 << "INTEGER24"
                               << "i24" << 24u << "-8388608"
                               << "8388607";
    QTest::addRow("REAL64") << 0x11 << "REAL64"
                            << "r64" << 64u << "-1.7976931348623157e+308"
                            << "1.7976931348623157e+308";
    QTest::addRow("INTEGER40") << 0x12 << "INTEGER40"
                               << "i40" << 40u << "-549755813888"
                               << "549755813887";
    QTest::addRow("INTEGER48") << 0x13 << "INTEGER48"
                               << "i48" << 48u << "-140737488355328"
                               << "140737488355327";
    QTest::addRow("INTEGER56") << 0x14 << "INTEGER56"
                               << "i56" << 56u << "-36028797018963968"
                               << "36028797018963967";
    QTest::addRow("INTEGER64") << 0x15 << "INTEGER64"
                               << "i64" << 64u << "-9223372036854775808"
                               << "9223372036854775807";
    QTest::addRow("UNSIGNED24") << 0x16 << "UNSIGNED24"
                                << "u24" << 24u << "0"
                                << "16777215";
    QTest::addRow("UNSIGNED40") << 0x18 << "UNSIGNED40"
                                << "u40" << 40u << "0"
                                << "1099511627775";
    QTest::addRow("UNSIGNED48") << 0x19 << "UNSIGNED48"
                                << "u48" << 48u << "0"
                                << "281474976710655";
    QTest::addRow("UNSIGNED56") << 0x1A << "UNSIGNED56"
                                << "u56" << 56u << "0"
                                << "72057594037927935";
    QTest::addRow("UNSIGNED64") << 0x1B << "UNSIGNED64"
                                << "u64" << 64u << "0"
                                << "18446744073709551615";
    QTest::addRow("PDO_COMMUNICATION_PARAMETER") << 0x20 << "PDO_COMMUNICATION_PARAMETER"
                                                 << "" << 0u << ""
                                                 << "";
    QTest::addRow("PDO_MAPPING") << 0x21 << "PDO_MAPPING"
                                 << "" << 0u << ""
                                 << "";
    QTest::addRow("SDO_PARAMETER") << 0x22 << "SDO_PARAMETER"
                                   << "" << 0u << ""
                                   << "";
    QTest::addRow("IDENTITY") << 0x23 << "IDENTITY"
                              << "" << 0u << ""
                              << "";

    // The tool's own bit-field and string codes.
    QTest::addRow("UNSIGNED2") << 100 << "UNSIGNED2"
                               << "u2" << 2u << "0"
                               << "3";
    QTest::addRow("UNSIGNED3") << 101 << "UNSIGNED3"
                               << "u3" << 3u << "0"
                               << "7";
    QTest::addRow("UNSIGNED4") << 102 << "UNSIGNED4"
                               << "u4" << 4u << "0"
                               << "15";
    QTest::addRow("UNSIGNED5") << 103 << "UNSIGNED5"
                               << "u5" << 5u << "0"
                               << "31";
    QTest::addRow("UNSIGNED6") << 104 << "UNSIGNED6"
                               << "u6" << 6u << "0"
                               << "63";
    QTest::addRow("UNSIGNED7") << 105 << "UNSIGNED7"
                               << "u7" << 7u << "0"
                               << "127";
    QTest::addRow("UNSIGNED9") << 106 << "UNSIGNED9"
                               << "u9" << 9u << "0"
                               << "511";
    QTest::addRow("UNSIGNED10") << 107 << "UNSIGNED10"
                                << "u10" << 10u << "0"
                                << "1023";
    QTest::addRow("UNSIGNED11") << 108 << "UNSIGNED11"
                                << "u11" << 11u << "0"
                                << "2047";
    QTest::addRow("UNSIGNED12") << 109 << "UNSIGNED12"
                                << "u12" << 12u << "0"
                                << "4095";
    QTest::addRow("UNSIGNED13") << 110 << "UNSIGNED13"
                                << "u13" << 13u << "0"
                                << "8191";
    QTest::addRow("UNSIGNED14") << 111 << "UNSIGNED14"
                                << "u14" << 14u << "0"
                                << "16383";
    QTest::addRow("UNSIGNED15") << 112 << "UNSIGNED15"
                                << "u15" << 15u << "0"
                                << "32767";
    QTest::addRow("UNSIGNED19") << 117 << "UNSIGNED19"
                                << "u19" << 19u << "0"
                                << "524287";
    QTest::addRow("UNSIGNED21") << 119 << "UNSIGNED21"
                                << "u21" << 21u << "0"
                                << "2097151";
    QTest::addRow("VIS_STRING_NULL") << 120 << "VIS_STRING_NULL"
                                     << "vsn" << 0u << ""
                                     << "";
    QTest::addRow("VIS_STRING_ASTERIKS") << 121 << "VIS_STRING_ASTERIKS"
                                         << "vsa" << 0u << ""
                                         << "";
    QTest::addRow("UTF8_STRING") << 124 << "UTF8_STRING"
                                 << "utf8" << 0u << ""
                                 << "";
}

void TestHelper::dataTypeTable()
{
    QFETCH(int, code);
    QFETCH(QString, longName);
    QFETCH(QString, shortName);
    QFETCH(uint, bits);
    QFETCH(QString, low);
    QFETCH(QString, high);
    const quint16 type = quint16(code);

    QCOMPARE(Helper::index2DataTypeString(type), longName);
    QCOMPARE(Helper::index2DataTypeShortString(type), shortName);
    QCOMPARE(Helper::getDataLengthBits(type), bits);
    QCOMPARE(Helper::getDataLengthBits(static_cast<CAN::CANopenDataType>(type)), bits);

    QString lowText = QStringLiteral("stale");
    QString highText = QStringLiteral("stale");
    QCOMPARE(Helper::getDefaultLimits(type, lowText, highText), !low.isEmpty());
    QCOMPARE(lowText, low);
    QCOMPARE(highText, high);

    QCOMPARE(Helper::mapDataTypeString(longName), type);
    QCOMPARE(Helper::mapDataTypeString(longName.toLower()), type);
    QCOMPARE(Helper::mapDataTypeString(QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'))),
             type);
    if (!shortName.isEmpty())
        QCOMPARE(Helper::mapDataTypeString(shortName), type);
}

void TestHelper::unknownDataTypes_data()
{
    QTest::addColumn<int>("code");
    for (int code :
         {0x00, 0x0E, 0x17, 0x1C, 0x24, 99, 113, 114, 115, 116, 118, 122, 123, 125, 0xFFFF})
        QTest::addRow("0x%04x", code) << code;
}

void TestHelper::unknownDataTypes()
{
    QFETCH(int, code);
    const quint16 type = quint16(code);
    QVERIFY(Helper::index2DataTypeString(type).isEmpty());
    QVERIFY(Helper::index2DataTypeShortString(type).isEmpty());
    QCOMPARE(Helper::getDataLengthBits(type), 0u);
    QString low;
    QString high;
    QVERIFY(!Helper::getDefaultLimits(type, low, high));
    QVERIFY(!Helper::stringDataTypeIndexMap.contains(type));
    QCOMPARE(Helper::mapDataTypeString(QString::number(code)), quint16(0));
}

void TestHelper::dataTypeIndexMap()
{
    const auto &map = Helper::stringDataTypeIndexMap;
    // 25 standard types, 15 bit fields, 3 string variants; no structures.
    QCOMPARE(map.size(), 43);
    for (quint16 structure = 0x20; structure <= 0x23; ++structure)
        QVERIFY(!map.contains(structure));
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        QCOMPARE(it.value(), Helper::index2DataTypeString(it.key()));
    // The J1939 editor's list needs these entries.
    for (quint16 code : {1,   100, 101, 102, 103, 104, 105, 5,  107, 108, 109,
                         111, 6,   117, 22,  7,   24,  25,  27, 120, 121, 10})
        QVERIFY2(map.contains(code), qPrintable(QString::number(code)));
}

void TestHelper::mapDataTypeString_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addRow("EDS hex") << "0x0007" << 0x07;
    QTest::addRow("short hex") << "0x7" << 0x07;
    QTest::addRow("upper X") << "0X001B" << 0x1B;
    QTest::addRow("lower hex digits") << "0x000a" << 0x0A;
    QTest::addRow("XDD padded hex") << "0010" << 0x10;
    QTest::addRow("XDD padded hex letters") << "007C" << 124;
    QTest::addRow("h suffix") << "007Ch" << 124;
    QTest::addRow("plain decimal") << "10" << 0x0A;
    QTest::addRow("tool code decimal") << "124" << 124;
    QTest::addRow("blanks around") << "  unsigned32  " << 0x07;
    QTest::addRow("words with blank") << "Visible String" << 0x09;
    QTest::addRow("no separator") << "VISIBLESTRING" << 0x09;
    QTest::addRow("vis_string") << "vis_string" << 0x09;
    QTest::addRow("string") << "string" << 0x09;
    QTest::addRow("octet string") << "octet-string" << 0x0A;
    QTest::addRow("uint8_t") << "uint8_t" << 0x05;
    QTest::addRow("int16") << "int16" << 0x03;
    QTest::addRow("uint64") << "UINT64" << 0x1B;
    QTest::addRow("float") << "float" << 0x08;
    QTest::addRow("double") << "double" << 0x11;
    QTest::addRow("bool") << "bool" << 0x01;
    QTest::addRow("IEC UDINT") << "UDINT" << 0x07;
    QTest::addRow("IEC INT") << "INT" << 0x03;
    QTest::addRow("IEC LREAL") << "LREAL" << 0x11;
    QTest::addRow("IEC USINT") << "usint" << 0x05;
    QTest::addRow("bit field") << "unsigned21" << 119;
    QTest::addRow("bit field short") << "U2" << 100;
    QTest::addRow("vis string null") << "vis_string_null" << 120;
    QTest::addRow("asterisk spelling") << "VIS_STRING_ASTERISK" << 121;
    QTest::addRow("utf-8") << "utf-8" << 124;
    QTest::addRow("domain letter") << "d" << 0x0F;
    QTest::addRow("time of day") << "time of day" << 0x0C;
    QTest::addRow("empty") << "" << 0;
    QTest::addRow("unknown word") << "integer" << 0;
    QTest::addRow("no such bit field") << "UNSIGNED17" << 0;
    QTest::addRow("reserved index") << "0x0017" << 0;
    QTest::addRow("too large") << "0x10000" << 0;
    QTest::addRow("unused tool code") << "113" << 0;
    QTest::addRow("garbage hex") << "0xZZ" << 0;
}

void TestHelper::mapDataTypeString()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(Helper::mapDataTypeString(name), quint16(code));
}

void TestHelper::limitsForSignedColumns_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("low");
    QTest::addColumn<qint64>("high");
    const qint64 min = std::numeric_limits<qint64>::min();
    const qint64 max = std::numeric_limits<qint64>::max();
    QTest::addRow("UNSIGNED64 clamped") << 0x1B << qint64(0) << max;
    QTest::addRow("INTEGER64 exact") << 0x15 << min << max;
    QTest::addRow("UNSIGNED56 exact") << 0x1A << qint64(0) << qint64(72057594037927935LL);
    QTest::addRow("REAL32 clamped") << 0x08 << min << max;
    QTest::addRow("INTEGER8") << 0x02 << qint64(-128) << qint64(127);
}

void TestHelper::limitsForSignedColumns()
{
    QFETCH(int, code);
    QFETCH(qint64, low);
    QFETCH(qint64, high);
    qint64 lowValue = 1;
    qint64 highValue = 1;
    QVERIFY(Helper::getDefaultLimitsInt64(quint16(code), lowValue, highValue));
    QCOMPARE(lowValue, low);
    QCOMPARE(highValue, high);
    QVERIFY(!Helper::getDefaultLimitsInt64(0x09, lowValue, highValue));
}

void TestHelper::objectCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addRow("NULL") << 0 << "NULL";
    QTest::addRow("DOMAIN") << 2 << "DOMAIN";
    QTest::addRow("DEFTYPE") << 5 << "DEFTYPE";
    QTest::addRow("DEFSTRUCT") << 6 << "DEFSTRUCT";
    QTest::addRow("VAR") << 7 << "VAR";
    QTest::addRow("ARRAY") << 8 << "ARRAY";
    QTest::addRow("RECORD") << 9 << "RECORD";
    QTest::addRow("unknown") << 3 << "3";
}

void TestHelper::objectCodes()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(Helper::objectCode2String(quint8(code)), text);
}

void TestHelper::string2objectCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("known");
    QTest::addRow("VAR") << "VAR" << 7 << true;
    QTest::addRow("VARIABLE") << "VARIABLE" << 7 << true;
    QTest::addRow("lower variable") << "variable" << 7 << true;
    QTest::addRow("Array") << "Array" << 8 << true;
    QTest::addRow("record blanks") << " record " << 9 << true;
    QTest::addRow("domain") << "domain" << 2 << true;
    QTest::addRow("deftype") << "DefType" << 5 << true;
    QTest::addRow("defstruct") << "DEFSTRUCT" << 6 << true;
    QTest::addRow("null") << "null" << 0 << true;
    QTest::addRow("EDS number") << "0x8" << 8 << true;
    QTest::addRow("EDS padded number") << "0x09" << 9 << true;
    QTest::addRow("upper X") << "0X07" << 7 << true;
    QTest::addRow("decimal") << "9" << 9 << true;
    QTest::addRow("unknown word") << "struct" << 7 << false;
    QTest::addRow("unknown number") << "0x3" << 7 << false;
    QTest::addRow("empty") << "" << 7 << false;
}

void TestHelper::string2objectCode()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(bool, known);
    bool ok = !known;
    QCOMPARE(Helper::string2objectCode(text, &ok), quint8(code));
    QCOMPARE(ok, known);
}

void TestHelper::pdoMappingAndImplementation()
{
    const QStringList mappings{"Forbidden", "Allowed", "Default", "RPDO", "TPDO"};
    for (int i = 0; i < mappings.size(); ++i)
        QCOMPARE(Helper::pdoMapping2String(quint8(i)), mappings.at(i));
    QCOMPARE(Helper::pdoMapping2String(5), QStringLiteral("5"));

    const QStringList kinds{"Managed Variable", "Managed Const", "Variable", "Virtual Object"};
    for (int i = 0; i < kinds.size(); ++i)
        QCOMPARE(Helper::implementation2String(quint8(i)), kinds.at(i));
    QCOMPARE(Helper::implementation2String(4), QStringLiteral("4"));
}

void TestHelper::normalizeAccessType_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("known");
    // Spellings found in real EDS, XDD and CSV files and in the editors.
    QTest::addRow("const") << "const"
                           << "const" << true;
    QTest::addRow("Const") << "Const"
                           << "const" << true;
    QTest::addRow("constant") << "CONSTANT"
                              << "const" << true;
    QTest::addRow("ro") << "ro"
                        << "ro" << true;
    QTest::addRow("readonly") << "readonly"
                              << "ro" << true;
    QTest::addRow("read-only") << "read-only"
                               << "ro" << true;
    QTest::addRow("Read Only") << "Read Only"
                               << "ro" << true;
    QTest::addRow("XDD read") << "read"
                              << "ro" << true;
    QTest::addRow("wo") << "wo"
                        << "wo" << true;
    QTest::addRow("write_only") << "write_only"
                                << "wo" << true;
    QTest::addRow("XDD write") << "write"
                               << "wo" << true;
    QTest::addRow("RW") << "RW"
                        << "rw" << true;
    QTest::addRow("XDD readWrite") << "readWrite"
                                   << "rw" << true;
    QTest::addRow("Read Write") << "Read Write"
                                << "rw" << true;
    QTest::addRow("inline comment") << "rw # rw;"
                                    << "rw" << true;
    QTest::addRow("rwr") << "rwr"
                         << "rwr" << true;
    QTest::addRow("Read Write Read") << "Read Write Read"
                                     << "rwr" << true;
    QTest::addRow("XDD readWriteInput") << "readWriteInput"
                                        << "rwr" << true;
    QTest::addRow("rww") << "RWW"
                         << "rww" << true;
    QTest::addRow("Read Write Write") << "Read Write Write"
                                      << "rww" << true;
    QTest::addRow("XDD readWriteOutput") << "readWriteOutput"
                                         << "rww" << true;
    QTest::addRow("blanks") << "  ro  "
                            << "ro" << true;
    QTest::addRow("unknown") << "sometimes"
                             << "ro" << false;
    QTest::addRow("empty") << ""
                           << "ro" << false;
}

void TestHelper::normalizeAccessType()
{
    QFETCH(QString, text);
    QFETCH(QString, type);
    QFETCH(bool, known);
    bool ok = !known;
    QCOMPARE(Helper::normalizeAccessType(text, &ok), type);
    QCOMPARE(ok, known);
}

void TestHelper::substituteVariables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("subIndex");
    QTest::addColumn<QString>("result");
    QTest::addRow("no variable") << "Device Type" << 0x1000 << 0 << "Device Type";
    QTest::addRow("index decimal") << "Object $i" << 0x2000 << 0 << "Object 8192";
    QTest::addRow("index hex") << "Object $I" << 0x1a0f << 0 << "Object 1A0F";
    QTest::addRow("sub decimal") << "Sensor $s" << 0x6000 << 10 << "Sensor 10";
    QTest::addRow("sub hex") << "Sensor $S" << 0x6000 << 10 << "Sensor A";
    QTest::addRow("sub minus one") << "values[$z]" << 0x2100 << 1 << "values[0]";
    QTest::addRow("sub zero minus one") << "values[$z]" << 0x2100 << 0 << "values[-1]";
    QTest::addRow("combined") << "v_$I_$S_$i_$s" << 0x2001 << 0x1f << "v_2001_1F_8193_31";
    QTest::addRow("repeated") << "$s$s" << 0x2000 << 2 << "22";
    QTest::addRow("unknown variable kept") << "cost $x" << 0x2000 << 1 << "cost $x";
    QTest::addRow("trailing dollar") << "price$" << 0x2000 << 1 << "price$";
    QTest::addRow("double dollar") << "$$i" << 0x2000 << 0 << "$8192";
    QTest::addRow("percent untouched") << "%1 of $i" << 0x10 << 0 << "%1 of 16";
}

void TestHelper::substituteVariables()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, subIndex);
    QFETCH(QString, result);
    QCOMPARE(Helper::substituteVariables(name, quint16(index), quint8(subIndex)), result);
}

void TestHelper::utf8Strings_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("initialiser");
    QTest::addRow("ascii") << "AB" << QByteArray("AB") << "{ 0x41, 0x42 }";
    QTest::addRow("euro sign") << QString(QChar(0x20AC)) << QByteArray("\xE2\x82\xAC")
                               << "{ 0xE2, 0x82, 0xAC }";
    QTest::addRow("umlaut and tab")
        << QString::fromUtf8("\xC3\xA4\t") << QByteArray("\xC3\xA4\x09") << "{ 0xC3, 0xA4, 0x09 }";
    QTest::addRow("empty") << "" << QByteArray() << "{ 0x00 }";
}

void TestHelper::utf8Strings()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, initialiser);
    QCOMPARE(Helper::UTF8String2ByteArray(value), bytes);
    QCOMPARE(Helper::UTF8String2ArrayString(value), initialiser);
}

void TestHelper::convertCategory_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("category");
    QTest::addRow("mandatory") << "mandatory" << 0;
    QTest::addRow("Mandatory letter") << "M" << 0;
    QTest::addRow("optional") << "Optional" << 1;
    QTest::addRow("o") << "o" << 1;
    QTest::addRow("conditional") << "CONDITIONAL" << 2;
    QTest::addRow("c") << " c " << 2;
    QTest::addRow("unknown gives default") << "sometimes" << 1;
    QTest::addRow("empty gives default") << "" << 1;
}

void TestHelper::convertCategory()
{
    QFETCH(QString, word);
    QFETCH(int, category);
    QCOMPARE(Helper::convertCategory(word), quint8(category));
    QCOMPARE(Helper::convertCategory(quint8(0)), QStringLiteral("Mandatory"));
    QCOMPARE(Helper::convertCategory(quint8(1)), QStringLiteral("Optional"));
    QCOMPARE(Helper::convertCategory(quint8(2)), QStringLiteral("Conditional"));
    QCOMPARE(Helper::convertCategory(quint8(7)), QStringLiteral("Optional"));
}

void TestHelper::convertDbNames_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("property");
    const char *const pairs[][2] = {
        {"name", "Name"},
        {"datatype", "DataType"},
        {"objecttype", "ObjectType"},
        {"category", "Category"},
        {"device_class", "Device Class"},
        {"description", "Description"},
        {"accesstype", "AccessType"},
        {"defaultvalue", "DefaultValue"},
        {"pdomapping", "PdoMapping"},
        {"lowlimit", "LowerLimit"},
        {"uplimit", "UpperLimit"},
        {"size", "Size"},
        {"implementation", "Implementation"},
        {"varname", "VariableName"},
        {"wizardsource", "WizardSource"},
        {"changedbyuser", "ChangedByUser"},
        {"defaultineds", "HasDefault"},
        {"writedefaulttoeds", "DefaultInEDS"},
        {"limitineds", "LimitCheck"},
        {"managedbycbw", "Managed by CBW"},
        {"sharedlines", "In all lines"},
    };
    for (const auto &pair : pairs)
        QTest::addRow("%s", pair[0]) << pair[0] << pair[1];
}

void TestHelper::convertDbNames()
{
    QFETCH(QString, column);
    QFETCH(QString, property);
    QCOMPARE(Helper::convertDbNames(column), property);
    QCOMPARE(Helper::convertDbNames(property), column);
    QCOMPARE(Helper::convertDbNames(QStringLiteral("line0type")), QStringLiteral("line0type"));
}

void TestHelper::convertEBType_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("code");
    QTest::addRow("battery") << "Battery"
                             << "bat";
    QTest::addRow("display") << "Display"
                             << "hmi";
    QTest::addRow("voltage converter") << "Voltage Converter"
                                       << "vc";
    QTest::addRow("motor controller") << "Motor Controller Unit"
                                      << "mcu";
    QTest::addRow("controller") << "EnergyBus Controller"
                                << "ebc";
    QTest::addRow("load monitoring") << "Load Monitoring Device"
                                     << "lmd";
    QTest::addRow("security") << "Security Device/Extension"
                              << "sec";
    QTest::addRow("passive") << "Manufacturer specific device (passive)"
                             << "manup";
    QTest::addRow("active") << "Manufacturer specific device (active)"
                            << "manua";
    QTest::addRow("tool") << "Service/Diagnostic tool"
                          << "tool";
}

void TestHelper::convertEBType()
{
    QFETCH(QString, kind);
    QFETCH(QString, code);
    QCOMPARE(Helper::convertEBType(kind), code);
    QCOMPARE(Helper::convertEBType(kind.toUpper()), code);
    QCOMPARE(Helper::convertEBType(code), kind);
    QVERIFY(Helper::convertEBType(QStringLiteral("Toaster")).isEmpty());
}

void TestHelper::modifyLineEnding_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("after");
    const QByteArray mixed("a\r\nb\nc\rd\n");
    QTest::addRow("mixed to CRLF") << mixed << "\r\n" << QByteArray("a\r\nb\r\nc\r\nd\r\n");
    QTest::addRow("mixed to LF") << mixed << "\n" << QByteArray("a\nb\nc\nd\n");
    QTest::addRow("mixed to CR") << mixed << "\r" << QByteArray("a\rb\rc\rd\r");
    QTest::addRow("CRLF to LF") << QByteArray("x;\r\ny;\r\n") << "\n" << QByteArray("x;\ny;\n");
    QTest::addRow("no final newline") << QByteArray("x\ny") << "\r\n" << QByteArray("x\r\ny");
    QTest::addRow("empty lines kept") << QByteArray("\n\n\r\n") << "\r" << QByteArray("\r\r\r");
    QTest::addRow("CR then LF pairs once") << QByteArray("a\r\r\nb") << "\n"
                                           << QByteArray("a\n\nb");
    QTest::addRow("utf8 bytes untouched") << QByteArray("\xE2\x82\xAC\n") << "\r\n"
                                          << QByteArray("\xE2\x82\xAC\r\n");
    QTest::addRow("empty file") << QByteArray() << "\r\n" << QByteArray();
}

void TestHelper::modifyLineEnding()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, ending);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gen_define.h"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();

    QVERIFY(Helper::modifyLineEnding(path, ending));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

void TestHelper::modifyLineEndingRefusals()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("gen_srdo.c"));
    QVERIFY(!Helper::modifyLineEnding(missing, QStringLiteral("\r\n")));
    QVERIFY(!QFile::exists(missing));

    const QString path = dir.filePath(QStringLiteral("gen_pgn.c"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("a\nb\n");
    file.close();
    QVERIFY(!Helper::modifyLineEnding(path, QStringLiteral("\n\r")));
    QVERIFY(!Helper::modifyLineEnding(path, QString()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a\nb\n"));
}

NW_TEST_MAIN(TestHelper)
#include "tst_helper.moc"
