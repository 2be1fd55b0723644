// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadOptions.h"
#include "download/DownloadResult.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class PartialDownload;
class QThreadPool;

namespace platform {
class NetworkAccess;
class Transfer;
}  // namespace platform

// One lecture download as a job on the program's NetworkAccess: it never
// blocks the thread it lives on, reports its progress and its end by
// signals, and can be cancelled at any time.
//
// The body goes to a hidden partial file beside the target
// (PartialDownload) and is renamed onto the target only when it is the
// whole file: the body of a 200 answer (after redirects) complete against
// its Content-Length; the exact continuation of kept bytes that was asked
// for (a 206 from the kept length to the end, naming the same total, if
// any, and the same validator as the kept bytes' record); or, for a request
// of the whole file, a 206 "bytes 0-(n-1)/n". Whatever was at the target
// before stays as it was until then.
//
// No body is taken past the length its answer announced, and no file past
// the largest a lecture can be (DownloadOptions::largestFile), with a
// length or without: such an answer is not the file, and its bytes are
// dropped.
//
// A transfer that broke off (cut, stalled, the process ended), or whose
// file would take no more (a full disk), keeps the bytes written whole,
// when the server named a validator, for the next download of the same
// address into the same target, which asks the server for the rest only.
// When the server does not continue them (another file now, a range not
// asked for, a 416), they are dropped and the whole file is asked for once
// more, at once. A cancel, an answer that is not the file and a file that
// cannot be created or stored keep nothing. A download that does not store
// the file is logged under "kardelo.download" with its reason.
//
// The durable rename (data flushed, renamed, folder flushed) can take
// seconds on a slow disk, so it runs on a thread pool (the one it is given,
// the global one otherwise), which then owns the partial file alone. A
// rename cannot be half undone: a cancel or an interrupt that comes once it
// has begun is too late, and the job ends with what the rename gave, so the
// lecture is either stored whole or not at all.
class DownloadJob : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a clock that never goes back.
    using TickSource = std::function<qint64()>;

    DownloadJob(platform::NetworkAccess& network, QString address, QString targetPath, DownloadOptions options = {},
                QObject* parent = nullptr);
    // Tests drive the progress throttle with a clock of their own.
    DownloadJob(platform::NetworkAccess& network, QString address, QString targetPath, DownloadOptions options,
                TickSource tickSource, QObject* parent = nullptr);
    // A job still transferring is cancelled quietly; a rename under way
    // finishes on its own.
    ~DownloadJob() override;

    // Begins on the next turn of the event loop, so the caller can connect
    // first. Only the first call counts.
    void start();
    // Ends the job as Cancelled and drops the bytes that came; no progress
    // is reported after it. Nothing once it has finished or the rename has
    // begun.
    void cancel();
    // Stops at once, as a process that ends mid-way would: the bytes
    // written whole stay for the next download's resume, and no signal
    // follows. A rename under way goes on, stores the whole lecture and
    // ends the job with finished().
    void interrupt();
    // The rename runs there; whoever owns the pool can wait for it. Before
    // start().
    void setRenamePool(QThreadPool& pool) { renamePool_ = &pool; }
    // From the rename's start to the job's end: a cancel or an interrupt
    // now changes nothing.
    bool isStoring() const { return committing_; }

    const QString& address() const { return address_; }
    const QString& targetPath() const { return targetPath_; }
    bool isFinished() const { return finished_; }
    // How it ended, once finished; Refused before.
    const DownloadResult& result() const { return result_; }

signals:
    // The whole file's bytes there so far, kept bytes included, and its size
    // (0 while unknown); at most every 100 ms and only once a byte is there.
    void progressed(qint64 received, qint64 total);
    // Exactly once, never from inside start() or cancel().
    void finished(const DownloadResult& result);

private:
    struct Attempt;

    void begin();
    void attempt(bool continueKeptBytes);
    bool received(QByteArrayView bytes);
    bool decideOnHeaders();
    void attemptEnded();
    std::optional<DownloadResult> judgeAttempt();
    void commit();
    void conclude(const DownloadResult& result);
    void notify();

    platform::NetworkAccess& network_;
    const QString address_;
    const QString targetPath_;
    const DownloadOptions options_;
    const TickSource tickSource_;
    // Shared with the rename on the thread pool, which holds the only
    // reference while it runs.
    std::shared_ptr<PartialDownload> file_;
    QThreadPool* renamePool_ = nullptr;
    std::unique_ptr<platform::Transfer> transfer_;
    // The last attempt's, kept until the next one ends: never deleted inside
    // its own signal.
    std::unique_ptr<platform::Transfer> spent_;
    std::unique_ptr<Attempt> attempt_;
    bool started_ = false;
    bool cancelled_ = false;
    bool committing_ = false;
    bool finished_ = false;
    bool appendFailed_ = false;  // in any attempt: the file took no more of the body
    qint64 lastTick_ = 0;
    DownloadResult result_;
};
