// A CODB catalogue read into the staging line, object copies ("$6001=6000") included.
// seeds: tests/data/**/*.codb
// (The whole shipped catalogue takes over a second under the fuzzer's instrumentation, as
// its thousands of object copies should; its first lines are among the seeds.)
#include "fuzzsupport.h"
#include "importsupport.h"

#include "importers/codbimporter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    // Kept to the end of the process: its statics go before the fuzzer stops.
    static auto *project = new nwfuzz::StagingProject;
    const nwfuzz::CpuBudget budget;
    const QString path = nwfuzz::inputFile(nwfuzz::bytes(data, size), "codb");
    if (path.isEmpty())
        return 0;
    project->begin();
    CODBImporter importer;
    importer.setMultipleObjectsFlag(true);
    project->aim(importer, path);
    importer.doImport();
    project->end();
    return 0;
}
