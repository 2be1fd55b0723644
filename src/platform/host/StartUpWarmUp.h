// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <thread>

namespace platform {

// Does, on another processor core, the one-time set-up that the first
// fetch and the first window need and that holds no ties to the thread
// that made it: libcurl's and its TLS library's, the GB2312 decoder's
// tables, fontconfig's configuration and font lists. Started first thing,
// it runs while the connection to the window system is made; wait() before
// the first fetch. On a single core it costs what it would have cost anyway.
class StartUpWarmUp {
public:
    StartUpWarmUp();
    ~StartUpWarmUp();
    StartUpWarmUp(const StartUpWarmUp&) = delete;
    StartUpWarmUp& operator=(const StartUpWarmUp&) = delete;

    void wait();

private:
    std::thread thread_;
};

}  // namespace platform
