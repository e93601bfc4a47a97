#include "database/objectdatabase.h"
#include "importers/basedataimporter.h"
#include "nwtest.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

namespace {

// A reader that only counts its runs; enough to drive the base class.
class CountingImporter : public BaseDataImporter
{
public:
    QString getLastError() override { return QString(); }
    void doImport() override
    {
        ++runs;
        runThread = QThread::currentThread();
        finishImport();
    }
    int runs = 0;
    QThread *runThread = nullptr;
};

} // namespace

class TestBaseDataImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void proposeVarname()
    {
        CountingImporter importer;
        QStringList names;
        for (int i = 0; i < 3; ++i)
            names << importer.proposeVarname(0x2000, QStringLiteral("Motor Speed (rpm)"));
        names << importer.proposeVarname(0x6ABC, QStringLiteral("A-b#c.d,e/f"))
              << importer.proposeVarname(0x6ABC, QStringLiteral("abc def"));
        // A name already proposed gets the index appended.
        QCOMPARE(names, (QStringList{"motorspeedrpm", "motorspeedrpm_2000",
                                     "motorspeedrpm_2000_2000", "abcdef", "abcdef_6abc"}));
    }

    void dataTypeFromBitLength_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("type");
        const QList<QPair<int, int>> table = {
            {0, 0},    {1, 1},  {2, 100}, {3, 101},  {4, 102},  {5, 103},  {6, 104},
            {7, 105},  {8, 5},  {9, 0},   {10, 107}, {11, 108}, {12, 109}, {13, 110},
            {14, 111}, {15, 0}, {16, 6},  {17, 0},   {24, 22},  {32, 7},   {40, 24},
            {48, 25},  {56, 0}, {63, 0},  {64, 27},  {65, 10},  {1000, 10}};
        for (const auto &row : table)
            QTest::addRow("%d bits", row.first) << row.first << row.second;
    }
    void dataTypeFromBitLength()
    {
        QFETCH(int, bits);
        QTEST(int(BaseDataImporter::getDataTypeFromBitLength(quint16(bits))), "type");
    }

    void setters()
    {
        CountingImporter importer;
        QVERIFY(!importer.setDatabase(nullptr) && !importer.abortImport());
        QVERIFY(importer.isFinished());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.codb"));
        QVERIFY(nwWriteFile(path, QByteArray()) && importer.setImportFileName(path));
        QCOMPARE(importer.importFileName(), path);
        QVERIFY(!importer.setImportFileName(dir.filePath(QStringLiteral("missing.codb"))));
        QVERIFY(importer.importFileName().isEmpty());
        QVERIFY(!importer.setImportFileName(dir.path()));
    }

    void runsOnWorkerThread()
    {
        CountingImporter importer;
        QSignalSpy done(&importer, &BaseDataImporter::progress);
        QVERIFY(importer.startImport());
        importer.wait();
        QVERIFY(importer.isFinished());
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(done.first().first().value<quint8>(), quint8(100));
        QCOMPARE(importer.runs, 1);
        QVERIFY(importer.runThread != QThread::currentThread());
        // The reader is back on this thread and can run again.
        QCOMPARE(importer.thread(), QThread::currentThread());
        QVERIFY(importer.startImport());
        QTRY_COMPARE(done.count(), 2);
        QCOMPARE(importer.runs, 2);
    }
};

NW_TEST_MAIN(TestBaseDataImporter)
#include "tst_basedataimporter.moc"
