// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QString>

#include <curl/curl.h>

namespace platform {

// libcurl's one-time set-up (its TLS library's among it). Every request
// makes sure of it; calling it early only moves the cost.
void initialiseCurlOnce();

// One libcurl easy handle with the options every request of the program
// shares: the address normalised as a browser would send it, redirects
// followed (at most 10), http and https only, and once a request of the
// chain was made over https, over https only; certificates checked against
// the trust store (the system's unless the limits name another file), the
// connect and stall limits of the limits it is given, the "If-Modified-Since:
// 0" header that keeps caches between us
// and the server from answering for it, and a name still being looked up
// let go of at once when the request ends.
class CurlRequest {
public:
    explicit CurlRequest(const QString& address, const NetworkLimits& limits = {});
    ~CurlRequest();
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    CURL* handle() const { return handle_; }
    bool valid() const { return handle_ != nullptr; }
    long responseCode() const;
    // The address as it is sent.
    const QByteArray& address() const { return address_; }
    // One more request header, "Name: value".
    void addHeader(const QByteArray& line);
    // Instead of "If-Modified-Since: 0", which asks for the whole file
    // whatever any cache holds: only if it changed since the copy that had
    // these validators (either may be empty).
    void askOnlyIfChanged(const QByteArray& entityTag, const QByteArray& lastModified);
    // Why a transfer of this request failed, for the log: libcurl's words
    // (the error buffer's when it holds any), with the kind of failure
    // named first where they leave it unclear (a certificate not trusted, a
    // redirect that would leave https).
    QString failureReason(CURLcode result, const char* errorBuffer) const;

private:
    static int beforeEachRequest(void* self, char*, char*, int, int);

    CURL* handle_ = nullptr;
    curl_slist* headers_ = nullptr;
    QByteArray address_;
    bool startsOnHttps_ = false;
    bool beenOnHttps_ = false;
    // A redirect chain led back to the clear after https.
    bool steppedDown_ = false;
    QByteArray steppedDownTo_;
};

}  // namespace platform
