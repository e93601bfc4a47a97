#pragma once

#include "baseobjectmask.h"

class QCheckBox;
class QSpinBox;

// 0x1012, the COB-ID of the TIME object: the CAN identifier, bit 31 "consumes TIME" and
// bit 30 "produces TIME". With the create-service flag it adds the time stamp service.
class TimeCobIdMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit TimeCobIdMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override;

private:
    quint32 valueFromFields() const;

    QSpinBox *spCobId;
    QCheckBox *chkConsumer;
    QCheckBox *chkProducer;
};
