#include "dbtestutil.h"
#include "nwtest.h"

#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

using namespace dbtest;

namespace {

// Overwrites the page that holds the rows of tableName in the file at path with garbage.
bool damageTable(ObjectDataBase &db, const QString &path, const QString &tableName)
{
    if (!db.executeSql(
            QStringLiteral("select rootpage from sqlite_master where name = '%1'").arg(tableName)))
        return false;
    const qint64 page = db.sqlResult().value(0).toLongLong();
    QFile file(path);
    if (page < 2 || !file.open(QIODevice::ReadWrite) || !file.seek((page - 1) * 4096))
        return false;
    return file.write(QByteArray(4096, '\xA5')) == 4096;
}

} // namespace

// Project file layout, opening, upgrading and saving.
class TestObjectDataBaseFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initApplication(); }

    void bookkeepingKeys()
    {
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        QCOMPARE(db.getMiscSettingsValue("CreateToolName"), QString("CANopen Nodewright"));
        QCOMPARE(db.getMiscSettingsValue("CreateToolVersion"), QString("3.4.1"));
        QCOMPARE(db.getMiscSettingsValue("DatabaseVersion"), QString("101"));
        QVERIFY(db.getMiscSettingsValue("SaveToolType").isEmpty());
        const QString path = m_dir.filePath(QStringLiteral("bookkeeping.nwrp"));
        QVERIFY(db.saveDataBase(path));
        QCOMPARE(sqlite3(path, {"select item || '=' || value from MiscSettings order by item"}),
                 QString("CreateToolName=CANopen Nodewright\nCreateToolVersion=3.4.1\n"
                         "DatabaseVersion=101\nSaveToolType=CANopen Nodewright\n"
                         "SaveToolVersion=3.4.1\n"));
        QCOMPARE(db.projectFileName(), path);
    }

    void oldLayoutIsUpgraded_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("getsUniqueKey");
        QTest::addRow("version 99") << "99" << true;
        QTest::addRow("version missing") << "" << true;
        QTest::addRow("version 101") << "101" << false;
    }
    void oldLayoutIsUpgraded()
    {
        QFETCH(QString, version);
        QFETCH(bool, getsUniqueKey);
        const QString path = m_dir.filePath(QStringLiteral("old_%1.nwrp").arg(version));
        const QString versionRow = "insert into MiscSettings values('DatabaseVersion', '%1')";
        QCOMPARE(
            writeProject(path, "old_project.sql",
                         version.isEmpty() ? QStringList() : QStringList{versionRow.arg(version)}),
            QString());

        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        ObjectDataBase::NODE_DATA_T node;
        ObjectDataBase::INDEX_DATA_T object;
        ObjectDataBase::SUBINDEX_DATA_T sub;
        QVERIFY(db.getNodeData(0, node) && db.getIndexData(0, 0x1000, object)
                && db.getSubIndexData(0, 0x1000, 0, sub));
        // nvstorage, a column the old table had before the later ones were added, keeps its value.
        QCOMPARE(
            QStringList({node.name, node.edspath, object.name, object.description, sub.name,
                         sub.defaultvalue, QString::number(sub.size),
                         QString::number(sub.implementation), sub.varname, sub.description,
                         QString::number(sub.nvstorage), QString::number(sub.writedefaulttoeds)})
                .join('|'),
            QString("Old device|dev.eds|Device type|It's the type|Value|0x12345|4|1|devType|"
                    "Old entry|1|0"));
        QVERIFY(object.metadata.isEmpty());

        QVERIFY(sqlRows(db, "select sql from sqlite_master where name = 'SubObjects0'")
                    .endsWith("metadata blob,UNIQUE(objectindex,subindex))")
                == getsUniqueKey);
        for (const char *sql :
             {"select writedefaulttoeds, denotation, nvstorage, metadata, managedbycbw, signalid "
              "from SubObjects0",
              "select fwsupported, device_class, metadata from Objects0",
              "select count(*) from PGNs0, SPNs0, CANIDs0, DataElements0, J1939Settings, "
              "EnergyBusSettings, DescriptionSettings, Signals, SignalGroups, Groups, "
              "VirtualNodes, "
              "LockedPDOs, LockedMappings",
              "select priority from Connections",
              "select lssslave, multilinedata, iconpath from Nodes"})
            QVERIFY2(db.executeSql(sql), sql);
        if (getsUniqueKey) {
            // Every column of the current layout is there and the key is unique.
            sub.metadata.insert("k", "v");
            QVERIFY(db.addSubIndex(0, 0x1000, 0, sub) && db.addSubIndex(0, 0x1000, 0, sub));
            ObjectDataBase::SUBINDEX_DATA_T reread;
            QVERIFY(db.getSubIndexData(0, 0x1000, 0, reread));
            QCOMPARE(reread, sub);
            QCOMPARE(sqlRows(db, "select count(*) from SubObjects0"), QString("1"));
        }
    }

    void linesWithoutTypeAreTyped()
    {
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase() && source.addNode(1, {}) && source.addNode(2, {}));
        for (quint16 index : {0x1000, 0x1001, 0x2000})
            QVERIFY(source.addIndex(1, index, {}));
        QVERIFY(source.addIndex(2, 0x0100, {}));
        const QString path = m_dir.filePath(QStringLiteral("untyped.nwrp"));
        QVERIFY(source.saveDataBase(path));
        const QString tool =
            "update MiscSettings set value = '%1' where item = 'CreateToolVersion'";
        QCOMPARE(sqlite3(path, {"insert into PGNs1 values(61444, 0, 3, 10, 0, 0, 85, 0, 0); insert "
                                "into GeneralSettings values('line0type', '4'); "
                                + tool.arg("3.0")}),
                 QString());

        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        QCOMPARE(db.getGeneralSettingsValue("line0type"), QString("4"));
        QCOMPARE(db.getGeneralSettingsValue("line1type"), QString("1"));
        QCOMPARE(db.getGeneralSettingsValue("line2type"), QString("2"));

        QCOMPARE(sqlite3(path, {tool.arg("J1939 Nodewright")}), QString());
        ObjectDataBase j1939;
        QVERIFY(j1939.openDataBase(path, false));
        QCOMPARE(j1939.getGeneralSettingsValue("line1type"), QString("2"));
    }

    void wrongTool_data()
    {
        QTest::addColumn<QString>("savedBy");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("raised");
        QTest::addRow("other tool") << QString("J1939 Nodewright") << "p.nwrp" << true;
        QTest::addRow("same tool") << QString("CANopen Nodewright") << "p.nwrp" << false;
        QTest::addRow("network tool") << QString("CANopen Buswright") << "p.nwrp" << false;
        QTest::addRow("template path") << QString("J1939 Nodewright") << "mt.data" << false;
        QTest::addRow("never saved") << QString() << "p.nwrp" << false;
    }
    void wrongTool()
    {
        QFETCH(QString, savedBy);
        QFETCH(QString, fileName);
        QFETCH(bool, raised);
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase());
        const QString path = m_dir.filePath(fileName);
        QVERIFY(source.saveDataBase(path));
        QCOMPARE(sqlite3(path, {"update MiscSettings set value = '" + savedBy
                                + "' where item = 'SaveToolType'"}),
                 QString());
        ObjectDataBase db;
        QSignalSpy spy(&db, &ObjectDataBase::wrongTool);
        QVERIFY(db.openDataBase(path, false));
        QCOMPARE(spy.count(), raised ? 1 : 0);
    }

    void unusableFilesAreRefused_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("messageStart");
        QTest::addRow("missing file")
            << "missing.nwrp" << QByteArray() << "Info" << QString("Error detected: \nCopy ");
        QTest::addRow("text file") << "text.nwrp" << QByteArray("[FileInfo]\nName=x\n")
                                   << "Debug Info" << QString("0 lines");
        QTest::addRow("empty file")
            << "empty.nwrp" << QByteArray("") << "Debug Info" << QString("0 lines");
    }
    void unusableFilesAreRefused()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(QString, title);
        QFETCH(QString, messageStart);
        const QString path = m_dir.filePath(fileName);
        if (!contents.isNull())
            QVERIFY(nwWriteFile(path, contents));
        for (bool show : {false, true}) {
            ObjectDataBase db;
            QSignalSpy spy(&db, &ObjectDataBase::message);
            QVERIFY(!db.openDataBase(path, show));
            QVERIFY2(db.errorString().startsWith(messageStart), qPrintable(db.errorString()));
            QCOMPARE(spy.isEmpty(), !show);
            if (show) {
                QCOMPARE(spy.first().at(0).toString(), title);
                QVERIFY(spy.first().at(1).toString().startsWith(messageStart));
            }
        }
        QCOMPARE(nwReadFile(path), contents.isNull() ? QByteArray("<missing>") : contents);
    }

    void readOnlyProjectOpensWritable()
    {
        ObjectDataBase source;
        QVERIFY(source.createNewDataBase());
        const QString path = m_dir.filePath(QStringLiteral("readonly.nwrp"));
        QVERIFY(source.saveDataBase(path));
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QByteArray before = nwReadFile(path);

        ObjectDataBase db;
        QVERIFY(db.openDataBase(path, false));
        QVERIFY(QFileInfo(db.workingFileName()).isWritable() || getuid() == 0);
        QVERIFY(QFile::permissions(db.workingFileName()) & QFile::WriteOwner);
        QVERIFY(db.addIndex(0, 0x2000, {}) && db.existIndex(0, 0x2000));
        QCOMPARE(nwReadFile(path), before);
    }

    void saveKeepsPreviousFileAsBak()
    {
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        const QString path = m_dir.filePath(QStringLiteral("bak.nwrp"));
        QVERIFY(db.saveDataBase(path));
        const QByteArray first = nwReadFile(path);
        QVERIFY(!QFile::exists(path + ".bak"));

        QVERIFY(db.addIndex(0, 0x2000, {}) && db.saveDataBase());
        const QByteArray second = nwReadFile(path);
        QCOMPARE(nwReadFile(path + ".bak"), first);
        QCOMPARE(second, nwReadFile(db.workingFileName()));

        QVERIFY(db.addIndex(0, 0x2001, {}) && db.saveDataBase(path));
        QCOMPARE(nwReadFile(path + ".bak"), second);
        QCOMPARE(QDir(m_dir.path()).entryList({"bak.nwrp*"}),
                 QStringList({"bak.nwrp", "bak.nwrp.bak"}));

        ObjectDataBase reopened;
        QVERIFY(reopened.openDataBase(path, false));
        QCOMPARE(reopened.getIndices(0), QList<quint16>({0x2000, 0x2001}));
    }

    void failedSaveChangesNothing_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addRow("folder is read-only") << "readonly";
        QTest::addRow("parent is a regular file") << "parentfile";
        QTest::addRow("backup is a folder") << "bakdir";
        QTest::addRow("working file damaged") << "damaged";
        QTest::addRow("file cannot grow") << "full";
    }
    void failedSaveChangesNothing()
    {
        QFETCH(QString, obstacle);
        const QString folder = m_dir.filePath(QStringLiteral("fail_") + obstacle);
        QVERIFY(QDir().mkpath(folder));
        QString target = folder + QStringLiteral("/p.nwrp");

        ObjectDataBase db;
        QVERIFY(db.createNewDataBase() && db.saveDataBase(target) && db.addIndex(0, 0x2000, {})
                && db.saveDataBase(target) && db.addIndex(0, 0x2001, {}));
        if (obstacle == "readonly") {
            if (getuid() == 0)
                QSKIP("Permission bits do not stop the super-user.");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (obstacle == "parentfile") {
            target = folder + QStringLiteral("/p.nwrp/inner.nwrp");
        } else if (obstacle == "bakdir") {
            QVERIFY(QFile::remove(target + ".bak"));
            QVERIFY(QDir().mkpath(target + ".bak/x"));
        }
        const QStringList entriesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
        const QByteArray projectBefore = nwReadFile(folder + "/p.nwrp");
        const QByteArray bakBefore = nwReadFile(folder + "/p.nwrp.bak");
        const QString projectFileBefore = db.projectFileName();

        if (obstacle == "damaged")
            QVERIFY(damageTable(db, db.workingFileName(), "Nodes"));
        {
            const FileSizeLimit limit(obstacle == "full" ? 4096 : RLIM_INFINITY);
            QVERIFY(!db.saveDataBase(target));
        }
        QVERIFY(!db.errorString().isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(nwReadFile(folder + "/p.nwrp"), projectBefore);
        QCOMPARE(nwReadFile(folder + "/p.nwrp.bak"), bakBefore);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore);
        QCOMPARE(db.projectFileName(), projectFileBefore);
    }

    // A project file damaged since it was saved is not rotated over a sound ".bak": the
    // backup stays, and the damaged file is kept aside.
    void damagedTargetDoesNotReplaceTheBackup()
    {
        const QString folder = m_dir.filePath(QStringLiteral("damaged_target"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + QStringLiteral("/p.nwrp");
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase() && db.saveDataBase(target) && db.addIndex(0, 0x2000, {})
                && db.saveDataBase(target));
        const QByteArray goodBak = nwReadFile(target + ".bak");
        QVERIFY(damageTable(db, target, "Nodes"));
        const QByteArray damaged = nwReadFile(target);

        QVERIFY(db.addIndex(0, 0x2001, {}));
        QVERIFY2(db.saveDataBase(target), qPrintable(db.errorString()));
        QCOMPARE(nwReadFile(target + ".bak"), goodBak);
        QCOMPARE(nwReadFile(target + ".damaged"), damaged);
        ObjectDataBase reopened;
        QVERIFY(reopened.openDataBase(target, false));
        QCOMPARE(reopened.getIndices(0), QList<quint16>({0x2000, 0x2001}));
    }

    void savingThroughSymbolicLinks_data()
    {
        QTest::addColumn<int>("links");
        QTest::addColumn<bool>("realFileExists");
        QTest::addRow("link to the project") << 1 << true;
        QTest::addRow("link to a link to the project") << 2 << true;
        QTest::addRow("link to a project not yet written") << 1 << false;
    }
    // Saving through a link writes the file it leads to, keeps the link a link, the file's
    // permission bits, and puts ".bak" beside the real file.
    void savingThroughSymbolicLinks()
    {
        QFETCH(int, links);
        QFETCH(bool, realFileExists);
        const QString base =
            m_dir.filePath(QStringLiteral("links_%1_%2").arg(links).arg(realFileExists));
        QVERIFY(QDir().mkpath(base + "/real") && QDir().mkpath(base + "/links"));
        const QString real = base + "/real/p.nwrp";
        // Mode 0660 (read and write for owner, user and group); the "user" flags describe the
        // current user and are not compared.
        const QFileDevice::Permissions mode(0x6660);
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        if (realFileExists) {
            QVERIFY(db.saveDataBase(real));
            QVERIFY(QFile::setPermissions(real, mode));
        }
        QString link = real;
        for (int i = 0; i < links; ++i) {
            const QString next = base + QStringLiteral("/links/link%1.nwrp").arg(i);
            QVERIFY(QFile::link(link, next));
            link = next;
        }
        QVERIFY(db.addIndex(0, 0x2000, {}));
        QVERIFY2(db.saveDataBase(link), qPrintable(db.errorString()));

        QCOMPARE(db.projectFileName(), link);
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(real).isFile() && !QFileInfo(real).isSymLink());
        QCOMPARE(sqlite3(real, {"select objectindex from Objects0"}), QString("8192\n"));
        QCOMPARE(QFileInfo::exists(real + ".bak"), realFileExists);
        QCOMPARE(QDir(base + "/links").entryList(QDir::Files | QDir::System).size(), links);
        if (realFileExists)
            QCOMPARE(QFile::permissions(real) & 0x7077, mode & 0x7077);
        QCOMPARE(QDir(base + "/real").entryList(QDir::Files).size(), realFileExists ? 2 : 1);
    }

    void scratchLinesAndUnusedStringsAreNotSaved()
    {
        ObjectDataBase db;
        ObjectDataBase::INDEX_DATA_T object;
        object.name = QStringLiteral("Kept name");
        QVERIFY(db.createNewDataBase() && db.addIndex(0, 0x2000, object) && db.saveIndex(0, 0x2000)
                && db.addNode(255, {}));
        object.name = QStringLiteral("Dropped name");
        QVERIFY(db.addIndex(0, 0x2001, object) && db.delIndex(0, 0x2001));
        const int dropped = db.getStringId(QStringLiteral("Dropped name"));

        const QString path = m_dir.filePath(QStringLiteral("scratch.nwrp"));
        QVERIFY(db.saveDataBase(path));
        QCOMPARE(sqlite3(path, {"select nodeId from Nodes union all select count(*) from "
                                "sqlite_master where name like '%254' or name like '%255' union "
                                "all select string from Strings where string like '%name'"}),
                 QString("0\n0\nKept name\n"));
        QVERIFY(db.getString(dropped).isEmpty());
    }

    void templateSaveResetsChangedByUser()
    {
        ObjectDataBase db;
        ObjectDataBase::SUBINDEX_DATA_T sub;
        sub.changedbyuser = true;
        sub.wizardsource = 7;
        QVERIFY(db.createNewDataBase() && db.addIndex(0, 0x6000, {})
                && db.addSubIndex(0, 0x6000, 0, sub) && db.addSubIndex(0, 0x6000, 1, sub));

        const QString project = m_dir.filePath(QStringLiteral("keeps.nwrp"));
        QVERIFY(db.saveDataBase(project));
        QCOMPARE(sqlite3(project, {"select changedbyuser, wizardsource from SubObjects0"}),
                 QString("1|7\n1|7\n"));

        const QString templ = m_dir.filePath(QStringLiteral("device.data"));
        QVERIFY(db.saveDataBase(templ));
        QCOMPARE(sqlite3(templ, {"select changedbyuser, wizardsource from SubObjects0"}),
                 QString("0|454\n0|454\n"));
    }

    void workingFilesLiveInAppDataAndAreDeleted()
    {
        QString first;
        QString second;
        {
            ObjectDataBase db;
            QVERIFY(db.createNewDataBase());
            first = db.workingFileName();
            QVERIFY(db.createNewDataBase());
            second = db.workingFileName();
            const QString dataDir =
                QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
            QCOMPARE(QFileInfo(first).absolutePath(), QFileInfo(dataDir).absoluteFilePath());
            QVERIFY(QRegularExpression("^nwedatatemp_\\d+_\\d+$")
                        .match(QFileInfo(first).fileName())
                        .hasMatch());
            QVERIFY(first != second && QFile::exists(first) && QFile::exists(second));
            QVERIFY(!QFile::exists(db.createTempFile()));
        }
        QVERIFY(!QFile::exists(first) && !QFile::exists(second));
        // Two stores asking before either has made its file (two windows, two processes).
        ObjectDataBase one;
        const QString asked = one.createTempFile();
        ObjectDataBase other;
        QVERIFY(asked != other.createTempFile());
    }

private:
    QTemporaryDir m_dir;
};

NW_TEST_MAIN(TestObjectDataBaseFile)
#include "tst_objectdatabase_file.moc"
