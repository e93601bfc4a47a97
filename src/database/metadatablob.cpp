#include "metadatablob.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr int streamVersion = 17;

// A null text would be written with the length 0xFFFFFFFF; the file holds every text,
// empty ones included, with its real length.
QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

QByteArray MetaDataBlob::encode(const QMap<QString, QString> &map)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << quint32(map.size());
    for (auto it = map.constEnd(); it != map.constBegin();) {
        --it;
        out << nonNull(it.key()) << nonNull(it.value());
    }
    return bytes;
}

// Read as QDataStream writes it (a big-endian count, then each text as its byte length,
// 0xFFFFFFFF for a null text, and its UTF-16 big-endian), without a stream and its
// buffer device: every sub-index of a line read whole is decoded. Anything QDataStream
// would refuse (a short or odd length, bytes left over) gives an empty map as well.
QMap<QString, QString> MetaDataBlob::decode(const QByteArray &bytes)
{
    QMap<QString, QString> map;
    if (bytes.isEmpty())
        return map;
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 size = quint32(bytes.size());
    quint32 at = 0;
    const auto readNumber = [data, size, &at](quint32 &number) {
        if (size - at < 4)
            return false;
        number = qFromBigEndian<quint32>(data + at);
        at += 4;
        return true;
    };
    const auto readText = [data, size, &at, &readNumber](QString &text) {
        quint32 length = 0;
        if (!readNumber(length))
            return false;
        if (length == 0xFFFFFFFF)
            return true; // a null text, stored as an empty one
        if ((length & 1) != 0 || size - at < length)
            return false;
        text.resize(int(length / 2));
        QChar *out = text.data();
        for (quint32 i = 0; i < length / 2; ++i)
            out[i] = QChar(qFromBigEndian<quint16>(data + at + 2 * i));
        at += length;
        return true;
    };
    quint32 count = 0;
    if (!readNumber(count))
        return {};
    for (quint32 i = 0; i < count; ++i) {
        QString key;
        QString value;
        if (!readText(key) || !readText(value))
            return {};
        map.insert(nonNull(key), nonNull(value));
    }
    if (at != size)
        return {};
    return map;
}
