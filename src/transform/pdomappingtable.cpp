#include "pdomappingtable.h"

#include "dictionaryeditor.h"
#include "maskstore.h"

#include "panelkit/helper.h"

namespace {

// Mapping entries of a PDO: more do not fit the sub-indices 1..64 of its mapping object.
constexpr int maxEntries = 64;
constexpr quint8 samMode = 0xFE;
constexpr quint8 damMode = 0xFF;

bool isWritable(const QString &access)
{
    return access == QLatin1String("wo") || access == QLatin1String("rw")
           || access == QLatin1String("rww");
}

bool isReadable(const QString &access)
{
    return access == QLatin1String("ro") || access == QLatin1String("const")
           || access == QLatin1String("rw") || access == QLatin1String("rwr");
}

} // namespace

MappingEntry MappingEntry::fromWord(quint32 word)
{
    MappingEntry entry;
    entry.index = quint16(word >> 16);
    entry.sub = quint8(word >> 8);
    entry.length = quint8(word);
    return entry;
}

PdoMappingTable::PdoMappingTable(PdoType type) : pdoType(type) {}

PdoMappingTable::PdoType PdoMappingTable::typeOfIndex(quint16 index)
{
    if (index >= 0x1A00 && index <= 0x1BFF)
        return Tpdo;
    if (index >= 0x1381 && index <= 0x13BF)
        return Srdo;
    return Rpdo;
}

bool PdoMappingTable::load(const ObjectDataBase &db, quint8 line, quint16 index)
{
    mapped.clear();
    limitBits = db.getGeneralSettingsValue(QStringLiteral("canfd_supported")).trimmed()
                        == QLatin1String("1")
                    ? 512
                    : 64;
    ObjectDataBase::SUBINDEX_DATA_T subZero;
    if (!db.existIndex(line, index) || !db.getSubIndexData(line, index, 0, subZero))
        return false;
    dynamic = subZero.accesstype == QLatin1String("rw");
    quint32 count = 0;
    MaskStore::parseNumber(subZero.defaultvalue, count);
    mpdo = pdoType != Srdo && (count == samMode || count == damMode);
    // An MPDO's sub-index 0 is its mode, not a count: its entries are the sub-indices
    // that exist.
    const QList<quint8> subs = db.getSubIndices(line, index, 1);
    for (quint8 sub : subs) {
        if (!mpdo && sub > count)
            break;
        quint32 word = 0;
        MaskStore::parseNumber(db.getSubIndexValue(line, index, sub), word);
        mapped.append(MappingEntry::fromWord(word));
    }
    return true;
}

int PdoMappingTable::usedBits() const
{
    int bits = 0;
    for (const MappingEntry &entry : mapped)
        bits += entry.length;
    return bits;
}

bool PdoMappingTable::refuse(const QString &text, const QString &detail)
{
    refusal = text;
    refusalDetail = detail;
    return false;
}

bool PdoMappingTable::add(const MappingEntry &entry)
{
    refusal.clear();
    refusalDetail.clear();
    if (mpdo && !mapped.isEmpty())
        return refuse(tr("Number of mapped objects exceeds limit."),
                      tr("Only 1 mapped objects is supported by an MPDO."));
    if (mapped.size() >= maxEntries)
        return refuse(tr("Number of mapped objects exceeds limit."),
                      tr("Only 8 mapped objects are supported by a PDO."));
    if (pdoType != Srdo && usedBits() + entry.length > limitBits)
        return refuse(tr("Size of mapped objects exceeds limit."),
                      tr("Only %1 bits are allowed for a PDO.").arg(limitBits));
    mapped.append(entry);
    return true;
}

bool PdoMappingTable::fitsDirection(const ObjectDataBase::SUBINDEX_DATA_T &data) const
{
    switch (pdoType) {
    case Rpdo:
        return data.pdomapping != 4 && isWritable(data.accesstype);
    case Tpdo:
        return data.pdomapping != 3 && isReadable(data.accesstype);
    case Srdo:
        break;
    }
    return isWritable(data.accesstype) || isReadable(data.accesstype);
}

QList<PdoMappingTable::Candidate> PdoMappingTable::candidates(const ObjectDataBase &db,
                                                              quint8 line) const
{
    QList<Candidate> list;
    for (const ObjectDataBase::SubAddress &address : db.getMappableSubs(line, 0)) {
        ObjectDataBase::SUBINDEX_DATA_T data;
        if (!db.getSubIndexData(line, address.index, address.subindex, data)
            || !fitsDirection(data))
            continue;
        Candidate candidate;
        candidate.entry.index = address.index;
        candidate.entry.sub = address.subindex;
        candidate.entry.length = DictionaryEditor::mappingLength(data);
        candidate.name =
            Helper::substituteVariables(data.denotation.isEmpty() ? data.name : data.denotation,
                                        address.index, address.subindex);
        candidate.dataType = data.datatype;
        list.append(candidate);
    }
    static const char *const dummyNames[] = {
        QT_TR_NOOP("Dummy BOOLEAN"),   QT_TR_NOOP("Dummy INTEGER8"),
        QT_TR_NOOP("Dummy INTEGER16"), QT_TR_NOOP("Dummy INTEGER32"),
        QT_TR_NOOP("Dummy UNSIGNED8"), QT_TR_NOOP("Dummy UNSIGNED16"),
        QT_TR_NOOP("Dummy UNSIGNED32")};
    for (quint16 type = 1; type <= 7; ++type) {
        Candidate dummy;
        dummy.entry.index = type;
        dummy.entry.length = quint8(Helper::getDataLengthBits(type));
        dummy.name = tr(dummyNames[type - 1]);
        dummy.dataType = type;
        list.append(dummy);
    }
    Candidate empty;
    empty.name = tr("Empty Mapping Entry");
    list.append(empty);
    return list;
}

QString PdoMappingTable::entryName(const ObjectDataBase &db, quint8 line, const MappingEntry &entry)
{
    if (entry.index == 0)
        return tr("Empty Mapping Entry");
    if (entry.isDummy())
        return tr("Dummy Mapping");
    if (!db.existSubIndex(line, entry.index, entry.sub))
        return tr("Object NOT found");
    return Helper::substituteVariables(db.getSubIndexName(line, entry.index, entry.sub, true),
                                       entry.index, entry.sub);
}

bool PdoMappingTable::store(ObjectDataBase *db, quint8 line, quint16 index,
                            const QList<MappingEntry> &entries)
{
    if (!db || !db->existIndex(line, index) || entries.size() > maxEntries)
        return false;
    return MaskStore::inUnit(db, [&] { return writeEntries(db, line, index, entries); });
}

bool PdoMappingTable::writeEntries(ObjectDataBase *db, quint8 line, quint16 index,
                                   const QList<MappingEntry> &entries)
{
    ObjectDataBase::SUBINDEX_DATA_T subZero;
    if (!db->getSubIndexData(line, index, 0, subZero))
        return false;
    ObjectDataBase::SUBINDEX_DATA_T pattern;
    if (!db->getSubIndexData(line, index, 1, pattern))
        pattern.datatype = 7;
    pattern.accesstype =
        subZero.accesstype == QLatin1String("rw") ? QStringLiteral("rw") : QStringLiteral("const");
    QStringList values;
    for (const MappingEntry &entry : entries)
        values.append(QStringLiteral("0x%1").arg(entry.word(), 4, 16, QLatin1Char('0')));
    quint32 mode = 0;
    MaskStore::parseNumber(subZero.defaultvalue, mode);
    const bool keepMode = typeOfIndex(index) != Srdo && (mode == samMode || mode == damMode);
    return MaskStore::writeList(db, line, index, values, pattern, tr("Mapping Entry %1"), keepMode);
}
