#pragma once

#include "generators/abstractgenerator.h"

#include <QSharedPointer>
#include <QString>

class LineObjects;
class QSaveFile;
class QXmlStreamWriter;

// Writes the object dictionary of one line as an XML device description for CANopen FD:
// a container of two profiles, the device profile with the identity of the device and the
// communication-network profile that lists every object from 0x1000 to 0xBFFF with its
// sub-indices.
//
// The file is named after the vendor ID (0x1018 sub-index 1 as eight lower-case
// hexadecimal digits, "00000000" when it is no number) and the project:
// "<folder>/<vendor>_<project>.xdd", with "_<line>" before the suffix in multi-line
// output. It is UTF-8 and every line ends with CR LF. Stored texts (names, settings,
// default values) are written as the project holds them; the XML writer escapes them.
// An abort request does not stop a running job.
class XDDGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    explicit XDDGenerator(QObject *parent = nullptr);

    // The file this generator writes, without the folder.
    QString fileName() const;
    // The vendor part of the file name.
    QString vendorIdText() const;

    // Tests the single-line form of the file name, also for multi-line output.
    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;
    // After a run: the file was written completely and replaced the previous one.
    bool isFileWritten() const { return fileWritten; }

    // "rw" for every access type that is neither read-only nor write-only.
    static QString accessUSDO(const QString &accessType);
    // "r", "t", "tr" or "no" for a PDO mapping class.
    static QString accessPDO(quint8 pdoMapping);

public slots:
    void doJob() override;

private:
    bool prepareOutputFile();
    void writeDeviceProfile();
    void writeCommunicationProfile();
    void writeProfileHeader(const QString &identification, const QString &classId);
    void writeProfileBodyAttributes(const QString &type);
    void writeApplicationLayers();
    void writeTransportLayers();
    void describeDataObject(quint8 line, quint16 index);
    void describeDataElement(quint8 line, quint16 index, quint8 subindex);
    QString setting(const QString &key) const;

    QSharedPointer<QSaveFile> file;
    QByteArray document; // the XML with LF line ends, before it goes to the file
    QXmlStreamWriter *xml = nullptr;
    QString outputFileName;
    const LineObjects *lineObjects = nullptr;
    bool fileWritten = false;
};
