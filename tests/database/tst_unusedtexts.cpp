#include "dbtestutil.h"
#include "nwtest.h"
#include "testenv.h"

#include <QTemporaryDir>

using namespace dbtest;

// Saving drops the texts no table refers to; a reference stored in an odd form (a file
// edited by hand or by another tool) still keeps the text it is read as.
class TestUnusedTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initApplication();
        QVERIFY(m_dir.isValid());
    }
    void oddReferencesKeepTheirTexts_data();
    void oddReferencesKeepTheirTexts();

private:
    QTemporaryDir m_dir;
};

void TestUnusedTexts::oddReferencesKeepTheirTexts_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addRow("number") << "%1";
    QTest::addRow("blob of its digits") << "cast(%1 as blob)";
    QTest::addRow("fraction") << "%1 + 0.25";
}

void TestUnusedTexts::oddReferencesKeepTheirTexts()
{
    QFETCH(QString, reference);
    const QString first = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".nwrp");
    const QString second = first + ".saved.nwrp";
    int id = -1;
    {
        ObjectDataBase db;
        QVERIFY(db.createNewDataBase());
        ObjectDataBase::INDEX_DATA_T object;
        object.name = QStringLiteral("Oddly referenced");
        QVERIFY(db.addIndex(0, 0x2000, object));
        object.name = QStringLiteral("Unused");
        QVERIFY(db.addIndex(0, 0x2001, object));
        QVERIFY(db.delIndex(0, 0x2001));
        id = db.getStringId(QStringLiteral("Oddly referenced"));
        QVERIFY(db.saveDataBase(first));
    }
    QCOMPARE(sqlite3(first, {QStringLiteral("update Objects0 set name = %1 where objectindex = "
                                            "8192")
                                 .arg(reference.arg(id))}),
             QString());
    {
        ObjectDataBase db;
        QVERIFY(db.openDataBase(first, false));
        QCOMPARE(db.getIndexName(0, 0x2000), QStringLiteral("Oddly referenced"));
        QVERIFY(db.saveDataBase(second));
    }
    ObjectDataBase reopened;
    QVERIFY(reopened.openDataBase(second, false));
    QCOMPARE(reopened.getIndexName(0, 0x2000), QStringLiteral("Oddly referenced"));
    QCOMPARE(sqlite3(second, {"select string from Strings where string like 'Unused'"}), QString());
}

NW_TEST_MAIN(TestUnusedTexts)
#include "tst_unusedtexts.moc"
