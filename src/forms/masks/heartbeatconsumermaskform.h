#pragma once

#include "arraylistmaskform.h"

// 0x1016: the heartbeats this device watches, one entry per producer: node-ID in bits
// 16..23 and the time in milliseconds in bits 0..15.
class HeartbeatConsumerMaskForm : public ArrayListMaskForm
{
    Q_OBJECT

public:
    explicit HeartbeatConsumerMaskForm(QWidget *parent = nullptr);

protected:
    QStringList toCells(quint64 value) const override;
    bool fromCells(const QStringList &cells, quint64 &value) const override;
    QString entryNamePattern() const override;
};
