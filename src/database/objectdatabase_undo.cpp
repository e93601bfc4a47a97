#include "objectdatabase.h"

#include "objectdatabase_p.h"

#include <QDebug>

void ObjectDataBase::setUndoEnabled(bool enabled)
{
    StoreLocker locker(d->mutex);
    if (d->undoWanted == enabled)
        return;
    d->undoWanted = enabled;
    if (!enabled) {
        d->undo->stop();
        return;
    }
    if (d->db.isOpen())
        restartUndoLog();
}

UndoLog *ObjectDataBase::undoLog() const
{
    return d->undo;
}

void ObjectDataBase::clearUndoHistory()
{
    StoreLocker locker(d->mutex);
    if (d->undo->m_enabled)
        restartUndoLog();
}

// A new working file starts a new history.
void ObjectDataBase::restartUndoLog()
{
    d->stringId = 0;
    if (d->undoWanted && d->unitDepth == 0)
        d->undo->start(d->db);
}

void ObjectDataBase::beginUndoStep(const QString &name)
{
    StoreLocker locker(d->mutex);
    d->undo->beginStep(name);
}

void ObjectDataBase::endUndoStep()
{
    StoreLocker locker(d->mutex);
    d->undo->endStep();
}

bool ObjectDataBase::undo()
{
    return replayStep(true);
}

bool ObjectDataBase::redo()
{
    return replayStep(false);
}

// Replays the top step of one stack as one unit and moves it to the other; its replay,
// as the triggers logged it, is what the step is there.
bool ObjectDataBase::replayStep(bool back)
{
    StoreLocker locker(d->mutex);
    UndoLog &log = *d->undo;
    QVector<UndoLog::Step> &from = back ? log.m_undo : log.m_redo;
    QVector<UndoLog::Step> &to = back ? log.m_redo : log.m_undo;
    if (d->lockWriteAccess || !log.m_enabled || from.isEmpty() || d->unitDepth > 0
        || log.m_depth > 0)
        return false;
    const UndoLog::Step step = from.last();
    log.m_suspended = true;
    bool ok = beginTransaction();
    const qint64 mark = log.lastSeq();
    ok = ok && log.replay(step.first, step.last);
    const qint64 last = log.lastSeq();
    if (ok)
        ok = commitTransaction();
    else if (d->unitDepth > 0)
        rollbackTransaction();
    log.m_suspended = false;
    clearCaches();
    cacheStrings();
    if (ok) {
        from.removeLast();
        to.append({step.name, mark + 1, last, step.id});
        log.m_accounted = qMax(log.m_accounted, last);
        notify(ChangeSet(ChangeSet::ProjectReloaded));
    }
    emit log.changed();
    return ok;
}

// Takes back every change logged after mark and forgets it, both ways: the preparation of
// a saved file is not part of the history.
bool ObjectDataBase::revertSince(qint64 mark)
{
    UndoLog &log = *d->undo;
    bool ok = beginTransaction();
    ok = ok && log.replay(mark + 1, log.lastSeq()) && log.removeEntries(mark + 1, log.lastSeq());
    if (ok)
        ok = commitTransaction();
    else if (d->unitDepth > 0)
        rollbackTransaction();
    clearCaches();
    cacheStrings();
    if (!ok)
        log.discard("the preparation of the saved file could not be taken back");
    return ok;
}

// While the history is on, a Strings id is never given twice: a text deleted by one step
// and put back by its undo finds its id free.
int ObjectDataBase::nextStringId()
{
    if (d->stringId == 0)
        d->stringId =
            d->select(QStringLiteral("select coalesce(max(id), 0) from Strings"), {}, Q_FUNC_INFO)
                .first()
                .toLongLong()
            + 1;
    return int(d->stringId++);
}
