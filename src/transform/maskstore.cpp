#include "maskstore.h"

namespace MaskStore {

bool parseNumber(const QString &text, quint32 &value)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const quint32 parsed = trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                               ? trimmed.mid(2).toUInt(&ok, 16)
                               : trimmed.toUInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}

quint32 numberValue(const ObjectDataBase &db, quint8 line, quint16 index, quint8 sub,
                    quint32 fallback)
{
    quint32 value = fallback;
    if (!parseNumber(db.getSubIndexValue(line, index, sub), value))
        return fallback;
    return value;
}

bool setValue(ObjectDataBase *db, quint8 line, quint16 index, quint8 sub, const QString &value)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (!db || !db->getSubIndexData(line, index, sub, data))
        return false;
    if (data.defaultvalue == value)
        return true;
    data.defaultvalue = value;
    data.changedbyuser = true;
    return db->addSubIndex(line, index, sub, data);
}

bool writeList(ObjectDataBase *db, quint8 line, quint16 index, const QStringList &values,
               const ObjectDataBase::SUBINDEX_DATA_T &pattern, const QString &namePattern,
               bool keepSubZero)
{
    if (!db || values.size() > 254)
        return false;
    for (int row = 0; row < values.size(); ++row) {
        const quint8 sub = quint8(row + 1);
        if (db->existSubIndex(line, index, sub)) {
            if (!setValue(db, line, index, sub, values.at(row)))
                return false;
            continue;
        }
        ObjectDataBase::SUBINDEX_DATA_T added = pattern;
        added.name = namePattern.arg(sub);
        added.defaultvalue = values.at(row);
        if (!db->addSubIndex(line, index, sub, added))
            return false;
    }
    if (!keepSubZero && !setValue(db, line, index, 0, QString::number(values.size())))
        return false;
    for (quint8 sub : db->getSubIndices(line, index, quint8(values.size() + 1))) {
        if (!db->delSubIndex(line, index, sub))
            return false;
    }
    return true;
}

QString hex32(quint32 value)
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

} // namespace MaskStore
