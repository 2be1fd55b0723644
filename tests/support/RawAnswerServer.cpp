// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RawAnswerServer.h"

#include "support/ChaosAnswer.h"
#include "support/LoopbackListener.h"

#include <atomic>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

class RawAnswerServer::Impl {
public:
    Impl() : listener_(16), thread_([this] { serveConnections(); }) { }

    ~Impl()
    {
        listener_.stop();
        thread_.join();
    }

    LoopbackListener listener_;
    mutable std::mutex mutex_;
    Answer answer_;
    std::atomic<int> requests_{0};

private:
    void serveConnections()
    {
        for (int fd; (fd = listener_.accept()) >= 0;) {
            if (readChaosRequest(fd, listener_.stopping())) {
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
                    if (n <= 0 || listener_.stopping())
                        return;
                    sent += std::size_t(n);
                }
            }
        }
    }

    std::thread thread_;
};

RawAnswerServer::RawAnswerServer() : impl_(std::make_unique<Impl>()) { }

RawAnswerServer::~RawAnswerServer() = default;

QString RawAnswerServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(impl_->listener_.port()).arg(path);
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
