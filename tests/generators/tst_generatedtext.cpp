#include "generators/generatedtext.h"
#include "nwtest.h"

#include <QBuffer>
#include <QTextStream>

#include <limits>

namespace {

// A piece of a row: a QString is written as a text, a QByteArray as a const char *
// (Latin-1), a char, and the integer types as themselves.
template <typename Stream>
void write(Stream &out, const QVariantList &pieces)
{
    for (const QVariant &piece : pieces) {
        switch (int(piece.type())) {
        case QMetaType::QString:
            out << piece.toString();
            break;
        case QMetaType::QByteArray:
            out << piece.toByteArray().constData();
            break;
        case QMetaType::Char:
            out << piece.value<char>();
            break;
        case QMetaType::Int:
            out << piece.toInt();
            break;
        case QMetaType::UInt:
            out << piece.toUInt();
            break;
        case QMetaType::LongLong:
            out << piece.toLongLong();
            break;
        case QMetaType::ULongLong:
            out << piece.toULongLong();
            break;
        default:
            QFAIL("unknown piece");
        }
    }
}

} // namespace

// The generators write their files through GeneratedText, which must give the bytes the
// UTF-8 QTextStream they used before gave, so that every generated file stays the same.
class TestGeneratedText : public QObject
{
    Q_OBJECT

private slots:
    void sameBytesAsTextStream_data()
    {
        QTest::addColumn<QVariantList>("pieces");
        const QString highSurrogate(QChar(0xD83D));
        const QString lowSurrogate(QChar(0xDE00));
        QTest::newRow("ascii texts and literals") << QVariantList{
            QStringLiteral("#define X "), QByteArray("0x1000"), QVariant::fromValue('\n')};
        QTest::newRow("umlauts and other scripts in a text") << QVariantList{
            QStringLiteral("Drehzahl \u00e4\u00f6\u00fc \u00df \u6e29\u5ea6 \u20ac")};
        QTest::newRow("literal bytes above 0x7f are Latin-1")
            << QVariantList{QByteArray("Gr\xf6\xdf"
                                       "e"),
                            QVariant::fromValue('\xe9')};
        QTest::newRow("surrogate pair in one text") << QVariantList{
            QStringLiteral("a") + highSurrogate + lowSurrogate + QStringLiteral("b")};
        QTest::newRow("surrogate pair split over two writes") << QVariantList{
            QStringLiteral("a") + highSurrogate, lowSurrogate + QStringLiteral("b")};
        QTest::newRow("unpaired high surrogate before a literal and a number")
            << QVariantList{highSurrogate, QByteArray("x"), 12};
        QTest::newRow("unpaired low surrogate") << QVariantList{lowSurrogate, QStringLiteral("z")};
        QTest::newRow("unpaired high surrogate at the end")
            << QVariantList{QStringLiteral("end") + highSurrogate};
        // Each limit followed by a character.
        QVariantList limits;
        for (const QVariant &limit :
             {QVariant(std::numeric_limits<int>::min()), QVariant(std::numeric_limits<uint>::max()),
              QVariant(std::numeric_limits<qlonglong>::min()),
              QVariant(std::numeric_limits<qlonglong>::max()),
              QVariant(std::numeric_limits<qulonglong>::max())})
            limits << limit << QVariant::fromValue('/');
        QTest::newRow("integer limits") << limits + QVariantList{0, -7};
        // Longer than the buffer, with a non-ASCII character just before and after its end.
        const QString block = QString(65535, QLatin1Char('a')) + QStringLiteral("\u00e4b")
                              + QString(70000, QLatin1Char('c'));
        QTest::newRow("texts longer than the buffer")
            << QVariantList{block, QByteArray(70000, 'd'), block, QStringLiteral("\u00fc")};
        QVariantList many;
        for (int k = 0; k < 20000; ++k)
            many << QByteArray("row ") << k << QStringLiteral(" \u00b0C\n");
        QTest::newRow("many small pieces across several blocks") << many;
    }

    void sameBytesAsTextStream()
    {
        QFETCH(QVariantList, pieces);
        QBuffer expected;
        expected.open(QIODevice::WriteOnly);
        {
            QTextStream stream(&expected);
            stream.setCodec("UTF-8");
            write(stream, pieces);
        }
        QBuffer actual;
        actual.open(QIODevice::WriteOnly);
        {
            GeneratedText text(&actual);
            write(text, pieces);
            text.flush();
        }
        QCOMPARE(actual.data().size(), expected.data().size());
        QVERIFY(actual.data() == expected.data());
    }
};

NW_TEST_MAIN(TestGeneratedText)
#include "tst_generatedtext.moc"
