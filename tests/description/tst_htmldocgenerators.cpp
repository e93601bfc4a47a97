#include "description/htmlgenerator.h"
#include "description/j1939htmlgenerator.h"
#include "nwtest.h"
#include "tst_docgenerators_fixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

// The HTML documentation of the object dictionary and of the J1939 parameter groups: whole
// pages against golden files and an HTML parser, and the lines a reader would notice.
class TestHtmlDocGenerators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        doctest::buildProject(db);
    }
    void page_data()
    {
        QTest::addColumn<bool>("j1939");
        QTest::addColumn<bool>("implInfo");
        QTest::addColumn<QString>("golden");
        QTest::addRow("object dictionary") << false << true << "doc_objects.html";
        QTest::addRow("parameter groups") << true << true << "doc_pgns.html";
        QTest::addRow("object dictionary without implementation information")
            << false << false << "";
        QTest::addRow("parameter groups without implementation information") << true << false << "";
    }
    // The whole page as a golden file, and free of errors for an HTML parser: hostile names
    // and duplicate PGN numbers must not break the markup. Without the setting "implinfo" the
    // page lacks the implementation type, variable name and size of each entry: its changes
    // against the page with them are pinned in doc_plain_changes.txt.
    void page()
    {
        QFETCH(bool, j1939);
        QFETCH(bool, implInfo);
        QFETCH(QString, golden);
        const QString full = doctest::versionMasked(generate(j1939, true));
        const QString html = implInfo ? full : doctest::versionMasked(generate(j1939, false));
        const QString diff =
            implInfo
                ? gentest::goldenDiff(doctest::goldenPath(golden), html)
                : gentest::goldenSectionDiff(
                    doctest::goldenPath(QStringLiteral("doc_plain_changes.txt")),
                    gentest::lineChanges(gentest::maskedLines(full), gentest::maskedLines(html)));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (xmllint.isEmpty())
            QSKIP("xmllint is not installed (Debian package libxml2-utils)");
        QProcess parser;
        parser.start(xmllint, {QStringLiteral("--html"), QStringLiteral("--noout"),
                               dir.path() + QStringLiteral("/demo.html")});
        QVERIFY(parser.waitForFinished());
        const QString errors = QString::fromUtf8(parser.readAllStandardError());
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QCOMPARE(parser.exitCode(), 0);
    }
    void stringConvert_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        const char *const rows[][3] = {
            {"umlauts and line feed", "Größe\nx", "Gr&ouml;&szlig;e<br>x"},
            {"all umlauts", "äÄöÖüÜß", "&auml;&Auml;&ouml;&Ouml;&uuml;&Uuml;&szlig;"},
            {"markup", "<script>alert(\"x\")</script>",
             "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"},
            {"entity stays text", "&auml; & &amp;", "&amp;auml; &amp; &amp;amp;"},
            {"comment end", "a-->b", "a--&gt;b"},
            {"outside Latin-1", "°C → €", "&#176;C &#8594; &#8364;"},
            {"outside the basic plane", "\U0001F600", "&#128512;"},
            {"control character", "a\x01\tb\r", "a&#xfffd;\tb\r"},
            {"delete character", "a\x7F", "a&#xfffd;"},
            {"plain ASCII stays as it is", "Sub 0x01\t(rw) ~{}", "Sub 0x01\t(rw) ~{}"},
            {"empty", "", ""},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]);
    }
    void stringConvert()
    {
        QFETCH(QString, text);
        QTEST(HtmlDocumentationGenerator::stringConvert(text), "html");
    }

private:
    QString generate(bool j1939, bool implInfo = false)
    {
        std::unique_ptr<HtmlDocumentationGenerator> generator;
        if (j1939)
            generator.reset(new J1939HTMLGenerator);
        else
            generator.reset(new HTMLGenerator);
        if (!gentest::runGenerator(*generator, db, dir.path(), QStringLiteral("demo"),
                                   j1939 ? 1 : 0, doctest::implInfo(implInfo)))
            return QString();
        return gentest::readText(dir.path() + QStringLiteral("/demo.html"));
    }

    ObjectDataBase db;
    QTemporaryDir dir;
};

NW_TEST_MAIN(TestHtmlDocGenerators)
#include "tst_htmldocgenerators.moc"
