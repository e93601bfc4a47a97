#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/masks/baseobjectmask.h"
#include "forms/masks/objectclassfactory.h"

#include <QSpinBox>

using namespace dictionaryfixture;

using Fields = QMap<QString, int>;

// The communication services copy their objects from the built template data/objects.data
// and write the values of the mask; a service that cannot be added changes nothing.
class TestServiceMasks : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwtest::initApplication();
        BaseObjectMask::setTemplateFolder(QStringLiteral(NW_BINARY_DIR "/src/data"));
        QVERIFY(QFile::exists(BaseObjectMask::templateFolder() + "/objects.data"));
    }

    void init() { startProject(); }

    void cleanup()
    {
        mask.reset();
        endProject();
    }

    void servicesAddTheirObjects_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<int>("times");
        // "<index><sub>=<value>" (hexadecimal index and sub-index) of the entries expected, split
        // by "|"; an empty value: the entry is absent.
        QTest::addColumn<QString>("expected");
        QTest::addRow("SYNC") << "SYNC" << Fields{{"spCycle", 10000}} << 1
                              << "100500=0x80|100600=10000|100700=0";
        QTest::addRow("node guarding")
            << "Node Guarding" << Fields{{"spGuardTime", 250}, {"spLifeTime", 4}} << 1
            << "100C00=250|100D00=4";
        QTest::addRow("emergency")
            << "Emergency" << Fields{{"spInhibit", 20}} << 1 << "101400=$NODEID+0x80|101500=20";
        QTest::addRow("SDO clients 2 and 3")
            << "SDO Client" << Fields{{"spStartPos", 2}, {"spNumber", 2}} << 1
            << "128000=|128103=1|128203=1|128300=";
        QTest::addRow("first SRDO")
            << "SRDO" << Fields() << 1
            << "130101=1|130105=0xff + 2 * $NODEID|130106=0x100 + 2 * $NODEID|13FF00=1";
        QTest::addRow("second SRDO starts disabled")
            << "SRDO" << Fields() << 2 << "130205=0x80000000|130206=0x80000000|13FF00=2|13FF02=0";
        QTest::addRow("heartbeat with two consumers")
            << "Heartbeat" << Fields{{"spProducer", 500}, {"spConsumers", 2}} << 1
            << "101700=500|101600=2|101602=0x00000000|101603=";
    }

    void servicesAddTheirObjects()
    {
        QFETCH(QString, service);
        QFETCH(Fields, fields);
        QFETCH(int, times);
        QFETCH(QString, expected);
        for (int time = 0; time < times; ++time) {
            QVERIFY(createService(service));
            QVERIFY(mask->isCreateService());
            for (auto field = fields.cbegin(); field != fields.cend(); ++field) {
                auto *box = mask->findChild<QSpinBox *>(field.key());
                QVERIFY2(box, qPrintable(field.key()));
                box->setValue(field.value());
            }
            QSignalSpy created(mask.get(), &BaseObjectMask::serviceCreated);
            mask->saveData();
            QVERIFY2(prompts->refusals.isEmpty(), qPrintable(prompts->refusals.join('\n')));
            QCOMPARE(created.size(), 1);
        }
        for (const QString &entry : expected.split(QLatin1Char('|'))) {
            const quint16 index = quint16(entry.left(4).toUInt(nullptr, 16));
            const quint8 sub = quint8(entry.mid(4, 2).toUInt(nullptr, 16));
            const QString value = entry.section(QLatin1Char('='), 1);
            if (value.isEmpty())
                QVERIFY2(!db->existSubIndex(0, index, sub), qPrintable(entry));
            else
                QCOMPARE(entry.left(7) + db->getSubIndexValue(0, index, sub), entry);
        }
    }

    void missingTemplateChangesNothing()
    {
        BaseObjectMask::setTemplateFolder(QStringLiteral("/nonexistent"));
        const QList<quint16> before = db->getIndices(0);
        QVERIFY(createService("SRDO"));
        mask->saveData();
        BaseObjectMask::setTemplateFolder(QStringLiteral(NW_BINARY_DIR "/src/data"));
        QCOMPARE(prompts->refusals.last(), QStringLiteral("SRDO Database failed"));
        QCOMPARE(db->getIndices(0), before);
    }

private:
    BaseObjectMask *createService(const QString &name)
    {
        mask.reset(ObjectClassFactory::getServiceMask(name, nullptr));
        if (mask) {
            mask->setProjectDataBase(db.get());
            mask->setNode(0);
            mask->updateData();
        }
        return mask.get();
    }

    std::unique_ptr<BaseObjectMask> mask;
};

NW_TEST_MAIN(TestServiceMasks)
#include "tst_servicemasks.moc"
