#include "importers/importrun.h"

#include "database/objectdatabase.h"
#include "panelkit/canopendatatype.h"

#include <QSet>

namespace {

const quint8 var = 7;
const quint8 array = 8;
const quint8 record = 9;

enum Implementation : quint8 { ManagedVariable = 0, ManagedConstant = 1, ApplicationVariable = 2 };

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// The variable name of an element of an ARRAY or RECORD: "object[k-1]" or "object.sub".
QString memberName(const DictionaryObject &object, quint8 sub)
{
    const QString base = ImportRun::variableName(object.data.name);
    if (object.data.objecttype == array)
        return base + QStringLiteral("[%1]").arg(sub - 1);
    return base + QLatin1Char('.') + ImportRun::variableName(object.subs.value(sub).name);
}

// The sub-indices a conversion of the implementation touches: all of a VAR, all but 0 of
// an ARRAY or RECORD, none of any other object.
QList<quint8> convertedSubs(const DictionaryObject &object)
{
    const quint8 type = object.data.objecttype;
    if (type == var)
        return object.subs.keys();
    if (type != array && type != record)
        return {};
    QList<quint8> subs = object.subs.keys();
    subs.removeAll(0);
    return subs;
}

} // namespace

ImportRun::ImportRun(ObjectDataBase *project) : m_project(project) {}

QString ImportRun::variableName(const QString &name)
{
    QString result = name.simplified();
    result.replace(QLatin1Char(' '), QLatin1Char('_'));
    result.remove(QLatin1Char('-'));
    return result.toLower();
}

bool ImportRun::isSub0Changeable(quint16 index)
{
    return index == 0x1003 || (index >= 0x1600 && index <= 0x17FF)
           || (index >= 0x1A00 && index <= 0x1BFF) || (index >= 0x1381 && index <= 0x13FD)
           || index == 0x13FF;
}

void ImportRun::convertToApplicationVariables(DictionaryObject &object)
{
    for (quint8 sub : convertedSubs(object)) {
        ObjectDataBase::SUBINDEX_DATA_T &entry = object.subs[sub];
        entry.implementation = ApplicationVariable;
        if (!blank(entry.varname))
            continue;
        entry.varname =
            object.data.objecttype == var ? variableName(entry.name) : memberName(object, sub);
    }
}

void ImportRun::convertToManagedVariables(DictionaryObject &object)
{
    const bool isVar = object.data.objecttype == var;
    for (quint8 sub : convertedSubs(object)) {
        ObjectDataBase::SUBINDEX_DATA_T &entry = object.subs[sub];
        const quint16 type = entry.datatype;
        const bool string = type == CAN::DT_VISIBLE_STRING || type == CAN::DT_UTF8_STRING;
        bool application = type == CAN::DT_DOMAIN;
        if (isVar && string && entry.accesstype == QLatin1String("ro")) {
            entry.implementation = ManagedConstant;
            continue;
        }
        if (isVar)
            application = application || string || type == CAN::DT_OCTET_STRING;
        if (!application) {
            entry.implementation = ManagedVariable;
            entry.varname.clear();
            continue;
        }
        entry.implementation = ApplicationVariable;
        if (blank(entry.varname))
            entry.varname = isVar ? variableName(entry.name) : memberName(object, sub);
    }
}

void ImportRun::updateSub0Values(DictionaryObject &object)
{
    const quint8 type = object.data.objecttype;
    if ((type != array && type != record) || object.subs.isEmpty()
        || isSub0Changeable(object.index))
        return;
    const quint8 highest = object.subs.lastKey();
    ObjectDataBase::SUBINDEX_DATA_T &count = object.subs[0];
    count.defaultvalue = QString::number(highest);
    count.implementation = ManagedConstant;
}

void ImportRun::removeWizardAttributes(DictionaryObject &object)
{
    object.data.fwsupported = false;
    object.data.device_class.clear();
    for (ObjectDataBase::SUBINDEX_DATA_T &entry : object.subs) {
        entry.changedbyuser = false;
        entry.wizardsource = 0;
    }
}

DictionaryObject ImportRun::prepared(const DictionaryObject &object, quint16 destination,
                                     quint8 highestSub, Implementation implementation,
                                     bool keepImplementation)
{
    DictionaryObject result = object;
    result.index = destination;
    if (!keepImplementation) {
        if (implementation == ApplicationVariables)
            convertToApplicationVariables(result);
        else
            convertToManagedVariables(result);
    }
    while (!result.subs.isEmpty() && result.subs.lastKey() > highestSub)
        result.subs.erase(std::prev(result.subs.end()));
    updateSub0Values(result);
    removeWizardAttributes(result);
    return result;
}

bool ImportRun::run(const QList<DictionaryObject> &objects, const Step &alsoInUnit)
{
    m_imported = 0;
    m_error.clear();
    QList<DictionaryObject> copies;
    copies.reserve(objects.size());
    for (const DictionaryObject &object : objects)
        copies.append(prepared(object, quint16(object.index + m_offset), m_highestSub,
                               m_implementation, m_keepImplementation));
    if (!write(copies, alsoInUnit))
        return false;
    m_imported = copies.size();
    return true;
}

bool ImportRun::run(ObjectDataBase *source, quint8 sourceLine, const QList<quint16> &indices,
                    const Step &alsoInUnit)
{
    m_imported = 0;
    QList<DictionaryObject> objects;
    objects.reserve(indices.size());
    source->cacheAllSubs(sourceLine);
    for (quint16 index : indices) {
        DictionaryObject object;
        if (!object.read(*source, sourceLine, index)) {
            source->clearCachedSubs(sourceLine);
            m_error = tr("The object 0x%1 cannot be read; nothing was imported.")
                          .arg(index, 4, 16, QLatin1Char('0'));
            return false;
        }
        objects.append(object);
    }
    source->clearCachedSubs(sourceLine);
    return run(objects, alsoInUnit);
}

bool ImportRun::write(const QList<DictionaryObject> &objects, const Step &alsoInUnit)
{
    if (!m_project || m_project->lockWriteAccess() || !m_project->beginTransaction()) {
        m_error = tr("The project cannot be changed now; nothing was imported.");
        return false;
    }
    const QList<quint16> present = m_project->getIndices(m_line);
    const QSet<quint16> existing(present.begin(), present.end());
    for (const DictionaryObject &object : objects) {
        if ((existing.contains(object.index) && !m_project->delIndex(m_line, object.index))
            || !object.store(*m_project, m_line, object.index)) {
            m_project->rollbackTransaction();
            m_error = tr("The object 0x%1 could not be written; nothing was imported.")
                          .arg(object.index, 4, 16, QLatin1Char('0'));
            return false;
        }
    }
    if (alsoInUnit && !alsoInUnit()) {
        m_project->rollbackTransaction();
        m_error = tr("The file and device information could not be written; nothing was "
                     "imported.");
        return false;
    }
    if (!m_project->commitTransaction()) {
        m_error = tr("The project could not be changed; nothing was imported.");
        return false;
    }
    return true;
}

QString ImportRun::resultText() const
{
    const QString kind = m_implementation == ApplicationVariables ? tr("application variables")
                                                                  : tr("managed variables");
    return tr("%1 objects imported as %2.").arg(m_imported).arg(kind);
}
