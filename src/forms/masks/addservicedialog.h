#pragma once

#include <QDialog>

class BaseObjectMask;
class ObjectDataBase;
class QComboBox;
class QStackedWidget;

// "Add Communication Service": the list of services and, below it, the mask of the chosen
// one. OK adds the service to the line; the dialog stays open when that failed.
class AddServiceDialog : public QDialog
{
    Q_OBJECT

public:
    AddServiceDialog(ObjectDataBase *database, quint8 line, QWidget *parent = nullptr);

    // The first object of the service that was added (0 before).
    quint16 createdIndex() const { return created; }

public slots:
    void accept() override;

private:
    void showService(int entry);

    ObjectDataBase *database;
    quint8 line;
    QComboBox *cbService;
    QStackedWidget *stack;
    BaseObjectMask *mask = nullptr;
    quint16 created = 0;
};
