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

    void storedForms_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored"); // not stored when invalid
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char *name, const char *key, const QVariant &stored,
                            const QVariant &value) {
            QTest::newRow(name) << QString(key) << stored << value;
        };
        row("empty store", "General/alwaysml", QVariant(), false);
        row("flag written as 1", "General/clearlogging", 1, true);
        row("flag written as text 1", "General/loadlastproject", "1", true);
        row("flag written as 0", "General/implinfo", "0", false);
        row("flag written as true", "General/disablecheck", "true", true);
        row("flag written as false", "General/alwaysml", "false", false);
        row("line ending CR", "General/line_ending_index", 3, "\r");
        row("unknown line ending: as written", "General/line_ending_index", 7, "");
        row("EDS checker group", "EDSChecker/checkeds", true, true);
    }
    void storedForms()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QSettings settings(m_dir.filePath(QTest::currentDataTag()), QSettings::IniFormat);
        if (stored.isValid())
            settings.setValue(key, stored);
        const Preferences p = Preferences::read(settings);
        const QMap<QString, QVariant> fields{{"alwaysml", p.alwaysMultiLine},
                                             {"clearlogging", p.clearLogging},
                                             {"loadlastproject", p.loadLastProject},
                                             {"implinfo", p.implementationInfo},
                                             {"disablecheck", p.disableCheck},
                                             {"line_ending_index", p.lineEnding()},
                                             {"checkeds", p.checkEds}};
        QTEST(fields.value(key.section('/', 1)), "value");
    }

    // The first five options go to the store as 1 or 0, the others as booleans; what is
    // written reads back unchanged.
    void writtenAsOlderVersionsRead()
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

private:
    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
