#pragma once

#include "database/objectdatabase.h"
#include "forms/basemainform.h"
#include "panelkit/linetype.h"
#include "panelkit/preferences.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class NwrMainWindow;
}

class CODBImporter;
class FileImportDialog;
class GenerationRun;
class GeneratorOutputForm;
class QProgressDialog;
class DeveloperConsoleDialog;
class HelpViewerDialog;
class QLabel;
class QToolButton;
class UserInteraction;
class newUpdateChecker;

// The main window: menus, the tool box of editor pages, the line selector and the project
// lifecycle (new, open, save, save as, quit, recent projects). It owns neither database;
// the start-up routine creates both and hands them over.
//
// Pages of the tool box that are a BaseMainForm are bound through that interface: they get
// the project store, the current line, the expert mode, the request to save before
// another page is shown, and the Edit menu commands of the current page.
class NwrMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Line selector entries that are commands rather than lines.
    enum LineCommand : int {
        ChangeLineType = 0xFC,
        DuplicateLastLine = 0xFD,
        DeleteLastLine = 0xFE,
        AddEmptyLine = 0xFF
    };
    // The pages of the tool box; which exist depends on the edition.
    enum class Page {
        GeneralSettings,
        DeviceDescription,
        ObjectDictionary,
        J1939Configuration,
        J1939SignalDefinition,
        CanIdDatabase,
        EnergyBusSettings,
        GeneratorOutput
    };

    explicit NwrMainWindow(const QStringList &arguments, QWidget *parent = nullptr);
    ~NwrMainWindow() override;

    bool isJ1939Edition() const { return j1939Edition; }
    bool isCanEdition() const { return canEdition; }
    bool isEnergyBusLayout() const { return energyBusLayout; }
    bool isInvokedByNetworkTool() const { return invokedByNetworkTool; }

    void setProjectDatabase(ObjectDataBase *database);
    void setAdditionalDatabase(ObjectDataBase *database);
    ObjectDataBase *projectDatabase() const { return projectDb; }
    ObjectDataBase *additionalDatabase() const { return additionalDb; }

    // Replaces the dialogs and message boxes (for tests). The window takes ownership.
    void setUserInteraction(UserInteraction *interaction);
    // Replaces the clock of the recent-project list (milliseconds since the epoch).
    void setClock(std::function<qint64()> clock);
    // Template of new projects; by default "data/mt.data" beside the executable.
    void setTemplatePath(const QString &path) { templatePath = path; }
    QString currentTemplatePath() const { return templatePath; }

    QString projectPath() const;
    QString projectDirectory() const { return projectDir; }
    quint8 getCurrentLine() const { return currentLine; }
    bool isModified() const;
    // The page widget of a tool-box page, or nullptr when the edition has no such page.
    QWidget *page(Page page) const;
    // Paths of the recent-project menu, newest first.
    QStringList recentProjects() const;
    // Waits until the catalogue read by import301 is complete.
    void waitForCatalogue();

public slots:
    bool openProject(const QString &path);
    void import301();
    void doThingsAfterStartup();
    void doThingsAfter1Second();
    void wrongTool();
    void projectModified(ObjectDataBase::ChangeSet change);
    void importPogress(quint8 value);
    void updateLines();
    void handleLineChanged(int selectorIndex);
    void updateLineForms(quint8 line);
    void appendToRecent(const QString &path);
    void updateRecentProjects();
    void openRecent();
    void newVersion(const QString &toolVersion, const QString &stackVersion, bool userRequested);
    void newCurrentTabActivated(int index);
    // Shows the object dictionary page with the object selected (from the generator
    // output's "Go to object").
    void handleGotoIndex(quint16 index);

    void on_actionNew_Project_triggered();
    void on_actionOpen_Project_triggered();
    void on_actionSave_Project_triggered();
    void on_actionSave_Project_as_triggered();
    void on_actionQuit_triggered();
    void on_actionCopy_triggered();
    void on_actionCut_triggered();
    void on_actionPaste_triggered();
    void on_actionDelete_triggered();
    void on_actionDuplicate_triggered();
    void on_actionSettings_triggered();
    void on_actionEnable_Expert_Mode_toggled(bool on);
    void on_actionDeveloper_Console_triggered();
    void on_actionManual_triggered();
    void on_actionChangelog_triggered();
    void on_actionCheck_for_Updates_triggered();
    void on_actionAbout_triggered();
    // The generation run (nwrmainwindow_generate.cpp).
    void on_actionGenerate_Output_triggered();
    // The import command (nwrmainwindow_import.cpp).
    void openImportDialog();
    // Edit > Undo and Redo (nwrmainwindow_undo.cpp).
    void undoLastStep();
    void redoLastStep();

signals:
    void lineChanged(quint8 line);
    void expertModeChanged(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // construction (nwrmainwindow.cpp)
    void copyOldSettings();
    void addActions();
    void addFormsToToolbox();
    QWidget *addPage(Page page, const QString &title);
    void bindPage(BaseMainForm *page);
    QList<BaseMainForm *> boundPages() const;
    void readSettings();
    // The user's preferences as they stand now; every action that depends on them reads
    // them once through here and hands the value on.
    static Preferences userPreferences();
    void restoreGeometrySettings();
    void storeGeometrySettings();
    void updateDeveloperConsoleAction();
    void forwardMenuAction(BaseMainForm::MenuAction action);
    QString messageTitle() const;
    void showMessage(int icon, const QString &text);

    // project lifecycle (nwrmainwindow_project.cpp)
    bool askToSave(bool quitting);
    bool openIntoProjectDatabase(const QString &path);
    void showDatabaseMessage(const QString &title, const QString &text);
    bool saveProject();
    bool saveProjectAs();
    void setModifiedMark(bool modified);
    void setProjectPath(const QString &path);
    void runProjectCorrections();
    void rememberProjectPath(const QString &path);
    void fillExampleProjects();
    static bool compTime(const QPair<qint64, QString> &a, const QPair<qint64, QString> &b);

    // lines (nwrmainwindow_lines.cpp)
    LineType lineType(quint8 line) const;
    QString lineTypeName(LineType type) const;
    quint8 lastLine() const;
    void addLine();
    void duplicateLastLine();
    void deleteLastLine();
    void changeLineType();
    void switchToLine(quint8 line);
    void enterChangedLine(quint8 line);
    void renamePagesForLine(quint8 line);
    void copyBasicObjects(quint8 line);
    void selectLineEntry(quint8 line);

    // generation run and viewers (nwrmainwindow_generate.cpp)
    QWidget *createPageWidget(Page which);
    void createGenerateMenu();
    QString projectFileForViewer(const QString &suffix) const;
    void showFile(const QString &path);
    GenerationRun *generation();
    void reportGenerationProblem(int icon, const QString &text);

    // import (nwrmainwindow_import.cpp)
    void addImportAction();
    void importFromCommandLine();

    // undo and redo (nwrmainwindow_undo.cpp)
    void createUndoActions();
    void updateUndoActions();
    void replayStep(bool back);

    // start-up (nwrmainwindow_startup.cpp)
    void applyNetworkToolMode();
    void runGenerationFromCommandLine();
    static void runLocalEventLoop(int milliseconds);

    Ui::NwrMainWindow *ui;
    QStringList arguments;
    bool j1939Edition = false;
    bool canEdition = false;
    bool energyBusLayout = false;
    bool invokedByNetworkTool = false;
    bool controlledByNetworkTool = false;

    ObjectDataBase *projectDb = nullptr;
    ObjectDataBase *additionalDb = nullptr;
    CODBImporter *catalogueImporter = nullptr;
    QPointer<FileImportDialog> importDialog;
    QAction *importAction = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;

    QString projectFile;
    QString projectDir;
    QString projectName;
    quint8 currentLine = 0;
    QString templatePath;
    QString coStackPath;
    int shownPageIndex = -1;

    QMap<Page, QWidget *> pages;
    QLabel *statusLabel = nullptr;
    QToolButton *updateButton = nullptr;
    QAction *updateAction = nullptr;
    HelpViewerDialog *helpViewer = nullptr;
    newUpdateChecker *updateChecker = nullptr;
    QPointer<DeveloperConsoleDialog> developerConsole;
    std::unique_ptr<UserInteraction> interaction;
    std::function<qint64()> clock;
    QPointer<GeneratorOutputForm> outputForm;
    GenerationRun *generationRun = nullptr;
    QProgressDialog *progressDialog = nullptr;
    bool generatingFromCommandLine = false;
};
