#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/indexform.h"
#include "forms/masks/devicetypemaskform.h"
#include "forms/masks/devicetypeprofileforms.h"
#include "forms/masks/heartbeatconsumermaskform.h"
#include "forms/masks/objectclassfactory.h"
#include "forms/masks/safetyconfigurationsignatureform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>

using namespace dictionaryfixture;

// The simple masks through their widgets: what a user's input writes, and what is refused.
class TestObjectMasks : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }

    void init()
    {
        startProject();
        addArray(*db, 0, 0x1016, 2, QStringLiteral("Consumer Heartbeat Time"));
        QVERIFY(db->setSubIndexValue(0, 0x1016, 1, "0x00030064"));
        QVERIFY(db->setSubIndexValue(0, 0x1016, 2, "0x000400c8"));
        addVar(*db, 0, 0x1000, QStringLiteral("Device Type"), 7, QStringLiteral("0x00000000"));
    }

    void cleanup()
    {
        mask.reset();
        endProject();
    }

    void heartbeatConsumerCells_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char *name, const QString &node, const QString &time,
                            const QString &stored) {
            QTest::newRow(name) << node << time << stored;
        };
        row("node 5 every 200 ms", "5", "200", "0x000500c8");
        row("node-ID above 127", "128", "200", "0x00030064");
        row("time above 16 bits", "5", "65536", "0x00030064");
        row("no number", "five", "200", "0x00030064");
    }

    void heartbeatConsumerCells()
    {
        QFETCH(QString, node);
        QFETCH(QString, time);
        QFETCH(QString, stored);
        auto *consumers = open<HeartbeatConsumerMaskForm>(0x1016);
        QTableWidget *table = consumers->table();
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("3"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("100"));
        {
            const QSignalBlocker blocker(table);
            table->item(0, 0)->setText(node);
        }
        table->item(0, 1)->setText(time);
        QCOMPARE(db->getSubIndexValue(0, 0x1016, 1), stored);
        QCOMPARE(prompts->refusals.isEmpty(), stored != QLatin1String("0x00030064"));
        QCOMPARE(db->getSubIndexValue(0, 0x1016, 2), QStringLiteral("0x000400c8"));
    }

    void heartbeatConsumerDeleteRenumbers()
    {
        auto *consumers = open<HeartbeatConsumerMaskForm>(0x1016);
        consumers->table()->setCurrentCell(0, 0);
        consumers->deleteEntry();
        QCOMPARE(db->getSubIndices(0, 0x1016), (QList<quint8>{0, 1}));
        QCOMPARE(stored(*db, 0x1016, 0).defaultvalue + ' ' + stored(*db, 0x1016, 1).defaultvalue,
                 QStringLiteral("1 0x000400c8"));
        consumers->addEntry();
        QCOMPARE(stored(*db, 0x1016, 2).name, QStringLiteral("Consumer Heartbeat Time 2"));
        QCOMPARE(db->getSubIndexValue(0, 0x1016, 0), QStringLiteral("2"));
    }

    void deviceTypeProfile()
    {
        IndexForm editor;
        editor.setMember(0, 0x1000, db.get(), true, true);
        auto *deviceType = qobject_cast<DeviceTypeMaskForm *>(editor.objectMask());
        QVERIFY(deviceType);
        QComboBox *profiles = deviceType->profileBox();
        profiles->setCurrentIndex(profiles->findData(401));
        emit profiles->activated(profiles->currentIndex());
        QCOMPARE(db->getSubIndexValue(0, 0x1000, 0), QStringLiteral("0x00000191"));
        const QList<QCheckBox *> flags = deviceType->profileForm()->findChildren<QCheckBox *>();
        QCOMPARE(flags.size(), 4);
        flags.at(1)->click();
        QCOMPARE(db->getSubIndexValue(0, 0x1000, 0), QStringLiteral("0x00020191"));
        // Once a profile is set, the device type is edited on the plain tabs.
        editor.setMember(0, 0x1000, db.get(), true, true);
        QVERIFY(!editor.objectMask());
    }

    void signatureThroughTheMask_data()
    {
        QTest::addColumn<QString>("cobId1");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("refusal");
        // Receive SRDO, SCT 30, SRVT 25, COB-IDs 0x101 / 0x102, no entries:
        // bytes 02 1e 00 19 01 01 00 00 02 01 00 00 00.
        QTest::addRow("actual COB-IDs") << "0x101" << QString("0x825f") << QString();
        QTest::addRow("COB-ID with the node-ID")
            << "0xff + 2 * $NODEID"
            << "0"
            << "Either a COB-ID is 0 or contains a formular with the node-Id";
    }

    void signatureThroughTheMask()
    {
        QFETCH(QString, cobId1);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        addSrdo(cobId1);
        auto *signatures = open<SafetyConfigurationSignatureForm>(0x13FF);
        QCOMPARE(signatures->table()->rowCount(), 1);
        signatures->calculate();
        QCOMPARE(db->getSubIndexValue(0, 0x13FF, 1), stored);
        QCOMPARE(prompts->refusals, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        if (!refusal.isEmpty())
            QCOMPARE(prompts->titles, QStringList{"Cannot be calculated"});
        else
            QCOMPARE(signatures->table()->item(0, 1)->text(), stored);
    }

private:
    template <typename Mask>
    Mask *open(quint16 index, quint16 deviceType = 0)
    {
        mask.reset(ObjectClassFactory().getObjectMask(0, index, deviceType, nullptr));
        mask->setProjectDataBase(db.get());
        mask->updateData();
        return qobject_cast<Mask *>(mask.get());
    }

    void addSrdo(const QString &cobId1)
    {
        addObject(*db, 0, 0x1301, QStringLiteral("SRDO 1"), 9, 0x22);
        const QStringList values = {"6", "2", "30", "25", "254", cobId1, "0x102"};
        for (int sub = 0; sub < values.size(); ++sub)
            addSub(*db, 0, 0x1301, quint8(sub), entry(QString::number(sub), 5, values.at(sub)));
        addObject(*db, 0, 0x1381, QStringLiteral("SRDO 1 mapping"), 8, 7);
        addSub(*db, 0, 0x1381, 0, entry(QStringLiteral("Count"), 5, "0"));
        addObject(*db, 0, 0x13FF, QStringLiteral("Signatures"), 8, 6);
        addSub(*db, 0, 0x13FF, 0, entry(QStringLiteral("Highest"), 5, "1", "const"));
        addSub(*db, 0, 0x13FF, 1, entry(QStringLiteral("Checksum SRDO 1"), 6, "0"));
    }

    std::unique_ptr<BaseObjectMask> mask;
};

NW_TEST_MAIN(TestObjectMasks)
#include "tst_objectmasks.moc"
