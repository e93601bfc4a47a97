#include "objectdatabase.h"
#include "panelkit/linetype.h"

#include "objectdatabase_p.h"

#include <QDebug>

// Copies of parameter groups between projects, and the repairs that bring the message
// tables of older files up to date when they are opened.
namespace {

const quint8 messageDirections[] = {ObjectDataBase::DirectionReceive,
                                    ObjectDataBase::DirectionTransmit};

quint64 pgnKey(quint32 pgn, quint8 direction)
{
    return (quint64(pgn) << 8) | direction;
}

} // namespace

// Replaces (pgn.number, pgn.direction) of the line by pgn with the given SPNs.
bool ObjectDataBase::replacePgn(quint8 line, const PGN &pgn, const QList<SPN> &spns)
{
    bool ok = delPGN(line, pgn.number, pgn.direction) && addPGN(line, pgn.number, pgn);
    for (int i = 0; ok && i < spns.size(); ++i)
        ok = addSPN(line, pgn.number, pgn.direction, spns.at(i).spnnumber, spns.at(i));
    return ok;
}

bool ObjectDataBase::copyPGNsFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                          quint8 dstLine, quint32 fromPgn, quint32 toPgn,
                                          quint8 direction)
{
    bool any = false;
    return copyPgns(other, srcLine, dstLine, fromPgn, toPgn, direction, any) && any;
}

bool ObjectDataBase::copyPgns(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                              quint32 fromPgn, quint32 toPgn, quint8 direction, bool &any)
{
    any = false;
    if (!other || direction == 0)
        return false;
    // A line of an older file may have no message tables: it has no PGNs to copy.
    if (!other->d->tableExists(d->table("PGNs", srcLine)))
        return true;
    // Everything is read before the first write, so a copy inside one project never reads
    // what it has just written.
    bool pgnsRead = false;
    bool spnsRead = false;
    const QList<PGN> all = other->d->readPgns(srcLine, direction, 0, 0xFFFFFFFF, &pgnsRead);
    any = !all.isEmpty();
    if (!pgnsRead)
        return false;
    if (!any || (other == this && srcLine == dstLine))
        return true;
    QHash<quint32, QList<SPN>> spnsOfPgn;
    const QList<SPN> spns = other->d->readSpns(
        srcLine, QStringLiteral("direction = ? and pgnnumber >= ? and pgnnumber <= ?"),
        {direction, fromPgn, toPgn}, &spnsRead);
    if (!spnsRead)
        return false;
    for (const SPN &spn : spns)
        spnsOfPgn[spn.pgnnumber].append(spn);
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    bool ok = true;
    for (int i = 0; ok && i < all.size(); ++i) {
        const PGN &pgn = all.at(i);
        if (pgn.number >= fromPgn && pgn.number <= toPgn)
            ok = replacePgn(dstLine, pgn, spnsOfPgn.value(pgn.number));
    }
    return unit.commit() && ok;
}

bool ObjectDataBase::copyPGNFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                         quint8 dstLine, quint32 pgn, quint8 srcDirection,
                                         quint8 dstDirection, quint8 implementation)
{
    PGN data;
    bool read = false;
    if (!other || !other->getPGNData(srcLine, pgn, srcDirection, data))
        return false;
    QList<SPN> spns = other->d->readSpns(srcLine, QStringLiteral("pgnnumber = ? and direction = ?"),
                                         {pgn, srcDirection}, &read);
    data.direction = dstDirection;
    for (SPN &spn : spns) {
        spn.direction = dstDirection;
        spn.pgnnumber = pgn;
        if (implementation == 0 || implementation == 2)
            spn.implementation = implementation;
    }
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess || !read)
        return false;
    WriteUnit unit(this);
    bool ok = delPGN(dstLine, pgn, dstDirection);
    if (ok && !addPGN(dstLine, pgn, data)) {
        qDebug() << "adPGN() failed: " << dstLine << pgn << data.name;
        ok = false;
    }
    for (int i = 0; ok && i < spns.size(); ++i)
        ok = addSPN(dstLine, pgn, dstDirection, spns.at(i).spnnumber, spns.at(i));
    return unit.commit() && ok;
}

// Moves a PGN with its SPNs to newNumber and clears its edp_dp_key. A number already taken
// in the same direction is left alone rather than doubled.
bool ObjectDataBase::movePgn(quint8 line, const PGN &pgn, quint32 newNumber)
{
    if (existsPGN(line, newNumber, pgn.direction)) {
        qDebug() << Q_FUNC_INFO << "line" << line << "PGN" << newNumber << "exists already";
        return true;
    }
    const QVariantList values = {newNumber, pgn.number, pgn.direction};
    return d->exec(QStringLiteral("update %1 set pgnnumber = ? where pgnnumber = ? and "
                                  "direction = ?")
                       .arg(d->table("SPNs", line)),
                   values, Q_FUNC_INFO)
           && d->exec(QStringLiteral("update %1 set number = ?, edp_dp_key = 0 where number = ? "
                                     "and direction = ?")
                          .arg(d->table("PGNs", line)),
                      values, Q_FUNC_INFO);
}

bool ObjectDataBase::fixEDP_DP_PGNs()
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    bool ok = true;
    for (quint8 line : getNodes()) {
        for (quint8 direction : messageDirections) {
            for (const PGN &pgn : d->readPgns(line, direction, 0, 0xFFFFFFFF)) {
                if (ok && pgn.edp_dp_key != 0)
                    ok = movePgn(line, pgn, quint32(pgn.edp_dp_key) * 65536 + pgn.number);
            }
        }
    }
    return unit.commit() && ok;
}

// The PGNs of the line whose mappingcount (as 8 bits) differs from their number of SPNs,
// with that number.
QList<QPair<ObjectDataBase::PGN, int>> ObjectDataBasePrivate::pgnsWithWrongCount(quint8 line)
{
    QHash<quint64, int> counts;
    for (const SqlRows::Row row :
         select(QStringLiteral("select pgnnumber, direction, count(*) from %1 group by "
                               "pgnnumber, direction")
                    .arg(table("SPNs", line)),
                {}, Q_FUNC_INFO))
        counts.insert(pgnKey(quint32(row.value(0).toLongLong()), quint8(row.value(1).toUInt())),
                      row.value(2).toInt());
    QList<QPair<PGN, int>> faulty;
    for (quint8 direction : messageDirections) {
        for (const PGN &pgn : readPgns(line, direction, 0, 0xFFFFFFFF)) {
            const int spns = counts.value(pgnKey(pgn.number, direction));
            if (quint8(pgn.mappingcount) != spns)
                faulty.append({pgn, spns});
        }
    }
    return faulty;
}

bool ObjectDataBase::fixFaultyPGNSPNCount()
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    bool ok = true;
    for (quint8 line : getNodes()) {
        const QString pgns = d->table("PGNs", line);
        if (!d->tableExists(pgns) || !d->tableExists(d->table("SPNs", line)))
            continue;
        const QString update = QStringLiteral("update %1 SET mappingcount = ? where number = ? "
                                              "AND direction = ? ")
                                   .arg(pgns);
        for (const auto &entry : d->pgnsWithWrongCount(line))
            ok = d->exec(update, {entry.second, entry.first.number, entry.first.direction},
                         Q_FUNC_INFO)
                 && ok;
    }
    clearAllCachedSpnData();
    return unit.commit() && ok;
}

bool ObjectDataBase::updatePGNdirectionAttributes(quint8 line)
{
    StoreLocker locker(d->mutex);
    const QList<PGN> pgns = d->readPgns(line, 0, 0, 0xFFFFFFFF);
    QHash<quint32, QSet<quint8>> directions;
    for (const PGN &pgn : pgns)
        directions[pgn.number].insert(pgn.direction);
    // A number stored in both directions cannot tell which SPN belongs where.
    const QString update = QStringLiteral("update %1 SET direction = ? where pgnnumber = ? and "
                                          "(direction is null or direction != ?)")
                               .arg(d->table("SPNs", line));
    WriteUnit unit(this);
    bool ok = true;
    for (auto it = directions.constBegin(); it != directions.constEnd(); ++it) {
        if (it.value().size() != 1)
            continue;
        const quint8 direction = *it.value().constBegin();
        ok = d->exec(update, {direction, it.key(), direction}, Q_FUNC_INFO) && ok;
    }
    return unit.commit() && ok;
}

void ObjectDataBase::repairMessagesOnOpen()
{
    if (databaseVersion() < 100) {
        for (quint8 line : getNodes()) {
            if (LineTypes::lineType(this, line) == LineType::J1939)
                updatePGNdirectionAttributes(line);
        }
    }
    fixFaultyPGNSPNCount();
}
