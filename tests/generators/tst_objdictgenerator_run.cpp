// gen_objdict.c in the generation run: its rows of the generator table and the project
// setting for compact arrays.

#include "generators/generationrun.h"
#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QDir>
#include <QTemporaryDir>

class TestObjDictRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void objectDictionaryRows_data()
    {
        QTest::addColumn<int>("lineType");
        QTest::addColumn<QString>("compact");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("compacted");
        QTest::addRow("CANopen line") << 1 << "0" << true << false;
        QTest::addRow("CANopen line, compact arrays") << 1 << "1" << true << true;
        QTest::addRow("one CANopen and J1939 line") << 5 << "1" << true << true;
        QTest::addRow("J1939 line") << 2 << "0" << false << false;
    }

    void objectDictionaryRows()
    {
        QFETCH(int, lineType);
        QFETCH(QString, compact);
        QFETCH(bool, written);
        QFETCH(bool, compacted);
        ObjectDataBase db;
        gentest::buildCanopenProject(db);
        gentest::setLineType(db, 0, lineType);
        odtest::addArray(db, 0, 0x2100, 6, odtest::sub(7, "rw", "1"));
        odtest::setting(db, "compact_array_description", compact);
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/nwodrun-XXXXXX"));
        GenerationRun run(&db);
        run.setProject(dir.path(), QStringLiteral("demo"));
        run.setModelCheckEnabled(false);
        QStringList messages;
        connect(&run, &GenerationRun::message, this,
                [&messages](const QString &text) { messages << text; });
        QCOMPARE(run.run(), GenerationRun::Completed);
        const QString started =
            QStringLiteral("Generation of gen_objdict.c in %1 started").arg(dir.path());
        QCOMPARE(messages.contains(started), written);
        QCOMPARE(messages.contains(QStringLiteral("Generation of gen_objdict.c completed.")),
                 written);
        const QString text = gentest::readText(dir.filePath(QStringLiteral("gen_objdict.c")));
        QCOMPARE(text.contains(QStringLiteral("#define CO_OD_ASSIGN_CNT ")), written);
        QCOMPARE(text.contains(QStringLiteral("| CO_ATTR_COMPACT,")), compacted);
    }
};

NW_TEST_MAIN(TestObjDictRun)
#include "tst_objdictgenerator_run.moc"
