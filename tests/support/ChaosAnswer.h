// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/ChaosLectures.h"
#include "support/ChaosServer.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <string>

// What a ChaosServer reads of a request: the path and a "Range: bytes=N-"
// with its If-Range.
struct ChaosRequest {
    std::string path;
    std::optional<std::int64_t> rangeFrom;
    std::string ifRange;
};

// Reads one request's head from the connection; nothing when the client
// sends none within a few seconds, or the server is stopping.
std::optional<ChaosRequest> readChaosRequest(int fd, const std::atomic<bool>& stopping);

// One answer of a ChaosServer: made as a sound server would answer the
// request, then spoiled by a fault, and written to the connection.
class ChaosAnswer {
public:
    using Fault = ChaosServer::Fault;
    enum class Sent { AsAnnounced, Broken, LongStallWaitedOut };

    static ChaosAnswer notFound();
    // The sound answer to the request for this version of a lecture.
    ChaosAnswer(int lecture, const ChaosLectures::Served& served, const ChaosRequest& request);

    // Whether the fault can spoil this answer: a body fault needs a body,
    // a 200 to a range needs a range that would have been honoured.
    bool canInject(Fault fault) const;
    // Its details (where the body breaks off or pauses, which offset,
    // which length) are drawn from random.
    void inject(Fault fault, std::mt19937_64& random, std::chrono::milliseconds shortStall,
                std::chrono::milliseconds longStall);
    Fault fault() const { return fault_; }
    // A 206 from the very byte the request asked for.
    bool continuesRange(const ChaosRequest& request) const;

    // Writes the answer; a fault may leave it broken off. The connection
    // is for the caller to close (or reset).
    Sent send(int fd, const std::atomic<bool>& stopping) const;

private:
    ChaosAnswer() = default;
    void answerWith(int status, std::string contentRange, std::int64_t from, std::int64_t span);
    bool sendBody(int fd, const std::atomic<bool>& stopping, bool& waitedOut) const;

    Fault fault_ = Fault::None;
    int lecture_ = -1;
    int version_ = 0;
    std::int64_t size_ = 0;
    std::string validatorHeader_;
    std::string validator_;
    int status_ = 404;
    std::string contentRange_;
    std::string text_;  // the body of an error answer
    // The body: span bytes of the version from from.
    std::int64_t from_ = 0;
    std::int64_t span_ = 0;
    std::optional<std::int64_t> announced_;  // a Content-Length other than the body's
    std::int64_t breakAt_ = -1;  // body bytes after which the connection ends
    bool resetBeforeAnswer_ = false;
    std::int64_t pauseAt_ = -1;
    std::chrono::milliseconds pause_{0};
    bool trickle_ = false;
};
