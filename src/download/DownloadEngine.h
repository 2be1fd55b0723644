// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "download/LectureDownload.h"

#include <QObject>
#include <QString>

#include <functional>

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
    // Tests and benchmarks download with options of their own (shorter
    // limits, no durable flush) and drive the throttle with their own clock.
    explicit DownloadEngine(DownloadOptions options, QObject* parent = nullptr);
    DownloadEngine(DownloadOptions options, TickSource tickSource, QObject* parent = nullptr);
    // Does not abort: a download still running goes on without reporting to
    // anyone, and its start() returns as usual.
    ~DownloadEngine() override;

    // Blocks until the transfer has ended; true exactly when the complete
    // file is stored at target. False at once (Refused) while a download
    // is running.
    bool start(const QString& source, const QString& target);
    // Asks the running download to stop and returns at once; the blocked
    // start then returns false. With nothing running it does nothing. Once
    // it is called a new start is accepted, even before the aborted one
    // has unwound.
    void abort();
    bool isDownloading() const { return running_ != nullptr; }
    // How the start() that returned last ended; Refused before any.
    const DownloadResult& lastResult() const { return lastResult_; }

    // The running download's progress notification. Public so that tests
    // can drive the throttle directly.
    void transferProgressed(qint64 received, qint64 total);

signals:
    // Raised at most every 100 ms and only with some progress. received and
    // total count the whole file (total 0 while unknown); speed is the
    // download's average in whole kilobytes (1024 bytes) per second since
    // its first notification. Meant for a direct connection: the handler
    // runs to its end before the download goes on.
    void progressed(qint64 received, qint64 total, qint32 speed);

private:
    qint64 now() const { return tickSource_(); }
    static void pumpEvents();

    DownloadOptions options_;
    TickSource tickSource_;
    // The download start() is running, until it ends or is aborted: the one
    // thing abort() stops and the reason a second start is refused.
    LectureDownload* running_ = nullptr;
    DownloadResult lastResult_;
    qint64 startTick_ = 0;
    qint64 lastTick_ = 0;
};
