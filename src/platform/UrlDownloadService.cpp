#include "platform/UrlDownloadService.h"

#include "platform/CurlRequest.h"
#include "platform/MonotonicTick.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>

#include <fcntl.h>
#include <unistd.h>

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

// The file the body goes to while it arrives. Only a complete body is
// renamed onto the target, so a half-downloaded lecture never sits under
// its real name and an earlier good copy survives a failed attempt.
//
// Where the file system allows, the file has no name at all until it is
// complete, so a process that ends mid-transfer (the exit command, a crash,
// a power cut) leaves nothing behind. Elsewhere it is written as
// target + ".part", which the next attempt at the same lecture overwrites.
class PartFile {
public:
    explicit PartFile(const QString& targetPath)
        : targetName_(QFile::encodeName(targetPath)), partName_(targetName_ + ".part")
    {
    }
    ~PartFile() { discard(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool open()
    {
        const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(targetName_)).absolutePath());
        fd_ = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return true;
        fd_ = ::open(partName_.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        named_ = fd_ >= 0;
        return named_;
    }

    bool write(const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(fd_, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            size -= static_cast<size_t>(written);
        }
        return true;
    }

    bool commit()
    {
        if (!named_ && !giveName())
            return false;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            return false;
        if (std::rename(partName_.constData(), targetName_.constData()) != 0)
            return false;
        named_ = false;
        return true;
    }

    void discard()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (named_)
            ::unlink(partName_.constData());
        named_ = false;
    }

private:
    // A name can only be linked to a file that has none where nothing
    // else has it, hence the step through the ".part" name, whose earlier
    // holder is a leftover of an attempt that did not finish.
    bool giveName()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, partName_.constData(), AT_SYMLINK_FOLLOW) == 0) {
                named_ = true;
                return true;
            }
            if (errno != EEXIST)
                return false;
            ::unlink(partName_.constData());
        }
        return false;
    }

    QByteArray targetName_;
    QByteArray partName_;
    int fd_ = -1;
    // Whether partName_ names the file, so that it must go if not renamed.
    bool named_ = false;
};

// Where the body goes while curl delivers it, and how much of it came.
struct Body {
    CURL* handle = nullptr;
    PartFile* file = nullptr;
    const CurlTransferHandle* transfer = nullptr;
    qint64 written = 0;
    qint64 announced = 0;  // 0 when the server sent no Content-Length
    bool started = false;
    bool writeFailed = false;
    // Reports progress from inside a long read; set once data flows.
    std::function<void()> reportFlow;
    qint64 lastReportMs = 0;
};

size_t writeBody(char* data, size_t size, size_t count, void* context)
{
    Body& body = *static_cast<Body*>(context);
    const size_t bytes = size * count;
    if (body.transfer->aborted())
        return 0;
    if (!body.started) {
        body.started = true;
        curl_off_t length = -1;
        curl_easy_getinfo(body.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        body.announced = length > 0 ? static_cast<qint64>(length) : 0;
    }
    if (!body.file->write(data, bytes)) {
        body.writeFailed = true;
        return 0;
    }
    body.written += static_cast<qint64>(bytes);
    if (body.reportFlow && monotonicMilliseconds() - body.lastReportMs >= kFlowNotifyMs) {
        body.reportFlow();
        // An abort asked for inside that report ends the transfer here.
        if (body.transfer->aborted())
            return 0;
    }
    return bytes;
}

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

class Download {
public:
    Download(const QString& address, const QString& targetPath, TransferObserver& observer)
        : request_(address), file_(targetPath), observer_(observer), statusText_(address.toStdU16String())
    {
        errorBuffer_[0] = '\0';
    }

    bool valid() const { return request_.valid(); }

    int run()
    {
        observer_.transferStarted(handle_);
        notify(kStatusFindingResource);
        const int result = transfer();
        if (result == kDownloadComplete) {
            observer_.transferStopped(result, nullptr);
        } else {
            file_.discard();
            observer_.transferStopped(result, errorText(result).c_str());
        }
        return result;
    }

private:
    int transfer()
    {
        if (handle_->aborted())
            return kDownloadAborted;
        if (!file_.open())
            return kDownloadFileError;

        CURL* handle = request_.handle();
        body_.handle = handle;
        body_.file = &file_;
        body_.transfer = handle_.get();
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeBody);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body_);
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
        // An error page must never end up stored as the file.
        curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer_);

        MultiHandle multi(handle);
        if (!multi.valid() || !multi.add())
            return kDownloadServiceUnavailable;

        notify(kStatusConnecting);
        long redirectsSeen = 0;
        body_.reportFlow = [this, handle] { reportData(handle); };
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                return kDownloadTransferFailed;
            if (handle_->aborted())
                return kDownloadAborted;
            if (body_.started) {
                reportData(handle);
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

        curlResult_ = multi.finalResult();
        if (body_.writeFailed)
            return kDownloadFileError;
        if (curlResult_ == CURLE_HTTP_RETURNED_ERROR)
            return kDownloadHttpError;
        if (curlResult_ != CURLE_OK)
            return kDownloadTransferFailed;
        // Anything but a 2xx here (a 304, a redirect without a target) is
        // not the file that was asked for.
        status_ = request_.responseCode();
        if (status_ < 200 || status_ > 299)
            return kDownloadHttpError;
        if (body_.announced > 0 && body_.written != body_.announced)
            return kDownloadIncomplete;
        notify(kStatusEndDownloadData);
        if (!file_.commit())
            return kDownloadFileError;
        return kDownloadComplete;
    }

    // Data has come: the first report says so, the later ones say how much.
    void reportData(CURL* handle)
    {
        if (!beganData_) {
            beganData_ = true;
            statusText_ = effectiveAddress(handle);
            notify(kStatusBeginDownloadData);
        } else {
            notify(kStatusDownloadingData);
        }
    }

    void notify(qint32 status)
    {
        body_.lastReportMs = monotonicMilliseconds();
        observer_.transferProgressed(body_.written, body_.announced, status, statusText_.c_str());
    }

    std::u16string errorText(int result) const
    {
        switch (result) {
        case kDownloadAborted:
            return u"aborted";
        case kDownloadHttpError:
            return QStringLiteral("HTTP status %1").arg(status_ ? status_ : request_.responseCode()).toStdU16String();
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

    CurlRequest request_;
    PartFile file_;
    TransferObserver& observer_;
    std::shared_ptr<CurlTransferHandle> handle_ = std::make_shared<CurlTransferHandle>();
    Body body_;
    bool beganData_ = false;
    std::u16string statusText_;
    char errorBuffer_[CURL_ERROR_SIZE];
    CURLcode curlResult_ = CURLE_OK;
    long status_ = 0;
};

}  // namespace

int downloadToFile(const QString& address, const QString& targetPath, TransferObserver& observer)
{
    Download download(address, targetPath, observer);
    if (!download.valid())
        return kDownloadServiceUnavailable;
    return download.run();
}

}  // namespace platform
