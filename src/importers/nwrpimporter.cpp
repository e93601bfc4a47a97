#include "importers/nwrpimporter.h"

#include "database/objectdatabase.h"

#include <QDebug>

namespace {

// Directions of the PGN tables: transmit and receive.
const quint8 pgnDirections[] = {0x55, 0x77};
const quint32 highestPgn = 0x3FFFF;

} // namespace

NWRPImporter::NWRPImporter(QObject *parent) : BaseDataImporter(parent) {}

void NWRPImporter::doImport()
{
    m_running = true;
    m_lastError.clear();
    ObjectDataBase source;
    if (!m_database || !source.openDataBase(importFileName(), false)) {
        m_lastError = tr("Cannot open the project %1: %2")
                          .arg(importFileName(), source.errorString().simplified());
    } else if (!source.existNode(m_sourceLine)) {
        m_lastError = tr("The project %1 has no line %2.").arg(importFileName()).arg(m_sourceLine);
    } else {
        m_database->setLockWriteAccess(false);
        if (!m_database->copyLineFromDatabase(&source, m_sourceLine, activeLine(),
                                              quint16(lowIndex()), quint16(highIndex())))
            m_lastError = tr("The objects of line %1 could not be copied.").arg(m_sourceLine);
        // A line without PGNs in a direction is no failure.
        for (quint8 direction : pgnDirections)
            m_database->copyPGNsFromDatabase(&source, m_sourceLine, activeLine(), 0, highestPgn,
                                             direction);
    }
    if (!m_lastError.isEmpty())
        qDebug() << "NWRPImporter:" << m_lastError;
    finishImport();
}
