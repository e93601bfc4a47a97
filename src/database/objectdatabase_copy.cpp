#include "objectdatabase.h"

#include <QMutexLocker>

namespace {

const quint8 clipboardLine = 254;
const quint16 clipboardIndex = 0xF000;

} // namespace

bool ObjectDataBase::copyIndex(quint8 srcLine, quint16 srcIndex, quint8 dstLine, quint16 dstIndex)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    if (srcLine == dstLine && srcIndex == dstIndex)
        return true;
    INDEX_DATA_T data;
    if (!getIndexData(srcLine, srcIndex, data))
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs = subIndicesOf(srcLine, srcIndex);
    delIndex(dstLine, dstIndex, false);
    bool ok = addIndex(dstLine, dstIndex, data);
    // The receivers hear of the new entries once they are all in place.
    const bool wasBlocked = blockSignals(true);
    for (auto it = subs.constBegin(); it != subs.constEnd(); ++it)
        ok = addSubIndex(dstLine, dstIndex, it.key(), it.value());
    cacheAllSubNames(dstLine, dstIndex);
    blockSignals(wasBlocked);
    for (quint8 sub : getSubIndices(dstLine, dstIndex, 0))
        notify(ChangeSet(ChangeSet::SubIndexChanged, dstLine, dstIndex, sub));
    return ok;
}

bool ObjectDataBase::saveIndex(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess || !existIndex(line, index))
        return false;
    dropNode(clipboardLine);
    addNode(clipboardLine, NODE_DATA_T());
    return copyIndex(line, index, clipboardLine, clipboardIndex);
}

bool ObjectDataBase::pasteSavedIndex(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess || !existIndex(clipboardLine, clipboardIndex))
        return false;
    return copyIndex(clipboardLine, clipboardIndex, line, index);
}

bool ObjectDataBase::getSavedIndex(INDEX_DATA_T &data)
{
    return getIndexData(clipboardLine, clipboardIndex, data);
}

bool ObjectDataBase::copyIndexFromDatabase(ObjectDataBase *other, quint8 srcLine, quint16 srcIndex,
                                           quint8 dstLine, quint16 dstIndex, bool withSubs)
{
    INDEX_DATA_T data;
    if (!other || !other->getIndexData(srcLine, srcIndex, data))
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs =
        withSubs ? other->subIndicesOf(srcLine, srcIndex) : QMap<quint8, SUBINDEX_DATA_T>();
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    delIndex(dstLine, dstIndex, false);
    addIndex(dstLine, dstIndex, data);
    if (withSubs) {
        for (auto it = subs.constBegin(); it != subs.constEnd(); ++it)
            addSubIndex(dstLine, dstIndex, it.key(), it.value());
        deleteSubsMissingIn(subs.keys(), dstLine, dstIndex);
    }
    return true;
}

// Deletes, with their connections, the sub-indices of (line, index) not in keep.
void ObjectDataBase::deleteSubsMissingIn(const QList<quint8> &keep, quint8 line, quint16 index)
{
    for (quint8 sub : getSubIndices(line, index, 0)) {
        if (!keep.contains(sub))
            delSubIndex(line, index, sub, false);
    }
}

bool ObjectDataBase::copyIndexFromDatabaseWithoutDefaultandDescription(
    ObjectDataBase *other, quint8 srcLine, quint16 srcIndex, quint8 dstLine, quint16 dstIndex)
{
    INDEX_DATA_T data;
    if (!other || !other->getIndexData(srcLine, srcIndex, data))
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs = other->subIndicesOf(srcLine, srcIndex);
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    INDEX_DATA_T existing;
    if (getIndexData(dstLine, dstIndex, existing))
        data.description = existing.description;
    addIndex(dstLine, dstIndex, data);
    const QMap<quint8, SUBINDEX_DATA_T> present = subIndicesOf(dstLine, dstIndex);
    for (auto it = subs.constBegin(); it != subs.constEnd(); ++it) {
        SUBINDEX_DATA_T sub = it.value();
        const auto kept = present.constFind(it.key());
        if (kept != present.constEnd() && kept->changedbyuser) {
            sub.defaultvalue = kept->defaultvalue;
            sub.description = kept->description;
        }
        addSubIndex(dstLine, dstIndex, it.key(), sub);
    }
    deleteSubsMissingIn(subs.keys(), dstLine, dstIndex);
    return true;
}

bool ObjectDataBase::copySubIndexFromDatabase(ObjectDataBase *other, quint8 srcLine,
                                              quint16 srcIndex, quint8 srcSub, quint8 dstLine,
                                              quint16 dstIndex, quint8 dstSub)
{
    SUBINDEX_DATA_T data;
    if (!other || !other->existIndex(srcLine, srcIndex)
        || !other->getSubIndexData(srcLine, srcIndex, srcSub, data))
        return false;
    return addSubIndex(dstLine, dstIndex, dstSub, data);
}

bool ObjectDataBase::copyLineFromDatabase(ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                                          quint16 fromIndex, quint16 toIndex)
{
    if (!other || (other == this && srcLine == dstLine))
        return true;
    other->cacheAllSubs(srcLine);
    const QList<quint16> indices = other->getIndices(srcLine, fromIndex, toIndex);
    QMap<quint32, SUBINDEX_DATA_T> subs;
    {
        QMutexLocker otherLocker(&other->m_mutex);
        subs = other->m_subCache.value(srcLine);
    }
    other->clearCachedSubs(srcLine);
    QMutexLocker locker(&m_mutex);
    for (quint16 index : indices) {
        INDEX_DATA_T data;
        if (!other->getIndexData(srcLine, index, data))
            continue;
        delIndex(dstLine, index, true);
        addIndex(dstLine, index, data);
        const quint32 first = quint32(index) * 256;
        for (auto it = subs.lowerBound(first); it != subs.constEnd() && it.key() < first + 256;
             ++it)
            addSubIndex(dstLine, index, quint8(it.key() & 0xFF), it.value());
    }
    copyPGNsFromDatabase(other, srcLine, dstLine, 0, 0x1FFFF, DirectionReceive);
    copyPGNsFromDatabase(other, srcLine, dstLine, 0, 0x1FFFF, DirectionTransmit);
    return true;
}

bool ObjectDataBase::specialEBCopy(ObjectDataBase *templateDb, quint8 line)
{
    if (!templateDb)
        return false;
    QMutexLocker locker(&m_mutex);
    removeEBObjectsMissingIn(templateDb, line);
    for (quint16 index : templateDb->getIndices(0, 0x1000, 0xFFFF)) {
        if (existIndex(line, index))
            copyIndexFromDatabaseWithoutDefaultandDescription(templateDb, 0, index, line, index);
        else
            copyIndexFromDatabase(templateDb, 0, index, line, index, true);
    }
    for (const QString &key : templateDb->getEnergyBusKeys())
        setEnergyBusSettingsValue(key, templateDb->getEnergyBusSettingsValue(key));
    return true;
}

// Objects of the line that an EnergyBus wizard made and the template no longer has:
// receive PDOs of class "rpdo", transmit PDOs of any class, and communication and profile
// objects whose sub-index 0 came from the EnergyBus wizard.
void ObjectDataBase::removeEBObjectsMissingIn(ObjectDataBase *templateDb, quint8 line)
{
    const quint16 energyBusWizard = 454;
    QList<quint16> obsolete;
    for (quint16 index : getIndices(line, 0x1002, 0xFFFF)) {
        if (templateDb->existIndex(0, index))
            continue;
        INDEX_DATA_T data;
        getIndexData(line, index, data);
        SUBINDEX_DATA_T sub0;
        const bool wizardMade =
            getSubIndexData(line, index, 0, sub0) && sub0.wizardsource == energyBusWizard;
        if ((index >= 0x1400 && index <= 0x17FF && data.device_class == QLatin1String("rpdo"))
            || (index >= 0x1800 && index <= 0x1BFF && !data.device_class.isEmpty())
            || ((index <= 0x10FF || index >= 0x6000) && wizardMade))
            obsolete.append(index);
    }
    for (quint16 index : qAsConst(obsolete))
        delIndex(line, index, false);
}
