// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/Transfer.h"

#include "platform/host/MonotonicTick.h"
#include "platform/net/CurlRequest.h"
#include "platform/net/NetLog.h"
#include "platform/net/NetworkAccess.h"

#include <QPointer>

namespace platform {

namespace {

// Catalogues run to megabytes: fewer, larger reads keep the copy cheap.
constexpr long kTextBufferBytes = 256 * 1024;
// Downloads run to hundreds of megabytes: large reads keep the number of
// pieces handed over per gigabyte low.
constexpr long kStreamBufferBytes = 1024 * 1024;

}  // namespace

Transfer::Transfer(NetworkAccess* access, Kind kind, const QString& address, const NetworkLimits& limits)
    : access_(access),
      kind_(kind),
      request_(std::make_unique<CurlRequest>(address, limits)),
      textLimit_(limits.textBodyLimit),
      stallMs_(std::chrono::milliseconds(limits.stallTimeout).count())
{
    CURL* handle = request_->handle();
    if (!handle)
        return;
    curl_easy_setopt(handle, CURLOPT_PRIVATE, this);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Transfer::receiveFromCurl);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Transfer::headerFromCurl);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer_);
    // NetworkAccess keeps the stall limit, from the last byte. libcurl's own
    // check averages over seconds: it notices a stall late, and can take a
    // steady trickle for one.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, 0L);
    if (kind == Kind::Text) {
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kTextBufferBytes);
        // A server that trickles a byte now and then never trips the stall
        // limit; this one bounds the whole wait.
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(std::chrono::milliseconds(limits.textFetchTimeout).count()));
        curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.textBodyLimit));
    } else {
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kStreamBufferBytes);
        // An error page is never handed over as if it were the body asked for.
        curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    }
}

Transfer::~Transfer()
{
    if (access_)
        access_->forget(this);
}

CURL* Transfer::handle() const
{
    return request_->handle();
}

QByteArray Transfer::address() const
{
    return request_->address();
}

QByteArray Transfer::takeBody()
{
    return std::exchange(body_, QByteArray());
}

void Transfer::requestRangeFrom(qint64 first, const QByteArray& validator)
{
    if (kind_ != Kind::Stream || !request_->valid() || inMulti_ || finished_) {
        qCWarning(lcNet) << "GET" << address() << ": a range is asked for only of a stream that has not started";
        return;
    }
    curl_easy_setopt(request_->handle(), CURLOPT_RANGE, QByteArray::number(first).append('-').constData());
    request_->addHeader("If-Range: " + validator);
}

void Transfer::askOnlyIfChanged(const QByteArray& entityTag, const QByteArray& lastModified)
{
    if (kind_ != Kind::Text || !request_->valid() || inMulti_ || finished_) {
        qCWarning(lcNet) << "GET" << address() << ": only a text that has not started is asked for if changed";
        return;
    }
    request_->askOnlyIfChanged(entityTag, lastModified);
}

void Transfer::setReceiver(Receiver receiver)
{
    receiver_ = std::make_shared<Receiver>(std::move(receiver));
}

ResponseHeaders Transfer::headers() const
{
    return ResponseHeaders(*request_);
}

void Transfer::cancel()
{
    if (finished_)
        return;
    if (access_)
        access_->release(this);
    conclude(Result::Outcome::Cancelled);
}

void Transfer::start()
{
    if (finished_ || !access_)
        return;
    if (!request_->valid()) {
        conclude(Result::Outcome::NetworkError, QStringLiteral("libcurl could not make a request"));
        return;
    }
    qCDebug(lcNet) << "GET" << request_->address();
    access_->add(this);
}

void Transfer::concludeFromCurl(CURLcode code)
{
    if (finished_)
        return;
    if (code == CURLE_OK)
        conclude(Result::Outcome::Finished);
    else if (stopped_)
        conclude(Result::Outcome::Stopped);
    else if (overLimit_ || code == CURLE_FILESIZE_EXCEEDED)
        conclude(Result::Outcome::NetworkError,
                 QStringLiteral("the body passes the limit of %1 bytes").arg(textLimit_));
    else
        conclude(code == CURLE_HTTP_RETURNED_ERROR ? Result::Outcome::HttpError : Result::Outcome::NetworkError,
                 request_->failureReason(code, errorBuffer_));
}

void Transfer::conclude(Result::Outcome outcome, const QString& errorString)
{
    finished_ = true;
    result_ = Result{outcome, request_->responseCode(), errorString};
    // Half a catalogue would read as a whole, shorter one.
    if (outcome != Result::Outcome::Finished)
        body_.clear();
    if (outcome == Result::Outcome::NetworkError)
        qCWarning(lcNet) << "GET" << request_->address() << "failed:" << qUtf8Printable(errorString);
    else if (outcome == Result::Outcome::HttpError)
        // Not always a failure: the caller decides (a 416 to a range asked
        // for only means that the whole file is to be asked for).
        qCDebug(lcNet) << "GET" << request_->address() << "answered" << result_.httpStatus;
    QMetaObject::invokeMethod(
        this, [this] { emit finished(); }, Qt::QueuedConnection);
}

void Transfer::noteProgress()
{
    // One signal for all the pieces that came in one turn of the event loop.
    if (progressPosted_)
        return;
    progressPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this] { reportProgress(); }, Qt::QueuedConnection);
}

void Transfer::reportProgress()
{
    progressPosted_ = false;
    if (result_.outcome == Result::Outcome::Cancelled && finished_)
        return;
    curl_off_t total = -1;
    curl_easy_getinfo(request_->handle(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
    emit progressed(received_, total);
}

void Transfer::detachFromHandle()
{
    CURL* handle = request_->handle();
    curl_easy_setopt(handle, CURLOPT_PRIVATE, nullptr);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, nullptr);
}

size_t Transfer::receiveFromCurl(char* data, size_t size, size_t count, void* context)
{
    auto* self = static_cast<Transfer*>(context);
    const size_t bytes = size * count;
    // Returning short ends the transfer with a write error.
    if (!self || self->finished_)
        return 0;
    self->lastByteMs_ = monotonicMilliseconds();
    const QByteArrayView piece(data, static_cast<qsizetype>(bytes));
    if (self->kind_ == Kind::Text) {
        // A body without end would take all memory.
        if (self->body_.size() + piece.size() > self->textLimit_) {
            self->overLimit_ = true;
            return 0;
        }
        self->body_.append(piece);
    } else if (self->receiver_) {
        const std::shared_ptr<Receiver> receiver = self->receiver_;
        const QPointer<Transfer> alive(self);
        const bool goOn = (*receiver)(piece);
        if (!alive || self->finished_)
            return 0;
        if (!goOn) {
            self->stopped_ = true;
            return 0;
        }
    }
    self->received_ += static_cast<qint64>(bytes);
    self->noteProgress();
    return bytes;
}

size_t Transfer::headerFromCurl(char*, size_t size, size_t count, void* context)
{
    auto* self = static_cast<Transfer*>(context);
    if (!self || self->finished_)
        return 0;
    // A header is a byte from the server too, as far as the stall limit goes.
    self->lastByteMs_ = monotonicMilliseconds();
    return size * count;
}

}  // namespace platform
