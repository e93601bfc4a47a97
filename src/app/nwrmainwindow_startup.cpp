// Start-up steps of the main window: the CiA 301 catalogue, the first project, the
// command-line actions and the mode under the network tool's control.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "importers/codbimporter.h"
#include "panelkit/linetype.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

namespace {

const char *const catalogueFile = ":/codb/v301.codb";

// A number as the network tool writes it: decimal, or hexadecimal with "0x".
uint readNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return t.mid(2).toUInt(nullptr, 16);
    return t.toUInt(nullptr, 10);
}

} // namespace

void NwrMainWindow::runLocalEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void NwrMainWindow::import301()
{
    if (!additionalDb)
        return;
    if (catalogueImporter) {
        catalogueImporter->abortImport();
        catalogueImporter->wait();
        delete catalogueImporter;
    }
    additionalDb->delNode(ReservedLine::staging);
    additionalDb->addNode(ReservedLine::staging, ObjectDataBase::NODE_DATA_T());
    // The reader moves to its worker thread, so it must not have a parent.
    catalogueImporter = new CODBImporter;
    catalogueImporter->setDatabase(additionalDb);
    catalogueImporter->setActiveLine(ReservedLine::staging);
    catalogueImporter->setIndexRange(0x1000, 0x1FFF);
    catalogueImporter->setImportFileName(QString::fromLatin1(catalogueFile));
    connect(catalogueImporter, &BaseDataImporter::progress, this, &NwrMainWindow::importPogress);
    catalogueImporter->startImport();
    QSettings().setValue(QStringLiteral("General/importpath"), QString::fromLatin1(catalogueFile));
}

void NwrMainWindow::importPogress(quint8 value)
{
    if (value < 100) {
        statusLabel->setText(tr("Reading the CiA 301 catalogue: %1 %").arg(value));
        return;
    }
    statusLabel->clear();
    if (catalogueImporter && sender() == catalogueImporter) {
        catalogueImporter->deleteLater();
        catalogueImporter = nullptr;
    }
}

void NwrMainWindow::waitForCatalogue()
{
    if (catalogueImporter)
        catalogueImporter->wait();
}

void NwrMainWindow::doThingsAfterStartup()
{
    const QSettings settings;
    const QString last = settings.value(QStringLiteral("General/lastproject")).toString();
    // The settings dialog shows the same preference with the same default (off).
    const bool loadLast = Preferences::read(settings).loadLastProject;
    if (!(loadLast && !last.isEmpty() && QFileInfo::exists(last) && openProject(last)))
        on_actionNew_Project_triggered();
    if (!j1939Edition)
        import301();

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect desktop = screen->virtualGeometry();
        if (x() > desktop.right() || x() < desktop.left() - 50)
            move(100, 30);
    }
    const QSignalBlocker blocker(ui->cbLine);
    ui->cbLine->setCurrentIndex(0);
    handleLineChanged(0);
}

void NwrMainWindow::doThingsAfter1Second()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    unsetCursor();

    importFromCommandLine();
    if (invokedByNetworkTool) {
        runLocalEventLoop(500);
        applyNetworkToolMode();
    }
    if (arguments.contains(QStringLiteral("-s"))) {
        on_actionSave_Project_triggered();
        runLocalEventLoop(300);
    }
    if (arguments.contains(QStringLiteral("-g"))) {
        runGenerationFromCommandLine();
        runLocalEventLoop(500);
        QCoreApplication::exit(0);
        return;
    }
    // Every line of the J1939 edition is a J1939 line; the protocol button tells nothing.
    if (j1939Edition)
        ui->btnLineType->setEnabled(false);
}

// Under the network tool the project belongs to one node of its network: the tool may
// save and generate it, but not replace it by another project.
void NwrMainWindow::applyNetworkToolMode()
{
    controlledByNetworkTool = true;
    ui->actionNew_Project->setEnabled(false);
    ui->actionOpen_Project->setEnabled(false);
    ui->actionSave_Project_as->setEnabled(false);
    ui->menuRecent_Projects->menuAction()->setEnabled(false);
    if (!arguments.contains(QStringLiteral("-g")))
        ui->menuExample_Projects->menuAction()->setEnabled(false);

    const uint node = readNumber(projectDb->getGeneralSettingsValue(QStringLiteral("co_node_id")));
    const uint network =
        readNumber(projectDb->getGeneralSettingsValue(QStringLiteral("co_network_id")));
    QString title = QStringLiteral("tenvor embedded communication - CANopen Nodewright ")
                    + QCoreApplication::applicationVersion()
                    + QStringLiteral(" invoked by CANopen Buswright for Node ")
                    + QString::number(node);
    if (network != 0)
        title += QStringLiteral(" (network %1)").arg(network);
    setWindowTitle(title);
}
