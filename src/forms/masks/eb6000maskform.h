#pragma once

#include "baseobjectmask.h"

class QComboBox;

// 0x6000 of an EnergyBus device (profile 454): the device class, stored as its number
// in the list (1 "Voltage Converter" .. 12 "Manufacturer Specific (active)") in the first
// entry of the object.
class EB_6000_MaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit EB_6000_MaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override;

private:
    quint8 valueSub() const;

    QComboBox *cbClass;
};
