#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QAtomicInteger>
#include <QDebug>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

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
    : QObject(parent), d(std::make_unique<ObjectDataBasePrivate>())
{
    qRegisterMetaType<ObjectDataBase::ChangeSet>("ObjectDataBase::ChangeSet");
    d->undo = new UndoLog(&d->mutex, this);
    d->connectionName = nextConnectionName();
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    if (d->db.lastError().isValid() || !d->db.isValid()) {
        qDebug() << "Db drivers: " << QSqlDatabase::drivers();
        qDebug() << "Db last error: " << d->db.lastError().text();
    }
    // Working-file names come from rand(): seeded once per process from the system's random
    // source, so that neither a second store nor a second process repeats the names.
    static const bool seeded = [] {
        std::srand(QRandomGenerator::system()->generate());
        return true;
    }();
    Q_UNUSED(seeded)
}

ObjectDataBase::~ObjectDataBase()
{
    // A unit still open is undone, as if its owner had given up.
    while (inTransaction())
        rollbackTransaction();
    {
        StoreLocker locker(d->mutex);
        resetConnection();
        d->db = QSqlDatabase();
    }
    QSqlDatabase::removeDatabase(d->connectionName);
    for (const QString &file : qAsConst(d->tempFiles))
        QFile::remove(file);
}

// Drops every prepared statement and closes the working file, so the connection can be
// bound to another file (or removed).
void ObjectDataBase::resetConnection()
{
    d->undo->detach();
    d->dropStatements();
    if (d->db.isOpen())
        d->db.close();
}

QString ObjectDataBasePrivate::table(const char *base, quint8 line)
{
    return QLatin1String(base) + QString::number(line);
}

bool ObjectDataBasePrivate::tableExists(const QString &name)
{
    return !select(QStringLiteral("select name from sqlite_master where type = 'table' and "
                                  "name = ?"),
                   {name}, Q_FUNC_INFO)
                .isEmpty();
}

bool ObjectDataBase::writeLocked() const
{
    StoreLocker locker(d->mutex);
    return d->lockWriteAccess;
}

void ObjectDataBase::notify(const ChangeSet &change)
{
    if (d->unitDepth == 0)
        emit updateNotify(change);
    else if (!signalsBlocked())
        d->pendingChanges.append(change);
}

bool ObjectDataBase::beginTransaction()
{
    // Held until the unit ends, so that other threads never see half of it.
    d->mutex.lock();
    if (d->unitDepth > 0) {
        ++d->unitDepth;
        return true;
    }
    if (!d->db.isOpen() || !d->unitStatement(QStringLiteral("BEGIN"), Q_FUNC_INFO)) {
        d->mutex.unlock();
        return false;
    }
    d->unitDepth = 1;
    d->unitFailed = false;
    return true;
}

bool ObjectDataBase::commitTransaction()
{
    StoreLocker locker(d->mutex);
    return d->unitDepth > 0 && endUnit(true);
}

bool ObjectDataBase::rollbackTransaction()
{
    StoreLocker locker(d->mutex);
    return d->unitDepth > 0 && endUnit(false);
}

bool ObjectDataBase::inTransaction() const
{
    StoreLocker locker(d->mutex);
    return d->unitDepth > 0;
}

// Ends one level of the open unit and releases the lock its begin took. An inner level
// only counts (a rollback dooms the unit); the outermost commits, unless something failed,
// or rolls back. A commit tells whether the unit took effect (an inner one: whether it
// still can), a rollback whether it was undone.
bool ObjectDataBase::endUnit(bool commit)
{
    if (--d->unitDepth > 0) {
        if (!commit)
            d->unitFailed = true;
        d->mutex.unlock();
        return !commit || !d->unitFailed;
    }
    bool done = false;
    if (commit && !d->unitFailed) {
        done = d->unitStatement(QStringLiteral("COMMIT"), Q_FUNC_INFO);
    }
    QVector<ChangeSet> changes;
    if (done) {
        changes.swap(d->pendingChanges);
        d->undo->unitCommitted();
    } else {
        // After a failed commit SQLite may have rolled back already; then this fails.
        const bool rolledBack = d->unitStatement(QStringLiteral("ROLLBACK"), Q_FUNC_INFO);
        if (!commit)
            done = rolledBack;
        forgetUnitState();
        d->undo->unitRolledBack();
    }
    d->unitFailed = false;
    d->mutex.unlock();
    for (const ChangeSet &change : qAsConst(changes))
        emit updateNotify(change);
    return done;
}

// After a rollback the caches may hold rows and texts that are gone: they are read again
// from the file.
void ObjectDataBase::forgetUnitState()
{
    d->pendingChanges.clear();
    clearCaches();
    cacheStrings();
}

void ObjectDataBase::setLockWriteAccess(bool lock) const
{
    StoreLocker locker(d->mutex);
    d->lockWriteAccess = lock;
}

bool ObjectDataBase::lockWriteAccess() const
{
    StoreLocker locker(d->mutex);
    return d->lockWriteAccess;
}

void ObjectDataBase::setBlockUpdates(bool block)
{
    StoreLocker locker(d->mutex);
    d->blockUpdates = block;
}

bool ObjectDataBase::blockUpdates() const
{
    StoreLocker locker(d->mutex);
    return d->blockUpdates;
}

void ObjectDataBase::saveTempMetadata(const QString &key, const QString &value)
{
    StoreLocker locker(d->mutex);
    d->tempMetadata = qMakePair(key, value);
}

QPair<QString, QString> ObjectDataBase::getTempMetadata() const
{
    StoreLocker locker(d->mutex);
    return d->tempMetadata;
}

QString ObjectDataBase::projectFileName() const
{
    StoreLocker locker(d->mutex);
    return d->projectFileName;
}

QString ObjectDataBase::workingFileName() const
{
    StoreLocker locker(d->mutex);
    return d->db.databaseName();
}

QString ObjectDataBase::errorString() const
{
    StoreLocker locker(d->mutex);
    return d->errorString;
}

QStringList ObjectDataBase::sqlResult() const
{
    StoreLocker locker(d->mutex);
    return d->sqlResult;
}

bool ObjectDataBase::executeSql(const QString &sql)
{
    StoreLocker locker(d->mutex);
    d->sqlResult.clear();
    // The store keeps its own units of writes; a console statement may not open or end one.
    static const QRegularExpression unitControl(
        QStringLiteral("^\\s*(begin|commit|end|rollback|savepoint|release)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    if (unitControl.match(sql).hasMatch()) {
        d->sqlResult.append(tr("Transactions are managed by the project store."));
        return false;
    }
    WriteUnit unit(this);
    QSqlQuery query(d->db);
    const bool schemaChange = d->undo->m_enabled && UndoLog::isSchemaStatement(sql);
    UndoLog::Schema before;
    if (schemaChange)
        before = d->undo->beforeSchemaChange(sql);
    const bool ok = query.exec(sql);
    if (schemaChange)
        d->undo->afterSchemaChange(sql, before);
    if (!ok) {
        d->sqlResult.append(query.lastError().text());
        return false;
    }
    while (query.next()) {
        const QSqlRecord record = query.record();
        QStringList columns;
        for (int i = 0; i < qMin(record.count(), 10); ++i)
            columns.append(record.value(i).toString());
        d->sqlResult.append(columns.join(QLatin1Char(' ')));
    }
    query.finish();
    // The statement may have changed any table behind the caches.
    clearCaches();
    cacheStrings();
    return unit.commit();
}
