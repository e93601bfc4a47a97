#pragma once

#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// One entry of a PDO or SRDO mapping: the CANopen mapping word split into the mapped
// object's index (bits 31..16), sub-index (bits 15..8) and length in bits (bits 7..0).
struct MappingEntry
{
    quint16 index = 0;
    quint8 sub = 0;
    quint8 length = 0;

    quint32 word() const { return quint32(index) << 16 | quint32(sub) << 8 | length; }
    static MappingEntry fromWord(quint32 word);
    // Index 1..7 names a data type: a gap of that type's size in the PDO.
    bool isDummy() const { return index >= 1 && index <= 7; }
    bool isEmpty() const { return word() == 0; }
    bool operator==(const MappingEntry &other) const { return word() == other.word(); }
};

// The mapping of one PDO (or SRDO) as the mapping mask edits it: the entries in their
// order, the rules that refuse an addition, and the one function that writes a changed
// list back to the store. A refused addition changes nothing.
class PdoMappingTable
{
    Q_DECLARE_TR_FUNCTIONS(PdoMappingTable)

public:
    enum PdoType { Rpdo = 0, Tpdo = 1, Srdo = 2 };

    // An object that may be added, as the mappable list shows it.
    struct Candidate
    {
        MappingEntry entry;
        QString name;
        quint16 dataType = 0;
    };

    explicit PdoMappingTable(PdoType type);

    // The kind of PDO a mapping object belongs to by its index.
    static PdoType typeOfIndex(quint16 index);

    // Reads the entries of the mapping object and the PDO size limit of the project.
    bool load(const ObjectDataBase &db, quint8 line, quint16 index);

    PdoType type() const { return pdoType; }
    // Sub-index 0 is 0xFE (SAM) or 0xFF (DAM): a multiplexed PDO with a single entry.
    bool isMpdo() const { return mpdo; }
    // Dynamic mapping: sub-index 0 may be written ("rw").
    bool isDynamic() const { return dynamic; }
    // 64 bits, 512 with CAN FD.
    int sizeLimit() const { return limitBits; }
    int usedBits() const;
    QList<MappingEntry> entries() const { return mapped; }
    void setEntries(const QList<MappingEntry> &entries) { mapped = entries; }

    // Appends the entry unless a rule refuses it; then text() and informativeText() say
    // why and the list is unchanged.
    bool add(const MappingEntry &entry);
    QString title() const { return tr("PDO Mapping"); }
    QString text() const { return refusal; }
    QString informativeText() const { return refusalDetail; }

    // The objects of the line that fit this kind of PDO, then the dummy entries and the
    // empty entry.
    QList<Candidate> candidates(const ObjectDataBase &db, quint8 line) const;
    // What the mapped list shows for an entry: the object's name, "Dummy Mapping",
    // "Empty Mapping Entry" or "Object NOT found".
    static QString entryName(const ObjectDataBase &db, quint8 line, const MappingEntry &entry);

    // Writes the entries to sub-indices 1..n of the mapping object (creating missing ones
    // as copies of sub-index 1), sets sub-index 0 to n (an MPDO keeps its 0xFE / 0xFF) and
    // deletes the sub-indices above n, as one unit: all of it or, on a failure, nothing.
    static bool store(ObjectDataBase *db, quint8 line, quint16 index,
                      const QList<MappingEntry> &entries);

private:
    static bool writeEntries(ObjectDataBase *db, quint8 line, quint16 index,
                             const QList<MappingEntry> &entries);
    bool refuse(const QString &text, const QString &detail);
    bool fitsDirection(const ObjectDataBase::SUBINDEX_DATA_T &data) const;

    PdoType pdoType;
    bool mpdo = false;
    bool dynamic = false;
    int limitBits = 64;
    QList<MappingEntry> mapped;
    QString refusal;
    QString refusalDetail;
};
