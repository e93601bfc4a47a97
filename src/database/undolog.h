#pragma once

#include "storemutex.h"

#include <QMap>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

// The undo history of one project store.
//
// Every table of the working file carries TEMP triggers that write, for each row a
// statement inserts, updates or deletes, the statement that puts the row back into the TEMP
// table undo_log. Nothing of it reaches the project file. Statements that create, drop or
// alter a table are seen by the store before and after they run: a dropped table is kept in
// a TEMP copy and logged as its CREATE statement plus the copy's rows; a created one as a
// DROP. Undoing a step replays its log entries backwards; the triggers log the replay in
// turn, and that log is the step's redo (and the other way round).
//
// Lines 254 and 255 (clipboard and staging) are not recorded. Rows of Strings are only
// ever added while the history exists (see ObjectDataBase::getStringId), so their
// insertion is not logged either: a text added by a step stays when the step is undone and
// is still there when it is redone.
//
// A step is a named range of log entries. The front end opens and closes steps (UndoStep);
// changes made outside any step become a step of their own each time the store's unit of
// writes is committed.
class UndoLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int maximumSteps = 500;

    explicit UndoLog(StoreMutex *mutex, QObject *parent = nullptr);

    bool isEnabled() const;
    bool canUndo() const;
    bool canRedo() const;
    // Names of the steps undo and redo would take back or repeat; empty when there is none.
    QString undoText() const;
    QString redoText() const;
    int undoCount() const;
    int redoCount() const;
    // The store holds what the project file holds: the history is at the step it was at
    // when the project was last saved, opened or created.
    bool isClean() const;

    // Statements of the row triggers of table, for the given columns (exposed for tests).
    static QStringList triggerStatements(const QString &table, const QStringList &columns);
    // The table a DROP TABLE or ALTER TABLE statement changes; empty for any other.
    static QString changedTable(const QString &sql);
    static bool isSchemaStatement(const QString &sql);
    // Tables of lines 254 and 255, and those of the rebuild of an old table.
    static bool isScratchTable(const QString &table);

signals:
    // The steps, their names or the clean state changed.
    void changed();

private:
    friend class ObjectDataBase;
    friend class ObjectDataBasePrivate;

    struct Step
    {
        QString name;
        qint64 first = 0;
        qint64 last = 0;
        qint64 id = 0;
    };
    // Snapshot of the main schema: table name -> CREATE statement.
    using Schema = QMap<QString, QString>;

    // ----- called by the store with its mutex held ---------------------------------------
    // Sets up the TEMP tables and triggers on a freshly opened connection and forgets the
    // history. False when a statement failed (the history is then off).
    bool start(const QSqlDatabase &db);
    void stop();
    // The connection is about to be closed or bound to another file.
    void detach();
    void beginStep(const QString &name);
    void endStep();
    // The store's outermost unit was committed or rolled back.
    void unitCommitted();
    void unitRolledBack();
    void setClean();
    // Around a statement that changes the schema.
    Schema beforeSchemaChange(const QString &sql);
    void afterSchemaChange(const QString &sql, const Schema &before);
    // Runs sql, passing schema changes through the two members above.
    bool execRecorded(const QString &sql, QString *error = nullptr);
    // Replays the entries first..last backwards and removes them; false when a statement
    // failed (the caller rolls back).
    bool replay(qint64 first, qint64 last);
    bool removeEntries(qint64 first, qint64 last);
    qint64 lastSeq() const;
    // A step that became visible once all of its entries exist.
    void pushStep(Step step);

    bool installTriggers(const QString &table);
    bool dropTriggers(const QString &table);
    Schema schema() const;
    qint64 schemaVersion() const;
    bool exec(const QString &sql) const;
    // Something went wrong in recording: the history can no longer be trusted.
    void discard(const char *reason);
    void closeImplicitStep();

    StoreMutex *m_mutex;
    QSqlDatabase m_db;
    bool m_enabled = false;
    // While set (an undo, a redo, a save), committed units do not close steps.
    bool m_suspended = false;
    QVector<Step> m_undo;
    QVector<Step> m_redo;
    qint64 m_nextId = 1;
    // Id of the top undo step when the store matched the file; 0: no step; -1: never again.
    qint64 m_cleanId = 0;
    // Highest log entry that belongs to a step.
    qint64 m_accounted = 0;
    int m_depth = 0;
    QString m_openName;
    qint64 m_openFirst = 0;
    int m_keepCounter = 0;
    qint64 m_schemaVersion = 0;
};
