#include "word/XmlPart.h"

#include "word/WordErrors.h"

#include <QUuid>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace XmlPart {

namespace {

struct ByteArrayWriter : pugi::xml_writer
{
    QByteArray *out;
    explicit ByteArrayWriter(QByteArray *target) : out(target) {}
    void write(const void *data, size_t size) override
    {
        out->append(static_cast<const char *>(data), qsizetype(size));
    }
};

constexpr unsigned kParseFlags = pugi::parse_full | pugi::parse_ws_pcdata;

} // namespace

Status parse(pugi::xml_document &doc, const QByteArray &bytes, const QString &templatePath,
             const QString &partName)
{
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.constData(), size_t(bytes.size()), kParseFlags);
    if (!result) {
        return WordErrors::templateFailure(
            WordErrors::BrokenXml, templatePath,
            u"«%1» (%2, байт %3)"_s.arg(partName, QString::fromUtf8(result.description()))
                .arg(qint64(result.offset)));
    }
    if (!doc.document_element())
        return WordErrors::templateFailure(WordErrors::BrokenXml, templatePath,
                                           u"«%1» (нет корневого элемента)"_s.arg(partName));
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_declaration) {
            pugi::xml_attribute encoding = node.attribute("encoding");
            if (encoding && qstricmp(encoding.value(), "UTF-8") != 0)
                encoding.set_value("UTF-8");
        }
    }
    return {};
}

QByteArray save(const pugi::xml_document &doc)
{
    QByteArray out;
    ByteArrayWriter writer(&out);
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

QByteArray print(const pugi::xml_node &node)
{
    QByteArray out;
    if (!node)
        return out;
    ByteArrayWriter writer(&out);
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

bool prefixFor(const pugi::xml_node &root, const char *uri, std::string &prefix)
{
    for (const pugi::xml_attribute &attribute : root.attributes()) {
        const char *name = attribute.name();
        if (std::strcmp(attribute.value(), uri) != 0)
            continue;
        if (std::strcmp(name, "xmlns") == 0) {
            prefix.clear();
            return true;
        }
        if (std::strncmp(name, "xmlns:", 6) == 0) {
            prefix = std::string(name + 6) + ':';
            return true;
        }
    }
    return false;
}

const char *localName(const char *qualifiedName)
{
    const char *colon = std::strrchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

pugi::xml_node insertMarkerBefore(pugi::xml_node parent, pugi::xml_node before)
{
    pugi::xml_node marker =
        before ? parent.insert_child_before(pugi::node_pi, before) : parent.append_child(pugi::node_pi);
    // A random name, so that no text of the template can look like it.
    const QByteArray name = "vermata-" + QUuid::createUuid().toByteArray(QUuid::Id128);
    marker.set_name(name.constData());
    return marker;
}

bool splitAtMarker(const pugi::xml_document &doc, const pugi::xml_node &marker, Split &split)
{
    const QByteArray token = "<?" + QByteArray(marker.name()) + "?>";
    const QByteArray all = save(doc);
    const qsizetype at = all.indexOf(token);
    if (at < 0 || all.indexOf(token, at + 1) >= 0)
        return false;
    split.head = all.left(at);
    split.tail = all.mid(at + token.size());
    return true;
}

} // namespace XmlPart
