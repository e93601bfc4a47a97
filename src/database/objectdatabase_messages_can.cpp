#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

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

bool ObjectDataBase::existsCANID(quint8 line, quint32 id, quint8 direction) const
{
    return !d->readNumbers(QStringLiteral("select id from %1 where id = ? and direction = ?")
                               .arg(d->table("CANIDs", line)),
                           {id, direction})
                .isEmpty();
}

QList<quint32> ObjectDataBase::getCANIDs(quint8 line, quint8 direction) const
{
    if (direction == 0)
        return d->readNumbers(
            QStringLiteral("select id from %1 order by id asc").arg(d->table("CANIDs", line)), {});
    return d->readNumbers(QStringLiteral("select id from %1 where direction = ? order by id asc")
                              .arg(d->table("CANIDs", line)),
                          {direction});
}

bool ObjectDataBase::getCANIDData(quint8 line, quint32 id, quint8 direction, CANID &data) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows =
        d->select(QStringLiteral("select %1 from %2 where id = ? and direction = ?")
                      .arg(QLatin1String(canIdColumns), d->table("CANIDs", line)),
                  {id, direction}, Q_FUNC_INFO);
    if (rows.isEmpty())
        return false;
    data.id = quint32(rows.at(0, 0).toLongLong());
    data.cycletime_ms = quint16(rows.at(0, 1).toUInt());
    data.inhibittime_ms = quint16(rows.at(0, 2).toUInt());
    data.mappingcount = quint16(rows.at(0, 3).toUInt());
    data.direction = quint8(rows.at(0, 4).toUInt());
    data.name = d->textOf(rows.at(0, 5));
    data.desc = d->textOf(rows.at(0, 6));
    return true;
}

QString ObjectDataBase::getCANIDName(quint8 line, quint32 id, quint8 direction) const
{
    return d->messageName(QStringLiteral("select name from %1 where id = ? and direction = ?")
                              .arg(d->table("CANIDs", line)),
                          {id, direction});
}

bool ObjectDataBase::addCANID(quint8 line, quint32 id, const CANID &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(data.name);
    const int descId = getStringId(data.desc);
    const QString canIds = d->table("CANIDs", line);
    const QString sql =
        existsCANID(line, id, data.direction)
            ? QStringLiteral("update %1 set name = ?, \"desc\" = ?, cycletime_ms = ?, "
                             "inhibittime_ms = ?, mappingcount = ? where id = ? and "
                             "direction = ?")
                  .arg(canIds)
            : QStringLiteral("insert into %1 (name, \"desc\", cycletime_ms, inhibittime_ms, "
                             "mappingcount, id, direction) values(?,?,?,?,?,?,?)")
                  .arg(canIds);
    const bool ok = nameId >= 0 && descId >= 0
                    && d->exec(sql,
                               {nameId, descId, data.cycletime_ms, data.inhibittime_ms,
                                data.mappingcount, id, data.direction},
                               Q_FUNC_INFO);
    notifyMessage(ChangeSet::CanIdChanged, line, 0, 0, id, 0, data.direction);
    return unit.commit() && ok;
}

bool ObjectDataBase::delCANID(quint8 line, quint32 id, quint8 direction)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("delete from %1 where canid = ? and direction = ?")
                                .arg(d->table("DataElements", line)),
                            {id, direction}, Q_FUNC_INFO)
                    && d->exec(QStringLiteral("delete from %1 where id = ? and direction = ?")
                                   .arg(d->table("CANIDs", line)),
                               {id, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::CanIdDeleted, line, 0, 0, id, 0, direction);
    return unit.commit() && ok;
}

QList<quint32> ObjectDataBase::getDataElements(quint8 line, quint32 canid, quint8 direction) const
{
    return d->readNumbers(QStringLiteral("select number from %1 where canid = ? and direction = ? "
                                         "order by number asc")
                              .arg(d->table("DataElements", line)),
                          {canid, direction});
}

bool ObjectDataBase::getDataElementData(quint8 line, quint32 canid, quint8 direction,
                                        quint32 number, DataElement &data) const
{
    StoreLocker locker(d->mutex);
    const SqlRows rows =
        d->select(QStringLiteral("select %1 from %2 where canid = ? and number = ? and "
                                 "direction = ?")
                      .arg(QLatin1String(dataElementColumns), d->table("DataElements", line)),
                  {canid, number, direction}, Q_FUNC_INFO);
    if (rows.isEmpty())
        return false;
    data.canid = quint32(rows.at(0, 0).toLongLong());
    data.number = quint32(rows.at(0, 1).toLongLong());
    data.datatype = quint16(rows.at(0, 2).toUInt());
    data.implementation = quint8(rows.at(0, 3).toUInt());
    data.varname = rows.at(0, 4).toString();
    data.defaultvalue = rows.at(0, 5).toString();
    data.name = d->textOf(rows.at(0, 6));
    data.desc = d->textOf(rows.at(0, 7));
    data.pos = quint8(rows.at(0, 8).toUInt());
    data.bitsize = quint16(rows.at(0, 9).toUInt());
    data.direction = quint8(rows.at(0, 10).toUInt());
    return true;
}

bool ObjectDataBase::addDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number,
                                    const DataElement &data)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const int nameId = getStringId(data.name);
    const int descId = getStringId(data.desc);
    const QString elements = d->table("DataElements", line);
    const bool exists = !d->readNumbers(QStringLiteral("select number from %1 where canid = ? AND "
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
    const bool ok = nameId >= 0 && descId >= 0
                    && d->exec(sql,
                               {nameId, descId, d->sqlText(data.defaultvalue), data.datatype,
                                data.implementation, d->sqlText(data.varname), data.pos,
                                data.bitsize, canid, number, direction},
                               Q_FUNC_INFO);
    notifyMessage(ChangeSet::DataElementChanged, line, 0, 0, canid, number, direction);
    return unit.commit() && ok;
}

bool ObjectDataBase::delDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    const bool ok = d->exec(QStringLiteral("delete from %1 where canid = ? AND number = ? and "
                                           "direction = ?")
                                .arg(d->table("DataElements", line)),
                            {canid, number, direction}, Q_FUNC_INFO);
    notifyMessage(ChangeSet::SpnDeleted, line, 0, 0, canid, number, direction);
    return unit.commit() && ok;
}

// A line that is renumbered keeps its CAN messages: they are copied with the line. Nothing
// is written unless every message of the source could be read.
bool ObjectDataBase::copyCANIDsFromDatabase(const ObjectDataBase *other, quint8 srcLine,
                                            quint8 dstLine)
{
    if (!other || (other == this && srcLine == dstLine))
        return true;
    QList<QPair<CANID, QList<DataElement>>> messages;
    for (quint8 direction : {DirectionReceive, DirectionTransmit}) {
        for (quint32 id : other->getCANIDs(srcLine, direction)) {
            CANID canId;
            if (!other->getCANIDData(srcLine, id, direction, canId))
                return false;
            QList<DataElement> elements;
            for (quint32 number : other->getDataElements(srcLine, id, direction)) {
                DataElement element;
                if (!other->getDataElementData(srcLine, id, direction, number, element))
                    return false;
                elements.append(element);
            }
            messages.append({canId, elements});
        }
    }
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    bool ok = true;
    for (int i = 0; ok && i < messages.size(); ++i) {
        const CANID &canId = messages.at(i).first;
        ok = delCANID(dstLine, canId.id, canId.direction) && addCANID(dstLine, canId.id, canId);
        for (const DataElement &element : messages.at(i).second)
            ok = ok && addDataElement(dstLine, canId.id, canId.direction, element.number, element);
    }
    return unit.commit() && ok;
}
