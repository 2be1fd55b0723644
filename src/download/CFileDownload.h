#pragma once

#include "platform/UrlDownloadService.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Downloads one address into one file with a blocking call and reports the
// progress as a throttled event. While the call blocks, the interface's
// events are pumped from inside the progress notifications, so a cancel
// click (AbortDownloading) is handled inside the very download it cancels.
class CFileDownload : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a clock that never goes back.
    using TickSource = std::function<qint64()>;

    explicit CFileDownload(QObject* parent = nullptr);
    // Tests drive the throttle with a clock of their own.
    explicit CFileDownload(TickSource tickSource, QObject* parent = nullptr);
    // Gives back the binding's extra reference but does not abort: a
    // transfer still running goes on without reporting to anyone.
    ~CFileDownload() override;

    // Blocks until the transfer has ended; true exactly when the complete
    // file is stored at sDest. False at once while a download is running.
    bool StartDownloading(const QString& sSrc, const QString& sDest);
    // Asks the running transfer to stop and returns at once; the blocked
    // StartDownloading then returns false.
    void AbortDownloading();
    // The NUL-terminated text at lpString: UTF-16 when fUnicode, otherwise
    // narrow text in the local 8-bit encoding. Empty for a null pointer.
    static QString StrFromPtr(const void* lpString, bool fUnicode);

    // The service's notifications. Public so that tests can drive the
    // throttle directly; the service reaches them through a private sink.
    void IBindStatusCallback_OnStartBinding(std::shared_ptr<platform::DownloadBinding> pib);
    void IBindStatusCallback_OnProgress(qint64 ulProgress, qint64 ulProgressMax, qint32 ulStatusCode,
                                        const char16_t* szStatusText);
    void IBindStatusCallback_OnStopBinding(qint32 hresult, const char16_t* szError);

signals:
    // Raised at most every 100 ms and only with some progress. Meant for a
    // direct connection: the handler runs to its end before the download
    // goes on.
    void OnProgress(qint64 lProgress, qint64 lMaxProgress, qint32 lSpeed, qint32 lStatusCode,
                    const QString& sStatusText);

private:
    class BindStatusSink;

    qint64 Now() const { return tickSource_(); }
    static void PumpEvents();

    // Outlives this object while a transfer that was started through it
    // still runs, so late notifications find no dangling owner.
    std::shared_ptr<BindStatusSink> sink_;
    TickSource tickSource_;

    std::shared_ptr<platform::DownloadBinding> oBinding;
    // The extra reference on oBinding taken while a transfer holds it.
    std::shared_ptr<platform::DownloadBinding> oHeldBinding;
    bool fDownloading = false;
    qint32 lHoldsBinding = 0;
    qint64 lStartTick = 0;
    qint64 lLastTick = 0;
};
