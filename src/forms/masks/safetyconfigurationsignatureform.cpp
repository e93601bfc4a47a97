#include "safetyconfigurationsignatureform.h"

#include "transform/srdoconfiguration.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

SafetyConfigurationSignatureForm::SafetyConfigurationSignatureForm(QWidget *parent)
    : BaseObjectMask(parent), tblSignatures(new QTableWidget(0, 3, this)),
      btnCalculate(new QPushButton(tr("Calculate"), this))
{
    setupFrame(tr("Signature"));
    tblSignatures->setObjectName(QStringLiteral("tblSignatures"));
    tblSignatures->setHorizontalHeaderLabels({tr("SRDO"), tr("Stored"), tr("Calculated")});
    tblSignatures->horizontalHeader()->setStretchLastSection(true);
    tblSignatures->verticalHeader()->hide();
    tblSignatures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnCalculate);
    buttons->addStretch();
    frameLayout()->addWidget(tblSignatures);
    frameLayout()->addLayout(buttons);
    connect(btnCalculate, &QPushButton::clicked, this,
            &SafetyConfigurationSignatureForm::calculate);
}

void SafetyConfigurationSignatureForm::updateData()
{
    if (!database)
        return;
    SrdoConfiguration srdos(database);
    const QList<int> numbers = srdos.srdoNumbers(line);
    tblSignatures->setRowCount(numbers.size());
    for (int row = 0; row < numbers.size(); ++row) {
        const int srdo = numbers.at(row);
        quint16 crc = 0;
        const QString calculated = srdos.signature(line, srdo, crc)
                                       ? QStringLiteral("0x%1").arg(crc, 4, 16, QLatin1Char('0'))
                                       : srdos.errorTitle();
        const QStringList cells = {QString::number(srdo),
                                   database->getSubIndexValue(line, index, quint8(srdo)),
                                   calculated};
        for (int column = 0; column < cells.size(); ++column)
            tblSignatures->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    btnCalculate->setEnabled(editable && !numbers.isEmpty());
}

void SafetyConfigurationSignatureForm::saveData()
{
    // The signatures are written by "Calculate" only.
}

void SafetyConfigurationSignatureForm::calculate()
{
    if (!editable || !database)
        return;
    SrdoConfiguration srdos(database);
    bool stored = false;
    {
        SavingScope scope(this, tr("Calculate safety configuration signatures"));
        stored = srdos.storeSignatures(line);
    }
    if (!stored)
        showFailure(srdos.errorTitle(), srdos.errorString());
    updateData();
}
