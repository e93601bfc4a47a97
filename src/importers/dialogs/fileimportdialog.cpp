#include "importers/dialogs/fileimportdialog.h"
#include "ui_fileimportdialog.h"

#include "database/objectdatabase.h"
#include "database/undostep.h"
#include "importers/codbimporter.h"
#include "importers/csvimporter.h"
#include "importers/edsimporter.h"
#include "importers/importrun.h"
#include "importers/nwrpimporter.h"
#include "importers/xddimporter.h"
#include "panelkit/appidentity.h"
#include "panelkit/linetype.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSettings>
#include <QTextCursor>
#include <QTimer>

namespace {

const quint8 stagingLine = ReservedLine::staging;

QString settingKey(const char *key)
{
    return QStringLiteral("General/") + QLatin1String(key);
}

// A number with C prefixes ("0x" hexadecimal, a leading 0 octal) up to limit.
bool readNumber(const QString &text, uint limit, uint &value)
{
    bool ok = false;
    value = text.trimmed().toUInt(&ok, 0);
    return ok && value <= limit;
}

QString hexIndex(uint index)
{
    return QStringLiteral("0x")
           + QString::number(index, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace

FileImportDialog::FileImportDialog(QWidget *parent) : QDialog(parent), ui(new Ui::FileImportDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    const QSettings settings;
    ui->cbNWRP->addItem(QStringLiteral(" "));
    const QStringList profiles = QDir(QStringLiteral(":/codb")).entryList(QDir::Files);
    for (const QString &profile : profiles)
        ui->cbNWRP->addItem(QStringLiteral(":/codb/") + profile);
    ui->edtFilePath->setText(
        settings.value(settingKey("importpath"), QStringLiteral(".")).toString());
    ui->edtLow->setText(
        settings.value(settingKey("importstartindex"), QStringLiteral("0x6000")).toString());
    ui->edtHigh->setText(
        settings.value(settingKey("importendindex"), QStringLiteral("0x9FFF")).toString());
    ui->spSrcLine->setEnabled(false);
    ui->lblSrcLine->setEnabled(false);
    ui->gbSelection->setEnabled(false);
    ui->problemsPane->hide();
    ui->splitObjects->setStretchFactor(0, 3);
    ui->splitObjects->setStretchFactor(1, 1);
}

FileImportDialog::~FileImportDialog()
{
    delete ui;
}

bool FileImportDialog::setProjectDatabase(ObjectDataBase *database)
{
    if (!database)
        return false;
    projectDb = database;
    return true;
}

bool FileImportDialog::setAdditionalDatabase(ObjectDataBase *database)
{
    if (!database)
        return false;
    additionalDb = database;
    return true;
}

void FileImportDialog::setExpertMode(bool on)
{
    expertMode = on;
    if (!AppIdentity::isEnergyBusEdition(QCoreApplication::applicationName()))
        return;
    ui->edtLow->setEnabled(on);
    ui->edtHigh->setEnabled(on);
    if (!on) {
        ui->edtLow->setText(QStringLiteral("0x2000"));
        ui->edtHigh->setText(QStringLiteral("0x5FFF"));
    }
}

void FileImportDialog::on_btnSelectFile_clicked()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Select file"), ui->edtFilePath->text(),
        tr("CODB Files (*.codb);; EDS Files (*.eds);; XDD Files (1311 only) (*.xdd);; DCF Files "
           "(*.dcf);; Project Files (*.nwrp  *.nwrp.bak);; CSV Files (*.csv)"));
    if (!path.isEmpty())
        selectFile(path);
}

void FileImportDialog::selectFile(const QString &path)
{
    ui->edtFilePath->setText(path);
    ui->cbNWRP->addItem(path);
    ui->cbNWRP->setCurrentIndex(0);
    QSettings().setValue(settingKey("importpath"), path);
    // The options that depend on the kind of file: the caption and state of the check
    // box and the source line of project files.
    const FileKind kind = fileKind(path);
    const bool project = kind == FileKind::Project;
    ui->spSrcLine->setEnabled(project);
    ui->lblSrcLine->setEnabled(project);
    switch (kind) {
    case FileKind::Catalogue:
        ui->chIncludeMultiple->setText(tr("Include object copies"));
        break;
    case FileKind::Eds:
    case FileKind::Dcf:
        ui->chIncludeMultiple->setText(tr("Import FileInfo && DeviceInfo"));
        break;
    case FileKind::Project:
        ui->chIncludeMultiple->setText(tr("Ignore implementation types in project file"));
        break;
    case FileKind::Xdd:
        ui->chIncludeMultiple->setText(QString());
        break;
    default:
        ui->chIncludeMultiple->setText(QStringLiteral(" "));
        break;
    }
    ui->chIncludeMultiple->setEnabled(kind == FileKind::Catalogue || kind == FileKind::Eds
                                      || kind == FileKind::Dcf || project);
}

void FileImportDialog::on_edtFilePath_textChanged(const QString &text)
{
    ui->chIncludeMultiple->setText(fileKind(text) == FileKind::Catalogue
                                       ? tr("Include object copies")
                                       : tr("Import FileInfo && DeviceInfo"));
}

void FileImportDialog::on_cbNWRP_currentIndexChanged(int index)
{
    if (index > 0)
        ui->edtFilePath->setText(ui->cbNWRP->itemText(index));
}

void FileImportDialog::on_btnRead_clicked()
{
    const QString path = ui->edtFilePath->text();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        showMessage(QMessageBox::Warning, applicationTitle(), tr("File error"),
                    tr("File %1 is not readable.").arg(path));
        return;
    }
    uint low = 0;
    uint high = 0;
    if (!readNumber(ui->edtLow->text(), 0xFFFF, low)
        || !readNumber(ui->edtHigh->text(), 0xFFFF, high)) {
        showMessage(QMessageBox::Warning, applicationTitle(), tr("Index range"),
                    tr("The index range needs two indices from 0x0000 to 0xFFFF."));
        return;
    }
    const FileKind kind = fileKind(path);
    BaseDataImporter *created = createReader(kind);
    if (!created) {
        showMessage(QMessageBox::Warning, applicationTitle(), tr("File error"),
                    tr("Format of  %1 is not supported.").arg(path));
        return;
    }
    reader.reset(created);
    readKind = kind;
    readFile = path;
    additionalDb->delNode(stagingLine);
    additionalDb->addNode(stagingLine, ObjectDataBase::NODE_DATA_T());
    QSettings settings;
    settings.setValue(settingKey("importstartindex"), hexIndex(low));
    settings.setValue(settingKey("importendindex"), hexIndex(high));

    reader->setActiveLine(stagingLine);
    reader->setDatabase(additionalDb);
    reader->setIndexRange(quint16(low), quint16(high));
    reader->setImportFileName(path);
    ui->lbObjects->clear();
    ui->txtProblems->clear();
    ui->problemsPane->hide();
    ui->lblObjCount->clear();
    ui->gbSelection->setEnabled(false);
    ui->btnRead->setEnabled(false);
    ui->progressBar->setValue(0);
    connect(reader.get(), &BaseDataImporter::progress, this, &FileImportDialog::progressHandler);
    connect(reader.get(), qOverload<const QString &>(&BaseDataImporter::importError), this,
            &FileImportDialog::importErrorString);
    reader->startImport();
    QTimer::singleShot(500, this, &FileImportDialog::checkProgressNeeded);
}

// A reader for the kind of file; nullptr for a kind the tool cannot read.
BaseDataImporter *FileImportDialog::createReader(FileKind kind)
{
    switch (kind) {
    case FileKind::Catalogue: {
        auto *catalogue = new CODBImporter;
        catalogue->setMultipleObjectsFlag(ui->chIncludeMultiple->isChecked());
        return catalogue;
    }
    case FileKind::Eds:
    case FileKind::Dcf: {
        auto *eds = new EDSImporter;
        eds->setDcfMode(kind == FileKind::Dcf);
        return eds;
    }
    case FileKind::Xdd:
        return new XDDImporter;
    case FileKind::Csv:
        return new CsvImporter;
    case FileKind::Project: {
        auto *project = new NWRPImporter;
        project->setSourceLine(quint8(ui->spSrcLine->value()));
        return project;
    }
    default:
        return nullptr;
    }
}

void FileImportDialog::checkProgressNeeded()
{
    if (!reader || reader->isFinished() || !reader->isRunning())
        return;
    if (!busyWindow) {
        busyWindow = new QProgressDialog(tr("Reading import file..."), QString(), 0, 0, this);
        busyWindow->setWindowFlags(busyWindow->windowFlags() | Qt::FramelessWindowHint);
        busyWindow->setWindowModality(Qt::WindowModal);
        busyWindow->setMinimumDuration(0);
    }
    busyWindow->show();
}

void FileImportDialog::progressHandler(quint8 value)
{
    if (value != 100)
        return;
    if (busyWindow)
        busyWindow->hide();
    ui->progressBar->setValue(100);
    ui->btnRead->setEnabled(true);
    ui->gbSelection->setEnabled(true);
    listStagedObjects();
    showProblems();
}

void FileImportDialog::listStagedObjects()
{
    ui->lbObjects->clear();
    const QList<quint16> indices = additionalDb->getIndices(stagingLine, 0x1000, 0xFFFF);
    QList<quint16> faulty;
    if (auto *eds = dynamic_cast<EDSImporter *>(reader.get()))
        faulty = eds->objectsWithErrors();
    for (quint16 index : indices) {
        auto *item = new QListWidgetItem(QStringLiteral("0x%1 - %2")
                                             .arg(index, 4, 16, QLatin1Char('0'))
                                             .arg(additionalDb->getIndexName(stagingLine, index)),
                                         ui->lbObjects);
        if (faulty.contains(index)) {
            item->setForeground(Qt::red);
            item->setToolTip(tr("The file has errors in this object; see the problems below."));
        }
    }
    QString text = faulty.isEmpty()
                       ? tr("%1 objects read.").arg(indices.size())
                       : tr("%1 objects read. Objects in red have errors; see the problems below.")
                             .arg(indices.size());
    // The commands of a CSV file change the line after the import; say so beforehand.
    if (auto *csv = dynamic_cast<CsvImporter *>(reader.get())) {
        QList<BaseDataImporter::SubAddress> copies;
        QList<BaseDataImporter::SubAddress> deletes;
        csv->getCopyList(copies);
        csv->getDeleteList(deletes);
        if (!copies.isEmpty() || !deletes.isEmpty())
            text += QLatin1Char(' ')
                    + tr("The import then carries out the file's %1 copy and %2 delete commands.")
                          .arg(copies.size() / 2)
                          .arg(deletes.size());
    }
    ui->lblObjCount->setText(text);
}

// The problems the reader found, one per line, below the list.
void FileImportDialog::showProblems()
{
    QList<EdsParser::Diagnostic> problems;
    if (auto *eds = dynamic_cast<EDSImporter *>(reader.get()))
        problems = eds->diagnostics();
    else if (auto *xdd = dynamic_cast<XDDImporter *>(reader.get()))
        problems = xdd->diagnostics();
    ui->txtProblems->clear();
    QStringList notes;
    if (auto *csv = dynamic_cast<CsvImporter *>(reader.get()))
        notes = csv->diagnostics();
    const bool readerLists =
        dynamic_cast<EDSImporter *>(reader.get()) || dynamic_cast<XDDImporter *>(reader.get());
    if (!reader->getLastError().isEmpty() && !readerLists)
        notes.prepend(reader->getLastError());
    for (const QString &note : notes)
        ui->txtProblems->appendPlainText(note);
    for (const EdsParser::Diagnostic &problem : problems) {
        const QString where = problem.line > 0 ? tr("line %1: ").arg(problem.line) : QString();
        const bool error = problem.severity == EdsParser::Diagnostic::Error;
        const QString kind = error                                                ? tr("error")
                             : problem.severity == EdsParser::Diagnostic::Warning ? tr("warning")
                                                                                  : tr("info");
        const QString line =
            QStringLiteral("%1%2: %3").arg(where, kind, problem.text).toHtmlEscaped();
        // Errors stand out among the warnings.
        ui->txtProblems->appendHtml(
            error ? QStringLiteral("<span style=\"color:#c00000\">%1</span>").arg(line) : line);
    }
    ui->txtProblems->moveCursor(QTextCursor::Start);
    ui->problemsPane->setVisible(!problems.isEmpty() || !notes.isEmpty());
}

void FileImportDialog::importErrorString(const QString &text)
{
    showMessage(QMessageBox::Critical, tr("Import error"), text);
}

void FileImportDialog::on_btnImport_clicked()
{
    ui->btnImport->setEnabled(false);
    QList<quint16> indices;
    const QList<QListWidgetItem *> selected = ui->lbObjects->selectedItems();
    for (const QListWidgetItem *item : selected)
        indices.append(quint16(item->text().section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 0)));
    std::sort(indices.begin(), indices.end());
    if (!confirmObjectsWithErrors(indices)) {
        ui->btnImport->setEnabled(true);
        return;
    }
    uint offset = 0;
    if (!readNumber(ui->edtOffset->text(), 0xFFFF, offset)) {
        showMessage(QMessageBox::Warning, applicationTitle(), tr("Import index offset"),
                    tr("The offset needs a number from 0x0000 to 0xFFFF."));
        ui->btnImport->setEnabled(true);
        return;
    }
    ImportRun run(projectDb);
    run.setLine(currentLine);
    run.setOffset(quint16(offset));
    run.setHighestSubIndex(quint8(ui->spMaxSub->value()));
    run.setImplementation(ui->cbImplementation->currentIndex() == 1
                              ? ImportRun::ApplicationVariables
                              : ImportRun::ManagedVariables);
    run.setKeepImplementation(readKind == FileKind::Project && !ui->chIncludeMultiple->isChecked());
    const bool deviceInfo = (readKind == FileKind::Eds || readKind == FileKind::Dcf)
                            && ui->chIncludeMultiple->isChecked();
    // The objects, the device information and the commands of a CSV file are one step.
    UndoStep step(projectDb, tr("Import of %n objects", nullptr, indices.size()));
    const bool ok = run.run(additionalDb, stagingLine, indices,
                            [this, deviceInfo]() { return !deviceInfo || importDeviceInfo(); });
    ui->btnImport->setEnabled(true);
    if (!ok) {
        showMessage(QMessageBox::Critical, tr("Import error"), run.errorString());
        return;
    }
    ui->lblObjCount->setText(run.resultText());
    if (auto *csv = dynamic_cast<CsvImporter *>(reader.get()))
        applyCsvCommands(*csv);
}

// The copy and delete rows of a CSV file, in the current line after its objects came in.
void FileImportDialog::applyCsvCommands(const CsvImporter &csv)
{
    const QStringList failed = csv.applyCommands(projectDb, currentLine);
    if (!failed.isEmpty())
        showMessage(QMessageBox::Warning, applicationTitle(), tr("Commands of the CSV file"),
                    tr("These commands could not be carried out: %1.")
                        .arg(failed.join(QLatin1String(", "))));
}

// File and device information of the file into the project's selected description line.
bool FileImportDialog::importDeviceInfo()
{
    EDSImporter info;
    info.setActiveLine(0);
    info.setDatabase(projectDb);
    info.setImportFileName(readFile);
    return info.importFileDeviceInfo();
}

void FileImportDialog::on_btnCancel_clicked()
{
    close();
}

void FileImportDialog::closeEvent(QCloseEvent *event)
{
    if (reader)
        reader->abortImport();
    event->accept();
}

// Objects the file has errors in were read only in part; the user decides whether to take
// them anyway.
bool FileImportDialog::confirmObjectsWithErrors(const QList<quint16> &indices)
{
    auto *eds = dynamic_cast<EDSImporter *>(reader.get());
    if (!eds)
        return true;
    QStringList faulty;
    for (quint16 index : eds->objectsWithErrors()) {
        if (indices.contains(index))
            faulty.append(QStringLiteral("0x%1").arg(index, 4, 16, QLatin1Char('0')));
    }
    if (faulty.isEmpty())
        return true;
    const QString shown = faulty.size() > 10 ? tr("%1 and %2 more")
                                                   .arg(faulty.mid(0, 10).join(QLatin1String(", ")))
                                                   .arg(faulty.size() - 10)
                                             : faulty.join(QLatin1String(", "));
    return showMessage(QMessageBox::Question, applicationTitle(), tr("Import objects with errors?"),
                       tr("The file has errors in %1. Only the parts of these objects that could "
                          "be read would be imported.")
                           .arg(shown))
           == QMessageBox::Yes;
}

QMessageBox::StandardButton FileImportDialog::showMessage(QMessageBox::Icon icon,
                                                          const QString &title, const QString &text,
                                                          const QString &informative)
{
    if (messageSink)
        return messageSink(icon, title, text, informative);
    const bool question = icon == QMessageBox::Question;
    QMessageBox box(icon, title, text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, this);
    box.setInformativeText(informative);
    if (question)
        box.setDefaultButton(QMessageBox::No);
    return QMessageBox::StandardButton(box.exec());
}

QString FileImportDialog::applicationTitle() const
{
    return QCoreApplication::applicationName();
}
