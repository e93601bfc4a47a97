#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/indexform.h"
#include "forms/masks/objectclassfactory.h"
#include "forms/masks/pdomappingmaskform.h"
#include "forms/masks/pdoservicemaskform.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>

using namespace dictionaryfixture;

class TestPdoMappingMaskForm : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }

    void init()
    {
        startProject();
        addVar(*db, 0, 0x2300, QStringLiteral("Position"), 7, QStringLiteral("0"));
    }

    void cleanup()
    {
        mask.reset();
        endProject();
    }

    void factoryChoosesTheMask_data()
    {
        QTest::addColumn<quint16>("index");
        QTest::addColumn<quint16>("deviceType");
        QTest::addColumn<QString>("mask");
        const auto row = [](const char *name, const quint16 &index, const quint16 &deviceType,
                            const QString &mask) {
            QTest::newRow(name) << index << deviceType << mask;
        };
        // Which editor a fixed object opens is what the user sees of the factory.
        row("device type", quint16(0x1000), quint16(0), "DeviceTypeMaskForm");
        row("SYNC interval", quint16(0x1006), quint16(0), "SyncIntervalMaskForm");
        row("time COB-ID", quint16(0x1012), quint16(0), "TimeCobIdMaskForm");
        row("heartbeat consumer", quint16(0x1016), quint16(0), "HeartbeatConsumerMaskForm");
        row("heartbeat producer", quint16(0x1017), quint16(0), "HeartbeatProducerMaskForm");
        row("signatures", quint16(0x13FF), quint16(0), "SafetyConfigurationSignatureForm");
        row("NMT start-up", quint16(0x1F80), quint16(0), "NMT_1F80_MaskForm");
        row("NMT slaves", quint16(0x1F81), quint16(0), "NMT_1F81_MaskForm");
        row("MPDO scanner", quint16(0x1FCF), quint16(0), "MPDO_ScannerMaskForm");
        row("MPDO dispatcher", quint16(0x1FD0), quint16(0), "MPDO_DispachterForm");
        row("EnergyBus class", quint16(0x6000), quint16(454), "EB_6000_MaskForm");
        row("0x6000 of another profile", quint16(0x6000), quint16(401), "");
        row("last RPDO mapping", quint16(0x17FF), quint16(0), "PdoMappingMaskForm");
        row("first TPDO mapping", quint16(0x1A00), quint16(0), "PdoMappingMaskForm");
        row("SRDO mapping", quint16(0x13BF), quint16(0), "PdoMappingMaskForm");
        row("SRDO communication", quint16(0x1301), quint16(0), "");
        row("PDO communication", quint16(0x1800), quint16(0), "");
    }

    void factoryChoosesTheMask()
    {
        QFETCH(quint16, index);
        QFETCH(quint16, deviceType);
        std::unique_ptr<BaseObjectMask> created(
            ObjectClassFactory().getObjectMask(3, index, deviceType, nullptr));
        QTEST(created ? QString::fromLatin1(created->metaObject()->className()) : QString(),
              "mask");
        if (created) {
            QCOMPARE(created->currentIndex(), index);
            QCOMPARE(created->currentLine(), quint8(3));
        }
        auto *mapping = qobject_cast<PdoMappingMaskForm *>(created.get());
        if (mapping)
            QCOMPARE(mapping->pdoType(), PdoMappingTable::typeOfIndex(index));
    }

    void objectEditorShowsTheMask()
    {
        IndexForm form;
        form.setMember(0, 0x1A00, db.get(), true, true);
        auto *shown = qobject_cast<PdoMappingMaskForm *>(form.objectMask());
        QVERIFY(shown);
        QCOMPARE(shown->pdoType(), PdoMappingTable::Tpdo);
        QCOMPARE(shown->mappedTable()->rowCount(), 2);
        auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QCOMPARE(tabs->tabText(tabs->indexOf(shown)), QStringLiteral("Mask"));
        form.setMember(0, 0x2100, db.get(), true, true);
        QVERIFY(!form.objectMask());
    }

    void additions_data()
    {
        QTest::addColumn<QStringList>("mapping");
        QTest::addColumn<QString>("subZero");
        QTest::addColumn<QString>("canFd");
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char *name, const QStringList &mapping, const QString &subZero,
                            const QString &canFd, const QString &refusal) {
            QTest::newRow(name) << mapping << subZero << canFd << refusal;
        };
        const QStringList fortyBits = {"0x21000010", "0x20000108", "0x20000208", "0x20000308"};
        row("32 bits into 40 of classic CAN", fortyBits, QString(), "0",
            "Size of mapped objects exceeds limit.\nOnly 64 bits are allowed for a PDO.");
        row("32 bits into 40 with CAN FD", fortyBits, QString(), "1", QString());
        row("32 bits into 32", QStringList{"0x23000020"}, QString(), "0", QString());
        QStringList full;
        for (int i = 0; i < 64; ++i)
            full.append("0x00000000");
        row("65th entry", full, QString(), "1",
            "Number of mapped objects exceeds limit.\nOnly 8 mapped objects are supported by a "
            "PDO.");
        row("second entry of an SAM MPDO", QStringList{"0x21000010"}, "0xFE", "0",
            "Number of mapped objects exceeds limit.\nOnly 1 mapped objects is supported by an "
            "MPDO.");
        row("first entry of a DAM MPDO", QStringList(), "0xff", "0", QString());
    }

    void additions()
    {
        QFETCH(QStringList, mapping);
        QFETCH(QString, subZero);
        QFETCH(QString, canFd);
        QFETCH(QString, refusal);
        QVERIFY(db->setGeneralSettingsValue("canfd_supported", canFd));
        setMapping(mapping, subZero);
        const auto others = snapshot(*db, 0, {0x1A00});
        QVERIFY(openMask(0x1A00));
        QCOMPARE(mask->isMpdoMode(), !subZero.isEmpty());
        QCOMPARE(mask->mappedTable()->rowCount(), mapping.size());
        const int row = mappableRow(QStringLiteral("0x2300"), 0);
        QVERIFY(row >= 0);
        mask->mappableTable()->selectRow(row);
        mask->addMappableObject();
        QStringList expected = mapping;
        if (refusal.isEmpty()) {
            expected.append("0x23000020");
            QVERIFY(prompts->refusals.isEmpty());
        } else {
            QCOMPARE(prompts->titles, QStringList{"PDO Mapping"});
            QCOMPARE(prompts->refusals, QStringList{refusal});
        }
        QCOMPARE(mappingValues(),
                 QStringList(subZero.isEmpty() ? QString::number(expected.size()) : subZero)
                     + expected);
        QCOMPARE(mask->mappedTable()->rowCount(), expected.size());
        QCOMPARE(snapshot(*db, 0, {0x1A00}), others);
    }

    void removingEntriesShortensTheMapping()
    {
        setMapping({"0x20000108", "0x20000208", "0x21000010", "0x20000308", "0x20000408"});
        const auto others = snapshot(*db, 0, {0x1A00});
        QVERIFY(openMask(0x1A00));
        QTableWidget *table = mask->mappedTable();
        table->setSelectionMode(QAbstractItemView::MultiSelection);
        table->selectRow(1);
        table->selectRow(3);
        mask->deleteMappedObject();
        QCOMPARE(db->getSubIndices(0, 0x1A00), (QList<quint8>{0, 1, 2, 3}));
        QCOMPARE(mappingValues(), (QStringList{"3", "0x20000108", "0x21000010", "0x20000408"}));
        QCOMPARE(table->item(1, 3)->text(), QStringLiteral("Speed"));
        QCOMPARE(snapshot(*db, 0, {0x1A00}), others);
    }

    // A new entry takes the access of sub-index 0.
    void newEntryCopiesTheFirstOne_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addRow("static mapping") << "const";
        QTest::addRow("dynamic mapping") << "rw";
    }

    void newEntryCopiesTheFirstOne()
    {
        QFETCH(QString, access);
        Sub subZero = stored(*db, 0x1A00, 0);
        subZero.accesstype = access;
        QVERIFY(db->addSubIndex(0, 0x1A00, 0, subZero));
        QVERIFY(openMask(0x1A00));
        mask->addMappableObject(0x2000, 3, 8, QString(), 5);
        const Sub added = stored(*db, 0x1A00, 3);
        QCOMPARE(QStringList({added.name, added.accesstype, QString::number(added.datatype)}),
                 (QStringList{"Mapping Entry 3", access, "7"}));
        QCOMPARE(mappingValues(), (QStringList{"3", "0x20000208", "0x21000010", "0x20000308"}));
        QCOMPARE(mask->mappedTable()->item(2, 3)->text(), QStringLiteral("Channel 3"));
    }

    void pdoServiceCobIds_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("existing");
        QTest::addColumn<quint16>("commIndex");
        QTest::addColumn<QString>("cobId");
        QTest::addRow("RPDO 1") << 0 << 0 << quint16(0x1400) << "$NODEID+0x200";
        QTest::addRow("RPDO 4") << 0 << 3 << quint16(0x1403) << "$NODEID+0x500";
        QTest::addRow("RPDO 5") << 0 << 4 << quint16(0x1404) << "0x80000000";
        QTest::addRow("TPDO 2 after the line's TPDO 1")
            << 1 << 0 << quint16(0x1801) << "$NODEID+0x280";
    }

    void pdoServiceCobIds()
    {
        QFETCH(int, type);
        QFETCH(int, existing);
        QFETCH(quint16, commIndex);
        for (int pdo = 0; pdo < existing; ++pdo)
            QVERIFY(PdoConfigurator::configure(db.get(), 0, quint16(0x1400 + pdo),
                                               QStringLiteral("static"), 1, {}));
        PDOServiceMaskForm service;
        service.setProjectDataBase(db.get());
        service.setNode(0);
        service.setCreateServiceFlag(true);
        service.updateData();
        auto *types = service.findChild<QComboBox *>(QStringLiteral("cbType"));
        types->setCurrentIndex(type);
        service.saveData();
        QVERIFY2(prompts->refusals.isEmpty(), qPrintable(prompts->refusals.join('\n')));
        QTEST(db->getSubIndexValue(0, commIndex, 1), "cobId");
        QVERIFY(db->existIndex(0, commIndex + 0x200));
    }

private:
    // The values of the TPDO mapping 0x1A00, sub-index 0 first.
    QStringList mappingValues() const
    {
        QStringList values;
        for (quint8 sub : db->getSubIndices(0, 0x1A00))
            values.append(db->getSubIndexValue(0, 0x1A00, sub));
        return values;
    }

    void setMapping(const QStringList &words, const QString &subZero = QString())
    {
        for (quint8 sub : db->getSubIndices(0, 0x1A00, 1))
            QVERIFY(db->delSubIndex(0, 0x1A00, sub));
        for (int i = 0; i < words.size(); ++i)
            addSub(*db, 0, 0x1A00, quint8(i + 1),
                   entry(QStringLiteral("Mapping entry %1").arg(i + 1), 7, words.at(i)));
        QVERIFY(db->setSubIndexValue(0, 0x1A00, 0,
                                     subZero.isEmpty() ? QString::number(words.size()) : subZero));
    }

    PdoMappingMaskForm *openMask(quint16 index)
    {
        BaseObjectMask *created = ObjectClassFactory().getObjectMask(0, index, 0, nullptr);
        mask.reset(qobject_cast<PdoMappingMaskForm *>(created));
        if (!mask)
            return nullptr;
        mask->setProjectDataBase(db.get());
        mask->updateData();
        return mask.get();
    }

    int mappableRow(const QString &index, int sub) const
    {
        QTableWidget *table = mask->mappableTable();
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == index && table->item(row, 1)->text().toInt() == sub)
                return row;
        }
        return -1;
    }

    std::unique_ptr<PdoMappingMaskForm> mask;
};

NW_TEST_MAIN(TestPdoMappingMaskForm)
#include "tst_pdomappingmaskform.moc"
