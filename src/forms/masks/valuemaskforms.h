#pragma once

#include "baseobjectmask.h"

class QLineEdit;
class QSpinBox;

// A mask for an object with one number (sub-index 0): "Value:" and "Description:".
class SingleValueMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    SingleValueMaskForm(const QString &title, const QString &unit, int maximum,
                        QWidget *parent = nullptr);

    QSpinBox *valueBox() const { return spValue; }

public slots:
    void saveData() override;
    void updateData() override;

private:
    QSpinBox *spValue;
    QLineEdit *leDescription;
};

// 0x1017: the heartbeat producer interval in milliseconds.
class HeartbeatProducerMaskForm : public SingleValueMaskForm
{
    Q_OBJECT

public:
    explicit HeartbeatProducerMaskForm(QWidget *parent = nullptr);
};

// 0x1006: the SYNC interval in microseconds.
class SyncIntervalMaskForm : public SingleValueMaskForm
{
    Q_OBJECT

public:
    explicit SyncIntervalMaskForm(QWidget *parent = nullptr);
};
