// The generation run of the window: the Generate menu, "&Generate Files", "-g" and the
// viewers of generated files. The run itself is GenerationRun; the window shows its
// progress dialog, its messages in the generator output page and its failures in boxes.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "userinteraction.h"

#include "forms/devicedescriptionform.h"
#include "forms/generatoroutputform.h"
#include "forms/objectdictionaryform.h"
#include "generators/generationrun.h"
#include "panelkit/widgets/fileviewerdialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTextStream>
#include <QTimer>

namespace {

// Generated stack files the Generate menu can show, with their menu texts.
const struct
{
    const char *objectName;
    const char *text;
    const char *file;
} sourceViewers[] = {
    {"actionCo_objects_c", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_objdict.c"), "gen_objdict.c"},
    {"actionGen_define_h", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_define.h"), "gen_define.h"},
    {"actionGen_indication_h", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_indication.h"),
     "gen_indication.h"},
    {"actionGen_pgn_c", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_pgn.c"), "gen_pgn.c"},
    {"actionGen_extern_decl_h", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_extern_decl.h"),
     "gen_extern_decl.h"},
    {"actionGen_srdo_c", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_srdo.c"), "gen_srdo.c"},
    {"actionGen_mp_c", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_mp.c"), "gen_mp.c"},
    {"actionGen_vobjdict_c", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_vobjdict.c"),
     "gen_vobjdict.c"},
    {"actionGen_indices_h", QT_TRANSLATE_NOOP("NwrMainWindow", "gen_indices.h"), "gen_indices.h"},
};

// Project files named after the project, with their menu texts.
const struct
{
    const char *objectName;
    const char *text;
    const char *suffix;
} projectViewers[] = {
    {"actionEDS_File", QT_TRANSLATE_NOOP("NwrMainWindow", "EDS File"), ".eds"},
    {"actionCSV_File", QT_TRANSLATE_NOOP("NwrMainWindow", "CSV File"), ".csv"},
    {"actionHTML_Documentation", QT_TRANSLATE_NOOP("NwrMainWindow", "HTML Documentation"), ".html"},
    {"actionText_Documentation", QT_TRANSLATE_NOOP("NwrMainWindow", "Text Documentation"),
     "_doc.txt"},
    {"actionDBC_File", QT_TRANSLATE_NOOP("NwrMainWindow", "DBC File"), ".dbc"},
    {"actionXDD_File", QT_TRANSLATE_NOOP("NwrMainWindow", "XDD File"), ".xdd"},
};

} // namespace

QWidget *NwrMainWindow::createPageWidget(Page which)
{
    switch (which) {
    case Page::ObjectDictionary:
        return new ObjectDictionaryForm(ui->toolBox);
    case Page::DeviceDescription:
        return new DeviceDescriptionForm(ui->toolBox);
    case Page::GeneratorOutput:
        outputForm = new GeneratorOutputForm(ui->toolBox);
        return outputForm;
    default:
        return new QWidget(ui->toolBox);
    }
}

void NwrMainWindow::createGenerateMenu()
{
    QMenu *menu = new QMenu(tr("&Generate"), this);
    menu->setObjectName(QStringLiteral("menuGenerate"));
    ui->menubar->insertMenu(ui->menuOptions->menuAction(), menu);

    QAction *generate = menu->addAction(tr("&Generate Files"));
    generate->setObjectName(QStringLiteral("actionGenerate_Output"));
    generate->setShortcut(QKeySequence(Qt::Key_F7));
    connect(generate, &QAction::triggered, this,
            &NwrMainWindow::on_actionGenerate_Output_triggered);
    menu->addSeparator();
    for (const auto &viewer : sourceViewers) {
        QAction *action = menu->addAction(tr(viewer.text));
        action->setObjectName(QLatin1String(viewer.objectName));
        const QString file = QLatin1String(viewer.file);
        connect(action, &QAction::triggered, this,
                [this, file] { showFile(projectDir + QLatin1Char('/') + file); });
    }
    menu->addSeparator();
    for (const auto &viewer : projectViewers) {
        QAction *action = menu->addAction(tr(viewer.text));
        action->setObjectName(QLatin1String(viewer.objectName));
        const QString suffix = QLatin1String(viewer.suffix);
        connect(action, &QAction::triggered, this,
                [this, suffix] { showFile(projectFileForViewer(suffix)); });
    }

    progressDialog = new QProgressDialog(tr("Generation in progress..."), QString(), 0, 0, this);
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setCancelButton(nullptr);
    progressDialog->setMinimumDuration(0);
    progressDialog->reset();
    progressDialog->hide();
}

// A file named after the project; in a multi-line project whose common file does not
// exist, the file of the line chosen in the line selector ("name_<line>.eds").
QString NwrMainWindow::projectFileForViewer(const QString &suffix) const
{
    const QString base = projectDir + QLatin1Char('/') + projectName;
    const QString common = base + suffix;
    if (QFileInfo::exists(common) || !projectDb || projectDb->getNodes().size() < 2)
        return common;
    return base + QStringLiteral("_%1").arg(currentLine) + suffix;
}

void NwrMainWindow::showFile(const QString &path)
{
    auto *viewer = new FileViewerDialog(path, this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

GenerationRun *NwrMainWindow::generation()
{
    if (generationRun)
        return generationRun;
    generationRun = new GenerationRun(projectDb, this);
    if (outputForm) {
        connect(generationRun, &GenerationRun::message, outputForm,
                &GeneratorOutputForm::appendLogging);
        connect(generationRun, &GenerationRun::clearLogRequested, outputForm,
                &GeneratorOutputForm::clearLogging);
        generationRun->setLogTextSource(
            [form = outputForm] { return form ? form->getLogging() : QString(); });
    }
    connect(generationRun, &GenerationRun::saveRequested, this,
            &NwrMainWindow::on_actionSave_Project_triggered);
    return generationRun;
}

void NwrMainWindow::on_actionGenerate_Output_triggered()
{
    if (!projectDb)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    progressDialog->move(geometry().center() - progressDialog->rect().center());
    progressDialog->show();
    progressDialog->raise();
    newCurrentTabActivated(ui->toolBox->currentIndex());

    GenerationRun *run = generation();
    run->setEdition(QCoreApplication::applicationName());
    run->setInvokedByNetworkTool(invokedByNetworkTool);
    run->setProject(projectDir, projectName);
    if (run->energyBusConfigurationPending())
        reportGenerationProblem(QMessageBox::Warning,
                                tr("The EnergyBus configuration has not yet been applied into "
                                   "the object dictionary."));

    const GenerationRun::Outcome outcome = run->run();
    QApplication::restoreOverrideCursor();
    progressDialog->hide();
    if (outcome != GenerationRun::Completed) {
        reportGenerationProblem(QMessageBox::Critical, run->failureText());
        return;
    }
    if (!j1939Edition)
        QTimer::singleShot(200, run, &GenerationRun::startEdsCheck);
    QTimer::singleShot(300, run, &GenerationRun::adjustLineEndings);
}

// Started with "-g" nobody may be there to close a message box: problems go to the
// status bar and the error output instead, and the application ends as usual.
void NwrMainWindow::reportGenerationProblem(int icon, const QString &text)
{
    if (!generatingFromCommandLine) {
        showMessage(icon, text);
        return;
    }
    statusLabel->setText(text);
    QTextStream(stderr) << text << '\n';
}

void NwrMainWindow::runGenerationFromCommandLine()
{
    generatingFromCommandLine = true;
    on_actionGenerate_Output_triggered();
    generatingFromCommandLine = false;
}
