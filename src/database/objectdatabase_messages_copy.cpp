#include "objectdatabase.h"
#include "panelkit/linetype.h"

#include <QDebug>
#include <QMutexLocker>

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
    delPGN(line, pgn.number, pgn.direction);
    bool ok = addPGN(line, pgn.number, pgn);
    for (const SPN &spn : spns)
        ok = addSPN(line, pgn.number, pgn.direction, spn.spnnumber, spn) && ok;
    return ok;
}

bool ObjectDataBase::copyPGNsFromDatabase(ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                                          quint32 fromPgn, quint32 toPgn, quint8 direction)
{
    if (!other || direction == 0)
        return false;
    const bool any = !other->getPGNs(srcLine, direction).isEmpty();
    if (!any || (other == this && srcLine == dstLine))
        return any;
    // Everything is read before the first write, so a copy inside one project never reads
    // what it has just written.
    const QList<PGN> pgns = other->readPgns(srcLine, direction, fromPgn, toPgn);
    QHash<quint32, QList<SPN>> spnsOfPgn;
    const QList<SPN> spns = other->readSpns(
        srcLine, QStringLiteral("direction = ? and pgnnumber >= ? and pgnnumber <= ?"),
        {direction, fromPgn, toPgn});
    for (const SPN &spn : spns)
        spnsOfPgn[spn.pgnnumber].append(spn);
    QMutexLocker locker(&m_mutex);
    for (const PGN &pgn : pgns)
        replacePgn(dstLine, pgn, spnsOfPgn.value(pgn.number));
    return any;
}

bool ObjectDataBase::copyPGNFromDatabase(ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                                         quint32 pgn, quint8 srcDirection, quint8 dstDirection,
                                         quint8 implementation)
{
    PGN data;
    if (!other || !other->getPGNData(srcLine, pgn, srcDirection, data))
        return false;
    QList<SPN> spns = other->readSpns(srcLine, QStringLiteral("pgnnumber = ? and direction = ?"),
                                      {pgn, srcDirection});
    data.direction = dstDirection;
    for (SPN &spn : spns) {
        spn.direction = dstDirection;
        spn.pgnnumber = pgn;
        if (implementation == 0 || implementation == 2)
            spn.implementation = implementation;
    }
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    delPGN(dstLine, pgn, dstDirection);
    if (!addPGN(dstLine, pgn, data)) {
        qDebug() << "adPGN() failed: " << dstLine << pgn << data.name;
        return false;
    }
    bool ok = true;
    for (const SPN &spn : qAsConst(spns))
        ok = addSPN(dstLine, pgn, dstDirection, spn.spnnumber, spn) && ok;
    return ok;
}

// Moves a PGN with its SPNs to newNumber and clears its edp_dp_key. A number already taken
// in the same direction is left alone rather than doubled.
bool ObjectDataBase::movePgn(quint8 line, const PGN &pgn, quint32 newNumber)
{
    if (existsPGN(line, newNumber, pgn.direction)) {
        qDebug() << Q_FUNC_INFO << "line" << line << "PGN" << newNumber << "exists already";
        return false;
    }
    const QVariantList values = {newNumber, pgn.number, pgn.direction};
    const bool ok = runWith(QStringLiteral("update %1 set pgnnumber = ? where pgnnumber = ? and "
                                           "direction = ?")
                                .arg(table("SPNs", line)),
                            values, Q_FUNC_INFO);
    return runWith(QStringLiteral("update %1 set number = ?, edp_dp_key = 0 where number = ? "
                                  "and direction = ?")
                       .arg(table("PGNs", line)),
                   values, Q_FUNC_INFO)
           && ok;
}

void ObjectDataBase::fixEDP_DP_PGNs()
{
    QMutexLocker locker(&m_mutex);
    for (quint8 line : getNodes()) {
        for (quint8 direction : messageDirections) {
            for (const PGN &pgn : readPgns(line, direction, 0, 0xFFFFFFFF)) {
                if (pgn.edp_dp_key != 0)
                    movePgn(line, pgn, quint32(pgn.edp_dp_key) * 65536 + pgn.number);
            }
        }
    }
}

void ObjectDataBase::fixFaultyPGNSPNCount()
{
    QMutexLocker locker(&m_mutex);
    for (quint8 line : getNodes()) {
        const QString pgns = table("PGNs", line);
        if (!tableExists(pgns) || !tableExists(table("SPNs", line)))
            continue;
        QHash<quint64, int> counts;
        QSqlQuery &count = prepared(QStringLiteral("select pgnnumber, direction, count(*) from "
                                                   "%1 group by pgnnumber, direction")
                                        .arg(table("SPNs", line)));
        if (run(count, Q_FUNC_INFO)) {
            while (count.next())
                counts.insert(
                    pgnKey(quint32(count.value(0).toLongLong()), quint8(count.value(1).toUInt())),
                    count.value(2).toInt());
        }
        count.finish();
        QList<QPair<PGN, int>> faulty;
        for (quint8 direction : messageDirections) {
            for (const PGN &pgn : readPgns(line, direction, 0, 0xFFFFFFFF)) {
                const int spns = counts.value(pgnKey(pgn.number, direction));
                if (quint8(pgn.mappingcount) != spns)
                    faulty.append({pgn, spns});
            }
        }
        const QString update = QStringLiteral("update %1 SET mappingcount = ? where number = ? "
                                              "AND direction = ? ")
                                   .arg(pgns);
        for (const auto &entry : qAsConst(faulty))
            runWith(update, {entry.second, entry.first.number, entry.first.direction}, Q_FUNC_INFO);
    }
    clearAllCachedSpnData();
}

void ObjectDataBase::updatePGNdirectionAttributes(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    const QList<PGN> pgns = readPgns(line, 0, 0, 0xFFFFFFFF);
    QHash<quint32, QSet<quint8>> directions;
    for (const PGN &pgn : pgns)
        directions[pgn.number].insert(pgn.direction);
    // A number stored in both directions cannot tell which SPN belongs where.
    const QString update = QStringLiteral("update %1 SET direction = ? where pgnnumber = ? and "
                                          "(direction is null or direction != ?)")
                               .arg(table("SPNs", line));
    for (auto it = directions.constBegin(); it != directions.constEnd(); ++it) {
        if (it.value().size() != 1)
            continue;
        const quint8 direction = *it.value().constBegin();
        runWith(update, {direction, it.key(), direction}, Q_FUNC_INFO);
    }
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
