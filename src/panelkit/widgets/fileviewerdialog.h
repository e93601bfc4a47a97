#pragma once

#include <QDialog>
#include <QString>

class AnsiCHighlighter;
class QLabel;
class QPlainTextEdit;

// Read-only viewer for one text file (a generated source, an EDS, a log, a resource such
// as ":/txt/ChangeLog.txt"). C sources and headers (.c, .h) are coloured. The file is read
// as UTF-8 when the dialog is made and again on "Reload"; a file that cannot be read shows
// the reason instead of its content and leaves the file alone.
class FileViewerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FileViewerDialog(const QString &file, QWidget *parent = nullptr);

    QString fileName() const { return m_file; }
    // The text shown; empty when the file could not be read.
    QString text() const;
    bool isLoaded() const { return m_loaded; }
    // Point size of the text.
    void setTextSize(double pointSize);
    double textSize() const;
    // The colouring of C files, or nullptr for other files.
    AnsiCHighlighter *highlighter() const { return m_highlighter; }

public slots:
    bool reload();

private:
    QString m_file;
    bool m_loaded = false;
    QPlainTextEdit *m_view = nullptr;
    QLabel *m_status = nullptr;
    AnsiCHighlighter *m_highlighter = nullptr;
};
