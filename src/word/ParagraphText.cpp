#include "word/ParagraphText.h"

#include <sys/mman.h>

#include <cstdint>

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
template <bool Attribute> char *writeEscaped(char *p, QStringView run)
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

template <bool Attribute> void appendEscaped(QByteArray &out, QStringView run)
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
    const qsizetype start = out.size();
    // At most nine bytes per UTF-16 unit ("\\u-32768?").
    out.resize(start + text.size() * 9);
    char *p = out.data() + start;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            *p++ = '\\';
            *p++ = char(c);
            continue;
        case u'\t':
            p = std::copy_n("\\tab ", 5, p);
            continue;
        case u'\n':
            p = std::copy_n("\\line ", 6, p);
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x7F) {
            *p++ = char(c);
            continue;
        }
        *p++ = '\\';
        *p++ = 'u';
        int value = qint16(c);
        if (value < 0) {
            *p++ = '-';
            value = -value;
        }
        char digits[6];
        int n = 0;
        do {
            digits[n++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (n > 0)
            *p++ = digits[--n];
        *p++ = '?';
    }
    out.resize(p - out.constData());
}

void adviseLargePages(const QByteArray &buffer, qsizetype &knownCapacity)
{
    if (buffer.capacity() == knownCapacity)
        return;
    knownCapacity = buffer.capacity();
#ifdef MADV_HUGEPAGE
    if (knownCapacity < (qsizetype(8) << 20))
        return;
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto address = reinterpret_cast<std::uintptr_t>(buffer.constData());
    const std::uintptr_t begin = (address + huge - 1) & ~(huge - 1);
    const std::uintptr_t end = (address + std::uintptr_t(knownCapacity)) & ~(huge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace ParagraphText
