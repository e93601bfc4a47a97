#pragma once

#include "generators/abstractgenerator.h"

#include <QSharedPointer>
#include <QString>

class QSaveFile;
class GeneratedText;

// Writes the object dictionary of one line as a comma-separated table, one row per
// sub-index, for spreadsheets and for the CSV reader: "<folder>/<project>.csv", or
// "<folder>/<project>_<line>.csv" when multiLine is set. UTF-8, lines end with CR LF.
//
// A text field that holds a comma, a double quote or a line break stands in double quotes
// (each quote inside doubled), so that it keeps its column; all other fields are written
// as they are. A line holding one blank separates the communication objects from the
// manufacturer objects (at 0x2000) and those from the profile objects (at 0x6000).
class CSVGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit CSVGenerator(QObject *parent = nullptr);

    QString fileName() const;

    // Tests "<folder>/<project>.csv".
    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;
    // After a run: the file was written completely and replaced the previous one.
    bool isFileWritten() const { return fileWritten; }

    // The Value column: strings (VISIBLE_STRING, OCTET_STRING, UTF8_STRING) as stored,
    // every other type as an integer read with C prefixes and written in decimal; text
    // that does not read as a number gives "0".
    static QString valueColumn(quint16 datatype, const QString &defaultValue);

public slots:
    void doJob() override;

private:
    bool prepareOutputFile();
    void documentSubIndex(quint8 line, quint16 index, quint8 subindex);

    QSharedPointer<QSaveFile> file;
    bool fileWritten = false;
    GeneratedText *out = nullptr;
    QString currentName; // substituted name of the object being written
    quint8 currentType = 7;
    QString subNamePattern; // " %1", translated once per job
};
