// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A Content-Range header's "bytes first-last/total".
struct ContentRange {
    qint64 first = -1;
    qint64 last = -1;
    qint64 total = 0;  // 0 for "*", a total the server does not know
};

// A count of bytes as HTTP writes it: decimal digits only, at most 2^63 - 1.
// Nothing for a sign, a blank, an empty text or a number that would not fit,
// so a hostile header can never wrap round into a plausible size.
std::optional<qint64> parseByteCount(QByteArrayView digits);

// Nothing unless the text has exactly that form, with first <= last < total.
std::optional<ContentRange> parseContentRange(const QByteArray& value);

// A Content-Length header's value: 0 when the answer announced none,
// nothing when the header is there but is not a plain byte count.
std::optional<qint64> contentLengthOf(const std::optional<QByteArray>& value);

// What tells a later request whether the file is still the same: a strong
// ETag, else the Last-Modified date; empty when there is neither. A weak
// ETag may not be used to join byte ranges.
QByteArray validatorOf(const std::optional<QByteArray>& etag, const std::optional<QByteArray>& lastModified);
