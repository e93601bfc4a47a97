#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "transform/srdoconfiguration.h"

using namespace dictionaryfixture;

// The signature must be the one the safety stack computes from the same objects, so the
// expected bytes and CRC here are written out by hand, not produced by the code under test.
class TestSrdoConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }

    void init()
    {
        db = std::make_unique<ObjectDataBase>();
        QVERIFY(db->createNewDataBase() && db->addNode(0, ObjectDataBase::NODE_DATA_T()));
        const auto add = [this](quint16 index, const char *name, quint8 code, quint16 type,
                                const QList<Sub> &subs) {
            addObject(*db, 0, index, name, code, type);
            for (int sub = 0; sub < subs.size(); ++sub)
                addSub(*db, 0, index, quint8(sub), subs.at(sub));
        };
        add(0x1301, "SRDO 1", 9, 0x22,
            {entry("Highest", 5, "6", "const"), entry("Direction", 5, "1"),
             entry("Refresh-Time / SCT", 6, "25"), entry("SRVT", 5, "0x14"),
             entry("Transmission Type", 5, "254", "ro"), entry("COB-ID 1", 7, "0x101"),
             entry("COB-ID 2", 7, "258")});
        // An entry beyond the count is not part of the configuration.
        add(0x1381, "SRDO 1 mapping", 8, 7,
            {entry("Count", 5, "2"), entry("Entry 1", 7, "0x20000108"),
             entry("Entry 2", 7, "0x20010108"), entry("Entry 3", 7, "0x20020108")});
        add(0x13FF, "Signatures", 8, 6,
            {entry("Highest", 5, "1", "const"), entry("Checksum SRDO 1", 6, "0")});
    }

    void crcOfTheCheckString()
    {
        QCOMPARE(SrdoConfiguration::crcCcitt(QByteArrayLiteral("123456789")), quint16(0x31C3));
    }

    void signatureCoversTheConfigurationInOrder()
    {
        const QByteArray expected = QByteArray::fromHex("01" // direction
                                                        "1900" // refresh time 25
                                                        "14" // SRVT 20
                                                        "01010000" // COB-ID 1
                                                        "02010000" // COB-ID 2
                                                        "02" // two entries
                                                        "0108010020" // sub 1, 0x20000108
                                                        "0208010120" // sub 2, 0x20010108
        );
        SrdoConfiguration srdos(db.get());
        QByteArray bytes;
        QVERIFY(srdos.signatureBytes(0, 1, bytes));
        QCOMPARE(bytes.toHex(), expected.toHex());
        quint16 crc = 0;
        QVERIFY(srdos.signature(0, 1, crc));
        QCOMPARE(crc, quint16(0x3BCE));
    }

    void refusedCobIds_data()
    {
        QTest::addColumn<quint8>("sub");
        QTest::addColumn<QString>("value");
        QTest::addRow("first COB-ID with the node-ID") << quint8(5) << "0xff + 2 * $NODEID";
        QTest::addRow("second COB-ID with the node-ID") << quint8(6) << "$NODEID+0x100";
        QTest::addRow("COB-ID 0") << quint8(5) << "0";
    }
    void refusedCobIds()
    {
        QFETCH(quint8, sub);
        QFETCH(QString, value);
        QVERIFY(db->setSubIndexValue(0, 0x1301, sub, value));
        SrdoConfiguration srdos(db.get());
        QVERIFY(!srdos.storeSignatures(0));
        QCOMPARE(srdos.errorTitle() + ": " + srdos.errorString(),
                 QStringLiteral("Cannot be calculated: Either a COB-ID is 0 or contains a formular "
                                "with the node-Id"));
        QCOMPARE(db->getSubIndexValue(0, 0x13FF, 1), QStringLiteral("0"));
    }

    void storeWritesEverySignature()
    {
        SrdoConfiguration srdos(db.get());
        QVERIFY(srdos.storeSignatures(0));
        QCOMPARE(db->getSubIndexValue(0, 0x13FF, 1), QStringLiteral("0x3bce"));
    }

private:
    std::unique_ptr<ObjectDataBase> db;
};

NW_TEST_MAIN(TestSrdoConfiguration)
#include "tst_srdoconfiguration.moc"
