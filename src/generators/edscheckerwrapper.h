#pragma once

#include <QObject>
#include <QString>

class QProcess;

// Runs the external EDS checker on one EDS file and collects what it prints.
class EdsCheckerWrapper : public QObject
{
    Q_OBJECT

public:
    explicit EdsCheckerWrapper(QObject *parent = nullptr);

    void setCheckerPath(const QString &path);
    QString checkerPath() const { return checker; }
    // False when the EDS file does not exist. Otherwise starts the checker with
    // "-e", the EDS path, "-d" and "<checker folder>/v301.codb" and returns true; a
    // checker that cannot be started reports finished() with its (empty) results.
    bool startEDSCheck(const QString &edsPath);
    // Everything the checker printed to its standard output, as Latin-1 text up to the
    // first zero byte; empty before a start.
    QString getResults() const;
    // The arguments startEDSCheck passes to the checker.
    QStringList checkerArguments(const QString &edsPath) const;

public slots:
    void processFinished(int exitCode);

signals:
    void finished();

private:
    QString checker;
    QProcess *process = nullptr;
    QByteArray output;
};
