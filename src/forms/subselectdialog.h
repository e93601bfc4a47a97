#pragma once

#include <QDialog>
#include <QPointer>

#include "database/objectdatabase.h"

namespace Ui {
class SubSelectDialog;
}

class QComboBox;
class QLabel;

// Chooses where a sub-index moves ("Move sub index to ..."): a line of the project, an
// ARRAY or RECORD of that line between 0x2000 and 0xBFFF (arrays only when their data
// type is the moved entry's), and an existing or free sub-index of it.
class SubSelectDialog : public QDialog
{
    Q_OBJECT

public:
    SubSelectDialog(ObjectDataBase *database, quint16 index, QWidget *parent = nullptr);
    ~SubSelectDialog() override;

    // The moved entry (in the index given to the constructor); fills the lists.
    void setSource(quint8 line, quint8 sub);
    bool hasSelection() const;
    quint8 getLine() const;
    quint16 getIndex() const;
    quint8 getSub() const;

    QComboBox *lineBox() const;
    QComboBox *indexBox() const;
    QComboBox *subBox() const;
    QLabel *hintLabel() const;

private slots:
    void fillIndices(int lineEntry);
    void fillSubs(int indexEntry);
    void updateHint(int subEntry);

private:
    Ui::SubSelectDialog *ui;
    QPointer<ObjectDataBase> database;
    quint16 sourceIndex;
    quint16 sourceType = 0;
};
