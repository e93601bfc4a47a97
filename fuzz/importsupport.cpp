#include "importsupport.h"

#include <cstdlib>

namespace nwfuzz {

StagingProject::StagingProject() : m_db(std::make_unique<ObjectDataBase>())
{
    // Without a project there is nothing to fuzz: stop loudly rather than pass.
    if (!m_db->createNewDataBase() || !m_db->addNode(staging, ObjectDataBase::NODE_DATA_T()))
        std::abort();
}

ObjectDataBase &StagingProject::begin()
{
    if (!m_db->beginTransaction())
        std::abort();
    return *m_db;
}

void StagingProject::aim(BaseDataImporter &reader, const QString &path)
{
    reader.setDatabase(m_db.get());
    reader.setActiveLine(staging);
    reader.setIndexRange(0, 0xFFFF);
    reader.setImportFileName(path);
}

void StagingProject::end()
{
    if (!m_db->rollbackTransaction())
        std::abort();
}

} // namespace nwfuzz
