// An EDS or DCF import as the window and the command line run it: the reader fills the
// staging line, then the objects are copied into line 0 with the device information.
// seeds: tests/data/**/*.eds tests/data/**/*.dcf
#include "fuzzsupport.h"
#include "importsupport.h"

#include "importers/edsimporter.h"
#include "importers/importrun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    // Kept to the end of the process: its statics go before the fuzzer stops.
    static auto *project = new nwfuzz::StagingProject;
    const nwfuzz::CpuBudget budget;
    const QByteArray content = nwfuzz::bytes(data, size);
    const bool dcf = content.contains("ParameterValue");
    const QString path = nwfuzz::inputFile(content, dcf ? "dcf" : "eds");
    if (path.isEmpty())
        return 0;
    ObjectDataBase &db = project->begin();
    EDSImporter importer;
    importer.setDcfMode(dcf);
    project->aim(importer, path);
    importer.doImport();
    importer.diagnostics();
    if (importer.getLastError().isEmpty() && !importer.objects().isEmpty()) {
        ImportRun run(&db);
        run.setLine(0);
        run.run(importer.objects().values(), [&]() {
            db.setDescriptionSettingsLine(0);
            return importer.importFileDeviceInfo();
        });
    }
    project->end();
    return 0;
}
