#pragma once

#include "panelkit/linetype.h"

#include <QMessageBox>
#include <QString>

class QWidget;

// The questions and messages of the main window, and its request to end the
// application. The default implementation shows message boxes and file dialogs and quits
// the application; tests install their own answers.
class UserInteraction
{
public:
    virtual ~UserInteraction() = default;

    // Save, Discard or Cancel; Save is the default button.
    virtual QMessageBox::StandardButton askToSave(QWidget *parent, const QString &title,
                                                  const QString &text,
                                                  const QString &informativeText);
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &text);
    virtual void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                             const QString &text);
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    // The protocol of a line, or NotSet when the user chose none.
    virtual LineType selectProtocol(QWidget *parent, const QString &title);
    // Ends the application's event loop.
    virtual void quitApplication();
};
