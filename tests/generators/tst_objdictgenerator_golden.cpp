// Whole gen_objdict.c and gen_user.h files of the fixture projects against golden files.

#include "nwtest.h"
#include "tst_objdictgenerator_fixture.h"

#include <QTemporaryDir>

namespace {

QString goldenDiff(const QString &name, const QString &actual)
{
    return gentest::goldenDiff(QStringLiteral(NW_TEST_DATA_DIR "/generators/") + name, actual);
}

} // namespace

class TestObjDictGolden : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void fixtureProjects_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("golden");
        QTest::addRow("single line") << false << "objdict_single.c";
        QTest::addRow("multi-line") << true << "objdict_multi.c";
    }

    void fixtureProjects()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, golden);
        ObjectDataBase db;
        if (multiLine)
            odtest::buildMultiLineProject(db);
        else
            odtest::buildSingleLineProject(db);
        QTemporaryDir dir;
        QString text;
        QVERIFY(odtest::generate(db, dir.path(), false, &text));
        const QString diff = goldenDiff(golden, text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        const QString user = gentest::readText(dir.filePath(QStringLiteral("gen_user.h")));
        const QString userDiff = goldenDiff(QStringLiteral("objdict_gen_user.h"), user);
        QVERIFY2(userDiff.isEmpty(), qPrintable(userDiff));
    }
};

NW_TEST_MAIN(TestObjDictGolden)
#include "tst_objdictgenerator_golden.moc"
