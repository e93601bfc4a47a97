#pragma once

#include "importers/importfilekind.h"

#include <QDialog>
#include <QMessageBox>

#include <functional>
#include <memory>

namespace Ui {
class FileImportDialog;
}

class BaseDataImporter;
class CsvImporter;
class ObjectDataBase;
class QProgressDialog;

// Imports objects from a description file into the current line of the project, in two
// steps: "Read data file" reads the file on a worker thread into staging line 255 of the
// additional database and lists its objects; "Import" copies the selected ones into the
// current line (ImportRun). Reading again replaces the staging line, so several imports
// can be made from one read. The dialog deletes itself when closed.
class FileImportDialog : public QDialog
{
    Q_OBJECT

public:
    // The kinds of file the dialog tells apart by the file name.
    using FileKind = ImportFileKind;

    explicit FileImportDialog(QWidget *parent = nullptr);
    ~FileImportDialog() override;

    bool setProjectDatabase(ObjectDataBase *database);
    bool setAdditionalDatabase(ObjectDataBase *database);
    void setCurrentLine(quint8 line) { currentLine = line; }
    void setExpertMode(bool on);

    // The kind of a file by its name: "codb", "nwrp" or "bak" (project and its backup),
    // "eds", "dcf", "xdd" or "xml" (a CANopen FD description), "csv" as the last suffix, in
    // any case.
    static FileKind fileKind(const QString &path) { return importFileKind(path); }

    // Replaces the message boxes (for tests): icon, title, text and informative text; it
    // answers the questions (QMessageBox::Question) with Yes or No.
    using MessageSink = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString &, const QString &, const QString &)>;
    void setMessageSink(MessageSink sink) { messageSink = std::move(sink); }

    // What choosing a file in the file dialog does: the path goes into the path field and
    // the list of recent files, is remembered, and sets the file-dependent options.
    void selectFile(const QString &path);

public slots:
    void on_btnSelectFile_clicked();
    void on_edtFilePath_textChanged(const QString &text);
    void on_cbNWRP_currentIndexChanged(int index);
    void on_btnRead_clicked();
    void progressHandler(quint8 value);
    void checkProgressNeeded();
    void importErrorString(const QString &text);
    void on_btnImport_clicked();
    void on_btnCancel_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    BaseDataImporter *createReader(FileKind kind);
    void listStagedObjects();
    void showProblems();
    bool importDeviceInfo();
    void applyCsvCommands(const CsvImporter &csv);
    bool confirmObjectsWithErrors(const QList<quint16> &indices);
    QMessageBox::StandardButton showMessage(QMessageBox::Icon icon, const QString &title,
                                            const QString &text,
                                            const QString &informative = QString());
    QString applicationTitle() const;

    Ui::FileImportDialog *ui;
    ObjectDataBase *projectDb = nullptr;
    ObjectDataBase *additionalDb = nullptr;
    quint8 currentLine = 0;
    bool expertMode = false;
    std::unique_ptr<BaseDataImporter> reader;
    FileKind readKind = FileKind::Other;
    QString readFile;
    QProgressDialog *busyWindow = nullptr;
    MessageSink messageSink;
};
