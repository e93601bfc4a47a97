#pragma once

#include "database/objectdatabase.h"

#include <QString>
#include <QTest>

// A small CANopen line built through the project store for the dictionary editor tests:
// identity, a TPDO whose mapping maps two manufacturer entries, an ARRAY, a VAR and a
// RECORD. A write the store refuses fails the running test.
namespace dictionaryfixture {

using Index = ObjectDataBase::INDEX_DATA_T;
using Sub = ObjectDataBase::SUBINDEX_DATA_T;

inline void require(bool done, quint16 index, int sub = -1)
{
    if (done)
        return;
    QString where = QStringLiteral("0x%1").arg(index, 4, 16, QLatin1Char('0'));
    if (sub >= 0)
        where += QStringLiteral(" sub-index %1").arg(sub);
    QTest::qFail(qPrintable(QStringLiteral("the project store refused ") + where), __FILE__,
                 __LINE__);
}

inline void addSub(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub, const Sub &data)
{
    require(db.addSubIndex(line, index, sub, data), index, sub);
}

inline Sub entry(const QString &name, quint16 type, const QString &value,
                 const QString &access = QStringLiteral("rw"))
{
    Sub sub;
    sub.name = name;
    sub.datatype = type;
    sub.defaultvalue = value;
    sub.accesstype = access;
    return sub;
}

inline void addObject(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
                      quint8 objectType, quint16 type = 5)
{
    Index object;
    object.name = name;
    object.objecttype = objectType;
    object.datatype = type;
    require(db.addIndex(line, index, object), index);
}

// An ARRAY of count UNSIGNED8 entries named "<prefix> 1" .. "<prefix> count".
inline void addArray(ObjectDataBase &db, quint8 line, quint16 index, int count,
                     const QString &prefix = QStringLiteral("Channel"))
{
    addObject(db, line, index, prefix + QStringLiteral("s"), 8);
    addSub(db, line, index, 0,
           entry(QStringLiteral("Highest sub-index supported"), 5, QString::number(count),
                 QStringLiteral("ro")));
    for (int sub = 1; sub <= count; ++sub) {
        Sub channel = entry(QStringLiteral("%1 %2").arg(prefix).arg(sub), 5, QString::number(sub));
        channel.pdomapping = 1;
        channel.uplimit = 255;
        addSub(db, line, index, quint8(sub), channel);
    }
}

inline void addVar(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
                   quint16 type, const QString &value)
{
    addObject(db, line, index, name, 7, type);
    Sub sub = entry(name, type, value);
    sub.pdomapping = 1;
    addSub(db, line, index, 0, sub);
}

// TPDO 1 mapping the given words (index << 16 | sub << 8 | length).
inline void addTpdo(ObjectDataBase &db, quint8 line, const QList<quint32> &words)
{
    addObject(db, line, 0x1800, QStringLiteral("TPDO communication parameter"), 9, 0x20);
    addSub(db, line, 0x1800, 0, entry(QStringLiteral("Highest sub-index"), 5, "2", "ro"));
    addSub(db, line, 0x1800, 1, entry(QStringLiteral("COB-ID"), 7, "$NODEID+0x180"));
    addSub(db, line, 0x1800, 2, entry(QStringLiteral("Transmission type"), 5, "254"));
    addObject(db, line, 0x1A00, QStringLiteral("TPDO mapping parameter"), 9, 0x21);
    addSub(db, line, 0x1A00, 0,
           entry(QStringLiteral("Number of mapped objects"), 5, QString::number(words.size())));
    for (int i = 0; i < words.size(); ++i)
        addSub(db, line, 0x1A00, quint8(i + 1),
               entry(QStringLiteral("Mapping entry %1").arg(i + 1), 7,
                     QStringLiteral("0x%1").arg(words.at(i), 8, 16, QLatin1Char('0'))));
}

// Line with 0x1018, 0x1800/0x1A00 mapping 0x2000:2 and 0x2100, the ARRAY 0x2000 of four
// channels, the VAR 0x2100 (UNSIGNED16) and the RECORD 0x2200.
inline void buildLine(ObjectDataBase &db, quint8 line)
{
    if (!db.addNode(line, ObjectDataBase::NODE_DATA_T()))
        QTest::qFail("the project store refused a line", __FILE__, __LINE__);
    addObject(db, line, 0x1018, QStringLiteral("Identity object"), 9, 0x23);
    addSub(db, line, 0x1018, 0, entry(QStringLiteral("Highest sub-index"), 5, "1", "ro"));
    addSub(db, line, 0x1018, 1, entry(QStringLiteral("Vendor-ID"), 7, "0x0000abcd", "ro"));
    addTpdo(db, line, {0x20000208, 0x21000010});
    addArray(db, line, 0x2000, 4);
    addVar(db, line, 0x2100, QStringLiteral("Speed"), 6, QStringLiteral("100"));
    addObject(db, line, 0x2200, QStringLiteral("Settings"), 9, 0x2A);
    addSub(db, line, 0x2200, 0, entry(QStringLiteral("Highest sub-index"), 5, "2", "ro"));
    addSub(db, line, 0x2200, 1, entry(QStringLiteral("Name"), 9, QStringLiteral("unit")));
    Sub gain = entry(QStringLiteral("Gain"), 8, QStringLiteral("1.5"));
    gain.varname = QStringLiteral("gain1");
    gain.implementation = 2;
    addSub(db, line, 0x2200, 2, gain);
}

// The entry as the store holds it.
inline Sub stored(ObjectDataBase &db, quint16 index, quint8 sub, quint8 line = 0)
{
    Sub data;
    db.getSubIndexData(line, index, sub, data);
    return data;
}

// Every entry of a line (index << 8 | sub) except those of the listed objects, to prove an
// edit touched nothing else.
inline QMap<quint32, Sub> snapshot(ObjectDataBase &db, quint8 line,
                                   const QList<quint16> &except = {})
{
    QMap<quint32, Sub> entries;
    for (quint16 index : db.getIndices(line, 0, 0xFFFF)) {
        if (except.contains(index))
            continue;
        for (quint8 sub : db.getSubIndices(line, index, 0))
            entries.insert(quint32(index) << 8 | sub, stored(db, index, sub, line));
    }
    return entries;
}

inline QString defaultValue(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub)
{
    return db.getSubIndexValue(line, index, sub);
}

} // namespace dictionaryfixture
