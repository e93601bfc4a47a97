#pragma once

#include "database/objectdatabase.h"

#include <QString>

// A small CANopen line built through the project store for the dictionary editor tests:
// identity, a TPDO whose mapping maps two manufacturer entries, an ARRAY, a VAR and a
// RECORD.
namespace dictionaryfixture {

using Index = ObjectDataBase::INDEX_DATA_T;
using Sub = ObjectDataBase::SUBINDEX_DATA_T;

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
    db.addIndex(line, index, object);
}

// An ARRAY of count UNSIGNED8 entries named "<prefix> 1" .. "<prefix> count".
inline void addArray(ObjectDataBase &db, quint8 line, quint16 index, int count,
                     const QString &prefix = QStringLiteral("Channel"))
{
    addObject(db, line, index, prefix + QStringLiteral("s"), 8);
    db.addSubIndex(line, index, 0,
                   entry(QStringLiteral("Highest sub-index supported"), 5, QString::number(count),
                         QStringLiteral("ro")));
    for (int sub = 1; sub <= count; ++sub) {
        Sub channel = entry(QStringLiteral("%1 %2").arg(prefix).arg(sub), 5, QString::number(sub));
        channel.pdomapping = 1;
        channel.uplimit = 255;
        db.addSubIndex(line, index, quint8(sub), channel);
    }
}

inline void addVar(ObjectDataBase &db, quint8 line, quint16 index, const QString &name,
                   quint16 type, const QString &value)
{
    addObject(db, line, index, name, 7, type);
    Sub sub = entry(name, type, value);
    sub.pdomapping = 1;
    db.addSubIndex(line, index, 0, sub);
}

// TPDO 1 mapping the given words (index << 16 | sub << 8 | length).
inline void addTpdo(ObjectDataBase &db, quint8 line, const QList<quint32> &words)
{
    addObject(db, line, 0x1800, QStringLiteral("TPDO communication parameter"), 9, 0x20);
    db.addSubIndex(line, 0x1800, 0, entry(QStringLiteral("Highest sub-index"), 5, "2", "ro"));
    db.addSubIndex(line, 0x1800, 1, entry(QStringLiteral("COB-ID"), 7, "$NODEID+0x180"));
    db.addSubIndex(line, 0x1800, 2, entry(QStringLiteral("Transmission type"), 5, "254"));
    addObject(db, line, 0x1A00, QStringLiteral("TPDO mapping parameter"), 9, 0x21);
    db.addSubIndex(
        line, 0x1A00, 0,
        entry(QStringLiteral("Number of mapped objects"), 5, QString::number(words.size())));
    for (int i = 0; i < words.size(); ++i)
        db.addSubIndex(line, 0x1A00, quint8(i + 1),
                       entry(QStringLiteral("Mapping entry %1").arg(i + 1), 7,
                             QStringLiteral("0x%1").arg(words.at(i), 8, 16, QLatin1Char('0'))));
}

// Line with 0x1018, 0x1800/0x1A00 mapping 0x2000:2 and 0x2100, the ARRAY 0x2000 of four
// channels, the VAR 0x2100 (UNSIGNED16) and the RECORD 0x2200.
inline void buildLine(ObjectDataBase &db, quint8 line)
{
    db.addNode(line, ObjectDataBase::NODE_DATA_T());
    addObject(db, line, 0x1018, QStringLiteral("Identity object"), 9, 0x23);
    db.addSubIndex(line, 0x1018, 0, entry(QStringLiteral("Highest sub-index"), 5, "1", "ro"));
    db.addSubIndex(line, 0x1018, 1, entry(QStringLiteral("Vendor-ID"), 7, "0x0000abcd", "ro"));
    addTpdo(db, line, {0x20000208, 0x21000010});
    addArray(db, line, 0x2000, 4);
    addVar(db, line, 0x2100, QStringLiteral("Speed"), 6, QStringLiteral("100"));
    addObject(db, line, 0x2200, QStringLiteral("Settings"), 9, 0x2A);
    db.addSubIndex(line, 0x2200, 0, entry(QStringLiteral("Highest sub-index"), 5, "2", "ro"));
    db.addSubIndex(line, 0x2200, 1, entry(QStringLiteral("Name"), 9, QStringLiteral("unit")));
    Sub gain = entry(QStringLiteral("Gain"), 8, QStringLiteral("1.5"));
    gain.varname = QStringLiteral("gain1");
    gain.implementation = 2;
    db.addSubIndex(line, 0x2200, 2, gain);
}

inline QString defaultValue(ObjectDataBase &db, quint8 line, quint16 index, quint8 sub)
{
    return db.getSubIndexValue(line, index, sub);
}

} // namespace dictionaryfixture
