#include "generators/abstractgenerator.h"

#include "database/objectdatabase.h"
#include "generators/generatedtext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <mutex>

namespace {

// Read by workers, set by tests; a standard mutex, so that ThreadSanitizer sees it.
std::mutex fixedTimeMutex;
QDateTime fixedTime;

QString byteGroups(unsigned long long value, int bytes)
{
    QStringList groups;
    for (int i = bytes - 1; i >= 0; --i)
        groups << QStringLiteral("0x%1").arg((value >> (8 * i)) & 0xFF, 2, 16, QLatin1Char('0'));
    return groups.join(QLatin1Char(','));
}

} // namespace

AbstractGenerator::AbstractGenerator(QObject *parent)
    : QObject(parent), toolVersion(QCoreApplication::applicationVersion())
{
    qRegisterMetaType<quint8>("quint8");
}

AbstractGenerator::~AbstractGenerator()
{
    if (thread && thread->isRunning()) {
        thread->quit();
        thread->wait();
    }
}

unsigned AbstractGenerator::setOutputDirectory(const QString &directory)
{
    if (busy())
        return Busy;
    outputDirectory = directory;
    const QFileInfo info(directory);
    if (!info.exists() || !info.isDir())
        return DirectoryMissing;
    if (!info.isReadable())
        return DirectoryNotReadable;
    return Done;
}

unsigned AbstractGenerator::setProjectName(const QString &name)
{
    if (busy())
        return Busy;
    projectName = name;
    return Done;
}

unsigned AbstractGenerator::setDataBase(const ObjectDataBase *db)
{
    if (busy())
        return Busy;
    if (!db)
        return NoDataBase;
    database = db;
    return db->getNodes().isEmpty() ? NoDataBase : Done;
}

unsigned AbstractGenerator::setActiveLine(unsigned char line)
{
    if (busy())
        return Busy;
    activeLine = line;
    const ObjectDataBase *db = dataBase();
    if (db && !db->existNode(line))
        return NoSuchLine;
    return Done;
}

unsigned AbstractGenerator::setMultiLine(bool on)
{
    if (busy())
        return Busy;
    multiLine = on;
    return Done;
}

unsigned AbstractGenerator::setJ1939Present(bool on)
{
    if (busy())
        return Busy;
    j1939Present = on;
    return Done;
}

unsigned AbstractGenerator::setMultiProtocol(bool on)
{
    if (busy())
        return Busy;
    multiProtocol = on;
    return Done;
}

unsigned AbstractGenerator::setPreferences(const Preferences &preferences)
{
    if (busy())
        return Busy;
    userPreferences = preferences;
    return Done;
}

const ObjectDataBase *AbstractGenerator::dataBase() const
{
    return database.data();
}

void AbstractGenerator::wait()
{
    while (!jobDone.load(std::memory_order_acquire) || (thread && thread->isRunning())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    // Signals queued by the worker just before it ended.
    QCoreApplication::processEvents();
}

QString AbstractGenerator::convertValue(quint16 type, unsigned long long uValue, long long sValue)
{
    switch (type) {
    case 0x0010:
        return QStringLiteral("I24_SET(%1)")
            .arg(byteGroups(static_cast<unsigned long long>(sValue), 3));
    case 0x0016:
        return QStringLiteral("U24_SET(%1)").arg(byteGroups(uValue, 3));
    case 0x0018:
        return QStringLiteral("U40_SET(%1)").arg(byteGroups(uValue, 5));
    case 0x000C:
    case 0x0019:
        return QStringLiteral("U48_SET(%1)").arg(byteGroups(uValue, 6));
    case 0x001B:
        return QStringLiteral("U64_SET(%1)").arg(byteGroups(uValue, 8));
    default:
        return QStringLiteral("0");
    }
}

void AbstractGenerator::checkForceMLFlag()
{
    if (userPreferences.alwaysMultiLine)
        forceMultiLine = true;
}

QDateTime AbstractGenerator::currentDateTime()
{
    const std::lock_guard<std::mutex> locker(fixedTimeMutex);
    return fixedTime.isValid() ? fixedTime : QDateTime::currentDateTime();
}

void AbstractGenerator::setFixedDateTime(const QDateTime &dateTime)
{
    const std::lock_guard<std::mutex> locker(fixedTimeMutex);
    fixedTime = dateTime;
}

QString AbstractGenerator::currentDateTimeText()
{
    return currentDateTime().toString(Qt::TextDate);
}

unsigned AbstractGenerator::startWorker(const QString &name)
{
    if (busy())
        return Busy;
    setObjectName(name);
    abortRequested = false;
    failed = false;
    failure.clear();
    homeThread = QThread::currentThread();
    jobDone = false;
    thread = QSharedPointer<QThread>(new QThread);
    // The job runs on the worker as soon as it starts; everything it needs is set before.
    connect(thread.data(), &QThread::started, this, &AbstractGenerator::runJob,
            Qt::DirectConnection);
    moveToThread(thread.data());
    thread->start(QThread::InheritPriority);
    return Done;
}

unsigned AbstractGenerator::requestAbort()
{
    if (!running)
        return NotRunning;
    abortRequested = true;
    return Done;
}

QString AbstractGenerator::targetPath(const QString &fileName) const
{
    return outputDirectory + QLatin1Char('/') + fileName;
}

bool AbstractGenerator::isTargetWritable(const QString &fileName) const
{
    const QFileInfo info(targetPath(fileName));
    return !info.exists() || info.isWritable();
}

void AbstractGenerator::beginJob(bool supportsMultiLine)
{
    running = true;
    if (supportsMultiLine)
        checkForceMLFlag();
}

QSharedPointer<QSaveFile> AbstractGenerator::createOutputFile(const QString &fileName)
{
    QSharedPointer<QSaveFile> file(new QSaveFile(targetPath(fileName)));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug() << "AbstractGenerator::createOutputFile: cannot write" << file->fileName()
                 << file->errorString();
        failure = tr("%1 cannot be written: %2").arg(file->fileName(), file->errorString());
        return {};
    }
    return file;
}

void AbstractGenerator::lockDataBase(bool lock)
{
    if (const ObjectDataBase *db = dataBase())
        db->setLockWriteAccess(lock);
}

QString AbstractGenerator::fileHeader(const QString &descriptionLine, const QString &closing) const
{
    return QStringLiteral("/*\n")
           + descriptionLine.arg(projectName, QCoreApplication::applicationName(), toolVersion)
           + QStringLiteral(" * ") + currentDateTimeText() + QLatin1Char('\n') + closing;
}

void AbstractGenerator::writeFileHeader(GeneratedText &out, const QString &descriptionLine,
                                        const QString &closing) const
{
    out << fileHeader(descriptionLine, closing);
}

bool AbstractGenerator::finishJob(const QList<QSaveFile *> &files)
{
    lockDataBase(false);
    running = false;
    bool ok = true;
    for (QSaveFile *file : files) {
        if (file && !file->commit()) {
            qDebug() << "AbstractGenerator::finishJob: cannot commit" << file->fileName()
                     << file->errorString();
            if (ok)
                failure = tr("%1 cannot be written: %2").arg(file->fileName(), file->errorString());
            ok = false;
        }
    }
    failed = !ok;
    endWorker();
    emit progress(100);
    return ok;
}

void AbstractGenerator::failJob()
{
    running = false;
    if (failure.isEmpty())
        failure = tr("%1 was not written.").arg(objectName());
    failed = true;
    endWorker();
    emit progress(100);
}

void AbstractGenerator::runJob()
{
    doJob();
    // Everything the job wrote is visible to the caller once wait() sees this.
    jobDone.store(true, std::memory_order_release);
}

bool AbstractGenerator::busy() const
{
    return running || (thread && thread->isRunning() && QThread::currentThread() != thread.data());
}

void AbstractGenerator::endWorker()
{
    if (!thread || QThread::currentThread() != thread.data())
        return;
    if (homeThread)
        moveToThread(homeThread);
    thread->quit();
}
