#include "description/htmlgenerator.h"
#include "description/j1939htmlgenerator.h"
#include "description/j1939textdocgenerator.h"
#include "description/textdocgenerator.h"
#include "nwtest.h"
#include "tst_docgenerators_fixture.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

using Factory = std::function<DocumentationGenerator *()>;
Q_DECLARE_METATYPE(Factory)

// The text documentation of the object dictionary and of the J1939 parameter groups, and
// the file names all four documentation writers use.
class TestTextDocGenerators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        doctest::buildProject(db);
    }
    void document_data()
    {
        QTest::addColumn<Factory>("create");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("golden");
        QTest::addRow("object dictionary")
            << Factory([] { return new TextDocGenerator; }) << 0 << "doc_objects.txt";
        QTest::addRow("parameter groups")
            << Factory([] { return new J1939TextDocGenerator; }) << 1 << "doc_pgns.txt";
    }
    // The whole file as a golden file: sub-index 0x1a written as "0x1a", PGN 0x1FEF1 as
    // "0x1fef1/130801", a one-character PGN description left out, texts as stored.
    void document()
    {
        QFETCH(Factory, create);
        QFETCH(int, line);
        QFETCH(QString, golden);
        QTemporaryDir dir;
        std::unique_ptr<DocumentationGenerator> generator(create());
        QVERIFY(gentest::runGenerator(*generator, db, dir.path(), QStringLiteral("demo"),
                                      quint8(line)));
        const QString text = gentest::readText(dir.path() + QStringLiteral("/demo_doc.txt"));
        const QString diff =
            gentest::goldenDiff(doctest::goldenPath(golden), doctest::versionMasked(text));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
    void fileNames_data()
    {
        QTest::addColumn<Factory>("create");
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("objectName");
        const struct
        {
            const char *name;
            Factory create;
            const char *single, *perLine, *objectName;
        } writers[] = {
            {"text", [] { return new TextDocGenerator; }, "demo_doc.txt", "demo_1.txt",
             "textual documenation"},
            {"HTML", [] { return new HTMLGenerator; }, "demo.html", "demo_1.html",
             "HTML documentation"},
            {"J1939 text", [] { return new J1939TextDocGenerator; }, "demo_doc.txt", "demo_1.txt",
             "j1939 textual documenation"},
            {"J1939 HTML", [] { return new J1939HTMLGenerator; }, "demo.html", "demo_1.html",
             "HTML documentation"},
        };
        for (const auto &writer : writers) {
            for (bool multiLine : {false, true})
                QTest::addRow("%s, %s", writer.name, multiLine ? "per line" : "one line")
                    << writer.create << multiLine << (multiLine ? writer.perLine : writer.single)
                    << writer.objectName;
        }
    }
    // Each writer writes exactly the file its name says, under the object name the run reports.
    void fileNames()
    {
        QFETCH(Factory, create);
        QFETCH(bool, multiLine);
        QFETCH(QString, fileName);
        QFETCH(QString, objectName);
        QTemporaryDir dir;
        std::unique_ptr<DocumentationGenerator> generator(create());
        generator->setMultiLine(multiLine);
        QVERIFY(gentest::runGenerator(*generator, db, dir.path(), QStringLiteral("demo"), 1));
        QVERIFY(generator->isFileWritten());
        QCOMPARE(generator->documentFileName(), fileName);
        QCOMPARE(generator->objectName(), objectName);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{fileName});
    }

private:
    ObjectDataBase db;
};

NW_TEST_MAIN(TestTextDocGenerators)
#include "tst_textdocgenerators.moc"
