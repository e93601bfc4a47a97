#pragma once

#include "generators/abstractgenerator.h"

class GeneratedText;

// Writes gen_indication.h: the prototypes of the application's static indication
// functions named in the general settings ("fct_nmt", "fct_sdo_server_read", ...). The
// object dictionary source assigns the same functions to the stack's event pointers.
class indicationgenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit indicationgenerator(QObject *parent = nullptr);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // True when at least one function-name setting holds a name.
    bool staticIndisAvailable();

public slots:
    void doJob() override;

private:
    // Lines 0 to 7 with more than one object: more than one makes every prototype take
    // the line as its first parameter.
    int countUsedLines();
    void writePrototypes(GeneratedText &out, bool withLineParameter);
};
