#include "srdoconfiguration.h"

#include "maskstore.h"

#include <QtEndian>

namespace {

constexpr quint16 commBase = 0x1300;
constexpr quint16 mapBase = 0x1380;
constexpr quint16 signatureIndex = 0x13FF;
constexpr int maxSrdos = 64;

template <typename T>
void appendLittleEndian(QByteArray &bytes, T value)
{
    for (unsigned int byte = 0; byte < sizeof(T); ++byte)
        bytes.append(char((value >> (8 * byte)) & 0xFF));
}

} // namespace

quint16 SrdoConfiguration::crcCcitt(const QByteArray &bytes, quint16 start)
{
    quint16 crc = start;
    for (const char byte : bytes) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QList<int> SrdoConfiguration::srdoNumbers(quint8 line) const
{
    QList<int> numbers;
    for (int srdo = 1; srdo <= maxSrdos; ++srdo) {
        if (db->existIndex(line, commBase + srdo) && db->existIndex(line, mapBase + srdo))
            numbers.append(srdo);
    }
    return numbers;
}

bool SrdoConfiguration::refuse(const QString &reason)
{
    title = tr("Cannot be calculated");
    error = reason;
    return false;
}

bool SrdoConfiguration::cobId(quint8 line, quint16 index, quint8 sub, quint32 &value)
{
    const QString text = db->getSubIndexValue(line, index, sub);
    value = 0;
    if (text.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive)
        || !MaskStore::parseNumber(text, value) || value == 0)
        return refuse(tr("Either a COB-ID is 0 or contains a formular with the node-Id"));
    return true;
}

bool SrdoConfiguration::signatureBytes(quint8 line, int srdo, QByteArray &bytes)
{
    bytes.clear();
    const quint16 comm = quint16(commBase + srdo);
    const quint16 map = quint16(mapBase + srdo);
    quint32 cob1 = 0;
    quint32 cob2 = 0;
    if (!cobId(line, comm, 5, cob1) || !cobId(line, comm, 6, cob2))
        return false;
    const quint8 count = quint8(MaskStore::numberValue(*db, line, map, 0));
    appendLittleEndian(bytes, quint8(MaskStore::numberValue(*db, line, comm, 1)));
    appendLittleEndian(bytes, quint16(MaskStore::numberValue(*db, line, comm, 2)));
    appendLittleEndian(bytes, quint8(MaskStore::numberValue(*db, line, comm, 3)));
    appendLittleEndian(bytes, cob1);
    appendLittleEndian(bytes, cob2);
    appendLittleEndian(bytes, count);
    for (quint8 sub = 1; sub <= count; ++sub) {
        appendLittleEndian(bytes, sub);
        appendLittleEndian(bytes, MaskStore::numberValue(*db, line, map, sub));
    }
    return true;
}

bool SrdoConfiguration::signature(quint8 line, int srdo, quint16 &crc)
{
    QByteArray bytes;
    if (!signatureBytes(line, srdo, bytes))
        return false;
    crc = crcCcitt(bytes);
    return true;
}

bool SrdoConfiguration::storeSignatures(quint8 line)
{
    QList<QPair<int, quint16>> signatures;
    for (int srdo : srdoNumbers(line)) {
        quint16 crc = 0;
        if (!signature(line, srdo, crc))
            return false;
        if (!db->existSubIndex(line, signatureIndex, quint8(srdo))) {
            title = tr("Signature");
            error = tr("Object 0x13FF has no entry for SRDO %1.").arg(srdo);
            return false;
        }
        signatures.append({srdo, crc});
    }
    const bool stored = MaskStore::inUnit(db, [&] {
        for (const auto &entry : signatures) {
            if (!MaskStore::setValue(
                    db, line, signatureIndex, quint8(entry.first),
                    QStringLiteral("0x%1").arg(entry.second, 4, 16, QLatin1Char('0'))))
                return false;
        }
        return true;
    });
    if (!stored) {
        title = tr("Signature");
        error = tr("The signatures could not be stored.");
    }
    return stored;
}

bool SrdoConfiguration::addSignatureEntry(const ObjectDataBase &templateDb, quint8 line, int srdo)
{
    for (quint16 index : {quint16(0x13FE), signatureIndex}) {
        if (!db->existIndex(line, index)
            && !db->copyIndexFromDatabase(&templateDb, 0, index, line, index, true))
            return false;
    }
    ObjectDataBase::SUBINDEX_DATA_T entry;
    if (!db->existSubIndex(line, signatureIndex, quint8(srdo))) {
        if (!db->getSubIndexData(line, signatureIndex, 1, entry)) {
            entry.datatype = 6;
            entry.accesstype = QStringLiteral("rw");
        }
        entry.name = tr("Checksum SRDO %1").arg(srdo);
        entry.defaultvalue = QStringLiteral("0");
        if (!db->addSubIndex(line, signatureIndex, quint8(srdo), entry))
            return false;
    }
    const QList<quint8> subs = db->getSubIndices(line, signatureIndex, 1);
    return MaskStore::setValue(db, line, signatureIndex, 0,
                               QString::number(subs.isEmpty() ? 0 : subs.last()));
}

int SrdoConfiguration::createSrdo(const ObjectDataBase &templateDb, quint8 line, bool receive)
{
    int srdo = 1;
    while (srdo <= maxSrdos
           && (db->existIndex(line, commBase + srdo) || db->existIndex(line, mapBase + srdo)))
        ++srdo;
    if (srdo > maxSrdos) {
        title = tr("SRDO");
        error = tr("Every SRDO of the line is in use.");
        return 0;
    }
    const quint16 comm = quint16(commBase + srdo);
    const quint16 map = quint16(mapBase + srdo);
    const bool first = srdo == 1;
    const bool done = MaskStore::inUnit(db, [&] {
        return db->copyIndexFromDatabase(&templateDb, 0, commBase + 1, line, comm, true)
               && db->copyIndexFromDatabase(&templateDb, 0, mapBase + 1, line, map, true)
               && MaskStore::setValue(db, line, comm, 1, receive ? "2" : "1")
               && MaskStore::setValue(db, line, comm, 5,
                                      first ? "0xff + 2 * $NODEID" : "0x80000000")
               && MaskStore::setValue(db, line, comm, 6,
                                      first ? "0x100 + 2 * $NODEID" : "0x80000000")
               && addSignatureEntry(templateDb, line, srdo);
    });
    if (!done) {
        title = tr("SRDO");
        error = tr("SRDO Database failed");
        return 0;
    }
    return srdo;
}
