#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

#include "database/objectdatabase.h"

// Starts the real application with command-line options and watches what it does: under
// each edition name the build links to it, "-g" alone, and a project opened, with "-i FILE"
// read into line 0, saved ("-s") and generated ("-g").
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
        QVERIFY(QDir().mkpath(m_home.filePath("config/tenvor")));
        QVERIFY(nwWriteFile(m_home.filePath("config/tenvor/CANopen Nodewright.conf"),
                            "[%General]\ncostackpath=" NW_TEST_DATA_DIR "/generators/stack\n"));
    }

    void startedUnderName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::addRow("canopen") << "nodewright" << QString("CANopen Nodewright 3.4.1");
        QTest::addRow("j1939") << "j1939-nodewright" << QString("J1939 Nodewright 3.4.1");
        QTest::addRow("can") << "can-nodewright" << QString("CAN Nodewright 3.4.1");
        QTest::addRow("energybus")
            << "energybus-packwright" << QString("EnergyBus Packwright 3.4.1");
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

    void generateAloneEndsByItself()
    {
        const nwtest::ProcessResult result = run({QStringLiteral("-j1939"), QStringLiteral("-g")});
        QVERIFY2(result.finished && result.exitCode == 0, "the application did not end by itself");
        // A new project has no folder to generate into.
        QVERIFY2(result.err.contains(QStringLiteral("The project must be saved before any files "
                                                    "can be generated.")),
                 qPrintable(result.err));
    }

    void projectIsOpenedSavedAndGenerated()
    {
        const QString project = copyTemplate();
        QVERIFY(!QFileInfo::exists(project + ".bak"));
        const nwtest::ProcessResult result =
            run({project, QStringLiteral("-s"), QStringLiteral("-g")});
        QVERIFY2(result.finished && result.exitCode == 0, qPrintable(result.err));
        // Saving keeps the file it replaces as the backup.
        QVERIFY2(QFileInfo::exists(project + ".bak"), qPrintable(result.err));
        QVERIFY(QFileInfo::exists(project));
        QVERIFY2(QFileInfo::exists(m_home.filePath("gen_indication.h")), qPrintable(result.err));
    }

    void importsIntoLineZero_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<quint16>("index");
        QTest::addColumn<quint8>("sub");
        QTest::addColumn<QString>("name"); // of the sub-index; empty: it must be absent
        QTest::addColumn<QString>("value"); // its default value
        QTest::addColumn<QString>("logged"); // in the standard error output; empty: not tried
        const auto row = [](const char *name, const QString &file, quint16 index, quint8 sub,
                            const QString &entry, const QString &value, const QString &logged) {
            QTest::newRow(name) << file << index << sub << entry << value << logged;
        };
        const QString data = QStringLiteral(NW_TEST_DATA_DIR "/importers/");
        // The compact array's elements are named after the object.
        row("EDS", data + "eds/sample.eds", 0x3004, 2, "Sensor Status 2", QString(),
            "sample.eds:1007: warning: the key Factor is not known");
        // DCF: the configured value replaces the default.
        row("DCF", data + "dcf/co-nmt-slave.dcf", 0x1017, 0, "Producer heartbeat time", "100",
            "try to import");
        // A CSV list: its broken row is logged, its commands run after the import.
        row("CSV", data + "csv/motor.csv", 0x2011, 0, "Speed set point", "0",
            "motor.csv:7: warning: no object index");
        row("text with an EDS suffix", "notes.eds", 0x3004, 2, QString(), QString(),
            "notes.eds: error: the file has no sections; it is no EDS or DCF file");
        row("other suffix", "notes.txt", 0x3004, 2, QString(), QString(), QString());
    }

    void importsIntoLineZero()
    {
        QFETCH(QString, file);
        QFETCH(quint16, index);
        QFETCH(quint8, sub);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, logged);
        if (!file.contains(QLatin1Char('/'))) {
            file = m_home.filePath(file);
            QVERIFY(nwWriteFile(file, "Dear customer,\nhere you go.\n"));
        }
        const QString project = copyTemplate();
        const nwtest::ProcessResult result =
            run({project, QStringLiteral("-i"), file, QStringLiteral("-s"), QStringLiteral("-g")});
        QVERIFY2(result.finished && result.exitCode == 0, qPrintable(result.err));
        if (logged.isEmpty())
            QVERIFY2(!result.err.contains("try to import"), qPrintable(result.err));
        else
            QVERIFY2(result.err.contains(logged), qPrintable(result.err));
        ObjectDataBase db;
        QVERIFY(db.openDataBase(project, false));
        QCOMPARE(db.existSubIndex(0, index, sub), !name.isEmpty());
        if (name.isEmpty())
            return;
        ObjectDataBase::SUBINDEX_DATA_T data;
        QVERIFY(db.getSubIndexData(0, index, sub, data));
        QCOMPARE(data.name, name);
        if (!value.isNull())
            QCOMPARE(data.defaultvalue, value);
    }

private:
    // A new project from the template, writable, as device.nwrp in the home folder.
    QString copyTemplate()
    {
        const QString project = m_home.filePath("device.nwrp");
        QFile::remove(project);
        QFile::remove(project + ".bak");
        if (!QFile::copy(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"), project))
            return QString();
        QFile::setPermissions(project, QFile::permissions(project) | QFile::WriteOwner);
        return project;
    }

    nwtest::ProcessResult run(const QStringList &arguments)
    {
        nwtest::ProcessOptions options;
        options.environment = {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                               {QStringLiteral("HOME"), m_home.path()},
                               {QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config")},
                               {QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data")}};
        return nwtest::runApp(arguments, options);
    }

    QTemporaryDir m_home;
};

NW_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
