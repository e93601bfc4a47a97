#include "description/textdocgenerator.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include "generators/generatedtext.h"

TextDocGenerator::TextDocGenerator(QObject *parent)
    : DocumentationGenerator(QStringLiteral("textual documenation"), QStringLiteral("_doc.txt"),
                             QStringLiteral(".txt"), parent)
{
}

void TextDocGenerator::writeHead()
{
    out() << tr("CANopen Object Dictionary Documenation for %1").arg(projectName) << "\n\n";
}

void TextDocGenerator::writeDocument()
{
    const ObjectDataBase *db = dataBase();
    const QList<quint16> indices =
        db ? db->getIndices(activeLine, 0x1000, 0xFFFF) : QList<quint16>();
    int done = 0;
    for (quint16 index : indices) {
        if (stopRequested())
            break;
        documentIndex(activeLine, index);
        yieldAfterObject(done);
    }
}

void TextDocGenerator::documentIndex(quint8 line, quint16 index)
{
    const ObjectDataBase *db = dataBase();
    ObjectDataBase::INDEX_DATA_T data;
    if (db)
        db->getIndexData(line, index, data);
    GeneratedText &stream = out();
    stream << "\nIndex:       0x" << QStringLiteral("%1").arg(index, 4, 16, QLatin1Char('0'))
           << " - " << Helper::substituteVariables(data.name, index, 0) << '\n'
           << "DataType:    " << Helper::index2DataTypeString(data.datatype) << '\n'
           << "ObjectCode:  " << Helper::objectCode2String(data.objecttype) << '\n';
    if (!data.description.isEmpty())
        stream << "Description: " << data.description << '\n';
    const QList<quint8> subs = db ? db->getSubIndices(line, index) : QList<quint8>();
    for (quint8 sub : subs)
        documentSubIndex(line, index, sub);
}

void TextDocGenerator::documentSubIndex(quint8 line, quint16 index, quint8 subindex)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (const ObjectDataBase *db = dataBase())
        db->getSubIndexData(line, index, subindex, data);
    GeneratedText &stream = out();
    stream << "  Sub:          0x" << QString::number(subindex, 16) << " - "
           << Helper::substituteVariables(data.name, index, subindex) << '\n'
           << "  DataType:     " << Helper::index2DataTypeString(data.datatype) << '\n';
    if (!data.defaultvalue.isEmpty())
        stream << "  DefaultValue: " << data.defaultvalue << '\n';
    stream << "  AccessType:   " << data.accesstype << '\n'
           << "  PDOMapping:   " << QString::number(data.pdomapping) << '\n';
    if (!data.description.isEmpty())
        stream << "  Description: " << data.description << '\n';
}
