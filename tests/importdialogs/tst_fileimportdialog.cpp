#include "nwtest.h"
#include "testenv.h"

#include "database/objectdatabase.h"
#include "importers/dialogs/fileimportdialog.h"
#include "importers/dialogs/indexdestinationdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

const QString sample = QStringLiteral(NW_TEST_DATA_DIR "/importers/eds/sample.eds");
const QString data = QStringLiteral(NW_TEST_DATA_DIR "/importdialogs/");

template <typename T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

} // namespace

class TestFileImportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        nwIsolateTestEnvironment();
        QCoreApplication::setApplicationName("CANopen Nodewright");
    }

    void init()
    {
        m_project.reset(new ObjectDataBase);
        m_staging.reset(new ObjectDataBase);
        QVERIFY(m_project->createNewDataBase());
        QVERIFY(m_staging->createNewDataBase());
        m_dialog = new FileImportDialog;
        QVERIFY(m_dialog->setProjectDatabase(m_project.get()));
        QVERIFY(m_dialog->setAdditionalDatabase(m_staging.get()));
        QVERIFY(!m_dialog->setProjectDatabase(nullptr));
        m_messages.clear();
        m_answer = QMessageBox::Yes;
        m_dialog->setMessageSink([this](QMessageBox::Icon icon, const QString &title,
                                        const QString &text, const QString &informative) {
            m_messages.append(title + " | " + text + " | " + informative);
            return icon == QMessageBox::Question ? m_answer : QMessageBox::Ok;
        });
    }

    void cleanup()
    {
        delete m_dialog;
        m_project.reset();
        m_staging.reset();
    }

    void fileKind_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        using Kind = FileImportDialog::FileKind;
        QTest::addRow("catalogue") << ":/codb/v301.codb" << int(Kind::Catalogue);
        QTest::addRow("project backup") << "/p/x.nwrp.bak" << int(Kind::Project);
        QTest::addRow("dotted EDS name") << "605.3150.68-B-EK-2-60.EDS" << int(Kind::Eds);
        QTest::addRow("DCF") << "node1.dcf" << int(Kind::Dcf);
        QTest::addRow("XDD") << "00000123_drive.XDD" << int(Kind::Xdd);
        QTest::addRow("XDD as XML") << "drive.xml" << int(Kind::Xdd);
        QTest::addRow("text") << "notes.txt" << int(Kind::Other);
    }

    void fileKind()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(FileImportDialog::fileKind(path)), kind);
    }

    void optionsFollowTheFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("sourceLine");
        QTest::addRow("codb") << "a.codb" << QString("Include object copies") << true << false;
        QTest::addRow("eds") << "a.eds" << QString("Import FileInfo && DeviceInfo") << true
                             << false;
        QTest::addRow("xdd") << "a.xdd" << QString() << false << false;
        QTest::addRow("nwrp.bak") << "a.nwrp.bak"
                                  << QString("Ignore implementation types in project file") << true
                                  << true;
        QTest::addRow("other") << "a.txt" << QString(" ") << false << false;
    }

    void optionsFollowTheFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(bool, checkBox);
        QFETCH(bool, sourceLine);
        m_dialog->selectFile(path);
        QCheckBox *box = child<QCheckBox>(m_dialog, "chIncludeMultiple");
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->isEnabled(), checkBox);
        QCOMPARE(child<QSpinBox>(m_dialog, "spSrcLine")->isEnabled(), sourceLine);
        QCOMPARE(QSettings().value("General/importpath").toString(), path);
        // Typing a path only switches the caption.
        child<QLineEdit>(m_dialog, "edtFilePath")->setText("b.codb");
        QCOMPARE(box->text(), QStringLiteral("Include object copies"));
        child<QLineEdit>(m_dialog, "edtFilePath")->setText("b.nwrp");
        QCOMPARE(box->text(), QStringLiteral("Import FileInfo && DeviceInfo"));
    }

    void readAndImport()
    {
        read(sample);
        QListWidget *list = child<QListWidget>(m_dialog, "lbObjects");
        QCOMPARE(list->count(), 40);
        QCOMPARE(list->item(0)->text(), QStringLiteral("0x1000 - Device type"));
        QCOMPARE(child<QLabel>(m_dialog, "lblObjCount")->text(),
                 QStringLiteral("40 objects read."));
        QVERIFY(child<QPlainTextEdit>(m_dialog, "txtProblems")
                    ->toPlainText()
                    .contains("line 891: warning: DataType=0x40"));
        QCOMPARE(QSettings().value("General/importstartindex").toString(),
                 QStringLiteral("0x1000"));
        for (const char *entry : {"0x3004 - Sensor Status", "0x3006 - Valve 1 % Open"})
            list->findItems(QLatin1String(entry), Qt::MatchExactly).first()->setSelected(true);
        child<QLineEdit>(m_dialog, "edtOffset")->setText("0x1000");
        child<QSpinBox>(m_dialog, "spMaxSub")->setValue(2);
        child<QPushButton>(m_dialog, "btnImport")->click();
        QCOMPARE(child<QLabel>(m_dialog, "lblObjCount")->text(),
                 QStringLiteral("2 objects imported as managed variables."));
        QCOMPARE(m_project->getSubIndices(0, 0x4006), (QList<quint8>{0, 1, 2}));
        QCOMPARE(m_project->getSubIndexValue(0, 0x4006, 0), QStringLiteral("2"));
        QVERIFY(!m_project->existIndex(0, 0x3004));
        QVERIFY(m_messages.isEmpty());
    }

    // A CANopen FD description is read and imported through the dialog.
    void readsDeviceDescriptionsForCanFd()
    {
        read(data + "drive.xml");
        QVERIFY(m_messages.isEmpty());
        QListWidget *list = child<QListWidget>(m_dialog, "lbObjects");
        QCOMPARE(list->count(), 1);
        list->item(0)->setSelected(true);
        child<QPushButton>(m_dialog, "btnImport")->click();
        ObjectDataBase::SUBINDEX_DATA_T entry;
        QVERIFY(m_project->getSubIndexData(0, 0x6040, 0, entry));
        QCOMPARE(entry.accesstype, QStringLiteral("rww"));
    }

    void deviceInformationWithTheObjects()
    {
        read(sample);
        child<QCheckBox>(m_dialog, "chIncludeMultiple")->setChecked(true);
        child<QListWidget>(m_dialog, "lbObjects")->item(0)->setSelected(true);
        child<QPushButton>(m_dialog, "btnImport")->click();
        QCOMPARE(m_project->getDescriptionSettingsValue("VendorName"),
                 QStringLiteral("Vendor Name"));
        QCOMPARE(m_project->getDescriptionSettingsValue("Comment"),
                 QStringLiteral("|-------------|\n| Don't panic |\n|-------------|\n"));
    }

    void filesThatCannotBeRead_data()
    {
        QTest::addColumn<QString>("name"); // written into a temporary folder unless "missing"
        QTest::addColumn<QString>("message");
        QTest::addRow("missing file")
            << "missing.eds"
            << "CANopen Nodewright | File error | File %1 is not readable.";
        QTest::addRow("unknown format")
            << "notes.txt"
            << "CANopen Nodewright | File error | Format of  %1 is not supported.";
        QTest::addRow("no EDS")
            << "notes.eds"
            << "Import error | %1: error: the file has no sections; it is no EDS "
               "or DCF file | ";
    }

    void filesThatCannotBeRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!name.startsWith("missing"))
            QVERIFY(nwWriteFile(path, "Dear customer,\nhere you go.\n"));
        child<QLineEdit>(m_dialog, "edtFilePath")->setText(path);
        child<QPushButton>(m_dialog, "btnRead")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_messages, QStringList{message.arg(path)}, 20000);
        QCOMPARE(child<QListWidget>(m_dialog, "lbObjects")->count(), 0);
    }

    void objectsWithErrors_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("imported");
        QTest::addRow("sound object, no question")
            << "0x2000 - Good" << int(QMessageBox::Yes) << false << true;
        QTest::addRow("object with errors, declined")
            << "0x2001 - Broken" << int(QMessageBox::No) << true << false;
        QTest::addRow("object with errors, accepted")
            << "0x2001 - Broken" << int(QMessageBox::Yes) << true << true;
    }

    void objectsWithErrors()
    {
        QFETCH(QString, entry);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, imported);
        // The second sub-index of 0x2001 lacks its data type.
        read(data + "broken.eds");
        QListWidget *list = child<QListWidget>(m_dialog, "lbObjects");
        QCOMPARE(list->count(), 2);
        QVERIFY(
            child<QLabel>(m_dialog, "lblObjCount")->text().contains("Objects in red have errors"));
        QCOMPARE(list->item(1)->foreground().color(), QColor(Qt::red));
        m_answer = QMessageBox::StandardButton(answer);
        list->findItems(entry, Qt::MatchExactly).first()->setSelected(true);
        child<QPushButton>(m_dialog, "btnImport")->click();
        QCOMPARE(m_messages.size(), asked ? 1 : 0);
        if (asked)
            QVERIFY(m_messages.first().contains("The file has errors in 0x2001."));
        const quint16 index = quint16(entry.left(6).toUInt(nullptr, 16));
        QCOMPARE(m_project->existIndex(0, index), imported);
        QCOMPARE(child<QPushButton>(m_dialog, "btnImport")->isEnabled(), true);
    }

    void pasteDestination()
    {
        IndexDestinationDialog dialog("Device type", 0x1a00);
        QCOMPARE(child<QLineEdit>(&dialog, "edtName")->text(), QStringLiteral("Device type"));
        QLineEdit *index = child<QLineEdit>(&dialog, "edtObject");
        QCOMPARE(index->text(), QStringLiteral("0x1a00"));
        QPushButton *ok =
            child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok);
        index->setText("0x1g00");
        QVERIFY(!ok->isEnabled());
        index->setText("0x2001");
        child<QLineEdit>(&dialog, "edtName")->setText("Copy");
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.getIndex(), quint16(0x2001));
        QCOMPARE(dialog.getName(), QStringLiteral("Copy"));
    }

    // A CSV file: its unreadable row is shown and skipped, and after the import its copy and
    // delete rows change the current line.
    void csvRowsAndCommands()
    {
        read(data + "rows.csv");
        QListWidget *list = child<QListWidget>(m_dialog, "lbObjects");
        QCOMPARE(list->count(), 2);
        QCOMPARE(
            child<QLabel>(m_dialog, "lblObjCount")->text(),
            QStringLiteral("2 objects read. The import then carries out the file's 1 copy and 1 "
                           "delete commands."));
        QVERIFY(child<QPlainTextEdit>(m_dialog, "txtProblems")
                    ->toPlainText()
                    .startsWith("rows.csv:4: warning: no object index"));
        list->selectAll();
        child<QPushButton>(m_dialog, "btnImport")->click();
        QVERIFY(m_project->existIndex(0, 0x2000));
        QCOMPARE(m_project->getIndexName(0, 0x2100), QStringLiteral("Speed"));
        QVERIFY(!m_project->existIndex(0, 0x2001));
        QVERIFY(m_messages.isEmpty());
    }

    void profileCataloguesAreOffered()
    {
        QComboBox *recent = child<QComboBox>(m_dialog, "cbNWRP");
        for (const char *profile : {":/codb/v401.codb", ":/codb/v402.codb"}) {
            const int at = recent->findText(QLatin1String(profile));
            QVERIFY2(at > 0, profile);
            recent->setCurrentIndex(at);
            read(QLatin1String(profile));
            QVERIFY(child<QListWidget>(m_dialog, "lbObjects")->count() > 10);
        }
        QVERIFY(!child<QListWidget>(m_dialog, "lbObjects")
                     ->findItems("0x6040 - Controlword", Qt::MatchExactly)
                     .isEmpty());
    }

private:
    void read(const QString &path)
    {
        child<QLineEdit>(m_dialog, "edtFilePath")->setText(path);
        child<QLineEdit>(m_dialog, "edtLow")->setText("0x1000");
        child<QLineEdit>(m_dialog, "edtHigh")->setText("0xFFFF");
        QPushButton *readButton = child<QPushButton>(m_dialog, "btnRead");
        readButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(readButton->isEnabled(), 20000);
    }

    std::unique_ptr<ObjectDataBase> m_project;
    std::unique_ptr<ObjectDataBase> m_staging;
    QPointer<FileImportDialog> m_dialog;
    QStringList m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
};

NW_TEST_MAIN(TestFileImportDialog)
#include "tst_fileimportdialog.moc"
