#include "metadatablob.h"

#include <QDataStream>
#include <QIODevice>

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

QMap<QString, QString> MetaDataBlob::decode(const QByteArray &bytes)
{
    QMap<QString, QString> map;
    if (bytes.isEmpty())
        return map;
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString key;
        QString value;
        in >> key >> value;
        if (in.status() == QDataStream::Ok)
            map.insert(nonNull(key), nonNull(value));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return {};
    return map;
}
