#include "panelkit/versionreader.h"

#include <QDomDocument>
#include <QFile>

namespace {

QString firstElementText(const QDomDocument &document, const char *tag)
{
    const QDomNodeList nodes = document.elementsByTagName(QLatin1String(tag));
    return nodes.isEmpty() ? QString() : nodes.at(0).toElement().text().trimmed();
}

} // namespace

VersionReader::VersionReader(QObject *parent) : QObject(parent) {}

bool VersionReader::setFeatureFile(const QString &path)
{
    m_featureFile = path;
    m_error.clear();
    m_requiredToolVersion.clear();
    m_stackVersion.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = tr("Cannot open feature file %1: %2").arg(path, file.errorString());
        return false;
    }
    QDomDocument document;
    QString parseError;
    int line = 0;
    if (!document.setContent(&file, &parseError, &line)) {
        m_error = tr("Feature file %1 is not valid XML (line %2: %3)")
                      .arg(path, QString::number(line), parseError);
        return false;
    }
    m_requiredToolVersion = firstElementText(document, requiredToolVersionTag);
    m_stackVersion = firstElementText(document, stackVersionTag);
    return true;
}
