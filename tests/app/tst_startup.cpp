#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// Starts the real application with command-line options and watches what it does.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_home.isValid());
        // A protocol stack folder that supports everything, so the model check before the
        // generation passes.
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("config/tenvor"))));
        QVERIFY(
            nwWriteFile(m_home.filePath(QStringLiteral("config/tenvor/CANopen Nodewright.conf")),
                        "[%General]\ncostackpath=" NW_TEST_DATA_DIR "/generators/stack\n"));
    }

    void generateAloneEndsByItself()
    {
        int exitCode = -1;
        QString errors;
        QVERIFY2(run({QStringLiteral("-j1939"), QStringLiteral("-g")}, &exitCode, &errors),
                 "the application did not end by itself");
        QCOMPARE(exitCode, 0);
        // A new project has no folder to generate into.
        QVERIFY2(errors.contains(QStringLiteral("The project must be saved before any files can be "
                                                "generated.")),
                 qPrintable(errors));
    }

    void projectIsOpenedSavedAndGenerated()
    {
        const QString project = m_home.filePath(QStringLiteral("device.nwrp"));
        QVERIFY(QFile::copy(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"), project));
        QFile::setPermissions(project, QFile::permissions(project) | QFile::WriteOwner);
        QVERIFY(!QFileInfo::exists(project + QStringLiteral(".bak")));

        int exitCode = -1;
        QString errors;
        QVERIFY(run({project, QStringLiteral("-s"), QStringLiteral("-g")}, &exitCode, &errors));
        QCOMPARE(exitCode, 0);
        // Saving keeps the file it replaces as the backup.
        QVERIFY2(QFileInfo::exists(project + QStringLiteral(".bak")), qPrintable(errors));
        QVERIFY(QFileInfo::exists(project));
        QVERIFY2(QFileInfo::exists(m_home.filePath(QStringLiteral("gen_indication.h"))),
                 qPrintable(errors));
    }

private:
    bool run(const QStringList &arguments, int *exitCode, QString *errors)
    {
        nwtest::ProcessOptions options;
        options.environment = {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                               {QStringLiteral("HOME"), m_home.path()},
                               {QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config")},
                               {QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data")}};
        const nwtest::ProcessResult result = nwtest::runApp(arguments, options);
        *exitCode = result.exitCode;
        *errors = result.err;
        return result.finished && result.exitCode >= 0;
    }

    QTemporaryDir m_home;
};

NW_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
