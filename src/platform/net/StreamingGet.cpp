// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/StreamingGet.h"

#include "platform/host/MonotonicTick.h"
#include "platform/net/CurlRequest.h"
#include "platform/net/NetLog.h"

namespace platform {

namespace {

// Large reads keep the number of write calls (and check-ins) per gigabyte
// low; the buffer is allocated once per transfer.
constexpr long kReceiveBufferBytes = 1024 * 1024;

// While the server sends nothing the receiver still hears from the
// transfer this often.
constexpr int kQuietCheckInMs = 25;

// While data pours in (loopback, a fast network) one pass of the transfer
// loop can read for a long time; the write callback then checks in at
// least this often, so the window is never left unserved for long.
constexpr qint64 kFlowCheckInMs = 5;

class MultiHandle {
public:
    explicit MultiHandle(CURL* easy) : easy_(easy), multi_(curl_multi_init()) { }
    ~MultiHandle()
    {
        if (added_)
            curl_multi_remove_handle(multi_, easy_);
        if (multi_)
            curl_multi_cleanup(multi_);
    }
    MultiHandle(const MultiHandle&) = delete;
    MultiHandle& operator=(const MultiHandle&) = delete;

    bool valid() const { return multi_ != nullptr; }
    CURLM* get() const { return multi_; }
    bool add()
    {
        added_ = curl_multi_add_handle(multi_, easy_) == CURLM_OK;
        return added_;
    }
    CURLcode finalResult() const
    {
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
                return message->data.result;
        }
        return CURLE_RECV_ERROR;
    }

private:
    CURL* easy_;
    CURLM* multi_;
    bool added_ = false;
};

}  // namespace

StreamingGet::StreamingGet(const QString& address, const NetworkLimits& limits)
    : errorBuffer_(std::make_unique<char[]>(CURL_ERROR_SIZE)),
      request_(std::make_unique<CurlRequest>(address, limits)),
      stallTimeout_(limits.stallTimeout)
{
    errorBuffer_[0] = '\0';
}

StreamingGet::~StreamingGet() = default;

QByteArray StreamingGet::address() const
{
    return request_->address();
}

void StreamingGet::requestRangeFrom(qint64 first, const QByteArray& validator)
{
    if (!request_->valid())
        return;
    curl_easy_setopt(request_->handle(), CURLOPT_RANGE, QByteArray::number(first).append('-').constData());
    request_->addHeader("If-Range: " + validator);
}

ResponseHeaders StreamingGet::headers() const
{
    return ResponseHeaders(*request_);
}

StreamingGet::Result StreamingGet::run(Receiver& receiver)
{
    if (!request_->valid())
        return ended(Result::Outcome::NetworkError, QStringLiteral("libcurl could not make a request"));
    receiver_ = &receiver;
    stopped_ = false;
    CURL* handle = request_->handle();
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &StreamingGet::receiveFromCurl);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // An error page is never handed over as if it were the body asked for.
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer_.get());

    MultiHandle multi(handle);
    if (!multi.valid() || !multi.add())
        return ended(Result::Outcome::NetworkError, QStringLiteral("libcurl could not start the transfer"));
    qCDebug(lcNet) << "GET" << request_->address();

    lastByteMs_ = monotonicMilliseconds();
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            return ended(Result::Outcome::NetworkError, QStringLiteral("libcurl's transfer loop failed"));
        if (stopped_)
            return ended(Result::Outcome::Stopped);
        lastCheckInMs_ = monotonicMilliseconds();
        // A stop asked for here ends the transfer before another byte is read.
        if (!receiver.checkIn())
            return ended(Result::Outcome::Stopped);
        if (!running)
            break;
        // libcurl's own low-speed check averages over its last seconds, so
        // after data has flowed it notices a stall seconds late; the stall
        // limit is kept here, from the last byte.
        if (lastCheckInMs_ - lastByteMs_ >= stallTimeout_.count())
            return ended(Result::Outcome::NetworkError,
                         QStringLiteral("no data for %1 ms").arg(lastCheckInMs_ - lastByteMs_));
        if (curl_multi_poll(multi.get(), nullptr, 0, kQuietCheckInMs, nullptr) != CURLM_OK)
            return ended(Result::Outcome::NetworkError, QStringLiteral("libcurl could not wait for the server"));
    }

    const CURLcode result = multi.finalResult();
    if (result == CURLE_OK)
        return ended(Result::Outcome::Finished);
    return ended(result == CURLE_HTTP_RETURNED_ERROR ? Result::Outcome::HttpError : Result::Outcome::NetworkError,
                 request_->failureReason(result, errorBuffer_.get()));
}

StreamingGet::Result StreamingGet::ended(Result::Outcome outcome, const QString& errorString) const
{
    Result result{outcome, request_->responseCode(), errorString};
    switch (outcome) {
    case Result::Outcome::NetworkError:
        qCWarning(lcNet) << "GET" << request_->address() << "failed:" << qUtf8Printable(errorString);
        break;
    case Result::Outcome::HttpError:
        // Not always a failure: the caller decides (a 416 to a range asked
        // for, say, only means that the whole file is to be asked for).
        qCDebug(lcNet) << "GET" << request_->address() << "answered" << result.httpStatus;
        break;
    default:
        break;
    }
    return result;
}

size_t StreamingGet::receiveFromCurl(char* data, size_t size, size_t count, void* context)
{
    auto& self = *static_cast<StreamingGet*>(context);
    const size_t bytes = size * count;
    self.lastByteMs_ = monotonicMilliseconds();
    // Returning short ends the transfer with a write error.
    if (self.stopped_ || !self.receiver_->received(QByteArrayView(data, static_cast<qsizetype>(bytes)))) {
        self.stopped_ = true;
        return 0;
    }
    if (monotonicMilliseconds() - self.lastCheckInMs_ >= kFlowCheckInMs) {
        self.lastCheckInMs_ = monotonicMilliseconds();
        if (!self.receiver_->checkIn()) {
            self.stopped_ = true;
            return 0;
        }
    }
    return bytes;
}

}  // namespace platform
