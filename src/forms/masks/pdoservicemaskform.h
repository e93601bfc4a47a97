#pragma once

#include "baseobjectmask.h"

#include "transform/pdoconfigurator.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

// The "PDO" communication service: adds the next free receive or transmit PDO (or MPDO)
// with its mapping object and the transmission settings entered here.
class PDOServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit PDOServiceMaskForm(QWidget *parent = nullptr);

    // Creates or rewrites the PDO commIndex of the mask's line: mapping "static",
    // "dynamic", "SAM" or "DAM" with count entries; the flags add the inhibit time, the
    // event timer and the SYNC start value.
    bool configurePDO(ObjectDataBase *db, quint16 commIndex, const QString &mapping, quint8 count,
                      bool inhibitTime, bool eventTimer, bool syncStart);

public slots:
    void saveData() override;
    void updateData() override;
    void typeChanged(int entry);
    void transmissionTypeChanged(int entry);
    void inhibitTimeToggled(bool on);
    void eventTimerToggled(bool on);
    void syncStartToggled(bool on);

private:
    bool isReceive() const;
    bool isMpdo() const;
    bool writeValues(quint16 commIndex);

    QComboBox *cbType;
    QLabel *lblMapping;
    QComboBox *cbMapping;
    QSpinBox *spCount;
    QComboBox *cbTransmission;
    QCheckBox *chkInhibit;
    QSpinBox *spInhibit;
    QCheckBox *chkEventTimer;
    QSpinBox *spEventTimer;
    QCheckBox *chkSyncStart;
    QSpinBox *spSyncStart;
};
