#include "objectdatabase.h"

#include <QMutexLocker>

// Connections and groups refer to lines and objects by number; deleting or renumbering a
// line, object or sub-index keeps them consistent through these members.

void ObjectDataBase::removeConnnection(quint8 line)
{
    runWith(QStringLiteral("delete from Connections where prodnode = ? OR connode = ?"),
            {line, line}, Q_FUNC_INFO);
}

void ObjectDataBase::removeConnnection(quint8 line, quint16 index)
{
    QMutexLocker locker(&m_mutex);
    runWith(QStringLiteral("delete from Connections where prodnode = ? AND prodindex = ?"),
            {line, index}, Q_FUNC_INFO);
    runWith(QStringLiteral("delete from Connections where connode = ? AND conindex = ?"),
            {line, index}, Q_FUNC_INFO);
}

void ObjectDataBase::removeConnnection(quint8 line, quint16 index, quint8 sub)
{
    QMutexLocker locker(&m_mutex);
    removeProducerConnections(line, index, sub);
    removeConsumerConnection(line, index, sub);
}

void ObjectDataBase::removeProducerConnections(quint8 line, quint16 index, quint8 sub)
{
    runWith(QStringLiteral(
                "delete from Connections where prodnode = ? AND prodindex = ? AND prodsub = ?"),
            {line, index, sub}, Q_FUNC_INFO);
}

void ObjectDataBase::removeConsumerConnection(quint8 line, quint16 index, quint8 sub)
{
    runWith(
        QStringLiteral("delete from Connections where connode = ? AND conindex = ? AND consub = ?"),
        {line, index, sub}, Q_FUNC_INFO);
}

void ObjectDataBase::moveConnections(quint8 from, quint8 to)
{
    QMutexLocker locker(&m_mutex);
    runWith(QStringLiteral("update Connections set prodnode = ? where prodnode = ?"), {to, from},
            Q_FUNC_INFO);
    runWith(QStringLiteral("update Connections set connode = ? where connode = ?"), {to, from},
            Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::ProjectReloaded));
}

QString ObjectDataBase::findGroup(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    const QString number = QString::number(line);
    QSqlQuery &query = prepared(QStringLiteral("select name, nodeidlist from Groups"));
    QString group;
    if (run(query, Q_FUNC_INFO)) {
        while (group.isEmpty() && query.next()) {
            const QStringList lines =
                query.value(1).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (lines.contains(number))
                group = query.value(0).toString();
        }
    }
    query.finish();
    return group;
}

// The lines of a group as listed in the file; found is false for an unknown group.
QStringList ObjectDataBase::groupLines(const QString &name, bool &found)
{
    QSqlQuery &query = prepared(QStringLiteral("select nodeidlist from Groups where name = ?"));
    query.bindValue(0, sqlText(name));
    found = run(query, Q_FUNC_INFO) && query.next();
    const QStringList lines =
        found ? query.value(0).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts)
              : QStringList();
    query.finish();
    return lines;
}

bool ObjectDataBase::setGroupLines(const QString &name, const QStringList &lines)
{
    QSqlQuery &update = prepared(QStringLiteral("update Groups set nodeidlist = ? where name = ?"));
    update.bindValue(0, lines.join(QLatin1Char(' ')));
    update.bindValue(1, sqlText(name));
    const bool ok = run(update, Q_FUNC_INFO);
    notify(ChangeSet(ChangeSet::GroupsChanged));
    return ok;
}

bool ObjectDataBase::addNodeToGroup(const QString &name, quint8 line)
{
    QMutexLocker locker(&m_mutex);
    bool found = false;
    QStringList lines = groupLines(name, found);
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
    QMutexLocker locker(&m_mutex);
    bool found = false;
    QStringList lines = groupLines(name, found);
    if (!found)
        return false;
    if (lines.removeAll(QString::number(line)) == 0)
        return true;
    return setGroupLines(name, lines);
}
