#pragma once

#include "importers/basedataimporter.h"

// Copies the objects of one line of another project file (".nwrp" or its ".nwrp.bak"),
// within the index range, and that line's PGNs into the active line of its database.
// Implementation types and variable names stay as they are.
class NWRPImporter : public BaseDataImporter
{
    Q_OBJECT

public:
    explicit NWRPImporter(QObject *parent = nullptr);

    void setSourceLine(quint8 line) { m_sourceLine = line; }
    quint8 sourceLine() const { return m_sourceLine; }
    QString getLastError() override { return m_lastError; }

public slots:
    void doImport() override;

private:
    quint8 m_sourceLine = 0;
    QString m_lastError;
};
