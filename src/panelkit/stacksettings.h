#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ObjectDataBase;

// One general setting of the project that configures the protocol stack: its key, how
// its value is written, the row that edits it and the range the generators can use.
struct StackSetting
{
    // The place that edits the setting. Every section but Lines and Targets is a table of
    // the stack settings page; Switches are the check boxes beside the tables.
    enum class Section {
        Common,
        Queue,
        Optional,
        Indications,
        Generation,
        Hardware,
        Usdo,
        Switches,
        Targets,
        Lines
    };

    // How a value is written. Every format accepts the empty text (the generators read it
    // as 0 or "off") unless the setting is required.
    enum class Format {
        Flag, // "0" or "1"
        Choice, // index of one of the choices
        Count, // a decimal number from minimum to maximum
        Number, // a number (decimal or "0x" hexadecimal) from minimum to maximum
        NumberOrMacro, // such a number, or the name of a macro of the application
        NumberPerLine, // one number, or one per line separated by commas
        NodeIdPerLine, // node-IDs 1 to 127 or 255, one per line separated by commas
        RolePerLine, // 1 master or 0 slave, one per line separated by commas
        Identifier, // a C identifier
        IdentifierPerLine, // C identifiers, one per line separated by commas
        HeaderFiles, // header file names separated by blanks
        Text, // one line of text
        Name, // one line of text that may stand in a C comment
        Code // lines of C code
    };

    enum Flag : unsigned {
        NoFlags = 0,
        Required = 0x01, // an empty value is refused
        Mirror = 0x02, // shows a setting edited in another row; never stored from here
        NetworkTool = 0x04, // set by the network tool; read-only while it controls the tool
        PerTarget = 0x08, // a hardware setting every target has a copy of
    };

    const char *key;
    Section section;
    Format format;
    const char *label;
    // Text of the row on the empty page, before a project is loaded.
    const char *defaultText;
    // Text the generators use when the project does not hold the key.
    const char *absentText;
    qint64 minimum;
    qint64 maximum;
    const char *toolTip;
    // Choices of a Choice setting, separated by '|'; in the indications table the column
    // of the row (0 the number of dynamic functions, 1 the static function name).
    const char *choices;
    // The setting whose value enables this row, and the value it must have (-1: any value
    // other than 0 and empty).
    const char *enabledBy;
    int enabledValue;
    unsigned flags;
    // Key pattern of the per-target copies of a PerTarget setting
    // ("targetsettings_%1_timer", %1 the number of the target from 0).
    const char *targetKey;

    bool hasFlag(Flag flag) const { return (flags & flag) != 0; }
    QStringList choiceList() const;
    // The label as the user reads it (translated).
    QString displayLabel() const;
    QString displayToolTip() const;
};

// The general settings that the stack code generators and the model checker read, with
// their formats and ranges, in the order of the rows of the stack settings page. The page
// builds its rows from this table and the value checks use it, so the page, the command
// line and the tests agree on what a setting may hold.
class StackSettings
{
public:
    static const QList<StackSetting> &all();
    // The entry of a key; a per-target key ("targetsettings_2_timer") or a line type
    // ("line3type") finds its pattern entry. Mirrors are never returned. Null when the
    // key is not a stack setting.
    static const StackSetting *find(const QString &key);
    // The entries of one section, mirrors included, in row order.
    static QList<const StackSetting *> section(StackSetting::Section section);

    // The value as it is stored: single-line formats lose surrounding blanks.
    static QString normalized(const StackSetting &setting, const QString &value);
    // Empty when the value may be stored; otherwise why not, in one sentence that starts
    // with the setting's label ("CAN receive buffer size: 0 is out of range (1 to 65535).").
    static QString validate(const QString &key, const QString &value);
    static QString validate(const StackSetting &setting, const QString &value);

    // The settings that "Import Settings" copies from another project.
    static const QStringList &importedKeys();
    // Copies the imported keys that the other project holds. A value that fails its
    // check is left out and its problem added to refused. The copy is one unit of
    // writes: false (and nothing written) when the store refuses one of them.
    static bool importFrom(ObjectDataBase *project, ObjectDataBase *other, QStringList *refused,
                           int *copied = nullptr);
    // The same from a project file; false with the reason in error when it cannot be opened.
    static bool importFromFile(ObjectDataBase *project, const QString &path, QString *error,
                               QStringList *refused, int *copied = nullptr);

private:
    static QString problem(const StackSetting &setting, const QString &value);
};
