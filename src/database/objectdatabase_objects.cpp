#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include "metadatablob.h"

#include <QDebug>

namespace {

const QStringList objectColumns = {QStringLiteral("objectindex"),  QStringLiteral("name"),
                                   QStringLiteral("datatype"),     QStringLiteral("objecttype"),
                                   QStringLiteral("description"),  QStringLiteral("category"),
                                   QStringLiteral("device_class"), QStringLiteral("fwsupported")};

// Columns of an object read, in the order readIndexRow expects them.
const char *const objectColumnsRead =
    "name, datatype, objecttype, description, category, device_class, fwsupported, metadata";

} // namespace

SqlRows ObjectDataBasePrivate::objectRow(quint8 line, quint16 index, const QString &columns)
{
    return select(QStringLiteral("select %1 from %2 where objectindex = ?")
                      .arg(columns, table("Objects", line)),
                  {index}, Q_FUNC_INFO);
}

bool ObjectDataBase::existIndex(quint8 line, quint16 index) const
{
    StoreLocker locker(d->mutex);
    if (const auto *objects = d->snapshotObjects(line))
        return objects->contains(index);
    // Asked before every write of an object, so on SQLite's handle.
    const QString sql = QStringLiteral("select objectindex from %1 where objectindex = ?")
                            .arg(d->table("Objects", line));
    sqlite3_stmt *select = d->rawPrepared(sql, Q_FUNC_INFO);
    return d->rawHasRow(select, RawRow(select).number(index).ok(), sql, Q_FUNC_INFO);
}

QList<quint16> ObjectDataBase::getIndices(quint8 line, quint16 from, quint16 to) const
{
    StoreLocker locker(d->mutex);
    QList<quint16> indices;
    if (const auto *objects = d->snapshotObjects(line)) {
        for (auto it = objects->lowerBound(from); it != objects->constEnd() && it.key() <= to; ++it)
            indices.append(it.key());
        return indices;
    }
    for (const SqlRows::Row row :
         d->select(QStringLiteral("select objectindex from %1 where objectindex >= ? and "
                                  "objectindex <= ? order by objectindex asc")
                       .arg(d->table("Objects", line)),
                   {from, to}, Q_FUNC_INFO))
        indices.append(quint16(row.value(0).toUInt()));
    return indices;
}

// Reads the object columns (objectColumnsRead) starting at column first of row row.
void ObjectDataBasePrivate::readIndexRow(const SqlRows &rows, int row, int first,
                                         INDEX_DATA_T &data)
{
    data.name = textOf(rows.at(row, first));
    data.datatype = quint16(rows.at(row, first + 1).toUInt());
    data.objecttype = quint8(rows.at(row, first + 2).toUInt());
    data.description = textOf(rows.at(row, first + 3));
    data.category = quint8(rows.at(row, first + 4).toUInt());
    data.device_class = textOf(rows.at(row, first + 5));
    data.fwsupported = rows.at(row, first + 6).toLongLong() != 0;
    data.metadata = MetaDataBlob::decode(rows.at(row, first + 7).toByteArray());
}

bool ObjectDataBase::getIndexData(quint8 line, quint16 index, INDEX_DATA_T &data) const
{
    StoreLocker locker(d->mutex);
    if (const auto *objects = d->snapshotObjects(line)) {
        const auto it = objects->constFind(index);
        if (it == objects->constEnd())
            return false;
        data = it.value();
        return true;
    }
    const SqlRows rows = d->objectRow(line, index, QLatin1String(objectColumnsRead));
    if (rows.isEmpty())
        return false;
    d->readIndexRow(rows, 0, 0, data);
    return true;
}

QMap<quint16, ObjectDataBase::INDEX_DATA_T> ObjectDataBasePrivate::objectsOf(quint8 line,
                                                                             quint16 fromIndex,
                                                                             quint16 toIndex,
                                                                             bool *ok)
{
    StoreLocker locker(mutex);
    const SqlRows rows = select(QStringLiteral("select objectindex, %1 from %2 where "
                                               "objectindex >= ? and objectindex <= ?")
                                    .arg(QLatin1String(objectColumnsRead), table("Objects", line)),
                                {fromIndex, toIndex}, Q_FUNC_INFO);
    QMap<quint16, INDEX_DATA_T> objects;
    for (int i = 0; i < rows.count(); ++i)
        readIndexRow(rows, i, 1, objects[quint16(rows.at(i, 0).toUInt())]);
    *ok = rows.ok();
    return objects;
}

QString ObjectDataBase::getIndexName(quint8 line, quint16 index) const
{
    StoreLocker locker(d->mutex);
    if (const auto *objects = d->snapshotObjects(line)) {
        const auto it = objects->constFind(index);
        return it != objects->constEnd() ? it->name : QString();
    }
    return d->textOf(d->objectRow(line, index, QStringLiteral("name")).first());
}

bool ObjectDataBase::setIndexName(quint8 line, quint16 index, const QString &name)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(name);
    const bool ok = nameId >= 0
                    && d->exec(QStringLiteral("update %1 set name=? where ((objectindex = ?))")
                                   .arg(d->table("Objects", line)),
                               {nameId, index}, Q_FUNC_INFO);
    return unit.commit() && ok;
}

// The condition "column = value" of a property query. Columns holding Strings ids are
// matched by their text; a number is matched as a number (decimal or "0x" hexadecimal),
// anything else as text.
QString ObjectDataBasePrivate::propertyCondition(const QString &column, const QString &value,
                                                 bool asNumber, QVariant &bound)
{
    static const QStringList stringColumns = {QStringLiteral("name"), QStringLiteral("description"),
                                              QStringLiteral("device_class"),
                                              QStringLiteral("denotation")};
    if (stringColumns.contains(column)) {
        bound = sqlText(value);
        return QStringLiteral("%1 in (select id from Strings where string = ?)").arg(column);
    }
    bool isNumber = false;
    const qlonglong number = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                 ? value.mid(2).toLongLong(&isNumber, 16)
                                 : value.toLongLong(&isNumber, 10);
    if (asNumber && isNumber)
        bound = number;
    else if (asNumber)
        return QString();
    else
        bound = sqlText(value);
    return QStringLiteral("%1 = ?").arg(column);
}

QList<quint16> ObjectDataBase::getIndicesByProperty(quint8 line, const QString &column,
                                                    const QString &value) const
{
    StoreLocker locker(d->mutex);
    QList<quint16> indices;
    if (!objectColumns.contains(column)) {
        qDebug() << Q_FUNC_INFO << "no such column" << column;
        return indices;
    }
    QVariant bound;
    QString condition = d->propertyCondition(column, value, true, bound);
    if (condition.isEmpty())
        condition = d->propertyCondition(column, value, false, bound);
    for (const SqlRows::Row row : d->select(QStringLiteral("select objectindex from %1 where %2")
                                                .arg(d->table("Objects", line), condition),
                                            {bound}, Q_FUNC_INFO))
        indices.append(quint16(row.value(0).toUInt()));
    return indices;
}

quint16 ObjectDataBase::getNextFreeIndex(quint8 line, quint16 start) const
{
    StoreLocker locker(d->mutex);
    const QList<quint16> indices = getIndices(line, start, 0xFFFF);
    const QSet<quint16> used(indices.cbegin(), indices.cend());
    if (!used.contains(start))
        return start;
    for (quint16 index : indices) {
        const quint16 next = quint16(index + 1);
        if (!used.contains(next))
            return next;
    }
    return start;
}

bool ObjectDataBase::addIndex(quint8 line, quint16 index, const INDEX_DATA_T &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(data.name);
    const int descriptionId = getStringId(data.description);
    const int classId = getStringId(data.device_class);
    const QString objects = d->table("Objects", line);
    // Both statements take their values in the same order.
    const QString sql = existIndex(line, index)
                            ? QStringLiteral("update %1 set name = ?, datatype=?, objecttype = ?, "
                                             "description = ?, category = ?, device_class = ?, "
                                             "fwsupported = ? where objectindex = ?")
                                  .arg(objects)
                            : QStringLiteral("insert into %1 (name, datatype, objecttype, "
                                             "description, category, device_class, fwsupported, "
                                             "objectindex, metadata) values(?,?,?,?,?,?,?,?,0)")
                                  .arg(objects);
    bool ok = nameId >= 0 && descriptionId >= 0 && classId >= 0;
    if (ok) {
        sqlite3_stmt *statement = d->rawPrepared(sql, Q_FUNC_INFO);
        RawRow row(statement);
        row.number(nameId)
            .number(data.datatype)
            .number(data.objecttype)
            .number(descriptionId)
            .number(data.category)
            .number(classId)
            .number(data.fwsupported)
            .number(index);
        ok = d->rawRun(statement, row.ok(), sql, Q_FUNC_INFO)
             && saveIndexMetaData(line, index, data.metadata);
    }
    notify(ChangeSet(ChangeSet::IndexChanged, line, index));
    return unit.commit() && ok;
}

bool ObjectDataBase::delIndex(quint8 line, quint16 index, bool keepConnections)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    bool ok =
        d->exec(QStringLiteral("delete from %1 where objectindex = ?")
                    .arg(d->table("SubObjects", line)),
                {index}, Q_FUNC_INFO)
        && d->exec(
            QStringLiteral("delete from %1 where objectindex = ?").arg(d->table("Objects", line)),
            {index}, Q_FUNC_INFO);
    if (ok && !keepConnections)
        ok = removeConnnection(line, index);
    if (ok)
        notify(ChangeSet(ChangeSet::IndexDeleted, line, index));
    return unit.commit() && ok;
}

bool ObjectDataBase::saveIndexMetaData(quint8 line, quint16 index, const MetaData &metadata)
{
    StoreLocker locker(d->mutex);
    const QString sql = QStringLiteral("update %1 SET metadata = ? where objectindex = ?")
                            .arg(d->table("Objects", line));
    const QByteArray blob = MetaDataBlob::encode(metadata);
    sqlite3_stmt *update = d->rawPrepared(sql, Q_FUNC_INFO);
    return d->rawRun(update, RawRow(update).blob(blob).number(index).ok(), sql, Q_FUNC_INFO);
}

bool ObjectDataBase::getAllIndexMetaData(quint8 line, QList<MetaData> &list) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->select(QStringLiteral("select metadata from %1 where objectindex >= ? "
                                                  "order by objectindex asc")
                                       .arg(d->table("Objects", line)),
                                   {0x1000}, Q_FUNC_INFO);
    for (const SqlRows::Row row : rows) {
        const MetaData metadata = MetaDataBlob::decode(row.value(0).toByteArray());
        if (!metadata.isEmpty() && !list.contains(metadata))
            list.append(metadata);
    }
    return rows.ok();
}
