#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Windows-1251 without loss: each of the 256 byte values decodes to its own
// character and encodes back to the same byte. The one byte the code page leaves
// unassigned, 98h, maps to the C1 control U+0098 so that it survives a round trip.
namespace Cp1251 {

QString decode(QByteArrayView bytes);
// The same into out, reusing its storage (for decoding many short texts).
void decodeInto(QByteArrayView bytes, QString &out);

// Appends the encoding of text to out. Returns false, leaving out partly
// written, if a character has no byte in the code page.
bool encodeAppend(QStringView text, QByteArray &out);

// The encoding, or nothing if some character has no byte in the code page.
std::optional<QByteArray> encode(QStringView text);

// The first character of text that the code page cannot hold, if any.
std::optional<char32_t> firstUnencodable(QStringView text);

char16_t toUnicode(unsigned char byte);

} // namespace Cp1251
