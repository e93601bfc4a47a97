#pragma once

#include "formprompts.h"

#include <QDialog>

namespace Ui {
class AddObjectDialog;
}

// Describes a new object: index, name, object type, data type and, for an ARRAY or
// RECORD, the number of entries. OK checks the index and the name and says what is wrong
// instead of closing.
class AddObjectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AddObjectDialog(QWidget *parent = nullptr);
    ~AddObjectDialog() override;

    void setRequest(const FormPrompts::NewObject &request);
    FormPrompts::NewObject request() const;
    QString errorText() const;

public slots:
    void accept() override;

private slots:
    void objectTypeChanged();

private:
    Ui::AddObjectDialog *ui;
    FormPrompts::NewObject accepted;
};
