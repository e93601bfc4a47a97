#include "objectdictionaryform.h"
#include "ui_objectdictionaryform.h"

#include "emtytreeform.h"
#include "indexform.h"
#include "manufacturersegmentform.h"
#include "subindexform.h"

#include "panelkit/helper.h"
#include "panelkit/preferences.h"
#include "transform/dictionaryeditor.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

// Item data: what an item stands for and its address.
const int KindRole = Qt::UserRole;
const int IndexRole = Qt::UserRole + 1;
const int SubRole = Qt::UserRole + 2;

struct Segment
{
    const char *text;
    quint16 first;
    quint16 last;
    bool optional;
    ObjectDictionaryForm::SegmentType type;
};

const Segment segmentTable[] = {
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Communication Segment"), 0x1000, 0x1FFF, false,
     ObjectDictionaryForm::CommunicationSegment},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Manufacturer Segment"), 0x2000, 0x5FFF, false,
     ObjectDictionaryForm::ManufacturerSegment},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Device Profile Segment"), 0x6000, 0x9FFF, false,
     ObjectDictionaryForm::DeviceProfileSegment},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "Network Variable Segment"), 0xA000, 0xAFFF, true,
     ObjectDictionaryForm::AdditionalSegment},
    {QT_TRANSLATE_NOOP("ObjectDictionaryForm", "CANopen Gateway Variable Segment"), 0xB000, 0xBFFF,
     true, ObjectDictionaryForm::AdditionalSegment},
};

const Segment *segmentOf(quint16 index)
{
    for (const Segment &segment : segmentTable) {
        if (index >= segment.first && index <= segment.last)
            return &segment;
    }
    return nullptr;
}

// Text colour of objects by their device class (EnergyBus device classes); "man" only in
// the communication segment, and only the communication and device profile segments are
// coloured at all.
QColor classColour(const QString &deviceClass, quint16 index)
{
    static const QHash<QString, QColor> colours = {{QStringLiteral("ebc"), QColor(255, 0, 0)},
                                                   {QStringLiteral("bat"), QColor(0, 0, 255)},
                                                   {QStringLiteral("vc"), QColor(0, 155, 155)},
                                                   {QStringLiteral("sec"), QColor(150, 155, 0)},
                                                   {QStringLiteral("act"), QColor(0, 255, 0)},
                                                   {QStringLiteral("mcu"), QColor(100, 100, 100)},
                                                   {QStringLiteral("lmd"), QColor(130, 170, 50)},
                                                   {QStringLiteral("hmi"), QColor(170, 130, 30)},
                                                   {QStringLiteral("manup"), QColor(209, 21, 133)},
                                                   {QStringLiteral("manua"), QColor(255, 21, 113)}};
    const bool communication = index >= 0x1000 && index <= 0x1FFF;
    const bool profile = index >= 0x6000 && index <= 0x9FFF;
    if (!communication && !profile)
        return QColor();
    if (deviceClass == QLatin1String("man"))
        return communication ? QColor(199, 21, 133) : QColor();
    return colours.value(deviceClass);
}

QString splitterKey()
{
    return QStringLiteral("ObjectDictionary/splitter");
}

} // namespace

ObjectDictionaryForm::ObjectDictionaryForm(QWidget *parent)
    : BaseMainForm(parent), ui(new Ui::ObjectDictionaryForm)
{
    ui->setupUi(this);
    ui->splitter->setStretchFactor(0, 0);
    ui->splitter->setStretchFactor(1, 1);
    // The split the user chose is kept for the next start.
    connect(ui->splitter, &QSplitter::splitterMoved, this,
            [this]() { QSettings().setValue(splitterKey(), ui->splitter->saveState()); });
    connect(ui->treeWidget, &QTreeWidget::currentItemChanged, this,
            &ObjectDictionaryForm::currentItemChanged);
    ui->treeWidget->installEventFilter(this);
    createActions();
    clearAndRemoveForm(true);
}

ObjectDictionaryForm::~ObjectDictionaryForm()
{
    delete ui;
}

QTreeWidget *ObjectDictionaryForm::tree() const
{
    return ui->treeWidget;
}

QLineEdit *ObjectDictionaryForm::filterEdit() const
{
    return ui->leFilter;
}

void ObjectDictionaryForm::setProjectDatabase(ObjectDataBase *newDatabase)
{
    clearAndRemoveForm(true);
    BaseMainForm::setProjectDatabase(newDatabase);
    updateAllTree();
}

void ObjectDictionaryForm::setEditorMode(bool on)
{
    editorMode = on;
}

void ObjectDictionaryForm::lineHandle(quint8 newLine)
{
    BaseMainForm::lineHandle(newLine);
    updateAllTree();
}

void ObjectDictionaryForm::handleExpertMode(bool on)
{
    if (on == expertMode)
        return;
    expertMode = on;
    emit expertModeChanged(on);
    // The open editor is opened again under the new rule.
    saveAndRemoveForm(true);
    currentItemChanged(ui->treeWidget->currentItem());
}

quint16 ObjectDictionaryForm::parseIndexString(const QString &text)
{
    return quint16(text.section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 16));
}

quint8 ObjectDictionaryForm::parseSubIndexString(const QString &text)
{
    return quint8(text.section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 10));
}

int ObjectDictionaryForm::getCurSelectionType() const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    return item ? item->data(0, KindRole).toInt() : NoSelection;
}

quint16 ObjectDictionaryForm::getCurrentIndex() const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    return item && item->data(0, KindRole).toInt() != SegmentSelection
               ? quint16(item->data(0, IndexRole).toUInt())
               : 0;
}

bool ObjectDictionaryForm::getCurrentSubIndex(quint16 &index, quint8 &subIndex) const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    if (!item || item->data(0, KindRole).toInt() != SubSelection)
        return false;
    index = quint16(item->data(0, IndexRole).toUInt());
    subIndex = quint8(item->data(0, SubRole).toUInt());
    return true;
}

QTreeWidgetItem *ObjectDictionaryForm::getIndexItem(quint16 index) const
{
    return objectItems.value(index, nullptr);
}

// ----- building the tree ----------------------------------------------------------------

void ObjectDictionaryForm::setObjectText(QTreeWidgetItem *item, quint16 index)
{
    ObjectDataBase::INDEX_DATA_T object;
    database->getIndexData(line, index, object);
    const bool plain = index >= 0xA000;
    item->setText(
        0, QStringLiteral("0x%1 - %2")
               .arg(index, 4, 16, QLatin1Char('0'))
               .arg(plain ? object.name : Helper::substituteVariables(object.name, index, 0)));
    const QColor colour = classColour(object.device_class, index);
    item->setData(0, Qt::ForegroundRole, colour.isValid() ? QVariant(colour) : QVariant());
}

QString ObjectDictionaryForm::subText(quint16 index, quint8 sub)
{
    return QStringLiteral("%1 - %2").arg(sub).arg(
        Helper::substituteVariables(database->getSubIndexName(line, index, sub, true), index, sub));
}

QTreeWidgetItem *ObjectDictionaryForm::makeSubItem(quint16 index, quint8 sub)
{
    auto *item = new QTreeWidgetItem;
    item->setData(0, KindRole, int(SubSelection));
    item->setData(0, IndexRole, int(index));
    item->setData(0, SubRole, int(sub));
    item->setText(0, subText(index, sub));
    return item;
}

QTreeWidgetItem *ObjectDictionaryForm::makeObjectItem(quint16 index, const QList<quint8> &subs)
{
    auto *item = new QTreeWidgetItem;
    item->setData(0, KindRole, int(IndexSelection));
    item->setData(0, IndexRole, int(index));
    setObjectText(item, index);
    QList<QTreeWidgetItem *> children;
    children.reserve(subs.size());
    for (quint8 sub : subs)
        children.append(makeSubItem(index, sub));
    item->addChildren(children);
    objectItems.insert(index, item);
    return item;
}

void ObjectDictionaryForm::updateAllTree()
{
    rebuildScheduled = false;
    clearAndRemoveForm(true);
    objectItems.clear();
    segments.clear();
    expandedBeforeFilter.clear();
    ui->treeWidget->clear();
    if (!database || !database->existNode(line))
        return;
    rebuilding = true;
    database->cacheAllSubNames(line, 0);
    // Every entry of the line in one read, grouped by object.
    QHash<quint16, QList<quint8>> subsOf;
    for (const ObjectDataBase::SubAddress &entry :
         database->getSubsByProperty(line, QString(), QString()))
        subsOf[entry.index].append(entry.subindex);
    for (const Segment &segment : segmentTable) {
        const QList<quint16> indices = database->getIndices(line, segment.first, segment.last);
        if (segment.optional && indices.isEmpty())
            continue;
        auto *top = new QTreeWidgetItem(QStringList(tr(segment.text)));
        top->setData(0, KindRole, int(SegmentSelection));
        top->setData(0, IndexRole, int(segment.first));
        top->setData(0, SubRole, int(segment.type));
        QList<QTreeWidgetItem *> objects;
        objects.reserve(indices.size());
        for (quint16 index : indices) {
            QList<quint8> &subs = subsOf[index];
            std::sort(subs.begin(), subs.end());
            objects.append(makeObjectItem(index, subs));
        }
        top->addChildren(objects);
        segments.append(top);
    }
    ui->treeWidget->addTopLevelItems(segments);
    for (QTreeWidgetItem *top : qAsConst(segments))
        top->setExpanded(true);
    database->clearCachedSubNames();
    rebuilding = false;
    if (!ui->leFilter->text().isEmpty())
        on_leFilter_textChanged(ui->leFilter->text());
}

QTreeWidgetItem *ObjectDictionaryForm::segmentItem(quint16 index) const
{
    const Segment *segment = segmentOf(index);
    if (!segment)
        return nullptr;
    for (QTreeWidgetItem *top : segments) {
        if (top->text(0) == tr(segment->text))
            return top;
    }
    return nullptr;
}

void ObjectDictionaryForm::insertSorted(QTreeWidgetItem *parent, QTreeWidgetItem *child, int key)
{
    const int role = parent->data(0, KindRole).toInt() == SegmentSelection ? IndexRole : SubRole;
    int position = parent->childCount();
    while (position > 0 && parent->child(position - 1)->data(0, role).toInt() > key)
        --position;
    parent->insertChild(position, child);
}

void ObjectDictionaryForm::scheduleRebuild()
{
    if (rebuildScheduled)
        return;
    rebuildScheduled = true;
    QTimer::singleShot(200, this, [this] {
        if (!rebuildScheduled)
            return;
        const quint16 index = currentIndex;
        saveData();
        updateAllTree();
        if (index != 0)
            gotoIndex(index);
    });
}

// After an undo or redo the object or entry that was open is shown again, on the same tab
// of its editor, as the store now holds it.
void ObjectDictionaryForm::rebuildKeepingSelection()
{
    const quint16 index = currentIndex;
    const int sub = currentSubIndex;
    const QString tab = editor ? editor->getActiveTab() : QString();
    const int scrolled = ui->treeWidget->verticalScrollBar()->value();
    updateAllTree();
    QTreeWidgetItem *item = index != 0 ? objectItems.value(index, nullptr) : nullptr;
    for (int child = 0; item && sub >= 0 && child < item->childCount(); ++child) {
        if (item->child(child)->data(0, SubRole).toInt() == sub) {
            item = item->child(child);
            break;
        }
    }
    if (!item)
        return;
    ui->treeWidget->setCurrentItem(item);
    ui->treeWidget->verticalScrollBar()->setValue(scrolled);
    if (editor && !tab.isEmpty())
        editor->setActiveTab(tab);
}

// ----- following the store --------------------------------------------------------------

void ObjectDictionaryForm::updateData(ObjectDataBase::ChangeSet change)
{
    if (!database || rebuilding)
        return;
    if (change.kind == ObjectDataBase::ChangeSet::ProjectReloaded) {
        rebuildKeepingSelection();
        return;
    }
    if (change.line != line)
        return;
    switch (change.kind) {
    case ObjectDataBase::ChangeSet::IndexChanged:
        addOrModifyIndex(change.index);
        break;
    case ObjectDataBase::ChangeSet::SubIndexChanged:
        addOrModifySub(change.index, change.subindex);
        break;
    case ObjectDataBase::ChangeSet::IndexDeleted:
        updateDelete(change.index);
        break;
    case ObjectDataBase::ChangeSet::SubIndexDeleted:
        updateDelete(change.index, change.subindex);
        break;
    case ObjectDataBase::ChangeSet::NodeChanged:
        if (objectItems.isEmpty() && segments.isEmpty())
            updateAllTree();
        break;
    default:
        break;
    }
}

void ObjectDictionaryForm::addOrModifyIndex(quint16 index)
{
    if (index == currentIndex)
        updateForm();
    if (QTreeWidgetItem *item = objectItems.value(index, nullptr)) {
        setObjectText(item, index);
        return;
    }
    if (!segmentOf(index) || !database->existIndex(line, index))
        return;
    QTreeWidgetItem *segment = segmentItem(index);
    if (!segment) {
        // The optional segment appears with its first object.
        scheduleRebuild();
        return;
    }
    QTreeWidgetItem *item = makeObjectItem(index, database->getSubIndices(line, index, 0));
    insertSorted(segment, item, index);
    if (!ui->leFilter->text().isEmpty())
        filterItem(item, ui->leFilter->text());
}

void ObjectDictionaryForm::addOrModifySub(quint16 index, quint8 sub)
{
    if (index == currentIndex)
        updateForm();
    QTreeWidgetItem *object = objectItems.value(index, nullptr);
    if (!object) {
        addOrModifyIndex(index);
        return;
    }
    for (int i = 0; i < object->childCount(); ++i) {
        QTreeWidgetItem *child = object->child(i);
        if (child->data(0, SubRole).toInt() == sub) {
            child->setText(0, subText(index, sub));
            return;
        }
    }
    if (database->existSubIndex(line, index, sub))
        insertSorted(object, makeSubItem(index, sub), sub);
}

void ObjectDictionaryForm::updateDelete(quint16 index)
{
    if (index == currentIndex)
        clearAndRemoveForm(true);
    QTreeWidgetItem *item = objectItems.take(index);
    expandedBeforeFilter.remove(item);
    delete item;
}

void ObjectDictionaryForm::updateDelete(quint16 index, quint8 sub)
{
    if (index == currentIndex && currentSubIndex == sub)
        clearAndRemoveForm(true);
    else if (index == currentIndex)
        updateForm();
    QTreeWidgetItem *object = objectItems.value(index, nullptr);
    for (int i = 0; object && i < object->childCount(); ++i) {
        if (object->child(i)->data(0, SubRole).toInt() == sub) {
            delete object->takeChild(i);
            return;
        }
    }
}

// ----- the editor beside the tree -------------------------------------------------------

void ObjectDictionaryForm::currentItemChanged(QTreeWidgetItem *current)
{
    if (!current || rebuilding)
        return;
    const quint16 index = quint16(current->data(0, IndexRole).toUInt());
    switch (current->data(0, KindRole).toInt()) {
    case SegmentSelection:
        segmentSelected(SegmentType(current->data(0, SubRole).toInt()));
        break;
    case IndexSelection:
        indexSelected(index);
        break;
    case SubSelection:
        subIndexSelected(index, quint8(current->data(0, SubRole).toUInt()));
        break;
    default:
        break;
    }
}

void ObjectDictionaryForm::openPane(BaseTreeForm *pane, quint16 index, int subIndex)
{
    const QString tab = editor ? editor->getActiveTab() : QString();
    saveAndRemoveForm(false);
    ui->editorLayout->addWidget(pane);
    if (!tab.isEmpty())
        pane->setActiveTab(tab);
    editor = pane;
    currentIndex = index;
    currentSubIndex = subIndex;
}

// An open editor of the same kind takes the next item (after saving), which keeps its tab
// and spares building it again.
void ObjectDictionaryForm::indexSelected(quint16 index)
{
    auto *form = qobject_cast<IndexForm *>(editor);
    if (!database || (form && currentIndex == index && currentSubIndex == -1))
        return;
    if (form)
        form->saveData();
    else
        form = new IndexForm(ui->editorPane);
    form->setMember(line, index, database, DictionaryEditor::mayEdit(index, expertMode),
                    editorMode);
    form->setCatalogue(additionalDb);
    if (Preferences::read(QSettings()).metadata)
        form->enableMetaData(true);
    if (form != editor)
        openPane(form, index, -1);
    currentIndex = index;
    currentSubIndex = -1;
}

void ObjectDictionaryForm::subIndexSelected(quint16 index, quint8 subIndex)
{
    auto *form = qobject_cast<SubIndexForm *>(editor);
    if (!database || (form && currentIndex == index && currentSubIndex == subIndex))
        return;
    if (form)
        form->saveData();
    else
        form = new SubIndexForm(ui->editorPane);
    form->setMember(line, index, subIndex, database, DictionaryEditor::mayEdit(index, expertMode),
                    editorMode);
    if (Preferences::read(QSettings()).metadata)
        form->enableMetaData(true);
    if (form != editor)
        openPane(form, index, subIndex);
    currentIndex = index;
    currentSubIndex = subIndex;
}

void ObjectDictionaryForm::segmentSelected(SegmentType segment)
{
    static const quint16 starts[] = {0x1000, 0x2000, 0x6000, 0xA000};
    auto *form = new ManufacturerSegmentForm(ui->editorPane);
    form->setMember(line, starts[segment], database, additionalDb, expertMode);
    connect(form, &ManufacturerSegmentForm::objectActivated, this,
            &ObjectDictionaryForm::gotoIndex);
    openPane(form, 0, -1);
}

void ObjectDictionaryForm::clearAndRemoveForm(bool showEmpty)
{
    if (editor) {
        ui->editorLayout->removeWidget(editor);
        editor->hide();
        editor->deleteLater();
        editor = nullptr;
    }
    currentIndex = 0;
    currentSubIndex = -1;
    if (showEmpty) {
        auto *empty = new EmtyTreeForm(ui->editorPane);
        ui->editorLayout->addWidget(empty);
        editor = empty;
    }
}

void ObjectDictionaryForm::saveAndRemoveForm(bool showEmpty)
{
    saveData();
    clearAndRemoveForm(showEmpty);
}

void ObjectDictionaryForm::saveData()
{
    if (editor)
        editor->saveData();
}

void ObjectDictionaryForm::updateForm()
{
    if (editor && !editor->isSaving())
        editor->updateData();
}

void ObjectDictionaryForm::gotoIndex(quint16 index)
{
    QTreeWidgetItem *item = objectItems.value(index, nullptr);
    if (!item)
        return;
    ui->treeWidget->clearSelection();
    ui->treeWidget->setCurrentItem(item);
    ui->treeWidget->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

// On first show the tree gets a third of the page (long object names stay readable) unless
// the user has set the split before.
void ObjectDictionaryForm::showEvent(QShowEvent *event)
{
    BaseMainForm::showEvent(event);
    if (splitterPlaced)
        return;
    splitterPlaced = true;
    if (ui->splitter->restoreState(QSettings().value(splitterKey()).toByteArray()))
        return;
    const int total = ui->splitter->width();
    ui->splitter->setSizes({qMax(total / 3, 380), qMax(total - total / 3, 1)});
}

bool ObjectDictionaryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->treeWidget && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        menuActionRequest(Delete);
        return true;
    }
    return BaseMainForm::eventFilter(watched, event);
}

// ----- filter ---------------------------------------------------------------------------

// Hides the items that neither match nor have a matching descendant; true when the item
// stays visible.
bool ObjectDictionaryForm::filterItem(QTreeWidgetItem *item, const QString &text)
{
    bool childVisible = false;
    for (int i = 0; i < item->childCount(); ++i)
        childVisible = filterItem(item->child(i), text) || childVisible;
    const bool visible = childVisible || item->text(0).contains(text, Qt::CaseInsensitive);
    item->setHidden(!visible);
    if (childVisible)
        item->setExpanded(true);
    return visible;
}

void ObjectDictionaryForm::on_leFilter_textChanged(const QString &text)
{
    QTreeWidget *treeWidget = ui->treeWidget;
    if (text.isEmpty()) {
        resetExpandedState();
        return;
    }
    if (expandedBeforeFilter.isEmpty()) {
        for (QTreeWidgetItemIterator it(treeWidget); *it; ++it)
            expandedBeforeFilter.insert(*it, (*it)->isExpanded());
    }
    for (QTreeWidgetItem *top : qAsConst(segments))
        filterItem(top, text);
}

void ObjectDictionaryForm::resetExpandedState()
{
    for (QTreeWidgetItemIterator it(ui->treeWidget); *it; ++it) {
        (*it)->setHidden(false);
        const auto state = expandedBeforeFilter.constFind(*it);
        if (state != expandedBeforeFilter.constEnd())
            (*it)->setExpanded(state.value());
    }
    expandedBeforeFilter.clear();
    if (QTreeWidgetItem *current = ui->treeWidget->currentItem())
        ui->treeWidget->scrollToItem(current);
}
