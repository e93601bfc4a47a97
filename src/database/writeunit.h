#pragma once

#include "objectdatabase.h"

// The writes of one operation as a unit: begun on construction (joining the caller's unit
// when one is open) and ended when it goes out of scope; a write that failed meanwhile
// makes the end a rollback. abandon() undoes the writes so far although none failed.
class WriteUnit
{
public:
    explicit WriteUnit(ObjectDataBase *db) : m_db(db), m_open(db->beginTransaction()) {}
    ~WriteUnit() { commit(); }
    WriteUnit(const WriteUnit &) = delete;
    WriteUnit &operator=(const WriteUnit &) = delete;

    // Ends the unit; true when its writes took effect (inside an open unit: when they still
    // can). False when the unit could not be begun.
    bool commit()
    {
        const bool open = m_open;
        m_open = false;
        return open && m_db->commitTransaction();
    }
    void abandon()
    {
        if (m_open)
            m_db->rollbackTransaction();
        m_open = false;
    }

private:
    ObjectDataBase *m_db;
    bool m_open;
};
