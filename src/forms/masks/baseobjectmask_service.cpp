#include "baseobjectmask.h"

#include "transform/maskstore.h"

bool BaseObjectMask::copyFromTemplate(const ObjectDataBase &templateDb, quint16 first, quint16 last)
{
    if (!database)
        return false;
    return database->copyLineFromDatabase(&templateDb, 0, line, first, last);
}

bool BaseObjectMask::createServiceObjects(const QString &templateName, quint16 first, quint16 last,
                                          const std::function<bool()> &setValues)
{
    if (!database || !editable)
        return false;
    const std::unique_ptr<ObjectDataBase> templateDb = openTemplate(templateName);
    if (!templateDb)
        return false;
    return runServiceUnit(
        first, [&] { return copyFromTemplate(*templateDb, first, last) && setValues(); });
}

bool BaseObjectMask::runServiceUnit(quint16 firstIndex, const std::function<bool()> &work)
{
    if (!database || !editable)
        return false;
    bool created = false;
    {
        SavingScope scope(this, changeName());
        created = MaskStore::inUnit(database, work);
    }
    if (!created) {
        showFailure(tr("Communication Service"),
                    tr("The service could not be added; the line is as it was before."));
        return false;
    }
    emit serviceCreated(firstIndex);
    return true;
}
