#pragma once

#include "checker/featureset.h"

#include <QDomDocument>
#include <QObject>
#include <QString>

// Reads the capabilities of the protocol stack from one of its feature files
// ("*_featureinfo_*.xml" in the stack folder). Each capability is the text of the first
// element of its name anywhere in the document, for example <pdo_producer>4</pdo_producer>.
class FeatureSetExtractor : public QObject
{
    Q_OBJECT

public:
    explicit FeatureSetExtractor(QObject *parent = nullptr);

    void setFeatureFile(const QString &path);
    QString featureFile() const { return m_path; }

    // Text of the first element named key in the file last read by getFeatures; empty
    // when there is no such element.
    QString getValue(const QString &key) const;
    // Reads the file. A file that cannot be opened or parsed gives an all-zero record.
    FeatureSet getFeatures();

private:
    bool load();
    quint32 number(const QString &key) const;
    bool flag(const QString &key) const;

    QDomDocument m_document;
    QString m_path;
};
