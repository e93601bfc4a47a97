#include "database/undolog.h"
#include "database/undostep.h"
#include "dbtestutil.h"
#include "nwtest.h"

#include <QRandomGenerator>

using namespace dbtest;
using DB = ObjectDataBase;

using nwtest::TableDump;

class TestUndoLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }
    void init()
    {
        m_db = new DB;
        QVERIFY(m_db->createNewDataBase());
        fillTwoLines(*m_db, 4);
        m_db->setUndoEnabled(true);
        QVERIFY(m_db->undoLog()->isEnabled());
    }
    void cleanup() { delete m_db; }

    void randomEditsUndoAndRedoExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomEditsUndoAndRedoExactly()
    {
        QFETCH(quint32, seed);
        const QString context = QStringLiteral("seed %1").arg(seed);
        QRandomGenerator random(seed);
        const TableDump original = dump();
        TableDump middle;
        int steps = 0;
        for (int round = 0; round < 24; ++round) {
            if (round == 12) {
                steps = m_db->undoLog()->undoCount();
                middle = dump();
            }
            UndoStep step(m_db, QStringLiteral("round %1").arg(round));
            for (int edits = random.bounded(1, 4); edits > 0; --edits)
                randomEdit(random);
        }
        const TableDump edited = dump();
        const int total = m_db->undoLog()->undoCount();
        while (m_db->undoLog()->undoCount() > steps)
            QVERIFY2(m_db->undo(), qPrintable(context));
        compare(dump(), middle, context + QLatin1String(", half undone"));
        while (m_db->undoLog()->canUndo())
            QVERIFY2(m_db->undo(), qPrintable(context));
        compare(dump(), original, context + QLatin1String(", all undone"));
        QCOMPARE(m_db->undoLog()->redoCount(), total);
        while (m_db->undoLog()->canRedo())
            QVERIFY2(m_db->redo(), qPrintable(context));
        compare(dump(), edited, context + QLatin1String(", all redone"));
    }

    void stepsAndTheirNames()
    {
        QSignalSpy notified(m_db, &DB::updateNotify);
        {
            UndoStep outer(m_db, QStringLiteral("Delete 0x2000"));
            QVERIFY(m_db->delIndex(0, 0x2000));
            UndoStep inner(m_db, QStringLiteral("inner"));
            QVERIFY(
                m_db->setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("9")));
        }
        // A change outside any step is a step of its own; one that changes nothing is none.
        QVERIFY(m_db->setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("10")));
        QVERIFY(m_db->setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("10")));
        {
            UndoStep empty(m_db, QStringLiteral("nothing"));
        }
        QCOMPARE(m_db->undoLog()->undoCount(), 2);
        QCOMPARE(m_db->undoLog()->undoText(), QStringLiteral("Change"));
        QVERIFY(m_db->undo());
        QCOMPARE(m_db->undoLog()->undoText(), QStringLiteral("Delete 0x2000"));
        QCOMPARE(m_db->undoLog()->redoText(), QStringLiteral("Change"));
        notified.clear();
        QVERIFY(m_db->undo());
        QVERIFY(m_db->existIndex(0, 0x2000));
        QCOMPARE(m_db->getSubIndexValue(0, 0x2000, 2), QStringLiteral("14"));
        QCOMPARE(m_db->getGeneralSettingsValue(QStringLiteral("co_node_id")), QStringLiteral("5"));
        QCOMPARE(changes(notified), QStringList{"13 0 0.0"}); // ProjectReloaded
        QVERIFY(!m_db->undo());
        // A new step drops what could be redone.
        QVERIFY(m_db->delIndex(1, 0x2001));
        QVERIFY(!m_db->undoLog()->canRedo());
        m_db->setLockWriteAccess(true);
        QVERIFY(!m_db->undo());
    }

    void cleanStateFollowsUndoAcrossSave()
    {
        const QString path = m_dir.filePath(QStringLiteral("clean.nwrp"));
        const UndoLog *log = m_db->undoLog();
        QVERIFY(m_db->setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("7")));
        QVERIFY(!log->isClean() && m_db->saveDataBase(path) && log->isClean());
        QCOMPARE(log->undoCount(), 1);
        QVERIFY(m_db->delIndex(0, 0x2001) && !log->isClean());
        QVERIFY(m_db->undo() && log->isClean());
        QVERIFY(m_db->undo() && !log->isClean());
        QCOMPARE(m_db->getGeneralSettingsValue(QStringLiteral("co_node_id")), QStringLiteral("5"));
        QVERIFY(m_db->redo() && log->isClean());
        QVERIFY(m_db->redo() && !m_db->existIndex(0, 0x2001));
    }

    void historyStartsAfreshOnOpenAndKeepsManySteps()
    {
        const int steps = 210;
        for (int i = 0; i < steps; ++i)
            QVERIFY(m_db->setGeneralSettingsValue(QStringLiteral("counter"), QString::number(i)));
        QCOMPARE(m_db->undoLog()->undoCount(), steps);
        for (int i = 0; i < steps; ++i)
            QVERIFY(m_db->undo());
        QVERIFY(!m_db->existGeneralSettingsValue(QStringLiteral("counter")));
        QVERIFY(m_db->redo());
        const QString path = m_dir.filePath(QStringLiteral("fresh.nwrp"));
        QVERIFY(m_db->saveDataBase(path) && m_db->openDataBase(path, false));
        const UndoLog *log = m_db->undoLog();
        QVERIFY(log->isEnabled() && !log->canUndo() && !log->canRedo() && log->isClean());
        QVERIFY(m_db->delIndex(0, 0x2002) && m_db->undo() && m_db->existIndex(0, 0x2002));
    }

private:
    TableDump dump()
    {
        return nwtest::dumpTables(*m_db,
                                  m_dir.filePath(QStringLiteral("dump%1.nwrp").arg(++m_dumps)));
    }

    void compare(const TableDump &actual, const TableDump &expected, const QString &context)
    {
        const QString difference = nwtest::dumpDifference(actual, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(context + QLatin1String(": ") + difference));
    }

    // One edit of many kinds, among them those that create, drop and copy tables.
    void randomEdit(QRandomGenerator &random)
    {
        const QList<quint8> lines = m_db->getNodes();
        const quint8 line = lines.at(random.bounded(lines.size()));
        const quint16 index = quint16(0x2000 + random.bounded(6));
        const quint8 sub = quint8(random.bounded(4));
        const QString text =
            QStringLiteral("v%1 'q' %2").arg(random.bounded(1000)).arg(QChar(0x00e4));
        DB::INDEX_DATA_T object;
        object.name = text;
        DB::SUBINDEX_DATA_T entry;
        entry.name = entry.defaultvalue = text;
        entry.metadata.insert(QStringLiteral("key"), text);
        const std::function<void()> edits[] = {
            [&] { m_db->addIndex(line, index, object); },
            [&] { m_db->delIndex(line, index); },
            [&] { m_db->existIndex(line, index) && m_db->addSubIndex(line, index, sub, entry); },
            [&] { m_db->delSubIndex(line, index, sub); },
            [&] { m_db->setGeneralSettingsValue(QStringLiteral("key%1").arg(sub), text); },
            [&] { m_db->setDescriptionSettingsValue(QStringLiteral("VendorName"), text); },
            [&] { lines.size() < 4 && m_db->addNode(quint8(lines.last() + 1), {}); },
            [&] { lines.size() > 1 && m_db->delNode(lines.last()); },
            [&] { line != 0 && m_db->moveNode(line, quint8(lines.last() + 1)); },
            [&] { m_db->copyGeneralSettingsToNode(m_db, line); },
            [&] { m_db->copyIndex(line, index, lines.first(), quint16(index + 0x100)); },
            [&] { m_db->addConnection(line, index, 1, lines.last(), quint16(index + 1), 2, 1); }};
        edits[random.bounded(12)]();
    }

    QTemporaryDir m_dir;
    DB *m_db = nullptr;
    int m_dumps = 0;
};

NW_TEST_MAIN(TestUndoLog)
#include "tst_undolog.moc"
