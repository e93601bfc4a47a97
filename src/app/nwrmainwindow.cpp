#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "developerconsoledialog.h"
#include "settingsdialog.h"
#include "userinteraction.h"

#include "database/undolog.h"

#include "forms/generatoroutputform.h"
#include "forms/objectdictionaryform.h"
#include "importers/codbimporter.h"
#include "importers/dialogs/fileimportdialog.h"
#include "importers/projecttemplate.h"
#include "panelkit/appidentity.h"
#include "panelkit/newupdatechecker.h"
#include "panelkit/widgets/aboutdialog.h"
#include "panelkit/widgets/fileviewerdialog.h"
#include "panelkit/widgets/helpviewerdialog.h"
#include "panelkit/widgets/tenvoappstyle.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolButton>

NwrMainWindow::NwrMainWindow(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::NwrMainWindow), arguments(arguments),
      interaction(new UserInteraction), clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    const QString appName = QCoreApplication::applicationName();
    j1939Edition = AppIdentity::isJ1939Edition(appName);
    canEdition = AppIdentity::isCanEdition(appName);
    energyBusLayout = AppIdentity::isEnergyBusEdition(appName);
    invokedByNetworkTool = arguments.contains(QStringLiteral("-cbw"));
    templatePath = ProjectTemplate::defaultPath();

    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::setStyle(
            new TenvoAppStyle(QStyleFactory::create(QStringLiteral("Fusion")), appName));

    ui->setupUi(this);
    copyOldSettings();
    addActions();
    addImportAction();
    createUndoActions();
    createGenerateMenu();
    addFormsToToolbox();

    helpViewer = new HelpViewerDialog(this);
    helpViewer->setTitle(appName);
    const bool german = QLocale::system().language() == QLocale::German;
    helpViewer->setFile(QCoreApplication::applicationDirPath()
                        + (german ? QStringLiteral("/doc/manual_01006_de.html")
                                  : QStringLiteral("/doc/manual_01006_en.html")));

    statusLabel = new QLabel(this);
    ui->statusbar->addPermanentWidget(statusLabel);

    restoreGeometrySettings();
    readSettings();

    setWindowTitle(QStringLiteral("%1 - %2 ").arg(QCoreApplication::organizationName(), appName)
                   + QCoreApplication::applicationVersion());

    setAcceptDrops(true);
    QTimer::singleShot(2300, this, &NwrMainWindow::doThingsAfter1Second);

    updateChecker = new newUpdateChecker(this);
    connect(updateChecker, &newUpdateChecker::newVersion, this, &NwrMainWindow::newVersion);
    updateChecker->setServiceAddress(userPreferences().updateService);
    updateChecker->checkForUpdates(QCoreApplication::applicationVersion(), QStringLiteral("1006"),
                                   false);
}

NwrMainWindow::~NwrMainWindow()
{
    // The import dialog goes with the window; the catalogue need not be read again then.
    if (importDialog)
        disconnect(importDialog.data(), nullptr, this, nullptr);
    if (catalogueImporter) {
        catalogueImporter->abortImport();
        catalogueImporter->wait();
    }
    delete catalogueImporter;
    delete ui;
}

// Settings of older versions lived under the organisation's former name. They are taken
// over once, on the first start of this version (when no window position is stored yet).
void NwrMainWindow::copyOldSettings()
{
    QSettings current;
    if (current.contains(QStringLiteral("Geometry/pos")))
        return;
    const QSettings previous(QStringLiteral("tenvor embedded communication"),
                             QCoreApplication::applicationName());
    const QStringList keys = previous.allKeys();
    for (const QString &key : keys)
        current.setValue(key, previous.value(key));
}

void NwrMainWindow::addActions()
{
    ui->actionNew_Project->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->actionOpen_Project->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->actionSave_Project->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    updateButton = new QToolButton(this);
    updateButton->setObjectName(QStringLiteral("btnUpdate"));
    updateButton->setText(tr("Update available"));
    updateButton->setIcon(QIcon(QStringLiteral(":/icon/icon/update_1.png")));
    updateButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    updateButton->setEnabled(false);
    updateAction = ui->mainToolBar->addWidget(updateButton);
    updateAction->setVisible(false);
    connect(updateButton, &QToolButton::clicked, this,
            &NwrMainWindow::on_actionCheck_for_Updates_triggered);

    connect(ui->cbLine, QOverload<int>::of(&QComboBox::activated), this,
            &NwrMainWindow::handleLineChanged);
    connect(ui->toolBox, &QToolBox::currentChanged, this, &NwrMainWindow::newCurrentTabActivated);
    connect(ui->btnLineType, &QPushButton::clicked, ui->cbLine, &QComboBox::showPopup);
    ui->menuExample_Projects->menuAction()->setVisible(false);
}

QWidget *NwrMainWindow::addPage(Page which, const QString &title)
{
    // Pages that the tool box shows before their editor exists are empty widgets; their
    // editors replace them here and are bound through bindPage.
    static const QMap<Page, const char *> names = {
        {Page::GeneralSettings, "GeneralSettingsForm2"},
        {Page::DeviceDescription, "DeviceDescriptionForm"},
        {Page::ObjectDictionary, "ObjectDictionaryForm"},
        {Page::J1939Configuration, "J1939SettingsForm"},
        {Page::J1939SignalDefinition, "J1939SignalForm"},
        {Page::CanIdDatabase, "CANSignalForm"},
        {Page::EnergyBusSettings, "EBDWizard"},
        {Page::GeneratorOutput, "GeneratorOutputForm"}};
    QWidget *widget = createPageWidget(which);
    widget->setObjectName(QLatin1String(names.value(which)));
    ui->toolBox->addItem(widget, title);
    pages.insert(which, widget);
    if (auto *form = qobject_cast<BaseMainForm *>(widget))
        bindPage(form);
    return widget;
}

void NwrMainWindow::addFormsToToolbox()
{
    addPage(Page::GeneralSettings, tr("General Settings"));
    if (canEdition) {
        addPage(Page::J1939Configuration, tr("J1939 Configuration"));
        addPage(Page::J1939SignalDefinition, tr("J1939 Signal Definition"));
        addPage(Page::DeviceDescription, tr("CANopen Device Description"));
        addPage(Page::ObjectDictionary, tr("CANopen Object Dictionary"));
        addPage(Page::CanIdDatabase, tr("CAN ID Database"));
    } else {
        if (!j1939Edition) {
            addPage(Page::DeviceDescription, tr("Device Description"));
            addPage(Page::ObjectDictionary, tr("Object Dictionary"));
        }
        addPage(Page::J1939Configuration, tr("J1939 Configuration"));
        addPage(Page::J1939SignalDefinition, tr("J1939 Signal Definition"));
    }
    if (energyBusLayout)
        addPage(Page::EnergyBusSettings, tr("EnergyBus Device Settings"));
    addPage(Page::GeneratorOutput, tr("Generator Output"));
    shownPageIndex = ui->toolBox->currentIndex();
    connect(outputForm, &GeneratorOutputForm::gotoObject, this, &NwrMainWindow::handleGotoIndex);
}

void NwrMainWindow::bindPage(BaseMainForm *form)
{
    connect(this, &NwrMainWindow::lineChanged, form, &BaseMainForm::lineHandle);
    connect(this, &NwrMainWindow::expertModeChanged, form, &BaseMainForm::handleExpertMode);
    form->handleExpertMode(ui->actionEnable_Expert_Mode->isChecked());
    form->setAdditionalDatabase(additionalDb);
    if (projectDb)
        form->setProjectDatabase(projectDb);
}

QList<BaseMainForm *> NwrMainWindow::boundPages() const
{
    QList<BaseMainForm *> forms;
    for (QWidget *widget : pages) {
        if (auto *form = qobject_cast<BaseMainForm *>(widget))
            forms.append(form);
    }
    return forms;
}

void NwrMainWindow::handleGotoIndex(quint16 index)
{
    auto *dictionary = qobject_cast<ObjectDictionaryForm *>(page(Page::ObjectDictionary));
    if (!dictionary)
        return;
    ui->toolBox->setCurrentWidget(dictionary);
    dictionary->gotoIndex(index);
}

QWidget *NwrMainWindow::page(Page which) const
{
    return pages.value(which, nullptr);
}

void NwrMainWindow::setProjectDatabase(ObjectDataBase *database)
{
    if (projectDb) {
        disconnect(projectDb, nullptr, this, nullptr);
        disconnect(projectDb->undoLog(), nullptr, this, nullptr);
    }
    projectDb = database;
    updateUndoActions();
    if (!projectDb)
        return;
    projectDb->setUndoEnabled(true);
    connect(projectDb->undoLog(), &UndoLog::changed, this, &NwrMainWindow::updateUndoActions);
    connect(projectDb, &ObjectDataBase::updateNotify, this, &NwrMainWindow::projectModified);
    connect(projectDb, &ObjectDataBase::wrongTool, this, &NwrMainWindow::wrongTool);
    connect(projectDb, &ObjectDataBase::message, this, &NwrMainWindow::showDatabaseMessage);
    for (BaseMainForm *form : boundPages())
        form->setProjectDatabase(projectDb);
    if (developerConsole)
        developerConsole->deleteLater();
}

void NwrMainWindow::setAdditionalDatabase(ObjectDataBase *database)
{
    additionalDb = database;
    for (BaseMainForm *form : boundPages())
        form->setAdditionalDatabase(additionalDb);
}

void NwrMainWindow::setUserInteraction(UserInteraction *newInteraction)
{
    interaction.reset(newInteraction);
}

void NwrMainWindow::setClock(std::function<qint64()> newClock)
{
    clock = std::move(newClock);
}

Preferences NwrMainWindow::userPreferences()
{
    const QSettings settings;
    return Preferences::read(settings);
}

// Preferences the window depends on; read at construction and after the settings dialog.
void NwrMainWindow::readSettings()
{
    coStackPath = userPreferences().stackPath;
    updateDeveloperConsoleAction();
    updateRecentProjects();
}

void NwrMainWindow::updateDeveloperConsoleAction()
{
    const bool metadata = userPreferences().metadata;
    ui->actionDeveloper_Console->setVisible(metadata || ui->actionEnable_Expert_Mode->isChecked());
}

// The first start opens the window over most of the screen; later starts restore the
// stored geometry, kept inside the screen so a window saved on a larger or a detached
// screen stays reachable.
void NwrMainWindow::restoreGeometrySettings()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    QSettings settings;
    settings.beginGroup(QStringLiteral("Geometry"));
    QSize size = settings.value(QStringLiteral("size")).toSize();
    QPoint position = settings.value(QStringLiteral("pos")).toPoint();
    if (!size.isValid()) {
        size = QSize(available.width() * 9 / 10, available.height() * 9 / 10);
        position = available.center() - QPoint(size.width() / 2, size.height() / 2);
    }
    resize(size.boundedTo(available.size()));
    if (!available.intersects(QRect(position, size)))
        position = available.topLeft();
    move(position);
    if (settings.value(QStringLiteral("maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
    settings.endGroup();
}

void NwrMainWindow::storeGeometrySettings()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Geometry"));
    settings.setValue(QStringLiteral("size"), size());
    settings.setValue(QStringLiteral("pos"), pos());
    settings.setValue(QStringLiteral("maximized"), isMaximized());
    settings.endGroup();
}

QString NwrMainWindow::messageTitle() const
{
    return QCoreApplication::applicationName() + QStringLiteral("  ")
           + QCoreApplication::applicationVersion();
}

void NwrMainWindow::showMessage(int icon, const QString &text)
{
    interaction->showMessage(this, QMessageBox::Icon(icon), messageTitle(), text);
}

void NwrMainWindow::wrongTool()
{
    interaction->showMessage(this, QMessageBox::Warning, tr("Tool/File mismatch"),
                             tr("File was not created with this tool."));
}

void NwrMainWindow::forwardMenuAction(BaseMainForm::MenuAction action)
{
    if (auto *form = qobject_cast<BaseMainForm *>(ui->toolBox->currentWidget()))
        form->menuActionRequest(action);
}

void NwrMainWindow::on_actionCopy_triggered()
{
    forwardMenuAction(BaseMainForm::Copy);
}

void NwrMainWindow::on_actionCut_triggered()
{
    forwardMenuAction(BaseMainForm::Cut);
}

void NwrMainWindow::on_actionPaste_triggered()
{
    forwardMenuAction(BaseMainForm::Paste);
}

void NwrMainWindow::on_actionDelete_triggered()
{
    forwardMenuAction(BaseMainForm::Delete);
}

void NwrMainWindow::on_actionDuplicate_triggered()
{
    forwardMenuAction(BaseMainForm::Duplicate);
}

void NwrMainWindow::on_actionEnable_Expert_Mode_toggled(bool on)
{
    updateDeveloperConsoleAction();
    emit expertModeChanged(on);
}

void NwrMainWindow::on_actionSettings_triggered()
{
    auto *dialog = new SettingsDialog(this, invokedByNetworkTool);
    dialog->exec();
    readSettings();
}

void NwrMainWindow::on_actionDeveloper_Console_triggered()
{
    if (!developerConsole)
        developerConsole = new DeveloperConsoleDialog(projectDb, this);
    developerConsole->show();
    developerConsole->raise();
    developerConsole->activateWindow();
}

void NwrMainWindow::on_actionManual_triggered()
{
    helpViewer->show();
    helpViewer->raise();
    helpViewer->activateWindow();
}

void NwrMainWindow::on_actionChangelog_triggered()
{
    auto *viewer = new FileViewerDialog(QStringLiteral(":/txt/ChangeLog.txt"), this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(tr("Change Log"));
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void NwrMainWindow::on_actionCheck_for_Updates_triggered()
{
    updateChecker->setServiceAddress(userPreferences().updateService);
    updateChecker->checkForUpdates(QCoreApplication::applicationVersion(), QStringLiteral("1006"),
                                   true);
}

void NwrMainWindow::newVersion(const QString &toolVersion, const QString &stackVersion,
                               bool userRequested)
{
    const bool available = !toolVersion.isEmpty() || !stackVersion.isEmpty();
    updateAction->setVisible(available);
    updateButton->setEnabled(available);
    if (!userRequested)
        return;
    const QString tool = toolVersion.isEmpty()
                             ? tr("No new tool version available.")
                             : tr("New tool version %1 available.").arg(toolVersion);
    const QString stack = stackVersion.isEmpty()
                              ? tr("No new stack version available.")
                              : tr("<b>New stack version %1 available.</b>").arg(stackVersion);
    showMessage(QMessageBox::Information, tool + QStringLiteral("<br><br>") + stack);
}

void NwrMainWindow::on_actionAbout_triggered()
{
    AboutDialog about(this);
    about.setText(tr("Describes a CAN device as a CANopen object dictionary, with J1939 "
                     "parameter groups or plain CAN messages, and generates the C sources "
                     "of its protocol stack, its EDS, XDD and DBC descriptions and its "
                     "documentation."));
    about.exec();
}
