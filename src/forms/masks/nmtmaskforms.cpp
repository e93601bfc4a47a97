#include "nmtmaskforms.h"

#include "transform/dictionaryeditor.h"
#include "transform/maskstore.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

NMT_1F80_MaskForm::NMT_1F80_MaskForm(QWidget *parent) : BaseObjectMask(parent)
{
    QFormLayout *form = setupFrame(tr("NMT Start-up"));
    const QStringList bits = {tr("Bit 0: the device is the NMT master"),
                              tr("Bit 1: start all nodes with a single command"),
                              tr("Bit 2: do not enter Operational by itself"),
                              tr("Bit 3: the application starts the slaves"),
                              tr("Bit 4: reset all nodes when a mandatory slave fails"),
                              tr("Bit 5: take part in the flying master negotiation"),
                              tr("Bit 6: stop all nodes when a mandatory slave fails")};
    for (const QString &text : bits) {
        auto *box = new QCheckBox(text, this);
        boxes.append(box);
        form->addRow(box);
        connect(box, &QCheckBox::clicked, this, &NMT_1F80_MaskForm::saveData);
    }
    frameLayout()->addStretch();
}

void NMT_1F80_MaskForm::updateData()
{
    const quint32 value = entryNumber(0);
    for (int bit = 0; bit < boxes.size(); ++bit) {
        boxes.at(bit)->setChecked(value & (1u << bit));
        boxes.at(bit)->setEnabled(editable);
    }
}

void NMT_1F80_MaskForm::saveData()
{
    quint32 value = entryNumber(0);
    for (int bit = 0; bit < boxes.size(); ++bit) {
        if (boxes.at(bit)->isChecked())
            value |= 1u << bit;
        else
            value &= ~(1u << bit);
    }
    if (value != entryNumber(0))
        storeValue(0, MaskStore::hex32(value));
}

NMT_1F81_MaskForm::NMT_1F81_MaskForm(QWidget *parent)
    : BaseObjectMask(parent), tableWidget(new QTableWidget(0, 2, this)),
      btnAdd(new QPushButton(tr("Add node"), this)),
      btnDelete(new QPushButton(tr("Delete node"), this))
{
    setupFrame(tr("NMT Slave Assignment"));
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    tableWidget->setHorizontalHeaderLabels({tr("Node-Id"), tr("Assignment")});
    tableWidget->horizontalHeader()->setStretchLastSection(true);
    tableWidget->verticalHeader()->hide();
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDelete);
    buttons->addStretch();
    frameLayout()->addWidget(tableWidget);
    frameLayout()->addLayout(buttons);
    connect(btnAdd, &QPushButton::clicked, this, &NMT_1F81_MaskForm::addNode);
    connect(btnDelete, &QPushButton::clicked, this, &NMT_1F81_MaskForm::deleteNode);
    connect(tableWidget, &QTableWidget::cellChanged, this, &NMT_1F81_MaskForm::cellEdited);
}

void NMT_1F81_MaskForm::updateData()
{
    if (!database)
        return;
    const QList<quint8> subs = database->getSubIndices(line, index, 1);
    filling = true;
    tableWidget->setRowCount(subs.size());
    for (int row = 0; row < subs.size(); ++row) {
        auto *node = new QTableWidgetItem(QString::number(subs.at(row)));
        node->setFlags(node->flags() & ~Qt::ItemIsEditable);
        node->setData(Qt::UserRole, int(subs.at(row)));
        auto *value = new QTableWidgetItem(database->getSubIndexValue(line, index, subs.at(row)));
        if (!editable)
            value->setFlags(value->flags() & ~Qt::ItemIsEditable);
        tableWidget->setItem(row, 0, node);
        tableWidget->setItem(row, 1, value);
    }
    filling = false;
    btnAdd->setEnabled(editable && (subs.isEmpty() || subs.last() < 127));
    btnDelete->setEnabled(editable && !subs.isEmpty());
}

void NMT_1F81_MaskForm::saveData()
{
    // Every edit is stored when it is made.
}

void NMT_1F81_MaskForm::addNode()
{
    if (!editable || !database)
        return;
    DictionaryEditor editor(database);
    {
        SavingScope scope(this, changeName());
        if (editor.appendSubIndex(line, index) == DictionaryEditor::NoSubIndex)
            refuseInput(editor.errorString());
    }
    updateData();
}

void NMT_1F81_MaskForm::deleteNode()
{
    const int row = tableWidget->currentRow();
    if (!editable || !database || row < 0)
        return;
    DictionaryEditor editor(database);
    {
        SavingScope scope(this, changeName());
        if (!editor.deleteSub(line, index,
                              quint8(tableWidget->item(row, 0)->data(Qt::UserRole).toInt())))
            refuseInput(editor.errorString());
    }
    updateData();
}

void NMT_1F81_MaskForm::cellEdited(int row, int column)
{
    if (filling || column != 1)
        return;
    const quint8 sub = quint8(tableWidget->item(row, 0)->data(Qt::UserRole).toInt());
    const QString text = tableWidget->item(row, 1)->text().trimmed();
    quint32 value = 0;
    if (!MaskStore::parseNumber(text, value)) {
        refuseInput(tr("\"%1\" is no number.").arg(text));
        updateData();
        return;
    }
    storeValue(sub, MaskStore::hex32(value));
}
