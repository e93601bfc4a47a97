#include "objectdatabase.h"

#include "metadatablob.h"
#include "panelkit/helper.h"

#include <QDebug>
#include <QMutexLocker>

namespace {

// Columns of a sub-index read, in the order readSubIndexRow expects them.
const char *const subIndexColumns =
    "name, datatype, accesstype, allowedaccesstypes, currentvalue, defaultineds, "
    "defaultvalue, description, implementation, limitineds, lowlimit, pdomapping, "
    "refuseread, refusewrite, size, uplimit, varname, category, writedefaulttoeds, "
    "cyclicread, dcfcomponent, changedbyuser, wizardsource, denotation, sharedlines, "
    "managedbycbw, signalid, nvstorage, metadata";
const int subIndexColumnCount = 29;

const QStringList propertyColumns = {QStringLiteral("objectindex"),
                                     QStringLiteral("subindex"),
                                     QStringLiteral("name"),
                                     QStringLiteral("datatype"),
                                     QStringLiteral("accesstype"),
                                     QStringLiteral("defaultvalue"),
                                     QStringLiteral("currentvalue"),
                                     QStringLiteral("pdomapping"),
                                     QStringLiteral("lowlimit"),
                                     QStringLiteral("uplimit"),
                                     QStringLiteral("size"),
                                     QStringLiteral("defaultineds"),
                                     QStringLiteral("limitineds"),
                                     QStringLiteral("refuseread"),
                                     QStringLiteral("refusewrite"),
                                     QStringLiteral("allowedaccesstypes"),
                                     QStringLiteral("implementation"),
                                     QStringLiteral("varname"),
                                     QStringLiteral("description"),
                                     QStringLiteral("category"),
                                     QStringLiteral("writedefaulttoeds"),
                                     QStringLiteral("cyclicread"),
                                     QStringLiteral("dcfcomponent"),
                                     QStringLiteral("changedbyuser"),
                                     QStringLiteral("wizardsource"),
                                     QStringLiteral("denotation"),
                                     QStringLiteral("sharedlines"),
                                     QStringLiteral("managedbycbw"),
                                     QStringLiteral("signalid"),
                                     QStringLiteral("nvstorage")};

quint32 subKey(quint16 index, quint8 sub)
{
    return quint32(index) * 256 + sub;
}

quint32 subNameKey(quint8 line, quint16 index, quint8 sub)
{
    return quint32(index) * 65536 + quint32(line) * 256 + sub;
}

} // namespace

// Reads the columns of subIndexColumns starting at column first.
void ObjectDataBase::readSubIndexRow(const QSqlQuery &query, int first, SUBINDEX_DATA_T &data)
{
    int c = first;
    auto text = [&query, &c]() { return query.value(c++).toString(); };
    auto number = [&query, &c]() { return query.value(c++).toLongLong(); };
    auto flag = [&query, &c]() { return query.value(c++).toLongLong() != 0; };
    data.name = getString(int(number()));
    data.datatype = quint16(number());
    data.accesstype = text();
    data.allowedaccesstypes = text();
    data.currentvalue = text();
    data.defaultineds = flag();
    data.defaultvalue = text();
    data.description = getString(int(number()));
    data.implementation = quint8(number());
    data.limitineds = flag();
    data.lowlimit = number();
    data.pdomapping = quint8(number());
    data.refuseread = flag();
    data.refusewrite = flag();
    data.size = quint32(number());
    data.uplimit = number();
    data.varname = text();
    data.category = quint8(number());
    data.writedefaulttoeds = quint8(number());
    data.cyclicread = flag();
    data.dcfcomponent = flag();
    data.changedbyuser = flag();
    data.wizardsource = quint16(number());
    data.denotation = getString(int(number()));
    data.sharedlines = flag();
    data.managedbycbw = flag();
    data.signalid = quint32(number());
    data.nvstorage = flag();
    const QByteArray blob = query.value(c++).toByteArray();
    data.metadata = blob.isEmpty() ? MetaData() : MetaDataBlob::decode(blob);
}

// The entry's row with the given columns, the query positioned on it; nullptr when there
// is no such entry. The caller finishes the query once read.
QSqlQuery *ObjectDataBase::subIndexRow(quint8 line, quint16 index, quint8 sub,
                                       const QString &columns)
{
    QSqlQuery &query = prepared(QStringLiteral("select %1 from %2 where objectindex = ? and "
                                               "subindex = ?")
                                    .arg(columns, table("SubObjects", line)));
    query.bindValue(0, index);
    query.bindValue(1, sub);
    if (run(query, Q_FUNC_INFO) && query.next())
        return &query;
    query.finish();
    return nullptr;
}

bool ObjectDataBase::existSubIndex(quint8 line, quint16 index, quint8 sub)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = subIndexRow(line, index, sub, QStringLiteral("subindex"));
    if (row)
        row->finish();
    return row != nullptr;
}

QList<quint8> ObjectDataBase::subIndexList(quint8 line, quint16 index, quint8 fromSub,
                                           bool mappable)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        prepared(QStringLiteral("select subindex from %1 where objectindex = ? "
                                "and subindex >= ?%2 order by subindex asc")
                     .arg(table("SubObjects", line),
                          mappable ? QStringLiteral(" and pdomapping != 0") : QString()));
    query.bindValue(0, index);
    query.bindValue(1, fromSub);
    QList<quint8> subs;
    if (run(query, Q_FUNC_INFO)) {
        while (query.next())
            subs.append(quint8(query.value(0).toUInt()));
    }
    query.finish();
    return subs;
}

QList<quint8> ObjectDataBase::getSubIndices(quint8 line, quint16 index, quint8 fromSub)
{
    return subIndexList(line, index, fromSub, false);
}

QList<quint8> ObjectDataBase::getSubIndicesMappable(quint8 line, quint16 index, quint8 fromSub)
{
    return subIndexList(line, index, fromSub, true);
}

bool ObjectDataBase::getSubIndexData(quint8 line, quint16 index, quint8 sub, SUBINDEX_DATA_T &data)
{
    QMutexLocker locker(&m_mutex);
    const auto cachedLine = m_subCache.constFind(line);
    if (cachedLine != m_subCache.constEnd()) {
        const auto cached = cachedLine->constFind(subKey(index, sub));
        if (cached != cachedLine->constEnd()) {
            data = cached.value();
            return true;
        }
    }
    QSqlQuery *row = subIndexRow(line, index, sub, QLatin1String(subIndexColumns));
    if (!row)
        return false;
    readSubIndexRow(*row, 0, data);
    row->finish();
    return true;
}

// The sub-indices of one object, read from the file.
QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> ObjectDataBase::subIndicesOf(quint8 line,
                                                                           quint16 index)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        prepared(QStringLiteral("select subindex, %1 from %2 where "
                                "objectindex = ? order by subindex asc")
                     .arg(QLatin1String(subIndexColumns), table("SubObjects", line)));
    query.bindValue(0, index);
    QMap<quint8, SUBINDEX_DATA_T> subs;
    if (run(query, Q_FUNC_INFO)) {
        while (query.next()) {
            SUBINDEX_DATA_T data;
            readSubIndexRow(query, 1, data);
            subs.insert(quint8(query.value(0).toUInt()), data);
        }
    }
    query.finish();
    return subs;
}

bool ObjectDataBase::addSubIndex(quint8 line, quint16 index, quint8 sub,
                                 const SUBINDEX_DATA_T &data)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int nameId = getStringId(data.name);
    const int descriptionId = getStringId(data.description);
    const int denotationId = getStringId(data.denotation);
    QSqlQuery &insert = prepared(
        QStringLiteral(
            "insert or replace into %1 (objectindex, subindex, name, datatype, accesstype, "
            "defaultvalue, currentvalue, pdomapping, lowlimit, uplimit, size, defaultineds, "
            "limitineds, refuseread, refusewrite, allowedaccesstypes, implementation, varname, "
            "description, category, writedefaulttoeds, cyclicread, dcfcomponent, changedbyuser, "
            "wizardsource, denotation, sharedlines, managedbycbw, signalid, nvstorage, metadata) "
            "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)")
            .arg(table("SubObjects", line)));
    const QVariantList values = {index,
                                 sub,
                                 nameId,
                                 data.datatype,
                                 sqlText(data.accesstype),
                                 sqlText(data.defaultvalue),
                                 sqlText(data.currentvalue),
                                 data.pdomapping,
                                 data.lowlimit,
                                 data.uplimit,
                                 data.size,
                                 int(data.defaultineds),
                                 int(data.limitineds),
                                 int(data.refuseread),
                                 int(data.refusewrite),
                                 sqlText(data.allowedaccesstypes),
                                 data.implementation,
                                 sqlText(data.varname),
                                 descriptionId,
                                 data.category,
                                 data.writedefaulttoeds,
                                 int(data.cyclicread),
                                 int(data.dcfcomponent),
                                 int(data.changedbyuser),
                                 data.wizardsource,
                                 denotationId,
                                 int(data.sharedlines),
                                 int(data.managedbycbw),
                                 data.signalid,
                                 int(data.nvstorage)};
    for (int i = 0; i < values.size(); ++i)
        insert.bindValue(i, values.at(i));
    const bool ok = run(insert, Q_FUNC_INFO);
    if (!data.metadata.isEmpty())
        saveSubIndexMetaData(line, index, sub, data.metadata);
    const auto cachedLine = m_subCache.find(line);
    if (cachedLine != m_subCache.end())
        cachedLine->insert(subKey(index, sub), data);
    notify(ChangeSet(ChangeSet::SubIndexChanged, line, index, sub));
    return ok;
}

bool ObjectDataBase::delSubIndex(quint8 line, quint16 index, quint8 sub, bool keepConnections)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const bool existed = existSubIndex(line, index, sub);
    QSqlQuery &remove = prepared(QStringLiteral("delete from %1 where objectindex = ? and "
                                                "subindex = ?")
                                     .arg(table("SubObjects", line)));
    remove.bindValue(0, index);
    remove.bindValue(1, sub);
    const bool ok = run(remove, Q_FUNC_INFO);
    if (!keepConnections)
        removeConnnection(line, index, sub);
    if (existed)
        notify(ChangeSet(ChangeSet::SubIndexDeleted, line, index, sub));
    return ok;
}

QVariant ObjectDataBase::subIndexColumn(quint8 line, quint16 index, quint8 sub, const char *column)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = subIndexRow(line, index, sub, QLatin1String(column));
    if (!row)
        return QVariant();
    const QVariant value = row->value(0);
    row->finish();
    return value;
}

bool ObjectDataBase::setSubIndexColumn(quint8 line, quint16 index, quint8 sub, const char *column,
                                       const QVariant &value, const char *signature)
{
    QSqlQuery &update = prepared(QStringLiteral("update %1 set %2 = ? where ((objectindex = ?) "
                                                "and (subindex = ?))")
                                     .arg(table("SubObjects", line), QLatin1String(column)));
    update.bindValue(0, value);
    update.bindValue(1, index);
    update.bindValue(2, sub);
    return run(update, signature);
}

QString ObjectDataBase::getSubIndexValue(quint8 line, quint16 index, quint8 sub)
{
    return subIndexColumn(line, index, sub, "defaultvalue").toString();
}

bool ObjectDataBase::setSubIndexValue(quint8 line, quint16 index, quint8 sub, const QString &value)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    return setSubIndexColumn(line, index, sub, "defaultvalue", sqlText(value), Q_FUNC_INFO);
}

QString ObjectDataBase::getSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub)
{
    return subIndexColumn(line, index, sub, "currentvalue").toString();
}

bool ObjectDataBase::setSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub,
                                             const QString &value)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const bool ok =
        setSubIndexColumn(line, index, sub, "currentvalue", sqlText(value), Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::SubIndexChanged, line, index, sub));
    return ok;
}

quint16 ObjectDataBase::getSubIndexDatatype(quint8 line, quint16 index, quint8 sub)
{
    return quint16(subIndexColumn(line, index, sub, "datatype").toUInt());
}

quint8 ObjectDataBase::getSubIndexPdoMapping(quint8 line, quint16 index, quint8 sub)
{
    return quint8(subIndexColumn(line, index, sub, "pdomapping").toUInt());
}

quint32 ObjectDataBase::getSubIndexBitSize(quint8 line, quint16 index, quint8 sub)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery *row = subIndexRow(line, index, sub, QStringLiteral("datatype, size"));
    if (!row)
        return 0;
    const quint16 datatype = quint16(row->value(0).toUInt());
    const quint32 size = row->value(1).toUInt();
    row->finish();
    // Strings and domains take the length the entry declares; the fixed-size types the
    // length of their type (an 8-bit quantity).
    switch (datatype) {
    case 0x09: // VISIBLE_STRING
    case 0x0A: // OCTET_STRING
    case 0x0F: // DOMAIN
    case 0x7C: // UTF8_STRING
        return size * 8;
    default:
        return quint8(Helper::getDataLengthBits(datatype));
    }
}

QString ObjectDataBase::getSubIndexName(quint8 line, quint16 index, quint8 sub,
                                        bool preferDenotation)
{
    QMutexLocker locker(&m_mutex);
    const auto cached = m_subNameCache.constFind(subNameKey(line, index, sub));
    if (cached != m_subNameCache.constEnd())
        return cached.value();
    QSqlQuery *row = subIndexRow(line, index, sub, QStringLiteral("name, denotation"));
    if (!row)
        return QString();
    const int nameId = row->value(0).toInt();
    const int denotationId = row->value(1).toInt();
    row->finish();
    if (preferDenotation) {
        const QString denotation = getString(denotationId);
        if (!denotation.isEmpty())
            return denotation;
    }
    return getString(nameId);
}

bool ObjectDataBase::setSubIndexName(quint8 line, quint16 index, quint8 sub, const QString &name)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int id = getStringId(name);
    return setSubIndexColumn(line, index, sub, "denotation", id, Q_FUNC_INFO);
}

bool ObjectDataBase::setSubIndexParameterName(quint8 line, quint16 index, quint8 sub,
                                              const QString &name)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int id = getStringId(name);
    return setSubIndexColumn(line, index, sub, "name", id, Q_FUNC_INFO);
}

QStringList ObjectDataBase::getIndexSubIndexName(quint8 line, quint16 index, quint8 sub)
{
    QMutexLocker locker(&m_mutex);
    return {getIndexName(line, index), getSubIndexName(line, index, sub, true)};
}

bool ObjectDataBase::existSubIndexName(quint8 line, const QString &name)
{
    Q_UNUSED(line)
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral("select id from Strings where string = ?"));
    query.bindValue(0, sqlText(name));
    const bool found = run(query, Q_FUNC_INFO) && query.next();
    query.finish();
    return found;
}

// The slot after the first occupied sub-index at or above start whose successor is free;
// 255 for an object without sub-indices or without one at or above start.
quint8 ObjectDataBase::getNextFreeSubIndex(quint8 line, quint16 index, quint8 start)
{
    QMutexLocker locker(&m_mutex);
    const QList<quint8> subs = getSubIndices(line, index, 0);
    for (quint8 sub : subs) {
        if (sub < start)
            continue;
        const quint8 next = quint8(sub + 1);
        if (!subs.contains(next))
            return next;
    }
    return 255;
}

QList<ObjectDataBase::SubAddress> ObjectDataBase::getSubsByProperty(quint8 line,
                                                                    const QString &column,
                                                                    const QString &value)
{
    QMutexLocker locker(&m_mutex);
    QList<SubAddress> found;
    if (!column.isEmpty() && !propertyColumns.contains(column)) {
        qDebug() << Q_FUNC_INFO << "no such column" << column;
        return found;
    }
    const QList<quint16> objects = getIndices(line);
    const QSet<quint16> existing(objects.cbegin(), objects.cend());
    QSet<quint16> listed;
    for (bool asNumber : {true, false}) {
        QVariant bound;
        QString condition = QStringLiteral("1 = 1");
        if (!column.isEmpty()) {
            condition = propertyCondition(column, value, asNumber, bound);
            if (condition.isEmpty())
                continue;
        }
        QSqlQuery &query = prepared(QStringLiteral("select objectindex,subindex from %1 where %2 "
                                                   "order by objectindex,subindex ASC")
                                        .arg(table("SubObjects", line), condition));
        if (!column.isEmpty())
            query.bindValue(0, bound);
        const QSet<quint16> before = listed;
        if (run(query, Q_FUNC_INFO)) {
            while (query.next()) {
                const SubAddress address{quint16(query.value(0).toUInt()),
                                         quint8(query.value(1).toUInt())};
                if (!existing.contains(address.index) || before.contains(address.index))
                    continue;
                found.append(address);
                listed.insert(address.index);
            }
        }
        query.finish();
        if (column.isEmpty())
            break;
    }
    return found;
}

bool ObjectDataBase::copyDefaultToCurrentValues(quint8 line, quint16 index, bool onlyIfEmpty)
{
    QMutexLocker locker(&m_mutex);
    for (quint8 sub : getSubIndices(line, index, 0)) {
        if (onlyIfEmpty && !getSubIndexCurrentValue(line, index, sub).isEmpty())
            continue;
        setSubIndexCurrentValue(line, index, sub, getSubIndexValue(line, index, sub));
    }
    return true;
}

bool ObjectDataBase::copySubIndex(quint8 line, quint16 index, quint8 srcSub, quint8 dstSub)
{
    QMutexLocker locker(&m_mutex);
    SUBINDEX_DATA_T data;
    if (m_lockWriteAccess || !getSubIndexData(line, index, srcSub, data))
        return false;
    return addSubIndex(line, index, dstSub, data);
}

bool ObjectDataBase::saveSubIndexMetaData(quint8 line, quint16 index, quint8 sub,
                                          const MetaData &metadata)
{
    QMutexLocker locker(&m_mutex);
    return setSubIndexColumn(line, index, sub, "metadata", MetaDataBlob::encode(metadata),
                             Q_FUNC_INFO);
}

bool ObjectDataBase::getAllSubIndicesWithMetaData(quint8 line, QList<INDEX_SUB_METADATA_T> &list)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral("SELECT objectindex, subindex, metadata from %1 "
                                               "WHERE metadata IS NOT NULL")
                                    .arg(table("SubObjects", line)));
    const bool ok = run(query, Q_FUNC_INFO);
    while (ok && query.next()) {
        INDEX_SUB_METADATA_T entry;
        entry.index = quint16(query.value(0).toUInt());
        entry.subindex = quint8(query.value(1).toUInt());
        entry.metadata = MetaDataBlob::decode(query.value(2).toByteArray());
        list.append(entry);
    }
    query.finish();
    return ok;
}

void ObjectDataBase::cacheAllSubs(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    m_subCache.remove(line);
    QString sql = QStringLiteral("select objectindex, subindex, %1 from %2")
                      .arg(QLatin1String(subIndexColumns), table("SubObjects", line));
    if (index != 0)
        sql += QLatin1String(" where objectindex = ?");
    QSqlQuery &query = prepared(sql);
    if (index != 0)
        query.bindValue(0, index);
    if (!run(query, "void ObjectDataBase::cacheAllSubs(quint8, quint16)")) {
        query.finish();
        return;
    }
    QMap<quint32, SUBINDEX_DATA_T> subs;
    while (query.next()) {
        SUBINDEX_DATA_T data;
        readSubIndexRow(query, 2, data);
        subs.insert(subKey(quint16(query.value(0).toUInt()), quint8(query.value(1).toUInt())),
                    data);
    }
    query.finish();
    m_subCache.insert(line, subs);
}

void ObjectDataBase::clearCachedSubs(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    m_subCache.remove(line);
}

void ObjectDataBase::clearAllCachedSubs()
{
    QMutexLocker locker(&m_mutex);
    m_subCache.clear();
}

void ObjectDataBase::cacheAllSubNames(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    QString sql = QStringLiteral("select objectindex, subindex, name, denotation from %1")
                      .arg(table("SubObjects", line));
    if (index != 0)
        sql += QLatin1String(" where objectindex = ?");
    QSqlQuery &query = prepared(sql);
    if (index != 0)
        query.bindValue(0, index);
    if (run(query, Q_FUNC_INFO)) {
        while (query.next()) {
            const QString denotation = getString(query.value(3).toInt());
            const QString name =
                denotation.isEmpty() ? getString(query.value(2).toInt()) : denotation;
            m_subNameCache.insert(
                subNameKey(line, quint16(query.value(0).toUInt()), quint8(query.value(1).toUInt())),
                name);
        }
    }
    query.finish();
}

void ObjectDataBase::clearCachedSubNames()
{
    QMutexLocker locker(&m_mutex);
    m_subNameCache.clear();
}
