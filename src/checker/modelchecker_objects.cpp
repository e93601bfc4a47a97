#include "modelchecker.h"

#include "checker/checkformat.h"
#include "generators/objdictgenerator.h"
#include "panelkit/helper.h"

#include <limits>

using namespace checkformat;

namespace {

bool isPdoMappingIndex(quint16 index)
{
    return (index >= 0x1600 && index <= 0x17FF) || (index >= 0x1A00 && index <= 0x1BFF);
}

// The long name of a data type, or its number for a type without one.
QString dataTypeName(quint16 type)
{
    const QString name = Helper::index2DataTypeString(type);
    return name.isEmpty() ? QStringLiteral("0x%1").arg(type, 4, 16, QLatin1Char('0')) : name;
}

} // namespace

void ModelChecker::checkIndex(quint16 index, bool &modified)
{
    ObjectDataBase::INDEX_DATA_T object;
    if (database)
        database->getIndexData(line, index, object);
    const QList<quint8> subs = subIndices(index);
    if (object.objecttype == CAN::OC_VAR) {
        if (object.name.isEmpty())
            countError(tr("<strong>Error: </strong>Object 0x%1: The object does not have a name. "
                          "(Required for EDS)")
                           .arg(hex4(index)));
        if (subs.size() > 1)
            countError(tr("<strong>Error: </strong>Object 0x%1: The object is a VARIABLE but has "
                          "multiple subindices.")
                           .arg(hex4(index)));
    } else {
        if (subs.isEmpty())
            countError(tr("<strong>Error: </strong>Object 0x%1: This array does not contain any "
                          "sub-indices")
                           .arg(hex4(index)));
        else
            checkSubIndexZero(index, subs.last(), modified);
        if (object.name.isEmpty())
            countError(tr("<strong>Error: </strong>Object 0x%1: The object does not have a name. "
                          "(Required for EDS)")
                           .arg(hex4(index)));
    }
    for (quint8 sub : subs)
        checkSub(index, sub, object.objecttype);
}

// Sub-index 0 of an ARRAY or RECORD holds its highest sub-index, the stack reads it as a
// constant, and the device description must carry it.
void ModelChecker::checkSubIndexZero(quint16 index, quint8 highest, bool &modified)
{
    // Only what was written is reported: an object without sub-index 0 has nothing to
    // correct.
    const qint64 value = signedAuto(subDefault(index, 0));
    if (quint8(value) != highest && checkSub0Required(line, index) && autoCorrect()) {
        SubData zero;
        if (database && database->getSubIndexData(line, index, 0, zero)) {
            zero.defaultvalue = QString::number(highest);
            if (writeSub(index, 0, zero)) {
                report(tr("<i>Corrected: Object 0x%1</i>: The value of subindex 0 does not fit "
                          "to the highest subindex.")
                           .arg(hex4(index)));
                modified = true;
            }
        }
    }
    SubData zero;
    if (!database || !database->getSubIndexData(line, index, 0, zero))
        return;
    const bool required = checkSub0Required(line, index);
    if (!zero.defaultineds && required)
        countError(tr("<strong>Error: </strong>Object 0x%1-0:The 'default value' flag must be "
                      "set for this subindex.")
                       .arg(hex4(index)));
    if (zero.implementation != 1 && zero.implementation != 3 && required && autoCorrect()
        && zero.accesstype == QLatin1String("const")) {
        SubData corrected = zero;
        corrected.implementation = 1;
        if (writeSub(index, 0, corrected)) {
            report(tr("<i>Corrected: Object 0x%1-0</i>:'Managed Const' is used as "
                      "implementation type for this subindex.")
                       .arg(hex4(index)));
            modified = true;
        }
    }
    if (!defaultGoesToEds(zero))
        report(tr("Warning: Object 0x%1-0:The defaultvalue of this subindex should be written "
                  "into the EDS/XDD file.")
                   .arg(hex4(index)));
}

bool ModelChecker::checkSub0Required(quint8 onLine, quint16 index)
{
    if (index == 0x1003)
        return false;
    if (!isPdoMappingIndex(index))
        return true;
    if (isDynamicMapping(onLine, index))
        return false;
    // 254 and 255 mark MPDO mappings, whose sub-index 0 follows other rules.
    SubData zero;
    if (database)
        database->getSubIndexData(onLine, index, 0, zero);
    return quint8(unsignedAuto(zero.defaultvalue)) < 254;
}

bool ModelChecker::isDynamicMapping(quint8 onLine, quint16 index)
{
    SubData zero;
    return database && database->getSubIndexData(onLine, index, 0, zero)
           && zero.accesstype == QLatin1String("rw");
}

void ModelChecker::checkSub(quint16 index, quint8 subIndex, quint8 objectType)
{
    const SubData data = subData(index, subIndex);
    const QString i = hex4(index);
    const QString s = hex2(subIndex);
    if (!limitCheckEnabled && data.limitineds && index > 0x0FFF)
        report(tr("Warning: Object 0x%1-0x%2: Limit Check is activated, but it is deactivated in "
                  "the global settings.")
                   .arg(i, s));
    if ((objectType == CAN::OC_ARRAY || objectType == CAN::OC_RECORD) && data.name.isEmpty())
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The object does not have a name. "
                      "(Required for EDS)")
                       .arg(i, s));
    if (data.implementation == 2) {
        if (data.varname.isEmpty())
            countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The variable name is "
                          "missing.")
                           .arg(i, s));
        if (data.varname.contains(QLatin1Char(' ')) || data.varname.contains(QLatin1Char(','))
            || data.varname.contains(QLatin1Char(';')))
            countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The variable name contains "
                          "invalid characters like spaces or commas.")
                           .arg(i, s));
    }
    static const QStringList accessTypes = {QStringLiteral("ro"),  QStringLiteral("const"),
                                            QStringLiteral("rw"),  QStringLiteral("rwr"),
                                            QStringLiteral("rww"), QStringLiteral("wo")};
    if (!accessTypes.contains(data.accesstype))
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The access type '%3' is "
                      "invalid. Use ro, rw, const, wo, rww or rwr instead.")
                       .arg(i, s, data.accesstype));
    if (data.implementation == 1 && data.accesstype.contains(QLatin1Char('w')))
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The implementation type is "
                      "Managed Const, but the access type allows write access.")
                       .arg(i, s));
    checkSubDataType(index, subIndex, data);
}

void ModelChecker::checkSubDataType(quint16 index, quint8 subIndex, const SubData &data)
{
    const QString i = hex4(index);
    const QString s = hex2(subIndex);
    switch (data.datatype) {
    case CAN::DT_OCTET_STRING:
        if (data.implementation != 2)
            countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: Only the implementation "
                          "type 'Variable' is possible for octet strings or domains.")
                           .arg(i, s));
        return;
    case CAN::DT_VISIBLE_STRING:
        if (data.implementation == 0)
            countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The implementation type "
                          "'Managed Variable' is not possible for visible strings. Use 'Managed "
                          "Const' or 'Variable' instead.")
                           .arg(i, s));
        return;
    case CAN::DT_UTF8_STRING:
        if (data.implementation == 0)
            countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The implementation type "
                          "'Managed Variable' is not possible for UTF8 strings. Use 'Managed "
                          "Const' or 'Variable' instead.")
                           .arg(i, s));
        checkSubRange(index, subIndex, data);
        return;
    case CAN::DT_DOMAIN:
        return;
    case CAN::DT_INTEGER56:
    case CAN::DT_UNSIGNED56:
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The protocol stack has no "
                      "56-bit data type; the value would be kept and transferred as 8 bytes "
                      "(UNSIGNED64). Use INTEGER64 or UNSIGNED64 instead.")
                       .arg(i, s));
        break;
    default:
        // Types the stack has no table of its own for live in the octet-string arrays.
        if (data.datatype != 0
            && ObjDictGenerator::storedType(data.datatype) == CAN::DT_OCTET_STRING) {
            if (data.implementation != 2)
                countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The protocol stack "
                              "keeps the data type %3 as an octet string; only the "
                              "implementation type 'Variable' is possible for it.")
                               .arg(i, s, dataTypeName(data.datatype)));
            return;
        }
        break;
    }
    QList<QVariant> values{data.defaultvalue};
    if (data.limitineds)
        values << data.lowlimit << data.uplimit;
    if (!checkValues(CAN::CANopenDataType(data.datatype), values))
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The values of the limits or "
                      "defaultvalue does to fit to the datatype.")
                       .arg(i, s));
    if (data.datatype == 0) // no data type at all
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: Unknown or unsupported "
                      "datatype.")
                       .arg(i, s));
    checkSubRange(index, subIndex, data);
}

void ModelChecker::checkSubRange(quint16 index, quint8 subIndex, const SubData &data)
{
    if (!data.limitineds)
        return;
    bool converted = false;
    const qint64 value = signedAuto(data.defaultvalue, &converted);
    // An upper limit of 0x7FFFFF, the INTEGER24 maximum, is exempt from the range check.
    if (converted && (value < data.lowlimit || value > data.uplimit) && data.uplimit != 0x7FFFFF)
        countError(tr("<strong>Error: </strong>Object 0x%1-0x%2: The defaultvalue is not in the "
                      "range of the limits.")
                       .arg(hex4(index), hex2(subIndex)));
}

bool ModelChecker::checkValues(CAN::CANopenDataType type, const QList<QVariant> &values)
{
    qint64 low = 0;
    qint64 high = std::numeric_limits<qint64>::max();
    switch (type) {
    case CAN::DT_BOOLEAN:
        high = 1;
        break;
    case CAN::DT_INTEGER8:
        low = -128;
        high = 127;
        break;
    case CAN::DT_INTEGER16:
        low = -32768;
        high = 32767;
        break;
    case CAN::DT_INTEGER32:
        low = std::numeric_limits<qint32>::min();
        high = std::numeric_limits<qint32>::max();
        break;
    case CAN::DT_UNSIGNED8:
        high = 255;
        break;
    case CAN::DT_UNSIGNED16:
        high = 65535;
        break;
    case CAN::DT_UNSIGNED32:
        high = 4294967295LL;
        break;
    case CAN::DT_REAL32:
        low = std::numeric_limits<qint32>::min();
        break;
    case CAN::DT_INTEGER24:
        low = -8388608;
        high = 8388607;
        break;
    default:
        break;
    }
    for (const QVariant &value : values) {
        const qint64 number = value.toLongLong();
        if (number < low || number > high)
            return false;
    }
    return true;
}
