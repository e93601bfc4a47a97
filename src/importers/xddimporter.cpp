#include "importers/xddimporter.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>

namespace {

const quint8 managedConstant = 1;

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

// Hexadecimal digits, also with a "0x" prefix or an "h" suffix as some files write them.
bool hexNumber(QString text, uint limit, uint &value)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text.remove(0, 2);
    else if (text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        text.chop(1);
    bool ok = false;
    value = text.toUInt(&ok, 16);
    return ok && value <= limit;
}

// A signed 64-bit number with C prefixes; an unsigned text beyond it wraps as stored.
bool limitNumber(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok, 0);
    if (!ok)
        value = qint64(text.trimmed().toULongLong(&ok, 0));
    return ok;
}

} // namespace

XDDImporter::XDDImporter(QObject *parent) : BaseDataImporter(parent) {}

void XDDImporter::doImport()
{
    m_running = true;
    m_lastError.clear();
    m_productName.clear();
    m_objects.clear();
    m_parameters.clear();
    m_diagnostics.clear();
    m_noted.clear();
    m_repeats.clear();
    m_otherObjects = 0;
    m_namespaceNoted = false;
    if (m_database) {
        m_database->setLockWriteAccess(false);
        m_database->setBlockUpdates(true);
    }
    QFile file(importFileName());
    QStringList errors;
    if (importFileName().isEmpty() || !file.open(QIODevice::ReadOnly)) {
        // The dialog and the command line check the file before; nothing is reported here.
        m_lastError = tr("%1 cannot be read.").arg(importFileName());
        error(0, m_lastError);
    } else {
        QXmlStreamReader xml(&file);
        errors = readDocument(xml);
        file.close();
    }
    if (m_database) {
        if (!m_productName.isEmpty())
            m_database->setDescriptionSettingsValue(QStringLiteral("ProductName"), m_productName);
        if (!DictionaryObject::storeAll(m_objects, *m_database, activeLine()))
            errors.append(
                tr("The objects read from %1 could not be stored.").arg(importFileName()));
        m_database->setBlockUpdates(false);
    }
    for (auto it = m_repeats.constBegin(); it != m_repeats.constEnd(); ++it)
        m_diagnostics[m_noted.value(it.key())].text +=
            tr(" (and %1 more of this kind)").arg(it.value());
    for (const QString &text : qAsConst(errors)) {
        m_lastError = text;
        emit importError(text);
    }
    finishImport();
}

QStringList XDDImporter::readDocument(QXmlStreamReader &xml)
{
    QStringList errors;
    bool objectSeen = false;
    quint16 current = 0;
    int firstOtherObject = 0;
    while (!xml.atEnd() && !abortRequested()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("productName")) {
            m_productName = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (name == QLatin1String("CANopenFDDataObject")) {
            checkNamespace(xml);
            current = parseObject(xml);
            objectSeen = true;
        } else if (name == QLatin1String("CANopenFDDataElement")) {
            if (current != 0)
                parseSubObject(xml, current);
            else
                note(latin("orphan"), int(xml.lineNumber()),
                     tr("a CANopenFDDataElement outside a readable CANopenFDDataObject was "
                        "skipped"));
        } else if (name == QLatin1String("parameter")) {
            readParameter(xml);
        } else if (name == QLatin1String("CANopenObject")) {
            if (m_otherObjects++ == 0)
                firstOtherObject = int(xml.lineNumber());
        }
    }
    if (m_otherObjects > 0 && !objectSeen)
        m_diagnostics.append({importFileName(), firstOtherObject,
                              tr("the file describes %1 CANopen objects (CANopenObject) of a "
                                 "classic CANopen device; only CANopen FD objects "
                                 "(CANopenFDDataObject) are read")
                                  .arg(m_otherObjects),
                              EdsParser::Diagnostic::Warning, -1});
    if (!objectSeen) {
        qDebug() << "XDDImporter: no cia 1311" << importFileName();
        errors.append(tr("%1 has is not in CiA 1311 XDD format.").arg(importFileName()));
        error(0, errors.last());
    }
    if (xml.hasError()) {
        errors.append(xml.errorString());
        error(int(xml.lineNumber()), errors.last());
    }
    return errors;
}

// A parameterList entry: its uniqueID, access and the child elements that give data type,
// default value and value range.
void XDDImporter::readParameter(QXmlStreamReader &xml)
{
    const QString id = xml.attributes().value(QLatin1String("uniqueID")).toString();
    Parameter parameter;
    parameter.access = xml.attributes().value(QLatin1String("access")).toString();
    parameter.line = int(xml.lineNumber());
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QStringRef name = xml.name();
        const QString value = xml.attributes().value(QLatin1String("value")).toString();
        if (name == QLatin1String("defaultValue"))
            parameter.defaultValue = value;
        else if (name == QLatin1String("minValue"))
            parameter.lowLimit = value;
        else if (name == QLatin1String("maxValue"))
            parameter.highLimit = value;
        else if (name == QLatin1String("dataTypeIDRef"))
            parameter.dataType = xml.attributes().value(QLatin1String("uniqueIDRef")).toString();
        else if (depth == 2 && parameter.dataType.isEmpty()
                 && Helper::mapDataTypeString(name.toString()) != 0)
            parameter.dataType = name.toString();
    }
    if (!id.isEmpty())
        m_parameters.insert(id, parameter);
}

const XDDImporter::Parameter *XDDImporter::referencedParameter(QXmlStreamReader &xml)
{
    const QString id = xml.attributes().value(QLatin1String("uniqueIDRef")).toString();
    if (id.isEmpty())
        return nullptr;
    const auto found = m_parameters.constFind(id);
    if (found != m_parameters.constEnd())
        return &found.value();
    note(latin("unresolved"), int(xml.lineNumber()),
         tr("uniqueIDRef '%1' names no parameter of the parameterList before it").arg(id));
    return nullptr;
}

QString XDDImporter::attribute(QXmlStreamReader &xml, const char *name,
                               const QString &fromParameter)
{
    const QStringRef value = xml.attributes().value(QLatin1String(name));
    const int line = int(xml.lineNumber());
    if (!value.trimmed().isEmpty())
        return value.toString();
    if (xml.attributes().hasAttribute(QLatin1String(name)))
        note(QStringLiteral("empty ") + latin(name), line,
             tr("the attribute %1 is empty; it was read as missing").arg(latin(name)));
    if (fromParameter.isEmpty())
        return QString();
    note(
        QStringLiteral("referenced ") + latin(name), line,
        tr("%1 was taken from the parameter the element refers to (uniqueIDRef)").arg(latin(name)));
    return fromParameter;
}

quint16 XDDImporter::dataType(QXmlStreamReader &xml, const Parameter *parameter)
{
    const QString text = attribute(xml, "dataType", parameter ? parameter->dataType : QString());
    if (text.isEmpty())
        return 5;
    uint value = 0;
    if (hexNumber(text, 0xFFFF, value))
        return quint16(value);
    const quint16 named = Helper::mapDataTypeString(text);
    if (named != 0) {
        note(latin("type name"), int(xml.lineNumber()),
             tr("the data type '%1' is given by name; it was read as 0x%2")
                 .arg(text)
                 .arg(named, 4, 16, QLatin1Char('0')));
        return named;
    }
    note(latin("unknown type"), int(xml.lineNumber()),
         tr("the data type '%1' is unknown; UNSIGNED8 was taken").arg(text));
    return 5;
}

quint16 XDDImporter::parseObject(QXmlStreamReader &xml)
{
    const int line = int(xml.lineNumber());
    const Parameter *parameter = referencedParameter(xml);
    uint index = 0;
    const QString indexText = attribute(xml, "index", QString());
    if (!hexNumber(indexText, 0xFFFF, index) || index == 0) {
        note(latin("index"), line,
             tr("a CANopenFDDataObject without a valid index ('%1') was skipped with its "
                "elements")
                 .arg(indexText));
        return 0;
    }
    DictionaryObject &object = m_objects[quint16(index)];
    object.index = quint16(index);
    object.data = ObjectDataBase::INDEX_DATA_T();
    object.data.name = xml.attributes().value(QLatin1String("name")).toString();
    const QString type = attribute(xml, "objectType", QString());
    bool ok = type.isEmpty();
    object.data.objecttype = type.isEmpty() ? 7 : quint8(type.toUInt(&ok));
    if (!ok) {
        object.data.objecttype = Helper::string2objectCode(type, &ok);
        if (!ok)
            note(latin("object type"), line,
                 tr("the object type '%1' is unknown; VAR was taken").arg(type));
    }
    object.data.datatype = dataType(xml, parameter);
    return quint16(index);
}

void XDDImporter::parseSubObject(QXmlStreamReader &xml, quint16 index)
{
    const int line = int(xml.lineNumber());
    const Parameter *parameter = referencedParameter(xml);
    uint sub = 0;
    const QString subText = attribute(xml, "subIndex", QString());
    if (!hexNumber(subText, 0xFF, sub)) {
        note(latin("sub-index"), line,
             tr("a CANopenFDDataElement of 0x%1 without a valid subIndex ('%2') was skipped")
                 .arg(index, 4, 16, QLatin1Char('0'))
                 .arg(subText));
        return;
    }
    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.name = xml.attributes().value(QLatin1String("name")).toString();
    entry.datatype = dataType(xml, parameter);
    const QString value =
        attribute(xml, "defaultValue", parameter ? parameter->defaultValue : QString());
    entry.defaultvalue = EdsParser::nodeIdExpression(value);
    if (entry.defaultvalue != value)
        note(latin("node-ID"), line,
             tr("the node-ID expression '%1' was stored as '%2'").arg(value, entry.defaultvalue));
    entry.defaultineds = !entry.defaultvalue.isEmpty();
    entry.writedefaulttoeds = entry.defaultineds ? 1 : 0;
    entry.implementation = 0;

    const QString access = parameter ? parameter->access : QString();
    QString usdo = attribute(xml, "accessUSDO", QString());
    if (usdo.isEmpty() && !access.isEmpty()) {
        const QString stored = Helper::normalizeAccessType(access);
        usdo = stored == QLatin1String("const") ? QStringLiteral("ro") : stored.left(2);
    }
    const QString pdo = attribute(xml, "accessPDO", QString());
    static const QHash<QString, quint8> mappings = {
        {latin("no"), 0}, {latin("t"), 4}, {latin("r"), 3}, {latin("tr"), 1}};
    entry.pdomapping = mappings.value(pdo, 0);
    if (!pdo.isEmpty() && !mappings.contains(pdo))
        note(latin("accessPDO"), line,
             tr("accessPDO '%1' is unknown; the sub-index was read as not mappable").arg(pdo));
    if (usdo == QLatin1String("wo"))
        entry.accesstype = QStringLiteral("wo");
    else if (usdo == QLatin1String("rw"))
        entry.accesstype = pdo == QLatin1String("t")   ? QStringLiteral("rwr")
                           : pdo == QLatin1String("r") ? QStringLiteral("rww")
                                                       : QStringLiteral("rw");
    else
        entry.accesstype = QStringLiteral("ro");
    if (!usdo.isEmpty() && usdo != QLatin1String("ro") && usdo != QLatin1String("wo")
        && usdo != QLatin1String("rw"))
        note(latin("accessUSDO"), line,
             tr("accessUSDO '%1' is unknown; the sub-index was read as read-only").arg(usdo));

    QString modification = attribute(xml, "modification", QString());
    if (modification.isEmpty() && access == QLatin1String("const"))
        modification = QStringLiteral("false");
    if (modification == QLatin1String("false")) {
        entry.accesstype = QStringLiteral("const");
        entry.pdomapping = 0;
        entry.implementation = managedConstant;
    }
    readLimits(xml, parameter, entry);
    m_objects[index].subs.insert(quint8(sub), entry);
}

void XDDImporter::readLimits(QXmlStreamReader &xml, const Parameter *parameter,
                             ObjectDataBase::SUBINDEX_DATA_T &entry)
{
    const QString low = attribute(xml, "lowLimit", parameter ? parameter->lowLimit : QString());
    const QString high = attribute(xml, "highLimit", parameter ? parameter->highLimit : QString());
    if (low.isEmpty() && high.isEmpty()) {
        qint64 typeLow = 0;
        qint64 typeHigh = 0;
        Helper::getDefaultLimitsInt64(entry.datatype, typeLow, typeHigh);
        entry.lowlimit = typeLow;
        entry.uplimit = typeHigh;
        entry.limitineds = false;
        return;
    }
    entry.lowlimit = 0;
    entry.uplimit = 0;
    entry.limitineds = true;
    for (const auto &limit : {qMakePair(&low, &entry.lowlimit), qMakePair(&high, &entry.uplimit)}) {
        if (!limit.first->isEmpty() && !limitNumber(*limit.first, *limit.second))
            note(latin("limit"), int(xml.lineNumber()),
                 tr("the limit '%1' is no number; 0 was taken").arg(*limit.first));
    }
}

void XDDImporter::checkNamespace(QXmlStreamReader &xml)
{
    if (m_namespaceNoted || xml.namespaceUri().isEmpty())
        return;
    m_namespaceNoted = true;
    note(latin("namespace"), int(xml.lineNumber()),
         tr("the objects are in the namespace '%1', CANopen FD descriptions use none; they were "
            "read by their names")
             .arg(xml.namespaceUri().toString()));
}

void XDDImporter::note(const QString &kind, int line, const QString &text)
{
    if (m_noted.contains(kind)) {
        ++m_repeats[kind];
        return;
    }
    m_noted.insert(kind, m_diagnostics.size());
    m_diagnostics.append({importFileName(), line, text, EdsParser::Diagnostic::Warning, -1});
}

void XDDImporter::error(int line, const QString &text)
{
    m_diagnostics.append({importFileName(), line, text, EdsParser::Diagnostic::Error, -1});
}
