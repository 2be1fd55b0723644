#include "platform/HttpGet.h"

#include "platform/CurlRequest.h"

namespace platform {

namespace {

size_t appendToBody(char* data, size_t size, size_t count, void* body)
{
    static_cast<QByteArray*>(body)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

}  // namespace

std::optional<QByteArray> httpGet(const QString& address)
{
    CurlRequest request(address);
    if (!request.valid())
        return std::nullopt;
    QByteArray body;
    // Catalogues run to megabytes: fewer, larger reads keep the copy cheap.
    curl_easy_setopt(request.handle(), CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEFUNCTION, &appendToBody);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(request.handle()) != CURLE_OK)
        return std::nullopt;
    return body;
}

}  // namespace platform
