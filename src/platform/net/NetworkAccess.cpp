// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/NetworkAccess.h"

#include "platform/host/MonotonicTick.h"
#include "platform/net/CurlRequest.h"
#include "platform/net/NetLog.h"
#include "platform/net/Transfer.h"

#include <QSocketNotifier>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

template <typename T> void eraseFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

NetworkAccess::NetworkAccess(QObject* parent) : QObject(parent)
{
    initialiseCurlOnce();
    multi_ = curl_multi_init();
    if (!multi_) {
        // Every transfer then fails as it is added, with the reason.
        qCWarning(lcNet) << "libcurl could not make a multi handle";
        return;
    }
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &NetworkAccess::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &NetworkAccess::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    curlTimer_.setSingleShot(true);
    connect(&curlTimer_, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
    stallWatch_.setSingleShot(true);
    connect(&stallWatch_, &QTimer::timeout, this, &NetworkAccess::checkStalls);
}

NetworkAccess::~NetworkAccess()
{
    Q_ASSERT_X(!insideCurl_, "NetworkAccess", "deleted from inside a transfer's receiver");
    for (Transfer* transfer : std::exchange(transfers_, {})) {
        if (transfer->inMulti_)
            curl_multi_remove_handle(multi_, transfer->handle());
        transfer->inMulti_ = false;
        transfer->access_ = nullptr;
        if (!transfer->finished_)
            transfer->conclude(Transfer::Result::Outcome::Cancelled);
    }
    if (!multi_)
        return;
    // The cached connections close in the cleanup: nothing is left to watch them for.
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, static_cast<curl_socket_callback>(nullptr));
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, static_cast<curl_multi_timer_callback>(nullptr));
    for (const auto& [socket, watch] : std::exchange(sockets_, {})) {
        delete watch.read;
        delete watch.write;
    }
    curl_multi_cleanup(multi_);
}

Transfer* NetworkAccess::getText(const QString& address, const NetworkLimits& limits)
{
    return made(new Transfer(this, Transfer::Kind::Text, address, limits));
}

Transfer* NetworkAccess::getStream(const QString& address, const NetworkLimits& limits)
{
    return made(new Transfer(this, Transfer::Kind::Stream, address, limits));
}

Transfer* NetworkAccess::made(Transfer* transfer)
{
    transfers_.push_back(transfer);
    QMetaObject::invokeMethod(
        transfer, [transfer] { transfer->start(); }, Qt::QueuedConnection);
    return transfer;
}

void NetworkAccess::add(Transfer* transfer)
{
    transfer->lastByteMs_ = monotonicMilliseconds();
    const CURLMcode code = curl_multi_add_handle(multi_, transfer->handle());
    if (code != CURLM_OK) {
        transfer->conclude(Transfer::Result::Outcome::NetworkError,
                           QStringLiteral("libcurl could not start the transfer (%1)")
                               .arg(QString::fromUtf8(curl_multi_strerror(code))));
        return;
    }
    transfer->inMulti_ = true;
    // Its stall limit may come before the one the watch waits for.
    checkStalls();
}

void NetworkAccess::release(Transfer* transfer)
{
    if (!transfer->inMulti_)
        return;
    if (insideCurl_) {
        pendingRemoval_.push_back(transfer);
        return;
    }
    curl_multi_remove_handle(multi_, transfer->handle());
    transfer->inMulti_ = false;
}

void NetworkAccess::forget(Transfer* transfer)
{
    eraseFrom(transfers_, transfer);
    eraseFrom(pendingRemoval_, transfer);
    if (!transfer->inMulti_)
        return;
    if (insideCurl_) {
        // libcurl is inside this very handle, maybe: it goes once libcurl
        // has returned, and reaches nothing of the transfer till then.
        transfer->detachFromHandle();
        retired_.push_back(std::move(transfer->request_));
        return;
    }
    curl_multi_remove_handle(multi_, transfer->handle());
    transfer->inMulti_ = false;
}

void NetworkAccess::drive(curl_socket_t socket, int events)
{
    Q_ASSERT_X(!insideCurl_, "NetworkAccess", "an event loop was run inside a transfer's receiver");
    int running = 0;
    insideCurl_ = true;
    const CURLMcode code = curl_multi_socket_action(multi_, socket, events, &running);
    insideCurl_ = false;
    if (code != CURLM_OK)
        qCWarning(lcNet) << "libcurl's transfer loop failed:" << curl_multi_strerror(code);
    settle();
}

void NetworkAccess::settle()
{
    for (Transfer* transfer : std::exchange(pendingRemoval_, {})) {
        curl_multi_remove_handle(multi_, transfer->handle());
        transfer->inMulti_ = false;
    }
    for (const std::unique_ptr<CurlRequest>& request : std::exchange(retired_, {}))
        curl_multi_remove_handle(multi_, request->handle());
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        // The message goes with the handle's removal.
        CURL* easy = message->easy_handle;
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(multi_, easy);
        char* owner = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
        if (auto* transfer = reinterpret_cast<Transfer*>(owner)) {
            transfer->inMulti_ = false;
            transfer->concludeFromCurl(result);
        }
    }
}

void NetworkAccess::checkStalls()
{
    // The watch wakes only when the earliest transfer could have passed its
    // stall limit.
    const qint64 now = monotonicMilliseconds();
    qint64 nextCheckIn = -1;
    for (std::size_t i = 0; i < transfers_.size(); ++i) {
        Transfer* transfer = transfers_[i];
        if (!transfer->inMulti_ || transfer->finished_)
            continue;
        const qint64 silentMs = now - transfer->lastByteMs_;
        if (silentMs < transfer->stallMs_) {
            const qint64 left = transfer->stallMs_ - silentMs;
            nextCheckIn = nextCheckIn < 0 ? left : std::min(nextCheckIn, left);
            continue;
        }
        curl_multi_remove_handle(multi_, transfer->handle());
        transfer->inMulti_ = false;
        transfer->conclude(Transfer::Result::Outcome::NetworkError, QStringLiteral("no data for %1 ms").arg(silentMs));
    }
    if (nextCheckIn >= 0)
        stallWatch_.start(std::chrono::milliseconds(nextCheckIn));
    else
        stallWatch_.stop();
}

int NetworkAccess::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*)
{
    static_cast<NetworkAccess*>(self)->watchSocket(socket, what);
    return 0;
}

int NetworkAccess::onTimer(CURLM*, long timeoutMs, void* self)
{
    // libcurl may not be called from here: the timer calls it later.
    QTimer& timer = static_cast<NetworkAccess*>(self)->curlTimer_;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(std::chrono::milliseconds(timeoutMs));
    return 0;
}

void NetworkAccess::watchSocket(curl_socket_t socket, int what)
{
    SocketWatch& watch = sockets_[socket];
    setWatched(watch.read, socket, what == CURL_POLL_IN || what == CURL_POLL_INOUT, CURL_CSELECT_IN);
    setWatched(watch.write, socket, what == CURL_POLL_OUT || what == CURL_POLL_INOUT, CURL_CSELECT_OUT);
    if (what == CURL_POLL_REMOVE)
        sockets_.erase(socket);
}

void NetworkAccess::setWatched(QSocketNotifier*& notifier, curl_socket_t socket, bool wanted, int event)
{
    if (wanted == (notifier != nullptr))
        return;
    if (wanted) {
        notifier = new QSocketNotifier(socket,
                                       event == CURL_CSELECT_IN ? QSocketNotifier::Read : QSocketNotifier::Write, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, socket, event] { drive(socket, event); });
        return;
    }
    // libcurl may close the socket as soon as this returns, and this may be
    // the notifier whose signal brought us here.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

}  // namespace platform
