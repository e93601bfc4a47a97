#include "nwtest.h"
#include "panelkit/valuechecker.h"
#include "testenv.h"

class TestValueChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void defaultValue_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, int type, const char *value, const QString &message) {
            QTest::newRow(name) << type << QString::fromUtf8(value) << message;
        };
        const QString fine;
        row("empty is no default", 5, "", fine);
        row("u8 255", 5, "255", fine);
        row("u8 256", 5, "256", "256 lies outside the range of UNSIGNED8 (0 to 255).");
        row("u8 negative", 5, "-1", "-1 lies outside the range of UNSIGNED8 (0 to 255).");
        row("u8 hex", 5, "0xFF", fine);
        row("u8 malformed", 5, "12a",
            "\"12a\" is not a number. Type a decimal number or a hexadecimal one starting with "
            "0x.");
        row("u8 bare 0x", 5, "0x",
            "\"0x\" is not a number. Type a decimal number or a hexadecimal one starting with 0x.");
        row("i8 -128", 2, "-128", fine);
        row("i8 128", 2, "128", "128 lies outside the range of INTEGER8 (-128 to 127).");
        row("i8 bit pattern", 2, "0x80", fine);
        row("i8 pattern too wide", 2, "0x100",
            "0x100 lies outside the range of INTEGER8 (-128 to 127).");
        row("boolean 2", 1, "2", "2 lies outside the range of BOOLEAN (0 to 1).");
        row("u64 maximum", 0x1B, "18446744073709551615", fine);
        row("u32 node-ID term", 7, "$NODEID+0x180", fine);
        row("u32 node-ID term after", 7, "0x180 + $nodeid", fine);
        row("u32 node-ID term, bad number", 7, "$NODEID+abc",
            "\"abc\" is not a number. Type a decimal number or a hexadecimal one starting with "
            "0x.");
        row("real32", 8, "-1.5e3", fine);
        row("real32 too large", 8, "1e39",
            "1e39 lies outside the range of REAL32 (-3.40282347e+38 to 3.40282347e+38).");
        row("real32 comma", 8, "1,5",
            "\"1,5\" is not a number. Type a decimal number or a hexadecimal one starting with "
            "0x.");
        row("string takes any text", 9, "0x12 'quoted' %2", fine);
        row("domain takes any text", 0x0F, "file.bin", fine);
    }
    void defaultValue()
    {
        QFETCH(int, type);
        QFETCH(QString, value);
        QTEST(ValueChecker::checkDefaultValue(quint16(type), value), "message");
    }

    void limit_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qlonglong>("value");
        const auto row = [](const char *name, int type, const char *text, const char *message,
                            qlonglong value) {
            QTest::newRow(name) << type << QString(text) << QString(message) << value;
        };
        row("decimal", 3, "-300", "", -300LL);
        row("hexadecimal", 7, "0xFFFFFFFF", "", 4294967295LL);
        row("real rounded", 8, "1.6", "", 2LL);
        row("real rounded down", 8, "-1.4", "", -1LL);
        row("outside the type", 5, "300", "300 lies outside the range of UNSIGNED8 (0 to 255).",
            0LL);
        row("no number", 5, "ten",
            "\"ten\" is not a number. Type a decimal number or a hexadecimal one starting with 0x.",
            0LL);
        row("empty", 5, " ", "A limit needs a number.", 0LL);
        row("beyond 64 bits signed", 0x1B, "0xFFFFFFFFFFFFFFFF",
            "0xFFFFFFFFFFFFFFFF is too large for a limit; limits are held as signed 64-bit numbers "
            "(at "
            "most 9223372036854775807).",
            0LL);
    }
    void limit()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(qlonglong, value);
        qint64 parsed = 0;
        QTEST(ValueChecker::checkLimit(quint16(type), text, parsed), "message");
        QCOMPARE(parsed, qint64(value));
    }

    void size_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, int type, const QString &defaultValue,
                            const char *text, const char *message) {
            QTest::newRow(name) << type << defaultValue << QString(text) << QString(message);
        };
        row("room to spare", 9, "abc", "32", "");
        row("too small for the default", 9, "abcdef", "4",
            "A size of 4 bytes cannot hold the default value, which takes 6 bytes.");
        row("utf-8 counts bytes", 0x7C, QString::fromUtf8("\u00e4\u00f6"), "3",
            "A size of 3 bytes cannot hold the default value, which takes 4 bytes.");
        row("not a number", 9, "", "-2", "\"-2\" is not a size in bytes.");
    }
    void size()
    {
        QFETCH(int, type);
        QFETCH(QString, defaultValue);
        QFETCH(QString, text);
        quint32 size = 0;
        QTEST(ValueChecker::checkSize(quint16(type), defaultValue, text, size), "message");
    }

    void index_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("index");
        const auto row = [](const char *name, const char *text, const char *message, int index) {
            QTest::newRow(name) << QString(text) << QString(message) << index;
        };
        row("with 0x", "0x2000", "", 0x2000);
        row("with h", "6040h", "", 0x6040);
        row("bare hex", "a000", "", 0xA000);
        row("below the dictionary", "0x0fff",
            "0xfff lies outside the object dictionary (0x1000 to 0xFFFF).", 0);
        row("above the dictionary", "0x10000",
            "0x10000 lies outside the object dictionary (0x1000 to 0xFFFF).", 0);
        row("no number", "0xg000",
            "\"0xg000\" is not an object index. Type a hexadecimal number such as 0x2000.", 0);
    }
    void index()
    {
        QFETCH(QString, text);
        quint16 parsed = 0;
        QTEST(ValueChecker::checkIndex(text, parsed), "message");
        QTEST(int(parsed), "index");
    }

    void hexDec_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("converted");
        const auto row = [](const char *name, int type, const char *value, const char *converted) {
            QTest::newRow(name) << type << QString(value) << QString(converted);
        };
        row("decimal to hex", 7, "384", "0x180");
        row("hex to decimal", 7, "0x180", "384");
        row("negative to two's complement", 2, "-5", "0xfb");
        row("two's complement back", 2, "0xfb", "-5");
        row("i16 pattern", 3, "-1", "0xffff");
        row("node-ID term kept", 7, "$NODEID+0x180", "$NODEID+384");
        row("real stays", 8, "1.5", "1.5");
        row("text stays", 9, "hello", "hello");
    }
    void hexDec()
    {
        QFETCH(int, type);
        QFETCH(QString, value);
        const QString once = ValueChecker::toggleHexDec(quint16(type), value);
        QTEST(once, "converted");
        if (once != value)
            QCOMPARE(ValueChecker::toggleHexDec(quint16(type), once).toLower(), value.toLower());
    }
};

NW_TEST_MAIN(TestValueChecker)
#include "tst_valuechecker.moc"
