// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"
#include "platform/net/ResponseHeaders.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <memory>

namespace platform {

class CurlRequest;

// A GET whose body is handed to the caller piece by piece as it arrives,
// on the calling thread, which it blocks until the transfer has ended. The
// caller looks at the answer's status and headers (headers()) when the
// first piece comes, and stops the transfer by returning false from its
// receiver; it hears from the transfer regularly even while the server
// sends nothing, so an interface that serves its events from there stays
// responsive and a stop is seen within a few milliseconds.
class StreamingGet {
public:
    // Called inside run(). Returning false from either stops the transfer
    // before another byte is read; run() then ends as Stopped.
    class Receiver {
    public:
        // A piece of the body of the answer that carries it (after any
        // redirects). An empty body is never handed over.
        virtual bool received(QByteArrayView bytes) = 0;
        // The transfer checks in: after every pass of its loop, at least
        // every 25 ms while the server is quiet, and from inside a long
        // read at least every 5 ms while data pours in.
        virtual bool checkIn() = 0;

    protected:
        ~Receiver() = default;
    };

    struct Result {
        enum class Outcome {
            Finished,  // the whole answer came; its status is below 400
            Stopped,  // the receiver stopped it
            HttpError,  // the answer's status was 400 or above; its body was not handed over
            NetworkError,  // no answer, or not all of it: refused, timed out, stalled, cut off, not http(s)
        };
        Outcome outcome = Outcome::NetworkError;
        long httpStatus = 0;  // the last answer's, 0 when none came
        QString errorString;  // libcurl's reason, for HttpError and NetworkError
    };

    // The address is sent as a browser would (normalisedAddress), under
    // the request's shared options and the connect and stall limits given.
    explicit StreamingGet(const QString& address, const NetworkLimits& limits = {});
    ~StreamingGet();
    StreamingGet(const StreamingGet&) = delete;
    StreamingGet& operator=(const StreamingGet&) = delete;

    // The address as it is sent.
    QByteArray address() const;
    // Asks for the bytes from first on, but only while the file still has
    // validator ("Range" with "If-Range"); a server that finds it changed
    // sends the whole file instead. Before run().
    void requestRangeFrom(qint64 first, const QByteArray& validator);
    // Failures other than a stop are logged under "kardelo.net".
    Result run(Receiver& receiver);
    // The last answer's status and headers; valid while this lives.
    ResponseHeaders headers() const;

private:
    static size_t receiveFromCurl(char* data, size_t size, size_t count, void* context);
    Result ended(Result::Outcome outcome, const QString& errorString = {}) const;

    std::unique_ptr<char[]> errorBuffer_;  // before the request, which writes to it until it goes
    std::unique_ptr<CurlRequest> request_;
    Receiver* receiver_ = nullptr;
    std::chrono::milliseconds stallTimeout_;
    bool stopped_ = false;
    qint64 lastCheckInMs_ = 0;
    qint64 lastByteMs_ = 0;
};

}  // namespace platform
