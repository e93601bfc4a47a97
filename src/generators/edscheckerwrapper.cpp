#include "generators/edscheckerwrapper.h"

#include <QFileInfo>
#include <QProcess>

EdsCheckerWrapper::EdsCheckerWrapper(QObject *parent) : QObject(parent) {}

void EdsCheckerWrapper::setCheckerPath(const QString &path)
{
    checker = path;
}

QStringList EdsCheckerWrapper::checkerArguments(const QString &edsPath) const
{
    const QString folder = QFileInfo(checker).absolutePath();
    return {QStringLiteral("-e"), edsPath, QStringLiteral("-d"),
            folder + QStringLiteral("/v301.codb")};
}

bool EdsCheckerWrapper::startEDSCheck(const QString &edsPath)
{
    if (!QFileInfo::exists(edsPath))
        return false;
    delete process;
    output.clear();
    process = new QProcess(this);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int exitCode) {
                output += process->readAllStandardOutput();
                processFinished(exitCode);
            });
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this]() { output += process->readAllStandardOutput(); });
    // A checker that cannot be started never sends finished(); report it the same way.
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            processFinished(-1);
    });
    process->start(checker, checkerArguments(edsPath), QIODevice::ReadWrite);
    return true;
}

QString EdsCheckerWrapper::getResults() const
{
    if (!process)
        return QString();
    QByteArray all = output;
    const int zero = all.indexOf('\0');
    if (zero >= 0)
        all.truncate(zero);
    return QString::fromLatin1(all);
}

void EdsCheckerWrapper::processFinished(int exitCode)
{
    Q_UNUSED(exitCode)
    emit finished();
}
