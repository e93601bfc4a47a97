#pragma once

#include "panelkit/preferences.h"

#include <QCommandLineOption>

class CommandLine;

// The user's preferences for one command of the command-line tool: read once from the
// settings the window keeps (Options > Settings), then overridden by the command's
// options, so that a project can be checked and generated on a machine where the window
// was never set up.
class CliPreferences
{
public:
    enum Options {
        CheckOptions, // --stack, --no-autocorrection
        GenerationOptions // the above, --ignore-check-errors, --always-multi-line
    };
    explicit CliPreferences(Options options);

    void addOptions(CommandLine &commandLine) const;
    // The stored preferences with the given options applied.
    Preferences read(const CommandLine &commandLine) const;

private:
    Options offered;
    QCommandLineOption stack;
    QCommandLineOption noAutoCorrection;
    QCommandLineOption ignoreCheckErrors;
    QCommandLineOption alwaysMultiLine;
};
