#include "nwtest.h"
#include "processrunner.h"
#include "testenv.h"

#include "database/objectdatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString dataDir = QStringLiteral(NW_TEST_DATA_DIR "/importers/");

} // namespace

// "-i FILE" on the application's command line reads an EDS, DCF or CSV into line 0; with "-s"
// the project is saved and with "-g" the application ends by itself.
class TestImportOption : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_home.isValid());
    }

    void importsIntoLineZero_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<quint16>("index");
        QTest::addColumn<quint8>("sub");
        QTest::addColumn<QString>("name"); // of the sub-index; empty: it must be absent
        QTest::addColumn<QString>("value"); // its default value
        QTest::addColumn<QString>("logged"); // in the standard error output; empty: not tried

        // The compact array's elements are named after the object.
        QTest::addRow("EDS") << dataDir + "eds/sample.eds" << quint16(0x3004) << quint8(2)
                             << "Sensor Status 2" << QString()
                             << "sample.eds:1007: warning: the key Factor is not known";
        // DCF: the configured value replaces the default.
        QTest::addRow("DCF") << dataDir + "dcf/co-nmt-slave.dcf" << quint16(0x1017) << quint8(0)
                             << "Producer heartbeat time"
                             << "100"
                             << "try to import";
        // A CSV list: its broken row is logged, its commands run after the import.
        QTest::addRow("CSV") << dataDir + "csv/motor.csv" << quint16(0x2011) << quint8(0)
                             << "Speed set point"
                             << "0"
                             << "motor.csv:7: warning: no object index";
        QTest::addRow("text with an EDS suffix")
            << "notes.eds" << quint16(0x3004) << quint8(2) << QString() << QString()
            << "notes.eds: error: the file has no sections; it is no EDS or DCF file";
        QTest::addRow("other suffix")
            << "notes.txt" << quint16(0x3004) << quint8(2) << QString() << QString() << QString();
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
        const QString project = m_home.filePath(QStringLiteral("device.nwrp"));
        QFile::remove(project);
        QVERIFY(QFile::copy(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"), project));
        QFile::setPermissions(project, QFile::permissions(project) | QFile::WriteOwner);

        nwtest::ProcessOptions options;
        options.environment = {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                               {QStringLiteral("HOME"), m_home.path()},
                               {QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config")}};
        const nwtest::ProcessResult result = nwtest::runApp(
            {project, QStringLiteral("-i"), file, QStringLiteral("-s"), QStringLiteral("-g")},
            options);
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
    QTemporaryDir m_home;
};

NW_TEST_MAIN(TestImportOption)
#include "tst_importoption.moc"
