#include "nwtest.h"
#include "panelkit/helper.h"
#include "testenv.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <limits>

class TestHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    // Every code the tool knows: its names map back to it, and a type named by its size has
    // that size and default limits.
    void dataTypeRules()
    {
        const auto &map = Helper::stringDataTypeIndexMap;
        // 25 standard types, 15 bit fields, 3 string variants; no structures.
        QCOMPARE(map.size(), 43);
        const QRegularExpression sized(QStringLiteral("^(UNSIGNED|INTEGER)(\\d+)$"));
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const quint16 type = it.key();
            const QString &name = it.value();
            QCOMPARE(Helper::index2DataTypeString(type), name);
            QCOMPARE(Helper::mapDataTypeString(name), type);
            QCOMPARE(Helper::mapDataTypeString(name.toLower()), type);
            QCOMPARE(Helper::mapDataTypeString(
                         QStringLiteral("0x%1").arg(type, 4, 16, QLatin1Char('0'))),
                     type);
            QCOMPARE(Helper::mapDataTypeString(Helper::index2DataTypeShortString(type)), type);
            const unsigned bits = Helper::getDataLengthBits(type);
            QCOMPARE(Helper::getDataLengthBits(static_cast<CAN::CANopenDataType>(type)), bits);
            const QRegularExpressionMatch match = sized.match(name);
            if (!match.hasMatch())
                continue;
            QCOMPARE(bits, match.captured(2).toUInt());
            QString low, high;
            QVERIFY(Helper::getDefaultLimits(type, low, high));
        }
        // The J1939 editor's list needs these entries.
        for (quint16 code : {1,   100, 101, 102, 103, 104, 105, 5,  107, 108, 109,
                             111, 6,   117, 22,  7,   24,  25,  27, 120, 121, 10})
            QVERIFY2(map.contains(code), qPrintable(QString::number(code)));
    }

    // Codes whose names, sizes or limits do not follow from the name, and a few anchors of
    // the code table that files written by other tools rely on.
    void dataTypes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("names"); // long and short
        QTest::addColumn<uint>("bits");
        QTest::addColumn<QString>("limits"); // low and high; empty: the type has none
        const auto row = [](const char *names, int code, uint bits, const char *limits) {
            QTest::addRow("%s", QByteArray(names).split(' ').first().constData())
                << code << QString(names) << bits << QString(limits);
        };
        row("BOOLEAN b", 0x01, 1u, "0 1");
        row("REAL32 r32", 0x08, 32u, "-3.40282347e+38 3.40282347e+38");
        row("VISIBLE_STRING vs", 0x09, 0u, "");
        row("TIME_OF_DAY tod", 0x0C, 48u, "");
        row("DOMAIN d", 0x0F, 0u, "");
        row("REAL64 r64", 0x11, 64u, "-1.7976931348623157e+308 1.7976931348623157e+308");
        row("UNSIGNED48 u48", 0x19, 48u, "0 281474976710655");
        row("INTEGER24 i24", 0x10, 24u, "-8388608 8388607");
        row("INTEGER64 i64", 0x15, 64u, "-9223372036854775808 9223372036854775807");
        row("IDENTITY ", 0x23, 0u, "");
        row("UNSIGNED21 u21", 119, 21u, "0 2097151");
        row("VIS_STRING_ASTERIKS vsa", 121, 0u, "");
        row("UTF8_STRING utf8", 124, 0u, "");
    }
    void dataTypes()
    {
        QFETCH(int, code);
        QFETCH(QString, names);
        const quint16 type = quint16(code);
        QCOMPARE(Helper::index2DataTypeString(type) + ' ' + Helper::index2DataTypeShortString(type),
                 names);
        QTEST(Helper::getDataLengthBits(type), "bits");
        QString low = QStringLiteral("stale"), high = QStringLiteral("stale");
        // Without limits both texts are cleared.
        QTEST(Helper::getDefaultLimits(type, low, high) ? low + ' ' + high : low + high, "limits");
        QCOMPARE(Helper::mapDataTypeString(names.section(' ', 0, 0)), type);
    }

    void unknownDataTypes()
    {
        for (int code :
             {0x00, 0x0E, 0x17, 0x1C, 0x24, 99, 113, 114, 115, 116, 118, 122, 123, 125, 0xFFFF}) {
            const quint16 type = quint16(code);
            QVERIFY(Helper::index2DataTypeString(type).isEmpty());
            QVERIFY(Helper::index2DataTypeShortString(type).isEmpty());
            QCOMPARE(Helper::getDataLengthBits(type), 0u);
            QString low, high;
            QVERIFY(!Helper::getDefaultLimits(type, low, high));
            QCOMPARE(Helper::mapDataTypeString(QString::number(code)), quint16(0));
        }
        for (quint16 structure = 0x20; structure <= 0x23; ++structure)
            QVERIFY(!Helper::stringDataTypeIndexMap.contains(structure));
    }

    // Spellings beyond the names, short names and "0x%04x" codes dataTypeRules reads back.
    void mapDataTypeString_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addRow("upper X") << "0X001B" << 0x1B;
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
        QTest::addRow("float") << "float" << 0x08;
        QTest::addRow("bool") << "bool" << 0x01;
        QTest::addRow("IEC UDINT") << "UDINT" << 0x07;
        QTest::addRow("IEC LREAL") << "LREAL" << 0x11;
        QTest::addRow("bit field short") << "U2" << 100;
        QTest::addRow("asterisk spelling") << "VIS_STRING_ASTERISK" << 121;
        QTest::addRow("utf-8") << "utf-8" << 124;
        QTest::addRow("time of day") << "time of day" << 0x0C;
        QTest::addRow("empty") << "" << 0;
        QTest::addRow("unknown word") << "integer" << 0;
        QTest::addRow("no such bit field") << "UNSIGNED17" << 0;
        QTest::addRow("reserved index") << "0x0017" << 0;
        QTest::addRow("too large") << "0x10000" << 0;
        QTest::addRow("unused tool code") << "113" << 0;
        QTest::addRow("garbage hex") << "0xZZ" << 0;
    }
    void mapDataTypeString()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QCOMPARE(Helper::mapDataTypeString(name), quint16(code));
    }

    void limitsForSignedColumns_data()
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
    void limitsForSignedColumns()
    {
        QFETCH(int, code);
        QFETCH(qint64, low);
        QFETCH(qint64, high);
        qint64 lowValue = 1, highValue = 1;
        QVERIFY(Helper::getDefaultLimitsInt64(quint16(code), lowValue, highValue));
        QCOMPARE(qMakePair(lowValue, highValue), qMakePair(low, high));
        QVERIFY(!Helper::getDefaultLimitsInt64(0x09, lowValue, highValue));
    }

    void string2objectCode_data()
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
    void string2objectCode()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(bool, known);
        bool ok = !known;
        QCOMPARE(Helper::string2objectCode(text, &ok), quint8(code));
        QCOMPARE(ok, known);
    }

    void normalizeAccessType_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("known");
        // Spellings found in real EDS, XDD and CSV files and in the editors.
        const QString spellings = "const=const|Const=const|CONSTANT=const|ro=ro|readonly=ro|"
                                  "read-only=ro|Read Only=ro|read=ro|  ro  =ro|wo=wo|write_only=wo|"
                                  "write=wo|RW=rw|readWrite=rw|Read Write=rw|rw # rw;=rw|rwr=rwr|"
                                  "Read Write Read=rwr|readWriteInput=rwr|RWW=rww|"
                                  "Read Write Write=rww|readWriteOutput=rww";
        for (const QString &spelling : spellings.split('|')) {
            const QString text = spelling.section('=', 0, 0);
            QTest::addRow("%s", qPrintable(text)) << text << spelling.section('=', 1) << true;
        }
        QTest::addRow("unknown") << "sometimes" << QStringLiteral("ro") << false;
        QTest::addRow("empty") << "" << QStringLiteral("ro") << false;
    }
    void normalizeAccessType()
    {
        QFETCH(QString, text);
        QFETCH(bool, known);
        bool ok = !known;
        QTEST(Helper::normalizeAccessType(text, &ok), "type");
        QCOMPARE(ok, known);
    }

    void hexDigits_data()
    {
        QTest::addColumn<quint32>("number");
        QTest::addColumn<int>("digits");
        QTest::addRow("zero") << quint32(0) << 2;
        QTest::addRow("padded") << quint32(0x1A0) << 4;
        QTest::addRow("wider than asked") << quint32(0x12345) << 4;
        QTest::addRow("no padding") << quint32(0xBEEF) << 0;
        QTest::addRow("largest") << quint32(0xFFFFFFFF) << 8;
    }
    void hexDigits()
    {
        QFETCH(quint32, number);
        QFETCH(int, digits);
        // The generators' files must not change: the same text as QString::arg gives.
        QCOMPARE(Helper::hexDigits(number, digits),
                 QStringLiteral("%1").arg(number, digits, 16, QLatin1Char('0')));
    }

    void substituteVariables_data()
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
    void substituteVariables()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(int, subIndex);
        QTEST(Helper::substituteVariables(name, quint16(index), quint8(subIndex)), "result");
    }

    void utf8Strings_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("initialiser");
        QTest::addRow("ascii") << "AB" << QByteArray("AB") << "{ 0x41, 0x42 }";
        QTest::addRow("euro sign")
            << QString(QChar(0x20AC)) << QByteArray("\xE2\x82\xAC") << "{ 0xE2, 0x82, 0xAC }";
        QTest::addRow("umlaut and tab") << QString::fromUtf8("\xC3\xA4\t")
                                        << QByteArray("\xC3\xA4\x09") << "{ 0xC3, 0xA4, 0x09 }";
        QTest::addRow("empty") << "" << QByteArray() << "{ 0x00 }";
    }
    void utf8Strings()
    {
        QFETCH(QString, value);
        QTEST(Helper::UTF8String2ByteArray(value), "bytes");
        QTEST(Helper::UTF8String2ArrayString(value), "initialiser");
    }

    void convertCategory_data()
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
    void convertCategory()
    {
        QFETCH(QString, word);
        QFETCH(int, category);
        QCOMPARE(Helper::convertCategory(word), quint8(category));
        QStringList words;
        for (quint8 code : {0, 1, 2, 7})
            words << Helper::convertCategory(code);
        QCOMPARE(words, (QStringList{"Mandatory", "Optional", "Conditional", "Optional"}));
    }

    void modifyLineEnding_data()
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
    void modifyLineEnding()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, ending);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("gen_define.h"));
        QVERIFY(nwWriteFile(path, before) && Helper::modifyLineEnding(path, ending));
        QTEST(nwReadFile(path), "after");
    }

    void modifyLineEndingRefusals()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(QStringLiteral("gen_srdo.c"));
        QVERIFY(!Helper::modifyLineEnding(missing, QStringLiteral("\r\n")));
        QVERIFY(!QFile::exists(missing));
        const QString path = dir.filePath(QStringLiteral("gen_pgn.c"));
        QVERIFY(nwWriteFile(path, "a\nb\n"));
        QVERIFY(!Helper::modifyLineEnding(path, QStringLiteral("\n\r")));
        QVERIFY(!Helper::modifyLineEnding(path, QString()));
        QCOMPARE(nwReadFile(path), QByteArray("a\nb\n"));
    }
};

NW_TEST_MAIN(TestHelper)
#include "tst_helper.moc"
