// The model check step of the generation run.

#include "generators/generationrun.h"

#include "checker/projectcheck.h"

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
    ProjectCheck check;
    check.checker().setPreferences(userPreferences);
    connect(&check, &ProjectCheck::message, this, &GenerationRun::handleCheckError);
    return check.run(database, modified);
}
