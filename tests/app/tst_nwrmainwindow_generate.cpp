#include "../generators/generatortestutil.h"

#include "app/nwrmainwindow.h"
#include "forms/generatoroutputform.h"
#include "nwtest.h"
#include "panelkit/widgets/fileviewerdialog.h"
#include "scriptedinteraction.h"

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>

// "&Generate Files" and the viewers of the Generate menu in the main window.
class TestNwrMainWindowGenerate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
        gentest::initApplication();
        // The window reads the stack folder from the user's settings, as a user sets it.
        QSettings().setValue("General/costackpath", gentest::testStackFolder());
        qRegisterMetaType<ObjectDataBase::ChangeSet>("ObjectDataBase::ChangeSet");
    }

    void cleanup()
    {
        window.reset();
        project.reset();
    }

    void unsavedProjectIsRefused()
    {
        makeWindow();
        QAction *generate = action("actionGenerate_Output");
        QVERIFY(generate);
        QCOMPARE(generate->text(), QStringLiteral("&Generate Files"));
        generate->trigger();
        QCOMPARE(interaction->messages,
                 QStringList{"The project must be saved before any files can be generated."});
        QCOMPARE(interaction->titles, QStringList{"CANopen Nodewright  3.4.1"});
        QVERIFY(!QApplication::overrideCursor());
    }

    void generatesIntoProjectFolder()
    {
        makeWindow();
        QVERIFY(!openFixture(&gentest::buildCanopenProject).isEmpty());
        action("actionGenerate_Output")->trigger();
        QVERIFY2(interaction->messages.isEmpty(), qPrintable(interaction->messages.join('\n')));
        auto *output = window->findChild<GeneratorOutputForm *>();
        QVERIFY(output);
        const QString stamp = gentest::fixedTime().toString(Qt::TextDate) + ": ";
        const QString log = output->getLogging();
        QVERIFY2(log.contains(stamp + "Generation of gen_indication.h completed."),
                 qPrintable(log));
        QVERIFY(QFile::exists(dir.filePath("gen_indices.h")));
        QVERIFY(!window->findChild<QProgressDialog *>()->isVisible());
        QVERIFY(!QApplication::overrideCursor());
    }

    void viewersOpenGeneratedFiles_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<bool>("twoLines");
        QTest::addColumn<QString>("file");
        QTest::addRow("indices") << "actionGen_indices_h" << false << "gen_indices.h";
        QTest::addRow("objdict") << "actionCo_objects_c" << false << "gen_objdict.c";
        QTest::addRow("project EDS") << "actionEDS_File" << false << "demo.eds";
        QTest::addRow("EDS of the selected line") << "actionEDS_File" << true << "demo_0.eds";
        QTest::addRow("text documentation")
            << "actionText_Documentation" << false << "demo_doc.txt";
    }

    void viewersOpenGeneratedFiles()
    {
        QFETCH(QString, actionName);
        QFETCH(bool, twoLines);
        QFETCH(QString, file);
        makeWindow();
        QVERIFY(!openFixture(twoLines ? &gentest::buildMixedProject : &gentest::buildCanopenProject)
                     .isEmpty());
        QFile::remove(dir.filePath("demo.eds"));
        QAction *viewerAction = action(actionName.toLatin1().constData());
        QVERIFY(viewerAction);
        viewerAction->trigger();
        FileViewerDialog *viewer = lastViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->fileName(), dir.filePath(file));
        QVERIFY(viewer->isVisible());
    }

private:
    void makeWindow()
    {
        project.reset(new ObjectDataBase);
        gentest::buildCanopenProject(*project);
        window.reset(new NwrMainWindow(QStringList{QStringLiteral("nodewright")}));
        interaction = new ScriptedInteraction;
        interaction->unqueuedSaveAnswer = QMessageBox::Discard;
        window->setUserInteraction(interaction);
        window->setProjectDatabase(project.get());
    }

    QString openFixture(void (*build)(ObjectDataBase &))
    {
        ObjectDataBase fixture;
        build(fixture);
        const QString path = dir.filePath("demo.nwrp");
        QFile::remove(path);
        fixture.saveDataBase(path);
        return window->openProject(path) ? path : QString();
    }

    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QLatin1String(name));
    }

    FileViewerDialog *lastViewer() const
    {
        const QList<FileViewerDialog *> viewers = window->findChildren<FileViewerDialog *>();
        return viewers.isEmpty() ? nullptr : viewers.last();
    }

    QTemporaryDir dir{QDir::tempPath() + "/nwwin-XXXXXX"};
    std::unique_ptr<ObjectDataBase> project;
    std::unique_ptr<NwrMainWindow> window;
    ScriptedInteraction *interaction = nullptr;
};

NW_TEST_MAIN(TestNwrMainWindowGenerate)
#include "tst_nwrmainwindow_generate.moc"
