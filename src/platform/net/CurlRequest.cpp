// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/CurlRequest.h"

#include "platform/net/NormalisedAddress.h"

#include <QCoreApplication>
#include <QFile>

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace platform {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
#ifdef __GLIBC__
        // Each download's megabyte of receive buffer would otherwise raise
        // glibc's threshold for handing large blocks straight back to the
        // system, and then stay cached in the heap of each download thread:
        // megabytes held for good after a few downloads.
        mallopt(M_MMAP_THRESHOLD, 512 * 1024);
#endif
    });
}

CurlRequest::CurlRequest(const QString& address, const NetworkLimits& limits)
    : address_(normalisedAddress(address)),
      startsOnHttps_(qstrnicmp(address_.constData(), "https://", 8) == 0)
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
    // What came over https is never fetched again in the clear: a redirect
    // from https may only lead to https. One from http up to https is fine.
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, startsOnHttps_ ? "https" : "http,https");
    // The list above is fixed when the request starts; a chain that begins
    // in the clear and passes through https is held to https here, once the
    // connection in the clear is open and before a byte is sent on it.
    curl_easy_setopt(handle_, CURLOPT_PREREQFUNCTION, &CurlRequest::beforeEachRequest);
    curl_easy_setopt(handle_, CURLOPT_PREREQDATA, this);
    // libcurl's defaults, stated so that no later change turns them off
    // unseen: the certificate must chain to a trusted authority and name
    // the host asked for.
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!limits.certificateAuthorityFile.isEmpty())
        curl_easy_setopt(handle_, CURLOPT_CAINFO, QFile::encodeName(limits.certificateAuthorityFile).constData());
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    // A name is looked up on a thread of libcurl's, and a request that ends
    // while it runs (cancelled, deleted, past its connect limit, at the
    // program's end) would otherwise wait for it: as long as a resolver that
    // does not answer likes, holding the caller's thread (the window's, a
    // download thread the program's end waits for) and a partial file's lock
    // with it. Let go of, the lookup ends on its own thread; one that never
    // ends keeps that thread and its few bytes.
    curl_easy_setopt(handle_, CURLOPT_QUICK_EXIT, 1L);
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

void CurlRequest::askOnlyIfChanged(const QByteArray& entityTag, const QByteArray& lastModified)
{
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    // The tag alone when there is one: a server must then pass over the
    // date, and one that ignores dates (as the library's nginx is set to,
    // for the older clients' "0") would otherwise answer in full.
    const QByteArray condition = entityTag.isEmpty()
        ? "If-Modified-Since: " + (lastModified.isEmpty() ? "0" : lastModified)
        : "If-None-Match: " + entityTag;
    headers_ = curl_slist_append(headers_, condition.constData());
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
}

QString CurlRequest::failureReason(CURLcode result, const char* errorBuffer) const
{
    const QString said =
        QString::fromUtf8(errorBuffer && errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(result));
    switch (result) {
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("the server's certificate is not trusted (") + said + u')';
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        return QStringLiteral("no secure connection could be made (") + said + u')';
    case CURLE_ABORTED_BY_CALLBACK:
        if (steppedDown_)
            return QStringLiteral("a redirect away from https was refused (to %1)")
                .arg(QString::fromUtf8(steppedDownTo_));
        return said;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // An https address was checked before the transfer began: only a
        // redirect can have led elsewhere.
        if (startsOnHttps_)
            return QStringLiteral("a redirect away from https was refused (") + said + u')';
        return said;
    default:
        return said;
    }
}

int CurlRequest::beforeEachRequest(void* self, char*, char*, int, int)
{
    auto* request = static_cast<CurlRequest*>(self);
    char* address = nullptr;
    curl_easy_getinfo(request->handle_, CURLINFO_EFFECTIVE_URL, &address);
    if (address && qstrnicmp(address, "https://", 8) == 0) {
        request->beenOnHttps_ = true;
        return CURL_PREREQFUNC_OK;
    }
    if (!request->beenOnHttps_)
        return CURL_PREREQFUNC_OK;
    request->steppedDown_ = true;
    request->steppedDownTo_ = address;
    return CURL_PREREQFUNC_ABORT;
}

long CurlRequest::responseCode() const
{
    long code = 0;
    if (handle_)
        curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

}  // namespace platform
