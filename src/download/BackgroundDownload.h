// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadOptions.h"
#include "download/DownloadResult.h"

#include <QObject>
#include <QString>

class QThread;
class QThreadPool;

// One DownloadJob run on a download thread, with a NetworkAccess of its own,
// for the thread that made this object. A fast server hands libcurl hundreds
// of megabytes in one pass, and writing them takes the whole of that pass:
// on the window's thread it would stop the window for as long. Here the
// window only hears of the progress and the end, by queued signals, and
// asks for a cancel or an interrupt by posted events.
//
// The job, its transfer and its network live and die on the download
// thread; nothing of theirs is touched from here, so nothing here waits.
class BackgroundDownload : public QObject {
    Q_OBJECT

public:
    // runsOn and renamesOn must outlive the job's end: the owner ends its
    // download threads, and waits for its rename pool, only after deleting
    // their BackgroundDownloads.
    BackgroundDownload(QString address, QString targetPath, DownloadOptions options, QThread& runsOn,
                       QThreadPool& renamesOn, QObject* parent = nullptr);
    // Interrupts the job, unless it has ended, on its thread: even should
    // that thread's event loop have stopped, as its last deletions run.
    ~BackgroundDownload() override;

    // Only the first call counts.
    void start();
    // As DownloadJob::cancel: finished() comes later, with Cancelled, or with
    // what a rename under way gave.
    void cancel();
    // As DownloadJob::interrupt: the bytes written whole stay for a resume,
    // and stopped() follows once the job has let go of its files. A rename
    // under way goes on, on renamesOn, and stopped() waits for its end
    // (finished() comes first, with what it gave).
    void interrupt();

    QThread& runsOn() const { return runsOn_; }

signals:
    // As DownloadJob's.
    void progressed(qint64 received, qint64 total);
    void finished(const DownloadResult& result);
    // The job has gone, and its files are closed and unlocked: after its end,
    // or an interrupt.
    void stopped();

private:
    class Host;

    void request(int type);

    QThread& runsOn_;
    // Lives on runsOn_, where it is deleted.
    Host* host_ = nullptr;
    bool started_ = false;
};
