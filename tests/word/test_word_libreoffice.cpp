// Reads built documents with LibreOffice, a reader that applies each format's
// own whitespace rules and section layout, which the Python readers and unrtf
// do not. LibreOffice takes seconds to start, so all documents go through one
// conversion to text and one to OpenDocument.

#include "WordTestSupport.h"

#include "word/DocumentAssembler.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using namespace Qt::Literals::StringLiterals;
using namespace WordTest;

namespace {

const QStringList kTexts = {
    u"Недвижимость"_s,
    u"   три пробела впереди"_s,
    u"два пробела сзади  "_s,
    u"раз  два   три    четыре"_s,
    u"\tцена:\t100 руб."_s,
    QString(),
    u"Ёлки & <ёжики> {скобки} \\ «кавычки» \"прямые\""_s,
    u"вне BMP: \U0001F600"_s,
    u"Разное"_s,
};

const QStringList kAds = {
    u"Продаётся дом в деревне Заречье, 3 комнаты."_s,
    u"Куплю гараж у реки."_s,
    u"Сдаётся комната студентке."_s,
};

// Templates whose ads area is set in two columns, as Word and LibreOffice make them.
const QStringList kColumnTemplates = {
    u"columns.odt"_s,
    u"columns.docx"_s,
    u"columns.rtf"_s,
    u"libreoffice-columns.docx"_s,
    u"libreoffice-columns.rtf"_s,
};

// A name for the documents built from the template fixture name.
QString columnsKey(QString name)
{
    return name.replace(u'.', u'-');
}

// The texts of the paragraphs in the last two-column section of a document
// that LibreOffice has written as OpenDocument, and of all its paragraphs.
bool readColumnSection(const QString &odt, QStringList &inColumns, QStringList &all)
{
    const QByteArray xml = entryData(fileBytes(odt), "content.xml");
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.constData(), size_t(xml.size())))
        return false;
    pugi::xml_node section;
    for (const pugi::xpath_node &found : doc.select_nodes("//text:section")) {
        const QByteArray style = found.node().attribute("text:style-name").value();
        const QByteArray query = "//style:style[@style:family = 'section' and @style:name = '" + style +
                                 "']/style:section-properties/style:columns[@fo:column-count = '2']";
        if (doc.select_node(query.constData()))
            section = found.node();
    }
    if (!section)
        return false;
    auto texts = [](const pugi::xml_node &root) {
        QStringList out;
        for (const pugi::xpath_node &p : root.select_nodes(".//text:p | .//text:h"))
            out.append(QString::fromStdString(pugi::xpath_query("string(.)").evaluate_string(p.node())));
        return out;
    };
    inColumns = texts(section);
    all = texts(doc);
    return true;
}

} // namespace

class TestLibreOffice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readsTemplateThenAppendedParagraphs_data();
    void readsTemplateThenAppendedParagraphs();
    void adsEndTheColumnSection_data();
    void adsEndTheColumnSection();

private:
    bool convert(const QString &format, const QString &folder, const QStringList &inputs);
    QStringList linesOf(const QString &baseName) const;

    QString m_soffice;

    QTemporaryDir m_dir;
    QString m_failure;
};

// Copies templatePath to copy, builds the issue from it and saves it as issue.
Status buildIssue(const QString &templatePath, const QString &copy, const QStringList &texts,
                  const QString &issue)
{
    if (!QFile::copy(templatePath, copy))
        return Status::failure(u"cannot copy "_s + templatePath);
    DocumentAssembler assembler;
    Status status = assembler.OpenTemplate(copy);
    for (const QString &text : texts) {
        if (status.ok())
            status = assembler.AppendParagraph(text);
    }
    if (status.ok())
        status = assembler.SaveDocumentAs(issue);
    if (status.ok())
        status = assembler.CloseDocument();
    assembler.ReleaseWord();
    return status;
}

// Builds every document and converts templates and outputs, once to text and
// once to OpenDocument.
void TestLibreOffice::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; install libreoffice-writer-nogui to run this check");
    QVERIFY(m_dir.isValid());
    // Set VERMATA_KEEP_TEST_FILES to look at the documents after a failure.
    if (!qEnvironmentVariableIsEmpty("VERMATA_KEEP_TEST_FILES")) {
        m_dir.setAutoRemove(false);
        qInfo("documents in %s", qPrintable(m_dir.path()));
    }

    const QList<std::pair<QString, QString>> templates = {
        {u"docx"_s, fixture(u"template.docx"_s)},
        {u"dotx"_s, fixture(u"template.dotx"_s)},
        {u"odt"_s, fixture(u"template.odt"_s)},
        {u"ott"_s, fixture(u"template.ott"_s)},
        {u"rtf"_s, fixture(u"template.rtf"_s)},
        {u"example"_s, QStringLiteral(VERMATA_SOURCE_DIR) + u"/examples/Шаблон.doc"_s},
    };
    QStringList inputs;
    for (const auto &[name, path] : templates) {
        const QString copy = m_dir.filePath(u"template-"_s + name + u".doc"_s);
        const QString issue = m_dir.filePath(u"issue-"_s + name + u".doc"_s);
        const Status status = buildIssue(path, copy, kTexts, issue);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        inputs << copy << issue;
    }
    QVERIFY(convert(u"txt:Text (encoded):UTF8"_s, u"text"_s, inputs));

    inputs.clear();
    for (const QString &name : kColumnTemplates) {
        // Named .doc like the default template, which LibreOffice reads by content too.
        const QString copy = m_dir.filePath(u"template-"_s + columnsKey(name) + u".doc"_s);
        const QString issue = m_dir.filePath(u"issue-"_s + columnsKey(name) + u".doc"_s);
        const Status status = buildIssue(fixture(name), copy, kAds, issue);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        inputs << copy << issue;
    }
    QVERIFY(convert(u"odt"_s, u"odf"_s, inputs));
}

bool TestLibreOffice::convert(const QString &format, const QString &folder, const QStringList &inputs)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(m_soffice, QStringList{u"-env:UserInstallation=file://"_s + m_dir.filePath(u"profile"_s),
                                         u"--headless"_s, u"--convert-to"_s, format, u"--outdir"_s,
                                         m_dir.filePath(folder)} +
                                 inputs);
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        qWarning("soffice failed: %s", process.readAllStandardError().constData());
        return false;
    }
    return true;
}

QStringList TestLibreOffice::linesOf(const QString &baseName) const
{
    QByteArray bytes = fileBytes(m_dir.filePath(u"text/"_s + baseName + u".txt"_s));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

void TestLibreOffice::readsTemplateThenAppendedParagraphs_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"docx", "dotx", "odt", "ott", "rtf", "example"})
        QTest::addRow("%s", name) << QString::fromLatin1(name);
}

void TestLibreOffice::readsTemplateThenAppendedParagraphs()
{
    QFETCH(QString, name);
    QStringList templateLines = linesOf(u"template-"_s + name);
    QStringList issueLines = linesOf(u"issue-"_s + name);
    QVERIFY2(templateLines.size() >= 2, "LibreOffice did not read the template");
    if (name == u"docx"_s || name == u"dotx"_s) {
        // The fixture's last paragraph ends a section, so LibreOffice shows the
        // template's last section as one empty paragraph; in the issue the
        // appended paragraphs fill that section.
        QCOMPARE(templateLines.last(), QString());
        templateLines.removeLast();
    }
    if (name == u"rtf"_s || name == u"example"_s) {
        // LibreOffice 7.4 reads each blank of a run of blanks in RTF as a
        // six-per-em space and a blank, in templates as well as in the issue.
        for (QStringList *lines : {&templateLines, &issueLines})
            lines->replaceInStrings(u"\u2006 "_s, u" "_s);
    }
    QCOMPARE(issueLines, templateLines + kTexts);
}

void TestLibreOffice::adsEndTheColumnSection_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : kColumnTemplates)
        QTest::addRow("%s", qPrintable(name)) << name;
}

// As LibreOffice lays the issue out, the ads follow the template's last
// paragraph in the two-column section that ends the template, and appear
// nowhere else.
void TestLibreOffice::adsEndTheColumnSection()
{
    QFETCH(QString, name);
    const QString baseName = columnsKey(name);
    QStringList templateColumns, templateAll, issueColumns, issueAll;
    QVERIFY2(readColumnSection(m_dir.filePath(u"odf/template-"_s + baseName + u".odt"_s), templateColumns,
                               templateAll),
             "LibreOffice shows the template without a two-column section");
    QVERIFY(templateColumns.contains(u"Недвижимость"_s));
    QVERIFY2(
        readColumnSection(m_dir.filePath(u"odf/issue-"_s + baseName + u".odt"_s), issueColumns, issueAll),
        "LibreOffice shows the issue without a two-column section");
    QCOMPARE(issueColumns, templateColumns + kAds);
    for (const QString &ad : kAds)
        QCOMPARE(issueAll.count(ad), 1);
}

QTEST_GUILESS_MAIN(TestLibreOffice)
#include "test_word_libreoffice.moc"
