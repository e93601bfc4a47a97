#pragma once

#include "database/objectdatabase.h"
#include "projectbuilder.h"
#include "projectdump.h"
#include "testenv.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

#include <csignal>
#include <sys/resource.h>

// Helpers shared by the project store tests.
namespace dbtest {

using nwtest::initApplication;

using nwtest::dumpProject;
using nwtest::sqlite3;

// Columns of the object tables of older tools (DatabaseVersion 99).
inline QString oldObjectsColumns()
{
    return QStringLiteral("(objectindex integer primary key, name integer, datatype integer not "
                          "null, objecttype integer not null, description integer, category "
                          "integer)");
}
inline QString oldSubObjectsColumns()
{
    return QStringLiteral(
        "(objectindex integer not null, subindex integer not null, name integer, datatype "
        "integer not null, accesstype text not null, defaultvalue text, currentvalue text, "
        "pdomapping integer, lowlimit integer, uplimit integer, size integer, defaultineds "
        "integer, limitineds integer, refuseread integer, refusewrite integer, "
        "allowedaccesstypes text, implementation integer not null, varname text, description "
        "integer, category integer, nvstorage integer)");
}

// A project in the layout of older tools (DatabaseVersion 99, no unique key, no
// denotation column) whose line 1 holds objects 0x2000 on, each with sub-indices 0..254.
// Texts are NULL or name Strings rows that do not exist, as in files of older tools.
inline QString writeLargeOldProject(const QString &path, int objects)
{
    const QStringList sql = {
        "create table Strings (id integer primary key, string text)",
        "insert into Strings values(1, 'Big object'), (2, 'Entry')",
        "create table Nodes (nodeId integer primary key, name text, edspath text, xddpath text)",
        "insert into Nodes values(0, 'Old', '', ''), (1, 'Big', '', '')",
        "create table GeneralSettings (item text unique, value text)",
        "insert into GeneralSettings values('line0type', '1'), ('line1type', '1')",
        "create table MiscSettings (item text unique, value text)",
        "insert into MiscSettings values('DatabaseVersion', '99')",
        "create table Connections (prodnode integer, prodindex integer, prodsub integer, "
        "connode integer, conindex integer, consub integer)",
        "create table Objects0 " + oldObjectsColumns(),
        "create table SubObjects0 " + oldSubObjectsColumns(),
        "create table Objects1 " + oldObjectsColumns(),
        "create table SubObjects1 " + oldSubObjectsColumns(),
        QStringLiteral("with recursive o(i) as (select 8192 union all select i + 1 from o "
                       "where i < %1) insert into Objects1 select i, 1, 7, 9, NULL, 1 from o")
            .arg(8192 + objects - 1),
        QStringLiteral(
            "with recursive o(i) as (select 8192 union all select i + 1 from o where i < %1), "
            "s(j) as (select 0 union all select j + 1 from s where j < 254) "
            "insert into SubObjects1 select i, j, case when j % 3 = 0 then 888888 else 2 end, "
            "7, 'rw', j, '', 0, 0, 0, 4, 1, 0, 0, 0, 'rw', 0, 'v', "
            "case when j % 2 = 0 then NULL else 999999 end, 1, 0 from o, s")
            .arg(8192 + objects - 1)};
    return sqlite3(path, {sql.join(QLatin1String("; "))});
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

// While it lives, no file of the process may grow beyond limit bytes (as on a full disk).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = rlim_t(limit);
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

// A change to the store for data-driven tests; false when the store refused it.
using Change = std::function<bool(ObjectDataBase &)>;

} // namespace dbtest

Q_DECLARE_METATYPE(dbtest::Change)
