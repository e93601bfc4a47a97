#include "generators/objdictgenerator.h"
#include "panelkit/linetype.h"

#include "generators/generatedtext.h"

namespace {

const QString nodeIdPrefix = QStringLiteral("$NODEID+");

int nodeIdPosition(const QString &value)
{
    return value.indexOf(nodeIdPrefix, 0, Qt::CaseInsensitive);
}

} // namespace

// userOverwriteCobIdSettings: writes the COB-IDs of the object dictionary over the
// predefined connection set. Node-ID relative PDO COB-IDs are computed from the node-ID
// the stack runs with; every other COB-ID is read back from its default value.
void ObjDictGenerator::overwrite301(GeneratedText &out)
{
    out << "\n"
        << "/* Please be careful - this function overwrite the COB-ids of the\n"
           "* predefined connection set with values setting up by the NWR\n"
           "* It should to be called inside the load indication function.\n"
           "*/\n"
        << "RET_T userOverwriteCobIdSettings(void)\n"
        << "{\n"
        << "\tRET_T ret = RET_OK;\n"
        << "\tUNSIGNED32 cobId = 0ul;\n";
    // Without any COB-ID object the variable would stay unused, which a strict compile
    // rejects.
    if (!hasCobIdObject())
        out << "\t(void)cobId;\n";
    if (!isMultiLineForm()) {
        if (hasNodeIdRelativePdo(0))
            out << "\tUNSIGNED8 nodeId = coNmtGetNodeId();\n";
        writeCobIdGroup(out, 0, 0x1201, 0x127F, QStringLiteral("\n\t/* SDO server COB IDs */\n"),
                        false);
        writeCobIdGroup(out, 0, 0x1280, 0x12FF, QStringLiteral("\n\t/* SDO client COB IDs */\n"),
                        false);
        writeCobIdGroup(out, 0, 0x1400, 0x15FF, QStringLiteral("\n\t/* RxPDO COB IDs */\n"), false);
        writeCobIdGroup(out, 0, 0x1800, 0x19FF, QStringLiteral("\n\t/* TxPDO COB IDs */\n"), false);
    } else {
        QList<quint8> projectLines;
        bool relative = false;
        const ObjectDataBase *db = dataBase();
        for (quint8 line : LineTypes::projectLines(db)) {
            projectLines.append(line);
            relative = relative || hasNodeIdRelativePdo(line);
        }
        bool first = true;
        for (quint8 line : qAsConst(projectLines)) {
            if (relative) {
                out << (first ? "\tUNSIGNED8 nodeId = coNmtGetNodeId("
                              : "\tnodeId = coNmtGetNodeId(")
                    << line << ");\n";
            }
            first = false;
            writeCobIdGroup(out, line, 0x1400, 0x15FF, QStringLiteral("\n\t/* RxPDO COB IDs */\n"),
                            true);
            writeCobIdGroup(out, line, 0x1800, 0x19FF, QStringLiteral("\n\t/* TxPDO COB IDs */\n"),
                            true);
            writeCobIdGroup(
                out, line, 0x1201, 0x127F,
                QStringLiteral("\n\t/* SDO server COB IDs starting at 2nd SDO server */\n"), true);
            writeCobIdGroup(out, line, 0x1280, 0x12FF,
                            QStringLiteral("\n\t/* SDO client COB IDs */\n"), true);
        }
    }
    out << "\treturn ret;\n"
        << "}\n";
}

bool ObjDictGenerator::hasCobIdObject()
{
    QList<quint8> covered{0};
    if (isMultiLineForm())
        covered = LineTypes::projectLines(dataBase());
    for (quint8 line : qAsConst(covered)) {
        const LineEntry *entry = lineEntry(line);
        if (!entry->indicesIn(0x1201, 0x12FF).isEmpty()
            || !entry->indicesIn(0x1400, 0x15FF).isEmpty()
            || !entry->indicesIn(0x1800, 0x19FF).isEmpty())
            return true;
    }
    return false;
}

bool ObjDictGenerator::hasNodeIdRelativePdo(quint8 line)
{
    const LineEntry *entry = lineEntry(line);
    for (quint16 index : entry->indicesIn(0x1400, 0x19FF)) {
        const SubEntry *cobId = entry->find(index)->find(1);
        if (cobId && nodeIdPosition(cobId->data.defaultvalue) >= 0)
            return true;
    }
    return false;
}

// One group of objects under its heading: SDO objects re-apply sub-indices 1 and 2,
// PDO objects sub-index 1.
void ObjDictGenerator::writeCobIdGroup(GeneratedText &out, quint8 line, quint16 first, quint16 last,
                                       const QString &heading, bool withLine)
{
    const LineEntry *entry = lineEntry(line);
    const QList<quint16> indices = entry->indicesIn(first, last);
    if (indices.isEmpty())
        return;
    out << heading;
    const bool pdo = first >= 0x1400;
    const QString lineArgument =
        withLine ? QString::number(line) + QStringLiteral(", ") : QString();
    for (quint16 index : indices) {
        const QString hexIndex = QString::number(index, 16);
        if (!pdo) {
            writeCobIdReadBack(out, line, index, 1, withLine);
            writeCobIdReadBack(out, line, index, 2, withLine);
            continue;
        }
        const SubEntry *cobId = entry->find(index)->find(1);
        const QString value = cobId ? cobId->data.defaultvalue : QString();
        const int position = nodeIdPosition(value);
        if (position < 0) {
            writeCobIdReadBack(out, line, index, 1, withLine);
            continue;
        }
        const QString base = value.mid(position + nodeIdPrefix.size()).trimmed();
        if (withLine)
            out << "\tcobId = (UNSIGNED32)nodeId + (UNSIGNED32)" << base << ";\n";
        else
            out << "\tcobId = nodeId + " << base << ";\n";
        out << "\tret = coOdSetCobid(" << lineArgument << "0x" << hexIndex << ", 1, cobId);\n"
            << "\n";
    }
}

void ObjDictGenerator::writeCobIdReadBack(GeneratedText &out, quint8 line, quint16 index,
                                          quint8 sub, bool withLine)
{
    const QString lineArgument =
        withLine ? QString::number(line) + QStringLiteral(", ") : QString();
    const QString hexIndex = QString::number(index, 16);
    out << "\tret = coOdGetDefaultVal_u32(" << lineArgument << "0x" << hexIndex << ", " << sub
        << ", &cobId);\n"
        << "\tif (ret == RET_OK) {\n"
        << "\t\tret = coOdSetCobid(" << lineArgument << "0x" << hexIndex << ", " << sub
        << ", cobId);\n"
        << "\t}\n";
}
