#pragma once

#include "generators/generationrun.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Finds generated files that no longer match their project: runs the generation into a
// scratch folder and compares every file it writes with the file of the same name in the
// run's output folder. Lines that hold only the generation date or the generation counter
// are not compared, so a file generated earlier from the same project counts as current.
// Nothing in the output folder is written or deleted.
//
// The caller configures the run (project, output folder, model check) and connects its
// messages if it wants them; the check redirects the run to the scratch folder for its
// duration and keeps it from starting the post-generation command or recording the EDS
// for the sibling tools.
class OutputDriftCheck
{
    Q_DECLARE_TR_FUNCTIONS(OutputDriftCheck)

public:
    enum Result {
        UpToDate, // every generated file matches the one in the output folder
        OutOfDate, // some file differs or is missing; see differingFiles/missingFiles
        NotGenerated // the run ended early or the scratch folder failed; see failureText
    };

    explicit OutputDriftCheck(GenerationRun *run);

    Result check();
    // Names (without folder) of the files compared, differing and missing, sorted.
    QStringList comparedFiles() const { return compared; }
    QStringList differingFiles() const { return differing; }
    QStringList missingFiles() const { return missing; }
    GenerationRun::Outcome runOutcome() const { return outcome; }
    QString failureText() const { return failure; }

    // True when the two file contents have the same lines apart from lines that hold only
    // the generation date (the date line of a C header, the creation and modification
    // keys of an EDS) or the generation counter of gen_define.h.
    static bool sameOutput(const QByteArray &generated, const QByteArray &existing);

    // The files a generator reads back from its previous version (the user section and the
    // counter of gen_define.h); they are copied into the scratch folder before the run.
    static QStringList carriedOverFiles();

private:
    void compareFolders(const QString &scratch, const QString &target);

    GenerationRun *generation;
    GenerationRun::Outcome outcome = GenerationRun::Completed;
    QStringList compared;
    QStringList differing;
    QStringList missing;
    QString failure;
};
