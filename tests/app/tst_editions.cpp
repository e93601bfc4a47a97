#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

#include <QFileInfo>

// Starts the real executable under each edition name that the build links to it.
class TestEditions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void startedUnderName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::addRow("canopen") << "nodewright"
                                 << "CANopen Nodewright 3.4.1";
        QTest::addRow("j1939") << "j1939-nodewright"
                               << "J1939 Nodewright 3.4.1";
        QTest::addRow("can") << "can-nodewright"
                             << "CAN Nodewright 3.4.1";
        QTest::addRow("energybus") << "energybus-packwright"
                                   << "EnergyBus Packwright 3.4.1";
    }

    void startedUnderName()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        const QString path = QFileInfo(QStringLiteral(NW_APP_PATH)).absolutePath() + '/' + program;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));

        nwtest::ProcessOptions options;
        options.environment.insert(QStringLiteral("NODEWRIGHT_PRINT_IDENTITY"),
                                   QStringLiteral("1"));
        const nwtest::ProcessResult result = nwtest::runProcess(path, {}, options);
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(), expected);
    }
};

NW_TEST_MAIN(TestEditions)
#include "tst_editions.moc"
