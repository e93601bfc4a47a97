#include "addobjectdialog.h"
#include "ui_addobjectdialog.h"

#include "basetreeform.h"

#include "panelkit/helper.h"
#include "panelkit/valuechecker.h"

#include <QPushButton>

AddObjectDialog::AddObjectDialog(QWidget *parent) : QDialog(parent), ui(new Ui::AddObjectDialog)
{
    ui->setupUi(this);
    for (quint8 code : {7, 8, 9})
        ui->cbObjectType->addItem(Helper::objectCode2String(code), int(code));
    BaseTreeForm::fillDataTypesInCombobox(ui->cbDataType);
    connect(ui->cbObjectType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &AddObjectDialog::objectTypeChanged);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &AddObjectDialog::accept);
    objectTypeChanged();
}

AddObjectDialog::~AddObjectDialog()
{
    delete ui;
}

void AddObjectDialog::setRequest(const FormPrompts::NewObject &request)
{
    ui->leIndex->setText(QStringLiteral("0x%1").arg(request.index, 4, 16, QLatin1Char('0')));
    ui->leName->setText(request.name);
    BaseTreeForm::setValueInCombobox(ui->cbObjectType, int(request.objectType));
    BaseTreeForm::setValueInCombobox(ui->cbDataType, int(request.dataType));
    ui->spEntries->setValue(request.entries);
}

FormPrompts::NewObject AddObjectDialog::request() const
{
    return accepted;
}

QString AddObjectDialog::errorText() const
{
    return ui->lblError->text();
}

void AddObjectDialog::objectTypeChanged()
{
    ui->spEntries->setEnabled(ui->cbObjectType->currentData().toInt() != 7);
}

void AddObjectDialog::accept()
{
    FormPrompts::NewObject request;
    const QString reason = ValueChecker::checkIndex(ui->leIndex->text(), request.index);
    if (!reason.isEmpty()) {
        ui->lblError->setText(reason);
        ui->leIndex->setFocus();
        return;
    }
    request.name = ui->leName->text().trimmed();
    if (request.name.isEmpty()) {
        ui->lblError->setText(tr("A name cannot be empty."));
        ui->leName->setFocus();
        return;
    }
    request.objectType = quint8(ui->cbObjectType->currentData().toUInt());
    request.dataType = quint16(ui->cbDataType->currentData().toUInt());
    request.entries = request.objectType == 7 ? 1 : ui->spEntries->value();
    accepted = request;
    QDialog::accept();
}
