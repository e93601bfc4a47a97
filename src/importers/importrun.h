#pragma once

#include "importers/dictionaryobject.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>

class ObjectDataBase;

// The second phase of an import, shared by the import dialog and the command line: the
// objects chosen from what a reader read are copied into one line of the project.
//
// Each object I goes to I + offset (16 bits, wrapping), replacing an object there with
// all its sub-indices and connections. On the way its implementation types are set for
// managed or application variables (unless kept), its sub-indices above the highest
// sub-index are left out, sub-index 0 of an ARRAY or RECORD is set to the highest
// sub-index present, and the marks of the object wizards are cleared.
//
// The copy is one unit: either every object is written or, when a write fails, the
// project is left as it was and run() returns false with errorString().
class ImportRun
{
    Q_DECLARE_TR_FUNCTIONS(ImportRun)

public:
    enum Implementation { ManagedVariables = 0, ApplicationVariables = 1 };

    explicit ImportRun(ObjectDataBase *project);

    void setLine(quint8 line) { m_line = line; }
    void setOffset(quint16 offset) { m_offset = offset; }
    void setHighestSubIndex(quint8 sub) { m_highestSub = sub; }
    void setImplementation(Implementation implementation) { m_implementation = implementation; }
    // Keep the implementation types the objects bring (project files).
    void setKeepImplementation(bool keep) { m_keepImplementation = keep; }

    // A further change that belongs to the same unit as the copy (the device information
    // of the file); false undoes the whole import.
    using Step = std::function<bool()>;

    // Copies the objects (in the order given), then runs alsoInUnit.
    bool run(const QList<DictionaryObject> &objects, const Step &alsoInUnit = Step());
    // Reads the objects at indices from line sourceLine of source, then copies them.
    bool run(ObjectDataBase *source, quint8 sourceLine, const QList<quint16> &indices,
             const Step &alsoInUnit = Step());

    int importedCount() const { return m_imported; }
    QString errorString() const { return m_error; }
    // "%1 objects imported as managed variables." (or application variables).
    QString resultText() const;

    // The steps applied to each object, on its records.
    static DictionaryObject prepared(const DictionaryObject &object, quint16 destination,
                                     quint8 highestSub, Implementation implementation,
                                     bool keepImplementation);
    static void convertToApplicationVariables(DictionaryObject &object);
    static void convertToManagedVariables(DictionaryObject &object);
    // Sub-index 0 of an ARRAY or RECORD: default value the highest sub-index present,
    // managed constant; objects for which isSub0Changeable() holds are left alone.
    static void updateSub0Values(DictionaryObject &object);
    static void removeWizardAttributes(DictionaryObject &object);
    // Objects whose sub-index 0 the user sets (0x1003, PDO mappings, 0x1381..0x13FD,
    // 0x13FF); the import leaves it alone.
    static bool isSub0Changeable(quint16 index);
    // A C name made from an object or sub-index name: white space folded, blanks to "_",
    // "-" removed, lower case.
    static QString variableName(const QString &name);

private:
    bool write(const QList<DictionaryObject> &objects, const Step &alsoInUnit);

    ObjectDataBase *m_project = nullptr;
    quint8 m_line = 0;
    quint16 m_offset = 0;
    quint8 m_highestSub = 254;
    Implementation m_implementation = ManagedVariables;
    bool m_keepImplementation = false;
    int m_imported = 0;
    QString m_error;
};
