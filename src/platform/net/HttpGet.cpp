#include "platform/net/HttpGet.h"

#include "platform/net/CurlRequest.h"
#include "platform/net/NetworkLimits.h"

namespace platform {

namespace {

struct Body {
    QByteArray bytes;
    qint64 limit = 0;
};

size_t appendToBody(char* data, size_t size, size_t count, void* context)
{
    Body& body = *static_cast<Body*>(context);
    const qint64 bytes = static_cast<qint64>(size * count);
    // A body without end would take all memory; returning short ends the
    // transfer with an error.
    if (body.bytes.size() + bytes > body.limit)
        return 0;
    body.bytes.append(data, bytes);
    return size * count;
}

}  // namespace

std::optional<QByteArray> httpGet(const QString& address)
{
    CurlRequest request(address);
    if (!request.valid())
        return std::nullopt;
    const NetworkLimits& limits = currentNetworkLimits();
    Body body;
    body.limit = limits.textBodyLimit;
    // Catalogues run to megabytes: fewer, larger reads keep the copy cheap.
    curl_easy_setopt(request.handle(), CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEFUNCTION, &appendToBody);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEDATA, &body);
    // A server that trickles a byte now and then never trips the stall
    // limit; this one bounds the whole wait.
    curl_easy_setopt(request.handle(), CURLOPT_TIMEOUT_MS,
                     static_cast<long>(std::chrono::milliseconds(limits.textFetchTimeout).count()));
    curl_easy_setopt(request.handle(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.textBodyLimit));
    if (curl_easy_perform(request.handle()) != CURLE_OK)
        return std::nullopt;
    return std::move(body.bytes);
}

}  // namespace platform
