#include "metadataeditor.h"

#include "formprompts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

MetaDataEditor::MetaDataEditor(QWidget *parent)
    : QWidget(parent), tblEntries(new QTableWidget(0, 2, this)), cbKey(new QComboBox(this)),
      leValue(new QLineEdit(this)), btnAdd(new QPushButton(tr("Add"), this)),
      btnRemove(new QPushButton(tr("Remove"), this)),
      btnCopy(new QPushButton(tr("Copy entry"), this)),
      btnPaste(new QPushButton(tr("Paste entry"), this))
{
    tblEntries->setObjectName(QStringLiteral("tblMetaData"));
    tblEntries->setHorizontalHeaderLabels({tr("Key"), tr("Value")});
    tblEntries->horizontalHeader()->setStretchLastSection(true);
    tblEntries->verticalHeader()->hide();
    tblEntries->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblEntries->setSelectionMode(QAbstractItemView::SingleSelection);
    cbKey->setEditable(true);
    cbKey->setObjectName(QStringLiteral("cbMetaKey"));
    cbKey->setMinimumWidth(160);
    cbKey->lineEdit()->setPlaceholderText(tr("Key"));
    leValue->setObjectName(QStringLiteral("leMetaValue"));
    leValue->setPlaceholderText(tr("Value"));

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(cbKey);
    addRow->addWidget(leValue, 1);
    addRow->addWidget(btnAdd);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnRemove);
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnPaste);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tblEntries, 1);
    layout->addLayout(addRow);
    layout->addLayout(buttons);

    connect(btnAdd, &QPushButton::clicked, this, &MetaDataEditor::addEntry);
    connect(leValue, &QLineEdit::returnPressed, this, &MetaDataEditor::addEntry);
    connect(btnRemove, &QPushButton::clicked, this, &MetaDataEditor::removeEntry);
    connect(btnCopy, &QPushButton::clicked, this, &MetaDataEditor::copyEntry);
    connect(btnPaste, &QPushButton::clicked, this, &MetaDataEditor::pasteEntry);
    connect(tblEntries, &QTableWidget::cellChanged, this, &MetaDataEditor::entryEdited);
}

void MetaDataEditor::setDatabase(ObjectDataBase *newDatabase)
{
    database = newDatabase;
}

void MetaDataEditor::setMetaData(const ObjectDataBase::MetaData &data)
{
    entries = data;
    showEntries();
}

ObjectDataBase::MetaData MetaDataEditor::metaData() const
{
    return entries;
}

void MetaDataEditor::setKnownKeys(const QList<ObjectDataBase::MetaData> &maps)
{
    QStringList keys;
    for (const ObjectDataBase::MetaData &map : maps)
        keys += map.keys();
    keys.removeDuplicates();
    keys.sort();
    const QString typed = cbKey->currentText();
    cbKey->clear();
    cbKey->addItems(keys);
    cbKey->setEditText(typed);
}

void MetaDataEditor::setEditable(bool on)
{
    for (QWidget *widget : {static_cast<QWidget *>(cbKey), static_cast<QWidget *>(leValue),
                            static_cast<QWidget *>(btnAdd), static_cast<QWidget *>(btnRemove),
                            static_cast<QWidget *>(btnPaste)})
        widget->setEnabled(on);
    tblEntries->setEditTriggers(on ? QAbstractItemView::DoubleClicked
                                         | QAbstractItemView::EditKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
}

void MetaDataEditor::showEntries()
{
    const QSignalBlocker blocker(tblEntries);
    tblEntries->setRowCount(0);
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        const int row = tblEntries->rowCount();
        tblEntries->insertRow(row);
        auto *key = new QTableWidgetItem(it.key());
        key->setData(Qt::UserRole, it.key());
        tblEntries->setItem(row, 0, key);
        tblEntries->setItem(row, 1, new QTableWidgetItem(it.value()));
    }
}

bool MetaDataEditor::refuseKey(const QString &key, const QString &except)
{
    if (key.trimmed().isEmpty()) {
        FormPrompts::current().refuse(this, tr("A meta data entry needs a key."));
        return true;
    }
    if (key != except && entries.contains(key)) {
        FormPrompts::current().refuse(this, tr("The key \"%1\" is already used.").arg(key));
        return true;
    }
    return false;
}

bool MetaDataEditor::addEntry()
{
    const QString key = cbKey->currentText().trimmed();
    if (refuseKey(key, QString()))
        return false;
    entries.insert(key, leValue->text());
    cbKey->setEditText(QString());
    leValue->clear();
    showEntries();
    emit metaDataChanged();
    return true;
}

void MetaDataEditor::removeEntry()
{
    const int row = tblEntries->currentRow();
    if (row < 0)
        return;
    entries.remove(tblEntries->item(row, 0)->data(Qt::UserRole).toString());
    showEntries();
    emit metaDataChanged();
}

void MetaDataEditor::copyEntry()
{
    const int row = tblEntries->currentRow();
    if (row < 0 || !database)
        return;
    database->saveTempMetadata(tblEntries->item(row, 0)->text(), tblEntries->item(row, 1)->text());
}

void MetaDataEditor::pasteEntry()
{
    if (!database)
        return;
    const QPair<QString, QString> entry = database->getTempMetadata();
    if (entry.first.isEmpty()) {
        FormPrompts::current().refuse(this, tr("No meta data entry has been copied."));
        return;
    }
    entries.insert(entry.first, entry.second);
    showEntries();
    emit metaDataChanged();
}

// The table is changed in place: it is being edited while this runs.
void MetaDataEditor::entryEdited(int row, int column)
{
    QTableWidgetItem *keyItem = tblEntries->item(row, 0);
    QTableWidgetItem *valueItem = tblEntries->item(row, 1);
    if (!keyItem || !valueItem)
        return;
    const QSignalBlocker blocker(tblEntries);
    const QString oldKey = keyItem->data(Qt::UserRole).toString();
    if (column == 0) {
        const QString newKey = keyItem->text().trimmed();
        if (refuseKey(newKey, oldKey)) {
            keyItem->setText(oldKey);
            return;
        }
        entries.remove(oldKey);
        keyItem->setText(newKey);
        keyItem->setData(Qt::UserRole, newKey);
        entries.insert(newKey, valueItem->text());
    } else {
        entries.insert(oldKey, valueItem->text());
    }
    emit metaDataChanged();
}
