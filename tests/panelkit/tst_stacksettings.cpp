#include "database/objectdatabase.h"
#include "nwtest.h"
#include "panelkit/stacksettings.h"
#include "panelkit/stacktargets.h"
#include "projectbuilder.h"
#include "testenv.h"

#include <QMap>
#include <QSet>
#include <QTemporaryDir>

using nwtest::generalSettings;

// The value checks of the stack settings, the target list and the import of settings.
class TestStackSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void validate_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char *name, const char *key, const char *value,
                            const char *problem) {
            QTest::newRow(name) << QString(key) << QString::fromUtf8(value)
                                << QString::fromUtf8(problem);
        };
        row("buffer size in range", "receivebuffersize", "10", "");
        row("buffer size per line with suffix", "receivebuffersize", "10u, 4", "");
        row("buffer size 0", "receivebuffersize", "0",
            "CAN receive buffer size: 0 is out of range (1 to 65535).");
        row("buffer size required", "transmitbuffersize", " ",
            "CAN transmit buffer size: A value is required.");
        row("buffer list with empty entry", "receivebuffersize", "10,,4",
            "CAN receive buffer size: Entry 2 of the list is empty.");
        row("buffer list entry out of range", "receivebuffersize", "10,70000",
            "CAN receive buffer size: Entry 2: 70000 is out of range (1 to 65535).");
        row("node-ID hexadecimal", "co_node_id", "0x7F", "");
        row("node-ID for LSS", "co_node_id", "255", "");
        row("node-ID 128", "co_node_id", "128",
            "CANopen Default Node-ID: \"128\" is no node-ID (1 to 127, or 255 for LSS).");
        row("node-ID per line, second wrong", "co_node_id", "32,0",
            "CANopen Default Node-ID: Entry 2: \"0\" is no node-ID (1 to 127, or 255 for LSS).");
        row("count is decimal only", "event_nmt", "0x2", "NMT Event: \"0x2\" is not a number.");
        row("count above 255", "event_nmt", "256", "NMT Event: 256 is out of range (0 to 255).");
        row("empty count is 0", "event_nmt", "", "");
        row("block size 128", "sdo_blocktransfer_block_size", "128",
            "SDO Block Transfer Block Size: 128 is out of range (1 to 127).");
        row("flag 2", "lss_supported", "2",
            "LSS (Layer Setting Services) supported: 2 is out of range (0 to 1).");
        row("choice beyond the list", "nmtmaster", "3",
            "CANopen NMT functionality: 3 is no choice (0 to 2).");
        row("timer as macro", "co_timer_interval", "TIMER_US", "");
        row("timer 0", "co_timer_interval", "0",
            "Interval of CPU timer in µs: 0 is out of range (1 to 4294967295).");
        row("timer neither number nor macro", "co_timer_interval", "10 ms",
            "Interval of CPU timer in µs: \"10 ms\" is neither a number from 1 to 4294967295 nor a "
            "macro name.");
        row("function name", "fct_nmt", " myNmt ", "");
        row("function with parentheses", "fct_nmt", "myNmt()",
            "NMT Event: \"myNmt()\" is no C identifier (letters, digits and _, not starting with a "
            "digit).");
        row("node-ID functions per line", "co_node_id_fct", "getIdA,getIdB", "");
        row("header with quote", "applicationheader", "app.h \"io.h\"",
            "application header file(s): \"\"io.h\"\" is no header file name.");
        row("roles per line", "co_ml_ms", "1,2",
            "CANopen M/S settings (multi-line only): Entry 2: 2 is out of range (0 to 1).");
        row("memory specifier on two lines", "static_memory_specifier", "a\nb",
            "Memory specifier after static variables in gen_objdict.c: The text must stay on one "
            "line.");
        row("defines keep line breaks", "user_defines", "#define A 1\n#define B 2", "");
        row("target copy of the timer", "targetsettings_3_timer", "0",
            "Interval of CPU timer in µs: 0 is out of range (1 to 4294967295).");
        row("target name closing a comment", "targetsettings_1_name", "board */",
            "Target name: The name may not contain \"*/\".");
        row("unknown key", "no_such_key", "1", "no_such_key is no stack setting.");
    }
    void validate()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTEST(StackSettings::validate(key, value), "problem");
    }

    // A key edited in two rows is a mirror; any other repetition would make one row lose edits.
    void keysAreUnique()
    {
        QSet<QString> keys;
        for (const StackSetting &setting : StackSettings::all()) {
            if (setting.hasFlag(StackSetting::Mirror)) {
                QVERIFY2(StackSettings::find(QLatin1String(setting.key)), setting.key);
                continue;
            }
            QVERIFY2(!keys.contains(QLatin1String(setting.key)), setting.key);
            keys.insert(QLatin1String(setting.key));
        }
        for (const QString &key : StackSettings::importedKeys())
            QVERIFY2(StackSettings::find(key), qPrintable(key));
    }

    void targetsRoundTrip()
    {
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        db.setGeneralSettingsValue(QStringLiteral("co_timer_interval"), QStringLiteral("500"));
        db.setGeneralSettingsValue(QStringLiteral("hw_defines"), QStringLiteral("#define BASE 1"));
        // Without a target list the base settings make the one target.
        StackTargets targets = StackTargets::load(&db);
        QCOMPARE(targets.targets.size(), 1);
        QCOMPARE(targets.targets.at(0).values.value("co_timer_interval") + '|'
                     + targets.targets.at(0).values.value("hw_defines"),
                 QStringLiteral("500|#define BASE 1"));
        targets.add();
        targets.targets[1].values["target_id"] = QStringLiteral("BOARD_B");
        targets.targets[1].values["endian"] = QStringLiteral("1");
        targets.targets[0].values["co_timer_interval"] = QStringLiteral("250");
        targets.active = 1;
        QVERIFY(targets.save(&db));
        // The first target is the base hardware.
        QStringList stored;
        for (const char *key :
             {"targetsettings_cnt", "targetsettings_active", "targetsettings_1_name",
              "targetsettings_1_targetid", "targetsettings_1_endianess", "targetsettings_0_timer",
              "co_timer_interval"})
            stored << db.getGeneralSettingsValue(key);
        QCOMPARE(stored, (QStringList{"2", "1", "Target 1", "BOARD_B", "1", "250", "250"}));
        QCOMPARE(StackTargets::load(&db), targets);
        QVERIFY(targets.remove(1));
        QCOMPARE(targets.active, -1);
        QVERIFY(!targets.remove(0));
    }

    // The target dialog shows this message; a collision of defines is the settings page's test.
    void targetDefineMustBeAnIdentifier()
    {
        StackTargets targets;
        targets.add();
        targets.targets[0].values["target_id"] = QStringLiteral("BOARD A");
        QVERIFY(targets.validate().startsWith(QStringLiteral("Target 0: Target define")));
    }

    void importCopiesOnlyTheListedKeys()
    {
        ObjectDataBase project, other;
        QVERIFY(project.createNewDataBase() && other.createNewDataBase());
        const auto set = [](ObjectDataBase &db, const QStringList &keysAndValues) {
            for (int i = 0; i + 1 < keysAndValues.size(); i += 2)
                db.setGeneralSettingsValue(keysAndValues.at(i), keysAndValues.at(i + 1));
        };
        set(project, {"co_node_id", "16", "co_node_id_fct", "readSwitch", "targetsettings_cnt", "2",
                      "user_defines", "#define MINE 1"});
        set(other, {"co_node_id", "32", "co_node_id_fct", "otherFunction", "targetsettings_cnt",
                    "5", "event_finished", "3"});
        QMap<QString, QString> expected = generalSettings(project);
        expected.insert("co_node_id", "32");
        expected.insert("event_finished", "3");
        QStringList refused;
        int copied = 0;
        QVERIFY(StackSettings::importFrom(&project, &other, &refused, &copied));
        QCOMPARE(refused, QStringList());
        QCOMPARE(copied, 2);
        // Keys the other project lacks (user_defines) are kept, not emptied.
        QCOMPARE(generalSettings(project), expected);
    }

    void importRefusesBadValues()
    {
        QTemporaryDir dir;
        ObjectDataBase other;
        QVERIFY(other.createNewDataBase());
        other.setGeneralSettingsValue("receivebuffersize", "0");
        other.setGeneralSettingsValue("transmitbuffersize", "8");
        const QString path = dir.filePath("other.nwrp");
        QVERIFY(other.saveDataBase(path));
        ObjectDataBase project;
        QVERIFY(project.createNewDataBase());
        project.setGeneralSettingsValue("receivebuffersize", "5");
        QString error;
        QStringList refused;
        QVERIFY(StackSettings::importFromFile(&project, path, &error, &refused));
        QCOMPARE(refused, QStringList{"CAN receive buffer size: 0 is out of range (1 to 65535)."});
        QCOMPARE(project.getGeneralSettingsValue("receivebuffersize"), QStringLiteral("5"));
        QCOMPARE(project.getGeneralSettingsValue("transmitbuffersize"), QStringLiteral("8"));
        QVERIFY(!StackSettings::importFromFile(&project, dir.filePath("missing.nwrp"), &error,
                                               &refused));
        QVERIFY(error.contains(QStringLiteral("does not exist")));
    }
};

NW_TEST_MAIN(TestStackSettings)
#include "tst_stacksettings.moc"
