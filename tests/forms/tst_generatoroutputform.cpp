#include "forms/generatoroutputform.h"
#include "generators/abstractgenerator.h"
#include "nwtest.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>

// The generator output window: time stamps, copying and going to a named object.
class TestGeneratorOutputForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        const QDateTime time(QDate(2024, 3, 5), QTime(14, 7, 9));
        AbstractGenerator::setFixedDateTime(time);
        stamp = time.toString(Qt::TextDate) + ": ";
    }

    void timeStampedLines()
    {
        GeneratorOutputForm form;
        form.appendLogging(QStringLiteral("first"));
        form.appendLogging(QStringLiteral("\nCheck of model consistency started"));
        form.appendLogging(QStringLiteral("<strong>Error: </strong>bad"), true);
        QCOMPARE(form.getLogging(), stamp + "first\n\n" + stamp
                                        + "Check of model consistency started\n" + stamp
                                        + "Error: bad");
    }

    void plainAndMarkedUpMessages_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("markup");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("bold");
        QTest::addRow("plain include line")
            << "#include <board.h> missing" << false << "#include <board.h> missing" << false;
        QTest::addRow("plain text that looks like HTML")
            << "<strong>x</strong> & <br>" << false << "<strong>x</strong> & <br>" << false;
        QTest::addRow("marked-up finding")
            << "<strong>Error: </strong>bad" << true << "Error: bad" << true;
    }

    // A plain message shows exactly as written, a marked-up one as formatted text; a plain
    // message after a bold one is not bold.
    void plainAndMarkedUpMessages()
    {
        QFETCH(QString, message);
        QFETCH(bool, markup);
        QFETCH(QString, shown);
        GeneratorOutputForm form;
        form.appendLogging(message, markup);
        form.appendLogging(QStringLiteral("after"));
        QCOMPARE(form.getLogging(), stamp + shown + "\n" + stamp + "after");
        QTextCursor cursor(form.browser()->document()->firstBlock());
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, stamp.size() + 1);
        QTEST(cursor.charFormat().fontWeight() == QFont::Bold, "bold");
        cursor = QTextCursor(form.browser()->document()->lastBlock());
        cursor.movePosition(QTextCursor::EndOfBlock);
        QVERIFY(cursor.charFormat().fontWeight() != QFont::Bold);
    }

    void copyWithControl()
    {
        GeneratorOutputForm form;
        form.appendLogging(QStringLiteral("Object 0x1018 is wrong"));
        select(form, QStringLiteral("0x1018"));
        QApplication::clipboard()->clear();
        QTest::keyClick(form.browser(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0x1018"));
        // Other modifiers are the browser's own business.
        QApplication::clipboard()->clear();
        QTest::keyClick(form.browser(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }

    void indexFromSelection_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("index");
        QTest::addRow("0x prefix") << "0x1a00" << true << 0x1A00;
        QTest::addRow("four digits") << "1018" << true << 0x1018;
        QTest::addRow("long text starting with an index") << "2000sub1 value" << true << 0x2000;
        QTest::addRow("five characters") << "10180" << false << 0;
        QTest::addRow("not hexadecimal") << "zzzz" << false << 0;
        QTest::addRow("0x with garbage") << "0x10 is" << false << 0;
        QTest::addRow("empty") << "" << false << 0;
    }

    void indexFromSelection()
    {
        QFETCH(QString, selection);
        QFETCH(bool, ok);
        quint16 value = 0;
        QCOMPARE(GeneratorOutputForm::indexFromSelection(selection, value), ok);
        if (ok)
            QTEST(int(value), "index");
    }

    void gotoAction()
    {
        GeneratorOutputForm form;
        form.appendLogging(QStringLiteral("Error: Object 0x1A00 mapped twice"));
        select(form, QStringLiteral("0x1A00"));
        QScopedPointer<QMenu> menu(form.buildContextMenu(QPoint(1, 1)));
        QAction *go = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text() == QLatin1String("Go to object 0x1a00"))
                go = action;
        }
        QVERIFY(go);
        QSignalSpy spy(&form, &GeneratorOutputForm::gotoObject);
        go->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<quint16>(), quint16(0x1A00));
        select(form, QStringLiteral("mapped"));
        QScopedPointer<QMenu> plain(form.buildContextMenu(QPoint(1, 1)));
        for (QAction *action : plain->actions())
            QVERIFY(!action->text().startsWith(QLatin1String("Go to object")));
    }

private:
    static void select(GeneratorOutputForm &form, const QString &text)
    {
        QTextBrowser *browser = form.browser();
        QTextCursor cursor = browser->document()->find(text);
        QVERIFY(!cursor.isNull());
        browser->setTextCursor(cursor);
    }

    QString stamp;
};

NW_TEST_MAIN(TestGeneratorOutputForm)
#include "tst_generatoroutputform.moc"
