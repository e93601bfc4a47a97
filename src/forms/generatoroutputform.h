#pragma once

#include <QWidget>

class QAction;
class QMenu;
class QTextBrowser;

namespace Ui {
class GeneratorOutputForm;
}

// The generator output window: one time-stamped line per message of a generation run
// (plain text, or HTML when the run marks it so). Ctrl copies the selection; the context menu offers to go to an object
// whose index is selected.
class GeneratorOutputForm : public QWidget
{
    Q_OBJECT

public:
    explicit GeneratorOutputForm(QWidget *parent = nullptr);
    ~GeneratorOutputForm() override;

    QString getLogging() const;

    // The object index a selected text names, as the context menu reads it: a text
    // starting with "0x" is read whole as hexadecimal; a text of exactly 4 or more than
    // 7 characters by its first 4 characters. False when it is no hexadecimal number.
    static bool indexFromSelection(const QString &selection, quint16 &index);
    // The browser's standard menu plus "Go to object 0x%1" when the selection names an
    // object. The caller owns the menu.
    QMenu *buildContextMenu(const QPoint &pos);
    // The text browser, for selecting text in tests and for the window's layout.
    QTextBrowser *browser() const;

public slots:
    // Appends "<date and time>: message" as a new paragraph; a message starting with a
    // line feed gets an empty paragraph before it instead. The message is inserted as
    // plain text, so "<" and "&" show as typed, unless markup is set: then it is HTML.
    void appendLogging(QString message, bool markup = false);
    void clearLogging();

signals:
    void gotoObject(quint16 index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_tbLogging_customContextMenuRequested(const QPoint &pos);
    void handleGotoRequest();

private:
    Ui::GeneratorOutputForm *ui;
};
