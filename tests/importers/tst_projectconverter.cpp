#include "testenv.h"

#include "database/objectdatabase.h"
#include "importers/projectconverter.h"
#include "nwtest.h"

#include <QSignalSpy>

class TestProjectConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }
    void init();
    void cleanup() { m_db.reset(); }

    void currentFormIsLeftAlone();
    void securityKindsAreRewritten_data();
    void securityKindsAreRewritten();
    void staleSecurityKeysAreRemoved();
    void j1939CorrectionFoldsDataPageIntoNumber();
    void mpCorrectionRemovesTransmitAddressClaimOnly();

private:
    void setDevices(const QStringList &kinds);

    std::unique_ptr<ObjectDataBase> m_db;
};

void TestProjectConverter::init()
{
    m_db.reset(new ObjectDataBase);
    QVERIFY(m_db->createNewDataBase());
}

// Device list entries "<position> <kind>", as the EnergyBus wizard writes them.
void TestProjectConverter::setDevices(const QStringList &kinds)
{
    m_db->setEnergyBusSettingsValue(QStringLiteral("device_cnt"), QString::number(kinds.size()));
    for (int i = 0; i < kinds.size(); ++i)
        m_db->setEnergyBusSettingsValue(QStringLiteral("device_%1").arg(i + 1),
                                        QStringLiteral("%1 %2").arg(i + 1).arg(kinds.at(i)));
}

void TestProjectConverter::currentFormIsLeftAlone()
{
    setDevices({QStringLiteral("Battery"), QStringLiteral("Security Device/Extension"),
                QStringLiteral("Security Device/Extension")});
    m_db->setEnergyBusSettingsValue(QStringLiteral("sec_2_kind"), QStringLiteral("Extension"));
    m_db->setEnergyBusSettingsValue(QStringLiteral("sec_3_kind"), QStringLiteral("Device"));
    QStringList keys = m_db->getEnergyBusKeys();
    keys.sort();
    QSignalSpy changes(m_db.get(), &ObjectDataBase::updateNotify);

    ProjectConverter converter(m_db.get());
    QVERIFY(!converter.doEnergyBusCorrection());
    QCOMPARE(changes.count(), 0);
    QStringList after = m_db->getEnergyBusKeys();
    after.sort();
    QCOMPARE(after, keys);
}

void TestProjectConverter::securityKindsAreRewritten_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("current");
    QTest::addRow("flag 1") << "1"
                            << "Extension";
    QTest::addRow("flag 0") << "0"
                            << "Device";
    QTest::addRow("lower case extension") << "extension"
                                          << "Extension";
    QTest::addRow("lower case device") << "device"
                                       << "Device";
    QTest::addRow("missing") << ""
                             << "Device";
}

void TestProjectConverter::securityKindsAreRewritten()
{
    QFETCH(QString, stored);
    QFETCH(QString, current);
    setDevices({QStringLiteral("sec")});
    if (!stored.isEmpty())
        m_db->setEnergyBusSettingsValue(QStringLiteral("sec_1_kind"), stored);
    ProjectConverter converter(m_db.get());
    QVERIFY(converter.doEnergyBusCorrection());
    QCOMPARE(m_db->getEnergyBusSettingsValue(QStringLiteral("sec_1_kind")), current);
    QVERIFY(!converter.doEnergyBusCorrection());
}

void TestProjectConverter::staleSecurityKeysAreRemoved()
{
    setDevices({QStringLiteral("Battery"), QStringLiteral("Security Device/Extension")});
    m_db->setEnergyBusSettingsValue(QStringLiteral("sec_1_kind"), QStringLiteral("Device"));
    m_db->setEnergyBusSettingsValue(QStringLiteral("sec_2_kind"), QStringLiteral("Extension"));
    m_db->setEnergyBusSettingsValue(QStringLiteral("sec_5_kind"), QStringLiteral("Device"));
    ProjectConverter converter(m_db.get());
    QVERIFY(converter.doEnergyBusCorrection());
    QVERIFY(!m_db->existEnergyBusSettingsValue(QStringLiteral("sec_1_kind")));
    QVERIFY(!m_db->existEnergyBusSettingsValue(QStringLiteral("sec_5_kind")));
    QCOMPARE(m_db->getEnergyBusSettingsValue(QStringLiteral("sec_2_kind")),
             QStringLiteral("Extension"));
}

void TestProjectConverter::j1939CorrectionFoldsDataPageIntoNumber()
{
    ObjectDataBase::PGN pgn;
    pgn.name = QStringLiteral("Proprietary B");
    pgn.edp_dp_key = 1;
    pgn.direction = ObjectDataBase::DirectionReceive;
    QVERIFY(m_db->addPGN(0, 0xFF10, pgn));

    ProjectConverter(m_db.get()).do1939Correction();

    QVERIFY(!m_db->existsPGN(0, 0xFF10, ObjectDataBase::DirectionReceive));
    QVERIFY(m_db->existsPGN(0, 0x1FF10, ObjectDataBase::DirectionReceive));
    QCOMPARE(m_db->getPGNName(0, 0x1FF10, ObjectDataBase::DirectionReceive),
             QStringLiteral("Proprietary B"));
}

void TestProjectConverter::mpCorrectionRemovesTransmitAddressClaimOnly()
{
    QVERIFY(m_db->addNode(1, ObjectDataBase::NODE_DATA_T()));
    ObjectDataBase::PGN claim;
    claim.name = QStringLiteral("Address Claimed");
    for (quint8 line : {quint8(0), quint8(1)}) {
        claim.direction = ObjectDataBase::DirectionTransmit;
        QVERIFY(m_db->addPGN(line, 0xEE00, claim));
        claim.direction = ObjectDataBase::DirectionReceive;
        QVERIFY(m_db->addPGN(line, 0xEE00, claim));
    }

    QCOMPARE(ProjectConverter(m_db.get()).doMPCorrection(), 2);

    for (quint8 line : {quint8(0), quint8(1)}) {
        QVERIFY(!m_db->existsPGN(line, 0xEE00, ObjectDataBase::DirectionTransmit));
        QVERIFY(m_db->existsPGN(line, 0xEE00, ObjectDataBase::DirectionReceive));
    }
    QCOMPARE(ProjectConverter(m_db.get()).doMPCorrection(), 0);
}

NW_TEST_MAIN(TestProjectConverter)
#include "tst_projectconverter.moc"
