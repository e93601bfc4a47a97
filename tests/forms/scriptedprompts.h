#pragma once

#include "database/objectdatabase.h"
#include "dictionaryfixture.h"
#include "forms/formprompts.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Answers the pages' questions from queues and records what they said.
class ScriptedPrompts : public FormPrompts
{
public:
    // Installs a fresh instance and returns it; FormPrompts owns it.
    static ScriptedPrompts *install()
    {
        auto *prompts = new ScriptedPrompts;
        FormPrompts::install(std::unique_ptr<FormPrompts>(prompts));
        return prompts;
    }

    void refuse(QWidget *, const QString &title, const QString &text) override
    {
        titles.append(title);
        refusals.append(text);
    }
    void warn(QWidget *, const QString &title, const QString &text,
              const QString &informativeText) override
    {
        titles.append(title);
        refusals.append(text + QLatin1Char('\n') + informativeText);
    }
    bool confirm(QWidget *, const QString &text) override
    {
        questions.append(text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    quint8 chooseSubIndex(QWidget *, const QList<quint8> &subs) override
    {
        offeredSubs = subs;
        return chosenSub;
    }
    bool chooseMoveTarget(QWidget *, ObjectDataBase *, quint8, quint16, quint8,
                          MoveTarget &target) override
    {
        target = moveTarget;
        return moveAccepted;
    }
    QString askIndex(QWidget *, const QString &, const QString &, const QString &proposal) override
    {
        proposals.append(proposal);
        return typedIndex;
    }
    bool askNewObject(QWidget *, NewObject &request) override
    {
        proposedObject = request;
        request = newObject;
        return newObjectAccepted;
    }
    QList<quint16> chooseObjects(QWidget *, const QString &,
                                 const QList<QPair<quint16, QString>> &available) override
    {
        offeredObjects = available;
        return chosenObjects;
    }

    QStringList refusals;
    QStringList titles;
    QStringList questions;
    QList<bool> answers;
    QList<quint8> offeredSubs;
    quint8 chosenSub = 0xFF;
    MoveTarget moveTarget;
    bool moveAccepted = false;
    QStringList proposals;
    QString typedIndex;
    NewObject proposedObject;
    NewObject newObject;
    bool newObjectAccepted = false;
    QList<QPair<quint16, QString>> offeredObjects;
    QList<quint16> chosenObjects;
};

// The project of a page test: a new store with line 0 of the dictionary fixture, and the
// pages' questions answered by a fresh ScriptedPrompts. A test class derives from it, calls
// startProject() from init() and endProject() from cleanup(), once its page is deleted.
class FormProject
{
protected:
    void startProject()
    {
        prompts = ScriptedPrompts::install();
        db = std::make_unique<ObjectDataBase>();
        QVERIFY(db->createNewDataBase());
        dictionaryfixture::buildLine(*db, 0);
    }
    void endProject()
    {
        db.reset();
        FormPrompts::install(nullptr);
    }
    // For pages that keep settings: they go to a folder of the test, not the user's.
    void isolateSettings()
    {
        for (const auto format : {QSettings::IniFormat, QSettings::NativeFormat})
            QSettings::setPath(format, QSettings::UserScope, settingsDir.filePath("settings"));
    }

    std::unique_ptr<ObjectDataBase> db;
    ScriptedPrompts *prompts = nullptr;
    QTemporaryDir settingsDir;
};
