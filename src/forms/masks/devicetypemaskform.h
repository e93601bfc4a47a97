#pragma once

#include "baseobjectmask.h"

class DeviceTypeProfileForm;
class QComboBox;
class QVBoxLayout;

// 0x1000, the device type: the device profile the device follows, and below it the form
// of that profile for the profile's additional information.
class DeviceTypeMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit DeviceTypeMaskForm(QWidget *parent = nullptr);

    QComboBox *profileBox() const { return cbProfile; }
    DeviceTypeProfileForm *profileForm() const { return profile; }

public slots:
    void saveData() override;
    void updateData() override;

private:
    // The entry of the profile list: its number, or -1 for "other".
    static int profileEntry(quint16 number);
    void showProfileForm(int entry);
    void profileChosen();

    QComboBox *cbProfile;
    QVBoxLayout *profileArea;
    DeviceTypeProfileForm *profile = nullptr;
};
