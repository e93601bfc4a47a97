#include "nwtest.h"
#include "panelkit/appidentity.h"

class TestAppIdentity : public QObject
{
    Q_OBJECT

private slots:
    void editionForProgram_data()
    {
        QTest::addColumn<QString>("argv0");
        QTest::addColumn<QString>("edition");
        const auto row = [](const char *name, const QString &argv0, const QString &edition) {
            QTest::newRow(name) << argv0 << edition;
        };
        row("full path", "/opt/nw/bin/nodewright", "CANopen Nodewright");
        row("j1939", "/usr/bin/j1939-nodewright", "J1939 Nodewright");
        row("windows exe", "C:/tools/J1939-Nodewright.exe", "J1939 Nodewright");
        row("unknown", "mytool", "CANopen Nodewright");
        row("empty", "", "CANopen Nodewright");
    }
    void editionForProgram()
    {
        QFETCH(QString, argv0);
        QTEST(AppIdentity::editionForProgram(argv0), "edition");
    }
};

NW_TEST_MAIN(TestAppIdentity)
#include "tst_appidentity.moc"
