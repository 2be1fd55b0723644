#pragma once

#include <QByteArray>

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

// Nothing unless the text has exactly that form, with first <= last < total.
std::optional<ContentRange> parseContentRange(const QByteArray& value);

// What tells a later request whether the file is still the same: a strong
// ETag, else the Last-Modified date; empty when there is neither. A weak
// ETag may not be used to join byte ranges.
QByteArray responseValidator(CURL* handle);

}  // namespace platform
