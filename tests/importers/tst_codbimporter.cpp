#include "testenv.h"

#include "database/objectdatabase.h"
#include "importers/codbimporter.h"
#include "nwtest.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const quint8 staging = 255;
const QString catalogue = QStringLiteral(":/codb/v301.codb");

// A VAR line whose every field differs from the record defaults.
const char validVar[] =
    "2000::Speed:optional::VAR:m:INTEGER16:m:rw:d[ro,rw]::y:100:y:Motor speed:::::"
    "m[-500...0x1F4]:y:m";

} // namespace

class TestCODBImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shippedCatalogueIsComplete();
    void cia301Facts_data();
    void cia301Facts();
    void catalogueDefaultsPassTheModelRules();
    void objectCopiesOnlyWithFlag();
    void indexRangeLimitsTheRead();
    void varLineFillsEveryField();
    void malformedLinesAreSkipped_data();
    void malformedLinesAreSkipped();
    void profileFacts_data();
    void profileFacts();

private:
    bool importText(const QString &text, bool copies = false);
    bool importFile(const QString &path, bool copies, quint32 low, quint32 high);
    bool importCatalogue(bool copies, quint32 low = 0x1000, quint32 high = 0x1FFF)
    {
        return importFile(catalogue, copies, low, high);
    }
    ObjectDataBase::SUBINDEX_DATA_T sub(quint16 index, quint8 subIndex);

    QTemporaryDir m_dir;
    std::unique_ptr<ObjectDataBase> m_db;
    int m_skipped = 0;
};

void TestCODBImporter::initTestCase()
{
    nwIsolateTestEnvironment();
    QVERIFY(m_dir.isValid());
}

void TestCODBImporter::init()
{
    m_db.reset(new ObjectDataBase);
    QVERIFY(m_db->createNewDataBase());
    QVERIFY(m_db->addNode(staging, ObjectDataBase::NODE_DATA_T()));
}

void TestCODBImporter::cleanup()
{
    m_db.reset();
}

bool TestCODBImporter::importText(const QString &text, bool copies)
{
    const QString path = m_dir.filePath(QStringLiteral("test.codb"));
    return nwWriteFile(path, text.toUtf8()) && importFile(path, copies, 0x1000, 0xBFFF);
}

bool TestCODBImporter::importFile(const QString &path, bool copies, quint32 low, quint32 high)
{
    CODBImporter importer;
    importer.setDatabase(m_db.get());
    importer.setActiveLine(staging);
    importer.setIndexRange(low, high);
    importer.setMultipleObjectsFlag(copies);
    if (!importer.setImportFileName(path))
        return false;
    importer.doImport();
    m_skipped = importer.skippedLineCount();
    return true;
}

ObjectDataBase::SUBINDEX_DATA_T TestCODBImporter::sub(quint16 index, quint8 subIndex)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    data.name.clear();
    m_db->getSubIndexData(staging, index, subIndex, data);
    return data;
}

// Every object and sub-index line of the shipped text arrives, and nothing is skipped.
void TestCODBImporter::shippedCatalogueIsComplete()
{
    QVERIFY(importCatalogue(false));
    QCOMPARE(m_skipped, 0);

    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    static const QRegularExpression entry(QStringLiteral("^([0-9A-F]{4}):([0-9A-F]{2})?:([^:]+):"));
    int objects = 0;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch())
            continue;
        const quint16 index = m.captured(1).toUShort(nullptr, 16);
        QVERIFY2(index >= 0x1000 && index <= 0x1FFF, qPrintable(line));
        QVERIFY2(m_db->existIndex(staging, index), qPrintable(line));
        const bool var = line.split(QLatin1Char(':')).value(5) == QLatin1String("VAR");
        if (m.captured(2).isEmpty()) {
            ++objects;
            QCOMPARE(m_db->getIndexName(staging, index), m.captured(3));
            if (var)
                QVERIFY2(m_db->existSubIndex(staging, index, 0), qPrintable(line));
        } else {
            const quint8 s = quint8(m.captured(2).toUShort(nullptr, 16));
            QCOMPARE(m_db->getSubIndexName(staging, index, s, false), m.captured(3));
        }
    }
    QVERIFY(objects > 60);
    QCOMPARE(m_db->getIndices(staging, 0, 0xFFFF).size(), objects);
    // The basic objects of every new CANopen line are all there.
    for (quint16 index : {0x1000, 0x1001, 0x1017, 0x1018, 0x1200})
        QVERIFY(m_db->existIndex(staging, index));
}

void TestCODBImporter::cia301Facts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("datatype");
    QTest::addColumn<QString>("access");
    QTest::addColumn<int>("pdo");
    QTest::addColumn<QString>("defaultValue");

    QTest::addRow("device name") << 0x1008 << 0 << 9 << "const" << 0 << "";
    QTest::addRow("cob-id emcy") << 0x1014 << 0 << 7 << "rw" << 0 << "$NODEID+0x80";
    QTest::addRow("rpdo5") << 0x1404 << 1 << 7 << "rw" << 0 << "0x80000000";
    QTest::addRow("srdo cob-id 1") << 0x1301 << 5 << 7 << "rw" << 0 << "0xff + 2 * $NODEID";
    QTest::addRow("dispatch") << 0x1FD0 << 1 << 27 << "rw" << 0 << "0x0000000000000000";
}

void TestCODBImporter::cia301Facts()
{
    QFETCH(int, index);
    QFETCH(int, sub);
    QFETCH(int, datatype);
    QFETCH(QString, access);
    QFETCH(int, pdo);
    QFETCH(QString, defaultValue);
    QVERIFY(importCatalogue(false, quint32(index), quint32(index)));
    QVERIFY(m_db->existSubIndex(staging, quint16(index), quint8(sub)));
    const auto data = this->sub(quint16(index), quint8(sub));
    QCOMPARE(int(data.datatype), datatype);
    QCOMPARE(data.accesstype, access);
    QCOMPARE(int(data.pdomapping), pdo);
    QCOMPARE(data.defaultvalue, defaultValue);
}

// The defaults of the catalogue pass the rules the model check applies to these objects.
void TestCODBImporter::catalogueDefaultsPassTheModelRules()
{
    QVERIFY(importCatalogue(false));
    for (quint16 index : {0x1016, 0x1028, 0x1F81}) {
        const QList<quint8> subs = m_db->getSubIndices(staging, index, 1);
        QVERIFY(!subs.isEmpty());
        QCOMPARE(int(subs.last()), subs.size());
        QCOMPARE(m_db->getSubIndexValue(staging, index, 0), QString::number(subs.size()));
    }
    for (quint8 s : m_db->getSubIndices(staging, 0x1028, 1))
        QVERIFY(m_db->getSubIndexValue(staging, 0x1028, s).toUInt(nullptr, 0) != 0);
    for (quint16 index : {0x1010, 0x1011}) {
        for (quint8 s = 1; s <= 3; ++s)
            QVERIFY(m_db->getSubIndexValue(staging, index, s).toUInt(nullptr, 0) <= 1);
    }
    ObjectDataBase::INDEX_DATA_T object;
    QVERIFY(m_db->getIndexData(staging, 0x1018, object));
    QCOMPARE(int(object.objecttype), 9);
    QCOMPARE(int(object.category), 0);
    QVERIFY(m_db->getIndexData(staging, 0x1003, object));
    QCOMPARE(int(object.objecttype), 8);
    QCOMPARE(int(object.datatype), 7);
    const auto overflow = sub(0x1019, 0);
    QCOMPARE(overflow.lowlimit, qint64(0));
    QCOMPARE(overflow.uplimit, qint64(240));
    const auto domain = sub(0x1021, 0);
    QCOMPARE(int(domain.implementation), 2);
    QCOMPARE(domain.varname, QStringLiteral("v_41290"));
    QCOMPARE(int(sub(0x1018, 0).implementation), 1);
    QCOMPARE(sub(0x1018, 0).allowedaccesstypes, QStringLiteral("const,ro"));
}

void TestCODBImporter::objectCopiesOnlyWithFlag()
{
    QVERIFY(importCatalogue(false));
    QVERIFY(m_db->existIndex(staging, 0x1404));
    QVERIFY(!m_db->existIndex(staging, 0x1405));

    init();
    QVERIFY(importCatalogue(true));
    QCOMPARE(m_skipped, 0);
    for (quint16 index : {0x1201, 0x127F, 0x12FF, 0x1340, 0x13C0, 0x1405, 0x15FF, 0x17FF, 0x19FF,
                          0x1BFF, 0x1FCF, 0x1FFF})
        QVERIFY2(m_db->existIndex(staging, index), qPrintable(QString::number(index, 16)));
    // A copy carries the sub-indices and values of its source.
    QCOMPARE(m_db->getSubIndices(staging, 0x15FF, 0), m_db->getSubIndices(staging, 0x1404, 0));
    QCOMPARE(m_db->getSubIndexValue(staging, 0x19FF, 1), QStringLiteral("0x80000000"));
}

void TestCODBImporter::indexRangeLimitsTheRead()
{
    QVERIFY(importCatalogue(true, 0x1000, 0x11FF));
    QVERIFY(m_db->existIndex(staging, 0x1018));
    QVERIFY(!m_db->existIndex(staging, 0x1200));
    QVERIFY(!m_db->existIndex(staging, 0x1405));
    QCOMPARE(m_skipped, 0);
}

void TestCODBImporter::varLineFillsEveryField()
{
    QVERIFY(importText(QString::fromLatin1(validVar) + QLatin1Char('\n')));
    QCOMPARE(m_skipped, 0);
    ObjectDataBase::INDEX_DATA_T object;
    QVERIFY(m_db->getIndexData(staging, 0x2000, object));
    QCOMPARE(object.name, QStringLiteral("Speed"));
    QCOMPARE(int(object.objecttype), 7);
    QCOMPARE(int(object.datatype), 3);
    QCOMPARE(int(object.category), 1);
    const auto data = sub(0x2000, 0);
    QCOMPARE(data.name, QStringLiteral("Speed"));
    QCOMPARE(int(data.datatype), 3);
    QCOMPARE(data.accesstype, QStringLiteral("rw"));
    QCOMPARE(data.allowedaccesstypes, QStringLiteral("ro,rw"));
    QCOMPARE(int(data.pdomapping), 1);
    QCOMPARE(data.defaultvalue, QStringLiteral("100"));
    QVERIFY(data.defaultineds);
    QCOMPARE(data.description, QStringLiteral("Motor speed"));
    QCOMPARE(data.lowlimit, qint64(-500));
    QCOMPARE(data.uplimit, qint64(500));
    QVERIFY(data.limitineds);
    QCOMPARE(int(data.implementation), 0);
}

void TestCODBImporter::malformedLinesAreSkipped_data()
{
    QTest::addColumn<QString>("line");
    const QString good = QString::fromLatin1(validVar);
    QTest::addRow("too few fields") << "2001::Speed:optional::VAR:m:INTEGER16:m:rw";
    QTest::addRow("index not hex") << QString(good).replace(0, 4, QStringLiteral("20G1"));
    QTest::addRow("unknown data type")
        << QString(good).replace(QStringLiteral("INTEGER16"), QStringLiteral("INTEGER17"));
    QTest::addRow("unknown access")
        << QString(good).replace(QStringLiteral(":rw:d"), QStringLiteral(":xx:d"));
    QTest::addRow("unknown object code")
        << QString(good).replace(QStringLiteral("VAR"), QStringLiteral("STRUCT"));
    QTest::addRow("bad range") << QString(good).replace(QStringLiteral("m[-500...0x1F4]"),
                                                        QStringLiteral("m[1..2]"));
    QTest::addRow("bad pdo letter")
        << QString(good).replace(QStringLiteral("::y:100"), QStringLiteral("::x:100"));
    QTest::addRow("bad implementation") << good.left(good.size() - 1) + QLatin1Char('z');
    QTest::addRow("sub-index too large")
        << "2001:1FF:Value:optional::::INTEGER8:m:rw:m::n:0:y::::::n:n:m";
    QTest::addRow("sub-index without object")
        << "2005:01:Value:optional::::INTEGER8:m:rw:m::n:0:y::::::n:n:m";
    QTest::addRow("copy of unknown object") << "$2002=2FFF";
    QTest::addRow("binary garbage") << QString::fromLatin1("\x01\x02:::\xff");
}

void TestCODBImporter::malformedLinesAreSkipped()
{
    QFETCH(QString, line);
    const QString text = QStringLiteral("# comment\n\n") + line + QLatin1Char('\n')
                         + QString::fromLatin1(validVar).replace(0, 4, QStringLiteral("2003"))
                         + QLatin1Char('\n');
    QVERIFY(importText(text, true));
    QCOMPARE(m_skipped, 1);
    QCOMPARE(m_db->getIndices(staging, 0, 0xFFFF), QList<quint16>{0x2003});
    QCOMPARE(sub(0x2003, 0).defaultvalue, QStringLiteral("100"));
}

// The profile catalogues read without a skipped line, and their process data has the
// types, access and PDO direction a device of the profile must have.
void TestCODBImporter::profileFacts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("subIndex");
    QTest::addColumn<int>("dataType");
    QTest::addColumn<QString>("access");
    QTest::addColumn<int>("pdo");
    const QString io = QStringLiteral(":/codb/v401.codb");
    const QString drive = QStringLiteral(":/codb/v402.codb");
    QTest::addRow("401 read input 8-bit") << io << 0x6000 << 1 << 5 << "ro" << 4;
    QTest::addRow("401 write output 8-bit") << io << 0x6200 << 1 << 5 << "rw" << 3;
    QTest::addRow("401 channel count") << io << 0x6401 << 0 << 5 << "const" << 0;
    QTest::addRow("402 controlword") << drive << 0x6040 << 0 << 6 << "rw" << 3;
    QTest::addRow("402 target position") << drive << 0x607A << 0 << 4 << "rw" << 3;
}

void TestCODBImporter::profileFacts()
{
    QFETCH(QString, file);
    QFETCH(int, index);
    QFETCH(int, subIndex);
    QVERIFY(importFile(file, false, 0x6000, 0x9FFF));
    QCOMPARE(m_skipped, 0);
    QVERIFY(m_db->existSubIndex(staging, quint16(index), quint8(subIndex)));
    const ObjectDataBase::SUBINDEX_DATA_T data = sub(quint16(index), quint8(subIndex));
    QTEST(int(data.datatype), "dataType");
    QTEST(data.accesstype, "access");
    QTEST(int(data.pdomapping), "pdo");
}

NW_TEST_MAIN(TestCODBImporter)
#include "tst_codbimporter.moc"
