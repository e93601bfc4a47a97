#include "generators/outputdriftcheck.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const char errorLogName[] = "__nwrerrorlog.txt";

// Lines whose content changes with every generation. A differing pair of lines is the same
// output when both match one pattern with the same "key".
const QList<QRegularExpression> &volatileLines()
{
    static const QList<QRegularExpression> patterns = {
        // The date line of the comment block that opens a generated C file.
        QRegularExpression(
            QStringLiteral("^ \\* (?<key>)\\S+ \\S+ +\\d{1,2} \\d{1,2}:\\d\\d:\\d\\d \\d{4}\\r?$")),
        // The time stamps of an EDS.
        QRegularExpression(QStringLiteral(
            "^(?<key>CreationTime|CreationDate|ModificationTime|ModificationDate)=.*$")),
        // The generation counter of gen_define.h, counted up by every generation.
        QRegularExpression(QStringLiteral("^(?<key>#define GEN_GENERATION_COUNT)\\s+\\d+ul\\r?$")),
    };
    return patterns;
}

bool volatilePair(const QByteArray &generated, const QByteArray &existing)
{
    const QString a = QString::fromUtf8(generated);
    const QString b = QString::fromUtf8(existing);
    for (const QRegularExpression &pattern : volatileLines()) {
        const QRegularExpressionMatch first = pattern.match(a);
        if (!first.hasMatch())
            continue;
        const QRegularExpressionMatch second = pattern.match(b);
        if (second.hasMatch()
            && first.captured(QStringLiteral("key")) == second.captured(QStringLiteral("key")))
            return true;
    }
    return false;
}

QByteArray readFile(const QString &path, bool *exists)
{
    QFile file(path);
    *exists = file.open(QIODevice::ReadOnly);
    return *exists ? file.readAll() : QByteArray();
}

} // namespace

OutputDriftCheck::OutputDriftCheck(GenerationRun *run) : generation(run) {}

QStringList OutputDriftCheck::carriedOverFiles()
{
    return {QStringLiteral("gen_define.h")};
}

bool OutputDriftCheck::sameOutput(const QByteArray &generated, const QByteArray &existing)
{
    if (generated == existing)
        return true;
    const QList<QByteArray> a = generated.split('\n');
    const QList<QByteArray> b = existing.split('\n');
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i) != b.at(i) && !volatilePair(a.at(i), b.at(i)))
            return false;
    }
    return true;
}

OutputDriftCheck::Result OutputDriftCheck::check()
{
    compared.clear();
    differing.clear();
    missing.clear();
    failure.clear();
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        failure = tr("Cannot create a temporary folder: %1").arg(scratch.errorString());
        return NotGenerated;
    }
    const QString target = generation->outputDirectory();
    for (const QString &name : carriedOverFiles())
        QFile::copy(target + QLatin1Char('/') + name, scratch.path() + QLatin1Char('/') + name);

    generation->setOutputDirectory(scratch.path());
    generation->setExternalEffectsEnabled(false);
    outcome = generation->run();
    if (outcome == GenerationRun::Completed)
        generation->adjustLineEndings();
    generation->setExternalEffectsEnabled(true);
    generation->setOutputDirectory(target);
    if (outcome != GenerationRun::Completed) {
        failure = generation->failureText();
        return NotGenerated;
    }
    compareFolders(scratch.path(), target);
    return differing.isEmpty() && missing.isEmpty() ? UpToDate : OutOfDate;
}

void OutputDriftCheck::compareFolders(const QString &scratch, const QString &target)
{
    const QStringList names = QDir(scratch).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (name == QLatin1String(errorLogName))
            continue;
        compared.append(name);
        bool generatedExists = false;
        bool exists = false;
        const QByteArray generated = readFile(scratch + QLatin1Char('/') + name, &generatedExists);
        const QByteArray existing = readFile(target + QLatin1Char('/') + name, &exists);
        if (!exists)
            missing.append(name);
        else if (!sameOutput(generated, existing))
            differing.append(name);
    }
}
