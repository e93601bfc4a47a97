#pragma once

#include <QColor>
#include <QProxyStyle>
#include <QString>

// The application's look: a proxy over the given base style (the start-up passes
// "Fusion") that adds the edition's accent colour to selections and links, 24-pixel tool
// bar icons and buttons without icons in dialog button boxes. The style takes ownership
// of the base style. edition is the application name; unknown names get the CANopen accent.
class TenvoAppStyle : public QProxyStyle
{
    Q_OBJECT

public:
    TenvoAppStyle(QStyle *base, const QString &edition);

    QString edition() const { return m_edition; }
    QColor accentColor() const { return m_accent; }
    static QColor accentColorFor(const QString &edition);

    QPalette standardPalette() const override;
    void polish(QPalette &palette) override;
    using QProxyStyle::polish;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

private:
    void applyAccent(QPalette &palette) const;

    QString m_edition;
    QColor m_accent;
};
