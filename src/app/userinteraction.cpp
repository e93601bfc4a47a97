#include "userinteraction.h"

#include "selectprotocoldialog.h"

#include <QCoreApplication>
#include <QFileDialog>

QMessageBox::StandardButton UserInteraction::askToSave(QWidget *parent, const QString &title,
                                                       const QString &text,
                                                       const QString &informativeText)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(informativeText);
    box.setDefaultButton(QMessageBox::Save);
    return QMessageBox::StandardButton(box.exec());
}

bool UserInteraction::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void UserInteraction::showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                  const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString UserInteraction::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString UserInteraction::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

LineType UserInteraction::selectProtocol(QWidget *parent, const QString &title)
{
    SelectProtocolDialog dialog(title, parent);
    if (dialog.exec() != QDialog::Accepted)
        return LineType::NotSet;
    return dialog.lineType();
}

void UserInteraction::quitApplication()
{
    QCoreApplication::quit();
}
