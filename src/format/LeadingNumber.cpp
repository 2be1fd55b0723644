// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

std::string withoutBlanks(QStringView text)
{
    // Characters beyond ASCII can never be part of a number; a marker byte
    // keeps them from being read as one.
    std::string compact;
    compact.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        compact.push_back(u < 0x80 ? static_cast<char>(u) : '\x7f');
    }
    return compact;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c, int radix)
{
    int value = -1;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

// Hexadecimal and octal literals are integers: up to 16 bits they are read
// as a signed 16-bit value, up to 32 bits as a signed 32-bit value.
double radixNumber(const std::string& text, size_t position, int radix)
{
    std::uint64_t value = 0;
    for (; position < text.size(); ++position) {
        const int digit = digitValue(text[position], radix);
        if (digit < 0)
            break;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

double leadingNumber(QStringView text)
{
    const std::string compact = withoutBlanks(text);
    if (compact.size() >= 2 && compact[0] == '&') {
        const char kind = compact[1];
        if (kind == 'H' || kind == 'h')
            return radixNumber(compact, 2, 16);
        if (kind == 'O' || kind == 'o')
            return radixNumber(compact, 2, 8);
        return 0;
    }

    std::string number;
    size_t i = 0;
    bool negative = false;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        negative = compact[i++] == '-';
    bool anyDigit = false;
    for (; i < compact.size() && isDigit(compact[i]); ++i, anyDigit = true)
        number.push_back(compact[i]);
    if (i < compact.size() && compact[i] == '.') {
        number.push_back(compact[i++]);
        for (; i < compact.size() && isDigit(compact[i]); ++i, anyDigit = true)
            number.push_back(compact[i]);
    }
    if (!anyDigit)
        return 0;
    if (i < compact.size() && (compact[i] == 'E' || compact[i] == 'e' || compact[i] == 'D' || compact[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-'))
            exponent.push_back(compact[j++]);
        const size_t digitsStart = j;
        for (; j < compact.size() && isDigit(compact[j]); ++j)
            exponent.push_back(compact[j]);
        if (j > digitsStart)
            number += exponent;
    }
    // from_chars, unlike strtod, does not depend on the user's locale.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}
