#pragma once

#include "database/objectdatabase.h"
#include "projectbuilder.h"
#include "projectdump.h"
#include "testenv.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>

#include <csignal>
#include <sys/resource.h>

// Helpers shared by the project store tests.
namespace dbtest {

using nwtest::initApplication;

using nwtest::dumpProject;
using nwtest::sqlite3;

// A project file made by the sqlite3 tool from tests/data/database/<script>, then the
// statements; empty when the tool reported nothing.
inline QString writeProject(const QString &path, const QString &script,
                            const QStringList &statements = {})
{
    QFile::remove(path);
    return sqlite3(path, {QStringLiteral(".read " NW_TEST_DATA_DIR "/database/") + script,
                          QStringLiteral("begin; %1; commit").arg(statements.join("; "))});
}

// The rows sql selects, one line per row (a blank between columns).
inline QString sqlRows(ObjectDataBase &db, const QString &sql)
{
    return db.executeSql(sql) ? db.sqlResult().join(QLatin1Char('\n')) : "<failed: " + sql + ">";
}

// Lines 0 and 1, each with the ARRAYs 0x2000 to 0x2000 + objects - 1 (named with a quote;
// sub-indices 0, 1, 2 mappable with defaults 0, 7, 14) and the transmitted PGN 0xFF00; a
// connection from line 0 to line 1, the group "front" holding line 1, co_node_id 5.
inline void fillTwoLines(ObjectDataBase &db, int objects)
{
    QVERIFY(db.addNode(1, {}));
    for (quint8 line : {0, 1}) {
        for (quint16 index = 0x2000; index < 0x2000 + objects; ++index) {
            ObjectDataBase::INDEX_DATA_T object;
            object.name = QStringLiteral("Object '%1' on %2").arg(index, 0, 16).arg(line);
            object.objecttype = 8;
            QVERIFY(db.addIndex(line, index, object));
            for (quint8 sub = 0; sub < 3; ++sub) {
                ObjectDataBase::SUBINDEX_DATA_T entry;
                entry.name = QStringLiteral("Entry %1").arg(sub);
                entry.defaultvalue = QString::number(sub * 7);
                entry.pdomapping = 1;
                QVERIFY(db.addSubIndex(line, index, sub, entry));
            }
        }
        ObjectDataBase::PGN pgn;
        pgn.name = QStringLiteral("Group");
        pgn.direction = ObjectDataBase::DirectionTransmit;
        QVERIFY(db.addPGN(line, 0xFF00, pgn));
    }
    QVERIFY(db.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("5")));
    QVERIFY(db.addConnection(0, 0x2000, 1, 1, 0x2001, 1, 0));
    QVERIFY(db.addGroup(QStringLiteral("front")) && db.addNodeToGroup(QStringLiteral("front"), 1));
}

// An object as "name|objecttype|description" and an entry as
// "name|datatype|access|default|pdomapping|description"; "-" when it is missing.
inline QString objectLine(ObjectDataBase &db, quint8 line, quint16 index)
{
    ObjectDataBase::INDEX_DATA_T o;
    if (!db.getIndexData(line, index, o))
        return QStringLiteral("-");
    return QStringList({o.name, QString::number(o.objecttype), o.description}).join('|');
}
inline QString entryLine(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub)
{
    ObjectDataBase::SUBINDEX_DATA_T e;
    if (!db.getSubIndexData(line, index, sub, e))
        return QStringLiteral("-");
    return QStringList({e.name, QString::number(e.datatype), e.accesstype, e.defaultvalue,
                        QString::number(e.pdomapping), e.description})
        .join('|');
}

// Every change spy recorded as "kind line index.sub" (index hexadecimal), followed by
// " pgn spn canid element direction" when one of those is set.
inline QStringList changes(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &arguments : spy) {
        const auto c = arguments.at(0).value<ObjectDataBase::ChangeSet>();
        QString text = QStringLiteral("%1 %2 %3.%4")
                           .arg(c.kind)
                           .arg(c.line)
                           .arg(c.index, 0, 16)
                           .arg(c.subindex);
        if (c.pgn || c.spn || c.canid || c.element || c.direction)
            text += QStringLiteral(" %1 %2 %3 %4 %5")
                        .arg(c.pgn)
                        .arg(c.spn)
                        .arg(c.canid)
                        .arg(c.element)
                        .arg(c.direction);
        texts << text;
    }
    return texts;
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
