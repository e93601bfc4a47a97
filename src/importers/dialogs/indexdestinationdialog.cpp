#include "importers/dialogs/indexdestinationdialog.h"
#include "ui_indexdestinationdialog.h"

#include <QPushButton>

IndexDestinationDialog::IndexDestinationDialog(const QString &name, quint16 index, QWidget *parent)
    : QDialog(parent), ui(new Ui::IndexDestinationDialog), name(name), index(index)
{
    ui->setupUi(this);
    ui->edtName->setText(name);
    ui->edtObject->setText(tr("0x%1").arg(index, 4, 16, QLatin1Char('0')));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &IndexDestinationDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &IndexDestinationDialog::reject);
    connect(ui->edtObject, &QLineEdit::textChanged, this, &IndexDestinationDialog::updateOkButton);
}

IndexDestinationDialog::~IndexDestinationDialog()
{
    delete ui;
}

bool IndexDestinationDialog::readIndex(quint16 &value) const
{
    bool ok = false;
    const uint number = ui->edtObject->text().trimmed().toUInt(&ok, 0);
    if (!ok || number > 0xFFFF)
        return false;
    value = quint16(number);
    return true;
}

void IndexDestinationDialog::updateOkButton()
{
    quint16 value = 0;
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(readIndex(value));
}

void IndexDestinationDialog::accept()
{
    quint16 value = 0;
    if (!readIndex(value))
        return;
    index = value;
    name = ui->edtName->text();
    QDialog::accept();
}
