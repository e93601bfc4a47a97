#include "generators/generationrun.h"

#include "database/objectdatabase.h"
#include "database/undostep.h"
#include "generators/abstractgenerator.h"
#include "generators/edscheckerwrapper.h"
#include "panelkit/appidentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const quint32 addressClaimPgn = 0xEE00;
const quint8 transmit = 0x55;

} // namespace

GenerationRun::GenerationRun(ObjectDataBase *db, QObject *parent)
    : QObject(parent), database(db), edition(QCoreApplication::applicationName())
{
    qRegisterMetaType<quint8>("quint8");
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::setProject(const QString &folder, const QString &name)
{
    projectFolder = folder;
    projectName = name;
}

void GenerationRun::setOutputDirectory(const QString &directory)
{
    outputFolder = directory;
}

QString GenerationRun::outputDirectory() const
{
    return outputFolder.isEmpty() ? projectFolder : outputFolder;
}

void GenerationRun::setEdition(const QString &applicationName)
{
    edition = applicationName;
}

void GenerationRun::setInvokedByNetworkTool(bool invoked)
{
    invokedByNetworkTool = invoked;
}

void GenerationRun::setModelCheckEnabled(bool enabled)
{
    modelCheckEnabled = enabled;
}

void GenerationRun::setPreferences(const Preferences &preferences)
{
    userPreferences = preferences;
}

void GenerationRun::setExternalEffectsEnabled(bool enabled)
{
    externalEffectsEnabled = enabled;
}

void GenerationRun::setLogTextSource(std::function<QString()> source)
{
    logTextSource = std::move(source);
}

bool GenerationRun::energyBusConfigurationPending() const
{
    return database && AppIdentity::isEnergyBusEdition(edition)
           && database->getEnergyBusSettingsValue(QStringLiteral("modificationWithoutApply"))
                  == QLatin1String("1");
}

bool GenerationRun::isCanopenEdition() const
{
    return !AppIdentity::isJ1939Edition(edition) && !AppIdentity::isCanEdition(edition);
}

void GenerationRun::report(const QString &text, bool markup)
{
    reported.append(AbstractGenerator::currentDateTimeText() + QStringLiteral(": ") + text);
    emit message(text, markup);
}

QString GenerationRun::logText() const
{
    return logTextSource ? logTextSource() : reported.join(QLatin1Char('\n'));
}

GenerationRun::Outcome GenerationRun::run()
{
    failure.clear();
    checkErrors = 0;
    filesNotWritten = 0;
    reported.clear();
    if (!database) {
        failure = tr("No project is open.");
        return NoDataBase;
    }
    const bool disableCheck = userPreferences.disableCheck;
    if (userPreferences.clearLogging) {
        reported.clear();
        emit clearLogRequested();
    }
    bool modified = false;
    {
        // What the run changes in the project (the J1939 address claim, the check's
        // corrections) is one step the user can take back, closed before the save.
        UndoStep step(database, tr("Corrections of the generation"));
        prepareLines();
        cacheProject(true);
        checkErrors = runModelCheck(modified);
    }
    if (modified)
        emit saveRequested();
    if (!writeErrorLog(checkErrors) && !disableCheck) {
        failure = tr("The project contains critical errors. Check Generator Output window.");
        cacheProject(false);
        return CheckFailed;
    }
    if (!checkOutputFolder()) {
        cacheProject(false);
        return projectFolder.isEmpty() && outputFolder.isEmpty() ? NoProjectFolder
                                                                 : FolderNotWritable;
    }
    const bool compact =
        database->getGeneralSettingsValue(QStringLiteral("compact_array_description")).toInt() > 0;
    runGeneratorTable(compact);
    cacheProject(false);
    if (externalEffectsEnabled)
        startPostGenerationCommand();
    if (filesNotWritten == 0)
        return Completed;
    failure = tr("Not all files could be written. The messages of the generation name them.");
    return WriteFailed;
}

void GenerationRun::prepareLines()
{
    lines = LineClassification::classify(database);
    // The address claim is sent by the stack itself; a transmit PGN 0xEE00 of the project
    // would collide with it.
    for (quint8 line : lines.j1939Lines) {
        if (database->existsPGN(line, addressClaimPgn, transmit))
            database->delPGN(line, addressClaimPgn, transmit);
    }
}

void GenerationRun::cacheProject(bool fill)
{
    if (!fill) {
        database->clearAllCachedSubs();
        database->clearCachedSubNames();
        return;
    }
    for (quint8 line : lines.lines) {
        database->cacheAllSubs(line);
        database->cacheAllSubNames(line);
    }
}

bool GenerationRun::writeErrorLog(int errors)
{
    const QString folder = outputDirectory();
    const QString path = folder + QStringLiteral("/__nwrerrorlog.txt");
    if (errors == 0) {
        if (!folder.isEmpty())
            QFile::remove(path);
        if (modelCheckEnabled && isCanopenEdition())
            report(tr("Check of model consistency finished"));
        return true;
    }
    report(tr("Check of model consistency finished: failed (%1 errors)").arg(errors));
    if (!folder.isEmpty()) {
        QFile log(path);
        if (log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            log.write(logText().toUtf8());
    }
    return false;
}

bool GenerationRun::checkOutputFolder()
{
    const QString folder = outputDirectory();
    if (folder.isEmpty()) {
        failure = tr("The project must be saved before any files can be generated.");
        return false;
    }
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) {
        failure = tr("The output folder %1 is not writable.").arg(folder);
        return false;
    }
    return true;
}

void GenerationRun::generatorProgress(quint8 value)
{
    if (value < 100)
        return;
    const QObject *source = sender();
    const QString name = source ? source->objectName() : QStringLiteral("output");
    const auto *generator = qobject_cast<const AbstractGenerator *>(source);
    if (generator && generator->hasFailed())
        report(tr("Generation of %1 failed: %2").arg(name, generator->errorString()));
    else
        report(tr("Generation of %1 completed.").arg(name));
}

void GenerationRun::handleCheckError(const QString &text)
{
    report(text, true);
}

QStringList GenerationRun::getEdsDefines(unsigned char line)
{
    QStringList variants{QString()};
    if (!database)
        return variants;
    for (quint16 index : database->getIndices(line, 0x1000, 0xFFFF)) {
        ObjectDataBase::INDEX_DATA_T data;
        if (!database->getIndexData(line, index, data))
            continue;
        const QString variant = data.metadata.value(QStringLiteral("eds_define"));
        if (!variant.isEmpty() && !variants.contains(variant))
            variants.append(variant);
    }
    return variants;
}
