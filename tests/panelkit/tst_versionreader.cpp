#include "nwtest.h"
#include "panelkit/versionreader.h"
#include "testenv.h"

#include <QTemporaryDir>

class TestVersionReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void readsVersions_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("stack");
        const auto row = [](const char *name, const char *xml, const char *required,
                            const char *stack) {
            QTest::newRow(name) << QByteArray(xml) << QString(required) << QString(stack);
        };
        row("both at top level",
            "<featureinfo><required_tool_version>3.4</required_tool_version>"
            "<stack_version>6.4.2</stack_version></featureinfo>",
            "3.4", "6.4.2");
        row("nested and padded",
            "<?xml version=\"1.0\"?><delivery><versions>\n"
            "  <required_tool_version>\n 2.4 \n</required_tool_version>\n"
            "</versions><sdo_server>4</sdo_server></delivery>",
            "2.4", "");
        row("first element wins",
            "<f><required_tool_version>0.0</required_tool_version>"
            "<required_tool_version>9.9</required_tool_version></f>",
            "0.0", "");
        row("no version elements", "<f><sdo_server>2</sdo_server></f>", "", "");
    }
    void readsVersions()
    {
        QFETCH(QByteArray, xml);
        VersionReader reader(nullptr);
        const QString path = writeFile(xml);
        QVERIFY(reader.setFeatureFile(path));
        QCOMPARE(reader.featureFile(), path);
        QVERIFY(reader.errorString().isEmpty());
        QTEST(reader.getReqiuredToolVersion(), "required");
        QTEST(reader.getCurrentVersion(), "stack");
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("xml");
        QTest::addRow("missing file") << false << QByteArray();
        QTest::addRow("not XML") << true << QByteArray("required_tool_version=3.4");
        QTest::addRow("unclosed element")
            << true << QByteArray("<f><required_tool_version>3.4</required_tool_version>");
    }
    void unreadableFiles()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, xml);
        VersionReader reader;
        QVERIFY(reader.setFeatureFile(
            writeFile("<f><required_tool_version>1.0</required_tool_version></f>")));
        const QString path = exists ? writeFile(xml) : m_dir.filePath(QStringLiteral("none.xml"));
        QVERIFY(!reader.setFeatureFile(path));
        QVERIFY(reader.errorString().contains(path));
        QVERIFY(reader.getReqiuredToolVersion().isEmpty());
        QVERIFY(reader.getCurrentVersion().isEmpty());
    }

private:
    QString writeFile(const QByteArray &content)
    {
        const QString path =
            m_dir.filePath(QStringLiteral("costack_featureinfo_%1.xml").arg(++m_count));
        return nwWriteFile(path, content) ? path : QString();
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

NW_TEST_MAIN(TestVersionReader)
#include "tst_versionreader.moc"
