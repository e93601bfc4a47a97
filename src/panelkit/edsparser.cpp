#include "panelkit/edsparser.h"

#include "panelkit/edsparser_reader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <set>

namespace {

QString sectionKey(const QString &section)
{
    const QString key = section.toLower();
    return key == QLatin1String("devicecomissioning") ? QStringLiteral("devicecommissioning") : key;
}

} // namespace

QString EdsParser::Diagnostic::toString() const
{
    const QString kind = severity == Error     ? QStringLiteral("error")
                         : severity == Warning ? QStringLiteral("warning")
                                               : QStringLiteral("info");
    if (line > 0)
        return QStringLiteral("%1:%2: %3: %4").arg(file).arg(line).arg(kind, text);
    return QStringLiteral("%1: %2: %3").arg(file, kind, text);
}

EdsParser::EdsParser(QObject *parent) : QObject(parent) {}

EdsParser::~EdsParser() = default;

bool EdsParser::LoadEds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_diagnostics.clear();
        m_comments.clear();
        m_sections.clear();
        const QString reason =
            QFileInfo::exists(path)
                ? QCoreApplication::translate("EdsParser", "the file cannot be read: %1")
                      .arg(file.errorString())
                : QCoreApplication::translate("EdsParser", "no such file");
        m_diagnostics.append({path, 0, reason, Diagnostic::Error, -1});
        return false;
    }
    return loadEdsData(file.readAll(), path);
}

bool EdsParser::loadEdsData(const QByteArray &content, const QString &fileName)
{
    m_diagnostics.clear();
    m_comments.clear();
    m_sections.clear();
    Reader reader(*this, fileName);
    return reader.run(content);
}

int EdsParser::errorCount() const
{
    int count = 0;
    for (const Diagnostic &diagnostic : m_diagnostics) {
        if (diagnostic.severity == Diagnostic::Error)
            ++count;
    }
    return count;
}

QList<quint16> EdsParser::objectsWithErrors() const
{
    std::set<quint16> indices;
    for (const Diagnostic &diagnostic : m_diagnostics) {
        if (diagnostic.severity == Diagnostic::Error && diagnostic.index >= 0)
            indices.insert(quint16(diagnostic.index));
    }
    return QList<quint16>(indices.begin(), indices.end());
}

QString EdsParser::value(const QString &section, const QString &key, bool *present) const
{
    const auto it = m_sections.constFind(sectionKey(section));
    if (it != m_sections.constEnd()) {
        const auto value = it->values.constFind(key.toLower());
        if (value != it->values.constEnd()) {
            if (present)
                *present = true;
            return *value;
        }
    }
    if (present)
        *present = false;
    return QString();
}

bool EdsParser::hasSection(const QString &section) const
{
    return m_sections.contains(sectionKey(section));
}

QStringList EdsParser::keys(const QString &section) const
{
    return m_sections.value(sectionKey(section)).keyOrder;
}
