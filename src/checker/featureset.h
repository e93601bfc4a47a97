#pragma once

#include <QtGlobal>

#include <algorithm>

// What an installed protocol stack can do, as its feature files describe it. Counts are
// the number of service instances the stack supports; the flags say whether a service
// is available at all.
struct FeatureSet
{
    quint8 sdoServers = 0;
    quint8 sdoClients = 0;
    quint16 transmitPdos = 0;
    quint16 receivePdos = 0;
    quint8 emergencyConsumers = 0;
    quint8 heartbeatConsumers = 0;
    bool srdoSupported = false;
    bool mpdoSupported = false;
    bool dynamicMappingSupported = false;
    bool syncProducer = false;
    bool syncConsumer = false;
    bool nmtMaster = false;
    bool nmtSlave = false;
    bool bootupManager = false;
    bool configurationManager = false;
    bool lssSlave = false;
    bool lssMaster = false;

    // Raises every field to the larger of this record's and other's value; a feature
    // offered by any of several files counts as offered.
    void raiseTo(const FeatureSet &other)
    {
        sdoServers = std::max(sdoServers, other.sdoServers);
        sdoClients = std::max(sdoClients, other.sdoClients);
        transmitPdos = std::max(transmitPdos, other.transmitPdos);
        receivePdos = std::max(receivePdos, other.receivePdos);
        emergencyConsumers = std::max(emergencyConsumers, other.emergencyConsumers);
        heartbeatConsumers = std::max(heartbeatConsumers, other.heartbeatConsumers);
        srdoSupported = srdoSupported || other.srdoSupported;
        mpdoSupported = mpdoSupported || other.mpdoSupported;
        dynamicMappingSupported = dynamicMappingSupported || other.dynamicMappingSupported;
        syncProducer = syncProducer || other.syncProducer;
        syncConsumer = syncConsumer || other.syncConsumer;
        nmtMaster = nmtMaster || other.nmtMaster;
        nmtSlave = nmtSlave || other.nmtSlave;
        bootupManager = bootupManager || other.bootupManager;
        configurationManager = configurationManager || other.configurationManager;
        lssSlave = lssSlave || other.lssSlave;
        lssMaster = lssMaster || other.lssMaster;
    }
};
