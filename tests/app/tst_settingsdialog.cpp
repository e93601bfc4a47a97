#include "testenv.h"

#include "app/settingsdialog.h"
#include "nwtest.h"
#include "panelkit/appidentity.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

const char *const generalFlags[] = {"loadlastproject", "implinfo", "focusmask", "clearlogging",
                                    "warnbeforedeleting"};
const char *const generalBooleans[] = {
    "metadata",  "disablecheck",          "postgenerationinproject",
    "ignorecbw", "disableautocorrection", "alwaysml"};

QMap<QString, QVariant> storeContents()
{
    QSettings settings;
    QMap<QString, QVariant> contents;
    for (const QString &key : settings.allKeys())
        contents.insert(key, settings.value(key));
    return contents;
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        AppIdentity::apply("nodewright");
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void init() { QSettings().clear(); }

    void emptyStoreShowsDefaults()
    {
        SettingsDialog dialog(nullptr, false);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Settings - CANopen Nodewright"));
        const auto *tabs = child<QTabWidget>(&dialog, "tabWidget");
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
                 (QStringList{"General", "EDS Checker", "Advanced"}));
        QCOMPARE(tabs->count(), 3);
        const QList<QCheckBox *> boxes = checkBoxes(&dialog);
        QCOMPARE(boxes.size(), 12);
        for (const QCheckBox *box : boxes)
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>())
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        QCOMPARE(child<QComboBox>(&dialog, "cbLineEnding")->currentText(),
                 QStringLiteral("native (current OS)"));
    }

    void okWritesEveryKey()
    {
        QPointer<SettingsDialog> dialog = new SettingsDialog(nullptr, false);
        for (QCheckBox *box : checkBoxes(dialog))
            box->setChecked(true);
        child<QLineEdit>(dialog, "edtStackPath")->setText("/opt/stack");
        child<QLineEdit>(dialog, "edtPostGenCmd")->setText("make");
        child<QLineEdit>(dialog, "edtPostGenArgs")->setText("-C %D");
        child<QLineEdit>(dialog, "edtEdsCheckerPath")->setText("/opt/checker.exe");
        child<QComboBox>(dialog, "cbLineEnding")->setCurrentIndex(2);
        press(dialog, QDialogButtonBox::Ok);
        QTRY_VERIFY(dialog.isNull());
        QMap<QString, QString> expected{{"General/costackpath", "/opt/stack"},
                                        {"General/postgenerationcommand", "make"},
                                        {"General/postgenerationcommandarguments", "-C %D"},
                                        {"General/line_ending_index", "2"},
                                        {"EDSChecker/EDSCheckerPath", "/opt/checker.exe"},
                                        {"EDSChecker/checkeds", "true"}};
        for (const char *key : generalFlags)
            expected.insert(QStringLiteral("General/") + QLatin1String(key), "1");
        for (const char *key : generalBooleans)
            expected.insert(QStringLiteral("General/") + QLatin1String(key), "true");
        QMap<QString, QString> stored;
        for (const QString &key : QSettings().allKeys())
            stored.insert(key, QSettings().value(key).toString());
        QCOMPARE(stored, expected);
        // What was written is shown again; unchecked boxes are written too: flags as 0,
        // booleans as false.
        dialog = new SettingsDialog(nullptr, false);
        for (QCheckBox *box : checkBoxes(dialog)) {
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
            box->setChecked(false);
        }
        QCOMPARE(child<QLineEdit>(dialog, "edtPostGenArgs")->text(), QStringLiteral("-C %D"));
        QCOMPARE(child<QLineEdit>(dialog, "edtEdsCheckerPath")->text(),
                 QStringLiteral("/opt/checker.exe"));
        QCOMPARE(child<QComboBox>(dialog, "cbLineEnding")->currentIndex(), 2);
        press(dialog, QDialogButtonBox::Ok);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(QSettings().value("General/implinfo").toString(), QStringLiteral("0"));
        QCOMPARE(QSettings().value("General/alwaysml").toString(), QStringLiteral("false"));
    }

    void cancelLeavesTheStore()
    {
        QSettings().setValue("General/metadata", true);
        const QMap<QString, QVariant> before = storeContents();
        QPointer<SettingsDialog> dialog = new SettingsDialog(nullptr, false);
        for (QCheckBox *box : checkBoxes(dialog))
            box->setChecked(!box->isChecked());
        child<QLineEdit>(dialog, "edtStackPath")->setText("/elsewhere");
        press(dialog, QDialogButtonBox::Cancel);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(storeContents(), before);
    }

    void networkToolDisablesOptions()
    {
        SettingsDialog normal(nullptr, false);
        for (const QCheckBox *box : checkBoxes(&normal))
            QVERIFY(box->isEnabled());
        SettingsDialog controlled(nullptr, true);
        QVERIFY(!child<QCheckBox>(&controlled, "chLoadLastProject")->isEnabled());
        QVERIFY(!child<QCheckBox>(&controlled, "chPostGenInProject")->isEnabled());
        QVERIFY(child<QCheckBox>(&controlled, "chIgnoreCbw")->isEnabled());
    }

private:
    template <typename T>
    static T *child(QWidget *dialog, const char *name)
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("missing widget %s", name);
        return widget;
    }
    static QList<QCheckBox *> checkBoxes(QWidget *dialog)
    {
        return dialog->findChildren<QCheckBox *>();
    }
    static void press(QWidget *dialog, QDialogButtonBox::StandardButton which)
    {
        child<QDialogButtonBox>(dialog, "buttonBox")->button(which)->click();
    }

    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
