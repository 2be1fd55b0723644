// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/CurlRequest.h"

#include "platform/net/NormalisedAddress.h"

#include <QCoreApplication>

#include <mutex>

namespace platform {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CurlRequest::CurlRequest(const QString& address, const NetworkLimits& limits) : address_(normalisedAddress(address))
{
    initialiseCurlOnce();
    handle_ = curl_easy_init();
    if (!handle_)
        return;
    headers_ = curl_slist_append(headers_, "If-Modified-Since: 0");
    curl_easy_setopt(handle_, CURLOPT_URL, address_.constData());
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
    curl_easy_setopt(handle_, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallTimeout.count()));
    // The program names itself as the application object says, "Name/version".
    const QByteArray agent =
        (QCoreApplication::applicationName() + u'/' + QCoreApplication::applicationVersion()).toUtf8();
    curl_easy_setopt(handle_, CURLOPT_USERAGENT, agent.constData());
}

CurlRequest::~CurlRequest()
{
    if (handle_)
        curl_easy_cleanup(handle_);
    curl_slist_free_all(headers_);
}

void CurlRequest::addHeader(const QByteArray& line)
{
    headers_ = curl_slist_append(headers_, line.constData());
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
}

long CurlRequest::responseCode() const
{
    long code = 0;
    if (handle_)
        curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

}  // namespace platform
