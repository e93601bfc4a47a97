#include "selectsubindexdialog.h"
#include "ui_selectsubindexdialog.h"

SelectSubindexDialog::SelectSubindexDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SelectSubindexDialog)
{
    ui->setupUi(this);
}

SelectSubindexDialog::~SelectSubindexDialog()
{
    delete ui;
}

void SelectSubindexDialog::fillSubs(const QList<quint8> &subs)
{
    ui->cbSubs->clear();
    for (quint8 sub : subs)
        ui->cbSubs->addItem(QString::number(sub), int(sub));
}

quint8 SelectSubindexDialog::getSubValue() const
{
    if (result() != QDialog::Accepted || ui->cbSubs->currentIndex() < 0)
        return 0xFF;
    return quint8(ui->cbSubs->currentData().toUInt());
}

QComboBox *SelectSubindexDialog::subsBox() const
{
    return ui->cbSubs;
}
