#pragma once

#include <QString>

#include <memory>

namespace platform {

// The handle of one running transfer. abort() asks the transfer to stop; it
// returns at once and takes effect the next time the service gets control.
// Calling it after the transfer has ended does nothing.
class TransferHandle {
public:
    virtual ~TransferHandle() = default;
    virtual void abort() = 0;
};

// Stages a transfer reports in its progress notifications. Nothing in the
// program interprets them; they are passed on to whoever shows progress.
enum DownloadStatus : qint32 {
    kStatusFindingResource = 1,
    kStatusConnecting = 2,
    kStatusRedirecting = 3,
    kStatusBeginDownloadData = 4,
    kStatusDownloadingData = 5,
    kStatusEndDownloadData = 6,
};

// What downloadToFile returns; only kDownloadComplete means that the
// target file is there.
enum DownloadResult : int {
    kDownloadComplete = 0,
    kDownloadAborted = 1,
    kDownloadTransferFailed = 2,  // no connection, cut off, stalled, bad address
    kDownloadHttpError = 3,       // the final answer was not a 2xx status
    kDownloadIncomplete = 4,      // fewer bytes than the server announced
    kDownloadFileError = 5,       // the file could not be created, written or renamed
    kDownloadServiceUnavailable = 6,
};

// Receives the notifications of one transfer, all on the thread that
// called downloadToFile: transferStarted first, then any number of
// transferProgressed, transferStopped last; none of them when the service cannot
// start at all (kDownloadServiceUnavailable). The texts are NUL-terminated UTF-16,
// valid only during the call, and may be null.
class TransferObserver {
public:
    virtual void transferStarted(std::shared_ptr<TransferHandle> handle) = 0;
    // received: bytes written to the file so far; total: the size the
    // server announced, 0 when it announced none. Notifications keep
    // coming (with the same values) while the transfer waits for the
    // server, so the receiver gets control regularly.
    virtual void transferProgressed(qint64 received, qint64 total, qint32 statusCode,
                                    const char16_t* statusText) = 0;
    virtual void transferStopped(qint32 result, const char16_t* error) = 0;

protected:
    ~TransferObserver() = default;
};

// Downloads address into targetPath, blocking the calling thread; the
// observer is called on that thread while this runs. Returns
// kDownloadComplete exactly when the whole body of a 2xx answer (after
// redirects) is stored at targetPath. The body is written to a file without
// a name (or, where the file system cannot do that, to targetPath + ".part")
// and renamed onto targetPath only when complete; on any failure or abort
// the partial file is removed and whatever was at targetPath before is left
// as it was. A process that ends mid-transfer leaves no partial file where
// the nameless one could be used.
int downloadToFile(const QString& address, const QString& targetPath, TransferObserver& observer);

}  // namespace platform
