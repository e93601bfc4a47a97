// The functions of gen_srdo.c that depend on the project: the record lookup, the
// defaults, and the copies between the process variables and the CAN data.

#include "generators/generatedtext.h"
#include "generators/objdictgenerator.h"
#include "generators/srdogenerator.h"

#include <QDebug>

namespace {

const quint8 transmitDirection = 1;
const quint8 receiveDirection = 2;
const int maxDataBits = 64;
const char *const lintNote =
    "; /*lint !e960 Note pointer arithmetic other than array indexing used */";

QString numberText(const QString &value)
{
    quint64 u = 0;
    qint64 s = 0;
    ObjDictGenerator::parseInteger(value, u, s);
    return QString::number(quint32(u)) + QLatin1Char('u');
}

QString cobIdText(const QString &value, const char *nodeRelative)
{
    if (value.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive))
        return QLatin1String(nodeRelative);
    quint64 u = 0;
    qint64 s = 0;
    ObjDictGenerator::parseInteger(value, u, s);
    return QStringLiteral("0x%1ul").arg(quint32(u), 0, 16);
}

// The C types of process variables the copies handle: integers and floats travel by
// shifts of their value, the stack's byte-array types (24, 40 and 48 bits) byte by byte.
enum class Kind { Unsigned, Signed, Float, Bytes };

struct CType
{
    const char *name;
    int bits;
    Kind kind;
};

const CType cTypes[] = {
    {"UNSIGNED8", 8, Kind::Unsigned},   {"UNSIGNED16", 16, Kind::Unsigned},
    {"UNSIGNED32", 32, Kind::Unsigned}, {"UNSIGNED64", 64, Kind::Unsigned},
    {"INTEGER8", 8, Kind::Signed},      {"INTEGER16", 16, Kind::Signed},
    {"INTEGER32", 32, Kind::Signed},    {"INTEGER64", 64, Kind::Signed},
    {"REAL32", 32, Kind::Float},        {"REAL64", 64, Kind::Float},
    {"UNSIGNED24", 24, Kind::Bytes},    {"INTEGER24", 24, Kind::Bytes},
    {"UNSIGNED40", 40, Kind::Bytes},    {"UNSIGNED48", 48, Kind::Bytes},
};

const CType *cType(const QString &name)
{
    for (const CType &type : cTypes) {
        if (name == QLatin1String(type.name))
            return &type;
    }
    return nullptr;
}

// Union variable that carries the bit pattern of a floating point variable.
QString floatCarrier(const CType &type)
{
    return type.bits == 32 ? QStringLiteral("real32") : QStringLiteral("real64");
}

// Whether the copies can handle an entry: a variable of a known type, whole bytes at a
// byte position, within the 8 bytes of an SRDO message.
bool copyable(const QString &name, const QString &type, int bits, int position)
{
    return !name.isEmpty() && cType(type) && bits > 0 && bits % 8 == 0 && position % 8 == 0
           && position + bits <= maxDataBits;
}

// The value of the bytes of a mapped variable, cast to its type (floats: to the integer
// of their width). A signed value shorter than its variable is sign-extended.
QString assembledValue(const CType &type, int bits, int first)
{
    const int bytes = bits / 8;
    const QString cast = type.kind == Kind::Float ? QStringLiteral("UNSIGNED%1").arg(type.bits)
                                                  : QString::fromLatin1(type.name);
    const bool extend = type.kind == Kind::Signed && bits < type.bits;
    if (bytes == 1 && !extend)
        return QStringLiteral("(%1)pData[%2]").arg(cast, QString::number(first));
    const QString sum = bytes <= 2   ? QStringLiteral("UNSIGNED16")
                        : bytes <= 4 ? QStringLiteral("UNSIGNED32")
                                     : QStringLiteral("UNSIGNED64");
    QString terms = QStringLiteral("(%1)pData[%2]").arg(sum, QString::number(first));
    for (int byte = 1; byte < bytes; ++byte)
        terms += QStringLiteral(" | ((%1)pData[%2] << %3u)")
                     .arg(sum, QString::number(first + byte), QString::number(byte * 8));
    if (!extend)
        return QStringLiteral("(%1)(%2)").arg(cast, terms);
    const QString signBit = QStringLiteral("0x%1%2").arg(
        QString::number(quint64(1) << (bits - 1), 16), QLatin1String(bytes <= 4 ? "ul" : "ull"));
    return QStringLiteral("(%1)(((%2) ^ %3) - %3)").arg(cast, terms, signBit);
}

QString starLine()
{
    return QStringLiteral(
        "/********************************************************************/\n");
}

} // namespace

void SrdoGenerator::addVariableSRDOFunctions(GeneratedText &out)
{
    out << "/* internal functions */\n\n";
    writeGetSrdoDataPtr(out);
    writeSetDefaultValue(out);
    writeTransmitMapping(out);
    writeSaveRecData(out, false);
    writeSaveRecData(out, true);
}

void SrdoGenerator::writeGetSrdoDataPtr(GeneratedText &out)
{
    const bool ml = isMultiLineForm();
    out << starLine() << "/**\n"
        << "* \\brief getSrdoDataPtr - record of an SRDO\n"
        << "*\n"
        << "* \\return pointer to the record of the communication index,\n"
        << "*\tNULL when the SRDO does not exist\n"
        << "*/\n"
        << "static CO_SRDO_DATA_T *getSrdoDataPtr(\n";
    if (ml)
        out << "\t\tUNSIGNED8\tCO_LINE,\t/* CAN line */\n";
    out << "\t\tUNSIGNED16\tindex\t\t/* communication index 0x1301..0x1340 */\n"
        << "\t)\n"
        << "{\n"
        << "CO_SRDO_DATA_T\t*pSrdo = NULL;\n\n";
    const QString indent = ml ? QStringLiteral("\t\t") : QStringLiteral("\t");
    if (ml)
        out << "\tswitch (CO_LINE)  {\n";
    for (quint8 line : qAsConst(lines)) {
        QString cases;
        for (const Srdo &srdo : qAsConst(srdos)) {
            if (srdo.line == line) {
                cases += indent + QStringLiteral("case 0x%1u:\n").arg(srdo.index, 4, 16) + indent
                         + QStringLiteral("\tpSrdo = &") + recordName(srdo) + QStringLiteral(";\n")
                         + indent + QStringLiteral("\tbreak;\n");
            }
        }
        if (ml && cases.isEmpty())
            continue;
        if (ml)
            out << "\tcase " << line << "u:\n";
        out << indent << "switch (index)  {\n"
            << cases << indent << "default:\n"
            << indent << "\tbreak;\n"
            << indent << "}\n";
        if (ml)
            out << "\t\tbreak;\n";
    }
    if (ml)
        out << "\tdefault:\n"
            << "\t\tbreak;\n"
            << "\t}\n";
    out << "\n"
        << "\treturn(pSrdo);\n"
        << "}\n\n";
}

void SrdoGenerator::writeSetDefaultValue(GeneratedText &out)
{
    const bool ml = isMultiLineForm();
    out << starLine() << "/**\n"
        << "* \\brief genSrdoSetDefaultValue - set the SRDO parameters to their defaults\n"
        << "*\n"
        << "* The defaults are the values specified in NWR;\n"
        << "* node-ID relative COB-IDs follow the own node-ID.\n"
        << "*/\n"
        << "static void genSrdoSetDefaultValue(\n";
    if (ml)
        out << "\t\tUNSIGNED8\tCO_LINE,\t/* CAN line */\n";
    out << "\t\tUNSIGNED8\townNodeId\t/* own node-ID */\n"
        << "\t)\n"
        << "{\n";
    if (ml) {
        out << "\tswitch (CO_LINE)  {\n";
        for (quint8 line : qAsConst(lines)) {
            bool opened = false;
            for (const Srdo &srdo : qAsConst(srdos)) {
                if (srdo.line != line)
                    continue;
                if (!opened)
                    out << "\tcase " << line << "u:\n";
                opened = true;
                writeDefaultValues(out, srdo, QStringLiteral("\t\t"));
            }
            if (opened)
                out << "\t\tbreak;\n";
        }
        out << "\tdefault:\n"
            << "\t\tbreak;\n"
            << "\t}\n"
            << "\tconfigurationValid[CO_LINE] = 0x00u;\n"
            << "\tsrdoConfigReady[CO_LINE] = 0u;\n";
    } else {
        for (const Srdo &srdo : qAsConst(srdos))
            writeDefaultValues(out, srdo, QStringLiteral("\t"));
        out << "\tconfigurationValid = 0x00u;\n"
            << "\tsrdoConfigReady = 0u;\n";
    }
    out << "}\n\n";
}

void SrdoGenerator::writeDefaultValues(GeneratedText &out, const Srdo &srdo, const QString &indent)
{
    const QString record = indent + recordName(srdo) + QLatin1Char('.');
    out << record << "direction = " << numberText(srdo.parameters.value(1)) << ";\n"
        << record << "refreshTime = " << numberText(srdo.parameters.value(2)) << ";\n"
        << record << "srvt = " << numberText(srdo.parameters.value(3)) << ";\n"
        << record << "transType = 254u;\n"
        << record
        << "cobId1 = " << cobIdText(srdo.parameters.value(5), "0xfful + (ownNodeId * 2ul)") << ";\n"
        << record
        << "cobId2 = " << cobIdText(srdo.parameters.value(6), "0x100ul + (ownNodeId * 2ul)")
        << ";\n"
        << record << "mapCnt = " << numberText(srdo.mapCount) << ";\n"
        << record << "maxMapCnt = " << srdo.mapTable.size() << "u;\n"
        << record << "mapTable = &" << tableName(srdo) << "[0];\n"
        << record << "signature = " << numberText(srdo.signature) << ";\n";
}

void SrdoGenerator::writeTransmitMapping(GeneratedText &out)
{
    const bool ml = isMultiLineForm();
    out << starLine() << "/**\n"
        << "* \\brief genSrdoTransmitMapping - fill the messages of a transmit SRDO\n"
        << "*\n"
        << "* The application updates the process variables first; then the\n"
        << "* normal and the inverted variables are copied into their messages,\n"
        << "* least significant byte first.\n"
        << "*\n"
        << "* \\return RET_OK, RET_INVALID_NMT_STATE or RET_INVALID_PARAMETER\n"
        << "*/\n"
        << "static RET_T genSrdoTransmitMapping(\n";
    if (ml)
        out << "\t\tUNSIGNED8\tCO_LINE,\t\t/* CAN line */\n";
    out << "\t\tUNSIGNED16\tsrdoNr,\t\t\t/* SRDO number */\n"
        << "\t\tUNSIGNED8\tpBufferNormal[],\t/* data of the normal message */\n"
        << "\t\tUNSIGNED8\tpBufferInverted[]\t/* data of the inverted message */\n"
        << "\t)\n"
        << "{\n"
        << "RET_T\tretVal = RET_INVALID_PARAMETER;\n";
    writeFloatCarriers(out, transmitDirection);
    out << "\n"
        << "\tif (srdoNmtState" << (ml ? "[CO_LINE]" : "") << " != CO_NMT_STATE_OPERATIONAL)  {\n"
        << "\t\treturn(RET_INVALID_NMT_STATE);\n"
        << "\t}\n\n"
        << "\t/* the application updates the process variables */\n"
        << "\tsrdoProducerIndication(" << (ml ? "CO_LINE, " : "") << "srdoNr);\n\n";
    writeSrdoSwitch(out, transmitDirection, &SrdoGenerator::writeTxSRDOData);
    out << "\n"
        << "\treturn(retVal);\n"
        << "}\n\n";
}

void SrdoGenerator::writeSaveRecData(GeneratedText &out, bool inverted)
{
    const bool ml = isMultiLineForm();
    const char *name = inverted ? "saveRecDataInvers" : "saveRecDataNormal";
    out << starLine() << "/**\n"
        << "* \\brief " << name << " - store the data of a received "
        << (inverted ? "inverted" : "normal") << " message\n"
        << "*\n"
        << "* The normal and the inverted message have been compared before.\n"
        << "*/\n"
        << "static void " << name << "(\n";
    if (ml)
        out << "\t\tUNSIGNED8\tCO_LINE,\t/* CAN line */\n";
    out << "\t\tUNSIGNED16\tsrdoNr,\t\t/* SRDO number */\n"
        << "\t\tconst UNSIGNED8\tpData[]\t\t/* received data */\n"
        << "\t)\n"
        << "{\n";
    if (writeFloatCarriers(out, receiveDirection))
        out << "\n";
    writeSrdoSwitch(out, receiveDirection,
                    inverted ? &SrdoGenerator::writeRxInverted : &SrdoGenerator::writeRxNormal);
    out << "}\n\n";
}

// In the multi-line form the line and the SRDO number select the case together.
void SrdoGenerator::writeSrdoSwitch(GeneratedText &out, quint8 direction,
                                    void (SrdoGenerator::*writeCase)(GeneratedText &, quint8,
                                                                     quint16))
{
    const bool ml = isMultiLineForm();
    if (ml)
        out << "\t/* the line in the high byte, the SRDO number in the low byte */\n"
            << "\tswitch (((UNSIGNED16)CO_LINE << 8u) | srdoNr)  {\n";
    else
        out << "\tswitch (srdoNr)  {\n";
    for (const Srdo &srdo : qAsConst(srdos)) {
        if (srdo.direction() != direction)
            continue;
        if (ml)
            out << QStringLiteral("\tcase 0x%1u: /* line %2, SRDO %3 */\n")
                       .arg((srdo.line << 8) | srdo.number, 4, 16, QLatin1Char('0'))
                       .arg(srdo.line)
                       .arg(srdo.number);
        else
            out << "\tcase " << srdo.number << "u:\n";
        (this->*writeCase)(out, srdo.line, srdo.index);
        out << "\t\tbreak;\n";
    }
    out << "\tdefault:\n"
        << "\t\tbreak;\n"
        << "\t}\n";
}

// Declares the union variables the floating point copies of one direction use; false
// when there are none.
bool SrdoGenerator::writeFloatCarriers(GeneratedText &out, quint8 direction) const
{
    bool written = false;
    for (const char *name : {"REAL32", "REAL64"}) {
        bool used = false;
        for (const Srdo &srdo : srdos) {
            for (const MappedObject &object : srdo.mapped)
                used =
                    used || (srdo.direction() == direction && object.type == QLatin1String(name));
        }
        if (used)
            out << "SRDO_" << name << "_BITS_T\t" << floatCarrier(*cType(QLatin1String(name)))
                << ";\n";
        written = written || used;
    }
    return written;
}

// Copies the mapped variables of a transmit SRDO into the normal and the inverted
// message, least significant byte first.
void SrdoGenerator::writeTxSRDOData(GeneratedText &out, quint8 line, quint16 index)
{
    const Srdo *srdo = findSrdo(line, index);
    if (!srdo)
        return;
    for (const MappedObject &object : srdo->mapped) {
        if (!copyable(object.name, object.type, object.bits, object.position)) {
            qDebug() << "SrdoGenerator: mapping of" << Qt::hex << object.index << object.sub
                     << Qt::dec << object.bits << "bits not supported";
            continue;
        }
        const CType &type = *cType(object.type);
        QString source = object.name;
        if (type.kind == Kind::Float) {
            source = floatCarrier(type) + QStringLiteral(".bits");
            out << "\t\t" << floatCarrier(type) << ".real = " << object.name << ";\n";
        }
        const QString buffer =
            object.inverted ? QStringLiteral("pBufferInverted[") : QStringLiteral("pBufferNormal[");
        for (int byte = 0; byte < object.bits / 8; ++byte) {
            const int shift = byte * 8;
            QString value;
            if (shift >= type.bits)
                value = QStringLiteral("(UNSIGNED8)0u");
            else if (type.kind == Kind::Bytes)
                value = QStringLiteral("(UNSIGNED8)(%1.v[%2])").arg(source, QString::number(byte));
            else if (shift == 0)
                value = QStringLiteral("(UNSIGNED8)(") + source + QStringLiteral(" & 0xffu)");
            else
                value = QStringLiteral("(UNSIGNED8)((%1 >> %2u) & 0xffu)")
                            .arg(source, QString::number(shift));
            out << "\t\t" << buffer << object.position / 8 + byte << "]= " << value << ";\n";
        }
    }
    out << "\t\tretVal = RET_OK;\n";
}

void SrdoGenerator::writeRxNormal(GeneratedText &out, quint8 line, quint16 index)
{
    writeRxSRDOData(out, line, index, false);
}

void SrdoGenerator::writeRxInverted(GeneratedText &out, quint8 line, quint16 index)
{
    writeRxSRDOData(out, line, index, true);
}

// Assembles each mapped variable of a receive SRDO from its bytes, least significant
// first.
void SrdoGenerator::writeRxSRDOData(GeneratedText &out, quint8 line, quint16 index, bool inverted)
{
    const Srdo *srdo = findSrdo(line, index);
    if (!srdo)
        return;
    for (const MappedObject &object : srdo->mapped) {
        if (object.inverted != inverted)
            continue;
        if (!copyable(object.name, object.type, object.bits, object.position)) {
            qDebug() << "SrdoGenerator: mapping of" << Qt::hex << object.index << object.sub
                     << Qt::dec << object.bits << "bits not supported";
            continue;
        }
        const CType &type = *cType(object.type);
        const int first = object.position / 8;
        if (type.kind == Kind::Bytes) {
            for (int byte = 0; byte < qMin(int(object.bits), type.bits) / 8; ++byte)
                out << "\t\t" << object.name << ".v[" << byte << "] = (UNSIGNED8)pData["
                    << first + byte << "];\n";
            continue;
        }
        const int bytes = object.bits / 8;
        const QString target =
            type.kind == Kind::Float ? floatCarrier(type) + QStringLiteral(".bits") : object.name;
        out << "\t\t" << target << "= " << assembledValue(type, object.bits, first) << lintNote
            << (bytes == 4 ? " \n" : "\n");
        if (type.kind == Kind::Float)
            out << "\t\t" << object.name << "= " << floatCarrier(type) << ".real;\n";
    }
}
