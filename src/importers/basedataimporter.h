#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>

class ObjectDataBase;
class QThread;

// Common base of the readers that fill a line of a database from a description file.
// A reader runs doImport() on its own worker thread (startImport) and reports progress;
// progress(100) means finished and is sent on the starting thread once the worker thread
// has ended, so the owner may delete the reader in its handler. Headless callers may also
// call doImport() directly; it then runs on their thread. A reader writes only into the
// active line of its database.
class BaseDataImporter : public QObject
{
    Q_OBJECT

public:
    // An object dictionary address in the copy and delete lists of a reader;
    // wholeIndex says that the address means the whole object.
    struct SubAddress
    {
        quint16 index = 0;
        quint8 subIndex = 0;
        bool wholeIndex = false;
    };

    explicit BaseDataImporter(QObject *parent = nullptr);
    ~BaseDataImporter() override;

    // False while an import is running. Otherwise moves the reader to its worker thread
    // (created on first use), starts it and queues doImport().
    bool startImport();
    // Asks a running import to stop; returns whether one is running.
    bool abortImport();
    bool setActiveLine(quint8 line);
    bool setIndexRange(quint32 low, quint32 high);
    // False for a null database.
    bool setDatabase(ObjectDataBase *database);
    // Stores the name of an existing, readable file; otherwise clears it and returns false.
    bool setImportFileName(const QString &fileName);
    // The worker thread has finished (true when none was ever started).
    bool isFinished() const;
    // Waits without limit for the worker thread.
    void wait();

    quint8 activeLine() const { return m_activeLine; }
    quint32 lowIndex() const { return m_lowIndex; }
    quint32 highIndex() const { return m_highIndex; }
    QString importFileName() const { return m_importFileName; }
    bool isRunning() const { return m_running; }

    // Data type of a bit field of the given length: the CiA 301 integer types for 8, 16,
    // 24, 32, 40, 48 and 64 bits, BOOLEAN for 1 bit, the tool's own bit-field types for
    // 2..7 and 10..14 bits, OCTET_STRING above 64 bits; 0 for every other length.
    static quint16 getDataTypeFromBitLength(quint16 bits);
    // A C variable name made from name that this reader has not handed out before: blanks
    // and "-#().,/" dropped, lower case, and "_<id in hex>" appended while it is taken.
    QString proposeVarname(quint32 id, const QString &name);

    virtual QString getLastError() = 0;

public slots:
    virtual void doImport() = 0;

signals:
    void progress(quint8 value);
    void importError(const QString &errorString);
    void importError(unsigned int line, unsigned short index, unsigned char sub);

protected:
    // Called by doImport() at its end: clears the running flag, hands the reader back to
    // the thread that started it, ends the worker thread and sends progress(100).
    void finishImport();
    bool abortRequested() const { return m_abort; }

    ObjectDataBase *m_database = nullptr;
    std::atomic_bool m_running{false};

private:
    // On the starting thread once the worker has ended: what the job wrote is visible from
    // here on.
    void takeResults() const;

    QThread *m_thread = nullptr;
    QThread *m_homeThread = nullptr;
    std::atomic_bool m_abort{false};
    quint8 m_activeLine = 0;
    QString m_importFileName;
    QSet<QString> m_varnames;
    quint32 m_lowIndex = 0x1000;
    quint32 m_highIndex = 0xBFFF;
};
