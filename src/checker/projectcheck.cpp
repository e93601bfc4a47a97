#include "projectcheck.h"

#include "database/objectdatabase.h"
#include "panelkit/linetype.h"

ProjectCheck::ProjectCheck(QObject *parent) : QObject(parent)
{
    connect(&m_checker, &ModelChecker::newError, this, &ProjectCheck::message);
}

int ProjectCheck::run(ObjectDataBase *db, bool &modified)
{
    ObjectDataBase *correctable = m_checker.autoCorrectionEnabled() ? db : nullptr;
    int total = int(m_checker.startGlobalCheck(db));
    const QList<quint8> lines = LineTypes::projectLines(db);
    const quint8 lineCount = quint8(lines.size());
    for (quint8 line : lines) {
        if (lines.size() > 1)
            emit message(tr("-> Checking line %1").arg(line));
        const LineType type = LineTypes::lineType(db, line);
        if (LineTypes::carriesCANopen(type)) {
            total += m_checker.startCANopenFeatureCheck(line, db);
            total += m_checker.startCANopenCheck(line, db, modified, correctable);
        }
        if (LineTypes::carriesJ1939(type))
            total += m_checker.startJ1939Check(lineCount, line, db);
        if (type != LineType::RawCan && !LineTypes::carriesCANopen(type)
            && !LineTypes::carriesJ1939(type))
            emit message(tr("Warning line type not set for line %1.").arg(line));
    }
    return total;
}
