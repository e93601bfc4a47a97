#include "panelkit/widgets/ansichighlighter.h"
#include "panelkit/widgets/fileviewerdialog.h"

#include "nwtest.h"
#include "testenv.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

class TestFileViewerDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
    }

    void showsFileReadOnly()
    {
        const QByteArray content("[FileInfo]\nFileName=device.eds\nDescription=Stra\xC3\x9F"
                                 "e\n");
        const QString path = writeFile(QStringLiteral("device.eds"), content);
        FileViewerDialog viewer(path, nullptr);
        QVERIFY(viewer.isLoaded());
        QCOMPARE(viewer.windowTitle(), QStringLiteral("device.eds"));
        QCOMPARE(viewer.text(), QString::fromUtf8(content));
        auto *view = viewer.findChild<QPlainTextEdit *>();
        QVERIFY(view);
        QVERIFY(view->isReadOnly());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        view->setFocus();
        QTest::keyClicks(view, QStringLiteral("typed"));
        QCOMPARE(viewer.text(), QString::fromUtf8(content));
        QCOMPARE(nwReadFile(path), content);
        writeFile(QStringLiteral("device.eds"), "[FileInfo]\n");
        QVERIFY(viewer.reload());
        QCOMPARE(viewer.text(), QStringLiteral("[FileInfo]\n"));
    }

    void cFilesAreColoured_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("coloured");
        QTest::addRow("source") << "gen_objdict.c" << true;
        QTest::addRow("header") << "gen_define.h" << true;
        QTest::addRow("upper-case suffix") << "GEN_PGN.C" << true;
        QTest::addRow("EDS") << "device.eds" << false;
        QTest::addRow("text") << "changelog.txt" << false;
    }

    void cFilesAreColoured()
    {
        QFETCH(QString, name);
        QFETCH(bool, coloured);
        FileViewerDialog viewer(writeFile(name, "static const int x = 1;\n"), nullptr);
        QCOMPARE(viewer.highlighter() != nullptr, coloured);
        const QTextBlock line = viewer.findChild<QPlainTextEdit *>()->document()->firstBlock();
        QTRY_COMPARE(!line.layout()->formats().isEmpty(), coloured);
    }

    void missingFileExplained()
    {
        const QString path = m_dir.filePath("gen_mp.c");
        FileViewerDialog viewer(path, nullptr);
        QVERIFY(!viewer.isLoaded());
        QVERIFY(viewer.text().isEmpty());
        bool explained = false;
        const auto labels = viewer.findChildren<QLabel *>();
        for (const QLabel *label : labels)
            explained = explained || label->text().contains(path);
        QVERIFY(explained);
        QVERIFY(!QFile::exists(path));
    }

private:
    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        return nwWriteFile(path, content) ? path : QString();
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestFileViewerDialog)
#include "tst_fileviewerdialog.moc"
