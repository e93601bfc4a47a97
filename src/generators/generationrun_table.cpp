// The generator table of the generation run: which generators run, in which order, for
// which lines, and what the run reports about each.

#include "generators/generationrun.h"

#include "database/objectdatabase.h"
#include "description/csvgenerator.h"
#include "description/edsgenerator.h"
#include "description/htmlgenerator.h"
#include "description/j1939htmlgenerator.h"
#include "description/j1939textdocgenerator.h"
#include "description/textdocgenerator.h"
#include "description/xddgenerator.h"
#include "generators/abstractgenerator.h"
#include "generators/codefinegenerator.h"
#include "generators/extdeclgenerator.h"
#include "generators/indicationgenerator.h"
#include "generators/indicesgenerator.h"
#include "generators/objdictgenerator.h"
#include "generators/srdogenerator.h"
#include "generators/vobjdictgenerator.h"

#include <QCoreApplication>
#include <QFile>

namespace {

using Kind = GenerationRun::GeneratorKind;
using Context = GenerationRun::RowContext;

// Fills "%1" with the folder and "%2" with the second text in one pass, so that a folder
// or name holding a percent sign is never substituted again.
QString fillPlaceholders(const QString &text, const QString &folder, const QString &second)
{
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('%') && i + 1 < text.size()) {
            const QChar digit = text.at(i + 1);
            if (digit == QLatin1Char('1') || digit == QLatin1Char('2')) {
                result += digit == QLatin1Char('1') ? folder : second;
                ++i;
                continue;
            }
        }
        result += text.at(i);
    }
    return result;
}

bool isDocumentation(Kind kind)
{
    return kind == Kind::TextDoc || kind == Kind::Html || kind == Kind::J1939TextDoc
           || kind == Kind::J1939Html;
}

} // namespace

// A row whose factory is empty belongs to a generator that is not part of this build;
// the run skips it without a message. Adding a generator means giving its row a factory.
const QList<GenerationRun::GeneratorRow> &GenerationRun::generatorRows()
{
    static const QList<GeneratorRow> rows = {
        {Kind::TextDoc, QT_TR_NOOP("The file in %2_doc.txt in %1 is not writable"),
         QT_TR_NOOP("Generation of textual object dictionary documentation in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new TextDocGenerator; }},
        {Kind::Indices, QT_TR_NOOP("The file in gen_indices.h in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_indices.h in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             auto *generator = new IndicesGenerator;
             QList<unsigned char> lines;
             for (quint8 line : context.lines->canopenLines)
                 lines.append(line);
             generator->setLines(lines);
             return generator;
         }},
        {Kind::Html, QT_TR_NOOP("The file in %2.html in %1 is not writable"),
         QT_TR_NOOP("Generation of HTML object dictionary documentation in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new HTMLGenerator; }},
        {Kind::ObjDict, QT_TR_NOOP("The file gen_objdict.c in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_objdict.c in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             return new ObjDictGenerator(context.compact);
         }},
        {Kind::VobjDict, QT_TR_NOOP("The file gen_vobjdict.c in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_vobjdict.c in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new VobjDictGenerator; }},
        {Kind::Pgn, QT_TR_NOOP("The file gen_pgn.c in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_pgn.c in %1 started"), nullptr},
        {Kind::MultiPro, QT_TR_NOOP("The file gen_mp.c in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_mp.c in %1 started"), nullptr},
        {Kind::J1939TextDoc, QT_TR_NOOP("The file in %2_doc.txt in %1 is not writable"),
         QT_TR_NOOP("Generation of textual PGN documentation in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new J1939TextDocGenerator; }},
        {Kind::J1939Html, QT_TR_NOOP("The file in %2.html in %1 is not writable"),
         QT_TR_NOOP("Generation of HTML pgn documentation in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new J1939HTMLGenerator; }},
        {Kind::Dbc, QT_TR_NOOP("The file in %2.dbc in %1 is not writable"),
         QT_TR_NOOP("Generation of DBC_file in %1 started"), nullptr},
        {Kind::Srdo, QT_TR_NOOP("The file gen_srdo.c in %1 is not writable"), nullptr,
         [](const Context &) -> AbstractGenerator * { return new SrdoGenerator; }},
        {Kind::CoDefine, QT_TR_NOOP("The file gen_define.h in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_define.h in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             auto *generator = new CoDefineGenerator;
             generator->setCounterFromProject(context.invokedByNetworkTool);
             return generator;
         }},
        {Kind::ExtDecl, QT_TR_NOOP("The file gen_extern_decl.h in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_extern_decl.h in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new ExtDeclGenerator; }},
        {Kind::Indication, QT_TR_NOOP("The file gen_indication.h in %1 is not writable"),
         QT_TR_NOOP("Generation of gen_indication in %1 started"),
         [](const Context &) -> AbstractGenerator * { return new indicationgenerator; }},
        {Kind::Csv, QT_TR_NOOP("The file %2.csv in %1 is not writable"),
         QT_TR_NOOP("Generation of CSV file in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             auto *generator = new CSVGenerator;
             generator->setMultiLine(context.lines->multiLineProject());
             return generator;
         }},
        {Kind::Eds, QT_TR_NOOP("The EDS file %2.eds in %1 is not writable"),
         QT_TR_NOOP("Generation of %2 EDS file in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             auto *generator = new EDSGenerator(context.edsVariant);
             generator->setMultiLine(context.lines->multiLineProject());
             return generator;
         }},
        {Kind::Xdd, QT_TR_NOOP("The XDD file %2.xdd in %1 is not writable"),
         QT_TR_NOOP("Generation of XDD file in %1 started"),
         [](const Context &context) -> AbstractGenerator * {
             auto *generator = new XDDGenerator;
             generator->setMultiLine(context.lines->multiLineProject());
             return generator;
         }},
    };
    return rows;
}

const GenerationRun::GeneratorRow *GenerationRun::generatorRow(GeneratorKind kind)
{
    for (const GeneratorRow &row : generatorRows()) {
        if (row.kind == kind)
            return &row;
    }
    return nullptr;
}

void GenerationRun::setFactory(GeneratorKind kind, Factory factory)
{
    factories.insert(kind, std::move(factory));
}

void GenerationRun::runGeneratorTable(bool compact)
{
    RowContext context;
    context.lines = &lines;
    // Rows for the whole project run with the project's first line as their active line.
    context.line = lines.lines.value(0);
    context.compact = compact;
    context.invokedByNetworkTool = invokedByNetworkTool;
    const auto forLine = [&context](quint8 line) {
        RowContext lineContext = context;
        lineContext.line = line;
        return lineContext;
    };

    if (lines.canopenLine()) {
        for (quint8 line : lines.canopenLines)
            runRow(Kind::TextDoc, forLine(line));
        runRow(Kind::Indices, forLine(lines.canopenLines.first()));
        for (quint8 line : lines.canopenLines)
            runRow(Kind::Html, forLine(line));
        runCanopenSources(context);
        for (quint8 line : lines.j1939Lines)
            runJ1939Documentation(line);
    }
    if (srdoObjectsPresent())
        runRow(Kind::Srdo, context);
    if (runRow(Kind::CoDefine, context))
        reportUserSection();
    if (lines.j1939Only()) {
        runRow(Kind::Pgn, context);
        for (quint8 line : lines.j1939Lines)
            runJ1939Documentation(line);
        if (database->getJ1939SettingsValue(QStringLiteral("j1939adapter")).trimmed()
            != QLatin1String("1")) {
            for (const char *file : {"gen_j1939_adapter.c", "gen_j1939_adapter.cs",
                                     "j1939_adapter.cs", "j1939_adapter.c"})
                deleteOutputFile(QLatin1String(file));
        }
        deleteOutputFile(QStringLiteral("gen_indication.h"));
    }
    if (lines.j1939Line() || lines.rawCanLine())
        runRow(Kind::ExtDecl, context);
    if (lines.canopenLine()) {
        runRow(Kind::Indication, context);
        runDescriptions(context);
    }
}

void GenerationRun::runCanopenSources(const RowContext &context)
{
    if (!lines.j1939Line()) {
        runRow(Kind::ObjDict, context);
        if (virtualObjectsPresent())
            runRow(Kind::VobjDict, context);
        else
            deleteOutputFile(QStringLiteral("gen_vobjdict.c"));
    } else if (lines.lines.size() == 1) {
        runRow(Kind::ObjDict, context);
        runRow(Kind::Pgn, context);
    } else {
        runRow(Kind::MultiPro, context);
    }
}

void GenerationRun::runJ1939Documentation(quint8 line)
{
    RowContext context;
    context.lines = &lines;
    context.line = line;
    runRow(Kind::J1939TextDoc, context);
    runRow(Kind::J1939Html, context);
    runRow(Kind::Dbc, context);
}

void GenerationRun::runDescriptions(const RowContext &context)
{
    for (quint8 line : lines.canopenLines) {
        RowContext lineContext = context;
        lineContext.line = line;
        runRow(Kind::Csv, lineContext);
    }
    for (quint8 line : lines.canopenLines) {
        RowContext lineContext = context;
        lineContext.line = line;
        runEdsVariants(lineContext);
    }
    if (database->getGeneralSettingsValue(QStringLiteral("canfd_supported")).toInt() > 0) {
        for (quint8 line : lines.canopenLines) {
            RowContext lineContext = context;
            lineContext.line = line;
            runRow(Kind::Xdd, lineContext);
        }
    }
}

void GenerationRun::runEdsVariants(const RowContext &context)
{
    const QStringList variants = getEdsDefines(context.line);
    if (variants.size() > 1)
        report(tr("Warning: multiple different EDS files to be generated.\n"));
    for (const QString &variant : variants) {
        RowContext variantContext = context;
        variantContext.edsVariant = variant;
        if (runRow(Kind::Eds, variantContext, variant) && variant.isEmpty()
            && externalEffectsEnabled)
            emit standardEdsGenerated(outputDirectory() + QLatin1Char('/') + projectName
                                      + QStringLiteral(".eds"));
    }
}

bool GenerationRun::runRow(GeneratorKind kind, const RowContext &context, const QString &startedArg)
{
    const GeneratorRow *row = generatorRow(kind);
    const Factory create =
        factories.contains(kind) ? factories.value(kind) : (row ? row->create : Factory());
    if (!row || !create)
        return false;
    AbstractGenerator *generator = create(context);
    if (!generator)
        return false;
    if (isDocumentation(kind))
        generator->setMultiLine(lines.multiLineProject());
    generator->setJ1939Present(lines.j1939Line());
    generator->setMultiProtocol(lines.multiProtocol());
    generator->setPreferences(userPreferences);
    const QString folder = outputDirectory();
    const QString started = row->started
                                ? fillPlaceholders(tr(row->started), folder,
                                                   kind == Kind::Eds ? startedArg : projectName)
                                : QString();
    return runGenerator(generator, context.line,
                        fillPlaceholders(tr(row->notWritable), folder, projectName), started);
}

bool GenerationRun::runGenerator(AbstractGenerator *generator, quint8 line,
                                 const QString &notWritable, const QString &started)
{
    if (generator->setDataBase(database) != AbstractGenerator::Done)
        return refuseGenerator(generator, tr("the project holds no line"));
    if (generator->setOutputDirectory(outputDirectory()) != AbstractGenerator::Done)
        return refuseGenerator(generator,
                               tr("the folder %1 cannot be read").arg(outputDirectory()));
    if (generator->setProjectName(projectName) != AbstractGenerator::Done
        || generator->setActiveLine(line) != AbstractGenerator::Done)
        return refuseGenerator(generator, tr("line %1 does not exist").arg(line));
    if (!generator->checkWritability()) {
        report(notWritable);
        ++filesNotWritten;
        delete generator;
        return false;
    }
    connect(generator, &AbstractGenerator::progress, this, &GenerationRun::generatorProgress);
    if (generator->startGeneration() != AbstractGenerator::Done)
        return refuseGenerator(generator, tr("it could not be started"));
    if (!started.isEmpty())
        report(started);
    generator->wait();
    const bool written = !generator->hasFailed();
    if (!written)
        ++filesNotWritten;
    delete generator;
    return written;
}

bool GenerationRun::refuseGenerator(AbstractGenerator *generator, const QString &reason)
{
    const QString name = generator->objectName().isEmpty()
                             ? QString::fromLatin1(generator->metaObject()->className())
                             : generator->objectName();
    report(tr("Generation of %1 failed: %2").arg(name, reason));
    ++filesNotWritten;
    delete generator;
    return false;
}

void GenerationRun::reportUserSection()
{
    const QString section =
        CoDefineGenerator::readUserSection(outputDirectory() + QStringLiteral("/gen_define.h"));
    if (!section.trimmed().isEmpty())
        report(tr("gen_define.h contains user section:\n%1").arg(section));
}

void GenerationRun::deleteOutputFile(const QString &fileName)
{
    QFile::remove(outputDirectory() + QLatin1Char('/') + fileName);
}

bool GenerationRun::srdoObjectsPresent()
{
    for (quint8 line : lines.lines) {
        if (!database->getIndices(line, 0x1301, 0x137F).isEmpty())
            return true;
    }
    return false;
}

bool GenerationRun::virtualObjectsPresent()
{
    return VobjDictGenerator::areVirtualObjectsPresent(database);
}
