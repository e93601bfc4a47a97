#pragma once

#include "database/objectdatabase.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Whole projects compared table by table, through the sqlite3 tool's dump of a saved copy.
namespace nwtest {

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

// Every table of db as the sqlite3 tool dumps it, from a copy saved to path.
inline QString dumpProject(ObjectDataBase &db, const QString &path)
{
    if (!db.saveDataBase(path))
        return QStringLiteral("<save failed: %1>").arg(db.errorString());
    return sqlite3(path, {".dump"});
}

// The rows of every table, sorted, by table ("" holds the schema statements). Saving takes
// unused texts out of the copy, so texts a step added and its undo left behind do not count.
using TableDump = QMap<QString, QStringList>;

inline TableDump dumpTables(ObjectDataBase &db, const QString &path)
{
    static const QRegularExpression insert(QStringLiteral("^INSERT INTO \"?(\\w+)\"?"));
    TableDump tables;
    for (const QString &line : dumpProject(db, path).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = insert.match(line);
        tables[match.hasMatch() ? match.captured(1) : QString()].append(line);
    }
    for (QStringList &rows : tables)
        rows.sort();
    return tables;
}

// Empty when both dumps hold the same; else the first table that differs, with its rows.
inline QString dumpDifference(const TableDump &actual, const TableDump &expected)
{
    if (actual.keys() != expected.keys())
        return QStringLiteral("tables differ: %1 instead of %2")
            .arg(actual.keys().join(QLatin1Char(' ')), expected.keys().join(QLatin1Char(' ')));
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
        const QStringList rows = actual.value(it.key());
        if (rows != it.value())
            return QStringLiteral("table %1 differs\nactual:\n%2\nexpected:\n%3")
                .arg(it.key(), rows.join(QLatin1Char('\n')), it.value().join(QLatin1Char('\n')));
    }
    return QString();
}

} // namespace nwtest
