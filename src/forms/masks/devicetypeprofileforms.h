#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QSpinBox;

// The profile-specific part of the device type (0x1000): the additional information in
// bits 16..31, and for other profiles also the profile number in bits 0..15.
class DeviceTypeProfileForm : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceTypeProfileForm(QWidget *parent = nullptr) : QWidget(parent) {}

    virtual quint32 deviceType(quint16 profile) const = 0;
    virtual void setDeviceType(quint32 value) = 0;

signals:
    void changed();
};

// Additional information given as independent bits.
class FlagProfileForm : public DeviceTypeProfileForm
{
    Q_OBJECT

public:
    // flags: bit number (16..31) and text.
    FlagProfileForm(const QList<QPair<int, QString>> &flags, QWidget *parent = nullptr);

    quint32 deviceType(quint16 profile) const override;
    void setDeviceType(quint32 value) override;

private:
    QList<QPair<int, QCheckBox *>> boxes;
    quint32 otherBits = 0;
};

// Additional information that is one of a list of codes.
class ChoiceProfileForm : public DeviceTypeProfileForm
{
    Q_OBJECT

public:
    ChoiceProfileForm(const QString &label, const QList<QPair<int, QString>> &codes,
                      QWidget *parent = nullptr);

    quint32 deviceType(quint16 profile) const override;
    void setDeviceType(quint32 value) override;

private:
    QComboBox *cbCode;
};

// Additional information given as a number.
class AdditionalInfoProfileForm : public DeviceTypeProfileForm
{
    Q_OBJECT

public:
    explicit AdditionalInfoProfileForm(QWidget *parent = nullptr);

    quint32 deviceType(quint16 profile) const override;
    void setDeviceType(quint32 value) override;

private:
    QSpinBox *spAdditional;
};

// CiA 401, generic I/O modules: which kinds of channels the device has.
class DeviceType401Form : public FlagProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType401Form(QWidget *parent = nullptr);
};

// CiA 402, drives and motion control: the kind of drive.
class DeviceType402Form : public ChoiceProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType402Form(QWidget *parent = nullptr);
};

// CiA 406, encoders: the kind of encoder.
class DeviceType406Form : public ChoiceProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType406Form(QWidget *parent = nullptr);
};

// CiA 437, grid-based photovoltaic systems.
class DeviceType437Form : public AdditionalInfoProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType437Form(QWidget *parent = nullptr);
};

// CiA 447, car add-on devices.
class DeviceType447Form : public AdditionalInfoProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType447Form(QWidget *parent = nullptr);
};

// CiA 454, energy management systems.
class DeviceType454Form : public AdditionalInfoProfileForm
{
    Q_OBJECT
public:
    explicit DeviceType454Form(QWidget *parent = nullptr);
};

// Any other profile: the profile number and the additional information as numbers.
class OtherDeviceTypeForm : public DeviceTypeProfileForm
{
    Q_OBJECT

public:
    explicit OtherDeviceTypeForm(QWidget *parent = nullptr);

    quint32 deviceType(quint16 profile) const override;
    void setDeviceType(quint32 value) override;

private:
    QSpinBox *spProfile;
    QSpinBox *spAdditional;
};
