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
    const QList<QPair<QString, LineType>> protocols = {
        {tr("CANopen"), LineType::CANopen},
        {tr("J1939"), LineType::J1939},
        {tr("raw CAN"), LineType::RawCan},
        {tr("CANopen and J1939"), LineType::CANopenAndJ1939}};
    for (const auto &protocol : protocols) {
        auto *item = new QListWidgetItem(protocol.first, m_list);
        item->setData(Qt::UserRole, static_cast<int>(protocol.second));
    }
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

LineType SelectProtocolDialog::lineType() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? static_cast<LineType>(item->data(Qt::UserRole).toInt()) : LineType::NotSet;
}
