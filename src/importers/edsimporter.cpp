#include "importers/edsimporter.h"

#include "database/objectdatabase.h"
#include "panelkit/canopendatatype.h"

#include <QDebug>

EDSImporter::EDSImporter(QObject *parent) : BaseDataImporter(parent)
{
    m_parser = new EdsParser(this);
}

void EDSImporter::doImport()
{
    m_running = true;
    m_objects.clear();
    m_notes.clear();
    m_lastError.clear();
    if (m_database) {
        m_database->setLockWriteAccess(false);
        m_database->setBlockUpdates(true);
    }
    if (parse()) {
        if (m_database) {
            m_database->setDescriptionSettingsLine(activeLine());
            importFileDeviceInfo();
        }
        addMissingPdoObjects();
        applyComments();
        if (m_database && !DictionaryObject::storeAll(m_objects, *m_database, activeLine()))
            m_lastError = tr("The objects read from %1 could not be stored.").arg(importFileName());
    }
    if (m_database)
        m_database->setBlockUpdates(false);
    if (!m_lastError.isEmpty()) {
        qDebug() << "EDSImporter:" << m_lastError;
        emit importError(m_lastError);
    }
    finishImport();
}

// Reads the file with a new parser; false (with the reason as last error) when nothing
// could be read.
bool EDSImporter::parse()
{
    delete m_parser;
    m_parser = new EdsParser(this);
    connect(m_parser, &EdsParser::newIndex, this, &EDSImporter::newIndex, Qt::DirectConnection);
    connect(m_parser, &EdsParser::newSubIndex, this, &EDSImporter::newSubIndex,
            Qt::DirectConnection);
    m_parsed = true;
    if (importFileName().isEmpty()) {
        m_lastError = tr("No file to read.");
        return false;
    }
    if (m_parser->LoadEds(importFileName()))
        return true;
    const QList<EdsParser::Diagnostic> problems = m_parser->diagnostics();
    m_lastError = problems.isEmpty() ? tr("%1 cannot be read.").arg(importFileName())
                                     : problems.last().toString();
    return false;
}

bool EDSImporter::inRange(quint16 index) const
{
    return index >= lowIndex() && index <= highIndex();
}

void EDSImporter::newIndex(const CAN::CANopenIndex &object)
{
    if (!inRange(object.index))
        return;
    DictionaryObject &stored = m_objects[object.index];
    stored.index = object.index;
    stored.data = ObjectDataBase::INDEX_DATA_T();
    stored.data.name = object.name;
    stored.data.objecttype = object.objectType;
    stored.data.datatype = object.dataType;
    // A compact array, or a record written the same way (as some DCF writers do for PDO
    // mappings), lists no sub-index 0; it counts the elements.
    if ((object.objectType != CAN::OC_ARRAY && object.objectType != CAN::OC_RECORD)
        || object.compactCount == 0)
        return;
    ObjectDataBase::SUBINDEX_DATA_T count;
    count.name = QStringLiteral("Highest subindex supported");
    count.datatype = 5;
    count.accesstype = QStringLiteral("ro");
    count.pdomapping = 0;
    count.defaultvalue = QString::number(object.compactCount);
    stored.subs.insert(0, count);
    for (int k = 1; k <= object.compactCount; ++k) {
        ObjectDataBase::SUBINDEX_DATA_T element;
        element.name = object.name + tr(" %1").arg(k);
        element.datatype = object.dataType;
        element.accesstype = EdsParser::storedAccessType(object.compactAccessType);
        element.pdomapping = object.compactPdoMapping;
        stored.subs.insert(quint8(k), element);
    }
}

void EDSImporter::newSubIndex(const CAN::CANopenSubIndex &subObject)
{
    if (!inRange(subObject.index))
        return;
    ObjectDataBase::SUBINDEX_DATA_T entry;
    entry.datatype = subObject.dataType;
    entry.accesstype = EdsParser::storedAccessType(subObject.accessType);
    entry.name = subObject.parameterName;
    // A DCF's configured value is the default of the project; where the DCF configures
    // nothing, its DefaultValue stays.
    entry.defaultvalue = m_dcfMode && !subObject.parameterValue.isEmpty() ? subObject.parameterValue
                                                                          : subObject.defaultValue;
    entry.writedefaulttoeds = subObject.defaultMode != 0;
    entry.currentvalue = subObject.parameterValue;
    entry.denotation = subObject.denotation;
    entry.dcfcomponent = !entry.currentvalue.isEmpty();
    entry.refuseread = subObject.refuseRead;
    entry.refusewrite = subObject.refuseWrite;
    if (!subObject.pdoMapping)
        entry.pdomapping = 0;
    else if (entry.accesstype == QLatin1String("ro") || entry.accesstype == QLatin1String("rwr"))
        entry.pdomapping = 4;
    else if (entry.accesstype == QLatin1String("wo") || entry.accesstype == QLatin1String("rww"))
        entry.pdomapping = 3;
    else
        entry.pdomapping = 1;
    // Without limits in the file the parser gives the data type's own.
    entry.lowlimit = subObject.lowLimit;
    entry.uplimit = subObject.highLimit;
    entry.limitineds = subObject.hasLimits;
    DictionaryObject &object = m_objects[subObject.index];
    object.index = subObject.index;
    if (subObject.subIndex == 1 && object.data.objecttype == 8)
        object.data.datatype = entry.datatype;
    if (entry.datatype == CAN::DT_DOMAIN) {
        entry.implementation = 2;
        entry.varname = QStringLiteral("v_%1%2").arg(subObject.index).arg(subObject.subIndex);
    }
    object.subs.insert(subObject.subIndex, entry);
}

QList<EdsParser::Diagnostic> EDSImporter::diagnostics() const
{
    return m_parser->diagnostics() + m_notes;
}

QList<quint16> EDSImporter::objectsWithErrors() const
{
    QList<quint16> result;
    for (quint16 index : m_parser->objectsWithErrors()) {
        if (inRange(index))
            result.append(index);
    }
    return result;
}

bool EDSImporter::hasFileError() const
{
    const QList<EdsParser::Diagnostic> problems = m_parser->diagnostics();
    for (const EdsParser::Diagnostic &problem : problems) {
        if (problem.severity == EdsParser::Diagnostic::Error && problem.index < 0)
            return true;
    }
    return false;
}

void EDSImporter::note(const QString &text)
{
    m_notes.append({importFileName(), 0, text, EdsParser::Diagnostic::Warning, -1});
}
