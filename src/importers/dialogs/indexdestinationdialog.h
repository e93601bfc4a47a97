#pragma once

#include <QDialog>

namespace Ui {
class IndexDestinationDialog;
}

// Asks where a copied object is pasted: its name and the destination index. OK is
// offered only while the index field holds an index (0 to 0xFFFF, C prefixes).
class IndexDestinationDialog : public QDialog
{
    Q_OBJECT

public:
    IndexDestinationDialog(const QString &name, quint16 index, QWidget *parent = nullptr);
    ~IndexDestinationDialog() override;

    // The index and name confirmed with OK; the values given at construction before.
    quint16 getIndex() const { return index; }
    QString getName() const { return name; }

public slots:
    void accept() override;

private:
    bool readIndex(quint16 &value) const;
    void updateOkButton();

    Ui::IndexDestinationDialog *ui;
    QString name;
    quint16 index;
};
