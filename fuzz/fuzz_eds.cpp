// The EDS/DCF parser on its own: any bytes, read as a file's content.
// seeds: tests/data/**/*.eds tests/data/**/*.dcf
#include "fuzzsupport.h"

#include "panelkit/edsparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nwfuzz::init();
    const nwfuzz::CpuBudget budget;
    EdsParser parser;
    int delivered = 0;
    QObject::connect(&parser, &EdsParser::newSubIndex,
                     [&](const CAN::CANopenSubIndex &) { ++delivered; });
    parser.loadEdsData(nwfuzz::bytes(data, size), QStringLiteral("fuzz.eds"));
    for (const EdsParser::Diagnostic &diagnostic : parser.diagnostics())
        diagnostic.toString();
    parser.value(QStringLiteral("DeviceInfo"), QStringLiteral("ProductName"));
    return 0;
}
