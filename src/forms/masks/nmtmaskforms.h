#pragma once

#include "baseobjectmask.h"

#include <QList>

class QCheckBox;
class QPushButton;
class QTableWidget;

// 0x1F80, NMT start-up: one check box per bit of the start-up behaviour.
class NMT_1F80_MaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit NMT_1F80_MaskForm(QWidget *parent = nullptr);

    QList<QCheckBox *> bitBoxes() const { return boxes; }

public slots:
    void saveData() override;
    void updateData() override;

private:
    QList<QCheckBox *> boxes;
};

// 0x1F81, NMT slave assignment: sub-index n describes node n; the table lists the nodes
// and their assignment words.
class NMT_1F81_MaskForm : public BaseObjectMask
{
    Q_OBJECT

public:
    explicit NMT_1F81_MaskForm(QWidget *parent = nullptr);

public slots:
    void saveData() override;
    void updateData() override;
    void addNode();
    void deleteNode();

private:
    void cellEdited(int row, int column);

    QTableWidget *tableWidget;
    QPushButton *btnAdd;
    QPushButton *btnDelete;
    bool filling = false;
};
