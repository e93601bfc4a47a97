#include "objectdatabase_p.h"

#include <QDebug>
#include <QSqlError>

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

void ObjectDataBasePrivate::dropStatements()
{
    dropSelects();
    m_statements.clear();
}
