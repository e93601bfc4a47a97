#include "modelchecker.h"

#include "checker/checkformat.h"
#include "panelkit/helper.h"

#include <QRegularExpression>

using namespace checkformat;

namespace {

// One 32-bit mapping entry: object index in bits 16..31, sub-index in bits 8..15 and,
// for PDOs, the length in bits in bits 0..7. The entry is read as a signed 32-bit number,
// so entries from 0x80000000 up (objects 0x8000 to 0xFFFF, such as a process image, which
// need not exist as objects) read 0 and are not checked.
struct MappingEntry
{
    explicit MappingEntry(const QString &text) : value(quint32(signed32Auto(text, &inRange)))
    {
        bool number = false;
        signedAuto(text, &number);
        beyondSigned32 = number && !inRange;
    }
    quint16 index() const { return quint16(value >> 16); }
    quint8 subIndex() const { return quint8(value >> 8); }
    quint32 length() const { return value & 0xFF; }
    bool inRange = false;
    quint32 value;
    // A number from 0x80000000 up: it names no object that must exist.
    bool beyondSigned32 = false;
};

// Strings and domains have no length of their type; their stored size counts.
quint32 bitLength(const ObjectDataBase::SUBINDEX_DATA_T &data)
{
    switch (data.datatype) {
    case CAN::DT_VISIBLE_STRING:
    case CAN::DT_OCTET_STRING:
    case CAN::DT_DOMAIN:
    case CAN::DT_UTF8_STRING:
        return data.size * 8;
    default:
        return Helper::getDataLengthBits(CAN::CANopenDataType(data.datatype));
    }
}

} // namespace

void ModelChecker::checkPdoMappings(bool &modified)
{
    const QList<quint16> mappings = indices(0x1600, 0x17FF) + indices(0x1A00, 0x1BFF);
    for (quint16 mapping : mappings)
        checkPdoMapping(mapping, modified);
}

void ModelChecker::checkPdoMapping(quint16 mapping, bool &modified)
{
    if (!exists(mapping - 0x200))
        countError(tr("<strong>Error: </strong>Object 0x%1: The corresponding PDO communication "
                      "parameter object 0x%2 does not exist.")
                       .arg(hex4(mapping), hex4(mapping - 0x200)));
    const quint64 entries = unsignedAuto(subDefault(mapping, 0));
    const QList<quint8> subs = subIndices(mapping);
    if (entries <= 64) {
        if (subs.size() < 2)
            countError(tr("<strong>Error: </strong>Object 0x%1: The PDO mapping table does not "
                          "contain any mapped object.")
                           .arg(hex4(mapping)));
        else
            walkMappingEntries(mapping, subs);
    }
    const quint8 count = quint8(entries);
    const int present = subs.size() - (subs.value(0, 1) == 0 ? 1 : 0);
    if (present < count && count <= 64)
        countError(tr("<strong>Error: </strong>Object 0x%1:  Invalid number of mapping entries.")
                       .arg(hex4(mapping)));
    disableEmptyPdo(mapping, count, modified);
}

void ModelChecker::walkMappingEntries(quint16 mapping, const QList<quint8> &subs)
{
    QString access;
    quint64 entries = 0;
    quint32 total = 0;
    for (quint8 sub : subs) {
        const SubData data = subData(mapping, sub);
        if (sub == 0) {
            access = data.accesstype;
            entries = unsignedAuto(data.defaultvalue);
        }
        if (access == QLatin1String("rw"))
            usesDynamicMapping = true;
        if (sub == 0)
            continue;
        if (data.accesstype != access)
            countError(tr("<strong>Error: </strong>Object 0x%1: All subindices of a PDO mapping "
                          "object must have the same access type. (const for static mapping or "
                          "rw for dynamic mapping")
                           .arg(hex4(mapping)));
        const MappingEntry entry(data.defaultvalue);
        if (sub <= entries)
            total += entry.length();
        if (entry.length() >= 1 && entry.length() <= 7)
            usesBitwiseMapping = true;
        // Indices 1 to 7 are the data type entries used as dummies.
        if (entry.index() > 7)
            checkMappedObject(mapping, entry.index(), entry.subIndex(), entry.length());
    }
    if (total > pdoSizeLimit)
        countError(tr("<strong>Error: </strong>Object 0x%1: Size of PDO exceeds the limit. ")
                       .arg(hex4(mapping)));
}

void ModelChecker::checkMappedObject(quint16 mapping, quint16 target, quint8 targetSub,
                                     quint32 length)
{
    const QString m = hex4(mapping);
    const QString t = hex4(target);
    const QString s = hex2(targetSub);
    SubData data;
    if (!database || !database->getSubIndexData(line, target, targetSub, data)) {
        countError(tr("<strong>Error: </strong>Object 0x%1: The mapped object 0x%2:%3 does not "
                      "exist.")
                       .arg(m, t, s));
        return;
    }
    if (data.pdomapping == 0)
        countError(tr("<strong>Error: </strong>Object 0x%1: PDO mapping is not allowed for "
                      "object 0x%2:%3.")
                       .arg(m, t, s));
    const quint32 bits = bitLength(data);
    if (length < bits)
        report(tr("Warning: Object 0x%1: The size of the mapped object 0x%2:%3 is too small.")
                   .arg(m, t, s));
    else if (length > bits)
        countError(tr("<strong>Error: </strong>Object 0x%1: The size of the mapped object "
                      "0x%2:%3 is too large.")
                       .arg(m, t, s));
    const QString &access = data.accesstype;
    if (mapping < 0x1800) {
        if (access == QLatin1String("ro") || access == QLatin1String("const")
            || access == QLatin1String("rwr"))
            countError(tr("<strong>Error: </strong>Object 0x%1: The access right of the mapped "
                          "object 0x%2:%3 does not fit for an RPDO.")
                           .arg(m, t, s));
    } else if (access == QLatin1String("wo") || access == QLatin1String("rww")) {
        countError(tr("<strong>Error: </strong>Object 0x%1: The access right of the mapped "
                      "object 0x%2:%3 does not fit for a TPDO.")
                       .arg(m, t, s));
    }
}

// A dynamically mapped default TPDO without entries would be sent empty; its COB-ID is
// marked invalid instead.
void ModelChecker::disableEmptyPdo(quint16 mapping, quint8 entries, bool &modified)
{
    if (entries != 0 || mapping < 0x1A00 || mapping > 0x1A03 || !isDynamicMapping(line, mapping))
        return;
    const quint16 communication = mapping - 0x200;
    SubData cobId;
    if (!database || !database->getSubIndexData(line, communication, 1, cobId))
        return;
    const QString disabled = disableCob(cobId.defaultvalue);
    if (disabled == cobId.defaultvalue || !autoCorrect())
        return;
    cobId.defaultvalue = disabled;
    if (!writeSub(communication, 1, cobId))
        return;
    report(tr("<i>Corrected: Object 0x%1</i>: The COB-ID of this PDO has been disabled (%2), "
              "because it does not contain active mapping entries.")
               .arg(hex4(communication), disabled));
    modified = true;
}

QString ModelChecker::disableCob(QString cobId)
{
    static const QRegularExpression pattern(QStringLiteral("(\\$nodeid\\+)*(0x[0-9A-Fa-f]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(cobId);
    if (!match.hasMatch())
        return cobId;
    const QString prefix = match.captured(1);
    QString number = match.captured(2);
    const quint64 value = unsignedAuto(number);
    if ((value & 0x80000000u) == 0)
        number = QStringLiteral("0x%1").arg(value | 0x80000000u, 8, 16, QLatin1Char('0'));
    return prefix + number;
}

void ModelChecker::checkPdoCommunication()
{
    const QList<quint16> parameters = indices(0x1400, 0x15FF) + indices(0x1800, 0x19FF);
    for (quint16 parameter : parameters) {
        if (!exists(parameter + 0x200))
            countError(tr("<strong>Error: </strong>Object 0x%1: The corresponding PDO mapping "
                          "object 0x%2 does not exist.")
                           .arg(hex4(parameter), hex4(parameter + 0x200)));
        if (!defaultGoesToEds(subData(parameter, 1)))
            report(tr("<strong>Hint: </strong>Subindex 1 of 0x%2 should have its default value "
                      "in the EDS file.")
                       .arg(hex4(parameter)));
        if (!defaultGoesToEds(subData(parameter, 2)))
            report(tr("<strong>Hint: </strong>Subindex 2 of 0x%2 should have its default value "
                      "in the EDS file.")
                       .arg(hex4(parameter)));
    }
}

void ModelChecker::checkSrdoCommunication()
{
    const QList<quint16> parameters = indices(0x1301, 0x1340);
    for (quint16 parameter : parameters) {
        if (!exists(parameter + 0x80))
            countError(tr("<strong>Error: </strong>Object 0x%1: The corresponding SRDO mapping "
                          "object 0x%2 does not exist.")
                           .arg(hex4(parameter), hex4(parameter + 0x80)));
    }
}

// Every entry mapped into an SRDO must be an application variable.
void ModelChecker::checkSrdoMappings()
{
    const QList<quint16> mappings = indices(0x1381, 0x13BF);
    for (quint16 mapping : mappings) {
        const QList<quint8> subs = subIndices(mapping);
        for (quint8 sub : subs) {
            if (sub == 0)
                continue;
            const MappingEntry entry(subDefault(mapping, sub));
            if (entry.beyondSigned32)
                continue;
            const QString m = hex4(mapping);
            const QString t = hex4(entry.index());
            const QString s = hex2(entry.subIndex());
            SubData target;
            if (!database
                || !database->getSubIndexData(line, entry.index(), entry.subIndex(), target))
                countError(tr("<strong>Error: </strong>Object 0x%1: The object 0x%2:%3 mapped "
                              "into an SRDO does not exist.")
                               .arg(m, t, s));
            else if (target.implementation != 2)
                countError(tr("<strong>Error: </strong>Object 0x%1: The object 0x%2:%3 mapped "
                              "into an SRDO must be an application variable.")
                               .arg(m, t, s));
        }
    }
}

void ModelChecker::checkMappingUse()
{
    if (usesBitwiseMapping) {
        if (granularity == 8)
            report(tr("<strong>Warning: </strong>Bitwise mapping cannot be used with a "
                      "granularity of 8. Correct device description settings or PDO mapping."));
        if (!bitwiseMappingAllowed)
            countError(tr("<strong>Error: </strong>Bitwise mapping not enabled in general "
                          "settings. Correct general settings or PDO mapping."));
    }
    // Reported as an error, but the generation may go on.
    if (usesDynamicMapping && granularity == 0)
        report(tr("<strong>Error: </strong>Dynamic mapping cannot be used with a granularity of "
                  "0. Correct device description settings or PDO mapping."));
}
