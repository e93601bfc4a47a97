#pragma once

#include <QList>
#include <QString>

class ObjectDataBase;

// What a line of a project carries, as stored in the general setting "line%1type" of the
// line. Other numbers may stand in old or damaged files; they convert unchanged and carry
// nothing.
enum class LineType : int {
    NotSet = 0,
    CANopen = 1,
    J1939 = 2,
    RawCan = 4,
    CANopenAndJ1939 = 5,
};

// Line numbers with a fixed meaning. Lines below firstReserved hold the user's devices;
// the reserved lines are never saved and never part of a project's output.
struct ReservedLine
{
    static constexpr quint8 first = 0xF0;
    // Object clipboard of the object dictionary editor.
    static constexpr quint8 clipboard = 254;
    // The built-in catalogue of the reference database, and the staging line an import
    // reads into before the user picks what to copy.
    static constexpr quint8 staging = 255;
};

// Line types and the project's lines. The lookups read the store's general settings.
class LineTypes
{
public:
    // The general setting holding the type of a line: "line%1type".
    static QString settingKey(quint8 line);
    // The setting's text as a type (blanks ignored; no number gives NotSet), and back.
    static LineType fromSetting(const QString &text);
    static QString toSetting(LineType type);

    static bool isProjectLine(quint8 line) { return line < ReservedLine::first; }
    static bool carriesCANopen(LineType type);
    static bool carriesJ1939(LineType type);
    // "CANopen", "J1939", "raw CAN", "both", "type not set", or "type %1" for others.
    static QString name(LineType type);

    // The type of a line of the store; NotSet without a database.
    static LineType lineType(const ObjectDataBase *db, quint8 line);
    static bool setLineType(ObjectDataBase *db, quint8 line, LineType type);
    // The lines of the store that hold a device, ascending (reserved lines left out).
    static QList<quint8> projectLines(const ObjectDataBase *db);
};
