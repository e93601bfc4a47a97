#include "panelkit/versionreader.h"

#include "nwtest.h"
#include "testenv.h"

#include <QTemporaryDir>

class TestVersionReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }
    void readsVersions_data();
    void readsVersions();
    void unreadableFiles_data();
    void unreadableFiles();

private:
    QString writeFile(const QByteArray &content);
    QTemporaryDir m_dir;
    int m_count = 0;
};

QString TestVersionReader::writeFile(const QByteArray &content)
{
    const QString path =
        m_dir.filePath(QStringLiteral("costack_featureinfo_%1.xml").arg(++m_count));
    return nwWriteFile(path, content) ? path : QString();
}

void TestVersionReader::readsVersions_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("required");
    QTest::addColumn<QString>("stack");
    QTest::addRow("both at top level")
        << QByteArray("<featureinfo><required_tool_version>3.4</required_tool_version>"
                      "<stack_version>6.4.2</stack_version></featureinfo>")
        << "3.4"
        << "6.4.2";
    QTest::addRow("nested and padded")
        << QByteArray("<?xml version=\"1.0\"?><delivery><versions>\n"
                      "  <required_tool_version>\n 2.4 \n</required_tool_version>\n"
                      "</versions><sdo_server>4</sdo_server></delivery>")
        << "2.4"
        << "";
    QTest::addRow("first element wins")
        << QByteArray("<f><required_tool_version>0.0</required_tool_version>"
                      "<required_tool_version>9.9</required_tool_version></f>")
        << "0.0"
        << "";
    QTest::addRow("no version elements") << QByteArray("<f><sdo_server>2</sdo_server></f>") << ""
                                         << "";
}

void TestVersionReader::readsVersions()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, required);
    QFETCH(QString, stack);
    VersionReader reader(nullptr);
    const QString path = writeFile(xml);
    QVERIFY(reader.setFeatureFile(path));
    QCOMPARE(reader.featureFile(), path);
    QVERIFY(reader.errorString().isEmpty());
    QCOMPARE(reader.getReqiuredToolVersion(), required);
    QCOMPARE(reader.getCurrentVersion(), stack);
}

void TestVersionReader::unreadableFiles_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("xml");
    QTest::addRow("missing file") << false << QByteArray();
    QTest::addRow("not XML") << true << QByteArray("required_tool_version=3.4");
    QTest::addRow("unclosed element")
        << true << QByteArray("<f><required_tool_version>3.4</required_tool_version>");
}

void TestVersionReader::unreadableFiles()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, xml);
    VersionReader reader;
    QVERIFY(reader.setFeatureFile(
        writeFile("<f><required_tool_version>1.0</required_tool_version></f>")));
    const QString path = exists ? writeFile(xml) : m_dir.filePath(QStringLiteral("none.xml"));
    QVERIFY(!reader.setFeatureFile(path));
    QVERIFY(!reader.errorString().isEmpty());
    QVERIFY(reader.errorString().contains(path));
    QVERIFY(reader.getReqiuredToolVersion().isEmpty());
    QVERIFY(reader.getCurrentVersion().isEmpty());
}

NW_TEST_MAIN(TestVersionReader)
#include "tst_versionreader.moc"
