// Build tool: turns the text source of a template database into the binary file the
// tool ships (for example resources/templates/mt.txt into data/mt.data).

#include "templatebuilder.h"

#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // The template is written as the desktop tool would write it, so that opening it in
    // the tool raises no tool mismatch.
    AppIdentity::apply(QStringLiteral("nodewright"));
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: nwdatabuild <source.txt> <output.data>\n";
        return 2;
    }
    // The working files of the databases go to a scratch folder, not the user's.
    const QTemporaryDir work;
    if (!work.isValid()) {
        err << "nwdatabuild: no temporary folder\n";
        return 1;
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(work.path()));
    TemplateBuilder builder;
    if (!builder.build(args.at(1), args.at(2))) {
        err << builder.errorString() << '\n';
        return 1;
    }
    return 0;
}
