#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// The device description settings of a line (file and device information of its EDS and
// XDD files): every key, what kind of value it holds, and whether a typed value fits.
// Flags are stored as "0" and "1", numbers in decimal.
class DescriptionSettings
{
    Q_DECLARE_TR_FUNCTIONS(DescriptionSettings)

public:
    enum class Kind { Text, Comment, Flag, Number };
    struct Key
    {
        const char *name;
        Kind kind;
        int low;
        int high;
    };

    // Every key, in the order the device description page shows them.
    static const QList<Key> &keys();
    static const Key *find(const QString &name);
    // The value as stored for a typed text: numbers lose blanks and leading zeros, flags
    // become "0" or "1". Returns an empty text when it fits, else why not.
    static QString check(const QString &name, const QString &typed, QString &stored);
};
