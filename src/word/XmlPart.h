#pragma once

#include "files/Status.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <string>

// pugixml helpers shared by the package formats.
namespace XmlPart {

// Parses bytes keeping whitespace-only text, comments, processing instructions
// and the declaration, so that saving gives the same document back. A
// declaration naming another encoding is set to UTF-8, which save() writes.
Status parse(pugi::xml_document &doc, const QByteArray &bytes, const QString &templatePath,
             const QString &partName);

QByteArray save(const pugi::xml_document &doc);
QByteArray print(const pugi::xml_node &node);

// The prefix (with its colon, or empty for the default namespace) that root
// declares for uri; false when root does not declare it.
bool prefixFor(const pugi::xml_node &root, const char *uri, std::string &prefix);

const char *localName(const char *qualifiedName);

// Serialises doc around a marker processing instruction inserted by
// insertMarker(): the bytes before it and after it.
struct Split
{
    QByteArray head;
    QByteArray tail;
};
pugi::xml_node insertMarkerBefore(pugi::xml_node parent, pugi::xml_node before);
bool splitAtMarker(const pugi::xml_document &doc, const pugi::xml_node &marker, Split &split);

} // namespace XmlPart
