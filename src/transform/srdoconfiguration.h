#pragma once

#include "database/objectdatabase.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// The safety-related data objects (SRDO n: communication object 0x1300 + n, mapping
// object 0x1380 + n) and the configuration signatures (0x13FF sub-index n) that a safety
// stack checks before it starts them.
class SrdoConfiguration
{
    Q_DECLARE_TR_FUNCTIONS(SrdoConfiguration)

public:
    explicit SrdoConfiguration(ObjectDataBase *database) : db(database) {}

    QString errorTitle() const { return title; }
    QString errorString() const { return error; }

    // CRC-CCITT: polynomial 0x1021, most significant bit first, no final XOR.
    static quint16 crcCcitt(const QByteArray &bytes, quint16 start = 0);

    // The SRDO numbers of the line whose communication and mapping objects both exist.
    QList<int> srdoNumbers(quint8 line) const;
    // The bytes the signature of SRDO n covers: direction (8 bits), refresh time / SCT
    // (16), SRVT (8), COB-ID 1 (32), COB-ID 2 (32), the number of mapping entries (8),
    // then per entry its sub-index (8) and its mapping word (32); every multi-byte value
    // least significant byte first. Refused when a COB-ID is 0 or depends on the node-ID.
    bool signatureBytes(quint8 line, int srdo, QByteArray &bytes);
    bool signature(quint8 line, int srdo, quint16 &crc);
    // Computes the signature of every SRDO and writes it to 0x13FF (sub-index n), as one
    // unit; nothing is written when one of them cannot be calculated.
    bool storeSignatures(quint8 line);

    // Adds the next free SRDO from the template (objects 0x1301, 0x1381, 0x13FE and 0x13FF
    // of its line 0) as receive or transmit SRDO; returns its number or 0. The first SRDO
    // takes the pre-defined COB-IDs, every other one starts disabled.
    int createSrdo(const ObjectDataBase &templateDb, quint8 line, bool receive);

private:
    bool refuse(const QString &reason);
    bool cobId(quint8 line, quint16 index, quint8 sub, quint32 &value);
    bool addSignatureEntry(const ObjectDataBase &templateDb, quint8 line, int srdo);

    ObjectDataBase *db;
    QString title;
    QString error;
};
