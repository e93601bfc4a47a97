#pragma once

#include "database/objectdatabase.h"

#include <QPointer>
#include <QWidget>

// Base of the pages of the main window's tool box. The window binds every page through
// this interface: it hands over the project store (whose updateNotify then reaches
// updateData), tells the page the current line and the expert mode, asks it to save its
// open edit before another page is shown or the project is saved, and forwards the Edit
// menu to it. A page keeps only weak references to the stores and never holds object
// data beyond its open editor.
class BaseMainForm : public QWidget
{
    Q_OBJECT

public:
    // Commands of the main window's Edit menu; the Delete key of a tree sends Delete.
    enum MenuAction : int { Duplicate = 0, Copy = 1, Cut = 2, Paste = 3, Delete = 4 };
    Q_ENUM(MenuAction)

    explicit BaseMainForm(QWidget *parent = nullptr);

    // Binds the page to the project store; a previous store is released first.
    virtual void setProjectDatabase(ObjectDataBase *database);
    // A second store (the CiA 301 catalogue) for pages that take objects from it.
    virtual void setAdditionalDatabase(ObjectDataBase *database);
    ObjectDataBase *projectDatabase() const { return database; }
    ObjectDataBase *additionalDatabase() const { return additionalDb; }
    quint8 currentLine() const { return line; }

public slots:
    // Refreshes the page from the store for the change kinds it shows.
    virtual void updateData(ObjectDataBase::ChangeSet change) = 0;
    // Writes the open edit to the store.
    virtual void saveData() = 0;
    virtual void handleExpertMode(bool on) = 0;
    // The line the page shows. The default saves the open edit, then remembers the line.
    virtual void lineHandle(quint8 newLine);
    // An Edit menu command; pages without such commands ignore it.
    virtual void menuActionRequest(BaseMainForm::MenuAction action);

protected:
    // Copies a shared entry of line to the same address in every other line (see
    // DictionaryEditor::updateSharedSub); returns the number of copies.
    int updateSharedSub(quint8 sharedLine, quint16 index, quint8 subIndex);

    QPointer<ObjectDataBase> database;
    QPointer<ObjectDataBase> additionalDb;
    quint8 line = 0;
};
