#include "objectdatabase.h"

#include <QDebug>
#include <QMutexLocker>

// Raw CAN messages (CANIDs<line>) and their data elements (DataElements<line>). Like the
// parameter groups, a message is identified by (id, direction).
namespace {

const char *const canIdColumns =
    "id, cycletime_ms, inhibittime_ms, mappingcount, direction, name, \"desc\"";
const char *const dataElementColumns = "canid, number, datatype, implementation, varname, "
                                       "defaultvalue, name, \"desc\", pos, bitsize, direction";

} // namespace

bool ObjectDataBase::CANID::operator==(const CANID &o) const
{
    return id == o.id && name == o.name && desc == o.desc && cycletime_ms == o.cycletime_ms
           && inhibittime_ms == o.inhibittime_ms && mappingcount == o.mappingcount
           && direction == o.direction;
}

bool ObjectDataBase::DataElement::operator==(const DataElement &o) const
{
    return pos == o.pos && name == o.name && desc == o.desc && defaultvalue == o.defaultvalue
           && datatype == o.datatype && canid == o.canid && direction == o.direction
           && number == o.number && implementation == o.implementation && varname == o.varname
           && bitsize == o.bitsize;
}

bool ObjectDataBase::existsCANID(quint8 line, quint32 id, quint8 direction)
{
    return !readNumbers(QStringLiteral("select id from %1 where id = ? and direction = ?")
                            .arg(table("CANIDs", line)),
                        {id, direction})
                .isEmpty();
}

QList<quint32> ObjectDataBase::getCANIDs(quint8 line, quint8 direction)
{
    if (direction == 0)
        return readNumbers(
            QStringLiteral("select id from %1 order by id asc").arg(table("CANIDs", line)), {});
    return readNumbers(QStringLiteral("select id from %1 where direction = ? order by id asc")
                           .arg(table("CANIDs", line)),
                       {direction});
}

bool ObjectDataBase::getCANIDData(quint8 line, quint32 id, quint8 direction, CANID &data)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query = boundQuery(QStringLiteral("select %1 from %2 where id = ? and direction = ?")
                                      .arg(QLatin1String(canIdColumns), table("CANIDs", line)),
                                  {id, direction});
    if (!run(query, Q_FUNC_INFO) || !query.next()) {
        query.finish();
        return false;
    }
    data.id = quint32(query.value(0).toLongLong());
    data.cycletime_ms = quint16(query.value(1).toUInt());
    data.inhibittime_ms = quint16(query.value(2).toUInt());
    data.mappingcount = quint16(query.value(3).toUInt());
    data.direction = quint8(query.value(4).toUInt());
    const QVariant nameId = query.value(5);
    const QVariant descId = query.value(6);
    query.finish();
    data.name = textOf(nameId);
    data.desc = textOf(descId);
    return true;
}

QString ObjectDataBase::getCANIDName(quint8 line, quint32 id, quint8 direction)
{
    return messageName(QStringLiteral("select name from %1 where id = ? and direction = ?")
                           .arg(table("CANIDs", line)),
                       {id, direction});
}

bool ObjectDataBase::addCANID(quint8 line, quint32 id, const CANID &data)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int nameId = getStringId(data.name);
    const int descId = getStringId(data.desc);
    const QString canIds = table("CANIDs", line);
    const QString sql =
        existsCANID(line, id, data.direction)
            ? QStringLiteral("update %1 set name = ?, \"desc\" = ?, cycletime_ms = ?, "
                             "inhibittime_ms = ?, mappingcount = ? where id = ? and "
                             "direction = ?")
                  .arg(canIds)
            : QStringLiteral("insert into %1 (name, \"desc\", cycletime_ms, inhibittime_ms, "
                             "mappingcount, id, direction) values(?,?,?,?,?,?,?)")
                  .arg(canIds);
    const bool ok = runWith(sql,
                            {nameId, descId, data.cycletime_ms, data.inhibittime_ms,
                             data.mappingcount, id, data.direction},
                            Q_FUNC_INFO);
    notifyMessage(ChangeSet::CanIdChanged, line, 0, 0, id, 0, data.direction);
    return ok;
}

bool ObjectDataBase::delCANID(quint8 line, quint32 id, quint8 direction)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    runWith(QStringLiteral("delete from %1 where canid = ? and direction = ?")
                .arg(table("DataElements", line)),
            {id, direction}, Q_FUNC_INFO);
    const bool ok = runWith(
        QStringLiteral("delete from %1 where id = ? and direction = ?").arg(table("CANIDs", line)),
        {id, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::CanIdDeleted, line, 0, 0, id, 0, direction);
    return ok;
}

QList<quint32> ObjectDataBase::getDataElements(quint8 line, quint32 canid, quint8 direction)
{
    return readNumbers(QStringLiteral("select number from %1 where canid = ? and direction = ? "
                                      "order by number asc")
                           .arg(table("DataElements", line)),
                       {canid, direction});
}

bool ObjectDataBase::getDataElementData(quint8 line, quint32 canid, quint8 direction,
                                        quint32 number, DataElement &data)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        boundQuery(QStringLiteral("select %1 from %2 where canid = ? and "
                                  "number = ? and direction = ?")
                       .arg(QLatin1String(dataElementColumns), table("DataElements", line)),
                   {canid, number, direction});
    if (!run(query, Q_FUNC_INFO) || !query.next()) {
        query.finish();
        return false;
    }
    data.canid = quint32(query.value(0).toLongLong());
    data.number = quint32(query.value(1).toLongLong());
    data.datatype = quint16(query.value(2).toUInt());
    data.implementation = quint8(query.value(3).toUInt());
    data.varname = query.value(4).toString();
    data.defaultvalue = query.value(5).toString();
    const QVariant nameId = query.value(6);
    const QVariant descId = query.value(7);
    data.pos = quint8(query.value(8).toUInt());
    data.bitsize = quint16(query.value(9).toUInt());
    data.direction = quint8(query.value(10).toUInt());
    query.finish();
    data.name = textOf(nameId);
    data.desc = textOf(descId);
    return true;
}

bool ObjectDataBase::addDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number,
                                    const DataElement &data)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const int nameId = getStringId(data.name);
    const int descId = getStringId(data.desc);
    const QString elements = table("DataElements", line);
    const bool exists = !readNumbers(QStringLiteral("select number from %1 where canid = ? AND "
                                                    "number = ? and direction = ?")
                                         .arg(elements),
                                     {canid, number, direction})
                             .isEmpty();
    const QString sql =
        exists ? QStringLiteral("update %1 set name = ?, \"desc\" = ?, defaultvalue = ?, "
                                "datatype = ?, implementation = ?, varname = ?, pos = ?, "
                                "bitsize = ? where canid = ? and number = ? and direction = ?")
                     .arg(elements)
               : QStringLiteral("insert into %1 (name, \"desc\", defaultvalue, datatype, "
                                "implementation, varname, pos, bitsize, canid, number, "
                                "direction) values(?,?,?,?,?,?,?,?,?,?,?)")
                     .arg(elements);
    const bool ok =
        runWith(sql,
                {nameId, descId, sqlText(data.defaultvalue), data.datatype, data.implementation,
                 sqlText(data.varname), data.pos, data.bitsize, canid, number, direction},
                Q_FUNC_INFO);
    notifyMessage(ChangeSet::DataElementChanged, line, 0, 0, canid, number, direction);
    return ok;
}

bool ObjectDataBase::delDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number)
{
    QMutexLocker locker(&m_mutex);
    if (m_lockWriteAccess)
        return false;
    const bool ok = runWith(QStringLiteral("delete from %1 where canid = ? AND number = ? and "
                                           "direction = ?")
                                .arg(table("DataElements", line)),
                            {canid, number, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::SpnDeleted, line, 0, 0, canid, number, direction);
    return ok;
}

// A line that is renumbered keeps its CAN messages: they are copied with the line.
void ObjectDataBase::copyCANIDsFromDatabase(ObjectDataBase *other, quint8 srcLine, quint8 dstLine)
{
    if (!other || (other == this && srcLine == dstLine))
        return;
    QList<QPair<CANID, QList<DataElement>>> messages;
    for (quint8 direction : {DirectionReceive, DirectionTransmit}) {
        for (quint32 id : other->getCANIDs(srcLine, direction)) {
            CANID canId;
            other->getCANIDData(srcLine, id, direction, canId);
            QList<DataElement> elements;
            for (quint32 number : other->getDataElements(srcLine, id, direction)) {
                DataElement element;
                other->getDataElementData(srcLine, id, direction, number, element);
                elements.append(element);
            }
            messages.append({canId, elements});
        }
    }
    QMutexLocker locker(&m_mutex);
    for (const auto &message : qAsConst(messages)) {
        const CANID &canId = message.first;
        delCANID(dstLine, canId.id, canId.direction);
        addCANID(dstLine, canId.id, canId);
        for (const DataElement &element : message.second)
            addDataElement(dstLine, canId.id, canId.direction, element.number, element);
    }
}
