#include "forms/generalsettingsform2.h"
#include "ui_generalsettingsform2.h"

#include "database/undolog.h"
#include "database/undostep.h"
#include "panelkit/linetype.h"
#include "panelkit/preferences.h"
#include "panelkit/stacksettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSettings>

namespace {

using Section = StackSetting::Section;

// The rows of a table: its section, and in the common table the row of the lines.
QList<const StackSetting *> tableRows(Section section)
{
    QList<const StackSetting *> rows;
    for (const StackSetting &setting : StackSettings::all()) {
        if (setting.section == section
            || (section == Section::Common && setting.section == Section::Lines))
            rows.append(&setting);
    }
    return rows;
}

const StackSetting *switchSetting(const char *key)
{
    return StackSettings::find(QLatin1String(key));
}

void setUpTable(QTableWidget *table)
{
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed);
}

} // namespace

GeneralSettingsForm2::GeneralSettingsForm2(bool invokedByNetworkTool, QWidget *parent)
    : BaseMainForm(parent), ui(new Ui::GeneralSettingsForm2),
      invokedByNetworkTool(invokedByNetworkTool),
      networkTool(invokedByNetworkTool && !networkToolLimitLifted())
{
    ui->setupUi(this);
    ui->tblCommon->setColumnCount(1);
    buildTable(ui->tblCommon, tableRows(Section::Common));
    buildTable(ui->tblQueue, tableRows(Section::Queue));
    buildTable(ui->tblOptional, tableRows(Section::Optional));
    buildIndicationTable();
    buildTable(ui->tblGeneration, tableRows(Section::Generation));
    buildTable(ui->tblUSDO, tableRows(Section::Usdo));
    bindSwitches();
    ui->tabTargets->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tabTargets->tabBar(), &QWidget::customContextMenuRequested, this,
            &GeneralSettingsForm2::showTargetMenu);
    showMessage(QString(), false);
    load();
}

GeneralSettingsForm2::~GeneralSettingsForm2()
{
    delete ui;
}

void GeneralSettingsForm2::buildTable(QTableWidget *table, const QList<const StackSetting *> &rows)
{
    setUpTable(table);
    table->setColumnCount(1);
    table->setHorizontalHeaderLabels({tr("Value")});
    for (const StackSetting *setting : rows) {
        if (setting->key == QLatin1String("usdo_client_cnt")) {
            // A blank row parts the server's limits from the client's.
            const int blank = table->rowCount();
            table->insertRow(blank);
            table->setVerticalHeaderItem(blank, new QTableWidgetItem(QString()));
            SettingCell::addBlank(table, blank, 0);
        }
        const int row = table->rowCount();
        table->insertRow(row);
        auto *header = new QTableWidgetItem(setting->displayLabel());
        header->setToolTip(setting->displayToolTip());
        table->setVerticalHeaderItem(row, header);
        const SettingCell cell = SettingCell::create(setting, table, row, 0);
        cells.append(cell);
        connectCell(cell);
    }
    connect(table, &QTableWidget::itemChanged, this, &GeneralSettingsForm2::handleItemChanged);
}

// One row per event; the count and the function name of an event share its row.
void GeneralSettingsForm2::buildIndicationTable()
{
    QTableWidget *table = ui->tblIndications;
    setUpTable(table);
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({tr("No of dynamic functions"), tr("Static function name")});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    QMap<QString, int> rowOfEvent;
    for (const StackSetting *setting : tableRows(Section::Indications)) {
        const QString event = setting->displayLabel();
        if (!rowOfEvent.contains(event)) {
            const int row = table->rowCount();
            table->insertRow(row);
            table->setVerticalHeaderItem(row, new QTableWidgetItem(event));
            SettingCell::addBlank(table, row, 0);
            SettingCell::addBlank(table, row, 1);
            rowOfEvent.insert(event, row);
        }
        const int column = QLatin1String(setting->choices) == QLatin1String("0") ? 0 : 1;
        const SettingCell cell =
            SettingCell::create(setting, table, rowOfEvent.value(event), column);
        cells.append(cell);
        connectCell(cell);
    }
    connect(table, &QTableWidget::itemChanged, this, &GeneralSettingsForm2::handleItemChanged);
}

void GeneralSettingsForm2::bindSwitches()
{
    const QList<QPair<const char *, QWidget *>> switches = {
        {"enable_dynamic", ui->cbDynamicIndication},
        {"all_targets", ui->cbAllTargets},
        {"user_defines", ui->teUserDefines}};
    for (const auto &binding : switches) {
        const SettingCell cell =
            SettingCell::forWidget(switchSetting(binding.first), binding.second);
        cells.append(cell);
        connectCell(cell);
    }
}

void GeneralSettingsForm2::connectCell(const SettingCell &cell)
{
    if (auto *combo = qobject_cast<QComboBox *>(cell.widget)) {
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, cell] { commitCell(cell); });
    } else if (auto *box = qobject_cast<QCheckBox *>(cell.widget)) {
        connect(box, &QCheckBox::toggled, this, [this, cell] { commitCell(cell); });
    } else if (cell.widget) {
        // Text fields are written when they lose the focus and when the page is saved.
        cell.widget->installEventFilter(this);
    }
    if (networkTool && cell.setting->hasFlag(StackSetting::NetworkTool))
        cell.setReadOnly(true, networkToolReason());
}

// The user's preference "Ignore CBW limitations" lifts the read-only state.
bool GeneralSettingsForm2::networkToolLimitLifted()
{
    return Preferences::read(QSettings()).ignoreCbw;
}

QString GeneralSettingsForm2::networkToolReason()
{
    return tr("Set by CANopen Buswright.");
}

void GeneralSettingsForm2::setNetworkToolControl(bool controlled)
{
    networkTool = controlled;
    for (const SettingCell &cell : qAsConst(cells)) {
        if (cell.setting->hasFlag(StackSetting::NetworkTool))
            cell.setReadOnly(controlled, networkToolReason());
    }
}

void GeneralSettingsForm2::setProjectDatabase(ObjectDataBase *newDatabase)
{
    BaseMainForm::setProjectDatabase(newDatabase);
    load();
    takeSnapshot();
}

void GeneralSettingsForm2::updateData(ObjectDataBase::ChangeSet change)
{
    switch (change.kind) {
    case ObjectDataBase::ChangeSet::GeneralSettingsChanged:
        if (writing)
            return;
        commitOpenEditors();
        load();
        break;
    case ObjectDataBase::ChangeSet::ProjectReloaded:
        closeRenameEditor();
        load();
        // A project opened or created starts without history; after an undo or redo "Reset
        // Changes" still returns to the settings the page showed when it was opened.
        if (!database || !(database->undoLog()->canUndo() || database->undoLog()->canRedo()))
            takeSnapshot();
        break;
    case ObjectDataBase::ChangeSet::NodeChanged:
    case ObjectDataBase::ChangeSet::NodeDeleted:
        for (const SettingCell &cell : qAsConst(cells)) {
            if (cell.setting->section == Section::Lines)
                showLines(cell);
        }
        break;
    default:
        break;
    }
}

QString GeneralSettingsForm2::storedValue(const StackSetting &setting) const
{
    if (!database)
        return QLatin1String(setting.defaultText);
    const QString key = QLatin1String(setting.key);
    if (database->existGeneralSettingsValue(key))
        return database->getGeneralSettingsValue(key);
    return QLatin1String(setting.absentText);
}

void GeneralSettingsForm2::load()
{
    {
        const QScopedValueRollback<bool> guard(loading, true);
        for (const SettingCell &cell : qAsConst(cells)) {
            if (cell.setting->section == Section::Lines)
                showLines(cell);
            else
                cell.show(storedValue(*cell.setting));
        }
        targets = database ? StackTargets::load(database) : StackTargets();
        if (!database)
            targets.add();
    }
    rebuildTargetTabs();
    updateEnabledRows();
}

void GeneralSettingsForm2::showLines(const SettingCell &cell)
{
    QStringList lines;
    if (database) {
        for (quint8 line : database->getNodes()) {
            if (!LineTypes::isProjectLine(line))
                continue;
            lines << tr("%1: %2").arg(QString::number(line),
                                      LineTypes::name(LineTypes::lineType(database, line)));
        }
    }
    const QSignalBlocker blocker(cell.table);
    cell.item()->setText(lines.join(QStringLiteral(", ")));
}

void GeneralSettingsForm2::handleItemChanged(QTableWidgetItem *item)
{
    if (loading)
        return;
    for (const SettingCell &cell : cells + targetCells) {
        if (cell.holds(item) && !cell.widget) {
            commitCell(cell);
            return;
        }
    }
}

// A committed edit: checked, then written; refused edits show the stored value again.
void GeneralSettingsForm2::commitCell(const SettingCell &cell)
{
    if (loading || !cell.setting)
        return;
    const QString value = StackSettings::normalized(*cell.setting, cell.value());
    if (cell.target >= 0) {
        commitTargetCell(cell, value);
        return;
    }
    if (value == SettingCell::shown(*cell.setting, storedValue(*cell.setting)))
        return;
    const QString problem = StackSettings::validate(*cell.setting, value);
    if (!problem.isEmpty()) {
        refuse(cell, problem);
        return;
    }
    if (!writeSetting(cell, value)) {
        refuse(cell, tr("%1: the project refused the value.").arg(cell.setting->displayLabel()));
        return;
    }
    showMessage(QString(), false);
    showMirrors(cell);
    updateEnabledRows();
}

bool GeneralSettingsForm2::writeSetting(const SettingCell &cell, const QString &value)
{
    if (!database)
        return false;
    const QScopedValueRollback<bool> guard(writing, true);
    UndoStep step(database, tr("Change stack settings"));
    return database->setGeneralSettingsValue(QLatin1String(cell.setting->key), value);
}

void GeneralSettingsForm2::refuse(const SettingCell &cell, const QString &problem)
{
    showMessage(problem, true);
    const QScopedValueRollback<bool> guard(loading, true);
    if (cell.target >= 0)
        cell.show(targets.targets.value(cell.target).values.value(cell.setting->key));
    else
        cell.show(storedValue(*cell.setting));
}

// A setting shown in two rows (a mirror) follows the row that was edited.
void GeneralSettingsForm2::showMirrors(const SettingCell &edited)
{
    const QScopedValueRollback<bool> guard(loading, true);
    for (const SettingCell &cell : qAsConst(cells)) {
        if (cell.table != edited.table || cell.row != edited.row || cell.column != edited.column) {
            if (QLatin1String(cell.setting->key) == QLatin1String(edited.setting->key))
                cell.show(storedValue(*cell.setting));
        }
    }
}

bool GeneralSettingsForm2::isSwitchedOn(const QString &key, int enabledValue) const
{
    for (const SettingCell &cell : cells) {
        if (QLatin1String(cell.setting->key) == key
            && !cell.setting->hasFlag(StackSetting::Mirror)) {
            const int value = cell.value().trimmed().toInt();
            return enabledValue < 0 ? value != 0 : value == enabledValue;
        }
    }
    return true;
}

void GeneralSettingsForm2::updateEnabledRows()
{
    for (const SettingCell &cell : cells + targetCells) {
        if (cell.setting->enabledBy)
            cell.setEnabled(
                isSwitchedOn(QLatin1String(cell.setting->enabledBy), cell.setting->enabledValue));
    }
}

SettingCell GeneralSettingsForm2::editorOf(const QString &key, int target) const
{
    const StackSetting *setting = StackSettings::find(key);
    const bool perTarget = setting && setting->hasFlag(StackSetting::PerTarget);
    for (const SettingCell &cell : perTarget ? targetCells : cells) {
        if (cell.setting == setting && (!perTarget || cell.target == target))
            return cell;
    }
    return SettingCell();
}

QString GeneralSettingsForm2::message() const
{
    return ui->lblMessage->text();
}

void GeneralSettingsForm2::showMessage(const QString &text, bool problem)
{
    ui->lblMessage->setText(text);
    ui->lblMessage->setStyleSheet(problem ? QStringLiteral("color: #b00020;") : QString());
    ui->lblMessage->setVisible(!text.isEmpty());
}

// An edit still open in a table or a text field is committed before the page is saved
// or reloaded, so nothing the user typed is dropped.
void GeneralSettingsForm2::commitOpenEditors()
{
    for (QTableWidget *table : findChildren<QTableWidget *>()) {
        // The open editor of a text cell; cells with a combo box have no line edit.
        auto *editor = qobject_cast<QLineEdit *>(table->indexWidget(table->currentIndex()));
        if (editor)
            emit table->itemDelegate()->commitData(editor);
    }
    for (const SettingCell &cell : cells + targetCells) {
        auto *edit = qobject_cast<QPlainTextEdit *>(cell.widget);
        if (edit && edit->document()->isModified())
            commitCell(cell);
    }
}

void GeneralSettingsForm2::saveData()
{
    commitOpenEditors();
}

void GeneralSettingsForm2::handleExpertMode(bool)
{
    // Every setting of the page is shown in both modes.
}

bool GeneralSettingsForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        for (const SettingCell &cell : cells + targetCells) {
            if (cell.holds(watched))
                commitCell(cell);
        }
    }
    if (watched == renameEdit && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        closeRenameEditor();
        return true;
    }
    return BaseMainForm::eventFilter(watched, event);
}

void GeneralSettingsForm2::showEvent(QShowEvent *event)
{
    // The preference may have changed in the settings dialog since the page was last shown.
    setNetworkToolControl(invokedByNetworkTool && !networkToolLimitLifted());
    takeSnapshot();
    BaseMainForm::showEvent(event);
}

void GeneralSettingsForm2::takeSnapshot()
{
    snapshot.clear();
    if (!database)
        return;
    for (const QString &key : database->getGeneralSettingsKeys())
        snapshot.insert(key, database->getGeneralSettingsValue(key));
}

// Returns every setting of the page to its value when the page was shown (or the project
// opened), as one unit of writes.
void GeneralSettingsForm2::on_btnResetChanges_clicked()
{
    closeRenameEditor();
    UndoStep step(database, tr("Reset stack settings"));
    if (!database || !database->beginTransaction())
        return;
    for (const QString &key : database->getGeneralSettingsKeys()) {
        const StackSetting *setting = StackSettings::find(key);
        if (!setting || setting->section == Section::Lines)
            continue;
        const QString before =
            snapshot.contains(key) ? snapshot.value(key) : QLatin1String(setting->absentText);
        database->setGeneralSettingsValue(key, before);
    }
    if (!database->commitTransaction())
        showMessage(tr("The settings could not be reset."), true);
    else
        showMessage(QString(), false);
    load();
}

void GeneralSettingsForm2::on_btnImportSettings_clicked()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("General"));
    const QString folder =
        settings.value(QStringLiteral("importpath"), QStringLiteral(".")).toString();
    const QString path = QFileDialog::getOpenFileName(this, tr("Select project file"), folder,
                                                      tr("Project Files (*.nwrp)"));
    if (path.isEmpty())
        return;
    settings.setValue(QStringLiteral("importpath"), QFileInfo(path).absolutePath());
    importSettingsFrom(path);
}

bool GeneralSettingsForm2::importSettingsFrom(const QString &path)
{
    if (!database)
        return false;
    commitOpenEditors();
    QString error;
    QStringList refused;
    int copied = 0;
    {
        UndoStep step(database, tr("Import stack settings"));
        if (!StackSettings::importFromFile(database, path, &error, &refused, &copied)) {
            showMessage(error, true);
            return false;
        }
        // The first target follows the base hardware settings the import may have changed.
        const StackTargets imported = StackTargets::load(database);
        if (database->existGeneralSettingsValue(QStringLiteral("targetsettings_cnt")))
            imported.save(database);
    }
    load();
    QString report =
        tr("%n setting(s) imported from %1.", nullptr, copied).arg(QFileInfo(path).fileName());
    if (!refused.isEmpty())
        report += QLatin1Char('\n') + tr("Not imported: %1").arg(refused.join(QLatin1Char('\n')));
    showMessage(report, !refused.isEmpty());
    return true;
}
