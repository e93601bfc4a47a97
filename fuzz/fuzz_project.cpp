// A project file as Open reads it: the store opens and upgrades it, the converter brings
// it to the current form, every line's objects are read with their metadata, and it is
// saved under a new name.
// seeds: $BUILD/src/data/mt.data tests/data/**/*.nwrp
#include "fuzzsupport.h"

#include "database/objectdatabase.h"
#include "importers/projectconverter.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    const nwfuzz::CpuBudget budget;
    const QString path = nwfuzz::inputFile(nwfuzz::bytes(data, size), "nwrp");
    if (path.isEmpty())
        return 0;
    ObjectDataBase db;
    if (!db.openDataBase(path, false))
        return 0;
    ProjectConverter converter(&db);
    converter.doGenericCorrection();
    converter.doEnergyBusCorrection();
    converter.do1939Correction();
    converter.doMPCorrection();
    for (quint8 line : db.getNodes()) {
        QList<ObjectDataBase::INDEX_SUB_METADATA_T> subs;
        db.getAllSubIndicesWithMetaData(line, subs);
    }
    const QString saved = nwfuzz::scratchPath("nwrp");
    db.saveDataBase(saved);
    QFile::remove(saved);
    QFile::remove(saved + QLatin1String(".bak"));
    return 0;
}
