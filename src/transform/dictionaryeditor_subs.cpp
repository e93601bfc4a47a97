// Structural edits of sub-indices: delete, duplicate, copy to a free number, shift, move
// and append, with sub-index 0 kept at the highest sub-index.

#include "transform/dictionaryeditor.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QString address(quint16 index, quint8 sub)
{
    return QStringLiteral("0x%1:%2").arg(index, 4, 16, QLatin1Char('0')).arg(sub);
}

// A copied entry's application variable gets the new number, so that names stay unique.
QString renumberedVariable(const QString &name, quint8 number)
{
    static const QRegularExpression trailingDigits(QStringLiteral("[0-9]+$"));
    QString base = name.trimmed();
    base.remove(trailingDigits);
    if (base == name.trimmed())
        base += QLatin1Char('_');
    return base + QString::number(number);
}

bool isArrayOrRecord(quint8 objectType)
{
    return objectType == 8 || objectType == 9;
}

} // namespace

// Sub-index 0 of an ARRAY or RECORD holds its highest sub-index; mapping objects keep the
// count the user set.
bool DictionaryEditor::setHighestSub(quint8 line, quint16 index)
{
    SUBINDEX_DATA_T zero;
    if (isMappingObject(index) || !db->getSubIndexData(line, index, 0, zero))
        return true;
    const QList<quint8> subs = db->getSubIndices(line, index, 1);
    const QString highest = QString::number(subs.isEmpty() ? 0 : subs.last());
    if (zero.defaultvalue == highest)
        return true;
    zero.defaultvalue = highest;
    return db->addSubIndex(line, index, 0, zero);
}

bool DictionaryEditor::addToSubZero(quint8 line, quint16 index, int delta)
{
    SUBINDEX_DATA_T zero;
    if (!db->getSubIndexData(line, index, 0, zero))
        return true;
    bool ok = false;
    const int old = zero.defaultvalue.trimmed().toInt(&ok, 0);
    if (!ok)
        return setHighestSub(line, index);
    zero.defaultvalue = QString::number(std::max(0, old + delta));
    return db->addSubIndex(line, index, 0, zero);
}

bool DictionaryEditor::deleteSub(quint8 line, quint16 index, quint8 sub)
{
    return inUnit([&] {
        SUBINDEX_DATA_T data;
        if (!db->getSubIndexData(line, index, sub, data))
            return refuse(tr("Sub-index %1 does not exist.").arg(address(index, sub)));
        if (!db->delSubIndex(line, index, sub, false))
            return refuse(tr("Sub-index %1 could not be deleted.").arg(address(index, sub)));
        QList<quint8> lines{line};
        if (data.sharedlines) {
            for (quint8 other : userLines()) {
                if (other != line && db->delSubIndex(other, index, sub, false))
                    lines.append(other);
            }
        }
        if (sub != 0) {
            for (quint8 changed : qAsConst(lines))
                setHighestSub(changed, index);
        }
        return true;
    });
}

quint8 DictionaryEditor::duplicateSub(quint8 line, quint16 index, quint8 sub)
{
    return inUnit([&]() -> quint8 {
        quint8 type = 0;
        if (!objectType(line, index, type) || !isArrayOrRecord(type)) {
            refuse(tr("Only entries of an ARRAY or RECORD can be duplicated."));
            return NoSubIndex;
        }
        const quint8 target = db->getNextFreeSubIndex(line, index, sub);
        if (target == NoSubIndex) {
            refuse(tr("Object 0x%1 has no free sub-index after %2.")
                       .arg(index, 4, 16, QLatin1Char('0'))
                       .arg(sub));
            return NoSubIndex;
        }
        return copySubTo(line, index, sub, target) ? target : NoSubIndex;
    });
}

bool DictionaryEditor::copySubTo(quint8 line, quint16 index, quint8 sub, quint8 target)
{
    return inUnit([&] {
        if (target == 0 || target == NoSubIndex || db->existSubIndex(line, index, target))
            return refuse(tr("Sub-index %1 is not free.").arg(address(index, target)));
        if (!db->existSubIndex(line, index, sub))
            return refuse(tr("Sub-index %1 does not exist.").arg(address(index, sub)));
        if (!db->copySubIndex(line, index, sub, target))
            return refuse(tr("Sub-index %1 could not be copied.").arg(address(index, sub)));
        SUBINDEX_DATA_T copy;
        if (db->getSubIndexData(line, index, target, copy) && !copy.varname.trimmed().isEmpty()) {
            copy.varname = renumberedVariable(copy.varname, target);
            db->addSubIndex(line, index, target, copy);
        }
        return setHighestSub(line, index);
    });
}

QList<quint8> DictionaryEditor::freeSubIndices(quint8 line, quint16 index) const
{
    const QList<quint8> used = db->getSubIndices(line, index, 0);
    QList<quint8> free;
    for (int sub = 1; sub < NoSubIndex; ++sub) {
        if (!used.contains(quint8(sub)))
            free.append(quint8(sub));
    }
    return free;
}

// Connections and mapping entries that name (index, from) are made to name the new
// address before the old entry goes.
void DictionaryEditor::retargetLinks(quint8 line, quint16 index, quint8 from, quint16 toIndex,
                                     quint8 to)
{
    for (const ObjectDataBase::SubAddress &entry :
         db->getMappingObjectsForObject(line, index, from)) {
        SUBINDEX_DATA_T mapping;
        if (!db->getSubIndexData(line, entry.index, entry.subindex, mapping))
            continue;
        const quint32 word = mapping.defaultvalue.trimmed().toUInt(nullptr, 0);
        writeMappingEntry(line, entry,
                          (quint32(toIndex) << 16) | (quint32(to) << 8) | (word & 0xFF));
    }
    for (const ObjectDataBase::Connection &c : db->getConsumer(line, index, from))
        db->addConnection(line, toIndex, to, c.connode, c.conindex, c.consub, c.priority);
    ObjectDataBase::Connection producer;
    if (db->getProducer(line, index, from, producer))
        db->addConnection(producer.prodnode, producer.prodindex, producer.prodsub, line, toIndex,
                          to, producer.priority);
}

bool DictionaryEditor::moveEntry(quint8 line, quint16 index, quint8 from, quint8 to)
{
    if (!db->copySubIndex(line, index, from, to))
        return false;
    retargetLinks(line, index, from, index, to);
    return db->delSubIndex(line, index, from, false);
}

bool DictionaryEditor::shiftSubs(quint8 line, quint16 index, quint8 sub, bool up)
{
    return inUnit([&] {
        if (sub == 0)
            return refuse(tr("Sub-index 0 holds the number of entries and cannot be moved."));
        QList<quint8> moving = db->getSubIndices(line, index, sub);
        if (moving.isEmpty() || moving.first() != sub)
            return refuse(tr("Sub-index %1 does not exist.").arg(address(index, sub)));
        if (up && moving.last() >= NoSubIndex - 1)
            return refuse(tr("Object 0x%1 has no room above sub-index %2.")
                              .arg(index, 4, 16, QLatin1Char('0'))
                              .arg(moving.last()));
        if (!up && (sub == 1 || db->existSubIndex(line, index, quint8(sub - 1))))
            return refuse(tr("Sub-index %1 is in use; moving the entries down would overwrite it.")
                              .arg(address(index, quint8(sub - 1))));
        if (up)
            std::reverse(moving.begin(), moving.end());
        for (quint8 from : qAsConst(moving)) {
            if (!moveEntry(line, index, from, quint8(up ? from + 1 : from - 1)))
                return refuse(tr("Sub-index %1 could not be moved.").arg(address(index, from)));
        }
        return addToSubZero(line, index, up ? 1 : -1);
    });
}

bool DictionaryEditor::moveSub(quint8 line, quint16 index, quint8 sub, quint8 dstLine,
                               quint16 dstIndex, quint8 dstSub)
{
    return inUnit([&] {
        if (line == dstLine && index == dstIndex && sub == dstSub)
            return true;
        SUBINDEX_DATA_T data;
        if (!db->getSubIndexData(line, index, sub, data))
            return refuse(tr("Sub-index %1 does not exist.").arg(address(index, sub)));
        if (!db->existIndex(dstLine, dstIndex))
            return refuse(tr("Object 0x%1 does not exist in line %2.")
                              .arg(dstIndex, 4, 16, QLatin1Char('0'))
                              .arg(dstLine));
        if (dstSub == 0)
            return refuse(tr("Sub-index 0 holds the number of entries and cannot be replaced."));
        if (!db->addSubIndex(dstLine, dstIndex, dstSub, data))
            return refuse(tr("Sub-index %1 could not be written.").arg(address(dstIndex, dstSub)));
        if (line == dstLine)
            retargetLinks(line, index, sub, dstIndex, dstSub);
        db->delSubIndex(line, index, sub, false);
        setHighestSub(line, index);
        return setHighestSub(dstLine, dstIndex);
    });
}

quint8 DictionaryEditor::appendSubIndex(quint8 line, quint16 index)
{
    return inUnit([&]() -> quint8 {
        INDEX_DATA_T object;
        if (!db->getIndexData(line, index, object) || !isArrayOrRecord(object.objecttype)) {
            refuse(tr("Entries can only be added to an ARRAY or RECORD."));
            return NoSubIndex;
        }
        const QList<quint8> subs = db->getSubIndices(line, index, 0);
        const quint8 previous = subs.isEmpty() ? 0 : subs.last();
        if (!subs.isEmpty() && previous >= NoSubIndex - 1) {
            refuse(
                tr("Object 0x%1 has no free sub-index left.").arg(index, 4, 16, QLatin1Char('0')));
            return NoSubIndex;
        }
        const quint8 number = subs.isEmpty() ? 0 : quint8(previous + 1);
        SUBINDEX_DATA_T data;
        db->getSubIndexData(line, index, previous, data);
        if (previous == 0 && number == 1) {
            // Sub-index 0 is the count; the first entry takes the object's own type.
            data = SUBINDEX_DATA_T();
            data.datatype = object.objecttype == 8 ? object.datatype : data.datatype;
            applyDefaultLimits(data);
        }
        if (object.objecttype == 8)
            data.name = renumberedName(data.name, number);
        if (!data.varname.trimmed().isEmpty())
            data.varname = renumberedVariable(data.varname, number);
        data.denotation.clear();
        if (!db->addSubIndex(line, index, number, data)) {
            refuse(tr("Sub-index %1 could not be written.").arg(address(index, number)));
            return NoSubIndex;
        }
        if (number != 0)
            setHighestSub(line, index);
        return number;
    });
}
