#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/indexform.h"
#include "forms/manufacturersegmentform.h"
#include "forms/objectdictionaryform.h"
#include "forms/subindexform.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace dictionaryfixture;

namespace {

QStringList childTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts.append(item->child(i)->text(0));
    return texts;
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    delete menu;
    return texts;
}

} // namespace

class TestObjectDictionaryForm : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwtest::initApplication();
        isolateSettings();
    }

    void init()
    {
        QSettings().clear();
        startProject();
        form = std::make_unique<ObjectDictionaryForm>();
        form->setProjectDatabase(db.get());
        form->handleExpertMode(false);
    }

    void cleanup()
    {
        form.reset();
        endProject();
    }

    void treeShowsSegmentsObjectsAndSubs()
    {
        Index speed;
        db->getIndexData(0, 0x2100, speed);
        speed.name = QStringLiteral("Speed $I");
        db->addIndex(0, 0x2100, speed);
        form->lineHandle(0);
        QTreeWidget *tree = form->tree();
        QCOMPARE(childTexts(tree->invisibleRootItem()),
                 (QStringList{"Communication Segment", "Manufacturer Segment",
                              "Device Profile Segment"}));
        QCOMPARE(childTexts(tree->topLevelItem(0)),
                 (QStringList{"0x1018 - Identity object", "0x1800 - TPDO communication parameter",
                              "0x1a00 - TPDO mapping parameter"}));
        QCOMPARE(childTexts(tree->topLevelItem(1)),
                 (QStringList{"0x2000 - Channels", "0x2100 - Speed 2100", "0x2200 - Settings"}));
        QCOMPARE(childTexts(form->getIndexItem(0x2000)),
                 (QStringList{"0 - Highest sub-index supported", "1 - Channel 1", "2 - Channel 2",
                              "3 - Channel 3", "4 - Channel 4"}));
        QCOMPARE(tree->topLevelItem(2)->childCount(), 0);
        // A denotation is shown instead of the name.
        Sub channel;
        db->getSubIndexData(0, 0x2000, 1, channel);
        channel.denotation = QStringLiteral("Left wheel");
        db->addSubIndex(0, 0x2000, 1, channel);
        QCOMPARE(subItem(0x2000, 1)->text(0), QStringLiteral("1 - Left wheel"));
        QCOMPARE(ObjectDictionaryForm::parseIndexString(QStringLiteral("0x2100 - Speed")),
                 quint16(0x2100));
    }

    void optionalSegmentAppearsWithItsFirstObject()
    {
        addVar(*db, 0, 0xA000, QStringLiteral("Input 1"), 5, QStringLiteral("0"));
        QTRY_COMPARE(form->tree()->topLevelItemCount(), 4);
        QCOMPARE(form->tree()->topLevelItem(3)->text(0) + ": "
                     + childTexts(form->tree()->topLevelItem(3)).join(", "),
                 QStringLiteral("Network Variable Segment: 0xa000 - Input 1"));
    }

    void objectColours_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("deviceClass");
        QTest::addColumn<QColor>("colour");
        QTest::addRow("battery in the communication segment")
            << 0x1800 << "bat" << QColor(0, 0, 255);
        QTest::addRow("man in the communication segment")
            << 0x1800 << "man" << QColor(199, 21, 133);
        QTest::addRow("manup in the profile segment") << 0x6000 << "manup" << QColor(209, 21, 133);
        QTest::addRow("man outside the communication segment") << 0x6000 << "man" << QColor();
        QTest::addRow("manufacturer objects keep the default") << 0x2000 << "ebc" << QColor();
        QTest::addRow("unknown class") << 0x1800 << "rpdo" << QColor();
    }

    void objectColours()
    {
        QFETCH(int, index);
        QFETCH(QString, deviceClass);
        if (!db->existIndex(0, quint16(index)))
            addVar(*db, 0, quint16(index), QStringLiteral("Profile"), 5, QStringLiteral("0"));
        Index object;
        db->getIndexData(0, quint16(index), object);
        object.device_class = deviceClass;
        db->addIndex(0, quint16(index), object);
        const QVariant shown = form->getIndexItem(quint16(index))->data(0, Qt::ForegroundRole);
        QTEST(shown.isValid() ? shown.value<QColor>() : QColor(), "colour");
    }

    void treeFollowsChangesItemByItem()
    {
        QTreeWidgetItem *channels = form->getIndexItem(0x2000);
        QTreeWidgetItem *settings = form->getIndexItem(0x2200);
        addVar(*db, 0, 0x2150, QStringLiteral("Torque"), 3, QStringLiteral("0"));
        QCOMPARE(form->getIndexItem(0x2000), channels);
        QCOMPARE(childTexts(form->tree()->topLevelItem(1)),
                 (QStringList{"0x2000 - Channels", "0x2100 - Speed", "0x2150 - Torque",
                              "0x2200 - Settings"}));
        db->addSubIndex(0, 0x2200, 7, entry(QStringLiteral("Offset"), 3, QStringLiteral("0")));
        QCOMPARE(childTexts(settings).last(), QStringLiteral("7 - Offset"));
        db->setSubIndexParameterName(0, 0x2000, 3, QStringLiteral("renamed"));
        db->addSubIndex(0, 0x2000, 3, [&] {
            Sub data;
            db->getSubIndexData(0, 0x2000, 3, data);
            return data;
        }());
        QCOMPARE(subItem(0x2000, 3)->text(0), QStringLiteral("3 - renamed"));
        select(0x2200);
        QVERIFY(qobject_cast<IndexForm *>(form->openEditor()));
        db->delSubIndex(0, 0x2200, 7);
        QCOMPARE(childTexts(settings).size(), 3);
        db->delIndex(0, 0x2200);
        QVERIFY(!form->getIndexItem(0x2200));
        QVERIFY(form->openEditor()->currentIndex() != 0x2200);
        // Another line's changes do not reach this tree.
        buildLine(*db, 1);
        QVERIFY(!form->getIndexItem(0x2200));
        QCOMPARE(form->getIndexItem(0x2000), channels);
    }

    void selectionOpensTheMatchingEditor()
    {
        form->handleExpertMode(true);
        select(0x2000);
        auto *indexForm = qobject_cast<IndexForm *>(form->openEditor());
        QVERIFY(indexForm);
        QCOMPARE(form->getCurSelectionType(), int(ObjectDictionaryForm::IndexSelection));
        indexForm->setActiveTab("tabDescription");
        select(0x2100);
        QCOMPARE(form->openEditor()->getActiveTab(), QStringLiteral("tabDescription"));
        select(0x2000, 2);
        auto *subForm = qobject_cast<SubIndexForm *>(form->openEditor());
        QVERIFY(subForm);
        QCOMPARE(subForm->currentSubIndex(), quint8(2));
        quint16 index = 0;
        quint8 sub = 0;
        QVERIFY(form->getCurrentSubIndex(index, sub));
        QCOMPARE(index, quint16(0x2000));
        form->tree()->setCurrentItem(form->tree()->topLevelItem(1));
        auto *segment = qobject_cast<ManufacturerSegmentForm *>(form->openEditor());
        QVERIFY(segment);
        QCOMPARE(segment->objects()->rowCount(), 3);
        // Switching the expert mode opens the editor again with the new rule.
        select(0x1018);
        QVERIFY(form->openEditor()->isEditable());
        form->handleExpertMode(false);
        QVERIFY(!form->openEditor()->isEditable());
        QCOMPARE(form->openEditor()->currentIndex(), quint16(0x1018));
    }

    void expertModeDecidesWhatCanBeChanged_data()
    {
        QTest::addColumn<bool>("expert");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QStringList>("menu");
        const QStringList objectMenu{"Copy Index",      "Cut Index", "Paste Index .. ",
                                     "Duplicate Index", "-",         "Remove Index"};
        const QStringList subMenu{"Add Sub at next free position", "Add Sub at defined position",
                                  "Duplicate Sub", "-", "Remove Sub"};
        const QStringList shifting{"-", "Increment sub index", "Decrement sub index",
                                   "Move sub index to ..."};
        QTest::addRow("0x1018 without expert mode") << false << 0x1018 << -1 << QStringList();
        QTest::addRow("0x2000 without expert mode") << false << 0x2000 << -1 << objectMenu;
        QTest::addRow("0x1018 in expert mode") << true << 0x1018 << -1 << objectMenu;
        QTest::addRow("array entry") << false << 0x2000 << 2 << subMenu + shifting;
        QTest::addRow("record entry below 0x2000") << true << 0x1018 << 1 << subMenu;
        QTest::addRow("entry of a VAR") << true << 0x2100 << 0 << QStringList();
    }

    void expertModeDecidesWhatCanBeChanged()
    {
        QFETCH(bool, expert);
        QFETCH(int, index);
        QFETCH(int, sub);
        QFETCH(QStringList, menu);
        form->handleExpertMode(expert);
        select(quint16(index), sub);
        QCOMPARE(menuTexts(form->buildContextMenu()), menu);
        // The Edit menu obeys the same rule.
        const int objects = db->getIndices(0, 0, 0xFFFF).size();
        form->menuActionRequest(BaseMainForm::Duplicate);
        QCOMPARE(db->getIndices(0, 0, 0xFFFF).size() > objects,
                 sub < 0 && (expert || index >= 0x2000));
    }

    void deletingSeveralObjectsAsksWhenWished_data()
    {
        QTest::addColumn<int>("warn");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("deleted");
        QTest::addRow("no warning") << 0 << QList<bool>{} << 0 << true;
        QTest::addRow("warning, OK") << 1 << QList<bool>{true} << 1 << true;
        QTest::addRow("warning, Cancel") << 1 << QList<bool>{false} << 1 << false;
    }

    void deletingSeveralObjectsAsksWhenWished()
    {
        QFETCH(int, warn);
        QFETCH(QList<bool>, answers);
        QFETCH(int, questions);
        QFETCH(bool, deleted);
        QSettings().setValue("General/warnbeforedeleting", warn);
        prompts->answers = answers;
        select(0x2000);
        for (quint16 index : {0x2000, 0x2100, 0x2200})
            form->getIndexItem(index)->setSelected(true);
        QTest::keyClick(form->tree(), Qt::Key_Delete);
        QCOMPARE(prompts->questions.size(), questions);
        if (questions)
            QCOMPARE(prompts->questions.first(),
                     QStringLiteral("Do you really want to delete 3 items?"));
        for (quint16 index : {0x2000, 0x2100, 0x2200})
            QCOMPARE(db->existIndex(0, index), !deleted);
        // One object goes without a question.
        select(0x1800);
        form->handleExpertMode(true);
        form->menuActionRequest(BaseMainForm::Delete);
        QVERIFY(!db->existIndex(0, 0x1800));
        QCOMPARE(prompts->questions.size(), questions);
    }

    void incrementSubIndexThroughTheMenu()
    {
        select(0x2000, 2);
        form->action(QStringLiteral("Increment sub index"))->trigger();
        QCOMPARE(childTexts(form->getIndexItem(0x2000)),
                 (QStringList{"0 - Highest sub-index supported", "1 - Channel 1", "3 - Channel 2",
                              "4 - Channel 3", "5 - Channel 4"}));
        // A refusal of the editor reaches the user.
        select(0x2000, 1);
        form->action(QStringLiteral("Decrement sub index"))->trigger();
        QCOMPARE(prompts->refusals.last(),
                 QStringLiteral("Sub-index 0x2000:0 is in use; moving the entries down would "
                                "overwrite it."));
    }

    void addSubAtDefinedPosition()
    {
        select(0x2200, 2);
        prompts->chosenSub = 9;
        form->action(QStringLiteral("Add Sub at defined position"))->trigger();
        QCOMPARE(prompts->offeredSubs.mid(0, 3), (QList<quint8>{3, 4, 5}));
        QVERIFY(subItem(0x2200, 9));
        QCOMPARE(defaultValue(*db, 0, 0x2200, 0), QStringLiteral("9"));
        prompts->chosenSub = 0xFF;
        form->action(QStringLiteral("Add Sub at defined position"))->trigger();
        QCOMPARE(db->getSubIndices(0, 0x2200, 0).size(), 4);
    }

    void cutAndPasteIntoAnotherLine()
    {
        buildLine(*db, 1);
        db->delIndex(1, 0x2200);
        select(0x2200);
        form->menuActionRequest(BaseMainForm::Cut);
        QVERIFY(!form->getIndexItem(0x2200));
        form->lineHandle(1);
        QVERIFY(!form->getIndexItem(0x2200));
        select(0x2100);
        form->menuActionRequest(BaseMainForm::Paste);
        // The next free index after the selected object.
        QVERIFY(form->getIndexItem(0x2101));
        QCOMPARE(db->getIndexName(1, 0x2101), QStringLiteral("Settings"));
        QCOMPARE(form->getCurrentIndex(), quint16(0x2101));
        QCOMPARE(childTexts(form->getIndexItem(0x2101)),
                 (QStringList{"0 - Highest sub-index", "1 - Name", "2 - Gain"}));
        QVERIFY(prompts->refusals.isEmpty());
    }

    void pasteRefusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("nameAt2000");
        QTest::addRow("malformed")
            << "0xzz"
            << QString("\"0xzz\" is not an object index. Type a hexadecimal number such as 0x2000.")
            << QList<bool>{} << "Channels";
        QTest::addRow("communication object without expert mode")
            << "0x1234"
            << "Without expert mode objects can only be pasted into the manufacturer segment "
               "(0x2000 to 0x5FFF)."
            << QList<bool>{} << "Channels";
        QTest::addRow("existing object, cancelled")
            << "0x2000" << QString() << QList<bool>{false} << "Channels";
        QTest::addRow("existing object, replaced")
            << "2000h" << QString() << QList<bool>{true} << "Speed";
    }

    void pasteRefusals()
    {
        QFETCH(QString, typed);
        QFETCH(QList<bool>, answers);
        select(0x2100);
        form->menuActionRequest(BaseMainForm::Copy);
        prompts->typedIndex = typed;
        prompts->answers = answers;
        form->action(QStringLiteral("Paste Index .. "))->trigger();
        QCOMPARE(prompts->proposals, QStringList{"0x2101"});
        QTEST(prompts->refusals.value(0), "refusal");
        QTEST(db->getIndexName(0, 0x2000), "nameAt2000");
        QVERIFY(!db->existIndex(0, 0x1234));
    }

    void filterKeepsMatchesAndRestoresExpansion()
    {
        QTreeWidget *tree = form->tree();
        form->getIndexItem(0x2000)->setExpanded(true);
        form->getIndexItem(0x2200)->setExpanded(false);
        form->filterEdit()->setText("GAIN");
        QVERIFY(!tree->topLevelItem(1)->isHidden());
        QVERIFY(tree->topLevelItem(0)->isHidden());
        QVERIFY(form->getIndexItem(0x2000)->isHidden());
        QVERIFY(!form->getIndexItem(0x2200)->isHidden());
        QVERIFY(form->getIndexItem(0x2200)->isExpanded());
        QVERIFY(!subItem(0x2200, 2)->isHidden());
        QVERIFY(subItem(0x2200, 1)->isHidden());
        // A matching object keeps its entries reachable: filtering by index finds it.
        form->filterEdit()->setText("0x1a00");
        QVERIFY(!form->getIndexItem(0x1A00)->isHidden());
        form->filterEdit()->clear();
        QVERIFY(!form->getIndexItem(0x2000)->isHidden());
        QVERIFY(!tree->topLevelItem(0)->isHidden());
        QVERIFY(form->getIndexItem(0x2000)->isExpanded());
        QVERIFY(!form->getIndexItem(0x2200)->isExpanded());
        // The clear button fades out through an animation without a parent that deletes
        // itself when it ends; let it end, or the leak check counts it.
        QTest::qWait(300);
    }

    void pendingEditIsSavedBeforeAnotherItemOpens()
    {
        select(0x2000, 1);
        auto *subForm = qobject_cast<SubIndexForm *>(form->openEditor());
        QVERIFY(subForm);
        auto *description = subForm->findChild<QPlainTextEdit *>(QStringLiteral("teDescription"));
        description->setPlainText("O'Neil's channel, 100% \"raw\"");
        select(0x2100);
        Sub stored;
        db->getSubIndexData(0, 0x2000, 1, stored);
        QCOMPARE(stored.description, QStringLiteral("O'Neil's channel, 100% \"raw\""));
        QVERIFY(stored.changedbyuser);
    }

    void bulkCommandFromTheSegmentMenu()
    {
        form->tree()->setCurrentItem(form->tree()->topLevelItem(1));
        const QStringList menu = menuTexts(form->buildContextMenu());
        QCOMPARE(menu.size(), 10);
        QCOMPARE(menu.at(2), QStringLiteral("-"));
        form->action(QStringLiteral("Set 'limit check' attribute for all objects"))->trigger();
        Sub entry;
        db->getSubIndexData(0, 0x2000, 3, entry);
        QVERIFY(entry.limitineds);
        db->getSubIndexData(0, 0x1800, 1, entry);
        QVERIFY(!entry.limitineds);
    }

    void segmentOverviewAddsObjects()
    {
        form->tree()->setCurrentItem(form->tree()->topLevelItem(1));
        auto *segment = qobject_cast<ManufacturerSegmentForm *>(form->openEditor());
        QVERIFY(segment);
        prompts->newObjectAccepted = true;
        prompts->newObject = {0x2300, QStringLiteral("Outputs"), 8, 6, 3};
        segment->addObject();
        QCOMPARE(prompts->proposedObject.index, quint16(0x2001));
        QCOMPARE(childTexts(form->getIndexItem(0x2300)),
                 (QStringList{"0 - Highest sub-index supported", "1 - Outputs 1", "2 - Outputs 2",
                              "3 - Outputs 3"}));
        QCOMPARE(db->getSubIndexDatatype(0, 0x2300, 2), quint16(6));
        QCOMPARE(form->getCurrentIndex(), quint16(0x2300));
    }

    // The tree starts with a third of the page; a split the user dragged is restored on the
    // next start.
    void splitBetweenTreeAndEditorIsKept()
    {
        form->resize(1500, 800);
        form->show();
        auto *splitter = form->findChild<QSplitter *>(QStringLiteral("splitter"));
        QVERIFY(qAbs(splitter->sizes().at(0) - splitter->width() / 3) < 10);
        splitter->setSizes({900, 600});
        emit splitter->splitterMoved(900, 1);
        const int dragged = splitter->sizes().at(0);
        form.reset();
        form = std::make_unique<ObjectDictionaryForm>();
        form->setProjectDatabase(db.get());
        form->resize(1500, 800);
        form->show();
        QCOMPARE(form->findChild<QSplitter *>(QStringLiteral("splitter"))->sizes().at(0), dragged);
    }

private:
    void select(quint16 index, int sub = -1)
    {
        QTreeWidgetItem *item = sub < 0 ? form->getIndexItem(index) : subItem(index, quint8(sub));
        QVERIFY(item);
        form->tree()->clearSelection();
        form->tree()->setCurrentItem(item);
    }

    QTreeWidgetItem *subItem(quint16 index, quint8 sub) const
    {
        QTreeWidgetItem *object = form->getIndexItem(index);
        for (int i = 0; object && i < object->childCount(); ++i) {
            if (ObjectDictionaryForm::parseSubIndexString(object->child(i)->text(0)) == sub)
                return object->child(i);
        }
        return nullptr;
    }

    std::unique_ptr<ObjectDictionaryForm> form;
};

NW_TEST_MAIN(TestObjectDictionaryForm)
#include "tst_objectdictionaryform.moc"
