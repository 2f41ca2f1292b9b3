// Rich Text Format templates. Paragraphs go at the end of the body, in front
// of the groups that Word writes after the text (theme, colour mapping, latent
// styles, data store) and of a section break that ends the text, and take the
// paragraph formatting in force there.

#include "word/Formats.h"
#include "word/ParagraphText.h"
#include "word/WordErrors.h"

#include <QList>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isOneOf(const QByteArray &word, std::initializer_list<const char *> words)
{
    for (const char *w : words) {
        if (word == w)
            return true;
    }
    return false;
}

// Destinations whose content is not body text.
bool isHiddenDestination(const QByteArray &word)
{
    return isOneOf(word,
                   {"fonttbl",      "colortbl",  "stylesheet",        "info",       "pict",
                    "object",       "header",    "headerl",           "headerr",    "headerf",
                    "footer",       "footerl",   "footerr",           "footerf",    "footnote",
                    "annotation",   "listtable", "listoverridetable", "revtbl",     "rsidtbl",
                    "filetbl",      "xmlnstbl",  "generator",         "themedata",  "colorschememapping",
                    "latentstyles", "datastore", "fldinst",           "pntext",     "pntxta",
                    "pntxtb",       "shp",       "shpinst",           "nonshppict", "xe",
                    "tc",           "txe",       "bkmkstart",         "bkmkend"});
}

// Groups that Word writes after the body.
bool isTrailingGroup(const QByteArray &word)
{
    return isOneOf(word, {"themedata", "colorschememapping", "latentstyles", "datastore"});
}

struct Scan
{
    qsizetype insertAt = -1;
    bool openParagraph = false; // text after the last paragraph end
};

struct TopGroup
{
    qsizetype start;
    qsizetype end; // one past the closing brace
    QByteArray destination;
};

// The first control word of the group opening at bytes[at], after an optional \*.
QByteArray groupDestination(const QByteArray &bytes, qsizetype at)
{
    qsizetype i = at + 1;
    if (bytes.mid(i, 2) == "\\*") {
        i += 2;
        while (i < bytes.size() && (bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == ' '))
            ++i;
    }
    if (i + 1 >= bytes.size() || bytes[i] != '\\' || !isLetter(bytes[i + 1]))
        return {};
    qsizetype j = i + 1;
    while (j < bytes.size() && isLetter(bytes[j]))
        ++j;
    return bytes.mid(i + 1, j - i - 1);
}

// The state of the body text so far: whether a paragraph is open, and where a
// section break stands that no text or paragraph has followed yet.
struct BodyState
{
    bool open = false;
    qsizetype breakAt = -1;
    bool openAtBreak = false;

    void text()
    {
        open = true;
        breakAt = -1;
    }
    void paragraphEnd()
    {
        open = false;
        breakAt = -1;
    }
    void sectionBreak(qsizetype at)
    {
        if (breakAt < 0) {
            breakAt = at;
            openAtBreak = open;
        }
        open = false;
    }
};

bool scanRtf(const QByteArray &bytes, Scan &scan, QString &problem)
{
    struct Group
    {
        qsizetype start;
        bool hidden;
    };
    QList<Group> stack;
    QList<TopGroup> topGroups;
    qsizetype finalBrace = -1;
    BodyState body;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n && finalBrace < 0) {
        const char c = bytes[i];
        const bool hidden = !stack.isEmpty() && stack.last().hidden;
        if (c == '{') {
            const bool ignorable = bytes.mid(i + 1, 2) == "\\*";
            const QByteArray destination = groupDestination(bytes, i);
            stack.append({i, hidden || ignorable || isHiddenDestination(destination)});
            ++i;
        } else if (c == '}') {
            if (stack.isEmpty()) {
                problem = u"лишняя закрывающая скобка"_s;
                return false;
            }
            const Group group = stack.takeLast();
            if (stack.isEmpty())
                finalBrace = i;
            else if (stack.size() == 1)
                topGroups.append({group.start, i + 1, groupDestination(bytes, group.start)});
            ++i;
        } else if (c == '\\') {
            if (i + 1 >= n) {
                problem = u"обрыв управляющего слова"_s;
                return false;
            }
            const char next = bytes[i + 1];
            if (isLetter(next)) {
                qsizetype j = i + 1;
                while (j < n && isLetter(bytes[j]))
                    ++j;
                const QByteArray word = bytes.mid(i + 1, j - i - 1);
                qsizetype parameterStart = j;
                if (j < n && bytes[j] == '-')
                    ++j;
                while (j < n && isDigit(bytes[j]))
                    ++j;
                const QByteArray parameter = bytes.mid(parameterStart, j - parameterStart);
                if (j < n && bytes[j] == ' ')
                    ++j;
                if (word == "bin") {
                    bool ok = false;
                    const qint64 length = parameter.toLongLong(&ok);
                    if (!ok || length < 0 || length > n - j) {
                        problem = u"неверная длина двоичных данных"_s;
                        return false;
                    }
                    j += length;
                } else if (!hidden) {
                    if (word == "sect" && stack.size() == 1)
                        body.sectionBreak(i);
                    else if (isOneOf(word, {"par", "sect", "row", "cell", "nestcell", "nestrow"}))
                        body.paragraphEnd();
                    else if (isOneOf(word,
                                     {"tab", "line", "u", "emdash", "endash", "bullet", "lquote", "rquote",
                                      "ldblquote", "rdblquote", "emspace", "enspace", "qmspace", "chpgn"}))
                        body.text();
                }
                i = j;
            } else if (next == '\'') {
                if (!hidden)
                    body.text();
                i += 4;
            } else if (next == '\r' || next == '\n') {
                if (!hidden)
                    body.paragraphEnd(); // a backslash before a line end is \par
                i += 2;
            } else {
                if (!hidden && next != '*')
                    body.text();
                i += 2;
            }
        } else {
            if (!hidden && c != '\r' && c != '\n' && c != '\0' && !stack.isEmpty())
                body.text();
            ++i;
        }
    }
    if (finalBrace < 0) {
        problem = u"не закрыта внешняя группа"_s;
        return false;
    }

    // Walk back over the trailing groups separated only by line ends and blanks.
    scan.insertAt = finalBrace;
    for (qsizetype g = topGroups.size() - 1; g >= 0; --g) {
        const TopGroup &group = topGroups[g];
        if (!isTrailingGroup(group.destination))
            break;
        bool adjacent = true;
        for (qsizetype k = group.end; k < scan.insertAt; ++k)
            adjacent = adjacent && (bytes[k] == ' ' || bytes[k] == '\r' || bytes[k] == '\n');
        if (!adjacent)
            break;
        scan.insertAt = group.start;
    }
    // The paragraph state is that at the insertion point; text inside the
    // trailing groups is hidden and did not change it.
    scan.openParagraph = body.open;
    // A section break that nothing follows starts an empty section, which is
    // how LibreOffice ends a document that ends in a section (how columns for
    // the ads are made there). The paragraphs belong to the section it ends.
    if (body.breakAt >= 0 && body.breakAt < scan.insertAt) {
        scan.insertAt = body.breakAt;
        scan.openParagraph = body.openAtBreak;
    }
    return true;
}

class RtfDocument final : public EditableDocument
{
public:
    RtfDocument(QByteArray bytes, qsizetype insertAt, bool openParagraph)
        : m_tail(bytes.mid(insertAt)), m_openParagraph(openParagraph)
    {
        bytes.truncate(insertAt);
        m_document = std::move(bytes);
        m_headSize = insertAt;
    }

    void appendParagraph(QStringView text) override
    {
        detachTail();
        // The template's last paragraph has no paragraph mark yet: end it first.
        if (m_openParagraph && m_document.size() == m_headSize)
            m_document += "\\par\r\n";
        QString storage;
        m_document += "\\uc1 ";
        ParagraphText::appendRtfText(m_document, ParagraphText::cleaned(text, storage));
        m_document += "\\par\r\n";
        ParagraphText::adviseLargePages(m_document, m_capacity);
    }

    // The head, the paragraphs and the tail are one buffer while a save needs
    // them, so that saving copies nothing; the next paragraph takes the tail
    // off again.
    Result<QByteArray> render() const override
    {
        if (!m_tailAttached) {
            m_document += m_tail;
            m_tailAttached = true;
        }
        return m_document;
    }

    qsizetype heldBytes() const override { return m_document.capacity() + m_tail.capacity(); }

private:
    void detachTail()
    {
        if (m_tailAttached) {
            m_document.chop(m_tail.size());
            m_tailAttached = false;
        }
    }

    mutable QByteArray m_document; // head, paragraphs and, for a save, the tail
    mutable bool m_tailAttached = false;
    QByteArray m_tail;
    qsizetype m_headSize = 0;
    qsizetype m_capacity = 0;
    bool m_openParagraph;
};

} // namespace

Result<DocumentPtr> loadRtf(QByteArray bytes, const QString &templatePath)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // The document keeps this buffer while it is open: none of a reader's spare room.
    bytes.squeeze();
    Scan scan;
    QString problem;
    if (!scanRtf(bytes, scan, problem))
        return WordErrors::templateFailure(WordErrors::BrokenDocument, templatePath,
                                           u"нарушена структура RTF (%1)"_s.arg(problem));
    return DocumentPtr(std::make_unique<RtfDocument>(std::move(bytes), scan.insertAt, scan.openParagraph));
}
