#include "objectdatabase.h"

#include <QMutexLocker>

QString ObjectDataBase::storeTable(Store store)
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
QString ObjectDataBase::storeKey(Store store, const QString &key) const
{
    if (store == Store::Description && m_descriptionSettingsLine != 0)
        return key + QLatin1Char('_') + QString::number(m_descriptionSettingsLine);
    return key;
}

bool ObjectDataBase::existStoreValue(Store store, const QString &key)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        prepared(QStringLiteral("select item from %1 where item = ?").arg(storeTable(store)));
    query.bindValue(0, sqlText(storeKey(store, key)));
    const bool found = run(query, Q_FUNC_INFO) && query.next();
    query.finish();
    return found;
}

QString ObjectDataBase::getStoreValue(Store store, const QString &key)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &query =
        prepared(QStringLiteral("select value from %1 where item = ?").arg(storeTable(store)));
    query.bindValue(0, sqlText(storeKey(store, key)));
    QString value;
    if (run(query, Q_FUNC_INFO) && query.next())
        value = query.value(0).toString();
    query.finish();
    return value;
}

bool ObjectDataBase::setStoreValue(Store store, const QString &key, const QString &value)
{
    QMutexLocker locker(&m_mutex);
    const QString tableName = storeTable(store);
    const QString item = sqlText(storeKey(store, key));
    bool ok = false;
    if (existStoreValue(store, key)) {
        if (getStoreValue(store, key) == value)
            return true;
        QSqlQuery &update =
            prepared(QStringLiteral("update %1 set value = ? where item = ?").arg(tableName));
        update.bindValue(0, sqlText(value));
        update.bindValue(1, item);
        ok = run(update, Q_FUNC_INFO);
    } else {
        QSqlQuery &insert = prepared(QStringLiteral("insert into %1 values(?,?)").arg(tableName));
        insert.bindValue(0, item);
        insert.bindValue(1, sqlText(value));
        ok = run(insert, Q_FUNC_INFO);
    }
    notify(ChangeSet(storeChangeKind(store)));
    return ok;
}

QStringList ObjectDataBase::getStoreKeys(Store store)
{
    QMap<QString, QString> contents;
    storeContents(storeTable(store), contents);
    return contents.keys();
}

// False when the table is missing or cannot be read; contents is then empty.
bool ObjectDataBase::storeContents(const QString &tableName, QMap<QString, QString> &contents)
{
    QMutexLocker locker(&m_mutex);
    contents.clear();
    if (!tableExists(tableName))
        return false;
    QSqlQuery &query = prepared(QStringLiteral("select item, value from %1").arg(tableName));
    const bool ok = run(query, Q_FUNC_INFO);
    while (ok && query.next())
        contents.insert(query.value(0).toString(), query.value(1).toString());
    query.finish();
    return ok;
}

// Replaces this project's tables generalTable and descriptionTable by other's tables
// otherGeneral and otherDescription. Nothing changes when other's tables cannot be read.
bool ObjectDataBase::copySettingsTables(ObjectDataBase *other, const QString &otherGeneral,
                                        const QString &otherDescription,
                                        const QString &generalTable,
                                        const QString &descriptionTable)
{
    if (!other)
        return false;
    QMap<QString, QString> general;
    QMap<QString, QString> description;
    if (!other->storeContents(otherGeneral, general)
        || !other->storeContents(otherDescription, description))
        return false;
    QMutexLocker locker(&m_mutex);
    const bool ok = replaceStoreTable(generalTable, general);
    return replaceStoreTable(descriptionTable, description) && ok;
}

bool ObjectDataBase::replaceStoreTable(const QString &tableName,
                                       const QMap<QString, QString> &contents)
{
    QMutexLocker locker(&m_mutex);
    trySql(QStringLiteral("drop table %1").arg(tableName));
    if (!runSql(settingsTableStatement(tableName), Q_FUNC_INFO))
        return false;
    bool ok = true;
    QSqlQuery &insert = prepared(QStringLiteral("insert into %1 values(?,?)").arg(tableName));
    for (auto it = contents.constBegin(); it != contents.constEnd(); ++it) {
        insert.bindValue(0, sqlText(it.key()));
        insert.bindValue(1, sqlText(it.value()));
        ok = run(insert, Q_FUNC_INFO) && ok;
    }
    return ok;
}

bool ObjectDataBase::existGeneralSettingsValue(const QString &key)
{
    return existStoreValue(Store::General, key);
}

QString ObjectDataBase::getGeneralSettingsValue(const QString &key)
{
    return getStoreValue(Store::General, key);
}

bool ObjectDataBase::setGeneralSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::General, key, value);
}

QStringList ObjectDataBase::getGeneralSettingsKeys()
{
    return getStoreKeys(Store::General);
}

bool ObjectDataBase::existDescriptionSettingsValue(const QString &key)
{
    return existStoreValue(Store::Description, key);
}

QString ObjectDataBase::getDescriptionSettingsValue(const QString &key)
{
    return getStoreValue(Store::Description, key);
}

bool ObjectDataBase::setDescriptionSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::Description, key, value);
}

QStringList ObjectDataBase::getDescriptionSettingsKeys()
{
    return getStoreKeys(Store::Description);
}

void ObjectDataBase::setDescriptionSettingsLine(quint8 line)
{
    QMutexLocker locker(&m_mutex);
    m_descriptionSettingsLine = line;
}

quint8 ObjectDataBase::descriptionSettingsLine() const
{
    QMutexLocker locker(&m_mutex);
    return m_descriptionSettingsLine;
}

bool ObjectDataBase::existEnergyBusSettingsValue(const QString &key)
{
    return existStoreValue(Store::EnergyBus, key);
}

QString ObjectDataBase::getEnergyBusSettingsValue(const QString &key)
{
    return getStoreValue(Store::EnergyBus, key);
}

bool ObjectDataBase::setEnergyBusSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::EnergyBus, key, value);
}

QStringList ObjectDataBase::getEnergyBusKeys()
{
    return getStoreKeys(Store::EnergyBus);
}

bool ObjectDataBase::removeEnergyBusSettingsValue(const QString &key)
{
    QMutexLocker locker(&m_mutex);
    QSqlQuery &remove = prepared(QStringLiteral("delete from EnergyBusSettings where item = ?"));
    remove.bindValue(0, sqlText(key));
    return run(remove, Q_FUNC_INFO);
}

bool ObjectDataBase::existJ1939SettingsValue(const QString &key)
{
    return existStoreValue(Store::J1939, key);
}

QString ObjectDataBase::getJ1939SettingsValue(const QString &key)
{
    return getStoreValue(Store::J1939, key);
}

bool ObjectDataBase::setJ1939SettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::J1939, key, value);
}

bool ObjectDataBase::existMiscSettingsValue(const QString &key)
{
    return existStoreValue(Store::Misc, key);
}

QString ObjectDataBase::getMiscSettingsValue(const QString &key)
{
    return getStoreValue(Store::Misc, key);
}

bool ObjectDataBase::setMiscSettingsValue(const QString &key, const QString &value)
{
    return setStoreValue(Store::Misc, key, value);
}

bool ObjectDataBase::copyGeneralSettingsFromDatabase(ObjectDataBase *other)
{
    const QString general = QStringLiteral("GeneralSettings");
    const QString description = QStringLiteral("DescriptionSettings");
    return copySettingsTables(other, general, description, general, description);
}

bool ObjectDataBase::copyGeneralSettingsToNode(ObjectDataBase *other, quint8 line)
{
    return copySettingsTables(other, QStringLiteral("GeneralSettings"),
                              QStringLiteral("DescriptionSettings"), table("GeneralSettings", line),
                              table("DescriptionSettings", line));
}

bool ObjectDataBase::copyGeneralSettingsFromNode(ObjectDataBase *other, quint8 line)
{
    return copySettingsTables(other, table("GeneralSettings", line),
                              table("DescriptionSettings", line), QStringLiteral("GeneralSettings"),
                              QStringLiteral("DescriptionSettings"));
}
