#include "cli/infocommand.h"

#include "cli/cliproject.h"
#include "cli/commandline.h"
#include "database/objectdatabase.h"
#include "generators/lineclassification.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char synopsis[] = "info PROJECT";

const quint8 receive = 0x77;
const quint8 transmit = 0x55;

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
    out << QStringLiteral("line %1: %2").arg(line).arg(LineTypes::name(lines.type(line)));
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

QString InfoCommand::usage()
{
    return CommandLine::overviewEntry(
        QLatin1String(synopsis),
        QCoreApplication::translate("InfoCommand", "the lines of the project with their types "
                                                   "and counts"));
}

int InfoCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CommandLine commandLine(
        QLatin1String(synopsis),
        QCoreApplication::translate("InfoCommand", "Prints what the project holds, line by line."));
    commandLine.addArgument(QStringLiteral("PROJECT"),
                            QCoreApplication::translate("InfoCommand", "the project file (.nwrp)"));
    if (const std::optional<int> done = commandLine.parse(arguments, out, err))
        return *done;
    const QString path = commandLine.arguments().first();
    ObjectDataBase db;
    QString error;
    if (!CliProject::open(path, db, error))
        return commandLine.failure(err, error);
    const LineClassification lines = LineClassification::classify(&db);
    out << "project: " << QFileInfo(path).completeBaseName() << "\n";
    out << "lines: " << lines.lines.size() << "\n";
    for (quint8 line : lines.lines)
        printLine(db, lines, line, out);
    return 0;
}
