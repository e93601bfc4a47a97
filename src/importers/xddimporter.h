#pragma once

#include "importers/basedataimporter.h"
#include "importers/dictionaryobject.h"
#include "panelkit/edsparser.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>

class QXmlStreamReader;

// Reads an XML device description for CANopen FD, the format XDDGenerator writes. It
// streams through the document and takes three kinds of element: productName,
// CANopenFDDataObject and CANopenFDDataElement (which belongs to the object before it);
// everything else is skipped. The index range is not applied: every object is read. The
// objects are kept (objects()) and, when a database is set, written into its active line;
// the product name goes into the description setting "ProductName" of the line the
// database has selected.
//
// The reader takes what real files contain and notes each liberty as a warning with file
// and line (diagnostics()): elements in any namespace, empty attributes (taken as
// missing), data types given by name ("UNSIGNED32", IEC "UDINT") instead of hexadecimal,
// node-ID expressions in any spelling ("0x180 + $nodeid" is stored "$NODEID+0x180"), and
// attributes left out of an element but given by the parameter its uniqueIDRef names
// (data type, default value, access and limits of a parameterList entry). A document
// without CANopen FD objects, or with an XML error, is reported through importError;
// what was read before an XML error is kept.
class XDDImporter : public BaseDataImporter
{
    Q_OBJECT

public:
    explicit XDDImporter(QObject *parent = nullptr);

    // Empty after a run that found objects and no XML error; otherwise why not.
    QString getLastError() override { return m_lastError; }
    QList<EdsParser::Diagnostic> diagnostics() const { return m_diagnostics; }
    const QMap<quint16, DictionaryObject> &objects() const { return m_objects; }
    // The productName of the last run; empty when the file has none.
    QString productName() const { return m_productName; }

    // What a parameterList entry gives the objects that refer to it.
    struct Parameter
    {
        QString dataType; // IEC or CANopen name, or a uniqueID of the dataTypeList
        QString defaultValue;
        QString access; // "const", "read", "write", "readWrite", ...
        QString lowLimit;
        QString highLimit;
        int line = 0;
    };

public slots:
    void doImport() override;
    // Stores the object of the current CANopenFDDataObject element; returns its index.
    quint16 parseObject(QXmlStreamReader &xml);
    void parseSubObject(QXmlStreamReader &xml, quint16 index);

private:
    // The texts for importError: no CANopen FD objects, the XML error.
    QStringList readDocument(QXmlStreamReader &xml);
    void readParameter(QXmlStreamReader &xml);
    // An attribute of the element, or of the parameter it refers to when the element
    // leaves it out; empty when neither has it.
    QString attribute(QXmlStreamReader &xml, const char *name, const QString &fromParameter);
    const Parameter *referencedParameter(QXmlStreamReader &xml);
    quint16 dataType(QXmlStreamReader &xml, const Parameter *parameter);
    void readLimits(QXmlStreamReader &xml, const Parameter *parameter,
                    ObjectDataBase::SUBINDEX_DATA_T &entry);
    void checkNamespace(QXmlStreamReader &xml);
    // A warning of this kind at the line; a kind met again is counted, not repeated.
    void note(const QString &kind, int line, const QString &text);
    void error(int line, const QString &text);

    QString m_lastError;
    QString m_productName;
    QMap<quint16, DictionaryObject> m_objects;
    QHash<QString, Parameter> m_parameters;
    QList<EdsParser::Diagnostic> m_diagnostics;
    QHash<QString, int> m_noted; // kind -> position in m_diagnostics
    QHash<QString, int> m_repeats; // kind -> further lines
    int m_otherObjects = 0; // CiA 311 objects, which are not read
    bool m_namespaceNoted = false;
};
