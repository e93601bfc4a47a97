#pragma once

#include "app/userinteraction.h"

#include <QStringList>

// Answers the window's questions from queues and records its messages.
class ScriptedInteraction : public UserInteraction
{
public:
    QMessageBox::StandardButton askToSave(QWidget *, const QString &, const QString &text,
                                          const QString &) override
    {
        saveQuestions.append(text);
        return saveAnswers.isEmpty() ? unqueuedSaveAnswer : saveAnswers.takeFirst();
    }
    bool askYesNo(QWidget *, const QString &, const QString &text) override
    {
        questions.append(text);
        return !yesNo.isEmpty() && yesNo.takeFirst();
    }
    void showMessage(QWidget *, QMessageBox::Icon, const QString &title,
                     const QString &text) override
    {
        titles.append(title);
        messages.append(text);
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return openNames.isEmpty() ? QString() : openNames.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    }
    LineType selectProtocol(QWidget *, const QString &title) override
    {
        protocolQuestions.append(title);
        return protocols.isEmpty() ? LineType::NotSet : LineType(protocols.takeFirst());
    }
    void quitApplication() override { ++quits; }

    QList<QMessageBox::StandardButton> saveAnswers;
    QMessageBox::StandardButton unqueuedSaveAnswer = QMessageBox::Cancel;
    QList<bool> yesNo;
    QStringList openNames;
    QStringList saveNames;
    QList<int> protocols;
    QStringList saveQuestions;
    QStringList questions;
    QStringList protocolQuestions;
    QStringList titles;
    QStringList messages;
    int quits = 0;
};
