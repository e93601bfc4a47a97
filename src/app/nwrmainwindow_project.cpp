// Project lifecycle of the main window: new, open, save, save as, quit, the modified mark
// and the recent-project list.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "userinteraction.h"

#include "database/undostep.h"
#include "importers/projectconverter.h"
#include "importers/projecttemplate.h"
#include "panelkit/linetype.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <algorithm>

namespace {

const int recentSlots = 10;
const int maxExampleProjects = 100;

// Busy cursor for the length of a scope.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// Folder of the last project; "~" (the default) is the home folder.
QString settingsProjectPath()
{
    const QString path =
        QSettings().value(QStringLiteral("General/projectpath"), QStringLiteral("~")).toString();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace

QString NwrMainWindow::projectPath() const
{
    return projectFile;
}

bool NwrMainWindow::isModified() const
{
    return ui->lblProjectName->font().italic();
}

void NwrMainWindow::setModifiedMark(bool modified)
{
    QFont font = ui->lblProjectName->font();
    font.setItalic(modified);
    ui->lblProjectName->setFont(font);
}

void NwrMainWindow::projectModified(ObjectDataBase::ChangeSet change)
{
    if (change.line == 0)
        setModifiedMark(true);
}

void NwrMainWindow::setProjectPath(const QString &path)
{
    projectFile = path;
    if (path.isEmpty()) {
        projectDir.clear();
        projectName.clear();
        ui->lblProjectName->setText(tr("new project"));
        return;
    }
    const QFileInfo info(path);
    projectDir = info.absolutePath();
    projectName = info.completeBaseName();
    ui->lblProjectName->setText(QDir::toNativeSeparators(path));
}

void NwrMainWindow::rememberProjectPath(const QString &path)
{
    QSettings settings;
    settings.setValue(QStringLiteral("General/projectpath"), QFileInfo(path).absolutePath());
    settings.setValue(QStringLiteral("General/lastproject"), path);
}

// Commits the page that was shown until now; the tool box calls it on every page change.
void NwrMainWindow::newCurrentTabActivated(int index)
{
    if (auto *shown = qobject_cast<BaseMainForm *>(ui->toolBox->widget(shownPageIndex)))
        shown->saveData();
    shownPageIndex = index;
}

// Returns false when the user cancels or the wanted save fails; the action then stops.
bool NwrMainWindow::askToSave(bool quitting)
{
    if (!projectPath().isEmpty())
        newCurrentTabActivated(ui->toolBox->currentIndex());
    if (!isModified())
        return true;
    const QString text = quitting ? tr("The project contains unsaved modifications.")
                                  : tr("The current project contains unsaved modifications.");
    switch (interaction->askToSave(this, messageTitle(), text,
                                   tr("Do you want to save your changes?"))) {
    case QMessageBox::Save:
        return saveProject();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// Opening binds the project database to a new working file even when the file turns out
// unusable, so a file is tried in a scratch database first: a failure then leaves the open
// project as it was.
bool NwrMainWindow::openIntoProjectDatabase(const QString &path)
{
    BusyCursor busy;
    {
        ObjectDataBase probe;
        connect(&probe, &ObjectDataBase::message, this, &NwrMainWindow::showDatabaseMessage);
        if (!probe.openDataBase(path, true))
            return false;
    }
    return projectDb->openDataBase(path, true);
}

void NwrMainWindow::showDatabaseMessage(const QString &title, const QString &text)
{
    interaction->showMessage(this, QMessageBox::Information, title, text);
}

void NwrMainWindow::on_actionNew_Project_triggered()
{
    if (!askToSave(false))
        return;
    const bool ok = openIntoProjectDatabase(templatePath);
    if (!ok) {
        showMessage(QMessageBox::Critical, tr("Cannot create new project file."));
        return;
    }
    if (canEdition) {
        LineType type = interaction->selectProtocol(this, tr("Select CAN protocol for line 0:"));
        ProjectTemplate::setLine0Type(*projectDb,
                                      type == LineType::NotSet ? LineType::CANopen : type);
    }
    ProjectTemplate::stampNewProject(*projectDb);
    projectDb->clearUndoHistory();
    setProjectPath(QString());
    updateLines();
    switchToLine(0);
    setModifiedMark(false);
}

void NwrMainWindow::on_actionOpen_Project_triggered()
{
    if (!askToSave(false))
        return;
    const QString path =
        interaction->openFileName(this, tr("Open Project"), settingsProjectPath(),
                                  tr("NWR Projects (*.nwrp);;old project files (*.db)"));
    if (!path.isEmpty())
        openProject(path);
}

bool NwrMainWindow::openProject(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!openIntoProjectDatabase(absolute)) {
        showMessage(QMessageBox::Critical, tr("Cannot open project file."));
        return false;
    }
    runProjectCorrections();
    projectDb->clearUndoHistory();
    if (energyBusLayout) {
        const QString saved = projectDb->getMiscSettingsValue(QStringLiteral("SaveToolVersion"));
        if (!saved.isEmpty() && saved != QCoreApplication::applicationVersion())
            showMessage(QMessageBox::Information,
                        tr("This project has been created by an older version of the EnergyBus "
                           "Packwright. It is <strong>required to re-apply EnergyBus "
                           "settings</strong> to update the project."));
    }
    setProjectPath(absolute);
    rememberProjectPath(absolute);
    appendToRecent(absolute);
    updateLines();
    switchToLine(0);

    Preferences preferences = userPreferences();
    if (preferences.postGenerationInProject) {
        const QString command = projectDb->getMiscSettingsValue(QStringLiteral("postgencmd"));
        const QString args = projectDb->getMiscSettingsValue(QStringLiteral("postgencmdargs"));
        if (!command.isEmpty() && !args.isEmpty()) {
            preferences.postGenerationCommand = command;
            preferences.postGenerationArguments = args;
            QSettings settings;
            preferences.write(settings);
        }
    }
    setModifiedMark(false);
    return true;
}

void NwrMainWindow::runProjectCorrections()
{
    ProjectConverter converter(projectDb);
    converter.doGenericCorrection();
    if (energyBusLayout) {
        converter.doEnergyBusCorrection();
        return;
    }
    if (QCoreApplication::applicationName().contains(QLatin1String("J1939")))
        converter.do1939Correction();
    if (canEdition)
        converter.doMPCorrection();
}

void NwrMainWindow::on_actionSave_Project_triggered()
{
    saveProject();
}

bool NwrMainWindow::saveProject()
{
    if (projectPath().isEmpty())
        return saveProjectAs();
    newCurrentTabActivated(ui->toolBox->currentIndex());
    if (energyBusLayout
        && projectDb->getEnergyBusSettingsValue(QStringLiteral("modificationWithoutApply"))
               == QLatin1String("1"))
        showMessage(QMessageBox::Warning, tr("The EnergyBus configuration has not yet been "
                                             "applied into the object dictionary."));
    const Preferences preferences = userPreferences();
    const QString command = preferences.postGenerationCommand;
    const QString args = preferences.postGenerationArguments;
    const QString commandKey = QStringLiteral("postgencmd");
    const QString argsKey = QStringLiteral("postgencmdargs");
    if (preferences.postGenerationInProject && !command.isEmpty() && !args.isEmpty()
        && (projectDb->getMiscSettingsValue(commandKey) != command
            || projectDb->getMiscSettingsValue(argsKey) != args)) {
        UndoStep step(projectDb, tr("Store post-generation command"));
        projectDb->setMiscSettingsValue(commandKey, command);
        projectDb->setMiscSettingsValue(argsKey, args);
    }
    bool ok = false;
    {
        BusyCursor busy;
        ok = projectDb->saveDataBase(QString());
    }
    if (!ok) {
        showMessage(QMessageBox::Critical, tr("Cannot save project file."));
        return false;
    }
    setModifiedMark(false);
    return true;
}

void NwrMainWindow::on_actionSave_Project_as_triggered()
{
    saveProjectAs();
}

bool NwrMainWindow::saveProjectAs()
{
    newCurrentTabActivated(ui->toolBox->currentIndex());
    QString path = interaction->saveFileName(this, tr("Save Project"), settingsProjectPath(),
                                             tr("NWR Projects (*.nwrp)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".nwrp");
    path = QFileInfo(path).absoluteFilePath();
    bool ok = false;
    {
        BusyCursor busy;
        ok = projectDb->saveDataBase(path);
    }
    if (!ok) {
        showMessage(QMessageBox::Critical, tr("Cannot save project file."));
        return false;
    }
    setProjectPath(path);
    rememberProjectPath(path);
    setModifiedMark(false);
    appendToRecent(path);
    return true;
}

void NwrMainWindow::on_actionQuit_triggered()
{
    if (!askToSave(true))
        return;
    storeGeometrySettings();
    interaction->quitApplication();
}

void NwrMainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    on_actionQuit_triggered();
}

void NwrMainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void NwrMainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls().mid(0, 32);
    if (urls.isEmpty())
        return;
    // toLocalFile gives the platform's path of a file URL ("C:/x.nwrp", "/home/x.nwrp").
    const QString path = urls.first().toLocalFile();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    event->acceptProposedAction();
    if (askToSave(false))
        openProject(path);
}

void NwrMainWindow::appendToRecent(const QString &path)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("RecentProjects"));
    const qint64 now = clock();
    bool found = false;
    int slot = 0;
    for (; slot < recentSlots; ++slot) {
        const QString stored = settings.value(QStringLiteral("project%1path").arg(slot)).toString();
        if (stored.isEmpty())
            break;
        if (stored == path) {
            settings.setValue(QStringLiteral("project%1time").arg(slot), now);
            found = true;
        }
    }
    if (!found) {
        if (slot == recentSlots) {
            slot = 0;
            qint64 oldest = settings.value(QStringLiteral("project0time")).toLongLong();
            for (int i = 1; i < recentSlots; ++i) {
                const qint64 time =
                    settings.value(QStringLiteral("project%1time").arg(i)).toLongLong();
                if (time < oldest) {
                    oldest = time;
                    slot = i;
                }
            }
        }
        settings.setValue(QStringLiteral("project%1path").arg(slot), path);
        settings.setValue(QStringLiteral("project%1time").arg(slot), now);
    }
    settings.endGroup();
    updateRecentProjects();
}

bool NwrMainWindow::compTime(const QPair<qint64, QString> &a, const QPair<qint64, QString> &b)
{
    return a.first > b.first;
}

QStringList NwrMainWindow::recentProjects() const
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("RecentProjects"));
    QList<QPair<qint64, QString>> entries;
    for (int slot = 0; slot < recentSlots; ++slot) {
        const QString path = settings.value(QStringLiteral("project%1path").arg(slot)).toString();
        if (!path.isEmpty())
            entries.append(
                {settings.value(QStringLiteral("project%1time").arg(slot)).toLongLong(), path});
    }
    std::stable_sort(entries.begin(), entries.end(), compTime);
    QStringList paths;
    for (const auto &entry : qAsConst(entries))
        paths.append(entry.second);
    return paths;
}

void NwrMainWindow::updateRecentProjects()
{
    ui->menuRecent_Projects->clear();
    const QStringList paths = recentProjects();
    for (const QString &path : paths) {
        if (!QFileInfo(path).isReadable())
            continue;
        QAction *action = ui->menuRecent_Projects->addAction(QDir::toNativeSeparators(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, &NwrMainWindow::openRecent);
    }
    ui->menuRecent_Projects->menuAction()->setEnabled(!ui->menuRecent_Projects->isEmpty()
                                                      && !controlledByNetworkTool);
    fillExampleProjects();
}

// The stack folder's example projects: every project file below it, by relative path.
void NwrMainWindow::fillExampleProjects()
{
    ui->menuExample_Projects->clear();
    QStringList found;
    if (!coStackPath.isEmpty() && QFileInfo(coStackPath).isDir()) {
        QDirIterator it(coStackPath, {QStringLiteral("*.nwrp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext() && found.size() < maxExampleProjects)
            found.append(it.next());
    }
    found.sort();
    const QDir stack(coStackPath);
    for (const QString &path : qAsConst(found)) {
        QAction *action = ui->menuExample_Projects->addAction(
            QDir::toNativeSeparators(stack.relativeFilePath(path)));
        action->setData(path);
        connect(action, &QAction::triggered, this, &NwrMainWindow::openRecent);
    }
    ui->menuExample_Projects->menuAction()->setVisible(!found.isEmpty());
}

void NwrMainWindow::openRecent()
{
    const auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString path = action->data().toString();
    if (askToSave(false))
        openProject(path);
}
