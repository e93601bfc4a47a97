#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace nwtest {

// What a program started by a test did.
struct ProcessResult
{
    bool finished = false; // ended by itself within the time limit (else it was killed)
    int exitCode = -1;
    QString out;
    QString err; // merged into out when the channels are merged
    QString errorString; // why it did not start or finish
};

struct ProcessOptions
{
    // Set on top of the test's own environment.
    QMap<QString, QString> environment;
    QString workingDirectory;
    int timeoutMs = 60000;
    bool mergeChannels = false;
};

// Starts program with arguments and waits for it; a program still running at the time
// limit is killed.
ProcessResult runProcess(const QString &program, const QStringList &arguments,
                         const ProcessOptions &options = {});

// The headless front end and the desktop application of this build (areas app and cli).
#ifdef NW_CLI_PATH
inline ProcessResult runCli(const QStringList &arguments, const ProcessOptions &options = {})
{
    return runProcess(QStringLiteral(NW_CLI_PATH), arguments, options);
}
#endif
#ifdef NW_APP_PATH
inline ProcessResult runApp(const QStringList &arguments, const ProcessOptions &options = {})
{
    return runProcess(QStringLiteral(NW_APP_PATH), arguments, options);
}
#endif

} // namespace nwtest
