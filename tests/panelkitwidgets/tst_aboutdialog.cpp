#include "panelkit/appidentity.h"
#include "panelkit/widgets/aboutdialog.h"

#include "nwtest.h"
#include "testenv.h"

#include <QLabel>

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        AppIdentity::apply("j1939-nodewright");
    }

    void showsIdentity()
    {
        AboutDialog about;
        QCOMPARE(about.applicationName(), QStringLiteral("J1939 Nodewright"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About J1939 Nodewright"));
        const QString text = allLabelText(about);
        QVERIFY2(text.contains("J1939 Nodewright"), qPrintable(text));
        QVERIFY2(text.contains("Version 3.4.1"), qPrintable(text));
        QVERIFY2(text.contains("tenvor"), qPrintable(text));
        // A name set later is shown as text, not as markup.
        about.setApplicationName("A & B <tool>");
        QVERIFY(allLabelText(about).contains("A &amp; B &lt;tool&gt;"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About A & B <tool>"));
    }

private:
    static QString allLabelText(const QWidget &widget)
    {
        QStringList texts;
        const auto labels = widget.findChildren<QLabel *>();
        for (const QLabel *label : labels)
            texts << label->text();
        return texts.join(QLatin1Char('\n'));
    }
};

NW_TEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
