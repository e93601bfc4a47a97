#include "description/lineobjects.h"

LineObjects::LineObjects(const ObjectDataBase *db, quint8 line, quint16 from, quint16 to)
{
    if (!db)
        return;
    for (quint16 index : db->getIndices(line, from, to)) {
        ObjectDataBase::INDEX_DATA_T data;
        if (!db->getIndexData(line, index, data))
            continue;
        objectIndices.append(index);
        objects.insert(index, data);
    }
    for (const ObjectDataBase::SubAddress &address :
         db->getSubsByProperty(line, QString(), QString())) {
        if (objects.contains(address.index))
            subs[address.index].append(address.subindex);
    }
}

const ObjectDataBase::INDEX_DATA_T &LineObjects::object(quint16 index) const
{
    static const ObjectDataBase::INDEX_DATA_T none;
    const auto found = objects.constFind(index);
    return found == objects.constEnd() ? none : found.value();
}
