#pragma once

#include <QMainWindow>
#include <QStringList>

namespace Ui {
class NwrMainWindow;
}

// The main window: menus, the tool box of editor pages and the line selector.
class NwrMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit NwrMainWindow(const QStringList &arguments, QWidget *parent = nullptr);
    ~NwrMainWindow() override;

    bool isJ1939Edition() const { return j1939Edition; }
    bool isCanEdition() const { return canEdition; }

private:
    Ui::NwrMainWindow *ui;
    QStringList arguments;
    bool j1939Edition = false;
    bool canEdition = false;
    bool invokedByNetworkTool = false;
};
