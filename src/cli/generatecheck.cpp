#include "cli/generatecheck.h"

#include "cli/clitext.h"
#include "cli/commandline.h"
#include "generators/outputdriftcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("GenerateCheck", text, nullptr, n);
}

} // namespace

int GenerateCheck::run(GenerationRun &run, const CommandLine &commandLine, QTextStream &out,
                       QTextStream &err)
{
    // The run reports the scratch folder; its lines only matter when it fails.
    QStringList messages;
    const QMetaObject::Connection collect =
        QObject::connect(&run, &GenerationRun::message, [&messages](const QString &text) {
            messages << CliText::plainText(text);
        });
    OutputDriftCheck drift(&run);
    const OutputDriftCheck::Result result = drift.check();
    QObject::disconnect(collect);

    if (result == OutputDriftCheck::NotGenerated) {
        for (const QString &message : qAsConst(messages))
            out << message << '\n';
        out.flush();
        commandLine.failure(err, drift.failureText());
        return drift.runOutcome() == GenerationRun::CheckFailed ? 1 : 2;
    }
    const QString folder = run.outputDirectory() + QLatin1Char('/');
    for (const QString &name : drift.differingFiles())
        out << tr("%1: differs from the generated file")
                   .arg(QDir::toNativeSeparators(folder + name))
            << '\n';
    for (const QString &name : drift.missingFiles())
        out << tr("%1: missing").arg(QDir::toNativeSeparators(folder + name)) << '\n';
    const int compared = drift.comparedFiles().size();
    if (result == OutputDriftCheck::UpToDate) {
        out << tr("All %n generated files are up to date.", compared) << '\n';
        return 0;
    }
    out << tr("%1 of %n generated files are out of date.", compared)
               .arg(drift.differingFiles().size() + drift.missingFiles().size())
        << '\n';
    return 1;
}
