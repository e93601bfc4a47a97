#include "modelchecker.h"

#include "checker/checkformat.h"
#include "panelkit/helper.h"

using namespace checkformat;

namespace {

const quint8 receive = 0x77;
const quint8 transmit = 0x55;

} // namespace

int ModelChecker::startJ1939Check(quint8 lineCount, quint8 checkedLine, const ObjectDataBase *db)
{
    line = checkedLine;
    database = db;
    errorCount = 0;
    checkJ1939Settings(lineCount);
    checkSpecialPgns();
    if (database)
        database->cacheAllSpnDataForLine(line);
    checkTransportProtocol();
    checkSpnVariableNames();
    if (database)
        database->clearAllCachedSpnData();
    return errorCount;
}

void ModelChecker::checkJ1939Settings(quint8 lineCount)
{
    // The identity number and manufacturer code hold one comma-separated value per line.
    const auto checkPerLine = [this, lineCount](const QString &value, const QString &missing,
                                                const QString &notPerLine) {
        if (value.isEmpty())
            countError(missing);
        if (lineCount > 1 && value.count(QLatin1Char(',')) < lineCount - 1)
            countError(notPerLine);
    };
    checkPerLine(j1939Setting(QStringLiteral("identitynumber")),
                 tr("<strong>Error: </strong>Identity number not defined in J1939 configuration "
                    "tab."),
                 tr("<strong>Error: </strong>Identity number not specified correctly for each "
                    "line in J1939 configuration tab."));
    checkPerLine(j1939Setting(QStringLiteral("manufacturercode")),
                 tr("<strong>Error: </strong>Manufacturer code not defined in J1939 "
                    "configuration tab."),
                 tr("<strong>Error: </strong>Manufacturer code not specified correctly for each "
                    "line in J1939 configuration tab."));

    const QList<QPair<QString, QString>> required = {
        {QStringLiteral("ecuinstance"),
         tr("<strong>Error: </strong>ECU instance not defined in J1939 configuration tab.")},
        {QStringLiteral("functioninstance"),
         tr("<strong>Error: </strong>Function instance not defined in J1939 configuration "
            "tab.")},
        {QStringLiteral("function"),
         tr("<strong>Error: </strong>Function not defined in J1939 configuration tab.")},
        {QStringLiteral("vehiclesystem"),
         tr("<strong>Error: </strong>Vehicle system not defined in J1939 configuration tab.")},
        {QStringLiteral("vehicleinstance"),
         tr("<strong>Error: </strong>Vehicle instance not defined in J1939 configuration "
            "tab.")},
        {QStringLiteral("industrygroup"),
         tr("<strong>Error: </strong>Industry Group not defined in J1939 configuration tab.")},
        {QStringLiteral("startaddress"),
         tr("<strong>Error: </strong>An address needs to defined in the J1939 "
            "configuration.")}};
    for (const auto &setting : required) {
        if (j1939Setting(setting.first).isEmpty())
            countError(setting.second);
    }
}

// These parameter groups are handled by the J1939 stack itself.
void ModelChecker::checkSpecialPgns()
{
    if (!database)
        return;
    static const QList<quint32> special = {0xEB00, 0xEC00, 0xE800, 0x0E00, 0xEA00};
    for (quint8 direction : {receive, transmit}) {
        const QList<quint32> pgns = database->getPGNs(line, direction);
        for (quint32 pgn : pgns) {
            if (special.contains(pgn))
                countError(tr("<strong>Error: </strong>Special PGN %1/0x%2 is handled by the "
                              "J1939 stack directly and may not be included in the signal "
                              "definitions.\n")
                               .arg(QString::number(pgn), hex4(pgn)));
        }
    }
}

// A PGN of more than eight bytes needs BAM or TP.CMDT.
void ModelChecker::checkTransportProtocol()
{
    const int bam = decimal(j1939Setting(QStringLiteral("bamsupport")));
    const int cmdt = decimal(j1939Setting(QStringLiteral("cmdtsupport")));
    bool longPgn = false;
    if (database) {
        for (quint8 direction : {receive, transmit}) {
            const QList<quint32> pgns = database->getPGNs(line, direction);
            for (quint32 pgn : pgns)
                longPgn = longPgn || pgnLength(pgn, direction) > 64;
        }
    }
    if (longPgn && bam <= 0 && cmdt <= 0)
        countError(tr("<strong>Error: </strong>Neither BAM nor TP.CMDT supported but PGNs with "
                      "length > 64 bit defined."));
    if (cmdt > 0 && quint8(j1939Setting(QStringLiteral("cmdtpackets")).toUInt(nullptr, 10)) == 0)
        countError(tr("<strong>Error: </strong>CMDT packet count should not be 0 in J1939 "
                      "configuration."));
}

// Sum of the SPN lengths: the length of the data type, or the SPN's own bit size for
// types without one.
quint32 ModelChecker::pgnLength(quint32 pgn, quint8 direction) const
{
    quint32 bits = 0;
    const QList<quint32> spns = database->getSPNs(line, pgn, direction);
    for (quint32 number : spns) {
        ObjectDataBase::SPN spn;
        if (!database->getSPNData(line, pgn, direction, number, spn))
            continue;
        const quint32 typeBits = Helper::getDataLengthBits(CAN::CANopenDataType(spn.datatype));
        bits += typeBits != 0 ? typeBits : spn.bitsize;
    }
    return bits;
}

void ModelChecker::checkSpnVariableNames()
{
    if (!database)
        return;
    for (quint8 direction : {receive, transmit}) {
        const QList<quint32> pgns = database->getPGNs(line, direction);
        for (quint32 pgn : pgns) {
            const QList<quint32> spns = database->getSPNs(line, pgn, direction);
            for (quint32 number : spns) {
                ObjectDataBase::SPN spn;
                if (database->getSPNData(line, pgn, direction, number, spn)
                    && spn.implementation == 2 && spn.varname.trimmed().isEmpty())
                    countError(tr("<strong>Error: </strong>The SPN %1 in PGN %2 needs a variable "
                                  "name.")
                                   .arg(number)
                                   .arg(pgn));
            }
        }
    }
}
