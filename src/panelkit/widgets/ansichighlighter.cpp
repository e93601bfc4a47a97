#include "panelkit/widgets/ansichighlighter.h"

#include <QColor>
#include <QFont>
#include <QStringList>

namespace {

const char *const keywords[] = {
    "auto",     "break",  "case",   "char",     "const",      "continue", "default",  "do",
    "double",   "else",   "enum",   "extern",   "float",      "for",      "goto",     "if",
    "inline",   "int",    "long",   "register", "restrict",   "return",   "short",    "signed",
    "sizeof",   "static", "struct", "switch",   "typedef",    "union",    "unsigned", "void",
    "volatile", "while",  "_Bool",  "_Complex", "_Imaginary", "NULL",
};

QTextCharFormat makeFormat(const QColor &colour, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setForeground(colour);
    if (bold)
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(italic);
    return format;
}

} // namespace

AnsiCHighlighter::AnsiCHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document), m_keywordFormat(makeFormat(QColor(0x00, 0x00, 0x80), true)),
      m_typeFormat(makeFormat(QColor(0x80, 0x00, 0x80))),
      m_numberFormat(makeFormat(QColor(0x00, 0x60, 0x60))),
      m_preprocessorFormat(makeFormat(QColor(0x80, 0x50, 0x00))),
      m_stringFormat(makeFormat(QColor(0x00, 0x80, 0x00))),
      m_commentFormat(makeFormat(QColor(0x70, 0x70, 0x70), false, true))
{
    QStringList words;
    for (const char *word : keywords)
        words << QLatin1String(word);
    m_rules.append(
        {QRegularExpression(QStringLiteral("\\b(?:%1)\\b").arg(words.join('|'))), m_keywordFormat});
    m_rules.append({QRegularExpression(QStringLiteral(
                        "\\b(?:(?:UNSIGNED|INTEGER)(?:8|16|24|32|40|48|56|64)|REAL(?:32|64)"
                        "|BOOL_T|RET_T|VIS_STRING|OCTET_STRING|UTF8_STRING|CO_[A-Z0-9_]+_T"
                        "|J1939_[A-Z0-9_]+_T|u?int(?:8|16|32|64)_t|size_t|bool)\\b")),
                    m_typeFormat});
    m_rules.append({QRegularExpression(QStringLiteral(
                        "\\b(?:0[xX][0-9A-Fa-f]+|[0-9]+(?:\\.[0-9]*)?(?:[eE][-+]?[0-9]+)?)"
                        "[uUlLfF]*\\b")),
                    m_numberFormat});
    m_rules.append(
        {QRegularExpression(QStringLiteral("^\\s*#\\s*[A-Za-z_]+")), m_preprocessorFormat});
    m_rules.append(
        {QRegularExpression(QStringLiteral("^\\s*#\\s*include\\s*(<[^>]*>)")), m_stringFormat});
}

void AnsiCHighlighter::highlightBlock(const QString &text)
{
    for (const Rule &rule : qAsConst(m_rules)) {
        auto matches = rule.pattern.globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            const int group = match.lastCapturedIndex();
            setFormat(match.capturedStart(group), match.capturedLength(group), rule.format);
        }
    }
    highlightLiteralsAndComments(text);
}

// Position after the literal that opens at start (its closing quote, or the end of the
// line for an unterminated literal); a backslash escapes the next character.
int AnsiCHighlighter::endOfLiteral(const QString &text, int start) const
{
    const QChar quote = text.at(start);
    int i = start + 1;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('\\'))
            i += 2;
        else if (text.at(i++) == quote)
            return i;
    }
    return text.size();
}

void AnsiCHighlighter::highlightLiteralsAndComments(const QString &text)
{
    int i = 0;
    setCurrentBlockState(Normal);
    if (previousBlockState() == InBlockComment) {
        const int end = text.indexOf(QLatin1String("*/"));
        if (end < 0) {
            setFormat(0, text.size(), m_commentFormat);
            setCurrentBlockState(InBlockComment);
            return;
        }
        setFormat(0, end + 2, m_commentFormat);
        i = end + 2;
    }
    while (i < text.size()) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = endOfLiteral(text, i);
            setFormat(i, end - i, m_stringFormat);
            i = end;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
            setFormat(i, text.size() - i, m_commentFormat);
            return;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                setFormat(i, text.size() - i, m_commentFormat);
                setCurrentBlockState(InBlockComment);
                return;
            }
            setFormat(i, end + 2 - i, m_commentFormat);
            i = end + 2;
        } else {
            ++i;
        }
    }
}
