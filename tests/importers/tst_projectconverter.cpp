#include "database/objectdatabase.h"
#include "importers/projectconverter.h"
#include "nwtest.h"
#include "testenv.h"

#include <QSignalSpy>

using Kinds = QMap<QString, QString>;

class TestProjectConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void init()
    {
        m_db.reset(new ObjectDataBase);
        QVERIFY(m_db->createNewDataBase());
    }

    void cleanup() { m_db.reset(); }

    void securityKinds_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<Kinds>("stored"); // sec_<n>_kind before the correction
        QTest::addColumn<Kinds>("corrected"); // after it; a key missing here is removed
        const QString security = QStringLiteral("Security Device/Extension");
        const auto row = [](const char *name, const QStringList &devices, const Kinds &stored,
                            const Kinds &corrected) {
            QTest::newRow(name) << devices << stored << corrected;
        };
        const Kinds current = {{"2", "Extension"}, {"3", "Device"}};
        row("current form", {"Battery", security, security}, current, current);
        row("flag 1", {"sec"}, {{"1", "1"}}, {{"1", "Extension"}});
        row("flag 0", {"sec"}, {{"1", "0"}}, {{"1", "Device"}});
        row("lower case extension", {"sec"}, {{"1", "extension"}}, {{"1", "Extension"}});
        row("lower case device", {"sec"}, {{"1", "device"}}, {{"1", "Device"}});
        row("missing", {"sec"}, {}, {{"1", "Device"}});
        row("keys of no security device", {"Battery", security},
            {{"1", "Device"}, {"2", "Extension"}, {"5", "Device"}}, {{"2", "Extension"}});
    }

    // The kinds of the security devices are rewritten to the current form, and a kind of a
    // position that holds no security device goes; a second run changes nothing.
    void securityKinds()
    {
        QFETCH(QStringList, devices);
        QFETCH(Kinds, stored);
        QFETCH(Kinds, corrected);
        setDevices(devices);
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            m_db->setEnergyBusSettingsValue(QStringLiteral("sec_%1_kind").arg(it.key()),
                                            it.value());
        QSignalSpy changes(m_db.get(), &ObjectDataBase::updateNotify);
        ProjectConverter converter(m_db.get());
        QCOMPARE(converter.doEnergyBusCorrection(), stored != corrected);
        if (stored == corrected)
            QVERIFY(changes.isEmpty());
        Kinds found;
        for (const QString &key : m_db->getEnergyBusKeys()) {
            if (key.startsWith(QLatin1String("sec_")))
                found.insert(key.section(QLatin1Char('_'), 1, 1),
                             m_db->getEnergyBusSettingsValue(key));
        }
        QCOMPARE(found, corrected);
        QVERIFY(!converter.doEnergyBusCorrection());
    }

    void j1939CorrectionFoldsDataPageIntoNumber()
    {
        ObjectDataBase::PGN pgn;
        pgn.name = QStringLiteral("Proprietary B");
        pgn.edp_dp_key = 1;
        pgn.direction = ObjectDataBase::DirectionReceive;
        QVERIFY(m_db->addPGN(0, 0xFF10, pgn));
        ProjectConverter(m_db.get()).do1939Correction();
        QVERIFY(!m_db->existsPGN(0, 0xFF10, ObjectDataBase::DirectionReceive));
        QCOMPARE(m_db->getPGNName(0, 0x1FF10, ObjectDataBase::DirectionReceive),
                 QStringLiteral("Proprietary B"));
    }

    void mpCorrectionRemovesTransmitAddressClaimOnly()
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
        for (quint8 line : {quint8(0), quint8(1)})
            QVERIFY(!m_db->existsPGN(line, 0xEE00, ObjectDataBase::DirectionTransmit)
                    && m_db->existsPGN(line, 0xEE00, ObjectDataBase::DirectionReceive));
        QCOMPARE(ProjectConverter(m_db.get()).doMPCorrection(), 0);
    }

private:
    // Device list entries "<position> <kind>", as the EnergyBus wizard writes them.
    void setDevices(const QStringList &kinds)
    {
        m_db->setEnergyBusSettingsValue(QStringLiteral("device_cnt"),
                                        QString::number(kinds.size()));
        for (int i = 0; i < kinds.size(); ++i)
            m_db->setEnergyBusSettingsValue(QStringLiteral("device_%1").arg(i + 1),
                                            QStringLiteral("%1 %2").arg(i + 1).arg(kinds.at(i)));
    }

    std::unique_ptr<ObjectDataBase> m_db;
};

NW_TEST_MAIN(TestProjectConverter)
#include "tst_projectconverter.moc"
