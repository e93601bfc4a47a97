#pragma once

#include "baseobjectmask.h"

class QPushButton;
class QTableWidget;

// 0x13FF, the safety configuration signatures: per SRDO the stored signature beside the
// one its configuration gives; "Calculate" writes the calculated ones.
class SafetyConfigurationSignatureForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit SafetyConfigurationSignatureForm(QWidget *parent = nullptr);

    QTableWidget *table() const { return tblSignatures; }

public slots:
    void saveData() override;
    void updateData() override;
    void calculate();

private:
    QTableWidget *tblSignatures;
    QPushButton *btnCalculate;
};
