#pragma once

#include "database/objectdatabase.h"
#include "importers/basedataimporter.h"

#include <memory>

// A project shared by the reader harnesses: line 0 takes what an import copies, line 255
// stages what a reader reads. Every input runs inside a unit of writes that is rolled
// back afterwards, so each input meets the same project and a finding reproduces alone.
namespace nwfuzz {

class StagingProject
{
public:
    static const quint8 staging = 255;

    // Creates the project; aborts when it cannot.
    StagingProject();

    // The project, inside a fresh unit of writes.
    ObjectDataBase &begin();
    // Points reader at the file path and at the staging line of the project, with every
    // index in range.
    void aim(BaseDataImporter &reader, const QString &path);
    // Undoes everything since begin().
    void end();

private:
    std::unique_ptr<ObjectDataBase> m_db;
};

} // namespace nwfuzz
