#pragma once

#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <type_traits>

// The edits of the object dictionary editor that touch more than the one record a user
// typed into: structural actions on objects and sub-indices, the object clipboard, the
// bulk attribute commands, data-type changes that carry limits and PDO mapping lengths
// along, and entries shared between lines. Every change goes through ObjectDataBase, so
// the pages repaint from its notifications; the window and the command line drive the
// same functions. A refused or failed action returns false (or the "none" value of its
// result) and errorString() says why; nothing was changed then unless stated.
class DictionaryEditor
{
    Q_DECLARE_TR_FUNCTIONS(DictionaryEditor)

public:
    using INDEX_DATA_T = ObjectDataBase::INDEX_DATA_T;
    using SUBINDEX_DATA_T = ObjectDataBase::SUBINDEX_DATA_T;

    // The bulk attribute commands of a segment, applied to every entry of a line.
    enum class BulkCommand {
        SetDefault,
        ClearDefault,
        SetLimitCheck,
        ClearLimitCheck,
        SetDefaultInEds,
        ClearDefaultInEds,
        ManagedVariables
    };

    static constexpr quint8 NoSubIndex = 0xFF;

    explicit DictionaryEditor(ObjectDataBase *database);

    QString errorString() const { return error; }

    // ----- rules ------------------------------------------------------------------------

    static bool isManufacturerIndex(quint16 index);
    // Without expert mode only manufacturer-specific objects may be changed; with it
    // every object except index 0 (nothing selected).
    static bool mayEdit(quint16 index, bool expertMode);
    // PDO mapping parameters: their sub-index 0 counts the active entries, which the user
    // sets, so structural edits leave it alone.
    static bool isMappingObject(quint16 index);
    // Entries whose value the protocol stack keeps itself at run time: the error
    // register, the entries of the error history and the store/restore commands.
    static bool isStackObject(quint16 index, quint8 sub);
    // The name of a new array entry: from the first digit on the name takes the number;
    // a name without digits becomes "Subindex <number>".
    static QString renumberedName(const QString &name, quint8 number);
    // The length a PDO mapping entry gives the entry: its size in bits for strings and
    // domains, else the bit length of its type.
    static quint8 mappingLength(const SUBINDEX_DATA_T &data);
    // Limits of the entry's data type (0 and 0 for types without limits).
    static void applyDefaultLimits(SUBINDEX_DATA_T &data);
    // The project's user lines (below 240), ascending.
    QList<quint8> userLines() const;

    // ----- objects ----------------------------------------------------------------------

    // A new object at a free index: a VAR of the data type, or an ARRAY or RECORD with a
    // sub-index 0 and entries entries of the data type named "<name> 1" and so on.
    bool createObject(quint8 line, quint16 index, const QString &name, quint8 objectType,
                      quint16 dataType, int entries);
    // Deletes the object; an object whose sub-index 0 is shared goes in every line.
    bool deleteIndex(quint8 line, quint16 index);
    // Copies the object to the next free index after it and returns that index (0 when
    // there is none). With sharedLines, a copy of a shared object is made in every other
    // line too, where that index is free.
    quint16 duplicateIndex(quint8 line, quint16 index, bool sharedLines);
    // The one-object clipboard (object 0xF000 of line 254).
    bool copyToClipboard(quint8 line, quint16 index);
    bool cutToClipboard(quint8 line, quint16 index);
    bool hasClipboardObject() const;
    // Pastes the clipboard object at index with every field. An existing object there is
    // replaced only with overwrite.
    bool pasteFromClipboard(quint8 line, quint16 index, bool overwrite);

    // ----- sub-indices ------------------------------------------------------------------

    // Deletes the entry (in every line when it is shared) and sets sub-index 0 to the new
    // highest sub-index.
    bool deleteSub(quint8 line, quint16 index, quint8 sub);
    // Copies the entry of an ARRAY or RECORD to the next free sub-index after it; returns
    // the new sub-index or NoSubIndex.
    quint8 duplicateSub(quint8 line, quint16 index, quint8 sub);
    // Copies the entry to the free sub-index target.
    bool copySubTo(quint8 line, quint16 index, quint8 sub, quint8 target);
    // Free sub-indices 1..254 of the object, ascending.
    QList<quint8> freeSubIndices(quint8 line, quint16 index) const;
    // Moves the entry sub and every higher one up by one (a gap opens at sub) or down by
    // one (closing the gap below sub). Sub-index 0 follows. PDO mapping entries and
    // links that name a moved entry follow it.
    bool shiftSubs(quint8 line, quint16 index, quint8 sub, bool up);
    // Moves one entry to another address, replacing what is there; sub-index 0 of both
    // objects is set to their new highest sub-index.
    bool moveSub(quint8 line, quint16 index, quint8 sub, quint8 dstLine, quint16 dstIndex,
                 quint8 dstSub);
    // "Add SubIndex" of the object editor: a copy of the highest entry at the next
    // number; array entries get a renumbered name. Returns the new sub-index or NoSubIndex.
    quint8 appendSubIndex(quint8 line, quint16 index);

    // ----- attributes -------------------------------------------------------------------

    // Applies the command to every entry of the line that mayEdit allows; returns the
    // number of entries changed.
    int applyBulkCommand(quint8 line, BulkCommand command, bool expertMode);
    // Stores an object record. A new data type is carried to the entries that hold it
    // (sub-index 0 of a VAR, the entries of an ARRAY) with the type's default limits, and
    // to the PDO mapping entries that map them; refused when a default value of such an
    // entry does not fit the new type.
    bool storeIndex(quint8 line, quint16 index, const INDEX_DATA_T &data);
    // Stores an entry the user edited: marks it changed by the user, updates the mapping
    // entries on a data-type change, keeps sub-index 0 of a VAR and its object in step,
    // and with sharedLines copies a shared entry to the other lines. Unchanged data
    // writes nothing.
    bool storeSubIndex(quint8 line, quint16 index, quint8 sub, const SUBINDEX_DATA_T &data,
                       bool sharedLines);
    // Copies the entry to the same address in every other line (with its object where a
    // line lacks it); mapping entries there follow a changed data type.
    int updateSharedSub(quint8 line, quint16 index, quint8 sub);
    // Writes the object and exactly the given sub-indices back (an undo of everything done
    // to the object since the snapshot was taken).
    bool restoreObject(quint8 line, quint16 index, const INDEX_DATA_T &object,
                       const QMap<quint8, SUBINDEX_DATA_T> &subs);
    // Copies the values of entry from (type, default, access, implementation, limits,
    // flags, size) to the entries to, as the overview's "copy values" does.
    int copyEntryValues(quint8 line, quint16 index, quint8 from, const QList<quint8> &to,
                        bool sharedLines);
    // Gives every mapping entry of the line that maps (index, sub) the length bitLength.
    // Returns the number of entries rewritten.
    int updatePDOMapping(quint8 line, quint16 index, quint8 sub, quint8 bitLength);

private:
    // Runs the steps of one action as one unit of writes: it takes effect completely or,
    // when a step fails, not at all.
    template <typename Work>
    auto inUnit(Work work) -> decltype(work());
    static bool succeeded(bool result) { return result; }
    static bool succeeded(quint16 index) { return index != 0; }
    static bool succeeded(quint8 sub) { return sub != NoSubIndex; }
    static bool succeeded(int) { return true; }

    bool refuse(const QString &reason);
    bool objectType(quint8 line, quint16 index, quint8 &type) const;
    bool isSharedObject(quint8 line, quint16 index) const;
    bool setHighestSub(quint8 line, quint16 index);
    bool addToSubZero(quint8 line, quint16 index, int delta);
    bool moveEntry(quint8 line, quint16 index, quint8 from, quint8 to);
    void retargetLinks(quint8 line, quint16 index, quint8 from, quint16 toIndex, quint8 to);
    QList<quint8> carriersOfType(quint8 line, quint16 index, quint8 objectType) const;
    bool writeMappingEntry(quint8 line, ObjectDataBase::SubAddress entry, quint32 word);

    ObjectDataBase *db;
    QString error;
};

template <typename Work>
auto DictionaryEditor::inUnit(Work work) -> decltype(work())
{
    using Result = decltype(work());
    const bool unit = db->beginTransaction();
    const Result result = work();
    if (!unit)
        return result;
    if (!succeeded(result)) {
        db->rollbackTransaction();
        return result;
    }
    if (db->commitTransaction())
        return result;
    refuse(tr("The change could not be stored; the project is as it was before."));
    if constexpr (std::is_same_v<Result, quint8>)
        return Result(NoSubIndex);
    else
        return Result(0);
}
