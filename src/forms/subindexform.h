#pragma once

#include "basetreeform.h"

#include "transform/entryfield.h"

namespace Ui {
class SubIndexForm;
}

class MetaDataEditor;
class QComboBox;
class QTableWidget;
class QTableWidgetItem;

// Editor of one sub-index: a table with one row per attribute (text cells and lists), a
// description and the meta data. Every accepted input is written to the store at once
// (with the PDO mapping entries following a new data type and a shared entry copied to
// the other lines); "Reset Changes" restores the entry as it was when it was opened.
class SubIndexForm : public BaseTreeForm
{
    Q_OBJECT

public:
    explicit SubIndexForm(QWidget *parent = nullptr);
    ~SubIndexForm() override;

    void setMember(quint8 line, quint16 index, quint8 subIndex, ObjectDataBase *database,
                   bool editable, bool editorMode);
    quint8 currentSubIndex() const { return subIndex; }

    // Entries the protocol stack keeps itself; shown read-only.
    static bool isStackObject(quint16 index, quint8 subIndex);
    // The table row of a field, -1 when the table has none.
    int rowOf(EntryField::Field field) const;
    QTableWidget *attributes() const;
    // The list of a list row, nullptr for a text row.
    QComboBox *comboOf(EntryField::Field field) const;
    MetaDataEditor *metaDataEditor() const { return metaEditor; }

public slots:
    void saveData() override;
    void updateData() override;
    void dataTypeChanged(int entry);
    void limitCheckChanged(int entry);
    void implementationChanged(int entry);
    void on_tblAttributes_itemChanged(QTableWidgetItem *item);
    void convertHexDec();
    void adjustSize();
    void setNonVolatile();
    void on_btnResetChanges_clicked();

private slots:
    void on_tblAttributes_customContextMenuRequested(const QPoint &pos);
    void choiceChanged(int entry);

private:
    void buildTable();
    void fillTable();
    void applyEnabledStates();
    bool applyAndStore(EntryField::Field field, const QString &text);
    void setRowEditable(EntryField::Field field, bool on);
    bool accessTypeFixed() const;

    Ui::SubIndexForm *ui;
    MetaDataEditor *metaEditor;
    quint8 subIndex = 0;
    quint8 objectType = 7;
    ObjectDataBase::SUBINDEX_DATA_T loaded;
    ObjectDataBase::SUBINDEX_DATA_T opened;
    bool exists = false;
    bool snapshotTaken = false;
    QList<EntryField::Field> fieldRows;
};
