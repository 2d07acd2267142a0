#include "common/IntegerText.h"

#include "common/Failure.h"

#include <cstdint>
#include <limits>

namespace {

int digitValue(QChar c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c.unicode() - '0';
    else if (c >= 'a' && c <= 'f')
        value = c.unicode() - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c.unicode() - 'A' + 10;
    return value < base ? value : -1;
}

} // namespace

int ReadInteger(const QString& text)
{
    const auto invalid = [&text] {
        return Failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
    };
    qsizetype at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';

    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    } else if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at == text.size())
        throw invalid();

    // Accumulated as a magnitude so that the most negative value still fits.
    const std::int64_t limit = negative ? -std::int64_t(std::numeric_limits<int>::min())
                                        : std::int64_t(std::numeric_limits<int>::max());
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0)
            throw invalid();
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            throw invalid();
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
