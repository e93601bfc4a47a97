#include "nwtest.h"

std::unique_ptr<QCoreApplication> nwtest::createApplication(int &argc, char **argv)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}
