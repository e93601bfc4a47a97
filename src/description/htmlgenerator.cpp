#include "description/htmlgenerator.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include "generators/generatedtext.h"

namespace {

const quint8 managedConstant = 1;
const quint8 applicationVariable = 2;

} // namespace

HTMLGenerator::HTMLGenerator(QObject *parent)
    : HtmlDocumentationGenerator(QStringLiteral("HTML documentation"), parent)
{
}

QString HTMLGenerator::documentTitle() const
{
    return QStringLiteral("Object Dictionary Documenation of ");
}

void HTMLGenerator::writeTableOfContents(GeneratedText &out)
{
    const ObjectDataBase *db = dataBase();
    indices = db ? db->getIndices(activeLine, 0x1000, 0xFFFF) : QList<quint16>();
    firstManufacturerEntry = true;
    firstProfileEntry = true;
    for (quint16 index : qAsConst(indices)) {
        if (stopRequested())
            break;
        createTOC(out, index);
    }
}

void HTMLGenerator::writeBody(GeneratedText &out)
{
    for (quint16 index : qAsConst(indices)) {
        if (stopRequested())
            break;
        describeIndex(out, index);
    }
}

void HTMLGenerator::createTOC(GeneratedText &out, quint16 index)
{
    if (index >= 0x2000 && index <= 0x5FFF && firstManufacturerEntry) {
        firstManufacturerEntry = false;
        out << "<br>\n";
    } else if (index > 0x5FFF && firstProfileEntry) {
        firstProfileEntry = false;
        out << "<br>\n";
    }
    ObjectDataBase::INDEX_DATA_T data;
    if (const ObjectDataBase *db = dataBase())
        db->getIndexData(activeLine, index, data);
    writeTocEntry(out, QString::number(index), hexNumber(index, 4),
                  Helper::substituteVariables(data.name, index, 0));
}

void HTMLGenerator::describeIndex(GeneratedText &out, quint16 index)
{
    const ObjectDataBase *db = dataBase();
    ObjectDataBase::INDEX_DATA_T data;
    if (db)
        db->getIndexData(activeLine, index, data);
    openSection(out, QString::number(index), QStringLiteral("Object: "), hexNumber(index, 4),
                Helper::substituteVariables(data.name, index, 0));
    writeFixedRow(out, QStringLiteral("Object Code"), Helper::objectCode2String(data.objecttype));
    if (!data.description.isEmpty())
        writeRow(out, QStringLiteral("Description"), data.description);
    closeTable(out);
    const QList<quint8> subs = db ? db->getSubIndices(activeLine, index) : QList<quint8>();
    for (quint8 sub : subs) {
        out << " <br/>\n";
        describeSubIndex(out, index, sub);
    }
    closeSection(out);
}

void HTMLGenerator::describeSubIndex(GeneratedText &out, quint16 index, quint8 subindex)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (const ObjectDataBase *db = dataBase())
        db->getSubIndexData(activeLine, index, subindex, data);
    openTable(out);
    writeBoldRow(out, QStringLiteral("Sub "), hexNumber(subindex, 2));
    writeRow(out, QStringLiteral("Name "), Helper::substituteVariables(data.name, index, subindex));
    writeWideRow(out, QStringLiteral("Data Type"), Helper::index2DataTypeString(data.datatype));
    writeRow(out, QStringLiteral("Access "), data.accesstype);
    if (data.defaultineds || data.implementation == managedConstant)
        writeRow(out, QStringLiteral("Defaultvalue "), data.defaultvalue);
    if (data.limitineds) {
        writeRow(out, QStringLiteral("Low Limit "), QString::number(data.lowlimit));
        writeRow(out, QStringLiteral("High Limit "), QString::number(data.uplimit));
    }
    if (!data.description.isEmpty())
        writeRow(out, QStringLiteral("Description"), data.description);
    writeRow(out, QStringLiteral("PDO Mapping"), Helper::pdoMapping2String(data.pdomapping));
    if (implInfo) {
        writeRow(out, QStringLiteral("Implementation Type"),
                 Helper::implementation2String(data.implementation));
        if (data.implementation == applicationVariable)
            writeRow(out, QStringLiteral("Variable Name"),
                     Helper::substituteVariables(data.varname, index, subindex));
        if (data.size != 0)
            writeRow(out, QStringLiteral("Size in bytes "), QString::number(data.size));
    }
    closeTable(out);
}
