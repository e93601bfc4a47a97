#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/devicedescriptionform.h"
#include "forms/selectsubindexdialog.h"
#include "forms/subselectdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace dictionaryfixture;

// The device description page, and the two small dialogs of the tree's sub-index actions.
class TestDeviceDescriptionForm : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }

    void init()
    {
        startProject();
        buildLine(*db, 3);
        form = std::make_unique<DeviceDescriptionForm>();
        form->setProjectDatabase(db.get());
    }

    void cleanup()
    {
        form.reset();
        endProject();
    }

    void settingsOfTheCurrentLine_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("value");
        const auto row = [](const char *name, const QString &key, const QString &typed,
                            const QString &value) { QTest::newRow(name) << key << typed << value; };
        row("vendor name", "VendorName", "  O'Neil & Sons 100% ", "O'Neil & Sons 100%");
        row("file version", "FileVersion", "007", "7");
        row("granularity", "Granularity", "8", "8");
        row("receive PDOs cleared", "NrOfRXPDO", "", "");
        row("bit rate", "BaudRate_250", "1", "1");
        row("self starting", "SelfStarting", "1", "1");
        row("dummy usage", "Dummy0007", "1", "1");
    }

    void settingsOfTheCurrentLine()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, value);
        db->setDescriptionSettingsLine(3);
        db->setDescriptionSettingsValue("NrOfRXPDO", QStringLiteral("4"));
        form->lineHandle(3);
        if (QLineEdit *edit = form->textField(key)) {
            edit->setText(typed);
            emit edit->editingFinished();
        } else {
            form->flagField(key)->click();
        }
        QCOMPARE(stored(3, key), value);
        QVERIFY(!db->getDescriptionSettingsKeys().contains(key));
        QVERIFY(db->getDescriptionSettingsKeys().contains(key + "_3") || value.isEmpty());
        QCOMPARE(stored(0, key), QString());
        QVERIFY(prompts->refusals.isEmpty());
    }

    void refusedSettingKeepsTheStoredValue()
    {
        db->setDescriptionSettingsValue("FileVersion", QStringLiteral("2"));
        form->lineHandle(0);
        QLineEdit *edit = form->textField("FileVersion");
        QCOMPARE(edit->text(), QStringLiteral("2"));
        edit->setText("300");
        emit edit->editingFinished();
        QCOMPARE(
            prompts->refusals,
            QStringList{"FileVersion takes a whole number from 0 to 255; \"300\" is not one."});
        QCOMPARE(stored(0, QStringLiteral("FileVersion")), QStringLiteral("2"));
        QCOMPARE(edit->text(), QStringLiteral("2"));
        // A comment keeps its lines; it is stored when the page saves.
        form->commentField()->setPlainText("first\n\nthird");
        form->saveData();
        QCOMPARE(stored(0, QStringLiteral("Comment")), QStringLiteral("first\n\nthird"));
    }

    void identityEntries()
    {
        form->lineHandle(0);
        QCOMPARE(form->identityField(1)->text(), QStringLiteral("0x0000abcd"));
        QVERIFY(!form->identityField(2)->isEnabled());
        form->identityField(1)->setText("0x1FFFFFFFF");
        emit form->identityField(1)->editingFinished();
        QCOMPARE(
            prompts->refusals.value(0),
            QStringLiteral("0x1FFFFFFFF lies outside the range of UNSIGNED32 (0 to 4294967295)."));
        QCOMPARE(defaultValue(*db, 0, 0x1018, 1), QStringLiteral("0x0000abcd"));
        form->identityField(1)->setText("0x12345678");
        emit form->identityField(1)->editingFinished();
        QCOMPARE(defaultValue(*db, 0, 0x1018, 1), QStringLiteral("0x12345678"));
        QCOMPARE(defaultValue(*db, 3, 0x1018, 1), QStringLiteral("0x0000abcd"));
    }

    void pageFollowsChangesFromElsewhere()
    {
        form->lineHandle(3);
        db->setDescriptionSettingsLine(3);
        db->setDescriptionSettingsValue("ProductName", QStringLiteral("Drive 3"));
        db->setDescriptionSettingsValue("LSS_Supported", QStringLiteral("1"));
        QCOMPARE(form->textField("ProductName")->text(), QStringLiteral("Drive 3"));
        QVERIFY(form->flagField("LSS_Supported")->isChecked());
        db->setSubIndexValue(3, 0x1018, 1, QStringLiteral("0x77"));
        Sub vendor;
        db->getSubIndexData(3, 0x1018, 1, vendor);
        db->addSubIndex(3, 0x1018, 1, vendor);
        QCOMPARE(form->identityField(1)->text(), QStringLiteral("0x77"));
        form->lineHandle(0);
        QCOMPARE(form->textField("ProductName")->text(), QString());
    }

    void selectSubindexDialog()
    {
        SelectSubindexDialog dialog;
        dialog.fillSubs({3, 7, 200});
        QCOMPARE(dialog.subsBox()->itemText(2), QStringLiteral("200"));
        dialog.subsBox()->setCurrentIndex(1);
        dialog.reject();
        QCOMPARE(dialog.getSubValue(), quint8(0xFF));
        dialog.accept();
        QCOMPARE(dialog.getSubValue(), quint8(7));
    }

    void subSelectDialogOffersMatchingTargets()
    {
        addArray(*db, 0, 0x2010, 2, QStringLiteral("Other"));
        Index wide;
        db->getIndexData(0, 0x2010, wide);
        wide.datatype = 7;
        db->addIndex(0, 0x2010, wide);
        SubSelectDialog dialog(db.get(), 0x2000);
        dialog.setSource(0, 2);
        QStringList lines;
        for (int i = 0; i < dialog.lineBox()->count(); ++i)
            lines.append(dialog.lineBox()->itemText(i));
        QCOMPARE(lines, (QStringList{"0", "3"}));
        QStringList indices;
        for (int i = 0; i < dialog.indexBox()->count(); ++i)
            indices.append(dialog.indexBox()->itemText(i));
        // The UNSIGNED32 array does not take an UNSIGNED8 entry; records take any.
        QCOMPARE(indices, (QStringList{"0x2000 Channels", "0x2200 Settings"}));
        QCOMPARE(dialog.subBox()->itemText(0), QStringLiteral("1 Channel 1"));
        QCOMPARE(dialog.subBox()->itemText(4), QStringLiteral("5 free sub"));
        // The first free number is proposed, so accepting at once overwrites nothing.
        QCOMPARE(dialog.getSub(), quint8(5));
        QCOMPARE(dialog.hintLabel()->text(), QString());
        dialog.subBox()->setCurrentIndex(0);
        QCOMPARE(dialog.hintLabel()->text(), QStringLiteral("SubIndex will be overwritten"));
        dialog.lineBox()->setCurrentIndex(1);
        QCOMPARE(dialog.getLine(), quint8(3));
        QCOMPARE(dialog.getIndex(), quint16(0x2000));
    }

private:
    QString stored(quint8 line, const QString &key)
    {
        db->setDescriptionSettingsLine(line);
        return db->getDescriptionSettingsValue(key);
    }

    std::unique_ptr<DeviceDescriptionForm> form;
};

NW_TEST_MAIN(TestDeviceDescriptionForm)
#include "tst_devicedescriptionform.moc"
