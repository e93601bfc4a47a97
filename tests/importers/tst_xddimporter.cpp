#include "../description/descriptiontestutil.h"
#include "database/objectdatabase.h"
#include "description/xddgenerator.h"
#include "importers/xddimporter.h"
#include "nwtest.h"
#include "panelkit/helper.h"
#include "projectbuilder.h"
#include "roundtriputil.h"
#include "testenv.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

using namespace roundtrip;

namespace {

using Builder = std::function<void(ObjectDataBase &)>;

// A CANopen FD description around the given object list and parameter list.
QByteArray document(const QString &objects, const QString &parameters = QString())
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<ISO15745ProfileContainer>\n<ISO15745Profile><ProfileBody>\n"
                          "<ApplicationProcess><parameterList>%1</parameterList>"
                          "</ApplicationProcess>\n</ProfileBody></ISO15745Profile>\n"
                          "<ISO15745Profile><ProfileBody><ApplicationLayers>\n"
                          "<CANopenFDObjectList>\n%2\n</CANopenFDObjectList>\n"
                          "</ApplicationLayers></ProfileBody></ISO15745Profile>\n"
                          "</ISO15745ProfileContainer>\n")
        .arg(parameters, objects)
        .toUtf8();
}

// Sub-index 0 of 0x2000 beyond what the round trip compares.
QString implementationAndLimits(ObjectDataBase &db)
{
    ObjectDataBase::SUBINDEX_DATA_T entry;
    if (!db.getSubIndexData(0, 0x2000, 0, entry))
        return QStringLiteral("<none>");
    return QString::asprintf("impl=%d limits=%lld..%lld %s", entry.implementation,
                             qlonglong(entry.lowlimit), qlonglong(entry.uplimit),
                             entry.limitineds ? "in file" : "of the type");
}

// The sub-index as the description keeps it: access and PDO mapping as its attributes
// give them back, the default value only where the writer writes one.
QString describedSubIndex(quint16 index, quint8 sub, ObjectDataBase::SUBINDEX_DATA_T entry)
{
    const QString usdo = XDDGenerator::accessUSDO(entry.accesstype);
    const QString pdo = XDDGenerator::accessPDO(entry.pdomapping);
    const bool constant = entry.accesstype == QLatin1String("const");
    const QHash<QString, QString> readWrite = {{"t", "rwr"}, {"r", "rww"}};
    entry.name = Helper::substituteVariables(entry.name, index, sub);
    entry.pdomapping = constant ? 0 : quint8(QStringList{"no", "tr", "", "r", "t"}.indexOf(pdo));
    entry.accesstype = constant                      ? QStringLiteral("const")
                       : usdo == QLatin1String("rw") ? readWrite.value(pdo, usdo)
                                                     : usdo;
    if (entry.writedefaulttoeds != 2 && (entry.writedefaulttoeds != 1 || !entry.defaultineds))
        entry.defaultvalue.clear();
    return subIndexText(index, sub, entry, Carried::Xdd);
}

// What a CANopen FD description of the line carries.
QStringList describedContent(ObjectDataBase &db, quint8 line)
{
    QStringList lines;
    for (quint16 index : db.getIndices(line, 0x1000, 0xBFFF)) {
        ObjectDataBase::INDEX_DATA_T object;
        db.getIndexData(line, index, object);
        QString text = QStringLiteral("%1 name=%2 objecttype=%3")
                           .arg(hex(index), Helper::substituteVariables(object.name, index, 0))
                           .arg(object.objecttype);
        if (object.objecttype != 9)
            text += QStringLiteral(" datatype=%1").arg(object.datatype);
        lines << text;
        for (quint8 sub : db.getSubIndices(line, index)) {
            ObjectDataBase::SUBINDEX_DATA_T entry;
            db.getSubIndexData(line, index, sub, entry);
            lines << describedSubIndex(index, sub, entry);
        }
    }
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(Builder)

// The reader of CANopen FD descriptions: the liberties real files take, files without
// objects or with XML errors, the files of other tools, and the round trip through the
// writer.
class TestXddImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
    }

    void readsAttributes_data()
    {
        QTest::addColumn<QString>("objects");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("details"); // of 0x2000 sub-index 0
        QTest::addColumn<QString>("diagnostic"); // a part of it; empty: none at all
        // A section of xdd_attributes.txt per row, a line "<column>: <text>" per column.
        const auto fixtures = roundtrip::sections(NW_TEST_DATA_DIR "/importers/xdd_attributes.txt");
        QVERIFY(fixtures.size() > 10);
        for (const auto &section : fixtures) {
            QMap<QString, QString> row;
            for (const QString &field : section.second)
                row.insert(field.section(QLatin1String(": "), 0, 0),
                           field.section(QLatin1String(": "), 1));
            QTest::newRow(qPrintable(section.first))
                << row.value("objects") << row.value("parameters") << row.value("content")
                << row.value("details") << row.value("diagnostic");
        }
    }

    void readsAttributes()
    {
        QFETCH(QString, objects);
        QFETCH(QString, parameters);
        QFETCH(QString, details);
        QFETCH(QString, diagnostic);
        ObjectDataBase db;
        XDDImporter importer;
        QStringList errors;
        read(writeFile(document(objects, parameters)), db, importer, &errors);
        QCOMPARE(errors, QStringList());
        QTEST(contentOf(db, 0, Carried::Xdd).join(QStringLiteral("; ")), "content");
        if (!details.isEmpty())
            QCOMPARE(implementationAndLimits(db), details);
        const QString found = diagnosticsText(importer.diagnostics());
        if (diagnostic.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.contains(QStringLiteral("device.xdd:")) && found.contains(diagnostic),
                     qPrintable(found));
    }

    void xmlErrorKeepsWhatWasRead()
    {
        ObjectDataBase db;
        XDDImporter importer;
        QStringList errors;
        read(writeFile(
                 document("<CANopenFDDataObject index=\"2000\" name=\"Speed\" dataType=\"06\"/>"
                          "<CANopenFDDataObject index=\"2001\" name=\"Cut")),
             db, importer, &errors);
        QVERIFY(errors.size() == 1 && !errors.first().isEmpty());
        QCOMPARE(db.getIndices(0), QList<quint16>{0x2000});
        QVERIFY(diagnosticsText(importer.diagnostics())
                    .contains(QRegularExpression(QStringLiteral("device.xdd:[0-9]+: error: "))));
    }

    void corpusFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("productName");
        QTest::addColumn<int>("otherObjects");
        const auto row = [](const char *name, const char *file, const char *product, int objects) {
            QTest::newRow(name) << QString(file) << QString(product) << objects;
        };
        row("minimal project", "minimal_project.xdd", "minimal_test", 10);
        row("demo device", "demoDevice.xdd", "Demo device", 48);
        row("301 profile", "DS301_profile.xpd", "New Product", 55);
        row("302 master profile", "DSP302-NMTMaster.xpd", "New Product", 4);
    }

    // These descriptions of classic CANopen devices hold no CANopen FD objects: the reader
    // takes their product name, says what it skipped, reports the format and leaves the
    // objects of the line alone.
    void corpusFile()
    {
        QFETCH(QString, file);
        QFETCH(int, otherObjects);
        const QString path = QStringLiteral(NW_TEST_DATA_DIR "/importers/xdd/") + file;
        ObjectDataBase db;
        nwtest::ProjectBuilder(db).newProject();
        gentest::addVar(db, 0, 0x2000, QStringLiteral("Kept"));
        const QStringList before = contentOf(db, 0);
        XDDImporter importer;
        QStringList errors;
        read(path, db, importer, &errors, true);
        QCOMPARE(contentOf(db, 0), before);
        QTEST(db.getDescriptionSettingsValue(QStringLiteral("ProductName")), "productName");
        QCOMPARE(errors, QStringList{path + QStringLiteral(" has is not in CiA 1311 XDD format.")});
        QVERIFY(diagnosticsText(importer.diagnostics())
                    .contains(
                        QStringLiteral("the file describes %1 CANopen objects").arg(otherObjects)));
    }

    void projectSurvivesRoundTrip_data()
    {
        QTest::addColumn<Builder>("build");
        QTest::addRow("description fixture") << Builder(desctest::buildDescriptionProject);
        QTest::addRow("new-project template") << Builder([](ObjectDataBase &db) {
            QVERIFY(db.openDataBase(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"), false));
        });
        QTest::addRow("every access and mapping") << Builder([](ObjectDataBase &db) {
            nwtest::ProjectBuilder(db).newProject();
            desctest::addObject(db, 0x2000, QStringLiteral("Access $I"), 9);
            quint8 sub = 0;
            for (const char *access : {"const", "ro", "wo", "rw", "rwr", "rww"}) {
                for (quint8 pdo = 0; pdo <= 4; ++pdo) {
                    ObjectDataBase::SUBINDEX_DATA_T entry =
                        gentest::sub(QStringLiteral("Entry $s"), quint16(2 + sub % 6), "-3");
                    entry.accesstype = QLatin1String(access);
                    entry.pdomapping = pdo;
                    entry.writedefaulttoeds = sub % 3;
                    db.addSubIndex(0, 0x2000, sub++, entry);
                }
            }
            ObjectDataBase::INDEX_DATA_T array;
            array.name = QStringLiteral("Array");
            array.objecttype = 8;
            array.datatype = 0x1B;
            db.addIndex(0, 0x2001, array);
            db.addSubIndex(0, 0x2001, 0, gentest::sub(QStringLiteral("Count"), 5, "1"));
            db.addSubIndex(0, 0x2001, 1, gentest::sub(QStringLiteral("Element"), 0x1B, "0x10"));
        });
    }

    // Written as a CANopen FD description and read back, a project keeps its objects as far as
    // the description carries them; read a second time, nothing changes any more.
    void projectSurvivesRoundTrip()
    {
        QFETCH(Builder, build);
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase());
        build(source);
        XDDGenerator generator;
        QVERIFY(gentest::runGenerator(generator, source, dir->path(), QStringLiteral("trip")));
        const QString firstPath = dir->filePath(generator.fileName());
        ObjectDataBase first;
        XDDImporter importer;
        QStringList errors;
        read(firstPath, first, importer, &errors);
        QCOMPARE(errors, QStringList());
        GENTEST_VERIFY_EMPTY(diagnosticsText(importer.diagnostics()));
        GENTEST_VERIFY_EMPTY(
            difference(describedContent(source, 0), contentOf(first, 0, Carried::Xdd)));
        XDDGenerator again;
        QVERIFY(gentest::runGenerator(again, first, dir->path(), QStringLiteral("again")));
        ObjectDataBase second;
        XDDImporter secondImporter;
        read(dir->filePath(again.fileName()), second, secondImporter);
        GENTEST_VERIFY_EMPTY(
            difference(contentOf(first, 0, Carried::Xdd), contentOf(second, 0, Carried::Xdd)));
    }

private:
    // Reads the file into line 0 of db, made a new project first unless it is built; the
    // texts sent through importError go to errors.
    void read(const QString &path, ObjectDataBase &db, XDDImporter &importer,
              QStringList *errors = nullptr, bool built = false)
    {
        if (!built)
            nwtest::ProjectBuilder(db).newProject();
        QStringList sent;
        connect(&importer, qOverload<const QString &>(&BaseDataImporter::importError),
                [&sent](const QString &text) { sent << text; });
        importer.setDatabase(&db);
        importer.setActiveLine(0);
        QVERIFY(importer.setImportFileName(path));
        importer.doImport();
        if (errors)
            *errors = sent;
    }

    QString writeFile(const QByteArray &content)
    {
        const QString path = dir->filePath(QStringLiteral("device.xdd"));
        return nwWriteFile(path, content) ? path : QString();
    }

    std::unique_ptr<QTemporaryDir> dir;
};

NW_TEST_MAIN(TestXddImporter)
#include "tst_xddimporter.moc"
