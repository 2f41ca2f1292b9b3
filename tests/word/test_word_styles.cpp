// Paragraph styles chosen by name: headings and ads take the template's
// paragraph styles of those names, read back by independent readers, and a
// template without such paragraph styles gives the same document as before.

#include "WordTestSupport.h"
#include "word/DocumentAssembler.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace WordTest;

namespace {

struct Paragraph
{
    QString style; // empty: none asked for
    QString text;
};

const QList<Paragraph> kIssue = {
    {u"Рубрика"_s, u"Недвижимость"_s},           {u"Объявление"_s, u"Сдаю комнату, т. 2-15-07"_s},
    {u"Объявление"_s, u"Продаю дом\tс садом"_s}, {u"Рубрика"_s, u"Работа"_s},
    {u"Объявление"_s, u"Требуется сторож"_s},
};

Status build(const QString &templatePath, const QString &target, bool withStyles)
{
    DocumentAssembler assembler;
    Status status = assembler.OpenTemplate(templatePath);
    for (const Paragraph &p : kIssue) {
        if (status.ok())
            status = assembler.AppendParagraph(p.text, withStyles ? p.style : QString());
    }
    if (status.ok())
        status = assembler.SaveDocumentAs(target);
    return status;
}

} // namespace

class TestWordStyles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headingsAndAdsTakeTheTemplatesStyles_data();
    void headingsAndAdsTakeTheTemplatesStyles();
    void withoutSuchParagraphStylesNothingChanges_data();
    void withoutSuchParagraphStylesNothingChanges();

private:
    QTemporaryDir m_dir;
};

void TestWordStyles::headingsAndAdsTakeTheTemplatesStyles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("templateName");
    QTest::addRow("docx") << u"docx"_s << u"styled.docx"_s;
    QTest::addRow("odt") << u"odt"_s << u"styled.odt"_s;
    QTest::addRow("rtf") << u"rtf"_s << u"styled.rtf"_s;
    QTest::addRow("docx made by LibreOffice") << u"docx"_s << u"libreoffice-styled.docx"_s;
    QTest::addRow("rtf made by LibreOffice") << u"rtf"_s << u"libreoffice-styled.rtf"_s;
}

void TestWordStyles::headingsAndAdsTakeTheTemplatesStyles()
{
    QFETCH(QString, kind);
    QFETCH(QString, templateName);
    if (kind == u"rtf"_s && QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to read RTF styles");
    QVERIFY(m_dir.isValid());
    const QString issue = m_dir.filePath(templateName);
    const Status status = build(fixture(templateName), issue, true);
    QVERIFY2(status.ok(), qPrintable(status.message()));

    QList<QStringList> expected, actual;
    QString error;
    QVERIFY2(WordTest::readStyles(kind, fixture(templateName), expected, error), qPrintable(error));
    QVERIFY2(!expected.isEmpty(), "the reader found no paragraphs in the template");
    for (const Paragraph &p : kIssue)
        expected.append({p.style.toLower(), p.text});
    QVERIFY2(WordTest::readStyles(kind, issue, actual, error), qPrintable(error));
    if (kind == u"rtf"_s) {
        // LibreOffice 7.4 reads each blank of a run of blanks in RTF as a
        // six-per-em space and a blank.
        for (QStringList &paragraph : actual)
            paragraph[1].replace(u"\u2006 "_s, u" "_s);
        for (QStringList &paragraph : expected)
            paragraph[1].replace(u"\u2006 "_s, u" "_s);
    }
    QCOMPARE(actual, expected);
}

void TestWordStyles::withoutSuchParagraphStylesNothingChanges_data()
{
    QTest::addColumn<QString>("templateName");
    for (const char *name :
         {"template.docx", "template.odt", "template.rtf", "columns.docx", "columns.odt", "columns.rtf",
          "unterminated.rtf", "wrongkind.docx", "wrongkind.odt", "wrongkind.rtf"})
        QTest::addRow("%s", name) << QString::fromLatin1(name);
}

// The names exist in the "wrongkind" templates only as a character style and a
// table style, which are not paragraph styles.
void TestWordStyles::withoutSuchParagraphStylesNothingChanges()
{
    QFETCH(QString, templateName);
    QVERIFY(m_dir.isValid());
    const QString plain = m_dir.filePath(u"plain-"_s + templateName);
    const QString named = m_dir.filePath(u"named-"_s + templateName);
    Status status = build(fixture(templateName), plain, false);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    status = build(fixture(templateName), named, true);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    const QByteArray plainBytes = fileBytes(plain);
    QVERIFY(!plainBytes.isEmpty());
    QCOMPARE(fileBytes(named), plainBytes);
}

QTEST_GUILESS_MAIN(TestWordStyles)
#include "test_word_styles.moc"
