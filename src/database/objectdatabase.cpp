#include "objectdatabase.h"

#include <QAtomicInteger>
#include <QDebug>
#include <QFile>
#include <QMutexLocker>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>

#include <cstdlib>

namespace {

// Connection names "db1", "db2", ... are shared by all objects of the process; the
// counter is 16 bits wide, so a name still in use after a wrap-around is skipped.
QString nextConnectionName()
{
    static QAtomicInteger<quint32> counter;
    for (;;) {
        const quint16 number = quint16(counter.fetchAndAddRelaxed(1) + 1);
        const QString name = QStringLiteral("db%1").arg(number);
        if (!QSqlDatabase::contains(name))
            return name;
    }
}

} // namespace

ObjectDataBase::ObjectDataBase(QObject *parent)
    : QObject(parent), m_connectionName(nextConnectionName())
{
    qRegisterMetaType<ObjectDataBase::ChangeSet>("ObjectDataBase::ChangeSet");
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (m_db.lastError().isValid() || !m_db.isValid()) {
        qDebug() << "Db drivers: " << QSqlDatabase::drivers();
        qDebug() << "Db last error: " << m_db.lastError().text();
    }
    std::srand(uint(quintptr(QThread::currentThreadId())));
}

ObjectDataBase::~ObjectDataBase()
{
    // A unit still open is undone, as if its owner had given up.
    while (inTransaction())
        rollbackTransaction();
    {
        QMutexLocker locker(&m_mutex);
        resetConnection();
        m_db = QSqlDatabase();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    for (const QString &file : qAsConst(m_tempFiles))
        QFile::remove(file);
}

// Drops every prepared statement and closes the working file, so the connection can be
// bound to another file (or removed).
void ObjectDataBase::resetConnection()
{
    commitWriteBatch();
    m_preparedQueries.clear();
    m_failedQuery.reset();
    if (m_db.isOpen())
        m_db.close();
}

QSqlQuery &ObjectDataBase::prepared(const QString &sql)
{
    auto it = m_preparedQueries.find(sql);
    if (it != m_preparedQueries.end())
        return *it->second;
    auto query = std::make_unique<QSqlQuery>(m_db);
    query->setForwardOnly(true);
    if (!query->prepare(sql)) {
        // Not kept: the statement may become valid once its table exists.
        m_failedQuery = std::move(query);
        return *m_failedQuery;
    }
    return *m_preparedQueries.emplace(sql, std::move(query)).first->second;
}

bool ObjectDataBase::run(QSqlQuery &query, const char *signature)
{
    beginWriteBatch();
    if (query.exec())
        return true;
    qDebug() << signature << query.lastError().text() << query.lastQuery();
    // A write that failed inside a unit makes the whole unit fail.
    if (m_unitDepth > 0
        && !query.lastQuery().trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        m_unitFailed = true;
    return false;
}

// Statements run one after the other on the object's thread share one transaction until
// control returns to the event loop (or a batch grows large): a commit per statement would
// write the changed pages once for every statement. Everything that reads the working file
// as a file, or changes connection settings, commits first.
void ObjectDataBase::beginWriteBatch()
{
    if (m_unitDepth > 0)
        return;
    if (m_batchOpen) {
        if (++m_batchStatements >= maxBatchStatements)
            commitWriteBatch();
        return;
    }
    if (QThread::currentThread() != thread() || !m_db.isOpen())
        return;
    if (!m_db.transaction())
        return;
    m_batchOpen = true;
    m_batchStatements = 0;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            QMutexLocker locker(&m_mutex);
            commitWriteBatch();
        },
        Qt::QueuedConnection);
}

void ObjectDataBase::commitWriteBatch()
{
    if (!m_batchOpen || m_unitDepth > 0)
        return;
    m_batchOpen = false;
    finishAllQueries();
    if (!m_db.commit())
        qDebug() << Q_FUNC_INFO << m_db.lastError().text();
}

void ObjectDataBase::finishAllQueries()
{
    for (auto &entry : m_preparedQueries)
        entry.second->finish();
}

bool ObjectDataBase::runSql(const QString &sql, const char *signature)
{
    if (trySql(sql))
        return true;
    qDebug() << signature << m_db.lastError().text() << sql;
    return false;
}

bool ObjectDataBase::trySql(const QString &sql)
{
    // A statement still reading from a table keeps it locked against schema changes.
    finishAllQueries();
    QSqlQuery query(m_db);
    if (query.exec(sql))
        return true;
    m_lastSqlError = query.lastError().text();
    return false;
}

QString ObjectDataBase::table(const char *base, quint8 line)
{
    return QLatin1String(base) + QString::number(line);
}

bool ObjectDataBase::tableExists(const QString &name)
{
    QSqlQuery &query = prepared(
        QStringLiteral("select name from sqlite_master where type = 'table' and name = ?"));
    query.bindValue(0, name);
    const bool found = run(query, Q_FUNC_INFO) && query.next();
    query.finish();
    return found;
}

bool ObjectDataBase::writeLocked() const
{
    QMutexLocker locker(&m_mutex);
    return m_lockWriteAccess;
}

void ObjectDataBase::notify(const ChangeSet &change)
{
    if (m_unitDepth == 0)
        emit updateNotify(change);
    else if (!signalsBlocked())
        m_pendingChanges.append(change);
}

bool ObjectDataBase::beginTransaction()
{
    // Held until the unit ends, so that other threads never see half of it.
    m_mutex.lock();
    if (m_unitDepth > 0) {
        ++m_unitDepth;
        return true;
    }
    commitWriteBatch();
    finishAllQueries();
    if (!m_db.isOpen() || !m_db.transaction()) {
        qDebug() << Q_FUNC_INFO << m_db.lastError().text();
        m_mutex.unlock();
        return false;
    }
    m_unitDepth = 1;
    m_unitFailed = false;
    return true;
}

bool ObjectDataBase::commitTransaction()
{
    QMutexLocker locker(&m_mutex);
    return m_unitDepth > 0 && endUnit(true);
}

bool ObjectDataBase::rollbackTransaction()
{
    QMutexLocker locker(&m_mutex);
    return m_unitDepth > 0 && endUnit(false);
}

bool ObjectDataBase::inTransaction() const
{
    QMutexLocker locker(&m_mutex);
    return m_unitDepth > 0;
}

// Ends one level of the open unit and releases the lock its begin took. An inner level
// only counts (a rollback dooms the unit); the outermost commits, unless something failed,
// or rolls back. A commit tells whether the unit took effect (an inner one: whether it
// still can), a rollback whether it was undone.
bool ObjectDataBase::endUnit(bool commit)
{
    if (--m_unitDepth > 0) {
        if (!commit)
            m_unitFailed = true;
        m_mutex.unlock();
        return !commit || !m_unitFailed;
    }
    finishAllQueries();
    bool done = false;
    if (commit && !m_unitFailed) {
        done = m_db.commit();
        if (!done)
            qDebug() << Q_FUNC_INFO << "commit failed:" << m_db.lastError().text();
    }
    QVector<ChangeSet> changes;
    if (done) {
        changes.swap(m_pendingChanges);
    } else {
        // After a failed commit SQLite may have rolled back already; then this fails.
        const bool rolledBack = m_db.rollback();
        if (!commit) {
            done = rolledBack;
            if (!rolledBack)
                qDebug() << Q_FUNC_INFO << "rollback failed:" << m_db.lastError().text();
        }
        forgetUnitState();
    }
    m_unitFailed = false;
    m_mutex.unlock();
    for (const ChangeSet &change : qAsConst(changes))
        emit updateNotify(change);
    return done;
}

// After a rollback the caches may hold rows and texts that are gone: they are read again
// from the file.
void ObjectDataBase::forgetUnitState()
{
    m_pendingChanges.clear();
    clearCaches();
    cacheStrings();
}

void ObjectDataBase::setLockWriteAccess(bool lock)
{
    QMutexLocker locker(&m_mutex);
    m_lockWriteAccess = lock;
}

bool ObjectDataBase::lockWriteAccess() const
{
    QMutexLocker locker(&m_mutex);
    return m_lockWriteAccess;
}

void ObjectDataBase::setBlockUpdates(bool block)
{
    QMutexLocker locker(&m_mutex);
    m_blockUpdates = block;
}

bool ObjectDataBase::blockUpdates() const
{
    QMutexLocker locker(&m_mutex);
    return m_blockUpdates;
}

void ObjectDataBase::saveTempMetadata(const QString &key, const QString &value)
{
    QMutexLocker locker(&m_mutex);
    m_tempMetadata = qMakePair(key, value);
}

QPair<QString, QString> ObjectDataBase::getTempMetadata() const
{
    QMutexLocker locker(&m_mutex);
    return m_tempMetadata;
}

QString ObjectDataBase::projectFileName() const
{
    QMutexLocker locker(&m_mutex);
    return m_projectFileName;
}

QString ObjectDataBase::workingFileName() const
{
    QMutexLocker locker(&m_mutex);
    return m_db.databaseName();
}

QString ObjectDataBase::errorString() const
{
    QMutexLocker locker(&m_mutex);
    return m_errorString;
}

QStringList ObjectDataBase::sqlResult() const
{
    QMutexLocker locker(&m_mutex);
    return m_sqlResult;
}

bool ObjectDataBase::executeSql(const QString &sql)
{
    QMutexLocker locker(&m_mutex);
    commitWriteBatch();
    m_sqlResult.clear();
    finishAllQueries();
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        m_sqlResult.append(query.lastError().text());
        return false;
    }
    while (query.next()) {
        const QSqlRecord record = query.record();
        QStringList columns;
        for (int i = 0; i < qMin(record.count(), 10); ++i)
            columns.append(record.value(i).toString());
        m_sqlResult.append(columns.join(QLatin1Char(' ')));
    }
    return true;
}
