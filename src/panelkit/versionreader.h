#pragma once

#include <QObject>
#include <QString>

// Reads the version information of a protocol-stack feature file ("*_featureinfo_*.xml",
// delivered in the stack folder). Two elements are read, each the text content of the first
// element of that tag anywhere in the document, trimmed:
//   <required_tool_version>  the version of this tool the stack delivery requires, in the
//                            shortened form the model checker compares ("3.4"); "0.0"
//                            means the stack needs an older tool;
//   <stack_version>          the version of the stack delivery itself ("6.4.2").
// A file that cannot be read or parsed, or a missing element, gives an empty text.
class VersionReader : public QObject
{
    Q_OBJECT

public:
    explicit VersionReader(QObject *parent = nullptr);

    // Reads the file; false (and empty versions) when it cannot be opened or parsed.
    bool setFeatureFile(const QString &path);
    QString featureFile() const { return m_featureFile; }
    // Why the last setFeatureFile failed; empty after success.
    QString errorString() const { return m_error; }

    QString getReqiuredToolVersion() const { return m_requiredToolVersion; }
    QString getCurrentVersion() const { return m_stackVersion; }

    static constexpr const char *requiredToolVersionTag = "required_tool_version";
    static constexpr const char *stackVersionTag = "stack_version";

private:
    QString m_featureFile;
    QString m_error;
    QString m_requiredToolVersion;
    QString m_stackVersion;
};
