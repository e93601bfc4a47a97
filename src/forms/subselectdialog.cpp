#include "subselectdialog.h"
#include "ui_subselectdialog.h"

#include "panelkit/linetype.h"

#include <QPushButton>

SubSelectDialog::SubSelectDialog(ObjectDataBase *database, quint16 index, QWidget *parent)
    : QDialog(parent), ui(new Ui::SubSelectDialog), database(database), sourceIndex(index)
{
    ui->setupUi(this);
    connect(ui->cbLine, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SubSelectDialog::fillIndices);
    connect(ui->cbIndex, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SubSelectDialog::fillSubs);
    connect(ui->cbSub, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SubSelectDialog::updateHint);
}

SubSelectDialog::~SubSelectDialog()
{
    delete ui;
}

void SubSelectDialog::setSource(quint8 line, quint8 sub)
{
    if (!database)
        return;
    sourceType = database->getSubIndexDatatype(line, sourceIndex, sub);
    const QSignalBlocker blocker(ui->cbLine);
    ui->cbLine->clear();
    QList<quint8> lines = database->getNodes();
    std::sort(lines.begin(), lines.end());
    for (quint8 each : lines) {
        if (LineTypes::isProjectLine(each))
            ui->cbLine->addItem(QString::number(each), int(each));
    }
    ui->cbLine->setCurrentIndex(ui->cbLine->findData(int(line)));
    fillIndices(ui->cbLine->currentIndex());
    const int own = ui->cbIndex->findData(int(sourceIndex));
    if (own >= 0)
        ui->cbIndex->setCurrentIndex(own);
}

void SubSelectDialog::fillIndices(int)
{
    const QSignalBlocker blocker(ui->cbIndex);
    ui->cbIndex->clear();
    const quint8 line = getLine();
    for (quint16 index : database->getIndices(line, 0x2000, 0xBFFF)) {
        ObjectDataBase::INDEX_DATA_T object;
        if (!database->getIndexData(line, index, object))
            continue;
        const bool array = object.objecttype == 8 && object.datatype == sourceType;
        if (!array && object.objecttype != 9)
            continue;
        const QString name = object.name.isEmpty() ? tr("unnamed object") : object.name;
        ui->cbIndex->addItem(
            QStringLiteral("0x%1 %2").arg(index, 4, 16, QLatin1Char('0')).arg(name), int(index));
    }
    fillSubs(ui->cbIndex->currentIndex());
}

void SubSelectDialog::fillSubs(int)
{
    const QSignalBlocker blocker(ui->cbSub);
    ui->cbSub->clear();
    int firstFree = -1;
    if (ui->cbIndex->currentIndex() >= 0) {
        const quint8 line = getLine();
        const quint16 index = getIndex();
        const QList<quint8> used = database->getSubIndices(line, index, 1);
        for (int sub = 1; sub < 0xFF; ++sub) {
            const bool exists = used.contains(quint8(sub));
            const QString text = exists ? QStringLiteral("%1 %2").arg(sub).arg(
                                     database->getSubIndexName(line, index, quint8(sub), true))
                                        : tr("%1 free sub").arg(sub);
            ui->cbSub->addItem(text, sub);
            ui->cbSub->setItemData(ui->cbSub->count() - 1, exists, Qt::UserRole + 1);
            if (!exists && firstFree < 0)
                firstFree = ui->cbSub->count() - 1;
        }
    }
    // Nothing is overwritten unless the user picks an existing entry.
    if (firstFree >= 0)
        ui->cbSub->setCurrentIndex(firstFree);
    updateHint(ui->cbSub->currentIndex());
}

void SubSelectDialog::updateHint(int subEntry)
{
    const bool overwrite =
        subEntry >= 0 && ui->cbSub->itemData(subEntry, Qt::UserRole + 1).toBool();
    ui->lblHint->setText(overwrite ? tr("SubIndex will be overwritten") : QString());
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(hasSelection());
}

bool SubSelectDialog::hasSelection() const
{
    return ui->cbIndex->currentIndex() >= 0 && ui->cbSub->currentIndex() >= 0;
}

quint8 SubSelectDialog::getLine() const
{
    return quint8(ui->cbLine->currentData().toUInt());
}

quint16 SubSelectDialog::getIndex() const
{
    return quint16(ui->cbIndex->currentData().toUInt());
}

quint8 SubSelectDialog::getSub() const
{
    return quint8(ui->cbSub->currentData().toUInt());
}

QComboBox *SubSelectDialog::lineBox() const
{
    return ui->cbLine;
}

QComboBox *SubSelectDialog::indexBox() const
{
    return ui->cbIndex;
}

QComboBox *SubSelectDialog::subBox() const
{
    return ui->cbSub;
}

QLabel *SubSelectDialog::hintLabel() const
{
    return ui->lblHint;
}
