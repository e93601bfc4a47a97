#include "cli/exportcommand.h"

#include "cli/cliproject.h"
#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "description/csvgenerator.h"
#include "description/edsgenerator.h"
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

const char synopsis[] = "export --format eds|csv [options] PROJECT";

QString tr(const char *text)
{
    return QCoreApplication::translate("ExportCommand", text);
}

struct Request
{
    QString project;
    Kind kind = Kind::Eds;
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
                                    tr("the kind of file: eds or csv (required)"),
                                    QStringLiteral("eds|csv"));
    const QCommandLineOption line(QStringLiteral("line"),
                                  tr("only the CANopen line N (default: every CANopen line)"),
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
    const QString kind = commandLine.value(format).toLower();
    if (kind != QLatin1String("eds") && kind != QLatin1String("csv"))
        return commandLine.usageError(
            err, commandLine.isSet(format)
                     ? tr("unknown format '%1' (eds or csv)").arg(commandLine.value(format))
                     : tr("missing option --format eds|csv"));
    request.kind = kind == QLatin1String("eds") ? Kind::Eds : Kind::Csv;
    if (commandLine.isSet(line)) {
        bool ok = false;
        const uint number = commandLine.value(line).toUInt(&ok);
        if (!ok || number > 239)
            return commandLine.usageError(err, tr("--line needs a line number from 0 to 239"));
        request.oneLine = true;
        request.line = quint8(number);
    }
    if (commandLine.isSet(variant) && request.kind != Kind::Eds)
        return commandLine.usageError(err, tr("--variant applies to EDS files only"));
    request.oneVariant = commandLine.isSet(variant);
    request.variant = commandLine.value(variant);
    request.folder = commandLine.isSet(output)
                         ? QFileInfo(commandLine.value(output)).absoluteFilePath()
                         : QFileInfo(request.project).absolutePath();
    return std::nullopt;
}

// The lines to export, or an empty list with the reason in error.
QList<quint8> selectLines(ObjectDataBase &db, const Request &request,
                          LineClassification &classification, QString &error)
{
    classification = LineClassification::classify(&db);
    if (!request.oneLine) {
        if (classification.canopenLines.isEmpty())
            error = tr("the project has no CANopen line");
        return classification.canopenLines;
    }
    if (!classification.canopenLines.contains(request.line)) {
        error = tr("line %1 is not a CANopen line of the project").arg(request.line);
        return {};
    }
    return {request.line};
}

QString variantList(const QStringList &variants)
{
    QStringList shown;
    for (const QString &variant : variants)
        shown << (variant.isEmpty() ? QStringLiteral("\"\"") : variant);
    return shown.join(QStringLiteral(", "));
}

// Runs the generator of the row for one line (and variant), as the generation run does.
bool exportFile(ObjectDataBase &db, const GenerationRun::RowContext &context, Kind kind,
                const QString &folder, const QString &projectName, QString &path, QString &error)
{
    const GenerationRun::GeneratorRow *row = GenerationRun::generatorRow(kind);
    std::unique_ptr<AbstractGenerator> generator(row ? row->create(context) : nullptr);
    const auto *eds = qobject_cast<EDSGenerator *>(generator.get());
    const auto *csv = qobject_cast<CSVGenerator *>(generator.get());
    if (!eds && !csv) {
        error = tr("this build has no writer for the format");
        return false;
    }
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
    path = folder + QLatin1Char('/') + (eds ? eds->fileName() : csv->fileName());
    if ((eds && eds->isFileWritten()) || (csv && csv->isFileWritten()))
        return true;
    error = tr("cannot write %1").arg(path);
    return false;
}

// The files of one line: the CSV, or the EDS of each variant asked for.
int exportLine(ObjectDataBase &db, GenerationRun::RowContext context, const Request &request,
               const CommandLine &commandLine, QTextStream &out, QTextStream &err)
{
    const QString projectName = QFileInfo(request.project).completeBaseName();
    QStringList variants{QString()};
    if (request.kind == Kind::Eds) {
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
        if (!exportFile(db, context, request.kind, request.folder, projectName, path, error))
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
                                      tr("write the EDS or CSV files of the CANopen lines as the "
                                         "generation run does, without the model check"));
}

int ExportCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(QLatin1String(synopsis),
                            tr("Writes the EDS or CSV files of the project's CANopen lines, as "
                               "the generation run does, without the model check."));
    Request request;
    if (const std::optional<int> done = parse(commandLine, arguments, request, out, err))
        return *done;
    ObjectDataBase db;
    QString error;
    if (!CliProject::open(request.project, db, error))
        return commandLine.failure(err, error);
    LineClassification classification;
    const QList<quint8> lines = selectLines(db, request, classification, error);
    if (lines.isEmpty())
        return commandLine.failure(err, error);
    if (!QDir().mkpath(request.folder) || !QFileInfo(request.folder).isWritable())
        return commandLine.failure(err,
                                   tr("The output folder %1 is not writable.").arg(request.folder));

    GenerationRun::RowContext context;
    context.lines = &classification;
    for (quint8 line : lines) {
        // One read of the whole line instead of one statement per sub-index.
        db.cacheAllSubs(line);
        context.line = line;
        const int result = exportLine(db, context, request, commandLine, out, err);
        if (result != 0)
            return result;
    }
    return 0;
}
