#pragma once

#include "database/objectdatabase.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The fields of a sub-index as the editors show and accept them: the text of a field,
// the choices of the fields edited through a list, and the rules for a typed text. An
// accepted text changes the record (a new data type also brings that type's limits, a
// longer default text a larger size); a refused one leaves it untouched and the reason is
// returned.
class EntryField
{
    Q_DECLARE_TR_FUNCTIONS(EntryField)

public:
    enum Field {
        Name,
        DataType,
        AccessType,
        LowLimit,
        HighLimit,
        PdoMapping,
        DefaultValue,
        LimitCheck,
        RefuseRead,
        RefuseWrite,
        DefaultInEds,
        Implementation,
        VariableName,
        Size,
        SharedLines,
        NvStorage,
        HasDefault,
        Denotation
    };
    using Choices = QList<QPair<QString, QVariant>>;

    // The text of the field: limits in decimal, lists by their display text, the access
    // type as stored ("rw").
    static QString text(const ObjectDataBase::SUBINDEX_DATA_T &data, Field field);
    // Display text and stored value of each choice of a list field; empty for text fields.
    static Choices choices(Field field);
    // The stored value of a list field in data, as the item data of its choices.
    static QVariant value(const ObjectDataBase::SUBINDEX_DATA_T &data, Field field);
    // Applies a typed text (a display text, a stored value or, for lists, a number).
    // Returns an empty text when accepted, else why not.
    static QString apply(ObjectDataBase::SUBINDEX_DATA_T &data, Field field, const QString &text);

private:
    static QString applyDataType(ObjectDataBase::SUBINDEX_DATA_T &data, const QString &text);
    static QString applyDefault(ObjectDataBase::SUBINDEX_DATA_T &data, const QString &text);
    static QString applyLimit(ObjectDataBase::SUBINDEX_DATA_T &data, bool low, const QString &text);
    static QString applyChoice(ObjectDataBase::SUBINDEX_DATA_T &data, Field field,
                               const QString &text);
    static void setValue(ObjectDataBase::SUBINDEX_DATA_T &data, Field field, const QVariant &value);
};
