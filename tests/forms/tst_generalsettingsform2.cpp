#include "database/objectdatabase.h"
#include "forms/generalsettingsform2.h"
#include "forms/targetsettingsdialog.h"
#include "nwtest.h"
#include "panelkit/stacksettings.h"
#include "projectbuilder.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

using Format = StackSetting::Format;

using nwtest::generalSettings;

bool isEditable(const SettingCell &cell)
{
    if (cell.widget)
        return cell.widget->isEnabled();
    const QTableWidgetItem *item = cell.item();
    return item && item->flags().testFlag(Qt::ItemIsEnabled)
           && (item->flags() & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable));
}

// A valid value that differs from the one shown.
QString otherValue(const StackSetting &setting, const QString &shown)
{
    switch (setting.format) {
    case Format::Flag:
        return shown == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1");
    case Format::Choice:
        return QString::number((shown.toInt() + 1) % setting.choiceList().size());
    case Format::Count:
    case Format::Number:
    case Format::NumberOrMacro:
        return QString::number(shown == QString::number(setting.maximum) ? setting.minimum
                                                                         : setting.maximum);
    case Format::NumberPerLine:
        return QStringLiteral("7, 8");
    case Format::NodeIdPerLine:
        return QStringLiteral("32,33");
    case Format::RolePerLine:
        return QStringLiteral("1,0");
    case Format::Identifier:
        return QStringLiteral("myName_2");
    case Format::IdentifierPerLine:
        return QStringLiteral("getIdA,getIdB");
    case Format::HeaderFiles:
        return QStringLiteral("app.h io/pins.h");
    case Format::Text:
    case Format::Name:
        return QStringLiteral("__attribute__((section(\".od\")))");
    case Format::Code:
        return QStringLiteral("#define A 1\n#define B \"x'y\"\n");
    }
    return QString();
}

// Enters a value as the user does: typing into a cell, clicking a check box or choosing.
void enter(const SettingCell &cell, const QString &value)
{
    if (auto *combo = qobject_cast<QComboBox *>(cell.widget)) {
        combo->setCurrentIndex(value.toInt());
    } else if (auto *box = qobject_cast<QCheckBox *>(cell.widget)) {
        box->setChecked(value == QLatin1String("1"));
    } else if (auto *edit = qobject_cast<QPlainTextEdit *>(cell.widget)) {
        edit->setPlainText(value);
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(edit, &focusOut);
    } else if (cell.setting->format == Format::Flag) {
        cell.item()->setCheckState(value == QLatin1String("1") ? Qt::Checked : Qt::Unchecked);
    } else {
        cell.table->setCurrentItem(cell.item());
        cell.table->editItem(cell.item());
        auto *editor =
            qobject_cast<QLineEdit *>(cell.table->indexWidget(cell.table->currentIndex()));
        QVERIFY(editor);
        editor->setText(value);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits a finished edit through the event loop.
        QCoreApplication::processEvents();
    }
}

void switchOn(ObjectDataBase &db, const StackSetting &setting)
{
    if (setting.enabledBy)
        db.setGeneralSettingsValue(QLatin1String(setting.enabledBy),
                                   QString::number(qMax(setting.enabledValue, 1)));
}

// The text of the block that opens at the first '{' from position from.
QString blockAt(const QString &code, int from)
{
    const int open = code.indexOf(QLatin1Char('{'), from);
    int depth = 0;
    for (int at = open; open >= 0 && at < code.size(); ++at) {
        if (code.at(at) == QLatin1Char('{'))
            ++depth;
        else if (code.at(at) == QLatin1Char('}') && --depth == 0)
            return code.mid(open, at - open + 1);
    }
    return QString();
}

// Keys of the tables a loop reads as general settings: the first text of every row of a
// table "name[] = {{"key", ...}, ...}" whose loop body hands a field of the row to a
// settings accessor ("fct_led_red|fct_led_green" names two keys).
void addTableKeys(const QString &code, QSet<QString> &keys)
{
    static const QRegularExpression loop(
        QStringLiteral(R"re(for \(const [\w:]+ &(\w+) : (\w+)\))re"));
    static const QRegularExpression accessor(QStringLiteral(
        R"re(\b(?:setting|number|hasSetting|settingNumber|getGeneralSettingsValue)\()re"));
    static const QRegularExpression row(QStringLiteral(R"re(\{"([a-z][a-z0-9_|]*)",)re"));
    for (auto it = loop.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString body = blockAt(code, match.capturedEnd());
        if (!body.contains(accessor) || !body.contains(match.captured(1) + QLatin1Char('.')))
            continue;
        const int table = code.indexOf(match.captured(2) + "[] = {");
        if (table < 0)
            continue;
        for (auto rows = row.globalMatch(blockAt(code, table)); rows.hasNext();) {
            for (const QString &key : rows.next().captured(1).split(QLatin1Char('|')))
                keys.insert(key);
        }
    }
}

// The general settings the generators and the model check read: every key literal handed
// to their settings accessors, the keys of the tables they read in loops, and the
// per-target keys composed from the target prefix.
QStringList keysReadByGenerators()
{
    static const QRegularExpression call(QStringLiteral(
        R"re(\b(?:setting|hasSetting|number|bufferSetting|settingNumber|generalSetting|)re"
        R"re(getGeneralSettingsValue|existGeneralSettingsValue)\(\s*)re"
        R"re((?:QStringLiteral\(|QLatin1String\()?"([a-z][a-z0-9_%]*)")re"));
    static const QRegularExpression pick(
        QStringLiteral(R"re(\bpick\("([a-z_]+)", "([a-z_]+)"\))re"));
    static const QRegularExpression suffix(
        QStringLiteral(R"re(\bprefix\s*\+\s*(?:QStringLiteral|QLatin1String)\("([a-z_]+)"\))re"));
    const QString targetPrefix = QStringLiteral("targetsettings_%1_");
    QSet<QString> keys;
    for (const char *folder : {"src/generators", "src/checker"}) {
        const QDir dir(QStringLiteral(NW_SOURCE_DIR "/") + QLatin1String(folder));
        for (const QString &name : dir.entryList({QStringLiteral("*.cpp")}, QDir::Files)) {
            // The feature file of the protocol stack, not the project, feeds this one.
            if (name == QLatin1String("featuresetextractor.cpp"))
                continue;
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString code = QString::fromUtf8(file.readAll());
            for (auto it = call.globalMatch(code); it.hasNext();) {
                const QString key = it.next().captured(1);
                if (key != targetPrefix)
                    keys.insert(key);
            }
            for (auto it = pick.globalMatch(code); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                keys.insert(match.captured(1));
                keys.insert(targetPrefix + match.captured(2));
            }
            for (auto it = suffix.globalMatch(code); it.hasNext();)
                keys.insert(targetPrefix + it.next().captured(1));
            addTableKeys(code, keys);
        }
    }
    QStringList sorted = keys.values();
    sorted.sort();
    return sorted;
}

} // namespace

// The stack settings page driven through its widgets: every setting the generators and the
// model check read has an editor that stores what the user enters and shows it again after
// the project was saved and reopened; refused values; targets; import; dependent rows.
class TestGeneralSettingsForm2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(dir.isValid());
    }

    void init()
    {
        db = new ObjectDataBase;
        QVERIFY(db->createNewDataBase());
        // Every project made from the template has a timer interval.
        db->setGeneralSettingsValue("co_timer_interval", "10000");
        form = new GeneralSettingsForm2(false);
        form->setProjectDatabase(db);
        form->show();
    }

    void cleanup()
    {
        delete form;
        delete db;
    }

    void everySettingHasAnEditor_data()
    {
        QTest::addColumn<QString>("key");
        for (const StackSetting &setting : StackSettings::all()) {
            using Section = StackSetting::Section;
            if (!setting.hasFlag(StackSetting::Mirror) && setting.section != Section::Targets
                && setting.section != Section::Lines)
                QTest::addRow("%s", setting.key) << QString::fromLatin1(setting.key);
        }
    }

    void everySettingHasAnEditor()
    {
        QFETCH(QString, key);
        const StackSetting *setting = StackSettings::find(key);
        QVERIFY(setting);
        switchOn(*db, *setting);
        const SettingCell cell = form->editorOf(key);
        QVERIFY2(cell.editor(), "the page has no editor for this setting");
        QVERIFY2(isEditable(cell), "the editor is disabled or read-only");
        const QString value = otherValue(*setting, cell.value());
        enter(cell, value);
        QCOMPARE(form->message(), QString());
        const QString stored = StackSettings::normalized(*setting, value);
        QCOMPARE(db->getGeneralSettingsValue(key), stored);
        if (setting->hasFlag(StackSetting::PerTarget))
            QCOMPARE(db->getGeneralSettingsValue(StackTargets::key(*setting, 0)), stored);
        const QString path = dir.filePath(key + ".nwrp");
        QVERIFY(db->saveDataBase(path));
        ObjectDataBase reopened;
        QVERIFY(reopened.openDataBase(path, false));
        GeneralSettingsForm2 again(false);
        again.setProjectDatabase(&reopened);
        QCOMPARE(again.editorOf(key).value(), stored);
    }

    void generatorKeysHaveAnEditor_data()
    {
        QTest::addColumn<QString>("key");
        const QStringList keys = keysReadByGenerators();
        // The scan must find the accessors; a handful of keys means it no longer does.
        QVERIFY2(keys.size() > 100, qPrintable(keys.join(QLatin1Char(' '))));
        for (const QString &key : keys)
            QTest::addRow("%s", qPrintable(key)) << key;
    }

    // A key a generator reads but the page cannot edit could only be set by hand in the file.
    void generatorKeysHaveAnEditor()
    {
        QFETCH(QString, key);
        const QString concrete = QString(key).replace(QLatin1String("%1"), QLatin1String("0"));
        const StackSetting *setting = StackSettings::find(concrete);
        QVERIFY2(setting, "the key is not among the stack settings");
        if (setting->section == StackSetting::Section::Lines)
            return; // edited with the line selector of the window
        if (setting->section == StackSetting::Section::Targets) {
            // The target tabs: a name per tab, the count and the active mark by the tab bar,
            // every other per-target value by the hardware table of the target's tab.
            const auto tabs = form->findChild<QTabWidget *>(QStringLiteral("tabTargets"));
            QVERIFY(tabs && tabs->count() > 0);
            for (const StackSetting *perTarget : StackTargets::settings()) {
                if (StackTargets::key(*perTarget, 0) == concrete)
                    QVERIFY(form->editorOf(QLatin1String(perTarget->key), 0).editor());
            }
            return;
        }
        const SettingCell cell = form->editorOf(concrete);
        QVERIFY2(cell.editor(), "the page has no editor for this setting");
    }

    void linesRowShowsTheLineTypes()
    {
        db->setGeneralSettingsValue("line0type", "1");
        QVERIFY(db->addNode(1, ObjectDataBase::NODE_DATA_T()));
        db->setGeneralSettingsValue("line1type", "2");
        const SettingCell cell = form->editorOf("line1type");
        QCOMPARE(cell.value(), QStringLiteral("0: CANopen, 1: J1939"));
        QVERIFY(!isEditable(cell));
    }

    void refusedValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *key, int target, const char *value,
                            const char *message) {
            QTest::newRow(name) << QString(key) << target << QString(value)
                                << QString::fromUtf8(message);
        };
        row("buffer size 0", "receivebuffersize", -1, "0",
            "CAN receive buffer size: 0 is out of range (1 to 65535).");
        row("timer of a target emptied", "co_timer_interval", 1, "",
            "Interval of CPU timer in µs: A value is required.");
        row("target define with a blank", "target_id", 0, "BOARD A",
            "Target define  (only if multiple targets are used): \"BOARD A\" is no C identifier "
            "(letters, digits and _, not starting with a digit).");
        row("target define of another target", "target_id", 0, "TARGET_1",
            "The targets Target 0 and Target 1 have the same target define TARGET_1.");
    }

    void refusedValue()
    {
        QFETCH(QString, key);
        QFETCH(int, target);
        QFETCH(QString, value);
        QFETCH(QString, message);
        form->addTarget();
        switchOn(*db, *StackSettings::find(key));
        const QMap<QString, QString> before = generalSettings(*db);
        const SettingCell cell = form->editorOf(key, qMax(target, 0));
        const QString shown = cell.value();
        enter(cell, value);
        QCOMPARE(form->message(), message);
        QCOMPARE(generalSettings(*db), before);
        QCOMPARE(cell.value(), shown);
    }

    void dependentRows_data()
    {
        QTest::addColumn<QString>("switchKey");
        QTest::addColumn<QString>("onValue");
        QTest::addColumn<QString>("offValue");
        QTest::addColumn<QString>("dependent");
        const auto row = [](const char *name, const char *switchKey, const char *on,
                            const char *off, const char *dependent) {
            QTest::newRow(name) << QString(switchKey) << QString(on) << QString(off)
                                << QString(dependent);
        };
        row("block transfer size", "sdo_blocktransfer_supported", "1", "0",
            "sdo_blocktransfer_block_size");
        row("block transfer CRC", "sdo_blocktransfer_supported", "1", "0",
            "sdo_blocktransfer_crc_supported");
        row("client queue length", "sdo_client_queue_supported", "1", "0", "sdo_client_queue_size");
        row("client queue internal access", "sdo_client_queue_supported", "1", "0",
            "sdo_client_queue_internal_access_supported");
        row("USDO client", "canfd_supported", "1", "0", "usdo_client_cnt");
        row("bootup manager for masters", "nmtmaster", "1", "0", "bootup_manager");
        row("manager event for masters", "nmtmaster", "2", "0", "fct_manager");
        row("line roles for master or slave", "nmtmaster", "2", "1", "co_ml_ms");
        row("dynamic function counts", "enable_dynamic", "1", "0", "event_nmt");
        row("sleep waiting time", "sleep_mode_selection", "2", "0", "sleep_wait_time");
        row("LSS inquiry", "lss_supported", "1", "0", "lss_inquiry_supported");
    }

    void dependentRows()
    {
        QFETCH(QString, switchKey);
        QFETCH(QString, onValue);
        QFETCH(QString, offValue);
        QFETCH(QString, dependent);
        const SettingCell switchCell = form->editorOf(switchKey);
        enter(switchCell, onValue);
        QVERIFY(isEditable(form->editorOf(dependent)));
        enter(switchCell, offValue);
        QVERIFY(!isEditable(form->editorOf(dependent)));
        // A project opened with the switch off shows the row disabled too.
        GeneralSettingsForm2 reopened(false);
        reopened.setProjectDatabase(db);
        QVERIFY(!isEditable(reopened.editorOf(dependent)));
    }

    void mirrorsFollowTheirRow()
    {
        auto *generation = form->findChild<QTableWidget *>("tblGeneration");
        QTableWidgetItem *limits = generation->item(generation->rowCount() - 1, 0);
        enter(form->editorOf("limit_check"), "1");
        QCOMPARE(limits->checkState(), Qt::Checked);
        limits->setCheckState(Qt::Unchecked);
        QCOMPARE(db->getGeneralSettingsValue("limit_check"), QStringLiteral("0"));
        QCOMPARE(form->editorOf("limit_check").value(), QStringLiteral("0"));
        // The green LED row shows the LED count again and edits the same setting.
        auto *indications = form->findChild<QTableWidget *>("tblIndications");
        const int red = form->editorOf("fct_led_red").row;
        indications->item(red + 1, 0)->setText("4");
        QCOMPARE(db->getGeneralSettingsValue("event_led"), QStringLiteral("4"));
        QCOMPARE(indications->item(red, 0)->text(), QStringLiteral("4"));
    }

    // A cell still being edited when another change reloads the page is written first.
    void typedTextSurvivesOtherChanges()
    {
        const SettingCell cell = form->editorOf("co_node_id_fct");
        cell.table->setCurrentItem(cell.item());
        cell.table->editItem(cell.item());
        auto *editor =
            qobject_cast<QLineEdit *>(cell.table->indexWidget(cell.table->currentIndex()));
        QVERIFY(editor);
        editor->setText("readDipSwitch");
        auto *userDefines = form->findChild<QPlainTextEdit *>("teUserDefines");
        QTest::keyClicks(userDefines, "#define X 1");
        db->setGeneralSettingsValue("co_network_id", "5");
        QCOMPARE(db->getGeneralSettingsValue("co_node_id_fct"), QStringLiteral("readDipSwitch"));
        QCOMPARE(db->getGeneralSettingsValue("user_defines"), QStringLiteral("#define X 1"));
        QCOMPARE(form->editorOf("co_node_id_fct").value(), QStringLiteral("readDipSwitch"));
    }

    void resetChanges()
    {
        db->setGeneralSettingsValue("receivebuffersize", "5");
        db->setUndoEnabled(true);
        form->hide();
        form->show();
        const QMap<QString, QString> shownBefore = generalSettings(*db);
        enter(form->editorOf("receivebuffersize"), "12");
        enter(form->editorOf("lss_supported"), "1");
        // An undo does not move what the page returns to.
        QVERIFY(db->undo());
        form->addTarget();
        form->findChild<QPushButton *>("btnResetChanges")->click();
        QCOMPARE(form->editorOf("receivebuffersize").value(), QStringLiteral("5"));
        QCOMPARE(form->editorOf("lss_supported").value(), QStringLiteral("0"));
        QCOMPARE(form->shownTargets().targets.size(), 1);
        const QMap<QString, QString> after = generalSettings(*db);
        for (auto it = shownBefore.cbegin(); it != shownBefore.cend(); ++it)
            QCOMPARE(after.value(it.key()), it.value());
    }

    void networkToolSettingsAreReadOnly()
    {
        GeneralSettingsForm2 controlled(true);
        controlled.setProjectDatabase(db);
        QVERIFY(!isEditable(controlled.editorOf("co_node_id")));
        QVERIFY(!isEditable(controlled.editorOf("co_network_id")));
        QVERIFY(isEditable(controlled.editorOf("co_node_id_fct")));
        QVERIFY(isEditable(form->editorOf("co_node_id")));
        // The preference "Ignore CBW limitations" lifts the limit when the page is shown.
        QSettings().setValue("General/ignorecbw", true);
        controlled.show();
        QVERIFY(isEditable(controlled.editorOf("co_node_id")));
        enter(controlled.editorOf("co_node_id"), "42");
        QCOMPARE(db->getGeneralSettingsValue("co_node_id"), QStringLiteral("42"));
        QSettings().setValue("General/ignorecbw", false);
        controlled.hide();
        controlled.show();
        QVERIFY(!isEditable(controlled.editorOf("co_network_id")));
    }

    void importLeavesOtherSettingsAndTargets()
    {
        ObjectDataBase other;
        QVERIFY(other.createNewDataBase());
        const QMap<QString, QString> imported = {{"co_node_id", "40"},
                                                 {"hw_defines", "#define IMPORTED 1"},
                                                 {"event_nmt", "3"},
                                                 {"canfd_supported", "1"}};
        for (auto it = imported.cbegin(); it != imported.cend(); ++it)
            other.setGeneralSettingsValue(it.key(), it.value());
        other.setGeneralSettingsValue("co_node_id_fct", "notImported");
        other.setGeneralSettingsValue("targetsettings_cnt", "4");
        const QString path = dir.filePath("source.nwrp");
        QVERIFY(other.saveDataBase(path));
        form->addTarget();
        form->renameTarget(1, "Eval board");
        form->setActiveTarget(1);
        enter(form->editorOf("target_id", 1), "EVAL_BOARD");
        enter(form->editorOf("co_node_id_fct"), "mine");
        QMap<QString, QString> expected = generalSettings(*db);
        for (auto it = imported.cbegin(); it != imported.cend(); ++it)
            expected.insert(it.key(), it.value());
        // The first target is the base hardware and shows the imported defines.
        expected.insert("targetsettings_0_defines", "#define IMPORTED 1");
        QVERIFY(form->importSettingsFrom(path));
        QCOMPARE(generalSettings(*db), expected);
        QCOMPARE(form->message(), QStringLiteral("4 setting(s) imported from source.nwrp."));
        QCOMPARE(form->editorOf("co_node_id").value(), QStringLiteral("40"));
        QCOMPARE(form->editorOf("hw_defines", 0).value(), QStringLiteral("#define IMPORTED 1"));
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Eval board - active"}));
    }

    void renameTarget()
    {
        form->addTarget();
        form->setActiveTarget(1);
        const QMap<QString, QString> before = generalSettings(*db);
        form->startRenameTarget(1);
        QLineEdit *edit = form->renameEditor();
        QVERIFY(edit);
        QCOMPARE(edit->text(), QStringLiteral("Target 1"));
        edit->selectAll();
        QTest::keyClicks(edit, "Production");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Production - active"}));
        QMap<QString, QString> expected = before;
        expected.insert("targetsettings_1_name", "Production");
        QCOMPARE(generalSettings(*db), expected);
        // Escape keeps the name; a name that would end the comment in gen_define.h is refused.
        form->startRenameTarget(0);
        QTest::keyClicks(form->renameEditor(), "x");
        QTest::keyClick(form->renameEditor(), Qt::Key_Escape);
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Production - active"}));
        QVERIFY(!form->renameTarget(0, "board */"));
        QCOMPARE(form->message(), QStringLiteral("Target name: The name may not contain \"*/\"."));
        QCOMPARE(generalSettings(*db), expected);
    }

    void targetCommands()
    {
        QCOMPARE(tabTexts(), QStringList{"Target 0 - active"});
        form->addTarget();
        form->addTarget();
        QCOMPARE(settings({"cnt", "2_name", "2_timer"}), QStringLiteral("3|Target 2|10000"));
        form->setActiveTarget(2);
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Target 1", "Target 2 - active"}));
        QCOMPARE(settings({"active"}), QStringLiteral("2"));
        // Removing a target before the active one keeps the same target active.
        enter(form->editorOf("co_timer_interval", 2), "TIMER_C");
        form->removeTarget(1);
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Target 2 - active"}));
        QCOMPARE(settings({"cnt", "active", "1_timer"}), QStringLiteral("2|1|TIMER_C"));
        form->unsetActiveTarget();
        QCOMPARE(tabTexts(), (QStringList{"Target 0", "Target 2"}));
        QCOMPARE(settings({"active"}), QStringLiteral("-1"));
        form->removeTarget(0);
        form->removeTarget(0);
        QCOMPARE(tabTexts().size(), 1);
    }

    void targetDialog()
    {
        form->addTarget();
        StackTargets targets = form->shownTargets();
        targets.targets[1].values["hw_defines"] = QStringLiteral("#define SECOND 1");
        targets.active = 1;
        TargetSettingsDialog dialog(targets);
        auto *table = dialog.findChild<QTableWidget *>("tblTargets");
        table->setCurrentCell(1, 0);
        dialog.findChild<QPushButton *>("btnUp")->click();
        StackTargets moved = dialog.targets();
        QCOMPARE(moved.targets.at(0).name, QStringLiteral("Target 1"));
        QCOMPARE(moved.targets.at(0).values.value("hw_defines"),
                 QStringLiteral("#define SECOND 1"));
        QCOMPARE(moved.active, 0);
        // After the move the second row has the automatic define TARGET_1; the first row's
        // automatic TARGET_0 collides with a written one.
        table->item(1, table->columnCount() - 2)->setText("TARGET_0");
        dialog.accept();
        QCOMPARE(dialog.message(),
                 QStringLiteral(
                     "The targets Target 1 and Target 0 have the same target define TARGET_0."));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        table->item(1, table->columnCount() - 2)->setText("BOARD_A");
        dialog.accept();
        QVERIFY(dialog.message().isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(form->applyTargets(moved));
        QCOMPARE(settings({"0_defines"}) + '|' + db->getGeneralSettingsValue("hw_defines"),
                 QStringLiteral("#define SECOND 1|#define SECOND 1"));
    }

private:
    QStringList tabTexts() const
    {
        const auto *tabs = form->findChild<QTabWidget *>("tabTargets");
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts.append(tabs->tabText(i));
        return texts;
    }

    // The values of the target settings named by their key without "targetsettings_".
    QString settings(const QStringList &keys) const
    {
        QStringList values;
        for (const QString &key : keys)
            values.append(db->getGeneralSettingsValue("targetsettings_" + key));
        return values.join(QLatin1Char('|'));
    }

    QTemporaryDir dir;
    ObjectDataBase *db = nullptr;
    GeneralSettingsForm2 *form = nullptr;
};

NW_TEST_MAIN(TestGeneralSettingsForm2)
#include "tst_generalsettingsform2.moc"
