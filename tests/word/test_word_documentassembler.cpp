#include "WordTestSupport.h"

#include "files/AtomicFile.h"
#include "word/DocumentAssembler.h"
#include "word/EditableDocument.h"
#include "word/WordErrors.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <cerrno>

using namespace Qt::Literals::StringLiterals;
using namespace WordTest;

namespace {

// The texts the build appends in most cases: headings and ads as the data file
// holds them, with the characters each format has to escape.
const QStringList kIssueTexts = {
    u"Недвижимость"_s,
    u"Продаётся дом в деревне Заречье, 3 комнаты, печь, баня. Тел. 8-900-123-45-67."_s,
    u"Куплю гараж <у реки> & погреб за \"разумные\" деньги; {срочно} \\ звоните"_s,
    QString(),
    u"Ёлки, ёжики, щётки — «оптом» и в розницу; €, №, ©"_s,
    u"Emoji \U0001F600 и иероглиф \U00020BB7 за пределами BMP"_s,
    u"Разное"_s,
};

struct Format
{
    const char *name;
    QString reader;
    QString templateFile;
    QString referenceFile; // the same content in a format the reader accepts
};

QList<Format> allTemplates()
{
    return {
        {"docx", u"docx"_s, u"template.docx"_s, u"template.docx"_s},
        {"dotx", u"docx"_s, u"template.dotx"_s, u"template.docx"_s},
        {"docm", u"docx"_s, u"macros.docm"_s, u"template.docx"_s},
        {"odt", u"odt"_s, u"template.odt"_s, u"template.odt"_s},
        {"ott", u"odt"_s, u"template.ott"_s, u"template.odt"_s},
        {"rtf", u"rtf"_s, u"template.rtf"_s, u"template.rtf"_s},
        {"rtf without final paragraph mark", u"rtf"_s, u"unterminated.rtf"_s, u"unterminated.rtf"_s},
    };
}

QByteArray sha(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray ole2(const QByteArray &body)
{
    return QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0') + body;
}

QByteArray utf16(const char *ascii)
{
    QByteArray out;
    for (const char *p = ascii; *p; ++p) {
        out.append(*p);
        out.append('\0');
    }
    return out;
}

QByteArray
docxWithDocument(const QByteArray &documentXml,
                 const QByteArray &mainType =
                     "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml")
{
    return rawZip({
        {"[Content_Types].xml", "<?xml version=\"1.0\"?><Types "
                                "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                                "<Default Extension=\"rels\" "
                                "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                                "<Override PartName=\"/word/document.xml\" ContentType=\"" +
                                    mainType + "\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml", documentXml, true},
    });
}

QByteArray odfWithContent(const QByteArray &mimetype, const QByteArray &contentXml)
{
    return rawZip({{"mimetype", mimetype}, {"content.xml", contentXml, true}});
}

const QByteArray kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const QByteArray kOdfNamespaces = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                                  "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                                  "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"";

// The one node that query selects; none when it selects none or several.
pugi::xml_node single(const pugi::xml_document &doc, const QByteArray &query)
{
    const pugi::xpath_node_set found = doc.select_nodes(query.constData());
    return found.size() == 1 ? found.first().node() : pugi::xml_node();
}

pugi::xml_node nextElement(pugi::xml_node node)
{
    do
        node = node.next_sibling();
    while (node && node.type() != pugi::node_element);
    return node;
}

pugi::xml_node previousElement(pugi::xml_node node)
{
    do
        node = node.previous_sibling();
    while (node && node.type() != pugi::node_element);
    return node;
}

// An element's name, and a paragraph's text after it.
QByteArray describe(const pugi::xml_node &node)
{
    QByteArray out = node.name();
    if (out == "w:p" || out == "text:p" || out == "text:h") {
        const std::string text = pugi::xpath_query("string(.)").evaluate_string(node);
        if (!text.empty())
            out += ' ' + QByteArray::fromStdString(text);
    }
    return out;
}

// The elements from office:text down to node, sections with their names.
QByteArray odfPath(pugi::xml_node node)
{
    QByteArrayList names;
    for (; node && QByteArray(node.name()) != "office:text"; node = node.parent()) {
        QByteArray name = node.name();
        if (name == "text:section")
            name += '[' + QByteArray(node.attribute("text:name").value()) + ']';
        names.prepend(name);
    }
    names.prepend(node.name());
    return names.join('/');
}

const QByteArray kMinimalDocument =
    "<?xml version=\"1.0\"?><w:document "
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:body><w:p><w:r><w:t>x</w:t></w:r></w:p></w:body></w:document>";

} // namespace

class TestDocumentAssembler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void appendedParagraphsFollowTemplate_data();
    void appendedParagraphsFollowTemplate();
    void blanksTabsAndLineBreaksKept_data();
    void blanksTabsAndLineBreaksKept();
    void forbiddenCharactersLeftOut_data();
    void forbiddenCharactersLeftOut();

    void docxParagraphTakesLastParagraphProperties();
    void odtParagraphsFollowLastParagraph_data();
    void odtParagraphsFollowLastParagraph();
    void docxParagraphsFollowLastParagraph_data();
    void docxParagraphsFollowLastParagraph();
    void rtfParagraphsGoBeforeTrailingGroups_data();
    void rtfParagraphsGoBeforeTrailingGroups();
    void rtfParagraphsEndTheLastSection_data();
    void rtfParagraphsEndTheLastSection();

    void packageFollowsZipRules_data();
    void packageFollowsZipRules();
    void templatePackageSavedAsDocument_data();
    void templatePackageSavedAsDocument();

    void templateStaysUntouched_data();
    void templateStaysUntouched();
    void savingOverTemplateReplacesIt_data();
    void savingOverTemplateReplacesIt();
    void secondSaveReplacesFirst();
    void relativeNamesResolveAgainstWorkingDirectory();
    void failedSaveKeepsExistingFile_data();
    void failedSaveKeepsExistingFile();
    void saveFailures_data();
    void saveFailures();

    void refusedTemplates_data();
    void refusedTemplates();
    void missingAndUnreadableTemplates_data();
    void missingAndUnreadableTemplates();
    void openDocumentHoldsAboutItsTemplate_data();
    void openDocumentHoldsAboutItsTemplate();
    void nextBuildStartsClean_data();
    void nextBuildStartsClean();
    void operationsNeedAnOpenDocument();

private:
    QString copyFixture(const QString &name, const QString &as = {});
    QString build(const QString &templateFile, const QStringList &texts, const QString &target);
    QString buildAndParse(const QByteArray &templateBytes, const QStringList &texts, const QByteArray &part,
                          pugi::xml_document &doc);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentAssembler::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestDocumentAssembler::copyFixture(const QString &name, const QString &as)
{
    const QString target = m_dir->filePath(as.isEmpty() ? name : as);
    QFile::remove(target);
    if (!QFile::copy(fixture(name), target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

// Runs a whole build; returns the failure message, empty on success.
QString TestDocumentAssembler::build(const QString &templateFile, const QStringList &texts,
                                     const QString &target)
{
    DocumentAssembler assembler;
    if (Status s = assembler.OpenTemplate(templateFile); !s.ok())
        return s.message();
    for (const QString &text : texts) {
        if (Status s = assembler.AppendParagraph(text); !s.ok())
            return s.message();
    }
    if (Status s = assembler.SaveDocumentAs(target); !s.ok())
        return s.message();
    if (Status s = assembler.CloseDocument(); !s.ok())
        return s.message();
    assembler.ReleaseWord();
    return {};
}

// Builds from a template holding templateBytes and parses part of the issue.
QString TestDocumentAssembler::buildAndParse(const QByteArray &templateBytes, const QStringList &texts,
                                             const QByteArray &part, pugi::xml_document &doc)
{
    const QString path = m_dir->filePath(u"Шаблон.doc"_s);
    if (!writeFile(path, templateBytes))
        return u"cannot write "_s + path;
    const QString output = m_dir->filePath(u"Выпуск.doc"_s);
    if (const QString failure = build(path, texts, output); !failure.isEmpty())
        return failure;
    const QByteArray xml = entryData(fileBytes(output), part);
    if (!doc.load_buffer(xml.constData(), size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata))
        return u"cannot parse "_s + QString::fromLatin1(part);
    return {};
}

void TestDocumentAssembler::appendedParagraphsFollowTemplate_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QString>("referenceFile");
    for (const Format &f : allTemplates())
        QTest::addRow("%s", f.name) << f.reader << f.templateFile << f.referenceFile;
}

// The reader sees the template's own paragraphs first, unchanged, then exactly
// one paragraph per appended text, in order.
void TestDocumentAssembler::appendedParagraphsFollowTemplate()
{
    QFETCH(QString, reader);
    QFETCH(QString, templateFile);
    QFETCH(QString, referenceFile);

    QStringList expected, actual;
    QString error;
    QVERIFY2(readParagraphs(reader, fixture(referenceFile), expected, error), qPrintable(error));
    QVERIFY(expected.size() >= 2);
    expected += kIssueTexts;

    const QString output = m_dir->filePath(u"Выпуск 12.out"_s);
    const QString failure = build(fixture(templateFile), kIssueTexts, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(readParagraphs(reader, output, actual, error), qPrintable(error));
    QCOMPARE(actual, expected);
}

void TestDocumentAssembler::blanksTabsAndLineBreaksKept_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QString>("text");
    // unrtf collapses blanks and turns tabs into line ends, so RTF whitespace is
    // checked through LibreOffice in test_word_libreoffice.
    for (const Format &f : allTemplates()) {
        if (f.reader == u"rtf"_s)
            continue;
        QTest::addRow("%s, leading blanks", f.name)
            << f.reader << f.templateFile << u"   три пробела впереди"_s;
        QTest::addRow("%s, trailing blanks", f.name)
            << f.reader << f.templateFile << u"два пробела сзади  "_s;
        QTest::addRow("%s, inner runs", f.name)
            << f.reader << f.templateFile << u"раз  два   три    четыре"_s;
        QTest::addRow("%s, blank only", f.name) << f.reader << f.templateFile << u" "_s;
        QTest::addRow("%s, tabs", f.name) << f.reader << f.templateFile << u"\tцена:\t100 руб.\t"_s;
        QTest::addRow("%s, blanks around tab", f.name) << f.reader << f.templateFile << u"а \t б  \t  в"_s;
        QTest::addRow("%s, line break", f.name)
            << f.reader << f.templateFile << u"первая строка\nвторая строка"_s;
    }
}

void TestDocumentAssembler::blanksTabsAndLineBreaksKept()
{
    QFETCH(QString, reader);
    QFETCH(QString, templateFile);
    QFETCH(QString, text);

    const QString output = m_dir->filePath(u"out"_s);
    const QString failure = build(fixture(templateFile), {text, u"после"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QStringList actual;
    QString error;
    QVERIFY2(readParagraphs(reader, output, actual, error), qPrintable(error));
    QVERIFY(actual.size() >= 2);
    QCOMPARE(actual.mid(actual.size() - 2), QStringList({text, u"после"_s}));
}

void TestDocumentAssembler::forbiddenCharactersLeftOut_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString controls =
        u"до"_s + QChar(0x01) + QChar(0x08) + QChar(0x0B) + QChar(0x0C) + QChar(0x1F) + u"после"_s;
    const QString nonCharacters = u"а"_s + QChar(0xFFFE) + u"б"_s + QChar(0xFFFF) + u"в"_s;
    const QString loneSurrogates = u"x"_s + QChar(0xD800) + u"y"_s + QChar(0xDC00) + u"z"_s;
    const QList<std::pair<QString, QString>> readers = {
        {u"docx"_s, u"template.docx"_s}, {u"odt"_s, u"template.odt"_s}, {u"rtf"_s, u"template.rtf"_s}};
    for (const auto &[reader, file] : readers) {
        const QByteArray name = reader.toLatin1();
        QTest::addRow("%s, C0 controls", name.constData()) << reader << file << controls << u"допосле"_s;
        QTest::addRow("%s, U+FFFE and U+FFFF", name.constData())
            << reader << file << nonCharacters << u"абв"_s;
        QTest::addRow("%s, unpaired surrogates", name.constData())
            << reader << file << loneSurrogates << u"xyz"_s;
        QTest::addRow("%s, only controls", name.constData())
            << reader << file << QString(QChar(0x02)) << QString();
    }
}

// Characters XML 1.0 forbids are left out and the document stays readable.
void TestDocumentAssembler::forbiddenCharactersLeftOut()
{
    QFETCH(QString, reader);
    QFETCH(QString, templateFile);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const QString output = m_dir->filePath(u"out"_s);
    const QString failure = build(fixture(templateFile), {text, u"конец"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QStringList actual;
    QString error;
    QVERIFY2(readParagraphs(reader, output, actual, error), qPrintable(error));
    QVERIFY(actual.size() >= 2);
    QCOMPARE(actual.mid(actual.size() - 2), QStringList({expected, u"конец"_s}));
}

void TestDocumentAssembler::docxParagraphTakesLastParagraphProperties()
{
    const QString output = m_dir->filePath(u"out.docx"_s);
    const QString failure = build(fixture(u"template.docx"_s), {u"объявление"_s, QString()}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QByteArray xml = entryData(fileBytes(output), "word/document.xml");
    pugi::xml_document doc;
    QVERIFY(
        doc.load_buffer(xml.constData(), size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata));
    const pugi::xml_node body = doc.child("w:document").child("w:body");
    QList<pugi::xml_node> paragraphs;
    for (pugi::xml_node p : body.children("w:p"))
        paragraphs.append(p);
    QCOMPARE(paragraphs.size(), 5);

    // The body's own section properties stay its last child.
    pugi::xml_node last = body.last_child();
    while (last && last.type() != pugi::node_element)
        last = last.previous_sibling();
    QCOMPARE(QByteArray(last.name()), QByteArray("w:sectPr"));
    QVERIFY(last.child("w:cols"));

    for (const pugi::xml_node &p : {paragraphs[3], paragraphs[4]}) {
        QVERIFY(!p.attribute("w14:paraId") && !p.attribute("w14:textId"));
        const pugi::xml_node pPr = p.child("w:pPr");
        QCOMPARE(QByteArray(pPr.child("w:pStyle").attribute("w:val").value()), QByteArray("AdText"));
        QCOMPARE(QByteArray(pPr.child("w:jc").attribute("w:val").value()), QByteArray("both"));
        QCOMPARE(QByteArray(pPr.child("w:spacing").attribute("w:after").value()), QByteArray("60"));
        QVERIFY2(!pPr.child("w:sectPr"), "a section break would be copied into every ad");
        QVERIFY(!pPr.child("w:pPrChange"));
        QVERIFY(!pPr.child("w:rPr").child("w:ins"));
        QVERIFY(!pPr.child("w:rPr").child("w:rPrChange"));
        QCOMPARE(QByteArray(pPr.child("w:rPr").child("w:sz").attribute("w:val").value()), QByteArray("20"));
    }
    const pugi::xml_node run = paragraphs[3].child("w:r");
    QCOMPARE(QByteArray(run.child("w:rPr").child("w:rFonts").attribute("w:ascii").value()),
             QByteArray("Arial"));
    QVERIFY(!run.child("w:rPr").child("w:ins"));
    QCOMPARE(QByteArray(run.child("w:t").attribute("xml:space").value()), QByteArray("preserve"));
    QVERIFY2(!paragraphs[4].child("w:r").child("w:t"), "an empty text gives a paragraph without text");
}

void TestDocumentAssembler::odtParagraphsFollowLastParagraph_data()
{
    QTest::addColumn<QByteArray>("body"); // the content of office:text
    QTest::addColumn<QByteArray>("container");
    QTest::addColumn<QByteArray>("style");
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QByteArray>("next");

    const QByteArray masthead = "<text:p text:style-name=\"A\">Шапка</text:p>";
    const QByteArray last = "<text:p text:style-name=\"B\">Последний</text:p>";
    const QByteArray table =
        "<table:table><table:table-row><table:table-cell><text:p text:style-name=\"T\">ячейка"
        "</text:p></table:table-cell></table:table-row></table:table>";
    const QByteArray list =
        "<text:list text:style-name=\"L\"><text:list-item><text:p text:style-name=\"C\">пункт"
        "</text:p></text:list-item><text:list-item>" +
        last + "</text:list-item></text:list>";
    auto section = [](const char *name, const QByteArray &content) -> QByteArray {
        return "<text:section text:name=\"" + QByteArray(name) + "\">" + content + "</text:section>";
    };

    QTest::addRow("paragraph") << masthead + last << QByteArray("office:text") << QByteArray("B")
                               << QByteArray("text:p Последний") << QByteArray();
    QTest::addRow("heading, then declarations")
        << masthead + "<text:h text:style-name=\"H\">Заголовок</text:h><table:named-expressions/>"
        << QByteArray("office:text") << QByteArray("H") << QByteArray("text:h Заголовок")
        << QByteArray("table:named-expressions");
    QTest::addRow("section") << masthead + section("Объявления", last)
                             << QByteArray("office:text/text:section[Объявления]") << QByteArray("B")
                             << QByteArray("text:p Последний") << QByteArray();
    QTest::addRow("section in a section, then a page break")
        << masthead + section("Внешний", masthead + section("Внутренний", last)) + "<text:soft-page-break/>"
        << QByteArray("office:text/text:section[Внешний]/text:section[Внутренний]") << QByteArray("B")
        << QByteArray("text:p Последний") << QByteArray();
    QTest::addRow("section ending in a table")
        << masthead + section("Объявления", last + table)
        << QByteArray("office:text/text:section[Объявления]") << QByteArray("B") << QByteArray("table:table")
        << QByteArray();
    QTest::addRow("section holding only a table")
        << last + section("Объявления", table) << QByteArray("office:text/text:section[Объявления]")
        << QByteArray("B") << QByteArray("table:table") << QByteArray();
    QTest::addRow("empty section") << last + section("Объявления", {})
                                   << QByteArray("office:text/text:section[Объявления]") << QByteArray("B")
                                   << QByteArray() << QByteArray();
    QTest::addRow("linked section")
        << last + section("Связанный", "<text:section-source xlink:href=\"other.odt\"/>" + masthead)
        << QByteArray("office:text") << QByteArray("B") << QByteArray("text:section") << QByteArray();
    QTest::addRow("table, then declarations")
        << last + table + "<table:named-expressions/>" << QByteArray("office:text") << QByteArray("B")
        << QByteArray("table:table") << QByteArray("table:named-expressions");
    // The new paragraphs are new items of the list, like the last one.
    QTest::addRow("list") << masthead + list << QByteArray("office:text/text:list/text:list-item")
                          << QByteArray("B") << QByteArray("text:list-item") << QByteArray();
    QTest::addRow("list in a list item, in a section")
        << section("Объявления",
                   "<text:list><text:list-item>" + masthead + list + "</text:list-item></text:list>")
        << QByteArray(
               "office:text/text:section[Объявления]/text:list/text:list-item/text:list/text:list-item")
        << QByteArray("B") << QByteArray("text:list-item") << QByteArray();
    QTest::addRow("list ending in an empty item")
        << last + "<text:list><text:list-item/></text:list>" << QByteArray("office:text") << QByteArray("B")
        << QByteArray("text:list") << QByteArray();
}

// The paragraphs follow the document's last paragraph in the element that holds
// it and take its style; the template's own content stays where it was.
void TestDocumentAssembler::odtParagraphsFollowLastParagraph()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, container);
    QFETCH(QByteArray, style);
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, next);

    const QByteArray content = "<?xml version=\"1.0\"?><office:document-content " + kOdfNamespaces +
                               "><office:body><office:text>" + body +
                               "</office:text></office:body></office:document-content>";
    pugi::xml_document doc;
    const QString failure = buildAndParse(odfWithContent("application/vnd.oasis.opendocument.text", content),
                                          {u"первое"_s, QString(), u"второе"_s}, "content.xml", doc);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    // Each paragraph, or the list item that holds it.
    QList<pugi::xml_node> blocks;
    for (const char *text : {"первое", "второе"}) {
        const pugi::xml_node paragraph = single(doc, QByteArray("//text:p[. = '") + text + "']");
        QVERIFY2(paragraph, text);
        QCOMPARE(QByteArray(paragraph.attribute("text:style-name").value()), style);
        QCOMPARE(odfPath(paragraph.parent()), container);
        const bool inItem = QByteArray(paragraph.parent().name()) == "text:list-item";
        blocks.append(inItem ? paragraph.parent() : paragraph);
    }
    const pugi::xml_node empty = nextElement(blocks[0]);
    QCOMPARE(nextElement(empty), blocks[1]);
    QCOMPARE(QByteArray(empty.name()), QByteArray(blocks[0].name()));
    const pugi::xml_node emptyParagraph =
        QByteArray(empty.name()) == "text:p" ? empty : empty.child("text:p");
    QCOMPARE(QByteArray(emptyParagraph.attribute("text:style-name").value()), style);
    QVERIFY(!emptyParagraph.first_child());

    QCOMPARE(describe(previousElement(blocks[0])), previous);
    QCOMPARE(describe(nextElement(blocks[1])), next);
}

void TestDocumentAssembler::docxParagraphsFollowLastParagraph_data()
{
    QTest::addColumn<QByteArray>("body"); // the content of w:body
    QTest::addColumn<QByteArray>("style");
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QByteArray>("next");

    const QByteArray masthead = "<w:p><w:r><w:t>Шапка</w:t></w:r></w:p>";
    const QByteArray last =
        "<w:p><w:pPr><w:pStyle w:val=\"Ad\"/></w:pPr><w:r><w:t>Последний</w:t></w:r></w:p>";
    const QByteArray lastEndingSection =
        "<w:p><w:pPr><w:pStyle w:val=\"Ad\"/><w:sectPr/></w:pPr><w:r><w:t>Последний</w:t></w:r></w:p>";
    const QByteArray sectionBreak =
        "<w:p><w:pPr><w:sectPr><w:type w:val=\"continuous\"/></w:sectPr></w:pPr></w:p>";
    const QByteArray columnsBreak =
        "<w:p><w:pPr><w:sectPr><w:type w:val=\"continuous\"/><w:cols w:num=\"2\"/></w:sectPr></w:pPr>"
        "<w:bookmarkStart w:id=\"0\" w:name=\"x\"/><w:bookmarkEnd w:id=\"0\"/></w:p>";
    const QByteArray finalColumns = "<w:sectPr><w:cols w:num=\"2\"/></w:sectPr>";
    const QByteArray finalSection = "<w:sectPr><w:type w:val=\"continuous\"/></w:sectPr>";
    const QByteArray table =
        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>ячейка</w:t></w:r></w:p></w:tc></w:tr></w:tbl>";

    QTest::addRow("paragraph in the final section")
        << masthead + sectionBreak + last + finalColumns << QByteArray("Ad") << QByteArray("w:p Последний")
        << QByteArray("w:sectPr");
    QTest::addRow("section break in the last paragraph")
        << masthead + lastEndingSection + finalColumns << QByteArray("Ad") << QByteArray("w:p Последний")
        << QByteArray("w:sectPr");
    QTest::addRow("no section properties")
        << masthead + last << QByteArray("Ad") << QByteArray("w:p Последний") << QByteArray();
    QTest::addRow("table") << last + table + finalColumns << QByteArray("Ad") << QByteArray("w:tbl")
                           << QByteArray("w:sectPr");
    // As LibreOffice writes a document that ends in a section in two columns.
    QTest::addRow("empty final section")
        << masthead + sectionBreak + last + columnsBreak + finalSection << QByteArray("Ad")
        << QByteArray("w:p Последний") << QByteArray("w:p");
    QTest::addRow("empty final section, after a table")
        << masthead + sectionBreak + last + table + columnsBreak + finalSection << QByteArray("Ad")
        << QByteArray("w:tbl") << QByteArray("w:p");
    // The empty paragraph is the only one of its section: it is the last paragraph.
    QTest::addRow("two empty sections") << lastEndingSection + columnsBreak + finalSection << QByteArray()
                                        << QByteArray("w:p") << QByteArray("w:sectPr");
}

// The paragraphs follow the last paragraph of the section that ends the text
// and take its properties; the body's own section properties stay last.
void TestDocumentAssembler::docxParagraphsFollowLastParagraph()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, style);
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, next);

    const QByteArray document = "<?xml version=\"1.0\"?><w:document xmlns:w=\"" + kWordNamespace +
                                "\"><w:body>" + body + "</w:body></w:document>";
    pugi::xml_document doc;
    const QString failure =
        buildAndParse(docxWithDocument(document), {u"первое"_s, u"второе"_s}, "word/document.xml", doc);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QList<pugi::xml_node> paragraphs;
    for (const char *text : {"первое", "второе"}) {
        const pugi::xml_node paragraph = single(doc, QByteArray("//w:p[w:r/w:t = '") + text + "']");
        QVERIFY2(paragraph, text);
        QCOMPARE(QByteArray(paragraph.parent().name()), QByteArray("w:body"));
        QCOMPARE(QByteArray(paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value()), style);
        QVERIFY(!paragraph.child("w:pPr").child("w:sectPr"));
        paragraphs.append(paragraph);
    }
    QCOMPARE(nextElement(paragraphs[0]), paragraphs[1]);
    QCOMPARE(describe(previousElement(paragraphs[0])), previous);
    QCOMPARE(describe(nextElement(paragraphs[1])), next);
}

void TestDocumentAssembler::rtfParagraphsGoBeforeTrailingGroups_data()
{
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QByteArray>("expectedTail");
    QTest::addRow("Word's trailing groups") << u"template.rtf"_s << QByteArray("{\\*\\themedata ");
    QTest::addRow("binary data with braces") << u"binary.rtf"_s << QByteArray("}");
}

// The paragraphs land in front of the groups Word writes after the body (or the
// final brace), and everything else of the template is kept byte for byte.
void TestDocumentAssembler::rtfParagraphsGoBeforeTrailingGroups()
{
    QFETCH(QString, templateFile);
    QFETCH(QByteArray, expectedTail);
    const QByteArray original = fileBytes(fixture(templateFile));
    const QString output = m_dir->filePath(u"out.rtf"_s);
    const QString failure = build(fixture(templateFile), {u"Ж"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QByteArray saved = fileBytes(output);
    const QByteArray inserted = "\\u1046?\\par";
    const qsizetype at = saved.indexOf(inserted);
    QVERIFY(at > 0);
    const qsizetype tailStart = saved.indexOf(expectedTail, at);
    QVERIFY(tailStart > 0);
    const QByteArray tail = saved.mid(tailStart);
    QVERIFY(original.endsWith(tail));
    QVERIFY(original.startsWith(saved.left(at).chopped(5))); // up to the "\uc1 " in front
    QCOMPARE(saved.size(), original.size() + (tailStart - at) + 5);
}

void TestDocumentAssembler::rtfParagraphsEndTheLastSection_data()
{
    QTest::addColumn<QByteArray>("templateText"); // "<here>" marks where the paragraph goes
    QTest::addColumn<QByteArray>("inserted");
    const QByteArray paragraph = "\\uc1 \\u1046?\\par\r\n";
    QTest::addRow("final section with text")
        << QByteArray("{\\rtf1 \\pard A\\par\\sect\\sectd\\cols2 \\pard B\\par <here>}") << paragraph;
    // As LibreOffice ends a document that ends in a section.
    QTest::addRow("section break after the text")
        << QByteArray("{\\rtf1 \\pard A\\par\\sect\\sectd\\cols2 \\pard B\\par <here>\\sect\\sectd\\sbknone}")
        << paragraph;
    QTest::addRow("section breaks, then Word's groups")
        << QByteArray("{\\rtf1 \\pard B\\par <here>\\sect \\sect\\sectd\r\n{\\*\\themedata 00}}")
        << paragraph;
    QTest::addRow("section break ending an open paragraph")
        << QByteArray("{\\rtf1 \\pard B<here>\\sect}") << "\\par\r\n" + paragraph;
    QTest::addRow("empty paragraph after the break")
        << QByteArray("{\\rtf1 \\pard B\\par\\sect\\sectd\\par <here>}") << paragraph;
    QTest::addRow("text after the break")
        << QByteArray("{\\rtf1 \\pard B\\par\\sect\\sectd C<here>}") << "\\par\r\n" + paragraph;
    QTest::addRow("break in a group") << QByteArray("{\\rtf1 \\pard B\\par{\\sect}<here>}") << paragraph;
}

// Paragraphs end the last section that holds text: a section break after the
// text would start a section of their own, laid out in its own way.
void TestDocumentAssembler::rtfParagraphsEndTheLastSection()
{
    QFETCH(QByteArray, templateText);
    QFETCH(QByteArray, inserted);
    const qsizetype at = templateText.indexOf("<here>");
    QVERIFY(at > 0);
    const QString path = m_dir->filePath(u"Шаблон.rtf"_s);
    QVERIFY(writeFile(path, QByteArray(templateText).remove(at, 6)));
    const QString output = m_dir->filePath(u"out.rtf"_s);
    const QString failure = build(path, {u"Ж"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(fileBytes(output), QByteArray(templateText).replace("<here>", inserted));
}

void TestDocumentAssembler::packageFollowsZipRules_data()
{
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QByteArray>("firstEntry");
    QTest::addColumn<int>("count");
    QTest::addRow("docx") << u"template.docx"_s << QByteArray("[Content_Types].xml") << 3000;
    QTest::addRow("docm") << u"macros.docm"_s << QByteArray("[Content_Types].xml") << 3000;
    QTest::addRow("odt") << u"template.odt"_s << QByteArray("mimetype") << 3000;
    QTest::addRow("ott") << u"template.ott"_s << QByteArray("mimetype") << 3000;
    // Big enough for the main part to be deflated in parallel chunks.
    QTest::addRow("docx, big") << u"template.docx"_s << QByteArray("[Content_Types].xml") << 40000;
    QTest::addRow("odt, big") << u"template.odt"_s << QByteArray("mimetype") << 60000;
}

void TestDocumentAssembler::packageFollowsZipRules()
{
    QFETCH(QString, templateFile);
    QFETCH(QByteArray, firstEntry);
    QFETCH(int, count);
    const QString output = m_dir->filePath(u"out.zip"_s);
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(u"Объявление номер %1 с текстом, который сжимается"_s.arg(i));
    const QString failure = build(fixture(templateFile), texts, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QByteArray zip = fileBytes(output);
    const QList<ZipRecord> records = centralDirectory(zip);
    QVERIFY(!records.isEmpty());
    QCOMPARE(records.first().name, firstEntry);
    QCOMPARE(records.first().localOffset, 0u);
    QSet<QByteArray> names;
    for (const ZipRecord &r : records) {
        QVERIFY2(!names.contains(r.name), r.name.constData());
        names.insert(r.name);
        QVERIFY2(r.method == 0 || r.method == 8, r.name.constData());
        QVERIFY2(r.versionNeeded <= 20, r.name.constData());
        QVERIFY2(!(r.flags & 0x0008) || r.method == 8, "a data descriptor on a stored entry");
        QVERIFY(!r.name.startsWith('/') && !r.name.contains('\\'));
        const QByteArray data = entryData(zip, r.name);
        QCOMPARE(quint32(data.size()), r.size);
        QCOMPARE(quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size()))),
                 r.crc);
    }
    const QByteArray main = entryData(zip, firstEntry == "mimetype" ? "content.xml" : "word/document.xml");
    QVERIFY(main.contains(u"Объявление номер %1 с текстом"_s.arg(count - 1).toUtf8()));
    QVERIFY(main.trimmed().endsWith("document-content>") || main.trimmed().endsWith("w:document>"));
    if (firstEntry == "mimetype") {
        const ZipRecord &m = records.first();
        QCOMPARE(m.method, quint16(0));
        QCOMPARE(m.localExtraLength, quint16(0));
        QCOMPARE(m.flags & 0x0008, 0);
        QCOMPARE(zip.mid(30, 8), QByteArray("mimetype"));
        QCOMPARE(zip.mid(38, 39), QByteArray("application/vnd.oasis.opendocument.text"));
    }
}

void TestDocumentAssembler::templatePackageSavedAsDocument_data()
{
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QByteArray>("typesPart");
    QTest::addColumn<QByteArray>("expectedType");
    QTest::addColumn<QByteArrayList>("absentText");
    QTest::addColumn<QByteArrayList>("absentEntries");
    QTest::addColumn<QByteArrayList>("unchangedEntries");
    const QByteArray docType =
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    QTest::addRow("dotx") << u"template.dotx"_s << QByteArray("[Content_Types].xml") << docType
                          << QByteArrayList{"template.main"} << QByteArrayList{}
                          << QByteArrayList{"word/styles.xml", "media/logo.bin", "docProps/core.xml",
                                            "_rels/.rels"};
    QTest::addRow("docm") << u"macros.docm"_s << QByteArray("[Content_Types].xml") << docType
                          << QByteArrayList{"macroEnabled", "vbaProject", "vbaData"}
                          << QByteArrayList{"word/vbaProject.bin", "word/vbaData.xml",
                                            "word/_rels/vbaProject.bin.rels"}
                          << QByteArrayList{"word/styles.xml", "media/logo.bin"};
    QTest::addRow("ott") << u"template.ott"_s << QByteArray("META-INF/manifest.xml")
                         << QByteArray("manifest:full-path=\"/\" manifest:version=\"1.2\" "
                                       "manifest:media-type=\"application/vnd.oasis.opendocument.text\"")
                         << QByteArrayList{"text-template"} << QByteArrayList{}
                         << QByteArrayList{"styles.xml"};
}

// A template package is written as a plain document, and the parts the engine
// does not edit are copied through unchanged.
void TestDocumentAssembler::templatePackageSavedAsDocument()
{
    QFETCH(QString, templateFile);
    QFETCH(QByteArray, typesPart);
    QFETCH(QByteArray, expectedType);
    QFETCH(QByteArrayList, absentText);
    QFETCH(QByteArrayList, absentEntries);
    QFETCH(QByteArrayList, unchangedEntries);

    const QString output = m_dir->filePath(u"out"_s);
    const QString failure = build(fixture(templateFile), {u"текст"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QByteArray zip = fileBytes(output);
    const QByteArray original = fileBytes(fixture(templateFile));

    const QByteArray types = entryData(zip, typesPart);
    QVERIFY2(types.contains(expectedType), types.constData());
    for (const QByteArray &text : absentText) {
        QVERIFY2(!types.contains(text), text.constData());
        QVERIFY2(!entryData(zip, "word/_rels/document.xml.rels").contains(text), text.constData());
    }
    QByteArrayList names;
    for (const ZipRecord &r : centralDirectory(zip))
        names.append(r.name);
    for (const QByteArray &name : absentEntries)
        QVERIFY2(!names.contains(name), name.constData());
    for (const QByteArray &name : unchangedEntries) {
        QVERIFY2(names.contains(name), name.constData());
        QCOMPARE(entryData(zip, name), entryData(original, name));
    }
}

void TestDocumentAssembler::templateStaysUntouched_data()
{
    QTest::addColumn<QString>("templateFile");
    for (const Format &f : allTemplates())
        QTest::addRow("%s", f.name) << f.templateFile;
}

void TestDocumentAssembler::templateStaysUntouched()
{
    QFETCH(QString, templateFile);
    const QString path = copyFixture(templateFile);
    const QByteArray before = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    const QString failure = build(path, kIssueTexts, m_dir->filePath(u"Выпуск.doc"_s));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(sha(fileBytes(path)), sha(before));
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestDocumentAssembler::savingOverTemplateReplacesIt_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("templateFile");
    QTest::addRow("docx") << u"docx"_s << u"template.docx"_s;
    QTest::addRow("odt") << u"odt"_s << u"template.odt"_s;
    QTest::addRow("rtf") << u"rtf"_s << u"template.rtf"_s;
}

// Giving the template's own name as the target replaces the template, so the
// next build starts from a template that already holds the ads.
void TestDocumentAssembler::savingOverTemplateReplacesIt()
{
    QFETCH(QString, reader);
    QFETCH(QString, templateFile);
    const QString path = copyFixture(templateFile, u"Шаблон.doc"_s);
    QStringList expected;
    QString error;
    QVERIFY2(readParagraphs(reader, path, expected, error), qPrintable(error));

    QString failure = build(path, {u"первый выпуск"_s}, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    failure = build(path, {u"второй выпуск"_s}, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QStringList actual;
    QVERIFY2(readParagraphs(reader, path, actual, error), qPrintable(error));
    QCOMPARE(actual, expected + QStringList({u"первый выпуск"_s, u"второй выпуск"_s}));
}

void TestDocumentAssembler::secondSaveReplacesFirst()
{
    const QString output = m_dir->filePath(u"Выпуск.docx"_s);
    QStringList longIssue;
    for (int i = 0; i < 500; ++i)
        longIssue.append(u"объявление %1"_s.arg(i));
    QString failure = build(fixture(u"template.docx"_s), longIssue, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    failure = build(fixture(u"template.docx"_s), {u"единственное"_s}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QStringList actual;
    QString error;
    QVERIFY2(readParagraphs(u"docx"_s, output, actual, error), qPrintable(error));
    QCOMPARE(actual.size(), 4);
    QCOMPARE(actual.last(), u"единственное"_s);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Выпуск.docx"_s});
}

void TestDocumentAssembler::relativeNamesResolveAgainstWorkingDirectory()
{
    copyFixture(u"template.rtf"_s, u"Шаблон.doc"_s);
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const QString failure = build(u"Шаблон.doc"_s, {u"текст"_s}, u"Выпуск.doc"_s);
    QDir::setCurrent(previous);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(fileBytes(m_dir->filePath(u"Выпуск.doc"_s)).startsWith("{\\rtf1"));
}

void TestDocumentAssembler::failedSaveKeepsExistingFile_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<QString>("reason");
    QTest::addRow("disk full") << int(ENOSPC) << u"диск заполнен"_s;
    // EIO is 5, the number of the classic "File access denied": the two must
    // not be confused.
    QTest::addRow("I/O error") << int(EIO) << u"ошибка ввода-вывода 5"_s;
}

void TestDocumentAssembler::failedSaveKeepsExistingFile()
{
    QFETCH(int, errnoValue);
    QFETCH(QString, reason);
    const QString output = m_dir->filePath(u"Выпуск.docx"_s);
    QVERIFY(writeFile(output, "the previous issue"));

    DocumentAssembler assembler;
    QVERIFY(assembler.OpenTemplate(fixture(u"template.docx"_s)).ok());
    QVERIFY(assembler.AppendParagraph(u"текст"_s).ok());
    AtomicFile::injectWriteFailureForTests(100, errnoValue);
    const Status status = assembler.SaveDocumentAs(output);
    QVERIFY(!status.ok());
    QVERIFY(status.code() == FileErrors::fromErrno(errnoValue, output).code());
    QVERIFY2(status.message().contains(u"Выпуск.docx"_s) && status.message().contains(reason),
             qPrintable(status.message()));
    QVERIFY2(!status.message().contains(u"нет доступа"_s), qPrintable(status.message()));
    QCOMPARE(fileBytes(output), QByteArray("the previous issue"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Выпуск.docx"_s});

    // The document is still open, so the operator can save under another name.
    QVERIFY(assembler.SaveDocumentAs(m_dir->filePath(u"другое.docx"_s)).ok());
}

void TestDocumentAssembler::saveFailures_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("code");
    QTest::addRow("empty name") << QString() << int(FileErrors::FileNotFound);
    QTest::addRow("missing folder") << u"нет такой папки/Выпуск.doc"_s << int(FileErrors::InvalidFilename);
    QTest::addRow("target is a folder") << u"."_s << int(FileErrors::AccessDenied);
}

void TestDocumentAssembler::saveFailures()
{
    QFETCH(QString, target);
    QFETCH(int, code);
    DocumentAssembler assembler;
    QVERIFY(assembler.OpenTemplate(fixture(u"template.odt"_s)).ok());
    QVERIFY(assembler.AppendParagraph(u"текст"_s).ok());
    const Status status = assembler.SaveDocumentAs(target.isEmpty() ? target : m_dir->filePath(target));
    QVERIFY(!status.ok());
    QVERIFY(status.code() == FileErrors::Code(code));
    QVERIFY2(status.message().startsWith(u"Не удалось сохранить документ"_s), qPrintable(status.message()));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestDocumentAssembler::refusedTemplates_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("hint");

    const QString resave = u"сохраните заново как .docx, .odt или .rtf"_s;
    const QByteArray docx = fileBytes(fixture(u"template.docx"_s));
    QTest::addRow("Word 97-2003") << ole2("WordDocument") << int(WordErrors::LegacyWordFormat) << resave;
    QTest::addRow("encrypted package") << ole2(utf16("EncryptionInfo") + utf16("EncryptedPackage"))
                                       << int(WordErrors::PasswordProtected) << u"Снимите пароль"_s;
    QTest::addRow("empty file") << QByteArray() << int(WordErrors::EmptyFile) << u"пуст"_s;
    QTest::addRow("truncated archive")
        << docx.left(docx.size() / 2) << int(WordErrors::DamagedArchive) << resave;
    QByteArray corrupted = docx;
    for (int i = 60; i < 80; ++i)
        corrupted[i] = char(corrupted[i] ^ 0x5A);
    QTest::addRow("corrupted entry data") << corrupted << int(WordErrors::DamagedArchive) << resave;
    QTest::addRow("plain text") << u"Частные объявления\r\n"_s.toUtf8() << int(WordErrors::UnsupportedKind)
                                << resave;
    QTest::addRow("HTML") << QByteArray("<html><body><p>x</p></body></html>")
                          << int(WordErrors::UnsupportedKind) << resave;
    QTest::addRow("zip without a document")
        << rawZip({{"readme.txt", "hello"}}) << int(WordErrors::UnsupportedKind) << resave;
    QTest::addRow("spreadsheet package")
        << docxWithDocument(kMinimalDocument,
                            "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml")
        << int(WordErrors::UnsupportedKind) << resave;
    QTest::addRow("OpenDocument spreadsheet")
        << odfWithContent("application/vnd.oasis.opendocument.spreadsheet", "<x/>")
        << int(WordErrors::UnsupportedKind) << resave;

    QByteArray bomb(8 << 20, '\0');
    QTest::addRow("entry inflating beyond its header")
        << rawZip({{"[Content_Types].xml", bomb, true, 1000}}) << int(WordErrors::DamagedArchive) << resave;
    QTest::addRow("entry declared huge") << rawZip({{"[Content_Types].xml", "<a/>", true, qint64(3) << 30}})
                                         << int(WordErrors::TooLarge) << u"МБ"_s;
    QTest::addRow("entries together too big") << rawZip({{"a", "1", true, qint64(200) << 20},
                                                         {"b", "2", true, qint64(200) << 20},
                                                         {"c", "3", true, qint64(200) << 20}})
                                              << int(WordErrors::TooLarge) << u"МБ"_s;
    QList<RawEntry> many;
    for (int i = 0; i <= 10000; ++i)
        many.append({QByteArray::number(i), QByteArray()});
    QTest::addRow("too many entries") << rawZip(many) << int(WordErrors::TooLarge) << u"частей"_s;
    QTest::addRow("duplicate entries") << rawZip({{"[Content_Types].xml", "<a/>"},
                                                  {"word/document.xml", kMinimalDocument},
                                                  {"word/document.xml", "<b/>"}})
                                       << int(WordErrors::DuplicateEntry) << u"word/document.xml"_s;

    QTest::addRow("broken document XML")
        << docxWithDocument(
               "<w:document "
               "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p>")
        << int(WordErrors::BrokenXml) << u"word/document.xml"_s;
    QTest::addRow("document without body")
        << docxWithDocument(
               "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>")
        << int(WordErrors::BrokenDocument) << resave;
    QTest::addRow("broken content XML")
        << odfWithContent("application/vnd.oasis.opendocument.text", "<office:document-content>&bogus;")
        << int(WordErrors::BrokenXml) << u"content.xml"_s;
    QTest::addRow("RTF never closed") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 T;}} text\\par")
                                      << int(WordErrors::BrokenDocument) << u"RTF"_s;
    QTest::addRow("RTF binary beyond the end")
        << QByteArray("{\\rtf1 {\\pict\\bin999 xx}}") << int(WordErrors::BrokenDocument) << u"RTF"_s;
}

// A template that cannot be used is refused with a message that names the file
// and says what to do; nothing is opened, so nothing can be written.
void TestDocumentAssembler::refusedTemplates()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QString, hint);
    const QString path = m_dir->filePath(u"Шаблон.doc"_s);
    QVERIFY(writeFile(path, bytes));

    DocumentAssembler assembler;
    const Status status = assembler.OpenTemplate(path);
    QVERIFY(!status.ok());
    QVERIFY(status.code() == WordErrors::Code(code));
    QVERIFY2(status.message().contains(u"«"_s + path + u"»"_s), qPrintable(status.message()));
    QVERIFY2(status.message().contains(hint, Qt::CaseInsensitive), qPrintable(status.message()));
    QVERIFY(!assembler.isOpen());
    QVERIFY(assembler.SaveDocumentAs(m_dir->filePath(u"Выпуск.doc"_s)).code() == WordErrors::NoOpenDocument);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Шаблон.doc"_s});
    QCOMPARE(fileBytes(path), bytes);
}

void TestDocumentAssembler::missingAndUnreadableTemplates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addRow("missing file") << u"Шаблон.doc"_s << int(WordErrors::TemplateNotFound);
    QTest::addRow("missing folder") << u"нет/Шаблон.doc"_s << int(WordErrors::TemplateNotFound);
    QTest::addRow("empty name") << QString() << int(WordErrors::TemplateNotFound);
    QTest::addRow("folder") << u"папка"_s << int(WordErrors::NotAFile);
}

void TestDocumentAssembler::missingAndUnreadableTemplates()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QVERIFY(QDir(m_dir->path()).mkdir(u"папка"_s));
    const QString path = name.isEmpty() ? name : m_dir->filePath(name);
    DocumentAssembler assembler;
    const Status status = assembler.OpenTemplate(path);
    QVERIFY(!status.ok());
    QVERIFY(status.code() == WordErrors::Code(code));
    QVERIFY2(status.message().contains(u"«"_s + path + u"»"_s), qPrintable(status.message()));
    QVERIFY(!assembler.isOpen());
}

void TestDocumentAssembler::openDocumentHoldsAboutItsTemplate_data()
{
    QTest::addColumn<QString>("templateFile"); // a fixture, or the file content is written to
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("factor"); // most bytes held per byte of the file
    QByteArray bigRtf = "{\\rtf1\\ansi ";
    while (bigRtf.size() < (2 << 20))
        bigRtf += "\\pard \\u1046?\\u1046? 8-900-123-45-67\\par\r\n";
    bigRtf += '}';
    QTest::addRow("rtf") << u"template.rtf"_s << QByteArray() << 2;
    QTest::addRow("rtf, 2 MB") << u"big.rtf"_s << bigRtf << 2;
    // Packages are held unpacked, and small markup packs to a third or less.
    QTest::addRow("docx") << u"template.docx"_s << QByteArray() << 8;
    QTest::addRow("odt") << u"template.odt"_s << QByteArray() << 8;
}

// Reading the template must not reserve memory for the largest file the engine
// accepts: an open document is kept for the whole build.
void TestDocumentAssembler::openDocumentHoldsAboutItsTemplate()
{
    QFETCH(QString, templateFile);
    QFETCH(QByteArray, content);
    QFETCH(int, factor);
    const QString path = content.isEmpty() ? fixture(templateFile) : m_dir->filePath(templateFile);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    Result<DocumentPtr> document = loadTemplate(path);
    QVERIFY2(document.ok(), qPrintable(document.status().message()));
    const qint64 fileSize = QFileInfo(path).size();
    const qsizetype held = document.value()->heldBytes();
    QVERIFY2(held >= fileSize / 2 && held <= 4096 + factor * fileSize,
             qPrintable(u"%1 bytes held for a file of %2"_s.arg(held).arg(fileSize)));
}

void TestDocumentAssembler::nextBuildStartsClean_data()
{
    QTest::addColumn<bool>("discardFirst");
    QTest::addRow("after discard") << true;
    QTest::addRow("without discard") << false;
}

// A build that fails after appending leaves nothing behind for the next one.
void TestDocumentAssembler::nextBuildStartsClean()
{
    QFETCH(bool, discardFirst);
    DocumentAssembler assembler;
    QVERIFY(assembler.OpenTemplate(fixture(u"template.docx"_s)).ok());
    QVERIFY(assembler.AppendParagraph(u"из неудачной сборки"_s).ok());
    QVERIFY(!assembler.SaveDocumentAs(m_dir->filePath(u"нет/Выпуск.docx"_s)).ok());
    if (discardFirst) {
        assembler.discard();
        QVERIFY(!assembler.isOpen());
    }

    QVERIFY(assembler.OpenTemplate(fixture(u"template.docx"_s)).ok());
    QVERIFY(assembler.AppendParagraph(u"новая сборка"_s).ok());
    const QString output = m_dir->filePath(u"Выпуск.docx"_s);
    QVERIFY(assembler.SaveDocumentAs(output).ok());
    QVERIFY(assembler.CloseDocument().ok());
    assembler.ReleaseWord();

    QStringList actual;
    QString error;
    QVERIFY2(readParagraphs(u"docx"_s, output, actual, error), qPrintable(error));
    QCOMPARE(actual.size(), 4);
    QCOMPARE(actual.last(), u"новая сборка"_s);
}

void TestDocumentAssembler::operationsNeedAnOpenDocument()
{
    DocumentAssembler assembler;
    QVERIFY(assembler.AppendParagraph(u"x"_s).code() == WordErrors::NoOpenDocument);
    QVERIFY(assembler.SaveDocumentAs(m_dir->filePath(u"x.docx"_s)).code() == WordErrors::NoOpenDocument);
    QVERIFY(assembler.OpenTemplate(fixture(u"template.odt"_s)).ok());
    QVERIFY(assembler.CloseDocument().ok());
    QVERIFY(assembler.AppendParagraph(u"x"_s).code() == WordErrors::NoOpenDocument);
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestDocumentAssembler)
#include "test_word_documentassembler.moc"
