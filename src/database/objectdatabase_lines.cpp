#include "objectdatabase.h"

#include "objectdatabase_p.h"

namespace {

const char *const nodeColumns =
    "name, iconpath, edspath, dcfpath, xddpath, tpdocnt, rpdocnt, prefix, outputpath, "
    "ismaster, issyncproducer, issyncconsumer, ishbconsumer, isemergencyproducer, "
    "isemergencyconsumer, ismpdosupported, iscanopengateway, allpdosstatic, "
    "excludegeneration, generatedcf, isbootupmanager, isconfigmanager, excludepdolinking, "
    "multilinedata, lssslave";

const char *const lineTables[] = {"Objects", "SubObjects", "PGNs",
                                  "SPNs",    "CANIDs",     "DataElements"};

} // namespace

bool ObjectDataBase::existNode(quint8 line) const
{
    StoreLocker locker(d->mutex);
    return !d->select(QStringLiteral("select nodeId from Nodes where nodeId = ?"), {line},
                      Q_FUNC_INFO)
                .isEmpty();
}

QList<quint8> ObjectDataBase::getNodes() const
{
    return d->lines();
}

QList<quint8> ObjectDataBasePrivate::lines()
{
    StoreLocker locker(mutex);
    QList<quint8> lines;
    for (const SqlRows::Row row :
         select(QStringLiteral("select nodeId from Nodes where nodeId between 0 and 255"), {},
                Q_FUNC_INFO))
        lines.append(quint8(row.value(0).toUInt()));
    return lines;
}

bool ObjectDataBase::getNodeName(quint8 line, QString &name) const
{
    NODE_DATA_T data;
    if (!getNodeData(line, data))
        return false;
    name = data.name;
    return true;
}

bool ObjectDataBase::getNodeData(quint8 line, NODE_DATA_T &data) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->select(
        QStringLiteral("select %1 from Nodes where nodeId = ?").arg(QLatin1String(nodeColumns)),
        {line}, Q_FUNC_INFO);
    if (rows.isEmpty())
        return false;
    int c = 0;
    auto text = [&rows, &c]() { return rows.at(0, c++).toString(); };
    auto number = [&rows, &c]() { return rows.at(0, c++).toLongLong(); };
    auto flag = [&rows, &c]() { return rows.at(0, c++).toLongLong() != 0; };
    data.name = text();
    data.iconpath = text();
    data.edspath = text();
    data.dcfpath = text();
    data.xddpath = text();
    data.tpdocnt = quint16(number());
    data.rpdocnt = quint16(number());
    data.prefix = text();
    data.outputpath = text();
    for (bool *field :
         {&data.ismaster, &data.issyncproducer, &data.issyncconsumer, &data.ishbconsumer,
          &data.isemergencyproducer, &data.isemergencyconsumer, &data.ismpdosupported,
          &data.iscanopengateway, &data.allpdosstatic, &data.excludegeneration, &data.generatedcf,
          &data.isbootupmanager, &data.isconfigmanager, &data.excludepdolinking})
        *field = flag();
    data.multilinedata = quint32(number());
    data.lssslave = flag();
    return true;
}

bool ObjectDataBase::addNode(quint8 line, const NODE_DATA_T &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    const bool update = existNode(line);
    QVariantList values;
    for (const QString &text : {data.name, data.edspath, data.xddpath, data.dcfpath})
        values.append(d->sqlText(text));
    values << data.tpdocnt << data.rpdocnt;
    for (bool flag :
         {data.ismaster, data.issyncproducer, data.issyncconsumer, data.ishbconsumer,
          data.isemergencyproducer, data.isemergencyconsumer, data.ismpdosupported,
          data.iscanopengateway, data.allpdosstatic, data.excludegeneration, data.generatedcf})
        values.append(int(flag));
    for (const QString &text : {data.prefix, data.outputpath, data.iconpath})
        values.append(d->sqlText(text));
    values.append(line);
    if (!update)
        values << int(data.isbootupmanager) << int(data.isconfigmanager)
               << int(data.excludepdolinking) << data.multilinedata << int(data.lssslave);
    WriteUnit unit(this);
    const bool ok =
        d->exec(update ? QStringLiteral(
                    "update Nodes set name = ?, edspath = ?, xddpath = ?, dcfpath = ?, "
                    "tpdocnt = ?, rpdocnt = ?, ismaster = ?, issyncproducer = ?, "
                    "issyncconsumer = ?, ishbconsumer = ?, isemergencyproducer = ?, "
                    "isemergencyconsumer = ?, ismpdosupported = ?, iscanopengateway = ?, "
                    "allpdosstatic = ?, excludegeneration = ?, generatedcf = ?, prefix = ?, "
                    "outputpath = ?, iconpath = ? where nodeId = ?")
                       : QStringLiteral(
                           "insert into Nodes (name, edspath, xddpath, dcfpath, tpdocnt, "
                           "rpdocnt, ismaster, issyncproducer, issyncconsumer, ishbconsumer, "
                           "isemergencyproducer, isemergencyconsumer, ismpdosupported, "
                           "iscanopengateway, allpdosstatic, excludegeneration, generatedcf, "
                           "prefix, outputpath, iconpath, nodeId, isbootupmanager, "
                           "isconfigmanager, excludepdolinking, multilinedata, lssslave) "
                           "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                values, Q_FUNC_INFO)
        && createLineTables(line);
    notify(ChangeSet(ChangeSet::NodeChanged, line));
    return unit.commit() && ok;
}

bool ObjectDataBase::delNode(quint8 line)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    return dropNode(line);
}

bool ObjectDataBase::dropNode(quint8 line)
{
    WriteUnit unit(this);
    bool ok = true;
    for (const char *base : lineTables) {
        const QString name = d->table(base, line);
        if (d->tableExists(name))
            ok = d->execSchema(QStringLiteral("drop table %1").arg(name), Q_FUNC_INFO) && ok;
    }
    ok = d->exec(QStringLiteral("delete from Nodes where nodeId = ?"), {line}, Q_FUNC_INFO) && ok;
    ok = removeConnnection(line) && ok;
    d->subCache.remove(line);
    notify(ChangeSet(ChangeSet::NodeDeleted, line));
    return unit.commit() && ok;
}

// Gives line to a copy of each per-line settings table of line from (and drops to's own
// where from has none); the names of from's tables are added to copied.
bool ObjectDataBase::copyLineSettingsTables(quint8 from, quint8 to, QStringList &copied)
{
    bool ok = true;
    for (const char *base : {"DescriptionSettings", "GeneralSettings"}) {
        const QString source = d->table(base, from);
        const QString target = d->table(base, to);
        if (d->tableExists(target))
            ok = d->execSchema(QStringLiteral("drop table %1").arg(target), Q_FUNC_INFO) && ok;
        if (!d->tableExists(source))
            continue;
        ok = d->execSchema(d->settingsTableStatement(target), Q_FUNC_INFO)
             && d->execSchema(QStringLiteral("insert into %1 select * from %2").arg(target, source),
                              Q_FUNC_INFO)
             && ok;
        copied.append(source);
    }
    return ok;
}

bool ObjectDataBase::moveNode(quint8 from, quint8 to)
{
    StoreLocker locker(d->mutex);
    NODE_DATA_T data;
    if (d->lockWriteAccess || from == to || !getNodeData(from, data))
        return false;
    const QString group = findGroup(from);
    WriteUnit unit(this);
    // Everything is copied to the new number first; the old line is dropped only when every
    // copy succeeded, and any failure leaves the project as it was.
    QStringList oldSettings;
    bool ok = addNode(to, data) && copyLineFromDatabase(this, from, to, 0x1000, 0xFFFF)
              && copyCANIDsFromDatabase(this, from, to) && moveConnections(from, to)
              && copyLineSettingsTables(from, to, oldSettings);
    for (int i = 0; ok && i < oldSettings.size(); ++i)
        ok = d->execSchema(QStringLiteral("drop table %1").arg(oldSettings.at(i)), Q_FUNC_INFO);
    ok = ok && dropNode(from);
    if (ok && !group.isEmpty())
        ok = delNodeFromGroup(group, from) && addNodeToGroup(group, to);
    ok = ok
         && d->exec(QStringLiteral("update Signals set nodeid = ? where nodeid = ?"), {to, from},
                    Q_FUNC_INFO);
    if (!ok)
        unit.abandon();
    return unit.commit() && ok;
}
