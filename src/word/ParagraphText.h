#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Turning the text of one paragraph into the bytes of a document format.
namespace ParagraphText {

// The text as it goes into a document: characters that XML 1.0 forbids (C0
// controls other than tab, line feed and carriage return, U+FFFE, U+FFFF,
// unpaired surrogates) are left out, and CR LF, a lone CR and LF all become one
// LF, which the formats write as a line break. Returns text itself when it
// needs no change, otherwise a view of storage.
QStringView cleaned(QStringView text, QString &storage);

// Appends run as UTF-8 with &, < and > escaped. run must be cleaned.
void appendXmlText(QByteArray &out, QStringView run);

// Appends run for an XML attribute value: also escapes the double quote.
void appendXmlAttribute(QByteArray &out, QStringView run);

// Appends cleaned text as RTF: \ { } escaped, tab as \tab, LF as \line,
// everything outside printable ASCII as \uN? (signed 16-bit, surrogates as two).
void appendRtfText(QByteArray &out, QStringView text);

// For a buffer that grows to tens of megabytes: whenever its capacity has
// changed since knownCapacity, asks the kernel for huge pages on it. Touching a
// fresh 40 MB buffer page by page costs more than encoding the text in it.
void adviseLargePages(const QByteArray &buffer, qsizetype &knownCapacity);

} // namespace ParagraphText
