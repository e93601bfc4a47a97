#pragma once

#include "objectdatabase.h"
#include "sqlrows.h"
#include "storemutex.h"
#include "undolog.h"
#include "writeunit.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

// Binds the values of one row of a raw statement (ObjectDataBasePrivate::rawPrepared) by
// column, in order; ok() tells whether every bind took.
class RawRow
{
public:
    explicit RawRow(sqlite3_stmt *statement) : m_statement(statement), m_ok(statement) {}
    // The texts bound from m_ascii must stay where they are.
    RawRow(const RawRow &) = delete;
    RawRow &operator=(const RawRow &) = delete;
    RawRow &number(qint64 value);
    // Never NULL: a null text is stored as '' like an empty one. Texts and blobs are bound
    // without a copy: the value and this row must live until the row has run.
    RawRow &text(const QString &value);
    RawRow &null();
    RawRow &blob(const QByteArray &value);
    bool ok() const { return m_ok; }

private:
    sqlite3_stmt *m_statement;
    int m_column = 0;
    bool m_ok;
    // Plain ASCII texts of the row as UTF-8, which SQLite takes as they are.
    char m_ascii[2048];
    int m_asciiUsed = 0;
};

// The current row of a select stepped on SQLite's handle (ObjectDataBasePrivate::selectEach).
// Each cell is converted as select() and then the QVariant conversion named give it, but
// integers, texts, blobs and NULLs without a QVariant in between.
class SqlCells
{
public:
    explicit SqlCells(sqlite3_stmt *statement) : m_statement(statement) {}
    int columnCount() const;
    // The cell as select() gives it.
    QVariant value(int column) const;
    bool isNull(int column) const;
    QString text(int column) const; // value(column).toString()
    qint64 number(int column) const; // value(column).toLongLong()
    int integer(int column) const; // value(column).toInt()
    QByteArray bytes(int column) const; // value(column).toByteArray()

private:
    sqlite3_stmt *m_statement;
};

// The connection of one ObjectDataBase and the statements run on it. Callers hold the
// store's mutex. Values are always bound, never written into the SQL text.
class ObjectDataBasePrivate
{
public:
    using INDEX_DATA_T = ObjectDataBase::INDEX_DATA_T;
    using SUBINDEX_DATA_T = ObjectDataBase::SUBINDEX_DATA_T;
    using SubAddress = ObjectDataBase::SubAddress;
    using Connection = ObjectDataBase::Connection;
    using PGN = ObjectDataBase::PGN;
    using SPN = ObjectDataBase::SPN;
    using MetaData = ObjectDataBase::MetaData;
    using Store = ObjectDataBase::Store;

    // Runs a select and reads all its rows.
    SqlRows select(const QString &sql, const QVariantList &values, const char *signature);
    // Runs a select and hands each row to row as it is stepped; false when the statement
    // fails (logged as select() logs it), in which case the rows handed so far are void.
    bool selectEach(const QString &sql, const QVariantList &values, const char *signature,
                    const std::function<void(const SqlCells &)> &row);
    // Runs a statement that changes the file; a failure is logged with the caller's
    // signature and dooms the open unit of writes.
    bool exec(const QString &sql, const QVariantList &values, const char *signature,
              qint64 *insertId = nullptr, int *rowsAffected = nullptr);
    // The same with the statement prepared by prepared(sql): a bulk writer looks it up once
    // and runs it for every row. The values come in one block (a QVariantList would
    // allocate each of them on its own).
    bool execPrepared(QSqlQuery *query, const QString &sql, const QVector<QVariant> &values,
                      const char *signature, qint64 *insertId = nullptr);
    // The statement for sql, prepared once per connection; nullptr when it cannot be
    // prepared (logged).
    QSqlQuery *prepared(const QString &sql, const char *signature);
    // The path of the bulk writes and of every select: sql prepared once per connection on
    // SQLite's own handle of it, so that each row binds its values by column without QVariant; nullptr when it
    // cannot be prepared (logged with SQLite's message, as prepared() does).
    sqlite3_stmt *rawPrepared(const QString &sql, const char *signature);
    // Runs a raw statement whose values are bound (a failed bind is passed as bound:
    // false) like exec: the snapshot goes first, a failure is logged and dooms the unit,
    // and the statement is reset for its next row.
    bool rawRun(sqlite3_stmt *statement, bool bound, const QString &sql, const char *signature,
                qint64 *insertId = nullptr);
    // Whether a raw select with its values bound gives a row; false when it fails (logged,
    // as select() logs it).
    bool rawHasRow(sqlite3_stmt *statement, bool bound, const QString &sql, const char *signature);
    // Appends every non-NULL value of every column of sql's rows, read on SQLite's handle
    // and converted as select() and QVariant::toInt() would (texts by their number); false
    // when the statement fails (logged).
    bool rawIntegers(const QString &sql, const char *signature, QVector<int> &values);
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

    // ----- reads; the members below lock the mutex where others call them -------------

    // "Objects" and 3 give "Objects3".
    static QString table(const char *base, quint8 line);
    // The value to bind for a text: never NULL, so empty texts are stored as ''.
    static QString sqlText(const QString &text);
    static QString settingsTableStatement(const QString &tableName);
    static QString storeTable(Store store);
    bool tableExists(const QString &name);
    int rowCount(const QString &tableName, const QString &condition);
    QStringList commonColumns(const QString &first, const QString &second);
    QList<quint8> lines();
    // The text of a Strings id (cached; an id without a row is an empty text). textOf
    // takes a column value: NULL is an empty text.
    QString stringOf(int id);
    QString textOf(const QVariant &stringId);
    QSet<int> referencedStringIds(bool &ok);

    static QString propertyCondition(const QString &column, const QString &value, bool asNumber,
                                     QVariant &bound);
    // The row of the object or entry with the given columns; no row when there is none.
    SqlRows objectRow(quint8 line, quint16 index, const QString &columns);
    void readIndexRow(const SqlRows &rows, int row, int first, INDEX_DATA_T &data);
    // The objects from fromIndex to toIndex; ok tells whether they could be read.
    QMap<quint16, INDEX_DATA_T> objectsOf(quint8 line, quint16 fromIndex, quint16 toIndex,
                                          bool *ok);
    SqlRows subIndexRow(quint8 line, quint16 index, quint8 sub, const QString &columns);
    // Reads the sub-index columns of one row (SqlCells, or a row of SqlRows through the same
    // members) starting at column first.
    template <class Cells>
    void readSubIndexRow(const Cells &cells, int first, SUBINDEX_DATA_T &data);
    QList<quint8> subIndexList(quint8 line, quint16 index, quint8 fromSub, bool mappable);
    QMap<quint8, SUBINDEX_DATA_T> subIndicesOf(quint8 line, quint16 index, bool *ok = nullptr);
    // Keyed index * 256 + sub.
    QMap<quint32, SUBINDEX_DATA_T> subIndicesOf(quint8 line, quint16 fromIndex, quint16 toIndex,
                                                bool *ok);
    QVariant subIndexColumn(quint8 line, quint16 index, quint8 sub, const char *column);

    // Description settings of lines other than 0 carry the line as suffix.
    QString storeKey(Store store, const QString &key) const;
    // False when the table is missing or cannot be read; contents is then empty.
    bool storeContents(const QString &tableName, QMap<QString, QString> &contents);
    QList<QStringList> tableRows(const QString &sql, const QList<int> &stringColumns);
    QStringList groupLines(const QString &name, bool &found);

    QList<Connection> readConnections(const QString &condition, const QVariantList &values);
    QList<QPair<SubAddress, quint32>> mappingWords(quint8 line);
    QHash<quint32, quint16> readMappableTypes(quint8 line);
    QList<SubAddress> nvVariables(quint8 line);

    // A name column: "-" when no row, "--" when the statement fails.
    QString messageName(const QString &sql, const QVariantList &values);
    QList<SPN> readSpns(quint8 line, const QString &condition, const QVariantList &values,
                        bool *ok = nullptr);
    QList<PGN> readPgns(quint8 line, quint8 direction, quint32 fromPgn, quint32 toPgn,
                        bool *ok = nullptr);
    QList<quint32> readNumbers(const QString &sql, const QVariantList &values);
    QList<QPair<PGN, int>> pgnsWithWrongCount(quint8 line);

    // Held by every member of ObjectDataBase that touches the connection or a cache.
    mutable StoreMutex mutex;
    QSqlDatabase db;
    QString connectionName;
    QString lastSqlError;

    bool lockWriteAccess = false;
    bool blockUpdates = false;
    QString projectFileName;
    QString errorString;
    quint8 descriptionSettingsLine = 0;
    QStringList tempFiles;
    QStringList sqlResult;
    QPair<QString, QString> tempMetadata;

    // The caches: filled and emptied by reads, so changed by const members too.
    QHash<QString, int> stringIds;
    QHash<int, QString> strings;
    // line -> (index * 256 + sub -> entry)
    QMap<quint8, QMap<quint32, ObjectDataBase::SUBINDEX_DATA_T>> subCache;
    // line -> index -> object, for the lines whose sub-indices were all cached. Taken with
    // them and dropped by any write, so that while a line is in it, it and the line's
    // sub cache hold exactly what the file holds: objects, object lists and sub-index
    // lists are then answered from memory.
    QHash<quint8, QMap<quint16, ObjectDataBase::INDEX_DATA_T>> lineSnapshot;
    // The objects of line while its snapshot holds, else nullptr.
    const QMap<quint16, INDEX_DATA_T> *snapshotObjects(quint8 line) const
    {
        const auto it = lineSnapshot.constFind(line);
        return it != lineSnapshot.constEnd() ? &it.value() : nullptr;
    }
    // Every write calls this before it changes the file.
    void dropSnapshot()
    {
        if (!lineSnapshot.isEmpty())
            lineSnapshot.clear();
    }
    // index * 65536 + line * 256 + sub -> display name
    QHash<quint32, QString> subNameCache;
    struct CachedSpns
    {
        QList<quint32> order;
        QHash<quint32, ObjectDataBase::SPN> records;
    };
    // line -> (pgn << 8 | direction) -> SPNs; filled by cacheAllSpnDataForLine.
    QHash<quint8, QHash<quint64, CachedSpns>> spnCache;
    // line -> pgn -> spn -> data type; filled by cacheAllSpnDataTypes.
    QHash<quint8, QHash<quint32, QHash<quint32, quint16>>> spnTypeCache;
    // line -> (index * 256 + sub -> data type) of the mappable entries; filled by
    // initPossibleConnectionQuery.
    QHash<quint8, QHash<quint32, quint16>> mappableTypes;

    // The open unit of writes: depth of nested begins (0: none), whether a write in it
    // failed, and the change notifications it will send once committed.
    // The undo history; undoWanted keeps it on across new and opened projects, and
    // stringId is the next Strings id given while it is on (ids are never reused then).
    UndoLog *undo = nullptr;
    bool undoWanted = false;
    qint64 stringId = 0;

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
    bool run(QSqlQuery *query, const QString &sql, const char *signature, qint64 *insertId,
             int *rowsAffected);

    void rawFailed(sqlite3 *handle, const char *driverText, const QString &sql,
                   const char *signature);

    std::unordered_map<QString, std::unique_ptr<QSqlQuery>, QStringHash> m_statements;
    std::unordered_map<QString, sqlite3_stmt *, QStringHash> m_rawStatements;

    // SQLite's handle of the open connection; null when there is none.
    sqlite3 *sqliteHandle() const;
};
