#pragma once

#include "database/objectdatabase.h"

#include <QString>
#include <QStringList>

// Small store operations shared by the communication object masks and services.
namespace MaskStore {

// Numbers in the store are decimal or "0x" hexadecimal; false for anything else.
bool parseNumber(const QString &text, quint32 &value);
// The default value of an entry read as a number; fallback when it is none.
quint32 numberValue(const ObjectDataBase &db, quint8 line, quint16 index, quint8 sub,
                    quint32 fallback = 0);
// Sets the default value of an existing entry (with its change notification); writes
// nothing when the value is already stored.
bool setValue(ObjectDataBase *db, quint8 line, quint16 index, quint8 sub, const QString &value);
// Makes values the entries 1..n of an ARRAY or RECORD: existing entries take the value,
// missing ones are added as copies of pattern named namePattern (%1 the sub-index), the
// entries above n are deleted. Sub-index 0 becomes n unless keepSubZero. Call it inside a
// unit (inUnit).
bool writeList(ObjectDataBase *db, quint8 line, quint16 index, const QStringList &values,
               const ObjectDataBase::SUBINDEX_DATA_T &pattern, const QString &namePattern,
               bool keepSubZero = false);
// "0x" and eight hexadecimal digits, as COB-IDs are written.
QString hex32(quint32 value);

// Runs the writes of work as one unit of the store: all of them or, when work returns
// false or the commit fails, none.
template <typename Work>
bool inUnit(ObjectDataBase *db, Work work)
{
    if (!db || !db->beginTransaction())
        return false;
    if (!work()) {
        db->rollbackTransaction();
        return false;
    }
    return db->commitTransaction();
}

} // namespace MaskStore
