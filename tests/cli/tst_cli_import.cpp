#include "nwtest.h"
#include "testenv.h"

#include "database/objectdatabase.h"

#include "processrunner.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString sample = QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/sample.eds");

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
        QTest::addRow("default") << QStringList() << "CANopen Nodewright" << QString("1") << true;
        QTest::addRow("J1939 edition")
            << QStringList{"--edition", "j1939"} << "J1939 Nodewright" << QString("1") << true;
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
        QCOMPARE(nwReadFile(path), QByteArray("mine"));
        QCOMPARE(nwtest::runCli({"new", "--line-type", "j1939", path}).exitCode, 2);
        QCOMPARE(nwtest::runCli({"new", "--edition", "marine", path}).exitCode, 2);
        output = nwtest::runCli({"new", "--force", path});
        QCOMPARE(output.exitCode, 0);
        QCOMPARE(nwReadFile(path + ".bak"), QByteArray("mine"));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // written to a relative file unless null
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // a line of stderr (regular expression)
        QByteArray cut = nwReadFile(sample);
        cut.truncate(15000);
        const auto row = [](const char *name, const QString &file, const QByteArray &content,
                            const QStringList &options, int exitCode, const char *message) {
            QTest::newRow(name) << file << content << options << exitCode << QString(message);
        };
        const QString data = QStringLiteral(NW_TEST_DATA_DIR "/cli/");
        row("EDS", sample, {}, {}, 0, "");
        row("empty file", "empty.eds", "", {}, 2, "empty\\.eds: error: the file is empty");
        row("cut off", "cut.eds", cut, {}, 1, "cut\\.eds:941: error: .*cut off");
        // Two manufacturer objects; the second has a line that is no key=value pair.
        row("error in a selected object", data + "broken.eds", {}, {}, 1,
            "broken\\.eds:13: error: the line 'broken' is no key=value pair");
        row("objects with errors named", data + "broken.eds", {}, {}, 1,
            "nothing was imported, the file has errors \\(1\\); objects with errors: 0x3000$");
        row("error outside the range", data + "broken.eds", {}, {"--range", "0x2000-0x2FFF"}, 0,
            "");
        row("nothing in the range", sample, {}, {"--range", "0x8000-0x8FFF"}, 1,
            "no objects from 0x8000 to 0x8fff");
        row("not an EDS suffix", "device.txt", "[2000]\n", {}, 2,
            "only EDS \\(\\.eds\\), DCF \\(\\.dcf\\), XDD");
        row("CANopen FD description as .xml", data + "device.xml", {}, {}, 0,
            "device\\.xml:3: warning: the data type 'GG' is unknown");
        row("no CANopen FD objects", data + "classic.xdd", {}, {}, 1,
            "classic\\.xdd: error: .* has is not in CiA 1311 XDD format\\.");
        row("CSV with a malformed row", data + "rows.csv", {}, {}, 0,
            "rows\\.csv:3: warning: no object index");
        row("CODB catalogue", data + "drive.codb", {}, {}, 0, "");
        row("missing file", "missing.eds", {}, {}, 2, "no such file");
        row("range reversed", sample, {}, {"--range", "0x9FFF-0x6000"}, 2, "--range");
        row("no such line", sample, {}, {"--line", "3"}, 2, "the project has no line 3");
        row("sub-index too high", sample, {}, {"--max-sub", "255"}, 2, "--max-sub");
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
        const QByteArray before = nwReadFile(project);
        QString path = file;
        if (!QFileInfo(file).isAbsolute())
            path = content.isNull() ? m_dir.filePath(file) : writeFile(file, content);
        const nwtest::ProcessResult output =
            nwtest::runCli(QStringList{"import", path, "--into", project} + options);
        QVERIFY2(output.exitCode == exitCode, qPrintable(output.err));
        QCOMPARE(nwReadFile(project) == before, exitCode != 0);
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
        return nwWriteFile(path, content) ? path : QString();
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestCliImport)
#include "tst_cli_import.moc"
