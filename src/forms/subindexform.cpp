#include "subindexform.h"
#include "ui_subindexform.h"

#include "formprompts.h"
#include "metadataeditor.h"

#include "panelkit/canopendatatype.h"
#include "panelkit/helper.h"
#include "panelkit/preferences.h"
#include "panelkit/valuechecker.h"
#include "transform/dictionaryeditor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>

namespace {

struct Row
{
    EntryField::Field field;
    const char *label;
};

const Row tableRows[] = {
    {EntryField::Name, QT_TRANSLATE_NOOP("SubIndexForm", "Name")},
    {EntryField::DataType, QT_TRANSLATE_NOOP("SubIndexForm", "Data Type")},
    {EntryField::AccessType, QT_TRANSLATE_NOOP("SubIndexForm", "Access Type")},
    {EntryField::LowLimit, QT_TRANSLATE_NOOP("SubIndexForm", "Lower Limit")},
    {EntryField::HighLimit, QT_TRANSLATE_NOOP("SubIndexForm", "Upper Limit")},
    {EntryField::PdoMapping, QT_TRANSLATE_NOOP("SubIndexForm", "PDO Mapping")},
    {EntryField::DefaultValue, QT_TRANSLATE_NOOP("SubIndexForm", "Defaultvalue")},
    {EntryField::LimitCheck, QT_TRANSLATE_NOOP("SubIndexForm", "Limit Check")},
    {EntryField::RefuseRead, QT_TRANSLATE_NOOP("SubIndexForm", "Refuse read on Scan")},
    {EntryField::RefuseWrite, QT_TRANSLATE_NOOP("SubIndexForm", "Refuse write on Download")},
    {EntryField::DefaultInEds, QT_TRANSLATE_NOOP("SubIndexForm", "Defaultvalue in EDS")},
    {EntryField::Implementation, QT_TRANSLATE_NOOP("SubIndexForm", "Implementation Type")},
    {EntryField::VariableName, QT_TRANSLATE_NOOP("SubIndexForm", "Variable Name")},
    {EntryField::Size, QT_TRANSLATE_NOOP("SubIndexForm", "Size in Bytes")},
    {EntryField::SharedLines, QT_TRANSLATE_NOOP("SubIndexForm", "Shared in all lines")},
    {EntryField::NvStorage, QT_TRANSLATE_NOOP("SubIndexForm", "Non-volatile storage")},
    {EntryField::HasDefault, QT_TRANSLATE_NOOP("SubIndexForm", "Has Default")},
    {EntryField::Denotation, QT_TRANSLATE_NOOP("SubIndexForm", "Denotation")},
};

} // namespace

SubIndexForm::SubIndexForm(QWidget *parent)
    : BaseTreeForm(parent), ui(new Ui::SubIndexForm), metaEditor(new MetaDataEditor)
{
    ui->setupUi(this);
    ui->metaDataLayout->addWidget(metaEditor);
    setupTabs(ui->tabWidget, ui->tabMetaData, ui->teDescription);
    buildTable();
    connect(metaEditor, &MetaDataEditor::metaDataChanged, this, &SubIndexForm::saveData);
}

SubIndexForm::~SubIndexForm()
{
    delete ui;
}

void SubIndexForm::buildTable()
{
    QTableWidget *table = ui->tblAttributes;
    table->setColumnCount(1);
    table->setRowCount(int(std::size(tableRows)));
    table->setHorizontalHeaderLabels({tr("Value")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const QSignalBlocker blocker(table);
    // Tab goes from the table through its choice boxes, row by row, before the buttons.
    QWidget *previous = table;
    for (int row = 0; row < int(std::size(tableRows)); ++row) {
        const EntryField::Field field = tableRows[row].field;
        fieldRows.append(field);
        auto *header = new QTableWidgetItem(tr(tableRows[row].label));
        if (field == EntryField::NvStorage)
            header->setToolTip(tr("Set non-volatile storage flag for subindex"));
        table->setVerticalHeaderItem(row, header);
        const EntryField::Choices choices = EntryField::choices(field);
        if (choices.isEmpty()) {
            table->setItem(row, 0, new QTableWidgetItem);
            continue;
        }
        auto *box = new QComboBox(table);
        box->setObjectName(QStringLiteral("cbField%1").arg(int(field)));
        for (const auto &choice : choices)
            box->addItem(choice.first, choice.second);
        table->setCellWidget(row, 0, box);
        setTabOrder(previous, box);
        previous = box;
        if (field == EntryField::DataType)
            connect(box, QOverload<int>::of(&QComboBox::activated), this,
                    &SubIndexForm::dataTypeChanged);
        else if (field == EntryField::LimitCheck)
            connect(box, QOverload<int>::of(&QComboBox::activated), this,
                    &SubIndexForm::limitCheckChanged);
        else if (field == EntryField::Implementation)
            connect(box, QOverload<int>::of(&QComboBox::activated), this,
                    &SubIndexForm::implementationChanged);
        else
            connect(box, QOverload<int>::of(&QComboBox::activated), this,
                    &SubIndexForm::choiceChanged);
    }
}

void SubIndexForm::setMember(quint8 newLine, quint16 newIndex, quint8 newSub,
                             ObjectDataBase *newDatabase, bool isEditable, bool isEditorMode)
{
    line = newLine;
    index = newIndex;
    subIndex = newSub;
    database = newDatabase;
    editable = isEditable;
    editorMode = isEditorMode;
    metaEditor->setDatabase(newDatabase);
    snapshotTaken = false;
    updateData();
}

bool SubIndexForm::isStackObject(quint16 objectIndex, quint8 sub)
{
    return DictionaryEditor::isStackObject(objectIndex, sub);
}

int SubIndexForm::rowOf(EntryField::Field field) const
{
    return fieldRows.indexOf(field);
}

QTableWidget *SubIndexForm::attributes() const
{
    return ui->tblAttributes;
}

QComboBox *SubIndexForm::comboOf(EntryField::Field field) const
{
    const int row = rowOf(field);
    return row < 0 ? nullptr : qobject_cast<QComboBox *>(ui->tblAttributes->cellWidget(row, 0));
}

void SubIndexForm::updateData()
{
    if (!database)
        return;
    loaded = ObjectDataBase::SUBINDEX_DATA_T();
    exists = database->getSubIndexData(line, index, subIndex, loaded);
    ObjectDataBase::INDEX_DATA_T object;
    objectType = database->getIndexData(line, index, object) ? object.objecttype : 7;
    if (exists && !snapshotTaken) {
        opened = loaded;
        snapshotTaken = true;
    }
    ui->lblTitle->setText(
        QStringLiteral("0x%1 / %2 - %3   (%4)")
            .arg(index, 4, 16, QLatin1Char('0'))
            .arg(subIndex)
            .arg(Helper::substituteVariables(loaded.denotation.isEmpty() ? loaded.name
                                                                         : loaded.denotation,
                                             index, subIndex),
                 Helper::substituteVariables(object.name, index, 0)));
    fillTable();
    if (ui->teDescription->toPlainText() != loaded.description)
        ui->teDescription->setPlainText(loaded.description);
    metaEditor->setMetaData(loaded.metadata);
    if (metaDataShown) {
        QList<ObjectDataBase::INDEX_SUB_METADATA_T> entries;
        database->getAllSubIndicesWithMetaData(line, entries);
        QList<ObjectDataBase::MetaData> maps;
        for (const ObjectDataBase::INDEX_SUB_METADATA_T &entry : qAsConst(entries))
            maps.append(entry.metadata);
        metaEditor->setKnownKeys(maps);
    }
    applyEnabledStates();
}

void SubIndexForm::fillTable()
{
    const QSignalBlocker blocker(ui->tblAttributes);
    for (int row = 0; row < fieldRows.size(); ++row) {
        const EntryField::Field field = fieldRows.at(row);
        if (QComboBox *box = comboOf(field)) {
            const QSignalBlocker boxBlocker(box);
            if (!setValueInCombobox(box, EntryField::value(loaded, field))) {
                box->addItem(EntryField::text(loaded, field), EntryField::value(loaded, field));
                box->setCurrentIndex(box->count() - 1);
            }
            continue;
        }
        ui->tblAttributes->item(row, 0)->setText(EntryField::text(loaded, field));
    }
}

bool SubIndexForm::accessTypeFixed() const
{
    return index < 0x2000 || objectType == 8 || objectType == 7
           || (objectType == 9 && subIndex == 0);
}

void SubIndexForm::setRowEditable(EntryField::Field field, bool on)
{
    if (QComboBox *box = comboOf(field)) {
        box->setEnabled(on);
        return;
    }
    const int row = rowOf(field);
    const QSignalBlocker blocker(ui->tblAttributes);
    QTableWidgetItem *item = ui->tblAttributes->item(row, 0);
    item->setFlags(on ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
    item->setForeground(on ? palette().text()
                           : palette().brush(QPalette::Disabled, QPalette::Text));
}

void SubIndexForm::applyEnabledStates()
{
    const bool stack = isStackObject(index, subIndex);
    // Entries the network tool manages stay as it set them unless the user lifted that.
    const bool networkTool = loaded.managedbycbw && !Preferences::read(QSettings()).ignoreCbw;
    ui->lblStackManaged->setText(stack ? tr("Not editable - managed by stack")
                                       : tr("Not editable - managed by CANopen Buswright"));
    ui->lblStackManaged->setVisible(stack || networkTool);
    const bool all = editable && exists && !stack && !networkTool;
    for (EntryField::Field field : qAsConst(fieldRows))
        setRowEditable(field, all);
    const bool access = all && !accessTypeFixed();
    setRowEditable(EntryField::AccessType, access);
    comboOf(EntryField::AccessType)
        ->setToolTip(access || !all ? QString()
                                    : tr("The access type of this entry is set for the whole "
                                         "object on its Overview tab."));
    setRowEditable(EntryField::LowLimit, all && loaded.limitineds);
    setRowEditable(EntryField::HighLimit, all && loaded.limitineds);
    setRowEditable(EntryField::LimitCheck,
                   all && ValueChecker::supportsLimitCheck(loaded.datatype));
    const bool application = loaded.implementation == 2 || loaded.implementation == 3;
    setRowEditable(EntryField::VariableName, all && application);
    setRowEditable(EntryField::Size, all && ValueChecker::hasByteSize(loaded.datatype));
    setRowEditable(EntryField::Implementation, all && loaded.datatype != CAN::DT_DOMAIN);
    setRowEditable(EntryField::SharedLines,
                   all && index >= 0x1F80 && !(line != 0 && loaded.sharedlines));
    ui->teDescription->setReadOnly(!all);
    metaEditor->setEditable(all);
    ui->btnResetChanges->setEnabled(all);
}

// Applies one typed value; a refused one is explained and the table shows the stored
// record again.
bool SubIndexForm::applyAndStore(EntryField::Field field, const QString &text)
{
    if (!editable || !exists || !database)
        return false;
    ObjectDataBase::SUBINDEX_DATA_T data = loaded;
    const QString reason = EntryField::apply(data, field, text);
    bool stored = false;
    if (!reason.isEmpty())
        refuseInput(reason);
    else
        stored = storeEntry(subIndex, data);
    updateData();
    return stored;
}

void SubIndexForm::saveData()
{
    if (!editable || !exists || !database)
        return;
    ObjectDataBase::SUBINDEX_DATA_T data = loaded;
    data.description = ui->teDescription->toPlainText();
    data.metadata = metaEditor->metaData();
    if (data.description == loaded.description && data.metadata == loaded.metadata)
        return;
    if (storeEntry(subIndex, data))
        database->getSubIndexData(line, index, subIndex, loaded);
}

void SubIndexForm::on_tblAttributes_itemChanged(QTableWidgetItem *item)
{
    const int row = item ? item->row() : -1;
    if (row < 0 || row >= fieldRows.size() || comboOf(fieldRows.at(row)))
        return;
    applyAndStore(fieldRows.at(row), item->text());
}

void SubIndexForm::choiceChanged(int)
{
    for (EntryField::Field field : qAsConst(fieldRows)) {
        QComboBox *box = comboOf(field);
        if (box && box == sender()) {
            applyAndStore(field, box->currentData().toString());
            return;
        }
    }
}

void SubIndexForm::dataTypeChanged(int entry)
{
    applyAndStore(EntryField::DataType, comboOf(EntryField::DataType)->itemText(entry));
}

void SubIndexForm::limitCheckChanged(int entry)
{
    applyAndStore(EntryField::LimitCheck, comboOf(EntryField::LimitCheck)->itemText(entry));
}

void SubIndexForm::implementationChanged(int entry)
{
    applyAndStore(EntryField::Implementation, comboOf(EntryField::Implementation)->itemText(entry));
}

void SubIndexForm::convertHexDec()
{
    if (hasIndexMask(index)) {
        FormPrompts::current().refuse(this, tr("Conversion from hex to dec or vice versa"),
                                      tr("Conversion cannot be used for indices with index "
                                         "masks."));
        return;
    }
    bool converted = false;
    const QString value =
        ValueChecker::toggleHexDec(loaded.datatype, loaded.defaultvalue, &converted);
    if (converted)
        applyAndStore(EntryField::DefaultValue, value);
}

void SubIndexForm::adjustSize()
{
    if (ValueChecker::hasByteSize(loaded.datatype))
        applyAndStore(EntryField::Size, QString::number(ValueChecker::textSize(
                                            loaded.datatype, loaded.defaultvalue)));
}

void SubIndexForm::setNonVolatile()
{
    applyAndStore(EntryField::NvStorage, QStringLiteral("yes"));
}

void SubIndexForm::on_tblAttributes_customContextMenuRequested(const QPoint &pos)
{
    const bool all = comboOf(EntryField::DataType)->isEnabled();
    QMenu menu(this);
    const QModelIndex cell = ui->tblAttributes->indexAt(pos);
    if (cell.isValid() && fieldRows.value(cell.row()) == EntryField::Implementation) {
        QAction *nonVolatile = menu.addAction(tr("Set non-volatile storage flag for subindex"));
        nonVolatile->setEnabled(all);
        connect(nonVolatile, &QAction::triggered, this, &SubIndexForm::setNonVolatile);
        menu.addSeparator();
    }
    QAction *size = menu.addAction(tr("Set size for current string"));
    size->setEnabled(all && ValueChecker::hasByteSize(loaded.datatype));
    connect(size, &QAction::triggered, this, &SubIndexForm::adjustSize);
    QAction *convert = menu.addAction(tr("Convert hex <-> dec"));
    convert->setEnabled(all);
    connect(convert, &QAction::triggered, this, &SubIndexForm::convertHexDec);
    menu.exec(ui->tblAttributes->viewport()->mapToGlobal(pos));
}

void SubIndexForm::on_btnResetChanges_clicked()
{
    if (snapshotTaken && exists)
        storeEntry(subIndex, opened);
    updateData();
}
