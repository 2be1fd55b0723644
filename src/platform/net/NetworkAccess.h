// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <curl/curl.h>

#include <memory>
#include <unordered_map>
#include <vector>

class QSocketNotifier;

namespace platform {

class CurlRequest;
class Transfer;

// The requests that must not block their thread: one libcurl multi handle
// driven by the event loop of the thread this object lives in, with a
// socket notifier for each socket and direction libcurl watches and one
// timer for its timeouts. All transfers share its connections, so a second
// request to a server goes over the connection the first one opened.
//
// Nothing a caller connects to runs while libcurl is working: a transfer's
// signals are queued, so any slot may cancel or delete any transfer, or this
// object. Deleting it cancels the transfers still running. Each of these
// returns at once, even while a server's name is still being looked up.
// Transfers are used on this object's thread only.
class NetworkAccess : public QObject {
    Q_OBJECT

public:
    explicit NetworkAccess(QObject* parent = nullptr);
    ~NetworkAccess() override;

    // A GET whose whole body is kept in memory under the text limits of
    // limits (textBodyLimit, textFetchTimeout), whatever the answer's
    // status. Starts on the next turn of the event loop, so the caller can
    // connect first. The caller owns the returned transfer (it has no
    // parent); deleting it cancels it silently.
    Transfer* getText(const QString& address, const NetworkLimits& limits = {});
    // A GET whose body streams to the transfer's receiver, for downloads:
    // an answer of 400 or above ends as HttpError and its body is not
    // handed over. Starts and is owned as getText's.
    Transfer* getStream(const QString& address, const NetworkLimits& limits = {});

private:
    friend class Transfer;

    struct SocketWatch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    Transfer* made(Transfer* transfer);
    void add(Transfer* transfer);
    // A transfer that ends before libcurl is through with it.
    void release(Transfer* transfer);
    // A transfer that is being deleted.
    void forget(Transfer* transfer);
    void drive(curl_socket_t socket, int events);
    void settle();
    void checkStalls();
    void watchSocket(curl_socket_t socket, int what);
    void setWatched(QSocketNotifier*& notifier, curl_socket_t socket, bool wanted, int event);
    static int onSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketData);
    static int onTimer(CURLM* multi, long timeoutMs, void* self);

    CURLM* multi_ = nullptr;
    QTimer curlTimer_;
    QTimer stallWatch_;
    std::unordered_map<curl_socket_t, SocketWatch> sockets_;
    std::vector<Transfer*> transfers_;
    // Let go of from inside libcurl, which may not be re-entered there:
    // taken out of the multi handle as soon as it returns.
    std::vector<Transfer*> pendingRemoval_;
    std::vector<std::unique_ptr<CurlRequest>> retired_;
    bool insideCurl_ = false;
};

}  // namespace platform
