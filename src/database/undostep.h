#pragma once

#include "objectdatabase.h"

#include <QString>

// One undoable step of the user's: every change of the store from construction to the end
// of the scope is taken back by one undo, shown as name ("Delete 0x2000"). Steps opened
// inside it fold into it. A null store is allowed (a page without a project).
class UndoStep
{
public:
    UndoStep(ObjectDataBase *db, const QString &name) : m_db(db)
    {
        if (m_db)
            m_db->beginUndoStep(name);
    }
    ~UndoStep()
    {
        if (m_db)
            m_db->endUndoStep();
    }
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

private:
    ObjectDataBase *m_db;
};
