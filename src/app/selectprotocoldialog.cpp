#include "selectprotocoldialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

SelectProtocolDialog::SelectProtocolDialog(const QString &title, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QCoreApplication::applicationName());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(title, this));
    const QList<QPair<QString, int>> protocols = {
        {tr("CANopen"), 1}, {tr("J1939"), 2}, {tr("raw CAN"), 4}, {tr("CANopen and J1939"), 5}};
    for (const auto &protocol : protocols) {
        auto *item = new QListWidgetItem(protocol.first, m_list);
        item->setData(Qt::UserRole, protocol.second);
    }
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

int SelectProtocolDialog::lineType() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}
