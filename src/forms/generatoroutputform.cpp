#include "forms/generatoroutputform.h"
#include "ui_generatoroutputform.h"

#include "generators/abstractgenerator.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QTextCursor>

GeneratorOutputForm::GeneratorOutputForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::GeneratorOutputForm)
{
    ui->setupUi(this);
    ui->tbLogging->installEventFilter(this);
}

GeneratorOutputForm::~GeneratorOutputForm()
{
    delete ui;
}

QString GeneratorOutputForm::getLogging() const
{
    return ui->tbLogging->toPlainText();
}

QTextBrowser *GeneratorOutputForm::browser() const
{
    return ui->tbLogging;
}

void GeneratorOutputForm::appendLogging(QString message, bool markup)
{
    const QString prefix = AbstractGenerator::currentDateTimeText() + QStringLiteral(": ");
    if (message.startsWith(QLatin1Char('\n'))) {
        ui->tbLogging->append(QString());
        message.remove(0, 1);
    }
    // append() would guess whether the text is HTML; it only opens the paragraph here and
    // the text goes in explicitly, without the formatting of the paragraph before.
    ui->tbLogging->append(QString());
    QTextCursor cursor(ui->tbLogging->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(prefix, QTextCharFormat());
    if (markup)
        cursor.insertHtml(message);
    else
        cursor.insertText(message);
}

void GeneratorOutputForm::clearLogging()
{
    ui->tbLogging->clear();
    ui->tbLogging->installEventFilter(this);
}

bool GeneratorOutputForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tbLogging && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::ControlModifier) {
            QApplication::clipboard()->setText(ui->tbLogging->textCursor().selectedText());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool GeneratorOutputForm::indexFromSelection(const QString &selection, quint16 &index)
{
    QString digits;
    if (selection.startsWith(QLatin1String("0x")))
        digits = selection;
    else if (selection.length() == 4 || selection.length() > 7)
        digits = selection.left(4);
    else
        return false;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return false;
    index = quint16(value);
    return true;
}

QMenu *GeneratorOutputForm::buildContextMenu(const QPoint &pos)
{
    QMenu *menu = ui->tbLogging->createStandardContextMenu(pos);
    quint16 index = 0;
    if (indexFromSelection(ui->tbLogging->textCursor().selectedText(), index)) {
        QAction *action =
            menu->addAction(tr("Go to object 0x%1").arg(index, 4, 16, QLatin1Char('0')));
        action->setData(index);
        connect(action, &QAction::triggered, this, &GeneratorOutputForm::handleGotoRequest);
    }
    return menu;
}

void GeneratorOutputForm::on_tbLogging_customContextMenuRequested(const QPoint &pos)
{
    QMenu *menu = buildContextMenu(pos);
    menu->exec(ui->tbLogging->viewport()->mapToGlobal(pos));
    delete menu;
}

void GeneratorOutputForm::handleGotoRequest()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        emit gotoObject(quint16(action->data().toUInt()));
}
