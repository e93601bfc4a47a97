#include "eb6000maskform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

EB_6000_MaskForm::EB_6000_MaskForm(QWidget *parent)
    : BaseObjectMask(parent), cbClass(new QComboBox(this))
{
    QFormLayout *form = setupFrame(tr("EnergyBus Device Class"));
    const QStringList classes = {tr("Voltage Converter"),
                                 tr("Battery Pack"),
                                 tr("Motor Controller Unit"),
                                 tr("Load Monitoring Unit"),
                                 tr("HMI Control Unit"),
                                 tr("Security Unit"),
                                 tr("Sensor Unit"),
                                 tr("Gateway Unit"),
                                 tr("Generator Unit"),
                                 tr("Load Unit"),
                                 tr("Manufacturer Specific (passive)"),
                                 tr("Manufacturer Specific (active)")};
    for (int entry = 0; entry < classes.size(); ++entry)
        cbClass->addItem(classes.at(entry), entry + 1);
    cbClass->setObjectName(QStringLiteral("cbClass"));
    form->addRow(tr("Device class:"), cbClass);
    frameLayout()->addStretch();
    connect(cbClass, QOverload<int>::of(&QComboBox::activated), this, &EB_6000_MaskForm::saveData);
}

quint8 EB_6000_MaskForm::valueSub() const
{
    ObjectDataBase::INDEX_DATA_T object;
    if (database && database->getIndexData(line, index, object) && object.objecttype != 7)
        return 1;
    return 0;
}

void EB_6000_MaskForm::updateData()
{
    int found = 0;
    setComboboxValue(cbClass, int(entryNumber(valueSub())), &found);
    if (!found)
        cbClass->setCurrentIndex(-1);
    cbClass->setEnabled(editable);
}

void EB_6000_MaskForm::saveData()
{
    if (cbClass->currentIndex() < 0)
        return;
    const quint32 value = cbClass->currentData().toUInt();
    if (value != entryNumber(valueSub()))
        storeValue(valueSub(), QString::number(value));
}
