#pragma once

#include <QString>

#include <curl/curl.h>

#include <memory>

namespace platform {

// One libcurl easy handle with the options every request of the program
// shares: redirects followed (at most 10), http and https only, the
// connect and stall limits, and the "If-Modified-Since: 0" header that
// keeps caches between us and the server from answering for it.
class CurlRequest {
public:
    explicit CurlRequest(const QString& address);
    ~CurlRequest();
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    CURL* handle() const { return handle_; }
    bool valid() const { return handle_ != nullptr; }
    long responseCode() const;

private:
    CURL* handle_ = nullptr;
    curl_slist* headers_ = nullptr;
    QByteArray address_;
};

}  // namespace platform
