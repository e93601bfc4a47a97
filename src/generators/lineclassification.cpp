#include "generators/lineclassification.h"

#include "database/objectdatabase.h"

LineClassification LineClassification::classify(const ObjectDataBase *db)
{
    LineClassification result;
    if (!db)
        return result;
    for (quint8 line : LineTypes::projectLines(db)) {
        const LineType type = LineTypes::lineType(db, line);
        result.lines.append(line);
        result.types.insert(line, type);
        if (LineTypes::carriesCANopen(type))
            result.canopenLines.append(line);
        if (LineTypes::carriesJ1939(type))
            result.j1939Lines.append(line);
        if (type == LineType::RawCan)
            result.rawCanLines.append(line);
    }
    return result;
}
