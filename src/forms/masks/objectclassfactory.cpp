#include "objectclassfactory.h"

#include "devicetypemaskform.h"
#include "eb6000maskform.h"
#include "heartbeatconsumermaskform.h"
#include "mpdolistmaskforms.h"
#include "nmtmaskforms.h"
#include "pdomappingmaskform.h"
#include "pdoservicemaskform.h"
#include "safetyconfigurationsignatureform.h"
#include "servicemaskforms.h"
#include "timecobidmaskform.h"
#include "valuemaskforms.h"

ObjectClassFactory::ObjectClassFactory(QObject *parent) : QObject(parent) {}

namespace {

BaseObjectMask *rangeMask(quint16 index, QWidget *parent)
{
    if (index >= 0x1600 && index <= 0x17FF)
        return new PdoMappingMaskForm(PdoMappingTable::Rpdo, parent);
    if (index >= 0x1A00 && index <= 0x1BFF)
        return new PdoMappingMaskForm(PdoMappingTable::Tpdo, parent);
    if (index >= 0x1381 && index <= 0x13BF)
        return new PdoMappingMaskForm(PdoMappingTable::Srdo, parent);
    if (index >= 0x1FA0 && index <= 0x1FCF)
        return new MPDO_ScannerMaskForm(parent);
    if (index >= 0x1FD0 && index <= 0x1FFF)
        return new MPDO_DispachterForm(parent);
    return nullptr;
}

} // namespace

BaseObjectMask *ObjectClassFactory::getObjectMask(quint8 line, quint16 index, quint16 deviceType,
                                                  QWidget *parent)
{
    BaseObjectMask *mask = nullptr;
    switch (index) {
    case 0x1000:
        mask = new DeviceTypeMaskForm(parent);
        break;
    case 0x1006:
        mask = new SyncIntervalMaskForm(parent);
        break;
    case 0x1012:
        mask = new TimeCobIdMaskForm(parent);
        break;
    case 0x1016:
        mask = new HeartbeatConsumerMaskForm(parent);
        break;
    case 0x1017:
        mask = new HeartbeatProducerMaskForm(parent);
        break;
    case 0x13FF:
        mask = new SafetyConfigurationSignatureForm(parent);
        break;
    case 0x1F80:
        mask = new NMT_1F80_MaskForm(parent);
        break;
    case 0x1F81:
        mask = new NMT_1F81_MaskForm(parent);
        break;
    case 0x6000:
        if (deviceType == 454)
            mask = new EB_6000_MaskForm(parent);
        break;
    default:
        mask = rangeMask(index, parent);
        break;
    }
    if (mask) {
        mask->setNode(line);
        mask->setIndex(index);
    }
    return mask;
}

QStringList ObjectClassFactory::serviceNames()
{
    return {tr("PDO"),
            tr("Heartbeat"),
            tr("SYNC"),
            tr("Node Guarding"),
            tr("Time Stamp"),
            tr("Emergency"),
            tr("NMT master inhibit time"),
            tr("SDO Client"),
            tr("SRDO")};
}

BaseObjectMask *ObjectClassFactory::getServiceMask(const QString &service, QWidget *parent)
{
    const int entry = serviceNames().indexOf(service);
    BaseObjectMask *mask = nullptr;
    switch (entry) {
    case 0:
        mask = new PDOServiceMaskForm(parent);
        break;
    case 1:
        mask = new HeartbeatServiceMaskForm(parent);
        break;
    case 2:
        mask = new SyncServiceMaskForm(parent);
        break;
    case 3:
        mask = new NodeGuardingServiceMaskForm(parent);
        break;
    case 4:
        mask = new TimeCobIdMaskForm(parent);
        break;
    case 5:
        mask = new EmergenyServiceMaskForm(parent);
        break;
    case 6:
        mask = new NMTMasterMaskForm(parent);
        break;
    case 7:
        mask = new SDOClientMaskForm(parent);
        break;
    case 8:
        mask = new SRDOServiceMaskForm(parent);
        break;
    default:
        return nullptr;
    }
    mask->setCreateServiceFlag(true);
    return mask;
}
