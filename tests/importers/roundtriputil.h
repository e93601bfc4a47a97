#pragma once

#include "database/objectdatabase.h"

#include <QStringList>

// Comparing what a reader read back with the project a writer wrote, for the round-trip
// tests of the readers.
namespace roundtrip {

inline QString hex(quint16 index)
{
    return QStringLiteral("%1").arg(index, 4, 16, QLatin1Char('0'));
}

inline QString escaped(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

// One line per object and per sub-index with everything a device description carries:
// names, object and data types, access, PDO mapping flag, limits, default value, object
// flags and descriptions.
inline QStringList contentOf(ObjectDataBase &db, quint8 line)
{
    QStringList lines;
    for (quint16 index : db.getIndices(line)) {
        ObjectDataBase::INDEX_DATA_T object;
        db.getIndexData(line, index, object);
        lines << QStringLiteral("%1 name=%2 objecttype=%3 description=%4")
                     .arg(hex(index), object.name)
                     .arg(object.objecttype)
                     .arg(escaped(object.description));
        for (quint8 sub : db.getSubIndices(line, index)) {
            ObjectDataBase::SUBINDEX_DATA_T s;
            db.getSubIndexData(line, index, sub, s);
            const QString limits = s.limitineds
                                       ? QStringLiteral("%1..%2").arg(s.lowlimit).arg(s.uplimit)
                                       : QStringLiteral("-");
            lines << QStringLiteral("%1sub%2 name=%3 datatype=%4 access=%5 pdo=%6 limits=%7 "
                                    "default=%8 flags=%9%10 description=%11")
                         .arg(hex(index))
                         .arg(sub)
                         .arg(s.name)
                         .arg(s.datatype)
                         .arg(s.accesstype)
                         .arg(s.pdomapping != 0)
                         .arg(limits, s.defaultvalue)
                         .arg(s.refuseread)
                         .arg(s.refusewrite)
                         .arg(escaped(s.description));
        }
    }
    return lines;
}

// Empty when both lists are equal, else the first lines that differ.
inline QString difference(const QStringList &expected, const QStringList &actual)
{
    QStringList report;
    for (int i = 0; i < qMax(expected.size(), actual.size()) && report.size() < 8; ++i) {
        const QString e = expected.value(i, QStringLiteral("<none>"));
        const QString a = actual.value(i, QStringLiteral("<none>"));
        if (e != a)
            report << QStringLiteral("expected: %1\n  actual: %2").arg(e, a);
    }
    return report.join(QLatin1Char('\n'));
}

} // namespace roundtrip
