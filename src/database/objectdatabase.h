#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

class ObjectDataBasePrivate;
class SavedFile;
struct sqlite3_stmt;
class UndoLog;
class SqlRows;

// The project store. One object owns one SQLite working file (a private copy of the
// project file) and is the only code that issues SQL against it. Names and descriptions
// are interned in the table Strings; the records below carry the texts and the store
// converts them in both directions.
//
// Text values: callers always pass the user's plain text. Every text that reaches SQL is
// bound as a value by the store, so quotes, percent signs, backslashes, line feeds and any
// Unicode character are stored exactly as given.
//
// Threads: the GUI thread edits; generators and readers read from a worker thread while
// the GUI thread waits. Every member that touches the connection or a cache holds the
// object's recursive mutex; updateNotify crosses threads queued.
//
// Every write operation takes effect completely or not at all: its statements form one
// unit that is committed before it returns, and its result includes the commit. A caller
// whose several writes must take effect together (an import, a copy) opens a unit of its
// own with beginTransaction. Every read is complete before anything else runs, so no read
// is ever cut short.
//
// Operations documented as "write" return false without touching the file while the write
// lock (setLockWriteAccess) is set.
class ObjectDataBase : public QObject
{
    Q_OBJECT

public:
    using MetaData = QMap<QString, QString>;

    // One row of Nodes: the settings of one line. nodeId is the line number.
    struct NODE_DATA_T
    {
        QString name;
        QString iconpath;
        QString edspath;
        QString dcfpath;
        QString xddpath;
        quint16 tpdocnt = 0;
        quint16 rpdocnt = 0;
        QString prefix = QStringLiteral("_");
        QString outputpath = QStringLiteral("C:/");
        bool ismaster = false;
        bool issyncproducer = false;
        bool issyncconsumer = false;
        bool ishbconsumer = false;
        bool isemergencyproducer = false;
        bool isemergencyconsumer = false;
        bool ismpdosupported = false;
        bool iscanopengateway = false;
        bool allpdosstatic = false;
        bool excludegeneration = false;
        bool generatedcf = true;
        bool isbootupmanager = false;
        bool isconfigmanager = false;
        bool excludepdolinking = false;
        quint32 multilinedata = 0;
        bool lssslave = false;

        bool operator==(const NODE_DATA_T &other) const;
        bool operator!=(const NODE_DATA_T &other) const { return !(*this == other); }
    };

    // One object (row of Objects<line>).
    struct INDEX_DATA_T
    {
        QString name = QStringLiteral("unnamed object");
        quint16 datatype = 5;
        quint8 objecttype = 7;
        QString description;
        quint8 category = 1;
        QString device_class;
        bool fwsupported = false;
        MetaData metadata;

        bool operator==(const INDEX_DATA_T &other) const;
        bool operator!=(const INDEX_DATA_T &other) const { return !(*this == other); }
    };

    // One sub-index (row of SubObjects<line>).
    struct SUBINDEX_DATA_T
    {
        QString name = QStringLiteral("unnamed subindex");
        quint16 datatype = 5;
        QString accesstype = QStringLiteral("ro");
        QString defaultvalue;
        QString currentvalue;
        quint8 pdomapping = 0;
        qint64 lowlimit = 0;
        qint64 uplimit = 0;
        quint32 size = 0;
        bool defaultineds = true;
        bool limitineds = false;
        bool refuseread = false;
        bool refusewrite = false;
        bool dcfcomponent = false;
        bool cyclicread = false;
        QString allowedaccesstypes = QStringLiteral("const,ro,rw,wo,rww,rwr");
        quint8 implementation = 0;
        QString description;
        QString varname = QStringLiteral(" ");
        quint8 category = 1;
        // Default value in device descriptions: 0 never, 1 when defaultineds is set,
        // 2 always.
        quint8 writedefaulttoeds = 1;
        bool changedbyuser = false;
        quint16 wizardsource = 0;
        bool sharedlines = false;
        QString denotation;
        bool managedbycbw = false;
        quint32 signalid = 0;
        bool nvstorage = false;
        MetaData metadata;

        // All fields except allowedaccesstypes, denotation, managedbycbw and signalid.
        bool operator==(const SUBINDEX_DATA_T &other) const;
        bool operator!=(const SUBINDEX_DATA_T &other) const { return !(*this == other); }
        // The fields that make up the content of an entry as a device description shows
        // it: name, datatype, accesstype, defaultvalue, pdomapping, limits, size,
        // defaultineds, limitineds, implementation, varname, nvstorage, writedefaulttoeds.
        bool contentCompare(const SUBINDEX_DATA_T &other) const;
    };

    struct SubAddress
    {
        quint16 index = 0;
        quint8 subindex = 0;

        bool operator==(const SubAddress &other) const
        {
            return index == other.index && subindex == other.subindex;
        }
    };

    struct INDEX_SUB_METADATA_T
    {
        quint16 index = 0;
        quint8 subindex = 0;
        MetaData metadata;
    };

    // Argument of updateNotify: what changed and where. Members that do not apply are 0.
    struct ChangeSet
    {
        enum Kind : quint32 {
            IndexChanged = 0,
            SubIndexChanged = 1,
            IndexDeleted = 2,
            SubIndexDeleted = 3,
            SignalsChanged = 4,
            NodeChanged = 5,
            NodeDeleted = 6,
            GroupsChanged = 7,
            GeneralSettingsChanged = 8,
            DescriptionSettingsChanged = 9,
            EnergyBusSettingsChanged = 10,
            MiscSettingsChanged = 11,
            J1939SettingsChanged = 12,
            ProjectReloaded = 13,
            PgnChanged = 14,
            PgnDeleted = 15,
            CanIdChanged = 16,
            CanIdDeleted = 17,
            SpnChanged = 18,
            SpnDeleted = 19,
            DataElementChanged = 20
        };

        quint32 kind = 0;
        quint16 index = 0;
        quint8 subindex = 0;
        quint8 line = 0;
        quint32 pgn = 0;
        quint32 spn = 0;
        quint32 canid = 0;
        quint32 element = 0;
        quint8 direction = 0;

        ChangeSet() = default;
        explicit ChangeSet(quint32 kind, quint8 line = 0, quint16 index = 0, quint8 subindex = 0)
            : kind(kind), index(index), subindex(subindex), line(line)
        {
        }
    };

    explicit ObjectDataBase(QObject *parent = nullptr);
    ~ObjectDataBase() override;

    // ----- project file -----------------------------------------------------------------

    // New empty project (line 0 only) in a fresh working file. False when the working
    // file cannot be opened.
    bool createNewDataBase();
    // Copies the project at path into a fresh working file and opens that; upgrades an
    // older layout and types lines without a type. With showMessages, problems are also
    // reported through message() (title, text); errorString() holds the first problem of
    // the last open or save.
    bool openDataBase(const QString &path, bool showMessages);
    // Writes the project to path (empty: projectFileName()). The previous file is kept
    // as "<path>.bak". The file is written beside the target and renamed into place; a
    // failed save returns false and leaves the target and its ".bak" as they were.
    bool saveDataBase(const QString &path = QString());
    // A fresh, not yet existing working-file path, remembered for deletion.
    QString createTempFile();
    // Runs one statement of the developer console; see sqlResult().
    bool executeSql(const QString &sql);
    // Result of the last executeSql: the error text, or one line per row (at most ten
    // columns, separated by a blank).
    QStringList sqlResult() const;

    QString projectFileName() const;
    // Path of the working file the connection is bound to.
    QString workingFileName() const;
    // The first problem of the last openDataBase or saveDataBase; empty when there was none.
    QString errorString() const;

    // Strings interning. getStringId returns -1 when the row cannot be read back.
    int getStringId(const QString &text);
    QString getString(int id) const;
    void cacheStrings() const;
    // Removes every Strings row that no table of any line refers to. False when a table
    // cannot be read (then nothing is removed) or a row cannot be deleted.
    bool cleanUpStrings();

    // Schema steps of addNode and the upgrade. They run on this store's connection; query
    // is set to the last statement run, for its error.
    bool createSubObjectsTable(quint8 line, QSqlQuery &query);
    // Rebuilds the sub-index table of a line with its unique (objectindex, subindex) key.
    bool addUniqueColumnsToSubDatabase(quint8 line, QSqlQuery &query);
    // Clears changedbyuser on the line and marks the untouched entries as made by the
    // EnergyBus wizard (454); done when a template database is saved.
    bool resetChangedByUserFlag(quint8 line);

    // An all-or-nothing unit of writes. The writes between beginTransaction and
    // commitTransaction take effect together: rollbackTransaction undoes every write since
    // beginTransaction, and a write that fails inside the unit makes commitTransaction roll
    // the whole unit back and return false. A begin inside an open unit joins it (the unit
    // ends with the outermost commit or rollback); a rollback inside it dooms the unit.
    // Change notifications of the unit are sent after its commit and dropped on rollback.
    // The unit belongs to the thread that began it: begin, commit and rollback must come
    // from that thread, and other threads wait for the store until the unit ends.
    // beginTransaction fails when no working file is open; commitTransaction and
    // rollbackTransaction fail when no unit is open.
    bool beginTransaction();
    bool commitTransaction();
    bool rollbackTransaction();
    // A unit is open (on any thread).
    bool inTransaction() const;

    // Clipboard of the metadata editor; never written to the file.
    void saveTempMetadata(const QString &key, const QString &value);
    QPair<QString, QString> getTempMetadata() const;

    // ----- lines ------------------------------------------------------------------------

    bool existNode(quint8 line) const;
    QList<quint8> getNodes() const;
    bool getNodeName(quint8 line, QString &name) const;
    bool getNodeData(quint8 line, NODE_DATA_T &data) const;
    // write. Inserts or updates the line and creates its tables. An update keeps the
    // stored isbootupmanager, isconfigmanager, excludepdolinking, multilinedata and
    // lssslave. Sends NodeChanged.
    bool addNode(quint8 line, const NODE_DATA_T &data);
    // write. Drops the line's tables and its connections. Sends NodeDeleted.
    bool delNode(quint8 line);
    // Renumbers a line: objects from 0x1000, parameter groups, CAN messages, connections,
    // groups, signals and the per-line settings tables move with it. Everything is copied
    // before the old line is dropped; when any step fails the project stays as it was.
    bool moveNode(quint8 from, quint8 to);

    // ----- objects ----------------------------------------------------------------------

    bool existIndex(quint8 line, quint16 index) const;
    QList<quint16> getIndices(quint8 line, quint16 from = 0, quint16 to = 0xFFFF) const;
    bool getIndexData(quint8 line, quint16 index, INDEX_DATA_T &data) const;
    QString getIndexName(quint8 line, quint16 index) const;
    bool setIndexName(quint8 line, quint16 index, const QString &name); // write
    // Objects whose column equals value. For the text columns held in Strings (name,
    // description, device_class) value is the text; otherwise a number or a text.
    QList<quint16> getIndicesByProperty(quint8 line, const QString &column,
                                        const QString &value) const;
    quint16 getNextFreeIndex(quint8 line, quint16 start) const;
    // write. Inserts or updates the object (not its sub-indices). Sends IndexChanged.
    bool addIndex(quint8 line, quint16 index, const INDEX_DATA_T &data);
    // write. Deletes the object and its sub-indices; unless keepConnections, also the
    // connections of the object. Sends IndexDeleted when the delete succeeded.
    bool delIndex(quint8 line, quint16 index, bool keepConnections = false);
    // write. Replaces the destination by a copy of the source object with its
    // sub-indices. Sends SubIndexChanged for every copied sub-index.
    bool copyIndex(quint8 srcLine, quint16 srcIndex, quint8 dstLine, quint16 dstIndex);
    // write. Object clipboard: object 0xF000 of line 254.
    bool saveIndex(quint8 line, quint16 index);
    bool pasteSavedIndex(quint8 line, quint16 index); // write
    bool getSavedIndex(INDEX_DATA_T &data) const;
    bool saveIndexMetaData(quint8 line, quint16 index, const MetaData &metadata);
    // Distinct non-empty metadata maps of the objects 0x1000..0xFFFF, appended to list.
    bool getAllIndexMetaData(quint8 line, QList<MetaData> &list) const;

    // ----- sub-indices ------------------------------------------------------------------

    bool existSubIndex(quint8 line, quint16 index, quint8 sub) const;
    QList<quint8> getSubIndices(quint8 line, quint16 index, quint8 fromSub = 0) const;
    QList<quint8> getSubIndicesMappable(quint8 line, quint16 index, quint8 fromSub = 0) const;
    // From the sub cache when it holds the entry, else from the file. False (data
    // untouched) when there is no such entry.
    bool getSubIndexData(quint8 line, quint16 index, quint8 sub, SUBINDEX_DATA_T &data) const;
    // write. Inserts or replaces the entry; updates the sub cache of the line when it is
    // filled. Sends SubIndexChanged.
    bool addSubIndex(quint8 line, quint16 index, quint8 sub, const SUBINDEX_DATA_T &data);
    // write. addSubIndex for every entry of subs (keyed by sub-index), as one unit with
    // one prepared statement: all are written or, when one fails, none.
    bool addSubIndices(quint8 line, quint16 index, const QMap<quint8, SUBINDEX_DATA_T> &subs);
    // write. Sends SubIndexDeleted when the entry existed.
    bool delSubIndex(quint8 line, quint16 index, quint8 sub, bool keepConnections = false);
    QString getSubIndexValue(quint8 line, quint16 index, quint8 sub) const;
    // write. Sets the default value; sends nothing and leaves the sub cache alone.
    bool setSubIndexValue(quint8 line, quint16 index, quint8 sub, const QString &value);
    QString getSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub) const;
    // write. Sends SubIndexChanged; leaves the sub cache alone.
    bool setSubIndexCurrentValue(quint8 line, quint16 index, quint8 sub, const QString &value);
    quint16 getSubIndexDatatype(quint8 line, quint16 index, quint8 sub) const;
    quint8 getSubIndexPdoMapping(quint8 line, quint16 index, quint8 sub) const;
    // Bit length of the entry: size x 8 for strings and domains, else the type's length.
    quint32 getSubIndexBitSize(quint8 line, quint16 index, quint8 sub) const;
    // Display name: a cached name first; else the denotation when asked for and not
    // empty; else the name. Empty when there is no such entry.
    QString getSubIndexName(quint8 line, quint16 index, quint8 sub, bool preferDenotation) const;
    bool setSubIndexName(quint8 line, quint16 index, quint8 sub, const QString &name); // write
    bool setSubIndexParameterName(quint8 line, quint16 index, quint8 sub,
                                  const QString &name); // write
    // [object name, sub-index display name].
    QStringList getIndexSubIndexName(quint8 line, quint16 index, quint8 sub) const;
    // The text is known in Strings (on any line).
    bool existSubIndexName(quint8 line, const QString &name) const;
    quint8 getNextFreeSubIndex(quint8 line, quint16 index, quint8 start) const;
    // Entries whose column equals value, numeric or text match. An empty column gives
    // every entry of the line.
    QList<SubAddress> getSubsByProperty(quint8 line, const QString &column,
                                        const QString &value) const;
    // Some entry of an object from fromIndex on has one of the data types; one scan of the
    // line's entries for all of them.
    bool usesDataType(quint8 line, const QList<quint16> &types, quint16 fromIndex) const;
    bool copyDefaultToCurrentValues(quint8 line, quint16 index, bool onlyIfEmpty);
    bool copySubIndex(quint8 line, quint16 index, quint8 srcSub, quint8 dstSub); // write
    bool saveSubIndexMetaData(quint8 line, quint16 index, quint8 sub, const MetaData &metadata);
    bool getAllSubIndicesWithMetaData(quint8 line, QList<INDEX_SUB_METADATA_T> &list) const;
    // Sub cache for bulk reads; index 0 means every object of the line.
    void cacheAllSubs(quint8 line, quint16 index = 0) const;
    void clearCachedSubs(quint8 line) const;
    void clearAllCachedSubs() const;
    // Display-name cache; index 0 means every object of the line.
    void cacheAllSubNames(quint8 line, quint16 index = 0) const;
    void clearCachedSubNames() const;

    // ----- between projects -------------------------------------------------------------

    bool copyIndexFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint16 srcIndex,
                               quint8 dstLine, quint16 dstIndex, bool withSubs);
    // As copyIndexFromDatabase with sub-indices, but keeps the destination's object
    // description and, for entries the user changed, their default value and description.
    bool copyIndexFromDatabaseWithoutDefaultandDescription(const ObjectDataBase *other,
                                                           quint8 srcLine, quint16 srcIndex,
                                                           quint8 dstLine, quint16 dstIndex);
    bool copySubIndexFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint16 srcIndex,
                                  quint8 srcSub, quint8 dstLine, quint16 dstIndex, quint8 dstSub);
    // Copies other's objects from fromIndex to toIndex of srcLine, with their sub-indices,
    // and every parameter group of srcLine to dstLine. The copies (here and in the
    // copyIndex family) read the whole source before they write, and write all or nothing.
    bool copyLineFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                              quint16 fromIndex, quint16 toIndex);
    bool objectEqual(const ObjectDataBase *other, quint8 thisLine, quint8 otherLine,
                     quint16 thisIndex, quint16 otherIndex) const;
    bool objectEqualIgnoreDescription(const ObjectDataBase *other, quint8 thisLine,
                                      quint8 otherLine, quint16 thisIndex,
                                      quint16 otherIndex) const;
    bool objectEqualIgnoreDefaultDescription(const ObjectDataBase *other, quint8 thisLine,
                                             quint8 otherLine, quint16 thisIndex,
                                             quint16 otherIndex) const;
    // Makes the EnergyBus objects of line match templateDb's line 0 and copies its
    // EnergyBus settings.
    bool specialEBCopy(const ObjectDataBase *templateDb, quint8 line);

    // ----- settings stores --------------------------------------------------------------
    // Keys and values are plain text. Description settings of a line other than 0 are
    // stored under "<key>_<line>" (see setDescriptionSettingsLine). A setter sends its
    // store's change kind unless the value is already stored.

    bool existGeneralSettingsValue(const QString &key) const;
    QString getGeneralSettingsValue(const QString &key) const;
    bool setGeneralSettingsValue(const QString &key, const QString &value);
    QStringList getGeneralSettingsKeys() const;

    bool existDescriptionSettingsValue(const QString &key) const;
    QString getDescriptionSettingsValue(const QString &key) const;
    bool setDescriptionSettingsValue(const QString &key, const QString &value);
    // Keys of all lines, with their suffixes.
    QStringList getDescriptionSettingsKeys() const;
    // Selects the line whose description settings the calls above read and write. Const:
    // it steers the reader (a description writer holding a const store), not the project.
    void setDescriptionSettingsLine(quint8 line) const;
    quint8 descriptionSettingsLine() const;

    bool existEnergyBusSettingsValue(const QString &key) const;
    QString getEnergyBusSettingsValue(const QString &key) const;
    bool setEnergyBusSettingsValue(const QString &key, const QString &value);
    QStringList getEnergyBusKeys() const;
    bool removeEnergyBusSettingsValue(const QString &key);

    bool existJ1939SettingsValue(const QString &key) const;
    QString getJ1939SettingsValue(const QString &key) const;
    bool setJ1939SettingsValue(const QString &key, const QString &value);

    bool existMiscSettingsValue(const QString &key) const;
    QString getMiscSettingsValue(const QString &key) const;
    bool setMiscSettingsValue(const QString &key, const QString &value);

    // Replaces this project's general and description settings by other's.
    bool copyGeneralSettingsFromDatabase(const ObjectDataBase *other);
    // Keeps other's general and description settings as the per-line copy of line in
    // this project (tables GeneralSettings<line>, DescriptionSettings<line>).
    bool copyGeneralSettingsToNode(const ObjectDataBase *other, quint8 line);
    // Makes other's per-line copy of line (see copyGeneralSettingsToNode) the general and
    // description settings of this project.
    bool copyGeneralSettingsFromNode(const ObjectDataBase *other, quint8 line);

    // The working file differs from the saved project file (true without a project path).
    bool isDifferent() const;

    // Refuses every write operation while set (a generation run reads a fixed project).
    // Const, so that a run holding a const store can set and clear it.
    void setLockWriteAccess(bool lock) const;
    bool lockWriteAccess() const;
    void setBlockUpdates(bool block);
    bool blockUpdates() const;

    // ----- connection and group upkeep of line, object and sub-index deletes ----------
    // (implemented in objectdatabase_links.cpp)

    bool removeConnnection(quint8 line);
    bool removeConnnection(quint8 line, quint16 index);
    bool removeConnnection(quint8 line, quint16 index, quint8 sub);
    bool removeProducerConnections(quint8 line, quint16 index, quint8 sub);
    bool removeConsumerConnection(quint8 line, quint16 index, quint8 sub);
    // Renumbers a line in every connection. Sends ProjectReloaded.
    bool moveConnections(quint8 from, quint8 to);
    // Name of the first group whose list holds line; empty when none.
    QString findGroup(quint8 line) const;
    // Appends line to an existing group's list. Sends GroupsChanged.
    bool addNodeToGroup(const QString &name, quint8 line);
    bool delNodeFromGroup(const QString &name, quint8 line);

    // ----- PDO links, locks, groups, process image and NV variables -------------------
    // (implemented in objectdatabase_pdo*.cpp)

    // One row of Connections: the transmit-side entry (prodnode, prodindex, prodsub) of
    // one line feeds the receive-side entry (connode, conindex, consub) of another.
    struct Connection
    {
        quint8 prodnode = 0;
        quint16 prodindex = 0;
        quint8 prodsub = 0;
        quint8 connode = 0;
        quint16 conindex = 0;
        quint8 consub = 0;
        quint8 priority = 0;

        bool operator==(const Connection &other) const;
        bool operator!=(const Connection &other) const { return !(*this == other); }
    };

    // write. Adds one connection row.
    bool addConnection(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                       quint16 conIndex, quint8 conSub, quint8 priority);
    // Deletes the one row linking the two entries.
    bool removeConnnection(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                           quint16 conIndex, quint8 conSub);
    // write. Lines 0 and 0 clear every connection, else those from prodLine to conLine.
    bool clearConnections(quint8 prodLine, quint8 conLine);
    bool isConnected(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                     quint16 conIndex, quint8 conSub) const;
    bool isProducerConnected(quint8 line, quint16 index, quint8 sub) const;
    bool isConsumerConnected(quint8 line, quint16 index, quint8 sub) const;
    // Line of the producer that feeds the receive-side entry; -1 when it is not connected.
    int getProducerNode(quint8 line, quint16 index, quint8 sub) const;
    // The connection that feeds the receive-side entry; false when there is none.
    bool getProducer(quint8 line, quint16 index, quint8 sub, Connection &connection) const;
    // Every connection fed by the transmit-side entry, ordered by consumer.
    QList<Connection> getConsumer(quint8 line, quint16 index, quint8 sub) const;
    int getConnectionCount() const;
    // Renumbers an object at both ends of every connection.
    bool updateConnections(quint16 newIndex, quint16 oldIndex);
    // Stores the priority of the connection between the entries of connection.
    bool updateConnectionPriority(const Connection &connection);
    // Connections ordered by producer line. With skipExcludedLines, rows whose producer
    // or consumer line is excluded from PDO linking (excludepdolinking) are left out.
    QList<Connection> getPDOConnections(bool skipExcludedLines) const;
    QList<Connection> getPDOConnections(quint8 prodLine, quint8 conLine,
                                        bool skipExcludedLines) const;
    // Both entries exist, may be mapped and have the same data type (returned in
    // dataType, 0 when an entry is missing). initPossibleConnectionQuery reads the
    // mappable entries of two lines once for a series of checks between them; those two
    // lines are then answered from that reading until the next call or the next project.
    bool isConnectionPossible(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                              quint16 conIndex, quint8 conSub) const;
    bool isConnectionPossible(quint8 prodLine, quint16 prodIndex, quint8 prodSub, quint8 conLine,
                              quint16 conIndex, quint8 conSub, quint16 &dataType) const;
    void initPossibleConnectionQuery(quint8 prodLine, quint8 conLine) const;
    // Writes every connection to the debug output and returns the lines written.
    QStringList dumpConnections() const;

    // Locked PDOs and mappings (pdoIndex: communication or mapping object). The setters
    // are write operations.
    bool isPdoLocked(quint8 line, quint16 pdoIndex) const;
    bool setLockedPdo(quint8 line, quint16 pdoIndex, bool locked);
    QList<quint16> getLockedPDOs(quint8 line) const;
    bool clearLockedPDOs();
    bool clearLockedPDOs(quint8 line);
    bool isMappingLocked(quint8 line, quint16 pdoIndex) const;
    bool setLockedMapping(quint8 line, quint16 pdoIndex, bool locked);
    QList<quint16> getLockedMappings(quint8 line) const;
    bool clearLockedMappings();
    bool clearLockedMappings(quint8 line);

    // Some mapping entry (0x1600..0x17FF, 0x1A00..0x1BFF, sub-index 1 on) of the line maps
    // the entry. Objects below 0x2000 are never reported as mapped.
    bool isObjectMapped(quint8 line, quint16 index, quint8 sub) const;
    // The mapping entries that map (index, sub), mapping objects and sub-indices
    // ascending.
    QList<SubAddress> getMappingObjectsForObject(quint8 line, quint16 index, quint8 sub) const;
    // Every entry from fromIndex on with pdomapping != 0 whose object exists.
    QList<SubAddress> getMappableSubs(quint8 line, quint16 fromIndex) const;
    // The mapping of the PDO (communication index + 0x200) is static when its sub-index 0
    // or 1 is not "rw".
    bool isMappingStatic(quint8 line, quint16 pdoCommIndex) const;
    // Deletes the unlocked PDOs of the line that carry no connected entry and makes the
    // mapping of the others static.
    bool removeUnusedPDOsAndMakeOtherPDOsstatic(quint8 line);
    // The line marked as NMT master; -1 when none is.
    int getNetworkMaster() const;

    // Groups of lines. Every change sends GroupsChanged.
    QStringList getGroups() const;
    // False when the group already exists.
    bool addGroup(const QString &name);
    bool delGroup(const QString &name);
    // False when newName is taken or oldName unknown.
    bool renameGroup(const QString &newName, const QString &oldName);
    QList<quint8> getNodesInGroup(const QString &name) const;

    // Process image of the network variables (0xA000..0xAFFF). index2DataType gives the
    // data type of the first object of each of the twelve areas, 0 for any other index.
    static quint16 index2DataType(quint16 index);
    // Byte position of a variable inside its area's image; -1 outside the areas or for
    // sub-index 0.
    static int startPosInProcessImage(quint16 index, quint8 sub);
    // The variables of the line with their positions; overlapping ones end in " ERROR".
    QStringList getProcessImage(quint8 line) const;
    // The first free variable slot from index on inside its area, packed as
    // index + sub-index x 65536; 0 when the area is full or index is not an area's
    // first object of the given kind (input or output).
    quint32 findFreeNVVariable(quint8 line, quint16 index, bool output) const;
    // write. Adds a variable to the area starting at index; packed address as above, 0 on
    // failure.
    quint32 addNVObj(quint8 line, quint16 index, bool output, const QString &name);
    // write. Deletes every network-variable object of the line.
    bool deleteAllNV(quint8 line, bool keepConnections);
    // write. Deletes the variables that no connection uses, on every line.
    bool removeUnusedNV();

    // ----- J1939 and CAN message store --------------------------------------------------
    // (implemented in objectdatabase_messages*.cpp)
    // Direction codes: 0x55 transmit, 0x77 receive; list queries take 0 for both. A
    // message is identified by (line, number, direction). Writes are write operations.

    static constexpr quint8 DirectionTransmit = 0x55;
    static constexpr quint8 DirectionReceive = 0x77;

    // A J1939 parameter group (row of PGNs<line>).
    struct PGN
    {
        QString name;
        QString desc;
        quint32 number = 0;
        quint8 edp_dp_key = 0;
        quint8 priority = 0;
        quint16 cycletime_ms = 0;
        quint16 inhibittime_ms = 0;
        quint16 mappingcount = 0;
        quint8 direction = 0;

        bool operator==(const PGN &other) const;
        bool operator!=(const PGN &other) const { return !(*this == other); }
    };

    // A parameter of a parameter group (row of SPNs<line>).
    struct SPN
    {
        quint8 pos = 0;
        QString name;
        QString desc;
        QString defaultvalue = QStringLiteral("0");
        quint16 datatype = 0;
        quint32 pgnnumber = 0;
        quint8 direction = 0;
        quint32 spnnumber = 0;
        quint8 implementation = 2;
        QString varname;
        quint16 bitsize = 0;
        quint16 slot_df = 0;

        bool operator==(const SPN &other) const;
        bool operator!=(const SPN &other) const { return !(*this == other); }
    };

    // A raw CAN message (row of CANIDs<line>); id has 0x20000000 added for 29-bit ids.
    struct CANID
    {
        quint32 id = 0;
        QString name;
        QString desc;
        quint16 cycletime_ms = 0;
        quint16 inhibittime_ms = 0;
        quint16 mappingcount = 0;
        quint8 direction = 0;

        bool operator==(const CANID &other) const;
        bool operator!=(const CANID &other) const { return !(*this == other); }
    };

    // A data element of a CAN message (row of DataElements<line>).
    struct DataElement
    {
        quint8 pos = 0;
        QString name;
        QString desc;
        QString defaultvalue = QStringLiteral("0");
        quint16 datatype = 0;
        quint32 canid = 0;
        quint8 direction = 0;
        quint32 number = 0;
        quint8 implementation = 2;
        QString varname;
        quint16 bitsize = 0;

        bool operator==(const DataElement &other) const;
        bool operator!=(const DataElement &other) const { return !(*this == other); }
    };

    // A signal (row of Signals); sigid 0 means not yet stored.
    struct SIGNAL_T
    {
        quint32 sigid = 0;
        quint8 nodeid = 0;
        QString name;
        quint32 datatype = 0;
        QString accesstype;
        QString defaultvalue;
        quint32 signalgroup = 0;
        quint32 ref = 0;
        quint8 transmittype = 1;
        quint8 transmittrigger = 0;
        quint16 eventtimer = 0;
        quint16 syncvalue = 0;
        quint8 syncstartvalue = 0;
        quint8 routing = 0;

        bool operator==(const SIGNAL_T &other) const;
        bool operator!=(const SIGNAL_T &other) const { return !(*this == other); }
    };

    // A row of SignalGroups.
    struct SignalGroupData
    {
        quint32 sigid = 0;
        QString name;

        bool operator==(const SignalGroupData &other) const
        {
            return sigid == other.sigid && name == other.name;
        }
    };

    bool existsPGN(quint8 line, quint32 number, quint8 direction) const;
    // Numbers ascending; with direction 0 a number stored in both directions comes twice.
    QList<quint32> getPGNs(quint8 line, quint8 direction) const;
    bool getPGNData(quint8 line, quint32 number, quint8 direction, PGN &pgn) const;
    // "-" when there is no such PGN, "--" when it cannot be read.
    QString getPGNName(quint8 line, quint32 number, quint8 direction) const;
    quint32 getPGNMappingCount(quint8 line, quint32 number, quint8 direction) const;
    // write. Inserts or updates (number, pgn.direction). Sends PgnChanged on success.
    bool addPGN(quint8 line, quint32 number, const PGN &pgn);
    // write. Deletes the PGN and its SPNs in that direction. Sends PgnDeleted.
    bool delPGN(quint8 line, quint32 number, quint8 direction);
    // SPN numbers in ascending position; from the SPN cache while the line is cached.
    QList<quint32> getSPNs(quint8 line, quint32 pgn, quint8 direction) const;
    bool getSPNData(quint8 line, quint32 pgn, quint8 direction, quint32 spn, SPN &data) const;
    bool getSPNName(quint8 line, quint32 pgn, quint8 direction, quint32 spn, QString &name) const;
    // Data type of the SPN in either direction; 0 when there is none.
    quint16 getSPNDataType(quint8 line, quint32 pgn, quint32 spn) const;
    // Data types of the SPNs of the PGN (either direction) in the order of spns, 0 for an
    // unknown SPN; from the data type cache when the line is cached there. False when an
    // SPN is unknown or the file cannot be read.
    bool getSPNDataTypes(quint8 line, quint32 pgn, const QList<quint32> &spns,
                         QList<quint16> &dataTypes) const;
    // write. Inserts or updates (pgn, spn, direction). Sends SpnChanged.
    bool addSPN(quint8 line, quint32 pgn, quint8 direction, quint32 spn, const SPN &data);
    // write. Sends SpnDeleted.
    bool delSPN(quint8 line, quint32 pgn, quint8 direction, quint32 spn);
    // SPN cache for bulk readers: replaces the line's cached SPNs by the file's. Writes do
    // not update the cache; clear it after the bulk read.
    void cacheAllSpnDataForLine(quint8 line) const;
    // Empties the SPN cache and the data type cache.
    void clearAllCachedSpnData() const;
    void cacheAllSpnDataTypes(quint8 line) const;
    bool getSPNDataTypesFromCache(quint8 line, quint32 pgn, const QList<quint32> &spns,
                                  QList<quint16> &dataTypes) const;

    // Copies other's PGNs of srcLine in direction with numbers in [fromPgn, toPgn], with
    // their SPNs, replacing those of dstLine. True when other has a PGN in direction and
    // every copy succeeded.
    bool copyPGNsFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                              quint32 fromPgn, quint32 toPgn, quint8 direction);
    // Copies one PGN with its SPNs under dstDirection. implementation 0 or 2 is given to
    // every copied SPN; any other value keeps the source's.
    bool copyPGNFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine,
                             quint32 pgn, quint8 srcDirection, quint8 dstDirection,
                             quint8 implementation);
    // Repairs of older files: folds edp_dp_key into the PGN numbers; makes mappingcount
    // equal to the number of SPNs; gives the SPNs of a PGN stored in one direction only
    // that PGN's direction.
    bool fixEDP_DP_PGNs();
    bool fixFaultyPGNSPNCount();
    bool updatePGNdirectionAttributes(quint8 line);

    bool existsCANID(quint8 line, quint32 id, quint8 direction) const;
    QList<quint32> getCANIDs(quint8 line, quint8 direction) const;
    bool getCANIDData(quint8 line, quint32 id, quint8 direction, CANID &data) const;
    // "-" when there is no such CAN ID, "--" when it cannot be read.
    QString getCANIDName(quint8 line, quint32 id, quint8 direction) const;
    // write. Inserts or updates (id, data.direction). Sends CanIdChanged.
    bool addCANID(quint8 line, quint32 id, const CANID &data);
    // write. Deletes the CAN ID and its data elements in that direction. Sends CanIdDeleted.
    bool delCANID(quint8 line, quint32 id, quint8 direction);
    // Element numbers ascending.
    QList<quint32> getDataElements(quint8 line, quint32 canid, quint8 direction) const;
    bool getDataElementData(quint8 line, quint32 canid, quint8 direction, quint32 number,
                            DataElement &data) const;
    // write. Inserts or updates (canid, number, direction). Sends DataElementChanged.
    bool addDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number,
                        const DataElement &data);
    // write. Sends SpnDeleted with canid and element set.
    bool delDataElement(quint8 line, quint32 canid, quint8 direction, quint32 number);

    // write. Stores the signal on line (replacing the row of a non-zero sigid) and returns
    // its id, also written to signal.sigid and signal.nodeid; 0 on failure.
    quint32 addSignal(quint8 line, SIGNAL_T &signal);
    QList<quint32> getSignals(quint8 line) const;
    bool getSignalData(quint8 line, quint32 sigid, SIGNAL_T &signal) const;
    bool delSignal(quint8 line, quint32 sigid); // write
    // write. Sends SignalsChanged.
    bool delAllSignals(quint8 line);
    bool updateSignalRef(quint8 line, quint32 sigid, quint32 ref); // write
    // The transmission fields (transmittype .. routing) of the signal whose ref names the
    // entry (index + sub x 65536); false when no signal does.
    bool getSignalSortDataByIndex(quint8 line, quint16 index, quint8 sub, SIGNAL_T &signal) const;
    QList<SignalGroupData> getSignalGroups() const;
    // Id of the group of that name, added when unknown; 0 on failure.
    quint32 addSignalGroup(const QString &name);
    bool delSignalGroup(quint32 id);
    // Replaces every signal group by the given ones.
    bool updateSignalGroups(const QList<SignalGroupData> &groups);

    // ----- undo history (implemented in objectdatabase_undo.cpp) ------------------------
    // With the history on, every change of the working file is recorded (see UndoLog) and
    // can be taken back step by step. The history starts empty whenever a project is
    // created or opened; saving keeps it (the preparation of the saved file does not stay
    // in the working file). Off by default.
    void setUndoEnabled(bool enabled);
    // Steps, their names and the clean state; never nullptr.
    UndoLog *undoLog() const;
    // Forgets every step and takes the store as it is for the saved state (after the
    // corrections a front end makes to a project it has just opened or created).
    void clearUndoHistory();
    // write. Takes back the last step, or repeats the last step taken back. The caches are
    // read again and ProjectReloaded is sent. False (and nothing changed) when there is no
    // such step, a unit of writes or a step is open, or a statement failed.
    bool undo();
    bool redo();
    // Changes made between begin and end form one step named name (UndoStep does both);
    // nested steps fold into the outermost.
    void beginUndoStep(const QString &name);
    void endUndoStep();

signals:
    // Sent once a change has taken effect: after the operation's (or the caller's) unit is
    // committed. A write that failed, and a unit rolled back, send nothing.
    void updateNotify(ObjectDataBase::ChangeSet change);
    // The opened project was last saved by another tool.
    void wrongTool();
    // A problem the user should see (a message box in the window, a line on the command
    // line). Only sent by openDataBase with showMessages, and for a schema it cannot
    // upgrade.
    void message(const QString &title, const QString &text);

private:
    friend class ObjectDataBasePrivate;

    bool writeLocked() const;
    void notify(const ChangeSet &change);
    bool endUnit(bool commit);
    // The insert of addSubIndex with the statement insert (the text sql) prepared for
    // line; inside the caller's unit.
    bool writeSubIndex(sqlite3_stmt *insert, const QString &sql, quint8 line, quint16 index,
                       quint8 sub, const SUBINDEX_DATA_T &data);
    void forgetUnitState();
    bool unitStillOpen();
    void resetConnection();
    void clearCaches();
    // Undo history.
    void restartUndoLog();
    bool replayStep(bool back);
    bool revertSince(qint64 mark);
    int nextStringId();

    // File and schema.
    void applyConnectionSettings(bool newDatabase);
    bool createTables();
    bool createLineTables(quint8 line);
    void upgradeSchema();
    void upgradeLineTables(const QList<quint8> &lines, uint version);
    uint databaseVersion() const;
    void checkSavingTool(const QString &path);
    void typeLinesWithoutType();
    // What a damaged file lacks, one sentence each; missing line tables are made anew.
    QStringList damagedParts();
    QString damageOfTable(const QString &name, const QStringList &columns, quint8 line);
    void reportProblem(const QString &title, const QString &text, bool show);
    bool prepareForSaving(const QString &target);
    bool writeFileSafely(const SavedFile &file);
    bool copyWorkingFile(const QString &partial);
    bool moveIntoPlace(const QString &partial, const QString &target, const QString &previous,
                       const QString &oldBak);

    // Lines, objects and sub-indices.
    bool dropNode(quint8 line);
    bool copyLineSettingsTables(quint8 from, quint8 to, QStringList &copied);
    bool setSubIndexColumn(quint8 line, quint16 index, quint8 sub, const char *column,
                           const QVariant &value, const char *signature);

    // Settings stores.
    enum class Store { General, Description, EnergyBus, J1939, Misc };
    static quint32 storeChangeKind(Store store);
    bool existStoreValue(Store store, const QString &key) const;
    QString getStoreValue(Store store, const QString &key) const;
    bool setStoreValue(Store store, const QString &key, const QString &value);
    QStringList getStoreKeys(Store store) const;
    bool replaceStoreTable(const QString &tableName, const QMap<QString, QString> &contents);
    bool copySettingsTables(const ObjectDataBase *other, const QString &otherGeneral,
                            const QString &otherDescription, const QString &generalTable,
                            const QString &descriptionTable);

    // Copies and comparison.
    bool deleteSubsMissingIn(const QList<quint8> &keep, quint8 line, quint16 index);
    bool sameSubIndexLists(const ObjectDataBase *other, quint8 thisLine, quint8 otherLine,
                           quint16 thisIndex, quint16 otherIndex, bool fullCompare) const;
    bool removeEBObjectsMissingIn(const ObjectDataBase *templateDb, quint8 line);
    bool contentsDiffer(const ObjectDataBase *saved) const;

    // Groups.
    bool setGroupLines(const QString &name, const QStringList &lines);

    // PDO links and network variables.
    bool isLocked(const char *lockTable, quint8 line, quint16 pdoIndex) const;
    bool setLock(const char *lockTable, quint8 line, quint16 pdoIndex, bool locked);
    QList<quint16> lockedIndices(const char *lockTable, quint8 line) const;
    bool clearLocks(const char *lockTable, int line);
    quint16 connectionEndType(quint8 line, quint16 index, quint8 sub) const;
    bool pdoCarriesConnection(quint8 line, quint16 mappingIndex, bool transmit,
                              const QList<QPair<SubAddress, quint32>> &words) const;
    bool updateNVHighestSub(quint8 line, quint16 index);

    // Message store.
    void notifyMessage(quint32 kind, quint8 line, quint32 pgn, quint32 spn, quint32 canid,
                       quint32 element, quint8 direction);
    bool replacePgn(quint8 line, const PGN &pgn, const QList<SPN> &spns);
    // copyPGNsFromDatabase; any tells whether other has a PGN in direction, the result
    // whether every copy succeeded.
    bool copyPgns(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine, quint32 fromPgn,
                  quint32 toPgn, quint8 direction, bool &any);
    bool movePgn(quint8 line, const PGN &pgn, quint32 newNumber);
    // Open-time repairs of the message tables (after the lines are typed).
    void repairMessagesOnOpen();
    // Copies the CAN messages of srcLine in other to dstLine (used when a line moves).
    bool copyCANIDsFromDatabase(const ObjectDataBase *other, quint8 srcLine, quint8 dstLine);

    std::unique_ptr<ObjectDataBasePrivate> d;
};

Q_DECLARE_METATYPE(ObjectDataBase::ChangeSet)
