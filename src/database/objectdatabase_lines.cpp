#include "objectdatabase.h"

#include <QMutexLocker>

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

bool ObjectDataBase::existNode(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral("select nodeId from Nodes where nodeId = ?"));
    query.bindValue(0, line);
    const bool found = run(query, Q_FUNC_INFO) && query.next();
    query.finish();
    return found;
}

QList<quint8> ObjectDataBase::getNodes()
{
    QMutexLocker locker(&m_mutex);
    QList<quint8> lines;
    QSqlQuery &query = prepared(QStringLiteral("select nodeId from Nodes"));
    if (run(query, Q_FUNC_INFO)) {
        while (query.next())
            lines.append(quint8(query.value(0).toUInt()));
    }
    query.finish();
    return lines;
}

bool ObjectDataBase::getNodeName(quint8 line, QString &name)
{
    NODE_DATA_T data;
    if (!getNodeData(line, data))
        return false;
    name = data.name;
    return true;
}

bool ObjectDataBase::getNodeData(quint8 line, NODE_DATA_T &data)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(
        QStringLiteral("select %1 from Nodes where nodeId = ?").arg(QLatin1String(nodeColumns)));
    query.bindValue(0, line);
    if (!run(query, Q_FUNC_INFO) || !query.next()) {
        query.finish();
        return false;
    }
    int c = 0;
    auto text = [&query, &c]() { return query.value(c++).toString(); };
    auto number = [&query, &c]() { return query.value(c++).toLongLong(); };
    auto flag = [&query, &c]() { return query.value(c++).toLongLong() != 0; };
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
    query.finish();
    return true;
}

bool ObjectDataBase::addNode(quint8 line, const NODE_DATA_T &data)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const QList<bool> flags = {
        data.ismaster,          data.issyncproducer,      data.issyncconsumer,
        data.ishbconsumer,      data.isemergencyproducer, data.isemergencyconsumer,
        data.ismpdosupported,   data.iscanopengateway,    data.allpdosstatic,
        data.excludegeneration, data.generatedcf};
    const bool update = existNode(line);
    QSqlQuery &query = prepared(
        update ? QStringLiteral(
            "update Nodes set name = ?, edspath = ?, xddpath = ?, dcfpath = ?, tpdocnt = ?, "
            "rpdocnt = ?, ismaster = ?, issyncproducer = ?, issyncconsumer = ?, "
            "ishbconsumer = ?, isemergencyproducer = ?, isemergencyconsumer = ?, "
            "ismpdosupported = ?, iscanopengateway = ?, allpdosstatic = ?, "
            "excludegeneration = ?, generatedcf = ?, prefix = ?, outputpath = ?, "
            "iconpath = ? where nodeId = ?")
               : QStringLiteral(
                   "insert into Nodes (name, edspath, xddpath, dcfpath, tpdocnt, rpdocnt, "
                   "ismaster, issyncproducer, issyncconsumer, ishbconsumer, "
                   "isemergencyproducer, isemergencyconsumer, ismpdosupported, "
                   "iscanopengateway, allpdosstatic, excludegeneration, generatedcf, prefix, "
                   "outputpath, iconpath, nodeId, isbootupmanager, isconfigmanager, "
                   "excludepdolinking, multilinedata, lssslave) "
                   "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    int c = 0;
    for (const QString &text : {data.name, data.edspath, data.xddpath, data.dcfpath})
        query.bindValue(c++, sqlText(text));
    query.bindValue(c++, data.tpdocnt);
    query.bindValue(c++, data.rpdocnt);
    for (bool flag : flags)
        query.bindValue(c++, int(flag));
    for (const QString &text : {data.prefix, data.outputpath, data.iconpath})
        query.bindValue(c++, sqlText(text));
    query.bindValue(c++, line);
    if (!update) {
        query.bindValue(c++, int(data.isbootupmanager));
        query.bindValue(c++, int(data.isconfigmanager));
        query.bindValue(c++, int(data.excludepdolinking));
        query.bindValue(c++, data.multilinedata);
        query.bindValue(c++, int(data.lssslave));
    }
    const bool ok = run(query, Q_FUNC_INFO);
    createLineTables(line);
    notify(ChangeSet(ChangeSet::NodeChanged, line));
    return ok;
}

bool ObjectDataBase::delNode(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    return dropNode(line);
}

bool ObjectDataBase::dropNode(quint8 line)
{
    for (const char *base : lineTables)
        trySql(QStringLiteral("drop table %1").arg(table(base, line)));
    QSqlQuery &remove = prepared(QStringLiteral("delete from Nodes where nodeId = ?"));
    remove.bindValue(0, line);
    const bool ok = run(remove, Q_FUNC_INFO);
    removeConnnection(line);
    m_subCache.remove(line);
    notify(ChangeSet(ChangeSet::NodeDeleted, line));
    return ok;
}

bool ObjectDataBase::moveNode(quint8 from, quint8 to)
{
    QMutexLocker locker(&m_mutex);
    NODE_DATA_T data;
    if (m_lockWriteAccess || from == to || !getNodeData(from, data))
        return false;
    const QString group = findGroup(from);
    addNode(to, data);
    copyLineFromDatabase(this, from, to, 0x1000, 0xFFFF);
    copyCANIDsFromDatabase(this, from, to);
    moveConnections(from, to);
    for (const char *base : {"DescriptionSettings", "GeneralSettings"}) {
        const QString source = table(base, from);
        const QString target = table(base, to);
        trySql(QStringLiteral("drop table %1").arg(target));
        if (tableExists(source)) {
            runSql(settingsTableStatement(target), Q_FUNC_INFO);
            runSql(QStringLiteral("insert into %1 select * from %2").arg(target, source),
                   Q_FUNC_INFO);
            trySql(QStringLiteral("drop table %1").arg(source));
        }
    }
    dropNode(from);
    if (!group.isEmpty()) {
        delNodeFromGroup(group, from);
        addNodeToGroup(group, to);
    }
    QSqlQuery &signalLines =
        prepared(QStringLiteral("update Signals set nodeid = ? where nodeid = ?"));
    signalLines.bindValue(0, to);
    signalLines.bindValue(1, from);
    return run(signalLines, Q_FUNC_INFO);
}
