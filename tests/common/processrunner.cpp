#include "processrunner.h"

#include <QProcess>
#include <QProcessEnvironment>

nwtest::ProcessResult nwtest::runProcess(const QString &program, const QStringList &arguments,
                                         const ProcessOptions &options)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = options.environment.cbegin(); it != options.environment.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (options.mergeChannels)
        process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ProcessResult result;
    result.finished = process.waitForFinished(options.timeoutMs);
    if (!result.finished) {
        result.errorString = process.errorString();
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}
