#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

// PDO links between lines (Connections) and the PDOs and mappings the user locked
// (LockedPDOs, LockedMappings). The upkeep of connections on deletes and renumbering is in
// objectdatabase_links.cpp.
namespace {

const char *const connectionColumns =
    "prodnode, prodindex, prodsub, connode, conindex, consub, priority";
const char *const sixEnds = "prodnode = ? AND prodindex = ? AND prodsub = ? AND connode = ? "
                            "AND conindex = ? AND consub = ?";

quint32 entryKey(quint16 index, quint8 sub)
{
    return quint32(index) * 256 + sub;
}

} // namespace

bool ObjectDataBase::Connection::operator==(const Connection &o) const
{
    return prodnode == o.prodnode && prodindex == o.prodindex && prodsub == o.prodsub
           && connode == o.connode && conindex == o.conindex && consub == o.consub
           && priority == o.priority;
}

QList<ObjectDataBase::Connection> ObjectDataBasePrivate::readConnections(const QString &condition,
                                                                         const QVariantList &values)
{
    StoreLocker locker(mutex);
    QList<Connection> connections;
    for (const SqlRows::Row row :
         select(QStringLiteral("select %1 from Connections%2 order by prodnode, prodindex, "
                               "prodsub, connode, conindex, consub")
                    .arg(QLatin1String(connectionColumns),
                         condition.isEmpty() ? QString() : QLatin1String(" where ") + condition),
                values, Q_FUNC_INFO)) {
        Connection c;
        c.prodnode = quint8(row.value(0).toUInt());
        c.prodindex = quint16(row.value(1).toUInt());
        c.prodsub = quint8(row.value(2).toUInt());
        c.connode = quint8(row.value(3).toUInt());
        c.conindex = quint16(row.value(4).toUInt());
        c.consub = quint8(row.value(5).toUInt());
        c.priority = quint8(row.value(6).toUInt());
        connections.append(c);
    }
    return connections;
}

bool ObjectDataBase::addConnection(quint8 prodLine, quint16 prodIndex, quint8 prodSub,
                                   quint8 conLine, quint16 conIndex, quint8 conSub, quint8 priority)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    // A second identical row would only make the link harder to remove.
    if (isConnected(prodLine, prodIndex, prodSub, conLine, conIndex, conSub))
        return true;
    return d->exec(QStringLiteral("insert into Connections (%1) values(?,?,?,?,?,?,?)")
                       .arg(QLatin1String(connectionColumns)),
                   {prodLine, prodIndex, prodSub, conLine, conIndex, conSub, priority},
                   Q_FUNC_INFO);
}

bool ObjectDataBase::removeConnnection(quint8 prodLine, quint16 prodIndex, quint8 prodSub,
                                       quint8 conLine, quint16 conIndex, quint8 conSub)
{
    StoreLocker locker(d->mutex);
    return d->exec(QStringLiteral("delete from Connections where %1").arg(QLatin1String(sixEnds)),
                   {prodLine, prodIndex, prodSub, conLine, conIndex, conSub}, Q_FUNC_INFO);
}

bool ObjectDataBase::clearConnections(quint8 prodLine, quint8 conLine)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    if (prodLine == 0 && conLine == 0)
        return d->execSchema(QStringLiteral("delete from Connections"), Q_FUNC_INFO);
    return d->exec(QStringLiteral("delete from Connections where prodnode = ? AND connode = ?"),
                   {prodLine, conLine}, Q_FUNC_INFO);
}

bool ObjectDataBase::isConnected(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                                 quint16 conIndex, quint8 conSub) const
{
    return !d->readConnections(QLatin1String(sixEnds),
                               {prodLine, prodIndex, prodSub, conLine, conIndex, conSub})
                .isEmpty();
}

bool ObjectDataBase::isProducerConnected(quint8 line, quint16 index, quint8 sub) const
{
    return !getConsumer(line, index, sub).isEmpty();
}

bool ObjectDataBase::isConsumerConnected(quint8 line, quint16 index, quint8 sub) const
{
    Connection connection;
    return getProducer(line, index, sub, connection);
}

int ObjectDataBase::getProducerNode(quint8 line, quint16 index, quint8 sub) const
{
    Connection connection;
    return getProducer(line, index, sub, connection) ? connection.prodnode : -1;
}

bool ObjectDataBase::getProducer(quint8 line, quint16 index, quint8 sub,
                                 Connection &connection) const
{
    const QList<Connection> found = d->readConnections(
        QStringLiteral("connode = ? AND conindex = ? AND consub = ?"), {line, index, sub});
    if (found.isEmpty())
        return false;
    connection = found.first();
    return true;
}

QList<ObjectDataBase::Connection> ObjectDataBase::getConsumer(quint8 line, quint16 index,
                                                              quint8 sub) const
{
    return d->readConnections(QStringLiteral("prodnode = ? AND prodindex = ? AND prodsub = ?"),
                              {line, index, sub});
}

int ObjectDataBase::getConnectionCount() const
{
    StoreLocker locker(d->mutex);
    return d->rowCount(QStringLiteral("Connections"), QString());
}

bool ObjectDataBase::updateConnections(quint16 newIndex, quint16 oldIndex)
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    const bool ok =
        d->exec(QStringLiteral("update Connections set prodindex = ? where prodindex = ?"),
                {newIndex, oldIndex}, Q_FUNC_INFO)
        && d->exec(QStringLiteral("update Connections set conindex = ? where conindex = ?"),
                   {newIndex, oldIndex}, Q_FUNC_INFO);
    return unit.commit() && ok;
}

bool ObjectDataBase::updateConnectionPriority(const Connection &c)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess
        || !isConnected(c.prodnode, c.prodindex, c.prodsub, c.connode, c.conindex, c.consub))
        return false;
    WriteUnit unit(this);
    const bool ok =
        removeConnnection(c.prodnode, c.prodindex, c.prodsub, c.connode, c.conindex, c.consub)
        && addConnection(c.prodnode, c.prodindex, c.prodsub, c.connode, c.conindex, c.consub,
                         c.priority);
    return unit.commit() && ok;
}

QList<ObjectDataBase::Connection> ObjectDataBase::getPDOConnections(bool skipExcludedLines) const
{
    if (!skipExcludedLines)
        return d->readConnections(QString(), {});
    return d->readConnections(
        QStringLiteral("prodnode not in (select nodeId from Nodes where excludepdolinking != 0) "
                       "AND connode not in (select nodeId from Nodes where "
                       "excludepdolinking != 0)"),
        {});
}

QList<ObjectDataBase::Connection> ObjectDataBase::getPDOConnections(quint8 prodLine, quint8 conLine,
                                                                    bool skipExcludedLines) const
{
    QList<Connection> connections;
    for (const Connection &c : getPDOConnections(skipExcludedLines)) {
        if (c.prodnode == prodLine && c.connode == conLine)
            connections.append(c);
    }
    return connections;
}

// index * 256 + sub -> data type of every mappable entry of the line.
QHash<quint32, quint16> ObjectDataBasePrivate::readMappableTypes(quint8 line)
{
    QHash<quint32, quint16> types;
    for (const SqlRows::Row row :
         select(QStringLiteral("select objectindex, subindex, datatype from %1 where "
                               "pdomapping != 0")
                    .arg(table("SubObjects", line)),
                {}, Q_FUNC_INFO))
        types.insert(entryKey(quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())),
                     quint16(row.value(2).toUInt()));
    return types;
}

void ObjectDataBase::initPossibleConnectionQuery(quint8 prodLine, quint8 conLine) const
{
    StoreLocker locker(d->mutex);
    d->mappableTypes.clear();
    d->mappableTypes.insert(prodLine, d->readMappableTypes(prodLine));
    d->mappableTypes.insert(conLine, d->readMappableTypes(conLine));
}

// Data type of a mappable entry; 0 when the entry is missing or may not be mapped.
quint16 ObjectDataBase::connectionEndType(quint8 line, quint16 index, quint8 sub) const
{
    const auto cached = d->mappableTypes.constFind(line);
    if (cached != d->mappableTypes.constEnd())
        return cached->value(entryKey(index, sub), 0);
    if (getSubIndexPdoMapping(line, index, sub) == 0)
        return 0;
    return getSubIndexDatatype(line, index, sub);
}

bool ObjectDataBase::isConnectionPossible(quint8 prodLine, quint16 prodIndex, quint8 prodSub,
                                          quint8 conLine, quint16 conIndex, quint8 conSub) const
{
    quint16 dataType = 0;
    return isConnectionPossible(prodLine, prodIndex, prodSub, conLine, conIndex, conSub, dataType);
}

bool ObjectDataBase::isConnectionPossible(quint8 prodLine, quint16 prodIndex, quint8 prodSub,
                                          quint8 conLine, quint16 conIndex, quint8 conSub,
                                          quint16 &dataType) const
{
    StoreLocker locker(d->mutex);
    const quint16 producer = connectionEndType(prodLine, prodIndex, prodSub);
    const quint16 consumer = connectionEndType(conLine, conIndex, conSub);
    dataType = producer && consumer ? producer : 0;
    return producer != 0 && producer == consumer;
}

QStringList ObjectDataBase::dumpConnections() const
{
    QStringList lines;
    for (const Connection &c : getPDOConnections(false)) {
        lines.append(QStringLiteral("%1: 0x%2 sub %3 -> %4: 0x%5 sub %6 priority %7")
                         .arg(c.prodnode)
                         .arg(c.prodindex, 4, 16, QLatin1Char('0'))
                         .arg(c.prodsub)
                         .arg(c.connode)
                         .arg(c.conindex, 4, 16, QLatin1Char('0'))
                         .arg(c.consub)
                         .arg(c.priority));
        qDebug().noquote() << lines.last();
    }
    return lines;
}

// ----- locks ----------------------------------------------------------------------------

bool ObjectDataBase::isLocked(const char *lockTable, quint8 line, quint16 pdoIndex) const
{
    return !d->readNumbers(QStringLiteral("select pdoindex from %1 where node = ?  and "
                                          "pdoindex = ?")
                               .arg(QLatin1String(lockTable)),
                           {line, pdoIndex})
                .isEmpty();
}

bool ObjectDataBase::setLock(const char *lockTable, quint8 line, quint16 pdoIndex, bool locked)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    if (locked == isLocked(lockTable, line, pdoIndex))
        return true;
    return d->exec((locked ? QStringLiteral("insert into %1 values(?,?)")
                           : QStringLiteral("delete from %1 where node = ? and pdoindex = ?"))
                       .arg(QLatin1String(lockTable)),
                   {line, pdoIndex}, Q_FUNC_INFO);
}

QList<quint16> ObjectDataBase::lockedIndices(const char *lockTable, quint8 line) const
{
    QList<quint16> indices;
    for (quint32 index : d->readNumbers(QStringLiteral("select pdoindex from %1 where node = ?  "
                                                       "order by pdoindex")
                                            .arg(QLatin1String(lockTable)),
                                        {line}))
        indices.append(quint16(index));
    return indices;
}

// line < 0: every line.
bool ObjectDataBase::clearLocks(const char *lockTable, int line)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    if (line < 0)
        return d->execSchema(QStringLiteral("delete from %1").arg(QLatin1String(lockTable)),
                             Q_FUNC_INFO);
    return d->exec(QStringLiteral("delete from %1 where node = ?").arg(QLatin1String(lockTable)),
                   {line}, Q_FUNC_INFO);
}

bool ObjectDataBase::isPdoLocked(quint8 line, quint16 pdoIndex) const
{
    return isLocked("LockedPDOs", line, pdoIndex);
}

bool ObjectDataBase::setLockedPdo(quint8 line, quint16 pdoIndex, bool locked)
{
    return setLock("LockedPDOs", line, pdoIndex, locked);
}

QList<quint16> ObjectDataBase::getLockedPDOs(quint8 line) const
{
    return lockedIndices("LockedPDOs", line);
}

bool ObjectDataBase::clearLockedPDOs()
{
    return clearLocks("LockedPDOs", -1);
}

bool ObjectDataBase::clearLockedPDOs(quint8 line)
{
    return clearLocks("LockedPDOs", line);
}

bool ObjectDataBase::isMappingLocked(quint8 line, quint16 pdoIndex) const
{
    return isLocked("LockedMappings", line, pdoIndex);
}

bool ObjectDataBase::setLockedMapping(quint8 line, quint16 pdoIndex, bool locked)
{
    return setLock("LockedMappings", line, pdoIndex, locked);
}

QList<quint16> ObjectDataBase::getLockedMappings(quint8 line) const
{
    return lockedIndices("LockedMappings", line);
}

bool ObjectDataBase::clearLockedMappings()
{
    return clearLocks("LockedMappings", -1);
}

bool ObjectDataBase::clearLockedMappings(quint8 line)
{
    return clearLocks("LockedMappings", line);
}
