#include "cli/importcommand.h"

#include "cli/cliproject.h"
#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "importers/codbimporter.h"
#include "importers/csvimporter.h"
#include "importers/edsimporter.h"
#include "importers/importfilekind.h"
#include "importers/importrun.h"
#include "importers/nwrpimporter.h"
#include "importers/xddimporter.h"
#include "panelkit/linetype.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <functional>

namespace {

const char synopsis[] = "import [options] --into PROJECT FILE";

QString tr(const char *text)
{
    return QCoreApplication::translate("ImportCommand", text);
}

struct Settings
{
    QString file;
    QString project;
    quint8 line = 0;
    quint16 low = 0x1000;
    quint16 high = 0xFFFF;
    quint16 offset = 0;
    quint8 highestSub = 254;
    bool applicationVariables = false;
    bool deviceInfo = false;
    bool objectCopies = false;
    quint8 sourceLine = 0;
};

// A number with C prefixes ("0x" hexadecimal) no larger than limit.
bool readNumber(const QString &text, uint limit, uint &value)
{
    bool ok = false;
    value = text.trimmed().toUInt(&ok, 0);
    return ok && value <= limit;
}

bool readRange(const QString &text, Settings &settings)
{
    const QStringList bounds = text.split(QLatin1Char('-'));
    uint low = 0;
    uint high = 0;
    if (bounds.size() != 2 || !readNumber(bounds.at(0), 0xFFFF, low)
        || !readNumber(bounds.at(1), 0xFFFF, high) || low > high)
        return false;
    settings.low = quint16(low);
    settings.high = quint16(high);
    return true;
}

// The objects of the file within the range: the default PDO objects a reader adds may
// lie outside it.
QList<DictionaryObject> selection(const QMap<quint16, DictionaryObject> &read,
                                  const Settings &settings)
{
    QList<DictionaryObject> objects;
    for (const DictionaryObject &object : read) {
        if (object.index >= settings.low && object.index <= settings.high)
            objects.append(object);
    }
    return objects;
}

// Errors that keep the objects from being imported: those of the file as a whole and
// those of selected objects. faulty receives the selected objects with errors.
int blockingErrors(const QList<EdsParser::Diagnostic> &diagnostics, const Settings &settings,
                   QStringList &faulty)
{
    int count = 0;
    for (const EdsParser::Diagnostic &problem : diagnostics) {
        if (problem.severity != EdsParser::Diagnostic::Error)
            continue;
        if (problem.index < 0) {
            ++count;
        } else if (problem.index >= settings.low && problem.index <= settings.high) {
            ++count;
            const QString index =
                QStringLiteral("0x%1").arg(problem.index, 4, 16, QLatin1Char('0'));
            if (!faulty.contains(index))
                faulty.append(index);
        }
    }
    return count;
}

int noObjects(const Settings &settings, QTextStream &err)
{
    err << tr("nodewright-cli import: the file has no objects from 0x%1 to 0x%2; nothing "
              "was imported")
               .arg(settings.low, 4, 16, QLatin1Char('0'))
               .arg(settings.high, 4, 16, QLatin1Char('0'))
        << '\n';
    return 1;
}

// Where and how the objects go, as the options say.
void configure(ImportRun &run, const Settings &settings)
{
    run.setLine(settings.line);
    run.setOffset(settings.offset);
    run.setHighestSubIndex(settings.highestSub);
    run.setImplementation(settings.applicationVariables ? ImportRun::ApplicationVariables
                                                        : ImportRun::ManagedVariables);
}

// The file and device information of the file into the description settings of the
// database's selected line.
using DeviceInfoStep = std::function<bool(ObjectDataBase &)>;

int importObjects(const Settings &settings, const QMap<quint16, DictionaryObject> &read,
                  const QList<EdsParser::Diagnostic> &diagnostics, const DeviceInfoStep &deviceInfo,
                  ObjectDataBase &db, QTextStream &out, QTextStream &err)
{
    const QList<DictionaryObject> objects = selection(read, settings);
    QStringList faulty;
    const int errors = blockingErrors(diagnostics, settings, faulty);
    if (errors > 0) {
        err << tr("nodewright-cli import: nothing was imported, the file has errors (%1)")
                   .arg(errors);
        // Objects with errors can be left out with --range; errors of the file as a whole
        // cannot.
        if (!faulty.isEmpty())
            err << tr("; objects with errors: %1").arg(faulty.join(QLatin1String(", ")));
        err << '\n';
        return 1;
    }
    if (objects.isEmpty()) {
        return noObjects(settings, err);
    }
    ImportRun run(&db);
    configure(run, settings);
    // The objects and the device information change the project together or not at all.
    const bool ok = run.run(objects, [&]() {
        if (!settings.deviceInfo)
            return true;
        db.setDescriptionSettingsLine(settings.line);
        return deviceInfo(db);
    });
    if (!ok) {
        err << "nodewright-cli import: " << run.errorString() << '\n';
        return 1;
    }
    out << run.resultText() << '\n';
    return 0;
}

// Where the objects go: an existing line of a CANopen type. Empty when it can take them.
QString lineProblem(ObjectDataBase &db, quint8 line)
{
    if (!db.existNode(line))
        return tr("the project has no line %1").arg(line);
    const int type = db.getGeneralSettingsValue(QStringLiteral("line%1type").arg(line)).toInt();
    if (type != 1 && type != 5)
        return tr("line %1 is no CANopen line; objects can only be imported into CANopen lines")
            .arg(line);
    return QString();
}

void printDiagnostics(const QList<EdsParser::Diagnostic> &diagnostics, QTextStream &err)
{
    // Notes lose nothing; the command has no verbose mode to show them in.
    for (const EdsParser::Diagnostic &diagnostic : diagnostics) {
        if (diagnostic.severity > EdsParser::Diagnostic::Info)
            err << diagnostic.toString() << '\n';
    }
}

int importEds(const Settings &settings, const CommandLine &commandLine, ObjectDataBase &db,
              QTextStream &out, QTextStream &err)
{
    EDSImporter importer;
    importer.setDcfMode(importFileKind(settings.file) == ImportFileKind::Dcf);
    importer.setIndexRange(settings.low, settings.high);
    importer.setImportFileName(settings.file);
    importer.doImport();
    printDiagnostics(importer.diagnostics(), err);
    if (!importer.getLastError().isEmpty())
        return commandLine.failure(err, tr("nothing was imported"));
    return importObjects(
        settings, importer.objects(), importer.diagnostics(),
        [&importer](ObjectDataBase &target) {
            importer.setDatabase(&target);
            return importer.importFileDeviceInfo();
        },
        db, out, err);
}

// A device description for CANopen FD: its objects; its product name is the device
// information it carries.
int importXdd(const Settings &settings, ObjectDataBase &db, QTextStream &out, QTextStream &err)
{
    XDDImporter importer;
    importer.setImportFileName(settings.file);
    importer.doImport();
    printDiagnostics(importer.diagnostics(), err);
    return importObjects(
        settings, importer.objects(), importer.diagnostics(),
        [&importer](ObjectDataBase &target) {
            return importer.productName().isEmpty()
                   || target.setDescriptionSettingsValue(QStringLiteral("ProductName"),
                                                         importer.productName());
        },
        db, out, err);
}

// The readers that fill a staging line: CSV lists, CODB catalogues and other projects.
// Their rows that could not be read are reported; the objects they read within the range
// are copied into the project.
int importStaged(const Settings &settings, ImportFileKind kind, ObjectDataBase &db,
                 QTextStream &out, QTextStream &err)
{
    const quint8 staging = ReservedLine::staging;
    ObjectDataBase read;
    if (!read.createNewDataBase() || !read.addNode(staging, ObjectDataBase::NODE_DATA_T())) {
        err << "nodewright-cli import: " << read.errorString() << '\n';
        return 1;
    }
    CsvImporter csv;
    CODBImporter catalogue;
    NWRPImporter project;
    BaseDataImporter *reader = &project;
    if (kind == ImportFileKind::Csv)
        reader = &csv;
    else if (kind == ImportFileKind::Catalogue)
        reader = &catalogue;
    catalogue.setMultipleObjectsFlag(settings.objectCopies);
    project.setSourceLine(settings.sourceLine);
    reader->setActiveLine(staging);
    reader->setDatabase(&read);
    reader->setIndexRange(settings.low, settings.high);
    reader->setImportFileName(settings.file);
    reader->doImport();
    for (const QString &problem : csv.diagnostics())
        err << problem << '\n';
    if (!reader->getLastError().isEmpty()) {
        err << "nodewright-cli import: " << reader->getLastError() << '\n';
        return 1;
    }
    const QList<quint16> indices = read.getIndices(staging, settings.low, settings.high);
    if (indices.isEmpty()) {
        return noObjects(settings, err);
    }
    ImportRun run(&db);
    configure(run, settings);
    run.setKeepImplementation(reader == &project && !settings.applicationVariables);
    if (!run.run(&read, staging, indices)) {
        err << "nodewright-cli import: " << run.errorString() << '\n';
        return 1;
    }
    out << run.resultText() << '\n';
    for (const QString &failed : csv.applyCommands(&db, settings.line))
        err << tr("nodewright-cli import: could not %1").arg(failed) << '\n';
    return 0;
}

int importFile(const Settings &settings, const CommandLine &commandLine, QTextStream &out,
               QTextStream &err)
{
    const QFileInfo file(settings.file);
    const ImportFileKind kind = importFileKind(settings.file);
    if (!file.isFile() || !file.isReadable())
        return commandLine.failure(err, tr("%1: no such file or not readable").arg(settings.file));
    if (kind == ImportFileKind::Other)
        return commandLine.failure(err, tr("%1: only EDS (.eds), DCF (.dcf), XDD (.xdd, .xml), "
                                           "CSV (.csv), CODB (.codb) and project (.nwrp) files "
                                           "can be imported")
                                            .arg(settings.file));
    ObjectDataBase db;
    QString problem;
    if (!CliProject::open(settings.project, db, problem))
        return commandLine.failure(err, problem);
    problem = lineProblem(db, settings.line);
    if (!problem.isEmpty())
        return commandLine.failure(err, problem);

    int result = 0;
    if (kind == ImportFileKind::Csv || kind == ImportFileKind::Catalogue
        || kind == ImportFileKind::Project)
        result = importStaged(settings, kind, db, out, err);
    else if (kind == ImportFileKind::Xdd)
        result = importXdd(settings, db, out, err);
    else
        result = importEds(settings, commandLine, db, out, err);
    if (result != 0)
        return result;
    if (!db.saveDataBase())
        return commandLine.failure(
            err, tr("cannot save %1: %2").arg(settings.project, db.errorString().simplified()));
    return 0;
}

} // namespace

QString ImportCommand::usage()
{
    return CommandLine::overviewEntry(QLatin1String(synopsis),
                                      tr("import the objects of an EDS, DCF, XDD, CSV, CODB "
                                         "or project file into a project"));
}

int ImportCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(
        QLatin1String(synopsis),
        tr("Reads an EDS, DCF, XDD, CSV, CODB or project file and copies its objects into a "
           "line of the project, as "
           "the import dialog does, then saves the project. Nothing is imported when the "
           "file has errors in the objects asked for. Exit codes: 0 imported, 1 nothing "
           "imported (errors in the file, no objects in the range), 2 a usage or file "
           "problem."));
    const QCommandLineOption into(QStringLiteral("into"), tr("the project file (.nwrp)"),
                                  QStringLiteral("PROJECT"));
    const QCommandLineOption line(QStringLiteral("line"),
                                  tr("the CANopen line to import into (default 0)"),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption range(QStringLiteral("range"),
                                   tr("the objects to import (default 0x1000-0xFFFF)"),
                                   QStringLiteral("LOW-HIGH"), QStringLiteral("0x1000-0xFFFF"));
    const QCommandLineOption offset(QStringLiteral("offset"),
                                    tr("added to the index of every object (default 0)"),
                                    QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption maxSub(QStringLiteral("max-sub"),
                                    tr("highest sub-index to import (default 254)"),
                                    QStringLiteral("N"), QStringLiteral("254"));
    const QCommandLineOption application(QStringLiteral("application-variables"),
                                         tr("import as application variables instead of "
                                            "managed variables"));
    const QCommandLineOption device(QStringLiteral("device-info"),
                                    tr("also copy [FileInfo] and [DeviceInfo] into the "
                                       "line's device description"));
    const QCommandLineOption copies(QStringLiteral("object-copies"),
                                    tr("carry out the object copies of a CODB catalogue"));
    const QCommandLineOption sourceLine(QStringLiteral("source-line"),
                                        tr("the line of a project file to read (default 0)"),
                                        QStringLiteral("N"), QStringLiteral("0"));
    for (const QCommandLineOption &option :
         {into, line, range, offset, maxSub, application, device, copies, sourceLine})
        commandLine.addOption(option);
    commandLine.addArgument(QStringLiteral("FILE"),
                            tr("the .eds, .dcf, .xdd, .xml, .csv, .codb or .nwrp file"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return *done;

    Settings settings;
    settings.file = commandLine.arguments().first();
    settings.project = commandLine.value(into);
    settings.applicationVariables = commandLine.isSet(application);
    settings.deviceInfo = commandLine.isSet(device);
    uint value = 0;
    if (settings.project.isEmpty())
        return commandLine.usageError(err, tr("--into PROJECT is missing"));
    if (!readNumber(commandLine.value(line), 239, value))
        return commandLine.usageError(err, tr("--line needs a line number from 0 to 239"));
    settings.line = quint8(value);
    if (!readRange(commandLine.value(range), settings))
        return commandLine.usageError(err, tr("--range needs LOW-HIGH, e.g. 0x6000-0x9FFF"));
    if (!readNumber(commandLine.value(offset), 0xFFFF, value))
        return commandLine.usageError(err, tr("--offset needs a number from 0 to 0xFFFF"));
    settings.offset = quint16(value);
    if (!readNumber(commandLine.value(maxSub), 254, value))
        return commandLine.usageError(err, tr("--max-sub needs a number from 0 to 254"));
    settings.highestSub = quint8(value);
    if (!readNumber(commandLine.value(sourceLine), 239, value))
        return commandLine.usageError(err, tr("--source-line needs a line number from 0 to 239"));
    settings.sourceLine = quint8(value);
    settings.objectCopies = commandLine.isSet(copies);
    return importFile(settings, commandLine, out, err);
}
