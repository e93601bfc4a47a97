#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlRecord>

// Table layout of a project file. The statements are part of the file format: other tools
// of the format create the same tables with the same text.
namespace {

const char *const createStrings = "create table Strings (id integer primary key, string text)";
const char *const createNodes =
    "create table Nodes (nodeId integer primary key, name text, edspath text, xddpath text, "
    "dcfpath text, tpdocnt integer, rpdocnt integer, ismaster integer, issyncproducer integer, "
    "issyncconsumer integer, ishbconsumer integer, isemergencyproducer integer, "
    "isemergencyconsumer integer, ismpdosupported integer, iscanopengateway integer, "
    "allpdosstatic integer, excludegeneration integer, generatedcf integer, prefix text, "
    "outputpath text, iconpath text, isbootupmanager integer, isconfigmanager integer, "
    "excludepdolinking integer, multilinedata integer, lssslave)";
const char *const createSettingsTemplate = "create table %1 (item text unique, value text)";
const char *const createConnections =
    "create table Connections (prodnode integer, prodindex integer, prodsub integer, "
    "connode integer, conindex integer, consub integer, priority integer)";
const char *const createLockedMappings =
    "create table LockedMappings (node integer, pdoindex integer)";
const char *const createLockedPDOs = "create table LockedPDOs (node integer, pdoindex integer)";
const char *const createVirtualNodes =
    "create table VirtualNodes (virtualnodeid integer primary key, line integer, "
    "dbnodeid integer, name text)";
const char *const createSignalGroups =
    "create table SignalGroups (sigid integer primary key, name text)";
const char *const createSignals =
    "create table Signals (sigid integer primary key, nodeid integer, name integer, "
    "datatype integer not null, accesstype text not null, defaultvalue text, "
    "signalgroup integer, ref integer, transmittype integer, transmittrigger integer, "
    "eventtimer integer, syncvalue integer, syncstartvalue integer, routing integer)";
const char *const createGroups = "create table Groups (name text, nodeidlist text)";

const char *const createObjects =
    "create table if not exists Objects%1 (objectindex integer primary key, name integer, "
    "datatype integer not null, objecttype integer not null, description integer, "
    "category integer, device_class integer, fwsupported integer, metadata blob)";
const char *const createSubObjects =
    "create table if not exists SubObjects%1 (objectindex integer not null, "
    "subindex integer not null, name integer, datatype integer not null, "
    "accesstype text not null, defaultvalue text, currentvalue text, pdomapping integer, "
    "lowlimit integer, uplimit integer, size integer, defaultineds integer, "
    "limitineds integer, refuseread integer, refusewrite integer, allowedaccesstypes text, "
    "implementation integer not null, varname text, description integer, category integer, "
    "writedefaulttoeds integer, cyclicread integer, dcfcomponent integer, "
    "changedbyuser integer, wizardsource integer, denotation integer, sharedlines integer, "
    "managedbycbw integer, signalid integer, nvstorage integer,metadata blob,"
    "UNIQUE(objectindex,subindex))";
const char *const createPGNs =
    "create table if not exists PGNs%1 (number integer not null, edp_dp_key integer, "
    "priority integer, cycletime_ms integer, inhibittime_ms integer, mappingcount integer, "
    "direction integer, name integer, desc integer)";
const char *const createSPNs =
    "create table if not exists SPNs%1 (pgnnumber integer not null, "
    "spnnumber integer not null, datatype integer, implementation integer, varname text, "
    "defaultvalue text, name integer, desc integer, pos integer, bitsize integer, "
    "direction integer, slot_df integer)";
const char *const createCANIDs =
    "create table if not exists CANIDs%1 (id integer not null, cycletime_ms integer, "
    "inhibittime_ms integer, mappingcount integer, direction integer, name integer, "
    "desc integer)";
const char *const createDataElements =
    "create table if not exists DataElements%1 (canid integer not null, "
    "number integer not null, datatype integer, implementation integer, varname text, "
    "defaultvalue text, name integer, desc integer, pos integer, bitsize integer, "
    "direction integer)";

const char *const settingsTables[] = {"GeneralSettings", "DescriptionSettings", "EnergyBusSettings",
                                      "J1939Settings", "MiscSettings"};

QString perLine(const char *statement, quint8 line)
{
    return QString::fromLatin1(statement).arg(line);
}

QString ifNotExists(const QString &createStatement)
{
    QString statement = createStatement;
    return statement.replace(QLatin1String("create table "),
                             QLatin1String("create table if not exists "));
}

// Columns added to files of older layouts, in the order they were introduced. Columns
// without a type are integer.
struct AddedColumn
{
    const char *table;
    const char *column;
};

const AddedColumn addedColumns[] = {
    {"SubObjects0", "writedefaulttoeds"},
    {"SPNs0", "pos"},
    {"SPNs0", "bitsize"},
    {"SPNs0", "direction"},
    {"SPNs0", "slot_df"},
    {"SPNs1", "pos"},
    {"SPNs1", "bitsize"},
    {"SPNs1", "direction"},
    {"SPNs1", "slot_df"},
    {"SPNs2", "pos"},
    {"SPNs2", "bitsize"},
    {"SPNs2", "direction"},
    {"SPNs2", "slot_df"},
    {"SPNs3", "pos"},
    {"SPNs3", "bitsize"},
    {"SPNs3", "direction"},
    {"SPNs3", "slot_df"},
    {"SubObjects0", "cyclicread"},
    {"SubObjects0", "dcfcomponent"},
    {"SubObjects0", "changedbyuser"},
    {"SubObjects0", "wizardsource"},
    {"SubObjects0", "sharedlines"},
    {"SubObjects0", "managedbycbw"},
    {"SubObjects0", "signalid"},
    {"SubObjects0", "nvstorage"},
    {"SubObjects0", "metadata blob"},
    {"Nodes", "dcfpath text"},
    {"Nodes", "tpdocnt"},
    {"Nodes", "rpdocnt"},
    {"Nodes", "ismaster"},
    {"Nodes", "issyncproducer"},
    {"Nodes", "issyncconsumer"},
    {"Nodes", "ishbconsumer"},
    {"Nodes", "isemergencyproducer"},
    {"Nodes", "isemergencyconsumer"},
    {"Nodes", "ismpdosupported"},
    {"Nodes", "iscanopengateway"},
    {"Nodes", "allpdosstatic"},
    {"Nodes", "excludegeneration"},
    {"Nodes", "generatedcf"},
    {"Nodes", "prefix text"},
    {"Nodes", "outputpath text"},
    {"Nodes", "iconpath text"},
    {"Nodes", "isbootupmanager"},
    {"Nodes", "isconfigmanager"},
    {"Nodes", "excludepdolinking"},
    {"Nodes", "multilinedata"},
    {"Nodes", "lssslave"},
    {"Signals", "transmittype"},
    {"Signals", "transmittrigger"},
    {"Signals", "eventtimer"},
    {"Signals", "syncvalue"},
    {"Signals", "syncstartvalue"},
    {"Signals", "routing"},
};

const char *const addedObjectColumns[] = {"fwsupported", "device_class", "metadata blob"};
const char *const addedSubObjectColumns[] = {"writedefaulttoeds", "cyclicread",   "dcfcomponent",
                                             "changedbyuser",     "wizardsource", "denotation",
                                             "sharedlines",       "nvstorage",    "metadata blob",
                                             "managedbycbw",      "signalid"};

QString alterStatement(const QString &tableName, const char *column)
{
    QString definition = QLatin1String(column);
    if (!definition.contains(QLatin1Char(' ')))
        definition += QLatin1String(" integer");
    return QStringLiteral("alter table %1 add %2").arg(tableName, definition);
}

} // namespace

void ObjectDataBase::applyConnectionSettings(bool newDatabase)
{
    // Connection settings cannot change inside a transaction. The rollback journal is kept
    // in memory (not switched off): a unit of writes that fails, or a commit that fails,
    // is rolled back instead of leaving the working file half written.
    const QStringList pragmas = {
        QStringLiteral("PRAGMA page_size = 4096"),
        newDatabase ? QStringLiteral("PRAGMA cache_size = 16384")
                    : QStringLiteral("PRAGMA cache_size = 64000"),
        QStringLiteral("PRAGMA temp_store = MEMORY"),
        QStringLiteral("PRAGMA journal_mode = MEMORY"),
        QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"),
        QStringLiteral("PRAGMA synchronous  = OFF"),
    };
    for (const QString &pragma : pragmas)
        d->execSchema(pragma, Q_FUNC_INFO);
}

bool ObjectDataBase::createTables()
{
    QStringList statements = {QLatin1String(createStrings), QLatin1String(createNodes)};
    for (const char *name : settingsTables)
        statements.append(d->settingsTableStatement(QLatin1String(name)));
    statements << QLatin1String(createConnections) << QLatin1String(createLockedMappings)
               << QLatin1String(createLockedPDOs) << QLatin1String(createVirtualNodes)
               << QLatin1String(createSignalGroups) << QLatin1String(createSignals)
               << QLatin1String(createGroups);
    for (const QString &statement : qAsConst(statements)) {
        if (!d->execSchema(statement, Q_FUNC_INFO))
            return false;
    }
    return true;
}

bool ObjectDataBase::createLineTables(quint8 line)
{
    bool ok = d->execSchema(perLine(createObjects, line), Q_FUNC_INFO);
    QSqlQuery query;
    ok = createSubObjectsTable(line, query) && ok;
    for (const char *statement : {createPGNs, createSPNs, createCANIDs, createDataElements})
        ok = d->execSchema(perLine(statement, line), Q_FUNC_INFO) && ok;
    return ok;
}

bool ObjectDataBase::createSubObjectsTable(quint8 line, QSqlQuery &query)
{
    StoreLocker locker(d->mutex);
    query = QSqlQuery(d->db);
    if (d->trySql(perLine(createSubObjects, line)))
        return true;
    qDebug() << Q_FUNC_INFO << d->lastSqlError;
    if (d->unitDepth > 0)
        d->unitFailed = true;
    return false;
}

QString ObjectDataBasePrivate::settingsTableStatement(const QString &tableName)
{
    return QString::fromLatin1(createSettingsTemplate).arg(tableName);
}

bool ObjectDataBase::addUniqueColumnsToSubDatabase(quint8 line, QSqlQuery &query)
{
    StoreLocker locker(d->mutex);
    const QString name = d->table("SubObjects", line);
    const QString old = name + QLatin1String("_old");
    // The rebuild is one unit: a step that fails leaves the table as it was.
    WriteUnit unit(this);
    query = QSqlQuery(d->db);
    query.exec(QStringLiteral("DROP TABLE %1").arg(old));
    bool ok = query.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(name, old));
    ok = ok && createSubObjectsTable(line, query);
    // Copied by column name, so that columns added to the old table in another order keep
    // their values. A key given twice in the old table keeps its last row.
    const QString columns = d->commonColumns(old, name).join(QLatin1String(", "));
    ok = ok
         && query.exec(QStringLiteral("INSERT OR REPLACE INTO %1 (%2) SELECT %2 FROM %3")
                           .arg(name, columns, old))
         && query.exec(QStringLiteral("DROP TABLE %1").arg(old));
    if (!ok) {
        qDebug() << Q_FUNC_INFO << query.lastError().text();
        unit.abandon();
    }
    return unit.commit() && ok;
}

QStringList ObjectDataBasePrivate::commonColumns(const QString &first, const QString &second)
{
    const QSqlRecord a = db.record(first);
    const QSqlRecord b = db.record(second);
    QStringList columns;
    for (int i = 0; i < a.count(); ++i) {
        if (b.contains(a.fieldName(i)))
            columns.append(a.fieldName(i));
    }
    return columns;
}

uint ObjectDataBase::databaseVersion() const
{
    return getMiscSettingsValue(QStringLiteral("DatabaseVersion")).toUInt();
}

// Brings a file of an older layout up to the current one. Statements that add what is
// already there fail; that is expected and not reported.
void ObjectDataBase::upgradeSchema()
{
    QStringList missing;
    for (const char *name : {"GeneralSettings", "DescriptionSettings"})
        missing.append(ifNotExists(d->settingsTableStatement(QLatin1String(name))));
    missing << ifNotExists(QLatin1String(createVirtualNodes))
            << ifNotExists(QLatin1String(createSignalGroups))
            << ifNotExists(QLatin1String(createSignals))
            << ifNotExists(QLatin1String(createGroups));
    for (const char *name : {"EnergyBusSettings", "J1939Settings", "MiscSettings"})
        missing.append(ifNotExists(d->settingsTableStatement(QLatin1String(name))));
    for (int i = 0; i < missing.size(); ++i) {
        if (d->trySql(missing.at(i)))
            continue;
        qDebug() << Q_FUNC_INFO << d->lastSqlError << missing.at(i);
        // A file that cannot take the settings table is reported whatever the caller
        // asked for.
        if (i == 0)
            reportProblem(tr("Debug Info"), d->lastSqlError, true);
    }
    for (const AddedColumn &added : addedColumns)
        d->trySql(alterStatement(QLatin1String(added.table), added.column));
    upgradeLineTables(getNodes(), databaseVersion());
    d->trySql(QStringLiteral("alter table Connections add priority integer"));
    const QStringList shared = {ifNotExists(QLatin1String(createConnections)),
                                ifNotExists(QLatin1String(createLockedMappings)),
                                ifNotExists(QLatin1String(createLockedPDOs)),
                                perLine(createPGNs, 0),
                                perLine(createSPNs, 0),
                                perLine(createCANIDs, 0),
                                perLine(createDataElements, 0)};
    for (const QString &statement : shared)
        d->execSchema(statement, Q_FUNC_INFO);
}

void ObjectDataBase::upgradeLineTables(const QList<quint8> &lines, uint version)
{
    for (quint8 line : lines) {
        for (const char *column : addedObjectColumns)
            d->trySql(alterStatement(d->table("Objects", line), column));
        for (const char *column : addedSubObjectColumns)
            d->trySql(alterStatement(d->table("SubObjects", line), column));
        if (version < 100) {
            QSqlQuery query(d->db);
            addUniqueColumnsToSubDatabase(line, query);
        }
    }
}
