#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include "panelkit/helper.h"

#include <QDebug>

// Network variables in the process image 0xA000..0xAFFF. Each area holds the variables of
// one data type and direction; an object of an area carries up to 254 variables in its
// sub-indices 1..254, sub-index 0 counts them.
namespace {

struct ProcessImageArea
{
    quint16 start;
    quint16 dataType;
    bool output;
};

const ProcessImageArea areas[] = {
    {0xA000, 2, false}, {0xA040, 5, false}, {0xA0C0, 3, false}, {0xA100, 6, false},
    {0xA1C0, 4, false}, {0xA200, 7, false}, {0xA480, 2, true},  {0xA4C0, 5, true},
    {0xA540, 3, true},  {0xA580, 6, true},  {0xA640, 4, true},  {0xA680, 7, true},
};
const int areaCount = int(sizeof(areas) / sizeof(areas[0]));
const quint16 processImageEnd = 0xAFFF;
const int variablesPerObject = 254;

// The area whose start is the highest not above index; -1 outside the process image.
int areaOf(quint16 index)
{
    if (index < areas[0].start || index > processImageEnd)
        return -1;
    int found = 0;
    for (int i = 0; i < areaCount; ++i) {
        if (areas[i].start <= index)
            found = i;
    }
    return found;
}

quint16 areaEnd(int area)
{
    return area + 1 < areaCount ? quint16(areas[area + 1].start - 1) : processImageEnd;
}

int byteSize(quint16 dataType)
{
    return int(Helper::getDataLengthBits(dataType) / 8);
}

} // namespace

quint16 ObjectDataBase::index2DataType(quint16 index)
{
    for (const ProcessImageArea &area : areas) {
        if (area.start == index)
            return area.dataType;
    }
    return 0;
}

int ObjectDataBase::startPosInProcessImage(quint16 index, quint8 sub)
{
    const int area = areaOf(index);
    if (area < 0 || sub == 0)
        return -1;
    return byteSize(areas[area].dataType)
           * ((index - areas[area].start) * variablesPerObject + sub - 1);
}

// Variables (sub-index 1 on) of the process-image objects of the line.
QList<ObjectDataBase::SubAddress> ObjectDataBasePrivate::nvVariables(quint8 line)
{
    StoreLocker locker(mutex);
    QList<SubAddress> variables;
    for (const SqlRows::Row row :
         select(QStringLiteral("select objectindex, subindex from %1 where objectindex >= ? "
                               "and objectindex <= ? and subindex > 0 order by objectindex, "
                               "subindex")
                    .arg(table("SubObjects", line)),
                {areas[0].start, processImageEnd}, Q_FUNC_INFO))
        variables.append(SubAddress{quint16(row.value(0).toUInt()), quint8(row.value(1).toUInt())});
    return variables;
}

QStringList ObjectDataBase::getProcessImage(quint8 line) const
{
    QStringList image;
    int area = -1;
    int areaUsedUpTo = 0;
    for (const SubAddress &variable : d->nvVariables(line)) {
        if (areaOf(variable.index) != area) {
            area = areaOf(variable.index);
            areaUsedUpTo = 0;
        }
        const int pos = startPosInProcessImage(variable.index, variable.subindex);
        const int size = byteSize(areas[area].dataType);
        QString text = QStringLiteral("Pos: %1: Index: 0x%2 sub: %3 size = %4")
                           .arg(pos)
                           .arg(variable.index, 4, 16, QLatin1Char('0'))
                           .arg(variable.subindex)
                           .arg(size);
        if (pos < areaUsedUpTo)
            text += QLatin1String(" ERROR");
        areaUsedUpTo = qMax(areaUsedUpTo, pos + size);
        qDebug().noquote() << text;
        image.append(text);
    }
    return image;
}

quint32 ObjectDataBase::findFreeNVVariable(quint8 line, quint16 index, bool output) const
{
    StoreLocker locker(d->mutex);
    const int area = areaOf(index);
    if (index2DataType(index) == 0 || areas[area].output != output)
        return 0;
    for (quint32 object = index; object <= areaEnd(area); ++object) {
        const QList<quint8> used = getSubIndices(line, quint16(object), 1);
        int free = 1;
        for (quint8 sub : used) {
            if (sub != free)
                break;
            ++free;
        }
        if (free > variablesPerObject)
            continue;
        if (!used.isEmpty() && free < used.last())
            qDebug() << "gap found:" << Qt::hex << object << Qt::dec << free;
        qDebug() << "free start pos =" << startPosInProcessImage(quint16(object), quint8(free));
        return object + quint32(free) * 65536;
    }
    return 0;
}

// Sub-index 0 of a process-image object counts its variables; an object left without one
// is deleted.
bool ObjectDataBase::updateNVHighestSub(quint8 line, quint16 index)
{
    const QList<quint8> variables = getSubIndices(line, index, 1);
    if (variables.isEmpty())
        return delIndex(line, index, true);
    SUBINDEX_DATA_T count;
    if (!getSubIndexData(line, index, 0, count)) {
        count.name = QStringLiteral("Heighest Subindex supported");
        count.datatype = 5;
        count.accesstype = QStringLiteral("ro");
    }
    count.defaultvalue = QString::number(variables.last());
    return addSubIndex(line, index, 0, count);
}

quint32 ObjectDataBase::addNVObj(quint8 line, quint16 index, bool output, const QString &name)
{
    StoreLocker locker(d->mutex);
    const quint16 dataType = index2DataType(index);
    if (d->lockWriteAccess || dataType == 0)
        return 0;
    const quint32 slot = findFreeNVVariable(line, index, output);
    if (slot == 0)
        return 0;
    const quint16 object = quint16(slot & 0xFFFF);
    const quint8 sub = quint8(slot >> 16);
    INDEX_DATA_T array;
    getIndexData(line, object, array);
    array.objecttype = 8;
    array.datatype = dataType;
    array.name = QStringLiteral("PLC_ARRAY_%1_%2")
                     .arg(Helper::index2DataTypeString(dataType),
                          output ? QStringLiteral("OUTPUT") : QStringLiteral("INPUT"));
    SUBINDEX_DATA_T variable;
    variable.name = name;
    variable.datatype = dataType;
    variable.defaultvalue = QStringLiteral("0");
    variable.accesstype = output ? QStringLiteral("ro") : QStringLiteral("rww");
    variable.pdomapping = output ? 4 : 3;
    WriteUnit unit(this);
    const bool ok = addIndex(line, object, array) && addSubIndex(line, object, sub, variable)
                    && updateNVHighestSub(line, object);
    return unit.commit() && ok ? slot : 0;
}

bool ObjectDataBase::deleteAllNV(quint8 line, bool keepConnections)
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    bool ok = true;
    for (quint16 index : getIndices(line, areas[0].start, processImageEnd))
        ok = ok && delIndex(line, index, keepConnections);
    ok = ok && cleanUpStrings();
    return unit.commit() && ok;
}

bool ObjectDataBase::removeUnusedNV()
{
    StoreLocker locker(d->mutex);
    if (d->lockWriteAccess)
        return false;
    WriteUnit unit(this);
    bool ok = true;
    for (quint8 line : getNodes()) {
        QList<quint16> touched;
        for (const SubAddress &variable : d->nvVariables(line)) {
            if (isProducerConnected(line, variable.index, variable.subindex)
                || isConsumerConnected(line, variable.index, variable.subindex))
                continue;
            ok = ok && delSubIndex(line, variable.index, variable.subindex, true);
            if (!touched.contains(variable.index))
                touched.append(variable.index);
        }
        for (quint16 index : qAsConst(touched))
            ok = ok && updateNVHighestSub(line, index);
    }
    ok = ok && cleanUpStrings();
    return unit.commit() && ok;
}
