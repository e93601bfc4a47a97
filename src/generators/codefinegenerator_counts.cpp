// Counters of gen_define.h: COB objects of the CANopen lines, and the entries of the
// virtual object dictionary with the section that reports them.
#include "generators/codefinegenerator.h"

#include "database/objectdatabase.h"
#include "generators/generatedtext.h"
#include "generators/objdictgenerator.h"

#include <QSet>

#include <algorithm>

namespace {

const quint16 virtualTypes[] = {0x0005, 0x0006, 0x0007, 0x0002, 0x0003, 0x0004, 0x0008, 0x0016};

qint64 cobNumber(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('u')) || text.endsWith(QLatin1Char('U')))
        text.chop(1);
    return text.trimmed().toLongLong(nullptr, 0);
}

} // namespace

quint32 CoDefineGenerator::getCobCount(quint8 line)
{
    if (line != 0xFF)
        return getLineCobCount(line);
    quint32 sum = 0;
    for (quint8 each : linesBelow8()) {
        if (hasIndex(each, 0x1000))
            sum += getLineCobCount(each);
    }
    return sum;
}

quint32 CoDefineGenerator::getLineCobCount(quint8 line)
{
    qint64 cobs = 0;
    if (canFd)
        cobs += number(QStringLiteral("usdo_client_cnt")) == 0 ? 2 : 4;
    const bool deviceType = hasIndex(line, 0x1000);
    cobs += deviceType ? 2 : 0;
    cobs += hasIndex(line, 0x1014) ? 1 : 0;
    if (hasIndex(line, 0x1028))
        cobs += qMax(subCount(line, 0x1028) - 1, 0);
    const int servers = indexCount(line, 0x1200, 0x127F);
    cobs += servers > 0 ? 2 * servers : (deviceType ? 2 : 0);
    cobs += hasIndex(line, 0x1300) ? 2 : 0;
    cobs += 2 * indexCount(line, 0x1280, 0x12FF);
    cobs += indexCount(line, 0x1A00, 0x1BFF) + indexCount(line, 0x1600, 0x17FF);
    cobs += hasIndex(line, 0x1005) ? 1 : 0;
    const int heartbeats = subCount(line, 0x1016);
    if (heartbeats > 1)
        cobs += number(QStringLiteral("only_one_hb_buffer")) > 0 ? 1 : heartbeats - 1;
    cobs += hasIndex(line, 0x1012) ? 2 : 0;
    cobs += number(QStringLiteral("lss_supported")) > 0 ? 2 : 0;
    cobs += number(QStringLiteral("idnego_supported")) > 0 ? 4 : 0;
    if (hasIndex(line, 0x1F81))
        cobs += subCount(line, 0x1F81, 1);
    cobs += hasIndex(line, 0x1F10) ? 1 : 0;
    cobs += 2 * indexCount(line, 0x1301, 0x137F);
    cobs += additionalCobs(line);
    cobs += (subValue(line, 0x1F80, 0) & 0x20) ? 10 : 0;
    cobs += 2 * number(QStringLiteral("isotp_connection_cnt"));
    const qint64 sleepMode = number(QStringLiteral("sleep_mode_selection"));
    if (sleepMode == 2)
        cobs += 3;
    else if (sleepMode == 1)
        cobs += number(QStringLiteral("nmtmaster")) != 0 ? 16 : 2;
    return quint32(qMax<qint64>(cobs, 0));
}

quint32 CoDefineGenerator::additionalCobs(quint8 line)
{
    // One number for every line, or a list with one entry per line position.
    const QString text = setting(QStringLiteral("additional_cob_count"));
    if (!text.contains(QLatin1Char(',')))
        return quint32(qMax<qint64>(cobNumber(text), 0));
    const QStringList entries = text.split(QLatin1Char(','));
    return line < entries.size() ? quint32(qMax<qint64>(cobNumber(entries.at(line)), 0)) : 0;
}

quint8 CoDefineGenerator::getSameStartSub(quint8 line, quint16 index)
{
    const ObjectDataBase *db = dataBase();
    if (!db || number(QStringLiteral("compact_array_description")) != 1 || index < 0x1200)
        return 0xFF;
    if (subCount(line, index) < 3)
        return 0xFF;
    const QList<quint8> subs = db->getSubIndices(line, index, 1);
    ObjectDataBase::SUBINDEX_DATA_T highest;
    if (subs.isEmpty() || !db->getSubIndexData(line, index, subs.last(), highest))
        return 0xFF;
    int lowest = subs.size() - 1;
    for (int i = subs.size() - 2; i >= 0; --i) {
        ObjectDataBase::SUBINDEX_DATA_T entry;
        if (subs.at(i) + 1 != subs.at(i + 1) || !db->getSubIndexData(line, index, subs.at(i), entry)
            || !ObjDictGenerator::sameArrayContent(entry, highest))
            break;
        lowest = i;
    }
    return lowest < subs.size() - 1 ? subs.at(lowest) : 0xFF;
}

QList<CoDefineGenerator::VirtualEntry> CoDefineGenerator::virtualEntries()
{
    QList<VirtualEntry> entries;
    const ObjectDataBase *db = dataBase();
    if (!db)
        return entries;
    for (quint8 line : dictionaryLines()) {
        const QList<ObjectDataBase::SubAddress> subs =
            db->getSubsByProperty(line, QStringLiteral("implementation"), QStringLiteral("3"));
        for (const ObjectDataBase::SubAddress &sub : subs) {
            if (sub.index >= 0x1000) {
                entries.append({line, sub.index, sub.subindex,
                                db->getSubIndexDatatype(line, sub.index, sub.subindex)});
            }
        }
    }
    return entries;
}

int CoDefineGenerator::countVirtualSubs(const QList<VirtualEntry> &entries, quint16 datatype)
{
    return int(std::count_if(entries.cbegin(), entries.cend(),
                             [datatype](const VirtualEntry &e) { return e.datatype == datatype; }));
}

int CoDefineGenerator::countVirtualIndices(const QList<VirtualEntry> &entries)
{
    QSet<quint32> indices;
    for (const VirtualEntry &entry : entries) {
        if (std::find(std::begin(virtualTypes), std::end(virtualTypes), entry.datatype)
            != std::end(virtualTypes))
            indices.insert(quint32(entry.line) << 16 | entry.index);
    }
    return indices.size();
}

void CoDefineGenerator::countVirtualDictionary(const QList<VirtualEntry> &entries, int &assignCount,
                                               int &descriptionCount)
{
    // Counted as the object dictionary counts its own entries: per object only the
    // sub-indices up to the start of a compact run.
    descriptionCount = 0;
    QSet<quint32> indices;
    for (const VirtualEntry &entry : entries) {
        if (entry.sub > getSameStartSub(entry.line, entry.index))
            continue;
        ++descriptionCount;
        indices.insert(quint32(entry.line) << 16 | entry.index);
    }
    assignCount = indices.size();
}

void CoDefineGenerator::generateVODDefines(GeneratedText &out)
{
    if (multiProtocol)
        return;
    const QList<VirtualEntry> entries = virtualEntries();
    int perType[8] = {};
    int sumOfFirstSeven = 0;
    for (int i = 0; i < 8; ++i) {
        perType[i] = countVirtualSubs(entries, virtualTypes[i]);
        if (i < 7)
            sumOfFirstSeven += perType[i];
    }
    if (sumOfFirstSeven != 0) {
        static const char *const names[] = {"U8", "U16", "U32", "I8", "I16", "I32", "R32", "U24"};
        out << "\n"
            << "#define CO_VIRTUAL_INDEX_CNT " << countVirtualIndices(entries) << "u\n"
            << "/* number of virtual objects */\n";
        for (int i = 0; i < 8; ++i)
            out << "#define CO_VIRTUAL_" << names[i] << "_CNT\t" << perType[i] << "u\n";
        out << "\n";
    }
    int assignCount = 0;
    int descriptionCount = 0;
    countVirtualDictionary(entries, assignCount, descriptionCount);
    if (descriptionCount != 0) {
        out << "#define CO_VOD_ASSIGN_CNT " << assignCount << "u\n"
            << "#define CO_VOBJ_DESC_CNT " << descriptionCount << "u\n";
    }
}
