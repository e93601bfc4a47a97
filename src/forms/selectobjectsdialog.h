#pragma once

#include <QDialog>
#include <QList>
#include <QPair>

class QListWidget;

// Chooses objects from a list (index and name), each with a check box.
class SelectObjectsDialog : public QDialog
{
    Q_OBJECT

public:
    SelectObjectsDialog(const QString &title, const QList<QPair<quint16, QString>> &available,
                        QWidget *parent = nullptr);

    QList<quint16> selectedIndices() const;
    QListWidget *list() const { return objects; }

private:
    QListWidget *objects;
};
