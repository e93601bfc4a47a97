#include "forms/targetsettingsdialog.h"
#include "ui_targetsettingsdialog.h"

#include "panelkit/stacksettings.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace {

const int nameColumn = 0;

// The settings shown as columns: all but the multi-line hardware defines.
QList<const StackSetting *> columnSettings()
{
    QList<const StackSetting *> shown;
    for (const StackSetting *setting : StackTargets::settings()) {
        if (setting->format != StackSetting::Format::Code)
            shown.append(setting);
    }
    return shown;
}

} // namespace

TargetSettingsDialog::TargetSettingsDialog(const StackTargets &targets, QWidget *parent)
    : QDialog(parent), ui(new Ui::TargetSettingsDialog), edited(targets)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &TargetSettingsDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &TargetSettingsDialog::reject);
    QStringList headers = {tr("Name")};
    for (const StackSetting *setting : columnSettings())
        headers << setting->displayLabel().trimmed();
    headers << tr("Active");
    activeColumn = headers.size() - 1;
    ui->tblTargets->setColumnCount(headers.size());
    ui->tblTargets->setHorizontalHeaderLabels(headers);
    ui->tblTargets->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tblTargets->horizontalHeader()->setStretchLastSection(true);
    ui->tblTargets->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tblTargets->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->tblTargets, &QTableWidget::itemChanged, this,
            &TargetSettingsDialog::handleItemChanged);
    ui->lblMessage->setStyleSheet(QStringLiteral("color: #b00020;"));
    fillTable();
    fitToTable();
}

// Wide enough to show every column without scrolling, as far as the screen allows.
void TargetSettingsDialog::fitToTable()
{
    QTableWidget *table = ui->tblTargets;
    table->resizeColumnsToContents();
    const int tableWidth = table->verticalHeader()->width() + table->horizontalHeader()->length()
                           + 2 * table->frameWidth();
    const int margins = width() - table->width();
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(qMin(tableWidth + margins, screen.width() * 9 / 10), height());
}

TargetSettingsDialog::~TargetSettingsDialog()
{
    delete ui;
}

void TargetSettingsDialog::fillTable()
{
    const QSignalBlocker blocker(ui->tblTargets);
    cells.clear();
    ui->tblTargets->clearContents();
    ui->tblTargets->setRowCount(edited.targets.size());
    const QList<const StackSetting *> settings = columnSettings();
    for (int row = 0; row < edited.targets.size(); ++row) {
        const StackTarget &target = edited.targets.at(row);
        ui->tblTargets->setItem(row, nameColumn, new QTableWidgetItem(target.name));
        for (int column = 0; column < settings.size(); ++column) {
            const SettingCell cell =
                SettingCell::create(settings.at(column), ui->tblTargets, row, column + 1, row);
            cell.show(target.values.value(QLatin1String(settings.at(column)->key)));
            cells.append(cell);
        }
        auto *active = new QTableWidgetItem;
        active->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        active->setCheckState(row == edited.active ? Qt::Checked : Qt::Unchecked);
        ui->tblTargets->setItem(row, activeColumn, active);
    }
    ui->btnRemove->setEnabled(edited.targets.size() > 1);
}

// Only one target can be active: checking one unchecks the others.
void TargetSettingsDialog::handleItemChanged(QTableWidgetItem *item)
{
    if (item->column() != activeColumn || item->checkState() != Qt::Checked)
        return;
    const QSignalBlocker blocker(ui->tblTargets);
    for (int row = 0; row < ui->tblTargets->rowCount(); ++row) {
        if (row != item->row())
            ui->tblTargets->item(row, activeColumn)->setCheckState(Qt::Unchecked);
    }
}

StackTargets TargetSettingsDialog::targets() const
{
    StackTargets result = edited;
    result.active = -1;
    for (int row = 0; row < result.targets.size(); ++row) {
        result.targets[row].name = ui->tblTargets->item(row, nameColumn)->text().trimmed();
        if (ui->tblTargets->item(row, activeColumn)->checkState() == Qt::Checked)
            result.active = row;
    }
    for (const SettingCell &cell : cells) {
        result.targets[cell.target].values[QLatin1String(cell.setting->key)] =
            StackSettings::normalized(*cell.setting, cell.value());
    }
    return result;
}

QString TargetSettingsDialog::message() const
{
    return ui->lblMessage->text();
}

void TargetSettingsDialog::accept()
{
    const QString problem = targets().validate();
    ui->lblMessage->setText(problem);
    if (problem.isEmpty())
        QDialog::accept();
}

int TargetSettingsDialog::currentRow() const
{
    return ui->tblTargets->currentRow();
}

void TargetSettingsDialog::on_btnAdd_clicked()
{
    edited = targets();
    edited.add();
    fillTable();
    ui->tblTargets->setCurrentCell(edited.targets.size() - 1, nameColumn);
}

void TargetSettingsDialog::on_btnRemove_clicked()
{
    edited = targets();
    if (edited.remove(currentRow()))
        fillTable();
}

void TargetSettingsDialog::on_btnUp_clicked()
{
    move(currentRow(), currentRow() - 1);
}

void TargetSettingsDialog::on_btnDown_clicked()
{
    move(currentRow(), currentRow() + 1);
}

// Moves a target with everything it holds; the active mark moves with it.
void TargetSettingsDialog::move(int from, int to)
{
    edited = targets();
    if (from < 0 || to < 0 || from >= edited.targets.size() || to >= edited.targets.size())
        return;
    edited.targets.move(from, to);
    if (edited.active == from)
        edited.active = to;
    else if (edited.active == to)
        edited.active = from;
    fillTable();
    ui->tblTargets->setCurrentCell(to, nameColumn);
}
