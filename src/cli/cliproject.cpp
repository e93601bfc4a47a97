#include "cli/cliproject.h"

#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QFileInfo>

bool CliProject::open(const QString &path, ObjectDataBase &db, QString &error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QCoreApplication::translate("CliProject", "%1: no such file").arg(path);
        return false;
    }
    if (!info.isFile() || !info.isReadable()) {
        error = QCoreApplication::translate("CliProject", "%1: cannot read the file").arg(path);
        return false;
    }
    if (!db.openDataBase(info.absoluteFilePath(), false)) {
        error = QCoreApplication::translate("CliProject", "%1: not a project file").arg(path);
        return false;
    }
    return true;
}
