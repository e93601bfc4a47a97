#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The byte form of the metadata column of objects and sub-indices: a key/value map in the
// binary stream form of stream version 17. A 32-bit big-endian entry count, then every
// entry as key and value, each a 32-bit big-endian byte length followed by UTF-16
// big-endian code units, entries in descending key order.
class MetaDataBlob
{
public:
    static QByteArray encode(const QMap<QString, QString> &map);
    // An empty byte form, or one that does not decode completely, gives an empty map.
    static QMap<QString, QString> decode(const QByteArray &bytes);
};
