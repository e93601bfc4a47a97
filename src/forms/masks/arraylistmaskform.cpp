#include "arraylistmaskform.h"

#include "transform/maskstore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

ArrayListMaskForm::ArrayListMaskForm(const QString &title, const QStringList &columns,
                                     const QString &addText, const QString &deleteText,
                                     QWidget *parent)
    : BaseObjectMask(parent), tblList(new QTableWidget(0, columns.size(), this)),
      btnAdd(new QPushButton(addText, this)), btnDelete(new QPushButton(deleteText, this))
{
    setupFrame(title);
    tblList->setHorizontalHeaderLabels(columns);
    tblList->horizontalHeader()->setStretchLastSection(true);
    tblList->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDelete);
    buttons->addStretch();
    frameLayout()->addWidget(tblList);
    frameLayout()->addLayout(buttons);
    connect(btnAdd, &QPushButton::clicked, this, &ArrayListMaskForm::addEntry);
    connect(btnDelete, &QPushButton::clicked, this, &ArrayListMaskForm::deleteEntry);
    connect(tblList, &QTableWidget::cellChanged, this, &ArrayListMaskForm::cellEdited);
}

QString ArrayListMaskForm::formatValue(quint64 value) const
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QList<quint64> ArrayListMaskForm::storedValues() const
{
    QList<quint64> values;
    if (!database)
        return values;
    for (quint8 sub : database->getSubIndices(line, index, 1)) {
        const QString text = database->getSubIndexValue(line, index, sub).trimmed();
        bool ok = false;
        const quint64 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                  ? text.mid(2).toULongLong(&ok, 16)
                                  : text.toULongLong(&ok, 10);
        values.append(ok ? value : 0);
    }
    return values;
}

void ArrayListMaskForm::updateData()
{
    const QList<quint64> values = storedValues();
    filling = true;
    tblList->setRowCount(values.size());
    for (int row = 0; row < values.size(); ++row) {
        const QStringList cells = toCells(values.at(row));
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (!editable)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            tblList->setItem(row, column, item);
        }
    }
    filling = false;
    btnAdd->setEnabled(editable && values.size() < 254);
    btnDelete->setEnabled(editable && !values.isEmpty());
}

void ArrayListMaskForm::saveData()
{
    // Every edit is stored when it is made.
}

bool ArrayListMaskForm::storeValues(const QList<quint64> &values)
{
    if (!database || !editable)
        return false;
    ObjectDataBase::SUBINDEX_DATA_T pattern;
    if (!database->getSubIndexData(line, index, 1, pattern)) {
        ObjectDataBase::INDEX_DATA_T object;
        database->getIndexData(line, index, object);
        pattern.datatype = object.datatype;
        pattern.accesstype = QStringLiteral("rw");
    }
    QStringList texts;
    for (quint64 value : values)
        texts.append(formatValue(value));
    bool stored = false;
    {
        SavingScope scope(this, changeName());
        stored = MaskStore::inUnit(database, [&] {
            return MaskStore::writeList(database, line, index, texts, pattern, entryNamePattern());
        });
    }
    if (!stored)
        refuseInput(tr("The list could not be stored; it is as it was before."));
    updateData();
    return stored;
}

void ArrayListMaskForm::addEntry()
{
    QList<quint64> values = storedValues();
    values.append(newEntryValue());
    if (storeValues(values))
        tblList->selectRow(values.size() - 1);
}

void ArrayListMaskForm::deleteEntry()
{
    QList<quint64> values = storedValues();
    const int row = tblList->currentRow();
    if (row < 0 || row >= values.size())
        return;
    values.removeAt(row);
    storeValues(values);
}

void ArrayListMaskForm::cellEdited(int row, int)
{
    if (filling)
        return;
    QList<quint64> values = storedValues();
    if (row < 0 || row >= values.size())
        return;
    QStringList cells;
    for (int column = 0; column < tblList->columnCount(); ++column) {
        const QTableWidgetItem *item = tblList->item(row, column);
        cells.append(item ? item->text().trimmed() : QString());
    }
    quint64 value = 0;
    if (!fromCells(cells, value)) {
        refuseInput(tr("\"%1\" is no valid entry.").arg(cells.join(QLatin1String(", "))));
        updateData();
        return;
    }
    values[row] = value;
    storeValues(values);
}
