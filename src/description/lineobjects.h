#pragma once

#include "database/objectdatabase.h"

#include <QHash>
#include <QList>

// The objects of one line as the description writers walk them: the index list, every
// object's record and the numbers of its sub-indices, read once per job. The sub-index
// numbers of the whole line come from a single statement instead of one per object.
class LineObjects
{
public:
    // Reads the objects from..to of the line; an absent database gives no objects.
    LineObjects(const ObjectDataBase *db, quint8 line, quint16 from = 0x1000, quint16 to = 0xFFFF);

    // Ascending.
    const QList<quint16> &indices() const { return objectIndices; }
    // The object's record; the record defaults for an index that was not read.
    const ObjectDataBase::INDEX_DATA_T &object(quint16 index) const;
    // The object's sub-indices, ascending.
    QList<quint8> subIndices(quint16 index) const { return subs.value(index); }

private:
    QList<quint16> objectIndices;
    QHash<quint16, ObjectDataBase::INDEX_DATA_T> objects;
    QHash<quint16, QList<quint8>> subs;
};
