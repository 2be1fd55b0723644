// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/HeaderValues.h"

#include <limits>

std::optional<qint64> parseByteCount(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    constexpr qint64 kMost = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value > (kMost - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<ContentRange> parseContentRange(const QByteArray& value)
{
    if (!value.toLower().startsWith("bytes "))
        return std::nullopt;
    const QByteArray byteRange = value.mid(6).trimmed();
    const qsizetype dash = byteRange.indexOf('-');
    const qsizetype slash = byteRange.indexOf('/');
    if (dash <= 0 || slash <= dash + 1)
        return std::nullopt;
    const std::optional<qint64> first = parseByteCount(QByteArrayView(byteRange).first(dash));
    const std::optional<qint64> last = parseByteCount(QByteArrayView(byteRange).sliced(dash + 1, slash - dash - 1));
    const QByteArrayView totalText = QByteArrayView(byteRange).sliced(slash + 1);
    const std::optional<qint64> total = totalText == "*" ? std::optional<qint64>(0) : parseByteCount(totalText);
    if (!first || !last || !total || *last < *first || (totalText != "*" && *last >= *total))
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}

std::optional<qint64> contentLengthOf(const std::optional<QByteArray>& value)
{
    if (!value)
        return 0;
    return parseByteCount(*value);
}

QByteArray validatorOf(const std::optional<QByteArray>& etag, const std::optional<QByteArray>& lastModified)
{
    if (etag && !etag->isEmpty() && !etag->startsWith("W/"))
        return *etag;
    return lastModified.value_or(QByteArray());
}
