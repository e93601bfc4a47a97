#pragma once

#include <QDialog>
#include <QList>

namespace Ui {
class SelectSubindexDialog;
}

class QComboBox;

// Chooses one of the free sub-index numbers of an object ("Add Sub at defined position").
class SelectSubindexDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SelectSubindexDialog(QWidget *parent = nullptr);
    ~SelectSubindexDialog() override;

    // Offers the numbers, in decimal and in the given order.
    void fillSubs(const QList<quint8> &subs);
    // The chosen number after OK; 0xFF after Cancel or when nothing could be chosen.
    quint8 getSubValue() const;
    QComboBox *subsBox() const;

private:
    Ui::SelectSubindexDialog *ui;
};
