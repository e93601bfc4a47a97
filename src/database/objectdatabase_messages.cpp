#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

// J1939 parameter groups (PGNs<line>) and their parameters (SPNs<line>). A group is
// identified by (number, direction); the same number may be stored once per direction, and
// each direction keeps its own SPNs.
namespace {

const char *const pgnColumns = "number, edp_dp_key, priority, cycletime_ms, inhibittime_ms, "
                               "mappingcount, direction, name, \"desc\"";
const char *const spnColumns = "pgnnumber, spnnumber, datatype, implementation, varname, "
                               "defaultvalue, name, \"desc\", pos, bitsize, direction, slot_df";

quint64 pgnKey(quint32 pgn, quint8 direction)
{
    return (quint64(pgn) << 8) | direction;
}

} // namespace

bool ObjectDataBase::PGN::operator==(const PGN &o) const
{
    return name == o.name && desc == o.desc && number == o.number && edp_dp_key == o.edp_dp_key
           && priority == o.priority && cycletime_ms == o.cycletime_ms
           && inhibittime_ms == o.inhibittime_ms && mappingcount == o.mappingcount
           && direction == o.direction;
}

bool ObjectDataBase::SPN::operator==(const SPN &o) const
{
    return pos == o.pos && name == o.name && desc == o.desc && defaultvalue == o.defaultvalue
           && datatype == o.datatype && pgnnumber == o.pgnnumber && direction == o.direction
           && spnnumber == o.spnnumber && implementation == o.implementation && varname == o.varname
           && bitsize == o.bitsize && slot_df == o.slot_df;
}

void ObjectDataBase::notifyMessage(quint32 kind, quint8 line, quint32 pgn, quint32 spn,
                                   quint32 canid, quint32 element, quint8 direction)
{
    ChangeSet change(kind, line);
    change.pgn = pgn;
    change.spn = spn;
    change.canid = canid;
    change.element = element;
    change.direction = direction;
    notify(change);
}

// The text of a Strings id column; a NULL column is an empty text.
QString ObjectDataBasePrivate::textOf(const QVariant &stringId)
{
    return stringId.isNull() ? QString() : stringOf(stringId.toInt());
}

QString ObjectDataBasePrivate::messageName(const QString &sql, const QVariantList &values)
{
    StoreLocker locker(mutex);
    const SqlRows rows = select(sql, values, Q_FUNC_INFO);
    if (rows.isEmpty())
        return rows.ok() ? QStringLiteral("-") : QStringLiteral("--");
    return textOf(rows.first());
}

// First column of every row of sql, as numbers.
QList<quint32> ObjectDataBasePrivate::readNumbers(const QString &sql, const QVariantList &values)
{
    StoreLocker locker(mutex);
    QList<quint32> numbers;
    for (const SqlRows::Row row : select(sql, values, Q_FUNC_INFO))
        numbers.append(quint32(row.value(0).toLongLong()));
    return numbers;
}

bool ObjectDataBase::existsPGN(quint8 line, quint32 number, quint8 direction) const
{
    return !d->readNumbers(
                 QStringLiteral("select number from %1 where number = ? and direction = ?")
                     .arg(d->table("PGNs", line)),
                 {number, direction})
                .isEmpty();
}

QList<quint32> ObjectDataBase::getPGNs(quint8 line, quint8 direction) const
{
    if (direction == 0)
        return d->readNumbers(
            QStringLiteral("select number from %1 order by number asc").arg(d->table("PGNs", line)),
            {});
    return d->readNumbers(QStringLiteral("select number from %1 where direction = ? order by "
                                         "number asc")
                              .arg(d->table("PGNs", line)),
                          {direction});
}

// PGNs of the line in direction (0: both) with numbers in [fromPgn, toPgn], ascending.
QList<ObjectDataBase::PGN> ObjectDataBasePrivate::readPgns(quint8 line, quint8 direction,
                                                           quint32 fromPgn, quint32 toPgn, bool *ok)
{
    StoreLocker locker(mutex);
    QVariantList values = {fromPgn, toPgn};
    if (direction)
        values.append(direction);
    const SqlRows rows =
        select(QStringLiteral("select %1 from %2 where number >= ? and "
                              "number <= ?%3 order by number asc, rowid asc")
                   .arg(QLatin1String(pgnColumns), table("PGNs", line),
                        direction ? QStringLiteral(" and direction = ?") : QString()),
               values, Q_FUNC_INFO);
    QList<PGN> pgns;
    for (const SqlRows::Row row : rows) {
        PGN pgn;
        pgn.number = quint32(row.value(0).toLongLong());
        pgn.edp_dp_key = quint8(row.value(1).toUInt());
        pgn.priority = quint8(row.value(2).toUInt());
        pgn.cycletime_ms = quint16(row.value(3).toUInt());
        pgn.inhibittime_ms = quint16(row.value(4).toUInt());
        pgn.mappingcount = quint16(row.value(5).toUInt());
        pgn.direction = quint8(row.value(6).toUInt());
        pgn.name = textOf(row.value(7));
        pgn.desc = textOf(row.value(8));
        pgns.append(pgn);
    }
    if (ok)
        *ok = rows.ok();
    return pgns;
}

bool ObjectDataBase::getPGNData(quint8 line, quint32 number, quint8 direction, PGN &pgn) const
{
    if (direction == 0)
        return false;
    const QList<PGN> found = d->readPgns(line, direction, number, number);
    if (found.isEmpty())
        return false;
    pgn = found.first();
    pgn.number = number;
    pgn.direction = direction;
    return true;
}

QString ObjectDataBase::getPGNName(quint8 line, quint32 number, quint8 direction) const
{
    return d->messageName(QStringLiteral("select name from %1 where number = ? and direction = ?")
                              .arg(d->table("PGNs", line)),
                          {number, direction});
}

quint32 ObjectDataBase::getPGNMappingCount(quint8 line, quint32 number, quint8 direction) const
{
    return d
        ->readNumbers(QStringLiteral("select mappingcount from %1 where number = ? and "
                                     "direction = ?")
                          .arg(d->table("PGNs", line)),
                      {number, direction})
        .value(0, 0);
}

bool ObjectDataBase::addPGN(quint8 line, quint32 number, const PGN &pgn)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(pgn.name);
    const int descId = getStringId(pgn.desc);
    const QString pgns = d->table("PGNs", line);
    // Both statements take their values in the same order.
    const QString sql =
        existsPGN(line, number, pgn.direction)
            ? QStringLiteral("update %1 set name = ?, \"desc\" = ?, edp_dp_key = ?, "
                             "priority = ?, cycletime_ms = ?, inhibittime_ms = ?, "
                             "mappingcount = ? where number = ? and direction = ?")
                  .arg(pgns)
            : QStringLiteral("insert into %1 (name, \"desc\", edp_dp_key, priority, "
                             "cycletime_ms, inhibittime_ms, mappingcount, number, direction) "
                             "values(?,?,?,?,?,?,?,?,?)")
                  .arg(pgns);
    const bool ok = nameId >= 0 && descId >= 0
                    && d->exec(sql,
                               {nameId, descId, pgn.edp_dp_key, pgn.priority, pgn.cycletime_ms,
                                pgn.inhibittime_ms, pgn.mappingcount, number, pgn.direction},
                               Q_FUNC_INFO);
    if (ok)
        notifyMessage(ChangeSet::PgnChanged, line, number, 0, 0, 0, pgn.direction);
    return unit.commit() && ok;
}

bool ObjectDataBase::delPGN(quint8 line, quint32 number, quint8 direction)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("delete from %1 where pgnnumber = ? and direction = ?")
                                .arg(d->table("SPNs", line)),
                            {number, direction}, Q_FUNC_INFO)
                    && d->exec(QStringLiteral("delete from %1 where number = ? and direction = ?")
                                   .arg(d->table("PGNs", line)),
                               {number, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::PgnDeleted, line, number, 0, 0, 0, direction);
    return unit.commit() && ok;
}

// SPNs of the line matching condition, in ascending position. ok (when given) tells
// whether the table could be read.
QList<ObjectDataBase::SPN> ObjectDataBasePrivate::readSpns(quint8 line, const QString &condition,
                                                           const QVariantList &values, bool *ok)
{
    StoreLocker locker(mutex);
    const SqlRows rows =
        select(QStringLiteral("select %1 from %2%3 order by pos asc, rowid asc")
                   .arg(QLatin1String(spnColumns), table("SPNs", line),
                        condition.isEmpty() ? QString() : QLatin1String(" where ") + condition),
               values, Q_FUNC_INFO);
    QList<SPN> spns;
    for (const SqlRows::Row row : rows) {
        SPN spn;
        spn.pgnnumber = quint32(row.value(0).toLongLong());
        spn.spnnumber = quint32(row.value(1).toLongLong());
        spn.datatype = quint16(row.value(2).toUInt());
        spn.implementation = quint8(row.value(3).toUInt());
        spn.varname = row.value(4).toString();
        spn.defaultvalue = row.value(5).toString();
        spn.name = textOf(row.value(6));
        spn.desc = textOf(row.value(7));
        spn.pos = quint8(row.value(8).toUInt());
        spn.bitsize = quint16(row.value(9).toUInt());
        spn.direction = quint8(row.value(10).toUInt());
        spn.slot_df = quint16(row.value(11).toUInt());
        spns.append(spn);
    }
    if (ok)
        *ok = rows.ok();
    return spns;
}

QList<quint32> ObjectDataBase::getSPNs(quint8 line, quint32 pgn, quint8 direction) const
{
    StoreLocker locker(d->mutex);
    const auto cached = d->spnCache.constFind(line);
    if (cached != d->spnCache.constEnd())
        return cached->value(pgnKey(pgn, direction)).order;
    return d->readNumbers(QStringLiteral("select spnnumber from %1 where pgnnumber = ? and "
                                         "direction = ? order by pos asc, rowid asc")
                              .arg(d->table("SPNs", line)),
                          {pgn, direction});
}

bool ObjectDataBase::getSPNData(quint8 line, quint32 pgn, quint8 direction, quint32 spn,
                                SPN &data) const
{
    StoreLocker locker(d->mutex);
    const auto cached = d->spnCache.constFind(line);
    if (cached != d->spnCache.constEnd()) {
        const auto group = cached->constFind(pgnKey(pgn, direction));
        if (group == cached->constEnd() || !group->records.contains(spn))
            return false;
        data = group->records.value(spn);
        return true;
    }
    const QList<SPN> found =
        d->readSpns(line, QStringLiteral("pgnnumber = ? and direction = ? and spnnumber = ?"),
                    {pgn, direction, spn});
    if (found.isEmpty())
        return false;
    data = found.first();
    return true;
}

bool ObjectDataBase::getSPNName(quint8 line, quint32 pgn, quint8 direction, quint32 spn,
                                QString &name) const
{
    SPN data;
    if (!getSPNData(line, pgn, direction, spn, data))
        return false;
    name = data.name;
    return true;
}

quint16 ObjectDataBase::getSPNDataType(quint8 line, quint32 pgn, quint32 spn) const
{
    return quint16(d->readNumbers(QStringLiteral("select datatype from %1 where pgnnumber = ? AND "
                                                 "spnnumber = ?")
                                      .arg(d->table("SPNs", line)),
                                  {pgn, spn})
                       .value(0, 0));
}

bool ObjectDataBase::getSPNDataTypes(quint8 line, quint32 pgn, const QList<quint32> &spns,
                                     QList<quint16> &dataTypes) const
{
    StoreLocker locker(d->mutex);
    if (d->spnTypeCache.contains(line))
        return getSPNDataTypesFromCache(line, pgn, spns, dataTypes);
    const SqlRows rows =
        d->select(QStringLiteral("SELECT datatype, spnnumber from %1 WHERE pgnnumber = ?")
                      .arg(d->table("SPNs", line)),
                  {pgn}, Q_FUNC_INFO);
    QHash<quint32, quint16> types;
    for (const SqlRows::Row row : rows)
        types.insert(quint32(row.value(1).toLongLong()), quint16(row.value(0).toUInt()));
    dataTypes.clear();
    bool complete = rows.ok();
    for (quint32 spn : spns) {
        complete = complete && types.contains(spn);
        dataTypes.append(types.value(spn, 0));
    }
    return complete;
}

bool ObjectDataBase::addSPN(quint8 line, quint32 pgn, quint8 direction, quint32 spn,
                            const SPN &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(data.name);
    const int descId = getStringId(data.desc);
    const QString spns = d->table("SPNs", line);
    const bool exists = !d->readNumbers(QStringLiteral("select spnnumber from %1 where pgnnumber "
                                                       "= ? AND spnnumber = ? and direction = ?")
                                            .arg(spns),
                                        {pgn, spn, direction})
                             .isEmpty();
    const QString sql =
        exists ? QStringLiteral("update %1 set name = ?, \"desc\" = ?, defaultvalue = ?, "
                                "datatype = ?, implementation = ?, varname = ?, pos = ?, "
                                "bitsize = ?, slot_df = ? where pgnnumber = ? and "
                                "spnnumber = ? and direction = ?")
                     .arg(spns)
               : QStringLiteral("insert into %1 (name, \"desc\", defaultvalue, datatype, "
                                "implementation, varname, pos, bitsize, slot_df, pgnnumber, "
                                "spnnumber, direction) values(?,?,?,?,?,?,?,?,?,?,?,?)")
                     .arg(spns);
    const bool ok = nameId >= 0 && descId >= 0
                    && d->exec(sql,
                               {nameId, descId, d->sqlText(data.defaultvalue), data.datatype,
                                data.implementation, d->sqlText(data.varname), data.pos,
                                data.bitsize, data.slot_df, pgn, spn, direction},
                               Q_FUNC_INFO);
    notifyMessage(ChangeSet::SpnChanged, line, pgn, spn, 0, 0, direction);
    return unit.commit() && ok;
}

bool ObjectDataBase::delSPN(quint8 line, quint32 pgn, quint8 direction, quint32 spn)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("delete from %1 where pgnnumber = ? AND "
                                           "spnnumber = ? and direction = ?")
                                .arg(d->table("SPNs", line)),
                            {pgn, spn, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::SpnDeleted, line, pgn, spn, 0, 0, direction);
    return unit.commit() && ok;
}

void ObjectDataBase::cacheAllSpnDataForLine(quint8 line) const
{
    StoreLocker locker(d->mutex);
    d->spnCache.remove(line);
    bool ok = false;
    const QList<SPN> spns = d->readSpns(line, QString(), {}, &ok);
    if (!ok)
        return;
    QHash<quint64, ObjectDataBasePrivate::CachedSpns> groups;
    for (const SPN &spn : spns) {
        ObjectDataBasePrivate::CachedSpns &group = groups[pgnKey(spn.pgnnumber, spn.direction)];
        group.order.append(spn.spnnumber);
        group.records.insert(spn.spnnumber, spn);
    }
    d->spnCache.insert(line, groups);
}

void ObjectDataBase::clearAllCachedSpnData() const
{
    StoreLocker locker(d->mutex);
    d->spnCache.clear();
    d->spnTypeCache.clear();
}

void ObjectDataBase::cacheAllSpnDataTypes(quint8 line) const
{
    StoreLocker locker(d->mutex);
    d->spnTypeCache.remove(line);
    const SqlRows rows = d->select(
        QStringLiteral("select pgnnumber, spnnumber, datatype from %1").arg(d->table("SPNs", line)),
        {}, Q_FUNC_INFO);
    if (!rows.ok())
        return;
    QHash<quint32, QHash<quint32, quint16>> types;
    for (const SqlRows::Row row : rows)
        types[quint32(row.value(0).toLongLong())].insert(quint32(row.value(1).toLongLong()),
                                                         quint16(row.value(2).toUInt()));
    d->spnTypeCache.insert(line, types);
}

bool ObjectDataBase::getSPNDataTypesFromCache(quint8 line, quint32 pgn, const QList<quint32> &spns,
                                              QList<quint16> &dataTypes) const
{
    StoreLocker locker(d->mutex);
    const auto cached = d->spnTypeCache.constFind(line);
    if (cached == d->spnTypeCache.constEnd())
        return false;
    const QHash<quint32, quint16> types = cached->value(pgn);
    dataTypes.clear();
    bool complete = true;
    for (quint32 spn : spns) {
        complete = complete && types.contains(spn);
        dataTypes.append(types.value(spn, 0));
    }
    return complete;
}
