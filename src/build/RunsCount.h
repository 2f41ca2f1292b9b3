#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

// The number of insertions an ad still has, read from its Runs text.
namespace RunsCount {

// Reads Runs as a signed 32-bit count:
//  - leading spaces (only the space) are skipped;
//  - "$", "x", "X", "0x" or "0X" open a hexadecimal number, which has no sign;
//  - otherwise one optional "+" or "-" and decimal digits follow;
//  - text that ends right after the digits gives the number (negative after
//    "-"); any other character after them gives the digits' value without the
//    sign, 0 if no digit came first. Empty text counts 0.
// A number beyond the 32-bit range saturates: it counts as the nearest
// representable value (2147483647, or -2147483648 after "-").
std::int32_t read(QByteArrayView runs);

// The count after one more insertion: one less, except that the lowest 32-bit
// value stays as it is rather than wrap round to the highest.
std::int32_t countedDown(std::int32_t count);

// count as decimal text in buffer ("-" when negative), without allocating.
using DecimalBuffer = char[12];
QByteArrayView decimal(std::int32_t count, DecimalBuffer &buffer);

// Runs after one more insertion, as decimal text ("-" when negative, no
// leading zeros or blanks).
QByteArray countDown(QByteArrayView runs);

} // namespace RunsCount
