#include "modelchecker.h"

#include "checker/checkformat.h"
#include "checker/featuresetextractor.h"
#include "panelkit/appidentity.h"
#include "panelkit/versionreader.h"

#include <QCoreApplication>
#include <QDir>

using namespace checkformat;

namespace {

const char redError[] = "<strong><font color='red'>Error: </font></strong>";

} // namespace

int ModelChecker::startCANopenFeatureCheck(quint8 checkedLine, const ObjectDataBase *db)
{
    line = checkedLine;
    database = db;
    errorCount = 0;
    readPreferences();
    if (stackPath.isEmpty()) {
        report(QStringLiteral("\n<strong><font color='red'>Error: Path to protocol stack not "
                              "specified. </font></strong>Cannot check if generated code fits "
                              "to installed stack/framework."));
        report(QStringLiteral("Info: Specify path to protocol stack at Options -> Settings.\n"));
        return 1;
    }
    const QStringList files = featureFiles(stackPath);
    if (files.isEmpty())
        report(QStringLiteral("<strong><font color='red'>Error: No *_featureinfo_*.xml file "
                              "found in protocol stack folder.</font></strong> Cannot check if "
                              "generated code fits to installed stack/framework."));
    else
        compareStackVersion(stackPath, files);
    if (errorCount == 0) {
        readStackFeatures(stackPath, files);
        compareServiceCounts();
        compareNmtServices();
        compareMappingServices();
    }
    compareManagers();
    if (errorCount > 0) {
        report(tr("Info: The features of the protocol stack are fixed by its edition (Slave "
                  "basic, Master/Slave, Manager) and the extension modules delivered with it, "
                  "or by the pre-compiled library in use."));
        report(tr("Info: Adapt the project to the installed stack, or ask the supplier of the "
                  "protocol stack for an edition or extension that provides the missing "
                  "features."));
    }
    return errorCount;
}

QStringList ModelChecker::featureFiles(const QString &folder) const
{
    return QDir(folder).entryList({QStringLiteral("*_featureinfo_*.xml")}, QDir::Files, QDir::Name);
}

// The tool's version as feature files name it: "3.4.1" gives "3.4".
QString ModelChecker::shortToolVersion()
{
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QLatin1String(AppIdentity::version);
    const int dots = version.count(QLatin1Char('.'));
    const int lastDot = version.lastIndexOf(QLatin1Char('.'));
    if (dots == 2)
        return version.left(lastDot);
    if (dots == 3)
        return version.left(lastDot - 2);
    return version;
}

bool ModelChecker::compareStackVersion(const QString &folder, const QStringList &files)
{
    const QString own = shortToolVersion();
    for (const QString &file : files) {
        VersionReader reader(nullptr);
        reader.setFeatureFile(folder + QLatin1Char('/') + file);
        const QString required = reader.getReqiuredToolVersion().trimmed();
        if (required == own)
            continue;
        if (required == QLatin1String("0.0"))
            countError(tr("<strong><font color='red'>Error: </font></strong>Version of installed "
                          "stack does not fit. It requires an older version of the tool. Cannot "
                          "generate files."));
        else
            countError(tr("<strong><font color='red'>Error: </font></strong>Version of installed "
                          "stack does not fit. It requires tool version %1. Cannot generate "
                          "files.")
                           .arg(required));
        return true;
    }
    return false;
}

void ModelChecker::readStackFeatures(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        FeatureSetExtractor extractor(nullptr);
        extractor.setFeatureFile(folder + QLatin1Char('/') + file);
        stackFeatures.raiseTo(extractor.getFeatures());
    }
}

int ModelChecker::countSubsAboveZero(quint16 index) const
{
    QList<quint8> subs = subIndices(index);
    subs.removeAll(0);
    return subs.size();
}

void ModelChecker::compareServiceCounts()
{
    const QString red = QLatin1String(redError);
    const FeatureSet &f = stackFeatures;
    if (indices(0x1200, 0x127F).size() > f.sdoServers)
        countError(red
                   + tr("Number of SDO servers in project exceed limit (%1) of stack version.")
                         .arg(f.sdoServers));
    if (indices(0x1280, 0x12FF).size() > f.sdoClients)
        countError(red
                   + tr("Number of SDO clients in project exceed limit (%1) of stack version.")
                         .arg(f.sdoClients));
    if (indices(0x1800, 0x19FF).size() > f.transmitPdos)
        countError(red
                   + tr("Number of Transmit-PDOs in project exceed limit (%1) of stack "
                        "version.")
                         .arg(f.transmitPdos));
    if (indices(0x1400, 0x15FF).size() > f.receivePdos)
        countError(red
                   + tr("Number of Recieve-PDOs in project exceed limit (%1) of stack "
                        "version.")
                         .arg(f.receivePdos));
    if (countSubsAboveZero(0x1028) > f.emergencyConsumers)
        countError(red
                   + tr("Number of Emergency consumers in project exceed limit (%1) of stack "
                        "version.")
                         .arg(f.emergencyConsumers));
    if (countSubsAboveZero(0x1016) > f.heartbeatConsumers)
        countError(red
                   + tr("Number of Heartbeat consumers in project exceed limit (%1) of stack "
                        "version.")
                         .arg(f.heartbeatConsumers));
}

void ModelChecker::compareNmtServices()
{
    const QString red = QLatin1String(redError);
    const FeatureSet &f = stackFeatures;
    const quint64 nmtMaster = unsignedAuto(generalSetting(QStringLiteral("nmtmaster")));
    if (nmtMaster == 0 && !f.nmtSlave)
        countError(red + tr("NMT slave functionality is not supported by stack version."));
    if (nmtMaster == 1 && !f.nmtMaster)
        countError(red + tr("NMT master functionality is not supported by stack version."));
    if (decimal(generalSetting(QStringLiteral("lss_supported"))) > 0) {
        if (nmtMaster == 0 && !f.lssSlave)
            countError(red + tr("LSS slave functionality is not supported by stack version."));
        if (nmtMaster == 1 && !f.lssMaster)
            countError(red + tr("LSS master functionality is not supported by stack version."));
    }
    if (exists(0x1005)) {
        // Bit 30 of the SYNC COB-ID makes the device the SYNC producer.
        const bool producer = (unsignedAuto(subDefault(0x1005, 0)) & 0x40000000u) != 0;
        if (producer && !f.syncProducer)
            countError(red
                       + tr("SYNC producer functionality is not supported by stack "
                            "version."));
        if (!producer && !f.syncConsumer)
            countError(red
                       + tr("SYNC consumer functionality is not supported by stack "
                            "version."));
    }
}

void ModelChecker::compareMappingServices()
{
    const QString red = QLatin1String(redError);
    const FeatureSet &f = stackFeatures;
    if (!f.srdoSupported && !indices(0x1300, 0x13FF).isEmpty())
        countError(red + tr("SRDO functionality is not supported by stack version."));
    bool dynamic = false;
    bool multiplexed = false;
    const QList<quint16> mappings = indices(0x1600, 0x17FF) + indices(0x1A00, 0x1BFF);
    for (quint16 mapping : mappings) {
        SubData zero;
        if (!database || !database->getSubIndexData(line, mapping, 0, zero))
            continue;
        dynamic = dynamic || zero.accesstype == QLatin1String("rw");
        multiplexed = multiplexed || quint8(unsignedAuto(zero.defaultvalue)) >= 254;
    }
    if (dynamic && !f.dynamicMappingSupported)
        countError(red + tr("Dynamic PDO mapping is not supported by stack version."));
    if (multiplexed && !f.mpdoSupported)
        countError(red + tr("MPDOs are not supported by stack version."));
}

void ModelChecker::compareManagers()
{
    const QString red = QLatin1String(redError);
    if (decimal(generalSetting(QStringLiteral("bootup_manager"))) >= 1
        && !stackFeatures.bootupManager)
        countError(red
                   + tr("CANopen Bootup Manager functionality is not supported by stack "
                        "version."));
    if (decimal(generalSetting(QStringLiteral("config_manager"))) >= 1
        && !stackFeatures.configurationManager)
        countError(red
                   + tr("CANopen Configuration Manager functionality is not supported by "
                        "stack version."));
}
