// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadEngine.h"

#include "download/DownloadLog.h"
#include "download/DownloadSpeed.h"
#include "platform/host/MonotonicTick.h"

#include <QCoreApplication>
#include <QPointer>

DownloadEngine::DownloadEngine(QObject* parent) : DownloadEngine(DownloadOptions(), parent) { }

DownloadEngine::DownloadEngine(DownloadOptions options, QObject* parent)
    : DownloadEngine(std::move(options), &platform::monotonicMilliseconds, parent)
{
}

DownloadEngine::DownloadEngine(DownloadOptions options, TickSource tickSource, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      tickSource_(std::move(tickSource))
{
}

DownloadEngine::~DownloadEngine() = default;

bool DownloadEngine::start(const QString& source, const QString& target)
{
    if (running_) {
        // The running download and its reports are left alone.
        lastResult_ = DownloadResult(DownloadResult::Outcome::Refused, QStringLiteral("another download is running"));
        qCWarning(lcDownload) << "not downloading" << source << "- another download is running";
        return false;
    }
    startTick_ = 0;
    LectureDownload download(source, target, options_);
    running_ = &download;
    // A handler inside the pump may destroy this object; the download then
    // goes on to its end without reporting to anyone.
    const QPointer<DownloadEngine> alive(this);
    const DownloadResult result = download.run([this, alive](qint64 received, qint64 total) {
        if (alive)
            transferProgressed(received, total);
    });
    if (!alive)
        return result.isComplete();
    if (running_ == &download)
        running_ = nullptr;
    lastResult_ = result;
    return result.isComplete();
}

void DownloadEngine::abort()
{
    // A download that has finished is not touched.
    if (running_)
        running_->abort();
    running_ = nullptr;
}

void DownloadEngine::transferProgressed(qint64 received, qint64 total)
{
    if (startTick_ == 0)
        startTick_ = now();
    const qint64 sinceLastEvent = now() - lastTick_;
    if (sinceLastEvent > 100 && received > 0) {
        const qint32 speed = downloadSpeed(received, now() - startTick_);
        const QPointer<DownloadEngine> alive(this);
        emit progressed(received, total, speed);
        if (!alive)
            return;
        // Taken after the handlers have returned, so a slow handler does
        // not eat into the next interval.
        lastTick_ = now();
        pumpEvents();
        if (!alive)
            return;
    }
    if (sinceLastEvent > 50)
        pumpEvents();
}

void DownloadEngine::pumpEvents()
{
    QCoreApplication::processEvents();
}
