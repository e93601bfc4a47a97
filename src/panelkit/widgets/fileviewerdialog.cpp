#include "panelkit/widgets/fileviewerdialog.h"

#include "panelkit/widgets/ansichighlighter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextStream>
#include <QVBoxLayout>

FileViewerDialog::FileViewerDialog(const QString &file, QWidget *parent)
    : QDialog(parent), m_file(file), m_view(new QPlainTextEdit(this)), m_status(new QLabel(this))
{
    setWindowTitle(QFileInfo(file).fileName());
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);

    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("c") || suffix == QLatin1String("h"))
        m_highlighter = new AnsiCHighlighter(m_view->document());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *reloadButton = buttons->addButton(tr("&Reload"), QDialogButtonBox::ActionRole);
    connect(reloadButton, &QPushButton::clicked, this, &FileViewerDialog::reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(900, 700);
    reload();
}

QString FileViewerDialog::text() const
{
    return m_loaded ? m_view->toPlainText() : QString();
}

void FileViewerDialog::setTextSize(double pointSize)
{
    if (pointSize <= 0)
        return;
    QFont font = m_view->font();
    font.setPointSizeF(pointSize);
    m_view->setFont(font);
}

double FileViewerDialog::textSize() const
{
    return m_view->font().pointSizeF();
}

bool FileViewerDialog::reload()
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_loaded = false;
        m_view->clear();
        m_status->setText(tr("Cannot open %1: %2").arg(m_file, file.errorString()));
        return false;
    }
    const int scrollPosition = m_view->verticalScrollBar()->value();
    QTextStream in(&file);
    in.setCodec("UTF-8");
    m_view->setPlainText(in.readAll());
    m_view->verticalScrollBar()->setValue(scrollPosition);
    m_loaded = true;
    m_status->setText(QDir::toNativeSeparators(m_file));
    return true;
}
