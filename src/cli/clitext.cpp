#include "cli/clitext.h"

#include <QRegularExpression>

QString CliText::plainText(const QString &message)
{
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression markup(QStringLiteral("</?(strong|i|b)>|<font [^<>]*>|</font>"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString text = message;
    text.replace(lineBreak, QStringLiteral("\n"));
    text.remove(markup);
    return text;
}
