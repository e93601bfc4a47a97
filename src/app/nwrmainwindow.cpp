#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "panelkit/appidentity.h"

#include <QCoreApplication>

NwrMainWindow::NwrMainWindow(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::NwrMainWindow), arguments(arguments)
{
    const QString appName = QCoreApplication::applicationName();
    j1939Edition = AppIdentity::isJ1939Edition(appName);
    canEdition = AppIdentity::isCanEdition(appName);
    invokedByNetworkTool = arguments.contains(QStringLiteral("-cbw"));

    ui->setupUi(this);
    setWindowTitle(QStringLiteral("%1 - %2 ")
                           .arg(QCoreApplication::organizationName(), appName)
                   + QCoreApplication::applicationVersion());
}

NwrMainWindow::~NwrMainWindow()
{
    delete ui;
}
