#include "appidentity.h"

#include <QCoreApplication>
#include <QFileInfo>

QString AppIdentity::editionForProgram(const QString &argv0)
{
    // Only the file name counts; symbolic links must not be resolved, as the links are
    // what selects the edition.
    QString base = QFileInfo(argv0).fileName().toLower();
    if (base.endsWith(QLatin1String(".exe")))
        base.chop(4);
    if (base == QLatin1String("j1939-nodewright"))
        return QString::fromLatin1(j1939Edition);
    if (base == QLatin1String("can-nodewright"))
        return QString::fromLatin1(canEdition);
    if (base == QLatin1String("energybus-packwright"))
        return QString::fromLatin1(energyBusEdition);
    return QString::fromLatin1(canopenEdition);
}

void AppIdentity::apply(const QString &argv0)
{
    QCoreApplication::setApplicationName(editionForProgram(argv0));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version));
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setOrganizationDomain(QString::fromLatin1(organisationDomain));
}

bool AppIdentity::isJ1939Edition(const QString &applicationName)
{
    return applicationName == QLatin1String(j1939Edition);
}

bool AppIdentity::isCanEdition(const QString &applicationName)
{
    return applicationName == QLatin1String(canEdition);
}

bool AppIdentity::isEnergyBusEdition(const QString &applicationName)
{
    return applicationName == QLatin1String(energyBusEdition);
}
