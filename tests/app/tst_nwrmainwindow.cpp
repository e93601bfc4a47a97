#include "testenv.h"

#include "app/nwrmainwindow.h"
#include "app/settingsdialog.h"
#include "database/objectdatabase.h"
#include "database/undolog.h"
#include "forms/devicedescriptionform.h"
#include "forms/generalsettingsform2.h"
#include "forms/generatoroutputform.h"
#include "forms/masks/pdomappingmaskform.h"
#include "forms/objectdictionaryform.h"
#include "forms/subindexform.h"
#include "importers/dialogs/fileimportdialog.h"
#include "nwtest.h"
#include "panelkit/appidentity.h"
#include "panelkit/widgets/fileviewerdialog.h"
#include "panelkit/widgets/helpviewerdialog.h"
#include "projectdump.h"
#include "scriptedinteraction.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>
#include <QTreeWidget>

namespace {

template <typename T>
T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// Changes a user makes through the window, each one step of the history.
enum class UserAction { PdoMapping, StackSetting, Import };

void createStartDatabase(ObjectDataBase &database)
{
    database.createNewDataBase();
    database.addNode(0, ObjectDataBase::NODE_DATA_T());
    database.cleanUpStrings();
}

} // namespace

Q_DECLARE_METATYPE(UserAction)

class TestNwrMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        AppIdentity::apply("nodewright");
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath("settings"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath("settings"));
        qRegisterMetaType<ObjectDataBase::ChangeSet>("ObjectDataBase::ChangeSet");
    }

    void init()
    {
        QSettings().clear();
        QCoreApplication::setApplicationName("CANopen Nodewright");
    }

    void cleanup()
    {
        m_window.reset();
        m_project.reset();
        m_reference.reset();
        QCoreApplication::setApplicationName("CANopen Nodewright");
    }

    // The object comes back in the store and in the tree; the modified mark and the menu
    // follow the history.
    void editUndoAfterDeleteBringsTheObjectBack()
    {
        makeWindow();
        ObjectDataBase::INDEX_DATA_T object;
        object.name = QStringLiteral("Speed");
        m_project->addIndex(0, 0x2000, object);
        m_project->addSubIndex(0, 0x2000, 0, ObjectDataBase::SUBINDEX_DATA_T());
        m_ui->saveNames.append(m_dir.filePath("undo.nwrp"));
        m_window->on_actionSave_Project_triggered();
        QVERIFY(!m_window->isModified());
        auto *dictionary = qobject_cast<ObjectDictionaryForm *>(
            m_window->page(NwrMainWindow::Page::ObjectDictionary));
        child<QToolBox>(m_window.get(), "toolBox")->setCurrentWidget(dictionary);
        dictionary->gotoIndex(0x2000);
        m_window->on_actionDelete_triggered();
        QVERIFY(!m_project->existIndex(0, 0x2000));
        QVERIFY(!dictionary->getIndexItem(0x2000));
        QVERIFY(m_window->isModified());
        auto *undo = child<QAction>(m_window.get(), "actionUndo");
        auto *redo = child<QAction>(m_window.get(), "actionRedo");
        QCOMPARE(undo->text(), QStringLiteral("&Undo Delete 0x2000"));
        QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        undo->trigger();
        QVERIFY(m_project->existIndex(0, 0x2000));
        QVERIFY(dictionary->getIndexItem(0x2000));
        QCOMPARE(dictionary->getIndexItem(0x2000)->text(0), QStringLiteral("0x2000 - Speed"));
        QVERIFY(!m_window->isModified());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Change"));
        redo->trigger();
        QVERIFY(!dictionary->getIndexItem(0x2000));
        QVERIFY(m_window->isModified());
        // A project opened or created starts without history, its corrections included.
        QVERIFY(m_window->openProject(m_dir.filePath("undo.nwrp")));
        QVERIFY(m_project->existIndex(0, 0x2000));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        m_window->on_actionNew_Project_triggered();
        QVERIFY(!undo->isEnabled());
        QVERIFY(!m_window->isModified());
    }

    void oneUserActionIsOneNamedStep_data()
    {
        QTest::addColumn<UserAction>("action");
        QTest::addColumn<QString>("step");
        QTest::addRow("mask: PDO mapping") << UserAction::PdoMapping << "Edit PDO mapping 0x1a00";
        QTest::addRow("page: stack settings")
            << UserAction::StackSetting << "Change stack settings";
        QTest::addRow("dialog: import") << UserAction::Import << "Import of 19 objects";
    }

    // The action is done through its widgets in the window; undo gives back the store as it was
    // and the page shows it again, redo repeats it.
    void oneUserActionIsOneNamedStep()
    {
        QFETCH(UserAction, action);
        QFETCH(QString, step);
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        // Communication objects are changed in expert mode only.
        child<QAction>(m_window.get(), "actionEnable_Expert_Mode")->setChecked(true);
        if (action != UserAction::Import)
            importThroughDialog();
        m_project->clearUndoHistory();
        const QString dumps = m_dir.filePath("dump%1.nwrp");
        const nwtest::TableDump before = nwtest::dumpTables(*m_project, dumps.arg(1));
        const QString shownBefore = shownBy(action);
        if (action == UserAction::Import)
            importThroughDialog();
        else
            perform(action);
        auto *undo = child<QAction>(m_window.get(), "actionUndo");
        QCOMPARE(undo->text(), QStringLiteral("&Undo ") + step);
        QCOMPARE(m_project->undoLog()->undoCount(), 1);
        const nwtest::TableDump after = nwtest::dumpTables(*m_project, dumps.arg(2));
        const QString shownAfter = shownBy(action);
        QVERIFY(after != before && shownAfter != shownBefore);
        undo->trigger();
        QString difference =
            nwtest::dumpDifference(nwtest::dumpTables(*m_project, dumps.arg(3)), before);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QTRY_COMPARE(shownBy(action), shownBefore);
        auto *redo = child<QAction>(m_window.get(), "actionRedo");
        QCOMPARE(redo->text(), QStringLiteral("&Redo ") + step);
        redo->trigger();
        difference = nwtest::dumpDifference(nwtest::dumpTables(*m_project, dumps.arg(4)), after);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QTRY_COMPARE(shownBy(action), shownAfter);
    }

    void newProjectStartsFromTemplate()
    {
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_project->getIndices(0, 0x1000, 0xFFFF),
                 (QList<quint16>{0x1000, 0x1001, 0x1017, 0x1018, 0x1200}));
        QCOMPARE(m_project->getGeneralSettingsValue("line0type"), QStringLiteral("1"));
        QCOMPARE(m_project->getSubIndexValue(0, 0x1018, 1), QStringLiteral("0x000002B7"));
        QCOMPARE(m_project->getMiscSettingsValue("CreateToolVersion"), QStringLiteral("3.4.1"));
        QVERIFY(m_window->projectPath().isEmpty());
        QCOMPARE(child<QLabel>(m_window.get(), "lblProjectName")->text(),
                 QStringLiteral("new project"));
        QVERIFY(!m_window->isModified());
        QCOMPARE(pageTitles(true),
                 (QStringList{"General Settings", "Device Description - line 0",
                              "CANopen Object Dictionary - line 0", "Generator Output"}));
        m_window->setTemplatePath(m_dir.filePath("missing.data"));
        m_window->on_actionNew_Project_triggered();
        QVERIFY(m_ui->messages.contains("Cannot create new project file."));
        QVERIFY(m_project->existIndex(0, 0x1018));
    }

    void saveAsAndReopen()
    {
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        // Only changes of line 0 mark the project modified.
        m_project->addNode(1, ObjectDataBase::NODE_DATA_T());
        m_project->addIndex(1, 0x2000, ObjectDataBase::INDEX_DATA_T());
        m_project->addSubIndex(1, 0x2000, 0, ObjectDataBase::SUBINDEX_DATA_T());
        QVERIFY(!m_window->isModified());
        m_project->setDescriptionSettingsValue("ProductName", QStringLiteral("It's 100%"));
        QVERIFY(m_window->isModified());
        const QString path = m_dir.filePath("saved.nwrp");
        m_ui->saveNames.append(m_dir.filePath("saved"));
        m_window->on_actionSave_Project_triggered();
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(m_window->projectPath(), path);
        QCOMPARE(m_window->projectDirectory(), m_dir.path());
        QVERIFY(!m_window->isModified());
        QCOMPARE(m_window->recentProjects(), QStringList{path});
        QCOMPARE(QSettings().value("General/lastproject").toString(), path);
        // Saving again keeps the previous file as the backup.
        m_project->setGeneralSettingsValue("co_node_id", QStringLiteral("5"));
        QVERIFY(m_window->isModified());
        m_window->on_actionSave_Project_triggered();
        QVERIFY(QFileInfo::exists(path + ".bak"));
        m_window->on_actionNew_Project_triggered();
        QVERIFY(m_window->openProject(path));
        QCOMPARE(m_window->projectPath(), path);
        QCOMPARE(m_project->getDescriptionSettingsValue("ProductName"),
                 QStringLiteral("It's 100%"));
        QCOMPARE(m_project->getGeneralSettingsValue("co_node_id"), QStringLiteral("5"));
        QVERIFY(!m_window->isModified());
    }

    void askingToSave_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("newProjectStarted");
        QTest::addColumn<bool>("saved");
        QTest::addRow("cancel") << int(QMessageBox::Cancel) << false << false;
        QTest::addRow("discard") << int(QMessageBox::Discard) << true << false;
        QTest::addRow("save") << int(QMessageBox::Save) << true << true;
    }

    void askingToSave()
    {
        QFETCH(int, answer);
        QFETCH(bool, newProjectStarted);
        QFETCH(bool, saved);
        makeWindow();
        const QString path = saveNewProject("ask.nwrp");
        m_project->addIndex(0, 0x2000, ObjectDataBase::INDEX_DATA_T());
        m_ui->saveAnswers.append(QMessageBox::StandardButton(answer));
        m_window->on_actionNew_Project_triggered();
        QCOMPARE(m_ui->saveQuestions, QStringList{QStringLiteral(
                                          "The current project contains unsaved modifications.")});
        QCOMPARE(m_window->projectPath().isEmpty(), newProjectStarted);
        QCOMPARE(m_project->existIndex(0, 0x2000), !newProjectStarted);
        ObjectDataBase saved_;
        QVERIFY(saved_.openDataBase(path, false));
        QCOMPARE(saved_.existIndex(0, 0x2000), saved);
    }

    void quitAndCloseAskFirst_data()
    {
        QTest::addColumn<bool>("viaClose");
        QTest::addColumn<int>("answer");
        QTest::addRow("quit, cancel") << false << int(QMessageBox::Cancel);
        QTest::addRow("close, cancel") << true << int(QMessageBox::Cancel);
        QTest::addRow("quit, discard") << false << int(QMessageBox::Discard);
        QTest::addRow("close, discard") << true << int(QMessageBox::Discard);
    }

    void quitAndCloseAskFirst()
    {
        QFETCH(bool, viaClose);
        QFETCH(int, answer);
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        m_window->show();
        m_project->setGeneralSettingsValue("co_node_id", QStringLiteral("3"));
        m_ui->saveAnswers.append(QMessageBox::StandardButton(answer));
        if (viaClose)
            QVERIFY(!m_window->close());
        else
            m_window->on_actionQuit_triggered();
        QCOMPARE(m_ui->saveQuestions,
                 QStringList{QStringLiteral("The project contains unsaved modifications.")});
        // Quitting stores the window geometry; a cancelled quit does not get that far.
        const bool quit = answer == QMessageBox::Discard;
        QCOMPARE(m_ui->quits, quit ? 1 : 0);
        QCOMPARE(QSettings().contains("Geometry/size"), quit);
        QVERIFY(m_window->isVisible());
    }

    void eleventhRecentProjectReplacesOldest()
    {
        makeWindow();
        QStringList paths;
        for (int i = 0; i < 11; ++i) {
            paths.append(m_dir.filePath(QStringLiteral("recent%1.nwrp").arg(i)));
            QFile file(paths.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        for (int i = 0; i < 10; ++i)
            m_window->appendToRecent(paths.at(i));
        m_window->appendToRecent(paths.at(0));
        m_window->appendToRecent(paths.at(10));
        QStringList expected = {paths.at(10), paths.at(0)};
        for (int i = 9; i >= 2; --i)
            expected.append(paths.at(i));
        QCOMPARE(m_window->recentProjects(), expected);
        const auto *menu = child<QMenu>(m_window.get(), "menuRecent_Projects");
        QCOMPARE(menu->actions().size(), 10);
        QCOMPARE(menu->actions().first()->data().toString(), paths.at(10));
    }

    void openingReportsBadProjects()
    {
        makeWindow();
        const QString path = saveNewProject("keep.nwrp");
        const QString broken = m_dir.filePath("broken.nwrp");
        QVERIFY(nwWriteFile(broken, "not a project"));
        QVERIFY(!m_window->openProject(broken));
        QVERIFY(!m_window->openProject(m_dir.filePath("missing.nwrp")));
        QCOMPARE(m_ui->messages.count(QStringLiteral("Cannot open project file.")), 2);
        QCOMPARE(m_window->projectPath(), path);
        QVERIFY(m_project->existIndex(0, 0x1018));
        QCOMPARE(m_project->projectFileName(), path);
        // A project of another edition opens, with a word about it.
        QCoreApplication::setApplicationName("J1939 Nodewright");
        const QString j1939 = saveNewProject("j1939.nwrp");
        QCoreApplication::setApplicationName("CANopen Nodewright");
        QVERIFY(m_window->openProject(j1939));
        QVERIFY(m_ui->messages.contains("File was not created with this tool."));
        QCOMPARE(m_window->projectPath(), j1939);
    }

    void lineSelectorEntries()
    {
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        QCOMPARE(selectorTexts(), (QStringList{"Line 0 - CANopen", "Add empty line",
                                               "Duplicate last line", "Delete last line"}));
        cleanup();
        QCoreApplication::setApplicationName("CAN Nodewright");
        makeWindow();
        m_ui->protocols.append(4);
        m_window->on_actionNew_Project_triggered();
        QCOMPARE(m_ui->protocolQuestions, QStringList{"Select CAN protocol for line 0:"});
        QCOMPARE(selectorTexts(),
                 (QStringList{"Line 0 - raw CAN", "Add empty line", "Duplicate last line",
                              "Delete last line", "Change Line Type"}));
        QVERIFY(m_project->getIndices(0, 0x1000, 0xFFFF).isEmpty());
    }

    void addLineTakesBasicObjects_data()
    {
        QTest::addColumn<bool>("lineZeroHasErrorRegister");
        QTest::addColumn<QString>("vendorId");
        QTest::addRow("from line 0") << true << "0x000002B7";
        QTest::addRow("from the catalogue") << false << "0x00000000";
    }

    void addLineTakesBasicObjects()
    {
        QFETCH(bool, lineZeroHasErrorRegister);
        QFETCH(QString, vendorId);
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        m_window->import301();
        if (!lineZeroHasErrorRegister)
            m_project->delIndex(0, 0x1001);
        // A shared object of line 0 goes into the new line too.
        m_project->addIndex(0, 0x2100, ObjectDataBase::INDEX_DATA_T());
        ObjectDataBase::SUBINDEX_DATA_T shared;
        shared.sharedlines = true;
        m_project->addSubIndex(0, 0x2100, 0, shared);
        m_project->addIndex(0, 0x2101, ObjectDataBase::INDEX_DATA_T());
        m_project->addSubIndex(0, 0x2101, 0, ObjectDataBase::SUBINDEX_DATA_T());
        QSignalSpy lineChanged(m_window.get(), &NwrMainWindow::lineChanged);
        m_ui->yesNo.append(true);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::AddEmptyLine));
        QCOMPARE(m_ui->questions, QStringList{"Do you want to add a new line?"});
        QCOMPARE(m_project->getNodes(), (QList<quint8>{0, 1}));
        QCOMPARE(m_project->getGeneralSettingsValue("line1type"), QStringLiteral("1"));
        QCOMPARE(m_project->getIndices(1, 0x1000, 0xFFFF),
                 (QList<quint16>{0x1000, 0x1001, 0x1017, 0x1018, 0x1200, 0x2100}));
        QCOMPARE(m_project->getSubIndexValue(1, 0x1018, 1), vendorId);
        QCOMPARE(m_project->getSubIndices(1, 0x1018, 0).size(), 5);
        QCOMPARE(m_window->getCurrentLine(), quint8(1));
        QCOMPARE(lineChanged.count(), 1);
        QVERIFY(pageTitles().contains("CANopen Object Dictionary - line 1"));
        QTRY_COMPARE(selectorTexts().mid(0, 2),
                     (QStringList{"Line 0 - CANopen", "Line 1 - CANopen"}));
    }

    void duplicateAndDeleteLastLine()
    {
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        m_project->addIndex(0, 0x2000, ObjectDataBase::INDEX_DATA_T());
        m_ui->yesNo.append(true);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::DuplicateLastLine));
        QCOMPARE(m_project->getNodes(), (QList<quint8>{0, 1}));
        QCOMPARE(m_project->getIndices(1, 0x1000, 0xFFFF),
                 m_project->getIndices(0, 0x1000, 0xFFFF));
        QCOMPARE(m_project->getGeneralSettingsValue("line1type"), QStringLiteral("1"));
        QTRY_COMPARE(selectorTexts().size(), 5);
        m_ui->yesNo.append(false);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::DeleteLastLine));
        QCOMPARE(m_project->getNodes(), (QList<quint8>{0, 1}));
        m_ui->yesNo.append(true);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::DeleteLastLine));
        QCOMPARE(m_ui->questions.last(), QStringLiteral("Do you want to delete this line?"));
        QCOMPARE(m_project->getNodes(), QList<quint8>{0});
        QCOMPARE(m_window->getCurrentLine(), quint8(0));
        QTRY_COMPARE(selectorTexts().size(), 4);
        // Line 0 is never deleted, and nobody is asked.
        const int asked = m_ui->questions.size();
        m_ui->yesNo.append(true);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::DeleteLastLine));
        QCOMPARE(m_ui->questions.size(), asked);
        QCOMPARE(m_project->getNodes(), QList<quint8>{0});
        QCOMPARE(child<QComboBox>(m_window.get(), "cbLine")->currentIndex(), 0);
    }

    void lineTypeFourEnablesCanIdPage()
    {
        QCoreApplication::setApplicationName("CAN Nodewright");
        makeWindow();
        m_ui->protocols.append(4);
        const QString path = saveNewProject("rawcan.nwrp");
        m_ui->protocols.append(1);
        m_window->on_actionNew_Project_triggered();
        QCOMPARE(pageTitles(true),
                 (QStringList{"General Settings", "Device Description - line 0",
                              "CANopen Object Dictionary - line 0", "Generator Output"}));
        QVERIFY(m_window->openProject(path));
        QCOMPARE(pageTitles(true),
                 (QStringList{"General Settings", "CAN ID Database", "Generator Output"}));
    }

    void toolBoxPagesPerEdition_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QStringList>("titles");
        const auto row = [](const char *name, const QString &edition, const QStringList &titles) {
            QTest::newRow(name) << edition << titles;
        };
        row("canopen", "CANopen Nodewright",
            QStringList{"General Settings", "Device Description", "Object Dictionary",
                        "J1939 Configuration", "J1939 Signal Definition", "Generator Output"});
        row("j1939", "J1939 Nodewright",
            QStringList{"General Settings", "J1939 Configuration", "J1939 Signal Definition",
                        "Generator Output"});
        row("can", "CAN Nodewright",
            QStringList{"General Settings", "J1939 Configuration", "J1939 Signal Definition",
                        "CANopen Device Description", "CANopen Object Dictionary",
                        "CAN ID Database", "Generator Output"});
        row("energybus", "EnergyBus Packwright",
            QStringList{"General Settings", "Device Description", "Object Dictionary",
                        "J1939 Configuration", "J1939 Signal Definition",
                        "EnergyBus Device Settings", "Generator Output"});
    }

    void toolBoxPagesPerEdition()
    {
        QFETCH(QString, edition);
        QFETCH(QStringList, titles);
        QCoreApplication::setApplicationName(edition);
        makeWindow();
        QCOMPARE(pageTitles(), titles);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("tenvor - %1 3.4.1").arg(edition));
    }

    void networkToolTitle_data()
    {
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("title");
        const QString base = QStringLiteral(
            "tenvor embedded communication - CANopen Nodewright 3.4.1 invoked by CANopen "
            "Buswright for Node 16");
        QTest::addRow("network 0") << "0" << base;
        QTest::addRow("network 2") << "0x2" << base + " (network 2)";
    }

    void networkToolTitle()
    {
        QFETCH(QString, network);
        QFETCH(QString, title);
        makeWindow(
            {QStringLiteral("nodewright"), QStringLiteral("-j1939"), QStringLiteral("-cbw")});
        QVERIFY(m_window->isInvokedByNetworkTool());
        m_window->on_actionNew_Project_triggered();
        m_project->setGeneralSettingsValue("co_node_id", QStringLiteral("0x10"));
        m_project->setGeneralSettingsValue("co_network_id", network);
        m_window->doThingsAfter1Second();
        QCOMPARE(m_window->windowTitle(), title);
        for (const char *name :
             {"actionNew_Project", "actionOpen_Project", "actionSave_Project_as"})
            QVERIFY(!m_window->findChild<QAction *>(QLatin1String(name))->isEnabled());
        QVERIFY(!child<QMenu>(m_window.get(), "menuRecent_Projects")->menuAction()->isEnabled());
        QVERIFY(child<QAction>(m_window.get(), "actionSave_Project")->isEnabled());
    }

    // With a window, what "-i FILE" noted reaches the user, not only the log.
    void importOptionShowsProblems()
    {
        makeWindow({QStringLiteral("nodewright"), QStringLiteral("-i"),
                    QStringLiteral(NW_TEST_DATA_DIR "/importers/csv/motor.csv")});
        m_window->on_actionNew_Project_triggered();
        m_window->doThingsAfter1Second();
        QVERIFY(m_project->existIndex(0, 0x2011));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages.first().endsWith(
                     "these problems:\n\nmotor.csv:7: warning: no object index in "
                     "\"0x20G3;0;Broken row;u8;ro\"; row skipped"),
                 qPrintable(m_ui->messages.first()));
    }

    void developerConsole()
    {
        makeWindow();
        auto *action = child<QAction>(m_window.get(), "actionDeveloper_Console");
        QVERIFY(!action->isVisible());
        child<QAction>(m_window.get(), "actionEnable_Expert_Mode")->setChecked(true);
        QVERIFY(action->isVisible());
        m_window->on_actionNew_Project_triggered();
        m_window->on_actionDeveloper_Console_triggered();
        auto *console = child<QDialog>(m_window.get(), "DeveloperConsoleDialog");
        QVERIFY(console);
        auto *edit = child<QLineEdit>(console, "edtSql");
        edit->setText("select value from GeneralSettings where item = 'line0type'");
        QTest::mouseClick(child<QPushButton>(console, "btnExecute"), Qt::LeftButton);
        QCOMPARE(child<QPlainTextEdit>(console, "txtResult")->toPlainText(), QStringLiteral("1"));
        edit->setText("select * from nowhere");
        QTest::mouseClick(child<QPushButton>(console, "btnExecute"), Qt::LeftButton);
        QVERIFY(child<QPlainTextEdit>(console, "txtResult")->toPlainText().contains("nowhere"));
    }

    void settingsAreReadAgainAfterTheDialog()
    {
        makeWindow();
        auto *console = child<QAction>(m_window.get(), "actionDeveloper_Console");
        QVERIFY(!console->isVisible());
        bool answered = false;
        QTimer::singleShot(0, this, [&answered] {
            auto *dialog = qobject_cast<SettingsDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            child<QCheckBox>(dialog, "chMetadata")->setChecked(true);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            answered = true;
        });
        m_window->on_actionSettings_triggered();
        QVERIFY(answered);
        QVERIFY(console->isVisible());
    }

    void lastProjectAtStartMatchesTheDialog_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("opened");
        QTest::addRow("nothing stored") << QVariant() << false;
        QTest::addRow("on") << QVariant(1) << true;
        QTest::addRow("off") << QVariant(0) << false;
    }

    // Start-up opens the last project exactly when the settings dialog shows "Open last
    // project at start" checked, also while nothing is stored yet.
    void lastProjectAtStartMatchesTheDialog()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, opened);
        makeWindow();
        const QString path = saveNewProject("last.nwrp");
        QSettings settings;
        QCOMPARE(settings.value("General/lastproject").toString(), path);
        if (stored.isValid())
            settings.setValue("General/loadlastproject", stored);
        else
            settings.remove("General/loadlastproject");
        settings.sync();
        makeWindow();
        m_window->doThingsAfterStartup();
        QCOMPARE(m_window->projectPath(), opened ? path : QString());
        SettingsDialog dialog(nullptr, false);
        QCOMPARE(child<QCheckBox>(&dialog, "chLoadLastProject")->isChecked(), opened);
    }

    void updateAnswerIsShown_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("stack");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const QString &tool, const QString &stack,
                            const QString &text) { QTest::newRow(name) << tool << stack << text; };
        row("nothing new", "", "",
            "No new tool version available.<br><br>No new stack version available.");
        row("new tool", "3.5.0", "",
            "New tool version 3.5.0 available.<br><br>No new stack version available.");
        row("new stack", "", "6.6.0",
            "No new tool version available.<br><br><b>New stack version 6.6.0 available.</b>");
    }

    void updateAnswerIsShown()
    {
        QFETCH(QString, tool);
        QFETCH(QString, stack);
        QFETCH(QString, text);
        makeWindow();
        auto *button = child<QToolButton>(m_window.get(), "btnUpdate");
        QVERIFY(button);
        QVERIFY(!button->isEnabled());
        m_window->newVersion(tool, stack, false);
        QVERIFY(m_ui->messages.isEmpty());
        m_window->newVersion(tool, stack, true);
        QCOMPARE(m_ui->messages, QStringList{text});
        QCOMPARE(button->isEnabled(), !tool.isEmpty() || !stack.isEmpty());
        QCOMPARE(button->text(), QStringLiteral("Update available"));
    }

    void changeLogAndManual()
    {
        makeWindow();
        m_window->on_actionChangelog_triggered();
        const auto *viewer = m_window->findChild<FileViewerDialog *>();
        QVERIFY(viewer);
        QCOMPARE(viewer->fileName(), QStringLiteral(":/txt/ChangeLog.txt"));
        QVERIFY(viewer->text().contains("3.4.1"));
        const auto *help = m_window->findChild<HelpViewerDialog *>();
        QVERIFY(help);
        QCOMPARE(help->file(), QCoreApplication::applicationDirPath()
                                   + QStringLiteral("/doc/manual_01006_en.html"));
    }

    void droppedProjectIsOpened()
    {
        makeWindow();
        const QString path = saveNewProject("dropped.nwrp");
        m_window->on_actionNew_Project_triggered();
        QVERIFY(m_window->projectPath().isEmpty());
        // Only a shown window is a drop site, and a drop goes where the drag entered.
        m_window->show();
        const auto dragAndDrop = [this](const QString &file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(m_window.get(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_window.get(), &drop);
        };
        dragAndDrop(m_dir.filePath("none.nwrp"));
        QVERIFY(m_window->projectPath().isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
        dragAndDrop(path);
        QCOMPARE(m_window->projectPath(), path);
    }

    // The window binds its pages through BaseMainForm: the store, the line, the expert mode,
    // the Edit menu and the request to save before another page is shown.
    void pagesAreBoundThroughTheirInterface()
    {
        makeWindow();
        m_window->on_actionNew_Project_triggered();
        auto *dictionary = qobject_cast<ObjectDictionaryForm *>(
            m_window->page(NwrMainWindow::Page::ObjectDictionary));
        QVERIFY(dictionary);
        QVERIFY(qobject_cast<DeviceDescriptionForm *>(
            m_window->page(NwrMainWindow::Page::DeviceDescription)));
        QVERIFY(dictionary->getIndexItem(0x1018));
        QVERIFY(!dictionary->isExpertMode());
        child<QAction>(m_window.get(), "actionEnable_Expert_Mode")->setChecked(true);
        QVERIFY(dictionary->isExpertMode());
        auto *box = child<QToolBox>(m_window.get(), "toolBox");
        box->setCurrentWidget(dictionary);
        dictionary->gotoIndex(0x1017);
        child<QAction>(m_window.get(), "actionDelete")->trigger();
        QVERIFY(!m_project->existIndex(0, 0x1017));
        QVERIFY(!dictionary->getIndexItem(0x1017));
        QTreeWidgetItem *vendor = dictionary->getIndexItem(0x1018)->child(1);
        dictionary->tree()->setCurrentItem(vendor);
        auto *editor = qobject_cast<SubIndexForm *>(dictionary->openEditor());
        QVERIFY(editor);
        child<QPlainTextEdit>(editor, "teDescription")->setPlainText("typed, not yet left");
        box->setCurrentWidget(m_window->page(NwrMainWindow::Page::DeviceDescription));
        ObjectDataBase::SUBINDEX_DATA_T stored;
        m_project->getSubIndexData(0, 0x1018, 1, stored);
        QCOMPARE(stored.description, QStringLiteral("typed, not yet left"));
        auto *output = qobject_cast<GeneratorOutputForm *>(
            m_window->page(NwrMainWindow::Page::GeneratorOutput));
        box->setCurrentWidget(output);
        emit output->gotoObject(0x1001);
        QCOMPARE(box->currentWidget(), dictionary);
        QCOMPARE(dictionary->getCurrentIndex(), quint16(0x1001));
        m_ui->yesNo.append(true);
        m_window->handleLineChanged(selectorEntry(NwrMainWindow::AddEmptyLine));
        QCOMPARE(dictionary->currentLine(), quint8(1));
        QVERIFY(!dictionary->getIndexItem(0x1017));
        m_window->handleLineChanged(selectorEntry(0));
        QCOMPARE(dictionary->currentLine(), quint8(0));
    }

    void firstStartUsesMostOfTheScreen()
    {
        makeWindow();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(m_window->size(), QSize(screen.width() * 9 / 10, screen.height() * 9 / 10));
        m_window->resize(500, 400);
        m_window->move(screen.topLeft() + QPoint(20, 30));
        m_ui->saveAnswers.append(QMessageBox::Discard);
        m_window->on_actionQuit_triggered();
        makeWindow();
        QCOMPARE(m_window->size(), QSize(500, 400));
        // A position on a screen that is gone brings the window back onto this one.
        QSettings().setValue("Geometry/pos", QPoint(-5000, -5000));
        makeWindow();
        QVERIFY(screen.contains(m_window->pos()));
    }

private:
    void makeWindow(const QStringList &arguments = {QStringLiteral("nodewright")})
    {
        m_window.reset();
        m_project.reset(new ObjectDataBase);
        m_reference.reset(new ObjectDataBase);
        createStartDatabase(*m_project);
        createStartDatabase(*m_reference);
        m_window.reset(new NwrMainWindow(arguments));
        m_ui = new ScriptedInteraction;
        m_window->setUserInteraction(m_ui);
        m_window->setClock([this] { return ++m_now; });
        m_window->setTemplatePath(QStringLiteral(NW_BINARY_DIR "/src/data/mt.data"));
        m_window->setProjectDatabase(m_project.get());
        m_window->setAdditionalDatabase(m_reference.get());
    }

    QString saveNewProject(const QString &name)
    {
        m_window->on_actionNew_Project_triggered();
        const QString path = m_dir.filePath(name);
        m_ui->saveNames.append(path);
        m_window->on_actionSave_Project_triggered();
        return path;
    }

    int selectorEntry(int data) const
    {
        return child<QComboBox>(m_window.get(), "cbLine")->findData(data);
    }

    QStringList selectorTexts() const
    {
        const auto *selector = child<QComboBox>(m_window.get(), "cbLine");
        QStringList texts;
        for (int i = 0; i < selector->count(); ++i)
            texts.append(selector->itemText(i));
        return texts;
    }

    // The titles of the tool box pages; with enabledOnly those the user can open.
    QStringList pageTitles(bool enabledOnly = false) const
    {
        const auto *box = child<QToolBox>(m_window.get(), "toolBox");
        QStringList titles;
        for (int i = 0; i < box->count(); ++i) {
            if (!enabledOnly || box->isItemEnabled(i))
                titles.append(box->itemText(i));
        }
        return titles;
    }

    // Adds the first mappable object in the mask, or switches LSS on the stack settings page.
    void perform(UserAction action)
    {
        if (action == UserAction::PdoMapping) {
            auto *mask = dictionary()->openEditor()->findChild<PdoMappingMaskForm *>();
            QVERIFY(mask && mask->mappableTable()->rowCount() > 0);
            mask->mappableTable()->selectRow(0);
            for (auto *button : mask->findChildren<QPushButton *>()) {
                if (button->text() == QLatin1String("Add"))
                    button->click();
            }
            return;
        }
        QTableWidgetItem *lss = settingsPage()->editorOf("lss_supported").item();
        lss->setCheckState(lss->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }

    // What the page of the action shows of what it changed.
    QString shownBy(UserAction action) const
    {
        if (action == UserAction::StackSetting)
            return settingsPage()->editorOf("lss_supported").value();
        if (action == UserAction::Import) {
            const QTreeWidgetItem *item = dictionary()->getIndexItem(0x4000);
            return item ? item->text(0) : QStringLiteral("no object");
        }
        const BaseTreeForm *editor = dictionary()->openEditor();
        const auto *mask = editor ? editor->findChild<PdoMappingMaskForm *>() : nullptr;
        if (!mask || !mask->isVisibleTo(dictionary()))
            return QStringLiteral("no mask");
        QStringList rows;
        for (int row = 0; row < mask->mappedTable()->rowCount(); ++row)
            rows.append(mask->mappedTable()->item(row, 0)->text());
        return rows.join(QLatin1Char(' '));
    }

    ObjectDictionaryForm *dictionary() const
    {
        return qobject_cast<ObjectDictionaryForm *>(
            m_window->page(NwrMainWindow::Page::ObjectDictionary));
    }

    GeneralSettingsForm2 *settingsPage() const
    {
        return qobject_cast<GeneralSettingsForm2 *>(
            m_window->page(NwrMainWindow::Page::GeneralSettings));
    }

    // Imports every object of a corpus EDS into line 0 through the import dialog; the tree
    // then shows the mask of the TPDO mapping 0x1A00.
    void importThroughDialog(const QString &file = QStringLiteral("simple.eds"))
    {
        m_window->openImportDialog();
        auto *dialog = m_window->findChild<FileImportDialog *>();
        QVERIFY(dialog);
        dialog->setMessageSink(
            [](QMessageBox::Icon icon, const QString &, const QString &, const QString &) {
                return icon == QMessageBox::Question ? QMessageBox::Yes : QMessageBox::Ok;
            });
        child<QLineEdit>(dialog, "edtFilePath")
            ->setText(QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/") + file);
        child<QLineEdit>(dialog, "edtLow")->setText("0x1000");
        child<QLineEdit>(dialog, "edtHigh")->setText("0xFFFF");
        auto *read = child<QPushButton>(dialog, "btnRead");
        read->click();
        QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled(), 20000);
        child<QListWidget>(dialog, "lbObjects")->selectAll();
        child<QPushButton>(dialog, "btnImport")->click();
        child<QToolBox>(m_window.get(), "toolBox")->setCurrentWidget(dictionary());
        QTRY_VERIFY(dictionary()->getIndexItem(0x1A00));
        dictionary()->gotoIndex(0x1A00);
        dictionary()->openEditor()->setActiveTab("tabMask");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ObjectDataBase> m_project;
    std::unique_ptr<ObjectDataBase> m_reference;
    std::unique_ptr<NwrMainWindow> m_window;
    ScriptedInteraction *m_ui = nullptr;
    qint64 m_now = 1000;
};

NW_TEST_MAIN(TestNwrMainWindow)
#include "tst_nwrmainwindow.moc"
