#pragma once

#include "database/objectdatabase.h"
#include "importers/basedataimporter.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>

// Reads a comma- or semicolon-separated object list (among them the files of the CSV
// export) into the active line of its database. The first line that is neither empty nor
// a "#" comment names the columns, in any order and case. A field may stand in double
// quotes, and then hold the separator, doubled quotes and line breaks (a row with an
// unbalanced quote is split at every separator). Rows starting with "d" or "c" are delete
// and copy commands; the dialog applies them after the read (getDeleteList, getCopyList).
// A row that cannot be read is skipped and noted as "file:line: warning: text".
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

    // One row after the header (with the line breaks of its quoted fields); false when it
    // was skipped.
    bool handleImportLine(const QString &line);
    bool handleCopyLine(const QString &line);
    bool handleDeleteLine(const QString &line);
    // Takes the column names of a header line and chooses the separator.
    void readHeader(const QString &line);

public slots:
    void doImport() override;

private:
    // The rows of the file's text, from the header on.
    void readRows(const QString &text);
    bool importFields(const QStringList &fields, const QString &line);
    QString column(const QStringList &fields, const char *name) const;
    bool hasColumn(const char *name) const { return m_columns.contains(QLatin1String(name)); }
    // Reads the numeric fields of a copy or delete row; false after noting the problem.
    bool commandFields(const QString &line, const QList<uint> &bounds, QList<uint> &values);
    void readLimits(const QStringList &fields, ObjectDataBase::SUBINDEX_DATA_T &entry);
    bool storeObject(quint16 index, quint8 sub, const QStringList &fields, const QString &rowName);
    // The export writes "<object> <entry>" as name of each entry of an ARRAY or RECORD. For
    // an object this read created, the leading words that all its rows share are the
    // object's name, and the rest of each row is the entry's name; a later row that shares
    // fewer words renames the object and the entries read before it. Returns the name of
    // the entry of this row.
    QString entryName(quint16 index, quint8 sub, const QString &rowName);
    void renameSplitObject(ObjectDataBase::INDEX_DATA_T &object, quint8 exceptSub);
    void startSplit(quint16 index)
    {
        m_splitIndex = index;
        m_rowNames.clear();
        m_commonWords = -1;
    }
    // Adds "file:line: warning: text" to the diagnostics; returns false for the callers
    // that skip the row.
    bool note(const QString &text);

    QChar m_separator = QLatin1Char(',');
    QHash<QString, int> m_columns;
    quint16 m_arrayDataType = 0;
    quint16 m_arrayIndex = 0;
    // The ARRAY or RECORD last created from its rows, the names those rows give by
    // sub-index, the words of the first of them, and how many leading words all share (-1
    // before a second row).
    int m_splitIndex = -1;
    QMap<quint8, QString> m_rowNames;
    QStringList m_firstRowWords;
    int m_commonWords = -1;
    QList<SubAddress> m_copyList;
    QList<SubAddress> m_deleteList;
    QStringList m_diagnostics;
    QString m_lastError;
    int m_lineNumber = 0;
};
