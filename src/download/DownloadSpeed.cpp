// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadSpeed.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// The value rounded to hundredths, halves away from zero. The rounding is
// decided on the number's 15-significant-digit decimal form, so a speed
// that is 3.495 in decimal counts as exactly that and not as the binary
// value just below it. Nothing for values far beyond any 32-bit result.
std::optional<long long> toHundredths(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e13))
        return std::nullopt;
    long long hundredths = 0;
    // Below 1e-4 the text would switch to exponent form; such values are
    // 0.00 anyway.
    if (magnitude >= 1e-4) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.15g", magnitude);
        const char* point = std::strchr(digits, '.');
        hundredths = std::strtoll(digits, nullptr, 10) * 100;
        int decimal[3] = {0, 0, 0};
        for (int i = 0; point && i < 3 && point[1 + i] != '\0'; ++i)
            decimal[i] = point[1 + i] - '0';
        hundredths += decimal[0] * 10 + decimal[1] + (decimal[2] >= 5 ? 1 : 0);
    }
    return value < 0 ? -hundredths : hundredths;
}

}  // namespace

qint32 downloadSpeed(qint64 progress, qint64 elapsedMs)
{
    if (elapsedMs == 0)
        return 0;
    const double kilobytesPerSecond = static_cast<double>(progress) / static_cast<double>(elapsedMs) * 1000.0 / 1024.0;
    const std::optional<long long> hundredths = toHundredths(kilobytesPerSecond);
    if (!hundredths)
        return 0;
    // The "0.00" text, read back as a single-precision number.
    char text[32];
    const long long magnitude = std::llabs(*hundredths);
    const int length =
        std::snprintf(text, sizeof text, "%s%lld.%02lld", *hundredths < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    float single = 0;
    if (std::from_chars(text, text + length, single).ec != std::errc())
        return 0;
    // The default rounding mode: to nearest, ties to even.
    const float whole = std::nearbyint(single);
    if (!(whole >= -2147483648.0f && whole < 2147483648.0f))
        return 0;
    return static_cast<qint32>(whole);
}
