#include "savedfile.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// Deeper chains of links are taken for a loop.
const int maxLinkDepth = 40;

QString tr(const char *text)
{
    return QCoreApplication::translate("SavedFile", text);
}

// The result of a file check on the open connection db.
QString checkConnection(QSqlDatabase &db)
{
    if (!db.open())
        return db.lastError().text();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return query.lastError().text();
    QStringList problems;
    while (query.next())
        problems.append(query.value(0).toString());
    if (problems != QStringList{QStringLiteral("ok")})
        return problems.join(QLatin1String("; "));
    if (!query.exec(QStringLiteral("select count(*) from Nodes")))
        return query.lastError().text();
    if (!query.next() || query.value(0).toInt() == 0)
        return tr("the file holds no line");
    return QString();
}

} // namespace

SavedFile::SavedFile(const QString &target)
{
    QString path = QFileInfo(target).absoluteFilePath();
    for (int depth = 0; depth < maxLinkDepth && !path.isEmpty(); ++depth) {
        const QFileInfo info(path);
        if (!info.isSymLink()) {
            m_path = path;
            return;
        }
        path = info.symLinkTarget();
    }
}

bool SavedFile::exists() const
{
    return QFileInfo::exists(m_path);
}

QFileDevice::Permissions SavedFile::permissions() const
{
    return QFile::permissions(m_path);
}

QString SavedFile::check(const QString &path)
{
    static QAtomicInteger<quint32> counter;
    const QString name = QStringLiteral("filecheck%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(path);
        problem = checkConnection(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}
