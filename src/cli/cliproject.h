#pragma once

#include <QString>

class ObjectDataBase;

// Opens a project file for a command of the command-line tool. The project is read into
// the database's private working copy; the file itself is never written.
class CliProject
{
public:
    // False with a one-line reason when the file is missing, unreadable or no project.
    static bool open(const QString &path, ObjectDataBase &db, QString &error);
};
