#include "nwtest.h"
#include "testenv.h"

#include <QProcess>

// The command-line front end, started as a user's script would start it.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }
    void exitCodes_data();
    void exitCodes();

private:
    struct Result
    {
        int exitCode;
        QString out;
        QString err;
    };
    static Result run(const QStringList &args);
};

TestCli::Result TestCli::run(const QStringList &args)
{
    QProcess proc;
    proc.start(QStringLiteral(NW_CLI_PATH), args);
    if (!proc.waitForFinished(60000))
        return {-1, {}, {}};
    return {proc.exitCode(), QString::fromUtf8(proc.readAllStandardOutput()),
            QString::fromUtf8(proc.readAllStandardError())};
}

void TestCli::exitCodes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outStart");
    QTest::addRow("version") << QStringList{"--version"} << 0 << "CANopen Nodewright 3.4.1\n";
    QTest::addRow("help") << QStringList{"--help"} << 0 << "usage: nodewright-cli";
    QTest::addRow("no arguments") << QStringList{} << 0 << "usage: nodewright-cli";
    QTest::addRow("unknown command") << QStringList{"frobnicate"} << 2 << "";
}

void TestCli::exitCodes()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, outStart);
    const Result r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    if (!outStart.isEmpty())
        QVERIFY2(r.out.startsWith(outStart), qPrintable(r.out));
    if (exitCode == 2)
        QVERIFY(r.err.contains(QLatin1String("unknown command 'frobnicate'")));
}

NW_TEST_MAIN(TestCli)
#include "tst_cli.moc"
