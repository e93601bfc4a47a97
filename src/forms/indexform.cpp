#include "indexform.h"
#include "ui_indexform.h"

#include "formprompts.h"
#include "masks/baseobjectmask.h"
#include "masks/objectclassfactory.h"
#include "metadataeditor.h"

#include "panelkit/helper.h"
#include "panelkit/linetype.h"
#include "transform/dictionaryeditor.h"
#include "transform/entryfield.h"
#include "transform/maskstore.h"

#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>

namespace {

// The field each overview column edits; ColSub edits none.
EntryField::Field fieldOf(int column)
{
    static const EntryField::Field fields[] = {
        EntryField::Name,         EntryField::Name,         EntryField::DataType,
        EntryField::DefaultValue, EntryField::AccessType,   EntryField::Implementation,
        EntryField::HasDefault,   EntryField::DefaultInEds, EntryField::VariableName,
        EntryField::PdoMapping,   EntryField::LowLimit,     EntryField::HighLimit,
        EntryField::LimitCheck,   EntryField::Size};
    return fields[column];
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

IndexForm::IndexForm(QWidget *parent)
    : BaseTreeForm(parent), ui(new Ui::IndexForm), metaEditor(new MetaDataEditor)
{
    ui->setupUi(this);
    ui->metaDataLayout->addWidget(metaEditor);
    setupTabs(ui->tabWidget, ui->tabMetaData, ui->teDescription);
    for (quint8 code : {7, 8, 9})
        ui->cbObjectType->addItem(Helper::objectCode2String(code), int(code));
    for (quint8 category : {0, 1, 2})
        ui->cbObjectClass->addItem(Helper::convertCategory(category), int(category));
    fillDataTypesInCombobox(ui->cbDataType);

    QTableWidget *table = ui->tblOverview;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels(
        {tr("Sub"), tr("Name"), tr("DataType"), tr("Default"), tr("Access"), tr("Impl."),
         tr("Has Default"), tr("Default in EDS"), tr("Variable"), tr("PDO Mapping"),
         tr("Low Limit"), tr("High Limit"), tr("Limit Check"), tr("Size")});
    table->horizontalHeaderItem(ColDataType)
        ->setToolTip(
            tr("2 .. INTEGER8\n5 .. UNSIGNED8\n7 .. UNSIGNED32\n(object index of datatype)"));
    table->horizontalHeaderItem(ColPdoMapping)
        ->setToolTip(tr("0 .. no\n1 .. optional\n2 .. optional, TPDO\n3 .. optional, RPDO"));
    table->horizontalHeaderItem(ColImplementation)
        ->setToolTip(tr("0 .. Managed Variable\n1 .. Managed Const\n2 .. Application "
                        "Variable\n3 .. Virtual Object"));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(table, &QTableWidget::cellChanged, this, &IndexForm::overviewCellChanged);

    ui->cbFocusOverview->setChecked(
        QSettings().value(QStringLiteral("General/focusoverview"), 0).toInt() == 1);
    connect(ui->leName, &QLineEdit::editingFinished, this, &IndexForm::saveData);
    connect(ui->leDeviceClass, &QLineEdit::editingFinished, this, &IndexForm::saveData);
    for (QComboBox *box : {ui->cbObjectType, ui->cbDataType, ui->cbObjectClass})
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &IndexForm::saveData);
    connect(ui->chkFwSupported, &QCheckBox::clicked, this, &IndexForm::saveData);
    connect(metaEditor, &MetaDataEditor::metaDataChanged, this, &IndexForm::saveData);
}

IndexForm::~IndexForm()
{
    delete ui;
}

void IndexForm::setMember(quint8 newLine, quint16 newIndex, ObjectDataBase *newDatabase,
                          bool isEditable, bool isEditorMode)
{
    line = newLine;
    index = newIndex;
    database = newDatabase;
    editable = isEditable;
    editorMode = isEditorMode;
    metaEditor->setDatabase(newDatabase);
    snapshotTaken = false;
    setupMask();
    updateData();
    if (ui->cbFocusOverview->isChecked())
        ui->tabWidget->setCurrentWidget(ui->tabOverview);
    else if (mask && QSettings().value(QStringLiteral("General/focusmask"), 0).toInt() == 1)
        ui->tabWidget->setCurrentWidget(mask);
}

// The device type decides the masks of the profile area; the device type object itself
// gets its mask only while no profile is chosen.
void IndexForm::setupMask()
{
    if (mask) {
        ui->tabWidget->removeTab(ui->tabWidget->indexOf(mask));
        delete mask;
        mask = nullptr;
    }
    if (!database || !database->existIndex(line, index))
        return;
    const quint16 deviceType = quint16(MaskStore::numberValue(*database, line, 0x1000, 0) & 0xFFFF);
    if (index == 0x1000 && deviceType != 0)
        return;
    mask = ObjectClassFactory().getObjectMask(line, index, deviceType, ui->tabWidget);
    if (!mask)
        return;
    mask->setProjectDataBase(database);
    mask->setNode(line);
    mask->setEditable(editable);
    mask->setObjectName(QStringLiteral("tabMask"));
    mask->updateData();
    ui->tabWidget->insertTab(0, mask, tr("Mask"));
}

void IndexForm::setCatalogue(ObjectDataBase *newCatalogue)
{
    catalogue = newCatalogue;
    applyEnabledStates();
}

void IndexForm::setActiveTab(const QString &name)
{
    if (!ui->cbFocusOverview->isChecked())
        BaseTreeForm::setActiveTab(name);
}

QTableWidget *IndexForm::overview() const
{
    return ui->tblOverview;
}

void IndexForm::updateData()
{
    if (!database)
        return;
    loaded = ObjectDataBase::INDEX_DATA_T();
    const bool exists = database->getIndexData(line, index, loaded);
    rows.clear();
    for (quint8 sub : database->getSubIndices(line, index, 0)) {
        ObjectDataBase::SUBINDEX_DATA_T data;
        if (database->getSubIndexData(line, index, sub, data))
            rows.insert(sub, data);
    }
    if (exists && !snapshotTaken) {
        openedObject = loaded;
        openedSubs = rows;
        snapshotTaken = true;
    }
    fillAttributes();
    fillOverview();
    applyEnabledStates();
    if (mask && !mask->isSaving())
        mask->updateData();
}

void IndexForm::fillAttributes()
{
    ui->lblTitle->setText(
        QStringLiteral("0x%1 - %2")
            .arg(hex4(index), Helper::substituteVariables(loaded.name, index, 0)));
    const QSignalBlocker nameBlocker(ui->leName);
    ui->leName->setText(loaded.name);
    ui->leDeviceClass->setText(loaded.device_class);
    ui->chkFwSupported->setChecked(loaded.fwsupported);
    setValueInCombobox(ui->cbObjectType, int(loaded.objecttype));
    setValueInCombobox(ui->cbObjectClass, int(loaded.category));
    if (!setValueInCombobox(ui->cbDataType, int(loaded.datatype))) {
        const QString name = Helper::index2DataTypeString(loaded.datatype);
        ui->cbDataType->addItem(name.isEmpty() ? QStringLiteral("0x%1").arg(hex4(loaded.datatype))
                                               : name,
                                int(loaded.datatype));
        setValueInCombobox(ui->cbDataType, int(loaded.datatype));
    }
    if (ui->teDescription->toPlainText() != loaded.description)
        ui->teDescription->setPlainText(loaded.description);
    metaEditor->setMetaData(loaded.metadata);
    if (metaDataShown) {
        QList<ObjectDataBase::MetaData> maps;
        database->getAllIndexMetaData(line, maps);
        metaEditor->setKnownKeys(maps);
    }
}

// Columns are as wide as their texts, and the first nine at least as wide as set here.
void IndexForm::fillOverview()
{
    static const int minimumWidths[] = {30, 170, 90, 80, 70, 110, 130, 80, 80};
    QTableWidget *table = ui->tblOverview;
    const QSignalBlocker blocker(table);
    table->setRowCount(rows.size());
    int row = 0;
    for (auto it = rows.constBegin(); it != rows.constEnd(); ++it)
        fillOverviewRow(row++, it.key(), it.value());
    table->resizeColumnsToContents();
    for (int column = 0; column < int(std::size(minimumWidths)); ++column)
        table->setColumnWidth(column, std::max(table->columnWidth(column), minimumWidths[column]));
}

void IndexForm::fillOverviewRow(int row, quint8 sub, const ObjectDataBase::SUBINDEX_DATA_T &data)
{
    const bool inTable = ui->btnExpertEditing->isChecked();
    for (int column = 0; column < ColumnCount; ++column) {
        QString text = EntryField::text(data, fieldOf(column));
        if (column == ColSub)
            text = QString::number(sub);
        else if (column == ColName && !inTable)
            text = Helper::substituteVariables(
                data.denotation.isEmpty() ? data.name : data.denotation, index, sub);
        QTableWidgetItem *item = ui->tblOverview->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            ui->tblOverview->setItem(row, column, item);
        }
        item->setText(text);
        item->setData(Qt::UserRole, int(sub));
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (inTable && column != ColSub && !DictionaryEditor::isStackObject(index, sub))
            flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
    }
}

void IndexForm::applyEnabledStates()
{
    const bool all = editable && database && database->existIndex(line, index);
    const bool structured = loaded.objecttype == 8 || loaded.objecttype == 9;
    ui->leName->setEnabled(all);
    ui->cbObjectClass->setEnabled(all);
    ui->leDeviceClass->setEnabled(all);
    ui->chkFwSupported->setEnabled(all);
    ui->teDescription->setReadOnly(!all);
    metaEditor->setEditable(all);
    ui->cbObjectType->setEnabled(all && index >= 0x2000 && structured);
    ui->cbDataType->setEnabled(all && index >= 0x2000 && loaded.objecttype != 9);
    ui->btnAddSubIndex->setEnabled(all && structured && !mask);
    ui->btnReset->setEnabled(all && catalogue && catalogue->existNode(ReservedLine::staging)
                             && catalogue->existIndex(255, index));
    ui->btnResetChanges_2->setEnabled(all);
    ui->btnExpertEditing->setEnabled(all);
    if (!all && ui->btnExpertEditing->isChecked()) {
        ui->btnExpertEditing->setChecked(false);
        on_btnExpertEditing_clicked();
    }
}

ObjectDataBase::INDEX_DATA_T IndexForm::attributesFromFields() const
{
    ObjectDataBase::INDEX_DATA_T data = loaded;
    data.name = ui->leName->text().trimmed();
    data.objecttype = quint8(ui->cbObjectType->currentData().toUInt());
    data.datatype = quint16(ui->cbDataType->currentData().toUInt());
    data.category = quint8(ui->cbObjectClass->currentData().toUInt());
    data.device_class = ui->leDeviceClass->text().trimmed();
    data.fwsupported = ui->chkFwSupported->isChecked();
    data.description = ui->teDescription->toPlainText();
    data.metadata = metaEditor->metaData();
    return data;
}

void IndexForm::saveData()
{
    if (mask)
        mask->saveData();
    if (!editable || !database || !database->existIndex(line, index))
        return;
    const ObjectDataBase::INDEX_DATA_T data = attributesFromFields();
    if (data == loaded)
        return;
    if (data.name.isEmpty()) {
        refuseInput(tr("A name cannot be empty."));
        fillAttributes();
        return;
    }
    DictionaryEditor editor(database);
    bool stored = false;
    {
        SavingScope scope(this, tr("Edit %1").arg(hexIndex(index)));
        stored = editor.storeIndex(line, index, data);
    }
    if (!stored) {
        refuseInput(editor.errorString());
        fillAttributes();
        return;
    }
    const ObjectDataBase::INDEX_DATA_T previous = loaded;
    database->getIndexData(line, index, loaded);
    ui->lblTitle->setText(
        QStringLiteral("0x%1 - %2")
            .arg(hex4(index), Helper::substituteVariables(loaded.name, index, 0)));
    // A new type reaches the entries that carry it; the rest of the form is as typed.
    if (loaded.datatype != previous.datatype || loaded.objecttype != previous.objecttype)
        updateData();
}

void IndexForm::overviewCellChanged(int row, int column)
{
    QTableWidgetItem *item = ui->tblOverview->item(row, column);
    if (!item || column == ColSub || !database)
        return;
    const quint8 sub = quint8(item->data(Qt::UserRole).toUInt());
    ObjectDataBase::SUBINDEX_DATA_T data = rows.value(sub);
    const QString reason = EntryField::apply(data, fieldOf(column), item->text());
    if (!reason.isEmpty())
        refuseInput(reason);
    else if (storeEntry(sub, data))
        database->getSubIndexData(line, index, sub, rows[sub]);
    const QSignalBlocker blocker(ui->tblOverview);
    fillOverviewRow(row, sub, rows.value(sub));
    if (sub == 0 && loaded.objecttype == 7) {
        database->getIndexData(line, index, loaded);
        fillAttributes();
    }
}

void IndexForm::copyValuesInOverview()
{
    if (!editable || rows.size() < 2)
        return;
    QList<quint8> subs = rows.keys();
    // The first entry row; sub-index 0 of an ARRAY or RECORD is the count, not an entry.
    if (subs.first() == 0 && subs.size() > 2)
        subs.removeFirst();
    const quint8 from = subs.takeFirst();
    {
        SavingScope scope(this,
                          tr("Copy values of %1 sub-index %2").arg(hexIndex(index)).arg(from));
        DictionaryEditor(database).copyEntryValues(line, index, from, subs, editorMode);
    }
    updateData();
}

void IndexForm::on_tblOverview_customContextMenuRequested(const QPoint &pos)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(tr("Copy values from 1st row to other rows"));
    copy->setEnabled(editable && ui->btnExpertEditing->isChecked() && rows.size() > 1);
    connect(copy, &QAction::triggered, this, &IndexForm::copyValuesInOverview);
    menu.exec(ui->tblOverview->viewport()->mapToGlobal(pos));
}

void IndexForm::on_btnExpertEditing_clicked()
{
    const bool inTable = ui->btnExpertEditing->isChecked();
    ui->tblOverview->setEditTriggers(inTable ? QAbstractItemView::DoubleClicked
                                                   | QAbstractItemView::EditKeyPressed
                                                   | QAbstractItemView::AnyKeyPressed
                                             : QAbstractItemView::NoEditTriggers);
    fillOverview();
}

void IndexForm::on_cbFocusOverview_clicked(bool on)
{
    QSettings().setValue(QStringLiteral("General/focusoverview"), on ? 1 : 0);
}

void IndexForm::on_btnAddSubIndex_clicked()
{
    saveData();
    DictionaryEditor editor(database);
    quint8 added = DictionaryEditor::NoSubIndex;
    {
        SavingScope scope(this, tr("Add sub-index to %1").arg(hexIndex(index)));
        added = editor.appendSubIndex(line, index);
    }
    if (added == DictionaryEditor::NoSubIndex)
        refuseInput(editor.errorString());
    updateData();
}

void IndexForm::on_btnReset_clicked()
{
    if (!catalogue || !catalogue->existIndex(255, index))
        return;
    if (!FormPrompts::current().confirm(
            this, tr("Replace object 0x%1 and all its sub-indices by the object of the CiA 301 "
                     "catalogue?")
                      .arg(hex4(index))))
        return;
    {
        SavingScope scope(this, tr("Reset %1 to the catalogue").arg(hexIndex(index)));
        database->copyIndexFromDatabase(catalogue, ReservedLine::staging, index, line, index, true);
    }
    updateData();
}

void IndexForm::on_btnResetChanges_2_clicked()
{
    if (!snapshotTaken)
        return;
    DictionaryEditor editor(database);
    bool restored = false;
    {
        SavingScope scope(this, tr("Reset changes of %1").arg(hexIndex(index)));
        restored = editor.restoreObject(line, index, openedObject, openedSubs);
    }
    if (!restored)
        refuseInput(editor.errorString());
    updateData();
}
