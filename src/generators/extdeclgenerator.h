#pragma once

#include "database/objectdatabase.h"
#include "generators/abstractgenerator.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class GeneratedText;

// Writes gen_extern_decl.h with extern declarations of the application variables that
// the J1939 and raw CAN tables of the stack reference (SPN and data-element variables),
// and gen_var_decl.c with matching definitions for applications that do not define them
// (enabled by JWR_USE_GENERATED_VARIABLES). A variable used by several messages or lines
// is declared once.
class ExtDeclGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit ExtDeclGenerator(QObject *parent = nullptr);

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // The declared type of a data type: the stack type, or UNSIGNED8 for the types that
    // are declared as byte arrays (byteArray set). Empty for a type that has no name.
    static QString declaredType(quint16 dataType, bool &byteArray);

public slots:
    void doJob() override;

private:
    // The messages of one line that carry application variables: one comment and the
    // variables, each as an SPN record (data elements are converted).
    struct MessageVariables
    {
        QString comment;
        QList<ObjectDataBase::SPN> variables;
    };

    void declareExternVariables(bool declareOnce);
    void declareVariable(const ObjectDataBase::SPN &spn);
    QList<quint8> declaredLines();
    QList<MessageVariables> messagesOfLine(quint8 line);
    QList<MessageVariables> pgnVariables(quint8 line, quint8 direction);
    QList<MessageVariables> canIdVariables(quint8 line, quint8 direction);
    // Size of every array variable ("buffer[3]" makes "buffer" at least 4 long).
    void scanArrayVariables();

    GeneratedText *externOut = nullptr;
    GeneratedText *definitionOut = nullptr;
    QSet<QString> declaredNames;
    QHash<QString, int> arraySizes;
};
