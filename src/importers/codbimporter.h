#pragma once

#include "database/objectdatabase.h"
#include "importers/basedataimporter.h"

#include <QStringList>

// Reads a CODB catalogue (see docs/codb-format.md) into the active line of its database:
// object lines, sub-index lines and, with the multiple-objects flag, the assignment lines
// that copy one object to another index. Malformed lines are logged and skipped.
class CODBImporter : public BaseDataImporter
{
    Q_OBJECT

public:
    explicit CODBImporter(QObject *parent = nullptr);

    // Carry out the assignment lines ("$6001=6000"); without the flag they are skipped.
    void setMultipleObjectsFlag(bool flag) { m_multipleObjects = flag; }
    bool multipleObjectsFlag() const { return m_multipleObjects; }

    QString getLastError() override { return m_lastError; }
    // Number of lines skipped as malformed in the last run.
    int skippedLineCount() const { return m_skippedLines; }

    // One line of the file, without its line end: comments and empty lines are ignored,
    // assignments go to handleAssignmentLine, everything else to handleImportLine.
    void handleLine(const QString &line);
    bool handleImportLine(const QString &line);
    bool handleAssignmentLine(const QString &line);
    bool importIndex(const QString &line);
    bool importSubIndex(const QString &line);
    bool importVariable(quint16 index, const QString &name, quint8 category,
                        const QStringList &fields);

public slots:
    void doImport() override;

private:
    // Fills entry from the attribute fields of an object or sub-index line; false when a
    // field holds a value the format does not allow.
    bool subIndexFromFields(quint16 index, quint8 sub, const QStringList &fields,
                            ObjectDataBase::SUBINDEX_DATA_T &entry);
    bool readLimits(const QString &range, quint16 dataType, ObjectDataBase::SUBINDEX_DATA_T &entry);
    bool inRange(quint32 index) const;
    bool skipLine(const QString &line, const char *reason);

    bool m_multipleObjects = false;
    QString m_lastError;
    int m_skippedLines = 0;
};
