// The structural actions of the object dictionary page: context menus, the Edit menu
// commands and the Delete key. What an action does to the store is DictionaryEditor's;
// this file chooses the addresses, asks the user and reports refusals.

#include "objectdictionaryform.h"
#include "ui_objectdictionaryform.h"

#include "basetreeform.h"
#include "formprompts.h"

#include "database/undostep.h"
#include "panelkit/preferences.h"
#include "panelkit/valuechecker.h"
#include "transform/dictionaryeditor.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTreeWidget>

namespace {

const int KindRole = Qt::UserRole;
const int IndexRole = Qt::UserRole + 1;
const int SubRole = Qt::UserRole + 2;

struct BulkAction
{
    const char *text;
    DictionaryEditor::BulkCommand command;
};

const BulkAction bulkActions[] = {
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Set 'default' attribute for all objects"),
     DictionaryEditor::BulkCommand::SetDefault},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Clear 'default' attribute for all objects"),
     DictionaryEditor::BulkCommand::ClearDefault},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Set 'limit check' attribute for all objects"),
     DictionaryEditor::BulkCommand::SetLimitCheck},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Clear 'limit check' attribute for all objects"),
     DictionaryEditor::BulkCommand::ClearLimitCheck},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm",
                       "Set 'default in EDS' attribute for all objects to 'as defaultvalue'"),
     DictionaryEditor::BulkCommand::SetDefaultInEds},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Clear 'default EDS' attribute for all objects"),
     DictionaryEditor::BulkCommand::ClearDefaultInEds},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm",
                       "Implementation type 'managed variables' for all objects"),
     DictionaryEditor::BulkCommand::ManagedVariables},
};

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

QAction *ObjectDictionaryForm::addAction(const QString &text,
                                         void (ObjectDictionaryForm::*handler)(),
                                         const QString &icon)
{
    auto *created = new QAction(text, ui->treeWidget);
    // The desktop's own icon where it has one, else the tool's.
    if (!icon.isEmpty())
        created->setIcon(QIcon::fromTheme(icon.section(QLatin1Char('|'), 0, 0),
                                          QIcon(icon.section(QLatin1Char('|'), 1))));
    connect(created, &QAction::triggered, this, handler);
    actions.append(created);
    return created;
}

void ObjectDictionaryForm::createActions()
{
    addAction(tr("Remove Index"), &ObjectDictionaryForm::deleteIndex);
    addAction(tr("Remove Sub"), &ObjectDictionaryForm::deleteSub);
    addAction(tr("Duplicate Index"), &ObjectDictionaryForm::duplicateIndex);
    addAction(tr("Duplicate Sub"), &ObjectDictionaryForm::duplicateSub);
    addAction(tr("Add Sub at next free position"), &ObjectDictionaryForm::duplicateSub);
    addAction(tr("Add Sub at defined position"), &ObjectDictionaryForm::addSpecificSub);
    addAction(tr("Increment sub index"), &ObjectDictionaryForm::insertSubGapBefore);
    addAction(tr("Decrement sub index"), &ObjectDictionaryForm::insertSubGapAfter);
    addAction(tr("Move sub index to ..."), &ObjectDictionaryForm::moveSubTo);
    addAction(tr("Copy Index"), &ObjectDictionaryForm::copyIndex,
              QStringLiteral("edit-copy|:/icon/icon/copy32.png"));
    addAction(tr("Paste Index .. "), &ObjectDictionaryForm::pasteIndexAt,
              QStringLiteral("edit-paste|:/icon/icon/paste32.png"));
    addAction(tr("Cut Index"), &ObjectDictionaryForm::cutIndex,
              QStringLiteral("edit-cut|:/icon/icon/cut32.png"));
    for (const BulkAction &bulk : bulkActions) {
        QAction *command =
            addAction(tr(bulk.text), &ObjectDictionaryForm::handleHiddenExtraCommand);
        command->setData(int(bulk.command));
    }
}

QAction *ObjectDictionaryForm::action(const QString &text) const
{
    for (QAction *each : actions) {
        if (each->text() == text)
            return each;
    }
    return nullptr;
}

bool ObjectDictionaryForm::mayChange(quint16 index) const
{
    return DictionaryEditor::mayEdit(index, expertMode);
}

bool ObjectDictionaryForm::isArrayOrRecord(quint16 index) const
{
    ObjectDataBase::INDEX_DATA_T object;
    return database && database->getIndexData(line, index, object)
           && (object.objecttype == 8 || object.objecttype == 9);
}

void ObjectDictionaryForm::reportRefusal(const QString &reason)
{
    if (!reason.isEmpty())
        FormPrompts::current().refuse(this, reason);
}

// The selected objects in tree order; the current one when nothing is selected.
QList<quint16> ObjectDictionaryForm::selectedIndices() const
{
    QList<quint16> indices;
    for (QTreeWidgetItemIterator it(ui->treeWidget, QTreeWidgetItemIterator::Selected); *it; ++it) {
        if ((*it)->data(0, KindRole).toInt() == IndexSelection)
            indices.append(quint16((*it)->data(0, IndexRole).toUInt()));
    }
    if (indices.isEmpty() && getCurSelectionType() == IndexSelection)
        indices.append(getCurrentIndex());
    return indices;
}

QList<QPair<quint16, quint8>> ObjectDictionaryForm::selectedSubs() const
{
    QList<QPair<quint16, quint8>> subs;
    for (QTreeWidgetItemIterator it(ui->treeWidget, QTreeWidgetItemIterator::Selected); *it; ++it) {
        if ((*it)->data(0, KindRole).toInt() == SubSelection)
            subs.append({quint16((*it)->data(0, IndexRole).toUInt()),
                         quint8((*it)->data(0, SubRole).toUInt())});
    }
    quint16 index = 0;
    quint8 sub = 0;
    if (subs.isEmpty() && getCurrentSubIndex(index, sub))
        subs.append({index, sub});
    return subs;
}

bool ObjectDictionaryForm::confirmDelete(int count)
{
    if (count < 2 || !Preferences::read(QSettings()).warnBeforeDeleting)
        return true;
    if (FormPrompts::current().confirm(this,
                                       tr("Do you really want to delete %1 items?").arg(count)))
        return true;
    ui->treeWidget->setFocus();
    return false;
}

// ----- menus ----------------------------------------------------------------------------

QMenu *ObjectDictionaryForm::buildContextMenu()
{
    auto *menu = new QMenu(this);
    switch (getCurSelectionType()) {
    case SegmentSelection:
        fillSegmentMenu(menu);
        break;
    case IndexSelection:
        if (mayChange(getCurrentIndex()))
            fillObjectMenu(menu);
        break;
    case SubSelection: {
        quint16 index = 0;
        quint8 sub = 0;
        getCurrentSubIndex(index, sub);
        if (mayChange(index) && isArrayOrRecord(index))
            fillSubMenu(menu, index);
        break;
    }
    default:
        break;
    }
    return menu;
}

void ObjectDictionaryForm::fillSegmentMenu(QMenu *menu)
{
    const int groups[] = {2, 2, 2, 1};
    int next = 0;
    for (int size : groups) {
        if (next > 0)
            menu->addSeparator();
        for (int i = 0; i < size; ++i)
            menu->addAction(action(tr(bulkActions[next++].text)));
    }
}

void ObjectDictionaryForm::fillObjectMenu(QMenu *menu)
{
    menu->addAction(action(tr("Copy Index")));
    menu->addAction(action(tr("Cut Index")));
    QAction *paste = action(tr("Paste Index .. "));
    paste->setEnabled(database && DictionaryEditor(database).hasClipboardObject());
    menu->addAction(paste);
    menu->addAction(action(tr("Duplicate Index")));
    menu->addSeparator();
    menu->addAction(action(tr("Remove Index")));
}

void ObjectDictionaryForm::fillSubMenu(QMenu *menu, quint16 index)
{
    menu->addAction(action(tr("Add Sub at next free position")));
    menu->addAction(action(tr("Add Sub at defined position")));
    menu->addAction(action(tr("Duplicate Sub")));
    menu->addSeparator();
    menu->addAction(action(tr("Remove Sub")));
    if (index > 0x1FFF) {
        menu->addSeparator();
        menu->addAction(action(tr("Increment sub index")));
        menu->addAction(action(tr("Decrement sub index")));
        menu->addAction(action(tr("Move sub index to ...")));
    }
}

void ObjectDictionaryForm::on_treeWidget_customContextMenuRequested(const QPoint &pos)
{
    QMenu *menu = buildContextMenu();
    if (!menu->isEmpty())
        menu->exec(ui->treeWidget->viewport()->mapToGlobal(pos));
    delete menu;
}

void ObjectDictionaryForm::menuActionRequest(BaseMainForm::MenuAction request)
{
    const int selection = getCurSelectionType();
    switch (request) {
    case Duplicate:
        selection == SubSelection ? duplicateSub() : duplicateIndex();
        break;
    case Copy:
        copyIndex();
        break;
    case Cut:
        cutIndex();
        break;
    case Paste:
        pasteIndex();
        break;
    case Delete:
        selection == SubSelection ? deleteSub() : deleteIndex();
        break;
    }
}

// ----- objects --------------------------------------------------------------------------

void ObjectDictionaryForm::deleteIndex()
{
    const QList<quint16> indices = selectedIndices();
    if (!database || indices.isEmpty() || !confirmDelete(indices.size()))
        return;
    saveData();
    UndoStep step(database, indices.size() == 1 ? tr("Delete 0x%1").arg(hex4(indices.first()))
                                                : tr("Delete %n objects", nullptr, indices.size()));
    DictionaryEditor dictionary(database);
    for (quint16 index : indices) {
        if (!mayChange(index))
            break;
        if (index == currentIndex)
            clearAndRemoveForm(true);
        if (!dictionary.deleteIndex(line, index)) {
            reportRefusal(dictionary.errorString());
            break;
        }
    }
}

void ObjectDictionaryForm::duplicateIndex()
{
    const QList<quint16> indices = selectedIndices();
    if (!database || indices.isEmpty())
        return;
    saveData();
    UndoStep step(database, indices.size() == 1
                                ? tr("Duplicate 0x%1").arg(hex4(indices.first()))
                                : tr("Duplicate %n objects", nullptr, indices.size()));
    quint16 created = 0;
    for (quint16 index : indices) {
        if (!mayChange(index))
            break;
        DictionaryEditor dictionary(database);
        created = dictionary.duplicateIndex(line, index, indices.size() == 1);
        reportRefusal(dictionary.errorString());
        if (created == 0)
            break;
    }
    if (created != 0 && indices.size() == 1)
        gotoIndex(created);
}

void ObjectDictionaryForm::copyIndex()
{
    const quint16 index = getCurrentIndex();
    if (!database || index == 0)
        return;
    saveData();
    DictionaryEditor dictionary(database);
    if (!dictionary.copyToClipboard(line, index))
        reportRefusal(dictionary.errorString());
}

void ObjectDictionaryForm::cutIndex()
{
    const quint16 index = getCurrentIndex();
    if (!database || !mayChange(index))
        return;
    saveData();
    if (index == currentIndex)
        clearAndRemoveForm(true);
    UndoStep step(database, tr("Cut 0x%1").arg(hex4(index)));
    DictionaryEditor dictionary(database);
    if (!dictionary.cutToClipboard(line, index))
        reportRefusal(dictionary.errorString());
}

void ObjectDictionaryForm::pasteIndex()
{
    if (!database)
        return;
    const int selection = getCurSelectionType();
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    if (selection == NoSelection || !item) {
        reportRefusal(tr("Select an object or a segment first: the object is pasted at the next "
                         "free index after it."));
        return;
    }
    const quint16 start = quint16(item->data(0, IndexRole).toUInt());
    const quint16 target = database->getNextFreeIndex(line, start);
    if (target < start || !mayChange(target)) {
        reportRefusal(tr("The object cannot be pasted at 0x%1. Without expert mode objects can "
                         "only be pasted into the manufacturer segment (0x2000 to 0x5FFF).")
                          .arg(hex4(target)));
        return;
    }
    saveData();
    UndoStep step(database, tr("Paste 0x%1").arg(hex4(target)));
    DictionaryEditor dictionary(database);
    if (!dictionary.pasteFromClipboard(line, target, false))
        reportRefusal(dictionary.errorString());
    else
        gotoIndex(target);
}

void ObjectDictionaryForm::pasteIndexAt()
{
    DictionaryEditor dictionary(database);
    if (!database || !dictionary.hasClipboardObject())
        return;
    const quint16 proposal =
        database->getNextFreeIndex(line, std::max<quint16>(getCurrentIndex(), 0x2000));
    const QString typed = FormPrompts::current().askIndex(
        this, tr("Paste Index"), tr("Index of the pasted object (hexadecimal):"),
        QStringLiteral("0x%1").arg(hex4(proposal)));
    if (typed.isEmpty())
        return;
    quint16 target = 0;
    const QString reason = ValueChecker::checkIndex(typed, target);
    if (!reason.isEmpty()) {
        reportRefusal(reason);
        return;
    }
    if (!mayChange(target)) {
        reportRefusal(tr("Without expert mode objects can only be pasted into the manufacturer "
                         "segment (0x2000 to 0x5FFF)."));
        return;
    }
    const bool exists = database->existIndex(line, target);
    if (exists
        && !FormPrompts::current().confirm(
            this, tr("Object 0x%1 exists. Replace it by the pasted object?").arg(hex4(target))))
        return;
    saveData();
    if (target == currentIndex)
        clearAndRemoveForm(true);
    UndoStep step(database, tr("Paste 0x%1").arg(hex4(target)));
    if (!dictionary.pasteFromClipboard(line, target, exists))
        reportRefusal(dictionary.errorString());
    else
        gotoIndex(target);
}

void ObjectDictionaryForm::handleHiddenExtraCommand()
{
    auto *command = qobject_cast<QAction *>(sender());
    if (!database || !command)
        return;
    saveData();
    UndoStep step(database, command->text());
    DictionaryEditor(database).applyBulkCommand(
        line, DictionaryEditor::BulkCommand(command->data().toInt()), expertMode);
}

// ----- sub-indices ----------------------------------------------------------------------

void ObjectDictionaryForm::deleteSub()
{
    const QList<QPair<quint16, quint8>> subs = selectedSubs();
    if (!database || subs.isEmpty() || !confirmDelete(subs.size()))
        return;
    saveData();
    UndoStep step(
        database,
        subs.size() == 1
            ? tr("Delete 0x%1 sub-index %2").arg(hex4(subs.first().first)).arg(subs.first().second)
            : tr("Delete %n sub-indices", nullptr, subs.size()));
    DictionaryEditor dictionary(database);
    for (const auto &entry : subs) {
        if (!mayChange(entry.first))
            break;
        if (!isArrayOrRecord(entry.first) || entry.second == 0) {
            reportRefusal(tr("Sub-index %1 of object 0x%2 cannot be removed on its own; remove "
                             "the object instead.")
                              .arg(entry.second)
                              .arg(hex4(entry.first)));
            break;
        }
        if (entry.first == currentIndex && entry.second == currentSubIndex)
            clearAndRemoveForm(true);
        if (!dictionary.deleteSub(line, entry.first, entry.second)) {
            reportRefusal(dictionary.errorString());
            break;
        }
    }
}

void ObjectDictionaryForm::duplicateSub()
{
    const QList<QPair<quint16, quint8>> subs = selectedSubs();
    if (!database || subs.isEmpty())
        return;
    saveData();
    UndoStep step(database, subs.size() == 1
                                ? tr("Duplicate 0x%1 sub-index %2")
                                      .arg(hex4(subs.first().first))
                                      .arg(subs.first().second)
                                : tr("Duplicate %n sub-indices", nullptr, subs.size()));
    DictionaryEditor dictionary(database);
    for (const auto &entry : subs) {
        if (!mayChange(entry.first))
            break;
        if (dictionary.duplicateSub(line, entry.first, entry.second)
            == DictionaryEditor::NoSubIndex) {
            reportRefusal(dictionary.errorString());
            break;
        }
    }
}

void ObjectDictionaryForm::addSpecificSub()
{
    quint16 index = 0;
    quint8 sub = 0;
    if (!database || !getCurrentSubIndex(index, sub) || !mayChange(index)
        || !isArrayOrRecord(index))
        return;
    saveData();
    DictionaryEditor dictionary(database);
    const quint8 target =
        FormPrompts::current().chooseSubIndex(this, dictionary.freeSubIndices(line, index));
    if (target == DictionaryEditor::NoSubIndex)
        return;
    UndoStep step(database, tr("Add 0x%1 sub-index %2").arg(hex4(index)).arg(target));
    if (!dictionary.copySubTo(line, index, sub, target))
        reportRefusal(dictionary.errorString());
}

void ObjectDictionaryForm::insertSubGapBefore()
{
    shiftCurrentSub(true);
}

void ObjectDictionaryForm::insertSubGapAfter()
{
    shiftCurrentSub(false);
}

void ObjectDictionaryForm::shiftCurrentSub(bool up)
{
    quint16 index = 0;
    quint8 sub = 0;
    if (!database || !getCurrentSubIndex(index, sub) || !mayChange(index))
        return;
    saveAndRemoveForm(true);
    UndoStep step(database,
                  up ? tr("Insert gap before 0x%1 sub-index %2").arg(hex4(index)).arg(sub)
                     : tr("Insert gap after 0x%1 sub-index %2").arg(hex4(index)).arg(sub));
    DictionaryEditor dictionary(database);
    if (!dictionary.shiftSubs(line, index, sub, up))
        reportRefusal(dictionary.errorString());
}

void ObjectDictionaryForm::moveSubTo()
{
    quint16 index = 0;
    quint8 sub = 0;
    if (!database || !getCurrentSubIndex(index, sub) || !mayChange(index))
        return;
    saveData();
    FormPrompts::MoveTarget target;
    if (!FormPrompts::current().chooseMoveTarget(this, database, line, index, sub, target))
        return;
    if (!mayChange(target.index)) {
        reportRefusal(tr("Without expert mode entries can only be moved into the manufacturer "
                         "segment (0x2000 to 0x5FFF)."));
        return;
    }
    clearAndRemoveForm(true);
    UndoStep step(database, tr("Move 0x%1 sub-index %2").arg(hex4(index)).arg(sub));
    DictionaryEditor dictionary(database);
    if (!dictionary.moveSub(line, index, sub, target.line, target.index, target.sub))
        reportRefusal(dictionary.errorString());
}
