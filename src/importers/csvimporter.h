#pragma once

#include "database/objectdatabase.h"
#include "importers/basedataimporter.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Reads a comma- or semicolon-separated object list (among them the files of the CSV
// export) into the active line of its database. The first line that is neither empty nor
// a "#" comment names the columns, in any order and case. Rows starting with "d" or "c"
// are delete and copy commands; the dialog applies them after the read (getDeleteList,
// getCopyList). A row that cannot be read is skipped and noted as
// "file:line: warning: text".
class CsvImporter : public BaseDataImporter
{
    Q_OBJECT

public:
    explicit CsvImporter(QObject *parent = nullptr);

    QString getLastError() override { return m_lastError; }
    // The rows the last run skipped, one "file:line: warning: text" each.
    QStringList diagnostics() const { return m_diagnostics; }
    QChar separator() const { return m_separator; }

    // Source and destination of each copy row, in pairs; true when there is one.
    bool getCopyList(QList<SubAddress> &list) const;
    bool getDeleteList(QList<SubAddress> &list) const;
    // Carries out the copy rows, then the delete rows, in line of project: a whole object
    // is copied with copyIndex, a sub-index to the same sub-index of an existing object.
    // Returns the commands that failed, as text.
    QStringList applyCommands(ObjectDataBase *project, quint8 line) const;

    // One row after the header; false when it was skipped.
    bool handleImportLine(const QString &line);
    bool handleCopyLine(const QString &line);
    bool handleDeleteLine(const QString &line);
    // Takes the column names of a header line and chooses the separator.
    void readHeader(const QString &line);

public slots:
    void doImport() override;

private:
    QString column(const QStringList &fields, const char *name) const;
    bool hasColumn(const char *name) const { return m_columns.contains(QLatin1String(name)); }
    // Reads the numeric fields of a copy or delete row; false after noting the problem.
    bool commandFields(const QString &line, const QList<uint> &bounds, QList<uint> &values);
    void readLimits(const QStringList &fields, ObjectDataBase::SUBINDEX_DATA_T &entry);
    bool storeObject(quint16 index, quint8 sub, const QStringList &fields, const QString &name);
    // The export writes "<object> <sub-index>" as name of the entries of an ARRAY or
    // RECORD; the object takes the common leading words back.
    void splitObjectName(quint16 index, QString &name);
    // Adds "file:line: warning: text" to the diagnostics; returns false for the callers
    // that skip the row.
    bool note(const QString &text);

    QChar m_separator = QLatin1Char(',');
    QHash<QString, int> m_columns;
    quint16 m_arrayDataType = 0;
    quint16 m_arrayIndex = 0;
    // The object last created from a sub-index 0 row whose name is still the row's.
    int m_namedFromSub0 = -1;
    QList<SubAddress> m_copyList;
    QList<SubAddress> m_deleteList;
    QStringList m_diagnostics;
    QString m_lastError;
    int m_lineNumber = 0;
};
