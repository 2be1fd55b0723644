#pragma once

#include "platform/net/UrlDownloadService.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Downloads one address into one file with a blocking call and reports the
// progress as a throttled signal. While the call blocks, the window's
// events are pumped from inside the progress notifications, so a cancel
// click (abort) is handled inside the very download it cancels.
class DownloadEngine : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a clock that never goes back.
    using TickSource = std::function<qint64()>;

    explicit DownloadEngine(QObject* parent = nullptr);
    // Tests drive the throttle with a clock of their own.
    explicit DownloadEngine(TickSource tickSource, QObject* parent = nullptr);
    // Gives back the transfer handle's extra reference but does not abort: a
    // transfer still running goes on without reporting to anyone.
    ~DownloadEngine() override;

    // Blocks until the transfer has ended; true exactly when the complete
    // file is stored at target. False at once while a download is running.
    bool start(const QString& source, const QString& target);
    // Asks the running transfer to stop and returns at once; the blocked
    // start then returns false.
    void abort();

    // The service's notifications. Public so that tests can drive the
    // throttle directly; the service reaches them through a private observer.
    void onTransferStarted(std::shared_ptr<platform::TransferHandle> handle);
    void onTransferProgress(qint64 received, qint64 total, qint32 statusCode, const char16_t* statusText);
    void onTransferStopped(qint32 result, const char16_t* error);

signals:
    // Raised at most every 100 ms and only with some progress. Meant for a
    // direct connection: the handler runs to its end before the download
    // goes on.
    void progressed(qint64 received, qint64 total, qint32 speed, qint32 statusCode, const QString& statusText);

private:
    class Observer;

    qint64 now() const { return tickSource_(); }
    static void pumpEvents();

    // Outlives this object while a transfer that was started through it
    // still runs, so late notifications find no dangling owner.
    std::shared_ptr<Observer> sink_;
    TickSource tickSource_;

    std::shared_ptr<platform::TransferHandle> handle_;
    // The extra reference on handle_ taken while a transfer holds it.
    std::shared_ptr<platform::TransferHandle> heldHandle_;
    bool downloading_ = false;
    bool holdsHandle_ = false;
    qint64 startTick_ = 0;
    qint64 lastTick_ = 0;
};
