#pragma once

#include "forms/basemainform.h"
#include "forms/settingcell.h"
#include "panelkit/stacktargets.h"

#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QPointer>

class QPlainTextEdit;
class QTableWidget;
class QTableWidgetItem;
struct StackSetting;

namespace Ui {
class GeneralSettingsForm2;
}

// The tool-box page "General Settings": the general settings of the project that configure
// the protocol stack (the table StackSettings), in tables by topic, and the hardware
// settings of one or more named targets.
//
// An edit is checked as soon as the user commits it and then written to the store; a value
// that fails its check is refused with the reason below the tables, and the editor shows
// the stored value again. The page reloads itself whenever the general settings change
// elsewhere. Rows whose setting only matters with another one switched on are disabled
// while that switch is off.
class GeneralSettingsForm2 : public BaseMainForm
{
    Q_OBJECT

public:
    // invokedByNetworkTool: the settings the network tool owns are shown read-only.
    GeneralSettingsForm2(bool invokedByNetworkTool, QWidget *parent = nullptr);
    ~GeneralSettingsForm2() override;

    // Whether the settings the network tool owns are read-only: while the tool runs under
    // its control, unless the user lifted that limit in the preferences.
    void setNetworkToolControl(bool controlled);

    void setProjectDatabase(ObjectDataBase *database) override;

    // The editor of a setting (for a per-target setting, of that target's tab); an editor
    // without table or widget when the page has none.
    SettingCell editorOf(const QString &key, int target = 0) const;
    // The line edit "Rename target" opens on a tab, while it is open.
    QLineEdit *renameEditor() const { return renameEdit; }
    QString message() const;
    const StackTargets &shownTargets() const { return targets; }

    // Copies the imported settings from the project file; reports on the page.
    bool importSettingsFrom(const QString &path);
    // The commands of the target tabs' context menu, for the target with that index.
    void addTarget();
    void removeTarget(int target);
    void startRenameTarget(int target);
    bool renameTarget(int target, const QString &name);
    void setActiveTarget(int target);
    void unsetActiveTarget();
    // Applies a target list (the target settings dialog's result).
    bool applyTargets(const StackTargets &edited);

public slots:
    void updateData(ObjectDataBase::ChangeSet change) override;
    void saveData() override;
    void handleExpertMode(bool on) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void on_btnResetChanges_clicked();
    void on_btnImportSettings_clicked();
    void on_btnTargetSettings_clicked();
    void handleAddTarget();
    void handleDelTarget();
    void handleRenameTarget();
    void handleEditingFinished();
    void handleSetTarget();
    void handleUnsetTarget();
    void showTargetMenu(const QPoint &pos);
    void handleItemChanged(QTableWidgetItem *item);

private:
    // building (generalsettingsform2.cpp)
    void buildTable(QTableWidget *table, const QList<const StackSetting *> &rows);
    void buildIndicationTable();
    void bindSwitches();
    void connectCell(const SettingCell &cell);
    // values
    void load();
    QString storedValue(const StackSetting &setting) const;
    void showLines(const SettingCell &cell);
    void commitCell(const SettingCell &cell);
    bool writeSetting(const SettingCell &cell, const QString &value);
    void refuse(const SettingCell &cell, const QString &problem);
    void showMirrors(const SettingCell &edited);
    void updateEnabledRows();
    bool isSwitchedOn(const QString &key, int enabledValue) const;
    void commitOpenEditors();
    void showMessage(const QString &text, bool problem);
    static QString networkToolReason();
    static bool networkToolLimitLifted();
    void takeSnapshot();
    // targets (generalsettingsform2_targets.cpp)
    void rebuildTargetTabs();
    QWidget *buildTargetTab(int target);
    void updateTargetTitles();
    bool saveTargets(const StackTargets &edited);
    void commitTargetCell(const SettingCell &cell, const QString &value);
    int menuTargetIndex() const;
    void closeRenameEditor();

    Ui::GeneralSettingsForm2 *ui;
    const bool invokedByNetworkTool;
    // Whether the settings of the network tool are read-only now.
    bool networkTool = false;
    QList<SettingCell> cells;
    QList<SettingCell> targetCells;
    StackTargets targets;
    // The general settings when the page was last shown; "Reset Changes" returns to them.
    QMap<QString, QString> snapshot;
    bool loading = false;
    bool writing = false;
    int menuTarget = -1;
    QPointer<QLineEdit> renameEdit;
    int renamedTarget = -1;
};
