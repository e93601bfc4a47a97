// Whole gen_objdict.c and gen_user.h files of the fixture projects against golden files.

#include "tst_objdictgenerator_fixture.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                          : QStringLiteral("<missing %1>").arg(path);
}

// The lines of a generated file with the date line of its header masked.
QStringList maskedLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString date = QStringLiteral(" * ") + odtest::fixedTime().toString(Qt::TextDate);
    for (QString &line : lines) {
        if (line == date)
            line = QStringLiteral(" * <date>");
    }
    return lines;
}

// Empty when the file matches its golden file; otherwise the first differing lines.
// With UPDATE_GOLDEN=1 the golden file is rewritten instead.
QString goldenDiff(const QString &name, const QString &actual)
{
    const QString path = QStringLiteral(NW_TEST_DATA_DIR "/generators/") + name;
    const QStringList got = maskedLines(actual);
    if (qEnvironmentVariableIntValue("UPDATE_GOLDEN") == 1) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(got.join(QLatin1Char('\n')).toUtf8());
        return QString();
    }
    const QStringList want = readText(path).split(QLatin1Char('\n'));
    QStringList report;
    for (int i = 0; i < qMax(got.size(), want.size()) && report.size() < 12; ++i) {
        const QString g = got.value(i, QStringLiteral("<end of file>"));
        const QString w = want.value(i, QStringLiteral("<end of file>"));
        if (g != w)
            report << QStringLiteral("line %1:\n  want: %2\n  got:  %3").arg(i + 1).arg(w, g);
    }
    return report.join(QLatin1Char('\n'));
}

} // namespace

class TestObjDictGolden : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { odtest::initApplication(); }

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
        QCOMPARE(odtest::generate(db, dir.path(), false, &text), 0u);
        const QString diff = goldenDiff(golden, text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        const QString user = readText(dir.filePath(QStringLiteral("gen_user.h")));
        const QString userDiff = goldenDiff(QStringLiteral("objdict_gen_user.h"), user);
        QVERIFY2(userDiff.isEmpty(), qPrintable(userDiff));
    }
};

QTEST_GUILESS_MAIN(TestObjDictGolden)
#include "tst_objdictgenerator_golden.moc"
