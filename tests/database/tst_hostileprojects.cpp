#include "dbtestutil.h"
#include "golden.h"
#include "nwtest.h"
#include "projectbuilder.h"

using namespace dbtest;

namespace {

// Everything a page or a generator reads from an open project.
void readEverything(ObjectDataBase &db)
{
    for (quint8 line : db.getNodes()) {
        QString name;
        db.getNodeName(line, name);
        for (quint16 index : db.getIndices(line)) {
            ObjectDataBase::INDEX_DATA_T object;
            db.getIndexData(line, index, object);
            for (quint8 sub = 0; sub < 3; ++sub) {
                ObjectDataBase::SUBINDEX_DATA_T entry;
                db.getSubIndexData(line, index, sub, entry);
            }
        }
        QList<ObjectDataBase::INDEX_SUB_METADATA_T> subs;
        db.getAllSubIndicesWithMetaData(line, subs);
    }
}

} // namespace

// Project files damaged by hand or by other programs open with a clear message, or open
// with the damage reported; they never crash the store and are never written back.
class TestHostileProjects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initApplication();
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        nwtest::ProjectBuilder(db).objects(
            {"0:2000:3 values=2,5,6", "0:2001:1", "1:6000:2", "1:6001:1"});
        m_sound = m_dir.filePath(QStringLiteral("sound.nwrp"));
        QVERIFY(db.saveSubIndexMetaData(0, 0x2000, 1, {{"unit", "rpm"}})
                && db.saveIndexMetaData(0, 0x2001, {{"group", "a"}}) && db.saveDataBase(m_sound));
    }

    // What the open reports is pinned in tests/data/database/hostile_messages.txt, one section
    // per row (an empty line when there is nothing to report).
    void damagedFiles_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<bool>("opens");
        QTest::addRow("no tables at all")
            << QStringList{"drop table Nodes", "drop table Strings", "drop table Objects0"}
            << false;
        QTest::addRow("no Nodes table") << QStringList{"drop table Nodes"} << false;
        QTest::addRow("no Strings table") << QStringList{"drop table Strings"} << true;
        QTest::addRow("no objects table of a line") << QStringList{"drop table Objects1"} << true;
        QTest::addRow("no sub-index table of a line")
            << QStringList{"drop table SubObjects0"} << true;
        // Files of older layouts lack them too: they are made anew.
        QTest::addRow("no settings tables")
            << QStringList{"drop table GeneralSettings", "drop table MiscSettings"} << true;
        QTest::addRow("objects table without its columns")
            << QStringList{"drop table Objects0", "create table Objects0 (x text)",
                           "insert into Objects0 values ('y')"}
            << true;
        QTest::addRow("sub-index table without its columns")
            << QStringList{"drop table SubObjects0", "create table SubObjects0 (x text)",
                           "insert into SubObjects0 values ('y')"}
            << true;
        QTest::addRow("line number beyond 255")
            << QStringList{"insert into Nodes (nodeId, name) values (300, 'far')"} << true;
        QTest::addRow("numbers are text")
            << QStringList{"update SubObjects0 set subindex = 'one', datatype = 'seven', "
                           "lowlimit = 'low', size = x'00ff' where subindex = 1"}
            << true;
        QTest::addRow("numbers out of range")
            << QStringList{"update SubObjects0 set subindex = 70000 where subindex = 2",
                           "update Objects0 set objecttype = -5, datatype = 99999999999"}
            << true;
        // A text id that leads nowhere is read as an empty text.
        QTest::addRow("name ids that lead nowhere")
            << QStringList{"update Objects0 set name = 123456", "update SubObjects0 set name = -1"}
            << true;
        QTest::addRow("texts that are no UTF-8")
            << QStringList{"update Strings set string = cast(x'c328ff80e2' as text)",
                           "update SubObjects0 set varname = cast(x'fffe00' as text)",
                           "update GeneralSettings set value = cast(x'c0' as text)"}
            << true;
        QTest::addRow("metadata blobs that are garbage")
            << QStringList{"update SubObjects0 set metadata = x'7fffffff0000'",
                           "update Objects0 set metadata = 'not a blob'"}
            << true;
        QTest::addRow("metadata claims huge entries")
            << QStringList{"update SubObjects0 set metadata = x'00000001fffffffe41'"} << true;
    }
    void damagedFiles()
    {
        QFETCH(QStringList, statements);
        QFETCH(bool, opens);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".nwrp");
        QFile::remove(path);
        QVERIFY(QFile::copy(m_sound, path));
        QCOMPARE(sqlite3(path, {statements.join(QLatin1String("; "))}), QString());
        const QByteArray before = nwReadFile(path);
        {
            ObjectDataBase db;
            QCOMPARE(db.openDataBase(path, false), opens);
            const QString diff = golden::goldenSectionDiff(
                QStringLiteral(NW_TEST_DATA_DIR "/database/hostile_messages.txt"),
                {db.errorString()});
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
            if (opens)
                readEverything(db);
        }
        // Only the user's Save writes the file.
        QCOMPARE(nwReadFile(path), before);
    }

private:
    QTemporaryDir m_dir;
    QString m_sound;
};

NW_TEST_MAIN(TestHostileProjects)
#include "tst_hostileprojects.moc"
