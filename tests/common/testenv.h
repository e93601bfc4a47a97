#pragma once

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>

// Puts the per-user settings and data folders of a test run into test mode, so a test
// never reads or writes the user's own configuration. Call from initTestCase().
inline void nwIsolateTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}

// Writes content to the file at path, replacing what it held; false when that fails.
inline bool nwWriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(content) == content.size();
}

// The bytes of the file at path, or "<missing>" when it cannot be read.
inline QByteArray nwReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
