#include "objectdatabase.h"

#include "panelkit/appidentity.h"
#include "panelkit/linetype.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlError>
#include <QStandardPaths>

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
    QMutexLocker locker(&m_mutex);
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dir);
    QString path;
    do {
        const int first = std::rand();
        const int second = std::rand();
        path = dir + QLatin1Char('/') + QStringLiteral("nwedatatemp_%1_%2").arg(first).arg(second);
    } while (QFileInfo::exists(path));
    m_tempFiles.append(path);
    return path;
}

void ObjectDataBase::clearCaches()
{
    m_stringIds.clear();
    m_strings.clear();
    m_subCache.clear();
    m_subNameCache.clear();
    clearAllCachedSpnData();
    m_mappableTypes.clear();
}

// Opening, creating and saving would cut an open unit of writes in two.
bool ObjectDataBase::unitStillOpen()
{
    if (m_unitDepth == 0)
        return false;
    m_errorString = tr("A unit of changes is still open.");
    return true;
}

void ObjectDataBase::reportProblem(const QString &title, const QString &text, bool show)
{
    qDebug() << title << text;
    if (m_errorString.isEmpty())
        m_errorString = text;
    if (show)
        emit message(title, text);
}

bool ObjectDataBase::createNewDataBase()
{
    QMutexLocker locker(&m_mutex);
    m_errorString.clear();
    if (unitStillOpen())
        return false;
    const QString path = createTempFile();
    resetConnection();
    clearCaches();
    m_projectFileName.clear();
    m_db.setDatabaseName(path);
    const bool opened = m_db.open();
    if (!opened) {
        qDebug() << "error sqlDbFile.open()" << m_db.lastError().text();
        m_errorString = m_db.lastError().text();
    }
    applyConnectionSettings(true);
    createTables();
    addNode(0, NODE_DATA_T());
    notify(ChangeSet(ChangeSet::ProjectReloaded));
    setMiscSettingsValue(QStringLiteral("CreateToolVersion"),
                         QCoreApplication::applicationVersion());
    setMiscSettingsValue(QStringLiteral("CreateToolName"), QCoreApplication::applicationName());
    setMiscSettingsValue(QStringLiteral("DatabaseVersion"), QLatin1String(currentDatabaseVersion));
    return opened;
}

bool ObjectDataBase::openDataBase(const QString &path, bool showMessages)
{
    QMutexLocker locker(&m_mutex);
    m_errorString.clear();
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
    m_db.setDatabaseName(workFile);
    m_projectFileName = path;
    if (!m_db.open()) {
        reportProblem(tr("Info"), path + m_db.lastError().text(), showMessages);
        return false;
    }
    if (getNodes().isEmpty()) {
        reportProblem(tr("Debug Info"), tr("0 lines"), showMessages);
        return false;
    }
    applyConnectionSettings(false);
    upgradeSchema();
    checkSavingTool(path);
    typeLinesWithoutType();
    repairMessagesOnOpen();
    cacheStrings();
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
            const int groups = rowCount(table("PGNs", line), QString());
            const int objects =
                rowCount(table("Objects", line), QStringLiteral("objectindex >= 4096"));
            type = groups < objects ? QStringLiteral("1") : QStringLiteral("2");
        }
        setGeneralSettingsValue(key, type);
    }
}

int ObjectDataBase::rowCount(const QString &tableName, const QString &condition)
{
    if (!tableExists(tableName))
        return 0;
    QString sql = QStringLiteral("select count(*) from %1").arg(tableName);
    if (!condition.isEmpty())
        sql += QLatin1String(" where ") + condition;
    QSqlQuery &query = prepared(sql);
    int count = 0;
    if (run(query, Q_FUNC_INFO) && query.next())
        count = query.value(0).toInt();
    query.finish();
    return count;
}

void ObjectDataBase::resetChangedByUserFlag(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    const QString name = table("SubObjects", line);
    runSql(QStringLiteral("update %1 set changedbyuser=0 where changedbyuser = 1").arg(name),
           Q_FUNC_INFO);
    runSql(QStringLiteral("update %1 set wizardsource=454 where changedbyuser = 0").arg(name),
           Q_FUNC_INFO);
}

bool ObjectDataBase::saveDataBase(const QString &path)
{
    QMutexLocker locker(&m_mutex);
    m_errorString.clear();
    if (unitStillOpen())
        return false;
    // The clipboard and staging lines never reach a file, whatever the write lock says.
    for (quint8 scratch : {quint8(254), quint8(255)}) {
        if (existNode(scratch))
            dropNode(scratch);
    }
    cleanUpStrings();
    const QString target = path.isEmpty() ? m_projectFileName : path;
    if (target.isEmpty()) {
        m_errorString = tr("No file name given.");
        return false;
    }
    if (QFileInfo(target).completeSuffix().toLower() == QLatin1String("data"))
        resetChangedByUserFlag(0);
    setMiscSettingsValue(QStringLiteral("SaveToolType"), QCoreApplication::applicationName());
    setMiscSettingsValue(QStringLiteral("SaveToolVersion"), QCoreApplication::applicationVersion());
    setMiscSettingsValue(QStringLiteral("DatabaseVersion"), QLatin1String(currentDatabaseVersion));
    commitWriteBatch();
    if (!writeFileSafely(target)) {
        qDebug() << "ERROR copy " << m_db.databaseName() << "to " << target << m_errorString;
        return false;
    }
    m_projectFileName = target;
    return true;
}

// The project is written beside the target and renamed into place; the previous target
// becomes "<target>.bak". Any failure restores the target and ".bak" as they were.
bool ObjectDataBase::writeFileSafely(const QString &target)
{
    const QString partial = target + QLatin1String(".saving");
    const QString bak = target + QLatin1String(".bak");
    QFile source(m_db.databaseName());
    QFile out(partial);
    if (!source.open(QIODevice::ReadOnly)) {
        m_errorString = tr("Cannot read %1: %2").arg(source.fileName(), source.errorString());
        return false;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_errorString = tr("Cannot write %1: %2").arg(partial, out.errorString());
        return false;
    }
    if (!copyContents(source, out)) {
        m_errorString = tr("Cannot write %1: %2").arg(partial, out.errorString());
        out.close();
        QFile::remove(partial);
        return false;
    }
    out.close();
    if (!QFileInfo::exists(target))
        return moveIntoPlace(partial, target, QString(), QString());
    QString oldBak;
    if (QFileInfo::exists(bak) || QFileInfo(bak).isSymLink()) {
        oldBak = unusedName(bak + QLatin1String(".old"));
        if (!QFileInfo(bak).isFile() || !QFile::rename(bak, oldBak)) {
            m_errorString = tr("Cannot replace the backup %1.").arg(bak);
            QFile::remove(partial);
            return false;
        }
    }
    if (!QFile::rename(target, bak)) {
        m_errorString = tr("Cannot rename %1 to %2.").arg(target, bak);
        if (!oldBak.isEmpty())
            QFile::rename(oldBak, bak);
        QFile::remove(partial);
        return false;
    }
    return moveIntoPlace(partial, target, bak, oldBak);
}

bool ObjectDataBase::moveIntoPlace(const QString &partial, const QString &target,
                                   const QString &bak, const QString &oldBak)
{
    if (!QFile::rename(partial, target)) {
        m_errorString = tr("Cannot rename %1 to %2.").arg(partial, target);
        if (!bak.isEmpty())
            QFile::rename(bak, target);
        if (!oldBak.isEmpty())
            QFile::rename(oldBak, bak);
        QFile::remove(partial);
        return false;
    }
    if (!oldBak.isEmpty())
        QFile::remove(oldBak);
    return true;
}
