#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

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
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return 0;
    WriteUnit unit(this);
    const int nameId = getStringId(signal.name);
    // A null id makes SQLite choose a new one.
    qint64 newId = 0;
    const bool ok =
        nameId >= 0 && (signal.sigid == 0 || delSignal(line, signal.sigid))
        && d->exec(QStringLiteral("insert into Signals (%1) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                       .arg(QLatin1String(signalColumns)),
                   {signal.sigid ? QVariant(signal.sigid) : QVariant(), line, nameId,
                    signal.datatype, d->sqlText(signal.accesstype), d->sqlText(signal.defaultvalue),
                    signal.signalgroup, signal.ref, signal.transmittype, signal.transmittrigger,
                    signal.eventtimer, signal.syncvalue, signal.syncstartvalue, signal.routing},
                   Q_FUNC_INFO, &newId);
    if (!unit.commit() || !ok)
        return 0;
    signal.sigid = signal.sigid ? signal.sigid : quint32(newId);
    signal.nodeid = line;
    return signal.sigid;
}

QList<quint32> ObjectDataBase::getSignals(quint8 line) const
{
    return d->readNumbers(
        QStringLiteral("select sigid from Signals where nodeid = ? order by sigid"), {line});
}

bool ObjectDataBase::getSignalData(quint8 line, quint32 sigid, SIGNAL_T &signal) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->select(QStringLiteral("select %1 from Signals where nodeid = ? and "
                                                  "sigid = ?")
                                       .arg(QLatin1String(signalColumns)),
                                   {line, sigid}, Q_FUNC_INFO);
    if (rows.isEmpty())
        return false;
    int c = 0;
    auto number = [&rows, &c]() { return quint32(rows.at(0, c++).toLongLong()); };
    signal.sigid = number();
    signal.nodeid = quint8(number());
    signal.name = d->textOf(rows.at(0, c++));
    signal.datatype = number();
    signal.accesstype = rows.at(0, c++).toString();
    signal.defaultvalue = rows.at(0, c++).toString();
    signal.signalgroup = number();
    signal.ref = number();
    signal.transmittype = quint8(number());
    signal.transmittrigger = quint8(number());
    signal.eventtimer = quint16(number());
    signal.syncvalue = quint16(number());
    signal.syncstartvalue = quint8(number());
    signal.routing = quint8(number());
    return true;
}

bool ObjectDataBase::delSignal(quint8 line, quint32 sigid)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    return d->exec(QStringLiteral("delete from Signals where nodeid = ? and sigid = ?"),
                   {line, sigid}, Q_FUNC_INFO);
}

bool ObjectDataBase::delAllSignals(quint8 line)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok =
        d->exec(QStringLiteral("delete from Signals where nodeid = ?"), {line}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::SignalsChanged, line));
    return unit.commit() && ok;
}

bool ObjectDataBase::updateSignalRef(quint8 line, quint32 sigid, quint32 ref)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    int changed = 0;
    return d->exec(QStringLiteral("update Signals set ref = ? where sigid= ? and nodeid = ?"),
                   {ref, sigid, line}, Q_FUNC_INFO, nullptr, &changed)
           && changed > 0;
}

bool ObjectDataBase::getSignalSortDataByIndex(quint8 line, quint16 index, quint8 sub,
                                              SIGNAL_T &signal) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows = d->select(
        QStringLiteral("select transmittype, transmittrigger, eventtimer, syncvalue, "
                       "syncstartvalue, routing from Signals where nodeid = ? and ref = ? "
                       "order by sigid"),
        {line, quint32(index) + quint32(sub) * 65536}, Q_FUNC_INFO);
    if (rows.isEmpty())
        return false;
    signal.transmittype = quint8(rows.at(0, 0).toUInt());
    signal.transmittrigger = quint8(rows.at(0, 1).toUInt());
    signal.eventtimer = quint16(rows.at(0, 2).toUInt());
    signal.syncvalue = quint16(rows.at(0, 3).toUInt());
    signal.syncstartvalue = quint8(rows.at(0, 4).toUInt());
    signal.routing = quint8(rows.at(0, 5).toUInt());
    return true;
}

QList<ObjectDataBase::SignalGroupData> ObjectDataBase::getSignalGroups() const
{
    StoreLocker locker(d->mutex);
    QList<SignalGroupData> groups;
    for (const SqlRows::Row row : d->select(
             QStringLiteral("select sigid,name from SignalGroups order by sigid"), {}, Q_FUNC_INFO))
        groups.append({quint32(row.value(0).toLongLong()), row.value(1).toString()});
    return groups;
}

quint32 ObjectDataBase::addSignalGroup(const QString &name)
{
    StoreLocker locker(d->mutex);
    const QList<quint32> known = d->readNumbers(
        QStringLiteral("select sigid from SignalGroups where name = ?"), {d->sqlText(name)});
    if (!known.isEmpty())
        return known.first();
    if (d->lockWriteAccess)
        return 0;
    qint64 id = 0;
    if (!d->exec(QStringLiteral("insert into SignalGroups values(NULL,?)"), {d->sqlText(name)},
                 Q_FUNC_INFO, &id))
        return 0;
    return quint32(id);
}

bool ObjectDataBase::delSignalGroup(quint32 id)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    return d->exec(QStringLiteral("delete from SignalGroups where sigid = ?"), {id}, Q_FUNC_INFO);
}

bool ObjectDataBase::updateSignalGroups(const QList<SignalGroupData> &groups)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    bool ok = d->execSchema(QStringLiteral("delete from SignalGroups where 1 = 1"), Q_FUNC_INFO);
    for (int i = 0; ok && i < groups.size(); ++i)
        ok = d->exec(QStringLiteral("insert into SignalGroups values(?, ?)"),
                     {groups.at(i).sigid ? QVariant(groups.at(i).sigid) : QVariant(),
                      d->sqlText(groups.at(i).name)},
                     Q_FUNC_INFO);
    return unit.commit() && ok;
}
