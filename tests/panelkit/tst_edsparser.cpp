#include "nwtest.h"
#include "testenv.h"

#include "panelkit/edsparser.h"

#include <QTest>

namespace {

QString hex4(int index)
{
    return QString::number(index, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

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
    const QString at = hex4(o.index);
    parsed.order.append(at);
    parsed.facts << at + ".name=" + o.name << at + ".code=" + QString::number(o.objectType)
                 << at + ".type=" + QString::number(o.dataType)
                 << at + ".compact=" + QString::number(o.compactCount);
}

void addSubFacts(Parsed &parsed, const CAN::CANopenSubIndex &s)
{
    const QString at = hex4(s.index) + "sub" + QString::number(s.subIndex, 16).toUpper();
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

QString describe(const QList<EdsParser::Diagnostic> &diagnostics)
{
    QStringList lines;
    for (const EdsParser::Diagnostic &d : diagnostics)
        lines.append(d.toString());
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestEdsParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }
    void lenientForms_data();
    void lenientForms();
    void problems_data();
    void problems();
    void deliveryOrder();
    void diagnosticsInFileOrder();
    void commentsPerSection();
    void diagnosticText();
};

void TestEdsParser::lenientForms_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("facts");
    QTest::addColumn<int>("warnings");

    const QByteArray record = "[1a00]\nParameterName=Map\nObjectType=9\nSubNumber=2\n"
                              "[1A00SUB0]\nParameterName=Count\nDataType=5\nAccessType=rw\n"
                              "DefaultValue=1\n[1a00Sub1]\nParameterName=Entry\nDataType=7\n"
                              "AccessType=rw\n";
    const QStringList recordFacts = {"1A00.code=9", "1A00sub0.default=1", "1A00sub1.type=7",
                                     "1A00.type=7"};
    QTest::addRow("section names in any case") << record << recordFacts << 0;
    QByteArray crlf = record;
    crlf.replace("\n", "\r\n");
    QTest::addRow("CR LF line ends") << crlf << recordFacts << 0;
    QByteArray cr = record;
    cr.replace("\n", "\r");
    QTest::addRow("CR line ends") << cr << recordFacts << 0;
    QTest::addRow("keys in any case")
        << QByteArray("[2000]\nparametername=x\nOBJECTTYPE=7\ndatatype=0x0006\naccesstype=RW\n")
        << QStringList{"2000sub0.type=6", "2000sub0.access=RW", "2000sub0.mode=0"} << 0;
    QTest::addRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF[2000]\nParameterName=Drehzahl \xC3\xA4\nDataType=7\n"
                      "AccessType=ro\n")
        << QStringList{"2000.name=Drehzahl \u00E4"} << 0;
    QTest::addRow("Latin-1") << QByteArray(
        "[2000]\nParameterName=Drehzahl \xE4\nDataType=7\nAccessType=ro\n")
                             << QStringList{"2000.name=Drehzahl \u00E4"} << 1;
    QTest::addRow("comment, blank and blank-only lines")
        << QByteArray(";head\n\n[2000]\n  \t\n; inside\nParameterName=A\n\nDataType=7\n"
                      " ;indented\nAccessType=ro\n   \n")
        << QStringList{"2000sub0.name=A"} << 0;
    QTest::addRow("compact array with Name and Value sections")
        << QByteArray("[2000]\nParameterName=Sensor\nObjectType=8\nDataType=6\nAccessType=ro\n"
                      "CompactSubObj=3\nDefaultValue=7\nPDOMapping=1\n[2000Name]\nNrOfEntries=1\n"
                      "2=Second\n[2000Value]\nNrOfEntries=1\n3=0x10\n[2000Denotation]\n"
                      "NrOfEntries=1\n1=Front\n")
        << QStringList{"2000.compact=3",
                       "2000sub1.name=Sensor 1",
                       "2000sub2.name=Second",
                       "2000sub3.value=0x10",
                       "2000sub1.default=7",
                       "2000sub3.pdo=1",
                       "2000sub1.denotation=Front",
                       "2000.type=6"}
        << 0;
    QTest::addRow("object links") << variable("[2000ObjectLinks]\nObjectLinks=1\n1=0x2001\n")
                                  << QStringList{"2000.code=7"} << 0;
    QTest::addRow("sparse sub-indices")
        << QByteArray("[1003]\nParameterName=Errors\nObjectType=8\nSubNumber=3\n[1003sub0]\n"
                      "ParameterName=n\nDataType=5\nAccessType=rw\n[1003sub1]\nParameterName=e1\n"
                      "DataType=7\nAccessType=ro\n[1003sub5]\nParameterName=e5\nDataType=7\n"
                      "AccessType=ro\n")
        << QStringList{"1003sub5.name=e5", "1003.type=7"} << 0;
    QTest::addRow("empty values") << QByteArray(
        "[2000]\nParameterName=A\nDataType=7\nAccessType=rw\nPDOMapping=\n"
        "DefaultValue=\nLowLimit=\n")
                                  << QStringList{"2000sub0.pdo=0",
                                                 "2000sub0.default=", "2000sub0.mode=1",
                                                 "2000sub0.limits=none"}
                                  << 0;
    QTest::addRow("numbers decimal, hexadecimal, octal")
        << QByteArray("[2000]\nParameterName=A\nObjectType=0x07\nDataType=010\nAccessType=ro\n"
                      "PDOMapping=0x1\nObjFlags=3\n")
        << QStringList{"2000.code=7", "2000sub0.type=8", "2000sub0.pdo=1", "2000sub0.flags=3"} << 0;
    QTest::addRow("inline # comments after numbers")
        << QByteArray("[2000]\nParameterName=A\nObjectType=0x07 # VAR\nDataType=0x0005 # U8\n"
                      "AccessType=ro\nPDOMapping=1 # yes\n")
        << QStringList{"2000.code=7", "2000sub0.type=5", "2000sub0.pdo=1"} << 1;
    QTest::addRow("node-ID expressions")
        << QByteArray("[1400]\nParameterName=R\nObjectType=9\n[1400sub1]\nParameterName=a\n"
                      "DataType=7\nAccessType=rw\nDefaultValue=$NODEID+0x180\n[1400sub2]\n"
                      "ParameterName=b\nDataType=7\nAccessType=rw\nDefaultValue=0x180+$NODEID\n"
                      "[1400sub3]\nParameterName=c\nDataType=7\nAccessType=rw\n"
                      "DefaultValue=$NodeID + 0x80000300\nParameterValue=$nodeid\n[1400sub4]\n"
                      "ParameterName=d\nDataType=7\nAccessType=rw\n"
                      "DefaultValue=0xff + 2 * $NODEID\n")
        << QStringList{"1400sub1.default=$NODEID+0x180", "1400sub2.default=$NODEID+0x180",
                       "1400sub3.default=$NODEID+0x80000300", "1400sub3.value=$NODEID",
                       "1400sub4.default=0xff + 2 * $NODEID"}
        << 0;
    for (const char *version : {"4.0", "4", "5", "402"})
        QTest::addRow("EDSVersion=%s", version)
            << QByteArray("[FileInfo]\nEDSVersion=") + version + "\n" + variable()
            << QStringList{"value:FileInfo/EDSVersion=" + QString::fromLatin1(version)} << 0;
    QTest::addRow("[DeviceComissioning] and reordered [DeviceInfo]")
        << QByteArray("[DeviceInfo]\nNrOfTxPDO=2\nVendorName=V\n[DeviceComissioning]\n"
                      "NodeID=0x10\n")
               + variable()
        << QStringList{"value:DeviceCommissioning/NodeID=0x10", "value:deviceinfo/NRofTXPDO=2",
                       "value:DeviceInfo/ProductName="}
        << 0;
    QTest::addRow("DCF keys") << variable(
        "ParameterValue=5\nDenotation=Motor\nUploadFile=dom.bin\n")
                              << QStringList{"2000sub0.value=5", "2000sub0.denotation=Motor",
                                             "2000sub0.upload=dom.bin", "2000sub0.default=0x12"}
                              << 0;
    QTest::addRow("hexadecimal limits of signed types")
        << QByteArray("[3030]\nParameterName=n\nDataType=0x04\nAccessType=rw\n"
                      "HighLimit=0xFFFFFFFF\nLowLimit=0x80000000\n[3040]\nParameterName=m\n"
                      "DataType=0x15\nAccessType=rw\nLowLimit=0xFFFFFFFFFFFFFFF6\nHighLimit=10\n"
                      "[3050]\nParameterName=u\nDataType=5\nAccessType=rw\nLowLimit=2\n")
        << QStringList{"3030sub0.limits=-2147483648..-1", "3040sub0.limits=-10..10",
                       "3050sub0.limits=2..255"}
        << 0;
    // Whole-number limits must not shut out a value the file allows.
    QTest::addRow("fractional limits of a REAL32 widened")
        << QByteArray("[3060]\nParameterName=r\nDataType=8\nAccessType=rw\nLowLimit=4.5\n"
                      "HighLimit=9.25\n[3070]\nParameterName=s\nDataType=8\nAccessType=rw\n"
                      "LowLimit=-4.5\nHighLimit=-0.5\n")
        << QStringList{"3060sub0.limits=4..10", "3070sub0.limits=-5..0"} << 4;
}

void TestEdsParser::lenientForms()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, facts);
    QFETCH(int, warnings);
    EdsParser parser;
    const Parsed parsed = parse(content, parser);
    QVERIFY2(parsed.ok, qPrintable(describe(parsed.diagnostics)));
    for (const QString &fact : facts) {
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
    QVERIFY2(parsed.diagnostics.size() == warnings, qPrintable(describe(parsed.diagnostics)));
}

void TestEdsParser::problems_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("expected"); // "line:severity:index:text fragment"

    QTest::addRow("empty file") << QByteArray() << false << "0:error:-1:the file is empty";
    QTest::addRow("binary data") << QByteArray("PK\x03\x04\0\0[2000]", 12) << false
                                 << "0:error:-1:binary data";
    QTest::addRow("no sections") << QByteArray("hello\nworld\n") << false
                                 << "0:error:-1:no sections";
    QTest::addRow("no object sections")
        << QByteArray("[FileInfo]\nEDSVersion=4.0\n") << false << "0:error:-1:no object sections";
    QTest::addRow("line without =")
        << variable("LowLimit\n") << true << "8:error:8192:no key=value pair";
    QTest::addRow("no DataType") << QByteArray("[2000]\nParameterName=A\nAccessType=ro\n") << true
                                 << "1:error:8192:has no DataType";
    QTest::addRow("no AccessType") << QByteArray("[2000]\nParameterName=A\nDataType=7\n") << true
                                   << "1:error:8192:has no AccessType";
    QTest::addRow("unknown ObjectType")
        << variable("ObjectType=3\n") << true << "8:error:8192:no known object code";
    QTest::addRow("CompactSubObj above 254")
        << variable("ObjectType=8\nCompactSubObj=300\n") << true << "9:error:8192:larger than 254";
    QTest::addRow("sub-object without its object")
        << variable("[2001sub1]\nParameterName=x\nDataType=7\nAccessType=ro\n") << true
        << "8:error:8193:no section [2001]";
    QTest::addRow("header without ]")
        << variable("[2001\nParameterName=x\n") << true << "8:error:-1:no closing ']'";
    QTest::addRow("cut off after its last object")
        << QByteArray("[OptionalObjects]\nSupportedObjects=2\n1=0x2000\n2=0x2001\n") + variable()
               + "[2001]\nParameterName=Ne"
        << true << "13:error:8193:seems to be cut off";
    QTest::addRow("cut off at a line end")
        << QByteArray("[OptionalObjects]\nSupportedObjects=3\n1=0x2000\n2=0x2001\n3=0x2002\n")
               + variable() + "[2001]\nParameterName=R\nObjectType=9\nSubNumber=2\n[2001sub0]\n"
        << true << "17:error:8193:seems to be cut off";
    QTest::addRow("listed objects missing in the middle")
        << QByteArray("[OptionalObjects]\nSupportedObjects=3\n1=0x1FFE\n2=0x1FFF\n3=0x2000\n")
               + variable()
        << true << "3:info:8190:the file has no section [1FFE] (and 1 more of this kind)";
    QTest::addRow("object missing from the lists")
        << QByteArray("[OptionalObjects]\nSupportedObjects=1\n1=0x2000\n") + variable()
               + "[2001]\nParameterName=B\nDataType=7\nAccessType=ro\n"
        << true << "11:info:-1:[2001] is not listed in an object list";
    QTest::addRow("key given twice")
        << variable("PDOMapping=1\n") << true << "8:warning:8192:appears a second time";
    QTest::addRow("unknown key, three times")
        << variable("Unit=rpm\n[2001]\nParameterName=B\nDataType=7\nAccessType=ro\nUnit=1\n"
                    "Unit=2\n")
        << true << "8:warning:-1:Unit is not known and was ignored (and 2 more of this kind)";
    QTest::addRow("fewer sub-objects than SubNumber")
        << QByteArray("[2000]\nParameterName=R\nObjectType=9\nSubNumber=3\n[2000sub0]\n"
                      "ParameterName=n\nDataType=5\nAccessType=ro\n\n")
        << true << "4:warning:8192:declares SubNumber=3 but the file has 1";
}

void TestEdsParser::problems()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, read);
    QFETCH(QString, expected);
    EdsParser parser;
    const Parsed parsed = parse(content, parser);
    QCOMPARE(parsed.ok, read);
    const QStringList parts = expected.split(QLatin1Char(':'));
    for (const EdsParser::Diagnostic &d : parsed.diagnostics) {
        const QString severity = d.toString().section(QLatin1String(": "), 1, 1);
        if (d.text.contains(parts.mid(3).join(':')) && QString::number(d.line) == parts.at(0)
            && severity == parts.at(1) && QString::number(d.index) == parts.at(2))
            return;
    }
    QFAIL(qPrintable("expected " + expected + ", got:\n" + describe(parsed.diagnostics)));
}

void TestEdsParser::deliveryOrder()
{
    EdsParser parser;
    const Parsed parsed = parse("[2001]\nParameterName=B\nDataType=7\nAccessType=ro\n"
                                "[2000sub2]\nParameterName=b\nDataType=7\nAccessType=ro\n"
                                "[2000]\nParameterName=R\nObjectType=9\nSubNumber=2\n"
                                "[2000sub1]\nParameterName=a\nDataType=5\nAccessType=ro\n",
                                parser);
    QCOMPARE(parsed.order, (QStringList{"2000", "2000sub1", "2000sub2", "2001", "2001sub0"}));
    QVERIFY(parsed.facts.contains("2000.type=5"));
}

void TestEdsParser::diagnosticsInFileOrder()
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
    QVERIFY2(lines == (QList<int>{3, 13, 14, 15}), qPrintable(describe(parsed.diagnostics)));
}

void TestEdsParser::commentsPerSection()
{
    EdsParser parser;
    parse(";;dropped before the first section\n[2000]\n;;a\nParameterName=A\n;;b\nDataType=7\n"
          "AccessType=ro\n[2000sub1]\n;;  kept as written\r\n[FileInfo]\n;single\n",
          parser);
    const QList<EdsParser::SectionComment> comments = parser.comments();
    QCOMPARE(comments.size(), 2);
    QCOMPARE(comments.at(0).section, QStringLiteral("2000"));
    QCOMPARE(comments.at(0).text, QStringLiteral("a\nb\n"));
    QCOMPARE(comments.at(1).section, QStringLiteral("2000sub1"));
    QCOMPARE(comments.at(1).text, QStringLiteral("  kept as written\n"));
}

void TestEdsParser::diagnosticText()
{
    EdsParser parser;
    parse("\n[2000]\nParameterName=A\nObjectType=3\n", parser);
    QCOMPARE(parser.diagnostics().first().toString(),
             QStringLiteral("test.eds:4: error: ObjectType=3 is no known object code; the object "
                            "was not read"));
    QVERIFY(!parser.LoadEds(QStringLiteral("/nonexistent/x.eds")));
    QCOMPARE(parser.diagnostics().first().toString(),
             QStringLiteral("/nonexistent/x.eds: error: no such file"));
}

NW_TEST_MAIN(TestEdsParser)
#include "tst_edsparser.moc"
