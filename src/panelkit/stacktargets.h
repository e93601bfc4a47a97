#pragma once

#include <QList>
#include <QMap>
#include <QString>

class ObjectDataBase;
struct StackSetting;

// One hardware target: a name and its own copy of every per-target hardware setting.
struct StackTarget
{
    QString name;
    // By the key of the base setting ("co_timer_interval", "endian", "hw_defines", ...).
    QMap<QString, QString> values;

    bool operator==(const StackTarget &other) const
    {
        return name == other.name && values == other.values;
    }
    bool operator!=(const StackTarget &other) const { return !(*this == other); }
};

// The hardware targets of a project ("targetsettings_cnt", "targetsettings_active" and
// "targetsettings_<n>_<field>"). The first target is the project's base hardware: its
// values are also the base settings (co_timer_interval, endian, ...) that gen_define.h
// holds when not all targets are generated. A project without a target list shows one
// target made from the base settings.
class StackTargets
{
public:
    QList<StackTarget> targets;
    // Index of the active target, whose define gen_define.h sets; -1 when none is.
    int active = 0;

    static StackTargets load(ObjectDataBase *db);
    // Writes the whole list as one unit of writes (values that did not change are left
    // alone). False when the store refused a write; nothing is written then.
    bool save(ObjectDataBase *db) const;
    // The first problem of the list, or empty: a value that fails its check, an empty
    // name, two targets with the same target define.
    QString validate() const;

    // Appends a target named "Target <n>" with the default hardware settings.
    void add();
    // Removes a target; the last one is never removed. An active target removed leaves
    // no target active.
    bool remove(int index);
    // The macro that selects a target in gen_define.h: its target define, or "TARGET_<n>".
    QString define(int index) const;

    // The hardware settings every target has a copy of, in row order.
    static QList<const StackSetting *> settings();
    static QString key(const StackSetting &setting, int target);
    static QString nameKey(int target);

    bool operator==(const StackTargets &other) const
    {
        return active == other.active && targets == other.targets;
    }
    bool operator!=(const StackTargets &other) const { return !(*this == other); }
};
