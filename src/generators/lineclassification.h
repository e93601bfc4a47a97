#pragma once

#include <QList>
#include <QMap>

class ObjectDataBase;

// The lines of a project sorted by what they carry, as read from the general settings
// "line%1type": 1 CANopen, 2 J1939, 4 raw CAN, 5 CANopen and J1939. Lines 0xF0 and above
// (clipboard, catalogue, staging) are never part of a project's output.
struct LineClassification
{
    QList<quint8> lines;
    QMap<quint8, int> types;
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
    int type(quint8 line) const { return types.value(line, 0); }

    static LineClassification classify(ObjectDataBase *db);
};
