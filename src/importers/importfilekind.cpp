#include "importfilekind.h"

#include <QFileInfo>

ImportFileKind importFileKind(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("codb"))
        return ImportFileKind::Catalogue;
    if (suffix == QLatin1String("nwrp") || suffix == QLatin1String("bak"))
        return ImportFileKind::Project;
    if (suffix == QLatin1String("eds"))
        return ImportFileKind::Eds;
    if (suffix == QLatin1String("dcf"))
        return ImportFileKind::Dcf;
    if (suffix == QLatin1String("xdd") || suffix == QLatin1String("xml"))
        return ImportFileKind::Xdd;
    if (suffix == QLatin1String("csv"))
        return ImportFileKind::Csv;
    return ImportFileKind::Other;
}
