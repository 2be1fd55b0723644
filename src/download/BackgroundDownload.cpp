// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/BackgroundDownload.h"

#include "download/DownloadJob.h"
#include "platform/ThreadHandOff.h"
#include "platform/net/NetworkAccess.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <memory>

namespace {

// The owner's requests to the host, each an event of its own.
constexpr QEvent::Type kBegin = QEvent::User;
constexpr QEvent::Type kCancel = QEvent::Type(QEvent::User + 1);
constexpr QEvent::Type kInterrupt = QEvent::Type(QEvent::User + 2);

}  // namespace

// The download thread's side: made on the owner's thread, moved to the
// download thread at once, and from then on used only there, by the events
// the owner posts (see request()), until its deferred deletion.
class BackgroundDownload::Host : public QObject {
    Q_OBJECT

public:
    Host(QString address, QString targetPath, DownloadOptions options, QThreadPool& renamesOn)
        : address_(std::move(address)),
          targetPath_(std::move(targetPath)),
          options_(std::move(options)),
          renamesOn_(renamesOn)
    {
    }

    bool event(QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == kBegin || type == kCancel || type == kInterrupt || type == QEvent::DeferredDelete)
            platform::takeOver(this);
        if (type == kBegin)
            begin();
        else if (type == kCancel)
            cancel();
        else if (type == kInterrupt)
            interrupt();
        else
            return QObject::event(event);
        return true;
    }

    // Nobody waits for the end any more: a rename under way finishes on
    // the pool, which its owner waits for.
    ~Host() override
    {
        if (job_)
            job_->interrupt();
    }

    void begin()
    {
        network_ = std::make_unique<platform::NetworkAccess>();
        job_ = std::make_unique<DownloadJob>(*network_, address_, targetPath_, options_);
        job_->setRenamePool(renamesOn_);
        connect(job_.get(), &DownloadJob::progressed, this, &Host::progressed);
        connect(job_.get(), &DownloadJob::finished, this, &Host::finished);
        // A job is never deleted inside its own signal.
        connect(job_.get(), &DownloadJob::finished, this, &Host::end, Qt::QueuedConnection);
        job_->start();
    }

    void cancel()
    {
        if (job_)
            job_->cancel();
    }

    void interrupt()
    {
        if (!job_)
            return;
        job_->interrupt();
        // Its rename ends it, and end() follows that: until then the rename
        // holds the file.
        if (!job_->isStoring())
            end();
    }

signals:
    void progressed(qint64 received, qint64 total);
    void finished(const DownloadResult& result);
    void ended();

private:
    void end()
    {
        if (!job_)
            return;
        job_.reset();
        network_.reset();
        emit ended();
    }

    const QString address_;
    const QString targetPath_;
    const DownloadOptions options_;
    QThreadPool& renamesOn_;
    // The job goes before the network its transfers run on.
    std::unique_ptr<platform::NetworkAccess> network_;
    std::unique_ptr<DownloadJob> job_;
};

BackgroundDownload::BackgroundDownload(QString address, QString targetPath, DownloadOptions options, QThread& runsOn,
                                       QThreadPool& renamesOn, QObject* parent)
    : QObject(parent),
      runsOn_(runsOn),
      host_(new Host(std::move(address), std::move(targetPath), std::move(options), renamesOn))
{
    host_->moveToThread(&runsOn_);
    // Queued: the host's signals come from the download thread.
    connect(host_, &Host::progressed, this, &BackgroundDownload::progressed);
    connect(host_, &Host::finished, this, &BackgroundDownload::finished);
    connect(host_, &Host::ended, this, &BackgroundDownload::stopped);
}

BackgroundDownload::~BackgroundDownload()
{
    // Its destructor interrupts the job there.
    platform::handOver(host_);
    host_->deleteLater();
}

void BackgroundDownload::start()
{
    if (std::exchange(started_, true))
        return;
    request(kBegin);
}

void BackgroundDownload::cancel()
{
    request(kCancel);
}

void BackgroundDownload::interrupt()
{
    request(kInterrupt);
}

// The event queue hands the host over to its thread with each event.
// Posted events of our own, rather than queued calls, so that the hand-over
// can be marked once all it carries is written (platform/ThreadHandOff.h).
void BackgroundDownload::request(int type)
{
    auto* event = new QEvent(QEvent::Type(type));
    platform::handOver(host_);
    QCoreApplication::postEvent(host_, event);
}

#include "BackgroundDownload.moc"
