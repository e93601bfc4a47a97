#pragma once

#include "generators/abstractgenerator.h"

#include <QSharedPointer>
#include <QString>

#include <functional>

class QSaveFile;
class GeneratedText;

// Base of the documentation writers: one human-readable file per line, named after the
// project ("demo.html", "demo_doc.txt") or, when multiLine is set, after the project and
// the line ("demo_1.html", "demo_1.txt"). The job opens the file, writes the head
// (prepareOutputFile), write-locks the database, lets the concrete class write the
// document (writeDocument) and commits the file; a failed run leaves an old file intact.
class DocumentationGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    // True when the file this generator writes does not exist yet or can be written.
    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // The file name inside the output directory, by the multiLine flag and the line.
    QString documentFileName() const;
    // The last job wrote its file completely (false before a job, and when the file could
    // not be opened or committed; an old file is then left as it was).
    bool isFileWritten() const { return fileWritten; }

public slots:
    void doJob() override;

protected:
    // objectName names the generator in progress messages; singleFile is appended to the
    // project name for a single-line project ("_doc.txt"), lineExtension to
    // "<project>_<line>" otherwise (".txt").
    DocumentationGenerator(const QString &objectName, const QString &singleFile,
                           const QString &lineExtension, QObject *parent = nullptr);

    // Called on the worker thread before the file is opened: read the settings the
    // document depends on.
    virtual void readSettings() {}
    // Opens the target and writes the head. False when the file cannot be opened.
    virtual bool prepareOutputFile();
    // Writes the head of the document to out().
    virtual void writeHead() = 0;
    // Writes everything after the head; the database is write-locked meanwhile.
    virtual void writeDocument() = 0;

    // True (and logs it) when the caller asked the job to stop: checked before each
    // object or parameter group, it ends the list early.
    bool stopRequested() const;
    // Calls visit for each transmitted PGN of the active line, then for each received one,
    // in ascending order, until the caller asks the job to stop.
    void forEachPgn(const std::function<void(quint8 direction, quint32 pgn)> &visit);
    // The stream of the open file, valid from prepareOutputFile until the job ends.
    GeneratedText &out() const { return *stream; }

private:
    QString jobName;
    QString singleFileSuffix;
    QString lineFileExtension;
    QSharedPointer<QSaveFile> file;
    QSharedPointer<GeneratedText> stream;
    bool fileWritten = false;
};
