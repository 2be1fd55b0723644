// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"

#include "download/BackgroundDownload.h"
#include "download/DownloadLog.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>
#include <utility>

DownloadQueue::DownloadQueue(QObject* parent) : DownloadQueue(DownloadOptions(), parent) { }

DownloadQueue::DownloadQueue(DownloadOptions options, QObject* parent) : QObject(parent), options_(std::move(options))
{
    renames_.setObjectName(QStringLiteral("renames"));
    renames_.setMaxThreadCount(kConcurrentDownloads);
}

DownloadQueue::~DownloadQueue()
{
    stopAll();
    // Each deletes its job on its thread, as that thread ends at the latest.
    qDeleteAll(findChildren<BackgroundDownload*>(Qt::FindDirectChildrenOnly));
    for (QThread& thread : threads_) {
        thread.quit();
        thread.wait();
    }
    // Only a queue deleted before its stopped() finds a rename still here.
    renames_.waitForDone();
}

DownloadQueue::Admission DownloadQueue::enqueue(const QString& address, const QString& targetPath, const QString& title)
{
    for (const Entry& entry : std::as_const(entries_)) {
        if (entry.targetPath == targetPath || entry.address == address) {
            qCInfo(lcDownload) << "not queueing" << address << "again - it is queued for" << entry.targetPath;
            return Admission::AlreadyQueued;
        }
    }
    // Broken symbolic links count too: storing would not replace them.
    if (QFileInfo(targetPath).exists() || QFileInfo(targetPath).isSymLink()) {
        qCInfo(lcDownload) << "not downloading" << address << "-" << targetPath << "is stored already";
        return Admission::AlreadyStored;
    }
    entries_.append(Entry{address, targetPath, title, nullptr, 0, 0});
    emit stateChanged(targetPath);
    startWaiting();
    return Admission::Queued;
}

void DownloadQueue::cancel(const QString& targetPath)
{
    const qsizetype index = indexOf(targetPath);
    if (index < 0)
        return;
    const Entry entry = entries_.takeAt(index);
    if (BackgroundDownload* job = entry.job) {
        letGo(job);
        // Too late once its rename has begun: then its end is the lecture
        // stored.
        connect(job, &BackgroundDownload::finished, this, [this, entry](const DownloadResult& result) {
            if (result.isComplete())
                storedDespiteCancel(entry.targetPath, entry.title, result);
        });
        job->cancel();
    }
    emit stateChanged(targetPath);
    startWaiting();
    drainIfIdle();
}

void DownloadQueue::stopAll()
{
    stopping_ = true;
    // The window that would tell of them is going.
    for (BackgroundDownload* job : std::as_const(unwinding_))
        disconnect(job, &BackgroundDownload::finished, this, nullptr);
    for (const Entry& entry : std::exchange(entries_, {})) {
        if (!entry.job)
            continue;
        letGo(entry.job);
        // A rename that has begun still stores the whole lecture.
        entry.job->interrupt();
    }
    stopIfLetGo();
}

DownloadQueue::State DownloadQueue::state(const QString& targetPath) const
{
    const qsizetype index = indexOf(targetPath);
    if (index < 0)
        return {};
    const Entry& entry = entries_[index];
    if (!entry.job)
        return {State::Phase::Waiting, 0, 0};
    return {State::Phase::Running, entry.received, entry.total};
}

int DownloadQueue::runningCount() const
{
    return static_cast<int>(
        std::count_if(entries_.cbegin(), entries_.cend(), [](const Entry& entry) { return !entry.job.isNull(); }));
}

qsizetype DownloadQueue::indexOf(const QString& targetPath) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].targetPath == targetPath)
            return i;
    }
    return -1;
}

void DownloadQueue::setHeld(bool held)
{
    if (std::exchange(held_, held) == held)
        return;
    // The waiting rows say what they wait for.
    for (const Entry& entry : std::as_const(entries_)) {
        if (!entry.job)
            emit stateChanged(entry.targetPath);
    }
    startWaiting();
}

void DownloadQueue::startWaiting()
{
    if (held_)
        return;
    int running = runningCount();
    for (qsizetype i = 0; i < entries_.size() && running < kConcurrentDownloads; ++i) {
        Entry& entry = entries_[i];
        if (entry.job)
            continue;
        auto* job = new BackgroundDownload(entry.address, entry.targetPath, options_, quietestThread(), renames_, this);
        entry.job = job;
        ++running;
        const QString target = entry.targetPath;
        connect(job, &BackgroundDownload::progressed, this,
                [this, target](qint64 received, qint64 total) { jobProgressed(target, received, total); });
        connect(job, &BackgroundDownload::finished, this,
                [this, target](const DownloadResult& result) { jobFinished(target, result); });
        connect(job, &BackgroundDownload::stopped, job, &QObject::deleteLater);
        job->start();
        emit stateChanged(target);
    }
}

void DownloadQueue::jobProgressed(const QString& targetPath, qint64 received, qint64 total)
{
    const qsizetype index = indexOf(targetPath);
    if (index < 0)
        return;
    entries_[index].received = received;
    entries_[index].total = total;
    emit stateChanged(targetPath);
}

void DownloadQueue::jobFinished(const QString& targetPath, const DownloadResult& result)
{
    const qsizetype index = indexOf(targetPath);
    if (index < 0)
        return;
    // The job has logged why it stored nothing.
    const QString title = entries_.takeAt(index).title;
    emit stateChanged(targetPath);
    // The next ones run while the window tells of this one's end.
    startWaiting();
    const bool last = entries_.isEmpty();
    storedSinceDrained_ = storedSinceDrained_ || result.isComplete();
    emit finished(targetPath, title, result);
    if (last)
        drainIfIdle();
}

void DownloadQueue::storedDespiteCancel(const QString& targetPath, const QString& title, const DownloadResult& result)
{
    // Pressed again meanwhile: there is nothing left to download.
    cancel(targetPath);
    storedSinceDrained_ = true;
    emit finished(targetPath, title, result);
}

void DownloadQueue::letGo(BackgroundDownload* job)
{
    // It ends by itself, later, and goes then; its rename, if it has begun,
    // still stores the whole lecture.
    job->disconnect(this);
    unwinding_.append(job);
    connect(job, &BackgroundDownload::stopped, this, [this, job] {
        unwinding_.removeOne(job);
        drainIfIdle();
        stopIfLetGo();
    });
}

void DownloadQueue::drainIfIdle()
{
    if (!stopping_ && entries_.isEmpty() && unwinding_.isEmpty())
        emit drained(std::exchange(storedSinceDrained_, false));
}

void DownloadQueue::stopIfLetGo()
{
    if (!stopping_ || !entries_.isEmpty() || !unwinding_.isEmpty())
        return;
    qCDebug(lcDownload) << "every download has let go of its files";
    emit stopped();
}

QThread& DownloadQueue::quietestThread()
{
    int counts[kConcurrentDownloads] = {};
    const auto count = [&](const BackgroundDownload* job) {
        for (int i = 0; i < kConcurrentDownloads; ++i) {
            if (job && &job->runsOn() == &threads_[i])
                ++counts[i];
        }
    };
    for (const Entry& entry : std::as_const(entries_))
        count(entry.job);
    // A cancelled download shares its thread until its transfer has let go.
    for (const BackgroundDownload* job : std::as_const(unwinding_))
        count(job);
    const int quietest = static_cast<int>(std::min_element(std::begin(counts), std::end(counts)) - std::begin(counts));
    QThread& thread = threads_[quietest];
    if (!thread.isRunning()) {
        thread.setObjectName(QStringLiteral("download %1").arg(quietest + 1));
        thread.start();
    }
    return thread;
}
