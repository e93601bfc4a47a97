// An XML device description imported as the window and the command line do it: the reader
// fills the staging line, then its objects are copied into line 0 with the product name.
// seeds: tests/data/**/*.xdd tests/data/**/*.xpd
#include "fuzzsupport.h"
#include "importsupport.h"

#include "importers/importrun.h"
#include "importers/xddimporter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    // Kept to the end of the process: its statics go before the fuzzer stops.
    static auto *project = new nwfuzz::StagingProject;
    const nwfuzz::CpuBudget budget;
    const QString path = nwfuzz::inputFile(nwfuzz::bytes(data, size), "xdd");
    if (path.isEmpty())
        return 0;
    ObjectDataBase &db = project->begin();
    XDDImporter importer;
    project->aim(importer, path);
    importer.doImport();
    if (importer.getLastError().isEmpty() && !importer.objects().isEmpty()) {
        ImportRun run(&db);
        run.setLine(0);
        run.run(importer.objects().values(), [&]() {
            return importer.productName().isEmpty()
                   || db.setDescriptionSettingsValue(QStringLiteral("ProductName"),
                                                     importer.productName());
        });
    }
    project->end();
    return 0;
}
