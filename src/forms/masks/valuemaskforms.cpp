#include "valuemaskforms.h"

#include "transform/maskstore.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <limits>

SingleValueMaskForm::SingleValueMaskForm(const QString &title, const QString &unit, int maximum,
                                         QWidget *parent)
    : BaseObjectMask(parent), spValue(new QSpinBox(this)), leDescription(new QLineEdit(this))
{
    QFormLayout *form = setupFrame(title);
    spValue->setObjectName(QStringLiteral("spValue"));
    spValue->setRange(0, maximum);
    spValue->setSuffix(QLatin1Char(' ') + unit);
    leDescription->setObjectName(QStringLiteral("leDescription"));
    form->addRow(tr("Value:"), spValue);
    form->addRow(tr("Description:"), leDescription);
    frameLayout()->addStretch();
    connect(spValue, &QSpinBox::editingFinished, this, &SingleValueMaskForm::saveData);
    connect(leDescription, &QLineEdit::editingFinished, this, &SingleValueMaskForm::saveData);
}

void SingleValueMaskForm::updateData()
{
    if (!database)
        return;
    ObjectDataBase::SUBINDEX_DATA_T data;
    database->getSubIndexData(line, index, 0, data);
    spValue->setValue(int(entryNumber(0)));
    leDescription->setText(data.description);
    spValue->setEnabled(editable);
    leDescription->setEnabled(editable);
}

void SingleValueMaskForm::saveData()
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (!editable || !database || !database->getSubIndexData(line, index, 0, data))
        return;
    const ObjectDataBase::SUBINDEX_DATA_T before = data;
    data.defaultvalue = QString::number(spValue->value());
    if (MaskStore::numberValue(*database, line, index, 0, 0) == quint32(spValue->value()))
        data.defaultvalue = before.defaultvalue;
    data.description = leDescription->text();
    if (data != before)
        storeEntry(0, data);
    updateData();
}

HeartbeatProducerMaskForm::HeartbeatProducerMaskForm(QWidget *parent)
    : SingleValueMaskForm(tr("Heartbeat Producer Interval Configuration"), tr("ms"), 65535, parent)
{
}

SyncIntervalMaskForm::SyncIntervalMaskForm(QWidget *parent)
    : SingleValueMaskForm(tr("Communication Cycle Period"), tr("µs"),
                          std::numeric_limits<int>::max(), parent)
{
}
