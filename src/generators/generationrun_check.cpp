// The model check step of the generation run.

#include "generators/generationrun.h"

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

// The model checker is not part of this build; the step says so and finds nothing.
int GenerationRun::runChecker(bool &modified)
{
    Q_UNUSED(modified)
    report(tr("No model checker in this build: no findings."));
    return 0;
}
