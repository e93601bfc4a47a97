#include "nwtest.h"
#include "panelkit/newupdatechecker.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

class TestNewUpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QCoreApplication::setOrganizationName(QStringLiteral("tenvor"));
        QCoreApplication::setApplicationName(QStringLiteral("CANopen Nodewright"));
        QVERIFY(m_dir.isValid());
    }

    void noServiceMeansNoNewVersion()
    {
        // A manifest that offers a newer version exists, but no address names it.
        writeManifest("[1006]\ntool_version=9.0.0\nstack_version=9.0.0\n");
        newUpdateChecker checker;
        checker.setInstalledStackVersion(QStringLiteral("6.0.0"));
        QCOMPARE(check(checker, QStringLiteral("3.4.1"), true), QStringList({"", "", "1"}));
        QCOMPARE(check(checker, QStringLiteral("3.4.1"), false), QStringList({"", "", "0"}));
        QVERIFY(checker.errorString().isEmpty());
    }

    void comparesWithManifest_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QString>("installedStack");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("stack");
        const auto row = [](const char *name, const QByteArray &manifest,
                            const QString &installedStack, const QString &tool,
                            const QString &stack) {
            QTest::newRow(name) << manifest << installedStack << tool << stack;
        };
        const QByteArray both("[1006]\ntool_version=3.5.0\nstack_version=6.5\n");
        row("both newer", both, "6.4.2", "3.5.0", "6.5");
        row("stack unknown", both, "", "3.5.0", "");
        row("stack current", both, "6.5.0", "3.5.0", "");
        row("same tool", QByteArray("[1006]\ntool_version=3.4.1\n"), "", "", "");
        row("older tool", QByteArray("[1006]\ntool_version=3.3.9\n"), "", "", "");
        row("numeric not textual", QByteArray("[1006]\ntool_version=3.10.0\n"), "", "3.10.0", "");
        row("other product only", QByteArray("[1007]\ntool_version=9.0\n"), "", "", "");
        row("not a version", QByteArray("[1006]\ntool_version=soon\n"), "", "", "");
    }
    void comparesWithManifest()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QString, installedStack);
        QFETCH(QString, tool);
        QFETCH(QString, stack);
        newUpdateChecker checker;
        checker.setServiceAddress(writeManifest(manifest));
        checker.setInstalledStackVersion(installedStack);
        QCOMPARE(check(checker, QStringLiteral("3.4.1"), false), QStringList({tool, stack, "0"}));
        QVERIFY(checker.errorString().isEmpty());
    }

    // A file URL names the manifest as its path does; an address that cannot be read gives
    // no new version and a message naming it.
    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("tool");
        QTest::addRow("file URL") << QUrl::fromLocalFile(m_dir.filePath("url.ini")).toString()
                                  << "4.0";
        QTest::addRow("web address") << "https://updates.example.invalid/versions.ini"
                                     << "";
        QTest::addRow("missing file") << "/nonexistent/folder/versions.ini"
                                      << "";
    }
    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(QString, tool);
        QVERIFY(nwWriteFile(m_dir.filePath("url.ini"), "[1006]\ntool_version=4.0\n"));
        newUpdateChecker checker;
        checker.setServiceAddress(address);
        QCOMPARE(check(checker, QStringLiteral("3.4.1"), true), QStringList({tool, "", "1"}));
        QCOMPARE(checker.errorString().contains(address), tool.isEmpty());
    }

private:
    QString writeManifest(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("versions.ini"));
        return nwWriteFile(path, content) ? path : QString();
    }

    // Runs one check and returns the signal's arguments: tool, stack, userRequested ("1"/"0").
    QStringList check(newUpdateChecker &checker, const QString &toolVersion, bool userRequested)
    {
        QSignalSpy spy(&checker, &newUpdateChecker::newVersion);
        checker.checkForUpdates(toolVersion, QStringLiteral("1006"), userRequested);
        if (spy.count() != 1)
            return {QStringLiteral("signal count %1").arg(spy.count())};
        const QList<QVariant> args = spy.takeFirst();
        return {args.at(0).toString(), args.at(1).toString(),
                args.at(2).toBool() ? QStringLiteral("1") : QStringLiteral("0")};
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestNewUpdateChecker)
#include "tst_newupdatechecker.moc"
