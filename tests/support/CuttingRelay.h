// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// A relay on a free loopback port to a server on another: what a client
// sends goes on to the server and the answer comes back unchanged, each
// connection on a thread of its own. The first connection is cut off after
// a number of the answer's bytes, head included, as a network that goes
// away in the middle of a download; later ones pass whole.
class CuttingRelay {
public:
    // firstAnswerBytes below 0: nothing is cut.
    CuttingRelay(int serverPort, std::int64_t firstAnswerBytes);
    ~CuttingRelay();
    CuttingRelay(const CuttingRelay&) = delete;
    CuttingRelay& operator=(const CuttingRelay&) = delete;

    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString& path) const;
    int connectionCount() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};
