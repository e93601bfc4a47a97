// Edit > Undo and Redo: the steps of the project store's history.

#include "nwrmainwindow.h"
#include "ui_nwrmainwindow.h"

#include "database/undolog.h"

#include <QAction>
#include <QKeySequence>

void NwrMainWindow::createUndoActions()
{
    undoAction = new QAction(this);
    undoAction->setObjectName(QStringLiteral("actionUndo"));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = new QAction(this);
    redoAction->setObjectName(QStringLiteral("actionRedo"));
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QAction *first = ui->menuEdit->actions().value(0);
    ui->menuEdit->insertAction(first, undoAction);
    ui->menuEdit->insertAction(first, redoAction);
    ui->menuEdit->insertSeparator(first);
    connect(undoAction, &QAction::triggered, this, &NwrMainWindow::undoLastStep);
    connect(redoAction, &QAction::triggered, this, &NwrMainWindow::redoLastStep);
    updateUndoActions();
}

void NwrMainWindow::updateUndoActions()
{
    const UndoLog *log = projectDb ? projectDb->undoLog() : nullptr;
    const bool canUndo = log && log->canUndo();
    const bool canRedo = log && log->canRedo();
    undoAction->setEnabled(canUndo);
    undoAction->setText(canUndo ? tr("&Undo %1").arg(log->undoText()) : tr("&Undo"));
    redoAction->setEnabled(canRedo);
    redoAction->setText(canRedo ? tr("&Redo %1").arg(log->redoText()) : tr("&Redo"));
}

void NwrMainWindow::undoLastStep()
{
    replayStep(true);
}

void NwrMainWindow::redoLastStep()
{
    replayStep(false);
}

// Input still open in the current page is committed first; it is then the step undone.
void NwrMainWindow::replayStep(bool back)
{
    if (!projectDb)
        return;
    newCurrentTabActivated(ui->toolBox->currentIndex());
    const bool done = back ? projectDb->undo() : projectDb->redo();
    if (!done)
        return;
    // The step may have added or removed lines.
    updateLines();
    if (!projectDb->existNode(currentLine))
        switchToLine(0);
    else
        updateLineForms(currentLine);
    setModifiedMark(!projectDb->undoLog()->isClean());
}
