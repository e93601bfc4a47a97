#pragma once

#include "checker/modelchecker.h"

#include <QObject>
#include <QString>

class ObjectDataBase;

// The model check of a whole project as a generation run does it: the project-wide rules
// first, then every line in ascending order by its type (CANopen: stack features and the
// CANopen rules; J1939: the J1939 rules; both for a mixed line; nothing for raw CAN).
class ProjectCheck : public QObject
{
    Q_OBJECT

public:
    explicit ProjectCheck(QObject *parent = nullptr);

    // The checker doing the work, for its stack path and auto-correction settings.
    ModelChecker &checker() { return m_checker; }

    // The summed error count. The checks read db; only when auto-correction is on does
    // the checker get it as its writable store. Sets modified when a correction was
    // written to the project.
    int run(ObjectDataBase *db, bool &modified);

signals:
    // One finding or progress line, HTML formatted.
    void message(const QString &text);

private:
    ModelChecker m_checker;
};
