#include "database/undolog.h"
#include "generators/generationrun.h"
#include "generatortestutil.h"
#include "nwtest.h"
#include "probegenerator.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <unistd.h>

using Kind = GenerationRun::GeneratorKind;

namespace {

// The rows of the generator table, each served by a probe of this name.
const struct
{
    Kind kind;
    const char *label;
} rows[] = {
    {Kind::TextDoc, "TextDoc"},
    {Kind::Indices, "Indices"},
    {Kind::Html, "Html"},
    {Kind::ObjDict, "ObjDict"},
    {Kind::VobjDict, "VobjDict"},
    {Kind::Pgn, "Pgn"},
    {Kind::MultiPro, "MultiPro"},
    {Kind::J1939TextDoc, "J1939TextDoc"},
    {Kind::J1939Html, "J1939Html"},
    {Kind::Dbc, "Dbc"},
    {Kind::Srdo, "Srdo"},
    {Kind::CoDefine, "gen_define.h"},
    {Kind::ExtDecl, "ExtDecl"},
    {Kind::Indication, "Indication"},
    {Kind::Csv, "Csv"},
    {Kind::Eds, "Eds"},
    {Kind::Xdd, "Xdd"},
};

bool perLine(Kind kind)
{
    return kind == Kind::TextDoc || kind == Kind::Html || kind == Kind::J1939TextDoc
           || kind == Kind::J1939Html || kind == Kind::Dbc || kind == Kind::Csv || kind == Kind::Eds
           || kind == Kind::Xdd;
}

} // namespace

// The generation run: which rows of its generator table run for which project, in which
// order, with which messages and flags (each row served by a probe generator), and over the
// fixture projects with the real generators which files it writes and deletes and the
// steps around the generators.
class TestGenerationRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gentest::initApplication(); }

    void init()
    {
        // Without blanks: the post-generation arguments are split at blanks.
        dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nwrun-XXXXXX")));
        preferences = gentest::testPreferences();
        journal.clear();
        canopen = std::make_unique<ObjectDataBase>();
        gentest::buildCanopenProject(*canopen);
    }

    // Which rows run, in which order, with which started and completed messages (probes
    // complete under the name of their row, the line and the EDS variant), and with which flags.
    void rowsInOrder_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addRow("CANopen") << "canopen";
        QTest::addRow("CANopen with SRDO, virtual objects and CAN FD") << "canopen+";
        QTest::addRow("J1939") << "j1939";
        QTest::addRow("CANopen and J1939 on one line") << "both";
        QTest::addRow("CANopen line and J1939 line") << "mixed";
        QTest::addRow("two CANopen lines") << "two";
    }

    void rowsInOrder()
    {
        QFETCH(QString, fixture);
        ObjectDataBase db;
        if (fixture == QLatin1String("j1939")) {
            gentest::buildJ1939Project(db);
        } else if (fixture == QLatin1String("mixed")) {
            gentest::buildMixedProject(db);
        } else {
            gentest::buildCanopenProject(db);
        }
        if (fixture == QLatin1String("canopen+")) {
            gentest::addVar(db, 0, 0x1301, "SRDO 1 communication");
            gentest::addRecord(db, 0, 0x1381, "SRDO 1 mapping", {});
            db.addSubIndex(0, 0x2000, 3, gentest::sub("Remote", 7, "0", 3));
            db.setSubIndexValue(0, 0x2000, 0, QStringLiteral("3"));
            db.setGeneralSettingsValue(QStringLiteral("canfd_supported"), QStringLiteral("1"));
        }
        if (fixture == QLatin1String("both")) {
            gentest::setLineType(db, 0, 5);
            gentest::setJ1939Identity(db, 1);
        }
        if (fixture == QLatin1String("two")) {
            gentest::addLine(db, 1, 1);
            gentest::addCanopenBasics(db, 1);
            db.setGeneralSettingsValue(QStringLiteral("co_node_id"), QStringLiteral("32,33"));
            db.setGeneralSettingsValue(QStringLiteral("receivebuffersize"), QStringLiteral("10,4"));
            db.setGeneralSettingsValue(QStringLiteral("transmitbuffersize"), QStringLiteral("5,5"));
        }
        const QString vobj = dir->path() + QStringLiteral("/gen_vobjdict.c");
        gentest::writeText(vobj, QStringLiteral("old"));
        const QStringList messages = runProbes(db);
        QVERIFY2(!messages.startsWith(QStringLiteral("<run failed>")),
                 qPrintable(messages.join('\n')));
        // Then what each probe was told: its line, whether it writes the multi-line form (the
        // documentation takes the project's) and which protocols the project has.
        QStringList flags = journal;
        flags.sort();
        compareMessages(messages + QStringList{QStringLiteral("--- flags")} + flags);
        // Without virtual objects an old gen_vobjdict.c goes; with them the generator runs.
        QCOMPARE(QFile::exists(vobj), fixture != QLatin1String("canopen") && fixture != "two");
    }

    void edsVariantsAndLastGeneratedEds()
    {
        ObjectDataBase &db = *canopen;
        // Each variant once, in the order of first use; objects below 0x1000 name none.
        gentest::addVar(db, 0, 0x2100, "A", 7, {{"eds_define", "FULL"}});
        gentest::addVar(db, 0, 0x2101, "B", 7, {{"eds_define", "LIGHT"}});
        gentest::addVar(db, 0, 0x2102, "C", 7, {{"eds_define", "FULL"}});
        gentest::addVar(db, 0, 0x0FFF, "D", 7, {{"eds_define", "LOW"}});
        compareMessages(runProbes(db));
        QCOMPARE(lastGeneratedEds, dir->path() + QStringLiteral("/demo.eds"));
    }

    void userSectionReported()
    {
        ObjectDataBase &db = *canopen;
        defineBody = QStringLiteral("/* user-specific section: start */\n"
                                    "#define MY_OPTION 1\n"
                                    "\n"
                                    "/* user-specific section: end */\n");
        QStringList messages = runProbes(db);
        int define = messages.indexOf(QStringLiteral("Generation of gen_define.h completed."));
        QCOMPARE(messages.value(define + 1),
                 QStringLiteral("gen_define.h contains user section:\n#define MY_OPTION 1\n\n"));
        // A section of blank lines is not worth a message.
        defineBody = QStringLiteral("/* user-specific section: start */\n\n"
                                    "/* user-specific section: end */\n");
        messages = runProbes(db);
        define = messages.indexOf(QStringLiteral("Generation of gen_define.h completed."));
        QVERIFY(!messages.value(define + 1).startsWith(QLatin1String("gen_define.h contains")));
    }

    // The files each kind of project writes, and the old ones it deletes. The order and texts
    // of the rows' messages are pinned with probe generators above; here the real generators'
    // completed messages carry their names (the documentation writers' in their own test).
    void projectFiles_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<QStringList>("completed");
        QTest::addRow("CANopen") << "canopen" << QStringList{"gen_indices.h", "gen_indication.h"}
                                 << QStringList{"__nwrerrorlog.txt", "gen_vobjdict.c"}
                                 << QStringList{"gen_indices.h generator", "gen_objdict.c",
                                                "gen_define.h", "gen_indication.h"};
        QTest::addRow("J1939, adapter off")
            << "j1939" << QStringList{"gen_extern_decl.h", "gen_var_decl.c"}
            << QStringList{"gen_indication.h", "gen_j1939_adapter.c", "j1939_adapter.cs"}
            << QStringList{"gen_define.h", "gen_extern_decl.h"};
        QTest::addRow("J1939, adapter on")
            << "j1939 adapter"
            << QStringList{"gen_extern_decl.h", "gen_j1939_adapter.c", "j1939_adapter.cs"}
            << QStringList{"gen_indication.h"} << QStringList{"gen_extern_decl.h"};
        QTest::addRow("CANopen line and J1939 line")
            << "mixed" << QStringList{"gen_indices.h", "gen_extern_decl.h", "gen_indication.h"}
            << QStringList{} << QStringList{"gen_extern_decl.h", "gen_indication.h"};
    }

    void projectFiles()
    {
        QFETCH(QString, fixture);
        QFETCH(QStringList, written);
        QFETCH(QStringList, gone);
        QFETCH(QStringList, completed);
        ObjectDataBase db;
        if (fixture.startsWith(QLatin1String("j1939"))) {
            gentest::buildJ1939Project(db);
            db.setJ1939SettingsValue(QStringLiteral("j1939adapter"),
                                     fixture.endsWith(QLatin1String("adapter"))
                                         ? QStringLiteral("1")
                                         : QStringLiteral("0"));
            // Reception of an address claim stays; only the transmitted one is the stack's own.
            gentest::addPgn(db, 0, 0xEE00, gentest::receive, "Address Claimed");
            for (const char *old : {"gen_j1939_adapter.c", "j1939_adapter.cs"})
                gentest::writeText(dir->path() + '/' + old, QStringLiteral("old"));
        } else if (fixture == QLatin1String("mixed")) {
            gentest::buildMixedProject(db);
        } else {
            gentest::buildCanopenProject(db);
        }
        for (const QString &old : gone)
            gentest::writeText(dir->path() + '/' + old, QStringLiteral("old"));
        const Result result = generate(db);
        QVERIFY2(result.outcome == GenerationRun::Completed,
                 qPrintable((result.checkMessages + result.messages).join('\n')));
        QCOMPARE(result.checkMessages.first(),
                 QStringLiteral("\nCheck of model consistency started"));
        for (const QString &name : completed)
            QVERIFY2(
                result.messages.contains(QStringLiteral("Generation of %1 completed.").arg(name)),
                qPrintable(name));
        const QStringList files = this->files();
        for (const QString &name : written)
            QVERIFY2(files.contains(name), qPrintable(name + ": " + files.join(' ')));
        for (const QString &name : gone)
            QVERIFY2(!files.contains(name), qPrintable(name));
        if (fixture.startsWith(QLatin1String("j1939"))) {
            QVERIFY(!db.existsPGN(0, 0xEE00, gentest::transmit));
            QVERIFY(db.existsPGN(0, 0xEE00, gentest::receive));
        }
        if (fixture == QLatin1String("mixed")) {
            // The indices are written for the CANopen line only.
            const QString indices =
                gentest::readText(dir->path() + QStringLiteral("/gen_indices.h"));
            QVERIFY(indices.contains(QLatin1String("I_DEVICE_TYPE")));
            QVERIFY(!indices.contains(QLatin1String("L1_")));
        }
    }

    void withoutFolder_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("outcome");
        QTest::addRow("never saved") << false << int(GenerationRun::NoProjectFolder);
        QTest::addRow("folder is a file") << true << int(GenerationRun::FolderNotWritable);
    }

    void withoutFolder()
    {
        QFETCH(bool, saved);
        ObjectDataBase &db = *canopen;
        const QString file = dir->path() + QStringLiteral("/plain");
        gentest::writeText(file, QStringLiteral("x"));
        const auto run = makeRun(db);
        run->setProject(saved ? file : QString(), QStringLiteral("demo"));
        QSignalSpy spy(run.get(), &GenerationRun::message);
        QTEST(int(run->run()), "outcome");
        QCOMPARE(run->failureText(),
                 saved ? QStringLiteral("The output folder %1 is not writable.").arg(file)
                       : QStringLiteral("The project must be saved before any files can be "
                                        "generated."));
        for (const QList<QVariant> &message : spy)
            QVERIFY2(!message.at(0).toString().startsWith(QLatin1String("Generation of")),
                     qPrintable(message.at(0).toString()));
    }

    void checkSkipped()
    {
        ObjectDataBase &db = *canopen;
        const auto run = makeRun(db);
        run->setModelCheckEnabled(false);
        QSignalSpy spy(run.get(), &GenerationRun::message);
        QCOMPARE(run->run(), GenerationRun::Completed);
        QCOMPARE(spy.first().at(0).toString(),
                 QStringLiteral("Check of model consistency skipped"));
        QVERIFY(files().contains(QStringLiteral("gen_indication.h")));
    }

    void failedCheck_data()
    {
        QTest::addColumn<bool>("disableCheck");
        QTest::addRow("check stops the run") << false;
        QTest::addRow("check disabled by preference") << true;
    }

    void failedCheck()
    {
        QFETCH(bool, disableCheck);
        preferences.disableCheck = disableCheck;
        ObjectDataBase &db = *canopen;
        db.delIndex(0, 0x1000);
        QStringList messages;
        const auto run = makeRun(db, &messages);
        run->setLogTextSource([] { return QStringLiteral("the output window"); });
        const GenerationRun::Outcome outcome = run->run();
        QCOMPARE(run->checkErrorCount(), 1);
        QVERIFY2(
            messages.contains(QStringLiteral(
                "<strong>Error: </strong>Object 0x1000 (Device Type) does not exist, but it is "
                "mandatory according to CANopen specification.")),
            qPrintable(messages.join('\n')));
        QVERIFY(messages.contains(
            QStringLiteral("Check of model consistency finished: failed (1 errors)")));
        QCOMPARE(gentest::readText(dir->path() + QStringLiteral("/__nwrerrorlog.txt")),
                 QStringLiteral("the output window"));
        if (disableCheck) {
            QCOMPARE(outcome, GenerationRun::Completed);
            QVERIFY(files().contains(QStringLiteral("gen_indication.h")));
        } else {
            QCOMPARE(outcome, GenerationRun::CheckFailed);
            QCOMPARE(run->failureText(),
                     QStringLiteral("The project contains critical errors. Check "
                                    "Generator Output window."));
            QCOMPARE(files(), QStringList{"__nwrerrorlog.txt"});
        }
    }

    void lineWithoutType()
    {
        ObjectDataBase &db = *canopen;
        gentest::addLine(db, 1, 4);
        db.addNode(2, ObjectDataBase::NODE_DATA_T());
        gentest::setLineType(db, 2, 3);
        const Result result = generate(db);
        QCOMPARE(result.checkMessages.mid(0, 2),
                 (QStringList{"\nCheck of model consistency started", "-> Checking line 0"}));
        const int line1 = result.checkMessages.indexOf(QStringLiteral("-> Checking line 1"));
        QVERIFY(line1 > 0);
        QCOMPARE(result.checkMessages.mid(line1, 3),
                 (QStringList{"-> Checking line 1", "-> Checking line 2",
                              "Warning line type not set for line 2."}));
    }

    void correctionAsksForSave()
    {
        ObjectDataBase &db = *canopen;
        const auto run = makeRun(db);
        QSignalSpy save(run.get(), &GenerationRun::saveRequested);
        run->run();
        QCOMPARE(save.count(), 0);
        // Sub-index 0 of the record claims more entries than it has; the check corrects it,
        // as one step of the history that the user can take back.
        db.setUndoEnabled(true);
        db.setSubIndexValue(0, 0x2000, 0, QStringLiteral("5"));
        run->run();
        QCOMPARE(save.count(), 1);
        QCOMPARE(db.getSubIndexValue(0, 0x2000, 0), QStringLiteral("2"));
        QCOMPARE(db.undoLog()->undoText(), QStringLiteral("Corrections of the generation"));
        QVERIFY(db.undo());
        QCOMPARE(db.getSubIndexValue(0, 0x2000, 0), QStringLiteral("5"));
    }

    void clearLogging()
    {
        ObjectDataBase &db = *canopen;
        for (bool clear : {false, true}) {
            preferences.clearLogging = clear;
            const auto run = makeRun(db);
            QSignalSpy spy(run.get(), &GenerationRun::clearLogRequested);
            run->run();
            QCOMPARE(spy.count(), clear ? 1 : 0);
        }
    }

    // A file that is not written is reported, the other files are written, and the run's
    // outcome says that not all files were written.
    void fileNotWritten_data()
    {
        QTest::addColumn<bool>("folderInItsPlace");
        QTest::addColumn<QString>("message");
        QTest::addRow("read-only file")
            << false << "The file gen_indication.h in %1 is not writable";
        QTest::addRow("write fails")
            << true
            << "Generation of gen_indication.h failed: %1/gen_indication.h "
               "cannot be written: ";
    }

    void fileNotWritten()
    {
        QFETCH(bool, folderInItsPlace);
        QFETCH(QString, message);
        if (!folderInItsPlace && geteuid() == 0)
            QSKIP("the superuser may write every file");
        ObjectDataBase &db = *canopen;
        const QString target = dir->path() + QStringLiteral("/gen_indication.h");
        const QString kept = folderInItsPlace ? target + QStringLiteral("/kept") : target;
        QDir().mkpath(QFileInfo(kept).absolutePath());
        gentest::writeText(kept, QStringLiteral("locked"));
        if (!folderInItsPlace)
            QFile::setPermissions(target, QFile::ReadOwner);
        const Result result = generate(db);
        QCOMPARE(result.outcome, GenerationRun::WriteFailed);
        const QString expected = message.arg(dir->path());
        QVERIFY2(std::any_of(result.messages.cbegin(), result.messages.cend(),
                             [&expected](const QString &m) { return m.startsWith(expected); }),
                 qPrintable(result.messages.join('\n')));
        QVERIFY(
            !result.messages.contains(QStringLiteral("Generation of gen_indication.h completed.")));
        QVERIFY(result.messages.contains(
            QStringLiteral("Generation of gen_indices.h generator completed.")));
        QCOMPARE(gentest::readText(kept), QStringLiteral("locked"));
    }

    void postGenerationArguments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("project file and folder")
            << "%P %D" << QStringList{"/work/p/demo.nwrp", "/work/out"};
        QTest::addRow("file name inside a word") << "--name=%N" << QStringList{"--name=demo.nwrp"};
        QTest::addRow("blanks collapse") << "  a   b " << QStringList{"a", "b"};
        QTest::addRow("other percent signs stay") << "%x 100%" << QStringList{"%x", "100%"};
        QTest::addRow("no text") << "" << QStringList{};
    }

    void postGenerationArguments()
    {
        QFETCH(QString, text);
        QTEST(GenerationRun::postGenerationArguments(text, QStringLiteral("/work/p"),
                                                     QStringLiteral("/work/out"),
                                                     QStringLiteral("demo")),
              "arguments");
        // A folder holding blanks or placeholders is split, never substituted again.
        QCOMPARE(GenerationRun::postGenerationArguments(
                     QStringLiteral("%D"), QStringLiteral("/a b"), QStringLiteral("/my dir/%N"),
                     QStringLiteral("demo")),
                 (QStringList{"/my", "dir/%N"}));
    }

    void postGenerationCommand()
    {
        const QString script = dir->path() + QStringLiteral("/record.sh");
        gentest::writeText(script,
                           QStringLiteral("#!/bin/sh\npwd > run.log\n"
                                          "for a in \"$@\"; do echo \"$a\" >> run.log; done\n"));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        preferences.postGenerationCommand = script;
        preferences.postGenerationArguments = QStringLiteral("%P %D %N");
        ObjectDataBase &db = *canopen;
        generate(db);
        const QString log = dir->path() + QStringLiteral("/run.log");
        QTRY_VERIFY_WITH_TIMEOUT(gentest::readText(log).count('\n') == 4, 5000);
        const QString folder = QDir(dir->path()).canonicalPath();
        QCOMPARE(gentest::readText(log).split('\n'),
                 (QStringList{folder, dir->path() + "/demo.nwrp", dir->path(), "demo.nwrp", ""}));
    }

    void lineEndings_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("ending");
        QTest::addRow("as written") << 0 << "\n";
        QTest::addRow("windows") << 1 << "\r\n";
        QTest::addRow("linux") << 2 << "\n";
        QTest::addRow("old mac") << 3 << "\r";
    }

    void lineEndings()
    {
        QFETCH(int, index);
        QFETCH(QString, ending);
        preferences.lineEndingIndex = index;
        ObjectDataBase &db = *canopen;
        const auto run = makeRun(db);
        QCOMPARE(run->run(), GenerationRun::Completed);
        run->adjustLineEndings();
        const QString text = gentest::readText(dir->path() + QStringLiteral("/gen_indication.h"));
        QVERIFY(text.startsWith(QStringLiteral("/*") + ending + QStringLiteral(" * static")));
        QCOMPARE(text.count(QStringLiteral("\r")), ending.contains('\r') ? text.count(ending) : 0);
    }

private:
    struct Result
    {
        GenerationRun::Outcome outcome;
        QStringList messages; // after the model check
        QStringList checkMessages;
    };

    Result generate(ObjectDataBase &db)
    {
        QStringList messages;
        const GenerationRun::Outcome outcome = makeRun(db, &messages)->run();
        const int finished = messages.indexOf(
            QRegularExpression(QStringLiteral("^Check of model consistency (finished|skipped)")));
        return {outcome, messages.mid(finished + 1), messages.mid(0, finished + 1)};
    }

    QStringList files() const
    {
        QStringList names = QDir(dir->path()).entryList(QDir::Files, QDir::Name);
        names.removeAll(QStringLiteral("run.log"));
        return names;
    }

    // A run of db into the test folder with the test's preferences; its messages go to
    // messages.
    std::unique_ptr<GenerationRun> makeRun(ObjectDataBase &db, QStringList *messages = nullptr)
    {
        auto run = std::make_unique<GenerationRun>(&db);
        run->setProject(dir->path(), QStringLiteral("demo"));
        run->setPreferences(preferences);
        if (messages)
            connect(run.get(), &GenerationRun::message, this,
                    [messages](const QString &text) { *messages << text; });
        return run;
    }

    // The run with a probe generator in every row; the messages after the model check.
    QStringList runProbes(ObjectDataBase &db)
    {
        QStringList messages;
        const auto generation = makeRun(db, &messages);
        installProbes(*generation);
        connect(generation.get(), &GenerationRun::standardEdsGenerated, this,
                [this](const QString &path) { lastGeneratedEds = path; });
        if (generation->run() != GenerationRun::Completed)
            return QStringList{QStringLiteral("<run failed>")} + messages;
        const int checked = messages.indexOf(QStringLiteral("Check of model consistency finished"));
        return messages.mid(checked + 1);
    }

    // The messages of the run are those of the running row's section of
    // generation_rows.txt, with the output folder written as <folder>.
    void compareMessages(const QStringList &messages)
    {
        QStringList masked;
        for (QString message : messages)
            masked << message.replace(dir->path(), QStringLiteral("<folder>"));
        GENTEST_VERIFY_EMPTY(
            gentest::goldenSectionDiff(gentest::testData("generation_rows.txt"), masked));
    }

    void installProbes(GenerationRun &run)
    {
        for (const auto &row : rows) {
            const Kind kind = row.kind;
            const QString label = QLatin1String(row.label);
            run.setFactory(kind, [this, kind, label](const GenerationRun::RowContext &context) {
                QString name = label;
                if (perLine(kind))
                    name += QStringLiteral("-%1").arg(context.line);
                if (kind == Kind::Eds)
                    name += QLatin1Char('-') + context.edsVariant;
                auto *probe =
                    new ProbeGenerator(name, kind == Kind::CoDefine ? defineBody : QString());
                probe->journal = &journal;
                probe->journalMutex = &journalMutex;
                return probe;
            });
        }
    }

    QScopedPointer<QTemporaryDir> dir;
    std::unique_ptr<ObjectDataBase> canopen; // the fixture project, built for every test
    Preferences preferences;
    QStringList journal;
    std::mutex journalMutex;
    QString defineBody = QStringLiteral("#define GEN 1\n");
    QString lastGeneratedEds;
};

NW_TEST_MAIN(TestGenerationRun)
#include "tst_generationrun.moc"
