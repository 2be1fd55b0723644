// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <optional>

namespace platform {

class CurlRequest;

// The status and headers of the last answer a request got (after any
// redirects), read as they are asked for. Valid as long as the request.
class ResponseHeaders {
public:
    explicit ResponseHeaders(const CurlRequest& request) : request_(request) { }

    // The status code; 0 before an answer has come.
    long status() const;
    // A header's value without the blanks around it; nothing when the
    // answer has no such header.
    std::optional<QByteArray> value(const char* name) const;

private:
    const CurlRequest& request_;
};

}  // namespace platform
