#pragma once

#include <QDialog>

class ObjectDataBase;

namespace Ui {
class DeveloperConsoleDialog;
}

// Runs single SQL statements on the open project's working file and shows their result
// rows or the driver's error. Meant for support and development: changes made here
// bypass the editors and their checks.
class DeveloperConsoleDialog : public QDialog
{
    Q_OBJECT

public:
    DeveloperConsoleDialog(ObjectDataBase *database, QWidget *parent = nullptr);
    ~DeveloperConsoleDialog() override;

    // Runs sql and shows its result; returns whether it succeeded.
    bool execute(const QString &sql);
    QString resultText() const;

private slots:
    void on_btnExecute_clicked();

private:
    Ui::DeveloperConsoleDialog *ui;
    ObjectDataBase *m_database;
};
