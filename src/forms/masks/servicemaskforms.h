#pragma once

#include "baseobjectmask.h"

class QCheckBox;
class QRadioButton;
class QSpinBox;

// The communication services of the "Add Communication Service" list. Each copies its
// objects from the object template into the line and writes the values entered; saveData
// does it (the list's OK), as one unit.

// "SYNC": 0x1005 (COB-ID, producer bit 30), 0x1006 (cycle period), 0x1007 (window).
class SyncServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit SyncServiceMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spCobId;
    QCheckBox *chkProducer;
    QSpinBox *spCycle;
    QSpinBox *spWindow;
};

// "Node Guarding": 0x100C guard time and 0x100D life time factor.
class NodeGuardingServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit NodeGuardingServiceMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spGuardTime;
    QSpinBox *spLifeTime;
};

// "Emergency": 0x1014 (COB-ID "$NODEID+0x80") and 0x1015 inhibit time.
class EmergenyServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit EmergenyServiceMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spInhibit;
};

// "NMT master inhibit time": 0x102A.
class NMTMasterMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit NMTMasterMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spNmtInhibit;
};

// "SDO Client": spNumber copies of 0x1280 from client spStartPos on (0x1280 is client 1).
class SDOClientMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit SDOClientMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spStartPos;
    QSpinBox *spNumber;
};

// "Heartbeat": the producer 0x1017 (from the new-project template) and, with consumer
// entries, 0x1016 with that many empty entries.
class HeartbeatServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit HeartbeatServiceMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QSpinBox *spProducer;
    QSpinBox *spConsumers;
};

// "SRDO": the next free receive or transmit SRDO with its signature entry.
class SRDOServiceMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit SRDOServiceMaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override {}

private:
    QRadioButton *chkReceive;
};
