#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

using nwtest::runCli;

// The command-line front end, started as a user's script would start it.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("outStart");
        QTest::addColumn<QString>("errStart");
        QTest::addRow("version") << QStringList{"--version"} << 0 << "CANopen Nodewright 3.4.1\n"
                                 << "";
        QTest::addRow("help") << QStringList{"--help"} << 0 << "Usage: nodewright-cli"
                              << "";
        QTest::addRow("no arguments") << QStringList{} << 0 << "Usage: nodewright-cli"
                                      << "";
        QTest::addRow("unknown command") << QStringList{"frobnicate"} << 2 << ""
                                         << "nodewright-cli: unknown command 'frobnicate'";
        QTest::addRow("unknown tool option") << QStringList{"--fast", "info"} << 2 << ""
                                             << "nodewright-cli: Unknown option 'fast'.";
        // Every command explains itself, also when the rest of the call is wrong.
        for (const char *command : {"check", "generate", "info", "new"}) {
            const QString usage = QStringLiteral("Usage: nodewright-cli %1 ").arg(command);
            QTest::addRow("%s --help", command)
                << QStringList{command, "--help"} << 0 << usage << "";
            QTest::addRow("%s -h with a bad option", command)
                << QStringList{command, "--fast", "-h"} << 0 << usage << "";
            QTest::addRow("%s without project", command)
                << QStringList{command} << 2 << ""
                << QStringLiteral("nodewright-cli %1: missing argument PROJECT\n").arg(command)
                       + usage;
            QTest::addRow("%s with two projects", command)
                << QStringList{command, "a.nwrp", "b.nwrp"} << 2 << ""
                << QStringLiteral("nodewright-cli %1: unexpected argument 'b.nwrp'\n").arg(command)
                       + usage;
            QTest::addRow("%s with an unknown option", command)
                << QStringList{command, "--fast", "a.nwrp"} << 2 << ""
                << QStringLiteral("nodewright-cli %1: Unknown option 'fast'.\n").arg(command)
                       + usage;
        }
        QTest::addRow("option value missing")
            << QStringList{"generate", "a.nwrp", "--output"} << 2 << ""
            << "nodewright-cli generate: Missing value after '--output'.\n";
    }

    void exitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, outStart);
        QFETCH(QString, errStart);
        const nwtest::ProcessResult r = runCli(args);
        QCOMPARE(r.exitCode, exitCode);
        // Nothing on a stream where nothing is expected.
        QVERIFY2(outStart.isEmpty() ? r.out.isEmpty() : r.out.startsWith(outStart),
                 qPrintable(r.out));
        QVERIFY2(errStart.isEmpty() ? r.err.isEmpty() : r.err.startsWith(errStart),
                 qPrintable(r.err));
    }

    // The help of a command lists each of its options with its text.
    void commandHelp_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("options");
        QTest::addRow("check") << "check"
                               << QStringList{"--stack", "--no-autocorrection", "--save"};
        QTest::addRow("generate") << "generate"
                                  << QStringList{"--output <DIR>", "--no-check", "--stack",
                                                 "--ignore-check-errors", "--always-multi-line"};
        QTest::addRow("info") << "info" << QStringList{};
        QTest::addRow("new") << "new"
                             << QStringList{"--edition <NAME>", "--line-type <TYPE>", "--force"};
    }

    void commandHelp()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, options);
        const nwtest::ProcessResult r = runCli({command, "--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QLatin1String("  PROJECT ")), qPrintable(r.out));
        for (const QString &option : options)
            QVERIFY2(r.out.contains(option), qPrintable(option + '\n' + r.out));
        // The tool's command list shows the same synopsis.
        const QString synopsis =
            r.out.section('\n', 0, 0).mid(QStringLiteral("Usage: nodewright-cli ").size());
        QVERIFY2(runCli({"--help"}).out.contains("\n  " + synopsis + '\n'), qPrintable(synopsis));
    }
};

NW_TEST_MAIN(TestCli)
#include "tst_cli.moc"
