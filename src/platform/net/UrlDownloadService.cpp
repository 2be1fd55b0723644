#include "platform/net/UrlDownloadService.h"

#include "platform/net/CurlRequest.h"
#include "platform/host/MonotonicTick.h"
#include "platform/net/PartialDownload.h"
#include "platform/net/ResponseHeaders.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace platform {

namespace {

// Large reads keep the number of write calls (and notifications) per
// gigabyte low; the buffer is allocated once per transfer.
constexpr long kReceiveBufferBytes = 1024 * 1024;

// While the server sends nothing the caller still hears from us this
// often, so an interface that pumps its events from the notifications
// stays responsive and a cancel is seen quickly.
constexpr int kQuietNotifyMs = 25;

// While data pours in (loopback, a fast network) one pass of the transfer
// loop can read for a long time; the write callback then reports in at
// least this often, so the window is never left unserved for long.
constexpr qint64 kFlowNotifyMs = 5;

class CurlTransferHandle final : public TransferHandle {
public:
    void abort() override { aborted_.store(true, std::memory_order_relaxed); }
    bool aborted() const { return aborted_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> aborted_{false};
};

// Whether a complete file is flushed to the disk before it is named.
std::atomic<bool> durableDownloads{true};

class MultiHandle {
public:
    explicit MultiHandle(CURL* easy) : easy_(easy), multi_(curl_multi_init()) {}
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

std::u16string effectiveAddress(CURL* handle)
{
    const char* address = nullptr;
    curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &address);
    return address ? QString::fromUtf8(address).toStdU16String() : std::u16string();
}

// Asked of one attempt when the server's answer cannot continue the bytes
// kept from before: they are dropped and the file is asked for whole.
constexpr int kRestartFromZero = -1;

class Download {
public:
    Download(const QString& address, const QString& targetPath, TransferObserver& observer)
        : address_(address),
          request_(std::make_unique<CurlRequest>(address)),
          file_(targetPath),
          observer_(observer),
          statusText_(address.toStdU16String())
    {
        errorBuffer_[0] = '\0';
    }

    bool valid() const { return request_->valid(); }

    int run()
    {
        observer_.transferStarted(handle_);
        notify(kStatusFindingResource);
        const int result = transfer();
        if (result == kDownloadComplete) {
            observer_.transferStopped(result, nullptr);
            return result;
        }
        // Only a transfer that broke off is worth continuing; a cancel, an
        // error page or a file that cannot be written is not.
        if (result == kDownloadTransferFailed || result == kDownloadIncomplete)
            file_.keepForResume();
        else
            file_.discard();
        observer_.transferStopped(result, errorText(result).c_str());
        return result;
    }

private:
    int transfer()
    {
        if (handle_->aborted())
            return kDownloadAborted;
        if (!file_.nameFits() || !file_.open())
            return kDownloadFileError;
        const int result = attempt(file_.resumableBytes(request_->address()));
        if (result != kRestartFromZero)
            return result;
        request_ = std::make_unique<CurlRequest>(address_);
        if (!request_->valid())
            return kDownloadServiceUnavailable;
        return attempt(0);
    }

    int attempt(qint64 resumeFrom)
    {
        resumeFrom_ = resumeFrom;
        offset_ = written_ = announced_ = total_ = 0;
        decided_ = restartNeeded_ = writeFailed_ = false;
        refusedStatus_ = 0;
        CURL* handle = request_->handle();
        if (resumeFrom > 0) {
            curl_easy_setopt(handle, CURLOPT_RANGE, QByteArray::number(resumeFrom).append('-').constData());
            // The server sends the rest only if the file is still the one
            // the kept bytes came from, and the whole file otherwise.
            request_->addHeader("If-Range: " + file_.record().validator);
        }
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Download::receiveFromCurl);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
        // An error page must never end up stored as the file.
        curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer_);

        MultiHandle multi(handle);
        if (!multi.valid() || !multi.add())
            return kDownloadServiceUnavailable;

        notify(kStatusConnecting);
        long redirectsSeen = 0;
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                return kDownloadTransferFailed;
            if (handle_->aborted())
                return kDownloadAborted;
            if (decided_) {
                reportData();
            } else {
                long redirects = 0;
                curl_easy_getinfo(handle, CURLINFO_REDIRECT_COUNT, &redirects);
                if (redirects != redirectsSeen) {
                    redirectsSeen = redirects;
                    statusText_ = effectiveAddress(handle);
                    notify(kStatusRedirecting);
                } else {
                    notify(kStatusConnecting);
                }
            }
            // An abort asked for inside the notification stops the
            // transfer here, before another byte is read.
            if (handle_->aborted())
                return kDownloadAborted;
            if (!running)
                break;
            if (curl_multi_poll(multi.get(), nullptr, 0, kQuietNotifyMs, nullptr) != CURLM_OK)
                return kDownloadTransferFailed;
        }
        return finish(multi.finalResult());
    }

    int finish(CURLcode curlResult)
    {
        curlResult_ = curlResult;
        if (restartNeeded_)
            return kRestartFromZero;
        if (refusedStatus_)
            return kDownloadHttpError;
        if (writeFailed_)
            return kDownloadFileError;
        status_ = request_->responseCode();
        if (curlResult_ == CURLE_HTTP_RETURNED_ERROR)
            return resumeFrom_ > 0 && status_ == 416 ? kRestartFromZero : kDownloadHttpError;
        if (curlResult_ != CURLE_OK)
            return kDownloadTransferFailed;
        // Anything but a 2xx here (a 304, a redirect without a target) is
        // not the file that was asked for.
        if (status_ < 200 || status_ > 299)
            return kDownloadHttpError;
        // An empty body never reached receive().
        if (!decided_ && !decideOnResponse())
            return restartNeeded_ ? kRestartFromZero : refusedStatus_ ? kDownloadHttpError : kDownloadFileError;
        if ((announced_ > 0 && written_ != announced_) || (total_ > 0 && offset_ + written_ != total_))
            return kDownloadIncomplete;
        notify(kStatusEndDownloadData);
        // A cancel in that last notification still wins.
        if (handle_->aborted())
            return kDownloadAborted;
        if (!file_.commit(durableDownloads.load(std::memory_order_relaxed)))
            return kDownloadFileError;
        return kDownloadComplete;
    }

    // Decided once the answer's headers are in: whether its body continues
    // the kept bytes, starts the file afresh, or is not the file at all.
    // Only a 200, the exact continuation that was asked for, or a 206 that
    // holds the whole file from its first byte may ever become the lecture;
    // anything else (a 204, a 203, a 206 with a range that was not asked
    // for) would store a fragment under the lecture's name.
    bool decideOnResponse()
    {
        decided_ = true;
        CURL* handle = request_->handle();
        const long status = request_->responseCode();
        const std::optional<qint64> length = announcedLength(handle);
        announced_ = length.value_or(0);
        const QByteArray validator = responseValidator(handle);
        std::optional<ContentRange> range;
        if (status == 206)
            range = parseContentRange(lastResponseHeader(handle, "Content-Range").value_or(QByteArray()));

        if (length && range && resumeFrom_ > 0 && continuesKeptBytes(*range, validator)) {
            offset_ = resumeFrom_;
            total_ = range->last + 1;
            return true;
        }
        const bool wholeFileAsRange =
            range && resumeFrom_ == 0 && range->first == 0 && range->total > 0 && range->last == range->total - 1;
        if (length && (status == 200 || wholeFileAsRange)) {
            offset_ = 0;
            total_ = wholeFileAsRange ? range->total : announced_;
            if (!file_.restart({request_->address(), validator, total_})) {
                writeFailed_ = true;
                return false;
            }
            return true;
        }
        // Kept bytes the server would not continue are dropped and the file
        // asked for whole, once; a request for the whole file that gets no
        // whole file fails.
        if (resumeFrom_ > 0)
            restartNeeded_ = true;
        else
            refusedStatus_ = status;
        return false;
    }

    bool continuesKeptBytes(const ContentRange& range, const QByteArray& validator) const
    {
        const PartialDownload::Record& kept = file_.record();
        const qint64 total = range.total > 0 ? range.total : kept.total;
        return range.first == resumeFrom_ && total > 0 && range.last == total - 1
               && (kept.total == 0 || total == kept.total) && (validator.isEmpty() || validator == kept.validator);
    }

    static size_t receiveFromCurl(char* data, size_t size, size_t count, void* context)
    {
        return static_cast<Download*>(context)->receive(data, size * count);
    }

    size_t receive(const char* data, size_t bytes)
    {
        if (handle_->aborted())
            return 0;
        if (!decided_ && !decideOnResponse())
            return 0;
        if (!file_.append(data, bytes)) {
            writeFailed_ = true;
            return 0;
        }
        written_ += static_cast<qint64>(bytes);
        if (monotonicMilliseconds() - lastReportMs_ >= kFlowNotifyMs) {
            reportData();
            // An abort asked for inside that report ends the transfer here.
            if (handle_->aborted())
                return 0;
        }
        return bytes;
    }

    // Data has come: the first report says so, the later ones say how much.
    void reportData()
    {
        if (!beganData_) {
            beganData_ = true;
            statusText_ = effectiveAddress(request_->handle());
            notify(kStatusBeginDownloadData);
        } else {
            notify(kStatusDownloadingData);
        }
    }

    // Progress counts the whole file: a resumed transfer starts where the
    // kept bytes end.
    void notify(qint32 status)
    {
        lastReportMs_ = monotonicMilliseconds();
        const qint64 total = total_ > 0 ? total_ : (announced_ > 0 ? offset_ + announced_ : 0);
        observer_.transferProgressed(offset_ + written_, total, status, statusText_.c_str());
    }

    std::u16string errorText(int result) const
    {
        switch (result) {
        case kDownloadAborted:
            return u"aborted";
        case kDownloadHttpError:
            if (refusedStatus_)
                return QStringLiteral("HTTP status %1 without the whole file").arg(refusedStatus_).toStdU16String();
            return QStringLiteral("HTTP status %1").arg(status_ ? status_ : request_->responseCode()).toStdU16String();
        case kDownloadIncomplete:
            return u"the body ended before the announced length";
        case kDownloadFileError:
            return u"the file could not be written";
        default:
            if (errorBuffer_[0] != '\0')
                return QString::fromUtf8(errorBuffer_).toStdU16String();
            return QString::fromUtf8(curl_easy_strerror(curlResult_)).toStdU16String();
        }
    }

    QString address_;
    std::unique_ptr<CurlRequest> request_;
    PartialDownload file_;
    TransferObserver& observer_;
    std::shared_ptr<CurlTransferHandle> handle_ = std::make_shared<CurlTransferHandle>();
    std::u16string statusText_;
    char errorBuffer_[CURL_ERROR_SIZE];
    CURLcode curlResult_ = CURLE_OK;
    long status_ = 0;
    bool beganData_ = false;
    qint64 lastReportMs_ = 0;

    // The attempt under way.
    qint64 resumeFrom_ = 0;  // the kept bytes asked to be continued
    qint64 offset_ = 0;      // where this body starts in the file
    qint64 written_ = 0;     // bytes of this body stored
    qint64 announced_ = 0;   // this body's Content-Length, 0 when none
    qint64 total_ = 0;       // the whole file's size, 0 when unknown
    bool decided_ = false;  // the answer's headers are in: continue or start afresh
    bool restartNeeded_ = false;
    bool writeFailed_ = false;
    long refusedStatus_ = 0;  // an answer that was not the file asked for
};

}  // namespace

int downloadToFile(const QString& address, const QString& targetPath, TransferObserver& observer)
{
    Download download(address, targetPath, observer);
    if (!download.valid())
        return kDownloadServiceUnavailable;
    return download.run();
}

void setDurableDownloads(bool durable)
{
    durableDownloads.store(durable, std::memory_order_relaxed);
}

}  // namespace platform
