#pragma once

#include "panelkit/linetype.h"

#include <QDialog>

class QListWidget;

// Asks for the protocol of a line in the CAN edition: CANopen, J1939, raw CAN, or
// CANopen and J1939 on one line.
class SelectProtocolDialog : public QDialog
{
    Q_OBJECT

public:
    // title is the question shown, e.g. "Select CAN protocol for line 0:".
    explicit SelectProtocolDialog(const QString &title, QWidget *parent = nullptr);

    // Line type of the chosen entry; NotSet when nothing is chosen.
    LineType lineType() const;

private:
    QListWidget *m_list;
};
