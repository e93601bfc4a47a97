// nwsaveprobe SOURCE TARGET: opens the project SOURCE and saves it as TARGET, printing
// "saving" just before the save begins. The kill tests stop it at moments spread over
// the save.
#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nwsaveprobe"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: nwsaveprobe SOURCE TARGET\n", stderr);
        return 2;
    }
    ObjectDataBase db;
    if (!db.openDataBase(arguments.at(1), false)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    if (!db.saveDataBase(arguments.at(2))) {
        std::fprintf(stderr, "%s\n", qPrintable(db.errorString()));
        return 1;
    }
    return 0;
}
