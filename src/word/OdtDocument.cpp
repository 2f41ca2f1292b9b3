// OpenDocument text: .odt, and .ott templates, which are saved as .odt.

#include "word/BlockBuffer.h"
#include "word/Formats.h"
#include "word/ParagraphText.h"
#include "word/WordErrors.h"
#include "word/XmlPart.h"

#include <QHash>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char *kOfficeNamespace = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *kTextNamespace = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr const char *kTableNamespace = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr const char *kStyleNamespace = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr const char *kManifestNamespace = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
const QByteArray kTextType = QByteArrayLiteral("application/vnd.oasis.opendocument.text");
const QByteArray kTextTemplateType = QByteArrayLiteral("application/vnd.oasis.opendocument.text-template");

bool hasName(const pugi::xml_node &node, const std::string &prefix, const char *local)
{
    const char *name = node.name();
    return std::strncmp(name, prefix.data(), prefix.size()) == 0 &&
           std::strcmp(name + prefix.size(), local) == 0;
}

// Where appended paragraphs go: at the end of a container in the text body,
// after the document's last paragraph, whose style they take.
struct Placement
{
    pugi::xml_node container;
    pugi::xml_node before;        // in front of this child of container, or at its end
    pugi::xml_node lastParagraph; // text:p or text:h; none in a document without paragraphs
    std::string listItem;         // in a list, the item element that holds each paragraph
};

// The elements of office:text, under the prefixes that content.xml declares.
class TextBody
{
public:
    TextBody(const std::string &office, const std::string &text, const std::string *table)
        : m_office(office), m_text(text), m_table(table ? *table : std::string()), m_hasTable(table)
    {}

    // The document's last paragraph and the place after it. Paragraphs go
    // where that paragraph is: into a section the document ends with (and a
    // section that section ends with), or as new items of a list it ends with.
    // After a table or an index the document ends with, they go after it, in
    // the style of the last paragraph before it.
    Placement place(pugi::xml_node officeText) const;

private:
    enum Kind
    {
        Paragraph,
        Section,
        List,
        Block,   // a table, an index or a linked section: not entered
        Ignored, // not a block of text: declarations, page breaks, change marks, shapes
    };
    Kind kind(const pugi::xml_node &node) const;
    bool isEpilogue(const pugi::xml_node &node) const;
    bool placeInList(pugi::xml_node list, Placement &placement) const;
    pugi::xml_node paragraphBefore(pugi::xml_node container, pugi::xml_node from,
                                   const pugi::xml_node &officeText) const;

    std::string m_office;
    std::string m_text;
    std::string m_table;
    bool m_hasTable;
};

TextBody::Kind TextBody::kind(const pugi::xml_node &node) const
{
    if (node.type() != pugi::node_element)
        return Ignored;
    if (hasName(node, m_text, "p") || hasName(node, m_text, "h"))
        return Paragraph;
    if (hasName(node, m_text, "list"))
        return List;
    if (hasName(node, m_text, "section")) {
        // A linked section's content is replaced from its source on update.
        for (const pugi::xml_node &child : node.children()) {
            if (hasName(child, m_text, "section-source") || hasName(child, m_office, "dde-source"))
                return Block;
        }
        return Section;
    }
    if (m_hasTable && hasName(node, m_table, "table"))
        return Block;
    for (const char *local : {"numbered-paragraph", "table-of-content", "illustration-index", "table-index",
                              "object-index", "user-index", "alphabetical-index", "bibliography"}) {
        if (hasName(node, m_text, local))
            return Block;
    }
    return Ignored;
}

// The declarations that the schema puts after the text: named expressions,
// database ranges and the like.
bool TextBody::isEpilogue(const pugi::xml_node &node) const
{
    if (!m_hasTable)
        return false;
    for (const char *local :
         {"named-expressions", "database-ranges", "data-pilot-tables", "consolidation", "dde-links"}) {
        if (hasName(node, m_table, local))
            return true;
    }
    return false;
}

Placement TextBody::place(pugi::xml_node officeText) const
{
    Placement placement;
    placement.container = officeText;
    for (pugi::xml_node node = officeText.last_child(); node; node = node.previous_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        if (!isEpilogue(node))
            break;
        placement.before = node;
    }
    // Loops rather than recursion: a template may nest sections thousands deep.
    for (;;) {
        pugi::xml_node last =
            placement.before ? placement.before.previous_sibling() : placement.container.last_child();
        while (last && kind(last) == Ignored)
            last = last.previous_sibling();
        const Kind lastKind = last ? kind(last) : Block;
        if (lastKind == Paragraph) {
            placement.lastParagraph = last;
            return placement;
        }
        if (lastKind == Section) {
            placement.container = last;
            placement.before = pugi::xml_node();
            continue;
        }
        if (lastKind == List && placeInList(last, placement))
            return placement;
        placement.lastParagraph =
            paragraphBefore(placement.container, last ? last : placement.before, officeText);
        return placement;
    }
}

// Places the paragraphs as new items of the list that holds the document's
// last paragraph, a nested list if the last item ends with one.
bool TextBody::placeInList(pugi::xml_node list, Placement &placement) const
{
    for (;;) {
        pugi::xml_node item = list.last_child();
        while (item && !hasName(item, m_text, "list-item") && !hasName(item, m_text, "list-header"))
            item = item.previous_sibling();
        if (!item)
            return false;
        pugi::xml_node last = item.last_child();
        while (last && kind(last) == Ignored)
            last = last.previous_sibling();
        if (!last || (kind(last) != Paragraph && kind(last) != List))
            return false;
        if (kind(last) == List) {
            list = last;
            continue;
        }
        placement.container = list;
        placement.before = pugi::xml_node();
        placement.lastParagraph = last;
        placement.listItem = item.name();
        return true;
    }
}

// The last paragraph before from (or before the end of container when from is
// null) among the children of container and then of each enclosing element.
pugi::xml_node TextBody::paragraphBefore(pugi::xml_node container, pugi::xml_node from,
                                         const pugi::xml_node &officeText) const
{
    for (;;) {
        for (pugi::xml_node node = from ? from.previous_sibling() : container.last_child(); node;
             node = node.previous_sibling()) {
            if (kind(node) == Paragraph)
                return node;
        }
        if (container == officeText)
            return {};
        from = container;
        container = container.parent();
    }
}

class OdtDocument final : public EditableDocument
{
public:
    OdtDocument(QList<ZipArchive::Entry> entries, const QString &templatePath)
        : m_entries(std::move(entries)), m_templatePath(templatePath)
    {}

    Status load();
    void appendParagraph(QStringView text, QStringView styleName) override;
    Result<QByteArray> render() const override;
    qsizetype heldBytes() const override
    {
        return ZipArchive::heldBytes(m_entries) + m_head.capacity() + m_body.capacity() + m_tail.capacity();
    }

private:
    qsizetype find(const QByteArray &name) const
    {
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].name == name)
                return i;
        }
        return -1;
    }
    Status failure(WordErrors::Code code, const QString &detail = {}) const
    {
        return WordErrors::templateFailure(code, m_templatePath, detail);
    }
    Status parsePart(pugi::xml_document &doc, qsizetype index) const
    {
        return XmlPart::parse(doc, m_entries[index].data, m_templatePath,
                              QString::fromUtf8(m_entries[index].name));
    }
    Status prepareContent(qsizetype index);
    Status makeDocumentManifest();
    void collectParagraphStyles(const pugi::xml_node &styles);
    static void appendSpaces(QByteArray &out, const QByteArray &open, qsizetype count);

    QList<ZipArchive::Entry> m_entries;
    QString m_templatePath;
    qsizetype m_mimetypeIndex = -1;
    qsizetype m_contentIndex = -1;

    QByteArray m_head;
    BlockBuffer m_body;
    QByteArray m_tail;

    QByteArray m_paragraphOpen;
    QByteArray m_paragraphClose;
    QByteArray m_emptyParagraph;
    QByteArray m_spaceOpen; // "<text:s", completed by the count
    QByteArray m_tab;
    QByteArray m_break;

    // Openings for the template's paragraph styles, by styleKey() of the name
    // the word processor shows, and the pieces they are made of.
    struct Styled
    {
        QByteArray paragraphOpen;
        QByteArray emptyParagraph;
    };
    QHash<QString, Styled> m_styles;
    QByteArray m_itemOpen;
    QByteArray m_itemClose;
    QByteArray m_textPrefix;
    std::string m_stylePrefix;
};

Status OdtDocument::load()
{
    m_mimetypeIndex = find("mimetype");
    const QByteArray type = m_mimetypeIndex < 0 ? QByteArray() : m_entries[m_mimetypeIndex].data.trimmed();
    if (type != kTextType && type != kTextTemplateType)
        return failure(WordErrors::UnsupportedKind);
    m_contentIndex = find("content.xml");
    if (m_contentIndex < 0)
        return failure(WordErrors::BrokenDocument, u"нет части content.xml"_s);
    if (Status status = prepareContent(m_contentIndex); !status.ok())
        return status;
    // Styles of the document's own (office:styles) are in styles.xml.
    if (const qsizetype stylesIndex = find("styles.xml"); stylesIndex >= 0) {
        pugi::xml_document styles;
        if (Status status = parsePart(styles, stylesIndex); !status.ok())
            return status;
        std::string office;
        const pugi::xml_node root = styles.document_element();
        if (XmlPart::prefixFor(root, kOfficeNamespace, office) &&
            XmlPart::prefixFor(root, kStyleNamespace, m_stylePrefix))
            collectParagraphStyles(root.child((office + "styles").c_str()));
    }
    if (type == kTextTemplateType) {
        m_entries[m_mimetypeIndex].data = kTextType;
        if (Status status = makeDocumentManifest(); !status.ok())
            return status;
    }
    return {};
}

// Keeps content.xml as the bytes before and after the point where paragraphs
// go (see TextBody::place()).
Status OdtDocument::prepareContent(qsizetype index)
{
    pugi::xml_document doc;
    if (Status status = parsePart(doc, index); !status.ok())
        return status;
    const pugi::xml_node root = doc.document_element();
    std::string office, text, table;
    if (!XmlPart::prefixFor(root, kOfficeNamespace, office) ||
        !XmlPart::prefixFor(root, kTextNamespace, text))
        return failure(WordErrors::BrokenDocument,
                       u"в content.xml не объявлены пространства имён документа"_s);
    const bool hasTable = XmlPart::prefixFor(root, kTableNamespace, table);
    pugi::xml_node officeText = root.child((office + "body").c_str()).child((office + "text").c_str());
    if (!officeText)
        return failure(WordErrors::UnsupportedKind);
    const Placement placement = TextBody(office, text, hasTable ? &table : nullptr).place(officeText);

    const QByteArray t = QByteArray::fromStdString(text);
    const QByteArray item = QByteArray::fromStdString(placement.listItem);
    const QByteArray itemOpen = item.isEmpty() ? QByteArray() : '<' + item + '>';
    const QByteArray itemClose = item.isEmpty() ? QByteArray() : "</" + item + '>';
    m_itemOpen = itemOpen;
    m_itemClose = itemClose;
    m_textPrefix = t;
    // Automatic paragraph styles of content.xml may be chosen by name too.
    if (XmlPart::prefixFor(root, kStyleNamespace, m_stylePrefix))
        collectParagraphStyles(root.child((office + "automatic-styles").c_str()));
    m_paragraphOpen = itemOpen + '<' + t + 'p';
    if (const pugi::xml_attribute style = placement.lastParagraph.attribute((text + "style-name").c_str())) {
        m_paragraphOpen += ' ' + t + "style-name=\"";
        ParagraphText::appendXmlAttribute(m_paragraphOpen, QString::fromUtf8(style.value()));
        m_paragraphOpen += '"';
    }
    m_emptyParagraph = m_paragraphOpen + "/>" + itemClose;
    m_paragraphOpen += '>';
    m_paragraphClose = "</" + t + "p>" + itemClose;
    m_spaceOpen = '<' + t + 's';
    m_tab = '<' + t + "tab/>";
    m_break = '<' + t + "line-break/>";

    const pugi::xml_node marker = XmlPart::insertMarkerBefore(placement.container, placement.before);
    XmlPart::Split split;
    if (!XmlPart::splitAtMarker(doc, marker, split))
        return failure(WordErrors::BrokenDocument, u"не найдено место для абзацев"_s);
    m_head = std::move(split.head);
    m_tail = std::move(split.tail);
    m_entries[index].data.clear();
    return {};
}

void OdtDocument::collectParagraphStyles(const pugi::xml_node &styles)
{
    const std::string &s = m_stylePrefix;
    // pugixml keeps the name it is given while it walks: the strings must outlive the loop.
    const std::string family = s + "family", name = s + "name", displayName = s + "display-name",
                      styleName = s + "style";
    const QByteArray &t = m_textPrefix;
    for (const pugi::xml_node &style : styles.children(styleName.c_str())) {
        if (std::strcmp(style.attribute(family.c_str()).value(), "paragraph") != 0)
            continue;
        const char *internal = style.attribute(name.c_str()).value();
        const pugi::xml_attribute shown = style.attribute(displayName.c_str());
        const QString key = styleKey(QString::fromUtf8(shown ? shown.value() : internal));
        if (key.isEmpty() || !*internal || m_styles.contains(key))
            continue;
        QByteArray open = m_itemOpen + '<' + t + "p " + t + "style-name=\"";
        ParagraphText::appendXmlAttribute(open, QString::fromUtf8(internal));
        open += '"';
        m_styles.insert(key, {open + '>', open + "/>" + m_itemClose});
    }
}

// A template's manifest describes the package as a template; the issue is a document.
Status OdtDocument::makeDocumentManifest()
{
    const qsizetype index = find("META-INF/manifest.xml");
    if (index < 0)
        return {};
    pugi::xml_document doc;
    if (Status status = parsePart(doc, index); !status.ok())
        return status;
    const pugi::xml_node root = doc.document_element();
    std::string m;
    if (!XmlPart::prefixFor(root, kManifestNamespace, m))
        return {};
    // The range below keeps a pointer to the name it matches: the string must
    // outlive the loop, so it cannot be a temporary.
    const std::string fileEntry = m + "file-entry";
    const std::string fullPath = m + "full-path";
    const std::string mediaTypeName = m + "media-type";
    for (pugi::xml_node entry : root.children(fileEntry.c_str())) {
        if (std::strcmp(entry.attribute(fullPath.c_str()).value(), "/") == 0) {
            pugi::xml_attribute mediaType = entry.attribute(mediaTypeName.c_str());
            if (!mediaType)
                mediaType = entry.append_attribute(mediaTypeName.c_str());
            mediaType.set_value(kTextType.constData());
        }
    }
    m_entries[index].data = XmlPart::save(doc);
    return {};
}

void OdtDocument::appendSpaces(QByteArray &out, const QByteArray &open, qsizetype count)
{
    out += open;
    if (count > 1)
        out += " text:c=\"" + QByteArray::number(count) + '"';
    out += "/>";
}

// Readers collapse runs of blanks and drop them at the start and end of a
// paragraph, so every blank that is not a single one between other characters
// is written as text:s.
void OdtDocument::appendParagraph(QStringView text, QStringView styleName)
{
    const Styled *styled = findStyle(m_styles, styleName);
    const QByteArray &paragraphOpen = styled ? styled->paragraphOpen : m_paragraphOpen;
    const QByteArray &emptyParagraph = styled ? styled->emptyParagraph : m_emptyParagraph;
    QString storage;
    const QStringView clean = ParagraphText::cleaned(text, storage);
    // Every character may become an element of its own.
    const qsizetype most = paragraphOpen.size() + m_paragraphClose.size() + emptyParagraph.size() +
                           clean.size() * (6 + m_spaceOpen.size() + 20 + m_tab.size() + m_break.size());
    QByteArray &out = m_body.blockFor(most);
    if (clean.isEmpty()) {
        out += emptyParagraph;
        return;
    }
    out += paragraphOpen;
    const qsizetype n = clean.size();
    qsizetype start = 0; // of the characters not yet written
    bool afterElement = true;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = clean[i].unicode();
        if (c == u' ') {
            qsizetype end = i;
            while (end < n && clean[end] == u' ')
                ++end;
            qsizetype count = end - i;
            if (!afterElement && end < n) {
                ++i; // one literal blank, written with the text before it
                --count;
            }
            ParagraphText::appendXmlText(out, clean.mid(start, i - start));
            if (count > 0)
                appendSpaces(out, m_spaceOpen, count);
            start = i = end;
            afterElement = false;
        } else if (c == u'\t' || c == u'\n') {
            ParagraphText::appendXmlText(out, clean.mid(start, i - start));
            out += c == u'\t' ? m_tab : m_break;
            start = ++i;
            afterElement = true;
        } else {
            afterElement = false;
            ++i;
        }
    }
    ParagraphText::appendXmlText(out, clean.mid(start));
    out += m_paragraphClose;
}

Result<QByteArray> OdtDocument::render() const
{
    // The mimetype entry goes first and uncompressed, so that its content can be
    // read at a fixed offset.
    const auto content = QList<QByteArrayView>{m_head} + m_body.views() + QList<QByteArrayView>{m_tail};
    QList<ZipArchive::OutputEntry> out =
        ZipArchive::rewrittenPackage(m_entries, m_mimetypeIndex, {}, m_contentIndex, content);
    out.first().stored = true;
    return ZipArchive::write(out);
}

} // namespace

Result<DocumentPtr> loadOdt(QList<ZipArchive::Entry> entries, const QString &templatePath)
{
    auto document = std::make_unique<OdtDocument>(std::move(entries), templatePath);
    if (Status status = document->load(); !status.ok())
        return status;
    return DocumentPtr(std::move(document));
}
