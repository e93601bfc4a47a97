#pragma once

#include "objectdatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>
#include <unordered_map>

// Every row of one select. The statement is read to its end and finished before the rows
// are handed out, so whatever the reader does next (resolve texts, write) can never cut a
// read short.
class SqlRows
{
public:
    class Row
    {
    public:
        Row(const SqlRows *rows, int row) : m_rows(rows), m_row(row) {}
        const QVariant &value(int column) const { return m_rows->at(m_row, column); }

    private:
        const SqlRows *m_rows;
        int m_row;
    };

    class const_iterator
    {
    public:
        const_iterator(const SqlRows *rows, int row) : m_rows(rows), m_row(row) {}
        Row operator*() const { return Row(m_rows, m_row); }
        const_iterator &operator++()
        {
            ++m_row;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_row != other.m_row; }

    private:
        const SqlRows *m_rows;
        int m_row;
    };

    // The statement ran (a select without rows is ok).
    bool ok() const { return m_ok; }
    int count() const { return m_count; }
    int columnCount() const { return m_columns; }
    bool isEmpty() const { return m_count == 0; }
    const QVariant &at(int row, int column) const { return m_cells.at(row * m_columns + column); }
    // First column of the first row; invalid when there is none.
    QVariant first() const { return m_count > 0 ? m_cells.first() : QVariant(); }
    Row row(int row) const { return Row(this, row); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_count); }

private:
    friend class ObjectDataBasePrivate;
    bool m_ok = false;
    int m_columns = 0;
    int m_count = 0;
    QVector<QVariant> m_cells;
};

// The connection of one ObjectDataBase and the statements run on it. Callers hold the
// store's mutex. Values are always bound, never written into the SQL text.
class ObjectDataBasePrivate
{
public:
    // Runs a select and reads all its rows.
    SqlRows select(const QString &sql, const QVariantList &values, const char *signature);
    // Runs a statement that changes the file; a failure is logged with the caller's
    // signature and dooms the open unit of writes.
    bool exec(const QString &sql, const QVariantList &values, const char *signature,
              qint64 *insertId = nullptr, int *rowsAffected = nullptr);
    // Runs a statement without values (schema statements) like exec.
    bool execSchema(const QString &sql, const char *signature);
    // Runs a statement whose failure is expected in the normal course (adding a column
    // that is already there); a failure neither is logged nor dooms the unit.
    bool trySql(const QString &sql);
    // Runs BEGIN, COMMIT or ROLLBACK (prepared once, as units are begun and ended for
    // every write operation); logs a failure.
    bool unitStatement(const QString &sql, const char *signature);
    // Drops every prepared statement (before the connection is closed or rebound).
    void dropStatements();

    QSqlDatabase db;
    QString connectionName;
    QString lastSqlError;

    // The open unit of writes: depth of nested begins (0: none), whether a write in it
    // failed, and the change notifications it will send once committed.
    int unitDepth = 0;
    bool unitFailed = false;
    QVector<ObjectDataBase::ChangeSet> pendingChanges;

private:
    struct QStringHash
    {
        size_t operator()(const QString &s) const { return qHash(s); }
    };

    // The statement for sql, prepared once per connection, with values bound; nullptr
    // when it cannot be prepared (logged).
    QSqlQuery *statement(const QString &sql, const QVariantList &values, const char *signature);
    void failed(const QSqlQuery &query, const QString &sql, const char *signature);

    std::unordered_map<QString, std::unique_ptr<QSqlQuery>, QStringHash> m_statements;
};

// The writes of one operation as a unit: begun on construction (joining the caller's unit
// when one is open) and ended when it goes out of scope; a write that failed meanwhile
// makes the end a rollback. abandon() undoes the writes so far although none failed.
class WriteUnit
{
public:
    explicit WriteUnit(ObjectDataBase *db) : m_db(db), m_open(db->beginTransaction()) {}
    ~WriteUnit() { commit(); }
    WriteUnit(const WriteUnit &) = delete;
    WriteUnit &operator=(const WriteUnit &) = delete;

    // Ends the unit; true when its writes took effect (inside an open unit: when they still
    // can). False when the unit could not be begun.
    bool commit()
    {
        const bool open = m_open;
        m_open = false;
        return open && m_db->commitTransaction();
    }
    void abandon()
    {
        if (m_open)
            m_db->rollbackTransaction();
        m_open = false;
    }

private:
    ObjectDataBase *m_db;
    bool m_open;
};
