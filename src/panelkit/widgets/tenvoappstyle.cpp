#include "panelkit/widgets/tenvoappstyle.h"

#include "panelkit/appidentity.h"

#include <QPalette>

TenvoAppStyle::TenvoAppStyle(QStyle *base, const QString &edition)
    : QProxyStyle(base), m_edition(edition), m_accent(accentColorFor(edition))
{
}

QColor TenvoAppStyle::accentColorFor(const QString &edition)
{
    if (AppIdentity::isJ1939Edition(edition))
        return QColor(0x2e, 0x7d, 0x32);
    if (AppIdentity::isCanEdition(edition))
        return QColor(0x00, 0x79, 0x6b);
    if (AppIdentity::isEnergyBusEdition(edition))
        return QColor(0xd0, 0x6a, 0x00);
    return QColor(0x1f, 0x5f, 0xa8);
}

void TenvoAppStyle::applyAccent(QPalette &palette) const
{
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, m_accent);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, m_accent.darker(120));
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, m_accent.lighter(160));
}

QPalette TenvoAppStyle::standardPalette() const
{
    QPalette palette = QProxyStyle::standardPalette();
    applyAccent(palette);
    return palette;
}

void TenvoAppStyle::polish(QPalette &palette)
{
    QProxyStyle::polish(palette);
    applyAccent(palette);
}

int TenvoAppStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                               const QWidget *widget) const
{
    if (metric == PM_ToolBarIconSize)
        return 24;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int TenvoAppStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                             QStyleHintReturn *returnData) const
{
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
