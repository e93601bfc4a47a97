#include "../panelkit/sectiontext.h"
#include "database/objectdatabase.h"
#include "importers/edsimporter.h"
#include "nwtest.h"
#include "roundtriputil.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const quint8 staging = 255;

// "2000.name", "1018sub1.default": the field of an object or sub-index (sub-index in
// decimal) in the staging line, as "spec=value".
QString fact(ObjectDataBase &db, const QString &spec)
{
    const QString field = spec.section(QLatin1Char('.'), 1);
    const QString at = spec.section(QLatin1Char('.'), 0, 0);
    const quint16 index = quint16(at.left(4).toUInt(nullptr, 16));
    QMap<QString, QString> fields;
    ObjectDataBase::INDEX_DATA_T o;
    ObjectDataBase::SUBINDEX_DATA_T s;
    if (at.size() == 4 && db.getIndexData(staging, index, o))
        fields = {{"name", o.name},
                  {"objecttype", QString::number(o.objecttype)},
                  {"datatype", QString::number(o.datatype)},
                  {"description", o.description},
                  {"subs", QString::number(db.getSubIndices(staging, index).size())}};
    else if (at.size() > 4 && db.getSubIndexData(staging, index, quint8(at.mid(7).toUInt()), s))
        fields = {{"name", s.name},
                  {"default", s.defaultvalue},
                  {"current", s.currentvalue},
                  {"access", s.accesstype},
                  {"datatype", QString::number(s.datatype)},
                  {"pdomapping", QString::number(s.pdomapping)},
                  {"implementation", QString::number(s.implementation)},
                  {"varname", s.varname},
                  {"dcf", QString::number(s.dcfcomponent)},
                  {"description", s.description},
                  {"limits", QStringLiteral("%1..%2").arg(s.lowlimit).arg(s.uplimit)},
                  {"limitineds", QString::number(s.limitineds)},
                  {"writedefault", QString::number(s.writedefaulttoeds)},
                  {"refusewrite", QString::number(s.refusewrite)}};
    return at + '.' + field + '='
           + (fields.isEmpty() ? QStringLiteral("<missing>")
                               : fields.value(field, "<no such field>"));
}

// A section of tests/data/importers/eds_rules.txt.
QByteArray rules(const char *name)
{
    return sectionText(NW_TEST_DATA_DIR "/importers/eds_rules.txt", name);
}

int subCount(ObjectDataBase &db)
{
    int count = 0;
    for (quint16 index : db.getIndices(staging))
        count += db.getSubIndices(staging, index).size();
    return count;
}

} // namespace

class TestEDSImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_db.reset(new ObjectDataBase);
        QVERIFY(m_db->createNewDataBase() && m_db->addNode(staging, ObjectDataBase::NODE_DATA_T()));
    }

    void corpusFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("facts");
        // Per file: "objects=.. subs=..", then fields of some objects and sub-indices.
        const auto files = roundtrip::sections(NW_TEST_DATA_DIR "/importers/eds_corpus.txt");
        QVERIFY(files.size() > 20);
        for (const auto &file : files)
            QTest::addRow("%s", qPrintable(file.first)) << file.first << file.second;
    }
    void corpusFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, facts);
        import(QStringLiteral(NW_TEST_DATA_DIR "/importers/") + file, file.endsWith(".dcf"));
        QCOMPARE(QStringLiteral("objects=%1 subs=%2")
                     .arg(m_db->getIndices(staging).size())
                     .arg(subCount(*m_db)),
                 facts.takeFirst());
        checkFacts(facts);
    }

    void readerRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("dcf");
        QTest::addColumn<QStringList>("facts");
        // The file is the section of tests/data/importers/eds_rules.txt named by the row or
        // text; the facts are the row's section of eds_rules_facts.txt.
        const auto row = [](const char *name, bool dcf, const char *text = nullptr) {
            QTest::newRow(name) << rules(text ? text : name) << dcf
                                << QString::fromUtf8(sectionText(NW_TEST_DATA_DIR
                                                                 "/importers/eds_rules_facts.txt",
                                                                 name))
                                       .split('\n', Qt::SkipEmptyParts);
        };
        row("compact array", false);
        row("PDO mapping by access type", false);
        row("DOMAIN entries are application variables", false);
        row("DCF takes ParameterValue as default", true, "configured values");
        row("EDS keeps DefaultValue", false, "configured values");
        row("missing PDO objects", false);
        row("comments become descriptions", false);
        row("limits, array type, written default", false);
    }
    void readerRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, dcf);
        QFETCH(QStringList, facts);
        import(writeFile(content, dcf ? "test.dcf" : "test.eds"), dcf);
        checkFacts(facts);
    }

    void fileAndDeviceInfo()
    {
        const QString path = writeFile(rules("file and device information"));
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setImportFileName(path);
        m_db->setDescriptionSettingsLine(3);
        QVERIFY(importer.importFileDeviceInfo());
        const QMap<QString, QString> expected = {{"FileVersion", "2"}, {"CreatedBy", "me, myself"},
                                                 {"ModifiedBy", ""},   {"VendorName", "V"},
                                                 {"NrOfRXPDO", "0"},   {"Dummy0003", "1"},
                                                 {"Dummy0001", ""},    {"Comment", "first\n\n"}};
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            QCOMPARE(it.key() + '=' + m_db->getDescriptionSettingsValue(it.key()),
                     it.key() + '=' + it.value());
        m_db->setDescriptionSettingsLine(0);
        QCOMPARE(m_db->getDescriptionSettingsValue("VendorName"), QString());
    }

    void unreadableFileIsReported()
    {
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setActiveLine(staging);
        QVERIFY(importer.setImportFileName(writeFile("no EDS at all\n")));
        QSignalSpy errors(&importer, qOverload<const QString &>(&BaseDataImporter::importError));
        importer.doImport();
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().first().toString().endsWith("no EDS or DCF file"));
        QVERIFY(importer.hasFileError() && m_db->getIndices(staging).isEmpty());
    }

    void runsOnWorkerThread()
    {
        auto *importer = new EDSImporter;
        importer->setDatabase(m_db.get());
        importer->setActiveLine(staging);
        importer->setImportFileName(QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/sample.eds"));
        QSignalSpy done(importer, &BaseDataImporter::progress);
        QVERIFY(importer->startImport() && done.wait(20000));
        QCOMPARE(done.last().first().value<quint8>(), quint8(100));
        QCOMPARE(importer->thread(), QThread::currentThread());
        QCOMPARE(m_db->getIndices(staging).size(), 40);
        delete importer;
    }

private:
    void import(const QString &path, bool dcf, quint32 low = 0x1000, quint32 high = 0xFFFF)
    {
        EDSImporter importer;
        importer.setDatabase(m_db.get());
        importer.setActiveLine(staging);
        importer.setIndexRange(low, high);
        importer.setDcfMode(dcf);
        QVERIFY(importer.setImportFileName(path));
        importer.doImport();
        QVERIFY2(importer.getLastError().isEmpty(), qPrintable(importer.getLastError()));
        QVERIFY(importer.objectsWithErrors().isEmpty());
    }

    QString writeFile(const QByteArray &content, const QString &name = "test.eds")
    {
        const QString path = m_dir.filePath(name);
        return nwWriteFile(path, content) ? path : QString();
    }

    void checkFacts(const QStringList &facts)
    {
        QVERIFY(!facts.isEmpty());
        for (const QString &expected : facts) {
            const QString spec = expected.section(QLatin1Char('='), 0, 0);
            QCOMPARE(roundtrip::escaped(fact(*m_db, spec)), expected);
        }
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ObjectDataBase> m_db;
};

NW_TEST_MAIN(TestEDSImporter)
#include "tst_edsimporter.moc"
