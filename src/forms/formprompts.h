#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class ObjectDataBase;
class QWidget;

// The questions and messages of the object dictionary pages and their editors. The
// default implementation shows message boxes and the pages' dialogs; tests install their
// own answers with install(). Message boxes are titled with the application name and
// version.
class FormPrompts
{
public:
    // Where a moved sub-index goes.
    struct MoveTarget
    {
        quint8 line = 0;
        quint16 index = 0;
        quint8 sub = 0;
    };

    // A new object as the user describes it.
    struct NewObject
    {
        quint16 index = 0;
        QString name;
        quint8 objectType = 7;
        quint16 dataType = 7;
        int entries = 1;
    };

    virtual ~FormPrompts() = default;

    // The prompts in use; never null.
    static FormPrompts &current();
    // Replaces the prompts (null restores the default ones).
    static void install(std::unique_ptr<FormPrompts> prompts);

    // Why an input or an action was refused; the edit stays as it was.
    virtual void refuse(QWidget *parent, const QString &text);
    virtual void refuse(QWidget *parent, const QString &title, const QString &text);
    // A warning box with a short text and an informative text below it.
    virtual void warn(QWidget *parent, const QString &title, const QString &text,
                      const QString &informativeText);
    // OK and Cancel, OK the default. True for OK.
    virtual bool confirm(QWidget *parent, const QString &text);
    // A free sub-index from subs, or 0xFF when the user cancels.
    virtual quint8 chooseSubIndex(QWidget *parent, const QList<quint8> &subs);
    // The destination of a moved entry of (line, index, sub); false when cancelled.
    virtual bool chooseMoveTarget(QWidget *parent, ObjectDataBase *database, quint8 line,
                                  quint16 index, quint8 sub, MoveTarget &target);
    // An object index typed by the user (hexadecimal text), proposal preset; empty when
    // cancelled.
    virtual QString askIndex(QWidget *parent, const QString &title, const QString &label,
                             const QString &proposal);

    // A new object; request holds the proposal on entry. False when cancelled.
    virtual bool askNewObject(QWidget *parent, NewObject &request);
    // Objects (index and name) to take from a catalogue; empty when cancelled.
    virtual QList<quint16> chooseObjects(QWidget *parent, const QString &title,
                                         const QList<QPair<quint16, QString>> &available);

    static QString messageTitle();
};
