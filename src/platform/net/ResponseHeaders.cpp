// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/ResponseHeaders.h"

#include "platform/net/CurlRequest.h"

namespace platform {

long ResponseHeaders::status() const
{
    return request_.responseCode();
}

std::optional<QByteArray> ResponseHeaders::value(const char* name) const
{
    curl_header* header = nullptr;
    if (!request_.valid() || curl_easy_header(request_.handle(), name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK
        || !header || !header->value)
        return std::nullopt;
    return QByteArray(header->value).trimmed();
}

}  // namespace platform
