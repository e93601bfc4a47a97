#include "dictionaryfixture.h"
#include "nwtest.h"
#include "projectbuilder.h"
#include "scriptedprompts.h"

#include "forms/indexform.h"
#include "forms/metadataeditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace dictionaryfixture;

class TestIndexForm : public QObject, private FormProject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwtest::initApplication(); }

    void init() { startProject(); }

    void cleanup()
    {
        form.reset();
        endProject();
    }

    void addSubIndexRenumbers()
    {
        Sub last = stored(*db, 0x2000, 4);
        last.name = QStringLiteral("Channel 3");
        db->addSubIndex(0, 0x2000, 4, last);
        db->delSubIndex(0, 0x2000, 3);
        Sub zero = stored(*db, 0x2000, 0);
        zero.defaultvalue = QStringLiteral("4");
        db->addSubIndex(0, 0x2000, 0, zero);
        open(0x2000);
        QVERIFY(child<QPushButton>("btnAddSubIndex")->isEnabled());
        child<QPushButton>("btnAddSubIndex")->click();
        QCOMPARE(stored(*db, 0x2000, 5).name, QStringLiteral("Channel 5"));
        QCOMPARE(defaultValue(*db, 0, 0x2000, 0), QStringLiteral("5"));
        QCOMPARE(form->overview()->rowCount(), 5);
        QCOMPARE(form->overview()->item(4, IndexForm::ColName)->text(),
                 QStringLiteral("Channel 5"));
        open(0x2100);
        QVERIFY(!child<QPushButton>("btnAddSubIndex")->isEnabled());
    }

    void dataTypeChangeReachesEntriesAndMapping()
    {
        open(0x2000);
        auto *types = child<QComboBox>("cbDataType");
        const int entry = types->findText("UNSIGNED16");
        types->setCurrentIndex(entry);
        emit types->activated(entry);
        QCOMPARE(stored(*db, 0x2000, 3).datatype, quint16(6));
        QCOMPARE(stored(*db, 0x2000, 3).uplimit, qint64(65535));
        QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000210"));
        QCOMPARE(form->overview()->item(3, IndexForm::ColDataType)->text(),
                 QStringLiteral("UNSIGNED16"));
        // A VAR keeps its object type; an ARRAY may become a RECORD.
        open(0x2100);
        QVERIFY(!child<QComboBox>("cbObjectType")->isEnabled());
        QVERIFY(child<QComboBox>("cbDataType")->isEnabled());
        open(0x1018);
        QVERIFY(!child<QComboBox>("cbDataType")->isEnabled());
    }

    void attributesAreStoredAndRefused()
    {
        open(0x2200);
        auto *name = child<QLineEdit>("leName");
        name->setText("Loop settings");
        emit name->editingFinished();
        child<QCheckBox>("chkFwSupported")->click();
        Index object;
        db->getIndexData(0, 0x2200, object);
        QCOMPARE(object.name, QStringLiteral("Loop settings"));
        QVERIFY(object.fwsupported);
        name->setText(QString());
        emit name->editingFinished();
        QCOMPARE(prompts->refusals, QStringList{"A name cannot be empty."});
        QCOMPARE(name->text(), QStringLiteral("Loop settings"));
        QCOMPARE(db->getIndexName(0, 0x2200), QStringLiteral("Loop settings"));
        auto *types = child<QComboBox>("cbObjectType");
        types->setCurrentIndex(types->findText("VAR"));
        emit types->activated(types->currentIndex());
        QCOMPARE(prompts->refusals.value(1),
                 QStringLiteral("Only an ARRAY and a RECORD can be turned into each other; a VAR "
                                "keeps its type."));
        QCOMPARE(types->currentText(), QStringLiteral("RECORD"));
    }

    void overviewInTableEditing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, int at, int column, const char *typed,
                            const char *refusal, const char *shown) {
            QTest::newRow(name) << at << column << QString(typed) << QString(refusal)
                                << QString(shown);
        };
        row("data type by short name", 2, int(IndexForm::ColDataType), "u16", "", "UNSIGNED16");
        row("data type unknown", 2, int(IndexForm::ColDataType), "u17",
            "\"u17\" is not a data type. Type its name (UNSIGNED8) or number (5).", "UNSIGNED8");
        row("default outside the type", 2, int(IndexForm::ColDefault), "999",
            "999 lies outside the range of UNSIGNED8 (0 to 255).", "2");
        row("access by stored text", 1, int(IndexForm::ColAccess), "ro", "", "ro");
        row("access unknown", 1, int(IndexForm::ColAccess), "sometimes",
            "\"sometimes\" is not one of Constant, Read Only, Write Only, Read Write, Read Write "
            "Read, Read Write Write.",
            "rw");
        row("implementation by number", 3, int(IndexForm::ColImplementation), "2", "", "Variable");
        row("mapping by name", 3, int(IndexForm::ColPdoMapping), "tpdo", "", "TPDO");
    }

    void overviewInTableEditing()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        open(0x2000);
        QTableWidget *table = form->overview();
        QVERIFY(!(table->item(row, column)->flags() & Qt::ItemIsEditable));
        child<QPushButton>("btnExpertEditing")->click();
        QVERIFY(table->item(row, column)->flags() & Qt::ItemIsEditable);
        table->item(row, column)->setText(typed);
        QCOMPARE(prompts->refusals.value(0), refusal);
        QTEST(table->item(row, column)->text(), "shown");
        QCOMPARE(table->item(row, IndexForm::ColSub)->text(), QString::number(row));
        if (column == IndexForm::ColDataType && refusal.isEmpty())
            QCOMPARE(defaultValue(*db, 0, 0x1A00, 1), QStringLiteral("0x20000210"));
    }

    void copyValuesFromTheFirstRow()
    {
        Sub first = stored(*db, 0x2000, 1);
        first.accesstype = QStringLiteral("ro");
        first.implementation = 2;
        first.defaultvalue = QStringLiteral("7");
        db->addSubIndex(0, 0x2000, 1, first);
        open(0x2000);
        child<QPushButton>("btnExpertEditing")->click();
        form->copyValuesInOverview();
        for (quint8 sub : {2, 3, 4}) {
            const Sub entry = stored(*db, 0x2000, sub);
            QCOMPARE(QStringList({entry.name, entry.accesstype,
                                  QString::number(entry.implementation), entry.defaultvalue}),
                     (QStringList{QStringLiteral("Channel %1").arg(sub), "ro", "2", "7"}));
        }
        QCOMPARE(stored(*db, 0x2000, 0).defaultvalue, QStringLiteral("4"));
    }

    void resetChangesRestoresTheObject()
    {
        const Sub before = stored(*db, 0x2000, 2);
        open(0x2000);
        auto *name = child<QLineEdit>("leName");
        name->setText("Renamed");
        emit name->editingFinished();
        child<QPushButton>("btnAddSubIndex")->click();
        child<QPushButton>("btnExpertEditing")->click();
        form->overview()->item(2, IndexForm::ColDefault)->setText("99");
        QCOMPARE(defaultValue(*db, 0, 0x2000, 2), QStringLiteral("99"));
        child<QPushButton>("btnResetChanges_2")->click();
        QCOMPARE(db->getIndexName(0, 0x2000), QStringLiteral("Channels"));
        QCOMPARE(db->getSubIndices(0, 0x2000, 0), (QList<quint8>{0, 1, 2, 3, 4}));
        QCOMPARE(stored(*db, 0x2000, 2), before);
        QCOMPARE(name->text(), QStringLiteral("Channels"));
    }

    void resetDefaultsTakesTheCatalogueObject()
    {
        ObjectDataBase catalogue;
        QVERIFY(catalogue.createNewDataBase());
        catalogue.addNode(255, ObjectDataBase::NODE_DATA_T());
        addObject(catalogue, 255, 0x1018, QStringLiteral("Identity object"), 9, 0x23);
        catalogue.addSubIndex(255, 0x1018, 0,
                              entry(QStringLiteral("Number of entries"), 5, "4", "ro"));
        for (quint8 sub : {1, 2, 3, 4})
            catalogue.addSubIndex(255, 0x1018, sub,
                                  entry(QStringLiteral("Entry %1").arg(sub), 7, "0", "ro"));
        open(0x1018);
        QVERIFY(!child<QPushButton>("btnReset")->isEnabled());
        form->setCatalogue(&catalogue);
        QVERIFY(child<QPushButton>("btnReset")->isEnabled());
        prompts->answers = {false, true};
        child<QPushButton>("btnReset")->click();
        QCOMPARE(db->getSubIndices(0, 0x1018, 0).size(), 2);
        child<QPushButton>("btnReset")->click();
        QCOMPARE(
            prompts->questions.value(1),
            QStringLiteral("Replace object 0x1018 and all its sub-indices by the object of the "
                           "CiA 301 catalogue?"));
        QCOMPARE(db->getSubIndices(0, 0x1018, 0).size(), 5);
        QCOMPARE(form->overview()->rowCount(), 5);
    }

    void readOnlyObject()
    {
        open(0x1018, false);
        for (const char *name : {"leName", "leDeviceClass"})
            QVERIFY(!form->findChild<QLineEdit *>(QLatin1String(name))->isEnabled());
        for (const char *name :
             {"btnAddSubIndex", "btnReset", "btnResetChanges_2", "btnExpertEditing"})
            QVERIFY(!form->findChild<QPushButton *>(QLatin1String(name))->isEnabled());
        form->saveData();
        QCOMPARE(db->getIndexName(0, 0x1018), QStringLiteral("Identity object"));
    }

    void metaDataEditing()
    {
        open(0x2100);
        form->enableMetaData(true);
        MetaDataEditor *editor = form->metaDataEditor();
        editor->keyBox()->setEditText("eds_define");
        editor->valueEdit()->setText("variantA");
        QVERIFY(editor->addEntry());
        Index object;
        db->getIndexData(0, 0x2100, object);
        QCOMPARE(object.metadata.value("eds_define"), QStringLiteral("variantA"));
        editor->keyBox()->setEditText("eds_define");
        QVERIFY(!editor->addEntry());
        QCOMPARE(prompts->refusals, QStringList{"The key \"eds_define\" is already used."});
        // Renaming a key in the table; a duplicate or empty key is refused in place.
        editor->table()->item(0, 0)->setText("variant");
        db->getIndexData(0, 0x2100, object);
        QCOMPARE(object.metadata.keys(), QStringList{"variant"});
        // The key is offered on the next object of the line.
        open(0x2000);
        form->enableMetaData(true);
        QCOMPARE(form->metaDataEditor()->keyBox()->findText("variant"), 0);
    }

private:
    void open(quint16 index, bool editable = true)
    {
        form = std::make_unique<IndexForm>();
        form->setMember(0, index, db.get(), editable, true);
    }

    template <typename T>
    T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<IndexForm> form;
};

NW_TEST_MAIN(TestIndexForm)
#include "tst_indexform.moc"
