#include "database/objectdatabase.h"
#include "importers/codbimporter.h"
#include "nwtest.h"
#include "testenv.h"

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
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_db.reset(new ObjectDataBase);
        QVERIFY(m_db->createNewDataBase() && m_db->addNode(staging, ObjectDataBase::NODE_DATA_T()));
    }

    // Every object and sub-index line of the shipped text arrives, and nothing is skipped.
    void shippedCatalogueIsComplete()
    {
        QVERIFY(importCatalogue(false));
        QCOMPARE(m_skipped, 0);
        QFile file(catalogue);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        static const QRegularExpression entry(
            QStringLiteral("^([0-9A-F]{4}):([0-9A-F]{2})?:([^:]+):"));
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

    // The catalogues read without a skipped line; their entries have the type, access, PDO
    // direction and default a device of the profile must have.
    void catalogueFacts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("expected"); // "datatype access pdo default"
        const auto row = [](const char *name, const char *file, int index, int sub,
                            const char *expected) {
            QTest::newRow(name) << QStringLiteral(":/codb/v%1.codb").arg(file) << index << sub
                                << QString(expected);
        };
        row("device name", "301", 0x1008, 0, "9 const 0 ");
        row("cob-id emcy", "301", 0x1014, 0, "7 rw 0 $NODEID+0x80");
        row("rpdo5", "301", 0x1404, 1, "7 rw 0 0x80000000");
        row("srdo cob-id 1", "301", 0x1301, 5, "7 rw 0 0xff + 2 * $NODEID");
        row("dispatch", "301", 0x1FD0, 1, "27 rw 0 0x0000000000000000");
        row("401 read input 8-bit", "401", 0x6000, 1, "5 ro 4 0");
        row("401 write output 8-bit", "401", 0x6200, 1, "5 rw 3 0");
        row("401 channel count", "401", 0x6401, 0, "5 const 0 8");
        row("402 controlword", "402", 0x6040, 0, "6 rw 3 0");
        row("402 target position", "402", 0x607A, 0, "4 rw 3 0");
    }
    void catalogueFacts()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(int, sub);
        QVERIFY(importFile(file, false, 0x1000, 0x9FFF));
        QCOMPARE(m_skipped, 0);
        QVERIFY(m_db->existSubIndex(staging, quint16(index), quint8(sub)));
        const auto data = this->sub(quint16(index), quint8(sub));
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(data.datatype)
                  .arg(data.accesstype)
                  .arg(data.pdomapping)
                  .arg(data.defaultvalue),
              "expected");
    }

    // The defaults of the catalogue pass the rules the model check applies to these objects.
    void catalogueDefaultsPassTheModelRules()
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
        ObjectDataBase::INDEX_DATA_T identity, errors;
        QVERIFY(m_db->getIndexData(staging, 0x1018, identity));
        QVERIFY(m_db->getIndexData(staging, 0x1003, errors));
        const auto overflow = sub(0x1019, 0), domain = sub(0x1021, 0), count = sub(0x1018, 0);
        QCOMPARE(QString::asprintf("%d %d|%d %d|%lld..%lld|%d %s|%d %s", identity.objecttype,
                                   identity.category, errors.objecttype, errors.datatype,
                                   qlonglong(overflow.lowlimit), qlonglong(overflow.uplimit),
                                   domain.implementation, qUtf8Printable(domain.varname),
                                   count.implementation, qUtf8Printable(count.allowedaccesstypes)),
                 QStringLiteral("9 0|8 7|0..240|2 v_41290|1 const,ro"));
    }

    void objectCopiesOnlyWithFlag()
    {
        QVERIFY(importCatalogue(false));
        QVERIFY(m_db->existIndex(staging, 0x1404));
        QVERIFY(!m_db->existIndex(staging, 0x1405));
        init();
        QVERIFY(importCatalogue(true));
        QCOMPARE(m_skipped, 0);
        for (quint16 index : {0x1201, 0x127F, 0x12FF, 0x1340, 0x13C0, 0x1405, 0x15FF, 0x17FF,
                              0x19FF, 0x1BFF, 0x1FCF, 0x1FFF})
            QVERIFY2(m_db->existIndex(staging, index), qPrintable(QString::number(index, 16)));
        // A copy carries the sub-indices and values of its source.
        QCOMPARE(m_db->getSubIndices(staging, 0x15FF, 0), m_db->getSubIndices(staging, 0x1404, 0));
        QCOMPARE(m_db->getSubIndexValue(staging, 0x19FF, 1), QStringLiteral("0x80000000"));
    }

    void indexRangeLimitsTheRead()
    {
        QVERIFY(importCatalogue(true, 0x1000, 0x11FF));
        QVERIFY(m_db->existIndex(staging, 0x1018));
        QVERIFY(!m_db->existIndex(staging, 0x1200) && !m_db->existIndex(staging, 0x1405));
        QCOMPARE(m_skipped, 0);
    }

    void varLineFillsEveryField()
    {
        QVERIFY(importText(QString::fromLatin1(validVar) + QLatin1Char('\n')));
        QCOMPARE(m_skipped, 0);
        ObjectDataBase::INDEX_DATA_T o;
        QVERIFY(m_db->getIndexData(staging, 0x2000, o));
        const auto s = sub(0x2000, 0);
        QCOMPARE(QString::asprintf("%s %d %d %d|%s|%d|%s (%s)|pdo %d|%s in EDS %d|%s|%lld..%lld in "
                                   "EDS %d|impl %d",
                                   qUtf8Printable(o.name), o.objecttype, o.datatype, o.category,
                                   qUtf8Printable(s.name), s.datatype, qUtf8Printable(s.accesstype),
                                   qUtf8Printable(s.allowedaccesstypes), s.pdomapping,
                                   qUtf8Printable(s.defaultvalue), s.defaultineds,
                                   qUtf8Printable(s.description), qlonglong(s.lowlimit),
                                   qlonglong(s.uplimit), s.limitineds, s.implementation),
                 QStringLiteral("Speed 7 3 1|Speed|3|rw (ro,rw)|pdo 1|100 in EDS 1|Motor speed|"
                                "-500..500 in EDS 1|impl 0"));
    }

    void malformedLinesAreSkipped_data()
    {
        QTest::addColumn<QString>("line");
        const QString good = QString::fromLatin1(validVar);
        const auto bad = [&good](const char *name, const char *part, const char *replacement) {
            QTest::newRow(name) << QString(good).replace(part, replacement);
        };
        QTest::addRow("too few fields") << "2001::Speed:optional::VAR:m:INTEGER16:m:rw";
        bad("index not hex", "2000", "20G1");
        bad("unknown data type", "INTEGER16", "INTEGER17");
        bad("unknown access", ":rw:d", ":xx:d");
        bad("unknown object code", "VAR", "STRUCT");
        bad("bad range", "m[-500...0x1F4]", "m[1..2]");
        bad("bad pdo letter", "::y:100", "::x:100");
        QTest::addRow("bad implementation") << good.left(good.size() - 1) + QLatin1Char('z');
        QTest::addRow("sub-index too large")
            << "2001:1FF:Value:optional::::INTEGER8:m:rw:m::n:0:y::::::n:n:m";
        QTest::addRow("sub-index without object")
            << "2005:01:Value:optional::::INTEGER8:m:rw:m::n:0:y::::::n:n:m";
        QTest::addRow("copy of unknown object") << "$2002=2FFF";
        QTest::addRow("binary garbage") << QString::fromLatin1("\x01\x02:::\xff");
    }
    void malformedLinesAreSkipped()
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

private:
    bool importText(const QString &text, bool copies = false)
    {
        const QString path = m_dir.filePath(QStringLiteral("test.codb"));
        return nwWriteFile(path, text.toUtf8()) && importFile(path, copies, 0x1000, 0xBFFF);
    }

    bool importFile(const QString &path, bool copies, quint32 low, quint32 high)
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

    bool importCatalogue(bool copies, quint32 low = 0x1000, quint32 high = 0x1FFF)
    {
        return importFile(catalogue, copies, low, high);
    }

    ObjectDataBase::SUBINDEX_DATA_T sub(quint16 index, quint8 subIndex)
    {
        ObjectDataBase::SUBINDEX_DATA_T data;
        data.name.clear();
        m_db->getSubIndexData(staging, index, subIndex, data);
        return data;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ObjectDataBase> m_db;
    int m_skipped = 0;
};

NW_TEST_MAIN(TestCODBImporter)
#include "tst_codbimporter.moc"
