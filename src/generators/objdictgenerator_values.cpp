#include "generators/objdictgenerator.h"

#include "panelkit/helper.h"

#include "generators/generatedtext.h"

#include <cstring>
#include <qnumeric.h>

namespace {

// Name part of the value arrays that hold a data type ("u8" for od_u8, od_const_u8 and
// od_ptr_u8), by the type that keeps the values (ObjDictGenerator::storedType). Booleans
// live in the UNSIGNED8 arrays.
QString arrayType(quint16 datatype)
{
    switch (ObjDictGenerator::storedType(datatype)) {
    case CAN::DT_BOOLEAN:
    case CAN::DT_UNSIGNED8:
        return QStringLiteral("u8");
    case CAN::DT_UNSIGNED16:
        return QStringLiteral("u16");
    case CAN::DT_UNSIGNED32:
        return QStringLiteral("u32");
    case CAN::DT_INTEGER8:
        return QStringLiteral("i8");
    case CAN::DT_INTEGER16:
        return QStringLiteral("i16");
    case CAN::DT_INTEGER32:
        return QStringLiteral("i32");
    case CAN::DT_REAL32:
        return QStringLiteral("r32");
    case CAN::DT_UNSIGNED24:
        return QStringLiteral("u24");
    case CAN::DT_UNSIGNED40:
        return QStringLiteral("u40");
    case CAN::DT_UNSIGNED48:
        return QStringLiteral("u48");
    case CAN::DT_UNSIGNED64:
        return QStringLiteral("u64");
    case CAN::DT_INTEGER24:
        return QStringLiteral("i24");
    case CAN::DT_VISIBLE_STRING:
        return QStringLiteral("vis_string");
    case CAN::DT_UTF8_STRING:
        return QStringLiteral("utf8_string");
    case CAN::DT_OCTET_STRING:
        return QStringLiteral("octet_string");
    case CAN::DT_DOMAIN:
        return QStringLiteral("domain");
    default:
        return QString();
    }
}

struct NumericArray
{
    const char *type;
    const char *managedHeader;
    const char *constHeader;
    const char *pointerHeader;
    const char *cast; // nullptr: the value is a byte initialiser macro
    const char *suffix;
    int bits;
    bool isSigned;
};

// The numeric arrays in the order of the managed-variable section.
const NumericArray numericArrays[] = {
    {"u8", "static UNSIGNED8 CO_STORAGE_CLASS\tod_u8[",
     "static CO_CONST UNSIGNED8 CO_CONST_STORAGE_CLASS\tod_const_u8[",
     "static UNSIGNED8 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u8[", "(UNSIGNED8)", "u", 8,
     false},
    {"u16", "static UNSIGNED16 CO_STORAGE_CLASS\tod_u16[",
     "static CO_CONST UNSIGNED16 CO_CONST_STORAGE_CLASS\tod_const_u16[",
     "static UNSIGNED16 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u16[", "(UNSIGNED16)", "u", 16,
     false},
    {"u32", "static UNSIGNED32 CO_STORAGE_CLASS\tod_u32[",
     "static CO_CONST UNSIGNED32 CO_CONST_STORAGE_CLASS\tod_const_u32[",
     "static UNSIGNED32 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u32[", "(UNSIGNED32)", "UL", 32,
     false},
    {"i8", "static INTEGER8  CO_STORAGE_CLASS\tod_i8[",
     "static CO_CONST INTEGER8 CO_CONST_STORAGE_CLASS\tod_const_i8[",
     "static INTEGER8  CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_i8[", "(INTEGER8)", "", 8, true},
    {"i16", "static INTEGER16 CO_STORAGE_CLASS\tod_i16[",
     "static CO_CONST INTEGER16 CO_CONST_STORAGE_CLASS\tod_const_i16[",
     "static INTEGER16 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_i16[", "(INTEGER16)", "", 16,
     true},
    {"i32", "static INTEGER32 CO_STORAGE_CLASS\tod_i32[",
     "static CO_CONST INTEGER32 CO_CONST_STORAGE_CLASS\tod_const_i32[",
     "static INTEGER32 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_i32[", "(INTEGER32)", "L", 32,
     true},
    {"r32", "static REAL32 CO_STORAGE_CLASS\tod_r32[",
     "static CO_CONST REAL32 CO_CONST_STORAGE_CLASS\tod_const_r32[",
     "static REAL32 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_r32[", "(REAL32)", "f", 32, true},
    {"u24", "static UNSIGNED24 CO_STORAGE_CLASS\tod_u24[",
     "static CO_CONST UNSIGNED24 CO_CONST_STORAGE_CLASS\tod_const_u24[",
     "static UNSIGNED24 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u24[", nullptr, "", 24, false},
    {"u40", "static UNSIGNED40 CO_STORAGE_CLASS\tod_u40[",
     "static CO_CONST UNSIGNED40 CO_CONST_STORAGE_CLASS\tod_const_u40[",
     "static UNSIGNED40 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u40[", nullptr, "", 40, false},
    {"u48", "static UNSIGNED48 CO_STORAGE_CLASS\tod_u48[",
     "static CO_CONST UNSIGNED48 CO_CONST_STORAGE_CLASS\tod_const_u48[",
     "static UNSIGNED48 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u48[", nullptr, "", 48, false},
    {"u64", "static UNSIGNED64 CO_STORAGE_CLASS\tod_u64[",
     "static CO_CONST UNSIGNED64 CO_CONST_STORAGE_CLASS\tod_const_u64[",
     "static UNSIGNED64 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_u64[", nullptr, "", 64, false},
    {"i24", "static INTEGER24 CO_STORAGE_CLASS\tod_i24[",
     "static CO_CONST INTEGER24 CO_CONST_STORAGE_CLASS\tod_const_i24[",
     "static INTEGER24 CO_CONST_STORAGE_CLASS * CO_CONST \tod_ptr_i24[", nullptr, "", 24, true},
};

const NumericArray *numericArray(const QString &type)
{
    for (const NumericArray &array : numericArrays) {
        if (type == QLatin1String(array.type))
            return &array;
    }
    return nullptr;
}

// Orders of the constant and pointer sections.
const char *const constantOrder[] = {"u8",  "u16", "u32", "u24", "u40", "u48",
                                     "u64", "i8",  "i16", "i24", "i32", "r32"};
const char *const pointerOrder[] = {"u8",  "u16", "u24", "u32", "u40", "u48",
                                    "u64", "i8",  "i16", "i24", "i32", "r32"};

// The text of a number without "$nodeid+" and the blanks around it.
QString plainNumber(const QString &value)
{
    QString text = value;
    text.remove(QStringLiteral("$nodeid+"), Qt::CaseInsensitive);
    return text.trimmed();
}

// A float constant C accepts with the "f" suffix. A hexadecimal value of a REAL32 is the
// bit pattern of the number, as device descriptions write it (0x40490FDB is pi).
QString realText(const QString &value)
{
    const QString text = plainNumber(value);
    bool ok = false;
    double real = text.toDouble(&ok);
    if (!ok && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const quint32 bits = text.mid(2).toUInt(&ok, 16);
        float number = 0.0f;
        std::memcpy(&number, &bits, sizeof number);
        real = ok ? double(number) : 0.0;
        ok = true;
    }
    if (!ok) {
        quint64 u = 0;
        qint64 s = 0;
        ObjDictGenerator::parseInteger(value, u, s);
        real = double(s);
    }
    if (qIsNaN(real) || qIsInf(real))
        real = 0.0;
    QString result = QString::number(real, 'g', 9);
    if (!result.contains(QLatin1Char('.')) && !result.contains(QLatin1Char('e')))
        result += QStringLiteral(".0");
    return result;
}

// The IEEE bit pattern of a REAL64 value; a hexadecimal value is taken as the pattern
// itself, as device descriptions write it. A text that is no number gives 0.
quint64 real64Bits(const QString &value)
{
    bool ok = false;
    const double real = plainNumber(value).toDouble(&ok);
    if (!ok) {
        quint64 u = 0;
        qint64 s = 0;
        ObjDictGenerator::parseInteger(value, u, s);
        return u;
    }
    quint64 bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    return bits;
}

// The element of a numeric array: a tab, then the initialiser of the value (the cast, the
// number in decimal and the suffix, or the byte macro of the types without a native C
// type).
QString numericElement(const NumericArray &array, quint16 datatype, const QString &value)
{
    if (array.cast && qstrcmp(array.type, "r32") == 0)
        return QLatin1Char('\t') + QLatin1String(array.cast) + realText(value)
               + QLatin1String(array.suffix);
    quint64 u = 0;
    qint64 s = 0;
    if (datatype == CAN::DT_REAL64)
        u = real64Bits(value);
    else
        ObjDictGenerator::parseInteger(value, u, s);
    if (!array.cast)
        return QLatin1Char('\t')
               + AbstractGenerator::convertValue(ObjDictGenerator::storedType(datatype), u, s);
    // Written twice for most sub-indices, so it is built in one buffer.
    char text[96];
    int size = 0;
    text[size++] = '\t';
    for (const char *c = array.cast; *c && size < 48; ++c)
        text[size++] = *c;
    bool negative = false;
    if (array.isSigned) {
        negative = s < 0;
        u = negative ? quint64(0) - quint64(s) : quint64(s);
    } else if (array.bits < 64) {
        u &= (quint64(1) << array.bits) - 1;
    }
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative)
        text[size++] = '-';
    while (count > 0)
        text[size++] = digits[--count];
    for (const char *c = array.suffix; *c && size < int(sizeof(text)); ++c)
        text[size++] = *c;
    return QString::fromLatin1(text, size);
}

QString escapedCString(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            result += QLatin1String("\\\\");
            break;
        case '"':
            result += QLatin1String("\\\"");
            break;
        case '\n':
            result += QLatin1String("\\n");
            break;
        case '\r':
            result += QLatin1String("\\r");
            break;
        case '\t':
            result += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                result += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
            else
                result += c;
        }
    }
    return result;
}

} // namespace

QString ObjDictGenerator::valueArrayType(quint16 datatype)
{
    return arrayType(datatype);
}

// Values the stack keeps itself get no managed variable.
bool ObjDictGenerator::stackKeepsValue(quint16 index, quint8 sub)
{
    switch (index) {
    case 0x1005:
    case 0x1006:
    case 0x100C:
    case 0x100D:
    case 0x1012:
    case 0x1017:
    case 0x1019:
    case 0x102A:
    case 0x1300:
    case 0x1F10:
    case 0x1F11:
        return true;
    default:
        break;
    }
    if ((index == 0x1010 || index == 0x1011) && sub >= 1 && sub <= 3)
        return true;
    if (index == 0x1029 && sub == 1)
        return true;
    // Sub-index 0 of 0x1016 counts the consumer times; it is described as a managed
    // variable, so it gets one like sub-index 0 of 0x1028.
    return sub != 0
           && (index == 0x1016 || index == 0x1028 || (index >= 0x1200 && index <= 0x12FF)
               || (index >= 0x1301 && index <= 0x13FF) || (index >= 0x1400 && index <= 0x1BFF));
}

void ObjDictGenerator::defineManagedVariables(GeneratedText &out)
{
    out << "\n/* definition of managed variables */"
        << "\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        for (const IndexEntry &entry : qAsConst(odLines[line].indices)) {
            for (const SubEntry &sub : entry.subs) {
                const auto &data = sub.data;
                if (data.implementation != 0 || data.datatype > CAN::DT_UNSIGNED7
                    || stackKeepsValue(entry.index, sub.sub) || (line != 0 && data.sharedlines))
                    continue;
                const NumericArray *array = numericArray(arrayType(data.datatype));
                if (!array)
                    continue;
                ValueArray &values = arrays[QStringLiteral("od_") + QLatin1String(array->type)];
                varPositions.insert(subKey(line, entry.index, sub.sub, data.sharedlines),
                                    quint16(values.elements.size()));
                values.elements.append(numericElement(*array, data.datatype, data.defaultvalue)
                                       + indexStrFromKey(line, entry.index, sub.sub));
            }
        }
    }
    const QString specifier = setting("static_memory_specifier");
    const QString specifierText =
        specifier.isEmpty() ? QString() : QLatin1Char(' ') + specifier + QLatin1Char(' ');
    const bool initialise = settingNumber("init_static_variables") == 1;
    for (const NumericArray &array : numericArrays) {
        const QString name = QStringLiteral("od_") + QLatin1String(array.type);
        const ValueArray &values = arrays.value(name);
        if (values.elements.isEmpty())
            continue;
        writtenArrays.insert(name);
        out << array.managedHeader << values.elements.size() << "]" << specifierText;
        if (!initialise) {
            out << ";\n";
            continue;
        }
        out << "= {\n" << values.elements.join(QStringLiteral(",\n")) << "\n};\n";
    }
}

quint16 ObjDictGenerator::addConstant(const QString &array, const QString &element)
{
    ValueArray &values = arrays[array];
    const auto found = values.positions.constFind(element);
    if (found != values.positions.constEnd())
        return found.value();
    const quint16 position = quint16(values.elements.size());
    values.positions.insert(element, position);
    values.elements.append(element);
    return position;
}

void ObjDictGenerator::addConstantsOf(quint8 line, quint16 index, const SubEntry &sub)
{
    const auto &data = sub.data;
    const quint32 key = subKey(line, index, sub.sub, data.sharedlines);
    const QString type = arrayType(data.datatype);
    if (const NumericArray *array = numericArray(type)) {
        const QString name = QStringLiteral("od_const_") + type;
        constPositions.insert(
            key, addConstant(name, numericElement(*array, data.datatype, data.defaultvalue)));
        if (limitCheck && data.limitineds && data.accesstype != QLatin1String("const")
            && data.accesstype != QLatin1String("ro")) {
            lowLimitPositions.insert(
                key, addConstant(name, numericElement(*array, data.datatype,
                                                      QString::number(data.lowlimit))));
            highLimitPositions.insert(
                key, addConstant(name, numericElement(*array, data.datatype,
                                                      QString::number(data.uplimit))));
        }
        return;
    }
    if (data.implementation != 1
        || (type != QLatin1String("vis_string") && type != QLatin1String("utf8_string")))
        return;
    const QString name = QStringLiteral("od_const_") + type;
    const int before = arrays.value(name).elements.size();
    const quint16 position =
        addConstant(name, QStringLiteral("\t\"%1\"").arg(escapedCString(data.defaultvalue)));
    if (position == before) {
        arrays[name + QStringLiteral("_len")].elements.append(
            QStringLiteral("\t%1ul").arg(data.defaultvalue.toUtf8().size()));
    }
    constPositions.insert(key, position);
}

void ObjDictGenerator::defineAllConsts(GeneratedText &out)
{
    out << "\n/* definition of constants */"
        << "\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        for (const IndexEntry &entry : qAsConst(odLines[line].indices)) {
            for (const SubEntry &sub : entry.subs)
                addConstantsOf(line, entry.index, sub);
        }
    }
    for (const char *type : constantOrder) {
        writeArray(out, QStringLiteral("od_const_") + QLatin1String(type),
                   QLatin1String(numericArray(QLatin1String(type))->constHeader));
    }
    writeArray(out, QStringLiteral("od_const_vis_string"),
               QStringLiteral("static CO_CONST VIS_STRING CO_CONST_STORAGE_CLASS\t"
                              "od_const_vis_string["));
    writeArray(out, QStringLiteral("od_const_vis_string_len"),
               QStringLiteral("static CO_CONST UNSIGNED32 CO_CONST_STORAGE_CLASS\t"
                              "od_const_vis_string_len["));
    writeArray(out, QStringLiteral("od_const_utf8_string"),
               QStringLiteral("static CO_CONST UTF8_STRING CO_CONST_STORAGE_CLASS\t"
                              "od_const_utf8_string["));
    writeArray(out, QStringLiteral("od_const_utf8_string_len"),
               QStringLiteral("static CO_CONST UNSIGNED32 CO_CONST_STORAGE_CLASS\t"
                              "od_const_utf8_string_len["));
}

// Writes a non-empty array: header, count, elements.
void ObjDictGenerator::writeArray(GeneratedText &out, const QString &name, const QString &header)
{
    const ValueArray &values = arrays.value(name);
    if (values.elements.isEmpty())
        return;
    writtenArrays.insert(name);
    out << header << values.elements.size() << "] = {\n"
        << values.elements.join(QStringLiteral(",\n")) << "\n};\n";
}

void ObjDictGenerator::addApplicationVariable(quint8 line, quint16 index, const SubEntry &sub)
{
    const auto &data = sub.data;
    const QString type = arrayType(data.datatype);
    if (type.isEmpty())
        return;
    const QString name = Helper::substituteVariables(data.varname, index, sub.sub).trimmed();
    const bool expression = name.contains(QLatin1Char('('));
    const quint32 key = subKey(line, index, sub.sub, data.sharedlines);
    if (numericArray(type)) {
        ValueArray &values = arrays[QStringLiteral("od_ptr_") + type];
        ptrPositions.insert(key, quint16(values.elements.size()));
        values.elements.append(expression ? QLatin1Char('\t') + name
                                          : QStringLiteral("\t&(%1)").arg(name));
        return;
    }
    const QString base = QStringLiteral("od_") + type;
    ValueArray &values = arrays[base];
    ptrPositions.insert(key, quint16(values.elements.size()));
    const bool domain = type == QLatin1String("domain");
    const QString size = domain ? QStringLiteral("\t0ul") : QStringLiteral("\t%1ul").arg(data.size);
    if (domain)
        values.elements.append(QStringLiteral("\tNULL"));
    else
        values.elements.append(expression ? QLatin1Char('\t') + name
                                          : QStringLiteral("\t&(%1[0])").arg(name));
    arrays[base + QStringLiteral("_len")].elements.append(size);
    arrays[base + QStringLiteral("_actLen")].elements.append(size);
}

void ObjDictGenerator::defineApplicationVariables(GeneratedText &out)
{
    out << "\n/* definition of application variables */"
        << "\n";
    for (quint8 line : qAsConst(odLineNumbers)) {
        for (const IndexEntry &entry : qAsConst(odLines[line].indices)) {
            for (const SubEntry &sub : entry.subs) {
                if (sub.data.implementation == 2 && (line == 0 || !sub.data.sharedlines))
                    addApplicationVariable(line, entry.index, sub);
            }
        }
    }
    for (const char *type : pointerOrder) {
        writeArray(out, QStringLiteral("od_ptr_") + QLatin1String(type),
                   QLatin1String(numericArray(QLatin1String(type))->pointerHeader));
    }
    const QList<QPair<const char *, const char *>> stringArrays = {
        {"od_vis_string", "static VIS_STRING\tod_vis_string["},
        {"od_vis_string_len", "static UNSIGNED32\tod_vis_string_len["},
        {"od_vis_string_actLen", "static UNSIGNED32\tod_vis_string_actLen["},
        {"od_utf8_string", "static VIS_STRING\tod_utf8_string["},
        {"od_utf8_string_len", "static UNSIGNED32\tod_utf8_string_len["},
        {"od_utf8_string_actLen", "static UNSIGNED32\tod_utf8_string_actLen["},
        {"od_octet_string", "static OCTET_STRING\t*od_octet_string["},
        {"od_octet_string_len", "static UNSIGNED32 CO_STORAGE_CLASS\tod_octet_string_len["},
        {"od_octet_string_actLen", "static UNSIGNED32 CO_STORAGE_CLASS\tod_octet_string_actLen["},
        {"od_domain", "static CO_DOMAIN_PTR\tod_domain["},
        {"od_domain_len", "static UNSIGNED32 CO_STORAGE_CLASS\tod_domain_len["},
        {"od_domain_actLen", "static UNSIGNED32 CO_STORAGE_CLASS\tod_domain_actLen["},
    };
    for (const auto &array : stringArrays)
        writeArray(out, QLatin1String(array.first), QLatin1String(array.second));
}
