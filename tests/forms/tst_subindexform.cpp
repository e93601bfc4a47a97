#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/subindexform.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace dictionaryfixture;
using Field = EntryField::Field;

Q_DECLARE_METATYPE(EntryField::Field)

class TestSubIndexForm : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwtest::initApplication();
        isolateSettings();
    }

    void init()
    {
        QSettings().clear();
        startProject();
    }

    void cleanup()
    {
        form.reset();
        endProject();
    }

    void typedValues_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, int index, int sub, Field field, const char *typed,
                            const QString &refusal, const char *shown) {
            QTest::newRow(name) << index << sub << field << QString(typed) << refusal
                                << QString(shown);
        };
        const QString none;
        row("default fits", 0x2000, 1, EntryField::DefaultValue, "0xff", none, "0xff");
        row("default outside the type", 0x2000, 1, EntryField::DefaultValue, "300",
            "300 lies outside the range of UNSIGNED8 (0 to 255).", "1");
        row("default outside the limits", 0x2200, 2, EntryField::DefaultValue, "9",
            "The default value 9 lies outside the limits (-5 to 5).", "1.5");
        row("real lower limit rounded", 0x2200, 2, EntryField::LowLimit, "1.6", none, "2");
        row("lower limit above upper", 0x2200, 2, EntryField::LowLimit, "6",
            "The lower limit must not lie above the upper limit (6 to 5).", "-5");
        row("limit no number", 0x2200, 2, EntryField::HighLimit, "five",
            "\"five\" is not a number. Type a decimal number or a hexadecimal one starting with "
            "0x.",
            "5");
        row("empty name", 0x2000, 1, EntryField::Name, "  ", "A name cannot be empty.",
            "Channel 1");
        row("size below the default", 0x2200, 1, EntryField::Size, "2",
            "A size of 2 bytes cannot hold the default value, which takes 4 bytes.", "4");
        row("variable name with a blank", 0x2200, 2, EntryField::VariableName, "gain one",
            "A variable name cannot contain blanks.", "gain1");
        row("string default grows the size", 0x2200, 1, EntryField::DefaultValue, "kilometres",
            none, "kilometres");
    }

    // A refused value is explained, the store keeps the old one and the table shows it again;
    // nothing else in the line changes in either case.
    void typedValues()
    {
        QFETCH(int, index);
        QFETCH(int, sub);
        QFETCH(Field, field);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QFETCH(QString, shown);
        Sub gain = stored(*db, 0x2200, 2);
        gain.limitineds = true;
        gain.lowlimit = -5;
        gain.uplimit = 5;
        db->addSubIndex(0, 0x2200, 2, gain);
        Sub unit = stored(*db, 0x2200, 1);
        unit.size = 4;
        db->addSubIndex(0, 0x2200, 1, unit);
        const Sub before = stored(*db, quint16(index), quint8(sub));
        const quint32 key = quint32(index) << 8 | quint32(sub);
        QMap<quint32, Sub> others = snapshot(*db, 0);
        others.remove(key);
        open(quint16(index), quint8(sub));
        type(field, typed);
        QCOMPARE(prompts->refusals.value(0), refusal);
        QCOMPARE(form->attributes()->item(form->rowOf(field), 0)->text(), shown);
        const Sub after = stored(*db, quint16(index), quint8(sub));
        QCOMPARE(EntryField::text(after, field), shown);
        if (!refusal.isEmpty())
            QCOMPARE(after, before);
        if (field == EntryField::DefaultValue && index == 0x2200 && sub == 1)
            QCOMPARE(after.size, quint32(10));
        QMap<quint32, Sub> now = snapshot(*db, 0);
        now.remove(key);
        QCOMPARE(now, others);
    }

    void dataTypeFromTheListFollowsIntoTheMapping()
    {
        open(0x2000, 2);
        choose(EntryField::DataType, QStringLiteral("UNSIGNED16"));
        QCOMPARE(stored(*db, 0x2000, 2).datatype, quint16(6));
        QCOMPARE(stored(*db, 0x2000, 2).uplimit, qint64(65535));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000210"));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 2), QStringLiteral("0x21000010"));
        QCOMPARE(stored(*db, 0x2000, 3).datatype, quint16(5));
        // A type the default does not fit is refused and the list shows the stored type.
        Sub channel = stored(*db, 0x2000, 2);
        channel.defaultvalue = QStringLiteral("-3");
        channel.datatype = 3;
        db->addSubIndex(0, 0x2000, 2, channel);
        open(0x2000, 2);
        choose(EntryField::DataType, QStringLiteral("UNSIGNED32"));
        QCOMPARE(prompts->refusals.value(0),
                 QStringLiteral("The default value does not fit the new data type. -3 lies outside "
                                "the range of UNSIGNED32 (0 to 4294967295)."));
        QCOMPARE(form->comboOf(EntryField::DataType)->currentText(), QStringLiteral("INTEGER16"));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000210"));
    }

    void rulesOfTheRows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<Field>("field");
        QTest::addColumn<bool>("editable");
        const auto row = [](const char *name, int index, int sub, Field field, bool editable) {
            QTest::newRow(name) << index << sub << field << editable;
        };
        row("access of an array entry", 0x2000, 1, EntryField::AccessType, false);
        row("access of a VAR", 0x2100, 0, EntryField::AccessType, false);
        row("access of sub-index 0 of a record", 0x2200, 0, EntryField::AccessType, false);
        row("access of a record entry", 0x2200, 2, EntryField::AccessType, true);
        row("access below 0x2000", 0x1018, 1, EntryField::AccessType, false);
        row("limits without limit check", 0x2000, 1, EntryField::LowLimit, false);
        row("limit check of a string", 0x2200, 1, EntryField::LimitCheck, false);
        row("size of a string", 0x2200, 1, EntryField::Size, true);
        row("size of a number", 0x2000, 1, EntryField::Size, false);
        row("variable of a managed entry", 0x2000, 1, EntryField::VariableName, false);
        row("variable of an application entry", 0x2200, 2, EntryField::VariableName, true);
        row("sharing of a manufacturer entry", 0x2000, 1, EntryField::SharedLines, true);
        row("sharing of 0x1018", 0x1018, 1, EntryField::SharedLines, false);
    }

    void rulesOfTheRows()
    {
        QFETCH(int, index);
        QFETCH(int, sub);
        QFETCH(Field, field);
        open(quint16(index), quint8(sub));
        QTEST(rowEditable(field), "editable");
    }

    void stackEntriesAndReadOnlyObjects()
    {
        addVar(*db, 0, 0x1001, QStringLiteral("Error register"), 5, QStringLiteral("0"));
        open(0x1001, 0);
        QVERIFY(!form->findChild<QLabel *>(QStringLiteral("lblStackManaged"))->isHidden());
        QVERIFY(!rowEditable(EntryField::DefaultValue));
        QVERIFY(!rowEditable(EntryField::DataType));
        open(0x1018, 1, false);
        QVERIFY(form->findChild<QLabel *>(QStringLiteral("lblStackManaged"))->isHidden());
        for (Field field : {EntryField::Name, EntryField::DataType, EntryField::DefaultValue,
                            EntryField::PdoMapping, EntryField::Implementation})
            QVERIFY(!rowEditable(field));
        QVERIFY(form->findChild<QPlainTextEdit *>(QStringLiteral("teDescription"))->isReadOnly());
        // An entry of the network tool stays as it set it, unless the user lifted that.
        Sub managed = stored(*db, 0x2000, 1);
        managed.managedbycbw = true;
        db->addSubIndex(0, 0x2000, 1, managed);
        open(0x2000, 1);
        QVERIFY(!rowEditable(EntryField::DefaultValue));
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("lblStackManaged"))->text(),
                 QStringLiteral("Not editable - managed by CANopen Buswright"));
        QSettings().setValue("General/ignorecbw", true);
        open(0x2000, 1);
        QVERIFY(rowEditable(EntryField::DefaultValue));
        // Switching limit check on opens the limit cells.
        open(0x2000, 1);
        choose(EntryField::LimitCheck, QStringLiteral("yes"));
        QVERIFY(stored(*db, 0x2000, 1).limitineds);
        QVERIFY(rowEditable(EntryField::LowLimit));
        choose(EntryField::Implementation, QStringLiteral("Variable"));
        QVERIFY(rowEditable(EntryField::VariableName));
    }

    void hexDecConversion()
    {
        open(0x2100, 0);
        form->convertHexDec();
        QCOMPARE(defaultValue(*db, 0, 0x2100, 0), QStringLiteral("0x64"));
        form->convertHexDec();
        QCOMPARE(defaultValue(*db, 0, 0x2100, 0), QStringLiteral("100"));
        open(0x1A00, 1);
        form->convertHexDec();
        QCOMPARE(prompts->titles.value(0),
                 QStringLiteral("Conversion from hex to dec or vice versa"));
        QCOMPARE(prompts->refusals.value(0),
                 QStringLiteral("Conversion cannot be used for indices with index masks."));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000208"));
    }

    void contextActionsAndReset()
    {
        Sub unit = stored(*db, 0x2200, 1);
        unit.size = 32;
        db->addSubIndex(0, 0x2200, 1, unit);
        open(0x2200, 1);
        form->adjustSize();
        QCOMPARE(stored(*db, 0x2200, 1).size, quint32(4));
        form->setNonVolatile();
        QVERIFY(stored(*db, 0x2200, 1).nvstorage);
        type(EntryField::Name, QStringLiteral("Unit text"));
        QCOMPARE(stored(*db, 0x2200, 1).name, QStringLiteral("Unit text"));
        form->findChild<QPushButton *>(QStringLiteral("btnResetChanges"))->click();
        const Sub reset = stored(*db, 0x2200, 1);
        QCOMPARE(reset.name, QStringLiteral("Name"));
        QCOMPARE(reset.size, quint32(32));
        QVERIFY(!reset.nvstorage);
    }

    // Tab from the table visits the choice boxes from top to bottom before the buttons below.
    void tabWalksTheChoicesBeforeTheButtons()
    {
        open(0x2000, 1);
        form->show();
        QList<QWidget *> reached;
        for (QWidget *widget = form->attributes()->nextInFocusChain(); widget != form.get();
             widget = widget->nextInFocusChain()) {
            if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus))
                reached.append(widget);
        }
        QList<QWidget *> boxes;
        for (int row = 0; row < form->attributes()->rowCount(); ++row) {
            if (QWidget *box = form->attributes()->cellWidget(row, 0))
                boxes.append(box);
        }
        QVERIFY(boxes.size() > 5);
        QCOMPARE(reached.mid(0, boxes.size()), boxes);
    }

private:
    void open(quint16 index, quint8 sub, bool editable = true)
    {
        form = std::make_unique<SubIndexForm>();
        form->setMember(0, index, sub, db.get(), editable, true);
    }

    void type(Field field, const QString &text)
    {
        form->attributes()->item(form->rowOf(field), 0)->setText(text);
    }

    void choose(Field field, const QString &text)
    {
        QComboBox *box = form->comboOf(field);
        const int entry = box->findText(text);
        QVERIFY2(entry >= 0, qPrintable(text));
        box->setCurrentIndex(entry);
        emit box->activated(entry);
    }

    bool rowEditable(Field field) const
    {
        if (QComboBox *box = form->comboOf(field))
            return box->isEnabled();
        return form->attributes()->item(form->rowOf(field), 0)->flags() & Qt::ItemIsEditable;
    }

    std::unique_ptr<SubIndexForm> form;
};

NW_TEST_MAIN(TestSubIndexForm)
#include "tst_subindexform.moc"
