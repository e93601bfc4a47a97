#include "cli/clipreferences.h"

#include "cli/commandline.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CliPreferences", text);
}

} // namespace

CliPreferences::CliPreferences(Options options)
    : offered(options),
      stack(QStringList{QStringLiteral("stack"), QStringLiteral("stack-path")},
            tr("protocol stack folder with the *_featureinfo_*.xml files (default: the path "
               "set in the window's settings)"),
            QStringLiteral("PATH")),
      noAutoCorrection(QStringLiteral("no-autocorrection"),
                       tr("report problems without correcting any object")),
      ignoreCheckErrors(QStringLiteral("ignore-check-errors"),
                        tr("generate also when the model check finds errors (exit code 1 "
                           "all the same)")),
      alwaysMultiLine(QStringLiteral("always-multi-line"),
                      tr("write the multi-line form of the stack files also for a project of "
                         "one line"))
{
}

void CliPreferences::addOptions(CommandLine &commandLine) const
{
    commandLine.addOption(stack);
    commandLine.addOption(noAutoCorrection);
    if (offered == GenerationOptions) {
        commandLine.addOption(ignoreCheckErrors);
        commandLine.addOption(alwaysMultiLine);
    }
}

Preferences CliPreferences::read(const CommandLine &commandLine) const
{
    const QSettings settings;
    Preferences preferences = Preferences::read(settings);
    if (commandLine.isSet(stack))
        preferences.stackPath = commandLine.value(stack);
    if (commandLine.isSet(noAutoCorrection))
        preferences.disableAutoCorrection = true;
    if (offered == GenerationOptions) {
        if (commandLine.isSet(ignoreCheckErrors))
            preferences.disableCheck = true;
        if (commandLine.isSet(alwaysMultiLine))
            preferences.alwaysMultiLine = true;
    }
    return preferences;
}
