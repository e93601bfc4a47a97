#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include "metadatablob.h"
#include "panelkit/helper.h"

#include <QDebug>

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

// A row of SqlRows read through the members of SqlCells.
struct SqlRowCells
{
    const SqlRows &rows;
    int row;
    bool isNull(int column) const { return rows.at(row, column).isNull(); }
    QString text(int column) const { return rows.at(row, column).toString(); }
    qint64 number(int column) const { return rows.at(row, column).toLongLong(); }
    int integer(int column) const { return rows.at(row, column).toInt(); }
    QByteArray bytes(int column) const { return rows.at(row, column).toByteArray(); }
};

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
template <class Cells>
void ObjectDataBasePrivate::readSubIndexRow(const Cells &cells, int first, SUBINDEX_DATA_T &data)
{
    int c = first;
    auto name = [this, &cells, &c]() {
        const int column = c++;
        return cells.isNull(column) ? QString() : stringOf(cells.integer(column));
    };
    auto text = [&cells, &c]() { return cells.text(c++); };
    auto number = [&cells, &c]() { return cells.number(c++); };
    auto flag = [&cells, &c]() { return cells.number(c++) != 0; };
    data.name = name();
    data.datatype = quint16(number());
    data.accesstype = text();
    data.allowedaccesstypes = text();
    data.currentvalue = text();
    data.defaultineds = flag();
    data.defaultvalue = text();
    data.description = name();
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
    data.denotation = name();
    data.sharedlines = flag();
    data.managedbycbw = flag();
    data.signalid = quint32(number());
    data.nvstorage = flag();
    const QByteArray blob = cells.bytes(c);
    data.metadata = blob.isEmpty() ? MetaData() : MetaDataBlob::decode(blob);
}

SqlRows ObjectDataBasePrivate::subIndexRow(quint8 line, quint16 index, quint8 sub,
                                           const QString &columns)
{
    return select(QStringLiteral("select %1 from %2 where objectindex = ? and subindex = ?")
                      .arg(columns, table("SubObjects", line)),
                  {index, sub}, Q_FUNC_INFO);
}

bool ObjectDataBase::existSubIndex(quint8 line, quint16 index, quint8 sub) const
{
    StoreLocker locker(d->mutex);
    if (d->snapshotObjects(line))
        return d->subCache.value(line).contains(subKey(index, sub));
    return !d->subIndexRow(line, index, sub, QStringLiteral("subindex")).isEmpty();
}

QList<quint8> ObjectDataBasePrivate::subIndexList(quint8 line, quint16 index, quint8 fromSub,
                                                  bool mappable)
{
    StoreLocker locker(mutex);
    QList<quint8> subs;
    if (snapshotObjects(line)) {
        const QMap<quint32, SUBINDEX_DATA_T> &cached = subCache[line];
        const quint32 end = subKey(index, 0) + 256;
        for (auto it = cached.lowerBound(subKey(index, fromSub));
             it != cached.constEnd() && it.key() < end; ++it) {
            if (!mappable || it->pdomapping != 0)
                subs.append(quint8(it.key() & 0xFF));
        }
        return subs;
    }
    for (const SqlRows::Row row :
         select(QStringLiteral("select subindex from %1 where objectindex = ? "
                               "and subindex >= ?%2 order by subindex asc")
                    .arg(table("SubObjects", line),
                         mappable ? QStringLiteral(" and pdomapping != 0") : QString()),
                {index, fromSub}, Q_FUNC_INFO))
        subs.append(quint8(row.value(0).toUInt()));
    return subs;
}

QList<quint8> ObjectDataBase::getSubIndices(quint8 line, quint16 index, quint8 fromSub) const
{
    return d->subIndexList(line, index, fromSub, false);
}

QList<quint8> ObjectDataBase::getSubIndicesMappable(quint8 line, quint16 index,
                                                    quint8 fromSub) const
{
    return d->subIndexList(line, index, fromSub, true);
}

bool ObjectDataBase::getSubIndexData(quint8 line, quint16 index, quint8 sub,
                                     SUBINDEX_DATA_T &data) const
{
    StoreLocker locker(d->mutex);
    const auto cachedLine = d->subCache.constFind(line);
    if (cachedLine != d->subCache.constEnd()) {
        const auto cached = cachedLine->constFind(subKey(index, sub));
        if (cached != cachedLine->constEnd()) {
            data = cached.value();
            return true;
        }
        if (d->snapshotObjects(line))
            return false;
    }
    const SqlRows rows = d->subIndexRow(line, index, sub, QLatin1String(subIndexColumns));
    if (rows.isEmpty())
        return false;
    d->readSubIndexRow(SqlRowCells{rows, 0}, 0, data);
    return true;
}

// The sub-indices of the objects from fromIndex to toIndex, read from the file and keyed
// index * 256 + sub; ok tells whether the table could be read.
QMap<quint32, ObjectDataBase::SUBINDEX_DATA_T> ObjectDataBasePrivate::subIndicesOf(
    quint8 line, quint16 fromIndex, quint16 toIndex, bool *ok)
{
    StoreLocker locker(mutex);
    // A whole line is read in the table's order: through the index of the keys every row
    // would cost a second lookup in the table.
    const bool wholeLine = fromIndex == 0 && toIndex == 0xFFFF;
    QMap<quint32, SUBINDEX_DATA_T> subs;
    // The records are filled straight from the columns of each row as it is stepped.
    const bool read =
        selectEach(QStringLiteral("select objectindex, subindex, %1 from %2%3 where "
                                  "objectindex >= ? and objectindex <= ?")
                       .arg(QLatin1String(subIndexColumns), table("SubObjects", line),
                            wholeLine ? QLatin1String(" not indexed") : QLatin1String()),
                   {fromIndex, toIndex}, Q_FUNC_INFO, [this, &subs](const SqlCells &cells) {
                       const quint32 key =
                           subKey(quint16(cells.integer(0)), quint8(cells.integer(1)));
                       readSubIndexRow(cells, 2, subs[key]);
                   });
    if (!read)
        subs.clear();
    if (ok)
        *ok = read;
    return subs;
}

// The sub-indices of one object, read from the file.
QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> ObjectDataBasePrivate::subIndicesOf(quint8 line,
                                                                                  quint16 index,
                                                                                  bool *ok)
{
    QMap<quint8, SUBINDEX_DATA_T> subs;
    const QMap<quint32, SUBINDEX_DATA_T> all = subIndicesOf(line, index, index, ok);
    for (auto it = all.constBegin(); it != all.constEnd(); ++it)
        subs.insert(quint8(it.key() & 0xFF), it.value());
    return subs;
}

namespace {

QString subIndexInsert(quint8 line)
{
    return QStringLiteral(
               "insert or replace into %1 (objectindex, subindex, name, datatype, accesstype, "
               "defaultvalue, currentvalue, pdomapping, lowlimit, uplimit, size, defaultineds, "
               "limitineds, refuseread, refusewrite, allowedaccesstypes, implementation, "
               "varname, description, category, writedefaulttoeds, cyclicread, dcfcomponent, "
               "changedbyuser, wizardsource, denotation, sharedlines, managedbycbw, signalid, "
               "nvstorage, metadata) "
               "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)")
        .arg(ObjectDataBasePrivate::table("SubObjects", line));
}

} // namespace

bool ObjectDataBase::addSubIndex(quint8 line, quint16 index, quint8 sub,
                                 const SUBINDEX_DATA_T &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const QString sql = subIndexInsert(line);
    const bool ok = writeSubIndex(d->rawPrepared(sql, Q_FUNC_INFO), sql, line, index, sub, data);
    return unit.commit() && ok;
}

bool ObjectDataBase::addSubIndices(quint8 line, quint16 index,
                                   const QMap<quint8, SUBINDEX_DATA_T> &subs)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const QString sql = subIndexInsert(line);
    sqlite3_stmt *insert = d->rawPrepared(sql, Q_FUNC_INFO);
    for (auto it = subs.constBegin(); it != subs.constEnd(); ++it) {
        if (!writeSubIndex(insert, sql, line, index, it.key(), it.value())) {
            unit.abandon();
            return false;
        }
    }
    return unit.commit();
}

bool ObjectDataBase::writeSubIndex(sqlite3_stmt *insert, const QString &sql, quint8 line,
                                   quint16 index, quint8 sub, const SUBINDEX_DATA_T &data)
{
    const int nameId = getStringId(data.name);
    const int descriptionId = getStringId(data.description);
    const int denotationId = getStringId(data.denotation);
    bool ok = nameId >= 0 && descriptionId >= 0 && denotationId >= 0;
    if (ok) {
        RawRow row(insert);
        row.number(index)
            .number(sub)
            .number(nameId)
            .number(data.datatype)
            .text(data.accesstype)
            .text(data.defaultvalue)
            .text(data.currentvalue)
            .number(data.pdomapping)
            .number(data.lowlimit)
            .number(data.uplimit)
            .number(data.size)
            .number(data.defaultineds)
            .number(data.limitineds)
            .number(data.refuseread)
            .number(data.refusewrite)
            .text(data.allowedaccesstypes)
            .number(data.implementation)
            .text(data.varname)
            .number(descriptionId)
            .number(data.category)
            .number(data.writedefaulttoeds)
            .number(data.cyclicread)
            .number(data.dcfcomponent)
            .number(data.changedbyuser)
            .number(data.wizardsource)
            .number(denotationId)
            .number(data.sharedlines)
            .number(data.managedbycbw)
            .number(data.signalid)
            .number(data.nvstorage);
        ok = d->rawRun(insert, row.ok(), sql, Q_FUNC_INFO);
    }
    if (ok && !data.metadata.isEmpty())
        ok = saveSubIndexMetaData(line, index, sub, data.metadata);
    const auto cachedLine = d->subCache.find(line);
    if (ok && cachedLine != d->subCache.end())
        cachedLine->insert(subKey(index, sub), data);
    notify(ChangeSet(ChangeSet::SubIndexChanged, line, index, sub));
    return ok;
}

bool ObjectDataBase::delSubIndex(quint8 line, quint16 index, quint8 sub, bool keepConnections)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool existed = existSubIndex(line, index, sub);
    bool ok = d->exec(QStringLiteral("delete from %1 where objectindex = ? and subindex = ?")
                          .arg(d->table("SubObjects", line)),
                      {index, sub}, Q_FUNC_INFO);
    if (ok && !keepConnections)
        ok = removeConnnection(line, index, sub);
    if (existed)
        notify(ChangeSet(ChangeSet::SubIndexDeleted, line, index, sub));
    return unit.commit() && ok;
}

QVariant ObjectDataBasePrivate::subIndexColumn(quint8 line, quint16 index, quint8 sub,
                                               const char *column)
{
    StoreLocker locker(mutex);
    return subIndexRow(line, index, sub, QLatin1String(column)).first();
}

bool ObjectDataBase::setSubIndexColumn(quint8 line, quint16 index, quint8 sub, const char *column,
                                       const QVariant &value, const char *signature)
{
    return d->exec(QStringLiteral("update %1 set %2 = ? where ((objectindex = ?) and "
                                  "(subindex = ?))")
                       .arg(d->table("SubObjects", line), QLatin1String(column)),
                   {value, index, sub}, signature);
}

QString ObjectDataBase::getSubIndexValue(quint8 line, quint16 index, quint8 sub) const
{
    return d->subIndexColumn(line, index, sub, "defaultvalue").toString();
}

bool ObjectDataBase::setSubIndexValue(quint8 line, quint16 index, quint8 sub, const QString &value)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    return setSubIndexColumn(line, index, sub, "defaultvalue", d->sqlText(value), Q_FUNC_INFO);
}

QString ObjectDataBase::getSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub) const
{
    return d->subIndexColumn(line, index, sub, "currentvalue").toString();
}

bool ObjectDataBase::setSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub,
                                             const QString &value)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok =
        setSubIndexColumn(line, index, sub, "currentvalue", d->sqlText(value), Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::SubIndexChanged, line, index, sub));
    return unit.commit() && ok;
}

quint16 ObjectDataBase::getSubIndexDatatype(quint8 line, quint16 index, quint8 sub) const
{
    return quint16(d->subIndexColumn(line, index, sub, "datatype").toUInt());
}

quint8 ObjectDataBase::getSubIndexPdoMapping(quint8 line, quint16 index, quint8 sub) const
{
    return quint8(d->subIndexColumn(line, index, sub, "pdomapping").toUInt());
}

quint32 ObjectDataBase::getSubIndexBitSize(quint8 line, quint16 index, quint8 sub) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->subIndexRow(line, index, sub, QStringLiteral("datatype, size"));
    if (rows.isEmpty())
        return 0;
    const quint16 datatype = quint16(rows.at(0, 0).toUInt());
    const quint32 size = rows.at(0, 1).toUInt();
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
                                        bool preferDenotation) const
{
    StoreLocker locker(d->mutex);
    const auto cached = d->subNameCache.constFind(subNameKey(line, index, sub));
    if (cached != d->subNameCache.constEnd())
        return cached.value();
    const SqlRows rows = d->subIndexRow(line, index, sub, QStringLiteral("name, denotation"));
    if (rows.isEmpty())
        return QString();
    if (preferDenotation) {
        const QString denotation = d->textOf(rows.at(0, 1));
        if (!denotation.isEmpty())
            return denotation;
    }
    return d->textOf(rows.at(0, 0));
}

bool ObjectDataBase::setSubIndexName(quint8 line, quint16 index, quint8 sub, const QString &name)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int id = getStringId(name);
    const bool ok = id >= 0 && setSubIndexColumn(line, index, sub, "denotation", id, Q_FUNC_INFO);
    return unit.commit() && ok;
}

bool ObjectDataBase::setSubIndexParameterName(quint8 line, quint16 index, quint8 sub,
                                              const QString &name)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int id = getStringId(name);
    const bool ok = id >= 0 && setSubIndexColumn(line, index, sub, "name", id, Q_FUNC_INFO);
    return unit.commit() && ok;
}

QStringList ObjectDataBase::getIndexSubIndexName(quint8 line, quint16 index, quint8 sub) const
{
    StoreLocker locker(d->mutex);
    return {getIndexName(line, index), getSubIndexName(line, index, sub, true)};
}

bool ObjectDataBase::existSubIndexName(quint8 line, const QString &name) const
{
    Q_UNUSED(line)
    StoreLocker locker(d->mutex);
    return !d->select(QStringLiteral("select id from Strings where string = ?"), {d->sqlText(name)},
                      Q_FUNC_INFO)
                .isEmpty();
}

// The slot after the first occupied sub-index at or above start whose successor is free;
// 255 for an object without sub-indices or without one at or above start.
quint8 ObjectDataBase::getNextFreeSubIndex(quint8 line, quint16 index, quint8 start) const
{
    StoreLocker locker(d->mutex);
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
                                                                    const QString &value) const
{
    StoreLocker locker(d->mutex);
    QList<SubAddress> found;
    if (!column.isEmpty() && !propertyColumns.contains(column)) {
        qDebug() << Q_FUNC_INFO << "no such column" << column;
        return found;
    }
    if (column.isEmpty()) {
        // Every entry of the line; from memory while the line's snapshot holds.
        if (const auto *objects = d->snapshotObjects(line)) {
            const QMap<quint32, SUBINDEX_DATA_T> &subs = d->subCache[line];
            for (auto it = subs.constBegin(); it != subs.constEnd(); ++it) {
                const SubAddress address{quint16(it.key() >> 8), quint8(it.key() & 0xFF)};
                if (objects->contains(address.index))
                    found.append(address);
            }
            return found;
        }
    }
    const QList<quint16> objects = getIndices(line);
    const QSet<quint16> existing(objects.cbegin(), objects.cend());
    // The entries matched as a number come first; then those matched as text, of objects
    // without an entry of the former. Both are read with one scan of the table; the third
    // column tells whether a row matched as a number.
    QVariant number;
    QVariant text;
    QString byNumber;
    QString byText = QStringLiteral("1 = 1");
    if (!column.isEmpty()) {
        byNumber = d->propertyCondition(column, value, true, number);
        byText = d->propertyCondition(column, value, false, text);
    }
    const QString table = d->table("SubObjects", line);
    const SqlRows rows =
        byNumber.isEmpty()
            ? d->select(QStringLiteral("select objectindex, subindex, 0 from %1 where %2 "
                                       "order by objectindex,subindex ASC")
                            .arg(table, byText),
                        column.isEmpty() ? QVariantList() : QVariantList{text}, Q_FUNC_INFO)
            : d->select(QStringLiteral("select objectindex, subindex, (%2) from %1 where (%2) "
                                       "or (%3) order by objectindex,subindex ASC")
                            .arg(table, byNumber, byText),
                        {number, number, text}, Q_FUNC_INFO);
    QSet<quint16> listed;
    QList<SubAddress> textMatches;
    for (const SqlRows::Row row : rows) {
        const SubAddress address{quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())};
        if (!existing.contains(address.index))
            continue;
        if (row.value(2).toLongLong() != 0) {
            found.append(address);
            listed.insert(address.index);
        } else {
            textMatches.append(address);
        }
    }
    for (const SubAddress &address : qAsConst(textMatches)) {
        if (!listed.contains(address.index))
            found.append(address);
    }
    return found;
}

bool ObjectDataBase::usesDataType(quint8 line, const QList<quint16> &types, quint16 fromIndex) const
{
    if (types.isEmpty())
        return false;
    StoreLocker locker(d->mutex);
    // From memory while the line's snapshot holds.
    if (const auto *objects = d->snapshotObjects(line)) {
        const QMap<quint32, SUBINDEX_DATA_T> &subs = d->subCache[line];
        for (auto it = subs.lowerBound(subKey(fromIndex, 0)); it != subs.constEnd(); ++it) {
            if (types.contains(it->datatype) && objects->contains(quint16(it.key() >> 8)))
                return true;
        }
        return false;
    }
    QString placeholders;
    QVariantList bound{fromIndex};
    for (quint16 type : types) {
        placeholders += placeholders.isEmpty() ? QLatin1String("?") : QLatin1String(",?");
        bound.append(type);
    }
    // Only entries of objects the line lists count, as for every other read of entries.
    const SqlRows rows =
        d->select(QStringLiteral("select 1 from %1 where objectindex >= ? and datatype in (%3) and "
                                 "objectindex in (select objectindex from %2) limit 1")
                      .arg(d->table("SubObjects", line), d->table("Objects", line), placeholders),
                  bound, Q_FUNC_INFO);
    return !rows.isEmpty();
}

bool ObjectDataBase::copyDefaultToCurrentValues(quint8 line, quint16 index, bool onlyIfEmpty)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    const QMap<quint8, SUBINDEX_DATA_T> subs = d->subIndicesOf(line, index);
    WriteUnit unit(this);
    bool ok = true;
    for (auto it = subs.constBegin(); it != subs.constEnd(); ++it) {
        if (!onlyIfEmpty || it->currentvalue.isEmpty())
            ok = setSubIndexCurrentValue(line, index, it.key(), it->defaultvalue) && ok;
    }
    return unit.commit() && ok;
}

bool ObjectDataBase::copySubIndex(quint8 line, quint16 index, quint8 srcSub, quint8 dstSub)
{
    StoreLocker locker(d->mutex);
    SUBINDEX_DATA_T data;
    if (d->lockWriteAccess || !getSubIndexData(line, index, srcSub, data))
        return false;
    return addSubIndex(line, index, dstSub, data);
}

bool ObjectDataBase::saveSubIndexMetaData(quint8 line, quint16 index, quint8 sub,
                                          const MetaData &metadata)
{
    StoreLocker locker(d->mutex);
    return setSubIndexColumn(line, index, sub, "metadata", MetaDataBlob::encode(metadata),
                             Q_FUNC_INFO);
}

bool ObjectDataBase::getAllSubIndicesWithMetaData(quint8 line,
                                                  QList<INDEX_SUB_METADATA_T> &list) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->select(QStringLiteral("SELECT objectindex, subindex, metadata from %1 "
                                                  "WHERE metadata IS NOT NULL")
                                       .arg(d->table("SubObjects", line)),
                                   {}, Q_FUNC_INFO);
    for (const SqlRows::Row row : rows) {
        INDEX_SUB_METADATA_T entry;
        entry.index = quint16(row.value(0).toUInt());
        entry.subindex = quint8(row.value(1).toUInt());
        entry.metadata = MetaDataBlob::decode(row.value(2).toByteArray());
        list.append(entry);
    }
    return rows.ok();
}

void ObjectDataBase::cacheAllSubs(quint8 line, quint16 index) const
{
    StoreLocker locker(d->mutex);
    d->subCache.remove(line);
    d->lineSnapshot.remove(line);
    bool ok = false;
    const QMap<quint32, SUBINDEX_DATA_T> subs = index != 0
                                                    ? d->subIndicesOf(line, index, index, &ok)
                                                    : d->subIndicesOf(line, 0, 0xFFFF, &ok);
    if (!ok)
        return;
    d->subCache.insert(line, subs);
    if (index == 0) {
        QMap<quint16, INDEX_DATA_T> objects = d->objectsOf(line, 0, 0xFFFF, &ok);
        if (ok)
            d->lineSnapshot.insert(line, std::move(objects));
    }
}

void ObjectDataBase::clearCachedSubs(quint8 line) const
{
    StoreLocker locker(d->mutex);
    d->subCache.remove(line);
    d->lineSnapshot.remove(line);
}

void ObjectDataBase::clearAllCachedSubs() const
{
    StoreLocker locker(d->mutex);
    d->subCache.clear();
    d->lineSnapshot.clear();
}

void ObjectDataBase::cacheAllSubNames(quint8 line, quint16 index) const
{
    StoreLocker locker(d->mutex);
    // While the snapshot of the line holds, no write has happened since the line's
    // sub-indices were read whole, so their names are taken from that read.
    const auto cached = d->subCache.constFind(line);
    if (index == 0 && d->snapshotObjects(line) && cached != d->subCache.constEnd()) {
        for (auto it = cached->constBegin(); it != cached->constEnd(); ++it) {
            d->subNameCache.insert(
                subNameKey(line, quint16(it.key() >> 8), quint8(it.key() & 0xFF)),
                it->denotation.isEmpty() ? it->name : it->denotation);
        }
        return;
    }
    const quint16 from = index != 0 ? index : 0;
    const quint16 to = index != 0 ? index : 0xFFFF;
    const SqlRows rows = d->select(QStringLiteral("select objectindex, subindex, name, denotation "
                                                  "from %1 where objectindex >= ? and "
                                                  "objectindex <= ?")
                                       .arg(d->table("SubObjects", line)),
                                   {from, to}, Q_FUNC_INFO);
    for (const SqlRows::Row row : rows) {
        const QString denotation = d->textOf(row.value(3));
        const QString name = denotation.isEmpty() ? d->textOf(row.value(2)) : denotation;
        d->subNameCache.insert(
            subNameKey(line, quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())), name);
    }
}

void ObjectDataBase::clearCachedSubNames() const
{
    StoreLocker locker(d->mutex);
    d->subNameCache.clear();
}
