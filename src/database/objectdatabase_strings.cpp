#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>
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

QString ObjectDataBasePrivate::sqlText(const QString &text)
{
    // A null text would be bound as NULL; the file holds every text, empty ones included.
    return text.isNull() ? QStringLiteral("") : text;
}

int ObjectDataBase::getStringId(const QString &text)
{
    StoreLocker locker(d->mutex);
    const auto cached = d->stringIds.constFind(text);
    if (cached != d->stringIds.constEnd())
        return cached.value();
    // The new row's id comes from the insert; looking the text up again would scan the
    // whole table.
    qint64 id = -1;
    const QString sql = QStringLiteral("insert into Strings values(?,?)");
    sqlite3_stmt *insert = d->rawPrepared(sql, Q_FUNC_INFO);
    RawRow row(insert);
    // Without an undo history SQLite gives the id.
    if (d->undo->m_enabled)
        row.number(nextStringId());
    else
        row.null();
    if (!d->rawRun(insert, row.text(text).ok(), sql, Q_FUNC_INFO, &id) || id < 0)
        return -1;
    d->stringIds.insert(text, int(id));
    d->strings.insert(int(id), text);
    return int(id);
}

QString ObjectDataBase::getString(int id) const
{
    return d->stringOf(id);
}

QString ObjectDataBasePrivate::stringOf(int id)
{
    StoreLocker locker(mutex);
    const auto cached = strings.constFind(id);
    if (cached != strings.constEnd())
        return cached.value();
    const SqlRows rows =
        select(QStringLiteral("select string from Strings where id = ?"), {id}, Q_FUNC_INFO);
    // An id without a row is remembered as an empty text too, so that a table full of
    // dangling ids costs one statement per id, not one per row.
    const QString text = rows.first().toString();
    if (rows.ok())
        strings.insert(id, text);
    return text;
}

void ObjectDataBase::cacheStrings() const
{
    StoreLocker locker(d->mutex);
    d->stringIds.clear();
    d->strings.clear();
    for (const SqlRows::Row row :
         d->select(QStringLiteral("select id, string from Strings"), {}, Q_FUNC_INFO)) {
        const int id = row.value(0).toInt();
        const QString text = row.value(1).toString();
        d->stringIds.insert(text, id);
        d->strings.insert(id, text);
    }
}

// Every Strings id some table refers to. ok is false when a table that exists could not
// be read; then nothing may be deleted.
QSet<int> ObjectDataBasePrivate::referencedStringIds(bool &ok)
{
    ok = true;
    QStringList selects;
    for (quint8 line : lines()) {
        for (const StringColumns &columns : lineStringColumns) {
            const QString name = table(columns.table, line);
            if (tableExists(name))
                selects.append(
                    QStringLiteral("select %1 from %2").arg(QLatin1String(columns.columns), name));
        }
    }
    if (tableExists(QStringLiteral("Signals")))
        selects.append(QStringLiteral("select name from Signals"));
    // Read on SQLite's own handle: a large dictionary holds a hundred thousand references,
    // which cost more as QVariants than the reading itself.
    QVector<int> referenced;
    for (const QString &sql : qAsConst(selects)) {
        if (!rawIntegers(sql, Q_FUNC_INFO, referenced)) {
            ok = false;
            return {};
        }
    }
    QSet<int> ids;
    ids.reserve(referenced.size());
    for (int id : qAsConst(referenced))
        ids.insert(id);
    return ids;
}

bool ObjectDataBase::cleanUpStrings()
{
    StoreLocker locker(d->mutex);
    bool ok = false;
    const QSet<int> used = d->referencedStringIds(ok);
    QVector<int> all;
    if (!ok || !d->rawIntegers(QStringLiteral("select id from Strings"), Q_FUNC_INFO, all))
        return false;
    WriteUnit unit(this);
    bool deleted = false;
    for (int id : qAsConst(all)) {
        if (!used.contains(id)) {
            ok = d->exec(QStringLiteral("delete from Strings where id = ?"), {id}, Q_FUNC_INFO)
                 && ok;
            deleted = true;
        }
    }
    // The cache only changes when a text went; reading every text again costs as much as
    // the clean-up itself.
    if (deleted)
        cacheStrings();
    return unit.commit() && ok;
}
