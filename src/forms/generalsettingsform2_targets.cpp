// The hardware targets of the stack settings page: one tab per target with its hardware
// table and defines, the tab bar's context menu, renaming on the tab and the target
// settings dialog.
#include "forms/generalsettingsform2.h"
#include "ui_generalsettingsform2.h"

#include "database/undostep.h"
#include "forms/targetsettingsdialog.h"
#include "panelkit/stacksettings.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

void GeneralSettingsForm2::rebuildTargetTabs()
{
    closeRenameEditor();
    const int current = ui->tabTargets->currentIndex();
    const QScopedValueRollback<bool> guard(loading, true);
    targetCells.clear();
    while (ui->tabTargets->count() > 0) {
        QWidget *tab = ui->tabTargets->widget(0);
        ui->tabTargets->removeTab(0);
        delete tab;
    }
    for (int target = 0; target < targets.targets.size(); ++target)
        ui->tabTargets->addTab(buildTargetTab(target), QString());
    updateTargetTitles();
    ui->tabTargets->setCurrentIndex(qBound(0, current, ui->tabTargets->count() - 1));
}

// The hardware table of one target and its hardware defines.
QWidget *GeneralSettingsForm2::buildTargetTab(int target)
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    auto *table = new QTableWidget(tab);
    table->setObjectName(QStringLiteral("tblHardware"));
    table->setColumnCount(1);
    table->setHorizontalHeaderLabels({tr("Value")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table);
    const StackTarget &shown = targets.targets.at(target);
    for (const StackSetting *setting : StackTargets::settings()) {
        SettingCell cell;
        if (setting->format == StackSetting::Format::Code) {
            layout->addWidget(new QLabel(setting->displayLabel(), tab));
            auto *edit = new QPlainTextEdit(tab);
            edit->setObjectName(QStringLiteral("teHwDefines"));
            layout->addWidget(edit);
            cell = SettingCell::forWidget(setting, edit, target);
        } else {
            const int row = table->rowCount();
            table->insertRow(row);
            auto *header = new QTableWidgetItem(setting->displayLabel());
            header->setToolTip(setting->displayToolTip());
            table->setVerticalHeaderItem(row, header);
            cell = SettingCell::create(setting, table, row, 0, target);
        }
        cell.show(shown.values.value(QLatin1String(setting->key)));
        targetCells.append(cell);
        connectCell(cell);
    }
    // The table is as high as its rows; the defines take the rest of the tab.
    table->resizeRowsToContents();
    table->setFixedHeight(table->verticalHeader()->length()
                          + table->horizontalHeader()->sizeHint().height()
                          + 2 * table->frameWidth());
    connect(table, &QTableWidget::itemChanged, this, &GeneralSettingsForm2::handleItemChanged);
    return tab;
}

void GeneralSettingsForm2::updateTargetTitles()
{
    for (int target = 0; target < ui->tabTargets->count(); ++target) {
        const QString name = targets.targets.value(target).name;
        ui->tabTargets->setTabText(target,
                                   target == targets.active ? tr("%1 - active").arg(name) : name);
        ui->tabTargets->setTabToolTip(target, tr("Target define: %1").arg(targets.define(target)));
    }
}

// Checks the whole list (target defines must stay unique) and writes it.
bool GeneralSettingsForm2::saveTargets(const StackTargets &edited)
{
    const QString problem = edited.validate();
    if (!problem.isEmpty()) {
        showMessage(problem, true);
        return false;
    }
    bool saved = false;
    {
        const QScopedValueRollback<bool> guard(writing, true);
        saved = database && edited.save(database);
    }
    if (!saved) {
        showMessage(tr("The targets could not be written into the project."), true);
        return false;
    }
    targets = edited;
    showMessage(QString(), false);
    return true;
}

void GeneralSettingsForm2::commitTargetCell(const SettingCell &cell, const QString &value)
{
    const QString key = QLatin1String(cell.setting->key);
    if (value
        == SettingCell::shown(*cell.setting, targets.targets.value(cell.target).values.value(key)))
        return;
    const QString problem = StackSettings::validate(*cell.setting, value);
    if (!problem.isEmpty()) {
        refuse(cell, problem);
        return;
    }
    StackTargets edited = targets;
    edited.targets[cell.target].values[key] = value;
    UndoStep step(database, tr("Change target settings"));
    if (!saveTargets(edited)) {
        const QString shown = message();
        refuse(cell, shown);
        return;
    }
    updateTargetTitles();
}

bool GeneralSettingsForm2::applyTargets(const StackTargets &edited)
{
    if (edited == targets)
        return true;
    const bool saved = saveTargets(edited);
    rebuildTargetTabs();
    return saved;
}

void GeneralSettingsForm2::addTarget()
{
    StackTargets edited = targets;
    edited.add();
    UndoStep step(database, tr("Add target"));
    if (applyTargets(edited))
        ui->tabTargets->setCurrentIndex(edited.targets.size() - 1);
}

void GeneralSettingsForm2::removeTarget(int target)
{
    StackTargets edited = targets;
    UndoStep step(database, tr("Remove target %1").arg(targets.targets.value(target).name));
    if (edited.remove(target))
        applyTargets(edited);
}

bool GeneralSettingsForm2::renameTarget(int target, const QString &name)
{
    if (target < 0 || target >= targets.targets.size())
        return false;
    StackTargets edited = targets;
    edited.targets[target].name = name.trimmed();
    if (edited == targets)
        return true;
    UndoStep step(database, tr("Rename target %1").arg(targets.targets.at(target).name));
    if (!saveTargets(edited))
        return false;
    updateTargetTitles();
    return true;
}

void GeneralSettingsForm2::setActiveTarget(int target)
{
    StackTargets edited = targets;
    edited.active = target;
    UndoStep step(database, target < 0 ? tr("Unset active target") : tr("Set active target"));
    if (edited != targets && saveTargets(edited))
        updateTargetTitles();
}

void GeneralSettingsForm2::unsetActiveTarget()
{
    setActiveTarget(-1);
}

// Renaming happens in place: a line edit over the tab, applied when editing finishes and
// dropped with Escape.
void GeneralSettingsForm2::startRenameTarget(int target)
{
    closeRenameEditor();
    QTabBar *bar = ui->tabTargets->tabBar();
    if (target < 0 || target >= bar->count())
        return;
    renamedTarget = target;
    renameEdit = new QLineEdit(targets.targets.at(target).name, bar);
    renameEdit->setGeometry(bar->tabRect(target));
    renameEdit->selectAll();
    renameEdit->installEventFilter(this);
    connect(renameEdit, &QLineEdit::editingFinished, this,
            &GeneralSettingsForm2::handleEditingFinished);
    renameEdit->show();
    renameEdit->setFocus();
}

void GeneralSettingsForm2::handleEditingFinished()
{
    if (!renameEdit)
        return;
    const QString name = renameEdit->text();
    const int target = renamedTarget;
    closeRenameEditor();
    renameTarget(target, name);
}

void GeneralSettingsForm2::closeRenameEditor()
{
    if (!renameEdit)
        return;
    QLineEdit *edit = renameEdit;
    renameEdit = nullptr;
    renamedTarget = -1;
    edit->disconnect(this);
    edit->hide();
    edit->deleteLater();
}

int GeneralSettingsForm2::menuTargetIndex() const
{
    return menuTarget >= 0 ? menuTarget : ui->tabTargets->currentIndex();
}

void GeneralSettingsForm2::showTargetMenu(const QPoint &pos)
{
    QTabBar *bar = ui->tabTargets->tabBar();
    menuTarget = bar->tabAt(pos);
    QMenu menu(this);
    menu.addAction(tr("Add new target"), this, &GeneralSettingsForm2::handleAddTarget);
    const bool onTab = menuTarget >= 0;
    menu.addAction(tr("Remove target"), this, &GeneralSettingsForm2::handleDelTarget)
        ->setEnabled(onTab && targets.targets.size() > 1);
    menu.addAction(tr("Rename target"), this, &GeneralSettingsForm2::handleRenameTarget)
        ->setEnabled(onTab);
    menu.addAction(tr("Set as active target"), this, &GeneralSettingsForm2::handleSetTarget)
        ->setEnabled(onTab && menuTarget != targets.active);
    menu.addAction(tr("Unset active target"), this, &GeneralSettingsForm2::handleUnsetTarget)
        ->setEnabled(targets.active >= 0);
    menu.exec(bar->mapToGlobal(pos));
    menuTarget = -1;
}

void GeneralSettingsForm2::handleAddTarget()
{
    addTarget();
}

void GeneralSettingsForm2::handleDelTarget()
{
    removeTarget(menuTargetIndex());
}

void GeneralSettingsForm2::handleRenameTarget()
{
    startRenameTarget(menuTargetIndex());
}

void GeneralSettingsForm2::handleSetTarget()
{
    setActiveTarget(menuTargetIndex());
}

void GeneralSettingsForm2::handleUnsetTarget()
{
    unsetActiveTarget();
}

void GeneralSettingsForm2::on_btnTargetSettings_clicked()
{
    closeRenameEditor();
    commitOpenEditors();
    TargetSettingsDialog dialog(targets, this);
    if (dialog.exec() == QDialog::Accepted) {
        UndoStep step(database, tr("Change target settings"));
        applyTargets(dialog.targets());
    }
}
