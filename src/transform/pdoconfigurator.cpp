#include "pdoconfigurator.h"

#include "maskstore.h"

#include <QCoreApplication>

namespace {

QString trText(const char *text)
{
    return QCoreApplication::translate("PdoConfigurator", text);
}

} // namespace

QString PdoConfigurator::defaultCobId(quint16 commIndex)
{
    const bool receive = isReceive(commIndex);
    const int number = commIndex - (receive ? 0x1400 : 0x1800);
    if (number < 0 || number > 3)
        return QStringLiteral("0x80000000");
    const int base = (receive ? 0x200 : 0x180) + number * 0x100;
    return QStringLiteral("$NODEID+0x%1").arg(base, 0, 16);
}

quint16 PdoConfigurator::nextFreePdo(const ObjectDataBase &db, quint8 line, bool receive)
{
    const quint16 first = receive ? 0x1400 : 0x1800;
    for (quint16 index = first; index < first + 0x200; ++index) {
        if (!db.existIndex(line, index) && !db.existIndex(line, index + 0x200))
            return index;
    }
    return 0;
}

bool PdoConfigurator::configure(ObjectDataBase *db, quint8 line, quint16 commIndex,
                                const QString &mapping, quint8 count, const Options &options)
{
    const bool receive = isReceive(commIndex);
    return MaskStore::inUnit(db, [&] {
        return writeCommObject(db, line, commIndex, options)
               && writeMappingObject(db, line, commIndex + 0x200, receive, mapping, count);
    });
}

bool PdoConfigurator::putEntry(ObjectDataBase *db, quint8 line, quint16 index, quint8 sub,
                               const QString &name, quint16 type, const QString &access,
                               const QString &value, bool keepValue)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    const bool exists = db->getSubIndexData(line, index, sub, data);
    const ObjectDataBase::SUBINDEX_DATA_T before = data;
    if (!exists) {
        data.name = name;
        data.datatype = type;
    }
    data.accesstype = access;
    if (!exists || !keepValue)
        data.defaultvalue = value;
    if (exists && data == before)
        return true;
    return db->addSubIndex(line, index, sub, data);
}

bool PdoConfigurator::writeCommObject(ObjectDataBase *db, quint8 line, quint16 commIndex,
                                      const Options &options)
{
    const bool receive = isReceive(commIndex);
    if (!db->existIndex(line, commIndex)) {
        ObjectDataBase::INDEX_DATA_T object;
        object.name =
            trText(receive ? "RPDO Communication Parameter" : "TPDO Communication Parameter");
        object.objecttype = 9;
        object.datatype = 0x20;
        if (!db->addIndex(line, commIndex, object))
            return false;
    }
    struct Optional
    {
        quint8 sub;
        bool wanted;
        const char *name;
        quint16 type;
    };
    const Optional optionals[] = {{3, options.inhibitTime, "Inhibit Time", 6},
                                  {5, options.eventTimer, "Event Timer", 6},
                                  {6, options.syncStart && !receive, "SYNC Start Value", 5}};
    quint8 highest = 2;
    for (const Optional &optional : optionals) {
        if (!optional.wanted) {
            if (db->existSubIndex(line, commIndex, optional.sub)
                && !db->delSubIndex(line, commIndex, optional.sub))
                return false;
            continue;
        }
        highest = optional.sub;
        if (!putEntry(db, line, commIndex, optional.sub, trText(optional.name), optional.type,
                      QStringLiteral("rw"), QStringLiteral("0"), true))
            return false;
    }
    const QString cobName = trText(receive ? "COB-ID used by RPDO" : "COB-ID used by TPDO");
    return putEntry(db, line, commIndex, 0, trText("Highest Sub-Index Supported"), 5,
                    QStringLiteral("const"), QString::number(highest), false)
           && putEntry(db, line, commIndex, 1, cobName, 7, QStringLiteral("rw"),
                       defaultCobId(commIndex), true)
           && putEntry(db, line, commIndex, 2, trText("Transmission Type"), 5, QStringLiteral("rw"),
                       QStringLiteral("255"), true);
}

bool PdoConfigurator::writeMappingObject(ObjectDataBase *db, quint8 line, quint16 mapIndex,
                                         bool receive, const QString &mapping, quint8 count)
{
    if (!db->existIndex(line, mapIndex)) {
        ObjectDataBase::INDEX_DATA_T object;
        object.name = trText(receive ? "RPDO Mapping Parameter" : "TPDO Mapping Parameter");
        object.objecttype = 9;
        object.datatype = 0x21;
        if (!db->addIndex(line, mapIndex, object))
            return false;
    }
    const bool dam = mapping == QLatin1String("DAM");
    const bool sam = mapping == QLatin1String("SAM");
    const bool dynamic = mapping == QLatin1String("dynamic");
    const QString access = dynamic ? QStringLiteral("rw") : QStringLiteral("const");
    QString subZero = dynamic ? QString::number(count) : QStringLiteral("0");
    if (dam)
        subZero = QStringLiteral("0xff");
    else if (sam)
        subZero = QStringLiteral("0xfe");
    // A receiving destination-address MPDO carries its target in every frame: no entries.
    const int entries = (dam && receive) ? 0 : ((dam || sam) ? 1 : count);
    for (int sub = 1; sub <= entries; ++sub) {
        if (!putEntry(db, line, mapIndex, quint8(sub),
                      QCoreApplication::translate("PdoMappingTable", "Mapping Entry %1").arg(sub),
                      7, access, QStringLiteral("0x00000000"), true))
            return false;
    }
    for (quint8 sub : db->getSubIndices(line, mapIndex, quint8(entries + 1))) {
        if (!db->delSubIndex(line, mapIndex, sub))
            return false;
    }
    return putEntry(db, line, mapIndex, 0, trText("Number of Mapped Application Objects in PDO"), 5,
                    access, subZero, false);
}
