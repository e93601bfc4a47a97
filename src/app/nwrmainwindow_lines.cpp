// Lines of the project: the line selector, switching, adding, duplicating, deleting and
// retyping lines, and which pages a line's type enables.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "userinteraction.h"

#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

namespace {

// Lines 240 and above are reserved: 254 holds the object clipboard, 255 the catalogue.
const int firstReservedLine = 240;
// The objects every CANopen line starts with.
const quint16 basicObjects[] = {0x1000, 0x1001, 0x1017, 0x1018, 0x1200};

QString lineTypeKey(quint8 line)
{
    return QStringLiteral("line%1type").arg(line);
}

} // namespace

int NwrMainWindow::lineType(quint8 line) const
{
    return projectDb->getGeneralSettingsValue(lineTypeKey(line)).toInt();
}

QString NwrMainWindow::lineTypeName(int type) const
{
    if (j1939Edition)
        return tr("J1939");
    if (energyBusLayout)
        return tr("EnergyBus");
    switch (type) {
    case 1:
        return tr("CANopen");
    case 2:
        return tr("J1939");
    case 4:
        return tr("raw CAN");
    case 5:
        return tr("both");
    default:
        return tr("type %1").arg(type);
    }
}

quint8 NwrMainWindow::lastLine() const
{
    quint8 last = 0;
    for (quint8 line : projectDb->getNodes()) {
        if (line < firstReservedLine && line > last)
            last = line;
    }
    return last;
}

void NwrMainWindow::updateLines()
{
    {
        const QSignalBlocker blocker(ui->cbLine);
        ui->cbLine->clear();
        QList<quint8> lines = projectDb->getNodes();
        std::sort(lines.begin(), lines.end());
        for (quint8 line : qAsConst(lines)) {
            if (line < firstReservedLine)
                ui->cbLine->addItem(tr("Line %1 - %2").arg(line).arg(lineTypeName(lineType(line))),
                                    line);
        }
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
    bool canopen = false;
    bool j1939 = false;
    bool rawCan = false;
    switch (lineType(line)) {
    case 1:
        canopen = true;
        break;
    case 2:
        j1939 = true;
        break;
    case 4:
        rawCan = true;
        break;
    case 5:
        canopen = j1939 = true;
        break;
    default:
        return;
    }
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
        || last + 1 >= firstReservedLine) {
        selectLineEntry(currentLine);
        return;
    }
    const quint8 line = last + 1;
    int type = j1939Edition ? 2 : 1;
    if (canEdition) {
        type = interaction->selectProtocol(this, tr("Select CAN protocol for line %1:").arg(line));
        if (type == 0) {
            selectLineEntry(currentLine);
            return;
        }
    }
    projectDb->setGeneralSettingsValue(lineTypeKey(line), QString::number(type));
    projectDb->addNode(line, ObjectDataBase::NODE_DATA_T());
    if (type == 1 || type == 5)
        copyBasicObjects(line);
    // Objects of line 0 that are shared between lines start out in every new line.
    for (quint16 index : projectDb->getIndices(0, 0x2000, 0xFFFF)) {
        ObjectDataBase::SUBINDEX_DATA_T sub0;
        if (projectDb->getSubIndexData(0, index, 0, sub0) && sub0.sharedlines)
            projectDb->copyIndex(0, index, line, index);
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
        projectDb->copyIndexFromDatabase(additionalDb, 255, index, line, index, true);
}

void NwrMainWindow::duplicateLastLine()
{
    const quint8 last = lastLine();
    if (!interaction->askYesNo(this, messageTitle(), tr("Do you want to duplicate the last line?"))
        || last + 1 >= firstReservedLine) {
        selectLineEntry(currentLine);
        return;
    }
    const quint8 line = last + 1;
    projectDb->setGeneralSettingsValue(lineTypeKey(line), QString::number(lineType(last)));
    projectDb->addNode(line, ObjectDataBase::NODE_DATA_T());
    projectDb->copyLineFromDatabase(projectDb, last, line, 0x1000, 0xFFFF);
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
    projectDb->delNode(last);
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
    const int type =
        interaction->selectProtocol(this, tr("Select CAN protocol for line %1:").arg(line));
    if (type == 0) {
        selectLineEntry(line);
        return;
    }
    projectDb->setGeneralSettingsValue(lineTypeKey(line), QString::number(type));
    updateLineForms(line);
    emit lineChanged(line);
    QTimer::singleShot(200, this, &NwrMainWindow::updateLines);
}
