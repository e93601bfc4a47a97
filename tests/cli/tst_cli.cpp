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
        const auto row = [](const QString &name, const QStringList &args, int exitCode,
                            const QString &outStart, const QString &errStart) {
            QTest::newRow(qPrintable(name)) << args << exitCode << outStart << errStart;
        };
        row("version", {"--version"}, 0, "CANopen Nodewright 3.4.1\n", "");
        row("help", {"--help"}, 0, "Usage: nodewright-cli", "");
        row("no arguments", {}, 0, "Usage: nodewright-cli", "");
        row("unknown command", {"frobnicate"}, 2, "",
            "nodewright-cli: unknown command 'frobnicate'");
        row("unknown tool option", {"--fast", "info"}, 2, "",
            "nodewright-cli: Unknown option 'fast'.");
        // Every command explains itself, also when the rest of the call is wrong.
        for (const QString command : {"check", "generate", "info", "new"}) {
            const QString usage = QStringLiteral("Usage: nodewright-cli %1 ").arg(command);
            const QString error = QStringLiteral("nodewright-cli %1: ").arg(command);
            row(command + " --help", {command, "--help"}, 0, usage, "");
            row(command + " -h with a bad option", {command, "--fast", "-h"}, 0, usage, "");
            row(command + " without project", {command}, 2, "",
                error + "missing argument PROJECT\n" + usage);
            row(command + " with two projects", {command, "a.nwrp", "b.nwrp"}, 2, "",
                error + "unexpected argument 'b.nwrp'\n" + usage);
            row(command + " with an unknown option", {command, "--fast", "a.nwrp"}, 2, "",
                error + "Unknown option 'fast'.\n" + usage);
        }
        row("option value missing", {"generate", "a.nwrp", "--output"}, 2, "",
            "nodewright-cli generate: Missing value after '--output'.\n");
        row("import --help", {"import", "--help"}, 0,
            "Usage: nodewright-cli import [options] --into PROJECT FILE\n", "");
        row("import without file", {"import", "--into", "p.nwrp"}, 2, "",
            "nodewright-cli import: missing argument FILE\n");
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
        QTest::addRow("import") << "import"
                                << QStringList{"--into <PROJECT>",   "--line <N>",
                                               "--range <LOW-HIGH>", "--offset <N>",
                                               "--max-sub <N>",      "--application-variables",
                                               "--device-info"};
    }

    void commandHelp()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, options);
        const nwtest::ProcessResult r = runCli({command, "--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(command == "import" ? "  FILE " : "  PROJECT "), qPrintable(r.out));
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
