#include "../importers/roundtriputil.h"
#include "nwtest.h"
#include "panelkit/edsparser.h"
#include "sectiontext.h"
#include "testenv.h"

namespace {

// What the parser delivered, as "name=value" facts: "2000.code=8", "2000sub1.default=7",
// and the order of the records as "2000", "2000sub0", ...
struct Parsed
{
    bool ok = false;
    QSet<QString> facts;
    QStringList order;
    QList<EdsParser::Diagnostic> diagnostics;
};

void addObjectFacts(Parsed &parsed, const CAN::CANopenIndex &o)
{
    const QString at = roundtrip::hex(o.index).toUpper();
    parsed.order.append(at);
    parsed.facts << at + ".name=" + o.name << at + ".code=" + QString::number(o.objectType)
                 << at + ".type=" + QString::number(o.dataType)
                 << at + ".compact=" + QString::number(o.compactCount);
}

void addSubFacts(Parsed &parsed, const CAN::CANopenSubIndex &s)
{
    const QString at =
        roundtrip::hex(s.index).toUpper() + "sub" + QString::number(s.subIndex, 16).toUpper();
    parsed.order.append(at);
    parsed.facts << at + ".name=" + s.parameterName << at + ".type=" + QString::number(s.dataType)
                 << at + ".access=" + s.accessType << at + ".default=" + s.defaultValue
                 << at + ".mode=" + QString::number(s.defaultMode)
                 << at + ".value=" + s.parameterValue << at + ".denotation=" + s.denotation
                 << at + ".upload=" + s.uploadFile << at + ".pdo=" + QString::number(s.pdoMapping)
                 << at + ".flags=" + QString::number(s.refuseRead * 2 + s.refuseWrite)
                 << at + ".limits="
                        + (s.hasLimits ? QStringLiteral("%1..%2").arg(s.lowLimit).arg(s.highLimit)
                                       : QStringLiteral("none"));
}

Parsed parse(const QByteArray &content, EdsParser &parser)
{
    Parsed parsed;
    QObject::connect(&parser, &EdsParser::newIndex,
                     [&parsed](const CAN::CANopenIndex &o) { addObjectFacts(parsed, o); });
    QObject::connect(&parser, &EdsParser::newSubIndex,
                     [&parsed](const CAN::CANopenSubIndex &s) { addSubFacts(parsed, s); });
    parsed.ok = parser.loadEdsData(content, QStringLiteral("test.eds"));
    parsed.diagnostics = parser.diagnostics();
    return parsed;
}

// One VAR object; the keys after "[2000]" can be replaced through extra.
QByteArray variable(const QByteArray &extra = QByteArray())
{
    return "[2000]\nParameterName=Speed\nObjectType=0x7\nDataType=0x0007\nAccessType=rw\n"
           "DefaultValue=0x12\nPDOMapping=0\n"
           + extra;
}

// An EDS text of tests/data/panelkit/eds_snippets.txt.
QByteArray snippet(const char *name)
{
    return sectionText(NW_TEST_DATA_DIR "/panelkit/eds_snippets.txt", name);
}

} // namespace

class TestEdsParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void lenientForms_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("facts"); // separated by '|'
        QTest::addColumn<int>("warnings");
        // Without content, the row's EDS text is its snippet.
        const auto row = [](const char *name, const QString &facts, int warnings = 0,
                            const QByteArray &content = QByteArray()) {
            QTest::newRow(name) << (content.isNull() ? snippet(name) : content) << facts
                                << warnings;
        };
        const QByteArray record = snippet("record in any case, CR LF or CR");
        const QString recordFacts = "1A00.code=9|1A00sub0.default=1|1A00sub1.type=7|1A00.type=7";
        row("section names in any case", recordFacts, 0, record);
        row("CR LF line ends", recordFacts, 0, QByteArray(record).replace("\n", "\r\n"));
        row("CR line ends", recordFacts, 0, QByteArray(record).replace("\n", "\r"));
        row("keys in any case", "2000sub0.type=6|2000sub0.access=RW|2000sub0.mode=0");
        row("UTF-8 with byte-order mark", "2000.name=Drehzahl \u00E4", 0,
            "\xEF\xBB\xBF[2000]\nParameterName=Drehzahl \xC3\xA4\nDataType=7\nAccessType=ro\n");
        row("Latin-1", "2000.name=Drehzahl \u00E4", 1,
            "[2000]\nParameterName=Drehzahl \xE4\nDataType=7\nAccessType=ro\n");
        row("comment, blank and blank-only lines", "2000sub0.name=A", 0,
            ";head\n\n[2000]\n  \t\n; inside\nParameterName=A\n\nDataType=7\n ;indented\n"
            "AccessType=ro\n   \n");
        row("compact array with Name and Value sections",
            "2000.compact=3|2000sub1.name=Sensor 1|2000sub2.name=Second|2000sub3.value=0x10|"
            "2000sub1.default=7|2000sub3.pdo=1|2000sub1.denotation=Front|2000.type=6");
        row("object links", "2000.code=7", 0,
            variable("[2000ObjectLinks]\nObjectLinks=1\n1=0x2001\n"));
        row("sparse sub-indices", "1003sub5.name=e5|1003.type=7");
        row("empty values",
            "2000sub0.pdo=0|2000sub0.default=|2000sub0.mode=1|2000sub0.limits=none");
        row("numbers decimal, hexadecimal, octal",
            "2000.code=7|2000sub0.type=8|2000sub0.pdo=1|2000sub0.flags=3");
        row("inline # comments after numbers", "2000.code=7|2000sub0.type=5|2000sub0.pdo=1", 1);
        row("node-ID expressions", "1400sub1.default=$NODEID+0x180|1400sub2.default=$NODEID+0x180|"
                                   "1400sub3.default=$NODEID+0x80000300|1400sub3.value=$NODEID|"
                                   "1400sub4.default=0xff + 2 * $NODEID");
        for (const char *version : {"4.0", "4", "5", "402"})
            QTest::addRow("EDSVersion=%s", version)
                << QByteArray("[FileInfo]\nEDSVersion=") + version + "\n" + variable()
                << "value:FileInfo/EDSVersion=" + QString::fromLatin1(version) << 0;
        row("[DeviceComissioning] and reordered [DeviceInfo]",
            "value:DeviceCommissioning/NodeID=0x10|value:deviceinfo/NRofTXPDO=2|"
            "value:DeviceInfo/ProductName=");
        row("DCF keys",
            "2000sub0.value=5|2000sub0.denotation=Motor|2000sub0.upload=dom.bin|"
            "2000sub0.default=0x12",
            0, variable("ParameterValue=5\nDenotation=Motor\nUploadFile=dom.bin\n"));
        row("hexadecimal limits of signed types",
            "3030sub0.limits=-2147483648..-1|3040sub0.limits=-10..10|3050sub0.limits=2..255");
        // Whole-number limits must not shut out a value the file allows.
        row("fractional limits of a REAL32 widened", "3060sub0.limits=4..10|3070sub0.limits=-5..0",
            4);
    }
    void lenientForms()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, facts);
        QFETCH(int, warnings);
        EdsParser parser;
        const Parsed parsed = parse(content, parser);
        QVERIFY2(parsed.ok, qPrintable(roundtrip::diagnosticsText(parsed.diagnostics)));
        for (const QString &fact : facts.split('|')) {
            if (fact.startsWith(QLatin1String("value:"))) {
                const QString query = fact.mid(6).section(QLatin1Char('='), 0, 0);
                QCOMPARE(query.section('/', 0, 0) + '/' + query.section('/', 1) + '='
                             + parser.value(query.section('/', 0, 0), query.section('/', 1)),
                         fact.mid(6));
                continue;
            }
            QVERIFY2(parsed.facts.contains(fact), qPrintable(fact));
        }
        QCOMPARE(parser.errorCount(), 0);
        QVERIFY2(parsed.diagnostics.size() == warnings,
                 qPrintable(roundtrip::diagnosticsText(parsed.diagnostics)));
    }

    void problems_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("expected"); // "line:severity:index:text fragment"
        // Without content, the row's EDS text is its snippet.
        const auto row = [](const char *name, bool read, const char *expected,
                            const QByteArray &content = QByteArray()) {
            QTest::newRow(name) << (content.isNull() ? snippet(name) : content) << read
                                << QString(expected);
        };
        row("empty file", false, "0:error:-1:the file is empty", "");
        row("binary data", false, "0:error:-1:binary data", QByteArray("PK\x03\x04\0\0[2000]", 12));
        row("no sections", false, "0:error:-1:no sections", "hello\nworld\n");
        row("no object sections", false, "0:error:-1:no object sections",
            "[FileInfo]\nEDSVersion=4.0\n");
        row("line without =", true, "8:error:8192:no key=value pair", variable("LowLimit\n"));
        row("no DataType", true, "1:error:8192:has no DataType",
            "[2000]\nParameterName=A\nAccessType=ro\n");
        row("no AccessType", true, "1:error:8192:has no AccessType",
            "[2000]\nParameterName=A\nDataType=7\n");
        row("unknown ObjectType", true, "8:error:8192:no known object code",
            variable("ObjectType=3\n"));
        row("CompactSubObj above 254", true, "9:error:8192:larger than 254",
            variable("ObjectType=8\nCompactSubObj=300\n"));
        row("sub-object without its object", true, "8:error:8193:no section [2001]");
        row("header without ]", true, "8:error:-1:no closing ']'",
            variable("[2001\nParameterName=x\n"));
        row("cut off after its last object", true, "13:error:8193:seems to be cut off",
            "[OptionalObjects]\nSupportedObjects=2\n1=0x2000\n2=0x2001\n" + variable()
                + "[2001]\nParameterName=Ne");
        row("cut off at a line end", true, "17:error:8193:seems to be cut off",
            "[OptionalObjects]\nSupportedObjects=3\n1=0x2000\n2=0x2001\n3=0x2002\n" + variable()
                + "[2001]\nParameterName=R\nObjectType=9\nSubNumber=2\n[2001sub0]\n");
        row("listed objects missing in the middle", true,
            "3:info:8190:the file has no section [1FFE] (and 1 more of this kind)");
        row("object missing from the lists", true,
            "11:info:-1:[2001] is not listed in an object list");
        row("key given twice", true, "8:warning:8192:appears a second time",
            variable("PDOMapping=1\n"));
        row("unknown key, three times", true,
            "8:warning:-1:Unit is not known and was ignored (and 2 more of this kind)");
        row("fewer sub-objects than SubNumber", true,
            "4:warning:8192:declares SubNumber=3 but the file has 1");
    }
    void problems()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        EdsParser parser;
        const Parsed parsed = parse(content, parser);
        QTEST(parsed.ok, "read");
        const QStringList parts = expected.split(QLatin1Char(':'));
        for (const EdsParser::Diagnostic &d : parsed.diagnostics) {
            const QString severity = d.toString().section(QLatin1String(": "), 1, 1);
            if (d.text.contains(parts.mid(3).join(':')) && QString::number(d.line) == parts.at(0)
                && severity == parts.at(1) && QString::number(d.index) == parts.at(2))
                return;
        }
        QFAIL(qPrintable("expected " + expected + ", got:\n"
                         + roundtrip::diagnosticsText(parsed.diagnostics)));
    }

    void deliveryOrder()
    {
        EdsParser parser;
        const Parsed parsed = parse(snippet("delivery order"), parser);
        QCOMPARE(parsed.order, (QStringList{"2000", "2000sub1", "2000sub2", "2001", "2001sub0"}));
        QVERIFY(parsed.facts.contains("2000.type=5"));
    }

    void diagnosticsInFileOrder()
    {
        EdsParser parser;
        // The object list is checked after the objects were read, the cut-off at the end.
        const Parsed parsed =
            parse("[OptionalObjects]\nSupportedObjects=3\n1=0x1FFF\n2=0x2000\n3=0x2001\n"
                      + variable("PDOMapping=1\n") + "[2001]\nParameterName=A",
                  parser);
        QList<int> lines;
        for (const EdsParser::Diagnostic &d : parsed.diagnostics)
            lines.append(d.line);
        QVERIFY2(lines == (QList<int>{3, 13, 14, 15}),
                 qPrintable(roundtrip::diagnosticsText(parsed.diagnostics)));
    }

    void commentsPerSection()
    {
        EdsParser parser;
        parse(";;dropped before the first section\n[2000]\n;;a\nParameterName=A\n;;b\nDataType=7\n"
              "AccessType=ro\n[2000sub1]\n;;  kept as written\r\n[FileInfo]\n;single\n",
              parser);
        QStringList comments;
        for (const EdsParser::SectionComment &comment : parser.comments())
            comments << comment.section + ':' + comment.text;
        QCOMPARE(comments, (QStringList{"2000:a\nb\n", "2000sub1:  kept as written\n"}));
    }

    void diagnosticText()
    {
        EdsParser parser;
        parse("\n[2000]\nParameterName=A\nObjectType=3\n", parser);
        QCOMPARE(
            parser.diagnostics().first().toString(),
            QStringLiteral("test.eds:4: error: ObjectType=3 is no known object code; the object "
                           "was not read"));
        QVERIFY(!parser.LoadEds(QStringLiteral("/nonexistent/x.eds")));
        QCOMPARE(parser.diagnostics().first().toString(),
                 QStringLiteral("/nonexistent/x.eds: error: no such file"));
    }
};

NW_TEST_MAIN(TestEdsParser)
#include "tst_edsparser.moc"
