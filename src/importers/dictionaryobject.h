#pragma once

#include "database/objectdatabase.h"

#include <QMap>

// One object of an object dictionary with its sub-indices, held as records outside a
// store: what a reader produces and what an import copies into a project.
struct DictionaryObject
{
    quint16 index = 0;
    ObjectDataBase::INDEX_DATA_T data;
    QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> subs;

    // Reads the object at (line, index) of db with all its sub-indices. False, leaving this
    // object untouched, when db has no such object or a sub-index cannot be read.
    bool read(ObjectDataBase &db, quint8 line, quint16 index);
    // Writes the object and its sub-indices to (line, at) of db, updating an object that is
    // there and replacing sub-indices of the same numbers; other sub-indices stay. False
    // when a write fails (the store may then hold part of the object).
    bool store(ObjectDataBase &db, quint8 line, quint16 at) const;
    // Stores every object at its own index of the line, as one unit of writes: all of them
    // or, when a write fails, none (false).
    static bool storeAll(const QMap<quint16, DictionaryObject> &objects, ObjectDataBase &db,
                         quint8 line);
};
