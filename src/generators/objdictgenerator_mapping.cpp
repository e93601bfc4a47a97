#include "generators/objdictgenerator.h"

#include "panelkit/helper.h"

#include "generators/generatedtext.h"

namespace {

// Members of od_data_variables in the order of the stack's structure; the entries
// starting with '#' are preprocessor lines around the optional members.
const char *const dataVariables[] = {
    "od_const_u8",
    "od_const_u16",
    "od_const_u32",
    "od_const_r32",
    "#ifdef CO_EXTENDED_DATA_TYPES\n",
    "od_const_u24",
    "od_const_u40",
    "od_const_u48",
    "od_const_u64",
    "#endif\n",
    "od_u8",
    "od_u16",
    "od_u32",
    "od_r32",
    "#ifdef CO_EXTENDED_DATA_TYPES\n",
    "od_u24",
    "od_u40",
    "od_u48",
    "od_u64",
    "#endif\n",
    "od_const_i8",
    "od_const_i16",
    "od_const_i32",
    "od_const_i24",
    "od_i8",
    "od_i16",
    "od_i32",
    "od_i24",
    "od_ptr_u8",
    "od_ptr_u16",
    "od_ptr_u32",
    "#ifdef CO_EXTENDED_DATA_TYPES\n",
    "od_ptr_u24",
    "od_ptr_u40",
    "od_ptr_u48",
    "od_ptr_u64",
    "#endif\n",
    "od_ptr_i8",
    "od_ptr_i16",
    "od_ptr_i32",
    "od_ptr_i24",
    "od_ptr_r32",
    "od_const_vis_string",
    "od_const_vis_string_len",
    "od_vis_string",
    "od_vis_string_len",
    "od_vis_string_actLen",
    "#ifdef CO_UTF8_DATA_TYPE\n",
    "od_const_utf8_string",
    "od_const_utf8_string_len",
    "od_utf8_string",
    "od_utf8_string_len",
    "od_utf8_string_actLen",
    "#endif\n",
    "od_octet_string",
    "od_octet_string_len",
    "od_octet_string_actLen",
    "od_domain",
    "od_domain_len",
    "od_domain_actLen",
};

} // namespace

void ObjDictGenerator::createMappingTables(GeneratedText &out)
{
    out << "\n/* static PDO mapping tables */\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        const LineEntry &entry = odLines[line];
        for (quint16 index : entry.indicesIn(0x1800, 0x19FF)) {
            if (isStaticMapping(line, index))
                writeMappingTable(out, line, index, true);
        }
        for (quint16 index : entry.indicesIn(0x1400, 0x15FF)) {
            if (isStaticMapping(line, index))
                writeMappingTable(out, line, index, false);
        }
    }
}

// One mapping table, filled up to the largest mapping count of the project. A receive
// mapping shared between the lines of a multi-line project is written once, with the
// transmit PDO of every line that sends each entry.
void ObjDictGenerator::writeMappingTable(GeneratedText &out, quint8 line, quint16 commIndex,
                                         bool transmit)
{
    const quint16 mapIndex = quint16(commIndex + 0x200);
    const int number = transmit ? commIndex - 0x17FF : commIndex - 0x13FF;
    const bool shared = !transmit && isMultiLineForm() && isSharedMapping(line, mapIndex);
    if (shared && sharedRpdoTables.contains(commIndex))
        return;
    if (shared)
        out << "/* unique rpdo defintion */\n";
    else
        out << (transmit ? "/* Mapping table TPDO " : "/* Mapping table RPDO ") << number << "*/\n";
    const quint32 count = mappingValue(line, mapIndex, 0);
    if (count == 0)
        return;
    const QString name = lineTableName(line, commIndex, transmit);
    if (transmit) {
        out << "static CO_CONST PDO_TR_MAP_TABLE_T CO_CONST_STORAGE_CLASS\t" << name << " = {\n"
            << "\t(UNSIGNED8)" << count << "u,\n";
    } else {
        out << "static CO_CONST PDO_REC_MAP_TABLE_T CO_CONST_STORAGE_CLASS\t" << name << " = {\n"
            << "\t" << count << ",\n";
    }
    out << "\t{\n";
    const int entries = mappingCount(line, mapIndex);
    for (int sub = 1; sub <= entries; ++sub) {
        const quint32 value = mappingValue(line, mapIndex, quint8(sub));
        QString tpdoField;
        if (shared) {
            QStringList numbers;
            for (quint8 other : qAsConst(odLineNumbers))
                numbers << QString::number(getTPDO(other, value));
            tpdoField = QLatin1Char('{') + numbers.join(QLatin1Char(',')) + QLatin1Char('}');
        }
        out << mappingEntry(line, value, tpdoField);
    }
    const QString filler = shared ? QStringLiteral("\t\t{NULL, (UNSIGNED8)0u, CO_FALSE, 0ul,}")
                                  : QStringLiteral("\t\t{NULL, (UNSIGNED8)0u, CO_FALSE, 0ul}");
    if (maxMappingEntries > entries) {
        QStringList fillers;
        for (int i = entries; i < maxMappingEntries; ++i)
            fillers << filler;
        out << fillers.join(QStringLiteral(",\n")) << "\n";
    }
    out << "\t}\n"
        << "};\n";
    writtenMapTables.insert(name);
    if (shared)
        sharedRpdoTables.insert(commIndex, name);
}

QString ObjDictGenerator::mappingEntry(quint8 line, quint32 value, const QString &tpdoField) const
{
    const quint16 index = quint16(value >> 16);
    const quint8 sub = quint8((value >> 8) & 0xFF);
    const quint32 length = bitwiseMapping ? (value & 0xFF) : ((value >> 3) & 0x1F);
    const SubEntry *mapped = findSub(line, index, sub);
    const quint16 datatype = mapped ? mapped->data.datatype : 0;
    const bool numeric = datatype < CAN::DT_VISIBLE_STRING || datatype == CAN::DT_INTEGER24;
    QString text = QStringLiteral("\t\t{") + getObjectAddress(line, index, sub)
                   + QStringLiteral(", %1u, ").arg(length)
                   + (numeric ? QStringLiteral("CO_TRUE") : QStringLiteral("CO_FALSE"))
                   + QStringLiteral(", 0x%1UL").arg(value, 8, 16, QLatin1Char('0'));
    if (!tpdoField.isEmpty())
        text += QStringLiteral(", ") + tpdoField;
    return text + QStringLiteral(" },\n");
}

QString ObjDictGenerator::getObjectAddress(quint8 line, quint16 index, quint8 sub) const
{
    const SubEntry *entry = findSub(line, index, sub);
    if (!entry)
        return QStringLiteral("NULL");
    const auto &data = entry->data;
    const quint32 key = subKey(line, index, sub, data.sharedlines);
    const QString type = valueArrayType(data.datatype);
    switch (data.implementation) {
    case 1:
        return QStringLiteral("&od_const_%1[%2]").arg(type).arg(constPositions.value(key, 0));
    case 0:
        return QStringLiteral("&od_%1[%2]").arg(type).arg(varPositions.value(key, 0));
    case 2: {
        const QString name = Helper::substituteVariables(data.varname, index, sub).trimmed();
        return name.contains(QLatin1Char('(')) ? name : QStringLiteral("&(%1)").arg(name);
    }
    default:
        return QStringLiteral("0");
    }
}

// Number of the transmit PDO of a line that sends the mapping entry value; the last
// match wins, 0 when none.
int ObjDictGenerator::getTPDO(quint8 line, quint32 value) const
{
    const auto found = odLines.constFind(line);
    if (found == odLines.constEnd())
        return 0;
    int pdo = 0;
    for (quint16 index : found->indicesIn(0x1A00, 0x1BFF)) {
        for (const SubEntry &sub : found->find(index)->subs) {
            if (sub.sub >= 1 && mappingValue(line, index, sub.sub) == value)
                pdo = index - 0x19FF;
        }
    }
    return pdo;
}

// Static and dynamic mappings are told apart by the store (by the access of the mapping
// object's first sub-indices).
bool ObjDictGenerator::isStaticMapping(quint8 line, quint16 commIndex) const
{
    const ObjectDataBase *db = dataBase();
    return db && db->isMappingStatic(line, commIndex);
}

bool ObjDictGenerator::isSharedMapping(quint8 line, quint16 mapIndex) const
{
    const SubEntry *entry = findSub(line, mapIndex, 0);
    return entry && entry->data.sharedlines;
}

quint32 ObjDictGenerator::mappingValue(quint8 line, quint16 mapIndex, quint8 sub) const
{
    const SubEntry *entry = findSub(line, mapIndex, sub);
    if (!entry)
        return 0;
    quint64 u = 0;
    qint64 s = 0;
    parseInteger(entry->data.defaultvalue, u, s);
    return quint32(u);
}

// Entries a mapping table lists: the mapping count, or only the first entry of a count
// above 64 (multiplexed PDOs).
int ObjDictGenerator::mappingCount(quint8 line, quint16 mapIndex) const
{
    const quint32 count = mappingValue(line, mapIndex, 0);
    return count > 64 ? 1 : int(count);
}

// "mapTableTPDO" or "mapTableRPDO", the line's letter in multi-line form and the number.
QString ObjDictGenerator::lineTableName(quint8 line, quint16 commIndex, bool transmit) const
{
    const int number = transmit ? commIndex - 0x17FF : commIndex - 0x13FF;
    return QLatin1String(transmit ? "mapTableTPDO" : "mapTableRPDO") + tableSuffix(line)
           + QString::number(number);
}

// The table a PDO start refers to; empty when none was written for it. A shared receive
// mapping has the table of the line that wrote it.
QString ObjDictGenerator::mappingTableName(quint8 line, quint16 commIndex, bool transmit) const
{
    QString name = sharedRpdoTables.value(commIndex);
    if (transmit || name.isEmpty() || !isSharedMapping(line, quint16(commIndex + 0x200)))
        name = lineTableName(line, commIndex, transmit);
    return writtenMapTables.contains(name) ? name : QString();
}

// One member per array; an array that was not written is NULL.
void ObjDictGenerator::initDataTypeStructure(GeneratedText &out)
{
    out << "CO_CONST CO_OD_DATA_VARIABLES_T od_data_variables = {\n";
    bool first = true;
    for (const char *item : dataVariables) {
        if (item[0] == '#') {
            out << item;
            continue;
        }
        const QString name = QLatin1String(item);
        out << (first ? "   " : "    , ");
        if (writtenArrays.contains(name))
            out << "&" << name << "[0]\n";
        else
            out << "NULL\n";
        first = false;
    }
    out << "};\n"
        << "\n";
}
