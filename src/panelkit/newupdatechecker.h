#pragma once

#include <QObject>
#include <QString>

// Asks an update service whether a newer tool or protocol stack exists.
//
// The service address is the per-user preference "update_service" (Preferences), given by
// the front end. Without one the checker reads nothing at all, and every check answers
// "no new version". The address names a version manifest: a local path or a "file:" URL,
// which may lie on a network share. The manifest is an INI file with one group per product
// number:
//
//   [1006]
//   tool_version=3.5.0
//   stack_version=6.6.0
//
// Other URL schemes are not read by this build: the check then reports the problem in
// errorString() and answers "no new version".
class newUpdateChecker : public QObject
{
    Q_OBJECT

public:
    explicit newUpdateChecker(QObject *parent = nullptr);

    void setServiceAddress(const QString &address) { m_address = address.trimmed(); }
    QString serviceAddress() const { return m_address; }

    // Version of the installed protocol stack (for example VersionReader::getCurrentVersion
    // of its feature file); without one no stack version is reported.
    void setInstalledStackVersion(const QString &version) { m_stackVersion = version; }
    QString installedStackVersion() const { return m_stackVersion; }
    // Problem met by the last check (unreadable manifest, unsupported address); empty when
    // the last check could ask the service or no service was configured.
    QString errorString() const { return m_error; }

public slots:
    // Compares toolVersion (the running tool's version) and the installed stack version with
    // what the service offers for productNumber and emits newVersion before returning.
    // userRequested is passed through, so that the window can tell a check the user asked
    // for (which shows its answer) from the silent check at start-up.
    void checkForUpdates(const QString &toolVersion, const QString &productNumber,
                         bool userRequested);

signals:
    // The newer tool and stack versions the service offers; an empty text means no newer
    // version of that part.
    void newVersion(const QString &toolVersion, const QString &stackVersion, bool userRequested);

private:
    QString manifestPath(const QString &address);

    QString m_address;
    QString m_stackVersion;
    QString m_error;
};
