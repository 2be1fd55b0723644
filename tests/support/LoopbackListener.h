// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>

// A listening socket on a free loopback port for the test servers that
// speak raw bytes, and the stop that wakes the thread waiting on it: accept()
// waits for the next client until stop() is called. Throws
// std::runtime_error when no port can be had.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }
    // The next client's socket, which the caller closes; -1 once stopped.
    int accept();
    // Ends accept(), now or the next time it is called; from any thread.
    void stop();
    // Set by stop(): a sender that checks it gives up.
    const std::atomic<bool>& stopping() const { return stopping_; }

private:
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<bool> stopping_{false};
};
