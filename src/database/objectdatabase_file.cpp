#include "objectdatabase.h"

#include "objectdatabase_p.h"
#include "savedfile.h"

#include "panelkit/appidentity.h"
#include "panelkit/linetype.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const char *const currentDatabaseVersion = "101";

// Copies source into the open file target; false on any read or write error.
bool copyContents(QFile &source, QFile &target)
{
    QByteArray buffer;
    while (!source.atEnd()) {
        buffer = source.read(1 << 20);
        if (buffer.isEmpty() && source.error() != QFileDevice::NoError)
            return false;
        if (target.write(buffer) != buffer.size())
            return false;
    }
    if (!target.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(target.handle()) != 0)
        return false;
#endif
    return source.error() == QFileDevice::NoError && target.error() == QFileDevice::NoError;
}

// Gives the file existing the further name alias (a hard link); false where the file
// system has no such links.
bool addName(const QString &existing, const QString &alias)
{
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(alias).constData())
           == 0;
#else
    Q_UNUSED(existing)
    Q_UNUSED(alias)
    return false;
#endif
}

// Renames from to to in one step, replacing a file to.
bool replaceName(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString unusedName(const QString &base)
{
    QString name = base;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QString::number(n);
    return name;
}

} // namespace

QString ObjectDataBase::createTempFile()
{
    StoreLocker locker(d->mutex);
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dir);
    QString path;
    do {
        const int first = std::rand();
        const int second = std::rand();
        path = dir + QLatin1Char('/') + QStringLiteral("nwedatatemp_%1_%2").arg(first).arg(second);
    } while (QFileInfo::exists(path));
    d->tempFiles.append(path);
    return path;
}

void ObjectDataBase::clearCaches()
{
    d->stringIds.clear();
    d->strings.clear();
    d->subCache.clear();
    d->lineSnapshot.clear();
    d->subNameCache.clear();
    clearAllCachedSpnData();
    d->mappableTypes.clear();
}

// Opening, creating and saving would cut an open unit of writes in two.
bool ObjectDataBase::unitStillOpen()
{
    if (d->unitDepth == 0)
        return false;
    d->errorString = tr("A unit of changes is still open.");
    return true;
}

void ObjectDataBase::reportProblem(const QString &title, const QString &text, bool show)
{
    qDebug() << title << text;
    if (d->errorString.isEmpty())
        d->errorString = text;
    if (show)
        emit message(title, text);
}

bool ObjectDataBase::createNewDataBase()
{
    StoreLocker locker(d->mutex);
    d->errorString.clear();
    if (unitStillOpen())
        return false;
    const QString path = createTempFile();
    resetConnection();
    clearCaches();
    d->projectFileName.clear();
    d->db.setDatabaseName(path);
    if (!d->db.open()) {
        qDebug() << "error sqlDbFile.open()" << d->db.lastError().text();
        d->errorString = d->db.lastError().text();
        return false;
    }
    applyConnectionSettings(true);
    bool ok = true;
    {
        WriteUnit unit(this);
        ok = createTables() && addNode(0, NODE_DATA_T());
        notify(ChangeSet(ChangeSet::ProjectReloaded));
        ok = ok
             && setMiscSettingsValue(QStringLiteral("CreateToolVersion"),
                                     QCoreApplication::applicationVersion())
             && setMiscSettingsValue(QStringLiteral("CreateToolName"),
                                     QCoreApplication::applicationName())
             && setMiscSettingsValue(QStringLiteral("DatabaseVersion"),
                                     QLatin1String(currentDatabaseVersion));
        ok = unit.commit() && ok;
    }
    if (!ok) {
        d->errorString = tr("Cannot set up the new project: %1").arg(d->lastSqlError);
        return false;
    }
    restartUndoLog();
    return true;
}

bool ObjectDataBase::openDataBase(const QString &path, bool showMessages)
{
    StoreLocker locker(d->mutex);
    d->errorString.clear();
    if (unitStillOpen())
        return false;
    const QString workFile = createTempFile();
    QFile source(path);
    if (!source.copy(workFile)) {
        reportProblem(tr("Info"),
                      tr("Error detected: ") + QLatin1String("\nCopy ") + path
                          + QLatin1String("to ") + workFile + source.errorString(),
                      showMessages);
    } else {
        // A read-only project still gives a writable working copy.
        QFile::setPermissions(workFile,
                              QFile::permissions(workFile) | QFile::WriteOwner | QFile::WriteUser);
    }
    resetConnection();
    clearCaches();
    d->db.setDatabaseName(workFile);
    d->projectFileName = path;
    if (!d->db.open()) {
        reportProblem(tr("Info"), path + d->db.lastError().text(), showMessages);
        return false;
    }
    if (getNodes().isEmpty()) {
        reportProblem(tr("Debug Info"), tr("0 lines"), showMessages);
        return false;
    }
    applyConnectionSettings(false);
    upgradeSchema();
    // Fills the Strings cache as well; every write after it keeps the cache up to date.
    const QStringList damage = damagedParts();
    if (!damage.isEmpty())
        reportProblem(tr("Info"),
                      tr("The project file is damaged: %1.").arg(damage.join(QLatin1String("; "))),
                      showMessages);
    checkSavingTool(path);
    typeLinesWithoutType();
    repairMessagesOnOpen();
    restartUndoLog();
    notify(ChangeSet(ChangeSet::ProjectReloaded));
    return true;
}

void ObjectDataBase::checkSavingTool(const QString &path)
{
    const QString savedBy = getMiscSettingsValue(QStringLiteral("SaveToolType"));
    if (!savedBy.isEmpty() && savedBy != QCoreApplication::applicationName()
        && !path.contains(QLatin1String("mt.")) && savedBy != QLatin1String("CANopen Buswright"))
        emit wrongTool();
}

// Files of older tools may have lines without a type. A line is CANopen (1) unless it
// holds at least as many parameter groups as objects from 0x1000, then J1939 (2).
void ObjectDataBase::typeLinesWithoutType()
{
    const QString createdBy = getMiscSettingsValue(QStringLiteral("CreateToolVersion"));
    const QList<quint8> lines = getNodes();
    for (quint8 line : lines) {
        const QString key = LineTypes::settingKey(line);
        if (!getGeneralSettingsValue(key).isEmpty())
            continue;
        QString type;
        if (createdBy == QLatin1String(AppIdentity::canopenEdition)) {
            type = QStringLiteral("1");
        } else if (createdBy == QLatin1String(AppIdentity::j1939Edition)) {
            type = QStringLiteral("2");
        } else {
            const int groups = d->rowCount(d->table("PGNs", line), QString());
            const int objects =
                d->rowCount(d->table("Objects", line), QStringLiteral("objectindex >= 4096"));
            type = groups < objects ? QStringLiteral("1") : QStringLiteral("2");
        }
        setGeneralSettingsValue(key, type);
    }
}

int ObjectDataBasePrivate::rowCount(const QString &tableName, const QString &condition)
{
    if (!tableExists(tableName))
        return 0;
    QString sql = QStringLiteral("select count(*) from %1").arg(tableName);
    if (!condition.isEmpty())
        sql += QLatin1String(" where ") + condition;
    return select(sql, {}, Q_FUNC_INFO).first().toInt();
}

bool ObjectDataBase::resetChangedByUserFlag(quint8 line)
{
    StoreLocker locker(d->mutex);
    const QString name = d->table("SubObjects", line);
    WriteUnit unit(this);
    const bool ok =
        d->execSchema(
            QStringLiteral("update %1 set changedbyuser=0 where changedbyuser = 1").arg(name),
            Q_FUNC_INFO)
        && d->execSchema(
            QStringLiteral("update %1 set wizardsource=454 where changedbyuser = 0").arg(name),
            Q_FUNC_INFO);
    return unit.commit() && ok;
}

bool ObjectDataBase::saveDataBase(const QString &path)
{
    StoreLocker locker(d->mutex);
    d->errorString.clear();
    if (unitStillOpen())
        return false;
    const QString target = path.isEmpty() ? d->projectFileName : path;
    if (target.isEmpty()) {
        d->errorString = tr("No file name given.");
        return false;
    }
    const SavedFile file(target);
    if (!file.isValid()) {
        d->errorString = tr("%1 is a symbolic link that leads nowhere.").arg(target);
        return false;
    }
    // With the history on, the preparation is taken back once the file is written, so that
    // the history goes on from the state the user sees.
    UndoLog &log = *d->undo;
    const bool recording = log.m_enabled;
    const qint64 mark = recording ? log.lastSeq() : 0;
    const bool suspended = log.m_suspended;
    log.m_suspended = true;
    bool ok = prepareForSaving(target);
    if (!ok) {
        d->errorString = tr("Cannot prepare the project for saving: %1").arg(d->lastSqlError);
    } else if (!writeFileSafely(file)) {
        qDebug() << "ERROR copy " << d->db.databaseName() << "to " << target << d->errorString;
        ok = false;
    }
    if (recording)
        revertSince(mark);
    log.m_suspended = suspended;
    if (!ok)
        return false;
    d->projectFileName = target;
    if (recording)
        log.setClean();
    return true;
}

// The working file as it is saved: without the clipboard and staging lines (whatever the
// write lock says), without unused texts, with the bookkeeping of the saving tool.
bool ObjectDataBase::prepareForSaving(const QString &target)
{
    WriteUnit unit(this);
    bool ok = true;
    for (quint8 scratch : {quint8(254), quint8(255)}) {
        if (ok && existNode(scratch))
            ok = dropNode(scratch);
    }
    ok = ok && cleanUpStrings();
    if (ok && QFileInfo(target).completeSuffix().toLower() == QLatin1String("data"))
        ok = resetChangedByUserFlag(0);
    ok =
        ok
        && setMiscSettingsValue(QStringLiteral("SaveToolType"), QCoreApplication::applicationName())
        && setMiscSettingsValue(QStringLiteral("SaveToolVersion"),
                                QCoreApplication::applicationVersion())
        && setMiscSettingsValue(QStringLiteral("DatabaseVersion"),
                                QLatin1String(currentDatabaseVersion));
    return unit.commit() && ok;
}

// The project is written beside the real file and checked, then renamed into place; the
// previous file becomes "<file>.bak". Any failure leaves the file and ".bak" as they were.
bool ObjectDataBase::writeFileSafely(const SavedFile &file)
{
    const QString partial = unusedName(file.path() + QLatin1String(".saving"));
    if (!copyWorkingFile(partial))
        return false;
    if (file.exists())
        QFile::setPermissions(partial, file.permissions());
    const QString problem = SavedFile::check(partial);
    if (!problem.isEmpty()) {
        d->errorString = tr("The project could not be written correctly (%1); %2 was left as "
                            "it was.")
                             .arg(problem, file.path());
        QFile::remove(partial);
        return false;
    }
    if (!file.exists())
        return moveIntoPlace(partial, file.path(), QString(), QString());
    // The last good copy stays: a previous file that is no sound project does not replace
    // a sound ".bak", it is kept aside under another name.
    const QString bak = file.path() + QLatin1String(".bak");
    const bool keepBak = QFileInfo(bak).isFile() && SavedFile::check(bak).isEmpty()
                         && !SavedFile::check(file.path()).isEmpty();
    const QString previous = keepBak ? unusedName(file.path() + QLatin1String(".damaged")) : bak;
    const bool bakInTheWay = !keepBak && (QFileInfo::exists(bak) || QFileInfo(bak).isSymLink());
    if (bakInTheWay && !QFileInfo(bak).isFile()) {
        d->errorString = tr("Cannot replace the backup %1.").arg(bak);
        QFile::remove(partial);
        return false;
    }
    // Where the file system allows, the previous file gets its second name before the new
    // one takes the first, so that a process killed at any moment leaves a whole project
    // under the file's name and a whole backup.
    const QString secondName = keepBak ? previous : unusedName(bak + QLatin1String(".new"));
    if (addName(file.path(), secondName)) {
        if (!replaceName(partial, file.path())) {
            d->errorString = tr("Cannot rename %1 to %2.").arg(partial, file.path());
            QFile::remove(secondName);
            QFile::remove(partial);
            return false;
        }
        if (secondName != previous && !replaceName(secondName, previous))
            QFile::remove(secondName);
        return true;
    }
    QString oldBak;
    if (bakInTheWay) {
        oldBak = unusedName(bak + QLatin1String(".old"));
        if (!QFile::rename(bak, oldBak)) {
            d->errorString = tr("Cannot replace the backup %1.").arg(bak);
            QFile::remove(partial);
            return false;
        }
    }
    if (!QFile::rename(file.path(), previous)) {
        d->errorString = tr("Cannot rename %1 to %2.").arg(file.path(), previous);
        if (!oldBak.isEmpty())
            QFile::rename(oldBak, bak);
        QFile::remove(partial);
        return false;
    }
    return moveIntoPlace(partial, file.path(), previous, oldBak);
}

// Copies the working file into the new file partial; false (with the error) on any read
// or write error, leaving no partial file behind.
bool ObjectDataBase::copyWorkingFile(const QString &partial)
{
    QFile source(d->db.databaseName());
    QFile out(partial);
    if (!source.open(QIODevice::ReadOnly)) {
        d->errorString = tr("Cannot read %1: %2").arg(source.fileName(), source.errorString());
        return false;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        d->errorString = tr("Cannot write %1: %2").arg(partial, out.errorString());
        return false;
    }
    if (!copyContents(source, out)) {
        d->errorString = tr("Cannot write %1: %2").arg(partial, out.errorString());
        out.close();
        QFile::remove(partial);
        return false;
    }
    out.close();
    return true;
}

// Renames partial to target. On failure the previous target (renamed to previous) and
// the backup (renamed to oldBak) are put back.
bool ObjectDataBase::moveIntoPlace(const QString &partial, const QString &target,
                                   const QString &previous, const QString &oldBak)
{
    if (!QFile::rename(partial, target)) {
        d->errorString = tr("Cannot rename %1 to %2.").arg(partial, target);
        if (!previous.isEmpty())
            QFile::rename(previous, target);
        if (!oldBak.isEmpty())
            QFile::rename(oldBak, target + QLatin1String(".bak"));
        QFile::remove(partial);
        return false;
    }
    if (!oldBak.isEmpty())
        QFile::remove(oldBak);
    return true;
}
