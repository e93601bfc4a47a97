#include "panelkit/stacktargets.h"

#include "database/objectdatabase.h"
#include "panelkit/stacksettings.h"

#include <QCoreApplication>

namespace {

const QString countKey = QStringLiteral("targetsettings_cnt");
const QString activeKey = QStringLiteral("targetsettings_active");

QString tr(const char *text)
{
    return QCoreApplication::translate("StackTargets", text);
}

int decimal(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

// A stored value, or the text the generators take for a missing one.
QString storedOr(ObjectDataBase *db, const QString &key, const char *absent)
{
    return db->existGeneralSettingsValue(key) ? db->getGeneralSettingsValue(key)
                                              : QString::fromLatin1(absent);
}

StackTarget loadTarget(ObjectDataBase *db, int target, bool listStored)
{
    StackTarget loaded;
    loaded.name = db->getGeneralSettingsValue(StackTargets::nameKey(target));
    if (loaded.name.isEmpty())
        loaded.name = tr("Target %1").arg(target);
    for (const StackSetting *setting : StackTargets::settings()) {
        const QString baseKey = QLatin1String(setting->key);
        const QString ownKey = StackTargets::key(*setting, target);
        // The first target is the base hardware; the base settings win when present.
        const bool fromBase =
            target == 0 && (!listStored || db->existGeneralSettingsValue(baseKey));
        loaded.values.insert(baseKey, fromBase ? storedOr(db, baseKey, setting->absentText)
                                               : storedOr(db, ownKey, setting->absentText));
    }
    return loaded;
}

} // namespace

QList<const StackSetting *> StackTargets::settings()
{
    QList<const StackSetting *> perTarget;
    for (const StackSetting *setting : StackSettings::section(StackSetting::Section::Hardware)) {
        if (setting->hasFlag(StackSetting::PerTarget))
            perTarget.append(setting);
    }
    return perTarget;
}

QString StackTargets::key(const StackSetting &setting, int target)
{
    return QString::fromLatin1(setting.targetKey).arg(target);
}

QString StackTargets::nameKey(int target)
{
    return QStringLiteral("targetsettings_%1_name").arg(target);
}

StackTargets StackTargets::load(ObjectDataBase *db)
{
    StackTargets list;
    if (!db)
        return list;
    const int count = decimal(db->getGeneralSettingsValue(countKey), 0);
    const bool stored = count > 0;
    for (int target = 0; target < qMax(count, 1); ++target)
        list.targets.append(loadTarget(db, target, stored));
    list.active = decimal(db->getGeneralSettingsValue(activeKey), 0);
    if (list.active < -1 || list.active >= list.targets.size())
        list.active = -1;
    return list;
}

bool StackTargets::save(ObjectDataBase *db) const
{
    if (!db || targets.isEmpty() || !db->beginTransaction())
        return false;
    db->setGeneralSettingsValue(countKey, QString::number(targets.size()));
    db->setGeneralSettingsValue(activeKey, QString::number(active));
    for (int target = 0; target < targets.size(); ++target) {
        db->setGeneralSettingsValue(nameKey(target), targets.at(target).name);
        for (const StackSetting *setting : settings()) {
            const QString value = targets.at(target).values.value(QLatin1String(setting->key));
            db->setGeneralSettingsValue(key(*setting, target), value);
            if (target == 0)
                db->setGeneralSettingsValue(QLatin1String(setting->key), value);
        }
    }
    return db->commitTransaction();
}

QString StackTargets::validate() const
{
    const StackSetting *nameSetting = StackSettings::find(nameKey(0));
    QMap<QString, int> defines;
    for (int target = 0; target < targets.size(); ++target) {
        const StackTarget &one = targets.at(target);
        const QString nameProblem = StackSettings::validate(*nameSetting, one.name);
        if (!nameProblem.isEmpty())
            return nameProblem;
        for (const StackSetting *setting : settings()) {
            const QString problem =
                StackSettings::validate(*setting, one.values.value(QLatin1String(setting->key)));
            if (!problem.isEmpty())
                return tr("%1: %2").arg(one.name, problem);
        }
        const QString id = define(target);
        if (defines.contains(id))
            return tr("The targets %1 and %2 have the same target define %3.")
                .arg(targets.at(defines.value(id)).name, one.name, id);
        defines.insert(id, target);
    }
    return QString();
}

void StackTargets::add()
{
    StackTarget target;
    int number = targets.size();
    const auto taken = [this](const QString &name) {
        return std::any_of(targets.cbegin(), targets.cend(),
                           [&name](const StackTarget &t) { return t.name == name; });
    };
    while (taken(tr("Target %1").arg(number)))
        ++number;
    target.name = tr("Target %1").arg(number);
    for (const StackSetting *setting : settings())
        target.values.insert(QLatin1String(setting->key), QLatin1String(setting->defaultText));
    targets.append(target);
}

bool StackTargets::remove(int index)
{
    if (targets.size() < 2 || index < 0 || index >= targets.size())
        return false;
    targets.removeAt(index);
    if (active == index)
        active = -1;
    else if (active > index)
        --active;
    return true;
}

QString StackTargets::define(int index) const
{
    const QString id = targets.value(index).values.value(QStringLiteral("target_id")).trimmed();
    return id.isEmpty() ? QStringLiteral("TARGET_%1").arg(index) : id;
}
