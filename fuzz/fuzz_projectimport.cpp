// Line 0 of another project file copied, with its PGNs, into the staging line, as Import
// does with a project.
// seeds: $BUILD/src/data/mt.data tests/data/**/*.nwrp
#include "fuzzsupport.h"
#include "importsupport.h"

#include "importers/nwrpimporter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    // Kept to the end of the process: its statics go before the fuzzer stops.
    static auto *project = new nwfuzz::StagingProject;
    const nwfuzz::CpuBudget budget;
    const QString path = nwfuzz::inputFile(nwfuzz::bytes(data, size), "nwrp");
    if (path.isEmpty())
        return 0;
    project->begin();
    NWRPImporter importer;
    importer.setSourceLine(0);
    project->aim(importer, path);
    importer.doImport();
    project->end();
    return 0;
}
