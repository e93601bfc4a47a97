#include "generators/edscheckerwrapper.h"
#include "generators/generationrun.h"
#include "generatortestutil.h"
#include "nwtest.h"

#include <QSignalSpy>
#include <QTemporaryDir>

// The external EDS checker: its arguments, its results and the deferred check of a run.
class TestEdsCheckerWrapper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gentest::initApplication();
        // Prints its arguments, then a zero byte and text that must not appear in the results.
        checker = dir.path() + QStringLiteral("/tools/edschecker");
        QDir().mkpath(dir.path() + QStringLiteral("/tools"));
        gentest::writeText(checker, QStringLiteral("#!/bin/sh\necho \"checked $*\"\n"
                                                   "printf 'ok\\0hidden'\n"));
        QFile::setPermissions(checker, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void missingEdsFile()
    {
        EdsCheckerWrapper wrapper;
        wrapper.setCheckerPath(checker);
        QVERIFY(!wrapper.startEDSCheck(dir.path() + QStringLiteral("/none.eds")));
        QCOMPARE(wrapper.getResults(), QString());
    }

    void runsChecker_data()
    {
        QTest::addColumn<bool>("startable");
        QTest::addRow("checker runs") << true;
        QTest::addRow("checker cannot start") << false;
    }

    // The results are the checker's output up to a zero byte; nothing when it cannot start.
    void runsChecker()
    {
        QFETCH(bool, startable);
        const QString eds = dir.path() + QStringLiteral("/demo.eds");
        gentest::writeText(eds, QStringLiteral("[FileInfo]\n"));
        EdsCheckerWrapper wrapper;
        wrapper.setCheckerPath(startable ? checker
                                         : dir.path() + QStringLiteral("/no/such/checker"));
        QSignalSpy finished(&wrapper, &EdsCheckerWrapper::finished);
        QVERIFY(wrapper.startEDSCheck(eds));
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        QCOMPARE(
            wrapper.getResults(),
            startable
                ? QStringLiteral("checked -e %1 -d %2/tools/v301.codb\nok").arg(eds, dir.path())
                : QString());
    }

    void deferredCheckOfRun()
    {
        QTemporaryDir project;
        gentest::writeText(project.path() + QStringLiteral("/demo_1.eds"), QStringLiteral("x"));
        ObjectDataBase db;
        db.createNewDataBase();
        GenerationRun run(&db);
        run.setProject(project.path(), QStringLiteral("demo"));
        QStringList messages;
        connect(&run, &GenerationRun::message, this,
                [&messages](const QString &m) { messages << m; });
        QCOMPARE(run.startEdsCheck(), 0); // "checkeds" not set
        QVERIFY(messages.isEmpty());
        Preferences preferences;
        preferences.checkEds = true;
        preferences.edsCheckerPath = checker;
        run.setPreferences(preferences);
        QSignalSpy done(&run, &GenerationRun::edsChecksFinished);
        // The project EDS is missing; the EDS of line 1 exists.
        QCOMPARE(run.startEdsCheck(), 1);
        QVERIFY(done.wait(10000));
        QCOMPARE(messages,
                 (QStringList{"Start of EDS Checker failed", "EDS Checker started for line 1",
                              QStringLiteral("checked -e %1/demo_1.eds -d %2/tools/v301.codb\nok")
                                  .arg(project.path(), dir.path()),
                              "EDS Checker finished"}));
        QCOMPARE(run.pendingEdsChecks(), 0);
    }

private:
    QTemporaryDir dir;
    QString checker;
};

NW_TEST_MAIN(TestEdsCheckerWrapper)
#include "tst_edscheckerwrapper.moc"
