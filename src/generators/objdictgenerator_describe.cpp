#include "generators/objdictgenerator.h"

#include "panelkit/helper.h"

#include "generators/generatedtext.h"

namespace {

bool inRange(quint16 index, quint16 first, quint16 last)
{
    return index >= first && index <= last;
}

// Service suffix of the implementation data type; the first matching rule wins.
QString serviceSuffix(quint16 index, quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &data)
{
    if (data.implementation == 1)
        return QStringLiteral("_CONST");
    if (index == 0x1005 || index == 0x1006 || index == 0x1019)
        return QStringLiteral("_SYNC");
    if (index == 0x1003 || index == 0x1014 || index == 0x1015 || index == 0x1032
        || (index == 0x1028 && sub > 0))
        return QStringLiteral("_EMCY");
    if (index == 0x100C || index == 0x100D || index == 0x1017 || (index == 0x1016 && sub > 0)
        || (index == 0x1029 && sub == 1))
        return QStringLiteral("_ERRCTRL");
    if ((index == 0x1010 || index == 0x1011) && sub >= 1 && sub <= 3)
        return QStringLiteral("_STORE");
    if (index == 0x1012)
        return QStringLiteral("_TIME");
    if (index == 0x102A)
        return QStringLiteral("_NMT");
    if (inRange(index, 0x1200, 0x127F) && sub > 0)
        return QStringLiteral("_SDO_SERVER");
    if (inRange(index, 0x1280, 0x12FF) && sub > 0)
        return QStringLiteral("_SDO_CLIENT");
    if (index == 0x1300)
        return QStringLiteral("_GFC");
    if ((inRange(index, 0x1301, 0x13F0) && sub > 0) || index == 0x13FE || index == 0x13FF)
        return QStringLiteral("_SRDO");
    if (inRange(index, 0x1400, 0x15FF) && sub > 0)
        return QStringLiteral("_RPDO");
    if (inRange(index, 0x1600, 0x17FF))
        return QStringLiteral("_RMAP");
    if (inRange(index, 0x1800, 0x19FF) && sub > 0)
        return QStringLiteral("_TPDO");
    if (inRange(index, 0x1A00, 0x1BFF))
        return QStringLiteral("_TMAP");
    if (index == 0x1F10 || index == 0x1F11)
        return QStringLiteral("_SRD");
    if (index == 0x1F2C && sub > 0)
        return QStringLiteral("_NETWORK");
    if (inRange(index, 0x1F80, 0x1F82))
        return QStringLiteral("_NMT");
    if (index == 0x1F90)
        return QStringLiteral("_FLYMA");
    if (data.datatype == 0x000F)
        return QString();
    if (data.implementation == 0)
        return QStringLiteral("_VAR");
    if (data.implementation == 2)
        return QStringLiteral("_PTR");
    return QString();
}

// Entries the stack keeps itself and that carry no instance number.
bool stackKeptWithoutInstance(quint16 index, quint8 sub)
{
    switch (index) {
    case 0x1003:
    case 0x1005:
    case 0x1006:
    case 0x100C:
    case 0x100D:
    case 0x1014:
    case 0x1015:
    case 0x1017:
    case 0x1019:
    case 0x1032:
    case 0x102A:
        return true;
    default:
        break;
    }
    if (inRange(index, 0x1301, 0x13FF) || inRange(index, 0x1F80, 0x1F82))
        return true;
    if (sub > 0 && (index == 0x1016 || index == 0x1028 || index == 0x1F90))
        return true;
    if ((index == 0x1010 || index == 0x1011) && sub >= 1 && sub <= 3)
        return true;
    return index == 0x1029 && sub == 1;
}

} // namespace

namespace {

const int implementationTypeWidth = 18;

// The type and the service suffix that follow "CO_DTYPE_".
QString implementationTypeParts(quint16 index, quint8 sub, ObjectDataBase::SUBINDEX_DATA_T &data,
                                QString &suffix)
{
    if (data.datatype == 0x000C)
        data.datatype = 0x0019;
    suffix = serviceSuffix(index, sub, data);
    return ObjDictGenerator::dataTypePart(data.datatype);
}

} // namespace

QString ObjDictGenerator::getImplementationDataType(quint16 index, quint8 sub,
                                                    ObjectDataBase::SUBINDEX_DATA_T &data)
{
    QString suffix;
    const QString type = implementationTypeParts(index, sub, data, suffix);
    return (QStringLiteral("CO_DTYPE_") + type + suffix)
        .leftJustified(implementationTypeWidth, QLatin1Char(' '));
}

void ObjDictGenerator::writeImplementationDataType(GeneratedText &out, quint16 index, quint8 sub,
                                                   ObjectDataBase::SUBINDEX_DATA_T &data)
{
    QString suffix;
    const QString type = implementationTypeParts(index, sub, data, suffix);
    out << QLatin1String("CO_DTYPE_") << type << suffix;
    for (int width = 9 + type.size() + suffix.size(); width < implementationTypeWidth; ++width)
        out << ' ';
}

QString ObjDictGenerator::objectTypeText(quint8 objectType)
{
    switch (objectType) {
    case CAN::OC_VAR:
        return QStringLiteral("CO_ODTYPE_VAR");
    case CAN::OC_DOMAIN:
        return QStringLiteral("CO_ODTYPE_DOM");
    case CAN::OC_ARRAY:
        return QStringLiteral("CO_ODTYPE_ARRAY");
    case CAN::OC_RECORD:
        return QStringLiteral("CO_ODTYPE_STRUCT");
    default:
        return QString();
    }
}

quint16 ObjDictGenerator::storedType(quint16 datatype)
{
    switch (datatype) {
    case CAN::DT_BOOLEAN:
    case CAN::DT_INTEGER8:
    case CAN::DT_INTEGER16:
    case CAN::DT_INTEGER32:
    case CAN::DT_UNSIGNED8:
    case CAN::DT_UNSIGNED16:
    case CAN::DT_UNSIGNED32:
    case CAN::DT_REAL32:
    case CAN::DT_VISIBLE_STRING:
    case CAN::DT_OCTET_STRING:
    case CAN::DT_DOMAIN:
    case CAN::DT_INTEGER24:
    case CAN::DT_UNSIGNED24:
    case CAN::DT_UNSIGNED40:
    case CAN::DT_UNSIGNED48:
    case CAN::DT_UNSIGNED64:
    case CAN::DT_UTF8_STRING:
        return datatype;
    case CAN::DT_TIME_OF_DAY:
    case CAN::DT_TIME_DIFFERENCE:
    case CAN::DT_INTEGER48:
        return CAN::DT_UNSIGNED48;
    case CAN::DT_INTEGER40:
        return CAN::DT_UNSIGNED40;
    case CAN::DT_REAL64:
    case CAN::DT_INTEGER56:
    case CAN::DT_INTEGER64:
    case CAN::DT_UNSIGNED56:
        return CAN::DT_UNSIGNED64;
    case CAN::DT_VIS_STRING_NULL:
    case CAN::DT_VIS_STRING_ASTERIKS:
        return CAN::DT_VISIBLE_STRING;
    default:
        return datatype >= CAN::DT_UNSIGNED2 && datatype <= CAN::DT_UNSIGNED7
                   ? quint16(CAN::DT_UNSIGNED8)
                   : quint16(CAN::DT_OCTET_STRING);
    }
}

QString ObjDictGenerator::dataTypePart(quint16 datatype)
{
    const QString type = Helper::index2DataTypeShortString(storedType(datatype)).toUpper();
    if (type == QLatin1String("D"))
        return QStringLiteral("DOMAIN");
    if (type == QLatin1String("B"))
        return QStringLiteral("BOOL");
    return type;
}

QString ObjDictGenerator::accessAttributes(const QString &accesstype, quint8 pdomapping)
{
    const bool mappable = pdomapping != 0;
    if (accesstype == QLatin1String("const") || accesstype == QLatin1String("ro"))
        return mappable ? QStringLiteral("CO_ATTR_READ | CO_ATTR_MAP_TR")
                        : QStringLiteral("CO_ATTR_READ");
    if (accesstype == QLatin1String("wo"))
        return mappable ? QStringLiteral("CO_ATTR_WRITE | CO_ATTR_MAP_REC")
                        : QStringLiteral("CO_ATTR_WRITE");
    const QString readWrite = QStringLiteral("CO_ATTR_READ | CO_ATTR_WRITE");
    if (!mappable)
        return readWrite;
    if (accesstype == QLatin1String("rwr"))
        return readWrite + QStringLiteral(" | CO_ATTR_MAP_TR");
    if (accesstype == QLatin1String("rww"))
        return readWrite + QStringLiteral(" | CO_ATTR_MAP_REC");
    return readWrite + QStringLiteral(" | CO_ATTR_MAP_TR | CO_ATTR_MAP_REC");
}

QString ObjDictGenerator::getODAttributes(quint16 datatype, const QString &accesstype,
                                          quint8 pdomapping, bool defval, bool limit, bool store,
                                          bool compact)
{
    QString text;
    if (datatype <= 0x0008 || datatype == 0x0016)
        text = QStringLiteral("CO_ATTR_NUM | ");
    text += accessAttributes(accesstype, pdomapping);
    if (defval)
        text += QStringLiteral(" | CO_ATTR_DEFVAL");
    if (limit)
        text += QStringLiteral(" | CO_ATTR_LIMIT");
    if (store)
        text += QStringLiteral(" | CO_ATTR_STORE");
    if (compact)
        text += QStringLiteral(" | CO_ATTR_COMPACT");
    return text;
}

// Value position of an entry that is no constant: the service instance number for the
// entries the stack keeps, else the position in the managed or the pointer array.
quint16 ObjDictGenerator::getReferencePosition(quint8 line, quint16 index,
                                               const SubEntry &sub) const
{
    const quint8 s = sub.sub;
    if (inRange(index, 0x1200, 0x127F) && s > 0)
        return quint16(index - 0x11FF);
    if (inRange(index, 0x1280, 0x12FF) && s > 0)
        return quint16(index - 0x127F);
    if (inRange(index, 0x1400, 0x15FF) && s > 0)
        return quint16(index - 0x13FF);
    if (inRange(index, 0x1600, 0x17FF))
        return quint16(index - 0x15FF);
    if (inRange(index, 0x1800, 0x19FF) && s > 0)
        return quint16(index - 0x17FF);
    if (inRange(index, 0x1A00, 0x1BFF))
        return quint16(index - 0x19FF);
    if (index == 0x1F2C && s > 0)
        return 0x1F2C;
    if (stackKeptWithoutInstance(index, s))
        return 0;
    const quint32 key = subKey(line, index, s, sub.data.sharedlines);
    if (sub.data.implementation == 0)
        return varPositions.value(key, 0);
    if (sub.data.implementation == 2)
        return ptrPositions.value(key, 0);
    return 0;
}

void ObjDictGenerator::describeObjects(GeneratedText &out)
{
    out << "\n/* description of the objects */\n"
        << "CO_CONST CO_OBJECT_DESC_T CO_CONST_STORAGE_CLASS od_description[CO_OBJ_DESC_CNT] "
           "= {\n";
    quint16 written = 0;
    for (quint8 line : qAsConst(odLineNumbers)) {
        for (const IndexEntry &entry : qAsConst(odLines[line].indices)) {
            if (!isAssigned(entry))
                continue;
            descPositions.insert(indexKey(line, entry.index), written);
            for (const SubEntry &sub : entry.subs) {
                if (sub.sub > entry.sameStartSub)
                    break;
                if ((line != 0 && sub.data.sharedlines) || sub.data.implementation == 3)
                    continue;
                describeSubObject(out, line, entry.index, sub, sub.sub == entry.sameStartSub);
                ++written;
            }
        }
    }
    out << "};\n";
}

void ObjDictGenerator::describeSubObject(GeneratedText &out, quint8 line, quint16 index,
                                         const SubEntry &sub, bool compactStart)
{
    ObjectDataBase::SUBINDEX_DATA_T data = sub.data;
    const quint32 key = subKey(line, index, sub.sub, data.sharedlines);
    const quint16 valuePosition = data.implementation == 1 ? constPositions.value(key, 0)
                                                           : getReferencePosition(line, index, sub);
    // Written piece by piece: composing the line as a text first cost several times as much.
    out << QLatin1String("\t{ (UNSIGNED8)") << unsigned(sub.sub) << QLatin1String("u, ");
    writeImplementationDataType(out, index, sub.sub, data);
    out << QLatin1String(", (UNSIGNED16)") << unsigned(valuePosition) << QLatin1String("u, ");
    out << getODAttributes(data.datatype, data.accesstype, data.pdomapping, data.defaultineds,
                           data.limitineds, data.nvstorage, compactStart)
        << QLatin1String(",  (UNSIGNED16)") << unsigned(constPositions.value(key, 0));
    if (limitCheck) {
        out << QLatin1String("u, (UNSIGNED16)") << unsigned(lowLimitPositions.value(key, 0))
            << QLatin1String("u, (UNSIGNED16)") << unsigned(highLimitPositions.value(key, 0));
    }
    char label[labelCapacity];
    out << QLatin1String("u},/* ") << QLatin1String(label, writeLabel(label, line, index, sub.sub))
        << QLatin1String("*/ \n");
}

// An object the stack can find: its sub-index 0 exists and is in this dictionary. The
// sub-indices of any other object could never be reached, so they are not described.
bool ObjDictGenerator::isAssigned(const IndexEntry &entry)
{
    const SubEntry *first = entry.find(0);
    return first && first->data.implementation != 3;
}

// Description entries of an object: its sub-indices up to the start of its compact run,
// without the virtual ones.
int ObjDictGenerator::describedEntries(const IndexEntry &entry, int line) const
{
    int count = 0;
    for (const SubEntry &sub : entry.subs) {
        if (sub.sub > entry.sameStartSub)
            break;
        if (sub.data.implementation != 3 && (line == 0 || !sub.data.sharedlines))
            ++count;
    }
    return count;
}

void ObjDictGenerator::assignObjects(GeneratedText &out)
{
    out << "\n/* object dictionary assignment */\n"
        << "CO_CONST CO_OD_ASSIGN_T CO_CONST_STORAGE_CLASS od_assign[CO_OD_ASSIGN_CNT] = {\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        for (const IndexEntry &entry : qAsConst(odLines[line].indices)) {
            if (isAssigned(entry))
                out << assignIndex(line, entry);
        }
    }
    out << "};\n";
}

QString ObjDictGenerator::assignIndex(quint8 line, const IndexEntry &entry) const
{
    const SubEntry *first = entry.find(0);
    const quint8 descLine = first && first->data.sharedlines ? 0 : line;
    return QStringLiteral("\t{ 0x%1u, %2u, %3u, %4, %5u },\n")
        .arg(entry.index, 4, 16, QLatin1Char('0'))
        .arg(describedEntries(entry))
        .arg(entry.highestSub())
        .arg(objectTypeText(entry.objectType))
        .arg(descPositions.value(indexKey(descLine, entry.index), 0));
}
