#include "objectdatabase.h"

#include "metadatablob.h"

#include <QDebug>
#include <QMutexLocker>

namespace {

const QStringList objectColumns = {QStringLiteral("objectindex"),  QStringLiteral("name"),
                                   QStringLiteral("datatype"),     QStringLiteral("objecttype"),
                                   QStringLiteral("description"),  QStringLiteral("category"),
                                   QStringLiteral("device_class"), QStringLiteral("fwsupported")};

} // namespace

// The object's row with the given columns, the query positioned on it; nullptr when there
// is no such object. The caller finishes the query once read.
QSqlQuery *ObjectDataBase::objectRow(quint8 line, quint16 index, const QString &columns)
{
    QSqlQuery &query = prepared(QStringLiteral("select %1 from %2 where objectindex = ?")
                                    .arg(columns, table("Objects", line)));
    query.bindValue(0, index);
    if (run(query, Q_FUNC_INFO) && query.next())
        return &query;
    query.finish();
    return nullptr;
}

bool ObjectDataBase::existIndex(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = objectRow(line, index, QStringLiteral("objectindex"));
    if (row)
        row->finish();
    return row != nullptr;
}

QList<quint16> ObjectDataBase::getIndices(quint8 line, quint16 from, quint16 to)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral("select objectindex from %1 where objectindex >= ? "
                                               "and objectindex <= ? order by objectindex asc")
                                    .arg(table("Objects", line)));
    query.bindValue(0, from);
    query.bindValue(1, to);
    QList<quint16> indices;
    if (run(query, Q_FUNC_INFO)) {
        while (query.next())
            indices.append(quint16(query.value(0).toUInt()));
    }
    query.finish();
    return indices;
}

bool ObjectDataBase::getIndexData(quint8 line, quint16 index, INDEX_DATA_T &data)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = objectRow(line, index,
                               QStringLiteral("name, datatype, objecttype, description, "
                                              "category, device_class, fwsupported, metadata"));
    if (!row)
        return false;
    const int nameId = row->value(0).toInt();
    data.datatype = quint16(row->value(1).toUInt());
    data.objecttype = quint8(row->value(2).toUInt());
    const int descriptionId = row->value(3).toInt();
    data.category = quint8(row->value(4).toUInt());
    const int classId = row->value(5).toInt();
    data.fwsupported = row->value(6).toLongLong() != 0;
    data.metadata = MetaDataBlob::decode(row->value(7).toByteArray());
    row->finish();
    data.name = getString(nameId);
    data.description = getString(descriptionId);
    data.device_class = getString(classId);
    return true;
}

QString ObjectDataBase::getIndexName(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = objectRow(line, index, QStringLiteral("name"));
    if (!row)
        return QString();
    const int nameId = row->value(0).toInt();
    row->finish();
    return getString(nameId);
}

bool ObjectDataBase::setIndexName(quint8 line, quint16 index, const QString &name)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int nameId = getStringId(name);
    QSqlQuery &update = prepared(QStringLiteral("update %1 set name=? where ((objectindex = ?))")
                                     .arg(table("Objects", line)));
    update.bindValue(0, nameId);
    update.bindValue(1, index);
    return run(update, Q_FUNC_INFO);
}

// The condition "column = value" of a property query. Columns holding Strings ids are
// matched by their text; a number is matched as a number (decimal or "0x" hexadecimal),
// anything else as text.
QString ObjectDataBase::propertyCondition(const QString &column, const QString &value,
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
                                                    const QString &value)
{
    QMutexLocker locker(&m_mutex);
    QList<quint16> indices;
    if (!objectColumns.contains(column)) {
        qDebug() << Q_FUNC_INFO << "no such column" << column;
        return indices;
    }
    QVariant bound;
    QString condition = propertyCondition(column, value, true, bound);
    if (condition.isEmpty())
        condition = propertyCondition(column, value, false, bound);
    QSqlQuery &query = prepared(QStringLiteral("select objectindex from %1 where %2")
                                    .arg(table("Objects", line), condition));
    query.bindValue(0, bound);
    if (run(query, Q_FUNC_INFO)) {
        while (query.next())
            indices.append(quint16(query.value(0).toUInt()));
    }
    query.finish();
    return indices;
}

quint16 ObjectDataBase::getNextFreeIndex(quint8 line, quint16 start)
{
    QMutexLocker locker(&m_mutex);
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
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int nameId = getStringId(data.name);
    const int descriptionId = getStringId(data.description);
    const int classId = getStringId(data.device_class);
    const QString objects = table("Objects", line);
    QSqlQuery &query =
        prepared(existIndex(line, index)
                     ? QStringLiteral("update %1 set name = ?, datatype=?, objecttype = ?, "
                                      "description = ?, category = ?, device_class = ?, "
                                      "fwsupported = ? where objectindex = ?")
                           .arg(objects)
                     : QStringLiteral("insert into %1 (name, datatype, objecttype, description, "
                                      "category, device_class, fwsupported, objectindex, metadata) "
                                      "values(?,?,?,?,?,?,?,?,0)")
                           .arg(objects));
    query.bindValue(0, nameId);
    query.bindValue(1, data.datatype);
    query.bindValue(2, data.objecttype);
    query.bindValue(3, descriptionId);
    query.bindValue(4, data.category);
    query.bindValue(5, classId);
    query.bindValue(6, int(data.fwsupported));
    query.bindValue(7, index);
    const bool ok = run(query, Q_FUNC_INFO);
    saveIndexMetaData(line, index, data.metadata);
    notify(ChangeSet(ChangeSet::IndexChanged, line, index));
    return ok;
}

bool ObjectDataBase::delIndex(quint8 line, quint16 index, bool keepConnections)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    QSqlQuery &subs = prepared(
        QStringLiteral("delete from %1 where objectindex = ?").arg(table("SubObjects", line)));
    subs.bindValue(0, index);
    run(subs, Q_FUNC_INFO);
    QSqlQuery &object = prepared(
        QStringLiteral("delete from %1 where objectindex = ?").arg(table("Objects", line)));
    object.bindValue(0, index);
    const bool ok = run(object, Q_FUNC_INFO);
    if (!keepConnections)
        removeConnnection(line, index);
    if (ok)
        notify(ChangeSet(ChangeSet::IndexDeleted, line, index));
    return ok;
}

bool ObjectDataBase::saveIndexMetaData(quint8 line, quint16 index, const MetaData &metadata)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &update = prepared(QStringLiteral("update %1 SET metadata = ? where objectindex = ?")
                                     .arg(table("Objects", line)));
    update.bindValue(0, MetaDataBlob::encode(metadata));
    update.bindValue(1, index);
    return run(update, Q_FUNC_INFO);
}

bool ObjectDataBase::getAllIndexMetaData(quint8 line, QList<MetaData> &list)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral("select metadata from %1 where objectindex >= ? "
                                               "order by objectindex asc")
                                    .arg(table("Objects", line)));
    query.bindValue(0, 0x1000);
    const bool ok = run(query, Q_FUNC_INFO);
    while (ok && query.next()) {
        const MetaData metadata = MetaDataBlob::decode(query.value(0).toByteArray());
        if (!metadata.isEmpty() && !list.contains(metadata))
            list.append(metadata);
    }
    query.finish();
    return ok;
}
