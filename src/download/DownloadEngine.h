// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadOptions.h"
#include "download/DownloadResult.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class DownloadJob;

namespace platform {
class NetworkAccess;
}  // namespace platform

// The window's one download at a time: runs a DownloadJob on the program's
// NetworkAccess and adds the speed to its progress. Nothing blocks: start()
// returns at once and finished says how it ended.
class DownloadEngine : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a clock that never goes back.
    using TickSource = std::function<qint64()>;

    explicit DownloadEngine(platform::NetworkAccess& network, QObject* parent = nullptr);
    // Tests and benchmarks download with options of their own (shorter
    // limits, no durable flush) and drive the throttle with their own clock.
    DownloadEngine(platform::NetworkAccess& network, DownloadOptions options, QObject* parent = nullptr);
    DownloadEngine(platform::NetworkAccess& network, DownloadOptions options, TickSource tickSource,
                   QObject* parent = nullptr);
    // A download still running is cancelled and reports to no one.
    ~DownloadEngine() override;

    // Starts storing source at target; finished comes later. False at once
    // (Refused, in lastResult) while a download is running.
    bool start(const QString& source, const QString& target);
    // Cancels the running download, which then reports nothing more, not
    // even its end; with nothing running it does nothing. A new start is
    // accepted at once.
    void abort();
    bool isDownloading() const { return !running_.isNull(); }
    // Whether a download that was aborted has not ended yet: one whose
    // rename had begun still stores the whole lecture.
    bool isUnwinding() const { return unwinding_ > 0; }
    // How the last download ended, or why the last start was refused;
    // Refused before any.
    const DownloadResult& lastResult() const { return lastResult_; }

signals:
    // At most every 100 ms and only with some progress. received and total
    // count the whole file (total 0 while unknown); speed is the download's
    // average in whole kilobytes (1024 bytes) per second since its start.
    void progressed(qint64 received, qint64 total, qint32 speed);
    // Once for every start that was accepted and not aborted.
    void finished(const DownloadResult& result);

private:
    void jobProgressed(qint64 received, qint64 total);
    void jobFinished(const DownloadResult& result);

    platform::NetworkAccess& network_;
    DownloadOptions options_;
    TickSource tickSource_;
    QPointer<DownloadJob> running_;
    DownloadResult lastResult_;
    int unwinding_ = 0;
    qint64 startTick_ = 0;
};
