// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/ChaosLectures.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An HTTP server on 127.0.0.1 that serves ChaosLectures and misbehaves on
// purpose: for each request it picks, from its seed, one of the faults
// below, or none, and counts what it injected. Each connection gets a
// thread of its own, so a client that starts a second download while the
// first one's connection is still open is served too.
//
// It speaks HTTP on raw sockets rather than through cpp-httplib, which
// gives a handler no hold on its connection: a reset, or a body that
// disagrees with its own Content-Length, could not be sent through it.
//
// Without a fault it answers as a sound server does: "Range: bytes=N-"
// with an If-Range naming the current validator (or none) gets a 206 from
// N, or a 416 past the end; any other request the whole lecture (200).
class ChaosServer {
public:
    enum class Fault {
        None,
        CutMidBody,  // the connection closes part-way through the body
        Reset,  // the connection is reset, before the answer or part-way through the body
        ShortStall,  // the body pauses for a quarter of the stall limit
        LongStall,  // the body pauses for two stall limits and ten seconds, or until the client gives up
        Trickle,  // the body comes in small pieces with pauses between
        ServerError,  // 500
        WholeInsteadOfRange,  // 200 with the whole lecture to a range it could honour
        WrongOffset,  // 206 from a byte that was not asked for
        Unsatisfiable,  // 416
        ChangedLecture,  // the lecture changes just before the answer: new bytes, new validator
        WrongLength,  // a Content-Length the body does not reach, or, on a 206, short of its range
    };
    static constexpr int kFaultKinds = int(Fault::WrongLength) + 1;
    static const char* faultName(Fault fault);

    struct Counts {
        std::array<std::uint64_t, kFaultKinds> faults{};
        std::uint64_t requests = 0;
        std::uint64_t rangeRequests = 0;
        std::uint64_t rangesContinued = 0;  // 206 answers from the very byte asked for
        std::uint64_t longStallsWaitedOut = 0;  // long stalls the client did not give up on
    };

    // What a request for a lecture asked for.
    struct Asked {
        std::optional<std::int64_t> rangeFrom;  // none: the whole lecture
        std::string ifRange;
    };

    // seed: every choice of fault and its details; stallLimit: the
    // client's, by which the two stalls are measured.
    ChaosServer(std::uint64_t seed, std::chrono::milliseconds stallLimit);
    ~ChaosServer();
    ChaosServer(const ChaosServer&) = delete;
    ChaosServer& operator=(const ChaosServer&) = delete;

    ChaosLectures& lectures();
    const ChaosLectures& lectures() const;
    QString url(int lecture) const;

    // While calm, every request is answered without a fault.
    void setCalm(bool calm);
    Counts counts() const;
    // 206 answers from the very byte asked for, of one lecture.
    std::uint64_t rangesContinued(int lecture) const;
    // Forgets what was asked for the lecture, and notes the requests for it
    // from now on (the first few).
    void watch(int lecture);
    std::vector<Asked> asked(int lecture) const;
    // Until every connection the server has accepted is closed; false when
    // one is still open after timeout.
    bool waitUntilIdle(std::chrono::milliseconds timeout) const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};
