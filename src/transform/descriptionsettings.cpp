#include "transform/descriptionsettings.h"

const QList<DescriptionSettings::Key> &DescriptionSettings::keys()
{
    static const QList<Key> table = {
        {"FileVersion", Kind::Number, 0, 255}, {"FileRevision", Kind::Number, 0, 255},
        {"CreatedBy", Kind::Text, 0, 0},       {"ModifiedBy", Kind::Text, 0, 0},
        {"Comment", Kind::Comment, 0, 0},      {"VendorName", Kind::Text, 0, 0},
        {"ProductName", Kind::Text, 0, 0},     {"OrderCode", Kind::Text, 0, 0},
        {"Granularity", Kind::Number, 0, 64},  {"NrOfRXPDO", Kind::Number, 0, 512},
        {"NrOfTXPDO", Kind::Number, 0, 512},   {"LSS_Supported", Kind::Flag, 0, 1},
        {"SelfStarting", Kind::Flag, 0, 1},    {"BaudRate_10", Kind::Flag, 0, 1},
        {"BaudRate_20", Kind::Flag, 0, 1},     {"BaudRate_50", Kind::Flag, 0, 1},
        {"BaudRate_125", Kind::Flag, 0, 1},    {"BaudRate_250", Kind::Flag, 0, 1},
        {"BaudRate_500", Kind::Flag, 0, 1},    {"BaudRate_800", Kind::Flag, 0, 1},
        {"BaudRate_1000", Kind::Flag, 0, 1},   {"Dummy0001", Kind::Flag, 0, 1},
        {"Dummy0002", Kind::Flag, 0, 1},       {"Dummy0003", Kind::Flag, 0, 1},
        {"Dummy0004", Kind::Flag, 0, 1},       {"Dummy0005", Kind::Flag, 0, 1},
        {"Dummy0006", Kind::Flag, 0, 1},       {"Dummy0007", Kind::Flag, 0, 1},
    };
    return table;
}

const DescriptionSettings::Key *DescriptionSettings::find(const QString &name)
{
    for (const Key &key : keys()) {
        if (name == QLatin1String(key.name))
            return &key;
    }
    return nullptr;
}

QString DescriptionSettings::check(const QString &name, const QString &typed, QString &stored)
{
    const Key *key = find(name);
    if (!key)
        return tr("\"%1\" is not a device description setting.").arg(name);
    const QString trimmed = typed.trimmed();
    switch (key->kind) {
    case Kind::Text:
        stored = trimmed;
        return QString();
    case Kind::Comment:
        stored = typed;
        return QString();
    case Kind::Flag:
    case Kind::Number:
        break;
    }
    if (trimmed.isEmpty() && key->kind == Kind::Number) {
        stored.clear();
        return QString();
    }
    bool ok = false;
    const int number = trimmed.toInt(&ok, 10);
    if (!ok || number < key->low || number > key->high)
        return tr("%1 takes a whole number from %2 to %3; \"%4\" is not one.")
            .arg(name)
            .arg(key->low)
            .arg(key->high)
            .arg(trimmed);
    stored = QString::number(number);
    return QString();
}
