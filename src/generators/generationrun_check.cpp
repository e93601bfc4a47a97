// The model check step of the generation run.

#include "generators/generationrun.h"

#include "checker/modelchecker.h"

int GenerationRun::runModelCheck(bool &modified)
{
    modified = false;
    if (!modelCheckEnabled) {
        report(tr("Check of model consistency skipped"));
        return 0;
    }
    report(tr("\nCheck of model consistency started"));
    return runChecker(modified);
}

int GenerationRun::runChecker(bool &modified)
{
    ModelChecker checker;
    connect(&checker, &ModelChecker::newError, this, &GenerationRun::handleCheckError);
    int errors = int(checker.startGlobalCheck(database));
    for (quint8 line : lines.lines) {
        if (lines.multiLineProject())
            report(tr("-> Checking line %1").arg(line));
        const int type = lines.type(line);
        if (type == 1 || type == 5) {
            errors += checker.startCANopenFeatureCheck(line, database);
            errors += checker.startCANopenCheck(line, database, modified);
        }
        if (type == 2 || type == 5)
            errors += checker.startJ1939Check(quint8(lines.lines.size()), line, database);
        else if (type != 1 && type != 4)
            report(tr("Warning line type not set for line %1.").arg(line));
    }
    return errors;
}
