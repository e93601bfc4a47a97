#include "manufacturersegmentform.h"

#include "masks/addservicedialog.h"

#include "formprompts.h"

#include "panelkit/helper.h"
#include "panelkit/linetype.h"
#include "transform/dictionaryeditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

ManufacturerSegmentForm::ManufacturerSegmentForm(QWidget *parent)
    : BaseTreeForm(parent), title(new QLabel(this)), table(new QTableWidget(0, 5, this)),
      btnAddObject(new QPushButton(tr("Add Object..."), this)),
      btnAddFromCatalogue(new QPushButton(tr("Add from CiA 301 catalogue..."), this)),
      btnAddService(new QPushButton(tr("Add Communication Service..."), this))
{
    title->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 120%;"));
    table->setObjectName(QStringLiteral("tblObjects"));
    table->setHorizontalHeaderLabels(
        {tr("Index"), tr("Name"), tr("Object Type"), tr("Data Type"), tr("Entries")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    btnAddObject->setObjectName(QStringLiteral("btnAddObject"));
    btnAddFromCatalogue->setObjectName(QStringLiteral("btnAddFromCatalogue"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnAddObject);
    buttons->addWidget(btnAddFromCatalogue);
    buttons->addWidget(btnAddService);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    btnAddService->setObjectName(QStringLiteral("btnAddService"));
    connect(btnAddService, &QPushButton::clicked, this, &ManufacturerSegmentForm::addService);
    connect(btnAddObject, &QPushButton::clicked, this, &ManufacturerSegmentForm::addObject);
    connect(btnAddFromCatalogue, &QPushButton::clicked, this,
            &ManufacturerSegmentForm::addFromCatalogue);
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        emit objectActivated(quint16(table->item(row, 0)->data(Qt::UserRole).toUInt()));
    });
}

void ManufacturerSegmentForm::setMember(quint8 newLine, quint16 start, ObjectDataBase *newDatabase,
                                        ObjectDataBase *newCatalogue, bool expertMode)
{
    line = newLine;
    index = start;
    last = start == 0x1000 ? 0x1FFF : start == 0x2000 ? 0x5FFF : start == 0x6000 ? 0x9FFF : 0xBFFF;
    database = newDatabase;
    catalogue = newCatalogue;
    editable = DictionaryEditor::mayEdit(start, expertMode);
    btnAddObject->setEnabled(editable && start < 0xA000);
    btnAddFromCatalogue->setVisible(start == 0x1000);
    btnAddFromCatalogue->setEnabled(editable && catalogue);
    btnAddService->setVisible(start == 0x1000);
    btnAddService->setEnabled(editable);
    updateData();
}

QString ManufacturerSegmentForm::segmentName() const
{
    switch (index) {
    case 0x1000:
        return tr("Communication Segment");
    case 0x2000:
        return tr("Manufacturer Segment");
    case 0x6000:
        return tr("Device Profile Segment");
    default:
        return tr("Network and Gateway Variable Segments");
    }
}

void ManufacturerSegmentForm::updateData()
{
    if (!database)
        return;
    const QList<quint16> indices = database->getIndices(line, index, last);
    QHash<quint16, int> entries;
    for (const ObjectDataBase::SubAddress &entry :
         database->getSubsByProperty(line, QString(), QString()))
        ++entries[entry.index];
    title->setText(tr("%1 (0x%2 - 0x%3): %n object(s)", nullptr, indices.size())
                       .arg(segmentName(), hex4(index), hex4(last)));
    table->setRowCount(indices.size());
    for (int row = 0; row < indices.size(); ++row) {
        const quint16 object = indices.at(row);
        ObjectDataBase::INDEX_DATA_T data;
        database->getIndexData(line, object, data);
        const QStringList texts = {QStringLiteral("0x%1").arg(hex4(object)),
                                   Helper::substituteVariables(data.name, object, 0),
                                   Helper::objectCode2String(data.objecttype),
                                   Helper::index2DataTypeString(data.datatype),
                                   QString::number(entries.value(object))};
        for (int column = 0; column < texts.size(); ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            item->setData(Qt::UserRole, int(object));
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnToContents(0);
}

void ManufacturerSegmentForm::addObject()
{
    if (!database || !editable)
        return;
    FormPrompts::NewObject request;
    request.index = database->getNextFreeIndex(line, index);
    request.name = tr("New object");
    if (!FormPrompts::current().askNewObject(this, request))
        return;
    DictionaryEditor dictionary(database);
    UndoStep step(database, tr("Add %1").arg(hexIndex(request.index)));
    if (!dictionary.createObject(line, request.index, request.name, request.objectType,
                                 request.dataType, request.entries)) {
        refuseInput(dictionary.errorString());
        return;
    }
    updateData();
    emit objectActivated(request.index);
}

void ManufacturerSegmentForm::addFromCatalogue()
{
    if (!database || !catalogue || !editable || !catalogue->existNode(ReservedLine::staging))
        return;
    QList<QPair<quint16, QString>> available;
    for (quint16 object : catalogue->getIndices(255, index, last)) {
        if (!database->existIndex(line, object))
            available.append({object, catalogue->getIndexName(255, object)});
    }
    const QList<quint16> chosen =
        FormPrompts::current().chooseObjects(this, tr("Add from CiA 301 catalogue"), available);
    {
        UndoStep step(database, chosen.size() == 1 ? tr("Add %1").arg(hexIndex(chosen.first()))
                                                   : tr("Add %n objects from the catalogue",
                                                        nullptr, chosen.size()));
        for (quint16 object : chosen)
            database->copyIndexFromDatabase(catalogue, ReservedLine::staging, object, line, object,
                                            true);
    }
    updateData();
}

void ManufacturerSegmentForm::addService()
{
    if (!editable || !database)
        return;
    AddServiceDialog dialog(database, line, this);
    if (dialog.exec() == QDialog::Accepted && dialog.createdIndex() != 0)
        emit objectActivated(dialog.createdIndex());
}
