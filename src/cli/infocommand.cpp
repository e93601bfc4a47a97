#include "cli/infocommand.h"

#include "cli/cliproject.h"
#include "database/objectdatabase.h"
#include "generators/lineclassification.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

const quint8 receive = 0x77;
const quint8 transmit = 0x55;

QString typeName(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("CANopen");
    case 2:
        return QStringLiteral("J1939");
    case 4:
        return QStringLiteral("raw CAN");
    case 5:
        return QStringLiteral("both");
    default:
        return QStringLiteral("type not set");
    }
}

QString counts(const QString &what, int received, int sent)
{
    return QStringLiteral(", %1 %2 (%3 receive, %4 transmit)")
        .arg(received + sent)
        .arg(what)
        .arg(received)
        .arg(sent);
}

void printLine(ObjectDataBase &db, const LineClassification &lines, quint8 line, QTextStream &out)
{
    const int type = lines.type(line);
    out << QStringLiteral("line %1: %2").arg(line).arg(typeName(type));
    out << QStringLiteral(", %1 objects").arg(db.getIndices(line, 0x1000, 0xFFFF).size());
    if (lines.j1939Lines.contains(line))
        out << counts(QStringLiteral("PGNs"), db.getPGNs(line, receive).size(),
                      db.getPGNs(line, transmit).size());
    if (lines.rawCanLines.contains(line))
        out << counts(QStringLiteral("CAN-IDs"), db.getCANIDs(line, receive).size(),
                      db.getCANIDs(line, transmit).size());
    out << "\n";
}

} // namespace

const char *InfoCommand::usage()
{
    return "  info PROJECT\n"
           "              print the lines of the project with their types and the\n"
           "              numbers of objects, PGNs and CAN-IDs\n";
}

int InfoCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1String("--"))) {
        err << "nodewright-cli info: expected one project file\n" << usage();
        return 2;
    }
    ObjectDataBase db;
    QString error;
    if (!CliProject::open(arguments.first(), db, error)) {
        err << "nodewright-cli info: " << error << "\n";
        return 2;
    }
    const LineClassification lines = LineClassification::classify(&db);
    out << "project: " << QFileInfo(arguments.first()).completeBaseName() << "\n";
    out << "lines: " << lines.lines.size() << "\n";
    for (quint8 line : lines.lines)
        printLine(db, lines, line, out);
    return 0;
}
