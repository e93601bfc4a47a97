#include "generators/lineclassification.h"

#include "database/objectdatabase.h"

#include <algorithm>

LineClassification LineClassification::classify(ObjectDataBase *db)
{
    LineClassification result;
    if (!db)
        return result;
    QList<quint8> nodes = db->getNodes();
    std::sort(nodes.begin(), nodes.end());
    for (quint8 line : nodes) {
        if (line >= 0xF0)
            continue;
        const int type =
            db->getGeneralSettingsValue(QStringLiteral("line%1type").arg(line)).trimmed().toInt();
        result.lines.append(line);
        result.types.insert(line, type);
        if (type == 1 || type == 5)
            result.canopenLines.append(line);
        if (type == 2 || type == 5)
            result.j1939Lines.append(line);
        if (type == 4)
            result.rawCanLines.append(line);
    }
    return result;
}
