#include "projectconverter.h"

#include "database/objectdatabase.h"
#include "panelkit/helper.h"

#include <QDebug>
#include <QRegularExpression>

namespace {

const QString securityKind = QStringLiteral("sec");

QString secKindKey(int position)
{
    return QStringLiteral("sec_%1_kind").arg(position);
}

// The current form of a stored security-device kind.
QString currentSecurityKind(const QString &stored)
{
    const QString t = stored.trimmed().toLower();
    if (t == QLatin1String("1") || t.startsWith(QLatin1String("ext")))
        return QStringLiteral("Extension");
    return QStringLiteral("Device");
}

// Kind code of a device list entry "<position> <kind>"; the kind is its name ("Battery")
// or, in some older files, its code ("bat").
QString deviceKindCode(const QString &entry)
{
    const QString kind = entry.section(QLatin1Char(' '), 1).trimmed();
    if (kind == kind.toLower() && !kind.contains(QLatin1Char(' ')))
        return kind;
    return Helper::convertEBType(kind);
}

} // namespace

ProjectConverter::ProjectConverter(ObjectDataBase *database, QObject *parent)
    : QObject(parent), m_database(database)
{
}

void ProjectConverter::doGenericCorrection()
{
    if (!m_database)
        return;
    qDebug().noquote()
        << QStringLiteral("Project %1: created by %2 %3, last saved by %4 %5, database "
                          "version %6, %7 line(s)")
               .arg(m_database->projectFileName(),
                    m_database->getMiscSettingsValue(QStringLiteral("CreateToolName")),
                    m_database->getMiscSettingsValue(QStringLiteral("CreateToolVersion")),
                    m_database->getMiscSettingsValue(QStringLiteral("SaveToolType")),
                    m_database->getMiscSettingsValue(QStringLiteral("SaveToolVersion")),
                    m_database->getMiscSettingsValue(QStringLiteral("DatabaseVersion")),
                    QString::number(m_database->getNodes().size()));
}

bool ProjectConverter::doEnergyBusCorrection()
{
    if (!m_database)
        return false;
    const int count = m_database->getEnergyBusSettingsValue(QStringLiteral("device_cnt")).toInt();
    bool changed = false;
    for (int position = 1; position <= count; ++position) {
        const QString entry =
            m_database->getEnergyBusSettingsValue(QStringLiteral("device_%1").arg(position));
        if (deviceKindCode(entry) != securityKind)
            continue;
        const QString stored = m_database->getEnergyBusSettingsValue(secKindKey(position));
        const QString current = currentSecurityKind(stored);
        if (stored != current) {
            m_database->setEnergyBusSettingsValue(secKindKey(position), current);
            changed = true;
        }
    }

    static const QRegularExpression pattern(QStringLiteral("^sec_(\\d+)_kind$"));
    for (const QString &key : m_database->getEnergyBusKeys()) {
        const QRegularExpressionMatch match = pattern.match(key);
        if (!match.hasMatch())
            continue;
        const int position = match.captured(1).toInt();
        const QString entry =
            m_database->getEnergyBusSettingsValue(QStringLiteral("device_%1").arg(position));
        if (position < 1 || position > count || deviceKindCode(entry) != securityKind) {
            m_database->removeEnergyBusSettingsValue(key);
            changed = true;
        }
    }
    return changed;
}

void ProjectConverter::do1939Correction()
{
    if (!m_database)
        return;
    m_database->fixFaultyPGNSPNCount();
    m_database->fixEDP_DP_PGNs();
}

int ProjectConverter::doMPCorrection()
{
    if (!m_database)
        return 0;
    const quint32 addressClaim = 0xEE00;
    int removed = 0;
    const auto lines = m_database->getNodes();
    for (const auto line : lines) {
        if (m_database->existsPGN(line, addressClaim, ObjectDataBase::DirectionTransmit)
            && m_database->delPGN(line, addressClaim, ObjectDataBase::DirectionTransmit))
            ++removed;
    }
    return removed;
}
