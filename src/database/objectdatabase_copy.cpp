#include "objectdatabase.h"

#include "objectdatabase_p.h"
#include "panelkit/linetype.h"

namespace {

const quint8 clipboardLine = ReservedLine::clipboard;
const quint16 clipboardIndex = 0xF000;

} // namespace

bool ObjectDataBase::copyIndex(quint8 srcLine, quint16 srcIndex, quint8 dstLine, quint16 dstIndex)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    if (srcLine == dstLine && srcIndex == dstIndex)
        return true;
    // The source is read completely before the destination is touched.
    INDEX_DATA_T data;
    bool read = false;
    if (!getIndexData(srcLine, srcIndex, data))
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs = d->subIndicesOf(srcLine, srcIndex, &read);
    if (!read)
        return false;
    WriteUnit unit(this);
    bool ok = delIndex(dstLine, dstIndex, false) && addIndex(dstLine, dstIndex, data);
    // The receivers hear of the new entries once they are all in place.
    const bool wasBlocked = blockSignals(true);
    for (auto it = subs.constBegin(); ok && it != subs.constEnd(); ++it)
        ok = addSubIndex(dstLine, dstIndex, it.key(), it.value());
    if (ok)
        cacheAllSubNames(dstLine, dstIndex);
    blockSignals(wasBlocked);
    if (!ok) {
        unit.abandon();
        return false;
    }
    for (auto it = subs.constBegin(); it != subs.constEnd(); ++it)
        notify(ChangeSet(ChangeSet::SubIndexChanged, dstLine, dstIndex, it.key()));
    return unit.commit();
}

bool ObjectDataBase::saveIndex(quint8 line, quint16 index)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess || !existIndex(line, index))
        return false;
    WriteUnit unit(this);
    const bool ok = dropNode(clipboardLine) && addNode(clipboardLine, NODE_DATA_T())
                    && copyIndex(line, index, clipboardLine, clipboardIndex);
    return unit.commit() && ok;
}

bool ObjectDataBase::pasteSavedIndex(quint8 line, quint16 index)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess || !existIndex(clipboardLine, clipboardIndex))
        return false;
    return copyIndex(clipboardLine, clipboardIndex, line, index);
}

bool ObjectDataBase::getSavedIndex(INDEX_DATA_T &data) const
{
    return getIndexData(clipboardLine, clipboardIndex, data);
}

bool ObjectDataBase::copyIndexFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                           quint16 srcIndex, quint8 dstLine, quint16 dstIndex,
                                           bool withSubs)
{
    INDEX_DATA_T data;
    if (!other || !other->getIndexData(srcLine, srcIndex, data))
        return false;
    bool read = true;
    const QMap<quint8, SUBINDEX_DATA_T> subs =
        withSubs ? other->d->subIndicesOf(srcLine, srcIndex, &read)
                 : QMap<quint8, SUBINDEX_DATA_T>();
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess || !read)
        return false;
    WriteUnit unit(this);
    bool ok = delIndex(dstLine, dstIndex, false) && addIndex(dstLine, dstIndex, data);
    if (withSubs) {
        for (auto it = subs.constBegin(); ok && it != subs.constEnd(); ++it)
            ok = addSubIndex(dstLine, dstIndex, it.key(), it.value());
        ok = ok && deleteSubsMissingIn(subs.keys(), dstLine, dstIndex);
    }
    return unit.commit() && ok;
}

// Deletes, with their connections, the sub-indices of (line, index) not in keep.
bool ObjectDataBase::deleteSubsMissingIn(const QList<quint8> &keep, quint8 line, quint16 index)
{
    bool ok = true;
    for (quint8 sub : getSubIndices(line, index, 0)) {
        if (!keep.contains(sub))
            ok = delSubIndex(line, index, sub, false) && ok;
    }
    return ok;
}

bool ObjectDataBase::copyIndexFromDatabaseWithoutDefaultandDescription(
    const ObjectDataBase *other, quint8 srcLine, quint16 srcIndex, quint8 dstLine, quint16 dstIndex)
{
    INDEX_DATA_T data;
    bool read = false;
    if (!other || !other->getIndexData(srcLine, srcIndex, data))
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs = other->d->subIndicesOf(srcLine, srcIndex, &read);
    StoreLocker locker(d->mutex);
    INDEX_DATA_T existing;
    if (getIndexData(dstLine, dstIndex, existing))
        data.description = existing.description;
    bool presentRead = false;
    const QMap<quint8, SUBINDEX_DATA_T> present = d->subIndicesOf(dstLine, dstIndex, &presentRead);
    if (d->lockWriteAccess || !read || !presentRead)
        return false;
    WriteUnit unit(this);
    bool ok = addIndex(dstLine, dstIndex, data);
    for (auto it = subs.constBegin(); ok && it != subs.constEnd(); ++it) {
        SUBINDEX_DATA_T sub = it.value();
        const auto kept = present.constFind(it.key());
        if (kept != present.constEnd() && kept->changedbyuser) {
            sub.defaultvalue = kept->defaultvalue;
            sub.description = kept->description;
        }
        ok = addSubIndex(dstLine, dstIndex, it.key(), sub);
    }
    ok = ok && deleteSubsMissingIn(subs.keys(), dstLine, dstIndex);
    return unit.commit() && ok;
}

bool ObjectDataBase::copySubIndexFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                              quint16 srcIndex, quint8 srcSub, quint8 dstLine,
                                              quint16 dstIndex, quint8 dstSub)
{
    SUBINDEX_DATA_T data;
    if (!other || !other->existIndex(srcLine, srcIndex)
        || !other->getSubIndexData(srcLine, srcIndex, srcSub, data))
        return false;
    return addSubIndex(dstLine, dstIndex, dstSub, data);
}

bool ObjectDataBase::copyLineFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                          quint8 dstLine, quint16 fromIndex, quint16 toIndex)
{
    if (!other || (other == this && srcLine == dstLine))
        return true;
    // Everything is read before the first write, so a copy inside one project never reads
    // what it has just written.
    bool objectsRead = false;
    bool subsRead = false;
    const QMap<quint16, INDEX_DATA_T> objects =
        other->d->objectsOf(srcLine, fromIndex, toIndex, &objectsRead);
    const QMap<quint32, SUBINDEX_DATA_T> subs =
        other->d->subIndicesOf(srcLine, fromIndex, toIndex, &subsRead);
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess || !objectsRead || !subsRead)
        return false;
    WriteUnit unit(this);
    bool ok = true;
    for (auto object = objects.constBegin(); ok && object != objects.constEnd(); ++object) {
        const quint16 index = object.key();
        ok = delIndex(dstLine, index, true) && addIndex(dstLine, index, object.value());
        const quint32 first = quint32(index) * 256;
        for (auto it = subs.lowerBound(first);
             ok && it != subs.constEnd() && it.key() < first + 256; ++it)
            ok = addSubIndex(dstLine, index, quint8(it.key() & 0xFF), it.value());
    }
    for (quint8 direction : {DirectionReceive, DirectionTransmit}) {
        bool any = false;
        ok = ok && copyPgns(other, srcLine, dstLine, 0, 0x1FFFF, direction, any);
    }
    return unit.commit() && ok;
}

bool ObjectDataBase::specialEBCopy(const ObjectDataBase *templateDb, quint8 line)
{
    if (!templateDb)
        return false;
    const QList<quint16> templateObjects = templateDb->getIndices(0, 0x1000, 0xFFFF);
    const QStringList keys = templateDb->getEnergyBusKeys();
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    bool ok = removeEBObjectsMissingIn(templateDb, line);
    for (int i = 0; ok && i < templateObjects.size(); ++i) {
        const quint16 index = templateObjects.at(i);
        ok = existIndex(line, index)
                 ? copyIndexFromDatabaseWithoutDefaultandDescription(templateDb, 0, index, line,
                                                                     index)
                 : copyIndexFromDatabase(templateDb, 0, index, line, index, true);
    }
    for (int i = 0; ok && i < keys.size(); ++i)
        ok = setEnergyBusSettingsValue(keys.at(i),
                                       templateDb->getEnergyBusSettingsValue(keys.at(i)));
    return unit.commit() && ok;
}

// Objects of the line that an EnergyBus wizard made and the template no longer has:
// receive PDOs of class "rpdo", transmit PDOs of any class, and communication and profile
// objects whose sub-index 0 came from the EnergyBus wizard.
bool ObjectDataBase::removeEBObjectsMissingIn(const ObjectDataBase *templateDb, quint8 line)
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
    bool ok = true;
    for (int i = 0; ok && i < obsolete.size(); ++i)
        ok = delIndex(line, obsolete.at(i), false);
    return ok;
}
