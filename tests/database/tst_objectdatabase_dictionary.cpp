#include "database/metadatablob.h"
#include "dbtestutil.h"
#include "nwtest.h"

using namespace dbtest;
using DB = ObjectDataBase;

// What the object reads of line 0 answer, as one text to compare.
static QString objectReads(const DB &db)
{
    QString text =
        QString("%1 %2;").arg(db.existIndex(0, 0x2001)).arg(db.existSubIndex(0, 0x2000, 7));
    for (quint16 index : db.getIndices(0)) {
        DB::INDEX_DATA_T data;
        text +=
            QString("%1 %2 %3:")
                .arg(index)
                .arg(db.getIndexData(0, index, data) ? data.name : "-", db.getIndexName(0, index));
        for (quint8 sub : db.getSubIndices(0, index))
            text += QString(" %1").arg(sub);
        for (quint8 sub : db.getSubIndicesMappable(0, index, 1))
            text += QString(" m%1").arg(sub);
    }
    return text;
}

// Lines, objects and sub-indices of the object dictionary store.
class TestObjectDataBaseDictionary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new DB;
        QVERIFY(m_db->createNewDataBase());
    }
    void cleanup() { delete m_db; }

    void metadataByteForm_data()
    {
        // Count, then per entry (descending keys) the UTF-16 key and value, each after its
        // length in bytes; all numbers big-endian.
        QTest::addColumn<DB::MetaData>("map");
        QTest::addColumn<QByteArray>("hex");
        QTest::addRow("empty") << DB::MetaData() << QByteArray("00000000");
        QTest::addRow("one entry")
            << DB::MetaData{{"a", "1"}} << QByteArray("00000001000000020061000000020031");
        QTest::addRow("descending keys")
            << DB::MetaData{{"a", "1"}, {"b", "2"}}
            << QByteArray("00000002000000020062000000020032000000020061000000020031");
        QTest::addRow("empty value")
            << DB::MetaData{{"k", ""}} << QByteArray("0000000100000002006b00000000");
        QTest::addRow("umlaut and emoji")
            << DB::MetaData{{QString::fromUtf8("ä"), QString::fromUtf8("😀")}}
            << QByteArray("000000010000000200e400000004d83dde00");
    }
    void metadataByteForm()
    {
        QFETCH(DB::MetaData, map);
        QFETCH(QByteArray, hex);
        QCOMPARE(MetaDataBlob::encode(map).toHex(), hex);
        QCOMPARE(MetaDataBlob::decode(QByteArray::fromHex(hex)), map);
    }

    void undecodableMetadataIsEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("nothing") << QByteArray();
        QTest::addRow("integer zero as stored") << QByteArray("0");
        QTest::addRow("count without entries") << QByteArray::fromHex("00000003");
        QTest::addRow("cut in a key") << QByteArray::fromHex("000000010000000400");
        QTest::addRow("trailing bytes") << QByteArray::fromHex("00000000ff");
        QTest::addRow("odd text length") << QByteArray::fromHex("00000001000000010061");
        QTest::addRow("text longer than the rest")
            << QByteArray::fromHex("0000000100000008006100000000");
    }
    void undecodableMetadataIsEmpty()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(MetaDataBlob::decode(bytes).isEmpty());
    }
    void nullTextOfMetadataIsEmpty()
    {
        const QByteArray bytes = QByteArray::fromHex("00000001000000020061ffffffff");
        QCOMPARE(MetaDataBlob::decode(bytes), (DB::MetaData{{"a", ""}}));
    }

    void metadataColumnInTheFile()
    {
        QVERIFY(m_db->addIndex(0, 0x2000, {}));
        QCOMPARE(hexOfMetadata("Objects0", "objectindex = 8192"), QByteArray("blob:00000000"));

        DB::SUBINDEX_DATA_T sub;
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        QCOMPARE(hexOfMetadata("SubObjects0", "subindex = 0"), QByteArray("integer:30"));

        sub.metadata.insert("a", "1");
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        QCOMPARE(hexOfMetadata("SubObjects0", "subindex = 0"),
                 QByteArray("blob:00000001000000020061000000020031"));
        DB::SUBINDEX_DATA_T reread;
        QVERIFY(m_db->getSubIndexData(0, 0x2000, 0, reread));
        QCOMPARE(reread.metadata, sub.metadata);

        // Replacing the entry by one without metadata resets the column.
        sub.metadata.clear();
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        QCOMPARE(hexOfMetadata("SubObjects0", "subindex = 0"), QByteArray("integer:30"));
        QVERIFY(m_db->getSubIndexData(0, 0x2000, 0, reread));
        QVERIFY(reread.metadata.isEmpty());
    }

    void metadataLists()
    {
        DB::INDEX_DATA_T object;
        object.metadata = {{"unit", "V"}};
        QVERIFY(m_db->addIndex(0, 0x0800, object) && m_db->addIndex(0, 0x2000, object));
        QVERIFY(m_db->addIndex(0, 0x2001, object) && m_db->addIndex(0, 0x2002, {}));
        object.metadata = {{"unit", "A"}};
        QVERIFY(m_db->addIndex(0, 0x2003, object));
        QList<DB::MetaData> maps;
        QVERIFY(m_db->getAllIndexMetaData(0, maps));
        QCOMPARE(maps, QList<DB::MetaData>({{{"unit", "V"}}, {{"unit", "A"}}}));

        DB::SUBINDEX_DATA_T sub;
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        sub.metadata = {{"x", "y"}};
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        QList<DB::INDEX_SUB_METADATA_T> entries;
        QVERIFY(m_db->getAllSubIndicesWithMetaData(0, entries));
        QVERIFY(entries.size() == 2 && entries.at(0).metadata.isEmpty());
        QVERIFY(entries.at(1).subindex == 1 && entries.at(1).metadata == sub.metadata);
    }

    void addNodeUpdateKeepsLaterFields()
    {
        DB::NODE_DATA_T node;
        node.name = "first";
        node.isbootupmanager = node.isconfigmanager = node.excludepdolinking = true;
        node.multilinedata = 0xDEADBEEF;
        node.lssslave = true;
        node.generatedcf = false;
        node.tpdocnt = 4;
        QVERIFY(m_db->addNode(3, node));
        DB::NODE_DATA_T stored;
        QVERIFY(m_db->getNodeData(3, stored));
        QCOMPARE(stored, node);

        DB::NODE_DATA_T update;
        update.name = "second";
        update.ismaster = true;
        QVERIFY(m_db->addNode(3, update));
        QVERIFY(m_db->getNodeData(3, stored));
        update.isbootupmanager = update.isconfigmanager = update.excludepdolinking = true;
        update.multilinedata = 0xDEADBEEF;
        update.lssslave = true;
        QCOMPARE(stored, update);
        QCOMPARE(m_db->getNodes(), QList<quint8>({0, 3}));
        QVERIFY(!m_db->existIndex(3, 0x1000) && m_db->addIndex(3, 0x1000, {}));
    }

    void stringsAreInterned()
    {
        const int lower = m_db->getStringId("Speed");
        QVERIFY(lower > 0);
        QCOMPARE(m_db->getStringId("Speed"), lower);
        const int upper = m_db->getStringId("SPEED");
        QVERIFY(upper > 0 && upper != lower);
        DB::INDEX_DATA_T object;
        object.name = "Speed";
        object.description = "SPEED";
        QVERIFY(m_db->addIndex(0, 0x2000, object) && m_db->addIndex(0, 0x2001, object));
        const QString path = m_dir.filePath("strings.nwrp");
        QVERIFY(m_db->saveDataBase(path));
        RawFile raw(path);
        QCOMPARE(raw.value("select count(*) from Strings where string = 'Speed'").toInt(), 1);
        QCOMPARE(raw.value("select count(distinct name) from Objects0").toInt(), 1);

        DB reopened;
        QVERIFY(reopened.openDataBase(path, false));
        QCOMPARE(reopened.getStringId("Speed"), lower);
        QCOMPARE(reopened.getString(upper), QString("SPEED"));
        QVERIFY(reopened.getString(99999).isEmpty());
    }

    // Indices of line 0, or sub-indices of 0x2000, in use; where the search starts; the answer.
    void nextFree_data()
    {
        QTest::addColumn<bool>("subIndices");
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        QTest::addRow("index, free start") << false << QList<int>{0x2001} << 0x2000 << 0x2000;
        QTest::addRow("index, two used") << false << QList<int>{0x2000, 0x2001} << 0x2000 << 0x2002;
        QTest::addRow("index, gap further up")
            << false << QList<int>{0x2000, 0x2001, 0x2003} << 0x2000 << 0x2002;
        QTest::addRow("index, used below start") << false << QList<int>{0x1FFF} << 0x2000 << 0x2000;
        QTest::addRow("no sub-indices") << true << QList<int>{} << 1 << 255;
        QTest::addRow("0 1 5 from 2") << true << QList<int>{0, 1, 5} << 2 << 6;
        QTest::addRow("0 1 5 from 0") << true << QList<int>{0, 1, 5} << 0 << 2;
        QTest::addRow("none at or above start") << true << QList<int>{0, 1} << 4 << 255;
    }
    void nextFree()
    {
        QFETCH(bool, subIndices);
        QFETCH(QList<int>, used);
        QFETCH(int, start);
        QFETCH(int, expected);
        QVERIFY(!subIndices || m_db->addIndex(0, 0x2000, {}));
        for (int n : used)
            QVERIFY(subIndices ? m_db->addSubIndex(0, 0x2000, quint8(n), {})
                               : m_db->addIndex(0, quint16(n), {}));
        QCOMPARE(subIndices ? int(m_db->getNextFreeSubIndex(0, 0x2000, quint8(start)))
                            : int(m_db->getNextFreeIndex(0, quint16(start))),
                 expected);
    }

    void subIndexBitSize_data()
    {
        QTest::addColumn<quint16>("datatype");
        QTest::addColumn<quint32>("size");
        QTest::addColumn<quint32>("bits");
        QTest::addRow("BOOLEAN") << quint16(1) << 0u << 1u;
        QTest::addRow("UNSIGNED32 ignores size") << quint16(7) << 2u << 32u;
        QTest::addRow("UNSIGNED3") << quint16(101) << 0u << 3u;
        QTest::addRow("VISIBLE_STRING") << quint16(9) << 10u << 80u;
        QTest::addRow("DOMAIN") << quint16(15) << 100u << 800u;
        QTest::addRow("UTF8_STRING") << quint16(124) << 40u << 320u;
    }
    void subIndexBitSize()
    {
        QFETCH(quint16, datatype);
        QFETCH(quint32, size);
        QFETCH(quint32, bits);
        QVERIFY(m_db->addIndex(0, 0x2000, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.datatype = datatype;
        sub.size = size;
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        QCOMPARE(m_db->getSubIndexBitSize(0, 0x2000, 1), bits);
        QCOMPARE(m_db->getSubIndexBitSize(0, 0x2000, 2), 0u);
        QCOMPARE(m_db->getSubIndexDatatype(0, 0x2000, 1), datatype);
    }

    void subIndexDisplayName()
    {
        QVERIFY(m_db->addIndex(0, 0x2000, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.name = "Parameter";
        sub.denotation = "Given";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        sub.denotation.clear();
        QVERIFY(m_db->addSubIndex(0, 0x2000, 2, sub));
        QCOMPARE(QStringList({m_db->getSubIndexName(0, 0x2000, 1, true),
                              m_db->getSubIndexName(0, 0x2000, 1, false),
                              m_db->getSubIndexName(0, 0x2000, 2, true),
                              m_db->getSubIndexName(0, 0x2000, 3, true)}),
                 QStringList({"Given", "Parameter", "Parameter", ""}));
        QCOMPARE(m_db->getIndexSubIndexName(0, 0x2000, 1),
                 QStringList({"unnamed object", "Given"}));

        m_db->cacheAllSubNames(0, 0x2000);
        QVERIFY(m_db->setSubIndexName(0, 0x2000, 1, "Renamed"));
        QCOMPARE(m_db->getSubIndexName(0, 0x2000, 1, false), QString("Given"));
        m_db->clearCachedSubNames();
        QCOMPARE(m_db->getSubIndexName(0, 0x2000, 1, true), QString("Renamed"));
    }

    void subCacheIsNotRefreshedBySetters()
    {
        QVERIFY(m_db->addIndex(0, 0x2000, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.defaultvalue = "1";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        m_db->cacheAllSubs(0);
        QVERIFY(m_db->setSubIndexValue(0, 0x2000, 0, "2"));
        QVERIFY(m_db->setSubIndexCurrentValue(0, 0x2000, 0, "3"));
        DB::SUBINDEX_DATA_T cached;
        QVERIFY(m_db->getSubIndexData(0, 0x2000, 0, cached));
        QCOMPARE(cached.defaultvalue, QString("1"));
        QVERIFY(cached.currentvalue.isEmpty());
        QCOMPARE(m_db->getSubIndexValue(0, 0x2000, 0), QString("2"));

        // addSubIndex does refresh a cached line.
        sub.defaultvalue = "4";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        QVERIFY(m_db->getSubIndexData(0, 0x2000, 1, cached));
        QCOMPARE(cached.defaultvalue, QString("4"));

        m_db->clearCachedSubs(0);
        QVERIFY(m_db->getSubIndexData(0, 0x2000, 0, cached));
        QCOMPARE(cached.defaultvalue, QString("2"));
        QCOMPARE(cached.currentvalue, QString("3"));
        QVERIFY(!m_db->getSubIndexData(0, 0x2000, 9, cached));
    }

    void subsByProperty_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("number") << QString("pdomapping") << "1" << QStringList{"2000.1", "2001.0"};
        QTest::addRow("hexadecimal number")
            << QString("pdomapping") << "0x1" << QStringList{"2000.1", "2001.0"};
        QTest::addRow("text") << QString("accesstype") << "rw" << QStringList{"2000.1", "2001.0"};
        QTest::addRow("name") << QString("name") << "Second" << QStringList{"2001.0"};
        QTest::addRow("as a number first, then as text")
            << QString("defaultvalue") << "0x1" << QStringList{"2001.0", "2000.0"};
        QTest::addRow("every entry")
            << QString() << "" << QStringList{"2000.0", "2000.1", "2001.0"};
        QTest::addRow("unknown column") << QString("pdomapping = 1 or 1") << "1" << QStringList{};
    }
    void subsByProperty()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QStringList, expected);
        QVERIFY(m_db->addIndex(0, 0x2000, {}) && m_db->addIndex(0, 0x2001, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.defaultvalue = "0x1";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        sub.defaultvalue.clear();
        sub.pdomapping = 1;
        sub.accesstype = "rw";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        sub.name = "Second";
        sub.defaultvalue = "1";
        QVERIFY(m_db->addSubIndex(0, 0x2001, 0, sub));
        // An entry whose object is missing is never listed.
        QVERIFY(m_db->addSubIndex(0, 0x3000, 0, sub));
        QStringList found;
        for (const DB::SubAddress &address : m_db->getSubsByProperty(0, column, value))
            found << QStringLiteral("%1.%2").arg(address.index, 0, 16).arg(address.subindex);
        QCOMPARE(found, expected);
    }

    void usesDataType_data()
    {
        QTest::addColumn<QList<quint16>>("types");
        QTest::addColumn<quint16>("fromIndex");
        QTest::addColumn<bool>("expected");
        QTest::addRow("one of several types")
            << QList<quint16>{0x0008, 0x0010} << quint16(0x1000) << true;
        QTest::addRow("type only below the first index")
            << QList<quint16>{0x0005} << quint16(0x2001) << false;
        QTest::addRow("type on the first index")
            << QList<quint16>{0x0005} << quint16(0x2000) << true;
        QTest::addRow("type only of an entry without object")
            << QList<quint16>{0x007C} << quint16(0x1000) << false;
        QTest::addRow("no type") << QList<quint16>{} << quint16(0x1000) << false;
    }
    void usesDataType()
    {
        QFETCH(QList<quint16>, types);
        QFETCH(quint16, fromIndex);
        QFETCH(bool, expected);
        QVERIFY(m_db->addIndex(0, 0x2000, {}) && m_db->addIndex(0, 0x2001, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.datatype = 0x0005;
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        sub.datatype = 0x0010;
        QVERIFY(m_db->addSubIndex(0, 0x2001, 0, sub));
        sub.datatype = 0x007C;
        QVERIFY(m_db->addSubIndex(0, 0x3000, 0, sub));
        QCOMPARE(m_db->usesDataType(0, types, fromIndex), expected);
        m_db->cacheAllSubs(0);
        QCOMPARE(m_db->usesDataType(0, types, fromIndex), expected);
    }

    void indicesByProperty()
    {
        DB::INDEX_DATA_T object;
        object.device_class = "rpdo";
        object.objecttype = 9;
        QVERIFY(m_db->addIndex(0, 0x1400, object));
        object.device_class = "tpdo";
        QVERIFY(m_db->addIndex(0, 0x1800, object));
        QCOMPARE(m_db->getIndicesByProperty(0, "device_class", "rpdo"), QList<quint16>{0x1400});
        QCOMPARE(m_db->getIndicesByProperty(0, "objecttype", "9"),
                 QList<quint16>({0x1400, 0x1800}));
        QCOMPARE(m_db->getIndicesByProperty(0, "objecttype", "7"), QList<quint16>());
        QCOMPARE(m_db->getIndicesByProperty(0, "1 = 1 or objecttype", "9"), QList<quint16>());
    }

    void copyDefaultToCurrentValues()
    {
        QVERIFY(m_db->addIndex(0, 0x2000, {}));
        DB::SUBINDEX_DATA_T sub;
        sub.defaultvalue = "10";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 0, sub));
        sub.currentvalue = "7";
        QVERIFY(m_db->addSubIndex(0, 0x2000, 1, sub));
        QVERIFY(m_db->copyDefaultToCurrentValues(0, 0x2000, true));
        QCOMPARE(m_db->getSubIndexCurrentValue(0, 0x2000, 0), QString("10"));
        QCOMPARE(m_db->getSubIndexCurrentValue(0, 0x2000, 1), QString("7"));
        QVERIFY(m_db->copyDefaultToCurrentValues(0, 0x2000, false));
        QCOMPARE(m_db->getSubIndexCurrentValue(0, 0x2000, 1), QString("10"));
    }

    // Once a line is cached whole, objects and sub-index lists come from memory; after any
    // write they must read exactly as from the file.
    void cachedLineFollowsWrites_data()
    {
        QTest::addColumn<QString>("write");
        for (const char *write : {"add object", "delete object", "rename object", "add sub-index",
                                  "delete sub-index", "rolled-back unit", "undo"})
            QTest::newRow(write) << QString(write);
    }
    void cachedLineFollowsWrites()
    {
        QFETCH(QString, write);
        m_db->setUndoEnabled(true);
        DB::SUBINDEX_DATA_T sub;
        for (quint16 index : {0x2000, 0x2002}) {
            QVERIFY(m_db->addIndex(0, index, {}));
            for (quint8 s : {0, 1, 3}) {
                sub.pdomapping = s == 3 ? 1 : 0;
                QVERIFY(m_db->addSubIndex(0, index, s, sub));
            }
        }
        m_db->cacheAllSubs(0);
        const QString before = objectReads(*m_db);
        const bool restores = write == "rolled-back unit" || write == "undo";
        if (write == "rolled-back unit")
            QVERIFY(m_db->beginTransaction());
        if (write == "add object")
            QVERIFY(m_db->addIndex(0, 0x2001, {}));
        else if (write == "delete object" || restores)
            QVERIFY(m_db->delIndex(0, 0x2002));
        else if (write == "rename object")
            QVERIFY(m_db->setIndexName(0, 0x2000, "renamed"));
        else if (write == "add sub-index")
            QVERIFY(m_db->addSubIndex(0, 0x2000, 7, sub));
        else if (write == "delete sub-index")
            QVERIFY(m_db->delSubIndex(0, 0x2000, 3));
        if (restores) {
            m_db->cacheAllSubs(0);
            QVERIFY(write == "undo" ? m_db->undo() : m_db->rollbackTransaction());
        }
        const QString cached = objectReads(*m_db);
        m_db->clearAllCachedSubs();
        QCOMPARE(cached, objectReads(*m_db));
        QCOMPARE(cached == before, restores);
    }

private:
    QByteArray hexOfMetadata(const QString &tableName, const QString &where)
    {
        const QString path = m_dir.filePath(QStringLiteral("metadata.nwrp"));
        if (!m_db->saveDataBase(path))
            return "<not saved>";
        return sqlite3(path, {"select typeof(metadata) || ':' || hex(metadata) from " + tableName
                              + " where " + where})
            .trimmed()
            .toLatin1();
    }

    QTemporaryDir m_dir;
    DB *m_db = nullptr;
};

NW_TEST_MAIN(TestObjectDataBaseDictionary)
#include "tst_objectdatabase_dictionary.moc"
