#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

// Viewer for the HTML user manual: back, forward and home, links inside the manual are
// followed, links to web pages open in the system browser. setTopic jumps to an anchor
// (a name or id in the HTML); a topic set before any file is kept for the next setFile.
class HelpViewerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HelpViewerDialog(QWidget *parent = nullptr);

    // Shows the HTML file; false when it cannot be read, in which case the viewer says so.
    bool setFile(const QString &path);
    QString file() const { return m_file; }
    void setTitle(const QString &title);
    void setTopic(const QString &topic);
    QString topic() const { return m_topic; }
    QTextBrowser *browser() const { return m_browser; }

private:
    QString m_file;
    QString m_topic;
    QTextBrowser *m_browser = nullptr;
};
