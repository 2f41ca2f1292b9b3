#include "word/ParagraphText.h"

namespace ParagraphText {

namespace {

bool isForbiddenBmp(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

bool needsCleaning(QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x20 ? c != u'\t' && c != u'\n' : (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE)
            return true;
    }
    return false;
}

// Writes cleaned run as UTF-8 at p, escaping what XML needs; returns the new end.
template <bool Attribute>
char *writeEscaped(char *p, QStringView run)
{
    const char16_t *s = reinterpret_cast<const char16_t *>(run.utf16());
    const char16_t *end = s + run.size();
    while (s < end) {
        const char16_t c = *s++;
        if (c < 0x80) {
            switch (c) {
            case u'&':
                p = std::copy_n("&amp;", 5, p);
                break;
            case u'<':
                p = std::copy_n("&lt;", 4, p);
                break;
            case u'>':
                p = std::copy_n("&gt;", 4, p);
                break;
            case u'"':
                if (Attribute) {
                    p = std::copy_n("&quot;", 6, p);
                    break;
                }
                [[fallthrough]];
            default:
                *p++ = char(c);
            }
        } else if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDBFF && s < end) {
            const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*s++) - 0xDC00);
            *p++ = char(0xF0 | (u >> 18));
            *p++ = char(0x80 | ((u >> 12) & 0x3F));
            *p++ = char(0x80 | ((u >> 6) & 0x3F));
            *p++ = char(0x80 | (u & 0x3F));
        } else {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
        }
    }
    return p;
}

template <bool Attribute>
void appendEscaped(QByteArray &out, QStringView run)
{
    const qsizetype start = out.size();
    // At most six bytes per UTF-16 unit (&quot;); resize grows geometrically.
    out.resize(start + run.size() * 6);
    char *end = writeEscaped<Attribute>(out.data() + start, run);
    out.resize(end - out.constData());
}

} // namespace

QStringView cleaned(QStringView text, QString &storage)
{
    if (!needsCleaning(text))
        return text;
    storage.clear();
    storage.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            storage.append(u'\n');
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                storage.append(text[i]);
                storage.append(text[i + 1]);
                ++i;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            // an unpaired low surrogate
        } else if (!isForbiddenBmp(c)) {
            storage.append(QChar(c));
        }
    }
    return storage;
}

void appendXmlText(QByteArray &out, QStringView run)
{
    appendEscaped<false>(out, run);
}

void appendXmlAttribute(QByteArray &out, QStringView run)
{
    appendEscaped<true>(out, run);
}

void appendRtfText(QByteArray &out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case u'\\':
            out.append("\\\\");
            continue;
        case u'{':
            out.append("\\{");
            continue;
        case u'}':
            out.append("\\}");
            continue;
        case u'\t':
            out.append("\\tab ");
            continue;
        case u'\n':
            out.append("\\line ");
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x7F) {
            out.append(char(c));
        } else {
            out.append("\\u");
            out.append(QByteArray::number(int(qint16(c))));
            out.append('?');
        }
    }
}

} // namespace ParagraphText
