#include "cli/exportcommand.h"

#include "cli/cliproject.h"
#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "description/csvgenerator.h"
#include "description/documentationgenerator.h"
#include "description/edsgenerator.h"
#include "description/xddgenerator.h"
#include "generators/generationrun.h"
#include "generators/lineclassification.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <memory>
#include <optional>

namespace {

using Kind = GenerationRun::GeneratorKind;

const char synopsis[] = "export --format eds|xdd|csv|html|txt [options] PROJECT";

QString tr(const char *text)
{
    return QCoreApplication::translate("ExportCommand", text);
}

// What each format writes: the writer for the CANopen lines and, for the documentation,
// the writer for the J1939 lines.
struct Format
{
    const char *name;
    Kind canopen;
    std::optional<Kind> j1939;
};

const Format formats[] = {{"eds", Kind::Eds, std::nullopt},
                          {"xdd", Kind::Xdd, std::nullopt},
                          {"csv", Kind::Csv, std::nullopt},
                          {"html", Kind::Html, Kind::J1939Html},
                          {"txt", Kind::TextDoc, Kind::J1939TextDoc}};

const Format *formatNamed(const QString &name)
{
    for (const Format &format : formats) {
        if (name == QLatin1String(format.name))
            return &format;
    }
    return nullptr;
}

struct Request
{
    QString project;
    const Format *format = &formats[0];
    bool oneLine = false;
    quint8 line = 0;
    bool oneVariant = false;
    QString variant;
    QString folder; // absolute; the project's folder unless --output is given
};

// Reads the command line into request. Returns an exit code when the command is done
// (help printed, or a usage problem reported), nothing when it goes on.
std::optional<int> parse(CommandLine &commandLine, const QStringList &arguments, Request &request,
                         QTextStream &out, QTextStream &err)
{
    const QCommandLineOption format(QStringLiteral("format"),
                                    tr("the kind of file: eds, xdd, csv, html or txt (required)"),
                                    QStringLiteral("eds|xdd|csv|html|txt"));
    const QCommandLineOption line(QStringLiteral("line"),
                                  tr("only the line N (default: every line the format describes)"),
                                  QStringLiteral("N"));
    const QCommandLineOption variant(
        QStringLiteral("variant"),
        tr("only the EDS variant NAME; an empty NAME is the base file (default: every variant)"),
        QStringLiteral("NAME"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        tr("write the files into DIR (created when missing) instead of the project's folder"),
        QStringLiteral("DIR"));
    for (const QCommandLineOption &option : {format, line, variant, output})
        commandLine.addOption(option);
    commandLine.addArgument(QStringLiteral("PROJECT"), tr("the project file (.nwrp)"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return done;

    request.project = commandLine.arguments().first();
    request.format = formatNamed(commandLine.value(format).toLower());
    if (!request.format)
        return commandLine.usageError(
            err, commandLine.isSet(format) ? tr("unknown format '%1' (eds, xdd, csv, html or txt)")
                                                 .arg(commandLine.value(format))
                                           : tr("missing option --format eds|xdd|csv|html|txt"));
    if (commandLine.isSet(line)) {
        bool ok = false;
        const uint number = commandLine.value(line).toUInt(&ok);
        if (!ok || number > 239)
            return commandLine.usageError(err, tr("--line needs a line number from 0 to 239"));
        request.oneLine = true;
        request.line = quint8(number);
    }
    if (commandLine.isSet(variant) && request.format->canopen != Kind::Eds)
        return commandLine.usageError(err, tr("--variant applies to EDS files only"));
    request.oneVariant = commandLine.isSet(variant);
    request.variant = commandLine.value(variant);
    request.folder = commandLine.isSet(output)
                         ? QFileInfo(commandLine.value(output)).absoluteFilePath()
                         : QFileInfo(request.project).absolutePath();
    return std::nullopt;
}

// One file to write: the writer and the line it describes.
struct Job
{
    Kind kind;
    quint8 line;
};

// The files to export in the order of the generation run, or an empty list with the
// reason in error.
QList<Job> selectJobs(const Request &request, const LineClassification &classification,
                      QString &error)
{
    QList<Job> jobs;
    const auto add = [&](const QList<quint8> &lines, Kind kind) {
        for (quint8 line : lines) {
            if (!request.oneLine || line == request.line)
                jobs.append({kind, line});
        }
    };
    add(classification.canopenLines, request.format->canopen);
    if (request.format->j1939)
        add(classification.j1939Lines, *request.format->j1939);
    if (!jobs.isEmpty())
        return jobs;
    const QString lines = request.format->j1939 ? tr("CANopen or J1939 line") : tr("CANopen line");
    error = request.oneLine ? tr("line %1 is not a %2 of the project").arg(request.line).arg(lines)
                            : tr("the project has no %1").arg(lines);
    return jobs;
}

QString variantList(const QStringList &variants)
{
    QStringList shown;
    for (const QString &variant : variants)
        shown << (variant.isEmpty() ? QStringLiteral("\"\"") : variant);
    return shown.join(QStringLiteral(", "));
}

// The file a writer of the export writes, and whether its last job wrote it; an empty
// name for a generator that is not one of them.
QString writtenFile(const AbstractGenerator *generator, bool &written)
{
    if (const auto *eds = qobject_cast<const EDSGenerator *>(generator)) {
        written = eds->isFileWritten();
        return eds->fileName();
    }
    if (const auto *xdd = qobject_cast<const XDDGenerator *>(generator)) {
        written = xdd->isFileWritten();
        return xdd->fileName();
    }
    if (const auto *csv = qobject_cast<const CSVGenerator *>(generator)) {
        written = csv->isFileWritten();
        return csv->fileName();
    }
    if (const auto *doc = qobject_cast<const DocumentationGenerator *>(generator)) {
        written = doc->isFileWritten();
        return doc->documentFileName();
    }
    return QString();
}

// Runs the generator of the row for one line (and variant), as the generation run does.
bool exportFile(ObjectDataBase &db, const GenerationRun::RowContext &context, Kind kind,
                const QString &folder, const QString &projectName, QString &path, QString &error)
{
    const GenerationRun::GeneratorRow *row = GenerationRun::generatorRow(kind);
    std::unique_ptr<AbstractGenerator> generator(row ? row->create(context) : nullptr);
    bool written = false;
    if (writtenFile(generator.get(), written).isEmpty()) {
        error = tr("this build has no writer for the format");
        return false;
    }
    const LineClassification &lines = *context.lines;
    if (qobject_cast<DocumentationGenerator *>(generator.get()))
        generator->setMultiLine(lines.multiLineProject());
    generator->setJ1939Present(lines.j1939Line());
    generator->setMultiProtocol(lines.multiProtocol());
    generator->setDataBase(&db);
    generator->setOutputDirectory(folder);
    generator->setProjectName(projectName);
    generator->setActiveLine(context.line);
    if (!generator->checkWritability()) {
        error = GenerationRun::tr(row->notWritable).arg(folder, projectName);
        return false;
    }
    generator->startGeneration();
    generator->wait();
    path = folder + QLatin1Char('/') + writtenFile(generator.get(), written);
    if (written)
        return true;
    error = tr("cannot write %1").arg(path);
    return false;
}

// The files of one line: the CSV, or the EDS of each variant asked for.
int exportLine(ObjectDataBase &db, GenerationRun::RowContext context, Kind kind,
               const Request &request, const CommandLine &commandLine, QTextStream &out,
               QTextStream &err)
{
    const QString projectName = QFileInfo(request.project).completeBaseName();
    QStringList variants{QString()};
    if (kind == Kind::Eds) {
        variants = GenerationRun(&db).getEdsDefines(context.line);
        if (request.oneVariant && !variants.contains(request.variant))
            return commandLine.failure(err, tr("line %1 has no EDS variant '%2'; its variants: %3")
                                                .arg(QString::number(context.line), request.variant,
                                                     variantList(variants)));
        if (request.oneVariant)
            variants = QStringList{request.variant};
        else if (variants.size() > 1)
            out << GenerationRun::tr("Warning: multiple different EDS files to be generated.\n")
                       .trimmed()
                << '\n';
    }
    for (const QString &variant : qAsConst(variants)) {
        context.edsVariant = variant;
        QString path;
        QString error;
        if (!exportFile(db, context, kind, request.folder, projectName, path, error))
            return commandLine.failure(err, error);
        out << QDir::toNativeSeparators(path) << '\n';
        out.flush();
    }
    return 0;
}

} // namespace

QString ExportCommand::usage()
{
    return CommandLine::overviewEntry(QLatin1String(synopsis),
                                      tr("write the EDS, XDD, CSV or documentation files of the "
                                         "project as the generation run does, without the "
                                         "model check"));
}

int ExportCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(
        QLatin1String(synopsis),
        tr("Writes the EDS, XDD or CSV files of the project's CANopen lines, or "
           "the HTML or text documentation of its CANopen and J1939 "
           "lines, as the generation run does, without the model check."));
    Request request;
    if (const std::optional<int> done = parse(commandLine, arguments, request, out, err))
        return *done;
    ObjectDataBase db;
    QString error;
    if (!CliProject::open(request.project, db, error))
        return commandLine.failure(err, error);
    const LineClassification classification = LineClassification::classify(&db);
    const QList<Job> jobs = selectJobs(request, classification, error);
    if (jobs.isEmpty())
        return commandLine.failure(err, error);
    if (!QDir().mkpath(request.folder) || !QFileInfo(request.folder).isWritable())
        return commandLine.failure(err,
                                   tr("The output folder %1 is not writable.").arg(request.folder));

    GenerationRun::RowContext context;
    context.lines = &classification;
    for (const Job &job : jobs) {
        // One read of the whole line instead of one statement per sub-index.
        if (job.kind != Kind::J1939Html && job.kind != Kind::J1939TextDoc)
            db.cacheAllSubs(job.line);
        context.line = job.line;
        const int result = exportLine(db, context, job.kind, request, commandLine, out, err);
        if (result != 0)
            return result;
    }
    return 0;
}
