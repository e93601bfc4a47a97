#pragma once

#include <QDialog>
#include <QString>

class QLabel;

// The "About" box: application icon, name, version, organisation, a short rich text about
// the tool and the Qt version it runs on. Name, version and organisation start as those of
// the running application.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    void setApplicationName(const QString &name);
    void setVersion(const QString &version);
    void setOrganisation(const QString &organisation);
    // Short description (rich text; links open in the system browser).
    void setText(const QString &text);

    QString applicationName() const { return m_name; }
    QString version() const { return m_version; }
    QString organisation() const { return m_organisation; }
    QString text() const;

private:
    void updateHeading();

    QString m_name;
    QString m_version;
    QString m_organisation;
    QLabel *m_heading = nullptr;
    QLabel *m_details = nullptr;
    QLabel *m_text = nullptr;
};
