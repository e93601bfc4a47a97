#pragma once

#include "generators/lineclassification.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class AbstractGenerator;
class EdsCheckerWrapper;
class ObjectDataBase;

// One output-generation run over the open project: classifies the lines, checks the
// model, writes the error log, runs every generator of the project in the fixed order,
// remembers the last generated EDS for the sibling tools and starts the user's
// post-generation command. The deferred steps (line endings, external EDS check) are
// separate calls the front end makes after the run.
//
// The run never talks to the user itself: it reports every output line through
// message() (HTML allowed) and returns an outcome; failureText() holds the text a front
// end shows for a run that ended early. The main window and the command-line tool both
// drive it. One object may serve several runs; EDS checks it started report to it.
class GenerationRun : public QObject
{
    Q_OBJECT

public:
    enum Outcome {
        Completed, // the generators ran (some may have been skipped)
        CheckFailed, // model errors and "disablecheck" not set; nothing generated
        NoProjectFolder, // the project was never saved
        FolderNotWritable, // the output folder cannot be written
        NoDataBase
    };

    // Generators whose object names the run knows, in the order of the table.
    enum class GeneratorKind {
        TextDoc,
        Indices,
        Html,
        ObjDict,
        VobjDict,
        Pgn,
        MultiPro,
        J1939TextDoc,
        J1939Html,
        Dbc,
        Srdo,
        CoDefine,
        ExtDecl,
        Indication,
        Csv,
        Eds,
        Xdd
    };

    // What a row's factory may need to build its generator.
    struct RowContext
    {
        const LineClassification *lines = nullptr;
        quint8 line = 0;
        bool compact = false; // "compact_array_description"
        QString edsVariant; // EDS rows: "" for the standard EDS
        bool invokedByNetworkTool = false; // gen_define.h takes its counter from the project
    };
    using Factory = std::function<AbstractGenerator *(const RowContext &)>;

    // One row of the generator table: its messages (%1 folder, %2 project name; the EDS
    // row's started message takes the variant as %2) and the factory of its generator.
    // A row without a factory (its generator is not part of this build) is skipped
    // without a message.
    struct GeneratorRow
    {
        GeneratorKind kind;
        const char *notWritable;
        const char *started;
        Factory create;
    };
    static const QList<GeneratorRow> &generatorRows();
    static const GeneratorRow *generatorRow(GeneratorKind kind);
    // Replaces the factory of one row for the runs of this object (an empty factory skips
    // the row): for front ends that bring generators of their own, and for tests.
    void setFactory(GeneratorKind kind, Factory factory);

    explicit GenerationRun(ObjectDataBase *db, QObject *parent = nullptr);
    ~GenerationRun() override;

    // The project's folder (no trailing slash; empty for a project never saved) and base
    // name. Output goes into the folder unless setOutputDirectory names another one.
    void setProject(const QString &folder, const QString &name);
    void setOutputDirectory(const QString &directory);
    QString outputDirectory() const;
    // The edition the run behaves as; defaults to the application name.
    void setEdition(const QString &applicationName);
    void setInvokedByNetworkTool(bool invoked);
    // False skips the model check (the command line's --no-check).
    void setModelCheckEnabled(bool enabled);
    // False keeps the run inside its output folder: no post-generation command and no
    // "lastGeneratedEDS" for the sibling tools (for runs into a scratch folder).
    void setExternalEffectsEnabled(bool enabled);
    // The text written to the error log when the check fails: the front end's whole
    // output window. Without a source, the lines this run reported (time-stamped).
    void setLogTextSource(std::function<QString()> source);

    // The EnergyBus configuration was changed but not applied to the object dictionary
    // (EnergyBus edition); the front end warns before the run.
    bool energyBusConfigurationPending() const;

    Outcome run();
    // The text for a run that ended early (the message box text of the window).
    QString failureText() const { return failure; }
    int checkErrorCount() const { return checkErrors; }
    const LineClassification &classification() const { return lines; }

    // The EDS variants of a line: "" (the standard EDS), then each distinct object
    // metadata "eds_define" of the objects 0x1000 to 0xFFFF, in index order.
    QStringList getEdsDefines(unsigned char line);

    // The arguments of the post-generation command: "%P" project file path, "%D" folder,
    // "%N" project file name replaced in one pass, then split at blanks.
    static QStringList postGenerationArguments(const QString &argumentText,
                                               const QString &projectFolder,
                                               const QString &outputFolder,
                                               const QString &projectName);

    // Deferred steps. adjustLineEndings converts the generated files as the preference
    // "line_ending_index" says; startEdsCheck starts the external EDS checker on the
    // project's EDS files when "checkeds" is set and returns how many checks run.
    void adjustLineEndings();
    int startEdsCheck();
    int pendingEdsChecks() const { return edsCheckers.size(); }

public slots:
    // Connected to each generator's progress; at 100 reports the generator as completed.
    void generatorProgress(quint8 value);
    void handleCheckError(const QString &text);

signals:
    // One line for the output window.
    void message(const QString &text);
    // The preference "clearlogging" asks for an empty output window.
    void clearLogRequested();
    // The model check corrected the project; the window saves it.
    void saveRequested();
    void edsChecksFinished();

private slots:
    void edsCheckFinished();

private:
    void report(const QString &text);
    void prepareLines();
    void cacheProject(bool fill);
    int runModelCheck(bool &modified);
    // The checker's calling order: global check, then per line by its type. Returns the
    // number of errors; sets modified when the checker corrected the project.
    int runChecker(bool &modified);
    bool writeErrorLog(int errors);
    bool checkOutputFolder();
    void runGeneratorTable(bool compact);
    void runCanopenSources(const RowContext &context);
    void runJ1939Documentation(quint8 line);
    void runDescriptions(const RowContext &context);
    void runEdsVariants(const RowContext &context);
    // Runs one row for the context's line: configure, check writability, start, wait.
    // False when the row has no generator or its file is not writable.
    bool runRow(GeneratorKind kind, const RowContext &context, const QString &startedArg = {});
    bool runGenerator(AbstractGenerator *generator, quint8 line, const QString &notWritable,
                      const QString &started);
    void reportUserSection();
    void deleteOutputFile(const QString &fileName);
    bool srdoObjectsPresent();
    bool virtualObjectsPresent();
    void startPostGenerationCommand();
    QString logText() const;
    bool isCanopenEdition() const;

    QPointer<ObjectDataBase> database;
    QString projectFolder;
    QString projectName;
    QString outputFolder;
    QString edition;
    bool invokedByNetworkTool = false;
    bool modelCheckEnabled = true;
    bool externalEffectsEnabled = true;
    std::function<QString()> logTextSource;

    LineClassification lines;
    QString failure;
    int checkErrors = 0;
    QStringList reported;
    QList<EdsCheckerWrapper *> edsCheckers;
    QMap<GeneratorKind, Factory> factories;
};
