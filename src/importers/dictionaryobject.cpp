#include "importers/dictionaryobject.h"

bool DictionaryObject::read(ObjectDataBase &db, quint8 line, quint16 at)
{
    ObjectDataBase::INDEX_DATA_T object;
    if (!db.getIndexData(line, at, object))
        return false;
    QMap<quint8, ObjectDataBase::SUBINDEX_DATA_T> entries;
    for (quint8 sub : db.getSubIndices(line, at)) {
        ObjectDataBase::SUBINDEX_DATA_T entry;
        if (!db.getSubIndexData(line, at, sub, entry))
            return false;
        entries.insert(sub, entry);
    }
    index = at;
    data = object;
    subs = entries;
    return true;
}

bool DictionaryObject::store(ObjectDataBase &db, quint8 line, quint16 at) const
{
    return db.addIndex(line, at, data) && db.addSubIndices(line, at, subs);
}

bool DictionaryObject::storeAll(const QMap<quint16, DictionaryObject> &objects, ObjectDataBase &db,
                                quint8 line)
{
    if (!db.beginTransaction())
        return false;
    for (const DictionaryObject &object : objects) {
        if (!object.store(db, line, object.index)) {
            db.rollbackTransaction();
            return false;
        }
    }
    return db.commitTransaction();
}
