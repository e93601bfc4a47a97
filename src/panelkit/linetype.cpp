#include "panelkit/linetype.h"

#include "database/objectdatabase.h"

#include <QCoreApplication>

#include <algorithm>

QString LineTypes::settingKey(quint8 line)
{
    return QStringLiteral("line%1type").arg(line);
}

LineType LineTypes::fromSetting(const QString &text)
{
    return static_cast<LineType>(text.trimmed().toInt());
}

QString LineTypes::toSetting(LineType type)
{
    return QString::number(static_cast<int>(type));
}

bool LineTypes::carriesCANopen(LineType type)
{
    return type == LineType::CANopen || type == LineType::CANopenAndJ1939;
}

bool LineTypes::carriesJ1939(LineType type)
{
    return type == LineType::J1939 || type == LineType::CANopenAndJ1939;
}

QString LineTypes::name(LineType type)
{
    switch (type) {
    case LineType::CANopen:
        return QCoreApplication::translate("LineTypes", "CANopen");
    case LineType::J1939:
        return QCoreApplication::translate("LineTypes", "J1939");
    case LineType::RawCan:
        return QCoreApplication::translate("LineTypes", "raw CAN");
    case LineType::CANopenAndJ1939:
        return QCoreApplication::translate("LineTypes", "both");
    case LineType::NotSet:
        return QCoreApplication::translate("LineTypes", "type not set");
    }
    return QCoreApplication::translate("LineTypes", "type %1").arg(static_cast<int>(type));
}

LineType LineTypes::lineType(const ObjectDataBase *db, quint8 line)
{
    return db ? fromSetting(db->getGeneralSettingsValue(settingKey(line))) : LineType::NotSet;
}

bool LineTypes::setLineType(ObjectDataBase *db, quint8 line, LineType type)
{
    return db && db->setGeneralSettingsValue(settingKey(line), toSetting(type));
}

QList<quint8> LineTypes::projectLines(const ObjectDataBase *db)
{
    QList<quint8> lines;
    if (!db)
        return lines;
    for (quint8 line : db->getNodes()) {
        if (isProjectLine(line))
            lines.append(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}
