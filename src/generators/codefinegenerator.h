#pragma once

#include "generators/abstractgenerator.h"
#include "panelkit/linetype.h"

#include <QList>
#include <QSharedPointer>
#include <QString>

#include <functional>

class QSaveFile;
class GeneratedText;

// Writes gen_define.h, the header that sets the compile-time options of the protocol stack:
// the services and their numbers per line, buffer and COB counts, call-back options,
// hardware targets, J1939 and raw CAN options, the EnergyBus device counts of the EnergyBus
// edition, the application's own defines, a generation counter and a user section.
//
// The user section (the lines between "/* user-specific section: start */" and
// "/* user-specific section: end */", each marker alone on its line) and the counter are
// read from the previous gen_define.h before it is replaced; the section is written back
// unchanged. Without an end marker the section runs to the end of the old file, so a
// damaged marker never loses the user's text.
//
// Lines of the project: 0 to n - 1 for the n lines of the project (at most 8); the per-line
// lists hold one "<number>u" per line, separated by ", ".
class CoDefineGenerator : public AbstractGenerator
{
    Q_OBJECT

public:
    // A define written for a setting: keys is one key, or alternatives separated by '|'.
    struct SettingDefine
    {
        const char *keys;
        const char *define;
    };

    explicit CoDefineGenerator(QObject *parent = nullptr);

    // Set when the project is controlled by the network tool: the counter then comes from
    // the general setting "cbw_generation_count". 5 while running, else 0.
    unsigned setCounterFromProject(bool on);
    bool isCounterFromProject() const { return counterFromProject; }

    // After a run: the user section kept from the previous file (empty when there was
    // none) and the counter that file (or the project) held.
    QString getUserSection() const { return userSection; }
    quint32 getGenerationCount() const { return generationCount; }

    bool checkWritability() override;
    unsigned startGeneration() override;
    unsigned abortGeneration() override;

    // The user section of a gen_define.h file, each line followed by "\n"; empty when the
    // file cannot be read or has no start marker.
    static QString readUserSection(const QString &path);

    // A buffer size setting as one number: every "u" and blank removed; a list such as
    // "10, 4" gives the sum of its parts ("14"); any other text is returned as cleaned.
    static QString combineCobBufferCounts(const QString &text);

public slots:
    void doJob() override;

private:
    // The file after its header: every section in file order.
    void writeSections();
    // Section writers, in file order.
    bool prepareOutputFile();
    void generateServiceDefines(GeneratedText &out);
    void generateEnergyBusDefines(GeneratedText &out);
    void generateEventDefines(GeneratedText &out);
    void generateBufferDefines(GeneratedText &out);
    void generateJ1939Defines(GeneratedText &out);
    void generateCANRAWDefines(GeneratedText &out);
    void generateVODDefines(GeneratedText &out);
    void generateHardwareDefines(GeneratedText &out);
    void writeApplicationDefines(GeneratedText &out);
    void generateMultiCOBs(GeneratedText &out);
    void writeUserSection(GeneratedText &out, const QString &section);

    // Readers of the previous file.
    QString extractUserSection() const;
    quint32 extractGenerationCounter() const;
    // The lines of a previous file, whichever line ending it uses; none when unreadable.
    static QStringList previousLines(const QString &path);

    // Parts of the service defines.
    void writeLineSettings(GeneratedText &out, const QString &receive, const QString &transmit);
    void writePerLineCounts(GeneratedText &out);
    void writeNodeIds(GeneratedText &out);
    void writeProfileDefines(GeneratedText &out);
    void writeNetworkServiceDefines(GeneratedText &out);
    void writeSdoDefines(GeneratedText &out);
    void writePdoDefines(GeneratedText &out);
    void writeManagerAndEmcyDefines(GeneratedText &out);
    void writeTransferDefines(GeneratedText &out, bool extendedTypes, bool utf8Type);
    // Some sub-index of an object from fromIndex on has one of the data types.
    bool dataTypeUsed(const QList<quint16> &types, quint16 fromIndex);
    bool selfStarting();
    QString getNVSDefine();

    // What the PDO mapping objects of all lines ask of the stack.
    struct MappingSummary
    {
        bool producer = false; // a TPDO mapping in MPDO mode (0xFE, 0xFF)
        bool consumer = false; // an RPDO mapping in MPDO mode
        bool sourceAddressMode = false; // some mapping holds 0xFE
        bool destinationAddressMode = false; // some mapping holds 0xFF
        int maxEntries = 0; // most mapping entries of one object
        int transmitDynamic = 0; // TPDO mappings whose sub-index 0 is "rw"
        int receiveDynamic = 0; // the same for RPDO mappings
    };
    MappingSummary summariseMappings();
    // Over all lines: the sub-indices of index beyond the first, for lines with more than one.
    qint64 entriesBeyondFirst(quint16 index) const;

    // Parts of the other sections.
    void writeStaticIndications(GeneratedText &out);
    void writeDynamicIndications(GeneratedText &out);
    void writeEnergyBusNetworkDefines(GeneratedText &out);
    // Message counts of a line in one direction (0x55 transmit, 0x77 receive).
    using MessageCount = std::function<qint64(quint8, quint8)>;
    // The receive and transmit totals over the lines and, for several lines, the
    // per-line lists.
    void writeMessageCounts(GeneratedText &out, const QList<quint8> &lines,
                            const MessageCount &count, const char *nameFormat);
    void writeJ1939Options(GeneratedText &out);
    void writeJ1939CobDefines(GeneratedText &out, const QList<quint8> &j1939Lines);
    void writeTargetBlock(GeneratedText &out, int target, bool allTargets);
    // A buffer size setting; fallback when the project does not hold the key at all.
    QString bufferSetting(const QString &key, const char *fallback) const;

    // COB counters. getCobCount(0xFF) is the sum over the lines 0 to 7 with object 0x1000.
    quint32 getCobCount(quint8 line);
    quint32 getLineCobCount(quint8 line);
    quint32 getJ1939Cobs(quint8 line);
    // The "additional_cob_count" of a line: one number for all lines, or a comma-separated
    // list with one entry per line.
    quint32 additionalCobs(quint8 line);

    // Virtual object dictionary counters.
    struct VirtualEntry
    {
        quint8 line;
        quint16 index;
        quint8 sub;
        quint16 datatype;
    };
    // The sub-indices of implementation 3 of the lines of the object dictionary.
    QList<VirtualEntry> virtualEntries();
    static int countVirtualSubs(const QList<VirtualEntry> &entries, quint16 datatype);
    static int countVirtualIndices(const QList<VirtualEntry> &entries);
    void countVirtualDictionary(const QList<VirtualEntry> &entries, int &assignCount,
                                int &descriptionCount);
    // The lowest sub-index of the run of equal entries that ends at the highest sub-index
    // (compact array description), or 0xFF when the object is not described compactly.
    quint8 getSameStartSub(quint8 line, quint16 index);

    // Project access. Every read tolerates a missing database (empty text, 0, no lines).
    QString setting(const QString &key) const;
    bool hasSetting(const QString &key) const;
    // A setting as a decimal number; empty or non-numeric texts count as 0.
    qint64 number(const QString &key) const;
    QString j1939Setting(const QString &key) const;
    qint64 j1939Number(const QString &key) const;
    LineType lineType(quint8 line) const;
    // Some line of lineList() carries CANopen.
    bool anyCanopenLine() const;
    QList<quint8> lineList() const;
    // The existing lines 0 to 7, ascending.
    QList<quint8> linesBelow8() const;
    // The lines of gen_objdict.c: 0 to 7 with more than one object in 0x1000 to 0xFFFF.
    QList<quint8> dictionaryLines() const;
    int indexCount(quint8 line, quint16 from, quint16 to) const;
    bool hasIndex(quint8 line, quint16 index) const;
    bool indexInSomeLine(quint16 index) const;
    // Number of sub-indices of an object from sub-index fromSub.
    int subCount(quint8 line, quint16 index, quint8 fromSub = 0) const;
    // Default value of a sub-index read as a number with automatic base (0 if none).
    qint64 subValue(quint8 line, quint16 index, quint8 sub) const;
    qint64 sumOverLines(const std::function<qint64(quint8)> &count) const;
    // "2u, 3u": one value per line of lineList(), or of the given lines.
    QString perLineList(const std::function<qint64(quint8)> &count) const;
    static QString perLineList(const std::function<qint64(quint8)> &count,
                               const QList<quint8> &lines);
    bool isCanEdition() const;

    QSharedPointer<QSaveFile> outFile;
    QString userSection;
    quint32 generationCount = 0;
    bool counterFromProject = false;
    bool canFd = false;
    bool multiLineWritten = false;
    bool bufferCountsWritten = false;
};
