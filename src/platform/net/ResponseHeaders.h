#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <curl/curl.h>

#include <optional>

namespace platform {

// A Content-Range header's "bytes first-last/total".
struct ContentRange {
    qint64 first = -1;
    qint64 last = -1;
    qint64 total = 0;  // 0 for "*", a total the server does not know
};

// A header of the last answer a transfer got (after any redirects).
std::optional<QByteArray> lastResponseHeader(CURL* handle, const char* name);

// A count of bytes as HTTP writes it: decimal digits only, at most 2^63 - 1.
// Nothing for a sign, a blank, an empty text or a number that would not fit,
// so a hostile header can never wrap round into a plausible size.
std::optional<qint64> parseByteCount(QByteArrayView digits);

// Nothing unless the text has exactly that form, with first <= last < total.
std::optional<ContentRange> parseContentRange(const QByteArray& value);

// The last answer's Content-Length: 0 when it announced none, nothing when
// the header is there but is not a plain byte count.
std::optional<qint64> announcedLength(CURL* handle);

// What tells a later request whether the file is still the same: a strong
// ETag, else the Last-Modified date; empty when there is neither. A weak
// ETag may not be used to join byte ranges.
QByteArray responseValidator(CURL* handle);

}  // namespace platform
