#include "objectdatabase.h"

#include <QDebug>
#include <QMutexLocker>

// Signals (table Signals, names interned in Strings) and signal groups (SignalGroups).
namespace {

const char *const signalColumns =
    "sigid, nodeid, name, datatype, accesstype, defaultvalue, signalgroup, ref, transmittype, "
    "transmittrigger, eventtimer, syncvalue, syncstartvalue, routing";

} // namespace

bool ObjectDataBase::SIGNAL_T::operator==(const SIGNAL_T &o) const
{
    return sigid == o.sigid && nodeid == o.nodeid && name == o.name && datatype == o.datatype
           && accesstype == o.accesstype && defaultvalue == o.defaultvalue
           && signalgroup == o.signalgroup && ref == o.ref && transmittype == o.transmittype
           && transmittrigger == o.transmittrigger && eventtimer == o.eventtimer
           && syncvalue == o.syncvalue && syncstartvalue == o.syncstartvalue
           && routing == o.routing;
}

quint32 ObjectDataBase::addSignal(quint8 line, SIGNAL_T &signal)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return 0;
    const int nameId = getStringId(signal.name);
    if (signal.sigid != 0)
        delSignal(line, signal.sigid);
    // A null id makes SQLite choose a new one.
    QSqlQuery &insert =
        boundQuery(QStringLiteral("insert into Signals (%1) "
                                  "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                       .arg(QLatin1String(signalColumns)),
                   {signal.sigid ? QVariant(signal.sigid) : QVariant(), line, nameId,
                    signal.datatype, sqlText(signal.accesstype), sqlText(signal.defaultvalue),
                    signal.signalgroup, signal.ref, signal.transmittype, signal.transmittrigger,
                    signal.eventtimer, signal.syncvalue, signal.syncstartvalue, signal.routing});
    if (!run(insert, Q_FUNC_INFO))
        return 0;
    const quint32 id = signal.sigid ? signal.sigid : quint32(insert.lastInsertId().toLongLong());
    signal.sigid = id;
    signal.nodeid = line;
    return id;
}

QList<quint32> ObjectDataBase::getSignals(quint8 line)
{
    return readNumbers(QStringLiteral("select sigid from Signals where nodeid = ? order by sigid"),
                       {line});
}

bool ObjectDataBase::getSignalData(quint8 line, quint32 sigid, SIGNAL_T &signal)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = boundQuery(QStringLiteral("select %1 from Signals where nodeid = ? and "
                                                 "sigid = ?")
                                      .arg(QLatin1String(signalColumns)),
                                  {line, sigid});
    if (!run(query, Q_FUNC_INFO) || !query.next()) {
        query.finish();
        return false;
    }
    int c = 0;
    auto number = [&query, &c]() { return quint32(query.value(c++).toLongLong()); };
    signal.sigid = number();
    signal.nodeid = quint8(number());
    const QVariant nameId = query.value(c++);
    signal.datatype = number();
    signal.accesstype = query.value(c++).toString();
    signal.defaultvalue = query.value(c++).toString();
    signal.signalgroup = number();
    signal.ref = number();
    signal.transmittype = quint8(number());
    signal.transmittrigger = quint8(number());
    signal.eventtimer = quint16(number());
    signal.syncvalue = quint16(number());
    signal.syncstartvalue = quint8(number());
    signal.routing = quint8(number());
    query.finish();
    signal.name = textOf(nameId);
    return true;
}

bool ObjectDataBase::delSignal(quint8 line, quint32 sigid)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    return runWith(QStringLiteral("delete from Signals where nodeid = ? and sigid = ?"),
                   {line, sigid}, Q_FUNC_INFO);
}

bool ObjectDataBase::delAllSignals(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const bool ok =
        runWith(QStringLiteral("delete from Signals where nodeid = ?"), {line}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::SignalsChanged, line));
    return ok;
}

bool ObjectDataBase::updateSignalRef(quint8 line, quint32 sigid, quint32 ref)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    QSqlQuery &update =
        boundQuery(QStringLiteral("update Signals set ref = ? where sigid= ? and nodeid = ?"),
                   {ref, sigid, line});
    return run(update, Q_FUNC_INFO) && update.numRowsAffected() > 0;
}

bool ObjectDataBase::getSignalSortDataByIndex(quint8 line, quint16 index, quint8 sub,
                                              SIGNAL_T &signal)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = prepared(QStringLiteral(
        "select transmittype, transmittrigger, eventtimer, syncvalue, syncstartvalue, routing "
        "from Signals where nodeid = ? and ref = ? order by sigid"));
    query.bindValue(0, line);
    query.bindValue(1, quint32(index) + quint32(sub) * 65536);
    const bool found = run(query, Q_FUNC_INFO) && query.next();
    if (found) {
        signal.transmittype = quint8(query.value(0).toUInt());
        signal.transmittrigger = quint8(query.value(1).toUInt());
        signal.eventtimer = quint16(query.value(2).toUInt());
        signal.syncvalue = quint16(query.value(3).toUInt());
        signal.syncstartvalue = quint8(query.value(4).toUInt());
        signal.routing = quint8(query.value(5).toUInt());
    }
    query.finish();
    return found;
}

QList<ObjectDataBase::SignalGroupData> ObjectDataBase::getSignalGroups()
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        prepared(QStringLiteral("select sigid,name from SignalGroups order by sigid"));
    QList<SignalGroupData> groups;
    if (run(query, Q_FUNC_INFO)) {
        while (query.next())
            groups.append({quint32(query.value(0).toLongLong()), query.value(1).toString()});
    }
    query.finish();
    return groups;
}

quint32 ObjectDataBase::addSignalGroup(const QString &name)
{
    QMutexLocker locker(&m_mutex);
    const QList<quint32> known = readNumbers(
        QStringLiteral("select sigid from SignalGroups where name = ?"), {sqlText(name)});
    if (!known.isEmpty())
        return known.first();
    if (m_lockWriteAccess)
        return 0;
    QSqlQuery &insert =
        boundQuery(QStringLiteral("insert into SignalGroups values(NULL,?)"), {sqlText(name)});
    if (!run(insert, Q_FUNC_INFO))
        return 0;
    return quint32(insert.lastInsertId().toLongLong());
}

bool ObjectDataBase::delSignalGroup(quint32 id)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    return runWith(QStringLiteral("delete from SignalGroups where sigid = ?"), {id}, Q_FUNC_INFO);
}

bool ObjectDataBase::updateSignalGroups(const QList<SignalGroupData> &groups)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    bool ok = runSql(QStringLiteral("delete from SignalGroups where 1 = 1"), Q_FUNC_INFO);
    for (const SignalGroupData &group : groups)
        ok = runWith(QStringLiteral("insert into SignalGroups values(?, ?)"),
                     {group.sigid ? QVariant(group.sigid) : QVariant(), sqlText(group.name)},
                     Q_FUNC_INFO)
             && ok;
    return ok;
}
