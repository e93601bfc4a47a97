#include "timecobidmaskform.h"

#include "transform/maskstore.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

TimeCobIdMaskForm::TimeCobIdMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spCobId(new QSpinBox(this)),
      chkConsumer(new QCheckBox(tr("Consumes TIME"), this)),
      chkProducer(new QCheckBox(tr("Produces TIME"), this))
{
    QFormLayout *form = setupFrame(tr("Time Stamp COB-ID"));
    spCobId->setObjectName(QStringLiteral("spCobId"));
    spCobId->setRange(1, 0x7FF);
    spCobId->setDisplayIntegerBase(16);
    spCobId->setPrefix(QStringLiteral("0x"));
    spCobId->setValue(0x100);
    form->addRow(tr("COB-ID:"), spCobId);
    form->addRow(QString(), chkConsumer);
    form->addRow(QString(), chkProducer);
    frameLayout()->addStretch();
    connect(spCobId, &QSpinBox::editingFinished, this, [this] {
        if (!createService)
            saveData();
    });
    for (QCheckBox *box : {chkConsumer, chkProducer})
        connect(box, &QCheckBox::clicked, this, [this] {
            if (!createService)
                saveData();
        });
}

quint32 TimeCobIdMaskForm::valueFromFields() const
{
    return quint32(spCobId->value()) | (chkConsumer->isChecked() ? 0x80000000u : 0u)
           | (chkProducer->isChecked() ? 0x40000000u : 0u);
}

void TimeCobIdMaskForm::updateData()
{
    if (createService || !database)
        return;
    const quint32 value = entryNumber(0, 0x100);
    spCobId->setValue(int(value & 0x7FF));
    chkConsumer->setChecked(value & 0x80000000u);
    chkProducer->setChecked(value & 0x40000000u);
    for (QWidget *widget : {static_cast<QWidget *>(spCobId), static_cast<QWidget *>(chkConsumer),
                            static_cast<QWidget *>(chkProducer)})
        widget->setEnabled(editable);
}

void TimeCobIdMaskForm::saveData()
{
    const QString value = MaskStore::hex32(valueFromFields());
    if (createService) {
        createServiceObjects(QStringLiteral("objects.data"), 0x1012, 0x1012,
                             [&] { return MaskStore::setValue(database, line, 0x1012, 0, value); });
        return;
    }
    if (entryNumber(0, 0x100) != valueFromFields())
        storeValue(0, value);
}
