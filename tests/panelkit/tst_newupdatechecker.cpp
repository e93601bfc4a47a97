#include "panelkit/newupdatechecker.h"

#include "nwtest.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

class TestNewUpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noServiceMeansNoNewVersion();
    void comparesWithManifest_data();
    void comparesWithManifest();
    void fileUrlAddress();
    void unusableAddresses_data();
    void unusableAddresses();

private:
    QString writeManifest(const QByteArray &content);
    QStringList check(newUpdateChecker &checker, const QString &toolVersion, bool userRequested);
    QTemporaryDir m_dir;
};

void TestNewUpdateChecker::initTestCase()
{
    nwIsolateTestEnvironment();
    QCoreApplication::setOrganizationName(QStringLiteral("tenvor"));
    QCoreApplication::setApplicationName(QStringLiteral("CANopen Nodewright"));
    QVERIFY(m_dir.isValid());
}

QString TestNewUpdateChecker::writeManifest(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("versions.ini"));
    return nwWriteFile(path, content) ? path : QString();
}

// Runs one check and returns the signal's arguments: tool, stack, userRequested ("1"/"0").
QStringList TestNewUpdateChecker::check(newUpdateChecker &checker, const QString &toolVersion,
                                        bool userRequested)
{
    QSignalSpy spy(&checker, &newUpdateChecker::newVersion);
    checker.checkForUpdates(toolVersion, QStringLiteral("1006"), userRequested);
    if (spy.count() != 1)
        return {QStringLiteral("signal count %1").arg(spy.count())};
    const QList<QVariant> args = spy.takeFirst();
    return {args.at(0).toString(), args.at(1).toString(),
            args.at(2).toBool() ? QStringLiteral("1") : QStringLiteral("0")};
}

void TestNewUpdateChecker::noServiceMeansNoNewVersion()
{
    // A manifest that offers a newer version exists, but no address names it.
    writeManifest("[1006]\ntool_version=9.0.0\nstack_version=9.0.0\n");
    newUpdateChecker checker;
    checker.setInstalledStackVersion(QStringLiteral("6.0.0"));
    QCOMPARE(check(checker, QStringLiteral("3.4.1"), true), QStringList({"", "", "1"}));
    QCOMPARE(check(checker, QStringLiteral("3.4.1"), false), QStringList({"", "", "0"}));
    QVERIFY(checker.errorString().isEmpty());
}

void TestNewUpdateChecker::comparesWithManifest_data()
{
    QTest::addColumn<QByteArray>("manifest");
    QTest::addColumn<QString>("installedStack");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("stack");
    const auto row = [](const char *name, const QByteArray &manifest, const QString &installedStack,
                        const QString &tool, const QString &stack) {
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

void TestNewUpdateChecker::comparesWithManifest()
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

void TestNewUpdateChecker::fileUrlAddress()
{
    const QString path = writeManifest("[1006]\ntool_version=4.0\n");
    newUpdateChecker checker;
    checker.setServiceAddress(QUrl::fromLocalFile(path).toString());
    QCOMPARE(check(checker, QStringLiteral("3.4.1"), true), QStringList({"4.0", "", "1"}));
}

void TestNewUpdateChecker::unusableAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addRow("web address") << "https://updates.example.invalid/versions.ini";
    QTest::addRow("missing file") << "/nonexistent/folder/versions.ini";
}

void TestNewUpdateChecker::unusableAddresses()
{
    QFETCH(QString, address);
    newUpdateChecker checker;
    checker.setServiceAddress(address);
    QCOMPARE(check(checker, QStringLiteral("3.4.1"), true), QStringList({"", "", "1"}));
    QVERIFY(checker.errorString().contains(address));
}

NW_TEST_MAIN(TestNewUpdateChecker)
#include "tst_newupdatechecker.moc"
