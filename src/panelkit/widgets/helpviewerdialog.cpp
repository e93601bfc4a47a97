#include "panelkit/widgets/helpviewerdialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewerDialog::HelpViewerDialog(QWidget *parent)
    : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("Help"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setOpenLinks(true);

    auto *back = new QPushButton(tr("&Back"), this);
    auto *forward = new QPushButton(tr("&Forward"), this);
    auto *home = new QPushButton(tr("&Home"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto *navigation = new QHBoxLayout;
    navigation->addWidget(back);
    navigation->addWidget(forward);
    navigation->addWidget(home);
    navigation->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(navigation);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(900, 700);
}

bool HelpViewerDialog::setFile(const QString &path)
{
    m_file = path;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_browser->clearHistory();
        m_browser->setHtml(tr("<p>The help file %1 cannot be read.</p>").arg(path.toHtmlEscaped()));
        return false;
    }
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (!m_topic.isEmpty())
        url.setFragment(m_topic);
    m_browser->setSource(url);
    return true;
}

void HelpViewerDialog::setTitle(const QString &title)
{
    setWindowTitle(title);
}

void HelpViewerDialog::setTopic(const QString &topic)
{
    m_topic = topic;
    const QUrl current = m_browser->source();
    if (current.isEmpty())
        return;
    QUrl url = current;
    url.setFragment(topic.isEmpty() ? QString() : topic);
    m_browser->setSource(url);
}
