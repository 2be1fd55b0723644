// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

// A long network on loopback, where the kernel's own delay (netem) cannot
// be had: a relay on a free port to a server on another that holds every
// byte half a round trip each way, and a new connection a whole round trip
// before it passes anything, as the TCP handshake over such a link would.
// So a request over a new connection costs two round trips and one over a
// kept connection one, as on the real link.
class DelayingRelay {
public:
    DelayingRelay(int serverPort, std::chrono::milliseconds roundTrip);
    ~DelayingRelay();
    DelayingRelay(const DelayingRelay&) = delete;
    DelayingRelay& operator=(const DelayingRelay&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_; }

private:
    void accept();
    void relay(int client);

    int serverPort_;
    std::chrono::milliseconds roundTrip_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};
