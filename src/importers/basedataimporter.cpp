#include "basedataimporter.h"

#include <QFileInfo>
#include <QThread>

BaseDataImporter::BaseDataImporter(QObject *parent) : QObject(parent) {}

BaseDataImporter::~BaseDataImporter()
{
    if (m_thread) {
        m_abort = true;
        m_thread->quit();
        m_thread->wait();
        delete m_thread;
    }
}

bool BaseDataImporter::startImport()
{
    if (m_running)
        return false;
    if (!m_thread)
        m_thread = new QThread;
    // The previous run may still be leaving its thread; restart only once it has.
    m_thread->wait();
    m_running = true;
    m_abort = false;
    m_homeThread = thread();
    moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    QMetaObject::invokeMethod(this, "doImport", Qt::QueuedConnection);
    return true;
}

bool BaseDataImporter::abortImport()
{
    if (m_running)
        m_abort = true;
    return m_running;
}

void BaseDataImporter::finishImport()
{
    // Releases everything the job wrote to the thread that takes the results.
    m_running.store(false, std::memory_order_release);
    if (!m_thread) {
        // doImport() was called directly on the caller's thread.
        emit progress(100);
        return;
    }
    // Back to the starting thread, so that the owner may delete the reader as soon as it
    // hears progress(100). That is sent only once the worker thread has ended.
    moveToThread(m_homeThread);
    m_thread->quit();
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_thread->wait();
            takeResults();
            emit progress(100);
        },
        Qt::QueuedConnection);
}

bool BaseDataImporter::setActiveLine(quint8 line)
{
    m_activeLine = line;
    return true;
}

bool BaseDataImporter::setIndexRange(quint32 low, quint32 high)
{
    m_lowIndex = low;
    m_highIndex = high;
    return true;
}

bool BaseDataImporter::setDatabase(ObjectDataBase *database)
{
    if (!database)
        return false;
    m_database = database;
    return true;
}

bool BaseDataImporter::setImportFileName(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists() && info.isFile() && info.isReadable()) {
        m_importFileName = fileName;
        return true;
    }
    m_importFileName.clear();
    return false;
}

bool BaseDataImporter::isFinished() const
{
    return !m_thread || m_thread->isFinished();
}

void BaseDataImporter::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    takeResults();
}

void BaseDataImporter::takeResults() const
{
    // QThread::wait() orders the worker's writes before what follows, but through a futex
    // ThreadSanitizer cannot follow; this acquire pairs with the release in finishImport().
    static_cast<void>(m_running.load(std::memory_order_acquire));
}

quint16 BaseDataImporter::getDataTypeFromBitLength(quint16 bits)
{
    // Index = bit length; 0 where no type of that exact length exists.
    static const quint16 table[65] = {
        0,   1,   100, 101, 102, 103, 104, 105, 5,  0, // 0..9
        107, 108, 109, 110, 111, 0,   6,   0,   0,  0, // 10..19
        0,   0,   0,   0,   22,  0,   0,   0,   0,  0, // 20..29
        0,   0,   7,   0,   0,   0,   0,   0,   0,  0, // 30..39
        24,  0,   0,   0,   0,   0,   0,   0,   25, 0, // 40..49
        0,   0,   0,   0,   0,   0,   0,   0,   0,  0, // 50..59
        0,   0,   0,   0,   27 // 60..64
    };
    if (bits > 64)
        return 10;
    return table[bits];
}

QString BaseDataImporter::proposeVarname(quint32 id, const QString &name)
{
    static const QString dropped = QStringLiteral(" -#().,/");
    QString result;
    result.reserve(name.size());
    for (const QChar c : name) {
        if (!dropped.contains(c))
            result.append(c);
    }
    result = result.toLower();
    while (m_varnames.contains(result))
        result += QLatin1Char('_') + QString::number(id, 16);
    m_varnames.insert(result);
    return result;
}
