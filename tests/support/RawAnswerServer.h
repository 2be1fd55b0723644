// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An HTTP server on 127.0.0.1 that answers every request with the same
// bytes, written as the test gives them and then the connection closed: a
// head no HTTP library would send (a header line of megabytes, thousands
// of headers, a length past any file) and bodies of any size. Each piece is
// written its number of times on the fly, so a 100 MB answer costs the
// test no memory. One connection at a time, on a thread of its own.
class RawAnswerServer {
public:
    struct Piece {
        std::string bytes;
        std::int64_t times = 1;
    };
    using Answer = std::vector<Piece>;

    RawAnswerServer();
    ~RawAnswerServer();
    RawAnswerServer(const RawAnswerServer&) = delete;
    RawAnswerServer& operator=(const RawAnswerServer&) = delete;

    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString& path) const;
    // What every later request gets.
    void setAnswer(Answer answer);
    int requestCount() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};
