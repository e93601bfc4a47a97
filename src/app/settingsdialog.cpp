#include "settingsdialog.h"
#include "ui_settingsdialog.h"

#include "panelkit/preferences.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QSettings>
#include <QUrl>

const char *const SettingsDialog::edsCheckerDownloadUrl =
    "https://www.can-cia.org/services/test-center/conformance-test-tools/";

SettingsDialog::SettingsDialog(QWidget *parent, bool underNetworkTool)
    : QDialog(parent), ui(new Ui::SettingsDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Settings - %1").arg(QCoreApplication::applicationName()));
    loadSettings();
    if (underNetworkTool) {
        ui->chLoadLastProject->setEnabled(false);
        ui->chPostGenInProject->setEnabled(false);
    }
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

void SettingsDialog::loadSettings()
{
    const QSettings settings;
    const Preferences p = Preferences::read(settings);
    ui->chLoadLastProject->setChecked(p.loadLastProject);
    ui->chImplInfo->setChecked(p.implementationInfo);
    ui->chFocusMask->setChecked(p.focusMask);
    ui->chClearLogging->setChecked(p.clearLogging);
    ui->chWarnBeforeDeleting->setChecked(p.warnBeforeDeleting);
    ui->chMetadata->setChecked(p.metadata);
    ui->chDisableCheck->setChecked(p.disableCheck);
    ui->edtStackPath->setText(p.stackPath);
    ui->edtPostGenCmd->setText(p.postGenerationCommand);
    ui->edtPostGenArgs->setText(p.postGenerationArguments);
    ui->chPostGenInProject->setChecked(p.postGenerationInProject);
    ui->chIgnoreCbw->setChecked(p.ignoreCbw);
    ui->chDisableAutoCorrection->setChecked(p.disableAutoCorrection);
    ui->chAlwaysMl->setChecked(p.alwaysMultiLine);
    const int ending = p.lineEndingIndex;
    ui->cbLineEnding->setCurrentIndex(ending >= 0 && ending < ui->cbLineEnding->count() ? ending
                                                                                        : 0);
    ui->edtEdsCheckerPath->setText(p.edsCheckerPath);
    ui->chCheckEds->setChecked(p.checkEds);
}

void SettingsDialog::saveSettings() const
{
    QSettings settings;
    Preferences p = Preferences::read(settings);
    p.loadLastProject = ui->chLoadLastProject->isChecked();
    p.implementationInfo = ui->chImplInfo->isChecked();
    p.focusMask = ui->chFocusMask->isChecked();
    p.clearLogging = ui->chClearLogging->isChecked();
    p.warnBeforeDeleting = ui->chWarnBeforeDeleting->isChecked();
    p.metadata = ui->chMetadata->isChecked();
    p.disableCheck = ui->chDisableCheck->isChecked();
    p.stackPath = ui->edtStackPath->text();
    p.postGenerationCommand = ui->edtPostGenCmd->text();
    p.postGenerationArguments = ui->edtPostGenArgs->text();
    p.postGenerationInProject = ui->chPostGenInProject->isChecked();
    p.ignoreCbw = ui->chIgnoreCbw->isChecked();
    p.disableAutoCorrection = ui->chDisableAutoCorrection->isChecked();
    p.alwaysMultiLine = ui->chAlwaysMl->isChecked();
    p.lineEndingIndex = ui->cbLineEnding->currentIndex();
    p.edsCheckerPath = ui->edtEdsCheckerPath->text();
    p.checkEds = ui->chCheckEds->isChecked();
    p.write(settings);
}

void SettingsDialog::on_buttonBox_accepted()
{
    saveSettings();
    accept();
}

void SettingsDialog::on_buttonBox_rejected()
{
    reject();
}

void SettingsDialog::on_btnPathSelect_clicked()
{
    const QString dir = QFileDialog::getExistingDirectory(
        this, tr("Specify CANopen stack installation folder "), ui->edtStackPath->text());
    if (!dir.isEmpty())
        ui->edtStackPath->setText(QDir::toNativeSeparators(dir));
}

void SettingsDialog::on_btnFileSelect_clicked()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Find EDS Checker"), ui->edtEdsCheckerPath->text(), tr("EDS Checker (*.exe)"));
    if (!file.isEmpty())
        ui->edtEdsCheckerPath->setText(QDir::toNativeSeparators(file));
}

void SettingsDialog::on_btnDownload_clicked()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(edsCheckerDownloadUrl)));
}
