// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/CuttingRelay.h"

#include "support/FreePort.h"
#include "support/LoopbackListener.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool sendAll(int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= std::size_t(sent);
    }
    return true;
}

}  // namespace

class CuttingRelay::Impl {
public:
    Impl(int serverPort, std::int64_t firstAnswerBytes)
        : serverPort_(serverPort),
          firstAnswerBytes_(firstAnswerBytes),
          listener_(16),
          acceptor_([this] { acceptConnections(); })
    {
    }

    ~Impl()
    {
        listener_.stop();
        acceptor_.join();
        std::lock_guard lock(mutex_);
        for (std::thread& relay : relays_)
            relay.join();
    }

    const int serverPort_;
    const std::int64_t firstAnswerBytes_;
    LoopbackListener listener_;
    std::atomic<int> connections_{0};

private:
    void acceptConnections()
    {
        for (int client; (client = listener_.accept()) >= 0;) {
            const std::int64_t allowance = connections_++ == 0 ? firstAnswerBytes_ : -1;
            std::lock_guard lock(mutex_);
            relays_.emplace_back([this, client, allowance] { relay(client, allowance); });
        }
    }

    // Both ways until either side closes, the answer's allowance is used up
    // or the relay stops.
    void relay(int client, std::int64_t allowance) const
    {
        const int server = connectToLoopback(serverPort_);
        char buffer[16 * 1024];
        while (server >= 0 && allowance != 0 && !listener_.stopping()) {
            pollfd waits[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            // A short wait, so that a stop is seen on an idle connection.
            if (::poll(waits, 2, 100) <= 0)
                continue;
            if (waits[0].revents) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0 || !sendAll(server, buffer, std::size_t(got)))
                    break;
            }
            if (waits[1].revents) {
                const std::size_t wanted =
                    allowance < 0 ? sizeof buffer : std::min<std::size_t>(sizeof buffer, std::size_t(allowance));
                const ssize_t got = ::recv(server, buffer, wanted, 0);
                if (got <= 0 || !sendAll(client, buffer, std::size_t(got)))
                    break;
                if (allowance > 0)
                    allowance -= got;
            }
        }
        if (server >= 0)
            ::close(server);
        ::close(client);
    }

    mutable std::mutex mutex_;
    std::vector<std::thread> relays_;
    std::thread acceptor_;  // last, so that all it uses exists before it starts
};

CuttingRelay::CuttingRelay(int serverPort, std::int64_t firstAnswerBytes)
    : impl_(std::make_unique<Impl>(serverPort, firstAnswerBytes))
{
}

CuttingRelay::~CuttingRelay() = default;

QString CuttingRelay::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(impl_->listener_.port()).arg(path);
}

int CuttingRelay::connectionCount() const
{
    return impl_->connections_;
}
