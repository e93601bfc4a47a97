#include "objectdatabase.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSqlError>

namespace {

// Columns of every per-line table that hold Strings ids.
struct StringColumns
{
    const char *table;
    const char *columns;
};

const StringColumns lineStringColumns[] = {
    {"Objects", "name, description, device_class"},
    {"SubObjects", "name, denotation, description"},
    {"PGNs", "name, \"desc\""},
    {"CANIDs", "name, \"desc\""},
    {"SPNs", "name, \"desc\""},
    {"DataElements", "name, \"desc\""},
};

} // namespace

QString ObjectDataBase::sqlText(const QString &text)
{
    // A null text would be bound as NULL; the file holds every text, empty ones included.
    return text.isNull() ? QStringLiteral("") : text;
}

int ObjectDataBase::getStringId(const QString &text)
{
    QMutexLocker locker(&m_mutex);
    const auto cached = m_stringIds.constFind(text);
    if (cached != m_stringIds.constEnd())
        return cached.value();
    QSqlQuery &insert = prepared(QStringLiteral("insert into Strings values(NULL,?)"));
    insert.bindValue(0, sqlText(text));
    if (!run(insert, Q_FUNC_INFO))
        return -1;
    // The new row's id; looking the text up again would scan the whole table.
    const QVariant id = insert.lastInsertId();
    if (!id.isValid())
        return -1;
    m_stringIds.insert(text, id.toInt());
    m_strings.insert(id.toInt(), text);
    return id.toInt();
}

QString ObjectDataBase::getString(int id)
{
    QMutexLocker locker(&m_mutex);
    const auto cached = m_strings.constFind(id);
    if (cached != m_strings.constEnd())
        return cached.value();
    QSqlQuery &query = prepared(QStringLiteral("select string from Strings where id = ?"));
    query.bindValue(0, id);
    QString text;
    if (run(query, Q_FUNC_INFO) && query.next()) {
        text = query.value(0).toString();
        m_strings.insert(id, text);
    }
    query.finish();
    return text;
}

void ObjectDataBase::cacheStrings()
{
    QMutexLocker locker(&m_mutex);
    m_stringIds.clear();
    m_strings.clear();
    QSqlQuery &query = prepared(QStringLiteral("select * from Strings"));
    if (run(query, Q_FUNC_INFO)) {
        while (query.next()) {
            const int id = query.value(0).toInt();
            const QString text = query.value(1).toString();
            m_stringIds.insert(text, id);
            m_strings.insert(id, text);
        }
    }
    query.finish();
}

// Every Strings id some table refers to. ok is false when a table that exists could not
// be read; then nothing may be deleted.
QSet<int> ObjectDataBase::referencedStringIds(bool &ok)
{
    ok = true;
    QStringList selects;
    for (quint8 line : getNodes()) {
        for (const StringColumns &columns : lineStringColumns) {
            const QString name = table(columns.table, line);
            if (tableExists(name))
                selects.append(
                    QStringLiteral("select %1 from %2").arg(QLatin1String(columns.columns), name));
        }
    }
    if (tableExists(QStringLiteral("Signals")))
        selects.append(QStringLiteral("select name from Signals"));
    QSet<int> ids;
    for (const QString &sql : qAsConst(selects)) {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            qDebug() << Q_FUNC_INFO << query.lastError().text() << sql;
            ok = false;
            return ids;
        }
        const int columns = sql.count(QLatin1Char(',')) + 1;
        while (query.next()) {
            for (int i = 0; i < columns; ++i) {
                const QVariant value = query.value(i);
                if (!value.isNull())
                    ids.insert(value.toInt());
            }
        }
    }
    return ids;
}

void ObjectDataBase::cleanUpStrings()
{
    QMutexLocker locker(&m_mutex);
    bool ok = false;
    const QSet<int> used = referencedStringIds(ok);
    if (!ok)
        return;
    QList<int> unused;
    QSqlQuery &all = prepared(QStringLiteral("select id from Strings"));
    if (run(all, Q_FUNC_INFO)) {
        while (all.next()) {
            const int id = all.value(0).toInt();
            if (!used.contains(id))
                unused.append(id);
        }
    }
    all.finish();
    QSqlQuery &remove = prepared(QStringLiteral("delete from Strings where id = ?"));
    for (int id : qAsConst(unused)) {
        remove.bindValue(0, id);
        run(remove, Q_FUNC_INFO);
    }
    cacheStrings();
}
