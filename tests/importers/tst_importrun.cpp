#include "database/objectdatabase.h"
#include "importers/importrun.h"
#include "nwtest.h"
#include "testenv.h"

namespace {

using Sub = ObjectDataBase::SUBINDEX_DATA_T;

Sub entry(const QString &name, quint16 type, const QString &access = "rw")
{
    Sub s;
    s.name = name;
    s.datatype = type;
    s.accesstype = access;
    return s;
}

DictionaryObject object(quint16 index, quint8 code, const QString &name,
                        const QMap<quint8, Sub> &subs)
{
    DictionaryObject o;
    o.index = index;
    o.data.name = name;
    o.data.objecttype = code;
    o.subs = subs;
    return o;
}

// An ARRAY with sub-indices 0, 1 and 5.
DictionaryObject sparseArray(quint16 index)
{
    return object(index, 8, "Errors",
                  {{0, entry("n", 5, "ro")}, {1, entry("e1", 7)}, {5, entry("e5", 7)}});
}

// "sub:implementation:varname" for each sub-index.
QStringList implementations(const DictionaryObject &o)
{
    QStringList result;
    for (auto it = o.subs.constBegin(); it != o.subs.constEnd(); ++it)
        result << QString::number(it.key()) + ':' + QString::number(it->implementation) + ':'
                      + it->varname.trimmed();
    return result;
}

} // namespace

Q_DECLARE_METATYPE(DictionaryObject)

class TestImportRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void init()
    {
        m_db.reset(new ObjectDataBase);
        QVERIFY(m_db->createNewDataBase());
    }

    void cleanup() { m_db.reset(); }

    void destination_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("destination");
        QTest::addRow("no offset") << 0x6000 << 0 << 0x6000;
        QTest::addRow("offset 0x1000") << 0x6000 << 0x1000 << 0x7000;
        QTest::addRow("wraps at 16 bits") << 0xF000 << 0x2000 << 0x1000;
    }
    void destination()
    {
        QFETCH(int, index);
        QFETCH(int, offset);
        QFETCH(int, destination);
        ImportRun run(m_db.get());
        run.setOffset(quint16(offset));
        QVERIFY(run.run({object(quint16(index), 7, "V", {{0, entry("V", 7)}})}));
        QCOMPARE(m_db->getIndices(0), (QList<quint16>{quint16(destination)}));
        QCOMPARE(run.importedCount(), 1);
        QCOMPARE(run.resultText(), QStringLiteral("1 objects imported as managed variables."));
    }

    void highestSubIndex()
    {
        ImportRun run(m_db.get());
        run.setHighestSubIndex(0);
        QVERIFY(run.run({sparseArray(0x2000)}));
        QCOMPARE(m_db->getSubIndices(0, 0x2000), (QList<quint8>{0}));
        QCOMPARE(m_db->getSubIndexValue(0, 0x2000, 0), QStringLiteral("0"));
    }

    void sub0Repair_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("repaired");
        QTest::addRow("manufacturer object") << 0x2000 << true;
        QTest::addRow("0x1003") << 0x1003 << false;
        QTest::addRow("RPDO mapping 0x1600") << 0x1600 << false;
        QTest::addRow("TPDO mapping 0x1BFF") << 0x1BFF << false;
        QTest::addRow("0x1381") << 0x1381 << false;
        QTest::addRow("0x13FE") << 0x13FE << true;
        QTest::addRow("0x13FF") << 0x13FF << false;
        QTest::addRow("RPDO parameter 0x1400") << 0x1400 << true;
    }
    void sub0Repair()
    {
        QFETCH(int, index);
        QFETCH(bool, repaired);
        DictionaryObject o = sparseArray(quint16(index));
        o.subs[0].defaultvalue = "9";
        const DictionaryObject result =
            ImportRun::prepared(o, quint16(index), 254, ImportRun::ManagedVariables, false);
        QCOMPARE(result.subs.value(0).defaultvalue, repaired ? QString("5") : QString("9"));
        QCOMPARE(result.subs.value(0).implementation, quint8(repaired ? 1 : 0));
        const DictionaryObject var =
            ImportRun::prepared(object(quint16(index), 7, "V", {{0, entry("V", 7)}}),
                                quint16(index), 254, ImportRun::ManagedVariables, false);
        QCOMPARE(var.subs.value(0).defaultvalue, QString());
    }

    void conversion_data()
    {
        QTest::addColumn<DictionaryObject>("source");
        QTest::addColumn<bool>("application");
        QTest::addColumn<QStringList>("expected");
        const DictionaryObject speed =
            object(0x2000, 7, "Speed", {{0, entry("Motor  Speed-Set", 6)}});
        QTest::addRow("VAR as application variable")
            << speed << true << QStringList{"0:2:motor_speedset"};
        QTest::addRow("VAR as managed variable") << speed << false << QStringList{"0:0:"};
        DictionaryObject named = speed;
        named.subs[0].varname = "mySpeed";
        QTest::addRow("existing variable name kept") << named << true << QStringList{"0:2:mySpeed"};
        const DictionaryObject record = object(
            0x2001, 9, "Drive Data",
            {{0, entry("n", 5, "ro")}, {1, entry("Target Value", 4)}, {2, entry("Log", 15)}});
        QTest::addRow("RECORD as application variables")
            << record << true
            << QStringList{"0:1:", "1:2:drive_data.target_value", "2:2:drive_data.log"};
        QTest::addRow("RECORD as managed variables")
            << record << false << QStringList{"0:1:", "1:0:", "2:2:drive_data.log"};
        const DictionaryObject array =
            object(0x2002, 8, "Gain",
                   {{0, entry("n", 5, "ro")}, {1, entry("g1", 3)}, {2, entry("g2", 3)}});
        QTest::addRow("ARRAY as application variables")
            << array << true << QStringList{"0:1:", "1:2:gain[0]", "2:2:gain[1]"};
        const QList<QPair<Sub, QString>> managed = {
            {entry("Name", 9, "ro"), "0:1:"},      {entry("Label", 9, "rw"), "0:2:label"},
            {entry("Text", 124, "ro"), "0:1:"},    {entry("Bytes", 10, "ro"), "0:2:bytes"},
            {entry("Blob", 15, "rw"), "0:2:blob"}, {entry("Count", 7, "ro"), "0:0:"}};
        for (const auto &row : managed)
            QTest::addRow("managed VAR %s type %d", qPrintable(row.first.accesstype),
                          row.first.datatype)
                << object(0x2003, 7, "V", {{0, row.first}}) << false << QStringList{row.second};
    }
    void conversion()
    {
        QFETCH(DictionaryObject, source);
        QFETCH(bool, application);
        const ImportRun::Implementation kind =
            application ? ImportRun::ApplicationVariables : ImportRun::ManagedVariables;
        QTEST(implementations(ImportRun::prepared(source, source.index, 254, kind, false)),
              "expected");
        DictionaryObject kept = source;
        kept.subs.last().implementation = 3;
        QCOMPARE(ImportRun::prepared(kept, kept.index, 254, kind, true).subs.last().implementation,
                 quint8(3));
    }

    void wizardMarksCleared()
    {
        DictionaryObject o = sparseArray(0x2000);
        o.data.fwsupported = true;
        o.data.device_class = "rpdo";
        o.subs[1].changedbyuser = true;
        o.subs[1].wizardsource = 454;
        const DictionaryObject result =
            ImportRun::prepared(o, 0x2000, 254, ImportRun::ManagedVariables, false);
        QCOMPARE(QStringLiteral("%1 '%2' %3 %4")
                     .arg(result.data.fwsupported)
                     .arg(result.data.device_class)
                     .arg(result.subs.value(1).changedbyuser)
                     .arg(result.subs.value(1).wizardsource),
                 QStringLiteral("0 '' 0 0"));
    }

    void replacesExistingObject()
    {
        ObjectDataBase::INDEX_DATA_T old;
        old.name = "Old";
        QVERIFY(m_db->addIndex(0, 0x2000, old));
        for (quint8 sub = 0; sub <= 7; ++sub)
            QVERIFY(m_db->addSubIndex(0, 0x2000, sub, entry("old", 7)));
        ImportRun run(m_db.get());
        QVERIFY(run.run({sparseArray(0x2000)}));
        QCOMPARE(m_db->getIndexName(0, 0x2000), QStringLiteral("Errors"));
        QCOMPARE(m_db->getSubIndices(0, 0x2000), (QList<quint8>{0, 1, 5}));
    }

    void failedUnitLeavesProjectAlone()
    {
        ObjectDataBase::INDEX_DATA_T old;
        old.name = "Old";
        QVERIFY(m_db->addIndex(0, 0x2000, old));
        const QList<quint16> before = m_db->getIndices(0);
        ImportRun run(m_db.get());
        QVERIFY(!run.run({sparseArray(0x2000), sparseArray(0x2001)}, [] { return false; }));
        QCOMPARE(m_db->getIndices(0), before);
        QCOMPARE(m_db->getIndexName(0, 0x2000), QStringLiteral("Old"));
        QCOMPARE(run.importedCount(), 0);
        QVERIFY(run.errorString().endsWith("nothing was imported."));
    }

    void writeLockedProject()
    {
        m_db->setLockWriteAccess(true);
        ImportRun run(m_db.get());
        QVERIFY(!run.run({sparseArray(0x2000)}));
        m_db->setLockWriteAccess(false);
        QVERIFY(!m_db->existIndex(0, 0x2000));
    }

private:
    std::unique_ptr<ObjectDataBase> m_db;
};

NW_TEST_MAIN(TestImportRun)
#include "tst_importrun.moc"
