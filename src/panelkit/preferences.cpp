#include "panelkit/preferences.h"

#include <QSettings>

#include <tuple>

namespace {

const QString general = QStringLiteral("General/");
const QString edsChecker = QStringLiteral("EDSChecker/");

// Flags stored as 1/0 and as booleans both read right: a variant holding "1", "true", 1
// or true is set; "0", "false", 0, an empty text and an absent key are not.
bool flag(const QSettings &settings, const QString &key)
{
    return settings.value(key, false).toBool();
}

bool generalFlag(const QSettings &settings, const char *key)
{
    return flag(settings, general + QLatin1String(key));
}

QString text(const QSettings &settings, const QString &key)
{
    return settings.value(key).toString();
}

auto fields(const Preferences &p)
{
    return std::tie(p.loadLastProject, p.implementationInfo, p.focusMask, p.clearLogging,
                    p.warnBeforeDeleting, p.metadata, p.disableCheck, p.stackPath,
                    p.postGenerationCommand, p.postGenerationArguments, p.postGenerationInProject,
                    p.ignoreCbw, p.disableAutoCorrection, p.alwaysMultiLine, p.lineEndingIndex,
                    p.updateService, p.edsCheckerPath, p.checkEds);
}

} // namespace

Preferences Preferences::read(const QSettings &settings)
{
    Preferences p;
    p.loadLastProject = generalFlag(settings, "loadlastproject");
    p.implementationInfo = generalFlag(settings, "implinfo");
    p.focusMask = generalFlag(settings, "focusmask");
    p.clearLogging = generalFlag(settings, "clearlogging");
    p.warnBeforeDeleting = generalFlag(settings, "warnbeforedeleting");
    p.metadata = generalFlag(settings, "metadata");
    p.disableCheck = generalFlag(settings, "disablecheck");
    p.stackPath = text(settings, general + QStringLiteral("costackpath"));
    p.postGenerationCommand = text(settings, general + QStringLiteral("postgenerationcommand"));
    p.postGenerationArguments =
        text(settings, general + QStringLiteral("postgenerationcommandarguments"));
    p.postGenerationInProject = generalFlag(settings, "postgenerationinproject");
    p.ignoreCbw = generalFlag(settings, "ignorecbw");
    p.disableAutoCorrection = generalFlag(settings, "disableautocorrection");
    p.alwaysMultiLine = generalFlag(settings, "alwaysml");
    p.lineEndingIndex = settings.value(general + QStringLiteral("line_ending_index"), 0).toInt();
    p.updateService = text(settings, general + QStringLiteral("update_service")).trimmed();
    p.edsCheckerPath = text(settings, edsChecker + QStringLiteral("EDSCheckerPath"));
    p.checkEds = flag(settings, edsChecker + QStringLiteral("checkeds"));
    return p;
}

void Preferences::write(QSettings &settings) const
{
    const auto set = [&settings](const QString &key, const QVariant &value) {
        settings.setValue(key, value);
    };
    set(general + QStringLiteral("loadlastproject"), loadLastProject ? 1 : 0);
    set(general + QStringLiteral("implinfo"), implementationInfo ? 1 : 0);
    set(general + QStringLiteral("focusmask"), focusMask ? 1 : 0);
    set(general + QStringLiteral("clearlogging"), clearLogging ? 1 : 0);
    set(general + QStringLiteral("warnbeforedeleting"), warnBeforeDeleting ? 1 : 0);
    set(general + QStringLiteral("metadata"), metadata);
    set(general + QStringLiteral("disablecheck"), disableCheck);
    set(general + QStringLiteral("costackpath"), stackPath);
    set(general + QStringLiteral("postgenerationcommand"), postGenerationCommand);
    set(general + QStringLiteral("postgenerationcommandarguments"), postGenerationArguments);
    set(general + QStringLiteral("postgenerationinproject"), postGenerationInProject);
    set(general + QStringLiteral("ignorecbw"), ignoreCbw);
    set(general + QStringLiteral("disableautocorrection"), disableAutoCorrection);
    set(general + QStringLiteral("alwaysml"), alwaysMultiLine);
    set(general + QStringLiteral("line_ending_index"), lineEndingIndex);
    set(edsChecker + QStringLiteral("EDSCheckerPath"), edsCheckerPath);
    set(edsChecker + QStringLiteral("checkeds"), checkEds);
}

QString Preferences::lineEnding() const
{
    switch (lineEndingIndex) {
    case 1:
        return QStringLiteral("\r\n");
    case 2:
        return QStringLiteral("\n");
    case 3:
        return QStringLiteral("\r");
    default:
        return QString();
    }
}

bool Preferences::operator==(const Preferences &other) const
{
    return fields(*this) == fields(other);
}
