#include "pdoservicemaskform.h"

#include "transform/maskstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString transmissionText(int type)
{
    switch (type) {
    case 0:
        return PDOServiceMaskForm::tr("0 - synchronous (acyclic)");
    case 1:
        return PDOServiceMaskForm::tr("1 - synchronous (cyclic every SYNC)");
    case 2:
        return PDOServiceMaskForm::tr("2 - synchronous (cyclic every 2nd SYNC)");
    case 3:
        return PDOServiceMaskForm::tr("3 - synchronous (cyclic every 3rd SYNC)");
    case 253:
        return PDOServiceMaskForm::tr("253 - RTR-only (event-driven)");
    case 254:
        return PDOServiceMaskForm::tr("254 - event-driven (manufacturer-specific)");
    case 255:
        return PDOServiceMaskForm::tr("255 - event-driven (profile specific)");
    default:
        break;
    }
    return PDOServiceMaskForm::tr("%1 - synchronous (cyclic every %1th SYNC)").arg(type);
}

QSpinBox *spinBox(QWidget *parent, const char *name, int maximum, const QString &suffix)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, maximum);
    box->setSuffix(suffix);
    box->setEnabled(false);
    return box;
}

} // namespace

PDOServiceMaskForm::PDOServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), cbType(new QComboBox(this)), lblMapping(new QLabel(this)),
      cbMapping(new QComboBox(this)), spCount(new QSpinBox(this)),
      cbTransmission(new QComboBox(this)), chkInhibit(new QCheckBox(tr("Inhibit time:"), this)),
      spInhibit(spinBox(this, "spInhibit", 65535, tr(" x 100 µs"))),
      chkEventTimer(new QCheckBox(tr("Event timer:"), this)),
      spEventTimer(spinBox(this, "spEventTimer", 65535, tr(" ms"))),
      chkSyncStart(new QCheckBox(tr("SYNC start value:"), this)),
      spSyncStart(spinBox(this, "spSyncStart", 240, QString()))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("PDO"));
    cbType->setObjectName(QStringLiteral("cbType"));
    cbType->addItems(
        {tr("Receive PDO"), tr("Transmit PDO"), tr("Receive MPDO"), tr("Transmit MPDO")});
    cbMapping->setObjectName(QStringLiteral("cbMapping"));
    spCount->setObjectName(QStringLiteral("spCount"));
    spCount->setRange(0, 64);
    spCount->setValue(1);
    cbTransmission->setObjectName(QStringLiteral("cbTransmission"));
    for (int type = 0; type <= 240; ++type)
        cbTransmission->addItem(transmissionText(type), type);
    for (int type : {253, 254, 255})
        cbTransmission->addItem(transmissionText(type), type);
    setComboboxValue(cbTransmission, 255);
    form->addRow(tr("Type:"), cbType);
    form->addRow(lblMapping, cbMapping);
    form->addRow(tr("Mapping entries:"), spCount);
    form->addRow(tr("Transmission type:"), cbTransmission);
    form->addRow(chkInhibit, spInhibit);
    form->addRow(chkEventTimer, spEventTimer);
    form->addRow(chkSyncStart, spSyncStart);
    frameLayout()->addStretch();
    connect(cbType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PDOServiceMaskForm::typeChanged);
    connect(cbTransmission, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PDOServiceMaskForm::transmissionTypeChanged);
    connect(chkInhibit, &QCheckBox::toggled, this, &PDOServiceMaskForm::inhibitTimeToggled);
    connect(chkEventTimer, &QCheckBox::toggled, this, &PDOServiceMaskForm::eventTimerToggled);
    connect(chkSyncStart, &QCheckBox::toggled, this, &PDOServiceMaskForm::syncStartToggled);
    typeChanged(0);
}

bool PDOServiceMaskForm::isReceive() const
{
    return cbType->currentIndex() % 2 == 0;
}

bool PDOServiceMaskForm::isMpdo() const
{
    return cbType->currentIndex() >= 2;
}

void PDOServiceMaskForm::typeChanged(int)
{
    cbMapping->clear();
    if (isMpdo()) {
        lblMapping->setText(tr("MPDO Mode:"));
        cbMapping->addItems({tr("SAM"), tr("DAM")});
    } else {
        lblMapping->setText(tr("Mapping:"));
        cbMapping->addItems({tr("static"), tr("dynamic")});
    }
    spCount->setEnabled(!isMpdo());
    chkSyncStart->setEnabled(!isReceive());
    if (isReceive())
        chkSyncStart->setChecked(false);
    transmissionTypeChanged(cbTransmission->currentIndex());
}

void PDOServiceMaskForm::transmissionTypeChanged(int)
{
    // The SYNC start value only applies to cyclic synchronous transmission.
    const int type = cbTransmission->currentData().toInt();
    const bool cyclic = type >= 1 && type <= 240;
    chkSyncStart->setEnabled(!isReceive() && cyclic);
    if (!chkSyncStart->isEnabled())
        chkSyncStart->setChecked(false);
}

void PDOServiceMaskForm::inhibitTimeToggled(bool on)
{
    spInhibit->setEnabled(on);
}

void PDOServiceMaskForm::eventTimerToggled(bool on)
{
    spEventTimer->setEnabled(on);
}

void PDOServiceMaskForm::syncStartToggled(bool on)
{
    spSyncStart->setEnabled(on);
}

void PDOServiceMaskForm::updateData()
{
    // A new service starts from the defaults of the form.
}

bool PDOServiceMaskForm::configurePDO(ObjectDataBase *db, quint16 commIndex, const QString &mapping,
                                      quint8 count, bool inhibitTime, bool eventTimer,
                                      bool syncStart)
{
    PdoConfigurator::Options options;
    options.inhibitTime = inhibitTime;
    options.eventTimer = eventTimer;
    options.syncStart = syncStart;
    return PdoConfigurator::configure(db, line, commIndex, mapping, count, options);
}

bool PDOServiceMaskForm::writeValues(quint16 commIndex)
{
    const QStringList mappings =
        isMpdo() ? QStringList{"SAM", "DAM"} : QStringList{"static", "dynamic"};
    const QString mapping = mappings.value(cbMapping->currentIndex());
    if (!configurePDO(database, commIndex, mapping, quint8(spCount->value()),
                      chkInhibit->isChecked(), chkEventTimer->isChecked(),
                      chkSyncStart->isChecked()))
        return false;
    const QString type = QString::number(cbTransmission->currentData().toInt());
    return MaskStore::setValue(database, line, commIndex, 2, type)
           && (!chkInhibit->isChecked()
               || MaskStore::setValue(database, line, commIndex, 3,
                                      QString::number(spInhibit->value())))
           && (!chkEventTimer->isChecked()
               || MaskStore::setValue(database, line, commIndex, 5,
                                      QString::number(spEventTimer->value())))
           && (!chkSyncStart->isChecked()
               || MaskStore::setValue(database, line, commIndex, 6,
                                      QString::number(spSyncStart->value())));
}

void PDOServiceMaskForm::saveData()
{
    if (!createService || !editable || !database)
        return;
    const quint16 commIndex = PdoConfigurator::nextFreePdo(*database, line, isReceive());
    if (commIndex == 0) {
        showFailure(tr("PDO"), tr("Every PDO of this direction is in use."));
        return;
    }
    bool created = false;
    {
        SavingScope scope(this, changeName());
        created = MaskStore::inUnit(database, [&] { return writeValues(commIndex); });
    }
    if (!created) {
        showFailure(tr("PDO"), tr("The PDO could not be added; the line is as it was before."));
        return;
    }
    emit serviceCreated(commIndex);
}
