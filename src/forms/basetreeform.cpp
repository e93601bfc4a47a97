#include "basetreeform.h"

#include "formprompts.h"

#include "panelkit/helper.h"
#include "transform/dictionaryeditor.h"

#include <QComboBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTabWidget>

BaseTreeForm::BaseTreeForm(QWidget *parent) : QWidget(parent) {}

void BaseTreeForm::setupTabs(QTabWidget *tabs, QWidget *metaDataTab, QPlainTextEdit *description)
{
    tabWidget = tabs;
    metaTab = metaDataTab;
    descriptionEdit = description;
    tabWidget->setTabVisible(tabWidget->indexOf(metaTab), false);
    descriptionEdit->installEventFilter(this);
}

bool BaseTreeForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == descriptionEdit && event->type() == QEvent::FocusOut)
        saveData();
    return QWidget::eventFilter(watched, event);
}

QString BaseTreeForm::getActiveTab() const
{
    return tabWidget ? tabWidget->currentWidget()->objectName() : QString();
}

void BaseTreeForm::setActiveTab(const QString &name)
{
    auto *tab = tabWidget ? tabWidget->findChild<QWidget *>(name) : nullptr;
    const int position = tab ? tabWidget->indexOf(tab) : -1;
    if (position >= 0 && tabWidget->isTabVisible(position))
        tabWidget->setCurrentIndex(position);
}

void BaseTreeForm::enableMetaData(bool on)
{
    if (!tabWidget)
        return;
    metaDataShown = on;
    tabWidget->setTabVisible(tabWidget->indexOf(metaTab), on);
    if (on)
        updateData();
}

bool BaseTreeForm::setValueInCombobox(QComboBox *box, const QVariant &value)
{
    const int entry = box->findData(value);
    if (entry < 0)
        return false;
    box->setCurrentIndex(entry);
    return true;
}

bool BaseTreeForm::hasIndexMask(quint16 index)
{
    switch (index) {
    case 0x1000:
    case 0x1006:
    case 0x1012:
    case 0x1016:
    case 0x1017:
    case 0x13FF:
    case 0x1F80:
    case 0x1F81:
        return true;
    default:
        break;
    }
    return (index >= 0x1600 && index <= 0x17FF) || (index >= 0x1A00 && index <= 0x1BFF)
           || (index >= 0x1381 && index <= 0x13BF) || (index >= 0x1FA0 && index <= 0x1FFF);
}

void BaseTreeForm::fillDataTypesInCombobox(QComboBox *box)
{
    box->clear();
    for (auto it = Helper::stringDataTypeIndexMap.constBegin();
         it != Helper::stringDataTypeIndexMap.constEnd(); ++it)
        box->addItem(it.value(), int(it.key()));
}

bool BaseTreeForm::storeEntry(quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &data)
{
    DictionaryEditor editor(database);
    bool stored = false;
    {
        SavingScope scope(this, tr("Edit %1 sub-index %2").arg(hexIndex(index)).arg(sub));
        stored = editor.storeSubIndex(line, index, sub, data, editorMode);
    }
    if (!stored)
        refuseInput(editor.errorString());
    return stored;
}

int BaseTreeForm::updatePDOMapping(quint16 mappedIndex, quint8 subIndex, quint8 bitLength)
{
    if (!database)
        return 0;
    return DictionaryEditor(database).updatePDOMapping(line, mappedIndex, subIndex, bitLength);
}

int BaseTreeForm::updateSharedSub(quint8 sharedLine, quint16 sharedIndex, quint8 subIndex)
{
    if (!database)
        return 0;
    return DictionaryEditor(database).updateSharedSub(sharedLine, sharedIndex, subIndex);
}

QString BaseTreeForm::hexIndex(quint16 index)
{
    return QStringLiteral("0x%1").arg(index, 4, 16, QLatin1Char('0'));
}

void BaseTreeForm::refuseInput(const QString &reason)
{
    FormPrompts::current().refuse(this, reason);
}
