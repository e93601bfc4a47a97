#pragma once

#include "database/objectdatabase.h"

#include <QString>

// Creates or rewrites one PDO: its communication object (0x1400.. receive, 0x1800..
// transmit) and its mapping object (communication index + 0x200).
class PdoConfigurator
{
public:
    // The optional entries of the communication object: present when set.
    struct Options
    {
        bool inhibitTime = false;
        bool eventTimer = false;
        bool syncStart = false;
    };

    static bool isReceive(quint16 commIndex) { return commIndex < 0x1800; }
    // The COB-ID a new PDO starts with: the pre-defined connection set for the first four
    // PDOs of each direction ("$NODEID+0x180" for TPDO 1 ...), "0x80000000" (disabled)
    // for every other one.
    static QString defaultCobId(quint16 commIndex);
    // The first communication index of the range (0x1400 or 0x1800) whose communication
    // and mapping objects are both free; 0 when the range is full.
    static quint16 nextFreePdo(const ObjectDataBase &db, quint8 line, bool receive);

    // mapping is "static", "dynamic", "SAM" or "DAM"; count the number of mapping entries
    // of a static or dynamic mapping. An existing COB-ID and existing mapping entries are
    // kept; everything as one unit.
    static bool configure(ObjectDataBase *db, quint8 line, quint16 commIndex,
                          const QString &mapping, quint8 count, const Options &options);

private:
    static bool writeCommObject(ObjectDataBase *db, quint8 line, quint16 commIndex,
                                const Options &options);
    static bool writeMappingObject(ObjectDataBase *db, quint8 line, quint16 mapIndex, bool receive,
                                   const QString &mapping, quint8 count);
    static bool putEntry(ObjectDataBase *db, quint8 line, quint16 index, quint8 sub,
                         const QString &name, quint16 type, const QString &access,
                         const QString &value, bool keepValue);
};
