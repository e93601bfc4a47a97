// An object list read into the staging line, then its copy and delete rows carried out
// there, as the import dialog does.
// seeds: tests/data/**/*.csv
#include "fuzzsupport.h"
#include "importsupport.h"

#include "importers/csvimporter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    // Kept to the end of the process: its statics go before the fuzzer stops.
    static auto *project = new nwfuzz::StagingProject;
    const nwfuzz::CpuBudget budget;
    const QString path = nwfuzz::inputFile(nwfuzz::bytes(data, size), "csv");
    if (path.isEmpty())
        return 0;
    ObjectDataBase &db = project->begin();
    CsvImporter importer;
    project->aim(importer, path);
    importer.doImport();
    if (importer.getLastError().isEmpty())
        importer.applyCommands(&db, nwfuzz::StagingProject::staging);
    project->end();
    return 0;
}
