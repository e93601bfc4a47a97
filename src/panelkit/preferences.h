#pragma once

#include <QString>

class QSettings;

// The per-user options of the tool, valid for all projects: groups "General" and
// "EDSChecker" of the user's settings store, edited in the settings dialog. A front end
// (the window, the command-line tool) reads them once per action and hands the value to
// the generation run, the model checker and the generators, which never read the store
// themselves. Defaults are those of an empty store.
struct Preferences
{
    // Group "General".
    bool loadLastProject = false; // "loadlastproject" (stored as 1/0)
    bool implementationInfo = false; // "implinfo" (1/0): documentation generators
    bool focusMask = false; // "focusmask" (1/0)
    bool clearLogging = false; // "clearlogging" (1/0): generation run
    bool warnBeforeDeleting = false; // "warnbeforedeleting" (1/0)
    bool metadata = false; // "metadata"
    bool disableCheck = false; // "disablecheck": model errors do not stop the generation
    QString stackPath; // "costackpath": the protocol stack folder of the feature check
    QString postGenerationCommand; // "postgenerationcommand"
    QString postGenerationArguments; // "postgenerationcommandarguments"
    bool postGenerationInProject = false; // "postgenerationinproject"
    bool ignoreCbw = false; // "ignorecbw"
    bool disableAutoCorrection = false; // "disableautocorrection": model checker
    bool alwaysMultiLine = false; // "alwaysml": generators write the multi-line form
    int lineEndingIndex = 0; // "line_ending_index": 0 native, 1 CR LF, 2 LF, 3 CR
    QString updateService; // "update_service": the version manifest (not in the dialog)

    // Group "EDSChecker".
    QString edsCheckerPath; // "EDSCheckerPath"
    bool checkEds = false; // "checkeds"

    // Reads both groups from a store the caller opened; absent keys give the defaults.
    static Preferences read(const QSettings &settings);
    // Writes every key of both groups that the settings dialog edits, the first five as 1
    // or 0 as older versions of the tool read them.
    void write(QSettings &settings) const;

    // The line ending the line-ending pass converts the generated files to: "\r\n", "\n"
    // or "\r"; empty for 0 (and unknown values): the files stay as written.
    QString lineEnding() const;

    bool operator==(const Preferences &other) const;
    bool operator!=(const Preferences &other) const { return !(*this == other); }
};
