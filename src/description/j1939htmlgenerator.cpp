#include "description/j1939htmlgenerator.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include "generators/generatedtext.h"

namespace {

const quint8 applicationVariable = 2;

} // namespace

J1939HTMLGenerator::J1939HTMLGenerator(QObject *parent)
    : HtmlDocumentationGenerator(QStringLiteral("HTML documentation"), parent)
{
}

QString J1939HTMLGenerator::documentTitle() const
{
    return QStringLiteral("PGN/SPN Documenation of ");
}

void J1939HTMLGenerator::writeDocument()
{
    const ObjectDataBase *db = dataBase();
    if (db) {
        db->cacheAllSpnDataForLine(activeLine);
        transmitted = db->getPGNs(activeLine, ObjectDataBase::DirectionTransmit);
    }
    HtmlDocumentationGenerator::writeDocument();
    if (db)
        db->clearAllCachedSpnData();
}

void J1939HTMLGenerator::writeTableOfContents(GeneratedText &out)
{
    forEachPgn([this, &out](quint8 direction, quint32 pgn) { createTOC(out, direction, pgn); });
}

void J1939HTMLGenerator::writeBody(GeneratedText &out)
{
    forEachPgn([this, &out](quint8 direction, quint32 pgn) { describePGN(out, direction, pgn); });
}

QString J1939HTMLGenerator::anchor(quint8 direction, quint32 pgn) const
{
    QString id = QString::number(pgn);
    if (direction == ObjectDataBase::DirectionReceive && transmitted.contains(pgn))
        id += QStringLiteral("rx");
    return id;
}

void J1939HTMLGenerator::createTOC(GeneratedText &out, quint8 direction, quint32 pgn)
{
    ObjectDataBase::PGN data;
    if (const ObjectDataBase *db = dataBase())
        db->getPGNData(activeLine, pgn, direction, data);
    writeTocEntry(out, anchor(direction, pgn), hexNumber(pgn, 4), data.name);
}

void J1939HTMLGenerator::describePGN(GeneratedText &out, quint8 direction, quint32 pgn)
{
    const ObjectDataBase *db = dataBase();
    ObjectDataBase::PGN data;
    if (db)
        db->getPGNData(activeLine, pgn, direction, data);
    openSection(out, anchor(direction, pgn), QStringLiteral("PGN: "), hexNumber(pgn, 4), data.name);
    // The label cell is as wide as in the SPN tables below: without an object code row
    // the table would size its columns by their text.
    if (!data.desc.isEmpty())
        writeWideRow(out, QStringLiteral("Description"), data.desc);
    closeTable(out);
    const QList<quint32> spns = db ? db->getSPNs(activeLine, pgn, direction) : QList<quint32>();
    for (quint32 spn : spns) {
        out << " <br/>\n";
        describeSPN(out, direction, pgn, spn);
    }
    closeSection(out);
}

void J1939HTMLGenerator::describeSPN(GeneratedText &out, quint8 direction, quint32 pgn, quint32 spn)
{
    ObjectDataBase::SPN data;
    if (const ObjectDataBase *db = dataBase())
        db->getSPNData(activeLine, pgn, direction, spn, data);
    openTable(out);
    writeBoldRow(out, QStringLiteral("SPN "), QString::number(spn));
    writeRow(out, QStringLiteral("Name "), data.name);
    writeWideRow(out, QStringLiteral("Data Type"), Helper::index2DataTypeString(data.datatype));
    if (implInfo) {
        writeRow(out, QStringLiteral("Implementation Type"),
                 Helper::implementation2String(data.implementation));
        if (data.implementation == applicationVariable)
            writeRow(out, QStringLiteral("Variable Name"), data.varname);
    }
    closeTable(out);
}
