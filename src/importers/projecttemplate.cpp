#include "importers/projecttemplate.h"

#include "database/objectdatabase.h"

#include <QCoreApplication>

QString ProjectTemplate::defaultPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data/mt.data");
}

bool ProjectTemplate::setLine0Type(ObjectDataBase &db, int type)
{
    bool ok = db.setGeneralSettingsValue(QStringLiteral("line0type"), QString::number(type));
    if (type != 1) {
        for (quint16 index : {0x1000, 0x1001, 0x1017, 0x1018, 0x1200}) {
            if (db.existIndex(0, index))
                ok = db.delIndex(0, index) && ok;
        }
    }
    return ok;
}

bool ProjectTemplate::stampNewProject(ObjectDataBase &db)
{
    return db.setMiscSettingsValue(QStringLiteral("CreateToolVersion"),
                                   QCoreApplication::applicationVersion());
}
