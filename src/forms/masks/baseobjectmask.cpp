#include "baseobjectmask.h"

#include "forms/formprompts.h"
#include "transform/maskstore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QString &templateFolderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

BaseObjectMask::BaseObjectMask(QWidget *parent) : BaseTreeForm(parent)
{
    editable = true;
}

void BaseObjectMask::setComboboxValue(QComboBox *box, int value, int *found)
{
    const int entry = box->findData(value);
    if (entry >= 0)
        box->setCurrentIndex(entry);
    if (found)
        *found = entry >= 0 ? 1 : 0;
}

bool BaseObjectMask::checkForExistingIndex(quint8 node, quint16 objectIndex) const
{
    return database && database->existIndex(node, objectIndex);
}

QString BaseObjectMask::templateFolder()
{
    if (!templateFolderOverride().isEmpty())
        return templateFolderOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data");
}

void BaseObjectMask::setTemplateFolder(const QString &folder)
{
    templateFolderOverride() = folder;
}

std::unique_ptr<ObjectDataBase> BaseObjectMask::openTemplate(const QString &fileName)
{
    const QString path = templateFolder() + QLatin1Char('/') + fileName;
    auto templateDb = std::make_unique<ObjectDataBase>();
    if (QFile::exists(path) && templateDb->openDataBase(path, true))
        return templateDb;
    showFailure(FormPrompts::messageTitle(),
                tr("The object template %1 cannot be opened; nothing was added.").arg(path));
    return nullptr;
}

QFormLayout *BaseObjectMask::setupFrame(const QString &title)
{
    outer = new QVBoxLayout(this);
    titleLabel = new QLabel(title, this);
    QFont font = titleLabel->font();
    font.setBold(true);
    titleLabel->setFont(font);
    outer->addWidget(titleLabel);
    auto *form = new QFormLayout;
    outer->addLayout(form);
    return form;
}

quint32 BaseObjectMask::entryNumber(quint8 sub, quint32 fallback) const
{
    if (!database)
        return fallback;
    return MaskStore::numberValue(*database, line, index, sub, fallback);
}

bool BaseObjectMask::storeValue(quint8 sub, const QString &value)
{
    return storeValue(index, sub, value);
}

bool BaseObjectMask::storeValue(quint16 objectIndex, quint8 sub, const QString &value)
{
    if (!database || !editable)
        return false;
    bool stored = false;
    {
        SavingScope scope(this, changeName());
        stored = MaskStore::setValue(database, line, objectIndex, sub, value);
    }
    if (!stored)
        refuseInput(tr("The value could not be stored."));
    updateData();
    return stored;
}

QString BaseObjectMask::changeName() const
{
    return tr("Edit %1").arg(hexIndex(index));
}

void BaseObjectMask::showFailure(const QString &title, const QString &text)
{
    FormPrompts::current().refuse(this, title, text);
}
