#pragma once

#include "importers/basedataimporter.h"
#include "importers/dictionaryobject.h"
#include "panelkit/edsparser.h"

#include <QList>
#include <QMap>

// Reads an EDS or, in DCF mode, a DCF file. doImport() parses the file with EdsParser,
// turns its records into objects and sub-indices, adds the PDO objects that the device
// information promises but the file lacks, and gives the ";;" comment lines of a section
// to its object or sub-index as description. The objects are kept (objects()) and, when
// a database is set, written into its active line; with a database the file and device
// information also goes into the description settings of that line.
//
// Objects outside the index range are left out; the default PDO objects are added
// whatever the range.
class EDSImporter : public BaseDataImporter
{
    Q_OBJECT

public:
    explicit EDSImporter(QObject *parent = nullptr);

    // DCF mode: the ParameterValue of a sub-object becomes its default value too.
    void setDcfMode(bool on) { m_dcfMode = on; }
    bool dcfMode() const { return m_dcfMode; }

    // Empty after a run that could read the file; otherwise why it could not.
    QString getLastError() override { return m_lastError; }

    // What the last run found: the parser's diagnostics and the reader's own, in that order.
    QList<EdsParser::Diagnostic> diagnostics() const;
    // Objects the last run read, by index.
    const QMap<quint16, DictionaryObject> &objects() const { return m_objects; }
    // The objects of the last run that have an Error diagnostic.
    QList<quint16> objectsWithErrors() const;
    // The last run met an Error that belongs to no single object (the file is unreadable,
    // no EDS, or seems cut off).
    bool hasFileError() const;

    // Copies [FileInfo], [DummyUsage], [DeviceInfo] and [Comments] of the file into the
    // description settings of the line the database has selected. Reads the file first
    // when no run has read it. False when there is no database or a write fails.
    bool importFileDeviceInfo();

    // Adds a default object to the objects read.
    void createDefaultRpdo(quint16 index);
    void createDefaultTpdo(quint16 index);
    void createDefaultMapping(quint16 index);

public slots:
    void doImport() override;
    void newIndex(const CAN::CANopenIndex &object);
    void newSubIndex(const CAN::CANopenSubIndex &subObject);

private:
    bool inRange(quint16 index) const;
    bool parse();
    void addMissingPdoObjects();
    void addMissingPdos(quint16 first, int count, bool transmit);
    int pdoCount(const char *key);
    int objectsIn(quint16 first, quint16 last) const;
    void applyComments();
    void applyComment(const EdsParser::SectionComment &comment);
    void note(const QString &text);

    EdsParser *m_parser = nullptr;
    bool m_parsed = false;
    bool m_dcfMode = false;
    QString m_lastError;
    QMap<quint16, DictionaryObject> m_objects;
    QList<EdsParser::Diagnostic> m_notes;
};
