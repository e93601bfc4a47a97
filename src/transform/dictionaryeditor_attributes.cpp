// Attribute edits that reach beyond one record: bulk commands, data-type changes carried
// to entries and PDO mappings, and entries shared between lines.

#include "transform/dictionaryeditor.h"

#include "panelkit/canopendatatype.h"
#include "panelkit/valuechecker.h"

namespace {

void applyBulk(DictionaryEditor::BulkCommand command, ObjectDataBase::SUBINDEX_DATA_T &data)
{
    using Command = DictionaryEditor::BulkCommand;
    switch (command) {
    case Command::SetDefault:
    case Command::ClearDefault:
        data.defaultineds = command == Command::SetDefault;
        break;
    case Command::SetLimitCheck:
    case Command::ClearLimitCheck:
        data.limitineds = command == Command::SetLimitCheck;
        break;
    case Command::SetDefaultInEds:
    case Command::ClearDefaultInEds:
        data.writedefaulttoeds = command == Command::SetDefaultInEds;
        break;
    case Command::ManagedVariables:
        data.implementation = 0;
        break;
    }
}

// Strings and domains cannot be managed variables; sub-index 0 of an ARRAY or RECORD
// keeps its implementation too.
bool takesManagedVariable(quint8 objectType, quint8 sub,
                          const ObjectDataBase::SUBINDEX_DATA_T &data)
{
    if (sub == 0 && (objectType == 8 || objectType == 9))
        return false;
    return !ValueChecker::hasByteSize(data.datatype);
}

} // namespace

int DictionaryEditor::applyBulkCommand(quint8 line, BulkCommand command, bool expertMode)
{
    return inUnit([&]() -> int {
        int changed = 0;
        db->cacheAllSubs(line);
        quint16 typeIndex = 0;
        quint8 type = 0;
        for (const ObjectDataBase::SubAddress &entry :
             db->getSubsByProperty(line, QString(), QString())) {
            if (!mayEdit(entry.index, expertMode))
                continue;
            SUBINDEX_DATA_T data;
            if (!db->getSubIndexData(line, entry.index, entry.subindex, data))
                continue;
            if (entry.index != typeIndex) {
                typeIndex = entry.index;
                objectType(line, entry.index, type);
            }
            if (command == BulkCommand::ManagedVariables
                && !takesManagedVariable(type, entry.subindex, data))
                continue;
            const SUBINDEX_DATA_T before = data;
            applyBulk(command, data);
            if (data == before)
                continue;
            if (db->addSubIndex(line, entry.index, entry.subindex, data))
                ++changed;
        }
        db->clearCachedSubs(line);
        return changed;
    });
}

QList<quint8> DictionaryEditor::carriersOfType(quint8 line, quint16 index, quint8 objectType) const
{
    if (objectType == 7)
        return db->existSubIndex(line, index, 0) ? QList<quint8>{0} : QList<quint8>{};
    if (objectType == 8)
        return db->getSubIndices(line, index, 1);
    return {};
}

bool DictionaryEditor::storeIndex(quint8 line, quint16 index, const INDEX_DATA_T &data)
{
    return inUnit([&] {
        INDEX_DATA_T old;
        const bool existed = db->getIndexData(line, index, old);
        if (existed && old == data)
            return true;
        if (existed && old.objecttype != data.objecttype
            && (old.objecttype == 7 || data.objecttype == 7))
            return refuse(
                tr("Only an ARRAY and a RECORD can be turned into each other; a VAR keeps "
                   "its type."));
        const bool typeChanged = existed && old.datatype != data.datatype;
        const QList<quint8> carriers =
            typeChanged ? carriersOfType(line, index, data.objecttype) : QList<quint8>();
        for (quint8 sub : carriers) {
            const QString value = db->getSubIndexValue(line, index, sub);
            const QString reason = ValueChecker::checkDefaultValue(data.datatype, value);
            if (!reason.isEmpty())
                return refuse(tr("The data type cannot change: the default value of sub-index %1 "
                                 "does not fit. %2")
                                  .arg(sub)
                                  .arg(reason));
        }
        if (!db->addIndex(line, index, data))
            return refuse(
                tr("Object 0x%1 could not be written.").arg(index, 4, 16, QLatin1Char('0')));
        for (quint8 sub : carriers) {
            SUBINDEX_DATA_T entry;
            if (!db->getSubIndexData(line, index, sub, entry))
                continue;
            entry.datatype = data.datatype;
            applyDefaultLimits(entry);
            if (ValueChecker::hasByteSize(entry.datatype))
                entry.size = std::max(entry.size,
                                      ValueChecker::textSize(entry.datatype, entry.defaultvalue));
            if (db->isObjectMapped(line, index, sub))
                updatePDOMapping(line, index, sub, mappingLength(entry));
            db->addSubIndex(line, index, sub, entry);
        }
        return true;
    });
}

bool DictionaryEditor::storeSubIndex(quint8 line, quint16 index, quint8 sub,
                                     const SUBINDEX_DATA_T &data, bool sharedLines)
{
    return inUnit([&] {
        SUBINDEX_DATA_T old;
        const bool existed = db->getSubIndexData(line, index, sub, old);
        SUBINDEX_DATA_T entry = data;
        // Only entries of the stack's own shared objects and beyond may be shared.
        if (index < 0x1F80)
            entry.sharedlines = false;
        if (entry.datatype == CAN::DT_DOMAIN)
            entry.implementation = 2;
        if (existed && entry == old && entry.denotation == old.denotation)
            return true;
        entry.changedbyuser = true;
        if (existed && entry.datatype != old.datatype && db->isObjectMapped(line, index, sub))
            updatePDOMapping(line, index, sub, mappingLength(entry));
        if (!db->addSubIndex(line, index, sub, entry))
            return refuse(tr("Sub-index 0x%1:%2 could not be written.")
                              .arg(index, 4, 16, QLatin1Char('0'))
                              .arg(sub));
        INDEX_DATA_T object;
        if (sub == 0 && db->getIndexData(line, index, object) && object.objecttype == 7
            && (object.datatype != entry.datatype || object.name != entry.name)) {
            object.datatype = entry.datatype;
            object.name = entry.name;
            db->addIndex(line, index, object);
        }
        if (entry.sharedlines && sharedLines)
            updateSharedSub(line, index, sub);
        return true;
    });
}

int DictionaryEditor::updateSharedSub(quint8 line, quint16 index, quint8 sub)
{
    return inUnit([&]() -> int {
        SUBINDEX_DATA_T entry;
        if (!db->getSubIndexData(line, index, sub, entry))
            return 0;
        int copies = 0;
        for (quint8 other : userLines()) {
            if (other == line)
                continue;
            if (!db->existIndex(other, index)) {
                copies += db->copyIndex(line, index, other, index) ? 1 : 0;
                continue;
            }
            SUBINDEX_DATA_T there;
            if (db->getSubIndexData(other, index, sub, there) && there.datatype != entry.datatype
                && db->isObjectMapped(other, index, sub))
                updatePDOMapping(other, index, sub, mappingLength(entry));
            copies += db->addSubIndex(other, index, sub, entry) ? 1 : 0;
        }
        return copies;
    });
}

bool DictionaryEditor::writeMappingEntry(quint8 line, ObjectDataBase::SubAddress entry,
                                         quint32 word)
{
    SUBINDEX_DATA_T mapping;
    if (!db->getSubIndexData(line, entry.index, entry.subindex, mapping))
        return false;
    const QString value = QStringLiteral("0x%1").arg(word, 4, 16, QLatin1Char('0'));
    if (mapping.defaultvalue == value)
        return true;
    mapping.defaultvalue = value;
    return db->addSubIndex(line, entry.index, entry.subindex, mapping);
}

int DictionaryEditor::updatePDOMapping(quint8 line, quint16 index, quint8 sub, quint8 bitLength)
{
    return inUnit([&]() -> int {
        int rewritten = 0;
        for (const ObjectDataBase::SubAddress &entry :
             db->getMappingObjectsForObject(line, index, sub)) {
            SUBINDEX_DATA_T mapping;
            if (!db->getSubIndexData(line, entry.index, entry.subindex, mapping))
                continue;
            const quint32 word = mapping.defaultvalue.trimmed().toUInt(nullptr, 0);
            if (writeMappingEntry(line, entry, (word & 0xFFFFFF00u) | bitLength))
                ++rewritten;
        }
        return rewritten;
    });
}

bool DictionaryEditor::restoreObject(quint8 line, quint16 index, const INDEX_DATA_T &object,
                                     const QMap<quint8, SUBINDEX_DATA_T> &subs)
{
    return inUnit([&] {
        INDEX_DATA_T current;
        if (!db->getIndexData(line, index, current) || current != object) {
            if (!db->addIndex(line, index, object))
                return refuse(
                    tr("Object 0x%1 could not be written.").arg(index, 4, 16, QLatin1Char('0')));
        }
        for (quint8 sub : db->getSubIndices(line, index, 0)) {
            if (!subs.contains(sub))
                db->delSubIndex(line, index, sub, false);
        }
        for (auto it = subs.constBegin(); it != subs.constEnd(); ++it) {
            SUBINDEX_DATA_T stored;
            if (db->getSubIndexData(line, index, it.key(), stored) && stored == it.value()
                && stored.denotation == it.value().denotation)
                continue;
            if (stored.datatype != it.value().datatype && db->isObjectMapped(line, index, it.key()))
                updatePDOMapping(line, index, it.key(), mappingLength(it.value()));
            db->addSubIndex(line, index, it.key(), it.value());
        }
        return true;
    });
}

int DictionaryEditor::copyEntryValues(quint8 line, quint16 index, quint8 from,
                                      const QList<quint8> &to, bool sharedLines)
{
    return inUnit([&]() -> int {
        SUBINDEX_DATA_T source;
        if (!db->getSubIndexData(line, index, from, source))
            return 0;
        int copied = 0;
        for (quint8 sub : to) {
            SUBINDEX_DATA_T entry;
            if (sub == from || !db->getSubIndexData(line, index, sub, entry))
                continue;
            const SUBINDEX_DATA_T before = entry;
            entry.datatype = source.datatype;
            entry.accesstype = source.accesstype;
            entry.defaultvalue = source.defaultvalue;
            entry.implementation = source.implementation;
            entry.defaultineds = source.defaultineds;
            entry.writedefaulttoeds = source.writedefaulttoeds;
            entry.pdomapping = source.pdomapping;
            entry.lowlimit = source.lowlimit;
            entry.uplimit = source.uplimit;
            entry.limitineds = source.limitineds;
            entry.size = source.size;
            if (entry != before && storeSubIndex(line, index, sub, entry, sharedLines))
                ++copied;
        }
        return copied;
    });
}
