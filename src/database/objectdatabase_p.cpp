#include "objectdatabase_p.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

RawRow &RawRow::number(qint64 value)
{
    m_ok = m_ok && sqlite3_bind_int64(m_statement, ++m_column, value) == SQLITE_OK;
    return *this;
}

RawRow &RawRow::text(const QString &value)
{
    if (!m_ok)
        return *this;
    ++m_column;
    // Plain ASCII, nearly every text, is handed over as UTF-8, which SQLite uses as it is;
    // any other text goes as UTF-16 for SQLite to convert, as Qt's driver hands it over.
    const int size = value.size();
    const QChar *characters = value.constData();
    if (size <= int(sizeof m_ascii) - m_asciiUsed) {
        char *ascii = m_ascii + m_asciiUsed;
        int i = 0;
        for (; i < size && characters[i].unicode() < 0x80; ++i)
            ascii[i] = char(characters[i].unicode());
        if (i == size) {
            m_asciiUsed += size;
            m_ok =
                sqlite3_bind_text(m_statement, m_column, ascii, size, SQLITE_STATIC) == SQLITE_OK;
            return *this;
        }
    }
    m_ok = sqlite3_bind_text16(m_statement, m_column, value.utf16(), int(size * sizeof(QChar)),
                               SQLITE_STATIC)
           == SQLITE_OK;
    return *this;
}

RawRow &RawRow::blob(const QByteArray &value)
{
    m_ok = m_ok
           && sqlite3_bind_blob(m_statement, ++m_column, value.constData(), value.size(),
                                SQLITE_STATIC)
                  == SQLITE_OK;
    return *this;
}

RawRow &RawRow::null()
{
    m_ok = m_ok && sqlite3_bind_null(m_statement, ++m_column) == SQLITE_OK;
    return *this;
}

QSqlQuery *ObjectDataBasePrivate::statement(const QString &sql, const QVariantList &values,
                                            const char *signature)
{
    QSqlQuery *query = prepared(sql, signature);
    for (int i = 0; query && i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return query;
}

QSqlQuery *ObjectDataBasePrivate::prepared(const QString &sql, const char *signature)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        auto query = std::make_unique<QSqlQuery>(db);
        query->setForwardOnly(true);
        // Not kept when it fails: the statement may become valid once its table exists.
        if (!query->prepare(sql)) {
            failed(*query, sql, signature);
            return nullptr;
        }
        it = m_statements.emplace(sql, std::move(query)).first;
    }
    return it->second.get();
}

void ObjectDataBasePrivate::failed(const QSqlQuery &query, const QString &sql,
                                   const char *signature)
{
    lastSqlError = query.lastError().text();
    qDebug() << signature << lastSqlError << sql;
}

bool ObjectDataBasePrivate::execPrepared(QSqlQuery *query, const QString &sql,
                                         const QVector<QVariant> &values, const char *signature,
                                         qint64 *insertId)
{
    for (int i = 0; query && i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return run(query, sql, signature, insertId, nullptr);
}

bool ObjectDataBasePrivate::exec(const QString &sql, const QVariantList &values,
                                 const char *signature, qint64 *insertId, int *rowsAffected)
{
    return run(statement(sql, values, signature), sql, signature, insertId, rowsAffected);
}

// Runs a prepared statement with its values bound; a failure dooms the open unit.
bool ObjectDataBasePrivate::run(QSqlQuery *query, const QString &sql, const char *signature,
                                qint64 *insertId, int *rowsAffected)
{
    dropSnapshot();
    const bool ok = query && query->exec();
    if (!ok) {
        if (query)
            failed(*query, sql, signature);
        if (unitDepth > 0)
            unitFailed = true;
    } else {
        if (insertId)
            *insertId = query->lastInsertId().toLongLong();
        if (rowsAffected)
            *rowsAffected = query->numRowsAffected();
    }
    if (query)
        query->finish();
    return ok;
}

bool ObjectDataBasePrivate::execSchema(const QString &sql, const char *signature)
{
    if (trySql(sql))
        return true;
    qDebug() << signature << lastSqlError << sql;
    if (unitDepth > 0)
        unitFailed = true;
    return false;
}

bool ObjectDataBasePrivate::trySql(const QString &sql)
{
    dropSnapshot();
    if (undo->m_enabled && UndoLog::isSchemaStatement(sql))
        return undo->execRecorded(sql, &lastSqlError);
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    lastSqlError = query.lastError().text();
    return false;
}

bool ObjectDataBasePrivate::unitStatement(const QString &sql, const char *signature)
{
    // A unit begins before its writes, and a rollback changes the file without any.
    dropSnapshot();
    QSqlQuery *query = statement(sql, {}, signature);
    const bool ok = query && query->exec();
    if (query) {
        if (!ok)
            failed(*query, sql, signature);
        query->finish();
    }
    return ok;
}

sqlite3_stmt *ObjectDataBasePrivate::rawPrepared(const QString &sql, const char *signature)
{
    const auto it = m_rawStatements.find(sql);
    if (it != m_rawStatements.end())
        return it->second;
    sqlite3 *handle = sqliteHandle();
    sqlite3_stmt *statement = nullptr;
    if (!handle
        || sqlite3_prepare16_v2(handle, sql.utf16(), int((sql.size() + 1) * sizeof(QChar)),
                                &statement, nullptr)
               != SQLITE_OK) {
        sqlite3_finalize(statement);
        rawFailed(handle, "Unable to execute statement", sql, signature);
        return nullptr;
    }
    m_rawStatements.emplace(sql, statement);
    return statement;
}

bool ObjectDataBasePrivate::rawRun(sqlite3_stmt *statement, bool bound, const QString &sql,
                                   const char *signature, qint64 *insertId)
{
    dropSnapshot();
    bool ok = false;
    if (statement) {
        sqlite3 *handle = sqlite3_db_handle(statement);
        if (!bound) {
            rawFailed(handle, "Unable to bind parameters", sql, signature);
        } else {
            const int result = sqlite3_step(statement);
            ok = result == SQLITE_DONE || result == SQLITE_ROW;
            if (!ok)
                rawFailed(handle, "Unable to fetch row", sql, signature);
            else if (insertId)
                *insertId = sqlite3_last_insert_rowid(handle);
        }
        // The bindings stay: every row binds all columns again before it runs.
        sqlite3_reset(statement);
    }
    if (!ok && unitDepth > 0)
        unitFailed = true;
    return ok;
}

bool ObjectDataBasePrivate::rawHasRow(sqlite3_stmt *statement, bool bound, const QString &sql,
                                      const char *signature)
{
    if (!statement)
        return false;
    sqlite3 *handle = sqlite3_db_handle(statement);
    bool found = false;
    if (!bound) {
        rawFailed(handle, "Unable to bind parameters", sql, signature);
    } else {
        const int result = sqlite3_step(statement);
        found = result == SQLITE_ROW;
        if (!found && result != SQLITE_DONE)
            rawFailed(handle, "Unable to fetch row", sql, signature);
    }
    sqlite3_reset(statement);
    return found;
}

bool ObjectDataBasePrivate::rawIntegers(const QString &sql, const char *signature,
                                        QVector<int> &values)
{
    return selectEach(sql, {}, signature, [&values](const SqlCells &cells) {
        for (int column = 0; column < cells.columnCount(); ++column) {
            if (!cells.isNull(column))
                values.append(cells.integer(column));
        }
    });
}

// Worded as Qt's SQLite driver words the same failure, so that a raw statement and a
// QSqlQuery report alike.
void ObjectDataBasePrivate::rawFailed(sqlite3 *handle, const char *driverText, const QString &sql,
                                      const char *signature)
{
    lastSqlError.clear();
    if (handle) {
        lastSqlError = QString(reinterpret_cast<const QChar *>(sqlite3_errmsg16(handle)));
        if (!lastSqlError.isEmpty())
            lastSqlError += QLatin1Char(' ');
        lastSqlError += QCoreApplication::translate("QSQLiteResult", driverText);
    } else {
        lastSqlError = QStringLiteral("Driver not loaded");
    }
    qDebug() << signature << lastSqlError << sql;
}

void ObjectDataBasePrivate::dropStatements()
{
    // Before the connection closes: SQLite keeps a connection with unfinalised statements.
    for (auto &raw : m_rawStatements)
        sqlite3_finalize(raw.second);
    m_rawStatements.clear();
    m_statements.clear();
}
