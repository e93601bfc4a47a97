// Lines of the project: the line selector, switching, adding, duplicating, deleting and
// retyping lines, and which pages a line's type enables.

#include "nwrmainwindow.h"

#include "database/undostep.h"
#include "ui_nwrmainwindow.h"

#include "userinteraction.h"

#include <QSignalBlocker>
#include <QTimer>

namespace {

// The objects every CANopen line starts with.
const quint16 basicObjects[] = {0x1000, 0x1001, 0x1017, 0x1018, 0x1200};

} // namespace

LineType NwrMainWindow::lineType(quint8 line) const
{
    return LineTypes::lineType(projectDb, line);
}

QString NwrMainWindow::lineTypeName(LineType type) const
{
    if (j1939Edition)
        return tr("J1939");
    if (energyBusLayout)
        return tr("EnergyBus");
    return LineTypes::name(type);
}

quint8 NwrMainWindow::lastLine() const
{
    quint8 last = 0;
    for (quint8 line : projectDb->getNodes()) {
        if (LineTypes::isProjectLine(line) && line > last)
            last = line;
    }
    return last;
}

void NwrMainWindow::updateLines()
{
    {
        const QSignalBlocker blocker(ui->cbLine);
        ui->cbLine->clear();
        for (quint8 line : LineTypes::projectLines(projectDb))
            ui->cbLine->addItem(tr("Line %1 - %2").arg(line).arg(lineTypeName(lineType(line))),
                                line);
        ui->cbLine->addItem(tr("Add empty line"), int(AddEmptyLine));
        ui->cbLine->addItem(tr("Duplicate last line"), int(DuplicateLastLine));
        ui->cbLine->addItem(tr("Delete last line"), int(DeleteLastLine));
        if (canEdition)
            ui->cbLine->addItem(tr("Change Line Type"), int(ChangeLineType));
    }
    selectLineEntry(currentLine);
}

void NwrMainWindow::selectLineEntry(quint8 line)
{
    const QSignalBlocker blocker(ui->cbLine);
    const int entry = ui->cbLine->findData(int(line));
    ui->cbLine->setCurrentIndex(entry >= 0 ? entry : 0);
    ui->btnLineType->setText(lineTypeName(lineType(currentLine)));
}

void NwrMainWindow::handleLineChanged(int selectorIndex)
{
    if (selectorIndex < 0 || selectorIndex >= ui->cbLine->count())
        return;
    const int data = ui->cbLine->itemData(selectorIndex).toInt();
    switch (data) {
    case AddEmptyLine:
        addLine();
        break;
    case DuplicateLastLine:
        duplicateLastLine();
        break;
    case DeleteLastLine:
        deleteLastLine();
        break;
    case ChangeLineType:
        changeLineType();
        break;
    default:
        switchToLine(quint8(data));
        break;
    }
}

void NwrMainWindow::switchToLine(quint8 line)
{
    renamePagesForLine(line);
    currentLine = line;
    updateLineForms(line);
    emit lineChanged(line);
    selectLineEntry(line);
}

// After a line was added, duplicated or deleted: show the given line; the selector is
// rebuilt a little later, when the pages have taken the change.
void NwrMainWindow::enterChangedLine(quint8 line)
{
    renamePagesForLine(line);
    currentLine = line;
    updateLineForms(line);
    emit lineChanged(line);
    QTimer::singleShot(200, this, &NwrMainWindow::updateLines);
}

void NwrMainWindow::renamePagesForLine(quint8 line)
{
    const QList<QPair<Page, QString>> titles = {
        {Page::ObjectDictionary, tr("CANopen Object Dictionary - line %1")},
        {Page::DeviceDescription, tr("Device Description - line %1")},
        {Page::J1939SignalDefinition, tr("J1939 Signal Definition - line %1")}};
    for (const auto &title : titles) {
        const int index = ui->toolBox->indexOf(page(title.first));
        if (index >= 0)
            ui->toolBox->setItemText(index, title.second.arg(line));
    }
}

void NwrMainWindow::updateLineForms(quint8 line)
{
    const LineType type = lineType(line);
    const bool canopen = LineTypes::carriesCANopen(type);
    const bool j1939 = LineTypes::carriesJ1939(type);
    const bool rawCan = type == LineType::RawCan;
    if (!canopen && !j1939 && !rawCan)
        return;
    const QList<QPair<Page, bool>> states = {{Page::ObjectDictionary, canopen},
                                             {Page::DeviceDescription, canopen},
                                             {Page::J1939Configuration, j1939},
                                             {Page::J1939SignalDefinition, j1939},
                                             {Page::CanIdDatabase, rawCan}};
    for (const auto &state : states) {
        const int index = ui->toolBox->indexOf(page(state.first));
        if (index >= 0)
            ui->toolBox->setItemEnabled(index, state.second);
    }
}

void NwrMainWindow::addLine()
{
    const quint8 last = lastLine();
    if (!interaction->askYesNo(this, messageTitle(), tr("Do you want to add a new line?"))
        || !LineTypes::isProjectLine(last + 1)) {
        selectLineEntry(currentLine);
        return;
    }
    const quint8 line = last + 1;
    LineType type = j1939Edition ? LineType::J1939 : LineType::CANopen;
    if (canEdition) {
        type = interaction->selectProtocol(this, tr("Select CAN protocol for line %1:").arg(line));
        if (type == LineType::NotSet) {
            selectLineEntry(currentLine);
            return;
        }
    }
    {
        UndoStep step(projectDb, tr("Add Line %1").arg(line));
        LineTypes::setLineType(projectDb, line, type);
        projectDb->addNode(line, ObjectDataBase::NODE_DATA_T());
        if (LineTypes::carriesCANopen(type))
            copyBasicObjects(line);
        // Objects of line 0 that are shared between lines start out in every new line.
        for (quint16 index : projectDb->getIndices(0, 0x2000, 0xFFFF)) {
            ObjectDataBase::SUBINDEX_DATA_T sub0;
            if (projectDb->getSubIndexData(0, index, 0, sub0) && sub0.sharedlines)
                projectDb->copyIndex(0, index, line, index);
        }
    }
    enterChangedLine(line);
}

// The basic objects come from line 0 when it is a CANopen line with its error register,
// otherwise from the CiA 301 catalogue.
void NwrMainWindow::copyBasicObjects(quint8 line)
{
    if (projectDb->existIndex(0, 0x1001)) {
        for (quint16 index : basicObjects) {
            if (projectDb->existIndex(0, index))
                projectDb->copyIndex(0, index, line, index);
        }
        return;
    }
    waitForCatalogue();
    if (!additionalDb)
        return;
    for (quint16 index : basicObjects)
        projectDb->copyIndexFromDatabase(additionalDb, ReservedLine::staging, index, line, index,
                                         true);
}

void NwrMainWindow::duplicateLastLine()
{
    const quint8 last = lastLine();
    if (!interaction->askYesNo(this, messageTitle(), tr("Do you want to duplicate the last line?"))
        || !LineTypes::isProjectLine(last + 1)) {
        selectLineEntry(currentLine);
        return;
    }
    const quint8 line = last + 1;
    {
        UndoStep step(projectDb, tr("Duplicate Line %1").arg(last));
        LineTypes::setLineType(projectDb, line, lineType(last));
        projectDb->addNode(line, ObjectDataBase::NODE_DATA_T());
        projectDb->copyLineFromDatabase(projectDb, last, line, 0x1000, 0xFFFF);
    }
    enterChangedLine(line);
}

void NwrMainWindow::deleteLastLine()
{
    const quint8 last = lastLine();
    if (last == 0) {
        const QSignalBlocker blocker(ui->cbLine);
        ui->cbLine->setCurrentIndex(0);
        return;
    }
    if (!interaction->askYesNo(this, messageTitle(), tr("Do you want to delete this line?"))) {
        selectLineEntry(currentLine);
        return;
    }
    {
        UndoStep step(projectDb, tr("Delete Line %1").arg(last));
        projectDb->delNode(last);
    }
    const quint8 line = last - 1;
    enterChangedLine(line);
}

void NwrMainWindow::changeLineType()
{
    const quint8 line = currentLine;
    if (!interaction->askYesNo(this, messageTitle(),
                               tr("Do you want to add change the type of line %1?").arg(line))) {
        selectLineEntry(line);
        return;
    }
    const LineType type =
        interaction->selectProtocol(this, tr("Select CAN protocol for line %1:").arg(line));
    if (type == LineType::NotSet) {
        selectLineEntry(line);
        return;
    }
    {
        UndoStep step(projectDb, tr("Change Type of Line %1").arg(line));
        LineTypes::setLineType(projectDb, line, type);
    }
    updateLineForms(line);
    emit lineChanged(line);
    QTimer::singleShot(200, this, &NwrMainWindow::updateLines);
}
