#pragma once

#include <QFileDevice>
#include <QString>

// The file a project is saved to. A path that is a symbolic link (or a chain of them) is
// followed to the file it leads to, so that saving writes there and the link stays a link.
class SavedFile
{
public:
    explicit SavedFile(const QString &target);

    // False for a link that leads nowhere (a loop or an empty link).
    bool isValid() const { return !m_path.isEmpty(); }
    // The absolute path of the real file (which need not exist yet).
    QString path() const { return m_path; }
    bool exists() const;
    QFileDevice::Permissions permissions() const;

    // Why the file at path is no sound project file (damaged, not a database, no lines);
    // empty when it is one.
    static QString check(const QString &path);

private:
    QString m_path;
};
