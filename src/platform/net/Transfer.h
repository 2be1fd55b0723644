// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"
#include "platform/net/ResponseHeaders.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <curl/curl.h>

#include <functional>
#include <memory>

namespace platform {

class CurlRequest;
class NetworkAccess;

// One GET that NetworkAccess runs on its thread's event loop, under the
// options every request of the program shares (CurlRequest) and the limits
// it was made with: no byte for the stall limit ends it, measured from the
// last byte that came. Failures (not a cancel or a stop) are logged under
// "kardelo.net" with libcurl's reason.
class Transfer : public QObject {
    Q_OBJECT

public:
    struct Result {
        enum class Outcome {
            Finished,  // the whole answer came (a text's whatever its status; a stream's below 400)
            Stopped,  // the receiver stopped it
            HttpError,  // a stream's answer was 400 or above; its body was not handed over
            NetworkError,  // no answer, or not all of it, or a text past its limits
            Cancelled,  // cancel(), or the NetworkAccess went
        };
        Outcome outcome = Outcome::NetworkError;
        long httpStatus = 0;  // the last answer's, 0 when none came
        QString errorString;  // libcurl's reason or the limit hit
    };

    using Receiver = std::function<bool(QByteArrayView)>;

    ~Transfer() override;

    // The address as it is sent.
    QByteArray address() const;
    // A text's body once it has Finished (empty after any other outcome);
    // a stream keeps none.
    QByteArray takeBody();
    // A stream, before it starts: asks for the bytes from first on, but only
    // while the file still has validator ("Range" with "If-Range"); a
    // server that finds it changed sends the whole file instead.
    void requestRangeFrom(qint64 first, const QByteArray& validator);
    // A text, before it starts: asks for it only if it changed since the
    // copy that came with these validators; an unchanged one answers 304,
    // with no body.
    void askOnlyIfChanged(const QByteArray& entityTag, const QByteArray& lastModified);
    // A stream: called with each piece of the body as it arrives, while
    // libcurl works, so it must not wait for the event loop; returning false
    // ends the transfer as Stopped before another byte is read. headers()
    // is valid inside it. Without one, a stream's body is dropped.
    void setReceiver(Receiver receiver);
    // The status and headers of the last answer (after any redirects).
    ResponseHeaders headers() const;
    // Ends it now as Cancelled, quietly; finished still comes once, later.
    void cancel();
    // Whether the result is known (finished may still be on its way).
    bool isFinished() const { return finished_; }
    const Result& result() const { return result_; }

signals:
    // Body bytes of the last answer so far, of total (-1 when unknown).
    void progressed(qint64 received, qint64 total);
    // Exactly once, never from inside libcurl.
    void finished();

private:
    friend class NetworkAccess;

    enum class Kind { Text, Stream };

    Transfer(NetworkAccess* access, Kind kind, const QString& address, const NetworkLimits& limits);
    CURL* handle() const;
    void start();
    void concludeFromCurl(CURLcode code);
    void conclude(Result::Outcome outcome, const QString& errorString = {});
    void noteProgress();
    void reportProgress();
    // So that libcurl, still holding a handle of a transfer deleted inside
    // its call, reaches nothing of it.
    void detachFromHandle();
    static size_t receiveFromCurl(char* data, size_t size, size_t count, void* context);
    static size_t headerFromCurl(char* data, size_t size, size_t count, void* context);

    NetworkAccess* access_;
    const Kind kind_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};  // before request_, which writes to it until it goes
    std::unique_ptr<CurlRequest> request_;
    const qint64 textLimit_;
    const qint64 stallMs_;
    QByteArray body_;
    // Shared so that a receiver that deletes its transfer outlives its call.
    std::shared_ptr<Receiver> receiver_;
    qint64 received_ = 0;
    qint64 lastByteMs_ = 0;
    bool inMulti_ = false;
    bool finished_ = false;
    bool stopped_ = false;
    bool overLimit_ = false;
    bool progressPosted_ = false;
    Result result_;
};

}  // namespace platform
