// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RawAnswerServer.h"

#include "support/ChaosAnswer.h"

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <stdexcept>
#include <thread>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

class RawAnswerServer::Impl {
public:
    Impl()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 16) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0
            || ::pipe2(wake_, O_CLOEXEC) != 0)
            throw std::runtime_error("raw answer server could not listen on a loopback port");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serveConnections(); });
    }

    ~Impl()
    {
        stopping_ = true;
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
        thread_.join();
        ::close(listener_);
        ::close(wake_[0]);
        ::close(wake_[1]);
    }

    int port_ = 0;
    mutable std::mutex mutex_;
    Answer answer_;
    std::atomic<int> requests_{0};

private:
    void serveConnections()
    {
        for (;;) {
            pollfd waits[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (::poll(waits, 2, -1) < 0 && errno != EINTR)
                return;
            if (stopping_)
                return;
            if (!(waits[0].revents & POLLIN))
                continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            if (readChaosRequest(fd, stopping_)) {
                ++requests_;
                Answer answer;
                {
                    std::lock_guard lock(mutex_);
                    answer = answer_;
                }
                send(fd, answer);
            }
            ::close(fd);
        }
    }

    // Until all is written, or the client has gone (libcurl hangs up on a
    // head it refuses).
    void send(int fd, const Answer& answer) const
    {
        for (const Piece& piece : answer) {
            for (std::int64_t i = 0; i < piece.times; ++i) {
                std::size_t sent = 0;
                while (sent < piece.bytes.size()) {
                    const ssize_t n = ::send(fd, piece.bytes.data() + sent, piece.bytes.size() - sent, MSG_NOSIGNAL);
                    if (n <= 0 || stopping_)
                        return;
                    sent += std::size_t(n);
                }
            }
        }
    }

    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

RawAnswerServer::RawAnswerServer() : impl_(std::make_unique<Impl>()) { }

RawAnswerServer::~RawAnswerServer() = default;

QString RawAnswerServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(impl_->port_).arg(path);
}

void RawAnswerServer::setAnswer(Answer answer)
{
    std::lock_guard lock(impl_->mutex_);
    impl_->answer_ = std::move(answer);
}

int RawAnswerServer::requestCount() const
{
    return impl_->requests_;
}
