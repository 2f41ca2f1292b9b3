#include "files/Cp1251.h"

#include <array>

namespace {

// Bytes 80h..BFh; C0h..FFh are U+0410..U+044F and 00h..7Fh are ASCII.
constexpr std::array<char16_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 0x80; ++i)
        t[i] = char16_t(i);
    for (int i = 0; i < 0x40; ++i)
        t[0x80 + i] = kHighTable[i];
    for (int i = 0; i < 0x40; ++i)
        t[0xC0 + i] = char16_t(0x0410 + i);
    return t;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

// Reverse lookup for the characters of 80h..BFh.
int encodeHigh(char16_t c)
{
    for (int i = 0; i < 0x40; ++i) {
        if (kHighTable[i] == c)
            return 0x80 + i;
    }
    return -1;
}

inline int encodeChar(char16_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F)
        return 0xC0 + (c - 0x0410);
    return encodeHigh(c);
}

} // namespace

namespace Cp1251 {

char16_t toUnicode(unsigned char byte)
{
    return kDecode[byte];
}

QString decode(QByteArrayView bytes)
{
    QString out;
    decodeInto(bytes, out);
    return out;
}

void decodeInto(QByteArrayView bytes, QString &out)
{
    out.resize(bytes.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = kDecode[src[i]];
}

bool encodeAppend(QStringView text, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *dst = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text[i].unicode());
        if (b < 0) {
            out.resize(start + i);
            return false;
        }
        dst[i] = char(b);
    }
    return true;
}

std::optional<QByteArray> encode(QStringView text)
{
    QByteArray out;
    if (!encodeAppend(text, out))
        return std::nullopt;
    return out;
}

std::optional<char32_t> firstUnencodable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encodeChar(text[i].unicode()) >= 0)
            continue;
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return QChar::surrogateToUcs4(c, text[i + 1]);
        return c.unicode();
    }
    return std::nullopt;
}

} // namespace Cp1251
