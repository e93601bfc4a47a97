#pragma once

#include "panelkit/linetype.h"

#include <QList>
#include <QMap>

class ObjectDataBase;

// The lines of a project sorted by what they carry (LineType). The reserved lines
// (clipboard, catalogue, staging) are never part of a project's output.
struct LineClassification
{
    QList<quint8> lines;
    QMap<quint8, LineType> types;
    QList<quint8> canopenLines; // types 1 and 5
    QList<quint8> j1939Lines; // types 2 and 5
    QList<quint8> rawCanLines; // type 4

    bool canopenLine() const { return !canopenLines.isEmpty(); }
    bool j1939Line() const { return !j1939Lines.isEmpty(); }
    bool rawCanLine() const { return !rawCanLines.isEmpty(); }
    bool multiLineProject() const { return lines.size() > 1; }
    bool j1939Only() const { return j1939Line() && !canopenLine(); }
    // The project needs the multi-protocol stack.
    bool multiProtocol() const { return (canopenLine() && j1939Line()) || rawCanLine(); }
    LineType type(quint8 line) const { return types.value(line, LineType::NotSet); }

    static LineClassification classify(const ObjectDataBase *db);
};
