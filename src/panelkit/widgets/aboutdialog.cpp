#include "panelkit/widgets/aboutdialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent), m_name(QCoreApplication::applicationName()),
      m_version(QCoreApplication::applicationVersion()),
      m_organisation(QCoreApplication::organizationName()), m_heading(new QLabel(this)),
      m_details(new QLabel(this)), m_text(new QLabel(this))
{
    auto *icon = new QLabel(this);
    const QIcon appIcon = QApplication::windowIcon();
    if (!appIcon.isNull())
        icon->setPixmap(appIcon.pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    m_heading->setTextFormat(Qt::RichText);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setTextFormat(Qt::RichText);
    m_text->setWordWrap(true);
    m_text->setOpenExternalLinks(true);
    m_text->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto *textColumn = new QVBoxLayout;
    textColumn->addWidget(m_heading);
    textColumn->addWidget(m_details);
    textColumn->addWidget(m_text);
    textColumn->addStretch();

    auto *body = new QHBoxLayout;
    body->addWidget(icon);
    body->addLayout(textColumn, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    updateHeading();
}

void AboutDialog::setApplicationName(const QString &name)
{
    m_name = name;
    updateHeading();
}

void AboutDialog::setVersion(const QString &version)
{
    m_version = version;
    updateHeading();
}

void AboutDialog::setOrganisation(const QString &organisation)
{
    m_organisation = organisation;
    updateHeading();
}

void AboutDialog::setText(const QString &text)
{
    m_text->setText(text);
}

QString AboutDialog::text() const
{
    return m_text->text();
}

void AboutDialog::updateHeading()
{
    setWindowTitle(tr("About %1").arg(m_name));
    m_heading->setText(QStringLiteral("<h2>%1</h2>").arg(m_name.toHtmlEscaped()));
    m_details->setText(tr("Version %1\n%2\nBuilt with Qt %3, running on Qt %4")
                           .arg(m_version, m_organisation, QLatin1String(QT_VERSION_STR),
                                QLatin1String(qVersion())));
}
