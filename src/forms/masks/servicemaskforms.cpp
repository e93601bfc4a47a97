#include "servicemaskforms.h"

#include "transform/maskstore.h"
#include "transform/srdoconfiguration.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace {

QSpinBox *spinBox(QWidget *parent, const char *name, int minimum, int maximum, int value,
                  const QString &suffix = QString())
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QString number(const QSpinBox *box)
{
    return QString::number(box->value());
}

} // namespace

SyncServiceMaskForm::SyncServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spCobId(spinBox(this, "spCobId", 1, 0x7FF, 0x80)),
      chkProducer(new QCheckBox(tr("The device produces SYNC"), this)),
      spCycle(spinBox(this, "spCycle", 0, std::numeric_limits<int>::max(), 0, tr(" µs"))),
      spWindow(spinBox(this, "spWindow", 0, std::numeric_limits<int>::max(), 0, tr(" µs")))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("SYNC"));
    spCobId->setDisplayIntegerBase(16);
    spCobId->setPrefix(QStringLiteral("0x"));
    form->addRow(tr("COB-ID:"), spCobId);
    form->addRow(QString(), chkProducer);
    form->addRow(tr("Communication cycle period:"), spCycle);
    form->addRow(tr("Synchronous window length:"), spWindow);
    frameLayout()->addStretch();
}

void SyncServiceMaskForm::saveData()
{
    const quint32 cobId = quint32(spCobId->value()) | (chkProducer->isChecked() ? 0x40000000u : 0u);
    createServiceObjects(QStringLiteral("objects.data"), 0x1005, 0x1007, [&] {
        return MaskStore::setValue(database, line, 0x1005, 0,
                                   QStringLiteral("0x%1").arg(cobId, 0, 16))
               && MaskStore::setValue(database, line, 0x1006, 0, number(spCycle))
               && MaskStore::setValue(database, line, 0x1007, 0, number(spWindow));
    });
}

NodeGuardingServiceMaskForm::NodeGuardingServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spGuardTime(spinBox(this, "spGuardTime", 0, 65535, 100, tr(" ms"))),
      spLifeTime(spinBox(this, "spLifeTime", 0, 255, 3))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("Node Guarding"));
    form->addRow(tr("Guard Time:"), spGuardTime);
    form->addRow(tr("Life Time Factor:"), spLifeTime);
    frameLayout()->addStretch();
}

void NodeGuardingServiceMaskForm::saveData()
{
    createServiceObjects(QStringLiteral("objects.data"), 0x100C, 0x100D, [&] {
        return MaskStore::setValue(database, line, 0x100C, 0, number(spGuardTime))
               && MaskStore::setValue(database, line, 0x100D, 0, number(spLifeTime));
    });
}

EmergenyServiceMaskForm::EmergenyServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spInhibit(spinBox(this, "spInhibit", 0, 65535, 0, tr(" x 100 µs")))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("Emergency"));
    form->addRow(tr("Inhibit time:"), spInhibit);
    frameLayout()->addStretch();
}

void EmergenyServiceMaskForm::saveData()
{
    createServiceObjects(QStringLiteral("objects.data"), 0x1014, 0x1015, [&] {
        return MaskStore::setValue(database, line, 0x1015, 0, number(spInhibit));
    });
}

NMTMasterMaskForm::NMTMasterMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spNmtInhibit(spinBox(this, "spNmtInhibit", 0, 65535, 0))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("NMT master inhibit time"));
    form->addRow(tr("NMT inhibit time (µs):"), spNmtInhibit);
    frameLayout()->addStretch();
}

void NMTMasterMaskForm::saveData()
{
    createServiceObjects(QStringLiteral("objects.data"), 0x102A, 0x102A, [&] {
        return MaskStore::setValue(database, line, 0x102A, 0, number(spNmtInhibit));
    });
}

SDOClientMaskForm::SDOClientMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spStartPos(spinBox(this, "spStartPos", 1, 128, 1)),
      spNumber(spinBox(this, "spNumber", 1, 128, 1))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("SDO Client"));
    form->addRow(tr("Start position:"), spStartPos);
    form->addRow(tr("Number of SDO Clients:"), spNumber);
    frameLayout()->addStretch();
}

void SDOClientMaskForm::saveData()
{
    const int first = spStartPos->value();
    const int last = first + spNumber->value() - 1;
    if (last > 128) {
        showFailure(tr("SDO Client"), tr("Only 128 SDO clients exist (0x1280 to 0x12FF)."));
        return;
    }
    for (int client = first; client <= last; ++client) {
        if (checkForExistingIndex(line, quint16(0x1280 + client - 1))) {
            showFailure(tr("SDO Client"),
                        tr("SDO client %1 (0x%2) exists already; nothing was added.")
                            .arg(client)
                            .arg(0x1280 + client - 1, 4, 16, QLatin1Char('0')));
            return;
        }
    }
    const std::unique_ptr<ObjectDataBase> templateDb = openTemplate(QStringLiteral("objects.data"));
    if (!templateDb)
        return;
    runServiceUnit(quint16(0x1280 + first - 1), [&] {
        for (int client = first; client <= last; ++client) {
            if (!database->copyIndexFromDatabase(templateDb.get(), 0, 0x1280, line,
                                                 quint16(0x1280 + client - 1), true))
                return false;
        }
        return true;
    });
}

HeartbeatServiceMaskForm::HeartbeatServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), spProducer(spinBox(this, "spProducer", 0, 65535, 1000, tr(" ms"))),
      spConsumers(spinBox(this, "spConsumers", 0, 127, 0))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("Heartbeat"));
    form->addRow(tr("Producer heartbeat time:"), spProducer);
    form->addRow(tr("Consumer entries:"), spConsumers);
    frameLayout()->addStretch();
}

void HeartbeatServiceMaskForm::saveData()
{
    const std::unique_ptr<ObjectDataBase> consumers =
        spConsumers->value() > 0 ? openTemplate(QStringLiteral("objects.data")) : nullptr;
    if (spConsumers->value() > 0 && !consumers)
        return;
    createServiceObjects(QStringLiteral("mt.data"), 0x1017, 0x1017, [&] {
        if (!MaskStore::setValue(database, line, 0x1017, 0, number(spProducer)))
            return false;
        if (!consumers)
            return true;
        ObjectDataBase::SUBINDEX_DATA_T pattern;
        consumers->getSubIndexData(0, 0x1016, 1, pattern);
        QStringList values;
        for (int entry = 0; entry < spConsumers->value(); ++entry)
            values.append(QStringLiteral("0x00000000"));
        return copyFromTemplate(*consumers, 0x1016, 0x1016)
               && MaskStore::writeList(database, line, 0x1016, values, pattern,
                                       tr("Consumer Heartbeat Time %1"));
    });
}

SRDOServiceMaskForm::SRDOServiceMaskForm(QWidget *parent)
    : BaseObjectMask(parent), chkReceive(new QRadioButton(tr("Receive SRDO"), this))
{
    createService = true;
    QFormLayout *form = setupFrame(tr("SRDO"));
    auto *transmit = new QRadioButton(tr("Transmit SRDO"), this);
    transmit->setChecked(true);
    form->addRow(transmit);
    form->addRow(chkReceive);
    frameLayout()->addStretch();
}

void SRDOServiceMaskForm::saveData()
{
    if (!database || !editable)
        return;
    const std::unique_ptr<ObjectDataBase> templateDb = openTemplate(QStringLiteral("objects.data"));
    if (!templateDb) {
        showFailure(tr("SRDO"), tr("SRDO Database failed"));
        return;
    }
    SrdoConfiguration srdos(database);
    int created = 0;
    {
        SavingScope scope(this, changeName());
        created = srdos.createSrdo(*templateDb, line, chkReceive->isChecked());
    }
    if (created == 0) {
        showFailure(srdos.errorTitle(), srdos.errorString());
        return;
    }
    emit serviceCreated(quint16(0x1300 + created));
}
