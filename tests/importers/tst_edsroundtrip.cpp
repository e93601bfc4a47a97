#include "../description/descriptiontestutil.h"
#include "database/objectdatabase.h"
#include "description/edsgenerator.h"
#include "importers/edsimporter.h"
#include "importers/importrun.h"
#include "nwtest.h"
#include "panelkit/edsparser.h"
#include "projectbuilder.h"
#include "roundtriputil.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

using namespace roundtrip;

namespace {

using Builder = std::function<void(ObjectDataBase &)>;

// The lines of a written file without those holding the time of writing.
QStringList fileWithoutTimes(const QString &path)
{
    static const QRegularExpression time(QStringLiteral("^(Creation|Modification)(Time|Date)="));
    QStringList lines = desctest::fileLines(gentest::readText(path));
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString &line) { return line.contains(time); }),
                lines.end());
    return lines;
}

// The lines with every numeric DefaultValue in decimal.
QStringList withDecimalDefaults(QStringList lines)
{
    for (QString &line : lines) {
        bool ok = false;
        const qlonglong value = line.mid(13).toLongLong(&ok, 0);
        if (ok && line.startsWith(QLatin1String("DefaultValue=")))
            line = QStringLiteral("DefaultValue=%1").arg(value);
    }
    return lines;
}

// The diagnostics of found whose kind (the text up to its first quoted or numbered
// detail) the known ones do not have.
QList<EdsParser::Diagnostic> withoutKnown(const QList<EdsParser::Diagnostic> &found,
                                          const QList<EdsParser::Diagnostic> &known)
{
    const auto kind = [](const EdsParser::Diagnostic &diagnostic) {
        return diagnostic.text.section(QRegularExpression(QStringLiteral("[0-9'\\[]")), 0, 0);
    };
    QSet<QString> kinds;
    for (const EdsParser::Diagnostic &diagnostic : known)
        kinds.insert(kind(diagnostic));
    QList<EdsParser::Diagnostic> result;
    std::copy_if(found.begin(), found.end(), std::back_inserter(result),
                 [&](const EdsParser::Diagnostic &d) { return !kinds.contains(kind(d)); });
    return result;
}

// Warnings and errors: the notes (the writer's fixed object lists name 0x1000, 0x1001
// and 0x1018 always, and objects from 0xD000 up are in no list) lose nothing.
QList<EdsParser::Diagnostic> aboveInfo(QList<EdsParser::Diagnostic> found)
{
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const EdsParser::Diagnostic &diagnostic) {
                                   return diagnostic.severity <= EdsParser::Diagnostic::Info;
                               }),
                found.end());
    return found;
}

} // namespace

Q_DECLARE_METATYPE(Builder)

// What the EDS writer writes, the EDS reader reads back without complaint and unchanged:
// for the fixture projects, the new-project template and real device descriptions.
class TestEdsRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
    }

    void projectSurvivesTwoRoundTrips_data()
    {
        QTest::addColumn<Builder>("build");
        QTest::addRow("description fixture") << Builder(desctest::buildDescriptionProject);
        QTest::addRow("new-project template") << Builder([](ObjectDataBase &db) {
            QVERIFY(db.openDataBase(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"), false));
        });
        QTest::addRow("builder objects") << Builder([](ObjectDataBase &db) {
            using nwtest::entry;
            nwtest::ProjectBuilder(db)
                .newProject()
                .var(0, 0x1000, entry(7, "ro", "0x191"), "Device type")
                .var(0, 0x1001, entry(5, "ro", "0"), "Error register")
                .object(0, 0x1018, 9,
                        {entry(5, "const", "2"), entry(7, "ro", "0x12"), entry(7, "ro", "0x34")},
                        "Identity")
                .object(0, 0x2000, 8,
                        {entry(5, "ro", "2"), entry(2, "rw", "-5"), entry(2, "rw", "0")}, "Offsets")
                .var(0, 0x2001, entry(8, "rww", "1.5"), "Gain")
                .var(0, 0x2002, entry(9, "const", "text"), "Label")
                .var(0, 0x6000, nwtest::appVariable(6, "rwr", "speed", 1), "Speed");
        });
    }
    void projectSurvivesTwoRoundTrips()
    {
        QFETCH(Builder, build);
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase());
        build(source);
        const QString sourcePath = writeEds(source, QStringLiteral("again"));
        const QStringList sourceFile = fileWithoutTimes(sourcePath);
        QList<EdsParser::Diagnostic> diagnostics;
        ObjectDataBase first;
        QVERIFY(readEds(sourcePath, first, &diagnostics));
        GENTEST_VERIFY_EMPTY(diagnosticsText(aboveInfo(diagnostics)));
        const QString firstPath = writeEds(first, QStringLiteral("again"));
        const QStringList firstFile = fileWithoutTimes(firstPath);
        // The import sets sub-index 0 of an ARRAY or RECORD to the highest sub-index, in
        // decimal; any other change is a fault.
        GENTEST_VERIFY_EMPTY(
            difference(withDecimalDefaults(sourceFile), withDecimalDefaults(firstFile)));
        ObjectDataBase second;
        QVERIFY(readEds(firstPath, second));
        GENTEST_VERIFY_EMPTY(difference(contentOf(first, 0), contentOf(second, 0)));
        // The settings of the file and device information come back too.
        GENTEST_VERIFY_EMPTY(
            difference(firstFile, fileWithoutTimes(writeEds(second, QStringLiteral("again")))));
    }

    void corpusFileSurvivesRoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        const QDir folder(QStringLiteral(NW_TEST_DATA_DIR "/importers/eds"));
        for (const QString &name : folder.entryList({QStringLiteral("*.eds")}, QDir::Files))
            QTest::addRow("%s", qPrintable(name)) << folder.filePath(name);
    }
    void corpusFileSurvivesRoundTrip()
    {
        QFETCH(QString, file);
        QList<EdsParser::Diagnostic> original;
        ObjectDataBase imported;
        QVERIFY(readEds(file, imported, &original));
        const QString path = writeEds(imported, QStringLiteral("corpus"));
        const QStringList written = fileWithoutTimes(path);
        QList<EdsParser::Diagnostic> diagnostics;
        ObjectDataBase reread;
        QVERIFY(readEds(path, reread, &diagnostics));
        // What the original file already had (a text default of a number, a missing
        // mandatory object) may be reported again; nothing new may appear.
        GENTEST_VERIFY_EMPTY(diagnosticsText(aboveInfo(withoutKnown(diagnostics, original))));
        GENTEST_VERIFY_EMPTY(difference(contentOf(imported, 0), contentOf(reread, 0)));
        GENTEST_VERIFY_EMPTY(
            difference(written, fileWithoutTimes(writeEds(reread, QStringLiteral("corpus")))));
    }

private:
    QString writeEds(ObjectDataBase &db, const QString &name, quint8 line = 0)
    {
        EDSGenerator generator;
        if (!gentest::runGenerator(generator, db, dir->path(), name, line)
            || !generator.isFileWritten())
            return QString();
        return dir->filePath(generator.fileName());
    }

    // Reads an EDS into line 0 of a new project as the import does; the reader's
    // diagnostics go to diagnostics.
    bool readEds(const QString &path, ObjectDataBase &db,
                 QList<EdsParser::Diagnostic> *diagnostics = nullptr)
    {
        EDSImporter importer;
        importer.setIndexRange(0x1000, 0xFFFF);
        importer.setImportFileName(path);
        importer.doImport();
        if (diagnostics)
            *diagnostics = importer.diagnostics();
        if (!importer.getLastError().isEmpty())
            return false;
        const QList<quint16> faulty = importer.objectsWithErrors();
        QList<DictionaryObject> objects;
        for (const DictionaryObject &object : importer.objects())
            if (!faulty.contains(object.index))
                objects.append(object);
        if (!db.createNewDataBase())
            return false;
        nwtest::ProjectBuilder(db).newProject();
        ImportRun run(&db);
        // With the file and device information, as the import does.
        return run.run(objects, [&]() {
            db.setDescriptionSettingsLine(0);
            importer.setDatabase(&db);
            return importer.importFileDeviceInfo();
        });
    }

    std::unique_ptr<QTemporaryDir> dir;
};

NW_TEST_MAIN(TestEdsRoundTrip)
#include "tst_edsroundtrip.moc"
