#include "panelkit/widgets/ansichighlighter.h"

#include "nwtest.h"
#include "testenv.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

enum FormatKind { Plain, Keyword, Type, Number, Preprocessor, String, Comment };

// Format applied at a character position of a block (plain when no range covers it).
QTextCharFormat formatAt(const QTextBlock &block, int position)
{
    const auto ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange &range : ranges) {
        if (position >= range.start && position < range.start + range.length)
            return range.format;
    }
    return QTextCharFormat();
}

} // namespace

class TestAnsiCHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void formats_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("kind");
        const QString code =
            QStringLiteral("#include <gen_define.h>\n" // 0
                           "static const UNSIGNED8 od_u8[2] = { 0x1Fu, 12 };\n" // 1
                           "/* block comment with if and \"quote\"\n" // 2
                           "   still comment: return 5; */ int after;\n" // 3
                           "char *s = \"not // a comment\"; // real comment if\n" // 4
                           "char c = '\\''; int interest = 0;\n"); // 5
        QTest::addRow("directive") << code << 0 << "#include" << int(Preprocessor);
        QTest::addRow("header name") << code << 0 << "<gen_define.h>" << int(String);
        QTest::addRow("keyword static") << code << 1 << "static" << int(Keyword);
        QTest::addRow("keyword const") << code << 1 << "const" << int(Keyword);
        QTest::addRow("stack type") << code << 1 << "UNSIGNED8" << int(Type);
        QTest::addRow("identifier plain") << code << 1 << "od_u8" << int(Plain);
        QTest::addRow("hex number") << code << 1 << "0x1Fu" << int(Number);
        QTest::addRow("decimal number") << code << 1 << "12" << int(Number);
        QTest::addRow("keyword inside comment") << code << 2 << "if" << int(Comment);
        QTest::addRow("quote inside comment") << code << 2 << "\"quote\"" << int(Comment);
        QTest::addRow("comment continues") << code << 3 << "return" << int(Comment);
        QTest::addRow("after comment end") << code << 3 << "int" << int(Keyword);
        QTest::addRow("slashes inside string") << code << 4 << "// a comment" << int(String);
        QTest::addRow("line comment") << code << 4 << "// real" << int(Comment);
        QTest::addRow("keyword in line comment") << code << 4 << "if\n" << int(Comment);
        QTest::addRow("escaped quote char") << code << 5 << "'\\''" << int(String);
        QTest::addRow("keyword prefix is no keyword") << code << 5 << "interest" << int(Plain);
    }

    void formats()
    {
        QFETCH(QString, source);
        QFETCH(int, line);
        QFETCH(QString, word);
        QFETCH(int, kind);
        // As in the viewer, the document has a plain-text layout; without any layout a
        // document does not announce its changes to the highlighter.
        QTextDocument document;
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        AnsiCHighlighter highlighter(&document);
        document.setPlainText(source);
        const QTextBlock block = document.findBlockByNumber(line);
        const QString needle = word.endsWith(QLatin1Char('\n')) ? word.chopped(1) : word;
        const int position = word.endsWith(QLatin1Char('\n')) ? block.text().lastIndexOf(needle)
                                                              : block.text().indexOf(needle);
        QVERIFY2(position >= 0, qPrintable(block.text()));
        const QTextCharFormat expected[] = {QTextCharFormat(),
                                            highlighter.keywordFormat(),
                                            highlighter.typeFormat(),
                                            highlighter.numberFormat(),
                                            highlighter.preprocessorFormat(),
                                            highlighter.stringFormat(),
                                            highlighter.commentFormat()};
        for (int i = 0; i < needle.size(); ++i) {
            const QTextCharFormat actual = formatAt(block, position + i);
            QVERIFY2(actual == expected[kind],
                     qPrintable(QStringLiteral("character %1 of \"%2\": colour %3, %4 ranges")
                                    .arg(i)
                                    .arg(needle)
                                    .arg(actual.foreground().color().name())
                                    .arg(block.layout()->formats().size())));
        }
    }
};

NW_TEST_MAIN(TestAnsiCHighlighter)
#include "tst_ansichighlighter.moc"
