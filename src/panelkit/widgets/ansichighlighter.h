#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVector>

// Syntax colouring for C sources and headers: keywords, the protocol stack's basic types
// (UNSIGNED8, INTEGER32, BOOL_T, ...), numbers, preprocessor directives, string and
// character literals, and line and block comments (also across lines). Comment markers
// inside literals and quotes inside comments are told apart.
class AnsiCHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit AnsiCHighlighter(QTextDocument *document);

    QTextCharFormat keywordFormat() const { return m_keywordFormat; }
    QTextCharFormat typeFormat() const { return m_typeFormat; }
    QTextCharFormat numberFormat() const { return m_numberFormat; }
    QTextCharFormat preprocessorFormat() const { return m_preprocessorFormat; }
    QTextCharFormat stringFormat() const { return m_stringFormat; }
    QTextCharFormat commentFormat() const { return m_commentFormat; }

protected:
    void highlightBlock(const QString &text) override;

private:
    enum BlockState { Normal = 0, InBlockComment = 1 };

    struct Rule
    {
        QRegularExpression pattern;
        QTextCharFormat format;
    };

    int endOfLiteral(const QString &text, int start) const;
    void highlightLiteralsAndComments(const QString &text);

    QVector<Rule> m_rules;
    QTextCharFormat m_keywordFormat;
    QTextCharFormat m_typeFormat;
    QTextCharFormat m_numberFormat;
    QTextCharFormat m_preprocessorFormat;
    QTextCharFormat m_stringFormat;
    QTextCharFormat m_commentFormat;
};
