#pragma once

#include "baseobjectmask.h"

#include <QStringList>

class QPushButton;
class QTableWidget;

// A mask for a list object: one table row per entry (sub-index 1..n), buttons to add and
// delete entries. Subclasses say how an entry's number is shown in the columns and read
// back from them. The list is written as a whole after each action, entries renumbered
// without gaps.
class ArrayListMaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    ArrayListMaskForm(const QString &title, const QStringList &columns, const QString &addText,
                      const QString &deleteText, QWidget *parent = nullptr);

    QTableWidget *table() const { return tblList; }

public slots:
    void saveData() override;
    void updateData() override;
    void addEntry();
    void deleteEntry();

protected:
    virtual QStringList toCells(quint64 value) const = 0;
    // False when a cell holds no valid input.
    virtual bool fromCells(const QStringList &cells, quint64 &value) const = 0;
    virtual quint64 newEntryValue() const { return 0; }
    // The name of a new entry (%1 its sub-index).
    virtual QString entryNamePattern() const = 0;
    virtual QString formatValue(quint64 value) const;

private:
    bool storeValues(const QList<quint64> &values);
    QList<quint64> storedValues() const;
    void cellEdited(int row, int column);

    QTableWidget *tblList;
    QPushButton *btnAdd;
    QPushButton *btnDelete;
    bool filling = false;
};
