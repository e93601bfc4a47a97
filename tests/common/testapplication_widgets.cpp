#include "nwtest.h"

#include <QApplication>

std::unique_ptr<QCoreApplication> nwtest::createApplication(int &argc, char **argv)
{
    auto app = std::make_unique<QApplication>(argc, argv);
    // As QTEST_MAIN does: widget sizes in tests do not depend on the screen.
    app->setAttribute(Qt::AA_Use96Dpi, true);
    return app;
}
