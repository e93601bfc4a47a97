#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

// Mapping questions of the object dictionary editors, the network-level clean-up of PDOs,
// and the groups of lines.
namespace {

// A mapping entry holds the 32-bit mapping word: index in bits 31..16, sub-index in bits
// 15..8, bit length in bits 7..0; written as "0x" hexadecimal or decimal.
bool parseMappingWord(const QString &value, quint32 &word)
{
    const QString text = value.trimmed();
    bool ok = false;
    const qulonglong number = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                  ? text.midRef(2).toULongLong(&ok, 16)
                                  : text.toULongLong(&ok, 10);
    if (!ok || number > 0xFFFFFFFFull)
        return false;
    word = quint32(number);
    return true;
}

bool mapsEntry(quint32 word, quint16 index, quint8 sub)
{
    return (word >> 16) == index && ((word >> 8) & 0xFF) == sub;
}

} // namespace

// Every mapping entry (sub-index 1 on; sub-index 0 counts them) of the receive and transmit
// mapping objects of the line, objects and sub-indices ascending, with its mapping word.
QList<QPair<ObjectDataBase::SubAddress, quint32>> ObjectDataBasePrivate::mappingWords(quint8 line)
{
    StoreLocker locker(mutex);
    QList<QPair<SubAddress, quint32>> words;
    for (const SqlRows::Row row :
         select(QStringLiteral("select objectindex, subindex, defaultvalue from %1 where "
                               "((objectindex >= ? and objectindex <= ?) or (objectindex >= ? "
                               "and objectindex <= ?)) and subindex > 0 and objectindex in "
                               "(select objectindex from %2) order by objectindex, subindex")
                    .arg(table("SubObjects", line), table("Objects", line)),
                {0x1600, 0x17FF, 0x1A00, 0x1BFF}, Q_FUNC_INFO)) {
        quint32 word = 0;
        if (!parseMappingWord(row.value(2).toString(), word))
            continue;
        words.append(
            {SubAddress{quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())}, word});
    }
    return words;
}

bool ObjectDataBase::isObjectMapped(quint8 line, quint16 index, quint8 sub) const
{
    if (index < 0x2000)
        return false;
    for (const auto &entry : d->mappingWords(line)) {
        if (mapsEntry(entry.second, index, sub))
            return true;
    }
    return false;
}

QList<ObjectDataBase::SubAddress> ObjectDataBase::getMappingObjectsForObject(quint8 line,
                                                                             quint16 index,
                                                                             quint8 sub) const
{
    QList<SubAddress> found;
    for (const auto &entry : d->mappingWords(line)) {
        if (mapsEntry(entry.second, index, sub))
            found.append(entry.first);
    }
    return found;
}

QList<ObjectDataBase::SubAddress> ObjectDataBase::getMappableSubs(quint8 line,
                                                                  quint16 fromIndex) const
{
    StoreLocker locker(d->mutex);
    QList<SubAddress> subs;
    for (const SqlRows::Row row :
         d->select(QStringLiteral("select objectindex,subindex from %1 where pdomapping != ? and "
                                  "objectindex >= ? and objectindex in (select objectindex from "
                                  "%2) order by objectindex, subindex")
                       .arg(d->table("SubObjects", line), d->table("Objects", line)),
                   {0, fromIndex}, Q_FUNC_INFO))
        subs.append(SubAddress{quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())});
    return subs;
}

bool ObjectDataBase::isMappingStatic(quint8 line, quint16 pdoCommIndex) const
{
    const quint16 mapping = quint16(pdoCommIndex + 0x200);
    for (quint8 sub : {quint8(0), quint8(1)}) {
        if (d->subIndexColumn(line, mapping, sub, "accesstype").toString() != QLatin1String("rw"))
            return true;
    }
    return false;
}

// Some entry mapped by the mapping object is a connected end on the line's side of the PDO.
bool ObjectDataBase::pdoCarriesConnection(quint8 line, quint16 mappingIndex, bool transmit,
                                          const QList<QPair<SubAddress, quint32>> &words) const
{
    for (const auto &entry : words) {
        if (entry.first.index != mappingIndex)
            continue;
        const quint16 index = quint16(entry.second >> 16);
        const quint8 sub = quint8(entry.second >> 8);
        if (transmit ? isProducerConnected(line, index, sub)
                     : isConsumerConnected(line, index, sub))
            return true;
    }
    return false;
}

bool ObjectDataBase::removeUnusedPDOsAndMakeOtherPDOsstatic(quint8 line)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    const QList<QPair<SubAddress, quint32>> words = d->mappingWords(line);
    const QList<quint16> pdos = getIndices(line, 0x1400, 0x15FF) + getIndices(line, 0x1800, 0x19FF);
    WriteUnit unit(this);
    bool ok = true;
    for (int i = 0; ok && i < pdos.size(); ++i) {
        const quint16 comm = pdos.at(i);
        const quint16 mapping = quint16(comm + 0x200);
        if (pdoCarriesConnection(line, mapping, comm >= 0x1800, words))
            ok = d->exec(QStringLiteral("update %1 set accesstype = ? where objectindex = ?")
                             .arg(d->table("SubObjects", line)),
                         {QStringLiteral("ro"), mapping}, Q_FUNC_INFO);
        else if (!isPdoLocked(line, comm))
            ok = delIndex(line, comm, false) && delIndex(line, mapping, false);
    }
    return unit.commit() && ok;
}

int ObjectDataBase::getNetworkMaster() const
{
    const QList<quint32> masters = d->readNumbers(
        QStringLiteral("select nodeId from Nodes where ismaster != 0 order by nodeId"), {});
    return masters.isEmpty() ? -1 : int(masters.first());
}

// ----- groups ---------------------------------------------------------------------------

QStringList ObjectDataBase::getGroups() const
{
    StoreLocker locker(d->mutex);
    QStringList groups;
    for (const SqlRows::Row row :
         d->select(QStringLiteral("select name from Groups"), {}, Q_FUNC_INFO))
        groups.append(row.value(0).toString());
    return groups;
}

bool ObjectDataBase::addGroup(const QString &name)
{
    StoreLocker locker(d->mutex);
    bool found = false;
    d->groupLines(name, found);
    if (found)
        return false;
    WriteUnit unit(this);
    const bool ok =
        d->exec(QStringLiteral("insert into Groups values(?,'')"), {d->sqlText(name)}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::GroupsChanged));
    return unit.commit() && ok;
}

bool ObjectDataBase::delGroup(const QString &name)
{
    StoreLocker locker(d->mutex);
    int removed = 0;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("delete from Groups where name = ?"), {d->sqlText(name)},
                            Q_FUNC_INFO, nullptr, &removed)
                    && removed > 0;
    if (ok)
        notify(ChangeSet(ChangeSet::GroupsChanged));
    return unit.commit() && ok;
}

bool ObjectDataBase::renameGroup(const QString &newName, const QString &oldName)
{
    StoreLocker locker(d->mutex);
    bool oldExists = false;
    bool newExists = false;
    d->groupLines(oldName, oldExists);
    d->groupLines(newName, newExists);
    if (!oldExists || (newExists && newName != oldName))
        return false;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("update Groups set name = ? where name = ?"),
                            {d->sqlText(newName), d->sqlText(oldName)}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::GroupsChanged));
    return unit.commit() && ok;
}

QList<quint8> ObjectDataBase::getNodesInGroup(const QString &name) const
{
    StoreLocker locker(d->mutex);
    bool found = false;
    QList<quint8> lines;
    for (const QString &number : d->groupLines(name, found)) {
        bool ok = false;
        const uint line = number.toUInt(&ok);
        if (ok && line <= 255)
            lines.append(quint8(line));
    }
    return lines;
}
