#include "forms/settingcell.h"

#include "panelkit/stacksettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {

using Format = StackSetting::Format;

bool isOn(const QString &text)
{
    return text.trimmed().toLongLong() != 0;
}

} // namespace

SettingCell SettingCell::create(const StackSetting *setting, QTableWidget *table, int row,
                                int column, int target)
{
    SettingCell cell;
    cell.setting = setting;
    cell.table = table;
    cell.row = row;
    cell.column = column;
    cell.target = target;
    auto *item = new QTableWidgetItem;
    item->setToolTip(setting->displayToolTip());
    if (setting->format == Format::Flag) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    } else if (setting->section == StackSetting::Section::Lines) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    table->setItem(row, column, item);
    if (setting->format == Format::Choice && setting->section != StackSetting::Section::Lines) {
        auto *combo = new QComboBox(table);
        combo->addItems(setting->choiceList());
        combo->setToolTip(setting->displayToolTip());
        table->setCellWidget(row, column, combo);
        item->setFlags(Qt::ItemIsEnabled);
        cell.widget = combo;
    }
    return cell;
}

SettingCell SettingCell::forWidget(const StackSetting *setting, QWidget *widget, int target)
{
    SettingCell cell;
    cell.setting = setting;
    cell.widget = widget;
    cell.target = target;
    widget->setToolTip(setting->displayToolTip());
    return cell;
}

void SettingCell::addBlank(QTableWidget *table, int row, int column)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(table->palette().window());
    table->setItem(row, column, item);
}

QString SettingCell::shown(const StackSetting &setting, const QString &stored)
{
    if (setting.format == Format::Flag)
        return QLatin1String(isOn(stored) ? "1" : "0");
    if (setting.format == Format::Choice && setting.section != StackSetting::Section::Lines) {
        bool ok = false;
        const int index = stored.trimmed().toInt(&ok);
        const int choices = setting.choiceList().size();
        return QString::number(ok && index >= 0 && index < choices ? index : 0);
    }
    return stored;
}

QString SettingCell::value() const
{
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return QString::number(combo->currentIndex());
    if (auto *box = qobject_cast<QCheckBox *>(widget))
        return QLatin1String(box->isChecked() ? "1" : "0");
    if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
        return text->toPlainText();
    const QTableWidgetItem *cellItem = item();
    if (!cellItem)
        return QString();
    if (setting->format == Format::Flag)
        return QLatin1String(cellItem->checkState() == Qt::Checked ? "1" : "0");
    return cellItem->text();
}

void SettingCell::show(const QString &stored) const
{
    const QString text = shown(*setting, stored);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(text.toInt());
    } else if (auto *box = qobject_cast<QCheckBox *>(widget)) {
        const QSignalBlocker blocker(box);
        box->setChecked(isOn(text));
    } else if (auto *edit = qobject_cast<QPlainTextEdit *>(widget)) {
        const QSignalBlocker blocker(edit);
        edit->setPlainText(text);
        edit->document()->setModified(false);
    } else if (QTableWidgetItem *cellItem = item()) {
        const QSignalBlocker blocker(table);
        if (setting->format == Format::Flag)
            cellItem->setCheckState(isOn(text) ? Qt::Checked : Qt::Unchecked);
        else
            cellItem->setText(text);
    }
}

void SettingCell::setEnabled(bool enabled) const
{
    if (widget)
        widget->setEnabled(enabled);
    QTableWidgetItem *cellItem = item();
    if (!cellItem)
        return;
    const QSignalBlocker blocker(table);
    cellItem->setFlags(enabled ? cellItem->flags() | Qt::ItemIsEnabled
                               : cellItem->flags() & ~Qt::ItemIsEnabled);
    // In a table of one setting per row the label greys out with its value.
    QTableWidgetItem *header = table->verticalHeaderItem(row);
    if (header && table->columnCount() == 1)
        header->setForeground(enabled ? QBrush()
                                      : table->palette().brush(QPalette::Disabled, QPalette::Text));
}

void SettingCell::setReadOnly(bool readOnly, const QString &reason) const
{
    const QString tip = readOnly ? setting->displayToolTip() + QLatin1Char('\n') + reason
                                 : setting->displayToolTip();
    if (widget) {
        widget->setEnabled(!readOnly);
        widget->setToolTip(tip);
    }
    if (QTableWidgetItem *cellItem = item()) {
        const QSignalBlocker blocker(table);
        const Qt::ItemFlags editing = Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
        const Qt::ItemFlag edit =
            setting->format == Format::Flag ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
        cellItem->setFlags((cellItem->flags() & ~editing) | (readOnly ? Qt::NoItemFlags : edit));
        cellItem->setToolTip(tip);
    }
}

bool SettingCell::holds(const QTableWidgetItem *cellItem) const
{
    return table && cellItem && cellItem->tableWidget() == table && cellItem->row() == row
           && cellItem->column() == column;
}

bool SettingCell::holds(const QObject *editorObject) const
{
    return editorObject && editorObject == widget.data();
}

QWidget *SettingCell::editor() const
{
    return widget ? widget.data() : static_cast<QWidget *>(table.data());
}

QTableWidgetItem *SettingCell::item() const
{
    return table ? table->item(row, column) : nullptr;
}
