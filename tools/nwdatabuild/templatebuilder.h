#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class ObjectDataBase;

// Builds a template database (a project file such as "mt.data") from its text source.
// The source is read line by line; each line is one command (see docs/built-in-data.md):
//
//   catalogue <codb file>                     objects for "object" come from this catalogue
//   line <n> [<name>]                         adds line n with the given device name
//   object <line> <index>...                  copies catalogue objects into the line
//   value <line> <index> <sub> [<text>]       sets the default value of a sub-index
//   general|description|j1939|misc|energybus <key> [<value>]   sets a project setting
//
// Empty lines and lines starting with '#' are ignored. Paths are relative to the source.
class TemplateBuilder
{
public:
    TemplateBuilder();
    ~TemplateBuilder();

    // Reads the source and writes the template to output. On failure, errorString() tells
    // the source line ("mt.txt:12: unknown object 0x1234") and output is not written.
    bool build(const QString &source, const QString &output);
    QString errorString() const { return m_error; }

private:
    bool runCommand(const QString &command, const QStringList &args, const QString &rest);
    bool readCatalogue(const QString &path);
    bool addLine(const QStringList &args, const QString &rest);
    bool copyObjects(const QStringList &args);
    bool setValue(const QStringList &args, const QString &rest);
    bool setSetting(const QString &store, const QString &key, const QString &value);
    bool fail(const QString &message);
    static bool readNumber(const QString &text, int base, uint max, uint *value);

    std::unique_ptr<ObjectDataBase> m_project;
    std::unique_ptr<ObjectDataBase> m_catalogue;
    QString m_sourceDir;
    QString m_location;
    QString m_error;
};
