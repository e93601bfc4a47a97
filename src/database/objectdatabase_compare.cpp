#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QFileInfo>
#include <QSqlRecord>

bool ObjectDataBase::NODE_DATA_T::operator==(const NODE_DATA_T &o) const
{
    return name == o.name && iconpath == o.iconpath && edspath == o.edspath && dcfpath == o.dcfpath
           && xddpath == o.xddpath && tpdocnt == o.tpdocnt && rpdocnt == o.rpdocnt
           && prefix == o.prefix && outputpath == o.outputpath && ismaster == o.ismaster
           && issyncproducer == o.issyncproducer && issyncconsumer == o.issyncconsumer
           && ishbconsumer == o.ishbconsumer && isemergencyproducer == o.isemergencyproducer
           && isemergencyconsumer == o.isemergencyconsumer && ismpdosupported == o.ismpdosupported
           && iscanopengateway == o.iscanopengateway && allpdosstatic == o.allpdosstatic
           && excludegeneration == o.excludegeneration && generatedcf == o.generatedcf
           && isbootupmanager == o.isbootupmanager && isconfigmanager == o.isconfigmanager
           && excludepdolinking == o.excludepdolinking && multilinedata == o.multilinedata
           && lssslave == o.lssslave;
}

bool ObjectDataBase::INDEX_DATA_T::operator==(const INDEX_DATA_T &o) const
{
    return category == o.category && datatype == o.datatype && objecttype == o.objecttype
           && name == o.name && description == o.description && device_class == o.device_class
           && fwsupported == o.fwsupported && metadata == o.metadata;
}

bool ObjectDataBase::SUBINDEX_DATA_T::contentCompare(const SUBINDEX_DATA_T &o) const
{
    return name == o.name && datatype == o.datatype && accesstype == o.accesstype
           && defaultvalue == o.defaultvalue && pdomapping == o.pdomapping && lowlimit == o.lowlimit
           && uplimit == o.uplimit && size == o.size && defaultineds == o.defaultineds
           && limitineds == o.limitineds && implementation == o.implementation
           && varname == o.varname && nvstorage == o.nvstorage
           && writedefaulttoeds == o.writedefaulttoeds;
}

bool ObjectDataBase::SUBINDEX_DATA_T::operator==(const SUBINDEX_DATA_T &o) const
{
    return contentCompare(o) && currentvalue == o.currentvalue && refuseread == o.refuseread
           && refusewrite == o.refusewrite && dcfcomponent == o.dcfcomponent
           && cyclicread == o.cyclicread && description == o.description && category == o.category
           && changedbyuser == o.changedbyuser && wizardsource == o.wizardsource
           && sharedlines == o.sharedlines && metadata == o.metadata;
}

// Both objects have the same sub-index numbers and each pair is equal: by operator== with
// fullCompare, else by contentCompare.
bool ObjectDataBase::sameSubIndexLists(const ObjectDataBase *other, quint8 thisLine,
                                       quint8 otherLine, quint16 thisIndex, quint16 otherIndex,
                                       bool fullCompare) const
{
    bool mineRead = false;
    bool theirsRead = false;
    const QMap<quint8, SUBINDEX_DATA_T> mine = d->subIndicesOf(thisLine, thisIndex, &mineRead);
    const QMap<quint8, SUBINDEX_DATA_T> theirs =
        other->d->subIndicesOf(otherLine, otherIndex, &theirsRead);
    // Lists that could not be read are never taken for equal.
    if (!mineRead || !theirsRead || mine.keys() != theirs.keys())
        return false;
    for (auto it = mine.constBegin(); it != mine.constEnd(); ++it) {
        const SUBINDEX_DATA_T &their = theirs[it.key()];
        if (fullCompare ? !(it.value() == their) : !it.value().contentCompare(their))
            return false;
    }
    return true;
}

bool ObjectDataBase::objectEqual(const ObjectDataBase *other, quint8 thisLine, quint8 otherLine,
                                 quint16 thisIndex, quint16 otherIndex) const
{
    INDEX_DATA_T mine;
    INDEX_DATA_T theirs;
    if (!other || !getIndexData(thisLine, thisIndex, mine)
        || !other->getIndexData(otherLine, otherIndex, theirs) || !(mine == theirs))
        return false;
    return sameSubIndexLists(other, thisLine, otherLine, thisIndex, otherIndex, true);
}

bool ObjectDataBase::objectEqualIgnoreDescription(const ObjectDataBase *other, quint8 thisLine,
                                                  quint8 otherLine, quint16 thisIndex,
                                                  quint16 otherIndex) const
{
    INDEX_DATA_T mine;
    INDEX_DATA_T theirs;
    if (!other || !getIndexData(thisLine, thisIndex, mine)
        || !other->getIndexData(otherLine, otherIndex, theirs))
        return false;
    if (mine.datatype != theirs.datatype || mine.objecttype != theirs.objecttype
        || mine.name != theirs.name)
        return false;
    return sameSubIndexLists(other, thisLine, otherLine, thisIndex, otherIndex, false);
}

bool ObjectDataBase::objectEqualIgnoreDefaultDescription(const ObjectDataBase *other,
                                                         quint8 thisLine, quint8 otherLine,
                                                         quint16 thisIndex,
                                                         quint16 otherIndex) const
{
    return objectEqualIgnoreDescription(other, thisLine, otherLine, thisIndex, otherIndex);
}

bool ObjectDataBase::isDifferent() const
{
    StoreLocker locker(d->mutex);
    if (d->projectFileName.isEmpty())
        return true;
    const QFileInfo saved(d->projectFileName);
    // Inside a unit the working file lags behind what the statements see.
    if (!saved.exists()
        || (d->unitDepth == 0 && saved.size() != QFileInfo(d->db.databaseName()).size()))
        return true;
    ObjectDataBase savedDb;
    if (!savedDb.openDataBase(d->projectFileName, false))
        return true;
    return contentsDiffer(&savedDb);
}

// Every row of a query as texts; the columns listed in stringColumns hold Strings ids and
// are compared by their text. A query that fails gives one row naming the failure, so
// that it never compares equal to a readable table.
QList<QStringList> ObjectDataBasePrivate::tableRows(const QString &sql,
                                                    const QList<int> &stringColumns)
{
    StoreLocker locker(mutex);
    QList<QStringList> rows;
    const SqlRows result = select(sql, {}, Q_FUNC_INFO);
    if (!result.ok())
        return {{QStringLiteral("<unreadable>"), lastSqlError}};
    const int columns = result.isEmpty() ? 0 : result.columnCount();
    for (const SqlRows::Row row : result) {
        QStringList texts;
        for (int i = 0; i < columns; ++i)
            texts.append(stringColumns.contains(i) ? textOf(row.value(i))
                                                   : row.value(i).toString());
        rows.append(texts);
    }
    return rows;
}

bool ObjectDataBase::contentsDiffer(const ObjectDataBase *saved) const
{
    const QString strings = QStringLiteral("select string from Strings order by string");
    const QString signalRows = QStringLiteral("select * from Signals order by sigid");
    if (d->tableRows(strings, {}) != saved->d->tableRows(strings, {})
        || d->tableRows(signalRows, {2}) != saved->d->tableRows(signalRows, {2}))
        return true;
    const QList<quint8> lines = getNodes();
    if (lines != saved->getNodes())
        return true;
    for (quint8 line : lines) {
        NODE_DATA_T mine;
        NODE_DATA_T theirs;
        getNodeData(line, mine);
        saved->getNodeData(line, theirs);
        const QList<quint16> indices = getIndices(line);
        if (mine != theirs || indices != saved->getIndices(line))
            return true;
        for (quint16 index : indices) {
            if (!objectEqual(saved, line, line, index, index))
                return true;
        }
    }
    return false;
}
