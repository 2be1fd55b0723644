// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/HttpGet.h"

#include "platform/net/CurlRequest.h"
#include "platform/net/NetLog.h"

namespace platform {

namespace {

struct Body {
    QByteArray bytes;
    qint64 limit = 0;
    bool overLimit = false;
};

size_t appendToBody(char* data, size_t size, size_t count, void* context)
{
    Body& body = *static_cast<Body*>(context);
    const qint64 bytes = static_cast<qint64>(size * count);
    // A body without end would take all memory; returning short ends the
    // transfer with an error.
    if (body.bytes.size() + bytes > body.limit) {
        body.overLimit = true;
        return 0;
    }
    body.bytes.append(data, bytes);
    return size * count;
}

}  // namespace

std::optional<QByteArray> httpGet(const QString& address, const NetworkLimits& limits)
{
    std::optional<HttpAnswer> answer = httpGetAnswer(address, limits);
    if (!answer)
        return std::nullopt;
    return std::move(answer->body);
}

std::optional<HttpAnswer> httpGetAnswer(const QString& address, const NetworkLimits& limits)
{
    // Outlives the request, which may write to it until it is cleaned up.
    char error[CURL_ERROR_SIZE] = {};
    CurlRequest request(address, limits);
    if (!request.valid()) {
        qCWarning(lcNet) << "GET" << address << "failed: libcurl could not make a request";
        return std::nullopt;
    }
    Body body;
    body.limit = limits.textBodyLimit;
    // Catalogues run to megabytes: fewer, larger reads keep the copy cheap.
    curl_easy_setopt(request.handle(), CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEFUNCTION, &appendToBody);
    curl_easy_setopt(request.handle(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(request.handle(), CURLOPT_ERRORBUFFER, error);
    // A server that trickles a byte now and then never trips the stall
    // limit; this one bounds the whole wait.
    curl_easy_setopt(request.handle(), CURLOPT_TIMEOUT_MS,
                     static_cast<long>(std::chrono::milliseconds(limits.textFetchTimeout).count()));
    curl_easy_setopt(request.handle(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.textBodyLimit));
    qCDebug(lcNet) << "GET" << request.address();
    const CURLcode result = curl_easy_perform(request.handle());
    if (result == CURLE_OK)
        return HttpAnswer{request.responseCode(), std::move(body.bytes)};
    if (body.overLimit || result == CURLE_FILESIZE_EXCEEDED)
        qCWarning(lcNet) << "GET" << request.address() << "given up: the body passes the limit of"
                         << limits.textBodyLimit << "bytes";
    else
        qCWarning(lcNet) << "GET" << request.address()
                         << "failed:" << qUtf8Printable(request.failureReason(result, error));
    return std::nullopt;
}

}  // namespace platform
