#pragma once

#include <QPointer>
#include <QString>

class QTableWidget;
class QTableWidgetItem;
class QWidget;
struct StackSetting;

// The editor of one stack setting: a cell of a table (a text, a check box item or a combo
// box, by the setting's format) or a widget of its own (a check box or a text field). It
// shows a stored value and reads the value the user entered, as the store keeps it.
class SettingCell
{
public:
    // Makes the editor of the setting in a table cell. target is the hardware target the
    // cell belongs to, -1 for the project-wide settings.
    static SettingCell create(const StackSetting *setting, QTableWidget *table, int row, int column,
                              int target = -1);
    // A check box (QCheckBox) or text field (QPlainTextEdit) edits the setting.
    static SettingCell forWidget(const StackSetting *setting, QWidget *widget, int target = -1);
    // A cell without a setting: shown but not editable.
    static void addBlank(QTableWidget *table, int row, int column);

    // What the editor shows for a stored value: flags as "1" or "0", choices as their index.
    static QString shown(const StackSetting &setting, const QString &stored);

    QString value() const;
    void show(const QString &stored) const;
    void setEnabled(bool enabled) const;
    // Keeps the value visible but refuses edits (settings of the network tool); the reason
    // is added to the tool tip.
    void setReadOnly(bool readOnly, const QString &reason) const;
    bool holds(const QTableWidgetItem *item) const;
    bool holds(const QObject *editor) const;
    // The combo box, check box or text field; the table for text and check box cells.
    QWidget *editor() const;
    QTableWidgetItem *item() const;

    const StackSetting *setting = nullptr;
    QPointer<QTableWidget> table;
    int row = -1;
    int column = 0;
    QPointer<QWidget> widget;
    int target = -1;
};
