#pragma once

#include "forms/settingcell.h"
#include "panelkit/stacktargets.h"

#include <QDialog>
#include <QList>

class QTableWidgetItem;

namespace Ui {
class TargetSettingsDialog;
}

// All hardware targets side by side: one row per target with its name, hardware settings
// and whether it is the active one. Targets can be added, removed and reordered (the
// hardware defines of each target move with it). OK checks the whole list and stays open
// with the reason shown when it fails the check.
class TargetSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TargetSettingsDialog(const StackTargets &targets, QWidget *parent = nullptr);
    ~TargetSettingsDialog() override;

    // The list as edited.
    StackTargets targets() const;
    QString message() const;

public slots:
    void accept() override;

private slots:
    void on_btnAdd_clicked();
    void on_btnRemove_clicked();
    void on_btnUp_clicked();
    void on_btnDown_clicked();
    void handleItemChanged(QTableWidgetItem *item);

private:
    void fillTable();
    void fitToTable();
    void move(int from, int to);
    int currentRow() const;

    Ui::TargetSettingsDialog *ui;
    StackTargets edited;
    QList<SettingCell> cells;
    // Column of the name and of the active mark; the settings lie between them.
    int activeColumn = 0;
};
