#include "addservicedialog.h"

#include "baseobjectmask.h"
#include "objectclassfactory.h"

#include "database/undostep.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

AddServiceDialog::AddServiceDialog(ObjectDataBase *db, quint8 serviceLine, QWidget *parent)
    : QDialog(parent), database(db), line(serviceLine), cbService(new QComboBox(this)),
      stack(new QStackedWidget(this))
{
    setWindowTitle(tr("Add Communication Service"));
    cbService->setObjectName(QStringLiteral("cbService"));
    cbService->addItems(ObjectClassFactory::serviceNames());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *form = new QFormLayout;
    form->addRow(tr("Service:"), cbService);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(stack, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddServiceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddServiceDialog::reject);
    connect(cbService, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &AddServiceDialog::showService);
    showService(0);
}

void AddServiceDialog::showService(int entry)
{
    delete mask;
    mask = ObjectClassFactory::getServiceMask(cbService->itemText(entry), stack);
    if (!mask)
        return;
    mask->setProjectDataBase(database);
    mask->setNode(line);
    mask->updateData();
    connect(mask, &BaseObjectMask::serviceCreated, this,
            [this](quint16 index) { created = index; });
    stack->addWidget(mask);
    stack->setCurrentWidget(mask);
}

void AddServiceDialog::accept()
{
    if (!mask)
        return;
    created = 0;
    // Objects copied from the template and the values of the mask are one step.
    UndoStep step(database, tr("Add service %1").arg(cbService->currentText()));
    mask->saveData();
    if (created != 0)
        QDialog::accept();
}
