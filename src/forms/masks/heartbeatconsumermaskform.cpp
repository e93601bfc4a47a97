#include "heartbeatconsumermaskform.h"

#include <QTableWidget>

HeartbeatConsumerMaskForm::HeartbeatConsumerMaskForm(QWidget *parent)
    : ArrayListMaskForm(tr("Heartbeat Consumer Configuration"),
                        {tr("Node-Id"), tr("Consumer Time (ms)")}, tr("Add entry"),
                        tr("Delete entry"), parent)
{
    table()->setObjectName(QStringLiteral("tblConsumer"));
}

QStringList HeartbeatConsumerMaskForm::toCells(quint64 value) const
{
    return {QString::number((value >> 16) & 0xFF), QString::number(value & 0xFFFF)};
}

bool HeartbeatConsumerMaskForm::fromCells(const QStringList &cells, quint64 &value) const
{
    bool nodeOk = false;
    bool timeOk = false;
    const uint node = cells.value(0).toUInt(&nodeOk);
    const uint time = cells.value(1).toUInt(&timeOk);
    if (!nodeOk || !timeOk || node > 127 || time > 0xFFFF)
        return false;
    value = quint64(node) << 16 | time;
    return true;
}

QString HeartbeatConsumerMaskForm::entryNamePattern() const
{
    return tr("Consumer Heartbeat Time %1");
}
