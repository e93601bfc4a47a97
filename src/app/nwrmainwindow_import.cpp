// Importing description files: the import command of the File menu and "-i FILE" on the
// command line.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "userinteraction.h"

#include "database/undostep.h"

#include "importers/csvimporter.h"
#include "importers/dialogs/fileimportdialog.h"
#include "importers/edsimporter.h"
#include "importers/importfilekind.h"
#include "importers/xddimporter.h"

#include <QDebug>
#include <QFileInfo>

void NwrMainWindow::addImportAction()
{
    importAction = new QAction(tr("&Import..."), this);
    importAction->setObjectName(QStringLiteral("actionImport"));
    importAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    importAction->setStatusTip(
        tr("Import objects from an EDS, DCF, XDD, CSV, project or catalogue file"));
    ui->menuFile->insertAction(ui->actionQuit, importAction);
    ui->menuFile->insertSeparator(ui->actionQuit);
    connect(importAction, &QAction::triggered, this, &NwrMainWindow::openImportDialog);
}

// The import dialog of CANopen lines. J1939 lines have no import dialog yet; for other
// line types there is nothing to import.
void NwrMainWindow::openImportDialog()
{
    if (!LineTypes::carriesCANopen(lineType(currentLine)))
        return;
    // The catalogue and the dialog share line 255 of the reference database.
    waitForCatalogue();
    if (!importDialog) {
        importDialog = new FileImportDialog(this);
        // The dialog reads into the catalogue's line of the reference database; once it
        // is gone the catalogue is read again for the masks and new lines.
        connect(importDialog, &QObject::destroyed, this, &NwrMainWindow::import301);
    }
    importDialog->setCurrentLine(currentLine);
    importDialog->setProjectDatabase(projectDb);
    importDialog->setAdditionalDatabase(additionalDb);
    importDialog->setExpertMode(ui->actionEnable_Expert_Mode->isChecked());
    importDialog->show();
    importDialog->raise();
    importDialog->activateWindow();
}

// "-i FILE": an EDS, DCF, XDD or CSV file read straight into line 0 of the project. What
// the reader noted is shown, unless the run generates without a window ("-g").
void NwrMainWindow::importFromCommandLine()
{
    const int at = arguments.indexOf(QStringLiteral("-i"));
    if (at < 0 || at + 1 >= arguments.size())
        return;
    const QString path = arguments.at(at + 1);
    const ImportFileKind kind = importFileKind(path);
    const bool xdd = kind == ImportFileKind::Xdd;
    const bool csv = kind == ImportFileKind::Csv;
    if (!QFileInfo::exists(path)
        || (!xdd && !csv && kind != ImportFileKind::Eds && kind != ImportFileKind::Dcf))
        return;
    qDebug() << "try to import " << path;
    EDSImporter eds;
    XDDImporter description;
    CsvImporter csvReader;
    BaseDataImporter *importer = &eds;
    if (xdd)
        importer = &description;
    else if (csv)
        importer = &csvReader;
    eds.setDcfMode(kind == ImportFileKind::Dcf);
    importer->setDatabase(projectDb);
    importer->setActiveLine(0);
    importer->setIndexRange(0x1000, 0xBFFF);
    importer->setImportFileName(path);
    QStringList problems;
    {
        UndoStep step(projectDb, tr("Import of %1").arg(QFileInfo(path).fileName()));
        importer->startImport();
        importer->wait();
        runLocalEventLoop(500);
        problems = csvReader.diagnostics();
        if (csv)
            problems << csvReader.applyCommands(projectDb, 0);
    }
    for (const EdsParser::Diagnostic &problem :
         xdd ? description.diagnostics() : eds.diagnostics()) {
        if (problem.severity > EdsParser::Diagnostic::Info)
            problems << problem.toString();
    }
    for (const QString &problem : problems)
        qWarning().noquote() << problem;
    if (arguments.contains(QStringLiteral("-g")))
        return;
    if (!importer->getLastError().isEmpty()) {
        interaction->showMessage(this, QMessageBox::Critical, tr("Import error"),
                                 importer->getLastError());
    } else if (!problems.isEmpty()) {
        // Long lists are cut; the log has them all.
        const int shown = 25;
        QString text = tr("%1 was imported with these problems:\n\n%2")
                           .arg(QFileInfo(path).fileName(),
                                QStringList(problems.mid(0, shown)).join(QLatin1Char('\n')));
        if (problems.size() > shown)
            text += tr("\n... and %1 more.").arg(problems.size() - shown);
        interaction->showMessage(this, QMessageBox::Warning, tr("Import problems"), text);
    }
}
