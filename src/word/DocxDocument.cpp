// Office Open XML word-processing packages: .docx, and .dotx/.docm/.dotm
// templates, which are saved as a plain .docx document.

#include "word/BlockBuffer.h"
#include "word/Formats.h"
#include "word/ParagraphText.h"
#include "word/WordErrors.h"
#include "word/XmlPart.h"

#include <QHash>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char *kWordNamespaces[] = {
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
    "http://purl.oclc.org/ooxml/wordprocessingml/main",
};
constexpr const char *kDocumentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
constexpr const char *kTemplateType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
constexpr const char *kMacroDocumentType = "application/vnd.ms-word.document.macroEnabled.main+xml";
constexpr const char *kMacroTemplateType = "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
constexpr const char *kVbaProjectType = "application/vnd.ms-office.vbaProject";
const QByteArray kContentTypesName = QByteArrayLiteral("[Content_Types].xml");

bool endsWith(const char *text, const char *suffix)
{
    const size_t n = std::strlen(text), m = std::strlen(suffix);
    return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

// A part name from a relationship target, relative to the folder of the part
// that holds the relationship ("word/" or "" for the package).
QByteArray resolvePart(const QByteArray &baseFolder, const QByteArray &target)
{
    const QByteArray path =
        QByteArray::fromPercentEncoding(target.startsWith('/') ? target.mid(1) : baseFolder + target);
    QList<QByteArray> segments;
    for (const QByteArray &segment : path.split('/')) {
        if (segment.isEmpty() || segment == ".")
            continue;
        if (segment == "..") {
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments.join('/');
}

QByteArray folderOf(const QByteArray &part)
{
    const qsizetype slash = part.lastIndexOf('/');
    return slash < 0 ? QByteArray() : part.left(slash + 1);
}

QByteArray relationshipsOf(const QByteArray &part)
{
    const qsizetype slash = part.lastIndexOf('/');
    return folderOf(part) + "_rels/" + part.mid(slash + 1) + ".rels";
}

// The prefix root uses for the WordprocessingML namespace.
bool wordPrefix(const pugi::xml_node &root, std::string &w)
{
    for (const char *uri : kWordNamespaces) {
        if (XmlPart::prefixFor(root, uri, w))
            return true;
    }
    return false;
}

// A paragraph that shows nothing: it holds its properties and bookmarks only.
bool holdsNothing(const pugi::xml_node &paragraph, const std::string &w)
{
    for (const pugi::xml_node &child : paragraph.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char *name = child.name();
        if (std::strncmp(name, w.data(), w.size()) != 0)
            return false;
        name += w.size();
        if (std::strcmp(name, "pPr") != 0 && std::strcmp(name, "bookmarkStart") != 0 &&
            std::strcmp(name, "bookmarkEnd") != 0)
            return false;
    }
    return true;
}

class DocxDocument final : public EditableDocument
{
public:
    DocxDocument(QList<ZipArchive::Entry> entries, const QString &templatePath)
        : m_entries(std::move(entries)), m_templatePath(templatePath)
    {
        for (qsizetype i = 0; i < m_entries.size(); ++i)
            m_index.insert(m_entries[i].name.toLower(), i);
    }

    Status load();
    void appendParagraph(QStringView text, QStringView styleName) override;
    Result<QByteArray> render() const override;
    qsizetype heldBytes() const override
    {
        return ZipArchive::heldBytes(m_entries) + m_head.capacity() + m_body.capacity() + m_tail.capacity();
    }

private:
    qsizetype find(const QByteArray &part) const { return m_index.value(part.toLower(), -1); }
    Status failure(WordErrors::Code code, const QString &detail = {}) const
    {
        return WordErrors::templateFailure(code, m_templatePath, detail);
    }
    Status parsePart(pugi::xml_document &doc, qsizetype index) const
    {
        return XmlPart::parse(doc, m_entries[index].data, m_templatePath,
                              QString::fromUtf8(m_entries[index].name));
    }
    Status findMainPart(QByteArray &mainPart);
    Status prepareMainPart(qsizetype index);
    Status dropMacros(const QByteArray &mainPart, QList<QByteArray> &removedParts);
    Status readParagraphStyles(const QByteArray &mainPart);
    void appendRun(QByteArray &out, QStringView run) const;

    QList<ZipArchive::Entry> m_entries;
    QHash<QByteArray, qsizetype> m_index; // lower-case part name -> entry
    QString m_templatePath;
    QList<bool> m_removed;
    qsizetype m_mainIndex = -1;

    // The main part around the insertion point, and the appended paragraphs.
    QByteArray m_head;
    BlockBuffer m_body;
    QByteArray m_tail;

    // Markup of an appended paragraph, from the template's last paragraph.
    QByteArray m_paragraphOpen;
    QByteArray m_paragraphClose;
    QByteArray m_runOpen;
    QByteArray m_runClose;
    QByteArray m_textOpen;
    QByteArray m_textClose;
    QByteArray m_tab;
    QByteArray m_break;

    // Paragraph and run openings for the template's paragraph styles, by styleKey().
    struct Styled
    {
        QByteArray paragraphOpen;
        QByteArray runOpen;
    };
    QHash<QString, Styled> m_styles;
    std::string m_prefix;
};

Status DocxDocument::findMainPart(QByteArray &mainPart)
{
    const qsizetype rels = find("_rels/.rels");
    if (rels < 0)
        return failure(WordErrors::BrokenDocument, u"нет описания частей пакета (_rels/.rels)"_s);
    pugi::xml_document doc;
    if (Status status = parsePart(doc, rels); !status.ok())
        return status;
    for (const pugi::xml_node &rel : doc.document_element().children()) {
        if (std::strcmp(XmlPart::localName(rel.name()), "Relationship") != 0)
            continue;
        if (endsWith(rel.attribute("Type").value(), "/officeDocument") &&
            std::strcmp(rel.attribute("TargetMode").value(), "External") != 0) {
            mainPart = resolvePart({}, rel.attribute("Target").value());
            return {};
        }
    }
    return failure(WordErrors::UnsupportedKind);
}

Status DocxDocument::load()
{
    m_removed.fill(false, m_entries.size());
    QByteArray mainPart;
    if (Status status = findMainPart(mainPart); !status.ok())
        return status;
    m_mainIndex = find(mainPart);
    if (m_mainIndex < 0)
        return failure(WordErrors::BrokenDocument,
                       u"нет основной части «%1»"_s.arg(QString::fromUtf8(mainPart)));

    const qsizetype typesIndex = find(kContentTypesName);
    if (typesIndex < 0)
        return failure(WordErrors::UnsupportedKind);
    pugi::xml_document types;
    if (Status status = parsePart(types, typesIndex); !status.ok())
        return status;
    pugi::xml_node typesRoot = types.document_element();

    // The main part's content type: its Override, or the Default for its extension.
    const QByteArray partName = '/' + mainPart.toLower();
    const QByteArray extension = mainPart.mid(mainPart.lastIndexOf('.') + 1).toLower();
    pugi::xml_node override;
    QByteArray contentType;
    for (pugi::xml_node node : typesRoot.children()) {
        const char *name = XmlPart::localName(node.name());
        if (std::strcmp(name, "Override") == 0 &&
            QByteArray(node.attribute("PartName").value()).toLower() == partName) {
            override = node;
            contentType = node.attribute("ContentType").value();
        } else if (!override && std::strcmp(name, "Default") == 0 &&
                   QByteArray(node.attribute("Extension").value()).toLower() == extension) {
            contentType = node.attribute("ContentType").value();
        }
    }
    const bool macros = contentType == kMacroDocumentType || contentType == kMacroTemplateType;
    if (contentType != kDocumentType && contentType != kTemplateType && !macros)
        return failure(WordErrors::UnsupportedKind);

    if (Status status = prepareMainPart(m_mainIndex); !status.ok())
        return status;

    bool typesChanged = false;
    if (contentType != kDocumentType) {
        if (!override) {
            override = typesRoot.append_child("Override");
            override.append_attribute("PartName").set_value(partName.constData());
            override.append_attribute("ContentType");
        }
        override.attribute("ContentType").set_value(kDocumentType);
        typesChanged = true;
    }
    if (macros) {
        QList<QByteArray> removedParts;
        if (Status status = dropMacros(mainPart, removedParts); !status.ok())
            return status;
        for (pugi::xml_node node = typesRoot.first_child(); node;) {
            pugi::xml_node next = node.next_sibling();
            const char *name = XmlPart::localName(node.name());
            const QByteArray part = QByteArray(node.attribute("PartName").value()).toLower();
            if ((std::strcmp(name, "Override") == 0 && removedParts.contains(part.mid(1))) ||
                (std::strcmp(name, "Default") == 0 &&
                 std::strcmp(node.attribute("ContentType").value(), kVbaProjectType) == 0)) {
                typesRoot.remove_child(node);
            }
            node = next;
        }
    }
    if (typesChanged)
        m_entries[typesIndex].data = XmlPart::save(types);
    return readParagraphStyles(mainPart);
}

// The styles part the main part refers to; paragraph styles only (w:type
// "paragraph"), under the name Word shows (w:name).
Status DocxDocument::readParagraphStyles(const QByteArray &mainPart)
{
    const qsizetype relsIndex = find(relationshipsOf(mainPart));
    if (relsIndex < 0)
        return {};
    pugi::xml_document rels;
    if (Status status = parsePart(rels, relsIndex); !status.ok())
        return status;
    qsizetype stylesIndex = -1;
    for (const pugi::xml_node &rel : rels.document_element().children()) {
        if (endsWith(rel.attribute("Type").value(), "/styles") &&
            std::strcmp(rel.attribute("TargetMode").value(), "External") != 0)
            stylesIndex = find(resolvePart(folderOf(mainPart), rel.attribute("Target").value()));
    }
    if (stylesIndex < 0)
        return {};
    pugi::xml_document styles;
    if (Status status = parsePart(styles, stylesIndex); !status.ok())
        return status;
    const pugi::xml_node root = styles.document_element();
    std::string w;
    if (!wordPrefix(root, w))
        return {};
    const QByteArray p = QByteArray::fromStdString(m_prefix);
    // pugixml keeps the name it is given while it walks: the strings must outlive the loop.
    const std::string typeName = w + "type", idName = w + "styleId", nameName = w + "name", val = w + "val",
                      styleName = w + "style";
    for (const pugi::xml_node &style : root.children(styleName.c_str())) {
        if (std::strcmp(style.attribute(typeName.c_str()).value(), "paragraph") != 0)
            continue;
        const char *name = style.child(nameName.c_str()).attribute(val.c_str()).value();
        const QString key = styleKey(QString::fromUtf8(name));
        if (key.isEmpty() || m_styles.contains(key))
            continue;
        QByteArray open = '<' + p + "p><" + p + "pPr><" + p + "pStyle " + p + "val=\"";
        ParagraphText::appendXmlAttribute(open, QString::fromUtf8(style.attribute(idName.c_str()).value()));
        open += "\"/></" + p + "pPr>";
        m_styles.insert(key, {open, '<' + p + "r>"});
    }
    return {};
}

// Parses the main part, takes the appended paragraphs' markup from its last
// body paragraph, and keeps the part as the bytes before and after the point
// where paragraphs go: in front of the body's trailing section properties,
// which describe the final section. A section break in the last paragraph
// ends the section before, so the paragraphs start the final section.
//
// LibreOffice writes sections differently: it ends each one with an empty
// paragraph that holds only the section break, and a document that ends in a
// section (how columns for the ads are made there) gets an empty final section
// after it. When the last paragraph is such an empty one, the paragraphs go in
// front of it, into the section it ends, and take the properties of the
// paragraph before it.
Status DocxDocument::prepareMainPart(qsizetype index)
{
    pugi::xml_document doc;
    if (Status status = parsePart(doc, index); !status.ok())
        return status;
    const pugi::xml_node root = doc.document_element();
    std::string w;
    if (!wordPrefix(root, w) || std::string(root.name()) != w + "document")
        return failure(WordErrors::UnsupportedKind);
    pugi::xml_node body = root.child((w + "body").c_str());
    if (!body)
        return failure(WordErrors::BrokenDocument, u"в документе нет тела (body)"_s);

    const std::string sectPrName = w + "sectPr";
    const std::string paragraphName = w + "p";
    const std::string pPrName = w + "pPr";
    pugi::xml_node lastElement;
    for (lastElement = body.last_child(); lastElement && lastElement.type() != pugi::node_element;)
        lastElement = lastElement.previous_sibling();
    pugi::xml_node insertBefore = sectPrName == lastElement.name() ? lastElement : pugi::xml_node();
    auto paragraphBefore = [&](pugi::xml_node node) {
        for (node = node ? node.previous_sibling() : body.last_child(); node;
             node = node.previous_sibling()) {
            if (paragraphName == node.name())
                break;
        }
        return node;
    };
    auto endsSection = [&](const pugi::xml_node &paragraph) {
        return bool(paragraph.child(pPrName.c_str()).child(sectPrName.c_str()));
    };
    pugi::xml_node lastParagraph = paragraphBefore(insertBefore);
    if (endsSection(lastParagraph) && holdsNothing(lastParagraph, w)) {
        const pugi::xml_node previous = paragraphBefore(lastParagraph);
        if (previous && !endsSection(previous)) {
            insertBefore = lastParagraph;
            lastParagraph = previous;
        }
    }

    pugi::xml_document scratch;
    pugi::xml_node pPr = scratch.append_copy(lastParagraph.child(pPrName.c_str()));
    pugi::xml_node rPr;
    if (pPr) {
        for (const char *name : {"sectPr", "pPrChange"})
            pPr.remove_child((w + name).c_str());
        rPr = pPr.child((w + "rPr").c_str());
        // Revision marks belong to the template's own paragraph mark only.
        for (const char *name : {"ins", "del", "moveFrom", "moveTo", "rPrChange"})
            rPr.remove_child((w + name).c_str());
    }
    const QByteArray p = QByteArray::fromStdString(w);
    m_prefix = w;
    m_paragraphOpen = '<' + p + "p>" + XmlPart::print(pPr);
    m_paragraphClose = "</" + p + "p>";
    m_runOpen = '<' + p + "r>" + XmlPart::print(rPr);
    m_runClose = "</" + p + "r>";
    m_textOpen = '<' + p + "t xml:space=\"preserve\">";
    m_textClose = "</" + p + "t>";
    m_tab = '<' + p + "tab/>";
    m_break = '<' + p + "br/>";

    const pugi::xml_node marker = XmlPart::insertMarkerBefore(body, insertBefore);
    XmlPart::Split split;
    if (!XmlPart::splitAtMarker(doc, marker, split))
        return failure(WordErrors::BrokenDocument, u"не найдено место для абзацев"_s);
    m_head = std::move(split.head);
    m_tail = std::move(split.tail);
    m_entries[index].data.clear();
    return {};
}

// A .docm's macro project cannot stay in a .docx: drop the project, the parts
// it refers to and the relationship from the main part.
Status DocxDocument::dropMacros(const QByteArray &mainPart, QList<QByteArray> &removedParts)
{
    const qsizetype relsIndex = find(relationshipsOf(mainPart));
    if (relsIndex < 0)
        return {};
    pugi::xml_document rels;
    if (Status status = parsePart(rels, relsIndex); !status.ok())
        return status;
    bool changed = false;
    pugi::xml_node relsRoot = rels.document_element();
    for (pugi::xml_node rel = relsRoot.first_child(); rel;) {
        pugi::xml_node next = rel.next_sibling();
        if (endsWith(rel.attribute("Type").value(), "/vbaProject")) {
            const QByteArray project = resolvePart(folderOf(mainPart), rel.attribute("Target").value());
            removedParts.append(project.toLower());
            const QByteArray projectRels = relationshipsOf(project);
            if (const qsizetype i = find(projectRels); i >= 0) {
                pugi::xml_document projectDoc;
                if (projectDoc.load_buffer(m_entries[i].data.constData(), size_t(m_entries[i].data.size()))) {
                    for (const pugi::xml_node &dependent : projectDoc.document_element().children())
                        removedParts.append(
                            resolvePart(folderOf(project), dependent.attribute("Target").value()).toLower());
                }
                removedParts.append(projectRels.toLower());
            }
            relsRoot.remove_child(rel);
            changed = true;
        }
        rel = next;
    }
    for (const QByteArray &part : std::as_const(removedParts)) {
        if (const qsizetype i = find(part); i >= 0)
            m_removed[i] = true;
    }
    if (changed)
        m_entries[relsIndex].data = XmlPart::save(rels);
    return {};
}

void DocxDocument::appendRun(QByteArray &out, QStringView run) const
{
    if (run.isEmpty())
        return;
    out += m_textOpen;
    ParagraphText::appendXmlText(out, run);
    out += m_textClose;
}

void DocxDocument::appendParagraph(QStringView text, QStringView styleName)
{
    const Styled *styled = findStyle(m_styles, styleName);
    const QByteArray &paragraphOpen = styled ? styled->paragraphOpen : m_paragraphOpen;
    const QByteArray &runOpen = styled ? styled->runOpen : m_runOpen;
    QString storage;
    const QStringView clean = ParagraphText::cleaned(text, storage);
    // Every character may become a run of its own with an escape in it.
    const qsizetype most =
        paragraphOpen.size() + runOpen.size() + m_runClose.size() + m_paragraphClose.size() +
        clean.size() * (6 + m_textOpen.size() + m_textClose.size() + std::max(m_tab.size(), m_break.size()));
    QByteArray &out = m_body.blockFor(most);
    out += paragraphOpen;
    if (!clean.isEmpty()) {
        out += runOpen;
        qsizetype start = 0;
        for (qsizetype i = 0; i < clean.size(); ++i) {
            const char16_t c = clean[i].unicode();
            if (c == u'\t' || c == u'\n') {
                appendRun(out, clean.mid(start, i - start));
                out += c == u'\t' ? m_tab : m_break;
                start = i + 1;
            }
        }
        appendRun(out, clean.mid(start));
        out += m_runClose;
    }
    out += m_paragraphClose;
}

Result<QByteArray> DocxDocument::render() const
{
    // [Content_Types].xml first, for tools that sniff the first entry.
    const auto content = QList<QByteArrayView>{m_head} + m_body.views() + QList<QByteArrayView>{m_tail};
    return ZipArchive::write(
        ZipArchive::rewrittenPackage(m_entries, find(kContentTypesName), m_removed, m_mainIndex, content));
}

} // namespace

Result<DocumentPtr> loadDocx(QList<ZipArchive::Entry> entries, const QString &templatePath)
{
    auto document = std::make_unique<DocxDocument>(std::move(entries), templatePath);
    if (Status status = document->load(); !status.ok())
        return status;
    return DocumentPtr(std::move(document));
}
