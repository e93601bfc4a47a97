#pragma once

#include "baseobjectmask.h"

#include "transform/pdomappingtable.h"

class QLabel;
class QPushButton;
class QTableWidget;

// The mask of a PDO (or SRDO) mapping object: the mapped entries in their order and the
// objects that may be mapped. Every change of the list is written at once as a whole
// (PdoMappingTable::store); an addition the PDO has no room for is refused with a warning
// and changes nothing.
class PdoMappingMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    using PDO_Type = PdoMappingTable::PdoType;

    explicit PdoMappingMaskForm(PDO_Type type, QWidget *parent = nullptr);

    PDO_Type pdoType() const { return mapping.type(); }
    bool isMpdoMode() const { return mapping.isMpdo(); }
    QTableWidget *mappedTable() const { return tblMapped; }
    QTableWidget *mappableTable() const { return tblMappable; }

public slots:
    void saveData() override;
    void updateData() override;
    void fillMappableTable();
    void fillMappedTable();
    // Adds the selected rows of the mappable table, in their order.
    void addMappableObject();
    void addMappableObject(quint16 objectIndex, quint8 subIndex, quint8 length, const QString &name,
                           quint16 datatype);
    void deleteMappedObject();
    void upMappedObject();
    void downMappedObject();
    void reverseMappedObjects();
    void shuffleMappedObjects();
    void displayMappedContextMenu(const QPoint &pos);
    void displayMappableContextMenu(const QPoint &pos);

protected:
    QString changeName() const override;

private:
    // The one write of every action: the new list of entries.
    bool applyEntries(const QList<MappingEntry> &entries);
    bool addEntries(const QList<MappingEntry> &added);
    QList<int> selectedRows(QTableWidget *table) const;
    void moveMapped(int delta);
    void reorderSelected(bool shuffle);
    void fillRow(QTableWidget *table, int row, const MappingEntry &entry, const QString &name);
    void updateSummary();
    void applyEnabledStates();

    PdoMappingTable mapping;
    QList<PdoMappingTable::Candidate> candidates;
    QLabel *lblSummary;
    QTableWidget *tblMapped;
    QTableWidget *tblMappable;
    QPushButton *btnAdd;
    QPushButton *btnRemove;
    QPushButton *btnUp;
    QPushButton *btnDown;
};
