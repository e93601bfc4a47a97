#include "app/nwrmainwindow.h"
#include "database/objectdatabase.h"
#include "panelkit/appidentity.h"
#include "panelkit/helper.h"

#include <QApplication>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

namespace {

// A database with an empty line 0, as the project and the reference database start out.
void createStartDatabase(ObjectDataBase &database)
{
    database.createNewDataBase();
    database.addNode(0, ObjectDataBase::NODE_DATA_T());
    database.cleanUpStrings();
}

} // namespace

int main(int argc, char *argv[])
{
    AppIdentity::apply(QString::fromLocal8Bit(argc > 0 ? argv[0] : ""));
    QApplication app(argc, argv);
    QApplication::setStartDragTime(100);
    QApplication::setStartDragDistance(10);

    // Diagnostic for scripts and tests: report which edition this invocation selects.
    if (qEnvironmentVariableIsSet("NODEWRIGHT_PRINT_IDENTITY")) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }

    // The catalogue reader reports changes from its worker thread, before the event loop
    // runs; the change type must be known to queued connections by then.
    qRegisterMetaType<ObjectDataBase::ChangeSet>("ObjectDataBase::ChangeSet");
    Helper helper;
    Q_UNUSED(helper)

    // Both databases outlive the window, which only borrows them.
    ObjectDataBase project;
    createStartDatabase(project);
    ObjectDataBase reference;
    createStartDatabase(reference);

    const QStringList arguments = QCoreApplication::arguments();
    NwrMainWindow window(arguments);
    window.setProjectDatabase(&project);
    window.setAdditionalDatabase(&reference);
    window.show();

    {
        QEventLoop paint;
        QTimer::singleShot(150, &paint, &QEventLoop::quit);
        paint.exec();
    }

    if (arguments.size() < 2 || arguments.at(1) == QLatin1String("-j1939")) {
        window.doThingsAfterStartup();
    } else {
        // A path that cannot be opened has been reported; the user gets a new project.
        if (!window.openProject(arguments.at(1)))
            window.on_actionNew_Project_triggered();
        window.import301();
    }
    return app.exec();
}
