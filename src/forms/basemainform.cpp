#include "basemainform.h"

#include "transform/dictionaryeditor.h"

BaseMainForm::BaseMainForm(QWidget *parent) : QWidget(parent) {}

void BaseMainForm::setProjectDatabase(ObjectDataBase *newDatabase)
{
    if (database)
        disconnect(database, &ObjectDataBase::updateNotify, this, &BaseMainForm::updateData);
    database = newDatabase;
    if (database)
        connect(database, &ObjectDataBase::updateNotify, this, &BaseMainForm::updateData);
}

void BaseMainForm::setAdditionalDatabase(ObjectDataBase *newDatabase)
{
    additionalDb = newDatabase;
}

void BaseMainForm::lineHandle(quint8 newLine)
{
    saveData();
    line = newLine;
}

void BaseMainForm::menuActionRequest(BaseMainForm::MenuAction) {}

int BaseMainForm::updateSharedSub(quint8 sharedLine, quint16 index, quint8 subIndex)
{
    return database ? DictionaryEditor(database).updateSharedSub(sharedLine, index, subIndex) : 0;
}
