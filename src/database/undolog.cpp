#include "undolog.h"

#include <QDebug>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString identifier(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\""))
           + QLatin1Char('"');
}

// A text as an SQL string literal.
QString literal(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''"))
           + QLatin1Char('\'');
}

QString triggerName(const char *kind, const QString &table)
{
    return identifier(QLatin1String("undo_") + QLatin1String(kind) + QLatin1Char('_') + table);
}

QStringList quotedColumns(const QStringList &columns)
{
    QStringList quoted;
    for (const QString &column : columns)
        quoted.append(identifier(column));
    return quoted;
}

// The rows of the clipboard and staging lines in Nodes are scratch like their tables.
QString rowCondition(const QString &table, const char *row)
{
    if (table != QLatin1String("Nodes"))
        return QString();
    return QStringLiteral(" WHEN %1.nodeId < 254").arg(QLatin1String(row));
}

QString triggerStatement(const char *kind, const char *event, const char *row, const QString &table,
                         const QString &inverse)
{
    return QStringLiteral("CREATE TEMP TRIGGER %1 AFTER %2 ON main.%3%4 BEGIN "
                          "INSERT INTO undo_log(sql) VALUES(%5); END")
        .arg(triggerName(kind, table), QLatin1String(event), identifier(table),
             rowCondition(table, row), inverse);
}

} // namespace

UndoLog::UndoLog(StoreMutex *mutex, QObject *parent) : QObject(parent), m_mutex(mutex) {}

bool UndoLog::isEnabled() const
{
    StoreLocker locker(*m_mutex);
    return m_enabled;
}

bool UndoLog::canUndo() const
{
    StoreLocker locker(*m_mutex);
    return !m_undo.isEmpty();
}

bool UndoLog::canRedo() const
{
    StoreLocker locker(*m_mutex);
    return !m_redo.isEmpty();
}

QString UndoLog::undoText() const
{
    StoreLocker locker(*m_mutex);
    return m_undo.isEmpty() ? QString() : m_undo.last().name;
}

QString UndoLog::redoText() const
{
    StoreLocker locker(*m_mutex);
    return m_redo.isEmpty() ? QString() : m_redo.last().name;
}

int UndoLog::undoCount() const
{
    StoreLocker locker(*m_mutex);
    return m_undo.size();
}

int UndoLog::redoCount() const
{
    StoreLocker locker(*m_mutex);
    return m_redo.size();
}

bool UndoLog::isClean() const
{
    StoreLocker locker(*m_mutex);
    return (m_undo.isEmpty() ? 0 : m_undo.last().id) == m_cleanId;
}

void UndoLog::setClean()
{
    m_cleanId = m_undo.isEmpty() ? 0 : m_undo.last().id;
    emit changed();
}

QStringList UndoLog::triggerStatements(const QString &table, const QStringList &columns)
{
    const QString name = identifier(table);
    const QStringList quoted = quotedColumns(columns);
    QStringList statements;
    // Texts are only added while the history exists; see the class comment.
    if (table != QLatin1String("Strings"))
        statements.append(
            triggerStatement("i", "INSERT", "new", table,
                             literal(QStringLiteral("DELETE FROM %1 WHERE rowid=").arg(name))
                                 + QLatin1String("||new.rowid")));

    QString update =
        literal(QStringLiteral("UPDATE %1 SET rowid=").arg(name)) + QLatin1String("||old.rowid");
    for (const QString &column : quoted)
        update += QStringLiteral("||%1||quote(old.%2)")
                      .arg(literal(QLatin1Char(',') + column + QLatin1Char('=')), column);
    update += QStringLiteral("||%1||new.rowid").arg(literal(QStringLiteral(" WHERE rowid=")));
    statements.append(triggerStatement("u", "UPDATE", "new", table, update));

    QString insert = literal(QStringLiteral("INSERT INTO %1(rowid,%2) VALUES(")
                                 .arg(name, quoted.join(QLatin1Char(','))))
                     + QLatin1String("||old.rowid");
    for (const QString &column : quoted)
        insert += QStringLiteral("||','||quote(old.%1)").arg(column);
    insert += QLatin1String("||')'");
    statements.append(triggerStatement("d", "DELETE", "old", table, insert));
    return statements;
}

QString UndoLog::changedTable(const QString &sql)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:drop\\s+table(?:\\s+if\\s+exists)?|alter\\s+table)\\s+"
                       "(?:main\\.)?[\"`\\[]?(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(sql);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool UndoLog::isSchemaStatement(const QString &sql)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(create|drop|alter)\\s"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(sql).hasMatch();
}

bool UndoLog::isScratchTable(const QString &table)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(Objects|SubObjects|PGNs|SPNs|CANIDs|DataElements|GeneralSettings|"
                       "DescriptionSettings)(254|255)$|_old$"));
    return pattern.match(table).hasMatch();
}

bool UndoLog::exec(const QString &sql) const
{
    QSqlQuery query(m_db);
    if (query.exec(sql))
        return true;
    qWarning() << "undo log:" << query.lastError().text() << sql;
    return false;
}

UndoLog::Schema UndoLog::schema() const
{
    Schema tables;
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' "
                              "AND name NOT LIKE 'sqlite_%'"));
    while (query.next())
        tables.insert(query.value(0).toString(), query.value(1).toString());
    return tables;
}

qint64 UndoLog::schemaVersion() const
{
    QSqlQuery query(m_db);
    return query.exec(QStringLiteral("PRAGMA main.schema_version")) && query.next()
               ? query.value(0).toLongLong()
               : -1;
}

qint64 UndoLog::lastSeq() const
{
    QSqlQuery query(m_db);
    return query.exec(QStringLiteral("SELECT coalesce(max(seq), 0) FROM temp.undo_log"))
                   && query.next()
               ? query.value(0).toLongLong()
               : 0;
}

bool UndoLog::dropTriggers(const QString &table)
{
    bool ok = true;
    for (const char *kind : {"i", "u", "d"})
        ok = exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.%1").arg(triggerName(kind, table)))
             && ok;
    return ok;
}

bool UndoLog::installTriggers(const QString &table)
{
    QStringList columns;
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("PRAGMA main.table_info(%1)").arg(identifier(table)));
    while (query.next())
        columns.append(query.value(1).toString());
    bool ok = dropTriggers(table) && !columns.isEmpty();
    const QStringList statements = triggerStatements(table, columns);
    for (int i = 0; ok && i < statements.size(); ++i)
        ok = exec(statements.at(i));
    return ok;
}

bool UndoLog::start(const QSqlDatabase &db)
{
    m_db = db;
    m_enabled = false;
    m_undo.clear();
    m_redo.clear();
    m_cleanId = 0;
    m_accounted = 0;
    m_suspended = false;
    bool ok = exec(QStringLiteral("PRAGMA recursive_triggers = ON"))
              && exec(QStringLiteral("DROP TABLE IF EXISTS temp.undo_log"))
              && exec(QStringLiteral(
                  "CREATE TEMP TABLE undo_log (seq INTEGER PRIMARY KEY, sql TEXT NOT NULL, "
                  "keep TEXT)"));
    const Schema tables = schema();
    for (auto it = tables.constBegin(); ok && it != tables.constEnd(); ++it) {
        if (!isScratchTable(it.key()))
            ok = installTriggers(it.key());
    }
    m_schemaVersion = schemaVersion();
    m_enabled = ok;
    if (!ok)
        stop();
    emit changed();
    return ok;
}

void UndoLog::stop()
{
    const Schema tables = schema();
    for (auto it = tables.constBegin(); it != tables.constEnd(); ++it)
        dropTriggers(it.key());
    if (m_enabled)
        removeEntries(1, lastSeq());
    exec(QStringLiteral("DROP TABLE IF EXISTS temp.undo_log"));
    m_enabled = false;
    m_undo.clear();
    m_redo.clear();
    m_depth = 0;
    emit changed();
}

void UndoLog::detach()
{
    m_enabled = false;
    m_db = QSqlDatabase();
    m_undo.clear();
    m_redo.clear();
    m_depth = 0;
    emit changed();
}

void UndoLog::discard(const char *reason)
{
    qWarning() << "undo history discarded:" << reason;
    removeEntries(1, lastSeq());
    m_undo.clear();
    m_redo.clear();
    m_accounted = lastSeq();
    m_cleanId = -1;
    const Schema tables = schema();
    for (auto it = tables.constBegin(); it != tables.constEnd(); ++it) {
        if (!isScratchTable(it.key()))
            installTriggers(it.key());
    }
    m_schemaVersion = schemaVersion();
    emit changed();
}

void UndoLog::beginStep(const QString &name)
{
    if (!m_enabled)
        return;
    if (m_depth++ == 0) {
        closeImplicitStep();
        m_openName = name;
    }
}

void UndoLog::endStep()
{
    if (!m_enabled || m_depth == 0)
        return;
    if (--m_depth == 0)
        pushStep({m_openName, m_accounted + 1, lastSeq(), 0});
}

void UndoLog::unitCommitted()
{
    if (m_enabled && !m_suspended && m_depth == 0)
        closeImplicitStep();
}

void UndoLog::closeImplicitStep()
{
    pushStep({tr("Change"), m_accounted + 1, lastSeq(), 0});
}

// Entries of a unit that was rolled back are gone; steps closed inside it go with them.
void UndoLog::unitRolledBack()
{
    if (!m_enabled)
        return;
    const qint64 last = lastSeq();
    while (!m_undo.isEmpty() && m_undo.last().first > last)
        m_undo.removeLast();
    if (!m_undo.isEmpty() && m_undo.last().last > last)
        m_undo.last().last = last;
    m_accounted = qMin(m_accounted, last);
    emit changed();
}

void UndoLog::pushStep(Step step)
{
    if (m_schemaVersion != schemaVersion()) {
        discard("a table was changed past the store");
        return;
    }
    if (step.last < step.first)
        return;
    for (const Step &undone : qAsConst(m_redo))
        removeEntries(undone.first, undone.last);
    m_redo.clear();
    step.id = m_nextId++;
    m_undo.append(step);
    m_accounted = step.last;
    while (m_undo.size() > maximumSteps) {
        const Step oldest = m_undo.takeFirst();
        removeEntries(oldest.first, oldest.last);
        // The state before the oldest step can no longer be reached.
        m_cleanId = m_cleanId == oldest.id ? 0 : (m_cleanId == 0 ? -1 : m_cleanId);
    }
    emit changed();
}

bool UndoLog::removeEntries(qint64 first, qint64 last)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral(
        "SELECT keep FROM temp.undo_log WHERE seq BETWEEN ? AND ? AND keep IS NOT NULL"));
    query.addBindValue(first);
    query.addBindValue(last);
    QStringList keeps;
    if (query.exec()) {
        while (query.next())
            keeps.append(query.value(0).toString());
    }
    query.finish();
    bool ok = true;
    for (const QString &keep : qAsConst(keeps))
        ok = exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(identifier(keep))) && ok;
    return exec(QStringLiteral("DELETE FROM temp.undo_log WHERE seq BETWEEN %1 AND %2")
                    .arg(first)
                    .arg(last))
           && ok;
}

bool UndoLog::replay(qint64 first, qint64 last)
{
    QStringList statements;
    {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral(
            "SELECT sql FROM temp.undo_log WHERE seq BETWEEN ? AND ? ORDER BY seq DESC"));
        query.addBindValue(first);
        query.addBindValue(last);
        if (!query.exec())
            return false;
        while (query.next())
            statements.append(query.value(0).toString());
    }
    // Deletes of single rows of one table that follow each other run as one statement:
    // undoing an import is mostly that, and a statement per row costs most of its time.
    static const QRegularExpression rowDelete(
        QStringLiteral("^DELETE FROM (\\S+) WHERE rowid=(-?\\d+)$"));
    QString table;
    QStringList rows;
    auto flush = [&]() {
        const bool ok = rows.isEmpty()
                        || execRecorded(QStringLiteral("DELETE FROM %1 WHERE rowid IN (%2)")
                                            .arg(table, rows.join(QLatin1Char(','))));
        rows.clear();
        return ok;
    };
    for (const QString &statement : qAsConst(statements)) {
        const QRegularExpressionMatch match = rowDelete.match(statement);
        if (match.hasMatch() && (rows.isEmpty() || match.captured(1) == table)
            && rows.size() < 500) {
            table = match.captured(1);
            rows.append(match.captured(2));
            continue;
        }
        if (!flush())
            return false;
        if (match.hasMatch()) {
            table = match.captured(1);
            rows.append(match.captured(2));
        } else if (!execRecorded(statement)) {
            return false;
        }
    }
    return flush() && removeEntries(first, last);
}

bool UndoLog::execRecorded(const QString &sql, QString *error)
{
    const bool schemaChange = m_enabled && isSchemaStatement(sql);
    Schema before;
    if (schemaChange)
        before = beforeSchemaChange(sql);
    QSqlQuery query(m_db);
    const bool ok = query.exec(sql);
    if (!ok) {
        if (error)
            *error = query.lastError().text();
        else
            qWarning() << "undo log:" << query.lastError().text() << sql;
    }
    query.finish();
    if (schemaChange)
        afterSchemaChange(sql, before);
    return ok;
}

// A table about to be dropped or altered is copied with its row ids, so that its rows can
// come back exactly as they were. Its triggers go, as altering a column they name fails.
UndoLog::Schema UndoLog::beforeSchemaChange(const QString &sql)
{
    Schema before = schema();
    const QString table = changedTable(sql);
    if (table.isEmpty() || !before.contains(table) || isScratchTable(table))
        return before;
    // The copy is noted under the table's name after a line feed, which no table name has.
    const QString keep = QStringLiteral("undo_keep_%1").arg(++m_keepCounter);
    if (exec(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT rowid AS undo_rowid, * FROM main.%2")
                 .arg(identifier(keep), identifier(table))))
        before.insert(QLatin1Char('\n') + table, keep);
    dropTriggers(table);
    return before;
}

void UndoLog::afterSchemaChange(const QString &sql, const Schema &before)
{
    Q_UNUSED(sql)
    const Schema after = schema();
    QSqlQuery log(m_db);
    log.prepare(QStringLiteral("INSERT INTO temp.undo_log(sql, keep) VALUES(?, ?)"));
    auto append = [&log](const QString &statement, const QVariant &keep) {
        log.addBindValue(statement);
        log.addBindValue(keep);
        return log.exec();
    };
    bool ok = true;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
        const QString &table = it.key();
        if (table.startsWith(QLatin1Char('\n')) || isScratchTable(table)
            || after.value(table) == it.value())
            continue;
        const QString keep = before.value(QLatin1Char('\n') + table);
        if (keep.isEmpty()) {
            discard("a table was changed without a copy");
            return;
        }
        QStringList columns;
        QSqlQuery info(m_db);
        info.exec(QStringLiteral("PRAGMA temp.table_info(%1)").arg(identifier(keep)));
        while (info.next())
            columns.append(identifier(info.value(1).toString()));
        columns.removeFirst();
        const QString restore =
            QStringLiteral("INSERT INTO %1(rowid,%2) SELECT undo_rowid,%2 "
                           "FROM temp.%3")
                .arg(identifier(table), columns.join(QLatin1Char(',')), identifier(keep));
        ok = append(restore, keep) && append(it.value(), QVariant(QVariant::String)) && ok;
    }
    for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
        // A copy that is not needed: the statement failed or left the table as it was.
        if (!it.key().startsWith(QLatin1Char('\n')))
            continue;
        const QString table = it.key().mid(1);
        if (after.value(table) == before.value(table)) {
            exec(QStringLiteral("DROP TABLE temp.%1").arg(identifier(it.value())));
            installTriggers(table);
        }
    }
    for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
        const QString &table = it.key();
        if (isScratchTable(table) || before.value(table) == it.value())
            continue;
        const QString name = identifier(table);
        ok = append(QStringLiteral("DROP TABLE %1").arg(name), QVariant(QVariant::String))
             && exec(
                 QStringLiteral("INSERT INTO temp.undo_log(sql) SELECT %1||rowid FROM "
                                "main.%2")
                     .arg(literal(QStringLiteral("DELETE FROM %1 WHERE rowid=").arg(name)), name))
             && installTriggers(table) && ok;
    }
    m_schemaVersion = schemaVersion();
    if (!ok)
        discard("a change of the tables could not be recorded");
}
