#pragma once

#include "database/objectdatabase.h"
#include "panelkit/appidentity.h"
#include "testenv.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

// Helpers shared by the project store tests.
namespace dbtest {

inline void initApplication()
{
    nwIsolateTestEnvironment();
    AppIdentity::apply(QStringLiteral("nodewright"));
}

// Output of the sqlite3 command-line tool run on file with the given arguments.
inline QString sqlite3(const QString &file, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), QStringList{file} + arguments);
    if (!process.waitForFinished(30000))
        return QStringLiteral("<sqlite3 did not finish>");
    return QString::fromUtf8(process.readAllStandardOutput())
           + QString::fromUtf8(process.readAllStandardError());
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A connection of its own on a saved project file, for checks of what the file holds.
class RawFile
{
public:
    explicit RawFile(const QString &path) : m_name(QStringLiteral("raw_") + path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawFile()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    // First column of the first row of sql with the values bound in order.
    QVariant value(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        query.prepare(sql);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec() || !query.next())
            return QVariant();
        return query.value(0);
    }
    bool exec(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        return query.exec(sql);
    }

private:
    QString m_name;
};

} // namespace dbtest
