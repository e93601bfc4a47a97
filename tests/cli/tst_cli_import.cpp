#include "nwtest.h"
#include "testenv.h"

#include "database/objectdatabase.h"

#include "processrunner.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString sample = QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/sample.eds");

// Two manufacturer objects; the second has a line that is no key=value pair.
const QByteArray brokenSecond = "[ManufacturerObjects]\nSupportedObjects=2\n1=0x2000\n2=0x3000\n"
                                "[2000]\nParameterName=A\nDataType=7\nAccessType=rw\n"
                                "[3000]\nParameterName=B\nDataType=7\nAccessType=rw\nbroken\n";

} // namespace

class TestCliImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
    }

    void newProject_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("savedBy");
        QTest::addColumn<QString>("line0Type");
        QTest::addColumn<bool>("canopenObjects");
        QTest::addRow("default") << QStringList() << "CANopen Nodewright"
                                 << "1" << true;
        QTest::addRow("J1939 edition") << QStringList{"--edition", "j1939"} << "J1939 Nodewright"
                                       << "1" << true;
        QTest::addRow("CAN edition, J1939 line")
            << QStringList{"--edition", "CAN", "--line-type", "j1939"} << "CAN Nodewright"
            << "2" << false;
    }

    void newProject()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, savedBy);
        QFETCH(QString, line0Type);
        QFETCH(bool, canopenObjects);
        const QString path = m_dir.filePath("new.nwrp");
        QFile::remove(path);
        const nwtest::ProcessResult output =
            nwtest::runCli(QStringList{"new"} + options + QStringList{path});
        QCOMPARE(output.err, QString());
        QCOMPARE(output.exitCode, 0);
        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        QCOMPARE(db.getMiscSettingsValue("SaveToolType"), savedBy);
        QCOMPARE(db.getMiscSettingsValue("CreateToolVersion"), QStringLiteral(NW_VERSION_STRING));
        QCOMPARE(db.getGeneralSettingsValue("line0type"), line0Type);
        QCOMPARE(db.existIndex(0, 0x1018), canopenObjects);
    }

    void newKeepsExistingFile()
    {
        const QString path = writeFile("existing.nwrp", "mine");
        nwtest::ProcessResult output = nwtest::runCli({"new", path});
        QCOMPARE(output.exitCode, 2);
        QVERIFY(output.err.contains("use --force"));
        QCOMPARE(bytes(path), QByteArray("mine"));
        QCOMPARE(nwtest::runCli({"new", "--line-type", "j1939", path}).exitCode, 2);
        QCOMPARE(nwtest::runCli({"new", "--edition", "marine", path}).exitCode, 2);
        output = nwtest::runCli({"new", "--force", path});
        QCOMPARE(output.exitCode, 0);
        QCOMPARE(bytes(path + ".bak"), QByteArray("mine"));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // written to file unless empty and file exists
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // a line of stderr (regular expression)

        QByteArray cut = bytes(sample);
        cut.truncate(15000);
        QTest::addRow("EDS") << sample << QByteArray() << QStringList() << 0 << "";
        QTest::addRow("empty file") << "empty.eds" << QByteArray("") << QStringList() << 2
                                    << "empty\\.eds: error: the file is empty";
        QTest::addRow("cut off") << "cut.eds" << cut << QStringList() << 1
                                 << "cut\\.eds:941: error: .*cut off";
        QTest::addRow("error in a selected object")
            << "broken.eds" << brokenSecond << QStringList() << 1
            << "broken\\.eds:13: error: the line 'broken' is no key=value pair";
        QTest::addRow("objects with errors named")
            << "broken.eds" << brokenSecond << QStringList() << 1
            << "nothing was imported, the file has errors \\(1\\); objects with errors: 0x3000$";
        QTest::addRow("error outside the range")
            << "broken.eds" << brokenSecond << QStringList{"--range", "0x2000-0x2FFF"} << 0 << "";
        QTest::addRow("nothing in the range")
            << sample << QByteArray() << QStringList{"--range", "0x8000-0x8FFF"} << 1
            << "no objects from 0x8000 to 0x8fff";
        QTest::addRow("not an EDS suffix")
            << "device.txt" << QByteArray("[2000]\n") << QStringList() << 2
            << "only EDS \\(\\.eds\\), DCF \\(\\.dcf\\), XDD";
        const QByteArray fdObject(
            "<?xml version=\"1.0\"?>\n<CANopenFDObjectList>\n"
            "<CANopenFDDataObject index=\"2000\" name=\"Speed\" dataType=\"GG\"/>"
            "\n</CANopenFDObjectList>\n");
        QTest::addRow("CANopen FD description as .xml")
            << "device.xml" << fdObject << QStringList() << 0
            << "device\\.xml:3: warning: the data type 'GG' is unknown";
        QTest::addRow("no CANopen FD objects")
            << "classic.xdd"
            << QByteArray("<?xml version=\"1.0\"?>\n<a><CANopenObject index=\"1000\"/></a>")
            << QStringList() << 1
            << "classic\\.xdd: error: .* has is not in CiA 1311 XDD format\\.";
        QTest::addRow("CSV with a malformed row")
            << "rows.csv" << QByteArray("index,sub,edsname,datatype\n0x2000,0,A,u8\nx,0,B,u8\n")
            << QStringList() << 0 << "rows\\.csv:3: warning: no object index";
        QTest::addRow("CSV with quoted fields over two lines")
            << "quoted.csv"
            << QByteArray("index,sub,edsname,datatype\n0x2000,0,\"Motor, \"\"left\"\"\nside\",u8\n"
                          "0x2001,0,\"Gain, fine\",UNSIGNED99\n")
            << QStringList() << 0 << "quoted\\.csv:4: warning: unknown data type \"unsigned99\"";
        QTest::addRow("CODB catalogue")
            << "drive.codb"
            << QByteArray(
                   "6040::Controlword:mandatory::VAR:m:UNSIGNED16:m:rw:m::r:0:y::::::n:n:m\n")
            << QStringList() << 0 << "";
        QTest::addRow("missing file")
            << "missing.eds" << QByteArray() << QStringList() << 2 << "no such file";
        QTest::addRow("range reversed")
            << sample << QByteArray() << QStringList{"--range", "0x9FFF-0x6000"} << 2 << "--range";
        QTest::addRow("no such line") << sample << QByteArray() << QStringList{"--line", "3"} << 2
                                      << "the project has no line 3";
        QTest::addRow("sub-index too high")
            << sample << QByteArray() << QStringList{"--max-sub", "255"} << 2 << "--max-sub";
    }

    void exitCodes()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString project = newProject("target.nwrp");
        QVERIFY(!project.isEmpty());
        const QByteArray before = bytes(project);
        QString path = file;
        if (!QFileInfo(file).isAbsolute())
            path = content.isNull() ? m_dir.filePath(file) : writeFile(file, content);
        const nwtest::ProcessResult output =
            nwtest::runCli(QStringList{"import", path, "--into", project} + options);
        QVERIFY2(output.exitCode == exitCode, qPrintable(output.err));
        QCOMPARE(bytes(project) == before, exitCode != 0);
        const QRegularExpression diagnostic("^[^:]+(:\\d+)?: (warning|error): .+$");
        const QStringList lines = output.err.split('\n', Qt::SkipEmptyParts);
        bool found = message.isEmpty();
        for (const QString &line : lines) {
            const bool own = line.startsWith("nodewright-cli import: ")
                             || line.startsWith("Usage: ") || line.startsWith("Run '");
            QVERIFY2(own || diagnostic.match(line).hasMatch(), qPrintable(line));
            found = found || QRegularExpression(message).match(line).hasMatch();
        }
        QVERIFY2(found, qPrintable(output.err));
    }

    void importsAsTheDialogDoes()
    {
        const QString project = newProject("options.nwrp");
        const nwtest::ProcessResult output = nwtest::runCli(
            {"import", sample, "--into", project, "--range", "0x3000-0x3FFF", "--offset", "0x1000",
             "--max-sub", "2", "--application-variables", "--device-info"});
        QCOMPARE(output.exitCode, 0);
        QCOMPARE(output.out, QStringLiteral("10 objects imported as application variables.\n"));
        ObjectDataBase db;
        QVERIFY(db.openDataBase(project, false));
        QVERIFY(!db.existIndex(0, 0x3004));
        QCOMPARE(db.getSubIndices(0, 0x4004), (QList<quint8>{0, 1, 2}));
        ObjectDataBase::SUBINDEX_DATA_T element;
        QVERIFY(db.getSubIndexData(0, 0x4004, 2, element));
        QCOMPARE(element.implementation, quint8(2));
        QCOMPARE(element.varname, QStringLiteral("sensor_status[1]"));
        QVERIFY(db.getSubIndexData(0, 0x4004, 0, element));
        QCOMPARE(element.defaultvalue, QStringLiteral("2"));
        QCOMPARE(db.getDescriptionSettingsValue("VendorName"), QStringLiteral("Vendor Name"));
        QVERIFY(db.existIndex(0, 0x1018));
    }

    void commandLine()
    {
        nwtest::ProcessResult output = nwtest::runCli({"import", "--help"});
        QCOMPARE(output.exitCode, 0);
        QVERIFY(
            output.out.startsWith("Usage: nodewright-cli import [options] --into PROJECT FILE\n"));
        for (const char *option :
             {"--into <PROJECT>", "--line <N>", "--range <LOW-HIGH>", "--offset <N>",
              "--max-sub <N>", "--application-variables", "--device-info"})
            QVERIFY2(output.out.contains(QLatin1String(option)), option);
        QVERIFY(
            nwtest::runCli({"--help"}).out.contains("\n  import [options] --into PROJECT FILE\n"));
        output = nwtest::runCli({"import", "--into", "p.nwrp"});
        QCOMPARE(output.exitCode, 2);
        QVERIFY(output.err.startsWith("nodewright-cli import: missing argument FILE\n"));
    }

private:
    QString newProject(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        const nwtest::ProcessResult output = nwtest::runCli({"new", path});
        return output.exitCode == 0 ? path : QString();
    }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(content);
        return path;
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestCliImport)
#include "tst_cli_import.moc"
