#include "pdomappingmaskform.h"

#include "forms/formprompts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QTableWidget *makeTable(QWidget *parent)
{
    auto *table = new QTableWidget(0, 4, parent);
    table->setHorizontalHeaderLabels(
        {PdoMappingMaskForm::tr("Index"), PdoMappingMaskForm::tr("Sub"),
         PdoMappingMaskForm::tr("Length"), PdoMappingMaskForm::tr("Name")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    return table;
}

QString typeTitle(PdoMappingTable::PdoType type)
{
    switch (type) {
    case PdoMappingTable::Rpdo:
        return PdoMappingMaskForm::tr("RPDO Mapping");
    case PdoMappingTable::Tpdo:
        return PdoMappingMaskForm::tr("TPDO Mapping");
    case PdoMappingTable::Srdo:
        break;
    }
    return PdoMappingMaskForm::tr("SRDO Mapping");
}

} // namespace

PdoMappingMaskForm::PdoMappingMaskForm(PDO_Type type, QWidget *parent)
    : BaseObjectMask(parent), mapping(type), lblSummary(new QLabel(this)),
      tblMapped(makeTable(this)), tblMappable(makeTable(this)),
      btnAdd(new QPushButton(tr("Add"), this)), btnRemove(new QPushButton(tr("Remove"), this)),
      btnUp(new QPushButton(tr("Up"), this)), btnDown(new QPushButton(tr("Down"), this))
{
    setupFrame(typeTitle(type));
    tblMapped->setObjectName(QStringLiteral("tblMapped"));
    tblMappable->setObjectName(QStringLiteral("tblMappable"));
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {btnAdd, btnRemove, btnUp, btnDown})
        buttons->addWidget(button);
    buttons->addStretch();
    QVBoxLayout *layout = frameLayout();
    layout->addWidget(lblSummary);
    layout->addWidget(new QLabel(tr("Mapped objects:"), this));
    layout->addWidget(tblMapped, 2);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(tr("Mappable objects:"), this));
    layout->addWidget(tblMappable, 3);

    connect(btnAdd, &QPushButton::clicked, this,
            QOverload<>::of(&PdoMappingMaskForm::addMappableObject));
    connect(btnRemove, &QPushButton::clicked, this, &PdoMappingMaskForm::deleteMappedObject);
    connect(btnUp, &QPushButton::clicked, this, &PdoMappingMaskForm::upMappedObject);
    connect(btnDown, &QPushButton::clicked, this, &PdoMappingMaskForm::downMappedObject);
    connect(tblMappable, &QTableWidget::cellDoubleClicked, this, [this] { addMappableObject(); });
    connect(tblMapped, &QTableWidget::customContextMenuRequested, this,
            &PdoMappingMaskForm::displayMappedContextMenu);
    connect(tblMappable, &QTableWidget::customContextMenuRequested, this,
            &PdoMappingMaskForm::displayMappableContextMenu);
}

void PdoMappingMaskForm::saveData()
{
    // Every change of the list is stored when it is made.
}

void PdoMappingMaskForm::updateData()
{
    if (!database)
        return;
    mapping.load(*database, line, index);
    fillMappedTable();
    fillMappableTable();
    applyEnabledStates();
}

void PdoMappingMaskForm::fillRow(QTableWidget *table, int row, const MappingEntry &entry,
                                 const QString &name)
{
    const QStringList texts = {QStringLiteral("0x%1").arg(hex4(entry.index)),
                               QString::number(entry.sub), QString::number(entry.length), name};
    for (int column = 0; column < texts.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
}

void PdoMappingMaskForm::fillMappedTable()
{
    const QList<MappingEntry> entries = mapping.entries();
    tblMapped->setRowCount(entries.size());
    for (int row = 0; row < entries.size(); ++row)
        fillRow(tblMapped, row, entries.at(row),
                PdoMappingTable::entryName(*database, line, entries.at(row)));
    tblMapped->resizeColumnsToContents();
    updateSummary();
}

void PdoMappingMaskForm::fillMappableTable()
{
    candidates = mapping.candidates(*database, line);
    tblMappable->setRowCount(candidates.size());
    for (int row = 0; row < candidates.size(); ++row)
        fillRow(tblMappable, row, candidates.at(row).entry, candidates.at(row).name);
    tblMappable->resizeColumnsToContents();
}

void PdoMappingMaskForm::updateSummary()
{
    QString text = tr("%1 of %2 bits mapped").arg(mapping.usedBits()).arg(mapping.sizeLimit());
    if (mapping.isMpdo())
        text += tr(" (MPDO: a single entry)");
    else if (mapping.type() != PdoMappingTable::Srdo)
        text += mapping.isDynamic() ? tr(" (dynamic mapping)") : tr(" (static mapping)");
    lblSummary->setText(text);
}

void PdoMappingMaskForm::applyEnabledStates()
{
    for (QWidget *widget : {static_cast<QWidget *>(btnAdd), static_cast<QWidget *>(btnRemove),
                            static_cast<QWidget *>(btnUp), static_cast<QWidget *>(btnDown)})
        widget->setEnabled(editable);
}

QList<int> PdoMappingMaskForm::selectedRows(QTableWidget *table) const
{
    QList<int> rows;
    for (const QModelIndex &cell : table->selectionModel()->selectedRows())
        rows.append(cell.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString PdoMappingMaskForm::changeName() const
{
    return mapping.type() == PdoMappingTable::Srdo ? tr("Edit SRDO mapping %1").arg(hexIndex(index))
                                                   : tr("Edit PDO mapping %1").arg(hexIndex(index));
}

bool PdoMappingMaskForm::applyEntries(const QList<MappingEntry> &entries)
{
    if (!editable || !database)
        return false;
    bool stored = false;
    {
        SavingScope scope(this, changeName());
        stored = PdoMappingTable::store(database, line, index, entries);
    }
    if (!stored)
        refuseInput(tr("The mapping could not be stored; it is as it was before."));
    updateData();
    return stored;
}

bool PdoMappingMaskForm::addEntries(const QList<MappingEntry> &added)
{
    if (!editable || added.isEmpty())
        return false;
    PdoMappingTable trial = mapping;
    for (const MappingEntry &entry : added) {
        if (!trial.add(entry)) {
            FormPrompts::current().warn(this, trial.title(), trial.text(), trial.informativeText());
            return false;
        }
    }
    return applyEntries(trial.entries());
}

void PdoMappingMaskForm::addMappableObject()
{
    QList<MappingEntry> added;
    for (int row : selectedRows(tblMappable)) {
        if (row < candidates.size())
            added.append(candidates.at(row).entry);
    }
    addEntries(added);
}

void PdoMappingMaskForm::addMappableObject(quint16 objectIndex, quint8 subIndex, quint8 length,
                                           const QString &, quint16)
{
    MappingEntry entry;
    entry.index = objectIndex;
    entry.sub = subIndex;
    entry.length = length;
    addEntries({entry});
}

void PdoMappingMaskForm::deleteMappedObject()
{
    const QList<int> rows = selectedRows(tblMapped);
    if (rows.isEmpty())
        return;
    QList<MappingEntry> entries = mapping.entries();
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        entries.removeAt(*row);
    applyEntries(entries);
}

void PdoMappingMaskForm::moveMapped(int delta)
{
    const int row = tblMapped->currentRow();
    QList<MappingEntry> entries = mapping.entries();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= entries.size())
        return;
    entries.swapItemsAt(row, target);
    if (applyEntries(entries))
        tblMapped->selectRow(target);
}

void PdoMappingMaskForm::upMappedObject()
{
    moveMapped(-1);
}

void PdoMappingMaskForm::downMappedObject()
{
    moveMapped(1);
}

void PdoMappingMaskForm::reorderSelected(bool shuffle)
{
    const QList<int> rows = selectedRows(tblMapped);
    if (rows.size() < 2)
        return;
    QList<MappingEntry> entries = mapping.entries();
    QList<MappingEntry> picked;
    for (int row : rows)
        picked.append(entries.at(row));
    if (shuffle)
        std::shuffle(picked.begin(), picked.end(), *QRandomGenerator::global());
    else
        std::reverse(picked.begin(), picked.end());
    for (int position = 0; position < rows.size(); ++position)
        entries[rows.at(position)] = picked.at(position);
    applyEntries(entries);
}

void PdoMappingMaskForm::reverseMappedObjects()
{
    reorderSelected(false);
}

void PdoMappingMaskForm::shuffleMappedObjects()
{
    reorderSelected(true);
}

void PdoMappingMaskForm::displayMappedContextMenu(const QPoint &pos)
{
    if (!editable)
        return;
    QMenu menu(this);
    menu.addAction(tr("Remove selected objects"), this, &PdoMappingMaskForm::deleteMappedObject);
    menu.addAction(tr("Reverse order of selected objects"), this,
                   &PdoMappingMaskForm::reverseMappedObjects);
    menu.addAction(tr("Shuffle order of selected objects"), this,
                   &PdoMappingMaskForm::shuffleMappedObjects);
    const int row = tblMapped->rowAt(pos.y());
    if (row >= 0 && row < mapping.entries().size()) {
        tblMapped->setCurrentCell(row, 0);
        const MappingEntry entry = mapping.entries().at(row);
        const QString sub = QString::number(entry.sub);
        menu.addSeparator();
        menu.addAction(tr("Remove mapped object (0x%1:%2)").arg(hex4(entry.index), sub), this,
                       [this, row] {
                           QList<MappingEntry> entries = mapping.entries();
                           entries.removeAt(row);
                           applyEntries(entries);
                       });
        menu.addAction(tr("Move up object (0x%1:%2)").arg(hex4(entry.index), sub), this,
                       &PdoMappingMaskForm::upMappedObject);
        menu.addAction(tr("Move down object (0x%1:%2)").arg(hex4(entry.index), sub), this,
                       &PdoMappingMaskForm::downMappedObject);
    }
    menu.exec(tblMapped->viewport()->mapToGlobal(pos));
}

void PdoMappingMaskForm::displayMappableContextMenu(const QPoint &pos)
{
    if (!editable)
        return;
    QMenu menu(this);
    menu.addAction(tr("Add mappable objects"), this,
                   QOverload<>::of(&PdoMappingMaskForm::addMappableObject));
    const int row = tblMappable->rowAt(pos.y());
    if (row >= 0 && row < candidates.size()) {
        const PdoMappingTable::Candidate candidate = candidates.at(row);
        menu.addAction(tr("Add mappable object (0x%1:%2)")
                           .arg(hex4(candidate.entry.index))
                           .arg(candidate.entry.sub),
                       this, [this, candidate] {
                           addMappableObject(candidate.entry.index, candidate.entry.sub,
                                             candidate.entry.length, candidate.name,
                                             candidate.dataType);
                       });
    }
    menu.exec(tblMappable->viewport()->mapToGlobal(pos));
}
