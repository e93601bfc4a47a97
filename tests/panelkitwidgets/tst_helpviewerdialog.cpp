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
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
        // A long page, so that the topic at its end lies far below the first screen.
        QByteArray html("<html><body><h1 id=\"top\">Manual</h1>\n");
        for (int i = 0; i < 300; ++i)
            html += "<p>Paragraph " + QByteArray::number(i) + " of the introduction.</p>\n";
        html += "<h2><a name=\"generation\"></a>Generating files</h2><p>Press F9.</p>\n"
                "</body></html>\n";
        m_manual = m_dir.filePath("manual_01006_en.html");
        QVERIFY(nwWriteFile(m_manual, html));
    }

    void jumpsToTopic_data()
    {
        QTest::addColumn<bool>("topicFirst");
        QTest::addRow("file, then topic") << false;
        QTest::addRow("topic before the file") << true;
    }

    void jumpsToTopic()
    {
        QFETCH(bool, topicFirst);
        HelpViewerDialog viewer;
        viewer.resize(500, 300);
        viewer.setTitle("CANopen Nodewright");
        if (topicFirst)
            viewer.setTopic("generation");
        QVERIFY(viewer.setFile(m_manual));
        QCOMPARE(viewer.windowTitle(), QStringLiteral("CANopen Nodewright"));
        QVERIFY(viewer.browser()->isReadOnly());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QScrollBar *bar = viewer.browser()->verticalScrollBar();
        if (!topicFirst) {
            QCOMPARE(bar->value(), 0);
            viewer.setTopic("generation");
        }
        QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("generation"));
        QTRY_VERIFY(bar->value() > bar->maximum() / 2);
        viewer.setTopic(QString());
        QTRY_COMPARE(bar->value(), 0);
    }

    void missingFile()
    {
        HelpViewerDialog viewer;
        const QString missing = m_dir.filePath("manual_01006_de.html");
        QVERIFY(!viewer.setFile(missing));
        QVERIFY(viewer.browser()->toPlainText().contains(missing));
    }

private:
    QString m_manual;
    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestHelpViewerDialog)
#include "tst_helpviewerdialog.moc"
