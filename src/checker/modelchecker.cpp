#include "modelchecker.h"

#include "checker/checkformat.h"
#include "panelkit/appidentity.h"
#include "panelkit/linetype.h"

#include <QCoreApplication>

using namespace checkformat;

ModelChecker::ModelChecker(QObject *parent) : QObject(parent) {}

void ModelChecker::countError(const QString &text)
{
    ++errorCount;
    emit newError(text);
}

void ModelChecker::report(const QString &text)
{
    emit newError(text);
}

void ModelChecker::readPreferences()
{
    stackPath = preferences.stackPath;
    disableAutoCorrection = preferences.disableAutoCorrection;
}

QString ModelChecker::generalSetting(const QString &key) const
{
    return database ? database->getGeneralSettingsValue(key) : QString();
}

QString ModelChecker::j1939Setting(const QString &key) const
{
    return database ? database->getJ1939SettingsValue(key).trimmed() : QString();
}

bool ModelChecker::exists(quint16 index) const
{
    return database && database->existIndex(line, index);
}

bool ModelChecker::existsSub(quint16 index, quint8 sub) const
{
    return database && database->existSubIndex(line, index, sub);
}

QList<quint16> ModelChecker::indices(quint16 from, quint16 to) const
{
    return database ? database->getIndices(line, from, to) : QList<quint16>();
}

QList<quint8> ModelChecker::subIndices(quint16 index) const
{
    return database ? database->getSubIndices(line, index) : QList<quint8>();
}

ModelChecker::SubData ModelChecker::subData(quint16 index, quint8 sub) const
{
    SubData data;
    if (database)
        database->getSubIndexData(line, index, sub, data);
    return data;
}

QString ModelChecker::subDefault(quint16 index, quint8 sub) const
{
    SubData data;
    if (database && database->getSubIndexData(line, index, sub, data))
        return data.defaultvalue;
    return QString();
}

bool ModelChecker::writeSub(quint16 index, quint8 sub, const SubData &data)
{
    return corrections && corrections->addSubIndex(line, index, sub, data);
}

// writedefaulttoeds is 0 (never), 1 (when the 'default value' flag is set) or 2 (always).
bool ModelChecker::defaultGoesToEds(const SubData &data)
{
    const int mode = int(data.writedefaulttoeds);
    return mode == 2 || (mode == 1 && data.defaultineds);
}

unsigned int ModelChecker::startGlobalCheck(const ObjectDataBase *db)
{
    database = db;
    if (!database)
        return 0;
    int rawCanLines = 0;
    int otherLines = 0;
    const QList<quint8> lines = database->getNodes();
    for (quint8 node : lines) {
        if (node >= 8)
            continue;
        if (LineTypes::lineType(database, node) == LineType::RawCan)
            ++rawCanLines;
        else
            ++otherLines;
    }
    if (rawCanLines > 0 && otherLines == 0) {
        emit newError(tr("<strong><font color='red'>Error: </font></strong>Projects with only "
                         "'raw CAN' lines are not supported."));
        return 1;
    }
    return 0;
}

int ModelChecker::startCANopenCheck(quint8 checkedLine, const ObjectDataBase *db, bool &modified,
                                    ObjectDataBase *correctable)
{
    line = checkedLine;
    database = db;
    corrections = correctable == db ? correctable : nullptr;
    errorCount = 0;
    limitCheckEnabled = decimal(generalSetting(QStringLiteral("limit_check"))) == 1;
    granularity = 0;
    if (database) {
        // Description settings are kept per line; read this line's and leave the
        // selection as the caller had it.
        const quint8 selected = database->descriptionSettingsLine();
        database->setDescriptionSettingsLine(line);
        granularity = quint8(
            unsignedAuto(database->getDescriptionSettingsValue(QStringLiteral("Granularity"))));
        database->setDescriptionSettingsLine(selected);
    }
    pdoSizeLimit = decimal(generalSetting(QStringLiteral("canfd_supported"))) == 1 ? 512 : 64;
    bitwiseMappingAllowed = decimal(generalSetting(QStringLiteral("bitwise_mapping"))) != 0;
    usesBitwiseMapping = false;
    usesDynamicMapping = false;
    readPreferences();

    checkStackVersionInfo();
    checkNodeIdSettings();
    if (line != 0)
        checkPerLineSettings();
    checkMandatoryObjects();
    checkGaps();
    checkStoreRestore();
    checkNmtInhibitTime();
    checkIdentity();
    checkEmergencyObjects();
    checkObjects(modified);
    checkPdoMappings(modified);
    checkPdoCommunication();
    checkSrdoCommunication();
    checkSrdoMappings();
    checkMappingUse();
    return errorCount;
}

// Information only: whether the generated code can be compared with an installed stack.
void ModelChecker::checkStackVersionInfo()
{
    if (stackPath.isEmpty()) {
        report(QStringLiteral("\nInfo: Path to protocol stack not specified. Cannot check if "
                              "generated code fits to installed stack/framework."));
        report(QStringLiteral("Specify path to protocol stack at Options -> Settings.\n"));
        return;
    }
    const QStringList files = featureFiles(stackPath);
    if (files.isEmpty()) {
        report(QStringLiteral("Info: No *_featureinfo_*.xml file found in protocol stack "
                              "folder. Cannot check if generated code fits to installed "
                              "stack/framework."));
        return;
    }
    compareStackVersion(stackPath, files);
}

void ModelChecker::checkNodeIdSettings()
{
    const QString nodeId = generalSetting(QStringLiteral("co_node_id"));
    const QString function = generalSetting(QStringLiteral("co_node_id_fct"));
    if (nodeId.isEmpty() && function.isEmpty())
        countError(tr("<strong>Error: </strong>General Settings: No NodeId specified: Specify a "
                      "number between 1 and 127, or 255 for LSS or a function name like e.g. "
                      "readDipSwitch in the line below."));
    if (function.contains(QLatin1Char('(')))
        countError(tr("<strong>Error: </strong>General Settings: The name of the NodeId "
                      "function may not include a (."));
    if (function.contains(QLatin1Char(')')))
        countError(tr("<strong>Error: </strong>General Settings: The name of the NodeId "
                      "function may not include a )."));
}

// In a multi-line project these settings hold one comma-separated value per line.
void ModelChecker::checkPerLineSettings()
{
    const QLatin1Char comma(',');
    const QString nodeId = generalSetting(QStringLiteral("co_node_id"));
    const QString function = generalSetting(QStringLiteral("co_node_id_fct"));
    if (!nodeId.isEmpty() && !nodeId.contains(comma))
        countError(tr("<strong>Error: </strong>General Settings: The node-IDs must be specified "
                      "individually for each line. (e.g 126,127)"));
    if (!function.isEmpty() && !function.contains(comma))
        countError(tr("<strong>Error: </strong>General Settings: The node-ID functions must be "
                      "specified individually for each line. (e.g getMyId,getMyId)"));
    if (!generalSetting(QStringLiteral("receivebuffersize")).contains(comma))
        countError(tr("<strong>Error: </strong>General Settings: CAN receive buffer size must be "
                      "specified individually for each line. (e.g 10,5)"));
    if (!generalSetting(QStringLiteral("transmitbuffersize")).contains(comma))
        countError(tr("<strong>Error: </strong>General Settings: CAN transmit buffer size must "
                      "be specified individually for each line. (e.g 10,5)"));
    if (unsignedAuto(generalSetting(QStringLiteral("nmtmaster"))) == 2
        && !generalSetting(QStringLiteral("co_ml_ms")).contains(comma))
        countError(tr("<strong>Error: </strong>General Settings: The ML master/slave settings "
                      "size must be specified individually for each line. (e.g 0,1)"));
}

void ModelChecker::checkMandatoryObjects()
{
    if (!exists(0x1000))
        countError(tr("<strong>Error: </strong>Object 0x%1 (Device Type) does not exist, but it "
                      "is mandatory according to CANopen specification.")
                       .arg(hex4(0x1000)));
    if (!exists(0x1001))
        countError(tr("<strong>Error: </strong>Object 0x%1 (Error Register) does not exist, but "
                      "it is mandatory according to CANopen specification.")
                       .arg(hex4(0x1001)));
    if (!exists(0x1017) && !exists(0x100C))
        countError(tr("<strong>Error: </strong>Object 0x%1 (Producer Heartbeat) and 0x100C "
                      "(Guard Time) do not exist, but one of them is mandatory.")
                       .arg(hex4(0x1017)));
}

// The consumer lists and the slave assignment are numbered from sub-index 1 without holes.
void ModelChecker::checkGaps()
{
    for (quint16 index : {quint16(0x1016), quint16(0x1028), quint16(0x1F81)}) {
        if (!exists(index))
            continue;
        QList<quint8> subs = subIndices(index);
        subs.removeAll(0);
        if (!subs.isEmpty() && subs.last() != subs.size())
            countError(
                tr("<strong>Error: </strong>Object 0x%1 may not have gaps.").arg(hex4(index)));
    }
}

void ModelChecker::checkStoreRestore()
{
    for (quint16 index : {quint16(0x1010), quint16(0x1011)}) {
        for (quint8 sub = 1; sub <= 3; ++sub) {
            if (!existsSub(index, sub))
                continue;
            const QString value = subDefault(index, sub);
            if (!value.isEmpty() && unsignedAuto(value) > 1)
                countError(tr("<strong>Error: </strong>Object 0x%1:%2 only default value of 1 "
                              "is supported.")
                               .arg(hex4(index), QString::number(sub)));
        }
    }
}

void ModelChecker::checkNmtInhibitTime()
{
    if (unsignedAuto(generalSetting(QStringLiteral("nmtmaster"))) == 1 && !exists(0x102A))
        report(tr("Warning: Object 0x%1: The object 0x102A (NMT inhibit time) is highly "
                  "recommended for masters. It may be added via 'Add Communication Service'.")
                   .arg(hex4(0x102A)));
}

void ModelChecker::checkIdentity()
{
    const quint16 identity = 0x1018;
    const QString vendorId = subDefault(identity, 1);
    if (vendorId.isEmpty())
        countError(tr("<strong>Error: </strong>Object 0x%1: The value of subindex 1 (vendor-ID) "
                      "is empty.")
                       .arg(hex4(identity)));
    if (unsignedAuto(vendorId) == 0x2B7)
        report(tr("<strong>Warning: Object 0x%1-1: The vendor-ID 0x2B7 (Tenvor GmbH) may not be "
                  "used for production. </strong>")
                   .arg(hex4(identity)));
    if (existsSub(identity, 2) && subDefault(identity, 2).isEmpty())
        countError(tr("<strong>Error: </strong>Object 0x%1: The value of subindex 2 (product "
                      "code) is empty.")
                       .arg(hex4(identity)));
    if (existsSub(identity, 3) && subDefault(identity, 3).isEmpty())
        countError(tr("<strong>Error: </strong>Object 0x%1: The value of subindex 3 (revision "
                      "number) is empty.")
                       .arg(hex4(identity)));
    if (existsSub(identity, 4) && subData(identity, 4).implementation == 1)
        report(tr("<strong>Warning</strong>: Object 0x%1: The implementation type of subindex 4 "
                  "(serial number) is 'Managed Const'. This is not useful in most cases.")
                   .arg(hex4(identity)));
}

void ModelChecker::checkEmergencyObjects()
{
    if (exists(0x1003) && !exists(0x1014))
        countError(tr("<strong>Error: </strong>Object 0x%1: This object can only be used, if "
                      "object 0x1014 exists as well.")
                       .arg(hex4(0x1003)));
    const QList<quint8> consumers = subIndices(0x1028);
    for (quint8 sub : consumers) {
        if (sub < 1 || sub > 127)
            continue;
        if (unsignedAuto(subDefault(0x1028, sub)) == 0)
            countError(tr("<strong>Error: </strong>Object 0x%1-%2: The value of this sub index "
                          "may not be 0x00000000.")
                           .arg(hex4(0x1028), QString::number(sub)));
    }
}

void ModelChecker::checkObjects(bool &modified)
{
    const QList<quint16> objects = indices(0x1000, 0xFFFF);
    for (quint16 index : objects) {
        // The check runs on the GUI thread; keep the window responsive.
        QCoreApplication::processEvents();
        checkIndex(index, modified);
    }
}
