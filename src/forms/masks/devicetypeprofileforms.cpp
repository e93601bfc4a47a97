#include "devicetypeprofileforms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>

FlagProfileForm::FlagProfileForm(const QList<QPair<int, QString>> &flags, QWidget *parent)
    : DeviceTypeProfileForm(parent)
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    for (const auto &flag : flags) {
        auto *box = new QCheckBox(flag.second, this);
        boxes.append({flag.first, box});
        form->addRow(box);
        connect(box, &QCheckBox::clicked, this, &DeviceTypeProfileForm::changed);
    }
}

quint32 FlagProfileForm::deviceType(quint16 profile) const
{
    quint32 value = otherBits | profile;
    for (const auto &box : boxes) {
        if (box.second->isChecked())
            value |= 1u << box.first;
    }
    return value;
}

void FlagProfileForm::setDeviceType(quint32 value)
{
    otherBits = value & 0xFFFF0000u;
    for (const auto &box : boxes) {
        box.second->setChecked(value & (1u << box.first));
        otherBits &= ~(1u << box.first);
    }
}

ChoiceProfileForm::ChoiceProfileForm(const QString &label, const QList<QPair<int, QString>> &codes,
                                     QWidget *parent)
    : DeviceTypeProfileForm(parent), cbCode(new QComboBox(this))
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    for (const auto &code : codes)
        cbCode->addItem(
            QStringLiteral("0x%1 - %2").arg(code.first, 4, 16, QLatin1Char('0')).arg(code.second),
            code.first);
    form->addRow(label, cbCode);
    connect(cbCode, QOverload<int>::of(&QComboBox::activated), this,
            &DeviceTypeProfileForm::changed);
}

quint32 ChoiceProfileForm::deviceType(quint16 profile) const
{
    return quint32(cbCode->currentData().toUInt()) << 16 | profile;
}

void ChoiceProfileForm::setDeviceType(quint32 value)
{
    const int code = int(value >> 16);
    int entry = cbCode->findData(code);
    if (entry < 0) {
        cbCode->addItem(QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0')), code);
        entry = cbCode->count() - 1;
    }
    cbCode->setCurrentIndex(entry);
}

AdditionalInfoProfileForm::AdditionalInfoProfileForm(QWidget *parent)
    : DeviceTypeProfileForm(parent), spAdditional(new QSpinBox(this))
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    spAdditional->setRange(0, 0xFFFF);
    spAdditional->setDisplayIntegerBase(16);
    spAdditional->setPrefix(QStringLiteral("0x"));
    form->addRow(tr("Additional information:"), spAdditional);
    connect(spAdditional, &QSpinBox::editingFinished, this, &DeviceTypeProfileForm::changed);
}

quint32 AdditionalInfoProfileForm::deviceType(quint16 profile) const
{
    return quint32(spAdditional->value()) << 16 | profile;
}

void AdditionalInfoProfileForm::setDeviceType(quint32 value)
{
    spAdditional->setValue(int(value >> 16));
}

DeviceType401Form::DeviceType401Form(QWidget *parent)
    : FlagProfileForm({{16, tr("Digital inputs")},
                       {17, tr("Digital outputs")},
                       {18, tr("Analogue inputs")},
                       {19, tr("Analogue outputs")}},
                      parent)
{
}

DeviceType402Form::DeviceType402Form(QWidget *parent)
    : ChoiceProfileForm(tr("Drive type:"),
                        {{0x0000, tr("none")},
                         {0x0001, tr("Frequency converter")},
                         {0x0002, tr("Servo drive")},
                         {0x0003, tr("Stepper motor")},
                         {0x0200, tr("Multiple device module")}},
                        parent)
{
}

DeviceType406Form::DeviceType406Form(QWidget *parent)
    : ChoiceProfileForm(tr("Encoder type:"),
                        {{0x0001, tr("Single-turn absolute rotary encoder")},
                         {0x0002, tr("Multi-turn absolute rotary encoder")},
                         {0x0003, tr("Single-turn absolute rotary encoder with turn count")},
                         {0x0004, tr("Incremental rotary encoder")},
                         {0x0005, tr("Incremental rotary encoder with position counting")},
                         {0x0006, tr("Incremental linear encoder")},
                         {0x0007, tr("Incremental linear encoder with position counting")},
                         {0x0008, tr("Absolute linear encoder")},
                         {0x0009, tr("Absolute linear encoder with cyclic coding")},
                         {0x000A, tr("Multi-sensor encoder interface")}},
                        parent)
{
}

DeviceType437Form::DeviceType437Form(QWidget *parent) : AdditionalInfoProfileForm(parent) {}

DeviceType447Form::DeviceType447Form(QWidget *parent) : AdditionalInfoProfileForm(parent) {}

DeviceType454Form::DeviceType454Form(QWidget *parent) : AdditionalInfoProfileForm(parent) {}

OtherDeviceTypeForm::OtherDeviceTypeForm(QWidget *parent)
    : DeviceTypeProfileForm(parent), spProfile(new QSpinBox(this)), spAdditional(new QSpinBox(this))
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    spProfile->setObjectName(QStringLiteral("spProfile"));
    spProfile->setRange(0, 0xFFFF);
    spAdditional->setRange(0, 0xFFFF);
    spAdditional->setDisplayIntegerBase(16);
    spAdditional->setPrefix(QStringLiteral("0x"));
    form->addRow(tr("Profile number:"), spProfile);
    form->addRow(tr("Additional information:"), spAdditional);
    connect(spProfile, &QSpinBox::editingFinished, this, &DeviceTypeProfileForm::changed);
    connect(spAdditional, &QSpinBox::editingFinished, this, &DeviceTypeProfileForm::changed);
}

quint32 OtherDeviceTypeForm::deviceType(quint16) const
{
    return quint32(spAdditional->value()) << 16 | quint32(spProfile->value());
}

void OtherDeviceTypeForm::setDeviceType(quint32 value)
{
    spProfile->setValue(int(value & 0xFFFF));
    spAdditional->setValue(int(value >> 16));
}
