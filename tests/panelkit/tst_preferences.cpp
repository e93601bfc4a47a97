#include "nwtest.h"
#include "panelkit/preferences.h"
#include "testenv.h"

#include <QSettings>
#include <QTemporaryDir>

// The user's preferences as the settings dialog stores them and older versions of the
// tool wrote them.
class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }
    void storedForms_data();
    void storedForms();
    void writtenAsOlderVersionsRead();

private:
    QTemporaryDir m_dir;
};

void TestPreferences::storedForms_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addRow("empty store") << "" << QVariant() << "alwaysml" << QVariant(false);
    QTest::addRow("flag written as 1")
        << "General/clearlogging" << QVariant(1) << "clearlogging" << QVariant(true);
    QTest::addRow("flag written as text 1")
        << "General/loadlastproject" << QVariant("1") << "loadlastproject" << QVariant(true);
    QTest::addRow("flag written as 0")
        << "General/implinfo" << QVariant("0") << "implinfo" << QVariant(false);
    QTest::addRow("flag written as true")
        << "General/disablecheck" << QVariant("true") << "disablecheck" << QVariant(true);
    QTest::addRow("flag written as false")
        << "General/alwaysml" << QVariant("false") << "alwaysml" << QVariant(false);
    QTest::addRow("line ending CR")
        << "General/line_ending_index" << QVariant(3) << "ending" << QVariant("\r");
    QTest::addRow("unknown line ending: as written")
        << "General/line_ending_index" << QVariant(7) << "ending" << QVariant("");
    QTest::addRow("EDS checker group")
        << "EDSChecker/checkeds" << QVariant(true) << "checkeds" << QVariant(true);
}

void TestPreferences::storedForms()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QSettings settings(m_dir.filePath(QTest::currentDataTag()), QSettings::IniFormat);
    if (!key.isEmpty())
        settings.setValue(key, stored);
    const Preferences p = Preferences::read(settings);
    const QMap<QString, QVariant> fields{{"alwaysml", p.alwaysMultiLine},
                                         {"clearlogging", p.clearLogging},
                                         {"loadlastproject", p.loadLastProject},
                                         {"implinfo", p.implementationInfo},
                                         {"disablecheck", p.disableCheck},
                                         {"ending", p.lineEnding()},
                                         {"checkeds", p.checkEds}};
    QCOMPARE(fields.value(field), value);
}

// The first five options go to the store as 1 or 0, the others as booleans; what is
// written reads back unchanged.
void TestPreferences::writtenAsOlderVersionsRead()
{
    Preferences p;
    p.loadLastProject = true;
    p.warnBeforeDeleting = true;
    p.metadata = true;
    p.stackPath = QStringLiteral("/opt/stack with blank");
    p.postGenerationArguments = QStringLiteral("%P %D");
    p.lineEndingIndex = 2;
    p.edsCheckerPath = QStringLiteral("C:/tools/checker.exe");
    const QString path = m_dir.filePath(QStringLiteral("written.ini"));
    {
        QSettings settings(path, QSettings::IniFormat);
        p.write(settings);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char *line : {"loadlastproject=1", "focusmask=0", "metadata=true",
                             "disablecheck=false", "line_ending_index=2"})
        QVERIFY2(text.contains(QLatin1String(line)), line);
    QSettings settings(path, QSettings::IniFormat);
    QVERIFY(Preferences::read(settings) == p);
}

NW_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
