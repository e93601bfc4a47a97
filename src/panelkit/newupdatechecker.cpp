#include "panelkit/newupdatechecker.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <QVersionNumber>

namespace {

// The offered version when it is newer than the installed one, otherwise empty.
QString newerVersion(const QString &offered, const QString &installed)
{
    const QVersionNumber offeredNumber = QVersionNumber::fromString(offered);
    const QVersionNumber installedNumber = QVersionNumber::fromString(installed);
    if (offeredNumber.isNull() || installedNumber.isNull())
        return QString();
    return offeredNumber > installedNumber ? offered.trimmed() : QString();
}

} // namespace

newUpdateChecker::newUpdateChecker(QObject *parent) : QObject(parent) {}

QString newUpdateChecker::manifestPath(const QString &address)
{
    const QUrl url(address);
    if (url.isLocalFile())
        return url.toLocalFile();
    // A plain path (also a Windows drive path, which QUrl reads as a one-letter scheme).
    if (url.scheme().size() <= 1)
        return address;
    m_error = tr("The update service %1 cannot be asked: only files can be read.").arg(address);
    return QString();
}

void newUpdateChecker::checkForUpdates(const QString &toolVersion, const QString &productNumber,
                                       bool userRequested)
{
    m_error.clear();
    const QString address = m_address;
    if (address.isEmpty()) {
        emit newVersion(QString(), QString(), userRequested);
        return;
    }
    const QString path = manifestPath(address);
    if (path.isEmpty() || !QFileInfo(path).isReadable()) {
        if (m_error.isEmpty())
            m_error = tr("The update service %1 cannot be read.").arg(address);
        emit newVersion(QString(), QString(), userRequested);
        return;
    }
    // The manifest is an INI file; QSettings reads that format.
    QSettings manifest(path, QSettings::IniFormat);
    manifest.beginGroup(productNumber);
    const QString tool =
        newerVersion(manifest.value(QStringLiteral("tool_version")).toString(), toolVersion);
    const QString stack =
        newerVersion(manifest.value(QStringLiteral("stack_version")).toString(), m_stackVersion);
    manifest.endGroup();
    if (manifest.status() != QSettings::NoError)
        m_error = tr("The update service %1 cannot be read.").arg(address);
    emit newVersion(tool, stack, userRequested);
}
