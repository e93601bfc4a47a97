#include "database/objectdatabase.h"
#include "nwtest.h"
#include "panelkit/linetype.h"
#include "testenv.h"

// Line types as the project stores them, and the lines that make up a project.
class TestLineType : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void storedType_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("canopen");
        QTest::addColumn<bool>("j1939");
        QTest::addRow("CANopen") << "1" << 1 << "CANopen" << true << false;
        QTest::addRow("both, with blanks") << " 5 " << 5 << "both" << true << true;
        QTest::addRow("raw CAN") << "4" << 4 << "raw CAN" << false << false;
        QTest::addRow("not set") << "" << 0 << "type not set" << false << false;
        QTest::addRow("no number") << "J1939" << 0 << "type not set" << false << false;
        QTest::addRow("unknown number kept") << "3" << 3 << "type 3" << false << false;
    }
    void storedType()
    {
        QFETCH(QString, stored);
        ObjectDataBase db;
        db.createNewDataBase();
        db.setGeneralSettingsValue(QStringLiteral("line0type"), stored);
        const LineType read = LineTypes::lineType(&db, 0);
        QTEST(int(read), "type");
        QTEST(LineTypes::name(read), "name");
        QTEST(LineTypes::carriesCANopen(read), "canopen");
        QTEST(LineTypes::carriesJ1939(read), "j1939");
        QVERIFY(LineTypes::setLineType(&db, 0, read));
        QCOMPARE(LineTypes::lineType(&db, 0), read);
    }

    void projectLinesLeaveOutReservedLines()
    {
        ObjectDataBase db;
        db.createNewDataBase();
        for (quint8 line : {quint8(7), quint8(2), ReservedLine::first, ReservedLine::clipboard,
                            ReservedLine::staging})
            db.addNode(line, ObjectDataBase::NODE_DATA_T());
        QCOMPARE(LineTypes::projectLines(&db), (QList<quint8>{0, 2, 7}));
        QCOMPARE(LineTypes::projectLines(nullptr), QList<quint8>());
    }
};

NW_TEST_MAIN(TestLineType)
#include "tst_linetype.moc"
