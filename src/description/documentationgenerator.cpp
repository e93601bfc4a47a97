#include "description/documentationgenerator.h"

#include "database/objectdatabase.h"
#include "generators/generatedtext.h"

#include <QDebug>
#include <QSaveFile>

DocumentationGenerator::DocumentationGenerator(const QString &objectName, const QString &singleFile,
                                               const QString &lineExtension, QObject *parent)
    : AbstractGenerator(parent), jobName(objectName), singleFileSuffix(singleFile),
      lineFileExtension(lineExtension)
{
}

QString DocumentationGenerator::documentFileName() const
{
    if (multiLine)
        return projectName + QLatin1Char('_') + QString::number(activeLine) + lineFileExtension;
    return projectName + singleFileSuffix;
}

// The file actually written is tested, so that a read-only file of one line is reported
// instead of silently kept, and an old single-line file does not block the line files.
bool DocumentationGenerator::checkWritability()
{
    return isTargetWritable(documentFileName());
}

unsigned DocumentationGenerator::startGeneration()
{
    return startWorker(jobName);
}

unsigned DocumentationGenerator::abortGeneration()
{
    return requestAbort();
}

bool DocumentationGenerator::stopRequested() const
{
    if (!abortRequested)
        return false;
    qDebug() << "Generation aborted";
    return true;
}

void DocumentationGenerator::forEachPgn(
    const std::function<void(quint8 direction, quint32 pgn)> &visit)
{
    const ObjectDataBase *db = dataBase();
    if (!db)
        return;
    for (const quint8 direction :
         {ObjectDataBase::DirectionTransmit, ObjectDataBase::DirectionReceive}) {
        for (quint32 pgn : db->getPGNs(activeLine, direction)) {
            if (stopRequested())
                return;
            visit(direction, pgn);
        }
    }
}

bool DocumentationGenerator::prepareOutputFile()
{
    file = createOutputFile(documentFileName());
    if (!file)
        return false;
    stream.reset(new GeneratedText(file.data()));
    writeHead();
    return true;
}

void DocumentationGenerator::doJob()
{
    beginJob(false);
    fileWritten = false;
    readSettings();
    if (!prepareOutputFile()) {
        failJob();
        return;
    }
    emit progress(25);
    lockDataBase(true);
    writeDocument();
    emit progress(75);
    stream->flush();
    QSharedPointer<QSaveFile> written = file;
    stream.reset();
    file.reset();
    fileWritten = finishJob({written.data()});
}
