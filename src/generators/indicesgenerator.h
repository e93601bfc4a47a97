#pragma once

#include "generators/abstractgenerator.h"

#include <QHash>
#include <QList>
#include <QString>

class GeneratedText;

// Writes gen_indices.h: one symbolic define per object of the given CANopen lines, and
// one per sub-index of its arrays and records, so that application code can name objects
// instead of numbers. Honours abortGeneration between objects.
class IndicesGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit IndicesGenerator(QObject *parent = nullptr);

    // The lines to write, in this order.
    void setLines(const QList<unsigned char> &lines);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // Each of " |&-:;,.()<>/\$%[]?=" becomes "_"; then runs of underscores shrink.
    static QString replaceInvalidCharacters(QString text);
    // Pads with blanks to at least 25 characters.
    static QString fillString(QString text);

public slots:
    void doJob() override;

private:
    void generateIndexDefine(unsigned char line, quint16 index);
    void generateSubIndexDefines(unsigned char line, quint16 index);
    // The name with the number of its earlier uses appended (none for the first use);
    // records the use.
    QString numberedName(const QString &name);
    QString linePrefix(unsigned char line) const;

    QList<unsigned char> lines;
    // How often each bare name has been used so far in the file.
    QHash<QString, int> useCounts;
    GeneratedText *out = nullptr;
};
