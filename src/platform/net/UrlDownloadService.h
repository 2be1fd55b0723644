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
    kDownloadHttpError = 3,       // the final answer was an error, or not the file asked for
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
// kDownloadComplete exactly when the whole file (the body of a 200 answer
// after redirects, complete against its Content-Length; a 206 whose range is
// the whole file; or the rest asked for, joined to bytes kept from before) is
// stored at targetPath. The body goes to a hidden partial file beside the
// target (see PartialDownload) and is renamed onto the target only when
// complete; whatever was at targetPath before stays as it was until then.
// A transfer that broke off (cut, stalled, the process ended) keeps its
// bytes for the next call with the same address and target, which asks
// the server for the rest only; an abort, an error status or a name the
// file system cannot take keeps nothing. The progress reported counts the
// whole file, kept bytes included.
int downloadToFile(const QString& address, const QString& targetPath, TransferObserver& observer);

// Whether a complete file's data is flushed to the disk before it gets its
// name, and its folder after, so that a file reported as stored survives a
// power cut. Always on in the program; the download benchmark turns it off
// to measure what it costs.
void setDurableDownloads(bool durable);

}  // namespace platform
