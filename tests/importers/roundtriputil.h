#pragma once

#include "database/objectdatabase.h"
#include "golden.h"
#include "panelkit/edsparser.h"

#include <QStringList>

// What the round trips through a writer and a reader compare: the objects of a line as
// text, one line per object and per sub-index, and the first lines in which two such
// texts differ.
namespace roundtrip {

inline QString hex(quint16 index)
{
    return QStringLiteral("%1").arg(index, 4, 16, QLatin1Char('0'));
}

inline QString escaped(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

// What one kind of description carries: everything an EDS carries (names, object and data
// types, access, PDO mapping flag, limits, default value, object flags and descriptions),
// or what a CANopen FD description carries (names, object and data types, access, PDO
// mapping class and default value; a RECORD has no data type of its own there).
enum class Carried { Eds, Xdd };

inline QString subIndexText(quint16 index, quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &s,
                            Carried carried)
{
    const QString common = QStringLiteral("%1sub%2 name=%3 datatype=%4 access=%5")
                               .arg(hex(index))
                               .arg(sub)
                               .arg(s.name)
                               .arg(s.datatype)
                               .arg(s.accesstype);
    if (carried == Carried::Xdd)
        return common + QStringLiteral(" pdo=%1 default=%2").arg(s.pdomapping).arg(s.defaultvalue);
    const QString limits = s.limitineds ? QStringLiteral("%1..%2").arg(s.lowlimit).arg(s.uplimit)
                                        : QStringLiteral("-");
    return common
           + QStringLiteral(" pdo=%1 limits=%2 default=%3 flags=%4%5 description=%6")
                 .arg(s.pdomapping != 0)
                 .arg(limits, s.defaultvalue)
                 .arg(s.refuseread)
                 .arg(s.refusewrite)
                 .arg(escaped(s.description));
}

inline QStringList contentOf(ObjectDataBase &db, quint8 line, Carried carried = Carried::Eds)
{
    QStringList lines;
    for (quint16 index : db.getIndices(line)) {
        ObjectDataBase::INDEX_DATA_T object;
        db.getIndexData(line, index, object);
        const QString objectText = QStringLiteral("%1 name=%2 objecttype=%3")
                                       .arg(hex(index), object.name)
                                       .arg(object.objecttype);
        if (carried == Carried::Eds)
            lines << objectText
                         + QStringLiteral(" description=%1").arg(escaped(object.description));
        else if (object.objecttype != 9)
            lines << objectText + QStringLiteral(" datatype=%1").arg(object.datatype);
        else
            lines << objectText;
        for (quint8 sub : db.getSubIndices(line, index)) {
            ObjectDataBase::SUBINDEX_DATA_T s;
            db.getSubIndexData(line, index, sub, s);
            lines << subIndexText(index, sub, s, carried);
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

// The sections of a fixture file under tests/data: "=== <name>", then its lines up to the
// next section.
inline QList<QPair<QString, QStringList>> sections(const QString &path)
{
    QList<QPair<QString, QStringList>> found;
    QStringList lines = golden::readLines(path);
    if (lines.value(lines.size() - 1).isEmpty())
        lines.removeLast();
    for (const QString &line : qAsConst(lines)) {
        if (line.startsWith(QLatin1String("=== ")))
            found.append({line.mid(4), {}});
        else if (!found.isEmpty())
            found.last().second.append(line);
    }
    return found;
}

// One diagnostic per line, as the command line prints them.
inline QString diagnosticsText(const QList<EdsParser::Diagnostic> &diagnostics)
{
    QStringList texts;
    for (const EdsParser::Diagnostic &diagnostic : diagnostics)
        texts << diagnostic.toString();
    return texts.join(QLatin1Char('\n'));
}

} // namespace roundtrip
