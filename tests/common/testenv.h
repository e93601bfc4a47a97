#pragma once

#include <QStandardPaths>

// Puts the per-user settings and data folders of a test run into test mode, so a test
// never reads or writes the user's own configuration. Call from initTestCase().
inline void nwIsolateTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}
