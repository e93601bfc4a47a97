#include "projectcheck.h"

#include "database/objectdatabase.h"

#include <algorithm>

ProjectCheck::ProjectCheck(QObject *parent) : QObject(parent)
{
    connect(&m_checker, &ModelChecker::newError, this, &ProjectCheck::message);
}

QList<quint8> ProjectCheck::projectLines(ObjectDataBase *db)
{
    QList<quint8> lines;
    if (!db)
        return lines;
    const QList<quint8> nodes = db->getNodes();
    for (quint8 line : nodes) {
        if (line < 240)
            lines.append(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

int ProjectCheck::run(ObjectDataBase *db, bool &modified)
{
    int total = int(m_checker.startGlobalCheck(db));
    const QList<quint8> lines = projectLines(db);
    const quint8 lineCount = quint8(lines.size());
    for (quint8 line : lines) {
        if (lines.size() > 1)
            emit message(tr("-> Checking line %1").arg(line));
        const int type =
            db->getGeneralSettingsValue(QStringLiteral("line%1type").arg(line)).toInt();
        switch (type) {
        case 1:
            total += m_checker.startCANopenFeatureCheck(line, db);
            total += m_checker.startCANopenCheck(line, db, modified);
            break;
        case 2:
            total += m_checker.startJ1939Check(lineCount, line, db);
            break;
        case 5:
            total += m_checker.startCANopenFeatureCheck(line, db);
            total += m_checker.startCANopenCheck(line, db, modified);
            total += m_checker.startJ1939Check(lineCount, line, db);
            break;
        case 4:
            break;
        default:
            emit message(tr("Warning line type not set for line %1.").arg(line));
            break;
        }
    }
    return total;
}
