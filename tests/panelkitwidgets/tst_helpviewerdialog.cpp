#include "panelkit/widgets/helpviewerdialog.h"

#include "nwtest.h"
#include "testenv.h"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>

class TestHelpViewerDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadsFileAndTitle();
    void jumpsToTopic();
    void topicBeforeFile();
    void missingFile();

private:
    QString m_manual;
    QTemporaryDir m_dir;
};

void TestHelpViewerDialog::initTestCase()
{
    nwIsolateTestEnvironment();
    QVERIFY(m_dir.isValid());
    // A long page, so that the topic at its end lies far below the first screen.
    QByteArray html("<html><body><h1 id=\"top\">Manual</h1>\n");
    for (int i = 0; i < 300; ++i)
        html += "<p>Paragraph " + QByteArray::number(i) + " of the introduction.</p>\n";
    html += "<h2><a name=\"generation\"></a>Generating files</h2><p>Press F9.</p>\n"
            "</body></html>\n";
    m_manual = m_dir.filePath(QStringLiteral("manual_01006_en.html"));
    QFile file(m_manual);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(html);
}

void TestHelpViewerDialog::loadsFileAndTitle()
{
    HelpViewerDialog viewer;
    viewer.setTitle(QStringLiteral("CANopen Nodewright"));
    QVERIFY(viewer.setFile(m_manual));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("CANopen Nodewright"));
    QCOMPARE(viewer.file(), m_manual);
    QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("Paragraph 299")));
    QVERIFY(viewer.browser()->isReadOnly());
}

void TestHelpViewerDialog::jumpsToTopic()
{
    HelpViewerDialog viewer;
    viewer.resize(500, 300);
    QVERIFY(viewer.setFile(m_manual));
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QScrollBar *bar = viewer.browser()->verticalScrollBar();
    QCOMPARE(bar->value(), 0);

    viewer.setTopic(QStringLiteral("generation"));
    QCOMPARE(viewer.topic(), QStringLiteral("generation"));
    QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("generation"));
    QTRY_VERIFY(bar->value() > bar->maximum() / 2);

    viewer.setTopic(QString());
    QTRY_COMPARE(bar->value(), 0);
}

void TestHelpViewerDialog::topicBeforeFile()
{
    HelpViewerDialog viewer;
    viewer.resize(500, 300);
    viewer.setTopic(QStringLiteral("generation"));
    QVERIFY(viewer.setFile(m_manual));
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("generation"));
    QTRY_VERIFY(viewer.browser()->verticalScrollBar()->value() > 0);
}

void TestHelpViewerDialog::missingFile()
{
    HelpViewerDialog viewer;
    const QString missing = m_dir.filePath(QStringLiteral("manual_01006_de.html"));
    QVERIFY(!viewer.setFile(missing));
    QVERIFY(viewer.browser()->toPlainText().contains(missing));
}

NW_TEST_MAIN(TestHelpViewerDialog)
#include "tst_helpviewerdialog.moc"
