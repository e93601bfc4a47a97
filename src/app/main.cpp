#include "app/nwrmainwindow.h"
#include "panelkit/appidentity.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    AppIdentity::apply(QString::fromLocal8Bit(argc > 0 ? argv[0] : ""));
    QApplication app(argc, argv);

    // Diagnostic for scripts and tests: report which edition this invocation selects.
    if (qEnvironmentVariableIsSet("NODEWRIGHT_PRINT_IDENTITY")) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }

    NwrMainWindow window(QCoreApplication::arguments());
    window.show();
    return app.exec();
}
