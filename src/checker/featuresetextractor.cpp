#include "featuresetextractor.h"

#include <QDomElement>
#include <QDomNodeList>
#include <QFile>

FeatureSetExtractor::FeatureSetExtractor(QObject *parent) : QObject(parent) {}

void FeatureSetExtractor::setFeatureFile(const QString &path)
{
    m_path = path;
    m_document.clear();
}

QString FeatureSetExtractor::getValue(const QString &key) const
{
    const QDomNodeList found = m_document.elementsByTagName(key);
    if (found.isEmpty())
        return QString();
    return found.item(0).toElement().text();
}

bool FeatureSetExtractor::load()
{
    m_document.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (!m_document.setContent(&file)) {
        m_document.clear();
        return false;
    }
    return true;
}

// Counts are unsigned decimal numbers; anything else reads as 0.
quint32 FeatureSetExtractor::number(const QString &key) const
{
    return getValue(key).trimmed().toUInt(nullptr, 10);
}

// Switches are decimal numbers, any value but 0 meaning "supported".
bool FeatureSetExtractor::flag(const QString &key) const
{
    return getValue(key).trimmed().toInt(nullptr, 10) != 0;
}

FeatureSet FeatureSetExtractor::getFeatures()
{
    FeatureSet features;
    if (!load())
        return features;
    features.sdoServers = quint8(number(QStringLiteral("sdo_server")));
    features.sdoClients = quint8(number(QStringLiteral("sdo_client")));
    features.transmitPdos = quint16(number(QStringLiteral("pdo_producer")));
    features.receivePdos = quint16(number(QStringLiteral("pdo_consumer")));
    features.emergencyConsumers = quint8(number(QStringLiteral("emcy_consumer")));
    features.heartbeatConsumers = quint8(number(QStringLiteral("heartbeat_consumer")));
    features.mpdoSupported = flag(QStringLiteral("mpdo_supported"));
    features.srdoSupported = flag(QStringLiteral("srdo_supported"));
    features.dynamicMappingSupported =
        getValue(QStringLiteral("pdo_mapping")) == QLatin1String("dynamic");
    features.syncProducer = flag(QStringLiteral("sync_producer"));
    features.syncConsumer = flag(QStringLiteral("sync_consumer"));
    features.nmtMaster = flag(QStringLiteral("nmt_master"));
    features.nmtSlave = flag(QStringLiteral("nmt_slave"));
    features.bootupManager = flag(QStringLiteral("bootup_manager"));
    features.configurationManager = flag(QStringLiteral("config_manager"));
    features.lssSlave = flag(QStringLiteral("lss_slave"));
    features.lssMaster = flag(QStringLiteral("lss_master"));
    return features;
}
