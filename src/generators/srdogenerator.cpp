#include "generators/srdogenerator.h"

#include "database/objectdatabase.h"
#include "generators/generatedtext.h"
#include "generators/objdictgenerator.h"
#include "panelkit/helper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace {

const quint16 firstSrdo = 0x1301;
const quint16 lastSrdo = 0x1340;
const quint16 mappingOffset = 0x80;

// The C type of a process variable: the type of the stack's value tables for its data
// type, so that gen_objdict.c and gen_srdo.c see the same variable. Empty for strings,
// domains and the types kept as octet strings.
QString processVariableType(quint16 datatype)
{
    static const QMap<QString, QString> tableTypes{
        {QStringLiteral("u8"), QStringLiteral("UNSIGNED8")},
        {QStringLiteral("u16"), QStringLiteral("UNSIGNED16")},
        {QStringLiteral("u24"), QStringLiteral("UNSIGNED24")},
        {QStringLiteral("u32"), QStringLiteral("UNSIGNED32")},
        {QStringLiteral("u40"), QStringLiteral("UNSIGNED40")},
        {QStringLiteral("u48"), QStringLiteral("UNSIGNED48")},
        {QStringLiteral("u64"), QStringLiteral("UNSIGNED64")},
        {QStringLiteral("i8"), QStringLiteral("INTEGER8")},
        {QStringLiteral("i16"), QStringLiteral("INTEGER16")},
        {QStringLiteral("i24"), QStringLiteral("INTEGER24")},
        {QStringLiteral("i32"), QStringLiteral("INTEGER32")},
        {QStringLiteral("r32"), QStringLiteral("REAL32")}};
    return tableTypes.value(ObjDictGenerator::valueArrayType(datatype));
}

// Objects 0x1000..0xFFFF of a line; 0 for a line the project does not have.
int objectCount(const ObjectDataBase *db, quint8 line)
{
    if (!db || !db->existNode(line))
        return 0;
    return db->getIndices(line, 0x1000, 0xFFFF).size();
}

quint32 numberOf(const QString &text)
{
    quint64 u = 0;
    qint64 s = 0;
    ObjDictGenerator::parseInteger(text, u, s);
    return quint32(u);
}

} // namespace

SrdoGenerator::SrdoGenerator(QObject *parent)
    : AbstractGenerator(parent),
      templateDir(QCoreApplication::applicationDirPath() + QStringLiteral("/data"))
{
}

bool SrdoGenerator::checkWritability()
{
    return isTargetWritable(QStringLiteral("gen_srdo.c"));
}

unsigned SrdoGenerator::startGeneration()
{
    return startWorker(QStringLiteral("gen_srdo.c"));
}

unsigned SrdoGenerator::abortGeneration()
{
    return requestAbort();
}

void SrdoGenerator::setTemplateDirectory(const QString &directory)
{
    if (!isRunning())
        templateDir = directory;
}

quint8 SrdoGenerator::Srdo::direction() const
{
    return quint8(numberOf(parameters.value(1)));
}

void SrdoGenerator::doJob()
{
    // The file follows gen_objdict.c and gen_define.h into the multi-line form, so that
    // its functions take the line parameter whenever the stack is built for several lines.
    beginJob(true);
    QSharedPointer<QSaveFile> file = createOutputFile(QStringLiteral("gen_srdo.c"));
    if (!file) {
        failJob();
        return;
    }
    GeneratedText out(file.data());
    lockDataBase(true);
    emit progress(25);
    determineLines();
    loadSrdos();
    prepareOutputFile(out);
    addStaticModuleData(out);
    addSRDOProcessVariables(out);
    emit progress(50);
    addSRDOData(out);
    addVariableSRDOFunctions(out);
    emit progress(75);
    addFixedFileParts(out);
    out.flush();
    finishJob({file.data()});
}

void SrdoGenerator::determineLines()
{
    const ObjectDataBase *db = dataBase();
    lines.clear();
    multiLine = objectCount(db, 1) > 1;
    if (!multiLine) {
        lines.append(0);
        return;
    }
    for (quint8 line = 0; line < 16; ++line) {
        if (objectCount(db, line) > 1)
            lines.append(line);
    }
}

void SrdoGenerator::loadSrdos()
{
    srdos.clear();
    const ObjectDataBase *db = dataBase();
    if (!db)
        return;
    for (quint8 line : qAsConst(lines)) {
        if (!db->existNode(line))
            continue;
        for (quint16 index : db->getIndices(line, firstSrdo, lastSrdo))
            srdos.append(readSrdo(line, index));
    }
}

SrdoGenerator::Srdo SrdoGenerator::readSrdo(quint8 line, quint16 index) const
{
    const ObjectDataBase *db = dataBase();
    Srdo srdo;
    srdo.line = line;
    srdo.index = index;
    srdo.number = quint8(index - 0x1300);
    for (quint8 sub = 1; sub <= 6; ++sub) {
        if (db->existSubIndex(line, index, sub))
            srdo.parameters.insert(sub, db->getSubIndexValue(line, index, sub));
    }
    if (db->existSubIndex(line, 0x13FF, srdo.number))
        srdo.signature = db->getSubIndexValue(line, 0x13FF, srdo.number);

    const quint16 mapIndex = index + mappingOffset;
    const bool hasCount = db->existSubIndex(line, mapIndex, 0);
    srdo.mapCount = hasCount ? db->getSubIndexValue(line, mapIndex, 0) : QString();
    const quint32 mapped = numberOf(srdo.mapCount);
    int positions[2] = {0, 0};
    for (quint8 sub : db->getSubIndices(line, mapIndex, 1)) {
        const quint32 value = numberOf(db->getSubIndexValue(line, mapIndex, sub));
        srdo.mapTable.append(value);
        if (hasCount && sub > mapped)
            continue;
        MappedObject object = mappedObject(line, value);
        object.inverted = sub % 2 == 0;
        object.position = positions[object.inverted];
        positions[object.inverted] += object.bits;
        srdo.mapped.append(object);
    }
    return srdo;
}

// The variable a mapping entry names: an application variable of the SRDO's line.
SrdoGenerator::MappedObject SrdoGenerator::mappedObject(quint8 line, quint32 value) const
{
    MappedObject object;
    object.index = quint16(value >> 16);
    object.sub = quint8(value >> 8);
    object.bits = quint8(value);
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (object.index < 0x1000 || !dataBase()->getSubIndexData(line, object.index, object.sub, data)
        || data.implementation != 2) {
        qDebug() << "SrdoGenerator: mapping entry" << Qt::hex << value
                 << "names no application variable";
        return object;
    }
    object.name = Helper::substituteVariables(data.varname.trimmed(), object.index, object.sub);
    object.type = processVariableType(data.datatype);
    return object;
}

QString SrdoGenerator::recordName(const Srdo &srdo) const
{
    QString name = QStringLiteral("srdo") + QString::number(srdo.number);
    if (isMultiLineForm())
        name += QStringLiteral("_line") + QString::number(srdo.line);
    return name;
}

QString SrdoGenerator::tableName(const Srdo &srdo) const
{
    QString name = QStringLiteral("mapTable") + QString::number(srdo.number);
    if (isMultiLineForm())
        name += QStringLiteral("_line") + QString::number(srdo.line);
    return name;
}

const SrdoGenerator::Srdo *SrdoGenerator::findSrdo(quint8 line, quint16 index) const
{
    for (const Srdo &srdo : srdos) {
        if (srdo.line == line && srdo.index == index)
            return &srdo;
    }
    return nullptr;
}

QString SrdoGenerator::setting(const char *key) const
{
    const ObjectDataBase *db = dataBase();
    return db ? db->getGeneralSettingsValue(QLatin1String(key)) : QString();
}

// The text of a template file; empty (the part is left out) when it cannot be read.
QString SrdoGenerator::templateText(const QString &fileName) const
{
    QFile file(templateDir + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "SrdoGenerator: template" << file.fileName()
                   << "missing:" << file.errorString();
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

void SrdoGenerator::prepareOutputFile(GeneratedText &out)
{
    writeFileHeader(out, QStringLiteral(" *  SRDO definitions for %1 - generated by %2 %3\n"),
                    QStringLiteral(" */\n\n"));
    out << "#include <stdlib.h>\n"
        << "#include <gen_define.h>\n"
        << "#include <co_canopen.h>\n"
        << "\n";
    writeApplicationHeaders(out);
    out << "/* shutdown function, called from srdo timer interrupt */\n"
        << "#ifndef SHUT_DOWN_APPLICATION\n"
        << "# define SHUT_DOWN_APPLICATION \n"
        << "#endif /* SHUT_DOWN_APPLICATION */\n"
        << "\n";
    writeLoopCounter(out);
    out << "/* local function prototypes */\n"
        << templateText(isMultiLineForm() ? QStringLiteral("srdoproto_ml.data")
                                          : QStringLiteral("srdoproto.data"));
}

void SrdoGenerator::writeApplicationHeaders(GeneratedText &out)
{
    const QString headers = setting("applicationheader").trimmed();
    if (headers.isEmpty())
        return;
    out << "/* application header file(s) */\n";
    for (const QString &header : headers.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << "#include <" << header << ">\n";
    out << "\n";
}

// A number gets the suffix u; other text (a macro of the application) stands as it is.
// Without a setting the counter is 10, the default of the stack settings.
void SrdoGenerator::writeLoopCounter(GeneratedText &out)
{
    QString counter = setting("srdo_loop_counter").trimmed();
    if (counter.isEmpty())
        counter = QStringLiteral("10");
    bool numeric = false;
    counter.toLongLong(&numeric, 0);
    out << "/*\n"
        << "* This counter used in SRDO timer ISR to check,\n"
        << "* if SRDO process is called outside interrupt in main loop\n"
        << "* (coSrdoProcess()). It gives the number of timer interrupts\n"
        << "* until main loop has to be called.\n"
        << "*/\n"
        << "#define SRDO_LOOP_COUNTER\t" << counter << (numeric ? "u" : "") << "\n"
        << "\n";
}

void SrdoGenerator::addStaticModuleData(GeneratedText &out)
{
    if (!isMultiLineForm()) {
        out << "static UNSIGNED8\tconfigurationValid = 0u;\n"
            << "static CO_NMT_STATE_T\tsrdoNmtState = CO_NMT_STATE_PREOP;\n"
            << "static UNSIGNED8\tsrdoConfigReady = 0u;\n"
            << "\n";
        return;
    }
    const auto perLine = [this](const char *value) {
        QStringList values;
        for (int i = 0; i < lines.size(); ++i)
            values << QLatin1String(value);
        return QStringLiteral("{") + values.join(QStringLiteral(", ")) + QStringLiteral("}");
    };
    out << "static UNSIGNED8\tconfigurationValid[CO_LINE_ARRAY_DECL] = " << perLine("0u") << ";\n"
        << "static CO_NMT_STATE_T\tsrdoNmtState[CO_LINE_ARRAY_DECL] = "
        << perLine("CO_NMT_STATE_PREOP") << ";\n"
        << "static UNSIGNED8\tsrdoConfigReady[CO_LINE_ARRAY_DECL] = " << perLine("0u") << ";\n"
        << "\n";
}

// Each variable is defined once, under the first line that maps it. Names that are no
// plain identifier (structure members, array elements) belong to the application.
void SrdoGenerator::addSRDOProcessVariables(GeneratedText &out)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    out << "/* SRDO process variables according to mapping */\n";
    QSet<QString> defined;
    for (quint8 line : qAsConst(lines)) {
        if (isMultiLineForm())
            out << "/* line " << line << " */\n";
        for (const Srdo &srdo : qAsConst(srdos)) {
            if (srdo.line != line)
                continue;
            for (const MappedObject &object : srdo.mapped) {
                if (object.type.isEmpty() || !identifier.match(object.name).hasMatch()
                    || defined.contains(object.name))
                    continue;
                defined.insert(object.name);
                out << object.type << "\t" << object.name << "; /* 0x"
                    << QStringLiteral("%1").arg(object.index, 4, 16, QLatin1Char('0')) << ":"
                    << object.sub << "*/\n";
            }
        }
    }
    out << "\n";
}

void SrdoGenerator::addSRDOData(GeneratedText &out)
{
    for (const Srdo &srdo : qAsConst(srdos)) {
        QStringList values;
        for (quint32 value : srdo.mapTable)
            values << QStringLiteral("0x%1u").arg(value, 8, 16, QLatin1Char('0'));
        out << "static CO_SRDO_DATA_T\t" << recordName(srdo) << ";\n"
            << "static const UNSIGNED32\t" << tableName(srdo) << "[" << srdo.mapTable.size()
            << "] = {" << values.join(QStringLiteral(", ")) << " };\n";
    }
    out << "\n";
}

void SrdoGenerator::addFixedFileParts(GeneratedText &out)
{
    out << templateText(isMultiLineForm() ? QStringLiteral("srdo_ml.data")
                                          : QStringLiteral("srdo.data"));
}
