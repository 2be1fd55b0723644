// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadOptions.h"
#include "download/DownloadResult.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QThreadPool>

class BackgroundDownload;

// The window's downloads: every lecture pressed for is stored in turn, a
// few at once, each as a DownloadJob on one of the queue's download threads
// (BackgroundDownload), so that the bytes never hold up the window. A
// lecture is known by the file it is stored in, never by the row it was
// pressed in, so any view can ask how it stands. Nothing blocks.
class DownloadQueue : public QObject {
    Q_OBJECT

public:
    // More would only share the same link; fewer would leave a slow server
    // holding up the rest.
    static constexpr int kConcurrentDownloads = 3;

    struct State {
        enum class Phase { Gone, Waiting, Running };
        Phase phase = Phase::Gone;
        // The whole file's bytes there so far and its size (0 while unknown).
        qint64 received = 0;
        qint64 total = 0;
    };

    enum class Admission { Queued, AlreadyStored, AlreadyQueued };

    explicit DownloadQueue(QObject* parent = nullptr);
    // Tests download with options of their own (shorter limits).
    explicit DownloadQueue(DownloadOptions options, QObject* parent = nullptr);
    // Stops every download as stopAll() does, and waits for the download
    // threads (as long as one pass of a transfer) and the renames under
    // way. After stopped() there is nothing left to wait for.
    ~DownloadQueue() override;

    // A lecture already stored, or already waiting or running under the
    // same address or file, is not downloaded twice.
    Admission enqueue(const QString& address, const QString& targetPath, const QString& title);
    // Takes the lecture out of the queue; a running one drops the bytes
    // that came and reports no end, unless its rename had begun: then it is
    // stored all the same, and finished() says so.
    void cancel(const QString& targetPath);
    // Every lecture, as the closing window wants: the running ones keep
    // the bytes written whole for a resume at the next press, as they would
    // had the process been cut off, and the waiting ones are forgotten.
    // Nothing is reported but stopped(), once no download holds a file any
    // more, a rename under way included: at once when none does.
    void stopAll();

    // While held (the window has no library: the network is away), the
    // lectures pressed for wait; they start once it is let go. The running
    // ones go on: they may still get through.
    void setHeld(bool held);
    bool isHeld() const { return held_; }

    State state(const QString& targetPath) const;
    bool isEmpty() const { return entries_.isEmpty(); }
    int runningCount() const;
    // Whether a cancelled download has not ended yet: one whose rename had
    // begun still stores the whole lecture.
    bool isUnwinding() const { return !unwinding_.isEmpty(); }

signals:
    // Waiting, running (with its progress, at most every 100 ms) or gone.
    void stateChanged(const QString& targetPath);
    // Every end that was not a cancel, raised once the next lecture has
    // started; and a lecture cancelled too late, once its rename stored it.
    void finished(const QString& targetPath, const QString& title, const DownloadResult& result);
    // The last lecture has ended or been cancelled, and every cancelled one
    // has unwound; storedAny says whether any lecture was stored since the
    // queue was last drained.
    void drained(bool storedAny);
    // After stopAll(): every download has let go of its files.
    void stopped();

private:
    struct Entry {
        QString address;
        QString targetPath;
        QString title;
        QPointer<BackgroundDownload> job;
        qint64 received = 0;
        qint64 total = 0;
    };

    qsizetype indexOf(const QString& targetPath) const;
    void startWaiting();
    void jobProgressed(const QString& targetPath, qint64 received, qint64 total);
    void jobFinished(const QString& targetPath, const DownloadResult& result);
    // A cancel came once the rename had begun.
    void storedDespiteCancel(const QString& targetPath, const QString& title, const DownloadResult& result);
    // Waits for its end, which nobody is told of.
    void letGo(BackgroundDownload* job);
    void drainIfIdle();
    void stopIfLetGo();
    // The one with the fewest downloads, running or unwinding.
    QThread& quietestThread();

    DownloadOptions options_;
    // In the order pressed; those with a job run.
    QList<Entry> entries_;
    // Let go of (cancelled or stopped) and not yet stopped.
    QList<BackgroundDownload*> unwinding_;
    bool stopping_ = false;
    bool storedSinceDrained_ = false;
    bool held_ = false;
    // Reused, one for each download that can run: a thread made for each
    // download would leave the memory allocator a new arena each time.
    QThread threads_[kConcurrentDownloads];
    // The renames of complete files, which a slow disk can make last
    // seconds: the queue's own, so that it knows when they are over.
    QThreadPool renames_;
};
