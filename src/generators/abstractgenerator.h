#pragma once

#include "panelkit/preferences.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QThread>

#include <atomic>

class ObjectDataBase;
class QSaveFile;
class GeneratedText;

// Base of every output generator. A caller creates one generator per file and run,
// configures it (setDataBase, setOutputDirectory, setProjectName, setActiveLine and the
// flags), asks checkWritability(), connects progress(), calls startGeneration() and then
// wait(). The work (doJob) runs on a worker thread of its own while the caller's thread
// keeps processing events inside wait().
//
// A concrete generator implements checkWritability, startGeneration, abortGeneration and
// doJob; the protected helpers below carry the steps every generator shares, so a typical
// doJob reads
//
//     beginJob(true);
//     auto file = createOutputFile(QStringLiteral("gen_x.h"));
//     if (!file) { failJob(); return; }
//     lockDataBase(true);
//     ... write sections, emit progress(25/50/75) ...
//     finishJob({file.data()});
//
// A job whose file could not be written ends with progress(100) as well; the caller asks
// hasFailed() after wait() and shows errorString().
class AbstractGenerator : public QObject
{
    Q_OBJECT

public:
    // Result codes of the setters, startGeneration and abortGeneration.
    enum ResultCode : unsigned {
        Done = 0,
        DirectoryMissing = 1,
        DirectoryNotReadable = 2,
        NoDataBase = 3,
        NoSuchLine = 4,
        Busy = 5,
        NotRunning = 6
    };

    explicit AbstractGenerator(QObject *parent = nullptr);
    // Waits for a worker thread that is still running.
    ~AbstractGenerator() override;

    // Stores the directory (also when it is refused), then: 1 missing, 2 not readable.
    unsigned setOutputDirectory(const QString &directory);
    unsigned setProjectName(const QString &name);
    // Generators only read the project. 3 for a null database or one without lines.
    unsigned setDataBase(const ObjectDataBase *db);
    // Stores the line; 4 when a database is set and has no such line.
    unsigned setActiveLine(unsigned char line);
    // Flags set by the caller before the start. Each returns 5 (nothing changed) while
    // a generation runs, else 0.
    unsigned setMultiLine(bool on);
    unsigned setJ1939Present(bool on);
    unsigned setMultiProtocol(bool on);
    // The user's preferences for this run ("alwaysml" and the like); 5 while running.
    unsigned setPreferences(const Preferences &preferences);

    unsigned char getActiveLine() const { return activeLine; }
    QString getOutputDirectory() const { return outputDirectory; }
    QString getProjectName() const { return projectName; }
    bool isRunning() const { return running; }
    bool isMultiLine() const { return multiLine; }
    bool isForceMultiLine() const { return forceMultiLine; }
    bool isJ1939Present() const { return j1939Present; }
    bool isMultiProtocol() const { return multiProtocol; }
    bool isAbortRequested() const { return abortRequested; }
    QString getToolVersion() const { return toolVersion; }
    const Preferences &preferences() const { return userPreferences; }
    // After the run: the output file was not written (it could not be opened or not be
    // committed); the previous file, if any, is left as it was. errorString() says why.
    bool hasFailed() const { return failed; }
    QString errorString() const { return failed ? failure : QString(); }
    // The database, or null when none was given or it has been destroyed.
    const ObjectDataBase *dataBase() const;

    // True when the target file does not exist yet or can be written.
    virtual bool checkWritability() = 0;
    // 5 while running; otherwise starts doJob on a new worker thread and returns 0.
    virtual unsigned startGeneration() = 0;
    // 6 when idle; otherwise asks the running job to stop and returns 0.
    virtual unsigned abortGeneration() = 0;

    // Returns once the worker thread of the run has finished, processing the caller's
    // events meanwhile (queued progress signals arrive here). Returns at once when no
    // run was started.
    void wait();

    // Initialiser text for the types without a native C type in the stack (INTEGER24,
    // UNSIGNED24/40/48/64, TIME_OF_DAY): one macro call with the value's bytes, most
    // significant first, as "0x%1" with two lower-case digits. "0" for any other type.
    static QString convertValue(quint16 type, unsigned long long uValue, long long sValue);

    // Sets forceMultiLine when the preference "alwaysml" is set.
    void checkForceMLFlag();

    // The time printed into generated files and stamped on output lines. Tests fix it
    // with setFixedDateTime(); an invalid value returns to the clock.
    static QDateTime currentDateTime();
    static void setFixedDateTime(const QDateTime &dateTime);
    // currentDateTime() as printed in file headers and output lines.
    static QString currentDateTimeText();

signals:
    // Percentage done, 0 to 100. 100 is sent exactly once per run, also when the file
    // could not be opened.
    void progress(quint8 value);

public slots:
    virtual void doJob() = 0;

protected:
    // The shared part of startGeneration: 5 while running; otherwise names the object,
    // moves it to a new worker thread and starts the thread, which runs doJob. Returns 0.
    unsigned startWorker(const QString &name);
    // The shared part of abortGeneration: 6 when idle, else sets abortRequested.
    unsigned requestAbort();

    // outputDirectory + "/" + fileName.
    QString targetPath(const QString &fileName) const;
    // The rule of checkWritability for one file of the output directory.
    bool isTargetWritable(const QString &fileName) const;

    // Step 1 of every job: sets running and, for generators with a multi-line form,
    // reads the "alwaysml" preference.
    void beginJob(bool supportsMultiLine);
    // Opens the target for writing in text mode. The file replaces an existing one only
    // when it is committed by finishJob, so a failed run leaves the old file intact.
    // Null when it cannot be opened.
    QSharedPointer<QSaveFile> createOutputFile(const QString &fileName);
    // setLockWriteAccess on the database, when there is one.
    void lockDataBase(bool lock);
    // The comment block that opens every generated C file:
    // "/*\n" + descriptionLine(%1 project, %2 application, %3 version) + " * " + date
    // + "\n" + closing. descriptionLine is given complete, e.g.
    // " * Stack definitions for %1 - generated by %2 %3\n"; closing is e.g. " */\n\n".
    QString fileHeader(const QString &descriptionLine, const QString &closing) const;
    void writeFileHeader(GeneratedText &out, const QString &descriptionLine,
                         const QString &closing) const;
    // Last step of every job: unlocks the database, clears running, commits and closes
    // the files, hands the object back to the thread that started it, ends the worker
    // thread and sends progress(100). A file that cannot be committed marks the job as
    // failed (hasFailed) and keeps the previous file; returns false then.
    bool finishJob(const QList<QSaveFile *> &files);
    // The end of a job whose file could not be opened: nothing written, the job marked as
    // failed, progress(100).
    void failJob();
    // Called after each object of a job's loop (count starts at 0): gives other threads a
    // turn after every 256th object. A yield after every object cost more wall time than
    // the writing itself on a loaded machine, where each yield hands the core to another
    // process; the job's own thread never holds up the caller's, which keeps processing
    // events in wait().
    static void yieldAfterObject(int &count)
    {
        if (++count % 256 == 0)
            QThread::yieldCurrentThread();
    }

    unsigned char activeLine = 0;
    // Written by the worker thread and read by the caller's thread while the job runs.
    std::atomic<bool> abortRequested{false};
    std::atomic<bool> running{false};
    bool multiLine = false;
    QString projectName;
    QString outputDirectory;
    QPointer<const ObjectDataBase> database;
    QSharedPointer<QThread> thread;
    QString toolVersion;
    bool j1939Present = false;
    bool multiProtocol = false;
    bool forceMultiLine = false;
    Preferences userPreferences;

private:
    // Runs doJob on the worker thread and marks the job as done.
    void runJob();
    void endWorker();
    // A run is under way: from startGeneration until the job has finished.
    bool busy() const;

    QThread *homeThread = nullptr;
    // Set by the worker after its last step; wait() returns only after it was set.
    std::atomic<bool> jobDone{true};
    // Set on the worker before its last progress(100); read by the caller after wait().
    std::atomic<bool> failed{false};
    QString failure;
};
