// Rich Text Format templates. Paragraphs go at the end of the body, in front
// of the groups that Word writes after the text (theme, colour mapping, latent
// styles, data store) and of a section break that ends the text, and take the
// paragraph formatting in force there.

#include "files/Cp1251.h"
#include "word/Formats.h"
#include "word/ParagraphText.h"
#include "word/WordErrors.h"

#include <QHash>
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

// The control word whose letters start at bytes[at], up to end: its word, its
// numeric parameter and where what follows it starts (after a delimiting blank).
struct ControlWord
{
    QByteArray word;
    QByteArray parameter;
    qsizetype next;
};

ControlWord readControlWord(const QByteArray &bytes, qsizetype at, qsizetype end)
{
    qsizetype j = at;
    while (j < end && isLetter(bytes[j]))
        ++j;
    ControlWord control{bytes.mid(at, j - at), {}, 0};
    const qsizetype parameterStart = j;
    if (j < end && bytes[j] == '-')
        ++j;
    while (j < end && isDigit(bytes[j]))
        ++j;
    control.parameter = bytes.mid(parameterStart, j - parameterStart);
    if (j < end && bytes[j] == ' ')
        ++j;
    control.next = j;
    return control;
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
                const auto [word, parameter, after] = readControlWord(bytes, i + 1, n);
                qsizetype j = after;
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

// The end of the group that opens at bytes[at] (one past its closing brace), or -1.
qsizetype groupEnd(const QByteArray &bytes, qsizetype at)
{
    int depth = 0;
    for (qsizetype i = at; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\\')
            ++i;
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth == 0)
            return i + 1;
    }
    return -1;
}

// Words of a style sheet entry that describe the style, not the text's formatting.
bool isStyleSheetOnly(const QByteArray &word)
{
    return isOneOf(word, {"s",         "sbasedon", "snext",     "slink",       "sautoupd",    "shidden",
                          "additive",  "sqformat", "spriority", "ssemihidden", "sunhideused", "slocked",
                          "spersonal", "scompose", "sreply",    "styrsid",     "keycode",     "alt",
                          "shift",     "ctrl",     "fn",        "uc"});
}

// The paragraph styles of the style sheet: for each name (by styleKey()), the
// opening of a paragraph in that style, which repeats the style's formatting
// as RTF readers expect. Character (\cs), table (\ts) and section (\ds)
// styles are written as \* groups and are left out.
QHash<QString, QByteArray> paragraphStyles(const QByteArray &bytes)
{
    QHash<QString, QByteArray> styles;
    const qsizetype sheet = bytes.indexOf("{\\stylesheet");
    if (sheet < 0)
        return styles;
    const qsizetype sheetEnd = groupEnd(bytes, sheet);
    if (sheetEnd < 0)
        return styles;
    const bool cyrillic = bytes.left(sheet).contains("\\ansicpg1251");
    qsizetype i = sheet + 1;
    while (i < sheetEnd - 1) {
        if (bytes[i] == '\\') {
            i += 2;
            continue;
        }
        if (bytes[i] != '{') {
            ++i;
            continue;
        }
        const qsizetype end = groupEnd(bytes, i);
        if (end < 0)
            break;
        const qsizetype entryStart = i;
        i = end;
        if (bytes.mid(entryStart + 1, 2) == "\\*")
            continue;
        QByteArray number = "0", formatting;
        QString name;
        int skip = 0; // characters standing in for a \u character
        bool nameEnded = false;
        for (qsizetype j = entryStart + 1; j < end - 1 && !nameEnded;) {
            const char c = bytes[j];
            if (c == '{') {
                j = groupEnd(bytes, j);
                if (j < 0)
                    break;
            } else if (c == '\\' && j + 1 < end && isLetter(bytes[j + 1])) {
                const auto [word, parameter, k] = readControlWord(bytes, j + 1, end);
                if (word == "s")
                    number = parameter;
                else if (word == "u") {
                    name += QChar(char16_t(parameter.toInt()));
                    skip = 1;
                } else if (!isStyleSheetOnly(word) && name.isEmpty())
                    formatting += '\\' + word + parameter;
                j = k;
            } else if (c == '\\' && j + 3 < end && bytes[j + 1] == '\'') {
                const auto byte = uchar(bytes.mid(j + 2, 2).toUInt(nullptr, 16));
                if (skip > 0)
                    --skip;
                else
                    name += cyrillic ? QChar(Cp1251::toUnicode(byte)) : QChar(char16_t(byte));
                j += 4;
            } else if (c == '\\') {
                j += 2;
            } else if (c == ';') {
                nameEnded = true;
            } else {
                if (c != '\r' && c != '\n') {
                    if (skip > 0)
                        --skip;
                    else
                        name += QLatin1Char(c);
                }
                ++j;
            }
        }
        const QString key = styleKey(name.trimmed());
        if (!key.isEmpty() && !styles.contains(key))
            styles.insert(key, "{\\pard\\plain\\s" + number + formatting + ' ');
    }
    return styles;
}

class RtfDocument final : public EditableDocument
{
public:
    RtfDocument(QByteArray bytes, qsizetype insertAt, bool openParagraph)
        : m_tail(bytes.mid(insertAt)), m_styles(paragraphStyles(bytes)), m_openParagraph(openParagraph)
    {
        bytes.truncate(insertAt);
        m_document = std::move(bytes);
        m_headSize = insertAt;
    }

    // A styled paragraph is a group of its own, so that the paragraphs after
    // it keep the formatting in force at the end of the template.
    void appendParagraph(QStringView text, QStringView styleName) override
    {
        detachTail();
        // The template's last paragraph has no paragraph mark yet: end it first.
        if (m_openParagraph && m_document.size() == m_headSize)
            m_document += "\\par\r\n";
        const QByteArray *styled = findStyle(m_styles, styleName);
        QString storage;
        if (styled)
            m_document += *styled;
        m_document += "\\uc1 ";
        ParagraphText::appendRtfText(m_document, ParagraphText::cleaned(text, storage));
        m_document += styled ? "\\par}\r\n" : "\\par\r\n";
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
    QHash<QString, QByteArray> m_styles; // paragraphStyles()
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
