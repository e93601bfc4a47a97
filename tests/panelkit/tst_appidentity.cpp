#include "nwtest.h"
#include "panelkit/appidentity.h"

class TestAppIdentity : public QObject
{
    Q_OBJECT

private slots:
    void editionForProgram_data();
    void editionForProgram();
};

void TestAppIdentity::editionForProgram_data()
{
    QTest::addColumn<QString>("argv0");
    QTest::addColumn<QString>("edition");
    QTest::addRow("plain") << "nodewright"
                           << "CANopen Nodewright";
    QTest::addRow("full path") << "/opt/nw/bin/nodewright"
                               << "CANopen Nodewright";
    QTest::addRow("j1939") << "/usr/bin/j1939-nodewright"
                           << "J1939 Nodewright";
    QTest::addRow("can") << "./can-nodewright"
                         << "CAN Nodewright";
    QTest::addRow("energybus") << "energybus-packwright"
                               << "EnergyBus Packwright";
    QTest::addRow("windows exe") << "C:/tools/J1939-Nodewright.exe"
                                 << "J1939 Nodewright";
    QTest::addRow("unknown") << "mytool"
                             << "CANopen Nodewright";
    QTest::addRow("empty") << ""
                           << "CANopen Nodewright";
}

void TestAppIdentity::editionForProgram()
{
    QFETCH(QString, argv0);
    QFETCH(QString, edition);
    QCOMPARE(AppIdentity::editionForProgram(argv0), edition);
}

NW_TEST_MAIN(TestAppIdentity)
#include "tst_appidentity.moc"
