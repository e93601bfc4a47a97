#pragma once

#include <QDialog>

namespace Ui {
class SettingsDialog;
}

// Edits the per-user preferences that hold for all projects (groups "General" and
// "EDSChecker" of the user's settings store). Every widget is loaded from the store when
// the dialog is built; OK writes every key, Cancel writes nothing. The dialog deletes
// itself when it closes.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // underNetworkTool: the tool runs for one node of the network tool, which owns the
    // project; the options that would let the tool replace or re-route that project
    // ("Open last project at start", "Save 'post generation' settings in project file")
    // are then disabled.
    SettingsDialog(QWidget *parent, bool underNetworkTool);
    ~SettingsDialog() override;

    // Address of the public download page of the standards body's EDS checker.
    static const char *const edsCheckerDownloadUrl;

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void on_btnPathSelect_clicked();
    void on_btnFileSelect_clicked();
    void on_btnDownload_clicked();

private:
    void loadSettings();
    void saveSettings() const;

    Ui::SettingsDialog *ui;
};
