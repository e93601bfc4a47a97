#include "objectdatabase.h"

#include "objectdatabase_p.h"

QString ObjectDataBasePrivate::storeTable(Store store)
{
    switch (store) {
    case Store::General:
        return QStringLiteral("GeneralSettings");
    case Store::Description:
        return QStringLiteral("DescriptionSettings");
    case Store::EnergyBus:
        return QStringLiteral("EnergyBusSettings");
    case Store::J1939:
        return QStringLiteral("J1939Settings");
    case Store::Misc:
        break;
    }
    return QStringLiteral("MiscSettings");
}

quint32 ObjectDataBase::storeChangeKind(Store store)
{
    switch (store) {
    case Store::General:
        return ChangeSet::GeneralSettingsChanged;
    case Store::Description:
        return ChangeSet::DescriptionSettingsChanged;
    case Store::EnergyBus:
        return ChangeSet::EnergyBusSettingsChanged;
    case Store::J1939:
        return ChangeSet::J1939SettingsChanged;
    case Store::Misc:
        break;
    }
    return ChangeSet::MiscSettingsChanged;
}

// Description settings of lines other than 0 carry the line as suffix: "VendorName_2".
QString ObjectDataBasePrivate::storeKey(Store store, const QString &key) const
{
    if (store == Store::Description && descriptionSettingsLine != 0)
        return key + QLatin1Char('_') + QString::number(descriptionSettingsLine);
    return key;
}

bool ObjectDataBase::existStoreValue(Store store, const QString &key) const
{
    StoreLocker locker(d->mutex);
    return !d->select(
                 QStringLiteral("select item from %1 where item = ?").arg(d->storeTable(store)),
                 {d->sqlText(d->storeKey(store, key))}, Q_FUNC_INFO)
                .isEmpty();
}

QString ObjectDataBase::getStoreValue(Store store, const QString &key) const
{
    StoreLocker locker(d->mutex);
    return d
        ->select(QStringLiteral("select value from %1 where item = ?").arg(d->storeTable(store)),
                 {d->sqlText(d->storeKey(store, key))}, Q_FUNC_INFO)
        .first()
        .toString();
}

bool ObjectDataBase::setStoreValue(Store store, const QString &key, const QString &value)
{
    StoreLocker locker(d->mutex);
    const QString tableName = d->storeTable(store);
    const QString item = d->sqlText(d->storeKey(store, key));
    const SqlRows stored = d->select(
        QStringLiteral("select value from %1 where item = ?").arg(tableName), {item}, Q_FUNC_INFO);
    if (!stored.isEmpty() && stored.first().toString() == value)
        return true;
    WriteUnit unit(this);
    const bool ok =
        stored.isEmpty()
            ? d->exec(QStringLiteral("insert into %1 values(?,?)").arg(tableName),
                      {item, d->sqlText(value)}, Q_FUNC_INFO)
            : d->exec(QStringLiteral("update %1 set value = ? where item = ?").arg(tableName),
                      {d->sqlText(value), item}, Q_FUNC_INFO);
    notify(ChangeSet(storeChangeKind(store)));
    return unit.commit() && ok;
}

QStringList ObjectDataBase::getStoreKeys(Store store) const
{
    QMap<QString, QString> contents;
    d->storeContents(d->storeTable(store), contents);
    return contents.keys();
}

// False when the table is missing or cannot be read; contents is then empty.
bool ObjectDataBasePrivate::storeContents(const QString &tableName,
                                          QMap<QString, QString> &contents)
{
    StoreLocker locker(mutex);
    contents.clear();
    if (!tableExists(tableName))
        return false;
    const SqlRows rows =
        select(QStringLiteral("select item, value from %1").arg(tableName), {}, Q_FUNC_INFO);
    for (const SqlRows::Row row : rows)
        contents.insert(row.value(0).toString(), row.value(1).toString());
    return rows.ok();
}

// Replaces this project's tables generalTable and descriptionTable by other's tables
// otherGeneral and otherDescription. Nothing changes when other's tables cannot be read.
bool ObjectDataBase::copySettingsTables(const ObjectDataBase *other, const QString &otherGeneral,
                                        const QString &otherDescription,
                                        const QString &generalTable,
                                        const QString &descriptionTable)
{
    if (!other)
        return false;
    QMap<QString, QString> general;
    QMap<QString, QString> description;
    if (!other->d->storeContents(otherGeneral, general)
        || !other->d->storeContents(otherDescription, description))
        return false;
    StoreLocker locker(d->mutex);
    WriteUnit unit(this);
    const bool ok = replaceStoreTable(generalTable, general)
                    && replaceStoreTable(descriptionTable, description);
    return unit.commit() && ok;
}

bool ObjectDataBase::replaceStoreTable(const QString &tableName,
                                       const QMap<QString, QString> &contents)
{
    bool ok = (!d->tableExists(tableName)
               || d->execSchema(QStringLiteral("drop table %1").arg(tableName), Q_FUNC_INFO))
              && d->execSchema(d->settingsTableStatement(tableName), Q_FUNC_INFO);
    for (auto it = contents.constBegin(); ok && it != contents.constEnd(); ++it)
        ok = d->exec(QStringLiteral("insert into %1 values(?,?)").arg(tableName),
                     {d->sqlText(it.key()), d->sqlText(it.value())}, Q_FUNC_INFO);
    return ok;
}

bool ObjectDataBase::existGeneralSettingsValue(const QString &key) const
{
    return existStoreValue(Store::General, key);
}

QString ObjectDataBase::getGeneralSettingsValue(const QString &key) const
{
    return getStoreValue(Store::General, key);
}

bool ObjectDataBase::setGeneralSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::General, key, value);
}

QStringList ObjectDataBase::getGeneralSettingsKeys() const
{
    return getStoreKeys(Store::General);
}

bool ObjectDataBase::existDescriptionSettingsValue(const QString &key) const
{
    return existStoreValue(Store::Description, key);
}

QString ObjectDataBase::getDescriptionSettingsValue(const QString &key) const
{
    return getStoreValue(Store::Description, key);
}

bool ObjectDataBase::setDescriptionSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::Description, key, value);
}

QStringList ObjectDataBase::getDescriptionSettingsKeys() const
{
    return getStoreKeys(Store::Description);
}

void ObjectDataBase::setDescriptionSettingsLine(quint8 line) const
{
    StoreLocker locker(d->mutex);
    d->descriptionSettingsLine = line;
}

quint8 ObjectDataBase::descriptionSettingsLine() const
{
    StoreLocker locker(d->mutex);
    return d->descriptionSettingsLine;
}

bool ObjectDataBase::existEnergyBusSettingsValue(const QString &key) const
{
    return existStoreValue(Store::EnergyBus, key);
}

QString ObjectDataBase::getEnergyBusSettingsValue(const QString &key) const
{
    return getStoreValue(Store::EnergyBus, key);
}

bool ObjectDataBase::setEnergyBusSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::EnergyBus, key, value);
}

QStringList ObjectDataBase::getEnergyBusKeys() const
{
    return getStoreKeys(Store::EnergyBus);
}

bool ObjectDataBase::removeEnergyBusSettingsValue(const QString &key)
{
    StoreLocker locker(d->mutex);
    return d->exec(QStringLiteral("delete from EnergyBusSettings where item = ?"),
                   {d->sqlText(key)}, Q_FUNC_INFO);
}

bool ObjectDataBase::existJ1939SettingsValue(const QString &key) const
{
    return existStoreValue(Store::J1939, key);
}

QString ObjectDataBase::getJ1939SettingsValue(const QString &key) const
{
    return getStoreValue(Store::J1939, key);
}

bool ObjectDataBase::setJ1939SettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::J1939, key, value);
}

bool ObjectDataBase::existMiscSettingsValue(const QString &key) const
{
    return existStoreValue(Store::Misc, key);
}

QString ObjectDataBase::getMiscSettingsValue(const QString &key) const
{
    return getStoreValue(Store::Misc, key);
}

bool ObjectDataBase::setMiscSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::Misc, key, value);
}

bool ObjectDataBase::copyGeneralSettingsFromDatabase(const ObjectDataBase *other)
{
    const QString general = QStringLiteral("GeneralSettings");
    const QString description = QStringLiteral("DescriptionSettings");
    return copySettingsTables(other, general, description, general, description);
}

bool ObjectDataBase::copyGeneralSettingsToNode(const ObjectDataBase *other, quint8 line)
{
    return copySettingsTables(
        other, QStringLiteral("GeneralSettings"), QStringLiteral("DescriptionSettings"),
        d->table("GeneralSettings", line), d->table("DescriptionSettings", line));
}

bool ObjectDataBase::copyGeneralSettingsFromNode(const ObjectDataBase *other, quint8 line)
{
    return copySettingsTables(
        other, d->table("GeneralSettings", line), d->table("DescriptionSettings", line),
        QStringLiteral("GeneralSettings"), QStringLiteral("DescriptionSettings"));
}
