#include "objectdatabase.h"

#include "objectdatabase_p.h"

// Connections and groups refer to lines and objects by number; deleting or renumbering a
// line, object or sub-index keeps them consistent through these members.

bool ObjectDataBase::removeConnnection(quint8 line)
{
    StoreLocker locker(d->mutex);
    return d->exec(QStringLiteral("delete from Connections where prodnode = ? OR connode = ?"),
                   {line, line}, Q_FUNC_INFO);
}

bool ObjectDataBase::removeConnnection(quint8 line, quint16 index)
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    const bool ok =
        d->exec(QStringLiteral("delete from Connections where prodnode = ? AND prodindex = ?"),
                {line, index}, Q_FUNC_INFO)
        && d->exec(QStringLiteral("delete from Connections where connode = ? AND conindex = ?"),
                   {line, index}, Q_FUNC_INFO);
    return unit.commit() && ok;
}

bool ObjectDataBase::removeConnnection(quint8 line, quint16 index, quint8 sub)
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    const bool ok =
        removeProducerConnections(line, index, sub) && removeConsumerConnection(line, index, sub);
    return unit.commit() && ok;
}

bool ObjectDataBase::removeProducerConnections(quint8 line, quint16 index, quint8 sub)
{
    StoreLocker locker(d->mutex);
    return d->exec(QStringLiteral("delete from Connections where prodnode = ? AND "
                                  "prodindex = ? AND prodsub = ?"),
                   {line, index, sub}, Q_FUNC_INFO);
}

bool ObjectDataBase::removeConsumerConnection(quint8 line, quint16 index, quint8 sub)
{
    StoreLocker locker(d->mutex);
    return d->exec(QStringLiteral("delete from Connections where connode = ? AND conindex = ? "
                                  "AND consub = ?"),
                   {line, index, sub}, Q_FUNC_INFO);
}

bool ObjectDataBase::moveConnections(quint8 from, quint8 to)
{
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    const bool ok =
        d->exec(QStringLiteral("update Connections set prodnode = ? where prodnode = ?"),
                {to, from}, Q_FUNC_INFO)
        && d->exec(QStringLiteral("update Connections set connode = ? where connode = ?"),
                   {to, from}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::ProjectReloaded));
    return unit.commit() && ok;
}

QString ObjectDataBase::findGroup(quint8 line) const
{
    StoreLocker locker(d->mutex);
    const QString number = QString::number(line);
    for (const SqlRows::Row row :
         d->select(QStringLiteral("select name, nodeidlist from Groups"), {}, Q_FUNC_INFO)) {
        if (row.value(1).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(number))
            return row.value(0).toString();
    }
    return QString();
}

// The lines of a group as listed in the file; found is false for an unknown group.
QStringList ObjectDataBasePrivate::groupLines(const QString &name, bool &found)
{
    const SqlRows rows = select(QStringLiteral("select nodeidlist from Groups where name = ?"),
                                {sqlText(name)}, Q_FUNC_INFO);
    found = !rows.isEmpty();
    return rows.first().toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool ObjectDataBase::setGroupLines(const QString &name, const QStringList &lines)
{
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("update Groups set nodeidlist = ? where name = ?"),
                            {lines.join(QLatin1Char(' ')), d->sqlText(name)}, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::GroupsChanged));
    return unit.commit() && ok;
}

bool ObjectDataBase::addNodeToGroup(const QString &name, quint8 line)
{
    StoreLocker locker(d->mutex);
    bool found = false;
    QStringList lines = d->groupLines(name, found);
    if (!found)
        return false;
    const QString number = QString::number(line);
    if (lines.contains(number))
        return true;
    lines.append(number);
    return setGroupLines(name, lines);
}

bool ObjectDataBase::delNodeFromGroup(const QString &name, quint8 line)
{
    StoreLocker locker(d->mutex);
    bool found = false;
    QStringList lines = d->groupLines(name, found);
    if (!found)
        return false;
    if (lines.removeAll(QString::number(line)) == 0)
        return true;
    return setGroupLines(name, lines);
}
