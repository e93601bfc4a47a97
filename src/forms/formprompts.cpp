#include "formprompts.h"

#include "addobjectdialog.h"
#include "selectobjectsdialog.h"
#include "selectsubindexdialog.h"
#include "subselectdialog.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

std::unique_ptr<FormPrompts> &installed()
{
    static std::unique_ptr<FormPrompts> prompts;
    return prompts;
}

} // namespace

FormPrompts &FormPrompts::current()
{
    std::unique_ptr<FormPrompts> &prompts = installed();
    if (!prompts)
        prompts = std::make_unique<FormPrompts>();
    return *prompts;
}

void FormPrompts::install(std::unique_ptr<FormPrompts> prompts)
{
    installed() = std::move(prompts);
}

QString FormPrompts::messageTitle()
{
    return QCoreApplication::applicationName() + QStringLiteral("  ")
           + QCoreApplication::applicationVersion();
}

void FormPrompts::refuse(QWidget *parent, const QString &text)
{
    refuse(parent, messageTitle(), text);
}

void FormPrompts::refuse(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void FormPrompts::warn(QWidget *parent, const QString &title, const QString &text,
                       const QString &informativeText)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(informativeText);
    box.exec();
}

bool FormPrompts::confirm(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, messageTitle(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

quint8 FormPrompts::chooseSubIndex(QWidget *parent, const QList<quint8> &subs)
{
    SelectSubindexDialog dialog(parent);
    dialog.fillSubs(subs);
    dialog.exec();
    return dialog.getSubValue();
}

bool FormPrompts::chooseMoveTarget(QWidget *parent, ObjectDataBase *database, quint8 line,
                                   quint16 index, quint8 sub, MoveTarget &target)
{
    SubSelectDialog dialog(database, index, parent);
    dialog.setSource(line, sub);
    if (dialog.exec() != QDialog::Accepted || !dialog.hasSelection())
        return false;
    target.line = dialog.getLine();
    target.index = dialog.getIndex();
    target.sub = dialog.getSub();
    return true;
}

QString FormPrompts::askIndex(QWidget *parent, const QString &title, const QString &label,
                              const QString &proposal)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, proposal, &ok);
    return ok ? text : QString();
}

bool FormPrompts::askNewObject(QWidget *parent, NewObject &request)
{
    AddObjectDialog dialog(parent);
    dialog.setRequest(request);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request = dialog.request();
    return true;
}

QList<quint16> FormPrompts::chooseObjects(QWidget *parent, const QString &title,
                                          const QList<QPair<quint16, QString>> &available)
{
    SelectObjectsDialog dialog(title, available, parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedIndices();
}
