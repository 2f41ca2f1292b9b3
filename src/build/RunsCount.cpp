#include "build/RunsCount.h"

#include <limits>

namespace RunsCount {

namespace {

constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t read(QByteArrayView runs)
{
    const qsizetype size = runs.size();
    qsizetype i = 0;
    while (i < size && runs[i] == ' ')
        ++i;

    int base = 10;
    bool negative = false;
    if (i < size && (runs[i] == '$' || runs[i] == 'x' || runs[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < size && runs[i] == '0' && (runs[i + 1] == 'x' || runs[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < size && (runs[i] == '+' || runs[i] == '-')) {
        negative = runs[i] == '-';
        ++i;
    }

    // Saturates just past the 32-bit range, so no digit string can overflow.
    std::int64_t value = 0;
    for (; i < size; ++i) {
        const int digit =
            base == 16 ? hexDigit(runs[i]) : (runs[i] >= '0' && runs[i] <= '9' ? runs[i] - '0' : -1);
        if (digit < 0)
            break;
        value = std::min(value * base + digit, kLimit);
    }

    if (i == size && negative)
        return std::int32_t(-value); // -kLimit is exactly the lowest 32-bit value
    return std::int32_t(std::min(value, kLimit - 1));
}

std::int32_t countedDown(std::int32_t count)
{
    return count == std::numeric_limits<std::int32_t>::min() ? count : count - 1;
}

QByteArrayView decimal(std::int32_t count, DecimalBuffer &buffer)
{
    char *end = buffer + sizeof buffer;
    char *p = end;
    // Negated as unsigned, so that the lowest value has a magnitude too.
    std::uint32_t magnitude = count < 0 ? 0u - std::uint32_t(count) : std::uint32_t(count);
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (count < 0)
        *--p = '-';
    return QByteArrayView(p, end - p);
}

QByteArray countDown(QByteArrayView runs)
{
    DecimalBuffer buffer;
    return decimal(countedDown(read(runs)), buffer).toByteArray();
}

} // namespace RunsCount
