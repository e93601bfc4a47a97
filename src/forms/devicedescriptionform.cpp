#include "devicedescriptionform.h"
#include "ui_devicedescriptionform.h"

#include "database/undostep.h"
#include "formprompts.h"

#include "transform/descriptionsettings.h"
#include "transform/dictionaryeditor.h"
#include "transform/entryfield.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

const quint16 identityIndex = 0x1018;

} // namespace

DeviceDescriptionForm::DeviceDescriptionForm(QWidget *parent)
    : BaseMainForm(parent), ui(new Ui::DeviceDescriptionForm)
{
    ui->setupUi(this);
    for (const DescriptionSettings::Key &key : DescriptionSettings::keys()) {
        const QString name = QLatin1String(key.name);
        if (QLineEdit *edit = textField(name))
            connect(edit, &QLineEdit::editingFinished, this,
                    [this, name, edit] { storeSetting(name, edit->text()); });
        else if (QCheckBox *box = flagField(name))
            connect(box, &QCheckBox::clicked, this, [this, name](bool on) {
                storeSetting(name, on ? QStringLiteral("1") : QStringLiteral("0"));
            });
    }
    ui->teComment->installEventFilter(this);
    for (quint8 sub : {1, 2, 3})
        connect(identityField(sub), &QLineEdit::editingFinished, this,
                [this, sub] { storeIdentity(sub); });
}

DeviceDescriptionForm::~DeviceDescriptionForm()
{
    delete ui;
}

QLineEdit *DeviceDescriptionForm::textField(const QString &key) const
{
    return findChild<QLineEdit *>(QStringLiteral("le") + key);
}

QCheckBox *DeviceDescriptionForm::flagField(const QString &key) const
{
    return findChild<QCheckBox *>(QStringLiteral("chk") + key);
}

QPlainTextEdit *DeviceDescriptionForm::commentField() const
{
    return ui->teComment;
}

QLineEdit *DeviceDescriptionForm::identityField(quint8 sub) const
{
    switch (sub) {
    case 1:
        return ui->leVendorId;
    case 2:
        return ui->leProductCode;
    default:
        return ui->leRevisionNumber;
    }
}

void DeviceDescriptionForm::setProjectDatabase(ObjectDataBase *newDatabase)
{
    BaseMainForm::setProjectDatabase(newDatabase);
    loadAll();
}

void DeviceDescriptionForm::lineHandle(quint8 newLine)
{
    BaseMainForm::lineHandle(newLine);
    loadAll();
}

bool DeviceDescriptionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->teComment && event->type() == QEvent::FocusOut)
        storeSetting(QStringLiteral("Comment"), ui->teComment->toPlainText());
    return BaseMainForm::eventFilter(watched, event);
}

QString DeviceDescriptionForm::setting(const QString &key)
{
    database->setDescriptionSettingsLine(line);
    return database->getDescriptionSettingsValue(key);
}

void DeviceDescriptionForm::updateData(ObjectDataBase::ChangeSet change)
{
    using Kind = ObjectDataBase::ChangeSet;
    const bool identity = (change.kind == Kind::SubIndexChanged || change.kind == Kind::IndexChanged
                           || change.kind == Kind::IndexDeleted)
                          && change.line == line && change.index == identityIndex;
    if (change.kind == Kind::DescriptionSettingsChanged || change.kind == Kind::ProjectReloaded
        || identity)
        loadAll();
}

void DeviceDescriptionForm::loadAll()
{
    if (!database || loading)
        return;
    loading = true;
    ui->lblHeading->setText(tr("Device description of line %1").arg(line));
    for (const DescriptionSettings::Key &key : DescriptionSettings::keys()) {
        const QString name = QLatin1String(key.name);
        const QString value = setting(name);
        if (QLineEdit *edit = textField(name)) {
            // A text being typed stays; it is stored when its field is left.
            if (!(edit->hasFocus() && edit->isModified()))
                edit->setText(value);
        } else if (QCheckBox *box = flagField(name)) {
            box->setChecked(value.trimmed() == QLatin1String("1"));
        }
    }
    const QString comment = setting(QStringLiteral("Comment"));
    if (ui->teComment->toPlainText() != comment)
        ui->teComment->setPlainText(comment);
    const bool hasIdentity = database->existIndex(line, identityIndex);
    for (quint8 sub : {1, 2, 3}) {
        QLineEdit *edit = identityField(sub);
        const bool exists = hasIdentity && database->existSubIndex(line, identityIndex, sub);
        edit->setEnabled(exists);
        edit->setText(exists ? database->getSubIndexValue(line, identityIndex, sub) : QString());
        edit->setPlaceholderText(exists ? QString() : tr("object 0x1018 has no such entry"));
    }
    loading = false;
}

void DeviceDescriptionForm::storeSetting(const QString &key, const QString &typed)
{
    if (!database || loading)
        return;
    QString stored;
    const QString reason = DescriptionSettings::check(key, typed, stored);
    if (reason.isEmpty()) {
        if (setting(key) != stored) {
            UndoStep step(database, stepName());
            database->setDescriptionSettingsValue(key, stored);
        }
    } else {
        FormPrompts::current().refuse(this, reason);
    }
    loadAll();
}

void DeviceDescriptionForm::storeIdentity(quint8 sub)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (!database || loading || !database->getSubIndexData(line, identityIndex, sub, data))
        return;
    const QString typed = identityField(sub)->text();
    if (typed.trimmed() == data.defaultvalue)
        return;
    const QString reason = EntryField::apply(data, EntryField::DefaultValue, typed);
    DictionaryEditor dictionary(database);
    UndoStep step(database, stepName());
    if (!reason.isEmpty())
        FormPrompts::current().refuse(this, reason);
    else if (!dictionary.storeSubIndex(line, identityIndex, sub, data, true))
        FormPrompts::current().refuse(this, dictionary.errorString());
    loadAll();
}

QString DeviceDescriptionForm::stepName()
{
    return tr("Edit device description");
}

void DeviceDescriptionForm::saveData()
{
    if (!database)
        return;
    UndoStep step(database, stepName());
    for (const DescriptionSettings::Key &key : DescriptionSettings::keys()) {
        const QString name = QLatin1String(key.name);
        if (QLineEdit *edit = textField(name); edit && edit->isModified()) {
            edit->setModified(false);
            storeSetting(name, edit->text());
        }
    }
    if (ui->teComment->toPlainText() != setting(QStringLiteral("Comment")))
        storeSetting(QStringLiteral("Comment"), ui->teComment->toPlainText());
    for (quint8 sub : {1, 2, 3}) {
        if (identityField(sub)->isModified()) {
            identityField(sub)->setModified(false);
            storeIdentity(sub);
        }
    }
}
