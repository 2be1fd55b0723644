// SPDX-License-Identifier: GPL-3.0-or-later

#include "DelayingRelay.h"

#include <arpa/inet.h>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>

#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// One direction: what is read from `from` is written to `to` half a round
// trip later, in order; the end of `from` ends `to`'s sending side.
void pump(int from, int to, std::chrono::milliseconds delay)
{
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::pair<Clock::time_point, std::string>> queue;
    bool ended = false;
    std::thread writer([&] {
        for (;;) {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return ended || !queue.empty(); });
            if (queue.empty())
                break;
            auto [due, bytes] = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(due);
            for (std::size_t sent = 0; sent < bytes.size();) {
                const ssize_t n = ::send(to, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                sent += static_cast<std::size_t>(n);
            }
        }
        ::shutdown(to, SHUT_WR);
    });
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
        std::lock_guard lock(mutex);
        if (n <= 0) {
            ended = true;
            ready.notify_one();
            break;
        }
        queue.emplace_back(Clock::now() + delay, std::string(buffer, static_cast<std::size_t>(n)));
        ready.notify_one();
    }
    writer.join();
}

}  // namespace

DelayingRelay::DelayingRelay(int serverPort, std::chrono::milliseconds roundTrip)
    : serverPort_(serverPort),
      roundTrip_(roundTrip)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 64) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { accept(); });
}

DelayingRelay::~DelayingRelay()
{
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    if (acceptor_.joinable())
        acceptor_.join();
    // Each connection ends when the program under measure has gone.
    for (std::thread& thread : threads_)
        thread.detach();
}

void DelayingRelay::accept()
{
    while (!stopping_) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        ++connections_;
        threads_.emplace_back([this, client] { relay(client); });
    }
}

void DelayingRelay::relay(int client)
{
    // Each piece goes on when it is due: held back by Nagle behind an
    // earlier one until that is acknowledged, an answer's body would wait
    // for the client's delayed ACK (40 ms), which no real link adds.
    const int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // The handshake's round trip, paid once per connection.
    std::this_thread::sleep_for(roundTrip_);
    const int server = connectTo(serverPort_);
    if (server >= 0) {
        std::thread back([&] { pump(server, client, roundTrip_ / 2); });
        pump(client, server, roundTrip_ / 2);
        back.join();
        ::close(server);
    }
    ::close(client);
}
