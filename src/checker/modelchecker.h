#pragma once

#include "checker/featureset.h"
#include "database/objectdatabase.h"
#include "panelkit/canopendatatype.h"
#include "panelkit/preferences.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

// Checks a project for consistency before output is generated. Every finding is sent as
// one HTML text through newError; the start operations return how many of them are errors
// that must stop the generation (warnings, hints, corrections and information lines are
// reported but not counted).
//
// The checker reads the project through a const store. startCANopenCheck also repairs a
// few objects in place ("auto-correction"), reports each repair and sets its modified
// flag, but only when its caller hands it the writable store as well and the user
// preference "disableautocorrection" is off; that parameter is the checker's only way to
// change a project. The checker never shows anything itself and reads the user's
// preferences only from the value it is given.
class ModelChecker : public QObject
{
    Q_OBJECT

public:
    explicit ModelChecker(QObject *parent = nullptr);

    // Project-wide rules; 1 for a project made only of raw CAN lines, else 0.
    unsigned int startGlobalCheck(const ObjectDataBase *db);
    // The CANopen rules of one line. correctable is the same project as db, writable, when
    // the caller lets the checker correct it (null, or another store: findings only). Sets
    // modified when a correction was written; never clears it.
    int startCANopenCheck(quint8 line, const ObjectDataBase *db, bool &modified,
                          ObjectDataBase *correctable = nullptr);
    // The J1939 rules of one line; lineCount is the number of lines of the project.
    int startJ1939Check(quint8 lineCount, quint8 line, const ObjectDataBase *db);
    // Compares one line with the capabilities of the installed protocol stack.
    int startCANopenFeatureCheck(quint8 line, const ObjectDataBase *db);

    // The stack capabilities read so far; they only grow over the checked lines.
    FeatureSet features() const { return stackFeatures; }

    // The user preferences the checks read ("costackpath", "disableautocorrection"); they
    // take effect at the next start operation. The setters change one of them.
    void setPreferences(const Preferences &value) { preferences = value; }
    void setStackPath(const QString &path) { preferences.stackPath = path; }
    void setAutoCorrectionDisabled(bool disabled) { preferences.disableAutoCorrection = disabled; }
    bool autoCorrectionEnabled() const { return !preferences.disableAutoCorrection; }

    // True when every value lies in the range of the data type. Values convert as a
    // variant converts to a 64-bit integer, so a text that is no decimal number reads 0.
    static bool checkValues(CAN::CANopenDataType type, const QList<QVariant> &values);
    // The COB-ID text with bit 31 (PDO not valid) set: "$NODEID+0x180" gives
    // "$NODEID+0x80000180". A text without a hexadecimal number is returned unchanged.
    static QString disableCob(QString cobId);

signals:
    void newError(const QString &text);

private:
    using SubData = ObjectDataBase::SUBINDEX_DATA_T;

    // Findings.
    void countError(const QString &text);
    void report(const QString &text);
    bool autoCorrect() const { return !disableAutoCorrection && corrections; }

    // Preferences and settings.
    void readPreferences();
    QString generalSetting(const QString &key) const;
    QString j1939Setting(const QString &key) const;

    // Object dictionary reads of the current line; a missing database reads as empty.
    bool exists(quint16 index) const;
    bool existsSub(quint16 index, quint8 sub) const;
    QList<quint16> indices(quint16 from, quint16 to) const;
    QList<quint8> subIndices(quint16 index) const;
    // The entry, or the record defaults when there is none.
    SubData subData(quint16 index, quint8 sub) const;
    QString subDefault(quint16 index, quint8 sub) const;
    bool writeSub(quint16 index, quint8 sub, const SubData &data);
    // The device description gets the entry's default value.
    static bool defaultGoesToEds(const SubData &data);

    // Line-level rules of startCANopenCheck, in checking order.
    void checkStackVersionInfo();
    void checkNodeIdSettings();
    void checkPerLineSettings();
    void checkMandatoryObjects();
    void checkGaps();
    void checkStoreRestore();
    void checkNmtInhibitTime();
    void checkIdentity();
    void checkEmergencyObjects();
    void checkObjects(bool &modified);
    void checkPdoMappings(bool &modified);
    void checkPdoCommunication();
    void checkSrdoCommunication();
    void checkSrdoMappings();
    void checkMappingUse();

    // Objects and sub-indices.
    void checkIndex(quint16 index, bool &modified);
    void checkSubIndexZero(quint16 index, quint8 highest, bool &modified);
    void checkSub(quint16 index, quint8 subIndex, quint8 objectType);
    void checkSubDataType(quint16 index, quint8 subIndex, const SubData &data);
    void checkSubRange(quint16 index, quint8 subIndex, const SubData &data);
    bool checkSub0Required(quint8 line, quint16 index);
    bool isDynamicMapping(quint8 line, quint16 index);

    // PDO mapping.
    void checkPdoMapping(quint16 mapping, bool &modified);
    void walkMappingEntries(quint16 mapping, const QList<quint8> &subs);
    void checkMappedObject(quint16 mapping, quint16 target, quint8 targetSub, quint32 length);
    void disableEmptyPdo(quint16 mapping, quint8 entries, bool &modified);

    // J1939.
    void checkJ1939Settings(quint8 lineCount);
    void checkSpecialPgns();
    void checkTransportProtocol();
    void checkSpnVariableNames();
    quint32 pgnLength(quint32 pgn, quint8 direction) const;

    // Stack features.
    QStringList featureFiles(const QString &folder) const;
    // Counts one error at the first file that requires another tool version.
    bool compareStackVersion(const QString &folder, const QStringList &files);
    static QString shortToolVersion();
    void readStackFeatures(const QString &folder, const QStringList &files);
    void compareServiceCounts();
    void compareNmtServices();
    void compareMappingServices();
    void compareManagers();
    int countSubsAboveZero(quint16 index) const;

    // State, kept between the start operations of one generation run.
    quint8 line = 0;
    QPointer<const ObjectDataBase> database;
    // The writable store of startCANopenCheck's auto-correction; null otherwise.
    QPointer<ObjectDataBase> corrections;
    qint32 errorCount = 0;
    bool limitCheckEnabled = false;
    bool disableAutoCorrection = false;
    quint8 granularity = 8;
    FeatureSet stackFeatures;

    // Settings of the current startCANopenCheck.
    QString stackPath;
    quint32 pdoSizeLimit = 64;
    bool bitwiseMappingAllowed = false;
    bool usesBitwiseMapping = false;
    bool usesDynamicMapping = false;

    Preferences preferences;
};
