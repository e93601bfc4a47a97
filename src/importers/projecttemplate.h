#pragma once

#include <QString>

class ObjectDataBase;

// A new project starts as a copy of the template "data/mt.data" beside the executable.
// The window and the command line open it into their store themselves and then finish
// the new project with these steps.
class ProjectTemplate
{
public:
    // "data/mt.data" in the folder of the running executable.
    static QString defaultPath();
    // Gives line 0 its type (1 CANopen, 2 J1939, 4 raw CAN, 5 both). Any type but CANopen
    // also removes the CANopen objects of the template (0x1000, 0x1001, 0x1017, 0x1018,
    // 0x1200). False when a write fails.
    static bool setLine0Type(ObjectDataBase &db, int type);
    // Marks the project as created by this version of the tool.
    static bool stampNewProject(ObjectDataBase &db);
};
