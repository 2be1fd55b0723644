// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadEngine.h"

#include "download/DownloadJob.h"
#include "download/DownloadLog.h"
#include "download/DownloadSpeed.h"
#include "platform/host/MonotonicTick.h"

DownloadEngine::DownloadEngine(platform::NetworkAccess& network, QObject* parent)
    : DownloadEngine(network, DownloadOptions(), parent)
{
}

DownloadEngine::DownloadEngine(platform::NetworkAccess& network, DownloadOptions options, QObject* parent)
    : DownloadEngine(network, std::move(options), &platform::monotonicMilliseconds, parent)
{
}

DownloadEngine::DownloadEngine(platform::NetworkAccess& network, DownloadOptions options, TickSource tickSource,
                               QObject* parent)
    : QObject(parent),
      network_(network),
      options_(std::move(options)),
      tickSource_(std::move(tickSource))
{
}

DownloadEngine::~DownloadEngine()
{
    abort();
}

bool DownloadEngine::start(const QString& source, const QString& target)
{
    if (running_) {
        // The running download and its reports are left alone.
        lastResult_ = DownloadResult(DownloadResult::Outcome::Refused, QStringLiteral("another download is running"));
        qCWarning(lcDownload) << "not downloading" << source << "- another download is running";
        return false;
    }
    startTick_ = tickSource_();
    running_ = new DownloadJob(network_, source, target, options_, tickSource_);
    connect(running_, &DownloadJob::progressed, this, &DownloadEngine::jobProgressed);
    connect(running_, &DownloadJob::finished, this, &DownloadEngine::jobFinished);
    connect(running_, &DownloadJob::finished, running_, &QObject::deleteLater);
    running_->start();
    return true;
}

void DownloadEngine::abort()
{
    if (!running_)
        return;
    // It ends by itself, later, and goes then; its rename, if it has begun,
    // still stores the whole lecture.
    DownloadJob* job = running_;
    running_ = nullptr;
    job->disconnect(this);
    ++unwinding_;
    connect(job, &DownloadJob::finished, this, [this] { --unwinding_; });
    job->cancel();
    lastResult_ = DownloadResult(DownloadResult::Outcome::Cancelled, QStringLiteral("cancelled"));
}

void DownloadEngine::jobProgressed(qint64 received, qint64 total)
{
    emit progressed(received, total, downloadSpeed(received, tickSource_() - startTick_));
}

void DownloadEngine::jobFinished(const DownloadResult& result)
{
    running_ = nullptr;
    lastResult_ = result;
    emit finished(result);
}
