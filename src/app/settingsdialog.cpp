#include "settingsdialog.h"
#include "ui_settingsdialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QSettings>
#include <QUrl>

const char *const SettingsDialog::edsCheckerDownloadUrl =
    "https://www.can-cia.org/services/test-center/conformance-test-tools/";

namespace {

// The first five options are stored as 1/0 integers, the others as booleans; older
// versions of the tool wrote them that way and still read them.
bool intFlag(const QSettings &settings, const char *key)
{
    return settings.value(QLatin1String(key), 0).toInt() != 0;
}

bool boolFlag(const QSettings &settings, const char *key)
{
    return settings.value(QLatin1String(key), false).toBool();
}

} // namespace

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
    QSettings settings;
    settings.beginGroup(QStringLiteral("General"));
    ui->chLoadLastProject->setChecked(intFlag(settings, "loadlastproject"));
    ui->chImplInfo->setChecked(intFlag(settings, "implinfo"));
    ui->chFocusMask->setChecked(intFlag(settings, "focusmask"));
    ui->chClearLogging->setChecked(intFlag(settings, "clearlogging"));
    ui->chWarnBeforeDeleting->setChecked(intFlag(settings, "warnbeforedeleting"));
    ui->chMetadata->setChecked(boolFlag(settings, "metadata"));
    ui->chDisableCheck->setChecked(boolFlag(settings, "disablecheck"));
    ui->edtStackPath->setText(settings.value(QStringLiteral("costackpath")).toString());
    ui->edtPostGenCmd->setText(settings.value(QStringLiteral("postgenerationcommand")).toString());
    ui->edtPostGenArgs->setText(
        settings.value(QStringLiteral("postgenerationcommandarguments")).toString());
    ui->chPostGenInProject->setChecked(boolFlag(settings, "postgenerationinproject"));
    ui->chIgnoreCbw->setChecked(boolFlag(settings, "ignorecbw"));
    ui->chDisableAutoCorrection->setChecked(boolFlag(settings, "disableautocorrection"));
    ui->chAlwaysMl->setChecked(boolFlag(settings, "alwaysml"));
    const int ending = settings.value(QStringLiteral("line_ending_index"), 0).toInt();
    ui->cbLineEnding->setCurrentIndex(ending >= 0 && ending < ui->cbLineEnding->count() ? ending
                                                                                        : 0);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("EDSChecker"));
    ui->edtEdsCheckerPath->setText(settings.value(QStringLiteral("EDSCheckerPath")).toString());
    ui->chCheckEds->setChecked(boolFlag(settings, "checkeds"));
    settings.endGroup();
}

void SettingsDialog::saveSettings() const
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("General"));
    settings.setValue(QStringLiteral("loadlastproject"),
                      ui->chLoadLastProject->isChecked() ? 1 : 0);
    settings.setValue(QStringLiteral("implinfo"), ui->chImplInfo->isChecked() ? 1 : 0);
    settings.setValue(QStringLiteral("focusmask"), ui->chFocusMask->isChecked() ? 1 : 0);
    settings.setValue(QStringLiteral("clearlogging"), ui->chClearLogging->isChecked() ? 1 : 0);
    settings.setValue(QStringLiteral("warnbeforedeleting"),
                      ui->chWarnBeforeDeleting->isChecked() ? 1 : 0);
    settings.setValue(QStringLiteral("metadata"), ui->chMetadata->isChecked());
    settings.setValue(QStringLiteral("disablecheck"), ui->chDisableCheck->isChecked());
    settings.setValue(QStringLiteral("costackpath"), ui->edtStackPath->text());
    settings.setValue(QStringLiteral("postgenerationcommand"), ui->edtPostGenCmd->text());
    settings.setValue(QStringLiteral("postgenerationcommandarguments"), ui->edtPostGenArgs->text());
    settings.setValue(QStringLiteral("postgenerationinproject"),
                      ui->chPostGenInProject->isChecked());
    settings.setValue(QStringLiteral("ignorecbw"), ui->chIgnoreCbw->isChecked());
    settings.setValue(QStringLiteral("disableautocorrection"),
                      ui->chDisableAutoCorrection->isChecked());
    settings.setValue(QStringLiteral("alwaysml"), ui->chAlwaysMl->isChecked());
    settings.setValue(QStringLiteral("line_ending_index"), ui->cbLineEnding->currentIndex());
    settings.endGroup();

    settings.beginGroup(QStringLiteral("EDSChecker"));
    settings.setValue(QStringLiteral("EDSCheckerPath"), ui->edtEdsCheckerPath->text());
    settings.setValue(QStringLiteral("checkeds"), ui->chCheckEds->isChecked());
    settings.endGroup();
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
