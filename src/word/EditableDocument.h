#pragma once

#include "files/Status.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <memory>

// A template opened for appending paragraphs. Appending costs time in
// proportion to the paragraph only: each format encodes the paragraph into its
// own markup at once and keeps the markup in one buffer, which render() splices
// into the template's bytes.
class EditableDocument
{
public:
    virtual ~EditableDocument() = default;

    // styleName, when not empty, names a paragraph style of the template as
    // the word processor shows it, in any letter case: the paragraph takes
    // that style instead of the last paragraph's properties. A name the
    // template has no paragraph style for is ignored.
    virtual void appendParagraph(QStringView text, QStringView styleName) = 0;

    // The complete file, in the template's format.
    virtual Result<QByteArray> render() const = 0;

    // The bytes the document holds, used or reserved. A seam for tests: an open
    // document must cost memory in proportion to its template and paragraphs.
    virtual qsizetype heldBytes() const = 0;
};

// The key under which a style name is looked up: letter case does not count.
inline QString styleKey(QStringView name)
{
    return name.toString().toCaseFolded();
}

// The entry of styles for the style named styleName, or null when there is none.
template <typename Markup>
const Markup *findStyle(const QHash<QString, Markup> &styles, QStringView styleName)
{
    if (styleName.isEmpty() || styles.isEmpty())
        return nullptr;
    const auto it = styles.constFind(styleKey(styleName));
    return it == styles.cend() ? nullptr : &*it;
}

using DocumentPtr = std::unique_ptr<EditableDocument>;

// Reads the template at path (relative to the working directory), recognising
// its format by content. Fails with a WordErrors code and message.
Result<DocumentPtr> loadTemplate(const QString &path);
