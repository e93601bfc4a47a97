#include "devicetypemaskform.h"

#include "devicetypeprofileforms.h"

#include "transform/maskstore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {

constexpr int otherProfile = -1;

} // namespace

DeviceTypeMaskForm::DeviceTypeMaskForm(QWidget *parent)
    : BaseObjectMask(parent), cbProfile(new QComboBox(this)), profileArea(new QVBoxLayout)
{
    QFormLayout *form = setupFrame(tr("Device Type"));
    cbProfile->setObjectName(QStringLiteral("cbProfile"));
    const QList<QPair<int, QString>> profiles = {
        {0, tr("0 - none")},
        {401, tr("401 - Generic I/O modules")},
        {402, tr("402 - Drives and motion control")},
        {406, tr("406 - Encoders (rotating and linear)")},
        {437, tr("437 - Grid-based photovoltaic systems")},
        {447, tr("447 - Car add-on devices")},
        {454, tr("454 - Energy Management Systems (former EnergyBus)")},
        {otherProfile, tr("other")}};
    for (const auto &entry : profiles)
        cbProfile->addItem(entry.second, entry.first);
    form->addRow(tr("Device Type:"), cbProfile);
    frameLayout()->addLayout(profileArea);
    frameLayout()->addStretch();
    connect(cbProfile, QOverload<int>::of(&QComboBox::activated), this,
            &DeviceTypeMaskForm::profileChosen);
}

int DeviceTypeMaskForm::profileEntry(quint16 number)
{
    switch (number) {
    case 0:
    case 401:
    case 402:
    case 406:
    case 437:
    case 447:
    case 454:
        return number;
    default:
        break;
    }
    return otherProfile;
}

void DeviceTypeMaskForm::showProfileForm(int entry)
{
    delete profile;
    profile = nullptr;
    switch (entry) {
    case 0:
        return;
    case 401:
        profile = new DeviceType401Form(this);
        break;
    case 402:
        profile = new DeviceType402Form(this);
        break;
    case 406:
        profile = new DeviceType406Form(this);
        break;
    case 437:
        profile = new DeviceType437Form(this);
        break;
    case 447:
        profile = new DeviceType447Form(this);
        break;
    case 454:
        profile = new DeviceType454Form(this);
        break;
    default:
        profile = new OtherDeviceTypeForm(this);
        break;
    }
    profile->setEnabled(editable);
    profileArea->addWidget(profile);
    connect(profile, &DeviceTypeProfileForm::changed, this, &DeviceTypeMaskForm::saveData);
}

void DeviceTypeMaskForm::updateData()
{
    const quint32 value = entryNumber(0);
    const int entry = profileEntry(quint16(value & 0xFFFF));
    setComboboxValue(cbProfile, entry);
    if (!profile || cbProfile->property("shownEntry").toInt() != entry) {
        showProfileForm(entry);
        cbProfile->setProperty("shownEntry", entry);
    }
    if (profile)
        profile->setDeviceType(value);
    cbProfile->setEnabled(editable);
}

void DeviceTypeMaskForm::profileChosen()
{
    const int entry = cbProfile->currentData().toInt();
    showProfileForm(entry);
    cbProfile->setProperty("shownEntry", entry);
    if (profile && entry != otherProfile)
        profile->setDeviceType(0);
    else if (profile)
        profile->setDeviceType(entryNumber(0));
    saveData();
}

void DeviceTypeMaskForm::saveData()
{
    const int entry = cbProfile->currentData().toInt();
    const quint16 number = entry == otherProfile ? 0 : quint16(entry);
    const quint32 value = profile ? profile->deviceType(number) : number;
    if (value != entryNumber(0))
        storeValue(0, MaskStore::hex32(value));
}
