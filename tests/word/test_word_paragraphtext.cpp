#include "word/ParagraphText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestParagraphText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleaned_data();
    void cleaned();
    void xmlText_data();
    void xmlText();
    void rtfText_data();
    void rtfText();
};

void TestParagraphText::cleaned_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addRow("plain Cyrillic") << u"Продам дом"_s << u"Продам дом"_s;
    QTest::addRow("tab kept") << u"а\tб"_s << u"а\tб"_s;
    QTest::addRow("CR LF is one line end") << u"а\r\nб"_s << u"а\nб"_s;
    QTest::addRow("lone CR") << u"а\rб"_s << u"а\nб"_s;
    QTest::addRow("CR CR LF") << u"а\r\r\nб"_s << u"а\n\nб"_s;
    QTest::addRow("NUL and C0 controls") << u"а"_s + QChar(0) + QChar(0x07) + QChar(0x1B) + u"б"_s << u"аб"_s;
    QTest::addRow("DEL and C1 are allowed") << u"а"_s + QChar(0x7F) + QChar(0x85) + u"б"_s
                                            << u"а"_s + QChar(0x7F) + QChar(0x85) + u"б"_s;
    QTest::addRow("non-characters") << QString(QChar(0xFFFE)) + QChar(0xFFFF) + u"x"_s << u"x"_s;
    QTest::addRow("U+FFFD stays") << QString(QChar(0xFFFD)) << QString(QChar(0xFFFD));
    QTest::addRow("surrogate pair kept") << u"\U0001F600"_s << u"\U0001F600"_s;
    QTest::addRow("high surrogate at end") << u"a"_s + QChar(0xD83D) << u"a"_s;
    QTest::addRow("low surrogate alone") << QString(QChar(0xDE00)) + u"b"_s << u"b"_s;
    QTest::addRow("reversed pair") << QString(QChar(0xDE00)) + QChar(0xD83D) << QString();
}

void TestParagraphText::cleaned()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QString storage;
    QCOMPARE(ParagraphText::cleaned(text, storage).toString(), expected);
}

void TestParagraphText::xmlText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("asText");
    QTest::addColumn<QByteArray>("asAttribute");
    QTest::addRow("markup characters") << u"<a & \"b\" 'c'>"_s << QByteArray("&lt;a &amp; \"b\" 'c'&gt;")
                                       << QByteArray("&lt;a &amp; &quot;b&quot; 'c'&gt;");
    QTest::addRow("two-byte UTF-8") << u"Жё"_s << QByteArray("\xD0\x96\xD1\x91") << QByteArray("\xD0\x96\xD1\x91");
    QTest::addRow("three-byte UTF-8") << u"№€"_s << QByteArray("\xE2\x84\x96\xE2\x82\xAC")
                                      << QByteArray("\xE2\x84\x96\xE2\x82\xAC");
    QTest::addRow("four-byte UTF-8") << u"\U0001F600"_s << QByteArray("\xF0\x9F\x98\x80") << QByteArray("\xF0\x9F\x98\x80");
    QTest::addRow("empty") << QString() << QByteArray() << QByteArray();
}

void TestParagraphText::xmlText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, asText);
    QFETCH(QByteArray, asAttribute);
    QByteArray out = "x";
    ParagraphText::appendXmlText(out, text);
    QCOMPARE(out, "x" + asText);
    QCOMPARE(QString::fromUtf8(out.mid(1)).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s),
             text);
    out = "x";
    ParagraphText::appendXmlAttribute(out, text);
    QCOMPARE(out, "x" + asAttribute);
}

void TestParagraphText::rtfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addRow("ASCII") << u"Sale: 5 $"_s << QByteArray("Sale: 5 $");
    QTest::addRow("RTF specials") << u"\\{}"_s << QByteArray("\\\\\\{\\}");
    QTest::addRow("tab and line break") << u"a\tb\nc"_s << QByteArray("a\\tab b\\line c");
    QTest::addRow("Cyrillic") << u"Аб"_s << QByteArray("\\u1040?\\u1073?");
    QTest::addRow("above 32767 is negative") << u"\uFB01"_s << QByteArray("\\u-1279?");
    QTest::addRow("largest BMP value") << QString(QChar(0xFFFD)) << QByteArray("\\u-3?");
    QTest::addRow("surrogate pair") << u"\U0001F600"_s << QByteArray("\\u-10179?\\u-8704?");
    QTest::addRow("DEL is escaped") << QString(QChar(0x7F)) << QByteArray("\\u127?");
    QTest::addRow("digits after escape") << u"Ж1"_s << QByteArray("\\u1046?1");
}

void TestParagraphText::rtfText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QByteArray out;
    ParagraphText::appendRtfText(out, text);
    QCOMPARE(out, expected);
}

QTEST_GUILESS_MAIN(TestParagraphText)
#include "test_word_paragraphtext.moc"
